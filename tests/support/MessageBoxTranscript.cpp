#include "tests/support/MessageBoxTranscript.h"

#include <stdlib.h>
#include <unistd.h>

#include <fstream>
#include <stdexcept>

namespace darvena::test {

TScriptedMessageBoxes::TScriptedMessageBoxes(const std::string& answers) {
  std::string tmpl = (std::filesystem::temp_directory_path() / "darvena-boxes-XXXXXX").string();
  const int fd = mkstemp(tmpl.data());
  if (fd < 0) throw std::runtime_error("cannot create a message-box transcript");
  close(fd);
  path_ = tmpl;
  if (const char* old = getenv("DARVENA_MSGBOX_TRANSCRIPT")) {
    hadTranscript_ = true;
    oldTranscript_ = old;
  }
  if (const char* old = getenv("DARVENA_MSGBOX_ANSWERS")) {
    hadAnswers_ = true;
    oldAnswers_ = old;
  }
  setenv("DARVENA_MSGBOX_TRANSCRIPT", path_.c_str(), 1);
  setenv("DARVENA_MSGBOX_ANSWERS", answers.c_str(), 1);
}

TScriptedMessageBoxes::~TScriptedMessageBoxes() {
  if (hadTranscript_)
    setenv("DARVENA_MSGBOX_TRANSCRIPT", oldTranscript_.c_str(), 1);
  else
    unsetenv("DARVENA_MSGBOX_TRANSCRIPT");
  if (hadAnswers_)
    setenv("DARVENA_MSGBOX_ANSWERS", oldAnswers_.c_str(), 1);
  else
    unsetenv("DARVENA_MSGBOX_ANSWERS");
  std::error_code ec;
  std::filesystem::remove(path_, ec);
}

std::vector<platform::TMessageBoxRecord> TScriptedMessageBoxes::Boxes() const {
  return ReadMessageBoxTranscript(path_);
}

std::vector<platform::TMessageBoxRecord> ReadMessageBoxTranscript(
    const std::filesystem::path& path) {
  std::vector<platform::TMessageBoxRecord> boxes;
  std::ifstream in(path, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    auto record = platform::ParseMessageBoxRecord(line);
    if (!record) throw std::runtime_error("malformed message-box transcript line: " + line);
    boxes.push_back(std::move(*record));
  }
  return boxes;
}

}  // namespace darvena::test
