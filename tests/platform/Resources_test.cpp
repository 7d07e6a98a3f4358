#include "platform/Resources.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/Machine.h"
#include "platform/PlatformError.h"
#include "platform/ResourcesManifest.h"
#include "platform/ResourcesVersion.h"
#include "tests/support/TempMachine.h"

using namespace platform;
using darvena::test::ReadFileBytes;
using darvena::test::TTempMachine;
using darvena::test::WriteFileBytes;

namespace {

const std::string kImage =
    "\x7f"
    "ELF pretend program image\n" +
    std::string(100, '\x90');

std::vector<TResource> SampleResources() {
  return {
      {"EXE", "DARVENA", kLangNeutral, "viewer bytes"},
      {"EXE", "UNINSTALL", kLangNeutral, std::string("un\0install", 10)},
      {"DLL", "RICHED32", 0x0419, "rich edit"},
      {"#10", "#7", kLangNeutral, ""},
  };
}

std::filesystem::path Packed(const TTempMachine& m, const std::string& image = kImage) {
  std::filesystem::path file = m.Root() / "prog.exe";
  WriteFileBytes(file, image);
  PackResources(file, SampleResources(), file);
  return file;
}

TSealStatus SealOf(const std::filesystem::path& file) {
  return TProgramFile::OpenPosix(file).CheckSeal();
}

}  // namespace

TEST(Resources, PackedResourcesReadBackByTypeAndName) {
  TTempMachine m;
  std::filesystem::path file = Packed(m);
  TProgramFile prog = TProgramFile::OpenPosix(file);
  EXPECT_EQ(prog.CheckSeal(), TSealStatus::Intact);
  EXPECT_EQ(prog.ImageSize(), kImage.size());
  EXPECT_EQ(ReadFileBytes(file).substr(0, kImage.size()), kImage);
  ASSERT_EQ(prog.Resources().size(), 4u);

  EXPECT_EQ(prog.LoadResource("exe", "darvena"), "viewer bytes");
  EXPECT_EQ(prog.LoadResource("Exe", "Uninstall"), std::string("un\0install", 10));
  EXPECT_EQ(prog.LoadResource("#010", "#7"), "");
  EXPECT_EQ(prog.LoadResource("EXE", "RICHED32"), std::nullopt);
  EXPECT_EQ(prog.LoadResource("DLL", "RICHED"), std::nullopt);
  ASSERT_NE(prog.FindResourceEx("dll", "riched32", 0x0419), nullptr);
  EXPECT_EQ(prog.FindResourceEx("dll", "riched32", 0x0409), nullptr);
}

TEST(Resources, PackingAgainReplacesTheResources) {
  TTempMachine m;
  std::filesystem::path file = Packed(m);
  std::filesystem::path copy = m.Root() / "copy.exe";
  PackResources(file, {{"TEXT", "ONLY", kLangNeutral, "one"}}, copy);
  TProgramFile prog = TProgramFile::OpenPosix(copy);
  EXPECT_EQ(prog.CheckSeal(), TSealStatus::Intact);
  EXPECT_EQ(prog.ImageSize(), kImage.size());
  ASSERT_EQ(prog.Resources().size(), 1u);
  EXPECT_EQ(prog.LoadResource("text", "only"), "one");
  EXPECT_EQ(SealOf(file), TSealStatus::Intact);  // the input is left as it was

  EXPECT_THROW(PackResources(file, {{"A", "B", 0, "1"}, {"a", "b", 0, "2"}}, copy), EPlatformError);
  EXPECT_THROW(PackResources(file, {{"", "B", 0, "1"}}, copy), EPlatformError);
  EXPECT_EQ(TProgramFile::OpenPosix(copy).LoadResource("text", "only"), "one");
}

TEST(Resources, EveryChangedByteBreaksTheSeal) {
  TTempMachine m;
  std::filesystem::path file = Packed(m);
  const std::string sealed = ReadFileBytes(file);
  std::filesystem::path damaged = m.Root() / "damaged.exe";
  for (size_t at = 0; at < sealed.size(); ++at) {
    std::string bytes = sealed;
    bytes[at] = static_cast<char>(bytes[at] ^ 0x01);
    WriteFileBytes(damaged, bytes);
    TSealStatus status = SealOf(damaged);
    bool inTrailerMagic =
        at >= sealed.size() - kTrailerSize && at < sealed.size() - kTrailerSize + 8;
    ASSERT_EQ(status, inTrailerMagic ? TSealStatus::NotSealed : TSealStatus::Damaged) << at;
  }
  WriteFileBytes(damaged, sealed.substr(0, sealed.size() - 1));
  EXPECT_NE(SealOf(damaged), TSealStatus::Intact);
  WriteFileBytes(damaged, sealed + "x");
  EXPECT_NE(SealOf(damaged), TSealStatus::Intact);
  WriteFileBytes(damaged, "x" + sealed);
  EXPECT_NE(SealOf(damaged), TSealStatus::Intact);
}

TEST(Resources, FilesWithoutResources) {
  TTempMachine m;
  for (const std::string& bytes : {std::string(), std::string("tiny"), kImage + kImage}) {
    WriteFileBytes(m.Root() / "plain", bytes);
    TProgramFile prog = TProgramFile::OpenPosix(m.Root() / "plain");
    EXPECT_EQ(prog.CheckSeal(), TSealStatus::NotSealed);
    EXPECT_TRUE(prog.Resources().empty());
    EXPECT_EQ(prog.ImageSize(), bytes.size());
  }
  try {
    (void)TProgramFile::OpenPosix(m.Root() / "missing.exe");
    FAIL();
  } catch (const EPlatformError& e) {
    EXPECT_EQ(e.Code(), kErrorFileNotFound);
  }
  EXPECT_EQ(GetFileVersionInfoPosix(m.Root() / "missing.exe"), std::nullopt);
  EXPECT_EQ(GetFileVersionInfoSizePosix(m.Root() / "plain"), 0u);
  // This test program was never packed.
  EXPECT_FALSE(OwnProgramFileIntact());
  EXPECT_EQ(LoadOwnResource("EXE", "DARVENA"), std::nullopt);
}

TEST(Resources, APackedProgramStillRuns) {
  TTempMachine m;
  std::filesystem::path prog = m.Root() / "true.exe";
  WriteFileBytes(prog, ReadFileBytes("/bin/true"));
  std::filesystem::permissions(prog, std::filesystem::perms::owner_all);
  PackResources(prog, SampleResources(), prog);
  EXPECT_EQ(SealOf(prog), TSealStatus::Intact);
  EXPECT_NE(std::filesystem::status(prog).permissions() & std::filesystem::perms::owner_exec,
            std::filesystem::perms::none);
  pid_t pid = fork();
  if (pid == 0) {
    execl(prog.c_str(), "true.exe", static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(ResourcesVersion, VersionStringsOfAnotherFile) {
  TTempMachine m;
  TVersionInfo info;
  ASSERT_TRUE(ParseFixedVersion("1.4.0.6", info.Fixed.FileVersionMS, info.Fixed.FileVersionLS));
  ASSERT_TRUE(ParseFixedVersion("2.5", info.Fixed.ProductVersionMS, info.Fixed.ProductVersionLS));
  info.Fixed.FileFlags = kVsFfPrerelease;
  info.Translations = {{0x0419, 1251}, {0x0409, 1252}};
  const std::string tricky = "a=b\\c\r\nd\xC4\xE0\xF0\xE2\xE5\xED\xE0";
  info.Tables = {{{0x0419, 1251}, {{"FileVersion", "1.4.0.6"}, {"Odd=Name", tricky}}},
                 {{0x0409, 1252}, {{"FileVersion", "english"}}}};
  std::filesystem::path file = m.Root() / "v.exe";
  WriteFileBytes(file, kImage);
  PackResources(file, {{kRtVersion, kVersionInfoId, 0x0419, EncodeVersionInfo(info)}}, file);

  EXPECT_GT(GetFileVersionInfoSizePosix(file), 0u);
  std::optional<TVersionInfo> read = GetFileVersionInfoPosix(file);
  ASSERT_TRUE(read);
  EXPECT_EQ(FixedVersionText(read->Fixed.FileVersionMS, read->Fixed.FileVersionLS), "1.4.0.6");
  EXPECT_EQ(read->Fixed.FileVersionMS, 0x00010004u);
  EXPECT_EQ(read->Fixed.FileVersionLS, 0x00000006u);
  EXPECT_EQ(FixedVersionText(read->Fixed.ProductVersionMS, read->Fixed.ProductVersionLS),
            "2.5.0.0");
  EXPECT_EQ(read->Fixed.FileFlags, kVsFfPrerelease);
  EXPECT_EQ(read->Fixed.FileOS, kVosWindows32);
  EXPECT_EQ(read->Fixed.FileType, kVftApp);
  ASSERT_EQ(read->Translations.size(), 2u);
  EXPECT_EQ(read->Translations[0].Language, 0x0419);
  EXPECT_EQ(read->Translations[0].CodePage, 1251);

  struct TCase {
    const char* query;
    std::optional<std::string> value;
  } cases[] = {
      {"\\StringFileInfo\\041904e3\\FileVersion", "1.4.0.6"},
      {"\\stringfileinfo\\041904E3\\FILEVERSION", "1.4.0.6"},
      {"\\StringFileInfo\\040904e4\\FileVersion", "english"},
      {"\\StringFileInfo\\041904e3\\Odd=Name", tricky},
      {"\\StringFileInfo\\041904e3\\ProductVersion", std::nullopt},
      {"\\StringFileInfo\\041904e4\\FileVersion", std::nullopt},
      {"\\StringFileInfo\\0419\\FileVersion", std::nullopt},
      {"\\VarFileInfo\\Translation", std::nullopt},
  };
  for (const auto& c : cases)
    EXPECT_EQ(VerQueryString(*read, c.query), c.value) << c.query;
}

TEST(ResourcesVersion, ProgramFilesByWindowsPath) {
  TTempMachine m;
  ProvisionMachine();
  TVersionInfo info;
  info.Translations = {{0x0419, 1251}};
  info.Tables = {{{0x0419, 1251}, {{"FileVersion", "1.4.0.6"}}}};
  std::filesystem::path file = m.DriveC() / "Program Files" / "Darvena" / "Darvena.exe";
  WriteFileBytes(file, kImage);
  PackResources(file, {{kRtVersion, kVersionInfoId, 0x0419, EncodeVersionInfo(info)}}, file);

  const char* path = "C:\\program files\\DARVENA\\darvena.exe";
  EXPECT_EQ(TProgramFile::Open(path).CheckSeal(), TSealStatus::Intact);
  EXPECT_EQ(GetFileVersionInfoSize(path), EncodeVersionInfo(info).size());
  std::optional<TVersionInfo> read = GetFileVersionInfo(path);
  ASSERT_TRUE(read);
  EXPECT_EQ(VerQueryString(*read, "\\StringFileInfo\\041904e3\\FileVersion"), "1.4.0.6");
  EXPECT_EQ(GetFileVersionInfo("C:\\Program Files\\Darvena\\Uninstall.exe"), std::nullopt);
  EXPECT_EQ(GetFileVersionInfoSize("Q:\\Darvena.exe"), 0u);
  struct TCase {
    const char* path;
    uint32_t error;
  } missing[] = {{"C:\\Program Files\\Darvena\\Uninstall.exe", kErrorFileNotFound},
                 {"Q:\\Darvena.exe", kErrorPathNotFound}};
  for (const auto& c : missing) {
    try {
      (void)TProgramFile::Open(c.path);
      ADD_FAILURE() << c.path;
    } catch (const EPlatformError& e) {
      EXPECT_EQ(e.Code(), c.error) << c.path;
    }
  }
}

TEST(ResourcesVersion, MalformedVersionText) {
  uint32_t ms = 0, ls = 0;
  for (const char* bad : {"", "1.", ".1", "1..2", "1.2.3.4.5", "65536", "1.x", "-1", "0x1"})
    EXPECT_FALSE(ParseFixedVersion(bad, ms, ls)) << bad;
  for (std::string bad :
       {"DARVENA-VERSIONINFO 2\n", "FileVersion 1.2.3.4\n",
        "DARVENA-VERSIONINFO 1\nFileVersion one\n", "DARVENA-VERSIONINFO 1\nString A=B\n",
        "DARVENA-VERSIONINFO 1\nStringFileInfo 0419\n",
        "DARVENA-VERSIONINFO 1\nStringFileInfo 041904E3\nString A\n",
        "DARVENA-VERSIONINFO 1\nStringFileInfo 041904E3\nString A=\\q\n"})
    EXPECT_EQ(DecodeVersionInfo(bad), std::nullopt) << bad;
  EXPECT_TRUE(DecodeVersionInfo("DARVENA-VERSIONINFO 1\nLaterField 7\n"));
}

TEST(ResourcesManifest, ManifestAndIconGroup) {
  TTempMachine m;
  TManifest manifest;
  manifest.RequestedExecutionLevel = "requireAdministrator";
  manifest.Dependencies = {{kCommonControlsAssembly, "6.0.0.0"}};
  std::vector<TIconImage> images = {{"#1", "svg", 0, 0, "<svg/>"}, {"#2", "png", 32, 32, "PNG"}};
  std::filesystem::path file = m.Root() / "m.exe";
  WriteFileBytes(file, kImage);
  PackResources(file,
                {{kRtManifest, kManifestId, 0, EncodeManifest(manifest)},
                 {kRtIcon, "#1", 0, "<svg/>"},
                 {kRtIcon, "#2", 0, "PNG"},
                 {kRtGroupIcon, "MAINICON", 0, EncodeIconGroup(images)},
                 {kRtGroupIcon, "BROKEN", 0, EncodeIconGroup({{"#9", "png", 1, 1, ""}})}},
                file);
  TProgramFile prog = TProgramFile::OpenPosix(file);
  std::optional<TManifest> read = ReadManifest(prog);
  ASSERT_TRUE(read);
  EXPECT_TRUE(read->RequiresAdministrator());
  EXPECT_EQ(read->CommonControlsVersion(), "6.0.0.0");
  EXPECT_EQ(DecodeManifest("DARVENA-MANIFEST 1\nrequestedExecutionLevel root\n"), std::nullopt);

  std::vector<TIconImage> icon = LoadIconGroup(prog, "mainicon");
  ASSERT_EQ(icon.size(), 2u);
  EXPECT_EQ(icon[0].Format, "svg");
  EXPECT_EQ(icon[0].Bytes, "<svg/>");
  EXPECT_EQ(icon[1].Width, 32u);
  EXPECT_EQ(icon[1].Bytes, "PNG");
  EXPECT_TRUE(LoadIconGroup(prog, "BROKEN").empty());  // names an image that is not there
  EXPECT_TRUE(LoadIconGroup(prog, "OTHER").empty());
}
