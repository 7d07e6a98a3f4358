#include "platform/Machine.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/CodePage.h"
#include "platform/Files.h"
#include "tests/support/TempMachine.h"

using namespace platform;
using darvena::test::TTempMachine;
using darvena::test::WriteFileBytes;
namespace fs = std::filesystem;

namespace {

bool IsDir(const fs::path& p) {
  struct stat st;
  return stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

TEST(Machine, ProvisionMakesTheLayout) {
  TTempMachine m;
  ProvisionMachine();
  const std::string user = AnsiToUtf8(MachineUserName());
  const fs::path c = m.DriveC();
  for (const fs::path& folder :
       {c / "Program Files", c / "Program Files (x86)",
        c / "ProgramData/Microsoft/Windows/Start Menu/Programs/Startup", c / "Users/Public/Desktop",
        c / "Windows/System32", c / "Users" / user / "Desktop", c / "Users" / user / "Documents",
        c / "Users" / user / "AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Startup",
        c / "Users" / user / "AppData/Local/Temp"})
    EXPECT_TRUE(IsDir(folder)) << folder;
}

TEST(Machine, ConcurrentProvisioningSucceedsEverywhere) {
  TTempMachine m;
  const fs::path tools = m.Root() / "tools";
  WriteFileBytes(tools / "cmd.exe", "#!/bin/sh\n");
  WriteFileBytes(tools / "reg", "#!/bin/sh\n");
  constexpr int kChildren = 6;
  pid_t children[kChildren];
  for (pid_t& child : children) {
    child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      int code = 0;
      try {
        ProvisionMachine();
        LinkSystemTools(tools);
        if (!DirectoryExists("C:\\Windows\\System32") || !DirectoryExists(UserProfileFolder()))
          code = 2;
      } catch (...) {
        code = 1;
      }
      _exit(code);
    }
  }
  for (pid_t child : children) {
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
  }
  const fs::path system32 = m.DriveC() / "Windows" / "System32";
  EXPECT_EQ(fs::read_symlink(system32 / "cmd.exe"), tools / "cmd.exe");
  EXPECT_EQ(fs::read_symlink(system32 / "reg.exe"), tools / "reg");
  EXPECT_EQ(std::distance(fs::directory_iterator(system32), fs::directory_iterator()), 2);
  // Nothing but the layout and its stamp is left at the top.
  for (const auto& e : fs::directory_iterator(m.Root()))
    EXPECT_TRUE(e.path().filename() == "drive_c" || e.path().filename() == "tools" ||
                e.path().filename().string().rfind(".provisioned-", 0) == 0)
        << e.path();
}

TEST(Machine, SystemToolsAreLinkedAndRepointed) {
  TTempMachine m;
  ProvisionMachine();
  const fs::path first = m.Root() / "build1";
  const fs::path second = m.Root() / "build2";
  WriteFileBytes(first / "cmd.exe", "#!/bin/sh\n");
  WriteFileBytes(first / "reg", "#!/bin/sh\n");
  WriteFileBytes(second / "cmd.exe", "#!/bin/sh\n");
  const fs::path system32 = m.DriveC() / "Windows" / "System32";

  LinkSystemTools(first);
  EXPECT_EQ(fs::read_symlink(system32 / "cmd.exe"), first / "cmd.exe");
  EXPECT_EQ(fs::read_symlink(system32 / "reg.exe"), first / "reg");

  // A folder with only cmd.exe re-points that link and leaves reg.exe alone.
  LinkSystemTools(second);
  EXPECT_EQ(fs::read_symlink(system32 / "cmd.exe"), second / "cmd.exe");
  EXPECT_EQ(fs::read_symlink(system32 / "reg.exe"), first / "reg");
  EXPECT_TRUE(FileExists("C:\\WINDOWS\\system32\\CMD.EXE"));

  // No leftovers of the replacement.
  int entries = 0;
  for (const auto& e : fs::directory_iterator(system32))
    ++entries, (void)e;
  EXPECT_EQ(entries, 2);
}

TEST(Machine, ToPosixPathTable) {
  TTempMachine m;
  ProvisionMachine();
  const fs::path c = m.DriveC();
  WriteFileBytes(c / "Docs" / "notes.txt", "x");
  WriteFileBytes(c / "Документы" / "Файл.txt", "x");
  ASSERT_TRUE(SetCurrentDirectory("C:\\Docs"));

  struct TCase {
    std::string win;  // UTF-8 here, converted to Windows-1251
    std::optional<fs::path> posix;
  } cases[] = {
      {"C:\\", c},
      {"c:/", c},
      {"C:", c / "Docs"},  // drive-relative: the current folder of drive C:
      {"C:\\DOCS\\NOTES.TXT", c / "Docs" / "notes.txt"},
      {"c:/docs/Notes.Txt", c / "Docs" / "notes.txt"},
      {"C:\\Docs\\\\notes.txt", c / "Docs" / "notes.txt"},
      {"C:\\Docs\\New\\Sub\\x.TXT", c / "Docs" / "New" / "Sub" / "x.TXT"},
      {"C:\\Docs\\..\\Docs\\.\\notes.txt", c / "Docs" / "notes.txt"},
      {"C:\\..\\..\\Docs", c / "Docs"},
      {"C:\\ДОКУМЕНТЫ\\файл.TXT", c / "Документы" / "Файл.txt"},
      {"C:\\документы\\новый.txt", c / "Документы" / "новый.txt"},
      {"Z:\\", fs::path("/")},
      {"z:/etc/../etc", fs::path("/etc")},
      {"D:\\file.txt", std::nullopt},
      {"q:", std::nullopt},
      {"\\\\server\\share\\a", std::nullopt},
      // Relative paths, against C:\Docs.
      {"NOTES.txt", c / "Docs" / "notes.txt"},
      {".\\notes.txt", c / "Docs" / "notes.txt"},
      {"..\\документы", c / "Документы"},
      {"C:notes.txt", c / "Docs" / "notes.txt"},
      {"\\Windows\\SYSTEM32", c / "Windows" / "System32"},
      {"", c / "Docs"},
  };
  for (const auto& t : cases) {
    SCOPED_TRACE(t.win);
    EXPECT_EQ(ToPosixPath(Utf8ToAnsi(t.win)), t.posix);
  }
}

TEST(Machine, ToWindowsPathTable) {
  TTempMachine m;
  ProvisionMachine();
  const fs::path c = m.DriveC();
  fs::create_directories(c / "Docs");
  ASSERT_TRUE(SetCurrentDirectory("C:\\Docs"));
  struct TCase {
    fs::path posix;
    std::string win;  // UTF-8 here
  } cases[] = {
      {c, "C:\\"},
      {c / "", "C:\\"},
      {c / "Docs" / "notes.txt", "C:\\Docs\\notes.txt"},
      {c / "Документы" / "Файл.txt", "C:\\Документы\\Файл.txt"},
      {c / "Docs" / ".." / "Windows", "C:\\Windows"},
      {"/", "Z:\\"},
      {"/etc/hostname", "Z:\\etc\\hostname"},
      {m.Root(), "Z:" + m.Root().string()},
      {"sub/a.txt", "C:\\Docs\\sub\\a.txt"},  // relative to the current folder
  };
  for (const auto& t : cases) {
    SCOPED_TRACE(t.posix.string());
    std::string expected = Utf8ToAnsi(t.win);
    for (char& ch : expected)
      if (ch == '/') ch = '\\';
    EXPECT_EQ(ToWindowsPath(t.posix), expected);
  }
  // Every POSIX path survives the round trip.
  EXPECT_EQ(ToPosixPath(ToWindowsPath("/usr/bin")), fs::path("/usr/bin"));
}

TEST(Machine, ARelativeMachineFolderStaysPut) {
  TTempMachine m;
  fs::current_path(m.Root());
  setenv("DARVENA_MACHINE", "rel", 1);
  const fs::path root = MachineRoot();
  EXPECT_EQ(root, m.Root() / "rel");
  fs::create_directories(m.Root() / "elsewhere");
  fs::current_path(m.Root() / "elsewhere");
  EXPECT_EQ(MachineRoot(), root);
}
