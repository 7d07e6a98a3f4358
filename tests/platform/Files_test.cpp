#include "platform/Files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <set>

#include "platform/CodePage.h"
#include "platform/Machine.h"
#include "tests/support/TempMachine.h"

using namespace platform;
using darvena::test::ReadFileBytes;
using darvena::test::TTempMachine;
using darvena::test::WriteFileBytes;
namespace fs = std::filesystem;

namespace {

// The names in a POSIX folder, sorted.
std::set<std::string> Listing(const fs::path& folder) {
  std::set<std::string> names;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(folder, ec))
    names.insert(e.path().filename());
  return names;
}

// The names of a POSIX folder in the order it lists them, "." and ".." included.
std::vector<std::string> ReaddirOrder(const fs::path& folder) {
  std::vector<std::string> names;
  DIR* dir = opendir(folder.c_str());
  while (const dirent* e = readdir(dir))
    names.push_back(e->d_name);
  closedir(dir);
  return names;
}

}  // namespace

TEST(Files, WriteReadDeleteRoundTrip) {
  TTempMachine m;
  const std::string file = "C:\\Docs\\Notes.txt";
  EXPECT_EQ(WriteWholeFile(file, "x").Error, kErrorPathNotFound);
  ASSERT_TRUE(CreateDirectory("C:\\Docs"));
  EXPECT_EQ(CreateDirectory("c:\\docs").Error, kErrorAlreadyExists);
  EXPECT_EQ(CreateDirectory("C:\\Docs\\A\\B").Error, kErrorPathNotFound);

  const std::string bytes("line1\r\n\0\xff\xe0", 10);
  ASSERT_TRUE(WriteWholeFile(file, bytes));
  EXPECT_TRUE(FileExists("c:/DOCS/notes.TXT"));
  EXPECT_FALSE(DirectoryExists(file));
  EXPECT_TRUE(DirectoryExists("C:\\Docs\\"));
  EXPECT_FALSE(FileExists("C:\\Docs"));
  EXPECT_EQ(FileSize(file), 10);
  EXPECT_EQ(FileSize("C:\\Docs"), -1);
  EXPECT_EQ(FileSize("C:\\Docs\\none"), -1);
  EXPECT_EQ(ReadWholeFile("C:\\DOCS\\NOTES.TXT"), bytes);
  EXPECT_EQ(ReadFileBytes(m.DriveC() / "Docs" / "Notes.txt"), bytes);

  ASSERT_TRUE(WriteWholeFile("c:\\docs\\NOTES.TXT", "new"));  // the same file, replaced
  EXPECT_EQ(ReadWholeFile(file), "new");
  EXPECT_EQ(Listing(m.DriveC() / "Docs"), std::set<std::string>{"Notes.txt"});  // no temporaries

  ASSERT_TRUE(DeleteFile("c:\\Docs\\notes.txt"));
  EXPECT_FALSE(FileExists(file));
  EXPECT_EQ(DeleteFile(file).Error, kErrorFileNotFound);
  EXPECT_EQ(DeleteFile("C:\\None\\a.txt").Error, kErrorPathNotFound);
  EXPECT_EQ(DeleteFile("C:\\Docs").Error, kErrorAccessDenied);
  EXPECT_EQ(WriteWholeFile("Q:\\a.txt", "x").Error, kErrorPathNotFound);

  // A file that reports no size is read to its end.
  EXPECT_NE(ReadWholeFile("Z:\\proc\\self\\cmdline").find("platform_tests"), std::string::npos);
}

TEST(Files, ReadFailuresThrowWithTheirCodes) {
  TTempMachine m;
  ProvisionMachine();
  struct TCase {
    const char* path;
    uint32_t code;
  } cases[] = {
      {"C:\\missing.txt", kErrorFileNotFound},
      {"C:\\NoFolder\\missing.txt", kErrorPathNotFound},
      {"C:\\Windows", kErrorAccessDenied},
      {"R:\\a.txt", kErrorPathNotFound},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    try {
      (void)ReadWholeFile(c.path);
      ADD_FAILURE() << "no failure";
    } catch (const EPlatformError& e) {
      EXPECT_EQ(e.Code(), c.code);
      EXPECT_NE(std::string(e.what()).find(c.path), std::string::npos) << e.what();
    }
    uint32_t error = 0;
    EXPECT_FALSE(TryReadWholeFile(c.path, &error));
    EXPECT_EQ(error, c.code);
  }
}

TEST(Files, FilesOfTwoGigabytesAreRefused) {
  TTempMachine m;
  ProvisionMachine();
  const fs::path big = m.DriveC() / "big.txt";
  const int fd = open(big.c_str(), O_CREAT | O_WRONLY, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(ftruncate(fd, int64_t{2} * 1024 * 1024 * 1024), 0);  // sparse
  close(fd);
  EXPECT_EQ(FileSize("C:\\big.txt"), int64_t{2} * 1024 * 1024 * 1024);
  try {
    (void)ReadWholeFile("C:\\big.txt");
    ADD_FAILURE() << "a 2 GiB file was read";
  } catch (const EPlatformError& e) {
    EXPECT_EQ(e.Code(), kErrorFileTooLarge);
    EXPECT_NE(std::string(e.what()).find("2 GB"), std::string::npos);
  }
  uint32_t error = 0;
  EXPECT_FALSE(TryReadWholeFile("C:\\big.txt", &error));
  EXPECT_EQ(error, kErrorFileTooLarge);
}

TEST(Files, ReadOnlyFilesResistChangeUntilCleared) {
  TTempMachine m;
  ProvisionMachine();
  ASSERT_TRUE(WriteWholeFile("C:\\r.txt", "keep"));
  EXPECT_EQ(GetFileAttributes("C:\\r.txt"), kFileAttributeArchive);
  ASSERT_TRUE(SetFileAttributes("C:\\r.txt", kFileAttributeReadOnly));
  EXPECT_EQ(GetFileAttributes("C:\\R.TXT"), kFileAttributeArchive | kFileAttributeReadOnly);
  EXPECT_EQ(WriteWholeFile("C:\\r.txt", "lost").Error, kErrorAccessDenied);
  EXPECT_EQ(DeleteFile("C:\\r.txt").Error, kErrorAccessDenied);
  uint32_t error = 0;
  EXPECT_EQ(OpenFileDescriptor("C:\\r.txt", TOpenMode::CreateAlways, &error), -1);
  EXPECT_EQ(error, kErrorAccessDenied);
  EXPECT_EQ(ReadWholeFile("C:\\r.txt"), "keep");
  ASSERT_TRUE(SetFileAttributes("C:\\r.txt", kFileAttributeNormal));
  EXPECT_TRUE(DeleteFile("C:\\r.txt"));
  EXPECT_EQ(GetFileAttributes("C:\\r.txt"), kInvalidFileAttributes);
  EXPECT_EQ(GetFileAttributes("C:\\Windows"), kFileAttributeDirectory);
}

TEST(Files, ProgramFilesAreWrittenRunnable) {
  TTempMachine m;
  ProvisionMachine();
  ASSERT_TRUE(WriteWholeFile("C:\\tool.exe", "#!/bin/sh\n"));
  ASSERT_TRUE(WriteWholeFile("C:\\text.txt", "x"));
  EXPECT_EQ(access((m.DriveC() / "tool.exe").c_str(), X_OK), 0);
  struct stat st;
  ASSERT_EQ(stat((m.DriveC() / "text.txt").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0111, 0u);
}

TEST(Files, MoveAndCopy) {
  TTempMachine m;
  ProvisionMachine();
  ASSERT_TRUE(WriteWholeFile("C:\\a.txt", "A"));
  ASSERT_TRUE(WriteWholeFile("C:\\b.txt", "B"));
  EXPECT_EQ(MoveFile("C:\\a.txt", "C:\\b.txt").Error, kErrorAlreadyExists);
  EXPECT_EQ(MoveFile("C:\\none.txt", "C:\\c.txt").Error, kErrorFileNotFound);
  EXPECT_EQ(MoveFile("C:\\a.txt", "C:\\NoDir\\a.txt").Error, kErrorPathNotFound);
  ASSERT_TRUE(MoveFile("C:\\a.txt", "C:\\b.txt", true));
  EXPECT_FALSE(FileExists("C:\\a.txt"));
  EXPECT_EQ(ReadWholeFile("C:\\b.txt"), "A");

  // A new spelling of the same name renames it on disk.
  ASSERT_TRUE(MoveFile("C:\\b.txt", "C:\\B.TXT"));
  EXPECT_TRUE(fs::exists(m.DriveC() / "B.TXT"));
  EXPECT_FALSE(fs::exists(m.DriveC() / "b.txt"));

  // Folders move too.
  ASSERT_TRUE(CreateDirectory("C:\\Old"));
  ASSERT_TRUE(MoveFile("C:\\B.TXT", "C:\\old\\b.txt"));
  ASSERT_TRUE(MoveFile("C:\\Old", "C:\\New"));
  EXPECT_TRUE(FileExists("C:\\New\\b.txt"));

  ASSERT_TRUE(CopyFile("C:\\New\\b.txt", "C:\\copy.txt", true));
  EXPECT_EQ(CopyFile("C:\\New\\b.txt", "C:\\copy.txt", true).Error, kErrorFileExists);
  ASSERT_TRUE(WriteWholeFile("C:\\New\\b.txt", "changed"));
  ASSERT_TRUE(CopyFile("C:\\New\\b.txt", "C:\\copy.txt", false));
  EXPECT_EQ(ReadWholeFile("C:\\copy.txt"), "changed");
  EXPECT_EQ(CopyFile("C:\\nothing", "C:\\x", false).Error, kErrorFileNotFound);
}

TEST(Files, FoldersAndTrees) {
  TTempMachine m;
  ProvisionMachine();
  ASSERT_TRUE(ForceDirectories("C:\\Tree\\Sub\\Deep\\"));
  EXPECT_TRUE(ForceDirectories("C:\\tree\\sub"));
  ASSERT_TRUE(WriteWholeFile("C:\\Tree\\Sub\\Deep\\f.txt", "x"));
  ASSERT_TRUE(SetFileAttributes("C:\\Tree\\Sub\\Deep\\f.txt", kFileAttributeReadOnly));
  EXPECT_EQ(RemoveDirectory("C:\\Tree\\Sub").Error, kErrorDirNotEmpty);
  EXPECT_EQ(RemoveDirectory("C:\\Tree\\Sub\\Deep\\f.txt").Error, kErrorDirectory);
  EXPECT_EQ(RemoveDirectory("C:\\Tree\\None").Error, kErrorFileNotFound);
  ASSERT_TRUE(CreateDirectory("C:\\Tree\\Empty"));
  EXPECT_TRUE(RemoveDirectory("C:\\tree\\EMPTY"));
  EXPECT_FALSE(DirectoryExists("C:\\Tree\\Empty"));

  ASSERT_TRUE(DeleteTree("c:\\TREE"));
  EXPECT_FALSE(DirectoryExists("C:\\Tree"));
  EXPECT_EQ(DeleteTree("C:\\Tree").Error, kErrorFileNotFound);
}

TEST(Files, FindFilesByPatternInFolderOrder) {
  TTempMachine m;
  ProvisionMachine();
  const fs::path dir = m.DriveC() / "Docs";
  for (const char* name :
       {"b.TXT", "a.txt", "c.rtf", ".hidden.txt", "noext", "a.txt.bak", "Заметки.txt"})
    WriteFileBytes(dir / name, "12345");
  fs::create_directories(dir / "Sub.txt");
  ASSERT_TRUE(SetFileAttributes("C:\\Docs\\a.txt", kFileAttributeReadOnly));
  const std::vector<std::string> order = ReaddirOrder(dir);

  // The expected names of a mask: readdir's order, filtered by a predicate.
  auto expect = [&](const char* pattern, auto keep) {
    SCOPED_TRACE(pattern);
    std::vector<std::string> want;
    for (const std::string& n : order)
      if (keep(n)) want.push_back(Utf8ToAnsi(n));
    std::vector<std::string> got;
    for (const TFindData& f : FindFiles(pattern))
      got.push_back(f.Name);
    EXPECT_EQ(got, want);
  };
  auto endsTxt = [](const std::string& n) {
    return n.size() > 4 && AnsiSameText(n.substr(n.size() - 4), ".txt");
  };
  expect("C:\\Docs\\*.txt", endsTxt);
  expect("c:/DOCS/*.TXT", endsTxt);
  expect("C:\\Docs\\*.*", [](const std::string&) { return true; });
  expect("C:\\Docs\\*", [](const std::string&) { return true; });
  expect("C:\\Docs\\?.txt", [](const std::string& n) { return n == "a.txt" || n == "b.TXT"; });
  expect("C:\\Docs\\noext.*", [](const std::string& n) { return n == "noext"; });
  expect("C:\\Docs\\*.", [](const std::string& n) { return n == "noext"; });
  expect("C:\\Docs\\A.TXT", [](const std::string& n) { return n == "a.txt"; });
  expect("C:\\Docs\\*.doc", [](const std::string&) { return false; });
  expect("C:\\Missing\\*.*", [](const std::string&) { return false; });

  ASSERT_TRUE(SetCurrentDirectory("C:\\Docs"));
  expect("*.rtf", [](const std::string& n) { return n == "c.rtf"; });

  for (const TFindData& f : FindFiles("C:\\Docs\\*.*")) {
    SCOPED_TRACE(f.Name);
    uint32_t want = kFileAttributeArchive;
    int64_t size = 5;
    if (f.Name == "." || f.Name == ".." || f.Name == "Sub.txt") {
      want = kFileAttributeDirectory;
      size = 0;
    }
    if (f.Name == "a.txt") want |= kFileAttributeReadOnly;
    if (f.Name == ".hidden.txt") want |= kFileAttributeHidden;
    EXPECT_EQ(f.Attributes, want);
    EXPECT_EQ(f.Size, size);
    EXPECT_LE(std::abs(f.LastWriteTime - static_cast<int64_t>(time(nullptr))), 60);
  }

  // A drive's root lists no "." or "..".
  for (const TFindData& f : FindFiles("C:\\*.*"))
    EXPECT_NE(f.Name[0], '.') << f.Name;
}

TEST(Files, CurrentFolderAndFullNames) {
  TTempMachine m;
  ProvisionMachine();
  ASSERT_TRUE(ForceDirectories("C:\\Work\\Here"));
  ASSERT_TRUE(SetCurrentDirectory("c:\\WORK"));
  EXPECT_EQ(GetCurrentDirectory(), "C:\\Work");
  EXPECT_EQ(fs::current_path(), m.DriveC() / "Work");
  ASSERT_TRUE(SetCurrentDirectory("here"));
  EXPECT_EQ(GetCurrentDirectory(), "C:\\Work\\Here");
  ASSERT_TRUE(WriteWholeFile("..\\rel.txt", "r"));
  EXPECT_TRUE(FileExists("C:\\Work\\rel.txt"));
  EXPECT_EQ(GetFullPathName("..\\REL.TXT"), "C:\\Work\\rel.txt");
  EXPECT_EQ(GetFullPathName("new\\..\\x.txt"), "C:\\Work\\Here\\x.txt");
  EXPECT_EQ(GetFullPathName("M:\\x"), "");
  EXPECT_EQ(SetCurrentDirectory("C:\\Nowhere").Error, kErrorPathNotFound);
  EXPECT_EQ(SetCurrentDirectory("C:\\Work\\rel.txt").Error, kErrorPathNotFound);
  ASSERT_TRUE(SetCurrentDirectory("C:\\"));
  EXPECT_EQ(GetCurrentDirectory(), "C:\\");
  ASSERT_TRUE(SetCurrentDirectory("Z:\\tmp"));
  EXPECT_EQ(GetCurrentDirectory(), "Z:\\tmp");
}

TEST(Files, ModuleFileNameIsTheRunningProgram) {
  TTempMachine m;
  const std::string self = GetModuleFileName();
  EXPECT_EQ(self.substr(0, 3), "Z:\\");
  EXPECT_TRUE(FileExists(self));
  EXPECT_EQ(ToPosixPath(self), fs::read_symlink("/proc/self/exe"));
}

TEST(Files, UnelevatedChangesToProtectedFoldersFailAndLeaveNothing) {
  TTempMachine m;
  ProvisionMachine();
  const fs::path c = m.DriveC();
  // Set up, elevated, something to change in each protected folder.
  SetProcessElevated(true);
  ASSERT_TRUE(ForceDirectories("C:\\Program Files\\Darvena"));
  ASSERT_TRUE(WriteWholeFile("C:\\Program Files\\Darvena\\Darvena.exe", "old"));
  SetProcessElevated(false);
  const std::string viaZ = "Z:" + (c / "Program Files").string();

  auto snapshot = [&] {
    std::vector<std::string> all;
    for (const auto& e : fs::recursive_directory_iterator(c))
      all.push_back(e.path().string() + (e.is_regular_file() ? ReadFileBytes(e.path()) : ""));
    std::sort(all.begin(), all.end());
    return all;
  };
  const auto before = snapshot();

  struct TCase {
    const char* what;
    std::function<TWinResult()> op;
  } cases[] = {
      {"write new", [] { return WriteWholeFile("C:\\Program Files\\x.txt", "x"); }},
      {"write lower case", [] { return WriteWholeFile("c:\\program files\\darvena\\y.txt", "x"); }},
      {"overwrite", [] { return WriteWholeFile("C:\\Program Files\\Darvena\\Darvena.exe", "n"); }},
      {"write via Z:", [&] { return WriteWholeFile(viaZ + "\\z.txt", "x"); }},
      {"x86", [] { return WriteWholeFile("C:\\Program Files (x86)\\x.txt", "x"); }},
      {"ProgramData", [] { return CreateDirectory("C:\\ProgramData\\Vel"); }},
      {"Windows", [] { return WriteWholeFile("C:\\Windows\\System32\\x.dll", "x"); }},
      {"Public", [] { return WriteWholeFile("C:\\Users\\Public\\Desktop\\a.lnk", "x"); }},
      {"mkdir", [] { return CreateDirectory("C:\\Program Files\\New"); }},
      {"force", [] { return ForceDirectories("C:\\Program Files\\A\\B"); }},
      {"delete", [] { return DeleteFile("C:\\Program Files\\Darvena\\Darvena.exe"); }},
      {"rmdir", [] { return RemoveDirectory("C:\\Program Files (x86)"); }},
      {"tree", [] { return DeleteTree("C:\\Program Files\\Darvena"); }},
      {"tree above", [] { return DeleteTree("C:\\Users"); }},
      {"tree drive", [] { return DeleteTree("C:\\"); }},
      {"move out",
       [] { return MoveFile("C:\\Program Files\\Darvena\\Darvena.exe", "C:\\Users\\d.exe"); }},
      {"attributes",
       [] {
         return SetFileAttributes("C:\\Program Files\\Darvena\\Darvena.exe",
                                  kFileAttributeReadOnly);
       }},
      {"copy in",
       [] {
         return CopyFile("C:\\Program Files\\Darvena\\Darvena.exe",
                         "C:\\Program Files\\Darvena\\Copy.exe", false);
       }},
      {"open",
       [] {
         uint32_t error = 0;
         const int fd = OpenFileDescriptor("C:\\Windows\\log.txt", TOpenMode::OpenAppend, &error);
         if (fd >= 0) close(fd);
         return TWinResult{error};
       }},
  };
  for (const auto& t : cases) {
    SCOPED_TRACE(t.what);
    EXPECT_EQ(t.op().Error, kErrorAccessDenied);
  }
  EXPECT_EQ(snapshot(), before);
  EXPECT_TRUE(WriteProtected("C:\\PROGRAM FILES\\x"));
  EXPECT_FALSE(WriteProtected(UserProfileFolder() + "\\x"));

  // Reading is allowed, and so is everything in the user's own profile.
  EXPECT_EQ(ReadWholeFile("C:\\Program Files\\Darvena\\Darvena.exe"), "old");
  EXPECT_TRUE(WriteWholeFile(UserProfileFolder() + "\\Desktop\\a.lnk", "x"));
  EXPECT_TRUE(CopyFile("C:\\Program Files\\Darvena\\Darvena.exe",
                       UserProfileFolder() + "\\Darvena.exe", false));

  // Elevated, the same operations work.
  SetProcessElevated(true);
  EXPECT_TRUE(WriteWholeFile("C:\\Program Files\\x.txt", "x"));
  EXPECT_TRUE(WriteWholeFile("C:\\Program Files\\Darvena\\Darvena.exe", "new"));
  EXPECT_TRUE(CreateDirectory("C:\\ProgramData\\Vel"));
  EXPECT_TRUE(DeleteTree("C:\\Program Files\\Darvena"));
}
