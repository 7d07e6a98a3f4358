#include "RegCommands.h"

#include <unistd.h>

#include <fstream>
#include <iostream>
#include <sstream>

#include "RegFile.h"
#include "RegValueText.h"
#include "platform/CodePage.h"
#include "platform/RegistryKey.h"

namespace reg {

using namespace platform;

namespace {

constexpr const char* kDone = "The operation completed successfully.";

class THandle {
 public:
  THandle() = default;
  ~THandle() {
    if (key_) RegKeyClose(key_);
  }
  THandle(const THandle&) = delete;
  THandle& operator=(const THandle&) = delete;
  HKEY* Out() { return &key_; }
  HKEY Get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

void Out(const std::string& ansi) {
  std::cout << AnsiToUtf8(ansi) << '\n';
}

std::string Describe(int32_t rc) {
  switch (rc) {
    case ERROR_FILE_NOT_FOUND:
      return "The registry key or value does not exist.";
    case ERROR_ACCESS_DENIED:
      return "Access is denied.";
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_PARAMETER:
      return "Invalid key name.";
    default:
      return "The registry operation failed (error " + std::to_string(rc) + ").";
  }
}

// Asks a Yes/No question on the terminal; without a terminal the answer is no.
bool Confirm(const std::string& question) {
  if (!isatty(STDIN_FILENO)) return false;
  while (true) {
    std::cout << AnsiToUtf8(question) << " (Yes/No)? " << std::flush;
    std::string answer;
    if (!std::getline(std::cin, answer)) return false;
    if (AnsiSameText(answer, "y") || AnsiSameText(answer, "yes")) return true;
    if (AnsiSameText(answer, "n") || AnsiSameText(answer, "no")) return false;
  }
}

std::string ShownName(const std::string& name) {
  return name.empty() ? "(Default)" : name;
}

void PrintValue(const std::string& name, uint32_t type, const std::string& data) {
  Out("    " + ShownName(name) + "    " + TypeName(type) + "    " + DisplayData(type, data));
}

// Prints the key's values (or only `only`), then its subkeys as names or, with
// `recursive`, as blocks of their own. Counts the values shown.
int32_t QueryKey(HKEY key, const TKeyName& name, const std::optional<std::string>& only,
                 bool recursive, int* matches) {
  std::vector<std::string> values;
  if (const int32_t rc = RegKeyValueNames(key, &values); rc != ERROR_SUCCESS) return rc;
  std::vector<std::string> shown;
  for (const auto& v : values)
    if (!only || AnsiSameText(v, *only)) shown.push_back(v);
  if (!only || !shown.empty() || !recursive) {
    Out("");
    Out(FullKeyName(name));
  }
  for (const auto& v : shown) {
    uint32_t type = 0;
    std::string data;
    if (const int32_t rc = RegKeyQuery(key, v, &type, &data); rc != ERROR_SUCCESS) return rc;
    PrintValue(v, type, data);
    ++*matches;
  }
  std::vector<std::string> subkeys;
  if (const int32_t rc = RegKeySubkeyNames(key, &subkeys); rc != ERROR_SUCCESS) return rc;
  if (!recursive) {
    if (!subkeys.empty() && !only) Out("");
    if (!only)
      for (const auto& s : subkeys)
        Out(FullKeyName(SubkeyName(name, s)));
    return ERROR_SUCCESS;
  }
  for (const auto& s : subkeys) {
    THandle sub;
    if (const int32_t rc = RegKeyOpen(nullptr, key, s, key->access, false, sub.Out());
        rc != ERROR_SUCCESS)
      return rc;
    if (const int32_t rc = QueryKey(sub.Get(), SubkeyName(name, s), only, true, matches);
        rc != ERROR_SUCCESS)
      return rc;
  }
  return ERROR_SUCCESS;
}

}  // namespace

int Fail(const std::string& message) {
  std::cerr << "ERROR: " << AnsiToUtf8(message) << '\n';
  return 1;
}

int RunQuery(const TStore& store, const TOptions& o) {
  THandle key;
  if (const int32_t rc =
          RegKeyOpen(store, o.key.root, o.key.path, KEY_READ | o.view, false, key.Out());
      rc != ERROR_SUCCESS)
    return Fail(Describe(rc));
  int matches = 0;
  int32_t rc = ERROR_SUCCESS;
  store->Read([&] {
    if (o.valueName && !o.recursive) {
      uint32_t type = 0;
      std::string data;
      rc = RegKeyQuery(key.Get(), *o.valueName, &type, &data);
      if (rc == ERROR_FILE_NOT_FOUND && o.valueName->empty()) {
        Out("");
        Out(FullKeyName(o.key));
        Out("    (Default)    REG_SZ    (value not set)");
        rc = ERROR_SUCCESS;
      } else if (rc == ERROR_SUCCESS) {
        // Shown with the spelling it was created with.
        std::string stored = *o.valueName;
        std::vector<std::string> names;
        if (RegKeyValueNames(key.Get(), &names) == ERROR_SUCCESS)
          for (const auto& n : names)
            if (AnsiSameText(n, stored)) stored = n;
        Out("");
        Out(FullKeyName(o.key));
        PrintValue(stored, type, data);
      }
      return;
    }
    rc = QueryKey(key.Get(), o.key, o.valueName, o.recursive, &matches);
  });
  if (rc != ERROR_SUCCESS) return Fail(Describe(rc));
  if (o.valueName && o.recursive) {
    Out("");
    Out("End of search: " + std::to_string(matches) + " match(es) found.");
    if (matches == 0) return 1;
  }
  return 0;
}

int RunAdd(const TStore& store, const TOptions& o) {
  uint32_t type = REG_SZ;
  if (o.type) {
    const auto t = TypeFromName(*o.type);
    if (!t) return Fail("Unknown value type " + *o.type + ".");
    type = *t;
  }
  std::string data;
  std::string error;
  if (!DataFromText(type, o.data.value_or(""), o.separator, &data, &error)) return Fail(error);
  if (!o.valueName && (o.type || o.data)) return Fail("/t and /d need /v or /ve.");

  THandle key;
  if (const int32_t rc =
          RegKeyOpen(store, o.key.root, o.key.path, KEY_ALL_ACCESS | o.view, true, key.Out());
      rc != ERROR_SUCCESS)
    return Fail(Describe(rc));
  if (o.valueName) {
    if (!o.force && RegKeyQuery(key.Get(), *o.valueName, nullptr, nullptr) == ERROR_SUCCESS &&
        !Confirm("Value " + ShownName(*o.valueName) + " exists, overwrite")) {
      return Fail("The value " + ShownName(*o.valueName) +
                  " exists and was left as it is (/f overwrites it).");
    }
    if (const int32_t rc = RegKeySet(key.Get(), *o.valueName, type, data); rc != ERROR_SUCCESS)
      return Fail(Describe(rc));
  }
  Out(kDone);
  return 0;
}

int RunDelete(const TStore& store, const TOptions& o) {
  const std::string what = o.valueName   ? "the registry value " + ShownName(*o.valueName)
                           : o.allValues ? "all values of the registry key " + FullKeyName(o.key)
                                         : "the registry key " + FullKeyName(o.key);
  THandle key;
  if (const int32_t rc =
          RegKeyOpen(store, o.key.root, o.key.path, KEY_ALL_ACCESS | o.view, false, key.Out());
      rc != ERROR_SUCCESS)
    return Fail(Describe(rc));
  if (o.valueName && RegKeyQuery(key.Get(), *o.valueName, nullptr, nullptr) == ERROR_FILE_NOT_FOUND)
    return Fail(Describe(ERROR_FILE_NOT_FOUND));
  if (!o.force && !Confirm("Permanently delete " + what))
    return Fail("Nothing was deleted (/f deletes without asking).");

  int32_t rc = ERROR_SUCCESS;
  if (o.valueName) {
    rc = RegKeyDeleteValue(key.Get(), *o.valueName);
  } else if (o.allValues) {
    store->Write([&] {
      std::vector<std::string> names;
      rc = RegKeyValueNames(key.Get(), &names);
      for (size_t i = 0; rc == ERROR_SUCCESS && i < names.size(); ++i)
        rc = RegKeyDeleteValue(key.Get(), names[i]);
    });
  } else {
    rc = RegKeyDeleteTree(store, o.key.root, o.key.path, o.view);
  }
  if (rc != ERROR_SUCCESS) return Fail(Describe(rc));
  Out(kDone);
  return 0;
}

int RunExport(const TStore& store, const TOptions& o) {
  if (o.file.empty()) return Fail("reg export needs a key and a file name.");
  std::error_code ec;
  if (std::filesystem::exists(o.file, ec) && !o.force &&
      !Confirm("File " + Utf8ToAnsi(o.file) + " already exists. Overwrite it"))
    return Fail("The file " + Utf8ToAnsi(o.file) +
                " exists and was left as it is (/y overwrites it).");
  std::string text;
  if (const int32_t rc = ExportKey(store, o.key, o.view, &text); rc != ERROR_SUCCESS)
    return Fail(Describe(rc));
  // Written beside the target first, so a failure never leaves half a file.
  const std::filesystem::path target(o.file);
  const std::filesystem::path temp = target.string() + ".tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    if (!out) {
      std::filesystem::remove(temp, ec);
      return Fail("Cannot write the file " + Utf8ToAnsi(o.file) + ".");
    }
  }
  std::filesystem::rename(temp, target, ec);
  if (ec) {
    std::filesystem::remove(temp, ec);
    return Fail("Cannot write the file " + Utf8ToAnsi(o.file) + ".");
  }
  Out(kDone);
  return 0;
}

int RunImport(const TStore& store, const TOptions& o) {
  std::ifstream in(o.file, std::ios::binary);
  if (!in) return Fail("Cannot open the file " + Utf8ToAnsi(o.file) + ".");
  std::ostringstream bytes;
  bytes << in.rdbuf();
  std::string error;
  if (!ImportFile(store, bytes.str(), o.view, &error)) return Fail(error);
  Out(kDone);
  return 0;
}

}  // namespace reg
