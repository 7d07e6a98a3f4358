#include "tests/viewer/ViewerFixture.h"

#include <QTest>

#include "platform/CodePage.h"
#include "viewer/DocumentTable.h"

namespace viewer::test {

std::string A(const std::string& utf8) {
  return platform::Utf8ToAnsi(utf8);
}
std::string U(const std::string& ansi) {
  return platform::AnsiToUtf8(ansi);
}

TApplication::TApplication() {
  if (qApp != nullptr) return;
  static int argc = 1;
  static char name[] = "viewer_tests";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);
}

TViewerTest::TViewerTest()
    : boxes_(std::make_unique<darvena::test::TScriptedMessageBoxes>()),
      Work(Machine.DriveC() / "Work") {
  // The table is the program's; a test starts with none open.
  Docs = {};
  DocCount = 0;
  CurDoc = 0;
  Busy = false;
  Loading = false;
  CancelFilter = false;
  std::filesystem::create_directories(Work);
  std::filesystem::current_path(Work);
  Tools = std::make_unique<TToolsForm>();
  Progress = std::make_unique<TProgressBox>();
  Form = std::make_unique<TMainForm>(Tools.get(), Progress.get());
  Form->Timer1->stop();  // nothing to load at start in tests
  Form->show();
  Form->activateWindow();
  EXPECT_TRUE(QTest::qWaitForWindowActive(Form.get()));
}

TViewerTest::~TViewerTest() {
  Form.reset();
  Progress.reset();
  Tools.reset();
}

void TViewerTest::WriteDoc(const std::string& name, const std::string& bytes) {
  darvena::test::WriteFileBytes(Work / name, bytes);
}

bool TViewerTest::Open(const std::string& name) {
  Docs[DocCount + 1].FileName = A(name);
  return Form->LoadDocument();
}

bool TViewerTest::OpenText(const std::string& name, const std::string& bytes) {
  WriteDoc(name, bytes);
  return Open(name);
}

void TViewerTest::Type(const std::string& utf8) {
  // One key press per character, Cyrillic ones included (keyClicks sends Latin-1).
  for (const QChar ch : QString::fromStdString(utf8)) {
    const auto code = static_cast<Qt::Key>(ch.toUpper().unicode());
    QTest::sendKeyEvent(QTest::Click, Form->KeyEdit, code, QString(ch), Qt::NoModifier);
  }
}

void TViewerTest::EraseKey() {
  Form->KeyEdit->end(false);
  while (!Form->KeyEdit->text().isEmpty())
    QTest::keyClick(Form->KeyEdit, Qt::Key_Backspace);
}

void TViewerTest::PressEnter() {
  QTest::keyClick(Form->KeyEdit, Qt::Key_Return);
}

void TViewerTest::Click(QWidget* widget) {
  QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(4, widget->height() / 2));
}

std::string TViewerTest::EditorText() const {
  return U(Form->Editor->Text());
}

std::string TViewerTest::RedText() const {
  const auto& model = Form->Editor->Model();
  std::string out;
  int end = -1;
  for (const auto& span : model.Spans(0, model.TextLength())) {
    if (!(model.Format(span.FormatIndex).Color == richedit::kRed)) continue;
    if (span.Start != end && !out.empty()) out += "|";
    out += U(model.TextRange(span.Start, span.Length));
    end = span.Start + span.Length;
  }
  return out;
}

std::string TViewerTest::Counts() const {
  return Form->StrNumLabel->text().toStdString();
}

}  // namespace viewer::test
