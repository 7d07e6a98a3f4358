// Darvena [FILE...]: opens the named documents in the main window.
#include <QApplication>
#include <string>
#include <vector>

#include "common/CommonUnit.h"
#include "common/ui/QtMessageBox.h"
#include "viewer/DocumentTable.h"
#include "viewer/MainForm.h"
#include "viewer/Progress.h"
#include "viewer/QtText.h"
#include "viewer/ToolsUnit.h"

int main(int argc, char** argv) {
  darvena::TCommonUnitLifetime common;
  darvena::ProductName = "Darvena";
  darvena::RusTitle = viewer::Ansi("Дарвена");
  darvena::EngTitle = "Darvena";
  // The window is laid out in pixels and does not scale with the screen's density.
  if (qEnvironmentVariableIsEmpty("QT_ENABLE_HIGHDPI_SCALING")) {
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
  }
  QApplication app(argc, argv);
  darvena::ui::InstallQtMessageBoxes();
  std::vector<std::string> names;
  for (const QString& argument : app.arguments().mid(1))
    names.push_back(viewer::FromQt(argument));

  viewer::TToolsForm tools;
  viewer::TProgressBox progress;
  viewer::TMainForm form(&tools, &progress);
  form.LoadStartDocuments = [&form, names] {
    for (const std::string& name : names) {
      if (viewer::DocCount >= viewer::kMaxDocs) break;
      viewer::Docs[viewer::DocCount + 1].FileName = name;
      form.LoadDocument();
    }
  };
  form.show();
  return app.exec();
}
