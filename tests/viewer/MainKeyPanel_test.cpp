// The key panel's controls stand where they can be read: clear of the group box's
// caption and frame, at least as large as they ask to be, and clear of each other.
#include <QStyle>
#include <QStyleOptionGroupBox>

#include "tests/viewer/ViewerFixture.h"

using namespace viewer;
using namespace viewer::test;

namespace {

// Where the style draws the box's caption.
QRect CaptionRect(const QGroupBox* box) {
  QStyleOptionGroupBox option;
  option.initFrom(box);
  option.text = box->title();
  option.textAlignment = box->alignment();
  option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
  return box->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box);
}

std::string Name(const QWidget* w) {
  return w->objectName().toStdString();
}

// Every pair of the widgets is apart.
void ExpectApart(std::initializer_list<const QWidget*> widgets) {
  for (auto a = widgets.begin(); a != widgets.end(); ++a) {
    for (auto b = a + 1; b != widgets.end(); ++b) {
      EXPECT_FALSE((*a)->geometry().intersects((*b)->geometry())) << Name(*a) << " / " << Name(*b);
    }
  }
}

}  // namespace

class KeyPanelLayout : public TViewerTest {};

TEST_F(KeyPanelLayout, ControlsClearOfTheFrameAndOfEachOther) {
  ASSERT_TRUE(OpenText("p.txt", A("кот\r\nпёс\r\nкот")));
  Type("кот");
  PressEnter();  // the counts take two lines and the whole-text button shows
  ASSERT_TRUE(Form->WholeTextBitBtn->isVisible());
  const QGroupBox* box = Form->BlockGroupBox;
  const QRect inside = box->contentsRect();
  const QRect caption = CaptionRect(box);
  const std::initializer_list<const QWidget*> captionLine = {
      Form->StringRadioButton, Form->ParaRadioButton, Form->WordWrapCheckBox};
  const std::initializer_list<const QWidget*> keyLine = {Form->KeyEdit, Form->WholeCheckBox,
                                                         Form->WholeCheckLabel};

  for (const int width : {775, 750, 1200}) {
    SCOPED_TRACE(width);
    Form->resize(width, 512);
    QApplication::processEvents();
    for (const QWidget* w : captionLine) {
      SCOPED_TRACE(Name(w));
      EXPECT_GT(w->x(), caption.right());  // right of the caption's text
      EXPECT_LE(w->geometry().right(), inside.right());
      EXPECT_GE(w->y(), 0);
      EXPECT_NEAR(w->geometry().center().y(), caption.center().y(), 3);
      for (const QWidget* k : keyLine)
        EXPECT_LT(w->geometry().bottom(), k->y()) << Name(k);
    }
    for (const QWidget* w : keyLine) {
      SCOPED_TRACE(Name(w));
      EXPECT_TRUE(inside.contains(w->geometry())) << "inside the frame";
      EXPECT_NEAR(w->geometry().center().y(), Form->KeyEdit->geometry().center().y(), 1);
    }
    for (const auto& line : {captionLine, keyLine}) {
      for (const QWidget* w : line) {
        SCOPED_TRACE(Name(w));
        EXPECT_GE(w->height(), w->sizeHint().height()) << "cut off at the bottom";
        if (w != Form->KeyEdit) {
          EXPECT_GE(w->width(), w->sizeHint().width()) << "cut off";
        }
      }
    }
    EXPECT_GE(Form->KeyEdit->width(), Form->KeyEdit->fontMetrics().averageCharWidth() * 20);
    ExpectApart({Form->StringRadioButton, Form->ParaRadioButton, Form->WordWrapCheckBox,
                 Form->KeyEdit, Form->WholeCheckBox, Form->WholeCheckLabel});

    // The panel holds the box, the counts and the buttons; the apply button covers the
    // counts on purpose, nothing else meets.
    const QRect panel = Form->KeyPanel->rect();
    for (const QWidget* w : std::initializer_list<const QWidget*>{
             box, Form->StrNumLabel, Form->FilterBitBtn, Form->WholeTextBitBtn}) {
      EXPECT_TRUE(panel.contains(w->geometry())) << Name(w) << " inside the panel";
    }
    ExpectApart({box, Form->StrNumLabel, Form->WholeTextBitBtn});
    ExpectApart({box, Form->FilterBitBtn, Form->WholeTextBitBtn});
  }
}
