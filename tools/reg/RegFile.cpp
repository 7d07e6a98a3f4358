#include "RegFile.h"

#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "platform/CodePage.h"
#include "platform/RegistryKey.h"

namespace reg {

using namespace platform;

namespace {

constexpr const char* kHeader5 = "Windows Registry Editor Version 5.00";
constexpr const char* kHeader4 = "REGEDIT4";

// An open handle, closed when it goes.
class THandle {
 public:
  THandle() = default;
  ~THandle() { Reset(nullptr); }
  THandle(const THandle&) = delete;
  THandle& operator=(const THandle&) = delete;
  void Reset(HKEY key) {
    if (key_) RegKeyClose(key_);
    key_ = key;
  }
  HKEY* Out() {
    Reset(nullptr);
    return &key_;
  }
  HKEY Get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

// --- Writing ---------------------------------------------------------------

std::string Quote(std::string_view ansi) {
  std::string out = "\"";
  for (char c : AnsiToUtf8(ansi)) {
    if (c == '\\' || c == '"') out.push_back('\\');
    out.push_back(c);
  }
  return out + "\"";
}

// Windows-1251 bytes as the UTF-16LE code units the format keeps for strings.
std::string Utf16(std::string_view ansi) {
  std::string out;
  for (unsigned char c : ansi) {
    const char32_t u = AnsiToUnicode(c);
    out.push_back(static_cast<char>(u & 0xFF));
    out.push_back(static_cast<char>((u >> 8) & 0xFF));
  }
  return out;
}

// A REG_SZ value that a quoted string gives back exactly.
bool IsPlainString(const std::string& data) {
  if (data.empty() || data.back() != '\0') return false;
  for (size_t i = 0; i + 1 < data.size(); ++i) {
    const auto c = static_cast<unsigned char>(data[i]);
    if (c == 0 || c == '\r' || c == '\n' || c == 0x98) return false;
  }
  return true;
}

// "prefix" followed by comma-separated bytes, wrapped as registry editors wrap them.
std::string HexData(std::string line, std::string_view bytes) {
  std::string out;
  char piece[4];
  for (size_t i = 0; i < bytes.size(); ++i) {
    std::snprintf(piece, sizeof piece, "%02x%s", static_cast<unsigned char>(bytes[i]),
                  i + 1 < bytes.size() ? "," : "");
    if (line.size() + std::strlen(piece) > 78 && i > 0) {
      out += line + "\\\r\n";
      line = "  ";
    }
    line += piece;
  }
  return out + line;
}

std::string ValueLine(const std::string& name, uint32_t type, const std::string& data) {
  const std::string lead = (name.empty() ? std::string("@") : Quote(name)) + "=";
  switch (type) {
    case REG_SZ:
      if (IsPlainString(data)) return lead + Quote(data.substr(0, data.size() - 1));
      return HexData(lead + "hex(1):", Utf16(data));
    case REG_DWORD:
      if (data.size() == 4) {
        uint32_t v = 0;
        std::memcpy(&v, data.data(), 4);
        char buf[16];
        std::snprintf(buf, sizeof buf, "dword:%08x", v);
        return lead + buf;
      }
      break;
    case REG_BINARY:
      return HexData(lead + "hex:", data);
    case REG_EXPAND_SZ:
    case REG_MULTI_SZ:
      return HexData(lead + (type == REG_EXPAND_SZ ? "hex(2):" : "hex(7):"), Utf16(data));
  }
  char prefix[24];
  std::snprintf(prefix, sizeof prefix, "hex(%x):", type);
  return HexData(lead + prefix, data);
}

int32_t ExportTree(HKEY key, const TKeyName& name, std::string* text) {
  *text += "[" + AnsiToUtf8(FullKeyName(name)) + "]\r\n";
  std::vector<std::string> names;
  if (const int32_t rc = RegKeyValueNames(key, &names); rc != ERROR_SUCCESS) return rc;
  for (const auto& value : names) {
    uint32_t type = 0;
    std::string data;
    if (const int32_t rc = RegKeyQuery(key, value, &type, &data); rc != ERROR_SUCCESS) return rc;
    *text += ValueLine(value, type, data) + "\r\n";
  }
  *text += "\r\n";
  if (const int32_t rc = RegKeySubkeyNames(key, &names); rc != ERROR_SUCCESS) return rc;
  for (const auto& child : names) {
    THandle sub;
    if (const int32_t rc = RegKeyOpen(nullptr, key, child, key->access, false, sub.Out());
        rc != ERROR_SUCCESS)
      return rc;
    if (const int32_t rc = ExportTree(sub.Get(), SubkeyName(name, child), text);
        rc != ERROR_SUCCESS)
      return rc;
  }
  return ERROR_SUCCESS;
}

// --- Reading ---------------------------------------------------------------

struct TImportError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

void AppendUtf8(char32_t u, std::string& out) {
  if (u < 0x80) {
    out.push_back(static_cast<char>(u));
  } else if (u < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (u >> 6)));
    out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
  } else if (u < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (u >> 12)));
    out.push_back(static_cast<char>(0x80 | ((u >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (u >> 18)));
    out.push_back(static_cast<char>(0x80 | ((u >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((u >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
  }
}

// The file as UTF-8 text, whatever its byte order mark says.
std::string DecodeFile(std::string_view bytes) {
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
      static_cast<unsigned char>(bytes[1]) == 0xFE) {
    std::string out;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
      char32_t u =
          static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8);
      if (u >= 0xD800 && u < 0xDC00 && i + 3 < bytes.size()) {
        const char32_t low = static_cast<unsigned char>(bytes[i + 2]) |
                             (static_cast<unsigned char>(bytes[i + 3]) << 8);
        if (low >= 0xDC00 && low < 0xE000) {
          u = 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00);
          i += 2;
        }
      }
      AppendUtf8(u, out);
    }
    return out;
  }
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  return std::string(bytes);
}

// UTF-16LE code units back to Windows-1251 ("?" where it has no character).
std::string FromUtf16(const std::string& units) {
  if (units.size() % 2 != 0) throw TImportError("string data with an odd number of bytes");
  std::string out;
  for (size_t i = 0; i < units.size(); i += 2) {
    const char32_t u =
        static_cast<unsigned char>(units[i]) | (static_cast<unsigned char>(units[i + 1]) << 8);
    const int b = UnicodeToAnsi(u);
    out.push_back(b < 0 ? '?' : static_cast<char>(b));
  }
  return out;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
    s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
    s.remove_suffix(1);
  return s;
}

// A quoted string at s[pos] (UTF-8, escapes undone); pos moves past its closing quote.
std::string ParseQuoted(std::string_view s, size_t& pos) {
  std::string out;
  ++pos;  // the opening quote
  while (pos < s.size() && s[pos] != '"') {
    if (s[pos] == '\\' && pos + 1 < s.size()) ++pos;
    out.push_back(s[pos++]);
  }
  if (pos >= s.size()) throw TImportError("a string without its closing quote");
  ++pos;
  return out;
}

std::string ParseHexBytes(std::string_view list) {
  std::string out;
  size_t pos = 0;
  while (pos < list.size()) {
    const size_t comma = list.find(',', pos);
    const std::string_view item = Trim(list.substr(pos, comma - pos));
    if (item.empty() && comma == std::string_view::npos && !out.empty())
      throw TImportError("a byte list that ends with a comma");
    if (item.empty() && comma == std::string_view::npos) break;
    if (item.size() < 1 || item.size() > 2 ||
        item.find_first_not_of("0123456789abcdefABCDEF") != std::string_view::npos)
      throw TImportError("a bad byte \"" + std::string(item) + "\"");
    out.push_back(static_cast<char>(std::stoi(std::string(item), nullptr, 16)));
    if (comma == std::string_view::npos) break;
    pos = comma + 1;
  }
  return out;
}

struct TParsedValue {
  bool remove = false;
  uint32_t type = REG_NONE;
  std::string data;
};

TParsedValue ParseData(std::string_view s, bool unicode) {
  TParsedValue v;
  if (s == "-") {
    v.remove = true;
    return v;
  }
  if (!s.empty() && s.front() == '"') {
    size_t pos = 0;
    v.type = REG_SZ;
    v.data = Utf8ToAnsi(ParseQuoted(s, pos));
    v.data.push_back('\0');
    if (!Trim(s.substr(pos)).empty()) throw TImportError("text after a closing quote");
    return v;
  }
  if (s.substr(0, 6) == "dword:") {
    const std::string digits(Trim(s.substr(6)));
    if (digits.empty() || digits.size() > 8 ||
        digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
      throw TImportError("bad dword data \"" + digits + "\"");
    const uint32_t n = static_cast<uint32_t>(std::stoul(digits, nullptr, 16));
    v.type = REG_DWORD;
    v.data.resize(4);
    std::memcpy(v.data.data(), &n, 4);
    return v;
  }
  if (s.substr(0, 4) == "hex:") {
    v.type = REG_BINARY;
    v.data = ParseHexBytes(s.substr(4));
    return v;
  }
  if (s.substr(0, 4) == "hex(") {
    const size_t close = s.find("):");
    const std::string code(s.substr(4, close == std::string_view::npos ? 0 : close - 4));
    if (close == std::string_view::npos || code.empty() || code.size() > 8 ||
        code.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
      throw TImportError("a bad value type");
    v.type = static_cast<uint32_t>(std::stoul(code, nullptr, 16));
    v.data = ParseHexBytes(s.substr(close + 2));
    // Strings are kept as UTF-16 in a Unicode registry file.
    if (unicode && (v.type == REG_SZ || v.type == REG_EXPAND_SZ || v.type == REG_MULTI_SZ))
      v.data = FromUtf16(v.data);
    return v;
  }
  throw TImportError("unknown value data \"" + Utf8ToAnsi(s.substr(0, 40)) + "\"");
}

TKeyName ParseKeyLine(std::string_view inside) {
  TKeyName key;
  std::string error;
  if (!ParseKeyName(Utf8ToAnsi(Trim(inside)), &key, &error)) throw TImportError(error);
  return key;
}

void Check(int32_t rc, const char* what) {
  if (rc != ERROR_SUCCESS)
    throw TImportError(std::string(what) + " (error " + std::to_string(rc) + ")");
}

}  // namespace

int32_t ExportKey(const std::shared_ptr<TRegistryStore>& store, const TKeyName& key, uint32_t view,
                  std::string* text) {
  *text = std::string(kHeader5) + "\r\n\r\n";
  int32_t rc = ERROR_SUCCESS;
  store->Read([&] {
    THandle top;
    rc = RegKeyOpen(store, key.root, key.path, KEY_READ | view, false, top.Out());
    if (rc == ERROR_SUCCESS) rc = ExportTree(top.Get(), key, text);
  });
  return rc;
}

bool ImportFile(const std::shared_ptr<TRegistryStore>& store, std::string_view bytes, uint32_t view,
                std::string* error) {
  const std::string text = DecodeFile(bytes);
  // Logical lines: a line that ends in "\" goes on in the next one.
  struct TLine {
    int number;
    std::string text;
  };
  std::vector<TLine> lines;
  {
    int number = 0;
    bool continues = false;
    size_t pos = 0;
    while (pos <= text.size()) {
      size_t end = text.find('\n', pos);
      if (end == std::string::npos) end = text.size();
      std::string_view raw = Trim(std::string_view(text).substr(pos, end - pos));
      ++number;
      const bool more = !raw.empty() && raw.back() == '\\' && !raw.starts_with("[");
      if (more) raw.remove_suffix(1);
      if (continues)
        lines.back().text += raw;
      else
        lines.push_back({number, std::string(raw)});
      continues = more;
      pos = end + 1;
    }
  }
  size_t first = 0;
  while (first < lines.size() && lines[first].text.empty())
    ++first;
  if (first == lines.size() || (lines[first].text != kHeader5 && lines[first].text != kHeader4)) {
    *error = "This is not a registry file: it must begin with \"" + std::string(kHeader5) + "\"";
    return false;
  }
  const bool unicode = lines[first].text == kHeader5;

  int lineNumber = 0;
  try {
    store->Write([&] {
      THandle current;
      bool inDeletedKey = false;
      for (size_t i = first + 1; i < lines.size(); ++i) {
        lineNumber = lines[i].number;
        const std::string_view line = lines[i].text;
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
          if (line.back() != ']') throw TImportError("a key name without its closing \"]\"");
          current.Reset(nullptr);
          inDeletedKey = line.size() > 1 && line[1] == '-';
          if (inDeletedKey) {
            const TKeyName key = ParseKeyLine(line.substr(2, line.size() - 3));
            const int32_t rc = RegKeyDeleteTree(store, key.root, key.path, view);
            if (rc != ERROR_FILE_NOT_FOUND) Check(rc, "the key cannot be deleted");
          } else {
            const TKeyName key = ParseKeyLine(line.substr(1, line.size() - 2));
            Check(RegKeyOpen(store, key.root, key.path, KEY_ALL_ACCESS | view, true, current.Out()),
                  "the key cannot be created");
          }
          continue;
        }
        if (inDeletedKey) continue;  // values of a deleted key go with it
        if (!current.Get()) throw TImportError("a value before any key");
        std::string name;
        size_t pos = 0;
        if (line.front() == '@') {
          pos = 1;
        } else if (line.front() == '"') {
          name = Utf8ToAnsi(ParseQuoted(line, pos));
        } else {
          throw TImportError("a line that is neither a key nor a value");
        }
        const std::string_view rest = Trim(line.substr(pos));
        if (rest.empty() || rest.front() != '=') throw TImportError("a value without \"=\"");
        const TParsedValue value = ParseData(Trim(rest.substr(1)), unicode);
        if (value.remove) {
          const int32_t rc = RegKeyDeleteValue(current.Get(), name);
          if (rc != ERROR_FILE_NOT_FOUND) Check(rc, "the value cannot be deleted");
        } else {
          Check(RegKeySet(current.Get(), name, value.type, value.data),
                "the value cannot be written");
        }
      }
    });
  } catch (const TImportError& e) {
    *error = "Line " + std::to_string(lineNumber) + ": " + e.what() + "; nothing was imported";
    return false;
  }
  return true;
}

}  // namespace reg
