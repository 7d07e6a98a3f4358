// The main window's controls and flows, driven by the keyboard and the mouse.
#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include "tests/viewer/ViewerFixture.h"
#include "viewer/DocumentTable.h"

using namespace viewer;
using namespace viewer::test;

class MainWindow : public TViewerTest {
 protected:
  void SelectTab(int index) {
    QTest::mouseClick(Form->TabControl, Qt::LeftButton, {},
                      Form->TabControl->TabRect(index).center());
  }
};

TEST_F(MainWindow, EmptyWindowAndActions) {
  EXPECT_EQ(Form->windowTitle().toStdString(), "Дарвена");
  EXPECT_FALSE(Form->Editor->isEnabled());
  EXPECT_FALSE(Form->KeyPanel->isVisible());
  EXPECT_FALSE(Form->TabControl->isVisible());
  struct TCase {
    QAction* action;
    const char* caption;
    const char* hint;
    const char* keys;
    bool enabled;
  } cases[] = {
      {Form->FileOpenCmd, "Открыть файл", "Загрузить документ из файла", "Ctrl+O", true},
      {Form->CloseCmd, "Закрыть окно", "Закрыть текущее окно", "Alt+X", false},
      {Form->ExitCmd, "Выход из программы", "Выйти из программы", "Alt+F4", true},
      {Form->CloseAllCmd, "Закрыть все окна", "Закрыть все окна", "", false},
      {Form->SelectAllCmd, "Выделить всё", "Выделить весь текст", "Ctrl+A", false},
      {Form->CopyCmd, "Копировать", "Копировать выделенное в буфер", "Ctrl+C; Ctrl+Ins", false},
      {Form->AboutCmd, "О программе...", "Сведения о программе", "F1", true},
      {Form->ToolsCmd, "&Настройки", "Настройка параметров", "", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.caption);
    EXPECT_EQ(c.action->text().toStdString(), c.caption);
    EXPECT_EQ(c.action->toolTip().toStdString(), c.hint);
    EXPECT_EQ(QKeySequence::listToString(c.action->shortcuts()).toStdString(), c.keys);
    EXPECT_EQ(c.action->isEnabled(), c.enabled);
    EXPECT_FALSE(c.action->icon().pixmap(16, 16).isNull());
  }
  EXPECT_EQ(Form->size(), QSize(775, 512));
}

TEST_F(MainWindow, ApplyButtonAndWholeTextComingBack) {
  ASSERT_TRUE(OpenText("n.txt", A("кот\r\nпёс\r\nкот")));
  Click(Form->StringRadioButton);
  EXPECT_FALSE(Form->FilterBitBtn->isVisible());
  Type("к");
  EXPECT_EQ(Form->KeyEdit->text().toStdString(), "К");  // upper case as typed
  EXPECT_TRUE(Form->FilterBitBtn->isVisible());
  Type("от");
  PressEnter();
  EXPECT_EQ(EditorText(), "кот\r\nкот");
  EXPECT_EQ(Counts(), "Строк: 2\nНайдено: 2");
  // The whole-text button shows the text and keeps the key ready.
  Click(Form->WholeTextBitBtn);
  EXPECT_EQ(EditorText(), "кот\r\nпёс\r\nкот");
  EXPECT_EQ(Form->KeyEdit->text().toStdString(), "КОТ");
  EXPECT_TRUE(Form->FilterBitBtn->isVisible());
  EXPECT_FALSE(Form->WholeTextBitBtn->isVisible());
  PressEnter();
  EXPECT_EQ(EditorText(), "кот\r\nкот");
  // Emptying the key brings the whole text back at once.
  EraseKey();
  EXPECT_FALSE(Form->FilterBitBtn->isVisible());
  EXPECT_EQ(EditorText(), "кот\r\nпёс\r\nкот");
  EXPECT_EQ(Counts(), "Строк: 3");
}

TEST_F(MainWindow, RadioButtonsRefilter) {
  ASSERT_TRUE(OpenText("r.txt", A("кот\r\nмышь\r\n\r\nпёс")));
  ASSERT_TRUE(Docs[CurDoc].BlockFilter);
  // With an empty key a click only changes the mode.
  Click(Form->StringRadioButton);
  EXPECT_FALSE(Docs[CurDoc].BlockFilter);
  EXPECT_TRUE(Docs[CurDoc].ShowsWholeText);
  Type("КОТ");
  Click(Form->ParaRadioButton);  // filters at once, in paragraphs
  EXPECT_EQ(EditorText(), "кот\r\nмышь");
  Click(Form->StringRadioButton);
  EXPECT_EQ(EditorText(), "кот\r\n");
  // The button already checked does nothing.
  const std::string before = Docs[CurDoc].Filtered.Bytes();
  Click(Form->StringRadioButton);
  EXPECT_EQ(Docs[CurDoc].Filtered.Bytes(), before);
  EXPECT_EQ(EditorText(), "кот\r\n");
}

TEST_F(MainWindow, LabelTogglesTheWholeWordBox) {
  ASSERT_TRUE(OpenText("w.txt", "x"));
  Type("X");
  PressEnter();
  ASSERT_FALSE(Form->FilterBitBtn->isVisible());
  Click(Form->WholeCheckLabel);
  EXPECT_TRUE(Form->WholeCheckBox->isChecked());
  EXPECT_TRUE(Docs[CurDoc].WholeWord);
  EXPECT_TRUE(Form->WholeCheckLabel->styleSheet().contains("255, 0, 0"));
  EXPECT_TRUE(Form->FilterBitBtn->isVisible());  // the option is applied by the button
  Click(Form->WholeCheckLabel);
  EXPECT_FALSE(Form->WholeCheckBox->isChecked());
  EXPECT_TRUE(Form->WholeCheckLabel->styleSheet().contains("128, 128, 128"));
}

TEST_F(MainWindow, TabSwitchRestoresTheDocument) {
  ASSERT_TRUE(OpenText("one.txt", A("кот\r\nпёс")));
  Click(Form->StringRadioButton);
  Click(Form->WholeCheckLabel);
  Click(Form->WordWrapCheckBox);  // wrap off
  Type("КОТ");
  PressEnter();
  ASSERT_EQ(EditorText(), "кот\r\n");
  ASSERT_TRUE(OpenText("two.txt", A("дом\r\n\r\nсад")));
  EXPECT_EQ(Form->KeyEdit->text().toStdString(), "");
  EXPECT_FALSE(Form->WholeTextBitBtn->isVisible());
  EXPECT_TRUE(Form->ParaRadioButton->isChecked());
  EXPECT_TRUE(Form->WordWrapCheckBox->isChecked());
  EXPECT_FALSE(Form->WholeCheckBox->isChecked());
  EXPECT_TRUE(Form->WholeCheckLabel->styleSheet().contains("128, 128, 128"));
  EXPECT_EQ(Form->windowTitle().toStdString(), "Дарвена \"two\"");

  SelectTab(0);
  EXPECT_EQ(CurDoc, 1);
  EXPECT_EQ(Form->KeyEdit->text().toStdString(), "КОТ");
  EXPECT_TRUE(Form->StringRadioButton->isChecked());
  EXPECT_TRUE(Form->WholeCheckBox->isChecked());
  EXPECT_FALSE(Form->WordWrapCheckBox->isChecked());
  EXPECT_FALSE(Form->Editor->WordWrap());
  EXPECT_EQ(EditorText(), "кот\r\n");
  EXPECT_EQ(RedText(), "кот");
  EXPECT_TRUE(Form->WholeTextBitBtn->isVisible());
  EXPECT_EQ(Form->windowTitle().toStdString(), "Дарвена \"one\"");

  SelectTab(1);
  EXPECT_EQ(EditorText(), "дом\r\n\r\nсад");
  EXPECT_TRUE(Form->Editor->WordWrap());
}

TEST_F(MainWindow, ClonedKeyFollowsAcrossTabs) {
  Tools->CloneKeyCheckBox->setChecked(true);
  ASSERT_TRUE(OpenText("one.txt", A("кот")));
  ASSERT_TRUE(OpenText("two.txt", A("кот и пёс")));
  Type("ПЁС");
  SelectTab(0);
  EXPECT_EQ(Form->KeyEdit->text().toStdString(), "ПЁС");
  EXPECT_TRUE(Form->FilterBitBtn->isVisible());
  EXPECT_EQ(EditorText(), "кот");  // not applied until the button is pressed
  PressEnter();
  EXPECT_EQ(Docs[1].Found, 0);
}

TEST_F(MainWindow, ShortcutsActOnTheDocumentFromTheKey) {
  ASSERT_TRUE(OpenText("s.txt", "some text"));
  Type("T");
  QTest::keyClick(Form->KeyEdit, Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(Form->Editor->SelLength(), 9);
  EXPECT_TRUE(Form->CopyCmd->isEnabled());
  EXPECT_TRUE(Form->KeyEdit->hasFocus());
  EXPECT_EQ(Form->KeyEdit->text().toStdString(), "T");
}

TEST_F(MainWindow, WheelOverTheKeyScrollsTheText) {
  std::string text;
  for (int k = 0; k < 500; ++k)
    text += "line " + std::to_string(k) + "\r\n";
  ASSERT_TRUE(OpenText("long.txt", text));
  ASSERT_EQ(Form->Editor->FirstVisibleOffset(), 0);
  const QPoint at(5, 5);
  QWheelEvent wheel(at, Form->KeyEdit->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(Form->KeyEdit, &wheel);
  EXPECT_GT(Form->Editor->FirstVisibleOffset(), 0);
}

TEST_F(MainWindow, ContextMenuOpensOnlyByARightClick) {
  ASSERT_TRUE(OpenText("c.txt", "text"));
  QWidget* view = Form->Editor->viewport();
  QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(5, 5),
                            view->mapToGlobal(QPoint(5, 5)));
  QApplication::sendEvent(view, &menuKey);
  EXPECT_FALSE(Form->PopupMenu1->isVisible());
  QTimer::singleShot(0, Form->PopupMenu1, [this] {
    EXPECT_TRUE(Form->PopupMenu1->isVisible());
    Form->PopupMenu1->close();
  });
  QTest::mouseClick(view, Qt::RightButton, {}, QPoint(10, 10));
  QApplication::processEvents();
}

TEST_F(MainWindow, BusyRefusesTabSwitchesDuringARun) {
  ASSERT_TRUE(OpenText("one.txt", "one"));
  std::string text;
  for (int k = 0; k < 2000; ++k)
    text += "cat and dog\r\n";
  ASSERT_TRUE(OpenText("two.txt", text));
  Type("CAT");
  QTimer::singleShot(0, Form.get(), [this] {
    ASSERT_TRUE(Busy);
    SelectTab(0);
    Click(Form->ParaRadioButton);
    Form->CloseCmd->trigger();
  });
  PressEnter();
  EXPECT_EQ(DocCount, 2);
  EXPECT_EQ(CurDoc, 2);
  EXPECT_EQ(Form->TabControl->TabIndex(), 1);
  EXPECT_FALSE(Docs[2].BlockFilter);
  EXPECT_TRUE(Form->StringRadioButton->isChecked());
  EXPECT_EQ(Docs[2].Found, 2000);
}

TEST_F(MainWindow, BusyRefusesChangesDuringALoad) {
  ASSERT_TRUE(OpenText("one.txt", "one"));
  ASSERT_TRUE(OpenText("two.txt", "two"));
  WriteDoc("three.txt", "three");
  // Runs when the load first lets messages through.
  QTimer::singleShot(0, Form.get(), [this] {
    ASSERT_TRUE(Loading);
    SelectTab(0);
    Form->CloseCmd->trigger();
    Form->CloseAllCmd->trigger();
    Click(Form->WordWrapCheckBox);
  });
  ASSERT_TRUE(Open("three.txt"));
  EXPECT_EQ(DocCount, 3);
  EXPECT_EQ(CurDoc, 3);
  EXPECT_EQ(Form->TabControl->TabIndex(), 2);
  EXPECT_EQ(EditorText(), "three");
  EXPECT_TRUE(Docs[3].WordWrap);
  EXPECT_TRUE(Form->WordWrapCheckBox->isChecked());
  EXPECT_EQ(Docs[1].WordWrap, true);
}
