#include "viewer/about/AboutUnit.h"

#include <QCoreApplication>
#include <QEnterEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QVBoxLayout>
#include <chrono>
#include <string>
#include <thread>

#include "common/CommonUnit.h"
#include "platform/Process.h"
#include "viewer/QtText.h"
#include "viewer/about/LetterSubject.h"

namespace viewer {
namespace {

const QColor kGreen(0, 128, 0);
const QColor kLime(0, 255, 0);
const QColor kTeal(0, 128, 128);
const QColor kSilver(192, 192, 192);
const QColor kBlue(0, 0, 255);
const QColor kRed(255, 0, 0);
constexpr richedit::TRgb kHeadingColor{0, 128, 0};

QString Utf8(const char* text) {
  return QString::fromUtf8(text);
}

// The colour of an enabled widget's text; a disabled one keeps the style's grey, so
// that a link label shows while it waits that it cannot be clicked.
void SetTextColor(QWidget* widget, const QColor& color) {
  QPalette palette = widget->palette();
  for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
    palette.setColor(group, QPalette::WindowText, color);
    palette.setColor(group, QPalette::Text, color);
  }
  widget->setPalette(palette);
}

void SetBackground(QWidget* widget, const QColor& color) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::Window, color);
  widget->setPalette(palette);
  widget->setAutoFillBackground(true);
}

QFont StyledFont(const QFont& base, int pixelSize, bool bold, bool italic, bool underline) {
  QFont font = base;
  if (pixelSize > 0) font.setPixelSize(pixelSize);
  font.setBold(bold);
  font.setItalic(italic);
  font.setUnderline(underline);
  return font;
}

QLabel* AddBandLabel(QWidget* parent, const char* name, QVBoxLayout* layout) {
  auto* label = new QLabel(parent);
  label->setObjectName(name);
  label->setAlignment(Qt::AlignCenter);
  layout->addWidget(label);
  return label;
}

TLinkLabel* MakeLinkLabel(QWidget* parent, const char* name) {
  auto* label = new TLinkLabel(parent);
  label->setObjectName(name);
  label->setCursor(Qt::PointingHandCursor);
  label->setFont(StyledFont(parent->font(), 0, true, false, true));
  SetTextColor(label, kBlue);
  return label;
}

// Opens a link with the desktop's default handler. Whether a handler was there is
// not asked: without one nothing opens, and the label comes back after the wait
// all the same.
void OpenLink(const std::string& link) {
  platform::ShellExecute("", link, "", "", platform::kSwShow);
}

// Keeps the clicked label disabled while the link opens and for the wait after it,
// so that an impatient second click does not open it twice. The window is blocked
// for the wait, after one round of pending messages.
void OpenLinkFrom(QLabel* label, const std::string& link) {
  label->setEnabled(false);
  OpenLink(link);
  QCoreApplication::processEvents();
  std::this_thread::sleep_for(std::chrono::milliseconds(kLinkWaitMs));
  label->setEnabled(true);
}

}  // namespace

TLinkLabel::TLinkLabel(QWidget* parent) : QLabel(parent) {}

void TLinkLabel::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) pressed_ = true;
  QLabel::mousePressEvent(event);
}

void TLinkLabel::mouseReleaseEvent(QMouseEvent* event) {
  const bool click =
      pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
  pressed_ = false;
  QLabel::mouseReleaseEvent(event);
  if (click) emit Click();
}

void TLinkLabel::enterEvent(QEnterEvent* event) {
  QLabel::enterEvent(event);
  emit MouseEnter();
}

void TLinkLabel::leaveEvent(QEvent* event) {
  QLabel::leaveEvent(event);
  emit MouseLeave();
}

TAboutForm::TAboutForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
  setObjectName("AboutForm");
  setFont(QFont("Arial"));
  SetBackground(this, Qt::white);
  setFixedSize(374, 344);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 6);
  layout->setSpacing(2);

  Label1 = AddBandLabel(this, "Label1", layout);
  Label1->setFont(StyledFont(font(), 28, true, false, false));
  SetTextColor(Label1, kLime);
  SetBackground(Label1, kGreen);
  Label1->setContentsMargins(0, 4, 0, 4);

  DescrLabel = AddBandLabel(this, "DescrLabel", layout);
  DescrLabel->setFont(StyledFont(font(), 14, true, false, false));
  SetTextColor(DescrLabel, kGreen);

  VersionLabel = AddBandLabel(this, "VersionLabel", layout);
  VersionLabel->setFont(StyledFont(font(), 13, false, true, false));
  SetTextColor(VersionLabel, kGreen);

  WareLabel = AddBandLabel(this, "WareLabel", layout);
  WareLabel->setFont(StyledFont(font(), 10, false, false, false));
  SetTextColor(WareLabel, kSilver);
  SetBackground(WareLabel, kTeal);
  WareLabel->setContentsMargins(0, 2, 0, 2);

  HelpRichEdit = new richedit::TRichEdit(this);
  HelpRichEdit->setObjectName("HelpRichEdit");
  HelpRichEdit->SetReadOnly(true);
  HelpRichEdit->SetWordWrap(true);
  HelpRichEdit->SetScrollBars(richedit::TRichEdit::TScrollBars::Vertical);
  HelpRichEdit->SetColor(Qt::white);
  auto* helpRow = new QHBoxLayout;
  helpRow->setContentsMargins(6, 4, 6, 0);
  helpRow->addWidget(HelpRichEdit);
  layout->addLayout(helpRow, 1);

  GroupBox1 = new QGroupBox(this);
  GroupBox1->setObjectName("GroupBox1");
  GroupBox1->setFixedHeight(95);
  auto* groupRow = new QHBoxLayout;
  groupRow->setContentsMargins(6, 0, 6, 0);
  groupRow->addWidget(GroupBox1);
  layout->addLayout(groupRow);

  auto* group = new QVBoxLayout(GroupBox1);
  group->setContentsMargins(8, 6, 8, 6);
  WebLabel = new QLabel(GroupBox1);
  WebLabel->setObjectName("WebLabel");
  WebLabel->setAlignment(Qt::AlignCenter);
  SetTextColor(WebLabel, Qt::black);
  group->addWidget(WebLabel);

  URL1Label = MakeLinkLabel(GroupBox1, "URL1Label");
  URL1Label->setAlignment(Qt::AlignCenter);
  URL1Label->setText(Utf8(kWebSiteHost));
  group->addWidget(URL1Label);

  auto* mailRow = new QHBoxLayout;
  MailLabel = MakeLinkLabel(GroupBox1, "MailLabel");
  mailRow->addWidget(MailLabel);
  mailRow->addStretch(1);
  AddressEdit = new QLineEdit(GroupBox1);
  AddressEdit->setObjectName("AddressEdit");
  AddressEdit->setFrame(false);
  AddressEdit->setReadOnly(true);
  AddressEdit->setAlignment(Qt::AlignRight);
  AddressEdit->setText(Utf8(kAuthorAddress));
  SetTextColor(AddressEdit, Qt::black);
  QPalette addressPalette = AddressEdit->palette();
  addressPalette.setColor(QPalette::Base, Qt::transparent);
  AddressEdit->setPalette(addressPalette);
  AddressEdit->setMinimumWidth(AddressEdit->fontMetrics().horizontalAdvance(AddressEdit->text()) +
                               12);
  mailRow->addWidget(AddressEdit);
  group->addLayout(mailRow);

  connect(URL1Label, &TLinkLabel::Click, this, [this] { URLLabelClick(URL1Label); });
  connect(MailLabel, &TLinkLabel::Click, this, &TAboutForm::MailLabelClick);
  for (QLabel* label : {static_cast<QLabel*>(URL1Label), static_cast<QLabel*>(MailLabel)}) {
    auto* link = static_cast<TLinkLabel*>(label);
    connect(link, &TLinkLabel::MouseEnter, this, [this, label] { URLLabelMouseEnter(label); });
    connect(link, &TLinkLabel::MouseLeave, this, [this, label] { URLLabelMouseLeave(label); });
  }

  // Key preview: the box sees every key press before the control with the focus.
  for (QWidget* child : findChildren<QWidget*>())
    child->installEventFilter(this);
  installEventFilter(this);

  FormCreate();

  // Centred on the screen, not on the main window.
  if (const QScreen* screen = this->screen())
    move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
}

void TAboutForm::FormCreate() {
  Label1->setText(ToQt(darvena::RusTitle));
  WareLabel->setText(Utf8("Программа бесплатная, распространяется свободно"));
  WebLabel->setText(Utf8("Обновления и другие программы:"));
  MailLabel->setText(Utf8("Письмо автору"));
  MailLabel->setToolTip(Utf8("Правка и отправка"));

  setWindowTitle(Utf8("О программе"));

  DescrLabel->setText(Utf8("тессарел"));
  VersionLabel->setText(Utf8("версия") + " " + ToQt(darvena::VersionText));

  // The help text, appended piece by piece at the caret. Bullets are set for the
  // paragraph that holds the caret, and a line break carries them on to the next
  // one, so each switch stands just before the piece it is for: the purpose and the
  // two filterings are bulleted.
  HelpRichEdit->setUpdatesEnabled(false);
  HelpRichEdit->Clear();
  AppendHelp("Назначение:\n", true);
  HelpRichEdit->SetParagraphBullets(true);
  AppendHelp("Быстрый удобный поиск информации в текстах вольного стиля.\n", false);
  HelpRichEdit->SetParagraphBullets(false);
  AppendHelp("\nФильтрующий просмотр:\n", true);
  AppendHelp("Поддерживаются два вида фильтрации - СТРОКОВАЯ и АБЗАЦНАЯ. ", false);
  HelpRichEdit->SetParagraphBullets(true);
  AppendHelp(
      "При строковой фильтрации отображаются только строки, содержащие фрагменты, "
      "соответствующие ключу поиска. Примером текста, требующего строковой фильтрации, является "
      "записная книжка.\nПри абзацной фильтрации отображаются только абзацы, содержащие "
      "фрагменты, соответствующие ключу поиска. Абзац - это часть текста, отделённая пустой "
      "строкой. Примером текста, требующего абзацной фильтрации, является энциклопедический "
      "словарь.\n",
      false);
  HelpRichEdit->SetParagraphBullets(false);
  AppendHelp(
      "\nКлюч поиска - это то, что вводится Вами в нижнее окно редактирования.\n\nМожно ввести "
      "одно или несколько слов и нажать клавишу ENTER.\n\nЕсли ввести несколько слов (или "
      "фрагментов слов), разделенных пробелами, то (при неотмеченной опции \"Целиком\"), будут "
      "показаны строки или абзацы, содержащие всё, заданное Вами.\n",
      false);
  HelpRichEdit->SetSelStart(0);
  HelpRichEdit->setUpdatesEnabled(true);
  HelpRichEdit->setFocus();
}

void TAboutForm::AppendHelp(const char* utf8, bool heading) {
  HelpRichEdit->SetSelStart(HelpRichEdit->TextLength());
  HelpRichEdit->SetSelColor(heading ? kHeadingColor : richedit::kBlack);
  HelpRichEdit->SetSelStyles(heading ? richedit::TFontStyles{.Bold = true, .Underline = true}
                                     : richedit::TFontStyles{});
  HelpRichEdit->ReplaceSelection(Ansi(utf8));
}

void TAboutForm::MailLabelClick() {
  const std::string link = "mailto:" + FromQt(AddressEdit->text()) + "?subject=" + LetterSubject();
  OpenLinkFrom(MailLabel, link);
}

void TAboutForm::URLLabelClick(QLabel* Sender) {
  OpenLinkFrom(Sender, "http://" + FromQt(Sender->text()));
}

void TAboutForm::URLLabelMouseEnter(QLabel* Sender) {
  SetTextColor(Sender, kRed);
}

void TAboutForm::URLLabelMouseLeave(QLabel* Sender) {
  SetTextColor(Sender, kBlue);
}

void TAboutForm::FormKeyPress(char Key) {
  if (Key == 27) close();
}

bool TAboutForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    // Esc gives the character 27 whatever the keyboard layout says its text is.
    const QString text = key->text();
    const char character = key->key() == Qt::Key_Escape ? char(27)
                           : text.size() == 1 && text[0].unicode() < 0x80
                               ? static_cast<char>(text[0].unicode())
                               : char(0);
    if (character != 0) {
      FormKeyPress(character);
      if (character == 27) return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void ShowAboutBox(QWidget* parent) {
  TAboutForm form(parent);
  form.exec();
}

}  // namespace viewer
