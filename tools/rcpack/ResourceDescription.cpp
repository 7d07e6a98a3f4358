#include "tools/rcpack/ResourceDescription.h"

#include <charconv>
#include <fstream>
#include <optional>
#include <sstream>

#include "platform/CodePage.h"
#include "platform/ResourcesManifest.h"
#include "platform/ResourcesVersion.h"

namespace rcpack {
namespace {

using platform::TResource;

// Reads one description, statement by statement, and collects what it declares.
class TReader {
 public:
  TReader(std::filesystem::path file, const std::map<std::string, std::string>& variables)
      : file_(std::move(file)), variables_(variables) {}

  TDescription Read();

 private:
  [[noreturn]] void Fail(const std::string& message) const {
    throw EDescriptionError(file_.string() + ":" + std::to_string(line_) + ": " + message);
  }
  std::vector<std::string> SplitWords(std::string_view text) const;
  std::string Substitute(std::string_view word) const;
  std::string ToAnsi(const std::string& utf8) const;
  uint16_t Number16(const std::string& word) const;
  std::string ReadInput(const std::string& name);
  void Statement(const std::vector<std::string>& w);
  void VersionStatement(const std::vector<std::string>& w);
  void Expect(const std::vector<std::string>& w, size_t count, const char* form) const {
    if (w.size() != count) Fail(std::string("expected: ") + form);
  }

  std::filesystem::path file_;
  const std::map<std::string, std::string>& variables_;
  int line_ = 0;
  uint16_t language_ = platform::kLangNeutral;

  TDescription out_;
  bool hasVersion_ = false;
  uint16_t versionLanguage_ = 0;
  platform::TVersionInfo version_;
  bool hasManifest_ = false;
  uint16_t manifestLanguage_ = 0;
  platform::TManifest manifest_;
  struct TGroup {
    std::string Name;
    uint16_t Language;
    std::vector<platform::TIconImage> Images;
  };
  std::vector<TGroup> groups_;
  int iconCount_ = 0;
  std::vector<TResource> files_;
};

std::vector<std::string> TReader::SplitWords(std::string_view text) const {
  std::vector<std::string> words;
  size_t i = 0;
  while (true) {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r'))
      ++i;
    if (i == text.size()) break;
    std::string word;
    if (text[i] == '"') {
      for (++i;; ++i) {
        if (i == text.size()) Fail("a quoted word has no closing quote");
        char c = text[i];
        if (c == '"') break;
        if (c == '\\') {
          if (++i == text.size()) Fail("a quoted word ends in a backslash");
          switch (text[i]) {
            case '"':
              word += '"';
              break;
            case '\\':
              word += '\\';
              break;
            case 'n':
              word += '\n';
              break;
            case 'r':
              word += '\r';
              break;
            case 't':
              word += '\t';
              break;
            default:
              Fail(std::string("unknown escape \\") + text[i]);
          }
        } else {
          word += c;
        }
      }
      ++i;
      if (i < text.size() && text[i] != ' ' && text[i] != '\t' && text[i] != '\r')
        Fail("a quoted word runs into the next one");
    } else {
      while (i < text.size() && text[i] != ' ' && text[i] != '\t' && text[i] != '\r') {
        if (text[i] == '"') Fail("a quote inside a word");
        word += text[i++];
      }
    }
    words.push_back(Substitute(word));
  }
  return words;
}

std::string TReader::Substitute(std::string_view word) const {
  std::string out;
  for (size_t i = 0; i < word.size();) {
    if (word.compare(i, 2, "${") == 0) {
      size_t close = word.find('}', i + 2);
      if (close == std::string_view::npos) Fail("\"${\" without \"}\"");
      std::string name(word.substr(i + 2, close - i - 2));
      auto it = variables_.find(name);
      if (it == variables_.end())
        Fail("variable " + name + " is not defined (-D " + name + "=...)");
      out += it->second;
      i = close + 1;
    } else {
      out += word[i++];
    }
  }
  return out;
}

std::string TReader::ToAnsi(const std::string& utf8) const {
  std::string ansi = platform::Utf8ToAnsi(utf8);
  if (platform::AnsiToUtf8(ansi) != utf8)
    Fail("\"" + utf8 + "\" has characters Windows-1251 lacks");
  return ansi;
}

uint16_t TReader::Number16(const std::string& word) const {
  std::string_view text = word;
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    base = 16;
  }
  uint16_t value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (ec != std::errc() || end != text.data() + text.size() || text.empty())
    Fail("\"" + word + "\" is not a number from 0 to 65535");
  return value;
}

std::string TReader::ReadInput(const std::string& name) {
  std::filesystem::path path = name;
  if (path.is_relative()) path = file_.parent_path() / path;
  std::ifstream in(path, std::ios::binary);
  if (!in) Fail("cannot open " + path.string());
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) Fail("cannot read " + path.string());
  out_.Inputs.push_back(path);
  return bytes;
}

void TReader::VersionStatement(const std::vector<std::string>& w) {
  if (w.size() < 3) Fail("expected: version file|product|flags|os|type VALUE");
  platform::TFixedFileInfo& f = version_.Fixed;
  const std::string& what = w[1];
  if (what == "file" || what == "product") {
    Expect(w, 3, "version file|product A.B.C.D");
    bool ok = what == "file"
                  ? platform::ParseFixedVersion(w[2], f.FileVersionMS, f.FileVersionLS)
                  : platform::ParseFixedVersion(w[2], f.ProductVersionMS, f.ProductVersionLS);
    if (!ok) Fail("\"" + w[2] + "\" is not a version of up to four numbers");
  } else if (what == "flags") {
    static const std::pair<const char*, uint32_t> kFlags[] = {
        {"debug", platform::kVsFfDebug},
        {"prerelease", platform::kVsFfPrerelease},
        {"patched", platform::kVsFfPatched},
        {"privatebuild", platform::kVsFfPrivateBuild},
        {"infoinferred", platform::kVsFfInfoInferred},
        {"specialbuild", platform::kVsFfSpecialBuild}};
    for (size_t i = 2; i < w.size(); ++i) {
      bool known = false;
      for (const auto& [name, bit] : kFlags)
        if (w[i] == name) {
          f.FileFlags |= bit;
          known = true;
        }
      if (!known) Fail("unknown version flag \"" + w[i] + "\"");
    }
  } else if (what == "os") {
    Expect(w, 3, "version os windows32|nt|nt-windows32");
    if (w[2] == "windows32")
      f.FileOS = platform::kVosWindows32;
    else if (w[2] == "nt")
      f.FileOS = platform::kVosNt;
    else if (w[2] == "nt-windows32")
      f.FileOS = platform::kVosNtWindows32;
    else
      Fail("unknown operating system \"" + w[2] + "\"");
  } else if (what == "type") {
    Expect(w, 3, "version type app|dll");
    if (w[2] == "app")
      f.FileType = platform::kVftApp;
    else if (w[2] == "dll")
      f.FileType = platform::kVftDll;
    else
      Fail("unknown file type \"" + w[2] + "\"");
  } else {
    Fail("unknown version field \"" + what + "\"");
  }
}

void TReader::Statement(const std::vector<std::string>& w) {
  const std::string& verb = w[0];
  auto startVersion = [&] {
    if (!hasVersion_) versionLanguage_ = language_;
    hasVersion_ = true;
  };
  if (verb == "language") {
    Expect(w, 2, "language NUMBER");
    language_ = Number16(w[1]);
  } else if (verb == "version") {
    startVersion();
    VersionStatement(w);
  } else if (verb == "translation") {
    Expect(w, 3, "translation LANGUAGE CODEPAGE");
    startVersion();
    version_.Translations.push_back({Number16(w[1]), Number16(w[2])});
  } else if (verb == "string") {
    Expect(w, 5, "string LANGUAGE CODEPAGE NAME \"VALUE\"");
    startVersion();
    platform::TTranslation key{Number16(w[1]), Number16(w[2])};
    platform::TStringTable* table = nullptr;
    for (auto& t : version_.Tables)
      if (t.Key.Language == key.Language && t.Key.CodePage == key.CodePage) table = &t;
    if (!table) table = &version_.Tables.emplace_back(platform::TStringTable{key, {}});
    std::string name = ToAnsi(w[3]);
    for (const auto& s : table->Strings)
      if (platform::AnsiSameText(s.Name, name)) Fail("string " + w[3] + " is given twice");
    table->Strings.push_back({name, ToAnsi(w[4])});
  } else if (verb == "manifest") {
    if (!hasManifest_) manifestLanguage_ = language_;
    hasManifest_ = true;
    Expect(w, 3, "manifest level|common-controls|uiaccess VALUE");
    if (w[1] == "level") {
      if (w[2] != "asInvoker" && w[2] != "highestAvailable" && w[2] != "requireAdministrator")
        Fail("unknown execution level \"" + w[2] + "\"");
      manifest_.RequestedExecutionLevel = w[2];
    } else if (w[1] == "common-controls") {
      manifest_.Dependencies.push_back({platform::kCommonControlsAssembly, w[2]});
    } else if (w[1] == "uiaccess") {
      if (w[2] != "true" && w[2] != "false") Fail("uiaccess is true or false");
      manifest_.UiAccess = w[2] == "true";
    } else {
      Fail("unknown manifest field \"" + w[1] + "\"");
    }
  } else if (verb == "icon") {
    if (w.size() != 3 && w.size() != 5) Fail("expected: icon GROUP FILE [WIDTH HEIGHT]");
    platform::TIconImage image;
    std::string ext = std::filesystem::path(w[2]).extension().string();
    image.Format = platform::AnsiLowerCase(ext.empty() ? ext : ext.substr(1));
    if (image.Format != "svg" && image.Format != "png") Fail("an icon image is .svg or .png");
    if (w.size() == 5) {
      image.Width = Number16(w[3]);
      image.Height = Number16(w[4]);
    }
    image.Bytes = ReadInput(w[2]);
    image.ImageResource = "#" + std::to_string(++iconCount_);
    std::string group = ToAnsi(w[1]);
    TGroup* g = nullptr;
    for (auto& existing : groups_)
      if (platform::SameResourceId(existing.Name, group)) g = &existing;
    if (!g) g = &groups_.emplace_back(TGroup{group, language_, {}});
    g->Images.push_back(std::move(image));
  } else if (verb == "resource") {
    Expect(w, 4, "resource TYPE NAME FILE");
    files_.push_back({ToAnsi(w[1]), ToAnsi(w[2]), language_, ReadInput(w[3])});
  } else {
    Fail("unknown statement \"" + verb + "\"");
  }
}

TDescription TReader::Read() {
  std::ifstream in(file_, std::ios::binary);
  if (!in) throw EDescriptionError("cannot open " + file_.string());
  std::string text;
  while (std::getline(in, text)) {
    ++line_;
    size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos || text[first] == '#') continue;
    Statement(SplitWords(text));
  }
  line_ = 0;

  if (hasVersion_) {
    if (version_.Translations.empty())
      for (const auto& t : version_.Tables)
        version_.Translations.push_back(t.Key);
    out_.Resources.push_back({platform::kRtVersion, platform::kVersionInfoId, versionLanguage_,
                              platform::EncodeVersionInfo(version_)});
  }
  if (hasManifest_)
    out_.Resources.push_back({platform::kRtManifest, platform::kManifestId, manifestLanguage_,
                              platform::EncodeManifest(manifest_)});
  for (TGroup& g : groups_) {
    for (const auto& image : g.Images)
      out_.Resources.push_back({platform::kRtIcon, image.ImageResource, g.Language, image.Bytes});
    out_.Resources.push_back(
        {platform::kRtGroupIcon, g.Name, g.Language, platform::EncodeIconGroup(g.Images)});
  }
  for (TResource& r : files_)
    out_.Resources.push_back(std::move(r));
  return std::move(out_);
}

}  // namespace

TDescription ReadDescription(const std::filesystem::path& file,
                             const std::map<std::string, std::string>& variables) {
  return TReader(file, variables).Read();
}

}  // namespace rcpack
