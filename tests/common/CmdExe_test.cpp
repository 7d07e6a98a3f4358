// cmd.exe, the machine's command interpreter, run as the programs run it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/CodePage.h"
#include "platform/Environment.h"
#include "platform/Files.h"
#include "platform/Machine.h"
#include "platform/Process.h"
#include "tests/support/TempMachine.h"

namespace fs = std::filesystem;

namespace {

struct TRun {
  int Code = -1;
  std::string Out;  // OEM bytes, as the interpreter writes them to a pipe
  std::string Err;
};

std::string Drain(int fd) {
  std::string s;
  char buf[4096];
  for (ssize_t n; (n = read(fd, buf, sizeof buf)) > 0;)
    s.append(buf, static_cast<size_t>(n));
  close(fd);
  return s;
}

// Runs a Windows command line (Windows-1251) with its output on pipes.
TRun RunProgram(const std::string& commandLine) {
  int out[2], err[2];
  if (pipe(out) != 0 || pipe(err) != 0) return {};
  platform::TStartupInfo startup;
  startup.StdOutput = out[1];
  startup.StdError = err[1];
  platform::TProcess process;
  const bool started = static_cast<bool>(platform::CreateProcess(commandLine, startup, process));
  close(out[1]);
  close(err[1]);
  TRun r;
  r.Out = Drain(out[0]);
  r.Err = Drain(err[0]);
  if (started && process.Wait()) r.Code = static_cast<int>(process.ExitCode());
  return r;
}

TRun Cmd(const std::string& line) {
  return RunProgram("C:\\Windows\\System32\\cmd.exe /c " + line);
}

TEST(CmdExe, CommandLinesWithOperatorsAndRedirections) {
  darvena::test::TTempMachine machine;
  const struct {
    const char* line;
    const char* out;
    int code;
  } cases[] = {
      {"ver", "\r\nMicrosoft Windows [Version 10.0.19045.3693]\r\n", 0},
      {"echo one&& echo two", "one\r\ntwo\r\n", 0},
      {"echo kept > nul && echo after", "after\r\n", 0},
      {"nosuchcommand || echo failed", "failed\r\n", 0},
      // 9009, as far as a POSIX exit status can tell it.
      {"nosuchcommand && echo never", "", 9009 & 0xFF},
      {"echo first & nosuchcommand", "first \r\n", 9009 & 0xFF},
      {"echo.", "\r\n", 0},
      {"echo \"a  b\"  c", "\"a  b\"  c\r\n", 0},
      {"echo", "ECHO is on.\r\n", 0},
      {"@echo hidden at", "hidden at\r\n", 0},
      {"ECHO Upper", "Upper\r\n", 0},
      {"echo 100%% ^& more", "100%% & more\r\n", 0},
      {"ping 192.0.2.1 -n 1 > nul || echo unreachable", "unreachable\r\n", 0},
      {"ping nosuch.host -n 1 > nul || ping ::1 -n 1 > nul && echo loopback", "loopback\r\n", 0},
      {"exit 3", "", 3},
      {"echo a | echo b", "", 255},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    const TRun r = Cmd(c.line);
    EXPECT_EQ(r.Out, c.out);
    EXPECT_EQ(r.Code, c.code);
  }
  EXPECT_EQ(Cmd("nosuchcommand").Err,
            "'nosuchcommand' is not recognized as an internal or external command,\r\n"
            "operable program or batch file.\r\n");
}

TEST(CmdExe, RedirectionWritesOemFilesRelativeToTheCurrentFolder) {
  darvena::test::TTempMachine machine;
  ASSERT_TRUE(platform::CreateDirectory("C:\\work"));
  ASSERT_TRUE(platform::SetCurrentDirectory("C:\\work"));
  const std::string word = platform::Utf8ToAnsi("Ёжик");
  EXPECT_EQ(Cmd("echo " + word + "> out.txt").Code, 0);
  EXPECT_EQ(Cmd("echo second>>out.txt").Code, 0);
  EXPECT_EQ(darvena::test::ReadFileBytes(machine.DriveC() / "work" / "out.txt"),
            platform::ConvertToOem(word) + "\r\nsecond\r\n");
  const TRun bad = Cmd("echo x > C:\\missing\\out.txt");
  EXPECT_EQ(bad.Code, 1);
  EXPECT_EQ(bad.Err, "The system cannot find the path specified.\r\n");
  EXPECT_EQ(Cmd("echo x >").Code, 1);
  EXPECT_EQ(Cmd("cd").Out, "C:\\work\r\n");
}

TEST(CmdExe, DelAndRdWithQuotedBareAndRelativePaths) {
  darvena::test::TTempMachine machine;
  const fs::path dir = machine.DriveC() / "My Apps" / "App";
  darvena::test::WriteFileBytes(dir / "a.txt", "a");
  darvena::test::WriteFileBytes(dir / "b.txt", "b");
  darvena::test::WriteFileBytes(machine.DriveC() / "bare.txt", "c");
  ASSERT_TRUE(platform::SetCurrentDirectory("C:\\My Apps"));

  EXPECT_EQ(Cmd("del \"C:\\My Apps\\App\\a.txt\"").Code, 0);
  EXPECT_EQ(Cmd("del App\\b.txt").Code, 0);
  EXPECT_EQ(Cmd("del C:\\bare.txt").Code, 0);
  EXPECT_FALSE(fs::exists(dir / "a.txt"));
  EXPECT_FALSE(fs::exists(dir / "b.txt"));
  EXPECT_FALSE(fs::exists(machine.DriveC() / "bare.txt"));
  EXPECT_EQ(Cmd("del App\\gone.txt").Err, "Could Not Find C:\\My Apps\\App\\gone.txt\r\n");

  darvena::test::WriteFileBytes(dir / "sub" / "keep.txt", "k");
  const TRun notEmpty = Cmd("rd \"C:\\My Apps\\App\"");
  EXPECT_EQ(notEmpty.Code, 1);
  EXPECT_EQ(notEmpty.Err, "The directory is not empty.\r\n");
  EXPECT_TRUE(fs::exists(dir / "sub" / "keep.txt"));
  EXPECT_EQ(Cmd("rd App\\missing").Err, "The system cannot find the file specified.\r\n");
  fs::remove_all(dir / "sub");
  EXPECT_EQ(Cmd("rd \"C:\\My Apps\\App\"").Code, 0);
  EXPECT_FALSE(fs::exists(dir));
}

TEST(CmdExe, DelWithWildcardsFoldersAndReadOnlyFiles) {
  darvena::test::TTempMachine machine;
  const fs::path dir = machine.DriveC() / "docs";
  for (const char* f : {"a.txt", "B.TXT", "c.rtf"})
    darvena::test::WriteFileBytes(dir / f, "x");
  darvena::test::WriteFileBytes(dir / "sub" / "d.txt", "x");
  EXPECT_EQ(Cmd("del C:\\docs\\*.txt").Code, 0);
  EXPECT_FALSE(fs::exists(dir / "a.txt"));
  EXPECT_FALSE(fs::exists(dir / "B.TXT"));
  EXPECT_TRUE(fs::exists(dir / "c.rtf"));
  EXPECT_TRUE(fs::exists(dir / "sub" / "d.txt"));  // no switch for subfolders

  darvena::test::WriteFileBytes(dir / "ro.txt", "x");
  fs::permissions(dir / "ro.txt", fs::perms::owner_write, fs::perm_options::remove);
  EXPECT_EQ(Cmd("del C:\\docs\\ro.txt").Err, "C:\\docs\\ro.txt\r\nAccess is denied.\r\n");
  EXPECT_EQ(Cmd("del /f C:\\docs\\ro.txt").Code, 0);
  EXPECT_FALSE(fs::exists(dir / "ro.txt"));

  // A folder's files go with /q; without it the question is asked, and refused
  // when nobody answers.
  const TRun asked = Cmd("del C:\\docs < nul");
  EXPECT_EQ(asked.Out, "C:\\docs\\*, Are you sure (Y/N)? \r\n");
  EXPECT_EQ(asked.Err, "");
  EXPECT_TRUE(fs::exists(dir / "c.rtf"));
  EXPECT_EQ(Cmd("del /q C:\\docs").Code, 0);
  EXPECT_FALSE(fs::exists(dir / "c.rtf"));
  EXPECT_TRUE(fs::exists(dir / "sub" / "d.txt"));
  EXPECT_EQ(Cmd("rd /s /q C:\\docs").Code, 0);
  EXPECT_FALSE(fs::exists(dir));
}

TEST(CmdExe, ProtectedFoldersRefuseAProcessWithoutRights) {
  darvena::test::TTempMachine machine;
  darvena::test::WriteFileBytes(machine.DriveC() / "Program Files" / "App" / "a.txt", "a");
  const TRun r = Cmd("del \"C:\\Program Files\\App\\a.txt\"");
  EXPECT_EQ(r.Err, "C:\\Program Files\\App\\a.txt\r\nAccess is denied.\r\n");
  EXPECT_TRUE(fs::exists(machine.DriveC() / "Program Files" / "App" / "a.txt"));
}

TEST(CmdExe, PingAnswersLoopbackHostsAfterWaiting) {
  darvena::test::TTempMachine machine;
  const auto start = std::chrono::steady_clock::now();
  const TRun r = Cmd("ping 127.0.0.1 -n 3");
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(r.Code, 0);
  EXPECT_EQ(r.Out.substr(0, 44), "\r\nPinging 127.0.0.1 with 32 bytes of data:\r\n");
  size_t replies = 0;
  for (size_t p = 0; (p = r.Out.find("Reply from 127.0.0.1: bytes=32", p)) != std::string::npos;
       ++p)
    ++replies;
  EXPECT_EQ(replies, 3u);
  // Three echoes lie two seconds apart in all.
  EXPECT_GE(waited, std::chrono::milliseconds(1900));

  EXPECT_NE(Cmd("ping ::1 -n 1").Out.find("Reply from ::1: time<1ms"), std::string::npos);
  EXPECT_EQ(Cmd("ping 127.0.0.1 -n 0").Code, 1);
  EXPECT_EQ(Cmd("ping example.org -n 1").Out,
            "Ping request could not find host example.org. Please check the name and try "
            "again.\r\n");
}

// The uninstaller's kind of batch file: OEM text, a delay, deletes, a folder removal
// and finally itself, by its bare name from the current folder.
std::string WriteRemovalBatch(const std::string& folder, const std::string& batchFile) {
  for (const char* f : {"Darvena.exe", "Uninstall.exe", "riched32.dll"})
    if (!platform::WriteWholeFile(folder + "\\" + f, "x")) return {};
  const std::string delay = "ping 127.0.0.1 -n 2 > nul || ping ::1 -n 2 > nul";
  std::string batch = "@echo off\r\n" + delay + "\r\n";
  for (const char* f : {"Darvena.exe", "Uninstall.exe", "riched32.dll"})
    batch += "del \"" + platform::ConvertToOem(folder + "\\" + f) + "\"\r\n";
  batch += delay + "\r\nrd \"" + platform::ConvertToOem(folder) + "\"\r\ndel vel_unin.cmd\r\n";
  return platform::WriteWholeFile(batchFile, batch) ? batch : std::string();
}

TEST(CmdExe, BatchFileRemovesFolderFilesFolderAndItself) {
  darvena::test::TTempMachine machine;
  const std::string folder = "C:\\" + platform::Utf8ToAnsi("Программа Дарвена");
  ASSERT_TRUE(platform::CreateDirectory(folder));
  const std::string temp = platform::GetEnvironmentVariable("Temp").value();
  ASSERT_FALSE(WriteRemovalBatch(folder, temp + "\\vel_unin.cmd").empty());

  ASSERT_TRUE(platform::SetCurrentDirectory(temp));
  const TRun r = Cmd("vel_unin.cmd");
  EXPECT_EQ(r.Code, 0);
  EXPECT_EQ(r.Out, "");
  EXPECT_EQ(r.Err, "");
  EXPECT_FALSE(platform::DirectoryExists(folder));
  EXPECT_FALSE(platform::FileExists(temp + "\\vel_unin.cmd"));
}

TEST(CmdExe, BatchFileOpenedByTheShellRunsOnItsOwn) {
  darvena::test::TTempMachine machine;
  const std::string folder = "C:\\App Folder";
  ASSERT_TRUE(platform::CreateDirectory(folder));
  const std::string temp = platform::GetEnvironmentVariable("Temp").value();
  ASSERT_FALSE(WriteRemovalBatch(folder, temp + "\\vel_unin.cmd").empty());
  ASSERT_TRUE(platform::SetCurrentDirectory(temp));
  ASSERT_GT(platform::ShellExecute("open", "vel_unin.cmd", "", "", platform::kSwHide), 32);
  // The shell does not wait; the batch file takes about two seconds.
  for (int i = 0; i < 300 && platform::FileExists(temp + "\\vel_unin.cmd"); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(platform::FileExists(temp + "\\vel_unin.cmd"));
  EXPECT_FALSE(platform::DirectoryExists(folder));
}

TEST(CmdExe, BatchFileEchoesItsLinesUntilEchoOffAndTakesArguments) {
  darvena::test::TTempMachine machine;
  ASSERT_TRUE(
      platform::WriteWholeFile("C:\\run.bat",
                               "echo %1\r\n@echo off\r\n\r\n:: a note\r\n%9\r\necho %2 %0\r\n"
                               "exit /b 4\r\necho never\r\n"));
  ASSERT_TRUE(platform::SetCurrentDirectory("C:\\"));
  const TRun r = Cmd("run.bat first second");
  EXPECT_EQ(r.Out, "\r\nC:\\>echo first\r\nfirst\r\nsecond run.bat\r\n");
  EXPECT_EQ(r.Code, 4);
  // A batch file run by a batch file without "call" does not return to it.
  ASSERT_TRUE(platform::WriteWholeFile("C:\\outer.cmd",
                                       "@echo off\r\ncall run.bat x y\r\necho back\r\nrun x y\r\n"
                                       "echo not back\r\n"));
  // Echo is the interpreter's: off for the called file too.
  EXPECT_EQ(Cmd("outer").Out, "x\r\ny run.bat\r\nback\r\nx\r\ny run\r\n");
}

TEST(CmdExe, QuotedCommandAfterSlashC) {
  darvena::test::TTempMachine machine;
  // The outer quotes of a command with operators go.
  EXPECT_EQ(RunProgram("C:\\Windows\\System32\\cmd.exe /c \"echo a&& echo b\"").Out, "a\r\nb\r\n");
  // A quoted program path with a blank stays one name.
  ASSERT_TRUE(platform::CreateDirectory("C:\\My Tools"));
  ASSERT_TRUE(platform::WriteWholeFile("C:\\My Tools\\hello.cmd", "@echo hello\r\n"));
  EXPECT_EQ(RunProgram("C:\\Windows\\System32\\cmd.exe /c \"C:\\My Tools\\hello.cmd\"").Out,
            "hello\r\n");
}

TEST(CmdExe, VerPrintsTheProfileAsRegChangesIt) {
  darvena::test::TTempMachine machine;
  const TRun changed = RunProgram(
      "C:\\Windows\\System32\\reg.exe add HKLM\\SOFTWARE\\Machine\\Windows /v VerLine /t REG_SZ "
      "/d \"Microsoft Windows [Version 6.3.9600]\" /f");
  ASSERT_EQ(changed.Code, 0) << changed.Err;
  EXPECT_EQ(Cmd("ver").Out, "\r\nMicrosoft Windows [Version 6.3.9600]\r\n");
}

}  // namespace
