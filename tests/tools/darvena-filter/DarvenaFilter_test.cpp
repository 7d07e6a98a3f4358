// darvena-filter run as a user runs it: arguments in, output, messages and exit
// status out.
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/CodePage.h"
#include "richedit/TextModel.h"
#include "tests/support/TempMachine.h"

namespace {

namespace fs = std::filesystem;
using darvena::test::ReadFileBytes;
using darvena::test::WriteFileBytes;
using platform::Utf8ToAnsi;

const std::string kRed = "\x1b[31m";
const std::string kOff = "\x1b[0m";

struct TRun {
  int Status = -1;
  std::string Out;  // standard output
  std::string Err;  // standard error
};

std::string Quote(const std::string& arg) {
  std::string quoted = "'";
  for (char c : arg) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

class DarvenaFilter : public ::testing::Test {
 protected:
  // Writes a document (UTF-8 in the test, Windows-1251 on disk) into the test's folder.
  fs::path Document(const std::string& name, const std::string& utf8) {
    const fs::path path = machine_.Root() / name;
    WriteFileBytes(path, Utf8ToAnsi(utf8));
    return path;
  }

  TRun Filter(const std::vector<std::string>& args) {
    std::string command = Quote(DARVENA_FILTER_PATH);
    for (const std::string& arg : args)
      command += " " + Quote(arg);
    const fs::path out = machine_.Root() / "out";
    const fs::path err = machine_.Root() / "err";
    command += " >" + Quote(out.string()) + " 2>" + Quote(err.string()) + " </dev/null";
    const int raw = std::system(command.c_str());
    TRun run;
    run.Status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.Out = ReadFileBytes(out);
    run.Err = ReadFileBytes(err);
    return run;
  }

  darvena::test::TTempMachine machine_;
};

const char* const kThreeParagraphs = "кот\r\n\r\nкот и пёс\r\n\r\nпёс";

// The engine's own examples, run through the program: the same results as in the
// viewer.
TEST_F(DarvenaFilter, FiltersAsTheViewerDoes) {
  struct TCase {
    const char* Text;
    std::vector<std::string> Args;  // before KEY FILE
    const char* Key;
    const char* Out;
    const char* Found;
  };
  const TCase cases[] = {
      // Every word, in what the word before left; the separator stays in front.
      {kThreeParagraphs, {"-p"}, "кот пёс", "\n\n\x1b[31mкот\x1b[0m и \x1b[31mпёс\x1b[0m\n", "3"},
      // The key typed in lower case is upper-cased first; the text's case does not matter.
      {"Кот ПЁС\r\nкотёнок\r\nпёс кот", {"-l", "-w"}, "кот пёс", "\x1b[31mКот ПЁС\x1b[0m\n", "1"},
      {"котёнок\r\nкот", {"-l", "-w"}, "кот", "\x1b[31mкот\x1b[0m\n", "1"},
      {"котёнок\r\nкот", {"-l"}, "кот", "\x1b[31mкот\x1b[0mёнок\n\x1b[31mкот\x1b[0m\n", "2"},
      // Twice on one line: kept once, counted twice.
      {"а\r\nкот и кот\r\nб", {"-l"}, "кот", "\x1b[31mкот\x1b[0m и \x1b[31mкот\x1b[0m\n", "2"},
      // A match on the last line, which has no line break.
      {"а\r\nб\r\nв кот", {"-l"}, "кот", "в \x1b[31mкот\x1b[0m\n", "1"},
      // A match only in paragraph 3: the result begins with its separator.
      {"а\r\n\r\nб\r\n\r\nкот", {"-p"}, "кот", "\n\n\x1b[31mкот\x1b[0m\n", "1"},
      {"кот\r\n\r\nб", {"-p"}, "кот", "\x1b[31mкот\x1b[0m\n", "1"},
      // A Latin letter inside a Cyrillic word: warned about, searched all the same.
      {"ДОMА и дома", {"-l"}, "доmа", "\x1b[31mДОMА\x1b[0m и дома\n", "1"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::string(c.Key) + " in " + c.Text);
    const fs::path doc = Document("doc.txt", c.Text);
    std::vector<std::string> args = c.Args;
    args.insert(args.end(), {"--color=always", "--stats", c.Key, doc.string()});
    const TRun run = Filter(args);
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Out, c.Out);
    EXPECT_TRUE(run.Err.ends_with(std::string("Найдено: ") + c.Found + "\n")) << run.Err;
  }
}

TEST_F(DarvenaFilter, NothingFoundLeavesOutputEmptyAndSaysSo) {
  const fs::path doc = Document("doc.txt", kThreeParagraphs);
  struct TCase {
    std::vector<std::string> Args;
    const char* Message;
  };
  const TCase cases[] = {
      {{"дом", doc.string()}, "Нет фрагментов, содержащих \"ДОМ\"\n"},
      {{"-w", "дом", doc.string()}, "Нет фрагментов, содержащих \"ДОМ\" целиком\n"},
      // The first word has matches, the second none.
      {{"-p", "кот дом", doc.string()}, "Нет фрагментов, содержащих \"КОТ ДОМ\"\n"},
      // A key of spaces only.
      {{"  ", doc.string()}, "Нет фрагментов, содержащих \"  \"\n"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Message);
    const TRun run = Filter(c.Args);
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Out, "");
    EXPECT_EQ(run.Err, c.Message);
  }
  const TRun counted = Filter({"--stats", "дом", doc.string()});
  EXPECT_TRUE(counted.Err.ends_with("Найдено: 0\n")) << counted.Err;
}

TEST_F(DarvenaFilter, MixedLanguageWarningGoesToStandardError) {
  const fs::path doc = Document("doc.txt", "дом-а\r\n«дом»");
  const std::string warning = "В ключе поиска смешение языков в слове ";
  const TRun mixed = Filter({"-l", "домa", doc.string()});  // a Latin a at the end
  EXPECT_EQ(mixed.Status, 1);
  EXPECT_EQ(mixed.Err,
            warning + "ДОМA Всё равно искать?\n" + "Нет фрагментов, содержащих \"ДОМA\"\n");
  // The hyphen separates two words; a guillemet counts as a non-Cyrillic letter.
  const TRun hyphen = Filter({"-l", "дом-а", doc.string()});
  EXPECT_EQ(hyphen.Status, 0);
  EXPECT_EQ(hyphen.Err, "");
  const TRun guillemets = Filter({"-l", "«дом»", doc.string()});
  EXPECT_EQ(guillemets.Status, 0);
  EXPECT_EQ(guillemets.Err, warning + "«ДОМ» Всё равно искать?\n");
  // No check for a whole-word phrase.
  EXPECT_EQ(Filter({"-w", "домa", doc.string()}).Err,
            "Нет фрагментов, содержащих \"ДОМA\" целиком\n");
}

TEST_F(DarvenaFilter, FailuresExitWithTwo) {
  const TRun missing = Filter({"кот", (machine_.Root() / "нет.txt").string()});
  EXPECT_EQ(missing.Status, 2);
  EXPECT_EQ(missing.Out, "");
  EXPECT_EQ(missing.Err,
            "Не удалось загрузить файл " + (machine_.Root() / "нет.txt").string() + "\n");
  const fs::path doc = Document("doc.txt", "кот");
  for (const std::vector<std::string>& args : {std::vector<std::string>{"кот"},
                                               {"-x", "кот", doc.string()},
                                               {"--color=sometimes", "кот", doc.string()},
                                               {"--encoding=koi8", "кот", doc.string()},
                                               {"кот", doc.string(), "лишний"}}) {
    const TRun run = Filter(args);
    EXPECT_EQ(run.Status, 2) << args[0];
    EXPECT_EQ(run.Out, "");
    EXPECT_TRUE(run.Err.starts_with("darvena-filter: ")) << run.Err;
  }
}

TEST_F(DarvenaFilter, OutputFormsFollowTheOptions) {
  const fs::path doc = Document("doc.txt", "кот\r\nпёс\r\nкот");
  // Colour only when asked for, or on a terminal (here the output is a file).
  EXPECT_EQ(Filter({"-l", "кот", doc.string()}).Out, "кот\nкот\n");
  EXPECT_EQ(Filter({"-l", "--color=never", "кот", doc.string()}).Out, "кот\nкот\n");
  EXPECT_EQ(Filter({"-l", "--color=auto", "кот", doc.string()}).Out, "кот\nкот\n");
  EXPECT_EQ(Filter({"-l", "--crlf", "кот", doc.string()}).Out, "кот\r\nкот\r\n");
  EXPECT_EQ(Filter({"-l", "--encoding=cp1251", "кот", doc.string()}).Out, Utf8ToAnsi("кот\nкот\n"));
  EXPECT_EQ(Filter({"-l", "--encoding=cp1251", "дом", doc.string()}).Err,
            Utf8ToAnsi("Нет фрагментов, содержащих \"ДОМ\"\n"));
  // The counts label's lines: the result's lines and the matches.
  EXPECT_EQ(Filter({"-l", "--stats", "кот", doc.string()}).Err, "Строк: 2\nНайдено: 2\n");
  // A colour run that spans a line break is closed before it and opened after it.
  const fs::path rtf = machine_.Root() / "red.rtf";
  WriteFileBytes(rtf,
                 "{\\rtf1\\ansi\\ansicpg1251{\\colortbl;\\red255\\green0\\blue0;}"
                 "\\cf1 a\\par b cat\\par}");
  EXPECT_EQ(Filter({"-p", "--color=always", "b", rtf.string()}).Out,
            kRed + "a" + kOff + "\n" + kRed + "b cat" + kOff + "\n");
}

TEST_F(DarvenaFilter, RtfOutputIsTheResultTheViewerKeeps) {
  const fs::path doc = Document("doc.txt", "кот\r\nпёс\r\nкотёнок и кот");
  const TRun run = Filter({"-l", "--rtf", "кот", doc.string()});
  ASSERT_EQ(run.Status, 0);
  richedit::TTextModel model;
  ASSERT_TRUE(model.LoadRichText(run.Out));
  EXPECT_EQ(model.Text(), Utf8ToAnsi("кот\r\nкотёнок и кот"));
  std::vector<int> red;
  for (const auto& span : model.Spans(0, model.TextLength())) {
    if (model.Format(span.FormatIndex).Color == richedit::kRed) red.push_back(span.Start);
  }
  EXPECT_EQ(red, (std::vector<int>{0, 5, 15}));
  EXPECT_EQ(model.FormatAt(3).FontName, "Arial");
  EXPECT_EQ(model.FormatAt(3).SizeHalfPoints, 18);

  // With nothing found the output stays empty, whatever its form.
  const TRun none = Filter({"--rtf", "дом", doc.string()});
  EXPECT_EQ(none.Status, 1);
  EXPECT_EQ(none.Out, "");
}

TEST_F(DarvenaFilter, LoadsRichTextOnlyUnderTheNameRtf) {
  const std::string rtf =
      "{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0 Arial;}}\\f0 \\'ea\\'ee\\'f2 {\\b \\'ef\\'b8\\'f1}"
      "\\par\\par \\'e4\\'ee\\'ec\\par}";
  WriteFileBytes(machine_.Root() / "a.rtf", rtf);
  WriteFileBytes(machine_.Root() / "b.RTF", rtf);
  const TRun rich = Filter({"-p", "пёс", (machine_.Root() / "a.rtf").string()});
  EXPECT_EQ(rich.Status, 0);
  EXPECT_EQ(rich.Out, "кот пёс\n");
  // In capitals the name is plain text: the markup is text, and the word is not there.
  EXPECT_EQ(Filter({"-p", "пёс", (machine_.Root() / "b.RTF").string()}).Status, 1);
  EXPECT_EQ(Filter({"-l", "ANSICPG", (machine_.Root() / "b.RTF").string()}).Status, 0);
}

TEST_F(DarvenaFilter, ChoosesTheModeAsLoadingDoes) {
  // One paragraph of 31 lines: paragraph filtering keeps it whole; of 32 lines:
  // line filtering keeps the one line.
  for (int lines : {31, 32}) {
    std::string text = "кот\r\n";
    for (int k = 1; k < lines; ++k)
      text += "строка\r\n";
    const fs::path doc = Document("doc.txt", text);
    const TRun run = Filter({"--stats", "кот", doc.string()});
    EXPECT_EQ(run.Err, "Строк: " + std::to_string(lines == 31 ? 31 : 1) + "\nНайдено: 1\n")
        << lines;
  }
}

}  // namespace
