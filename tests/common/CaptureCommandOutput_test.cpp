// Capturing a command's output through the machine's real command interpreter.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "common/OsDescriptionUnit.h"
#include "platform/CodePage.h"
#include "platform/Environment.h"
#include "platform/Files.h"
#include "platform/Machine.h"
#include "platform/Process.h"
#include "tests/support/TempMachine.h"

using darvena::CaptureCommandOutput;
namespace fs = std::filesystem;

namespace {

// The names in the machine's Temp folder.
std::vector<std::string> TempNames() {
  std::vector<std::string> names;
  for (const auto& f :
       platform::FindFiles(platform::GetEnvironmentVariable("Temp").value() + "\\*"))
    if (f.Name != "." && f.Name != "..") names.push_back(f.Name);
  return names;
}

TEST(CaptureCommandOutput, VerGivesAnEmptyLineAndTheVersionLineAndLeavesNoFile) {
  darvena::test::TTempMachine machine;
  const auto before = TempNames();
  EXPECT_EQ(CaptureCommandOutput("ver"), "\r\nMicrosoft Windows [Version 10.0.19045.3693]\r\n");
  EXPECT_EQ(TempNames(), before);
}

TEST(CaptureCommandOutput, OutputIsConvertedFromOemAndEveryLineEndsInCrLf) {
  darvena::test::TTempMachine machine;
  const std::string greeting = platform::Utf8ToAnsi("Привет, мир");
  // The blank before the interpreter's own "> file" is part of what echo prints.
  EXPECT_EQ(CaptureCommandOutput("echo " + greeting), greeting + " \r\n");
  // Lines ended by LF alone, and a last line without an end.
  ASSERT_TRUE(platform::WriteWholeFile("C:\\lines.txt", "one\ntwo\r\nthree"));
  EXPECT_EQ(CaptureCommandOutput("type C:\\lines.txt"), "one\r\ntwo\r\nthree\r\n");
  // Nothing written still reads as one empty line.
  EXPECT_EQ(CaptureCommandOutput("rem quiet"), "\r\n");
}

TEST(CaptureCommandOutput, AnInterpreterThatCannotRunGivesOneEmptyLineAndNoFile) {
  darvena::test::TTempMachine machine;
  const auto before = TempNames();
  platform::SetEnvironmentVariable("ComSpec", "C:\\Windows\\System32\\missing.exe");
  EXPECT_EQ(CaptureCommandOutput("ver"), "\r\n");
  EXPECT_EQ(TempNames(), before);
  // A name too long for its 260-character buffer reads as no interpreter at all.
  platform::SetEnvironmentVariable("ComSpec", "C:\\" + std::string(260, 'x') + ".exe");
  EXPECT_EQ(CaptureCommandOutput("ver"), "");
}

TEST(CaptureCommandOutput, InterpreterGetsSlashCAndARedirectionToEightRandomLetters) {
  darvena::test::TTempMachine machine;
  // An interpreter that records the arguments it was started with.
  const fs::path record = machine.Root() / "args.txt";
  const fs::path shell = machine.DriveC() / "shell.sh";
  darvena::test::WriteFileBytes(shell,
                                "#!/bin/sh\nprintf '%s\\n' \"$@\" >> '" + record.string() + "'\n");
  fs::permissions(shell, fs::perms::owner_all);
  platform::SetEnvironmentVariable("ComSpec", "C:\\shell.sh");
  const std::string temp = platform::GetEnvironmentVariable("Temp").value();

  EXPECT_EQ(CaptureCommandOutput("ver"), "\r\n");
  EXPECT_EQ(CaptureCommandOutput("ver"), "\r\n");
  std::vector<std::string> args;
  std::string all = darvena::test::ReadFileBytes(record);
  for (size_t p = 0, n; (n = all.find('\n', p)) != std::string::npos; p = n + 1)
    args.push_back(all.substr(p, n - p));
  ASSERT_EQ(args.size(), 8u) << all;
  std::vector<std::string> files;
  for (size_t call = 0; call < 2; ++call) {
    EXPECT_EQ(args[call * 4 + 0], "/c");
    EXPECT_EQ(args[call * 4 + 1], "ver");
    EXPECT_EQ(args[call * 4 + 2], ">");
    const std::string file = args[call * 4 + 3];
    ASSERT_EQ(file.size(), temp.size() + 9) << file;
    EXPECT_EQ(file.substr(0, temp.size() + 1), temp + "\\");
    const std::string name = file.substr(temp.size() + 1);
    EXPECT_EQ(name.find_first_not_of("abcdefghijklmnopqrstuvwxyz"), std::string::npos) << name;
    files.push_back(name);
  }
  EXPECT_NE(files[0], files[1]);
}

}  // namespace
