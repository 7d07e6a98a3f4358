// The settings dialog as the program makes it: loading at creation, acting at once
// on the main window, storing at every close.
#include <QTest>
#include <QToolButton>

#include "tests/viewer/ProgramFixture.h"
#include "viewer/DocumentTable.h"

namespace viewer::test {
namespace {

using TSettingsTest = TProgramTest;

// The six boxes in their stored order, as "1"/"0".
std::string States(const TToolsForm& tools) {
  std::string s;
  for (const QCheckBox* box :
       {tools.ShowToolBarCheckBox, tools.ShowToolBtnCaptionsCheckBox, tools.ShowExtCheckBox,
        tools.OpenAgainCheckBox, tools.OpenWorkFolderCheckBox, tools.CloneKeyCheckBox})
    s += box->isChecked() ? '1' : '0';
  return s;
}

const char* const kNames[] = {"ShowToolBar", "ShowToolBtnCap", "ShowDocTypes",
                              "OpenAgain",   "OpenWorkFolder", "CloneKey"};

TEST_F(TSettingsTest, FirstRunHasTheDefaultsAndCreatesTheKey) {
  Start();
  EXPECT_EQ(States(*Tools), "100100");
  EXPECT_TRUE(Form->ToolBar1->isVisibleTo(Form.get()));
  EXPECT_EQ(Form->ToolBar1->toolButtonStyle(), Qt::ToolButtonIconOnly);
  EXPECT_TRUE(Tools->ShowToolBtnCaptionsCheckBox->isEnabled());
  EXPECT_TRUE(Form->ClonedKey.empty());
  // The key is made at start, though nothing is written until the dialog closes.
  EXPECT_TRUE(darvena::Reg->KeyExists("\\Software\\Vel\\Darvena"));
  EXPECT_TRUE(ValueNames().empty());

  ShowToolsAndPressOK();
  const int expected[] = {1, 0, 0, 1, 0, 0};
  for (int i = 0; i < 6; ++i)
    EXPECT_EQ(ReadDword(kNames[i]), expected[i]) << kNames[i];
}

TEST_F(TSettingsTest, StoredValuesAreLoadedInOrderThroughTheHandlers) {
  struct TCase {
    const char* what;
    std::vector<std::pair<std::string, int>> values;
    const char* states;
  };
  const TCase cases[] = {
      {"both start-up options: the later wins",
       {{"OpenAgain", 1}, {"OpenWorkFolder", 1}},
       "100010"},
      {"any non-zero number is true", {{"CloneKey", 2}, {"ShowDocTypes", -7}}, "101101"},
      {"all off", {{"ShowToolBar", 0}, {"OpenAgain", 0}}, "000000"},
      {"captions on", {{"ShowToolBtnCap", 1}}, "110100"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    darvena::Reg->DeleteKey("\\Software\\Vel\\Darvena");
    for (const auto& [name, value] : c.values)
      WriteDword(name, value);
    Form.reset();
    Tools.reset();
    Progress.reset();
    Start();
    EXPECT_EQ(States(*Tools), c.states);
    EXPECT_EQ(Form->ToolBar1->isVisibleTo(Form.get()), c.states[0] == '1');
    EXPECT_EQ(Tools->ShowToolBtnCaptionsCheckBox->isEnabled(), c.states[0] == '1');
    EXPECT_EQ(Form->ToolBar1->toolButtonStyle() == Qt::ToolButtonTextUnderIcon, c.states[1] == '1');
  }
}

TEST_F(TSettingsTest, ANonNumberStopsTheLoadingAndClosingWritesOnesAndZeros) {
  WriteText("ShowToolBar", "0");
  WriteDword("ShowDocTypes", 1);
  WriteDword("CloneKey", 2);
  Start();
  // The string stops the loading at once: it and every later value keep defaults.
  EXPECT_EQ(States(*Tools), "100100");

  darvena::Reg->DeleteKey("\\Software\\Vel\\Darvena");
  WriteDword("CloneKey", 2);
  Form.reset();
  Tools.reset();
  Progress.reset();
  Start();
  EXPECT_TRUE(Tools->CloneKeyCheckBox->isChecked());
  ShowToolsAndPressOK();
  EXPECT_EQ(ReadDword("CloneKey"), 1);
  EXPECT_EQ(ReadDword("ShowToolBar"), 1);
}

TEST_F(TSettingsTest, ToolBarAndCaptionBoxesActAtOnce) {
  Start();
  Tools->open();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(Tools.get()));
  Click(Tools->ShowToolBtnCaptionsCheckBox);
  EXPECT_EQ(Form->ToolBar1->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
  QWidget* button = Form->ToolBar1->widgetForAction(Form->FileOpenCmd);
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(static_cast<QToolButton*>(button)->text(), QString::fromUtf8("Открыть файл"));

  Click(Tools->ShowToolBarCheckBox);
  EXPECT_FALSE(Form->ToolBar1->isVisibleTo(Form.get()));
  EXPECT_FALSE(Tools->ShowToolBtnCaptionsCheckBox->isEnabled());
  EXPECT_TRUE(Tools->ShowToolBtnCaptionsCheckBox->isChecked());

  Click(Tools->ShowToolBarCheckBox);
  EXPECT_TRUE(Form->ToolBar1->isVisibleTo(Form.get()));
  EXPECT_TRUE(Tools->ShowToolBtnCaptionsCheckBox->isEnabled());
  EXPECT_EQ(Form->ToolBar1->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);

  Click(Tools->ShowToolBtnCaptionsCheckBox);
  EXPECT_EQ(Form->ToolBar1->toolButtonStyle(), Qt::ToolButtonIconOnly);
  EXPECT_EQ(button->height(), 23);
  QTest::keyClick(Tools.get(), Qt::Key_Escape);
  QTRY_VERIFY(!Tools->isVisible());
  // Escape closes the dialog too, and every close stores.
  EXPECT_EQ(ReadDword("ShowToolBtnCap"), 0);
  EXPECT_EQ(ReadDword("ShowToolBar"), 1);
}

TEST_F(TSettingsTest, TabCaptionsFollowTheExtensionBox) {
  WriteDoc("notes.txt", "one\r\ntwo\r\n");
  WriteDoc("a.b.rtf", "{\\rtf1\\ansi three\\par}");
  StartAndLoad();
  ASSERT_TRUE(Open("notes.txt"));
  ASSERT_TRUE(Open("a.b.rtf"));
  EXPECT_EQ(Tabs(), (std::vector<std::string>{"notes", "a.b"}));

  Tools->open();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(Tools.get()));
  Click(Tools->ShowExtCheckBox);
  EXPECT_EQ(Tabs(), (std::vector<std::string>{"notes.txt", "a.b.rtf"}));
  EXPECT_EQ(Form->windowTitle(), QString::fromUtf8("Дарвена \"a.b.rtf\""));
  Click(Tools->ShowExtCheckBox);
  EXPECT_EQ(Tabs(), (std::vector<std::string>{"notes", "a.b"}));
  EXPECT_EQ(Form->windowTitle(), QString::fromUtf8("Дарвена \"a.b\""));

  // A document opened while the box is checked gets its extension at once.
  Click(Tools->ShowExtCheckBox);
  QTest::keyClick(Tools.get(), Qt::Key_Return);
  QTRY_VERIFY(!Tools->isVisible());
  WriteDoc("third.txt", "x\r\n");
  ASSERT_TRUE(Open("third.txt"));
  EXPECT_EQ(Tabs().back(), "third.txt");
  EXPECT_EQ(ReadDword("ShowDocTypes"), 1);
}

TEST_F(TSettingsTest, OptimumAfterEverythingOff) {
  WriteDword("ShowToolBar", 0);
  WriteDword("OpenAgain", 0);
  Start();
  ASSERT_EQ(States(*Tools), "000000");
  Tools->open();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(Tools.get()));
  Click(Tools->OpenWorkFolderCheckBox);
  ASSERT_EQ(States(*Tools), "000010");

  Click(Tools->OptBitBtn);
  EXPECT_EQ(States(*Tools), "100101");
  EXPECT_TRUE(Form->ToolBar1->isVisibleTo(Form.get()));
  EXPECT_TRUE(Tools->isVisible());                 // "Оптимум" does not close the dialog
  EXPECT_EQ(ReadDword("CloneKey"), std::nullopt);  // nothing is written before the close

  // Enter presses the focused button; from a check box, OK, the default button.
  QTest::keyClick(Tools->OptBitBtn, Qt::Key_Return);
  EXPECT_TRUE(Tools->isVisible());
  QTest::keyClick(Tools->CloneKeyCheckBox, Qt::Key_Return);
  QTRY_VERIFY(!Tools->isVisible());
  const int expected[] = {1, 0, 0, 1, 0, 1};
  for (int i = 0; i < 6; ++i)
    EXPECT_EQ(ReadDword(kNames[i]), expected[i]) << kNames[i];
}

}  // namespace
}  // namespace viewer::test
