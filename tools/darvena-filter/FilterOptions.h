// The command line of darvena-filter.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace filtertool {

enum class TColorWhen { Auto, Always, Never };
enum class TOutputEncoding { Utf8, Cp1251 };

struct TFilterOptions {
  // Paragraph (true) or line (false) filtering; unset: as loading chooses.
  std::optional<bool> BlockFilter;
  bool WholeWord = false;
  TColorWhen Color = TColorWhen::Auto;
  TOutputEncoding Encoding = TOutputEncoding::Utf8;
  bool Crlf = false;
  bool Rtf = false;
  bool Stats = false;
  bool Help = false;
  // As typed, in the terminal's UTF-8.
  std::string Key;
  std::string FileName;
};

// The options of Args (the arguments after the program's name), or nothing with
// Error saying what is wrong (UTF-8). With --help among them the rest need not be
// complete.
[[nodiscard]] std::optional<TFilterOptions> ParseFilterOptions(const std::vector<std::string>& Args,
                                                               std::string& Error);

// The text --help prints (UTF-8).
[[nodiscard]] const char* FilterUsage();

}  // namespace filtertool
