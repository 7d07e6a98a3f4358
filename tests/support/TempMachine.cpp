#include "tests/support/TempMachine.h"

#include <stdlib.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace darvena::test {

TTempMachine::TTempMachine() {
  std::string tmpl = (std::filesystem::temp_directory_path() / "darvena-test-XXXXXX").string();
  if (!mkdtemp(tmpl.data())) throw std::runtime_error("cannot create a temporary machine");
  root_ = tmpl;
  if (const char* old = getenv("DARVENA_MACHINE")) {
    hadMachine_ = true;
    oldMachine_ = old;
  }
  setenv("DARVENA_MACHINE", root_.c_str(), 1);
  oldCwd_ = std::filesystem::current_path();
}

TTempMachine::~TTempMachine() {
  std::error_code ec;
  std::filesystem::current_path(oldCwd_, ec);
  if (hadMachine_)
    setenv("DARVENA_MACHINE", oldMachine_.c_str(), 1);
  else
    unsetenv("DARVENA_MACHINE");
  std::filesystem::remove_all(root_, ec);
}

void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::string ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace darvena::test
