// The Qt dialog front end of the message boxes, driven by key presses and clicks.
#include "common/ui/QtMessageBox.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "platform/CodePage.h"

using namespace platform;

namespace {

// One application for the test program, made before the first test and destroyed
// after the last, while Qt is still whole.
class TApplicationEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { app_ = std::make_unique<QApplication>(argc_, argv_); }
  void TearDown() override { app_.reset(); }

 private:
  int argc_ = 1;
  char arg0_[16] = "common_ui_tests";
  char* argv_[2] = {arg0_, nullptr};
  std::unique_ptr<QApplication> app_;
};
[[maybe_unused]] ::testing::Environment* const applicationEnvironment =
    ::testing::AddGlobalTestEnvironment(new TApplicationEnvironment);

void App() {
  ASSERT_NE(qApp, nullptr);
}

// Shows the box and, once it is up, lets `drive` act on it as a user would.
int ShowAndDrive(const TMessageBoxRequest& request, std::function<void(QMessageBox*)> drive) {
  App();
  QTimer::singleShot(0, [drive] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    drive(box);
  });
  return darvena::ui::ShowQtMessageBox(request);
}

QAbstractButton* ButtonLabelled(QMessageBox* box, const QString& label) {
  for (QAbstractButton* b : box->buttons())
    if (b->text() == label) return b;
  return nullptr;
}

TEST(QtMessageBox, ShowsCaptionTextIconAndRussianButtons) {
  const auto request =
      MakeMessageBoxRequest(nullptr, Utf8ToAnsi("Первая строка\r\nвторая <b>"),
                            Utf8ToAnsi("Дарвена"), MB_YESNO | MB_ICONQUESTION, true, 0x19);
  QString title, text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  const int answer = ShowAndDrive(request, [&](QMessageBox* box) {
    title = box->windowTitle();
    text = box->text();
    icon = box->icon();
    QAbstractButton* no = ButtonLabelled(box, QStringLiteral("Нет"));
    ASSERT_NE(no, nullptr);
    QTest::mouseClick(no, Qt::LeftButton);
  });
  EXPECT_EQ(answer, IDNO);
  EXPECT_EQ(title, QStringLiteral("Дарвена"));
  EXPECT_EQ(text, QStringLiteral("Первая строка\nвторая <b>"));
  EXPECT_EQ(icon, QMessageBox::Question);
}

TEST(QtMessageBox, EnterTakesTheDefaultButtonAndEscapeCancels) {
  const auto yesNo =
      MakeMessageBoxRequest(nullptr, "Replace?", "Darvena", MB_YESNO | MB_DEFBUTTON2, false, 0);
  EXPECT_EQ(ShowAndDrive(yesNo, [](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Return); }),
            IDNO);
  const auto okCancel =
      MakeMessageBoxRequest(nullptr, "Go on?", "Darvena", MB_OKCANCEL | MB_ICONWARNING, true, 0x09);
  EXPECT_EQ(ShowAndDrive(okCancel, [](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); }),
            IDCANCEL);
  const auto ok = MakeMessageBoxRequest(nullptr, "Done", "Darvena",
                                        MB_OK | MB_ICONINFORMATION | MB_TOPMOST, true, 0x09);
  bool onTop = false;
  EXPECT_EQ(ShowAndDrive(ok,
                         [&](QMessageBox* box) {
                           onTop = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
                           QTest::keyClick(box, Qt::Key_Escape);
                         }),
            IDOK);
  EXPECT_TRUE(onTop);
}

TEST(QtMessageBox, InstalledFrontEndAnswersPlatformBoxes) {
  unsetenv("DARVENA_MSGBOX_TRANSCRIPT");
  unsetenv("DARVENA_MSGBOX_ANSWERS");
  App();
  platform::SetMessageBoxFrontEnd(&darvena::ui::ShowQtMessageBox);
  QTimer::singleShot(0, [] {
    QWidget* box = QApplication::activeModalWidget();
    ASSERT_NE(box, nullptr);
    QTest::mouseClick(ButtonLabelled(qobject_cast<QMessageBox*>(box), QStringLiteral("Отмена")),
                      Qt::LeftButton);
  });
  EXPECT_EQ(MessageBoxExA(nullptr, "t", "c", MB_OKCANCEL, 0x19), IDCANCEL);
  platform::SetMessageBoxFrontEnd({});
}

TEST(QtMessageBox, NotInstalledWithoutADisplaySoBoxesNeverHang) {
  unsetenv("DARVENA_MSGBOX_TRANSCRIPT");
  unsetenv("DARVENA_MSGBOX_ANSWERS");
  App();
  ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("offscreen"));
  EXPECT_FALSE(darvena::ui::InstallQtMessageBoxes());
  // The terminal front end answers the default at once when input is no terminal.
  if (!isatty(STDIN_FILENO)) {
    EXPECT_EQ(MessageBoxA(nullptr, "t", "c", MB_YESNO | MB_DEFBUTTON2), IDNO);
  }
}

}  // namespace
