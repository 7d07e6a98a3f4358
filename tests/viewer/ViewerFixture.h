// A viewer of its own for each test: a fresh machine, scripted message boxes, the
// main window with its settings dialog and status box, shown offscreen, and a
// working folder for the test's documents.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/MessageBoxTranscript.h"
#include "tests/support/TempMachine.h"
#include "viewer/MainForm.h"

namespace viewer::test {

// Creates the application object once per process.
struct TApplication {
  TApplication();
};

class TViewerTest : public testing::Test {
 protected:
  TViewerTest();
  ~TViewerTest() override;

  // Writes a document into the working folder (bytes as they are, Windows-1251).
  void WriteDoc(const std::string& name, const std::string& bytes);
  // Opens a document by the name as given (UTF-8 here, Windows-1251 inside).
  bool Open(const std::string& name);
  // Writes and opens a document.
  bool OpenText(const std::string& name, const std::string& bytes);

  // Types a key into the key edit the way the user does.
  void Type(const std::string& utf8);
  // Deletes the whole key by Backspace.
  void EraseKey();
  // Presses Enter in the key edit.
  void PressEnter();
  void Click(QWidget* widget);

  // The editor's text, UTF-8.
  [[nodiscard]] std::string EditorText() const;
  // The red stretches of the editor's text, UTF-8, joined by "|".
  [[nodiscard]] std::string RedText() const;
  // The counts label's text, UTF-8.
  [[nodiscard]] std::string Counts() const;
  [[nodiscard]] std::vector<platform::TMessageBoxRecord> Boxes() const { return boxes_->Boxes(); }

  TApplication App;
  darvena::test::TTempMachine Machine;
  std::unique_ptr<darvena::test::TScriptedMessageBoxes> boxes_;
  std::filesystem::path Work;
  std::unique_ptr<TToolsForm> Tools;
  std::unique_ptr<TProgressBox> Progress;
  std::unique_ptr<TMainForm> Form;
};

// UTF-8 to Windows-1251 and back, for expectations.
[[nodiscard]] std::string A(const std::string& utf8);
[[nodiscard]] std::string U(const std::string& ansi);

}  // namespace viewer::test
