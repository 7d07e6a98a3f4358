#include "tools/darvena-filter/FilterOptions.h"

#include <string_view>

namespace filtertool {
namespace {

// The value of a long option written --name=value, when Arg is that option.
std::optional<std::string_view> ValueOf(std::string_view Arg, std::string_view Name) {
  if (Arg.size() <= Name.size() || Arg.substr(0, Name.size()) != Name || Arg[Name.size()] != '=') {
    return std::nullopt;
  }
  return Arg.substr(Name.size() + 1);
}

bool ShortFlag(char Flag, TFilterOptions& Options) {
  switch (Flag) {
    case 'l':
      Options.BlockFilter = false;
      return true;
    case 'p':
      Options.BlockFilter = true;
      return true;
    case 'w':
      Options.WholeWord = true;
      return true;
    case 'h':
      Options.Help = true;
      return true;
    default:
      return false;
  }
}

}  // namespace

std::optional<TFilterOptions> ParseFilterOptions(const std::vector<std::string>& Args,
                                                 std::string& Error) {
  TFilterOptions options;
  std::vector<std::string> operands;
  bool optionsEnd = false;
  for (const std::string& arg : Args) {
    const std::string_view a = arg;
    if (optionsEnd || a.size() < 2 || a[0] != '-') {
      operands.push_back(arg);
    } else if (a == "--") {
      optionsEnd = true;
    } else if (a == "--lines") {
      options.BlockFilter = false;
    } else if (a == "--paragraphs") {
      options.BlockFilter = true;
    } else if (a == "--whole") {
      options.WholeWord = true;
    } else if (a == "--crlf") {
      options.Crlf = true;
    } else if (a == "--rtf") {
      options.Rtf = true;
    } else if (a == "--stats") {
      options.Stats = true;
    } else if (a == "--help") {
      options.Help = true;
    } else if (a == "--color") {
      options.Color = TColorWhen::Auto;
    } else if (auto when = ValueOf(a, "--color")) {
      if (*when == "auto") {
        options.Color = TColorWhen::Auto;
      } else if (*when == "always") {
        options.Color = TColorWhen::Always;
      } else if (*when == "never") {
        options.Color = TColorWhen::Never;
      } else {
        Error = "неизвестное значение --color: " + std::string(*when) +
                " (допустимы auto, always, never)";
        return std::nullopt;
      }
    } else if (auto encoding = ValueOf(a, "--encoding")) {
      if (*encoding == "utf-8" || *encoding == "UTF-8" || *encoding == "utf8") {
        options.Encoding = TOutputEncoding::Utf8;
      } else if (*encoding == "cp1251" || *encoding == "CP1251" || *encoding == "windows-1251") {
        options.Encoding = TOutputEncoding::Cp1251;
      } else {
        Error = "неизвестная кодировка: " + std::string(*encoding) + " (допустимы utf-8, cp1251)";
        return std::nullopt;
      }
    } else if (a[1] != '-') {
      for (char flag : a.substr(1)) {
        if (!ShortFlag(flag, options)) {
          Error = std::string("неизвестный ключ -") + flag;
          return std::nullopt;
        }
      }
    } else {
      Error = "неизвестный ключ " + arg;
      return std::nullopt;
    }
  }
  if (options.Help) return options;
  if (operands.size() != 2) {
    Error =
        operands.size() < 2 ? "нужны ключ поиска и имя файла" : "лишний аргумент " + operands[2];
    return std::nullopt;
  }
  options.Key = operands[0];
  options.FileName = operands[1];
  return options;
}

const char* FilterUsage() {
  return "Использование: darvena-filter [ключи] КЛЮЧ ФАЙЛ\n"
         "Оставляет из ФАЙЛА строки или абзацы, в которых есть каждое слово КЛЮЧА,\n"
         "так же, как это делает Darvena. Файл с именем на .rtf читается как RTF,\n"
         "любой другой как текст в кодировке Windows-1251.\n"
         "\n"
         "  -l, --lines          фильтровать строки\n"
         "  -p, --paragraphs     фильтровать абзацы (по умолчанию режим выбирается\n"
         "                       по средней длине абзацев, как при загрузке)\n"
         "  -w, --whole          искать ключ целиком, как одно слово\n"
         "  --color=WHEN         выделять найденное цветом: auto (на терминале),\n"
         "                       always, never\n"
         "  --encoding=ENC       кодировка вывода: utf-8 (по умолчанию) или cp1251\n"
         "  --crlf               переводы строк CR LF вместо LF\n"
         "  --rtf                вывести результат как RTF\n"
         "  --stats              после результата вывести в stderr число строк\n"
         "                       и число найденных фрагментов\n"
         "  -h, --help           эта справка\n"
         "\n"
         "Код возврата: 0, если фрагменты найдены; 1, если нет; 2 при ошибке.\n";
}

}  // namespace filtertool
