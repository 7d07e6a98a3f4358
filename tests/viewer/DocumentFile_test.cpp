#include "viewer/DocumentFile.h"

#include <gtest/gtest.h>

#include "tests/support/TempMachine.h"

using darvena::test::WriteFileBytes;
using viewer::ReadDocumentFile;

TEST(DocumentFile, LookupOrder) {
  darvena::test::TTempMachine machine;
  const auto c = machine.DriveC();
  WriteFileBytes(c / "Work" / "a.txt", "work a");
  WriteFileBytes(c / "Work" / "Docs" / "b.txt", "work docs b");
  WriteFileBytes(c / "Prog" / "Docs" / "b.txt", "prog docs b");
  WriteFileBytes(c / "Prog" / "Docs" / "c.txt", "prog docs c");
  WriteFileBytes(c / "Work" / "c.txt", "work c");
  std::filesystem::current_path(c / "Work");
  struct TCase {
    const char* name;
    const char* bytes;  // nullptr: not found
  } cases[] = {
      {"a.txt", "work a"},
      {"A.TXT", "work a"},                 // names match without regard to case
      {"Docs\\b.txt", "work docs b"},      // the current folder first
      {"Docs\\c.txt", "prog docs c"},      // then the program's folder
      {"Missing\\a.txt", "work a"},        // then the bare name here
      {"C:\\Elsewhere\\a.txt", "work a"},  // a full path falls back to the bare name too
      {"C:\\Prog\\Docs\\b.txt", "prog docs b"},
      {"Missing\\none.txt", nullptr},
      {"Docs", nullptr},  // a folder is no document
      {"", nullptr},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.name);
    const auto bytes = ReadDocumentFile(k.name, "C:\\Prog\\");
    if (k.bytes == nullptr) {
      EXPECT_FALSE(bytes.has_value());
    } else {
      ASSERT_TRUE(bytes.has_value());
      EXPECT_EQ(*bytes, k.bytes);
    }
  }
}
