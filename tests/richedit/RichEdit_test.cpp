// TRichEdit on real widgets, offscreen, driven by keys, clicks and the wheel.
#include "richedit/RichEdit.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QLineEdit>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <vector>

#include "platform/CodePage.h"

using namespace richedit;

namespace {

// Types text the way a keyboard layout does: key events that carry the characters.
void Type(QWidget* widget, const QString& text) {
  for (const QChar c : text) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
    QApplication::sendEvent(widget, &release);
  }
}

class RichEditTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (QApplication::instance() == nullptr) {
      static int argc = 1;
      static char name[] = "richedit_view_tests";
      static char* argv[] = {name, nullptr};
      new QApplication(argc, argv);
    }
  }

  void SetUp() override {
    TCharFormat f;
    f.SizeHalfPoints = HalfPointsFromPixels(12);
    edit_.SetDefaultFormat(f);
    edit_.resize(400, 300);
    edit_.show();
    QCoreApplication::processEvents();
  }

  // Loads UTF-8 text as plain text.
  void Load(const std::string& utf8) { edit_.LoadPlainText(platform::Utf8ToAnsi(utf8)); }

  TRichEdit edit_;
};

TEST_F(RichEditTest, WordWrapCountsDisplayLinesAndFollowsTheWidth) {
  std::string para;
  for (int i = 0; i < 60; ++i)
    para += "word ";
  Load(para + "\n\nshort\n");
  EXPECT_EQ(edit_.LineCount(), 3);  // logical lines, the empty last one not counted
  edit_.SetWordWrap(true);
  const int narrow = edit_.LineCount();
  EXPECT_GT(narrow, 5);
  edit_.resize(800, 300);
  QCoreApplication::processEvents();
  const int wide = edit_.LineCount();
  EXPECT_LT(wide, narrow);
  EXPECT_GT(wide, 3);
  // The start of the display line holding an offset deep in the paragraph lies after
  // the paragraph's start, at a word.
  const int start = edit_.LineStart(200);
  EXPECT_GT(start, 0);
  EXPECT_LE(start, 200);
  EXPECT_EQ(edit_.Text()[start - 1], ' ');
  edit_.SetWordWrap(false);
  EXPECT_EQ(edit_.LineStart(200), 0);
  EXPECT_EQ(edit_.LineCount(), 3);
}

TEST_F(RichEditTest, BothScrollBarsOrTheVerticalOne) {
  Load(std::string(300, 'w') + "\nshort");
  QCoreApplication::processEvents();
  EXPECT_GT(edit_.horizontalScrollBar()->maximum(), 0);
  edit_.horizontalScrollBar()->setValue(100);
  EXPECT_EQ(edit_.horizontalScrollBar()->value(), 100);
  edit_.SetScrollBars(TRichEdit::TScrollBars::Vertical);
  EXPECT_EQ(edit_.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
  EXPECT_EQ(edit_.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  edit_.SetScrollBars(TRichEdit::TScrollBars::Both);
  edit_.SetWordWrap(true);  // wrapping needs no sideways scrolling
  EXPECT_EQ(edit_.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
  edit_.SetWordWrap(false);
  EXPECT_EQ(edit_.horizontalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
}

TEST_F(RichEditTest, KeyboardSelectionSignalsAndCopies) {
  Load("кот и пёс\nвторая строка");
  edit_.SetReadOnly(true);
  edit_.setFocus();
  QSignalSpy changes(&edit_, &TRichEdit::SelectionChange);
  for (int i = 0; i < 3; ++i)
    QTest::keyClick(&edit_, Qt::Key_Right, Qt::ShiftModifier);
  EXPECT_EQ(edit_.SelStart(), 0);
  EXPECT_EQ(edit_.SelLength(), 3);
  EXPECT_EQ(changes.count(), 3);
  QTest::keyClick(&edit_, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "кот");
  const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
  ASSERT_NE(mime, nullptr);
  EXPECT_TRUE(mime->data("text/rtf").startsWith("{\\rtf1"));
  // Down keeps the column; Shift+End reaches the end of the line; Ctrl+Insert copies.
  QTest::keyClick(&edit_, Qt::Key_Down);
  EXPECT_EQ(edit_.SelLength(), 0);
  EXPECT_GE(edit_.SelStart(), 11);
  QTest::keyClick(&edit_, Qt::Key_Home);
  QTest::keyClick(&edit_, Qt::Key_End, Qt::ShiftModifier);
  QTest::keyClick(&edit_, Qt::Key_Insert, Qt::ControlModifier);
  EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "вторая строка");
  // Left over a line break steps over both of its characters.
  edit_.SetSelStart(11);
  QTest::keyClick(&edit_, Qt::Key_Left);
  EXPECT_EQ(edit_.SelStart(), 9);
}

TEST_F(RichEditTest, ReadOnlyRefusesTypingAndTabKeepsTheFocus) {
  QWidget window;
  auto* layout = new QVBoxLayout(&window);
  auto* edit = new TRichEdit;
  auto* other = new QLineEdit;
  layout->addWidget(edit);
  layout->addWidget(other);
  window.show();
  edit->LoadPlainText("abc");
  edit->SetReadOnly(true);
  edit->setFocus();
  QCoreApplication::processEvents();
  Type(edit, "xyz");
  QTest::keyClick(edit, Qt::Key_Delete);
  EXPECT_EQ(edit->Text(), "abc");
  QTest::keyClick(edit, Qt::Key_Tab);
  EXPECT_TRUE(edit->hasFocus());
  edit->SetReadOnly(false);
  edit->SetSelStart(3);
  Type(edit, QString::fromUtf8("дом"));
  QTest::keyClick(edit, Qt::Key_Return);
  QTest::keyClick(edit, Qt::Key_Backspace);
  QTest::keyClick(edit, Qt::Key_Tab);
  EXPECT_EQ(edit->Text(), "abc\xE4\xEE\xEC\t");
  EXPECT_TRUE(edit->hasFocus());
}

TEST_F(RichEditTest, MouseSelectsAndReportsButtonRelease) {
  Load("first line of text\nsecond line");
  QSignalSpy ups(&edit_, &TRichEdit::MouseUp);
  QWidget* port = edit_.viewport();
  QTest::mousePress(port, Qt::LeftButton, {}, QPoint(1, 5));
  QTest::mouseMove(port, QPoint(60, 5));
  QTest::mouseRelease(port, Qt::LeftButton, {}, QPoint(60, 5));
  EXPECT_EQ(edit_.SelStart(), 0);
  EXPECT_GT(edit_.SelLength(), 3);
  EXPECT_LT(edit_.SelLength(), 18);
  // A click on the second line puts the caret there.
  QTest::mouseClick(port, Qt::LeftButton, {},
                    QPoint(1, 5 + QFontMetrics(edit_.font()).height() + 8));
  EXPECT_EQ(edit_.SelStart(), 20);
  QTest::mouseClick(port, Qt::RightButton, {}, QPoint(30, 5));
  ASSERT_EQ(ups.count(), 3);
  EXPECT_EQ(ups.last().at(0).value<Qt::MouseButton>(), Qt::RightButton);
  EXPECT_EQ(ups.last().at(2).toPoint(), port->mapTo(&edit_, QPoint(30, 5)));
  // A double click selects the word under it.
  QTest::mouseDClick(port, Qt::LeftButton, {}, QPoint(3, 5));
  EXPECT_EQ(edit_.SelText(), "first");
}

TEST_F(RichEditTest, ScrollsAnywhereInALongTextByBarWheelAndKeys) {
  std::string text;
  for (int i = 0; i < 200000; ++i)
    text += "line " + std::to_string(i) + "\r\n";
  edit_.LoadPlainText(text);
  EXPECT_EQ(edit_.FirstVisibleOffset(), 0);
  QScrollBar* bar = edit_.verticalScrollBar();
  EXPECT_GE(bar->maximum(), 199999);
  bar->setValue(150000);
  EXPECT_EQ(edit_.Text().substr(edit_.FirstVisibleOffset(), 12), "line 150000\r");
  QWheelEvent wheel(QPointF(10, 10), edit_.viewport()->mapToGlobal(QPointF(10, 10)), QPoint(),
                    QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(edit_.viewport(), &wheel);
  EXPECT_EQ(edit_.Text().substr(edit_.FirstVisibleOffset(), 12), "line 150003\r");
  edit_.WheelScroll(240);
  EXPECT_EQ(edit_.Text().substr(edit_.FirstVisibleOffset(), 12), "line 149997\r");
  edit_.setFocus();
  QTest::keyClick(&edit_, Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(edit_.SelStart(), edit_.TextLength());
  EXPECT_GT(edit_.FirstVisibleOffset(), edit_.TextLength() - 40 * 14);
  QTest::keyClick(&edit_, Qt::Key_Home, Qt::ControlModifier);
  EXPECT_EQ(edit_.FirstVisibleOffset(), 0);
  // With word wrap the wheel moves display lines.
  edit_.SetWordWrap(true);
  edit_.WheelScroll(-120);
  EXPECT_EQ(edit_.Text().substr(edit_.FirstVisibleOffset(), 7), "line 3\r");
}

// Counts the pixels of an image close to a colour.
int CountPixels(const QImage& image, QColor color) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (std::abs(c.red() - color.red()) < 40 && std::abs(c.green() - color.green()) < 40 &&
          std::abs(c.blue() - color.blue()) < 40)
        ++n;
    }
  return n;
}

TEST_F(RichEditTest, PaintsFormatsBackgroundAndSelectionWithoutFocus) {
  Load("plain RED plain");
  edit_.SetColor(QColor(255, 255, 200));
  QImage before = edit_.viewport()->grab().toImage();
  EXPECT_GT(CountPixels(before, QColor(255, 255, 200)), 1000);
  EXPECT_EQ(CountPixels(before, Qt::red), 0);
  edit_.Select(6, 3);
  edit_.SetSelColor(kRed);
  edit_.SetSelStart(0);
  EXPECT_GT(CountPixels(edit_.viewport()->grab().toImage(), Qt::red), 10);
  // The selection stays visible when another widget has the focus.
  QLineEdit other;
  other.show();
  other.setFocus();
  edit_.SelectAll();
  const QColor highlight = edit_.palette().color(QPalette::Active, QPalette::Highlight);
  EXPECT_GT(CountPixels(edit_.viewport()->grab().toImage(), highlight), 100);
}

TEST_F(RichEditTest, BulletedParagraphHangsItsBulletAndIndentsEveryLine) {
  // A bulleted paragraph in black above a plain one in red, both wrapping.
  std::string para;
  for (int i = 0; i < 40; ++i)
    para += "mmmm ";
  Load(para + "\n" + para);
  edit_.SetWordWrap(true);
  const int plainLines = edit_.LineCount();
  edit_.Select(static_cast<int>(para.size()) + 2, static_cast<int>(para.size()));
  edit_.SetSelColor(kRed);
  edit_.SetSelStart(3);
  edit_.SetParagraphBullets(true);
  EXPECT_TRUE(edit_.ParagraphBullets(0));
  EXPECT_FALSE(edit_.ParagraphBullets(edit_.TextLength()));
  EXPECT_GE(edit_.LineCount(), plainLines);
  edit_.setFocus();
  QTest::keyClick(&edit_, Qt::Key_Home, Qt::ControlModifier);

  // The leftmost pixel of each row near a colour, or -1.
  const QImage image = edit_.viewport()->grab().toImage();
  const auto leftmost = [&](int y, QColor color) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (std::abs(c.red() - color.red()) < 60 && std::abs(c.green() - color.green()) < 60 &&
          std::abs(c.blue() - color.blue()) < 60)
        return x;
    }
    return -1;
  };
  std::vector<int> black, red;
  for (int y = 0; y < image.height(); ++y) {
    if (const int x = leftmost(y, Qt::black); x >= 0) black.push_back(x);
    if (const int x = leftmost(y, Qt::red); x >= 0) red.push_back(x);
  }
  ASSERT_GT(black.size(), 20u);
  ASSERT_FALSE(red.empty());
  // The bullet stands at the margin, on some rows of the first line only; the rows
  // of every line of the paragraph start past it, the last line's too.
  const int bulletRows =
      static_cast<int>(std::count_if(black.begin(), black.end(), [](int x) { return x < 6; }));
  EXPECT_GT(bulletRows, 0);
  EXPECT_LT(bulletRows, static_cast<int>(black.size()) / 4);
  EXPECT_GE(black.back(), 8);
  // The plain paragraph below is not indented.
  EXPECT_LT(*std::max_element(red.begin(), red.end()), 6);
}

TEST_F(RichEditTest, SuspendedRepaintingDefersWorkAndStreamsFollowTheMode) {
  edit_.setUpdatesEnabled(false);
  edit_.SetPlainText(true);
  edit_.LoadFromStream("{\\rtf1 not parsed}\nline");
  EXPECT_EQ(edit_.Text(), "{\\rtf1 not parsed}\r\nline");
  edit_.SetPlainText(false);
  const std::string rtf = edit_.SaveToStream();
  edit_.Select(0, 5);
  edit_.ClearSelection();
  edit_.setUpdatesEnabled(true);
  QCoreApplication::processEvents();
  EXPECT_EQ(edit_.LineCount(), 2);
  edit_.LoadFromStream(rtf);
  EXPECT_EQ(edit_.Text(), "{\\rtf1 not parsed}\r\nline");
  EXPECT_EQ(edit_.verticalScrollBar()->maximum(), 1);
  // Text loaded while repainting is suspended reaches the scroll bar once it resumes.
  edit_.SetWordWrap(true);
  edit_.setUpdatesEnabled(false);
  edit_.LoadPlainText(std::string(500, '\n'));
  edit_.setUpdatesEnabled(true);
  QCoreApplication::processEvents();
  EXPECT_EQ(edit_.verticalScrollBar()->maximum(), 500);
  edit_.Clear();
  EXPECT_EQ(edit_.TextLength(), 0);
  EXPECT_EQ(edit_.LineCount(), 0);
}

}  // namespace
