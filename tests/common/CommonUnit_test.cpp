// The shared environment: locale and language choice, the bilingual boxes, the
// registry object and the product key.
#include "common/CommonUnit.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "common/OsDescriptionUnit.h"
#include "platform/CodePage.h"
#include "platform/Machine.h"
#include "platform/Registry.h"
#include "platform/WindowsProfile.h"
#include "tests/support/MessageBoxTranscript.h"
#include "tests/support/TempMachine.h"

using namespace darvena;

namespace {

void SetUserLocale(uint32_t lcid) {
  char text[16];
  std::snprintf(text, sizeof text, "%08X", lcid);
  platform::TRegistry reg;
  reg.SetRootKey(platform::HKEY_CURRENT_USER);
  ASSERT_TRUE(reg.OpenKey("Control Panel\\International", true));
  reg.WriteString("Locale", text);
}

void SetIdentity() {
  ProductName = "Darvena";
  RusTitle = platform::Utf8ToAnsi("Дарвена");
  EngTitle = "Darvena";
}

TEST(CommonUnit, RussianUserForTheSevenCyrillicLocalesOnly) {
  const struct {
    uint32_t lcid;
    bool russian;
  } cases[] = {
      {1026, true},    {1049, true},    {1058, true},    {1059, true},
      {1087, true},    {1092, true},    {2073, true},    {1033, false},
      {2092, false},  // Azerbaijani, Cyrillic
      {0x0C19, false}, {0x0802, false}, {0x0843, false}, {0x0444 + 0x400, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lcid);
    darvena::test::TTempMachine machine;
    SetUserLocale(c.lcid);
    TCommonUnitLifetime unit;
    EXPECT_EQ(UserLCID, c.lcid);
    EXPECT_EQ(RussianUser, c.russian);
  }
}

TEST(CommonUnit, ErrorAndInfoBoxesSpeakTheUsersLanguage) {
  darvena::test::TTempMachine machine;
  SetIdentity();
  const std::string english = "No access to system registry";
  const std::string russian = platform::Utf8ToAnsi("Нет доступа к системному реестру");

  SetUserLocale(1049);
  InitializeCommonUnit();
  darvena::test::TScriptedMessageBoxes boxes;
  ErrorBox(english, russian);
  InfoBox(english, russian);
  FinalizeCommonUnit();

  SetUserLocale(1033);
  InitializeCommonUnit();
  ErrorBox(english, russian);
  InfoBox(english, russian);
  FinalizeCommonUnit();

  const auto got = boxes.Boxes();
  ASSERT_EQ(got.size(), 4u);
  for (size_t i : {0, 1}) {
    EXPECT_EQ(got[i].Caption, RusTitle);
    EXPECT_EQ(got[i].Text, russian);
    EXPECT_TRUE(got[i].HasLanguage);
    EXPECT_EQ(got[i].Language, 0x0019);
  }
  for (size_t i : {2, 3}) {
    EXPECT_EQ(got[i].Caption, "Darvena");
    EXPECT_EQ(got[i].Text, english);
    EXPECT_FALSE(got[i].HasLanguage);
  }
  EXPECT_EQ(got[0].Flags, 0x00200010u);
  EXPECT_EQ(got[1].Flags, 0x00042040u);
  EXPECT_EQ(got[2].Flags, 0x00200010u);
  EXPECT_EQ(got[3].Flags, 0x00042040u);
}

TEST(CommonUnit, StartUpResetsTheVersionAndSuitsRegToTheWindowsBitness) {
  darvena::test::TTempMachine machine;
  VerMajor = VerMinor = 7;
  InitializeCommonUnit();
  EXPECT_EQ(VerMajor, -1);
  EXPECT_EQ(VerMinor, -1);
  EXPECT_TRUE(Windows64);
  ASSERT_NE(Reg, nullptr);
  EXPECT_EQ(Reg->Access(), 0x000F013Fu);
  EXPECT_EQ(Reg->RootKey(), platform::HKEY_CURRENT_USER);
  EXPECT_TRUE(Reg->LazyWrite());
  EXPECT_TRUE(ProgramFilesValid);
  FinalizeCommonUnit();
  EXPECT_EQ(Reg, nullptr);

  // 32-bit Windows XP: the plain full-access mask.
  platform::TWindowsProfile xp;
  xp.MajorVersion = 5;
  xp.MinorVersion = 1;
  xp.ProcessorArchitecture = 0;
  platform::SetProcessElevated(true);
  ASSERT_TRUE(platform::WriteWindowsProfile(xp));
  platform::SetProcessElevated(false);
  InitializeCommonUnit();
  EXPECT_FALSE(Windows64);
  EXPECT_EQ(Reg->Access(), 0x000F003Fu);
  FinalizeCommonUnit();
}

TEST(CommonUnit, ProductKeyIsCreatedAndLeftOpen) {
  darvena::test::TTempMachine machine;
  SetIdentity();
  TCommonUnitLifetime unit;
  Reg->SetRootKey(platform::HKEY_LOCAL_MACHINE);
  OpenProductKey();
  EXPECT_EQ(Reg->RootKey(), platform::HKEY_CURRENT_USER);
  EXPECT_EQ(Reg->CurrentPath(), "Software\\Vel\\Darvena");
  Reg->WriteInteger("ShowToolBar", 1);
  Reg->CloseKey();

  platform::TRegistry check(platform::KEY_READ);
  ASSERT_TRUE(check.OpenKeyReadOnly("Software\\Vel\\Darvena"));
  EXPECT_EQ(check.ReadInteger("ShowToolBar"), 1);
}

TEST(CommonUnit, DamagedRegistryIsNeverReported) {
  darvena::test::TTempMachine machine;
  SetIdentity();
  platform::ProvisionMachine();
  {
    platform::TRegistry touch;
    (void)touch.KeyExists("Software");
  }
  const auto store = machine.Root() / "registry.db";
  std::filesystem::remove(store.string() + "-wal");
  std::filesystem::remove(store.string() + "-shm");
  darvena::test::WriteFileBytes(store, "REGEDIT4\r\n");
  darvena::test::TScriptedMessageBoxes boxes;
  InitializeCommonUnit();
  EXPECT_NO_THROW(OpenProductKey());
  EXPECT_EQ(Reg->CurrentKey(), nullptr);
  FinalizeCommonUnit();
  EXPECT_TRUE(boxes.Boxes().empty());
}

}  // namespace
