// The key panel at the bottom of the main window: its controls, and where they stand.
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QValidator>
#include <algorithm>

#include "viewer/KeyCase.h"
#include "viewer/MainForm.h"

namespace viewer {
namespace {

// Turns every typed or pasted letter into upper case.
class TUpperCaseValidator final : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int&) const override {
    input = UpperCaseKey(input);
    return Acceptable;
  }
};

// The panel's height when the style's group-box frame leaves room for it.
constexpr int kPanelHeight = 38;
constexpr int kGroupBoxWidth = 435;
constexpr QSize kFilterButtonSize{86, 29};
constexpr QSize kWholeTextButtonSize{90, 29};
// Room kept between the controls inside the group box and its frame. Some styles start
// the contents rectangle on the frame's top line, so flush placement is not enough.
constexpr int kFrameGap = 3;

// Where the style draws the group box's caption, in the box's own coordinates.
QRect CaptionRect(const QGroupBox* box) {
  QStyleOptionGroupBox option;
  option.initFrom(box);
  option.text = box->title();
  option.textAlignment = box->alignment();
  option.lineWidth = 1;
  option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
  return box->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box);
}

// Gives each widget its size hint; returns the height of the tallest.
int LineHeight(std::initializer_list<QWidget*> widgets) {
  int height = 0;
  for (QWidget* w : widgets) {
    w->resize(w->sizeHint());
    height = std::max(height, w->height());
  }
  return height;
}

// Centres each widget vertically on the line from top to top + height.
void CentreOnLine(std::initializer_list<QWidget*> widgets, int top, int height) {
  for (QWidget* w : widgets)
    w->move(w->x(), top + (height - w->height()) / 2);
}

}  // namespace

void TMainForm::SetupKeyPanel() {
  BlockGroupBox = new QGroupBox(QString::fromUtf8("Показать    "), KeyPanel);
  BlockGroupBox->setObjectName("BlockGroupBox");

  StringRadioButton = new QRadioButton(QString::fromUtf8("строки"), BlockGroupBox);
  StringRadioButton->setObjectName("StringRadioButton");
  StringRadioButton->setChecked(true);
  ParaRadioButton = new QRadioButton(QString::fromUtf8("абзацы, содержащие"), BlockGroupBox);
  ParaRadioButton->setObjectName("ParaRadioButton");

  WordWrapCheckBox = new QCheckBox(QString::fromUtf8("Перенос слов"), BlockGroupBox);
  WordWrapCheckBox->setObjectName("WordWrapCheckBox");
  WordWrapCheckBox->setChecked(true);
  WordWrapCheckBox->setFocusPolicy(Qt::ClickFocus);

  KeyEdit = new QLineEdit(BlockGroupBox);
  KeyEdit->setObjectName("KeyEdit");
  KeyEdit->setValidator(new TUpperCaseValidator(KeyEdit));
  QFont keyFont("Arial");
  keyFont.setPixelSize(12);
  keyFont.setBold(true);
  KeyEdit->setFont(keyFont);
  KeyEdit->setStyleSheet("color: rgb(255, 0, 0)");
  KeyEdit->installEventFilter(this);

  WholeCheckBox = new QCheckBox(BlockGroupBox);
  WholeCheckBox->setObjectName("WholeCheckBox");
  WholeCheckLabel = new QLabel(QString::fromUtf8("целиком"), BlockGroupBox);
  WholeCheckLabel->setObjectName("WholeCheckLabel");
  QFont labelFont("Arial");
  labelFont.setPixelSize(9);
  WholeCheckLabel->setFont(labelFont);
  WholeCheckLabel->setStyleSheet("color: rgb(128, 128, 128)");
  WholeCheckLabel->installEventFilter(this);

  StrNumLabel = new QLabel(KeyPanel);
  StrNumLabel->setObjectName("StrNumLabel");
  StrNumLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

  FilterBitBtn =
      new QPushButton(QIcon(":/viewer/icons/filter.svg"), QString::fromUtf8("Применить"), KeyPanel);
  FilterBitBtn->setObjectName("FilterBitBtn");
  FilterBitBtn->hide();
  WholeTextBitBtn = new QPushButton(QIcon(":/viewer/icons/wholetext.svg"),
                                    QString::fromUtf8("Показать\nвесь текст"), KeyPanel);
  WholeTextBitBtn->setObjectName("WholeTextBitBtn");
  WholeTextBitBtn->hide();

  for (QWidget* w : std::initializer_list<QWidget*>{
           StringRadioButton, ParaRadioButton, WordWrapCheckBox, WholeCheckBox, WholeCheckLabel,
           FilterBitBtn, WholeTextBitBtn}) {
    w->setCursor(Qt::PointingHandCursor);
  }
  ArrangeKeyPanel();

  connect(KeyEdit, &QLineEdit::textChanged, this, &TMainForm::KeyEditChange);
  connect(WholeCheckBox, &QCheckBox::toggled, this, &TMainForm::WholeCheckBoxClick);
  connect(StringRadioButton, &QRadioButton::toggled, this, [this](bool on) {
    if (on) StringRadioButtonClick();
  });
  connect(ParaRadioButton, &QRadioButton::toggled, this, [this](bool on) {
    if (on) ParaRadioButtonClick();
  });
  connect(WordWrapCheckBox, &QCheckBox::toggled, this, &TMainForm::WordWrapCheckBoxClick);
  connect(FilterBitBtn, &QPushButton::clicked, this, &TMainForm::FilterBitBtnClick);
  connect(WholeTextBitBtn, &QPushButton::clicked, this, &TMainForm::WholeTextBitBtnClick);
}

void TMainForm::ArrangeKeyPanel() {
  QStyle* style = BlockGroupBox->style();
  const int spacing =
      style->pixelMetric(QStyle::PM_LayoutHorizontalSpacing, nullptr, BlockGroupBox);
  const int labelSpacing =
      style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, WholeCheckBox);
  const QMargins frame = BlockGroupBox->contentsMargins();

  // The caption line: the mode buttons follow the caption (its trailing spaces part them
  // from it) and the word-wrap box keeps to the right end, all centred on the caption.
  const QRect caption = CaptionRect(BlockGroupBox);
  const int captionHeight = LineHeight({StringRadioButton, ParaRadioButton, WordWrapCheckBox});
  CentreOnLine({StringRadioButton, ParaRadioButton, WordWrapCheckBox},
               std::max(0, caption.top() + (caption.height() - captionHeight) / 2), captionHeight);
  StringRadioButton->move(caption.right() + 1, StringRadioButton->y());
  ParaRadioButton->move(StringRadioButton->geometry().right() + 1 + spacing, ParaRadioButton->y());
  const int captionWidth =
      ParaRadioButton->geometry().right() + 1 + spacing + WordWrapCheckBox->width() + frame.right();

  // The key line, inside the frame: the edit takes what the whole-word box and its label
  // leave over.
  const int keyTop = frame.top() + kFrameGap;
  const int keyHeight = LineHeight({KeyEdit, WholeCheckBox, WholeCheckLabel});
  CentreOnLine({KeyEdit, WholeCheckBox, WholeCheckLabel}, keyTop, keyHeight);
  BlockGroupBox->resize(std::max(kGroupBoxWidth, captionWidth),
                        keyTop + keyHeight + kFrameGap + frame.bottom());

  const QRect inside = BlockGroupBox->contentsRect();
  WordWrapCheckBox->move(inside.right() + 1 - WordWrapCheckBox->width(), WordWrapCheckBox->y());
  WholeCheckLabel->move(inside.right() + 1 - kFrameGap - WholeCheckLabel->width(),
                        WholeCheckLabel->y());
  WholeCheckBox->move(WholeCheckLabel->x() - labelSpacing - WholeCheckBox->width(),
                      WholeCheckBox->y());
  KeyEdit->setGeometry(inside.left() + kFrameGap, KeyEdit->y(),
                       WholeCheckBox->x() - spacing - inside.left() - kFrameGap, KeyEdit->height());

  // The panel: as tall as the group box needs; the buttons beside the box, centred on
  // the panel, the apply button where the counts label starts (see UpdateCounts).
  const int panelHeight = std::max(kPanelHeight, BlockGroupBox->height() + 2);
  KeyPanel->setFixedHeight(panelHeight);
  BlockGroupBox->move(2, (panelHeight - BlockGroupBox->height()) / 2);
  FilterBitBtn->setGeometry(
      QRect(QPoint(BlockGroupBox->width() + 8, (panelHeight - kFilterButtonSize.height()) / 2),
            kFilterButtonSize));
  WholeTextBitBtn->setGeometry(QRect(QPoint(FilterBitBtn->geometry().right() + 5,
                                            (panelHeight - kWholeTextButtonSize.height()) / 2),
                                     kWholeTextButtonSize));
}

}  // namespace viewer
