#include "tests/viewer/ProgramFixture.h"

#include <QTest>
#include <QTimer>

#include "platform/CodePage.h"
#include "platform/CommandLine.h"
#include "viewer/DocumentTable.h"
#include "viewer/Session.h"

namespace viewer::test {
namespace {

const std::string kProductKey = "\\Software\\Vel\\Darvena";

}  // namespace

TProgramTest::TProgramTest() : Work(Machine.DriveC() / "Work") {
  Docs = {};
  DocCount = 0;
  CurDoc = 0;
  Busy = false;
  Loading = false;
  RestoreCurDoc = false;
  SavedCurDoc = 0;
  darvena::ProductName = "Darvena";
  darvena::RusTitle = A("Дарвена");
  darvena::EngTitle = "Darvena";
  std::filesystem::create_directories(Work);
  std::filesystem::current_path(Work);
}

TProgramTest::~TProgramTest() {
  Progress.reset();
  Tools.reset();
  Form.reset();
}

void TProgramTest::Start(const std::vector<std::string>& parameters) {
  std::vector<const char*> argv{"Darvena.exe"};
  for (const std::string& p : parameters)
    argv.push_back(p.c_str());
  platform::InitCommandLine(static_cast<int>(argv.size()), argv.data());

  Form = std::make_unique<TMainForm>(nullptr, nullptr);
  Tools = std::make_unique<TToolsForm>(Form.get());
  Progress = std::make_unique<TProgressBox>();
  Form->SetPartners(Tools.get(), Progress.get());
  Form->LoadStartDocuments = [this] { LoadStartDocuments(*Form, *Tools); };
  Form->show();
  Form->activateWindow();
  EXPECT_TRUE(QTest::qWaitForWindowActive(Form.get()));
}

void TProgramTest::StartAndLoad(const std::vector<std::string>& parameters) {
  Start(parameters);
  QTRY_VERIFY_WITH_TIMEOUT(!Form->Timer1->isActive(), 10000);
  QCoreApplication::processEvents();
}

void TProgramTest::WriteDword(const std::string& name, int value) {
  ASSERT_TRUE(darvena::Reg->OpenKey(kProductKey, true));
  darvena::Reg->WriteInteger(name, value);
  darvena::Reg->CloseKey();
}

void TProgramTest::WriteText(const std::string& name, const std::string& utf8) {
  ASSERT_TRUE(darvena::Reg->OpenKey(kProductKey, true));
  darvena::Reg->WriteString(name, A(utf8));
  darvena::Reg->CloseKey();
}

std::optional<int> TProgramTest::ReadDword(const std::string& name) {
  std::optional<int> value;
  if (darvena::Reg->OpenKey(kProductKey, false) && darvena::Reg->ValueExists(name))
    value = darvena::Reg->ReadInteger(name);
  darvena::Reg->CloseKey();
  return value;
}

std::optional<std::string> TProgramTest::ReadText(const std::string& name) {
  std::optional<std::string> value;
  if (darvena::Reg->OpenKey(kProductKey, false) && darvena::Reg->ValueExists(name))
    value = U(darvena::Reg->ReadString(name));
  darvena::Reg->CloseKey();
  return value;
}

std::vector<std::string> TProgramTest::ValueNames() {
  std::vector<std::string> names;
  if (darvena::Reg->OpenKey(kProductKey, false)) names = darvena::Reg->GetValueNames();
  darvena::Reg->CloseKey();
  std::sort(names.begin(), names.end());
  return names;
}

void TProgramTest::WriteDoc(const std::string& name, const std::string& bytes) {
  darvena::test::WriteFileBytes(Work / name, bytes);
}

bool TProgramTest::Open(const std::string& name) {
  Docs[DocCount + 1].FileName = A(name);
  return Form->LoadDocument();
}

void TProgramTest::ShowToolsAndPressOK() {
  // The settings command shows the dialog modally; OK is pressed from its loop.
  bool pressed = false;
  QTimer::singleShot(0, Tools.get(), [this, &pressed] {
    pressed = Tools->isVisible();
    QTest::mouseClick(Tools->OKBitBtn, Qt::LeftButton);
  });
  Form->ToolsCmd->trigger();
  EXPECT_TRUE(pressed);
  EXPECT_FALSE(Tools->isVisible());
}

void TProgramTest::Click(QWidget* widget) {
  QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(4, widget->height() / 2));
}

std::vector<std::string> TProgramTest::Tabs() const {
  std::vector<std::string> tabs;
  for (int i = 0; i < Form->TabControl->Count(); ++i)
    tabs.push_back(Form->TabControl->Caption(i).toStdString());
  return tabs;
}

std::vector<std::string> TProgramTest::Messages() const {
  std::vector<std::string> texts;
  for (const platform::TMessageBoxRecord& box : Boxes.Boxes())
    texts.push_back(U(box.Text));
  return texts;
}

}  // namespace viewer::test
