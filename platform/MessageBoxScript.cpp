#include "platform/MessageBoxScript.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/CodePage.h"

namespace platform {
namespace {

std::string EnvOrEmpty(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::string(v) : std::string();
}

std::string Escape(const std::string& ansi) {
  std::string out;
  for (char c : AnsiToUtf8(ansi)) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::optional<std::string> Unescape(const std::string& utf8) {
  std::string out;
  for (size_t i = 0; i < utf8.size(); ++i) {
    if (utf8[i] != '\\') {
      out += utf8[i];
      continue;
    }
    if (++i == utf8.size()) return std::nullopt;
    switch (utf8[i]) {
      case '\\':
        out += '\\';
        break;
      case 't':
        out += '\t';
        break;
      case 'r':
        out += '\r';
        break;
      case 'n':
        out += '\n';
        break;
      default:
        return std::nullopt;
    }
  }
  return Utf8ToAnsi(out);
}

std::optional<uint32_t> ParseHex(const std::string& s, size_t digits) {
  if (s.size() != digits + 2 || s[0] != '0' || (s[1] != 'x' && s[1] != 'X')) return std::nullopt;
  uint32_t v = 0;
  for (size_t i = 2; i < s.size(); ++i) {
    const char c = s[i];
    int d;
    if (c >= '0' && c <= '9')
      d = c - '0';
    else if (c >= 'a' && c <= 'f')
      d = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
      d = c - 'A' + 10;
    else
      return std::nullopt;
    v = v * 16 + static_cast<uint32_t>(d);
  }
  return v;
}

std::vector<std::string> SplitAnswers(const std::string& list) {
  std::vector<std::string> out;
  std::string cur;
  for (char c : list) {
    if (c == ',' || c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == ';') {
      if (!cur.empty()) out.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  if (!cur.empty()) out.push_back(cur);
  return out;
}

// The answer for box number `index` of this request: from the list when it names
// one of the box's buttons, else the default button.
int ChooseAnswer(const TMessageBoxRequest& request, size_t index) {
  const int fallback = request.Buttons[request.DefaultButton].Id;
  const std::vector<std::string> answers = SplitAnswers(EnvOrEmpty("DARVENA_MSGBOX_ANSWERS"));
  if (index >= answers.size()) return fallback;
  const int wanted = MessageBoxResultFromName(answers[index]);
  for (const TMessageBoxButton& b : request.Buttons)
    if (b.Id == wanted) return wanted;
  std::fprintf(stderr,
               "DARVENA_MSGBOX_ANSWERS: answer %zu \"%s\" names no button of the box \"%s\"; "
               "answering %s\n",
               index + 1, answers[index].c_str(), AnsiToUtf8(request.Caption).c_str(),
               MessageBoxResultName(fallback).c_str());
  return fallback;
}

// Boxes answered in this process when there is no transcript to count them in.
size_t boxesWithoutTranscript = 0;

}  // namespace

bool ScriptedMessageBoxesActive() {
  return !EnvOrEmpty("DARVENA_MSGBOX_TRANSCRIPT").empty() ||
         !EnvOrEmpty("DARVENA_MSGBOX_ANSWERS").empty();
}

int ShowScriptedMessageBox(const TMessageBoxRequest& request) {
  TMessageBoxRecord record;
  record.Caption = request.Caption;
  record.Text = request.Text;
  record.Flags = request.Flags;
  record.HasLanguage = request.HasLanguage;
  record.Language = request.Language;

  const std::string transcript = EnvOrEmpty("DARVENA_MSGBOX_TRANSCRIPT");
  if (transcript.empty()) {
    return ChooseAnswer(request, boxesWithoutTranscript++);
  }
  const int fd = ::open(transcript.c_str(), O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) {
    std::fprintf(stderr, "DARVENA_MSGBOX_TRANSCRIPT: cannot open %s\n", transcript.c_str());
    return ChooseAnswer(request, boxesWithoutTranscript++);
  }
  // Counting and appending under one lock keeps the numbering right when several
  // processes share the transcript.
  ::flock(fd, LOCK_EX);
  size_t lines = 0;
  char buf[4096];
  ::lseek(fd, 0, SEEK_SET);
  for (ssize_t n; (n = ::read(fd, buf, sizeof buf)) > 0;)
    for (ssize_t i = 0; i < n; ++i)
      lines += buf[i] == '\n';
  record.Answer = ChooseAnswer(request, lines);
  const std::string line = FormatMessageBoxRecord(record) + "\n";
  size_t done = 0;
  while (done < line.size()) {
    const ssize_t n = ::write(fd, line.data() + done, line.size() - done);
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  ::flock(fd, LOCK_UN);
  ::close(fd);
  return record.Answer;
}

std::string FormatMessageBoxRecord(const TMessageBoxRecord& record) {
  char flags[16];
  std::snprintf(flags, sizeof flags, "0x%08X", record.Flags);
  char language[16] = "none";
  if (record.HasLanguage) std::snprintf(language, sizeof language, "0x%04X", record.Language);
  return "caption=" + Escape(record.Caption) + "\ttext=" + Escape(record.Text) +
         "\tflags=" + flags + "\tlanguage=" + language +
         "\tanswer=" + MessageBoxResultName(record.Answer);
}

std::optional<TMessageBoxRecord> ParseMessageBoxRecord(const std::string& line) {
  std::vector<std::string> fields;
  size_t start = 0;
  for (size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
    fields.push_back(line.substr(start, tab - start));
  fields.push_back(line.substr(start));
  static const char* const kKeys[] = {"caption=", "text=", "flags=", "language=", "answer="};
  if (fields.size() != 5) return std::nullopt;
  for (size_t i = 0; i < 5; ++i) {
    const std::string key = kKeys[i];
    if (fields[i].compare(0, key.size(), key) != 0) return std::nullopt;
    fields[i].erase(0, key.size());
  }
  TMessageBoxRecord r;
  const auto caption = Unescape(fields[0]);
  const auto text = Unescape(fields[1]);
  const auto flags = ParseHex(fields[2], 8);
  if (!caption || !text || !flags) return std::nullopt;
  r.Caption = *caption;
  r.Text = *text;
  r.Flags = *flags;
  if (fields[3] != "none") {
    const auto language = ParseHex(fields[3], 4);
    if (!language) return std::nullopt;
    r.HasLanguage = true;
    r.Language = static_cast<uint16_t>(*language);
  }
  r.Answer = MessageBoxResultFromName(fields[4]);
  if (r.Answer < 0) return std::nullopt;
  return r;
}

}  // namespace platform
