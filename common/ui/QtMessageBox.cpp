#include "common/ui/QtMessageBox.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QString>
#include <vector>

#include "platform/CodePage.h"

namespace darvena::ui {
namespace {

QString ToQt(const std::string& ansi) {
  return QString::fromStdString(platform::AnsiToUtf8(ansi));
}

// CR LF and lone CR end lines on Windows; the dialog wants LF.
QString BoxText(const std::string& ansi) {
  QString text = ToQt(ansi);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return text;
}

QMessageBox::Icon IconOf(uint32_t flags) {
  switch (flags & platform::MB_ICONMASK) {
    case platform::MB_ICONERROR:
      return QMessageBox::Critical;
    case platform::MB_ICONQUESTION:
      return QMessageBox::Question;
    case platform::MB_ICONWARNING:
      return QMessageBox::Warning;
    case platform::MB_ICONINFORMATION:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

QMessageBox::ButtonRole RoleOf(int id) {
  switch (id) {
    case platform::IDYES:
      return QMessageBox::YesRole;
    case platform::IDNO:
      return QMessageBox::NoRole;
    case platform::IDCANCEL:
      return QMessageBox::RejectRole;
    default:
      return QMessageBox::AcceptRole;
  }
}

}  // namespace

int ShowQtMessageBox(const platform::TMessageBoxRequest& request) {
  if (request.Buttons.empty()) return 0;
  // The owner, when there is one, is the QWidget of its window (see MessageBox.h).
  QMessageBox box(static_cast<QWidget*>(request.Owner));
  box.setWindowTitle(ToQt(request.Caption));
  box.setTextFormat(Qt::PlainText);
  box.setText(BoxText(request.Text));
  box.setIcon(IconOf(request.Flags));

  std::vector<std::pair<QPushButton*, int>> buttons;
  QPushButton* escape = nullptr;
  for (const platform::TMessageBoxButton& b : request.Buttons) {
    QPushButton* button = box.addButton(ToQt(b.Label), RoleOf(b.Id));
    buttons.emplace_back(button, b.Id);
    if (b.Id == platform::IDCANCEL) escape = button;
  }
  if (!escape && buttons.size() == 1) escape = buttons.front().first;
  box.setEscapeButton(escape);
  box.setDefaultButton(buttons[request.DefaultButton].first);

  // A box without an owner is modal for the whole program; topmost, system-modal
  // and service-notification boxes stay above other windows as well.
  box.setWindowModality(Qt::ApplicationModal);
  if (request.Flags &
      (platform::MB_TOPMOST | platform::MB_SYSTEMMODAL | platform::MB_SERVICE_NOTIFICATION))
    box.setWindowFlag(Qt::WindowStaysOnTopHint, true);

  box.exec();
  const QAbstractButton* clicked = box.clickedButton();
  for (const auto& [button, id] : buttons)
    if (button == clicked) return id;
  for (const auto& [button, id] : buttons)
    if (button == escape) return id;
  return request.Buttons[request.DefaultButton].Id;
}

bool InstallQtMessageBoxes() {
  const QString platformName = QGuiApplication::platformName();
  if (platformName == QLatin1String("offscreen") || platformName == QLatin1String("minimal"))
    return false;
  platform::SetMessageBoxFrontEnd(&ShowQtMessageBox);
  return true;
}

}  // namespace darvena::ui
