#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "platform/CodePage.h"
#include "platform/Machine.h"
#include "platform/Registry.h"
#include "platform/RegistryApi.h"
#include "tests/support/RunProgram.h"
#include "tests/support/TempMachine.h"

using namespace platform;
using darvena::test::ProgramFolder;
using darvena::test::ReadFileBytes;
using darvena::test::RunProgram;
using darvena::test::TProgramRun;
using darvena::test::TTempMachine;
using darvena::test::WriteFileBytes;

namespace {

// Runs the built reg with these (UTF-8) arguments.
TProgramRun Reg(const std::vector<std::string>& args) {
  return RunProgram(ProgramFolder() / "reg", args);
}

// Fills HKCU\Software\Vel with every kind of value the format must carry.
void FillSampleKey() {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(Utf8ToAnsi("Software\\Vel\\Дарвена"), true));
  reg.WriteString(Utf8ToAnsi("Имя"), Utf8ToAnsi("Значение \"в кавычках\" C:\\Папка\\"));
  reg.WriteString("", "default text");
  reg.WriteString("Empty", "");
  reg.WriteString("Lines", "one\r\ntwo");
  reg.WriteExpandString("Path", "%TEMP%\\vel");
  reg.WriteInteger("OpenFileNumber", -2);
  reg.WriteBool("ShowToolBar", true);
  std::vector<uint8_t> bytes(100);
  for (size_t i = 0; i < bytes.size(); ++i)
    bytes[i] = static_cast<uint8_t>(i * 7);
  reg.WriteBinaryData("Blob", bytes);
  const char multi[] = "first\0\xE2\xF2\xEE\xF0\xEE\xE9\0";  // "второй" in Windows-1251
  ASSERT_EQ(RegSetValueExA(reg.CurrentKey(), "Multi", 0, REG_MULTI_SZ,
                           reinterpret_cast<const uint8_t*>(multi), sizeof multi),
            ERROR_SUCCESS);
  ASSERT_TRUE(reg.OpenKey("Deeper\\Deepest", true));
  reg.WriteInteger("Zero", 0);
  ASSERT_TRUE(reg.OpenKey("\\Software\\Vel\\Empty key", true));
}

}  // namespace

TEST(RegTool, ExportThenImportIntoAFreshMachineGivesTheSameKey) {
  std::string exported;
  const std::string file =
      (std::filesystem::temp_directory_path() / ("vel-" + std::to_string(getpid()) + ".reg"))
          .string();
  {
    TTempMachine first;
    FillSampleKey();
    const TProgramRun run = Reg({"export", "HKCU\\Software\\Vel", file});
    ASSERT_EQ(run.Code, 0) << run.Errors;
    exported = ReadFileBytes(file);
    EXPECT_EQ(exported.rfind("Windows Registry Editor Version 5.00\r\n\r\n", 0), 0u);
    EXPECT_NE(exported.find("[HKEY_CURRENT_USER\\Software\\Vel\\Дарвена]\r\n"), std::string::npos);
    EXPECT_NE(exported.find("\"Имя\"=\"Значение \\\"в кавычках\\\" C:\\\\Папка\\\\\"\r\n"),
              std::string::npos);
    EXPECT_NE(exported.find("\"OpenFileNumber\"=dword:fffffffe\r\n"), std::string::npos);
    EXPECT_NE(exported.find("\\\r\n  "), std::string::npos);  // long data is wrapped
  }
  TTempMachine second;
  const TProgramRun imported = Reg({"import", file});
  ASSERT_EQ(imported.Code, 0) << imported.Errors;
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(Utf8ToAnsi("Software\\Vel\\ДАРВЕНА"), false));
  EXPECT_EQ(reg.ReadString(Utf8ToAnsi("Имя")), Utf8ToAnsi("Значение \"в кавычках\" C:\\Папка\\"));
  EXPECT_EQ(reg.ReadString(""), "default text");
  EXPECT_EQ(reg.ReadString("Lines"), "one\r\ntwo");
  EXPECT_EQ(reg.GetDataType("Path"), TRegDataType::rdExpandString);
  EXPECT_EQ(reg.ReadInteger("OpenFileNumber"), -2);
  EXPECT_EQ(reg.ReadBinaryData("Blob").size(), 100u);
  EXPECT_TRUE(reg.KeyExists("\\Software\\Vel\\Empty key"));
  reg.CloseKey();
  ASSERT_EQ(Reg({"export", "HKCU\\Software\\Vel", file, "/y"}).Code, 0);
  EXPECT_EQ(ReadFileBytes(file), exported);
  std::filesystem::remove(file);
}

TEST(RegTool, CommandsAndTheirExitCodes) {
  TTempMachine machine;
  struct TStep {
    std::vector<std::string> args;
    int code;
    const char* inOutput;  // on standard output, or on standard error when code is 1
  } steps[] = {
      {{"query", "HKCU\\Software\\Vel"}, 1, "ERROR: The registry key or value does not exist."},
      {{"add", "HKCU\\Software\\Vel\\Darvena"}, 0, "The operation completed successfully."},
      {{"add", "hkey_current_user\\software\\vel\\darvena", "/v", "CloneKey", "/t", "REG_DWORD",
        "/d", "1"},
       0,
       "completed"},
      {{"query", "HKCU\\Software\\Vel\\Darvena", "/v", "clonekey"},
       0,
       "    CloneKey    REG_DWORD    0x1\n"},
      // Not overwritten without /f (and no terminal to ask on).
      {{"add", "HKCU\\Software\\Vel\\Darvena", "/v", "CloneKey", "/d", "x"}, 1, "/f"},
      {{"query", "HKCU\\Software\\Vel\\Darvena", "/v", "CloneKey"}, 0, "REG_DWORD    0x1"},
      {{"add", "HKCU\\Software\\Vel\\Darvena", "/v", "N", "/t", "REG_DWORD", "/d", "4294967296"},
       1,
       "Invalid REG_DWORD data"},
      {{"add", "HKCU\\Software\\Vel\\Darvena", "/v", "B", "/t", "REG_BINARY", "/d", "abc"},
       1,
       "Invalid binary data"},
      {{"add", "HKXX\\Software", "/f"}, 1, "root must be HKLM, HKCU or HKU"},
      {{"frobnicate"}, 1, "Unknown command"},
      {{"query", "HKCU\\Software\\Vel", "/s"},
       0,
       "\nHKEY_CURRENT_USER\\Software\\Vel\n\nHKEY_CURRENT_USER\\Software\\Vel\\Darvena\n"
       "    CloneKey    REG_DWORD    0x1\n"},
      {{"query", "HKCU\\Software\\Vel"}, 0, "\n\nHKEY_CURRENT_USER\\Software\\Vel\\Darvena\n"},
      {{"delete", "HKCU\\Software\\Vel\\Darvena", "/v", "CloneKey"}, 1, "Nothing was deleted"},
      {{"delete", "HKCU\\Software\\Vel\\Darvena", "/v", "CloneKey", "/f"}, 0, "completed"},
      {{"query", "HKCU\\Software\\Vel\\Darvena", "/v", "CloneKey"}, 1, "does not exist"},
      {{"add", "HKLM\\Software\\Vel", "/v", "A", "/d", "32", "/reg:32", "/f"}, 0, "completed"},
      {{"query", "HKLM\\Software\\WOW6432Node\\Vel", "/v", "A"}, 0, "A    REG_SZ    32"},
      {{"query", "HKLM\\Software\\Vel"}, 1, "does not exist"},
      {{"delete", "HKCU\\Software\\Vel", "/f"}, 0, "completed"},
      {{"query", "HKCU\\Software\\Vel\\Darvena"}, 1, "does not exist"},
  };
  for (const auto& s : steps) {
    std::string line;
    for (const auto& a : s.args)
      line += a + " ";
    SCOPED_TRACE(line);
    const TProgramRun run = Reg(s.args);
    EXPECT_EQ(run.Code, s.code) << run.Output << run.Errors;
    const std::string& where = s.code == 0 ? run.Output : run.Errors;
    EXPECT_NE(where.find(s.inOutput), std::string::npos) << where;
    if (s.code == 1) {
      EXPECT_EQ(std::count(run.Errors.begin(), run.Errors.end(), '\n'), 1) << run.Errors;
    }
  }
}

TEST(RegTool, ImportIsAllOrNothing) {
  TTempMachine machine;
  {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software\\Vel\\Old", true));
    reg.WriteString("Gone", "x");
    reg.WriteString("Stays", "y");
  }
  const auto file = machine.Root() / "in.reg";
  const std::string good =
      "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n\r\n"
      "; a comment\r\n"
      "[HKEY_CURRENT_USER\\Software\\Vel\\New]\r\n"
      "\"Bin\"=hex:01,02,\\\r\n  03\r\n"
      "\"Q\"=hex(b):01,00,00,00,00,00,00,00\r\n"
      "[HKEY_CURRENT_USER\\Software\\Vel\\Old]\r\n"
      "\"Gone\"=-\r\n"
      "[-HKEY_CURRENT_USER\\Software\\Vel\\Never]\r\n";
  WriteFileBytes(file, good + "[HKEY_CURRENT_USER\\Software\\Vel\\Bad]\r\n\"X\"=dword:xyz\r\n");
  const TProgramRun bad = Reg({"import", file.string()});
  EXPECT_EQ(bad.Code, 1);
  EXPECT_NE(bad.Errors.find("Line 12"), std::string::npos) << bad.Errors;
  TRegistry reg;
  EXPECT_FALSE(reg.KeyExists("Software\\Vel\\New"));
  EXPECT_FALSE(reg.KeyExists("Software\\Vel\\Bad"));
  ASSERT_TRUE(reg.OpenKey("Software\\Vel\\Old", false));
  EXPECT_TRUE(reg.ValueExists("Gone"));

  WriteFileBytes(file, good + "[-HKEY_CURRENT_USER\\Software\\Vel\\Old]\r\n");
  const TProgramRun ok = Reg({"import", file.string()});
  ASSERT_EQ(ok.Code, 0) << ok.Errors;
  EXPECT_FALSE(reg.KeyExists("\\Software\\Vel\\Old"));
  ASSERT_TRUE(reg.OpenKey("\\Software\\Vel\\New", false));
  EXPECT_EQ(reg.ReadBinaryData("Bin"), (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(reg.ReadBinaryData("Q").size(), 8u);

  // A Windows path names a file of the machine.
  WriteFileBytes(
      machine.DriveC() / "Папка" / "in.reg",
      "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Vel\\C]\r\n");
  const TProgramRun fromC = Reg({"import", "c:\\папка\\in.reg"});
  EXPECT_EQ(fromC.Code, 0) << fromC.Errors;
  EXPECT_TRUE(reg.KeyExists("\\Software\\Vel\\C"));

  WriteFileBytes(file, "REGEDIT5\r\n");
  EXPECT_EQ(Reg({"import", file.string()}).Code, 1);
  EXPECT_EQ(Reg({"import", (machine.Root() / "missing.reg").string()}).Code, 1);
}
