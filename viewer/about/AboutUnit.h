// The About box: the program's title, tagline and version, a short help text on
// the two kinds of filtering, a link to the program's web site and a link that
// opens a new letter to the author in the user's mail program, with a subject that
// describes the user's system.
#pragma once

#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include "richedit/RichEdit.h"

namespace viewer {

// A label that reports clicks and the mouse entering and leaving it.
class TLinkLabel : public QLabel {
  Q_OBJECT

 public:
  explicit TLinkLabel(QWidget* parent = nullptr);

 signals:
  // The left button was pressed and released over the label.
  void Click();
  void MouseEnter();
  void MouseLeave();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  bool pressed_ = false;
};

// The host name of the program's web site and the author's mail address.
inline constexpr const char* kWebSiteHost = "darvena.example.org";
inline constexpr const char* kAuthorAddress = "author@example.org";

// How long a link label stays disabled after its link was opened, in milliseconds.
inline constexpr int kLinkWaitMs = 2048;

class TAboutForm : public QDialog {
  Q_OBJECT

 public:
  // The box with all its texts filled, the help text's caret at the start and the
  // keyboard focus in the help text. Esc closes it from any of its controls.
  explicit TAboutForm(QWidget* parent = nullptr);

  QLabel* Label1;
  QLabel* DescrLabel;
  QLabel* VersionLabel;
  QLabel* WareLabel;
  richedit::TRichEdit* HelpRichEdit;
  QGroupBox* GroupBox1;
  QLabel* WebLabel;
  TLinkLabel* URL1Label;
  TLinkLabel* MailLabel;
  QLineEdit* AddressEdit;

  // Fills the texts of the labels and the help text.
  void FormCreate();
  // Opens a new letter to the author; MailLabel is disabled until the wait after
  // opening it has passed.
  void MailLabelClick();
  // Opens the web site named by the label; the label is disabled until the wait
  // after opening it has passed.
  void URLLabelClick(QLabel* Sender);
  // The label under the mouse turns red; when the mouse leaves, blue again.
  void URLLabelMouseEnter(QLabel* Sender);
  void URLLabelMouseLeave(QLabel* Sender);
  // Esc (character 27) closes the box.
  void FormKeyPress(char Key);

 protected:
  // Sees the key presses of every control before the control does.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void AppendHelp(const char* utf8, bool heading);
};

// Creates the About box, shows it modally over parent and destroys it when it is
// closed; every call shows a new box.
void ShowAboutBox(QWidget* parent);

}  // namespace viewer
