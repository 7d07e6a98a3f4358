#include "viewer/Progress.h"

#include <QCloseEvent>
#include <QTest>

#include "tests/viewer/ViewerFixture.h"

using namespace viewer;

TEST(ProgressBox, AlwaysOnTopWithoutTitleButtonsNeverModal) {
  test::TApplication app;
  TProgressBox box;
  const Qt::WindowFlags flags = box.windowFlags();
  EXPECT_TRUE(flags & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(flags & Qt::CustomizeWindowHint);
  EXPECT_FALSE(flags & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
  EXPECT_EQ(box.windowModality(), Qt::NonModal);
  EXPECT_EQ(box.size(), QSize(257, 110));
  EXPECT_EQ(box.windowTitle().toStdString(), "Дарвена");
  EXPECT_FALSE(box.ProgressLabel1->isVisible());
  EXPECT_EQ(box.ProgressLabel1->text().toStdString(), "Найдено:");
  EXPECT_EQ(box.Text->toolTip().toStdString(), "Идёт важный процесс");

  box.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
  QCloseEvent close;
  QApplication::sendEvent(&box, &close);
  EXPECT_FALSE(close.isAccepted());  // the user cannot close it
  EXPECT_TRUE(box.isVisible());

  // Esc presses the cancel button while it is shown.
  CancelFilter = false;
  QTest::keyClick(&box, Qt::Key_Escape);
  EXPECT_FALSE(CancelFilter);
  box.CancelBitBtn->show();
  QTest::keyClick(&box, Qt::Key_Escape);
  EXPECT_TRUE(CancelFilter);
  EXPECT_EQ(box.CancelBitBtn->geometry(), QRect(83, 81, 92, 24));
}
