// Darvena [FILE...]: the viewer. Opens the named documents, or those of the previous
// session, or those of the working folder, in the main window.
#include <QApplication>
#include <QSocketNotifier>
#include <exception>
#include <memory>

#include "common/CommonUnit.h"
#include "common/ui/QtMessageBox.h"
#include "platform/CommandLine.h"
#include "platform/KernelObjects.h"
#include "platform/WindowClasses.h"
#include "viewer/MainForm.h"
#include "viewer/Progress.h"
#include "viewer/Session.h"
#include "viewer/StartUp.h"
#include "viewer/ToolsUnit.h"
#include "viewer/about/AboutUnit.h"

namespace {

// Registers the main window under its class name, so that setup and uninstall can
// find it and post it WM_QUIT, which ends the program at once: without the main
// window's close handling, so the session is not saved. Null when the machine
// cannot keep the window; the viewer then runs unseen by them.
std::unique_ptr<platform::TTopLevelWindow> RegisterMainWindowClass() {
  try {
    auto window = std::make_unique<platform::TTopLevelWindow>("TMainForm");
    window->SetMessageHandler([](const platform::TWindowMessage& message) {
      if (message.Message == platform::WM_QUIT) QCoreApplication::exit(0);
    });
    return window;
  } catch (const std::exception&) {
    // Swallowed on purpose, like a marker that cannot be made: the viewer works.
    return nullptr;
  }
}

}  // namespace

int main(int argc, char** argv) {
  platform::InitCommandLine(argc, argv);
  // The window is laid out in pixels and does not scale with the screen's density.
  if (qEnvironmentVariableIsEmpty("QT_ENABLE_HIGHDPI_SCALING")) {
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
  }
  QApplication app(argc, argv);
  darvena::ui::InstallQtMessageBoxes();
  darvena::TCommonUnitLifetime common;

  // Held, never closed, until the program ends.
  platform::TKernelHandle runningMarker;
  if (!viewer::StartUp(runningMarker)) return 0;

  viewer::TMainForm form(nullptr, nullptr);
  viewer::TToolsForm tools(&form);
  viewer::TProgressBox progress;
  form.SetPartners(&tools, &progress);
  form.LoadStartDocuments = [&form, &tools] { viewer::LoadStartDocuments(form, tools); };
  form.ShowAbout = [&form] { viewer::ShowAboutBox(&form); };

  const std::unique_ptr<platform::TTopLevelWindow> window = RegisterMainWindowClass();
  std::unique_ptr<QSocketNotifier> messages;
  if (window != nullptr) {
    messages = std::make_unique<QSocketNotifier>(window->MessageFd(), QSocketNotifier::Read);
    QObject::connect(messages.get(), &QSocketNotifier::activated,
                     [&window] { window->DrainMessages(); });
  }

  form.show();
  app.exec();
  return 0;
}
