#include "RegValueText.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/CodePage.h"
#include "platform/RegistryTypes.h"

namespace reg {

using namespace platform;

namespace {

struct TTypeName {
  uint32_t type;
  const char* name;
};
constexpr TTypeName kTypes[] = {
    {REG_NONE, "REG_NONE"},     {REG_SZ, "REG_SZ"},       {REG_EXPAND_SZ, "REG_EXPAND_SZ"},
    {REG_BINARY, "REG_BINARY"}, {REG_DWORD, "REG_DWORD"}, {REG_MULTI_SZ, "REG_MULTI_SZ"},
    {kRegQword, "REG_QWORD"},
};

std::string Hex(const std::string& data) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : data) {
    out.push_back(digits[c >> 4]);
    out.push_back(digits[c & 15]);
  }
  return out;
}

// An unsigned number in decimal or, with "0x", hexadecimal, not above `max`.
bool ParseNumber(std::string_view text, uint64_t max, uint64_t* value) {
  std::string s(text);
  if (s.empty() || s[0] == '-' || s[0] == '+' || s.find_first_of(" \t") != std::string::npos)
    return false;
  const bool hex = s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X');
  char* end = nullptr;
  errno = 0;
  const unsigned long long v = std::strtoull(s.c_str() + (hex ? 2 : 0), &end, hex ? 16 : 10);
  if (errno != 0 || *end != '\0' || v > max) return false;
  *value = v;
  return true;
}

}  // namespace

std::string TypeName(uint32_t type) {
  for (const auto& t : kTypes)
    if (t.type == type) return t.name;
  char buf[32];
  std::snprintf(buf, sizeof buf, "REG_0x%X", type);
  return buf;
}

std::optional<uint32_t> TypeFromName(std::string_view name) {
  for (const auto& t : kTypes)
    if (AnsiSameText(name, t.name)) return t.type;
  return std::nullopt;
}

std::string DisplayData(uint32_t type, const std::string& data) {
  switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
      return data.substr(0, data.find('\0'));
    case REG_DWORD:
    case kRegQword:
      if (data.size() == (type == REG_DWORD ? 4u : 8u)) {
        uint64_t v = 0;
        std::memcpy(&v, data.data(), data.size());
        char buf[32];
        std::snprintf(buf, sizeof buf, "0x%llx", static_cast<unsigned long long>(v));
        return buf;
      }
      return Hex(data);
    case REG_MULTI_SZ: {
      std::string_view rest(data);
      while (!rest.empty() && rest.back() == '\0')
        rest.remove_suffix(1);
      std::string out;
      for (char c : rest) {
        if (c == '\0')
          out += "\\0";
        else
          out.push_back(c);
      }
      return out;
    }
    default:
      return Hex(data);
  }
}

bool DataFromText(uint32_t type, std::string_view text, std::string_view separator,
                  std::string* data, std::string* error) {
  data->clear();
  switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
      data->assign(text);
      data->push_back('\0');
      return true;
    case REG_DWORD:
    case kRegQword: {
      uint64_t v = 0;
      if (text.empty()) {
        v = 0;
      } else if (!ParseNumber(text, type == REG_DWORD ? 0xFFFFFFFFull : ~0ull, &v)) {
        *error = "Invalid " + TypeName(type) + " data: " + std::string(text);
        return false;
      }
      data->resize(type == REG_DWORD ? 4 : 8);
      std::memcpy(data->data(), &v, data->size());
      return true;
    }
    case REG_MULTI_SZ: {
      const std::string_view sep = separator.empty() ? std::string_view("\\0") : separator;
      size_t start = 0;
      while (!text.empty()) {
        const size_t end = text.find(sep, start);
        const std::string_view part = text.substr(start, end - start);
        if (part.empty()) {
          *error = "Invalid REG_MULTI_SZ data: an empty string inside " + std::string(text);
          return false;
        }
        data->append(part);
        data->push_back('\0');
        if (end == std::string_view::npos) break;
        start = end + sep.size();
      }
      data->push_back('\0');
      return true;
    }
    default: {  // REG_BINARY, REG_NONE: hexadecimal digits
      if (text.size() % 2 != 0) {
        *error = "Invalid binary data (an odd number of hexadecimal digits): " + std::string(text);
        return false;
      }
      for (size_t i = 0; i < text.size(); i += 2) {
        const std::string pair(text.substr(i, 2));
        char* end = nullptr;
        const long byte = std::strtol(pair.c_str(), &end, 16);
        if (*end != '\0' || pair.find_first_of("+- ") != std::string::npos) {
          *error = "Invalid binary data: " + std::string(text);
          return false;
        }
        data->push_back(static_cast<char>(byte));
      }
      return true;
    }
  }
}

}  // namespace reg
