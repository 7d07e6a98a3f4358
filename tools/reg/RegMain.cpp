// reg QUERY | ADD | DELETE | EXPORT | IMPORT, as Windows' reg.exe takes them.

#include <iostream>
#include <string>
#include <vector>

#include "RegCommands.h"
#include "platform/CodePage.h"
#include "platform/Machine.h"
#include "platform/RegistryKey.h"
#include "platform/WinPath.h"

using namespace platform;

namespace {

constexpr const char* kUsage =
    "Usage:\n"
    "  reg query KEY [/v NAME | /ve] [/s] [/reg:32 | /reg:64]\n"
    "  reg add KEY [/v NAME | /ve] [/t TYPE] [/s SEPARATOR] [/d DATA] [/f] [/reg:32 | /reg:64]\n"
    "  reg delete KEY [/v NAME | /ve | /va] [/f] [/reg:32 | /reg:64]\n"
    "  reg export KEY FILE [/y] [/reg:32 | /reg:64]\n"
    "  reg import FILE [/reg:32 | /reg:64]\n"
    "KEY is ROOT\\SUBKEY with ROOT one of HKLM, HKCU, HKU.\n"
    "TYPE is REG_SZ (the default), REG_EXPAND_SZ, REG_MULTI_SZ, REG_DWORD, REG_QWORD,\n"
    "REG_BINARY or REG_NONE.";

bool IsSwitch(const std::string& arg, const char* name) {
  return (arg[0] == '/' || arg[0] == '-') && AnsiSameText(arg.substr(1), name);
}

// Takes apart the arguments after the command word; false with a message when they
// do not fit the command.
bool ParseOptions(const std::string& command, const std::vector<std::string>& args,
                  reg::TOptions* o, std::string* error) {
  std::vector<std::string> plain;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const auto takes = [&](std::string* into) {
      if (i + 1 >= args.size()) {
        *error = a + " needs a value.";
        return false;
      }
      *into = args[++i];
      return true;
    };
    std::string value;
    // "/tmp/x.reg" is a file name of this system, not a switch.
    const bool looksLikeSwitch =
        !a.empty() && (a[0] == '-' || (a[0] == '/' && a.find('/', 1) == std::string::npos));
    if (!looksLikeSwitch) {
      plain.push_back(a);
    } else if (IsSwitch(a, "reg:32")) {
      o->view = KEY_WOW64_32KEY;
    } else if (IsSwitch(a, "reg:64")) {
      o->view = KEY_WOW64_64KEY;
    } else if (IsSwitch(a, "v") && command != "import" && command != "export") {
      if (!takes(&value)) return false;
      o->valueName = value;
    } else if (IsSwitch(a, "ve") && command != "import" && command != "export") {
      o->valueName = "";
    } else if (IsSwitch(a, "va") && command == "delete") {
      o->allValues = true;
    } else if (IsSwitch(a, "s") && command == "query") {
      o->recursive = true;
    } else if (IsSwitch(a, "s") && command == "add") {
      if (!takes(&o->separator)) return false;
    } else if (IsSwitch(a, "t") && command == "add") {
      if (!takes(&value)) return false;
      o->type = value;
    } else if (IsSwitch(a, "d") && command == "add") {
      if (!takes(&value)) return false;
      o->data = value;
    } else if ((IsSwitch(a, "f") && (command == "add" || command == "delete")) ||
               (IsSwitch(a, "y") && command == "export")) {
      o->force = true;
    } else {
      *error = "Invalid switch " + a + " for reg " + command + ".";
      return false;
    }
  }
  if (o->valueName && o->allValues) {
    *error = "/v, /ve and /va exclude each other.";
    return false;
  }
  const size_t wanted = command == "export" ? 2 : 1;
  if (plain.size() != wanted) {
    *error = "Wrong number of arguments for reg " + command + ".";
    return false;
  }
  if (command == "import") {
    o->file = plain[0];
    return true;
  }
  if (command == "export") o->file = plain[1];
  return reg::ParseKeyName(plain[0], &o->key, error);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i)
    args.push_back(Utf8ToAnsi(argv[i]));
  if (args.empty() || IsSwitch(args[0], "?") || IsSwitch(args[0], "help")) {
    std::cout << kUsage << '\n';
    return args.empty() ? 1 : 0;
  }
  const std::string command = AnsiLowerCase(args[0]);
  if (command != "query" && command != "add" && command != "delete" && command != "export" &&
      command != "import") {
    reg::Fail("Unknown command " + args[0] + "; reg /? lists the commands.");
    return 1;
  }
  reg::TOptions options;
  std::string error;
  if (!ParseOptions(command, {args.begin() + 1, args.end()}, &options, &error))
    return reg::Fail(error + " Type \"reg " + command + " /?\" for usage.");
  if (!options.file.empty()) {
    // A Windows path names a file of the machine; any other is a file name of this
    // system, taken as it was given.
    if (!ExtractFileDrive(options.file).empty()) {
      const auto posix = ToPosixPath(options.file);
      if (!posix) return reg::Fail("The path " + options.file + " does not exist.");
      options.file = posix->string();
    } else {
      for (int i = 2; i < argc; ++i)
        if (Utf8ToAnsi(argv[i]) == options.file) {
          options.file = argv[i];
          break;
        }
    }
  }

  // The machine's administrator tool: it works with the rights of an elevated
  // command prompt.
  SetProcessElevated(true);
  // A native program of the machine: the 64-bit view unless /reg:32 asks otherwise.
  if (options.view == 0) options.view = KEY_WOW64_64KEY;
  try {
    const auto store = OpenMachineRegistry();
    if (command == "query") return reg::RunQuery(store, options);
    if (command == "add") return reg::RunAdd(store, options);
    if (command == "delete") return reg::RunDelete(store, options);
    if (command == "export") return reg::RunExport(store, options);
    return reg::RunImport(store, options);
  } catch (const EPlatformError& e) {
    return reg::Fail(e.what());
  } catch (const std::exception& e) {
    return reg::Fail(e.what());
  }
}
