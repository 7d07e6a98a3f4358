#include "viewer/about/AboutUnit.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "common/CommonUnit.h"
#include "platform/CodePage.h"
#include "tests/support/TempMachine.h"
#include "viewer/about/LetterSubject.h"

namespace viewer {
namespace {

namespace fs = std::filesystem;

std::string Utf8(const QString& text) {
  return text.toStdString();
}

// The colour a widget's text is drawn in.
QColor TextColor(const QWidget* widget) {
  return widget->palette().color(QPalette::WindowText);
}

// Records the enabled states a widget goes through, with the time of each change.
class TEnabledWatcher : public QObject {
 public:
  explicit TEnabledWatcher(QWidget* widget) : widget_(widget) {
    widget->installEventFilter(this);
    clock_.start();
  }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == widget_ && event->type() == QEvent::EnabledChange)
      Changes.push_back({widget_->isEnabled(), TextColor(widget_), clock_.elapsed()});
    return false;
  }
  struct TChange {
    bool Enabled;
    QColor Color;
    qint64 AtMs;
  };
  std::vector<TChange> Changes;

 private:
  QWidget* widget_;
  QElapsedTimer clock_;
};

class TAboutFormTest : public testing::Test {
 protected:
  TAboutFormTest() {
    if (qApp == nullptr) {
      static int argc = 1;
      static char name[] = "about_tests";
      static char* argv[] = {name, nullptr};
      new QApplication(argc, argv);
    }
    setenv("TZ", "MSK-3", 1);
    tzset();
    unsetenv("LC_ALL");
    setenv("LANG", "ru_RU.UTF-8", 1);
    darvena::ProductName = "Darvena";
    darvena::RusTitle = platform::Utf8ToAnsi("Дарвена");
    darvena::VersionText = "1.4 beta 7";
    darvena::UserLCID = 0x0419;

    // The desktop's handler of links: writes each link it is given on a line.
    Log = Machine.Root() / "opened.txt";
    const fs::path handler = Machine.Root() / "open-handler";
    darvena::test::WriteFileBytes(handler,
                                  "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + Log.string() + "'\n");
    fs::permissions(handler, fs::perms::owner_all);
    setenv("DARVENA_OPEN_HANDLER", handler.c_str(), 1);

    Form = std::make_unique<TAboutForm>();
    Form->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
  }
  ~TAboutFormTest() override { unsetenv("DARVENA_OPEN_HANDLER"); }

  // The links the handler was given, once it has written the expected number.
  std::vector<std::string> Opened(size_t expected) {
    std::vector<std::string> lines;
    for (int i = 0; i < 100; ++i) {
      lines.clear();
      std::string all = darvena::test::ReadFileBytes(Log);
      for (size_t at; (at = all.find('\n')) != std::string::npos; all.erase(0, at + 1))
        lines.push_back(all.substr(0, at));
      if (lines.size() >= expected) break;
      QThread::msleep(50);
    }
    return lines;
  }

  void MoveMouseTo(QWidget* widget) { QTest::mouseMove(widget, widget->rect().center()); }

  darvena::test::TTempMachine Machine;
  fs::path Log;
  std::unique_ptr<TAboutForm> Form;
};

TEST_F(TAboutFormTest, ShowsTitleVersionAndLinks) {
  EXPECT_EQ(Utf8(Form->Label1->text()), "Дарвена");
  EXPECT_EQ(Utf8(Form->DescrLabel->text()), "тессарел");
  EXPECT_EQ(Utf8(Form->VersionLabel->text()), "версия 1.4 beta 7");
  EXPECT_EQ(Utf8(Form->WareLabel->text()), "Программа бесплатная, распространяется свободно");
  EXPECT_EQ(Utf8(Form->WebLabel->text()), "Обновления и другие программы:");
  EXPECT_EQ(Utf8(Form->URL1Label->text()), "darvena.example.org");
  EXPECT_EQ(Utf8(Form->MailLabel->text()), "Письмо автору");
  EXPECT_EQ(Utf8(Form->MailLabel->toolTip()), "Правка и отправка");
  EXPECT_EQ(Utf8(Form->AddressEdit->text()), "author@example.org");
  EXPECT_TRUE(Form->AddressEdit->isReadOnly());
  EXPECT_FALSE(Form->AddressEdit->hasFrame());
  EXPECT_FALSE(Form->windowTitle().isEmpty());

  EXPECT_EQ(Form->size(), QSize(374, 344));
  EXPECT_EQ(Form->minimumSize(), Form->maximumSize());
  EXPECT_EQ(Form->GroupBox1->height(), 95);
  EXPECT_EQ(TextColor(Form->Label1), QColor(0, 255, 0));
  EXPECT_EQ(Form->Label1->palette().color(QPalette::Window), QColor(0, 128, 0));
  EXPECT_TRUE(Form->Label1->font().bold());
  EXPECT_EQ(TextColor(Form->VersionLabel), QColor(0, 128, 0));
  EXPECT_TRUE(Form->VersionLabel->font().italic());
  for (const QLabel* link :
       {static_cast<QLabel*>(Form->URL1Label), static_cast<QLabel*>(Form->MailLabel)}) {
    EXPECT_EQ(TextColor(link), QColor(0, 0, 255));
    EXPECT_TRUE(link->font().bold() && link->font().underline());
    EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
  }
}

TEST_F(TAboutFormTest, HelpTextHasGreenHeadingsAndPlainParagraphs) {
  const richedit::TRichEdit* help = Form->HelpRichEdit;
  const std::string text = platform::AnsiToUtf8(help->Text());
  EXPECT_EQ(text.rfind("Назначение:\r\nБыстрый удобный поиск информации в текстах вольного "
                       "стиля.\r\n\r\nФильтрующий просмотр:\r\nПоддерживаются два вида фильтрации "
                       "- СТРОКОВАЯ и АБЗАЦНАЯ. При строковой фильтрации",
                       0),
            0u)
      << text;
  const std::string end = "содержащие всё, заданное Вами.\r\n";
  EXPECT_EQ(text.substr(text.size() - end.size()), end);
  EXPECT_NE(text.find("опции \"Целиком\""), std::string::npos);

  const auto at = [&](const char* utf8) {
    const int offset = help->FindText(platform::Utf8ToAnsi(utf8), 0, help->TextLength(), false);
    EXPECT_GE(offset, 0) << utf8;
    return help->Model().FormatAt(offset);
  };
  for (const char* heading : {"Назначение:", "Фильтрующий просмотр:"}) {
    const richedit::TCharFormat format = at(heading);
    EXPECT_EQ(format.Color, (richedit::TRgb{0, 128, 0})) << heading;
    EXPECT_TRUE(format.Styles.Bold && format.Styles.Underline && !format.Styles.Italic);
  }
  for (const char* plain : {"Быстрый", "Поддерживаются", "При абзацной", "Ключ поиска", "Вами."}) {
    const richedit::TCharFormat format = at(plain);
    EXPECT_EQ(format.Color, richedit::kBlack) << plain;
    EXPECT_EQ(format.Styles, richedit::TFontStyles{}) << plain;
  }

  // The purpose and the two filterings are bulleted paragraphs, the headings and
  // the key's description are not.
  const auto bulleted = [&](const char* utf8) {
    const int offset = help->FindText(platform::Utf8ToAnsi(utf8), 0, help->TextLength(), false);
    EXPECT_GE(offset, 0) << utf8;
    return help->ParagraphBullets(offset);
  };
  for (const char* on : {"Быстрый", "Поддерживаются", "При строковой", "При абзацной"})
    EXPECT_TRUE(bulleted(on)) << on;
  for (const char* off :
       {"Назначение:", "Фильтрующий просмотр:", "Ключ поиска", "Можно ввести", "Если ввести"})
    EXPECT_FALSE(bulleted(off)) << off;
  // The empty paragraphs between the pieces are not bulleted either.
  const int heading =
      help->FindText(platform::Utf8ToAnsi("Фильтрующий"), 0, help->TextLength(), false);
  EXPECT_FALSE(help->ParagraphBullets(heading - 2));

  EXPECT_TRUE(help->ReadOnly());
  EXPECT_EQ(help->ScrollBars(), richedit::TRichEdit::TScrollBars::Vertical);
  EXPECT_EQ(help->SelStart(), 0);
  EXPECT_EQ(help->SelLength(), 0);
  EXPECT_EQ(QApplication::focusWidget(), help);
}

TEST_F(TAboutFormTest, LinkUnderTheMouseTurnsRed) {
  MoveMouseTo(Form->URL1Label);
  EXPECT_EQ(TextColor(Form->URL1Label), QColor(255, 0, 0));
  EXPECT_EQ(TextColor(Form->MailLabel), QColor(0, 0, 255));

  MoveMouseTo(Form->MailLabel);
  EXPECT_EQ(TextColor(Form->URL1Label), QColor(0, 0, 255));
  EXPECT_EQ(TextColor(Form->MailLabel), QColor(255, 0, 0));

  MoveMouseTo(Form->WebLabel);
  EXPECT_EQ(TextColor(Form->MailLabel), QColor(0, 0, 255));
}

TEST_F(TAboutFormTest, LetterOpensOnceWithTheLabelDisabledMeanwhile) {
  TEnabledWatcher watcher(Form->MailLabel);
  // An impatient second click, waiting in the queue when the first one is handled.
  const QPoint centre = Form->MailLabel->rect().center();
  const QPointF global = Form->MailLabel->mapToGlobal(QPointF(centre));
  QCoreApplication::postEvent(Form->MailLabel,
                              new QMouseEvent(QEvent::MouseButtonPress, QPointF(centre), global,
                                              Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
  QCoreApplication::postEvent(Form->MailLabel,
                              new QMouseEvent(QEvent::MouseButtonRelease, QPointF(centre), global,
                                              Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
  QTest::mouseClick(Form->MailLabel, Qt::LeftButton);

  ASSERT_EQ(watcher.Changes.size(), 2u);
  EXPECT_FALSE(watcher.Changes[0].Enabled);
  // A waiting link does not look like one.
  EXPECT_NE(watcher.Changes[0].Color, QColor(0, 0, 255));
  EXPECT_NE(watcher.Changes[0].Color, QColor(255, 0, 0));
  EXPECT_TRUE(watcher.Changes[1].Enabled);
  EXPECT_GE(watcher.Changes[1].AtMs - watcher.Changes[0].AtMs, kLinkWaitMs);
  EXPECT_TRUE(Form->MailLabel->isEnabled());

  QCoreApplication::processEvents();
  QThread::msleep(300);
  const std::vector<std::string> opened = Opened(1);
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0], "mailto:author@example.org?subject=" + LetterSubject());
  EXPECT_EQ(opened[0].rfind("mailto:author@example.org?subject=Darvena%201.4%20beta%207%20(Win", 0),
            0u);
  EXPECT_NE(opened[0].find("%20Russian%200419,%20UTC+3)"), std::string::npos) << opened[0];
}

TEST_F(TAboutFormTest, WebSiteOpensFromItsLabel) {
  TEnabledWatcher watcher(Form->URL1Label);
  QTest::mouseClick(Form->URL1Label, Qt::LeftButton);
  ASSERT_EQ(watcher.Changes.size(), 2u);
  EXPECT_FALSE(watcher.Changes[0].Enabled);
  EXPECT_GE(watcher.Changes[1].AtMs - watcher.Changes[0].AtMs, kLinkWaitMs);
  EXPECT_EQ(Opened(1), std::vector<std::string>{"http://darvena.example.org"});
}

TEST_F(TAboutFormTest, LinkWithoutHandlerStillComesBack) {
  setenv("DARVENA_OPEN_HANDLER", (Machine.Root() / "no-such-handler").c_str(), 1);
  QTest::mouseClick(Form->URL1Label, Qt::LeftButton);
  EXPECT_TRUE(Form->URL1Label->isEnabled());
  EXPECT_TRUE(Form->isVisible());
}

TEST_F(TAboutFormTest, EscClosesFromEveryControl) {
  const std::vector<QWidget*> controls = {Form->HelpRichEdit, Form->AddressEdit, Form->GroupBox1,
                                          Form->URL1Label, Form.get()};
  for (QWidget* control : controls) {
    Form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
    control->setFocus();
    QTest::keyClicks(control, "ab ");
    EXPECT_TRUE(Form->isVisible()) << control->objectName().toStdString();
    QTest::keyClick(control, Qt::Key_Escape);
    EXPECT_FALSE(Form->isVisible()) << control->objectName().toStdString();
  }
}

TEST_F(TAboutFormTest, ShownModallyUntilEsc) {
  Form.reset();
  bool shownAbout = false;
  QTimer::singleShot(0, [&shownAbout] {
    QWidget* shown = QApplication::activeModalWidget();
    shownAbout = dynamic_cast<TAboutForm*>(shown) != nullptr;
    if (shown == nullptr) return;
    auto* help = shown->findChild<QWidget*>("HelpRichEdit");
    QTest::keyClick(help != nullptr ? help : shown, Qt::Key_Escape);
  });
  ShowAboutBox(nullptr);
  EXPECT_TRUE(shownAbout);
  // The box is destroyed once it is closed.
  for (QWidget* widget : QApplication::topLevelWidgets())
    EXPECT_EQ(dynamic_cast<TAboutForm*>(widget), nullptr);
}

}  // namespace
}  // namespace viewer
