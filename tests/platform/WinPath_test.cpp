#include "platform/WinPath.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(WinPath, Parts) {
  struct TCase {
    const char* path;
    const char* drive;
    const char* name;
    const char* folder;
    const char* ext;
  } cases[] = {
      {"C:\\Prog\\notes.txt", "C:", "notes.txt", "C:\\Prog\\", ".txt"},
      {"c:/Prog/a.b.RTF", "c:", "a.b.RTF", "c:/Prog/", ".RTF"},
      {"D:file.txt", "D:", "file.txt", "D:", ".txt"},
      {"Docs\\a.txt", "", "a.txt", "Docs\\", ".txt"},
      {"noext", "", "noext", "", ""},
      {"dir.d\\noext", "", "noext", "dir.d\\", ""},
      {".profile", "", ".profile", "", ".profile"},
      {"trailing.", "", "trailing.", "", "."},
      {"C:\\", "C:", "", "C:\\", ""},
      {"", "", "", "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(ExtractFileDrive(c.path), c.drive);
    EXPECT_EQ(ExtractFileName(c.path), c.name);
    EXPECT_EQ(ExtractFilePath(c.path), c.folder);
    EXPECT_EQ(ExtractFileExt(c.path), c.ext);
  }
  EXPECT_EQ(RemoveFileExt("C:\\a.b\\c.d.txt"), "C:\\a.b\\c.d");
  EXPECT_EQ(RemoveFileExt("C:\\a.b\\c"), "C:\\a.b\\c");
}

TEST(WinPath, Backslashes) {
  struct TCase {
    std::string in, added, removed;
  } cases[] = {
      {"", "", ""},
      {"C:", "C:\\", "C:"},
      {"C:\\Prog", "C:\\Prog\\", "C:\\Prog"},
      {"C:\\Prog\\", "C:\\Prog\\", "C:\\Prog"},
  };
  for (auto c : cases) {
    std::string a = c.in, r = c.in;
    AddBackslash(a);
    RemoveBackslash(r);
    EXPECT_EQ(a, c.added) << c.in;
    EXPECT_EQ(r, c.removed) << c.in;
  }
}

TEST(WinPath, RelativeFileName) {
  struct TCase {
    const char* exe;
    const char* file;
    const char* relative;
  } cases[] = {
      {"C:\\Prog\\Darvena.exe", "C:\\Prog\\Docs\\a.txt", "Docs\\a.txt"},
      {"C:\\Prog\\Darvena.exe", "C:\\Data\\b.txt", "..\\Data\\b.txt"},
      {"C:\\Prog\\Darvena.exe", "D:\\c.txt", "D:\\c.txt"},
      {"C:\\Prog\\Darvena.exe", "c:\\PROG\\notes.txt", "notes.txt"},
      {"c:\\prog\\Darvena.exe", "C:\\Prog\\Sub\\Deep\\x.rtf", "Sub\\Deep\\x.rtf"},
      {"C:\\A\\B\\C\\Darvena.exe", "C:\\A\\X\\y.txt", "..\\..\\X\\y.txt"},
      {"C:\\Darvena.exe", "C:\\y.txt", "y.txt"},
      {"Z:\\opt\\darvena\\Darvena.exe", "Z:\\home\\u\\n.txt", "..\\..\\home\\u\\n.txt"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(RelativeFileName(c.exe, c.file), c.relative) << c.file;
}
