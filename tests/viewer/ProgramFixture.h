// The viewer's windows as the program makes them, each test on a machine of its
// own: the common environment, the main window, then the settings dialog (which
// loads the stored settings and acts on the main window), then the status box.
// The test may write product-key values and folder files before it starts them.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/CommonUnit.h"
#include "tests/support/MessageBoxTranscript.h"
#include "tests/support/TempMachine.h"
#include "tests/viewer/ViewerFixture.h"
#include "viewer/MainForm.h"
#include "viewer/Progress.h"
#include "viewer/ToolsUnit.h"

namespace viewer::test {

class TProgramTest : public testing::Test {
 protected:
  TProgramTest();
  ~TProgramTest() override;

  // Creates the three windows with these command-line parameters (UTF-8) and shows
  // the main window; the start-up timer is left running.
  void Start(const std::vector<std::string>& parameters = {});
  // Start, then waits until the start-up timer has loaded the documents.
  void StartAndLoad(const std::vector<std::string>& parameters = {});

  // Values of the product key (names ASCII, strings UTF-8).
  void WriteDword(const std::string& name, int value);
  void WriteText(const std::string& name, const std::string& utf8);
  [[nodiscard]] std::optional<int> ReadDword(const std::string& name);
  [[nodiscard]] std::optional<std::string> ReadText(const std::string& name);
  [[nodiscard]] std::vector<std::string> ValueNames();

  // Writes a file into the working folder.
  void WriteDoc(const std::string& name, const std::string& bytes);
  // Opens a document of the working folder the way the program does.
  bool Open(const std::string& name);
  // Runs the settings command and presses OK in the dialog it shows.
  void ShowToolsAndPressOK();
  void Click(QWidget* widget);

  // The tab captions, UTF-8.
  [[nodiscard]] std::vector<std::string> Tabs() const;
  // The message boxes shown so far, texts UTF-8.
  [[nodiscard]] std::vector<std::string> Messages() const;

  TApplication App;
  darvena::test::TTempMachine Machine;
  darvena::TCommonUnitLifetime Common;
  darvena::test::TScriptedMessageBoxes Boxes;
  std::filesystem::path Work;
  std::unique_ptr<TMainForm> Form;
  std::unique_ptr<TToolsForm> Tools;
  std::unique_ptr<TProgressBox> Progress;
};

}  // namespace viewer::test
