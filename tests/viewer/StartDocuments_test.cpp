// What the viewer opens at start (command line, previous session, working folder)
// and the session it leaves when its window closes.
#include <QTest>

#include "tests/viewer/ProgramFixture.h"
#include "viewer/DocumentTable.h"
#include "viewer/Session.h"

namespace viewer::test {
namespace {

using TStartDocumentsTest = TProgramTest;

// A few short paragraphs: loading gives it paragraph filtering.
const std::string kShortParagraphs = "one\r\n\r\ntwo\r\n\r\nthree\r\n";

// One paragraph of 40 lines: loading gives it line filtering.
std::string LongParagraph() {
  std::string text;
  for (int i = 0; i < 40; ++i)
    text += "line " + std::to_string(i) + "\r\n";
  return text;
}

std::vector<std::string> OpenNames() {
  std::vector<std::string> names;
  for (int k = 1; k <= DocCount; ++k)
    names.push_back(U(Docs[k].FileName));
  return names;
}

TEST_F(TStartDocumentsTest, CommandLineReportsMissingFilesAndKeepsTheFirstCurrent) {
  WriteDoc("a.txt", "alpha\r\n");
  WriteDoc("b.txt", "beta\r\n");
  StartAndLoad({"a.txt", "нет.txt", "b.txt"});
  EXPECT_EQ(Messages(),
            (std::vector<std::string>{"Файл нет.txt, указанный в командной строке, не найден."}));
  EXPECT_EQ(OpenNames(), (std::vector<std::string>{"a.txt", "b.txt"}));
  EXPECT_EQ(CurDoc, 1);
  EXPECT_EQ(Form->TabControl->TabIndex(), 0);
}

TEST_F(TStartDocumentsTest, SixteenParametersOpenAllAndTheLastStaysCurrent) {
  std::vector<std::string> names;
  for (int i = 1; i <= 17; ++i) {
    names.push_back("d" + std::to_string(i) + ".txt");
    WriteDoc(names.back(), "text " + std::to_string(i) + "\r\n");
  }
  const std::vector<std::string> sixteen(names.begin(), names.begin() + 16);
  StartAndLoad(sixteen);
  EXPECT_EQ(DocCount, 16);
  EXPECT_EQ(CurDoc, 16);
  EXPECT_EQ(Messages(),
            (std::vector<std::string>{"Загружены первые 16 файлов из командной строки"}));
  EXPECT_EQ(Form->windowTitle(), QString::fromUtf8("Дарвена \"d16\""));
}

TEST_F(TStartDocumentsTest, SeventeenParametersStopAfterTheSixteenth) {
  std::vector<std::string> names;
  for (int i = 1; i <= 17; ++i) {
    names.push_back("d" + std::to_string(i) + ".txt");
    WriteDoc(names.back(), "text\r\n");
  }
  names.insert(names.begin() + 3, "missing.txt");
  StartAndLoad(names);
  EXPECT_EQ(DocCount, 16);
  EXPECT_EQ(U(Docs[16].FileName), "d16.txt");
  EXPECT_EQ(Messages().size(), 2u);
  EXPECT_EQ(Messages().back(), "Загружены первые 16 файлов из командной строки");
}

TEST_F(TStartDocumentsTest, SessionRestoresModesAndWrapAgainstTheLoadingRule) {
  WriteDoc("one.txt", kShortParagraphs);
  WriteDoc("three.txt", LongParagraph());
  // The second document's file is gone; the remembered current one was the third.
  const struct {
    const char* name;
    int block, wrap;
  } session[] = {{"one.txt", 0, 1}, {"two.txt", 1, 1}, {"three.txt", 1, 0}};
  for (int n = 1; n <= 3; ++n) {
    WriteText("FileName" + std::to_string(n), session[n - 1].name);
    WriteDword("BlockFilter" + std::to_string(n), session[n - 1].block);
    WriteDword("WordWrap" + std::to_string(n), session[n - 1].wrap);
  }
  WriteDword("OpenFileNumber", 3);
  StartAndLoad();

  const std::vector<std::string> messages = Messages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_NE(messages[0].find("two.txt"), std::string::npos);
  EXPECT_EQ(messages[1], "Файл two.txt, загружавшийся в прошлый раз, не найден.");
  EXPECT_EQ(OpenNames(), (std::vector<std::string>{"one.txt", "three.txt"}));
  EXPECT_FALSE(Docs[1].BlockFilter);  // the rule would give paragraphs
  EXPECT_TRUE(Docs[1].WordWrap);
  EXPECT_TRUE(Docs[2].BlockFilter);  // the rule would give lines
  EXPECT_FALSE(Docs[2].WordWrap);
  // Number 3 is not open: the view stays on an open document.
  EXPECT_EQ(CurDoc, 1);
  EXPECT_FALSE(RestoreCurDoc);
  EXPECT_TRUE(Form->StringRadioButton->isChecked());
  EXPECT_TRUE(Form->WordWrapCheckBox->isChecked());

  QTest::mouseClick(Form->TabControl, Qt::LeftButton, {}, Form->TabControl->TabRect(1).center());
  EXPECT_EQ(CurDoc, 2);
  EXPECT_TRUE(Form->ParaRadioButton->isChecked());
  EXPECT_FALSE(Form->WordWrapCheckBox->isChecked());
}

TEST_F(TStartDocumentsTest, RememberedCurrentDocumentIsSelected) {
  for (int n = 1; n <= 3; ++n) {
    const std::string name = "s" + std::to_string(n) + ".txt";
    WriteDoc(name, kShortParagraphs);
    WriteText("FileName" + std::to_string(n), name);
    WriteDword("BlockFilter" + std::to_string(n), 1);
    WriteDword("WordWrap" + std::to_string(n), 0);
  }
  WriteDword("OpenFileNumber", 2);
  StartAndLoad();
  EXPECT_EQ(DocCount, 3);
  EXPECT_EQ(CurDoc, 2);
  EXPECT_EQ(Form->TabControl->TabIndex(), 1);
  EXPECT_EQ(Form->windowTitle(), QString::fromUtf8("Дарвена \"s2\""));
}

TEST_F(TStartDocumentsTest, APendingRememberedNumberDoesNotTakeOverALoad) {
  WriteDoc("a.txt", kShortParagraphs);
  WriteDoc("c.txt", LongParagraph());
  WriteText("FileName1", "a.txt");
  WriteDword("BlockFilter1", 1);
  WriteDword("WordWrap1", 0);
  WriteText("FileName2", "gone.txt");
  WriteDword("BlockFilter2", 1);
  WriteDword("WordWrap2", 0);
  WriteDword("OpenFileNumber", 1);
  StartAndLoad();
  ASSERT_EQ(DocCount, 1);

  // The document the user opens next is the one shown, under its own tab.
  ASSERT_TRUE(Open("c.txt"));
  EXPECT_EQ(CurDoc, 2);
  EXPECT_EQ(Form->TabControl->TabIndex(), 1);
  EXPECT_NE(Form->Editor->Text().find("line 39"), std::string::npos);
  EXPECT_FALSE(RestoreCurDoc);
}

TEST_F(TStartDocumentsTest, ABrokenSessionValueEndsTheRestoreQuietly) {
  WriteDoc("a.txt", kShortParagraphs);
  WriteDoc("b.txt", kShortParagraphs);
  WriteText("FileName1", "a.txt");
  WriteDword("BlockFilter1", 0);
  WriteDword("WordWrap1", 0);
  WriteText("FileName2", "b.txt");  // its mode is missing
  WriteText("FileName3", "a.txt");
  WriteDword("BlockFilter3", 0);
  WriteDword("WordWrap3", 0);
  StartAndLoad();
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(OpenNames(), (std::vector<std::string>{"a.txt", "b.txt"}));
}

TEST_F(TStartDocumentsTest, ClosingSavesTheSessionOrEmptiesIt) {
  WriteDoc("a.txt", kShortParagraphs);
  WriteDoc("b.txt", LongParagraph());
  for (int n = 1; n <= 4; ++n) {
    WriteText("FileName" + std::to_string(n), "old" + std::to_string(n) + ".txt");
    WriteDword("BlockFilter" + std::to_string(n), 1);
    WriteDword("WordWrap" + std::to_string(n), 1);
  }
  WriteDword("OpenFileNumber", 4);
  WriteDword("OpenAgain", 0);  // the session is saved whatever this says
  StartAndLoad();
  ASSERT_TRUE(Open("a.txt"));
  ASSERT_TRUE(Open("b.txt"));
  // New documents wrap; the second one's wrap is switched off.
  Click(Form->WordWrapCheckBox);
  ASSERT_FALSE(Docs[2].WordWrap);
  QTest::mouseClick(Form->TabControl, Qt::LeftButton, {}, Form->TabControl->TabRect(0).center());
  Form->ExitCmd->trigger();

  EXPECT_EQ(ValueNames(),
            (std::vector<std::string>{"BlockFilter1", "BlockFilter2", "FileName1", "FileName2",
                                      "OpenAgain", "OpenFileNumber", "WordWrap1", "WordWrap2"}));
  EXPECT_EQ(ReadText("FileName1"), "a.txt");
  EXPECT_EQ(ReadDword("BlockFilter1"), 1);
  EXPECT_EQ(ReadDword("WordWrap1"), 1);
  EXPECT_EQ(ReadText("FileName2"), "b.txt");
  EXPECT_EQ(ReadDword("BlockFilter2"), 0);
  EXPECT_EQ(ReadDword("WordWrap2"), 0);
  EXPECT_EQ(ReadDword("OpenFileNumber"), 1);

  // A window closed with no document leaves no session behind.
  Form->CloseAllCmd->trigger();
  ASSERT_EQ(DocCount, 0);
  Form->show();
  Form->close();
  EXPECT_EQ(ValueNames(), (std::vector<std::string>{"OpenAgain"}));
}

TEST_F(TStartDocumentsTest, WorkingFolderOpensTextThenRichTextFiles) {
  WriteDoc("b.rtf", "{\\rtf1\\ansi rich\\par}");
  WriteDoc("a.txt", "plain\r\n");
  WriteDoc("c.doc", "other\r\n");
  std::filesystem::create_directories(Work / "folder.txt");
  WriteDword("OpenWorkFolder", 1);
  StartAndLoad();
  EXPECT_EQ(OpenNames(), (std::vector<std::string>{"a.txt", "b.rtf"}));
  EXPECT_EQ(CurDoc, 1);
  EXPECT_TRUE(Messages().empty());
}

TEST_F(TStartDocumentsTest, WorkingFolderStopsAtSixteen) {
  for (int i = 1; i <= 17; ++i)
    WriteDoc("w" + std::to_string(i) + ".txt", "x\r\n");
  WriteDoc("r.rtf", "{\\rtf1\\ansi rich\\par}");
  WriteDword("OpenWorkFolder", 1);
  StartAndLoad();
  EXPECT_EQ(DocCount, 16);
  EXPECT_EQ(Messages(), (std::vector<std::string>{"Загружено 16 файлов"}));
  for (int k = 1; k <= DocCount; ++k)
    EXPECT_NE(U(Docs[k].FileName), "r.rtf");
  EXPECT_EQ(CurDoc, 1);
}

TEST_F(TStartDocumentsTest, ParametersOverrideSessionAndWorkingFolder) {
  WriteDoc("p.txt", "param\r\n");
  WriteDoc("s.txt", "session\r\n");
  WriteText("FileName1", "s.txt");
  WriteDword("BlockFilter1", 0);
  WriteDword("WordWrap1", 0);
  for (const bool workFolder : {false, true}) {
    SCOPED_TRACE(workFolder ? "working folder" : "previous session");
    WriteDword("OpenAgain", workFolder ? 0 : 1);
    WriteDword("OpenWorkFolder", workFolder ? 1 : 0);
    Form.reset();
    Tools.reset();
    Progress.reset();
    Docs = {};
    DocCount = 0;
    CurDoc = 0;
    StartAndLoad({"p.txt"});
    EXPECT_EQ(OpenNames(), (std::vector<std::string>{"p.txt"}));
  }
}

}  // namespace
}  // namespace viewer::test
