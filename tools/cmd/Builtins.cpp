#include "tools/cmd/Builtins.h"

#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <iostream>
#include <thread>
#include <vector>

#include "platform/CodePage.h"
#include "platform/Files.h"
#include "platform/WindowsProfile.h"
#include "tools/cmd/CommandParser.h"

namespace cmd {
namespace {

using platform::AnsiLowerCase;

bool IsBlankOnly(const std::string& s) {
  return s.find_first_not_of(" \t") == std::string::npos;
}

std::string Trim(const std::string& s) {
  const size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return {};
  return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

// Switches ("/q") and the other arguments of a command, switches lower-cased.
struct TArguments {
  std::vector<std::string> Switches;
  std::vector<std::string> Plain;
  bool Has(const char* sw) const {
    for (const auto& s : Switches)
      if (s == sw) return true;
    return false;
  }
};

TArguments ParseArguments(const std::string& rest) {
  TArguments a;
  for (std::string& arg : SplitArguments(rest)) {
    if (arg.size() >= 2 && arg[0] == '/')
      a.Switches.push_back(AnsiLowerCase(arg));
    else
      a.Plain.push_back(std::move(arg));
  }
  return a;
}

// Asks on standard input; only an answer starting with Y (or y) agrees.
bool Confirm(TBuiltinIo& io, const std::string& question) {
  io.Out.Write(question + ", Are you sure (Y/N)? ");
  std::string answer;
  if (!std::getline(std::cin, answer)) {
    io.Out.Write("\r\n");
    return false;
  }
  return !answer.empty() && (answer[0] == 'y' || answer[0] == 'Y');
}

std::string ErrorText(uint32_t error) {
  switch (error) {
    case platform::kErrorFileNotFound:
      return "The system cannot find the file specified.";
    case platform::kErrorPathNotFound:
      return "The system cannot find the path specified.";
    case platform::kErrorAccessDenied:
      return "Access is denied.";
    case platform::kErrorDirNotEmpty:
      return "The directory is not empty.";
    case platform::kErrorInvalidName:
      return "The filename, directory name, or volume label syntax is incorrect.";
    default:
      return "The system cannot perform the operation (error " + std::to_string(error) + ").";
  }
}

int Ver(TBuiltinIo& io, const std::string&) {
  io.Out.Write("\r\n" + platform::ReadWindowsProfile().VerLine + "\r\n");
  return 0;
}

int Echo(TBuiltinIo& io, const std::string& rest) {
  // rest starts with the character that ended the name: a blank, "." or the like.
  if (IsBlankOnly(rest)) {
    io.Out.Write(io.Interpreter.EchoOn ? "ECHO is on.\r\n" : "ECHO is off.\r\n");
    return 0;
  }
  const std::string text = rest.substr(1);
  const std::string word = AnsiLowerCase(Trim(text));
  if (rest[0] == ' ' || rest[0] == '\t') {
    if (word == "off" || word == "on") {
      io.Interpreter.EchoOn = word == "on";
      return 0;
    }
  }
  io.Out.Write(text + "\r\n");
  return 0;
}

bool HasWildcard(const std::string& path) {
  return path.find_first_of("*?") != std::string::npos;
}

// The folder part of a path, with its backslash ("" for a bare name).
std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of("\\/:");
  return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

// Deletes one file; false (and a message) when that fails.
bool DeleteOne(TBuiltinIo& io, const std::string& path, bool force) {
  if (force && (platform::GetFileAttributes(path) & platform::kFileAttributeReadOnly))
    (void)platform::SetFileAttributes(path, 0);
  const platform::TWinResult r = platform::DeleteFile(path);
  if (r) return true;
  io.Err.Write(platform::GetFullPathName(path) + "\r\n" + ErrorText(r.Error) + "\r\n");
  return false;
}

// del and erase. A name that matches nothing is reported and, as on Windows, does
// not make the command fail.
int Del(TBuiltinIo& io, const std::string& rest) {
  const TArguments args = ParseArguments(rest);
  for (const auto& s : args.Switches)
    if (s != "/q" && s != "/f") {
      io.Err.Write("Invalid switch - \"" + s.substr(1) + "\".\r\n");
      return 1;
    }
  if (args.Plain.empty()) {
    io.Err.Write("The syntax of the command is incorrect.\r\n");
    return 1;
  }
  const bool quiet = args.Has("/q"), force = args.Has("/f");
  bool failed = false;
  for (const std::string& name : args.Plain) {
    std::vector<std::string> files;
    if (HasWildcard(name) || platform::DirectoryExists(name)) {
      std::string pattern = name;
      if (!HasWildcard(name)) {
        if (pattern.back() != '\\' && pattern.back() != '/') pattern += '\\';
        pattern += "*";
        if (!quiet && !Confirm(io, platform::GetFullPathName(name) + "\\*")) continue;
      }
      for (const platform::TFindData& f : platform::FindFiles(pattern))
        if (!(f.Attributes & platform::kFileAttributeDirectory))
          files.push_back(FolderOf(pattern) + f.Name);
      if (files.empty() && HasWildcard(name)) {
        io.Err.Write("Could Not Find " + platform::GetFullPathName(name) + "\r\n");
        continue;
      }
    } else if (platform::FileExists(name)) {
      files.push_back(name);
    } else {
      io.Err.Write("Could Not Find " + platform::GetFullPathName(name) + "\r\n");
      continue;
    }
    for (const std::string& f : files)
      failed |= !DeleteOne(io, f, force);
  }
  return failed ? 1 : 0;
}

// rd and rmdir: an empty folder; with /s the folder and everything in it.
int Rd(TBuiltinIo& io, const std::string& rest) {
  const TArguments args = ParseArguments(rest);
  for (const auto& s : args.Switches)
    if (s != "/s" && s != "/q") {
      io.Err.Write("Invalid switch - \"" + s.substr(1) + "\".\r\n");
      return 1;
    }
  if (args.Plain.empty()) {
    io.Err.Write("The syntax of the command is incorrect.\r\n");
    return 1;
  }
  int code = 0;
  for (const std::string& folder : args.Plain) {
    platform::TWinResult r;
    if (!platform::DirectoryExists(folder)) {
      r = platform::TWinResult::Fail(platform::FileExists(folder) ? platform::kErrorInvalidName
                                                                  : platform::kErrorFileNotFound);
    } else if (args.Has("/s")) {
      if (!args.Has("/q") && !Confirm(io, folder)) continue;
      r = platform::DeleteTree(folder);
    } else {
      r = platform::RemoveDirectory(folder);
    }
    if (!r) {
      io.Err.Write(ErrorText(r.Error) + "\r\n");
      code = 1;
    }
  }
  return code;
}

int Cd(TBuiltinIo& io, const std::string& rest) {
  std::string path = Trim(rest);
  if (AnsiLowerCase(path.substr(0, 3)) == "/d " || AnsiLowerCase(path) == "/d")
    path = Trim(path.substr(2));
  std::string unquoted;
  for (char c : path)
    if (c != '"') unquoted += c;
  path = Trim(unquoted);
  if (path.empty()) {
    io.Out.Write(platform::GetCurrentDirectory() + "\r\n");
    return 0;
  }
  const platform::TWinResult r = platform::SetCurrentDirectory(path);
  if (r) return 0;
  io.Err.Write(ErrorText(platform::kErrorPathNotFound) + "\r\n");
  return 1;
}

int Type(TBuiltinIo& io, const std::string& rest) {
  const TArguments args = ParseArguments(rest);
  if (args.Plain.empty()) {
    io.Err.Write("The syntax of the command is incorrect.\r\n");
    return 1;
  }
  int code = 0;
  for (const std::string& name : args.Plain) {
    uint32_t error = 0;
    if (const auto bytes = platform::TryReadWholeFile(name, &error)) {
      io.Out.WriteOem(*bytes);
    } else {
      io.Err.Write(ErrorText(error) + "\r\n");
      code = 1;
    }
  }
  return code;
}

// The loopback hosts ping answers: 127.x.x.x, localhost and ::1.
enum class THostKind { Loopback4, Loopback6, OtherAddress, Name };

THostKind ClassifyHost(const std::string& host) {
  const std::string lower = AnsiLowerCase(host);
  if (lower == "localhost") return THostKind::Loopback4;
  if (lower == "::1" || lower == "0:0:0:0:0:0:0:1") return THostKind::Loopback6;
  int parts = 0, value = 0, digits = 0, first = -1;
  bool dotted = true;
  for (size_t i = 0; i <= host.size() && dotted; ++i) {
    if (i == host.size() || host[i] == '.') {
      if (digits == 0 || value > 255) dotted = false;
      if (first < 0) first = value;
      ++parts;
      value = digits = 0;
    } else if (host[i] >= '0' && host[i] <= '9') {
      value = value * 10 + (host[i] - '0');
      if (++digits > 3) dotted = false;
    } else {
      dotted = false;
    }
  }
  if (dotted && parts == 4) return first == 127 ? THostKind::Loopback4 : THostKind::OtherAddress;
  if (host.find(':') != std::string::npos) return THostKind::OtherAddress;
  return THostKind::Name;
}

int Ping(TBuiltinIo& io, const std::string& rest) {
  const std::vector<std::string> args = SplitArguments(rest);
  std::string host;
  uint64_t count = 4;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string a = AnsiLowerCase(args[i]);
    if (a == "-n" || a == "/n") {
      const std::string v = i + 1 < args.size() ? args[++i] : "";
      const bool numeric =
          !v.empty() && v.size() <= 10 && v.find_first_not_of("0123456789") == std::string::npos;
      count = numeric ? std::stoull(v) : 0;
      if (count < 1 || count > 4294967295ULL) {
        io.Out.Write("Bad value for option -n, valid range is from 1 to 4294967295.\r\n");
        return 1;
      }
    } else if (a == "-w" || a == "-l" || a == "-i") {
      ++i;  // accepted, and of no consequence for a loopback host
    } else if (a == "-4" || a == "-6") {
    } else if (!a.empty() && (a[0] == '-' || a[0] == '/')) {
      io.Out.Write("Bad option " + args[i] + ".\r\n");
      return 1;
    } else {
      host = args[i];
    }
  }
  if (host.empty()) {
    io.Out.Write("IP address must be specified.\r\n");
    return 1;
  }
  const THostKind kind = ClassifyHost(host);
  if (kind == THostKind::Name) {
    io.Out.Write("Ping request could not find host " + host +
                 ". Please check the name and try again.\r\n");
    return 1;
  }
  if (kind == THostKind::OtherAddress) {
    // This machine has no network beyond itself.
    io.Out.Write("\r\nPinging " + host +
                 " with 32 bytes of data:\r\nPING: transmit failed. "
                 "General failure. \r\n");
    return 1;
  }
  const bool v6 = kind == THostKind::Loopback6;
  const std::string address =
      v6 ? "::1" : (AnsiLowerCase(host) == "localhost" ? "127.0.0.1" : host);
  const std::string shown = address == host ? host : host + " [" + address + "]";
  io.Out.Write("\r\nPinging " + shown + " with 32 bytes of data:\r\n");
  for (uint64_t i = 0; i < count; ++i) {
    if (i > 0) std::this_thread::sleep_for(std::chrono::seconds(1));
    io.Out.Write(v6 ? "Reply from ::1: time<1ms\r\n"
                    : "Reply from " + address + ": bytes=32 time<1ms TTL=128\r\n");
  }
  const std::string n = std::to_string(count);
  io.Out.Write("\r\nPing statistics for " + address + ":\r\n    Packets: Sent = " + n +
               ", Received = " + n +
               ", Lost = 0 (0% loss),\r\n"
               "Approximate round trip times in milli-seconds:\r\n"
               "    Minimum = 0ms, Maximum = 0ms, Average = 0ms\r\n");
  return 0;
}

int Rem(TBuiltinIo&, const std::string&) {
  return 0;
}

// exit [/b] [code]: ends the interpreter, or with /b the batch file being run.
int Exit(TBuiltinIo& io, const std::string& rest) {
  const TArguments args = ParseArguments(rest);
  int code = 0;
  if (!args.Plain.empty()) code = std::atoi(args.Plain[0].c_str());
  io.Interpreter.RequestExit(!args.Has("/b"), code);
  return code;
}

struct TBuiltinEntry {
  const char* Name;
  TBuiltin Run;
};

constexpr TBuiltinEntry kBuiltins[] = {
    {"ver", Ver}, {"echo", Echo}, {"del", Del},   {"erase", Del}, {"rd", Rd},   {"rmdir", Rd},
    {"cd", Cd},   {"chdir", Cd},  {"type", Type}, {"ping", Ping}, {"rem", Rem}, {"exit", Exit},
};

}  // namespace

TBuiltin FindBuiltin(const std::string& name) {
  const std::string lower = AnsiLowerCase(name);
  for (const TBuiltinEntry& b : kBuiltins)
    if (lower == b.Name) return b.Run;
  return nullptr;
}

}  // namespace cmd
