#include "platform/Machine.h"

#include <cstdlib>

#include "platform/CodePage.h"

namespace platform {
namespace {

// Elevation belongs to the process, like its token on Windows.
bool processElevated = false;

}  // namespace

std::filesystem::path MachineRoot() {
  if (const char* m = std::getenv("DARVENA_MACHINE"); m && *m) return std::filesystem::path(m);
  std::filesystem::path base;
  if (const char* x = std::getenv("XDG_DATA_HOME"); x && *x) {
    base = x;
  } else if (const char* h = std::getenv("HOME"); h && *h) {
    base = std::filesystem::path(h) / ".local" / "share";
  } else {
    base = "/tmp";
  }
  return base / "darvena" / "machine";
}

std::string MachineUserName() {
  for (const char* name : {"USER", "LOGNAME"})
    if (const char* v = std::getenv(name); v && *v) return Utf8ToAnsi(v);
  return "user";
}

std::string UserProfileFolder() {
  return "C:\\Users\\" + MachineUserName();
}

bool ProcessElevated() {
  return processElevated;
}
void SetProcessElevated(bool elevated) {
  processElevated = elevated;
}

}  // namespace platform
