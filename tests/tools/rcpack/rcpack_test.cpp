#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/CodePage.h"
#include "platform/Resources.h"
#include "platform/ResourcesManifest.h"
#include "platform/ResourcesVersion.h"
#include "tests/support/RunProgram.h"
#include "tests/support/TempMachine.h"

using namespace platform;
using darvena::test::ReadFileBytes;
using darvena::test::TTempMachine;
using darvena::test::WriteFileBytes;

namespace {

using TRun = darvena::test::TProgramRun;

// Runs args[0] with the other arguments, its errors merged into its output.
TRun RunMerged(const std::vector<std::string>& args) {
  return darvena::test::RunProgram(args[0], {args.begin() + 1, args.end()}, true);
}

// A copy of a program that runs, to pack.
std::filesystem::path ProgramCopy(const TTempMachine& m, const std::string& name,
                                  const std::filesystem::path& from = "/bin/true") {
  std::filesystem::path file = m.Root() / name;
  WriteFileBytes(file, ReadFileBytes(from));
  std::filesystem::permissions(file, std::filesystem::perms::owner_all);
  return file;
}

}  // namespace

TEST(Rcpack, APackedProgramReadsItsOwnResources) {
  TTempMachine m;
  TRun probe = RunMerged({PROBE_PATH});
  EXPECT_EQ(probe.Code, 0) << probe.Output;
  EXPECT_EQ(probe.Output,
            "seal intact\n"
            "greeting Hello from the probe's resources.\n"
            "version 2.7.1.9\n"
            "level asInvoker\n"
            "payload " +
                std::to_string(std::filesystem::file_size(PAYLOAD_PATH)) + "\n");

  // The payload comes out byte for byte as built, and runs.
  TProgramFile file = TProgramFile::OpenPosix(PROBE_PATH);
  std::optional<std::string> payload = file.LoadResource("EXE", "PAYLOAD");
  ASSERT_TRUE(payload);
  EXPECT_EQ(*payload, ReadFileBytes(PAYLOAD_PATH));
  std::filesystem::path extracted = m.Root() / "payload.exe";
  WriteFileBytes(extracted, *payload);
  std::filesystem::permissions(extracted, std::filesystem::perms::owner_all);
  EXPECT_EQ(RunMerged({extracted}).Code, 5);

  std::optional<TVersionInfo> version = GetFileVersionInfoPosix(std::filesystem::path(PROBE_PATH));
  ASSERT_TRUE(version);
  EXPECT_EQ(VerQueryString(*version, "\\StringFileInfo\\041904e3\\InternalName"),
            Utf8ToAnsi("Зонд"));
}

TEST(Rcpack, AProgramWithOneByteChangedRefusesToStart) {
  TTempMachine m;
  std::string bytes = ReadFileBytes(PROBE_PATH);
  for (size_t at : {size_t{200}, bytes.size() / 2, bytes.size() - 40}) {
    std::string changed = bytes;
    changed[at] = static_cast<char>(changed[at] ^ 0x20);
    std::filesystem::path copy = m.Root() / "probe.exe";
    WriteFileBytes(copy, changed);
    std::filesystem::permissions(copy, std::filesystem::perms::owner_all);
    TRun run = RunMerged({copy});
    EXPECT_EQ(run.Code, 3) << at;
    EXPECT_EQ(run.Output, "seal damaged\n") << at;
  }
}

TEST(Rcpack, TheViewersResources) {
  TTempMachine m;
  std::filesystem::path exe = ProgramCopy(m, "Darvena.exe");
  TRun pack = RunMerged({RCPACK_PATH, SOURCE_ROOT "/resources/Darvena.res", exe});
  ASSERT_EQ(pack.Code, 0) << pack.Output;
  EXPECT_EQ(RunMerged({exe}).Code, 0);

  TProgramFile file = TProgramFile::OpenPosix(exe);
  EXPECT_EQ(file.CheckSeal(), TSealStatus::Intact);
  std::optional<TVersionInfo> info = GetFileVersionInfo(file);
  ASSERT_TRUE(info);
  EXPECT_EQ(FixedVersionText(info->Fixed.FileVersionMS, info->Fixed.FileVersionLS), "1.4.0.6");
  EXPECT_EQ(FixedVersionText(info->Fixed.ProductVersionMS, info->Fixed.ProductVersionLS),
            "1.4.0.6");
  EXPECT_EQ(info->Fixed.FileFlags & info->Fixed.FileFlagsMask, kVsFfPrerelease);
  EXPECT_EQ(info->Fixed.FileOS, kVosWindows32);
  EXPECT_EQ(info->Fixed.FileType, kVftApp);
  ASSERT_EQ(info->Translations.size(), 1u);
  EXPECT_EQ(info->Translations[0].Language, 0x0419);
  EXPECT_EQ(info->Translations[0].CodePage, 1251);
  ASSERT_EQ(info->Tables.size(), 1u);

  struct TCase {
    const char* name;
    const char* value;  // UTF-8
  } cases[] = {
      {"FileVersion", "1.4.0.6"},          {"ProductVersion", "beta"},
      {"ProductName", "Darvena"},          {"InternalName", "Дарвена"},
      {"OriginalFilename", "Darvena.exe"}, {"FileDescription", "Executable module"},
  };
  for (const auto& c : cases) {
    std::string query = std::string("\\StringFileInfo\\041904e3\\") + c.name;
    EXPECT_EQ(VerQueryString(*info, query), Utf8ToAnsi(c.value)) << c.name;
  }
  for (const char* name : {"CompanyName", "LegalCopyright"}) {
    std::optional<std::string> v =
        VerQueryString(*info, std::string("\\StringFileInfo\\041904e3\\") + name);
    ASSERT_TRUE(v) << name;
    EXPECT_FALSE(v->empty()) << name;
  }

  std::optional<TManifest> manifest = ReadManifest(file);
  ASSERT_TRUE(manifest);
  EXPECT_EQ(manifest->RequestedExecutionLevel, "asInvoker");
  EXPECT_EQ(manifest->CommonControlsVersion(), "6.0.0.0");
  std::vector<TIconImage> icon = LoadIconGroup(file, "MAINICON");
  ASSERT_EQ(icon.size(), 1u);
  EXPECT_EQ(icon[0].Format, "svg");
  EXPECT_EQ(icon[0].Bytes, ReadFileBytes(SOURCE_ROOT "/resources/MAINICON.svg"));
}

TEST(Rcpack, VariablesOutputPathAndRepacking) {
  TTempMachine m;
  std::filesystem::path exe = ProgramCopy(m, "in.exe");
  const std::string original = ReadFileBytes(exe);
  WriteFileBytes(m.Root() / "data" / "blob.bin", std::string("\0\1\2", 3));
  WriteFileBytes(m.Root() / "d.res",
                 "  # a comment\n"
                 "resource RCDATA \"BLOB ${Which}\" \"${Folder}/blob.bin\"\r\n"
                 "resource \"#10\" #0042 data/blob.bin\n");
  std::filesystem::path out = m.Root() / "out.exe";
  TRun pack = RunMerged(
      {RCPACK_PATH, "-D", "Which=ONE", "-DFolder=data", m.Root() / "d.res", exe, "-o", out});
  ASSERT_EQ(pack.Code, 0) << pack.Output;
  EXPECT_EQ(ReadFileBytes(exe), original);
  TProgramFile packed = TProgramFile::OpenPosix(out);
  EXPECT_EQ(packed.LoadResource("rcdata", "blob one"), std::string("\0\1\2", 3));
  EXPECT_EQ(packed.LoadResource("#10", "#42"), std::string("\0\1\2", 3));
  EXPECT_EQ(RunMerged({RCPACK_PATH, "--list", out}).Output,
            "sealed, intact\nRCDATA BLOB ONE 0000 3\n#10 #42 0000 3\n");

  // Packing a packed file again replaces its resources.
  const auto size = std::filesystem::file_size(out);
  ASSERT_EQ(RunMerged({RCPACK_PATH, "-DWhich=ONE", "-DFolder=data", m.Root() / "d.res", out}).Code,
            0);
  EXPECT_EQ(std::filesystem::file_size(out), size);
  EXPECT_EQ(TProgramFile::OpenPosix(out).CheckSeal(), TSealStatus::Intact);
  EXPECT_EQ(RunMerged({out}).Code, 0);
}

TEST(Rcpack, FaultyDescriptionsLeaveTheProgramAlone) {
  TTempMachine m;
  std::filesystem::path exe = ProgramCopy(m, "p.exe");
  const std::string original = ReadFileBytes(exe);
  struct TCase {
    const char* text;
    const char* message;
  } cases[] = {
      {"version file 1.4.0.6\nfrobnicate\n", ":2: unknown statement \"frobnicate\""},
      {"version file 1.4.0.65536\n", ":1: \"1.4.0.65536\" is not a version"},
      {"version flags prerelease beta\n", ":1: unknown version flag \"beta\""},
      {"string 0x0419 1251 Name \"open\n", ":1: a quoted word has no closing quote"},
      {"string 0x0419 1251 Name \"中\"\n", "has characters Windows-1251 lacks"},
      {"string 0x0419 1251 A 1\nstring 0x0419 1251 a 2\n", ":2: string a is given twice"},
      {"string 0x10000 1251 A 1\n", "is not a number from 0 to 65535"},
      {"resource EXE X ${Missing}\n", ":1: variable Missing is not defined"},
      {"resource EXE X nowhere.bin\n", ":1: cannot open"},
      {"icon MAINICON icon.bmp\n", ":1: an icon image is .svg or .png"},
      {"manifest level root\n", ":1: unknown execution level \"root\""},
      {"resource A B\n", ":1: expected: resource TYPE NAME FILE"},
  };
  for (const auto& c : cases) {
    WriteFileBytes(m.Root() / "bad.res", c.text);
    TRun run = RunMerged({RCPACK_PATH, m.Root() / "bad.res", exe});
    EXPECT_EQ(run.Code, 1) << c.text;
    EXPECT_NE(run.Output.find(c.message), std::string::npos) << c.text << " gave " << run.Output;
    EXPECT_NE(run.Output.find("bad.res"), std::string::npos) << run.Output;
  }
  // Two resources of one type and name.
  WriteFileBytes(m.Root() / "dup.res", "resource EXE X dup.res\nresource exe x dup.res\n");
  TRun dup = RunMerged({RCPACK_PATH, m.Root() / "dup.res", exe});
  EXPECT_EQ(dup.Code, 1);
  EXPECT_NE(dup.Output.find("Duplicate resource"), std::string::npos) << dup.Output;
  EXPECT_EQ(RunMerged({RCPACK_PATH, m.Root() / "missing.res", exe}).Code, 1);
  EXPECT_EQ(RunMerged({RCPACK_PATH, m.Root() / "dup.res"}).Code, 2);
  EXPECT_EQ(ReadFileBytes(exe), original);
  // No half-written program is left beside it.
  std::vector<std::string> left;
  for (const auto& e : std::filesystem::directory_iterator(m.Root()))
    left.push_back(e.path().filename().string());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"bad.res", "dup.res", "p.exe"}));
}
