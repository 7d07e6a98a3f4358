// Filtering in the main window, driven by the keyboard.
#include <QTest>
#include <QTimer>

#include "tests/viewer/ViewerFixture.h"
#include "viewer/DocumentTable.h"

using namespace viewer;
using namespace viewer::test;

namespace {

// Counts how often a window is shown.
class TShowCounter : public QObject {
 public:
  explicit TShowCounter(QWidget* w) { w->installEventFilter(this); }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Show) ++shows;
    return false;
  }
  int shows = 0;
};

}  // namespace

class FilterRun : public TViewerTest {
 protected:
  // Opens a document and sets its mode by the radio buttons, with an empty key.
  void OpenIn(const std::string& utf8, bool paragraphs) {
    ASSERT_TRUE(OpenText("doc.txt", A(utf8)));
    Click(paragraphs ? static_cast<QWidget*>(Form->ParaRadioButton) : Form->StringRadioButton);
    ASSERT_EQ(Docs[CurDoc].BlockFilter, paragraphs);
  }
};

TEST_F(FilterRun, Examples) {
  struct TCase {
    const char* name;
    const char* text;
    const char* key;
    bool paragraphs, whole;
    const char* result;
    int found;
    const char* red;
  } cases[] = {
      {"every word, in paragraphs", "кот\r\n\r\nкот и пёс\r\n\r\nпёс", "КОТ ПЁС", true, false,
       "\r\n\r\nкот и пёс", 3, "кот|пёс"},
      {"a phrase as a whole word", "Кот Пёс\r\n\r\nкот пёсик\r\n\r\nпёс кот", "КОТ ПЁС", true, true,
       "Кот Пёс", 1, "Кот Пёс"},
      {"a fragment of a word", "котёнок\r\nмышь", "КОТ", false, false, "котёнок\r\n", 1, "кот"},
      {"twice on one line", "кот и кот\r\nмышь\r\n", "КОТ", false, false, "кот и кот\r\n", 2,
       "кот|кот"},
      {"the last line has no break", "мышь\r\nкот", "КОТ", false, false, "кот", 1, "кот"},
      {"only paragraph 3", "а\r\n\r\nб\r\n\r\nкот\r\n\r\nг", "КОТ", true, false, "\r\n\r\nкот", 1,
       "кот"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    OpenIn(c.text, c.paragraphs);
    if (c.whole) Click(Form->WholeCheckBox);
    Type(c.key);
    EXPECT_TRUE(Form->FilterBitBtn->isVisible());
    PressEnter();
    EXPECT_EQ(EditorText(), c.result);
    EXPECT_EQ(Docs[CurDoc].Found, c.found);
    EXPECT_EQ(RedText(), c.red);
    EXPECT_FALSE(Form->FilterBitBtn->isVisible());
    EXPECT_TRUE(Form->WholeTextBitBtn->isVisible());
    EXPECT_FALSE(Docs[CurDoc].ShowsWholeText);
    EXPECT_EQ(Docs[CurDoc].Key, A(c.key));
    Form->CloseCmdExecute();
  }
}

TEST_F(FilterRun, KittenNeedsTheFragmentOption) {
  OpenIn("котёнок", false);
  Click(Form->WholeCheckLabel);  // the label toggles the box
  ASSERT_TRUE(Form->WholeCheckBox->isChecked());
  Type("КОТ");
  PressEnter();
  EXPECT_EQ(Docs[CurDoc].Found, 0);
  EXPECT_EQ(EditorText(), "Нет фрагментов, содержащих \"КОТ\" целиком");
}

TEST_F(FilterRun, NoMatchShowsTheMessageResult) {
  OpenIn("кот\r\n\r\nпёс", true);
  Type("ДОМ");
  PressEnter();
  EXPECT_EQ(EditorText(), "Нет фрагментов, содержащих \"ДОМ\"");
  EXPECT_EQ(RedText(), "ДОМ");
  const auto& model = Form->Editor->Model();
  EXPECT_EQ(model.ParagraphAlignment(0), richedit::TAlignment::Center);
  for (int k = 0; k < model.TextLength(); ++k)
    EXPECT_TRUE(model.FormatAt(k).Styles.Bold) << k;
  EXPECT_EQ(model.FormatAt(0).Color, richedit::kBlack);
  EXPECT_EQ(model.FormatAt(model.TextLength() - 1).Color, richedit::kBlack);
  EXPECT_EQ(Counts(), "Строк: 1\nНайдено: 0");
  EXPECT_TRUE(Form->Editor->ReadOnly());

  // A second word without a match gives the same result.
  EraseKey();
  Type("КОТ ДОМ");
  PressEnter();
  EXPECT_EQ(EditorText(), "Нет фрагментов, содержащих \"КОТ ДОМ\"");
  EXPECT_EQ(Docs[CurDoc].Found, 0);
}

TEST_F(FilterRun, MixedLanguageWarnings) {
  struct TCase {
    const char* key;
    const char* named;  // nullptr: no warning
  } cases[] = {
      {"ДОMА", "ДОMА"},  // a Latin M
      {"«ДОМ»", "«ДОМ»"},
      {"ДОМ-A", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.key);
    darvena::test::TScriptedMessageBoxes boxes("cancel");
    OpenIn("дом\r\nкот", false);
    Type(c.key);
    PressEnter();
    const auto shown = boxes.Boxes();
    if (c.named == nullptr) {
      EXPECT_TRUE(shown.empty());
      EXPECT_FALSE(Docs[CurDoc].ShowsWholeText);
    } else {
      ASSERT_EQ(shown.size(), 1u);
      EXPECT_EQ(shown[0].Caption, "Warning");
      EXPECT_EQ(U(shown[0].Text), std::string("В ключе поиска смешение языков в слове ") + c.named +
                                      " Всё равно искать?");
      EXPECT_EQ(shown[0].Flags & 0xF, 1u);  // OK and Cancel
      // Cancel: nothing filtered; the key keeps its space; the button stays hidden.
      EXPECT_EQ(EditorText(), "дом\r\nкот");
      EXPECT_TRUE(Docs[CurDoc].ShowsWholeText);
      EXPECT_EQ(Docs[CurDoc].Key, A(std::string(c.key) + " "));
      EXPECT_FALSE(Form->FilterBitBtn->isVisible());
    }
    Form->CloseCmdExecute();
  }
  // Answered OK, the search goes on; with the whole-word box there is no check.
  OpenIn("домa\r\nкот", false);
  Type("ДОMА");
  PressEnter();
  EXPECT_FALSE(Docs[CurDoc].ShowsWholeText);
}

TEST_F(FilterRun, StatusBoxAboveEightKilobytes) {
  for (int size : {8192, 8193}) {
    SCOPED_TRACE(size);
    std::string text(size, 'x');
    text.replace(0, 3, "cat");
    ASSERT_TRUE(OpenText("size.txt", text));
    ASSERT_EQ(Docs[CurDoc].TextLen, size);
    TShowCounter counter(Progress.get());
    Type("CAT");
    PressEnter();
    EXPECT_EQ(counter.shows, size > 8192 ? 1 : 0);
    EXPECT_FALSE(Progress->isVisible());
    EXPECT_FALSE(Progress->CancelBitBtn->isVisible());
    EXPECT_EQ(Docs[CurDoc].Found, 1);
    Form->CloseCmdExecute();
  }
}

TEST_F(FilterRun, CancelShowsTheWholeTextWithAnEmptyKey) {
  std::string text;
  for (int k = 0; k < 2000; ++k)
    text += "cat and dog\r\n";
  ASSERT_TRUE(OpenText("long.txt", text));
  Type("CAT");
  // The cancel button is pressed as soon as the status box lets messages through.
  QTimer::singleShot(0, Progress.get(), [this] {
    ASSERT_TRUE(Progress->CancelBitBtn->isVisible());
    QTest::mouseClick(Progress->CancelBitBtn, Qt::LeftButton);
  });
  PressEnter();
  EXPECT_EQ(Form->Editor->Text(), text);
  EXPECT_TRUE(Docs[CurDoc].ShowsWholeText);
  EXPECT_EQ(Form->KeyEdit->text().toStdString(), "");
  EXPECT_EQ(Docs[CurDoc].Key, "");
  EXPECT_TRUE(Docs[CurDoc].Filtered.empty());
  EXPECT_FALSE(Form->FilterBitBtn->isVisible());
  EXPECT_FALSE(Form->WholeTextBitBtn->isVisible());
  EXPECT_FALSE(Progress->isVisible());
  EXPECT_FALSE(CancelFilter);
  EXPECT_TRUE(Form->KeyEdit->isEnabled());
  EXPECT_TRUE(Form->Editor->ReadOnly());
}

TEST_F(FilterRun, LongKeysAreCut) {
  OpenIn("кот\r\nпёс", false);
  Type("КОТ " + std::string(300, 'Z'));
  PressEnter();
  // The last word lost its space to the cut and was not searched.
  EXPECT_EQ(EditorText(), "кот\r\n");
  EXPECT_EQ(Docs[CurDoc].Key.size(), 255u);
}

TEST_F(FilterRun, WrappedLinesAreKeptFromTheirStart) {
  // A line that wraps into many display lines, its match near the end.
  std::string longLine;
  for (int k = 0; k < 200; ++k)
    longLine += "word ";
  longLine += "cat";
  OpenIn("first\r\n" + longLine + "\r\nlast", false);
  ASSERT_TRUE(Form->Editor->WordWrap());
  ASSERT_GT(Form->Editor->LineCount(), 3);  // the long line wraps
  Type("CAT");
  PressEnter();
  EXPECT_EQ(EditorText(), longLine + "\r\n");
}
