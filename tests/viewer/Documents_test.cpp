// Opening and closing documents in the main window.
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QTest>
#include <QTimer>

#include "tests/viewer/ViewerFixture.h"
#include "viewer/DocumentTable.h"

using namespace viewer;
using namespace viewer::test;

namespace {

// Records every text the status box paints while it is on the screen.
class TStatusRecorder : public QObject {
 public:
  explicit TStatusRecorder(QLabel* label) : label_(label) { label->installEventFilter(this); }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint && label_->isVisible()) {
      const std::string text = label_->text().toStdString();
      if (texts.empty() || texts.back() != text) texts.push_back(text);
    }
    return false;
  }
  std::vector<std::string> texts;

 private:
  QLabel* label_;
};

std::string Lines(int lines, int paragraphs) {
  // `lines` lines of which paragraphs - 1 are the empty lines that separate them.
  std::string text;
  int separators = paragraphs - 1;
  for (int k = 0; k < lines; ++k) {
    if (k > 0) text += "\r\n";
    const bool empty = separators > 0 && k % 3 == 1;
    if (empty) {
      --separators;
    } else {
      text += "x";
    }
  }
  return text;
}

}  // namespace

class Documents : public TViewerTest {};

TEST_F(Documents, BigFilesReportTheLaterStages) {
  struct TCase {
    int size;
    std::vector<std::string> texts;
  } cases[] = {
      {262144, {"Загружается файл big.txt..."}},
      {262145,
       {"Загружается файл big.txt...", "Определение нужного типа фильтрации...",
        "Подготовка оболочки просмотра...", "Финальные приготовления..."}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.size);
    std::string bytes;
    while (static_cast<int>(bytes.size()) < c.size)
      bytes += A("строка текста\r\n");
    bytes.resize(c.size, 'x');
    TStatusRecorder recorder(Progress->Text);
    ASSERT_TRUE(OpenText("big.txt", bytes));
    EXPECT_EQ(Docs[CurDoc].BigFile, c.size > 262144);
    std::vector<std::string> want;
    for (const auto& t : c.texts)
      want.push_back(t);
    EXPECT_EQ(recorder.texts, want);
    EXPECT_FALSE(Progress->isVisible());
    EXPECT_EQ(Progress->Text->text().toStdString(),
              "Если это окно не исчезло, отодвиньте его в сторону!");
    Form->CloseCmdExecute();
  }
}

TEST_F(Documents, OnlyLowerCaseRtfIsReadAsRichText) {
  const std::string rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 Hello\\par}";
  ASSERT_TRUE(OpenText("letter.rtf", rtf));
  EXPECT_EQ(EditorText(), "Hello\r\n");
  ASSERT_TRUE(OpenText("LETTER2.RTF", rtf));
  EXPECT_EQ(EditorText(), rtf);  // the markup shows as text
  EXPECT_EQ(Form->TabControl->Caption(1).toStdString(), "LETTER2");
  // Plain text takes the buffer's font: Arial, 12 pixels, Cyrillic.
  ASSERT_TRUE(OpenText("plain.txt", A("кот")));
  const auto& format = Form->Editor->Model().FormatAt(0);
  EXPECT_EQ(format.FontName, "Arial");
  EXPECT_EQ(format.SizeHalfPoints, 18);
  EXPECT_EQ(format.Charset, 204);
}

TEST_F(Documents, RichTextComesBackWholeAfterEveryRun) {
  const std::string rtf =
      A("{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0\\fcharset204 Arial;}}"
        "{\\colortbl;\\red0\\green128\\blue0;}\\f0\\fs24 "
        "\\qc\\cf1 кот\\par\\pard\\par\\b пёс\\b0  и кот\\par}");
  ASSERT_TRUE(OpenText("letter.rtf", rtf));
  const std::string loaded = Form->Editor->SaveRichText();
  ASSERT_EQ(EditorText(), "кот\r\n\r\nпёс и кот\r\n");
  for (const char* key : {"КОТ", "ПЁС", "МЫШЬ"}) {
    SCOPED_TRACE(key);
    EraseKey();
    Type(key);
    PressEnter();
    EXPECT_FALSE(Docs[CurDoc].ShowsWholeText);
    Click(Form->WholeTextBitBtn);
    EXPECT_TRUE(Docs[CurDoc].ShowsWholeText);
    EXPECT_EQ(Form->Editor->SaveRichText(), loaded);
  }
}

TEST_F(Documents, ModeFollowsLinesPerParagraph) {
  struct TCase {
    std::string text;
    std::int32_t paras, len;
    bool block;
  } cases[] = {
      {Lines(319, 10), 10, -1, true},   // 31 lines per paragraph
      {Lines(320, 10), 10, -1, false},  // 32
      {Lines(31, 1), 1, -1, true},
      {Lines(32, 1), 1, -1, false},
      {"", 1, 0, true},  // empty: 0 lines, one empty paragraph
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text.size());
    ASSERT_TRUE(OpenText("doc.txt", c.text));
    const TF& D = Docs[CurDoc];
    EXPECT_EQ(D.ParaCount, c.paras);
    EXPECT_EQ(D.BlockFilter, c.block);
    EXPECT_EQ(Form->ParaRadioButton->isChecked(), c.block);
    EXPECT_EQ(Form->StringRadioButton->isChecked(), !c.block);
    if (c.len == 0) {
      EXPECT_EQ(D.TextLen, 0);
      EXPECT_EQ(D.Bounds[0], 0);
      EXPECT_EQ(D.Bounds[1], 0);
    }
    EXPECT_TRUE(D.WordWrap);
    EXPECT_TRUE(D.ShowsWholeText);
    Form->CloseCmdExecute();
  }
}

TEST_F(Documents, TextEndingInAnEmptyLineEndsWithASeparatorParagraph) {
  ASSERT_TRUE(OpenText("end.txt", "a\r\n\r\nb\r\n\r\n"));
  const TF& D = Docs[CurDoc];
  EXPECT_EQ(D.ParaCount, 3);
  EXPECT_EQ(std::vector<std::int32_t>(D.Bounds.begin(), D.Bounds.begin() + 4),
            (std::vector<std::int32_t>{0, 1, 6, 10}));
}

TEST_F(Documents, RelativeNamesFallBack) {
  // The stored folder is missing: the bare name in the current folder is read.
  WriteDoc("a.txt", "from the current folder");
  ASSERT_TRUE(Open("Docs\\a.txt"));
  EXPECT_EQ(EditorText(), "from the current folder");
  EXPECT_EQ(Docs[CurDoc].FileName, "Docs\\a.txt");
  EXPECT_EQ(Form->windowTitle().toStdString(), "Дарвена \"a\"");

  // A name relative to the program's folder loads wherever the viewer runs.
  const auto programDir =
      std::filesystem::path(QCoreApplication::applicationDirPath().toStdString());
  const std::string folder = "viewer-test-" + std::to_string(::getpid());
  darvena::test::WriteFileBytes(programDir / folder / "b.txt", "beside the program");
  const bool opened = Open(folder + "\\b.txt");
  std::filesystem::remove_all(programDir / folder);
  ASSERT_TRUE(opened);
  EXPECT_EQ(EditorText(), "beside the program");
}

TEST_F(Documents, AFailedLoadLeavesEverythingAsItWas) {
  ASSERT_TRUE(OpenText("one.txt", "one"));
  ASSERT_TRUE(OpenText("two.txt", "two"));
  Form->TabControl->SetTabIndex(0);
  Form->TabControlChange();
  ASSERT_EQ(CurDoc, 1);
  EXPECT_FALSE(Open("C:\\nowhere\\missing.txt"));
  EXPECT_EQ(DocCount, 2);
  EXPECT_EQ(CurDoc, 1);
  EXPECT_EQ(Form->TabControl->Count(), 2);
  EXPECT_EQ(EditorText(), "one");
  EXPECT_FALSE(Progress->isVisible());
  const auto boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(U(boxes[0].Text), "Не удалось загрузить файл C:\\nowhere\\missing.txt");
  EXPECT_EQ(U(boxes[0].Caption), "Дарвена");
}

TEST_F(Documents, Closing) {
  for (const char* name : {"d1.txt", "d2.txt", "d3.txt", "d4.txt"})
    ASSERT_TRUE(OpenText(name, name));
  // Document 2 of 4: the former document 3 takes its place.
  QTest::mouseClick(Form->TabControl, Qt::LeftButton, {}, Form->TabControl->TabRect(1).center());
  ASSERT_EQ(CurDoc, 2);
  Form->CloseCmdExecute();
  EXPECT_EQ(DocCount, 3);
  EXPECT_EQ(CurDoc, 2);
  EXPECT_EQ(EditorText(), "d3.txt");
  EXPECT_EQ(Form->TabControl->Caption(1).toStdString(), "d3");
  EXPECT_EQ(Form->TabControl->TabIndex(), 1);
  // The last of three: the one before it becomes current.
  QTest::mouseClick(Form->TabControl, Qt::LeftButton, {}, Form->TabControl->TabRect(2).center());
  Form->CloseCmdExecute();
  EXPECT_EQ(CurDoc, 2);
  EXPECT_EQ(EditorText(), "d3.txt");
  EXPECT_EQ(Form->windowTitle().toStdString(), "Дарвена \"d3\"");
  // All: the empty window.
  Form->CloseAllCmd->trigger();
  EXPECT_EQ(DocCount, 0);
  EXPECT_FALSE(Form->TabControl->isVisible());
  EXPECT_FALSE(Form->KeyPanel->isVisible());
  EXPECT_FALSE(Form->Editor->isEnabled());
  EXPECT_FALSE(Form->CloseCmd->isEnabled());
  EXPECT_FALSE(Form->SelectAllCmd->isEnabled());
  EXPECT_EQ(EditorText(), "");
  EXPECT_EQ(Form->windowTitle().toStdString(), "Дарвена");
}

TEST_F(Documents, TheOnlyDocumentClosedByItsShortcut) {
  ASSERT_TRUE(OpenText("only.txt", "only"));
  EXPECT_TRUE(Form->CloseCmd->isEnabled());
  QTest::keyClick(Form->KeyEdit, Qt::Key_X, Qt::AltModifier);
  EXPECT_EQ(DocCount, 0);
  EXPECT_EQ(Form->windowTitle().toStdString(), "Дарвена");
}

TEST_F(Documents, SixteenAtMost) {
  for (int k = 1; k <= 16; ++k) {
    ASSERT_TRUE(OpenText("document number " + std::to_string(k) + ".txt", "x"));
  }
  Form->FileOpenCmd->trigger();
  const auto boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(U(boxes[0].Text), "Сначала закройте какой-нибудь документ");
  // Sixteen tabs wrap into more than one row at the window's width.
  EXPECT_GT(Form->TabControl->RowCount(), 1);
  for (int k = 0; k < 16; ++k) {
    EXPECT_TRUE(Form->TabControl->rect().contains(Form->TabControl->TabRect(k))) << k;
  }
}

TEST_F(Documents, OpenDialogStoresTheNameRelativeToTheProgram) {
  // A file in a folder beside the program: the name is kept relative to it.
  const auto programDir =
      std::filesystem::path(QCoreApplication::applicationDirPath().toStdString());
  const std::string folder = "viewer-pick-" + std::to_string(::getpid());
  const auto picked = programDir / folder / "picked.txt";
  darvena::test::WriteFileBytes(picked, "picked");
  QTimer::singleShot(0, Form.get(), [&picked] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->nameFilters(),
              QStringList({QString::fromUtf8("Текстовые файлы TXT и RTF (*.txt *.rtf)"),
                           QString::fromUtf8("Любые файлы (*)")}));
    dialog->selectFile(QString::fromStdString(picked.string()));
    QMetaObject::invokeMethod(dialog, "accept");
  });
  QTest::keyClick(Form.get(), Qt::Key_O, Qt::ControlModifier);
  std::filesystem::remove_all(programDir / folder);
  ASSERT_EQ(DocCount, 1);
  EXPECT_EQ(EditorText(), "picked");
  EXPECT_EQ(Docs[1].FileName, folder + "\\picked.txt");
}
