#include "platform/ResourcesVersion.h"

#include <charconv>
#include <cstdio>

#include "platform/CodePage.h"
#include "platform/PlatformError.h"

namespace platform {
namespace {

constexpr std::string_view kHeader = "DARVENA-VERSIONINFO 1";

std::string Escape(std::string_view s) {
  std::string out;
  for (char c : s) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\0':
        out += "\\0";
        break;
      case '=':
        out += "\\=";
        break;
      default:
        out += c;
    }
  }
  return out;
}

// Unescapes S up to its first unescaped Stop character (or its end when Stop is 0);
// Rest receives what follows that character. False on a dangling or unknown escape.
bool Unescape(std::string_view s, char stop, std::string& out, std::string_view& rest) {
  out.clear();
  for (size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if (stop && c == stop) {
      rest = s.substr(i + 1);
      return true;
    }
    if (c != '\\') {
      out += c;
      continue;
    }
    if (++i == s.size()) return false;
    switch (s[i]) {
      case '\\':
        out += '\\';
        break;
      case 'n':
        out += '\n';
        break;
      case 'r':
        out += '\r';
        break;
      case '0':
        out += '\0';
        break;
      case '=':
        out += '=';
        break;
      default:
        return false;
    }
  }
  rest = {};
  return stop == 0;
}

bool ParseNumber(std::string_view text, uint32_t& value) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    base = 16;
  }
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  return ec == std::errc() && end == text.data() + text.size() && !text.empty();
}

bool ParseHex16(std::string_view text, uint16_t& value) {
  if (text.size() != 4) return false;
  auto [end, ec] = std::from_chars(text.data(), text.data() + 4, value, 16);
  return ec == std::errc() && end == text.data() + 4;
}

std::string Hex16(uint16_t v) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%04X", v);
  return buf;
}

std::string Hex32(uint32_t v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%X", v);
  return buf;
}

// "LLLLCCCC" of a table key, eight hex digits.
bool ParseTableKey(std::string_view text, TTranslation& key) {
  return text.size() == 8 && ParseHex16(text.substr(0, 4), key.Language) &&
         ParseHex16(text.substr(4, 4), key.CodePage);
}

}  // namespace

bool ParseFixedVersion(std::string_view text, uint32_t& ms, uint32_t& ls) {
  uint32_t parts[4] = {0, 0, 0, 0};
  int count = 0;
  while (true) {
    size_t dot = text.find('.');
    std::string_view part = text.substr(0, dot);
    uint32_t v = 0;
    if (count == 4 || !ParseNumber(part, v) || part.size() > 5 || v > 0xFFFF ||
        part.find_first_not_of("0123456789") != std::string_view::npos)
      return false;
    parts[count++] = v;
    if (dot == std::string_view::npos) break;
    text.remove_prefix(dot + 1);
  }
  ms = (parts[0] << 16) | parts[1];
  ls = (parts[2] << 16) | parts[3];
  return true;
}

std::string FixedVersionText(uint32_t ms, uint32_t ls) {
  return std::to_string(ms >> 16) + "." + std::to_string(ms & 0xFFFF) + "." +
         std::to_string(ls >> 16) + "." + std::to_string(ls & 0xFFFF);
}

std::string EncodeVersionInfo(const TVersionInfo& info) {
  const TFixedFileInfo& f = info.Fixed;
  std::string out(kHeader);
  out += "\nFileVersion " + FixedVersionText(f.FileVersionMS, f.FileVersionLS);
  out += "\nProductVersion " + FixedVersionText(f.ProductVersionMS, f.ProductVersionLS);
  out += "\nFileFlagsMask " + Hex32(f.FileFlagsMask);
  out += "\nFileFlags " + Hex32(f.FileFlags);
  out += "\nFileOS " + Hex32(f.FileOS);
  out += "\nFileType " + Hex32(f.FileType);
  out += "\nFileSubtype " + Hex32(f.FileSubtype);
  for (const TTranslation& t : info.Translations)
    out += "\nTranslation " + Hex16(t.Language) + " " + Hex16(t.CodePage);
  for (const TStringTable& table : info.Tables) {
    out += "\nStringFileInfo " + Hex16(table.Key.Language) + Hex16(table.Key.CodePage);
    for (const TVersionString& s : table.Strings)
      out += "\nString " + Escape(s.Name) + "=" + Escape(s.Value);
  }
  out += "\n";
  return out;
}

std::optional<TVersionInfo> DecodeVersionInfo(std::string_view bytes) {
  if (bytes.substr(0, kHeader.size()) != kHeader ||
      (bytes.size() > kHeader.size() && bytes[kHeader.size()] != '\n'))
    return std::nullopt;
  TVersionInfo info;
  TFixedFileInfo& f = info.Fixed;
  bytes.remove_prefix(std::min(bytes.size(), kHeader.size() + 1));
  while (!bytes.empty()) {
    size_t end = bytes.find('\n');
    std::string_view line = bytes.substr(0, end);
    bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
    size_t space = line.find(' ');
    if (space == std::string_view::npos) continue;
    std::string_view key = line.substr(0, space), value = line.substr(space + 1);
    bool ok = true;
    if (key == "FileVersion") {
      ok = ParseFixedVersion(value, f.FileVersionMS, f.FileVersionLS);
    } else if (key == "ProductVersion") {
      ok = ParseFixedVersion(value, f.ProductVersionMS, f.ProductVersionLS);
    } else if (key == "FileFlagsMask") {
      ok = ParseNumber(value, f.FileFlagsMask);
    } else if (key == "FileFlags") {
      ok = ParseNumber(value, f.FileFlags);
    } else if (key == "FileOS") {
      ok = ParseNumber(value, f.FileOS);
    } else if (key == "FileType") {
      ok = ParseNumber(value, f.FileType);
    } else if (key == "FileSubtype") {
      ok = ParseNumber(value, f.FileSubtype);
    } else if (key == "Translation") {
      TTranslation t;
      ok = value.size() == 9 && value[4] == ' ' && ParseHex16(value.substr(0, 4), t.Language) &&
           ParseHex16(value.substr(5, 4), t.CodePage);
      if (ok) info.Translations.push_back(t);
    } else if (key == "StringFileInfo") {
      TStringTable table;
      ok = ParseTableKey(value, table.Key);
      if (ok) info.Tables.push_back(std::move(table));
    } else if (key == "String") {
      TVersionString s;
      std::string_view rest;
      ok = !info.Tables.empty() && Unescape(value, '=', s.Name, rest) &&
           Unescape(rest, 0, s.Value, rest);
      if (ok) info.Tables.back().Strings.push_back(std::move(s));
    }
    if (!ok) return std::nullopt;
  }
  return info;
}

std::optional<TVersionInfo> GetFileVersionInfo(const TProgramFile& file) {
  try {
    std::optional<std::string> bytes = file.LoadResource(kRtVersion, kVersionInfoId);
    if (!bytes) return std::nullopt;
    return DecodeVersionInfo(*bytes);
  } catch (const EPlatformError&) {
    return std::nullopt;  // unreadable version information is no version information
  }
}

std::optional<TVersionInfo> GetFileVersionInfoPosix(const std::filesystem::path& posix) {
  try {
    return GetFileVersionInfo(TProgramFile::OpenPosix(posix));
  } catch (const EPlatformError&) {
    return std::nullopt;  // as above: a file that cannot be opened has none
  }
}

uint32_t GetFileVersionInfoSizePosix(const std::filesystem::path& posix) {
  try {
    TProgramFile file = TProgramFile::OpenPosix(posix);
    const TResourceEntry* e = file.FindResource(kRtVersion, kVersionInfoId);
    if (!e || !DecodeVersionInfo(file.LoadResource(*e))) return 0;
    return static_cast<uint32_t>(e->Size);
  } catch (const EPlatformError&) {
    return 0;  // as above
  }
}

std::optional<std::string> VerQueryString(const TVersionInfo& info, std::string_view subBlock) {
  constexpr std::string_view kPrefix = "\\StringFileInfo\\";
  if (subBlock.size() < kPrefix.size() ||
      !AnsiSameText(subBlock.substr(0, kPrefix.size()), kPrefix))
    return std::nullopt;
  subBlock.remove_prefix(kPrefix.size());
  size_t slash = subBlock.find('\\');
  TTranslation key;
  if (slash == std::string_view::npos || !ParseTableKey(subBlock.substr(0, slash), key))
    return std::nullopt;
  std::string_view name = subBlock.substr(slash + 1);
  for (const TStringTable& table : info.Tables) {
    if (table.Key.Language != key.Language || table.Key.CodePage != key.CodePage) continue;
    for (const TVersionString& s : table.Strings)
      if (AnsiSameText(s.Name, name)) return s.Value;
  }
  return std::nullopt;
}

}  // namespace platform
