#include "platform/Environment.h"

#include <stdlib.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/CodePage.h"
#include "platform/Machine.h"
#include "tests/support/TempMachine.h"

using namespace platform;
using darvena::test::TTempMachine;

TEST(Environment, MachineDefaultsWinOverTheHostsPosixPaths) {
  TTempMachine m;
  setenv("TEMP", "/tmp", 1);
  setenv("TMP", "/var/tmp", 1);
  setenv("USER", "tester", 1);
  unsetenv("USERNAME");
  const std::string profile = "C:\\Users\\tester";
  const std::string temp = profile + "\\AppData\\Local\\Temp";
  struct TCase {
    const char* name;
    std::string value;
  } cases[] = {
      {"TEMP", temp},
      {"Temp", temp},
      {"tmp", temp},
      {"ComSpec", "C:\\Windows\\System32\\cmd.exe"},
      {"COMSPEC", "C:\\Windows\\System32\\cmd.exe"},
      {"USERNAME", "tester"},
      {"UserProfile", profile},
      {"ProgramFiles", "C:\\Program Files"},
      {"SystemRoot", "C:\\Windows"},
      {"windir", "C:\\Windows"},
      {"APPDATA", profile + "\\AppData\\Roaming"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(GetEnvironmentVariable(c.name), c.value);
  }
  // The host's own variables come through.
  setenv("DARVENA_SOMETHING", "/some/where", 1);
  EXPECT_EQ(GetEnvironmentVariable("darvena_something"), "/some/where");
  EXPECT_EQ(GetEnvironmentVariable("NO_SUCH_VARIABLE_HERE"), std::nullopt);
}

TEST(Environment, SetIsCaseInsensitiveAndReachesThePosixEnvironment) {
  TTempMachine m;
  ASSERT_TRUE(SetEnvironmentVariable("MyVar", "one"));
  EXPECT_EQ(GetEnvironmentVariable("MYVAR"), "one");
  ASSERT_TRUE(SetEnvironmentVariable("MYVAR", "two"));
  EXPECT_EQ(getenv("MyVar"), nullptr);  // the old spelling is gone
  EXPECT_STREQ(getenv("MYVAR"), "two");
  ASSERT_TRUE(SetEnvironmentVariable("myvar", std::nullopt));
  EXPECT_EQ(GetEnvironmentVariable("MyVar"), std::nullopt);
  EXPECT_FALSE(SetEnvironmentVariable("", "x"));
  EXPECT_FALSE(SetEnvironmentVariable("A=B", "x"));

  // A Windows value a program sets for TEMP holds, for it and its children.
  ASSERT_TRUE(SetEnvironmentVariable("Temp", "D:\\Other"));
  EXPECT_EQ(GetEnvironmentVariable("TEMP"), "D:\\Other");

  // Names and values are Windows-1251 here, UTF-8 underneath.
  ASSERT_TRUE(SetEnvironmentVariable(Utf8ToAnsi("Папка"), Utf8ToAnsi("C:\\Документы")));
  EXPECT_EQ(GetEnvironmentVariable(Utf8ToAnsi("ПАПКА")), Utf8ToAnsi("C:\\Документы"));
  EXPECT_STREQ(getenv("Папка"), "C:\\Документы");
}

TEST(Environment, ExpandEnvironmentStrings) {
  TTempMachine m;
  setenv("USER", "tester", 1);
  ASSERT_TRUE(SetEnvironmentVariable("A", "1"));
  ASSERT_TRUE(SetEnvironmentVariable("B", "2"));
  struct TCase {
    const char* in;
    const char* out;
  } cases[] = {
      {"%TEMP%\\x.txt", "C:\\Users\\tester\\AppData\\Local\\Temp\\x.txt"},
      {"%a%%B%", "12"},
      {"<%UNDEFINED_ONE%>", "<%UNDEFINED_ONE%>"},
      {"%UNDEFINED_ONE%A%", "%UNDEFINED_ONE%A%"},
      {"100%", "100%"},
      {"%%", "%%"},
      {"50% of %A%", "50% of %A%"},  // "% of %" is an undefined name
      {"%windir%\\System32", "C:\\Windows\\System32"},
      {"", ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ExpandEnvironmentStrings(c.in), c.out) << c.in;
}

TEST(Environment, BlockIsSortedWithOneEntryPerName) {
  TTempMachine m;
  setenv("TEMP", "/tmp", 1);
  const auto block = EnvironmentBlock();
  ASSERT_FALSE(block.empty());
  for (size_t i = 1; i < block.size(); ++i) {
    EXPECT_LT(AnsiUpperCase(block[i - 1].first), AnsiUpperCase(block[i].first));
  }
  auto value = [&](const char* name) {
    const auto it = std::find_if(block.begin(), block.end(),
                                 [&](const auto& p) { return AnsiSameText(p.first, name); });
    return it == block.end() ? std::string("<none>") : it->second;
  };
  EXPECT_EQ(value("temp"), GetEnvironmentVariable("TEMP"));
  EXPECT_EQ(value("ComSpec"), "C:\\Windows\\System32\\cmd.exe");
  EXPECT_EQ(value("PATH"), getenv("PATH"));
}
