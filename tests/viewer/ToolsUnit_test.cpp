#include "viewer/ToolsUnit.h"

#include "tests/viewer/ViewerFixture.h"

using namespace viewer;

TEST(ToolsForm, SixOptionsAtTheirDefaults) {
  test::TApplication app;
  TToolsForm form;
  EXPECT_EQ(form.windowTitle().toStdString(), "Настройки");
  struct TCase {
    QCheckBox* box;
    const char* caption;
    bool checked;
  } cases[] = {
      {form.ShowToolBarCheckBox, "Показывать панель инструментов", true},
      {form.ShowToolBtnCaptionsCheckBox, "Показывать подписи кнопок в панели инструментов", false},
      {form.ShowExtCheckBox, "Показывать файловый тип документов", false},
      {form.OpenAgainCheckBox, "При запуске открывать документы предыдущей сессии", true},
      {form.OpenWorkFolderCheckBox, "При запуске открывать все документы из рабочей папки", false},
      {form.CloneKeyCheckBox, "Клонировать текущую строку поиска во все окна документов", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.caption);
    EXPECT_EQ(c.box->text().toStdString(), c.caption);
    EXPECT_EQ(c.box->isChecked(), c.checked);
  }
  EXPECT_TRUE(form.OKBitBtn->isDefault());
  EXPECT_EQ(form.OptBitBtn->text().toStdString(), "Оптимум");
}
