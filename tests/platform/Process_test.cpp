#include "platform/Process.h"

#include <stdlib.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/CodePage.h"
#include "platform/CommandLine.h"
#include "platform/Environment.h"
#include "platform/Files.h"
#include "platform/Machine.h"
#include "tests/support/TempMachine.h"

using namespace platform;
using darvena::test::ReadFileBytes;
using darvena::test::TTempMachine;
namespace fs = std::filesystem;

namespace {

// A program that writes its current folder, its arguments (one a line) and the
// command line handed over to $RECORD, then "END", and exits with $EXITCODE.
constexpr const char* kRecorder =
    "#!/bin/sh\n"
    "{ pwd -P; for a in \"$@\"; do printf '[%s]\\n' \"$a\"; done;"
    " printf '%s\\n' \"$DARVENA_COMMAND_LINE\"; echo END; } > \"$RECORD\"\n"
    "exit ${EXITCODE:-0}\n";

class ProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ProvisionMachine();
    record_ = machine_.Root() / "record.txt";
    setenv("RECORD", record_.c_str(), 1);
    SetProcessElevated(true);
    ASSERT_TRUE(ForceDirectories("C:\\Tools"));
    ASSERT_TRUE(ForceDirectories("C:\\Work Folder"));
    ASSERT_TRUE(WriteWholeFile("C:\\Tools\\recorder.exe", kRecorder));
    SetProcessElevated(false);
  }

  // What the recorder wrote, once it has finished (it may run detached).
  std::string Record() {
    for (int i = 0; i < 500; ++i) {
      const std::string text = ReadFileBytes(record_);
      if (text.size() >= 4 && text.substr(text.size() - 4) == "END\n") return text;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return "<no record>";
  }

  TTempMachine machine_;
  fs::path record_;
};

}  // namespace

TEST_F(ProcessTest, ArgumentsFollowTheWindowsQuotingRules) {
  TProcess p;
  const std::string line =
      "C:\\TOOLS\\Recorder \"a b\" c\\\"d e\\\\f \"\" " + Utf8ToAnsi("Файл.txt");
  ASSERT_TRUE(CreateProcess(line, {}, p));
  ASSERT_TRUE(p.Wait());
  EXPECT_EQ(p.ExitCode(), 0u);
  EXPECT_EQ(Record(), fs::current_path().string() + "\n[a b]\n[c\"d]\n[e\\\\f]\n[]\n[Файл.txt]\n" +
                          AnsiToUtf8(line) + "\nEND\n");
}

TEST_F(ProcessTest, CurrentFolderAndExitCode) {
  setenv("EXITCODE", "7", 1);
  TStartupInfo si;
  si.CurrentDirectory = "c:\\work folder";
  si.CreationFlags = kCreateNewConsole | kCreateNewProcessGroup;
  si.ShowWindow = kSwHide;
  TProcess p;
  ASSERT_TRUE(CreateProcess("\"C:\\Tools\\recorder.exe\" x", si, p));
  EXPECT_TRUE(p.Wait(kInfinite));
  EXPECT_EQ(p.ExitCode(), 7u);
  EXPECT_EQ(Record().substr(0, Record().find('\n')), (machine_.DriveC() / "Work Folder").string());
}

TEST_F(ProcessTest, BareNamesAreSearchedInTheCurrentFolderAndSystem32) {
  ASSERT_TRUE(SetCurrentDirectory("C:\\Tools"));
  TProcess p;
  ASSERT_TRUE(CreateProcess("recorder one", {}, p));
  p.Wait();
  EXPECT_NE(Record().find("[one]"), std::string::npos);

  SetProcessElevated(true);
  ASSERT_TRUE(WriteWholeFile("C:\\Windows\\System32\\sysrec.exe", kRecorder));
  ASSERT_TRUE(SetCurrentDirectory("C:\\"));
  fs::remove(record_);
  ASSERT_TRUE(CreateProcess("SYSREC.EXE two", {}, p));
  p.Wait();
  EXPECT_NE(Record().find("[two]"), std::string::npos);

  // Host programs are found on the host's PATH.
  ASSERT_TRUE(CreateProcess("true", {}, p));
  EXPECT_TRUE(p.Wait());
  EXPECT_EQ(p.ExitCode(), 0u);
}

TEST_F(ProcessTest, FailuresToStart) {
  TProcess p;
  EXPECT_EQ(CreateProcess("C:\\Tools\\missing.exe", {}, p).Error, kErrorFileNotFound);
  EXPECT_EQ(CreateProcess("C:\\NoFolder\\missing.exe", {}, p).Error, kErrorPathNotFound);
  EXPECT_EQ(CreateProcess("no-such-program-anywhere", {}, p).Error, kErrorFileNotFound);
  EXPECT_EQ(CreateProcess("", {}, p).Error, kErrorInvalidParameter);
  TStartupInfo si;
  si.CurrentDirectory = "C:\\Nowhere";
  EXPECT_EQ(CreateProcess("C:\\Tools\\recorder.exe", si, p).Error, kErrorDirectory);
  ASSERT_TRUE(WriteWholeFile(UserProfileFolder() + "\\data.exe", "\x01\x02 not a program"));
  EXPECT_EQ(CreateProcess(UserProfileFolder() + "\\data.exe", {}, p).Error, kErrorBadExeFormat);
  ASSERT_TRUE(WriteWholeFile(UserProfileFolder() + "\\text.txt", "#!/bin/sh\n"));
  EXPECT_EQ(CreateProcess(UserProfileFolder() + "\\text.txt", {}, p).Error, kErrorAccessDenied);
  EXPECT_FALSE(p.Valid());
}

TEST_F(ProcessTest, WaitTimesOutAndTerminateSetsTheCode) {
  TProcess p;
  ASSERT_TRUE(CreateProcess("Z:\\bin\\sleep 10", {}, p));
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(p.Wait(100));
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
  EXPECT_EQ(p.ExitCode(), kStillActive);
  EXPECT_TRUE(p.Terminate(3));
  EXPECT_TRUE(p.Wait(0));
  EXPECT_EQ(p.ExitCode(), 3u);

  ASSERT_TRUE(CreateProcess("Z:\\bin\\sh -c \"kill -TERM $$\"", {}, p));
  p.Wait();
  EXPECT_EQ(p.ExitCode(), 128u + 15u);
}

TEST_F(ProcessTest, StandardStreamsGoWhereTheyAreSent) {
  uint32_t error = 0;
  const int out = OpenFileDescriptor("C:\\out.txt", TOpenMode::CreateAlways, &error);
  ASSERT_GE(out, 0) << error;
  TStartupInfo si;
  si.CreationFlags = kCreateNewConsole;
  si.StdOutput = out;
  TProcess p;
  ASSERT_TRUE(CreateProcess("Z:\\bin\\echo hello there", si, p));
  close(out);
  p.Wait();
  EXPECT_EQ(ReadWholeFile("C:\\out.txt"), "hello there\n");
}

TEST_F(ProcessTest, BatchFilesRunThroughComSpec) {
  ASSERT_TRUE(SetEnvironmentVariable("ComSpec", "C:\\Tools\\recorder.exe"));
  ASSERT_TRUE(WriteWholeFile("C:\\Work Folder\\job.cmd", "@echo off\r\n"));
  TProcess p;
  ASSERT_TRUE(CreateProcess("\"C:\\Work Folder\\job.cmd\" x", {}, p));
  p.Wait();
  // The interpreter reads its own command line as written (the C runtime's split
  // of it is not what it goes by).
  EXPECT_NE(Record().find("\nC:\\Tools\\recorder.exe /c \"\"C:\\Work Folder\\job.cmd\" x\"\nEND\n"),
            std::string::npos)
      << Record();
}

TEST_F(ProcessTest, ShellOpensUrlsAndDocumentsThroughTheHandler) {
  SetProcessElevated(true);
  ASSERT_TRUE(WriteWholeFile("C:\\Tools\\handler.exe", kRecorder));
  SetProcessElevated(false);
  const fs::path handler = machine_.DriveC() / "Tools" / "handler.exe";
  setenv("DARVENA_OPEN_HANDLER", handler.c_str(), 1);

  EXPECT_EQ(ShellExecute("open", "https://example.org/?q=1&r=2", "", "", kSwShow), kShellExecuteOk);
  EXPECT_NE(Record().find("\n[https://example.org/?q=1&r=2]\n"), std::string::npos) << Record();

  fs::remove(record_);
  ASSERT_TRUE(WriteWholeFile("C:\\Work Folder\\notes.txt", "x"));
  EXPECT_EQ(ShellExecute("", "NOTES.TXT", "", "C:\\Work Folder", kSwShowNormal), kShellExecuteOk);
  EXPECT_NE(Record().find("[" + (machine_.DriveC() / "Work Folder" / "notes.txt").string() + "]"),
            std::string::npos)
      << Record();

  EXPECT_EQ(ShellExecute("open", "C:\\Work Folder\\none.txt", "", "", kSwShow), kSeErrFileNotFound);
  EXPECT_EQ(ShellExecute("open", "C:\\Nowhere\\none.txt", "", "", kSwShow), kSeErrPathNotFound);
  EXPECT_EQ(ShellExecute("print", "C:\\Work Folder\\notes.txt", "", "", kSwShow), kSeErrNoAssoc);
  setenv("DARVENA_OPEN_HANDLER", "/no/such/handler", 1);
  EXPECT_EQ(ShellExecute("open", "mailto:someone@example.org", "", "", kSwShow), kSeErrNoAssoc);
}

TEST_F(ProcessTest, ShellStartsProgramsAndBatchFilesInTheirFolder) {
  EXPECT_EQ(ShellExecute("open", "C:\\Tools\\recorder.exe", "p1 \"p 2\"", "C:\\Work Folder",
                         kSwShowNormal),
            kShellExecuteOk);
  EXPECT_EQ(Record(), (machine_.DriveC() / "Work Folder").string() +
                          "\n[p1]\n[p 2]\nC:\\Tools\\recorder.exe p1 \"p 2\"\nEND\n");

  // A relative batch file in the current folder, as the uninstaller starts its own.
  fs::remove(record_);
  ASSERT_TRUE(SetEnvironmentVariable("ComSpec", "C:\\Tools\\recorder.exe"));
  ASSERT_TRUE(WriteWholeFile("C:\\Work Folder\\vel_unin.cmd", "@echo off\r\n"));
  ASSERT_TRUE(SetCurrentDirectory("C:\\Work Folder"));
  EXPECT_EQ(ShellExecute("open", "vel_unin.cmd", "", "", kSwHide), kShellExecuteOk);
  const std::string record = Record();
  EXPECT_EQ(record.substr(0, record.find('\n')), (machine_.DriveC() / "Work Folder").string());
  EXPECT_EQ(record.substr(record.rfind('\n', record.size() - 6) + 1),
            "C:\\Tools\\recorder.exe /c \"\"C:\\Work Folder\\vel_unin.cmd\"\"\n"
            "END\n");
}
