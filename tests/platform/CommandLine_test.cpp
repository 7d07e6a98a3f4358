#include "platform/CommandLine.h"

#include <stdlib.h>

#include <gtest/gtest.h>

#include "platform/CodePage.h"
#include "platform/Files.h"
#include "tests/support/TempMachine.h"

using namespace platform;
using darvena::test::TTempMachine;
using TArgs = std::vector<std::string>;

TEST(CommandLine, SplitsByTheWindowsRules) {
  struct TCase {
    const char* line;
    TArgs args;
  } cases[] = {
      {"prog a b", {"prog", "a", "b"}},
      {"  prog\t a \t b  ", {"prog", "a", "b"}},
      {"\"C:\\Program Files\\Darvena\\Darvena.exe\" \"C:\\My Docs\\a.txt\"",
       {"C:\\Program Files\\Darvena\\Darvena.exe", "C:\\My Docs\\a.txt"}},
      {"C:\\dir\\p.exe C:\\dir\\ x\\y", {"C:\\dir\\p.exe", "C:\\dir\\", "x\\y"}},
      {"p \"\" x", {"p", "", "x"}},
      {"p a\\\"b", {"p", "a\"b"}},          // \"  -> literal quote
      {"p a\\\\\"b c\"", {"p", "a\\b c"}},  // \\" -> backslash, quote opens
      {"p a\\\\\\\"b", {"p", "a\\\"b"}},    // \\\" -> backslash and quote
      {"p \"a\"\"b\"", {"p", "a\"b"}},      // "" inside quotes
      {"p \"C:\\dir\\\\\"", {"p", "C:\\dir\\"}},
      {"p a\"b c\"d", {"p", "ab cd"}},
      {"\"a b\"c d", {"a bc", "d"}},
      {"C:\\a\\\"b c", {"C:\\a\\b c"}},  // the program takes backslashes literally
      {"cmd /c ver > \"C:\\T\\abc\"", {"cmd", "/c", "ver", ">", "C:\\T\\abc"}},
      {"", {}},
      {"   ", {}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(SplitCommandLine(c.line), c.args) << c.line;
}

TEST(CommandLine, QuotedArgumentsSplitBackUnchanged) {
  const char* args[] = {"plain",  "",          "a b",       "a\"b", "a\\",      "a b\\",
                        "\\\\\"", "C:\\P F\\", "tab\there", "\"",   "x\\\\y z", "end\\\\"};
  for (const char* a : args) {
    const std::string line = "prog " + QuoteArgument(a) + " next";
    EXPECT_EQ(SplitCommandLine(line), (TArgs{"prog", a, "next"})) << line;
  }
  EXPECT_EQ(QuoteArgument("plain"), "plain");
  EXPECT_EQ(QuoteArgument("a b"), "\"a b\"");
}

TEST(CommandLine, ParametersAreWindows1251) {
  TTempMachine m;
  unsetenv(kCommandLineVariable);
  EXPECT_EQ(ParamCount(), 0);
  const char* argv[] = {"/bin/prog", "C:\\Документы\\a.txt", "plain", "a b"};
  InitCommandLine(4, argv);
  EXPECT_EQ(ParamCount(), 3);
  EXPECT_EQ(ParamStr(1), Utf8ToAnsi("C:\\Документы\\a.txt"));
  EXPECT_EQ(ParamStr(2), "plain");
  EXPECT_EQ(ParamStr(3), "a b");
  EXPECT_EQ(ParamStr(4), "");
  EXPECT_EQ(ParamStr(-1), "");
  EXPECT_EQ(ParamStr(0), GetModuleFileName());
  EXPECT_EQ(GetCommandLine(), QuoteArgument(GetModuleFileName()) + " " +
                                  Utf8ToAnsi("C:\\Документы\\a.txt") + " plain \"a b\"");
}

TEST(CommandLine, TheParentsLineIsKeptWhenItMatches) {
  TTempMachine m;
  const char* argv[] = {"/x/cmd.exe", "/c", "ver", ">", "C:\\T\\a b"};
  setenv(kCommandLineVariable, "C:\\Windows\\System32\\cmd.exe /c ver > \"C:\\T\\a b\"", 1);
  InitCommandLine(5, argv);
  EXPECT_EQ(GetCommandLine(), "C:\\Windows\\System32\\cmd.exe /c ver > \"C:\\T\\a b\"");
  EXPECT_EQ(getenv(kCommandLineVariable), nullptr);  // not handed on by accident

  // A line inherited from further up does not match our arguments and is ignored.
  setenv(kCommandLineVariable, "other.exe /c dir", 1);
  InitCommandLine(5, argv);
  EXPECT_EQ(GetCommandLine(), QuoteArgument(GetModuleFileName()) + " /c ver > \"C:\\T\\a b\"");
}
