#include "viewer/MainForm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenuBar>
#include <QScreen>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>

#include "platform/Files.h"
#include "platform/WinPath.h"
#include "viewer/QtText.h"
#include "viewer/Session.h"
#include "viewer/Title.h"

// The icons live in this static library; the linker keeps them only when asked.
static void InitViewerResources() {
  Q_INIT_RESOURCE(icons);
}

namespace viewer {
namespace {

QAction* MakeAction(QObject* owner, const char* name, const char* caption, const char* hint,
                    const char* icon, bool enabled) {
  auto* action = new QAction(QIcon(QString(":/viewer/icons/%1.svg").arg(icon)),
                             QString::fromUtf8(caption), owner);
  action->setObjectName(name);
  action->setToolTip(QString::fromUtf8(hint));
  action->setStatusTip(QString::fromUtf8(hint));
  action->setEnabled(enabled);
  return action;
}

}  // namespace

TMainForm::TMainForm(TToolsForm* Tools, TProgressBox* Progress, QWidget* parent)
    : QMainWindow(parent), ToolsForm(Tools), ProgressBox(Progress) {
  InitViewerResources();
  setObjectName("TMainForm");
  QFont font("Arial");
  font.setPixelSize(10);
  setFont(font);
  resize(775, 512);
  setMinimumSize(750, 20);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }

  SetupActions();

  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  TabControl = new TTabControl(central);
  TabControl->hide();
  layout->addWidget(TabControl);
  connect(TabControl, &TTabControl::Change, this, &TMainForm::TabControlChange);

  Editor = new richedit::TRichEdit(central);
  Editor->setObjectName("Editor");
  richedit::TCharFormat editorFont;
  editorFont.FontName = "Arial";
  editorFont.SizeHalfPoints = richedit::HalfPointsFromPixels(12);
  editorFont.Charset = richedit::kRussianCharset;
  editorFont.Color = richedit::kBlack;
  Editor->SetDefaultFormat(editorFont);
  Editor->SetScrollBars(richedit::TRichEdit::TScrollBars::Both);
  Editor->SetWordWrap(false);
  Editor->SetReadOnly(true);
  Editor->setContextMenuPolicy(Qt::NoContextMenu);
  Editor->setEnabled(false);
  Editor->SetColor(QColor(212, 208, 200));  // clInactiveBorder
  layout->addWidget(Editor, 1);
  connect(Editor, &richedit::TRichEdit::SelectionChange, this, &TMainForm::EditorSelectionChange);
  connect(Editor, &richedit::TRichEdit::MouseUp, this,
          [this](Qt::MouseButton button, Qt::KeyboardModifiers, QPoint pos) {
            EditorMouseUp(button, pos);
          });

  BufRichEdit = new richedit::TRichEdit(this);
  BufRichEdit->setObjectName("BufRichEdit");
  BufRichEdit->hide();
  BufRichEdit->SetPlainText(true);
  BufRichEdit->SetWordWrap(false);
  richedit::TCharFormat bufferFont = editorFont;
  bufferFont.Color = richedit::kBlack;  // clWindowText
  BufRichEdit->SetDefaultFormat(bufferFont);

  KeyPanel = new QWidget(central);
  KeyPanel->setObjectName("KeyPanel");
  KeyPanel->hide();
  layout->addWidget(KeyPanel);
  SetupKeyPanel();
  setCentralWidget(central);

  SetupMenus();

  PopupMenu1 = new QMenu(this);
  PopupMenu1->setObjectName("PopupMenu1");
  PopupMenu1->addAction(SelectAllCmd);
  PopupMenu1->addAction(CopyCmd);
  PopupMenu1->addAction(ToolsCmd);
  PopupMenu1->addSeparator();
  PopupMenu1->addAction(CloseCmd);
  PopupMenu1->addSeparator();
  PopupMenu1->addAction(CloseAllCmd);

  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  Timer1->setInterval(128);
  Timer1->setSingleShot(false);
  connect(Timer1, &QTimer::timeout, this, &TMainForm::Timer1Timer);

  // Enter presses the apply button while it shows, whichever control has the focus.
  const auto pressDefault = [this] {
    if (FilterBitBtn->isVisible() && FilterBitBtn->isEnabled()) FilterBitBtn->click();
  };
  for (const auto key : {Qt::Key_Return, Qt::Key_Enter}) {
    auto* enter = new QShortcut(QKeySequence(key), this);
    connect(enter, &QShortcut::activated, this, pressDefault);
  }
  connect(KeyEdit, &QLineEdit::returnPressed, this, pressDefault);

  qApp->installEventFilter(this);
  FormCreate();
}

TMainForm::~TMainForm() {
  qApp->removeEventFilter(this);
}

void TMainForm::SetupActions() {
  FileOpenCmd =
      MakeAction(this, "FileOpenCmd", "Открыть файл", "Загрузить документ из файла", "open", true);
  FileOpenCmd->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  CloseCmd = MakeAction(this, "CloseCmd", "Закрыть окно", "Закрыть текущее окно", "close", false);
  CloseCmd->setShortcut(QKeySequence(Qt::ALT | Qt::Key_X));
  ExitCmd = MakeAction(this, "ExitCmd", "Выход из программы", "Выйти из программы", "exit", true);
  ExitCmd->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
  CloseAllCmd =
      MakeAction(this, "CloseAllCmd", "Закрыть все окна", "Закрыть все окна", "closeall", false);
  SelectAllCmd =
      MakeAction(this, "SelectAllCmd", "Выделить всё", "Выделить весь текст", "selectall", false);
  SelectAllCmd->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
  CopyCmd =
      MakeAction(this, "CopyCmd", "Копировать", "Копировать выделенное в буфер", "copy", false);
  CopyCmd->setShortcuts(
      {QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)});
  AboutCmd = MakeAction(this, "AboutCmd", "О программе...", "Сведения о программе", "about", true);
  AboutCmd->setShortcut(QKeySequence(Qt::Key_F1));
  ToolsCmd = MakeAction(this, "ToolsCmd", "&Настройки", "Настройка параметров", "tools", true);
  for (QAction* action :
       {FileOpenCmd, CloseCmd, ExitCmd, CloseAllCmd, SelectAllCmd, CopyCmd, AboutCmd, ToolsCmd}) {
    addAction(action);  // shortcuts work whichever control has the focus
  }

  connect(FileOpenCmd, &QAction::triggered, this, &TMainForm::FileOpenCmdExecute);
  connect(CloseCmd, &QAction::triggered, this, &TMainForm::CloseCmdExecute);
  connect(ExitCmd, &QAction::triggered, this, &TMainForm::ExitCmdExecute);
  connect(CloseAllCmd, &QAction::triggered, this, &TMainForm::CloseAllCmdExecute);
  connect(SelectAllCmd, &QAction::triggered, this, &TMainForm::SelectAllCmdExecute);
  connect(CopyCmd, &QAction::triggered, this, &TMainForm::CopyCmdExecute);
  connect(AboutCmd, &QAction::triggered, this, &TMainForm::AboutCmdExecute);
  connect(ToolsCmd, &QAction::triggered, this, &TMainForm::ToolsCmdExecute);
}

void TMainForm::SetupMenus() {
  QMenu* file = menuBar()->addMenu(QString::fromUtf8("&Файл"));
  file->addAction(FileOpenCmd);
  file->addAction(CloseCmd);
  file->addAction(CloseAllCmd);
  file->addSeparator();
  file->addAction(ExitCmd);
  QMenu* edit = menuBar()->addMenu(QString::fromUtf8("&Правка"));
  edit->addAction(SelectAllCmd);
  edit->addAction(CopyCmd);
  QMenu* service = menuBar()->addMenu(QString::fromUtf8("&Сервис"));
  service->addAction(ToolsCmd);
  QMenu* help = menuBar()->addMenu(QString::fromUtf8("&?"));
  help->addAction(AboutCmd);

  ToolBar1 = addToolBar("ToolBar1");
  ToolBar1->setObjectName("ToolBar1");
  ToolBar1->setMovable(false);
  ToolBar1->setIconSize(QSize(16, 16));
  ToolBar1->addAction(FileOpenCmd);
  ToolBar1->addSeparator();
  ToolBar1->addAction(SelectAllCmd);
  ToolBar1->addAction(CopyCmd);
  ToolBar1->addSeparator();
  ToolBar1->addAction(ToolsCmd);
  ToolBar1->addSeparator();
  for (QAction* action : ToolBar1->actions()) {
    if (QWidget* button = ToolBar1->widgetForAction(action); button && !action->isSeparator()) {
      button->setCursor(Qt::PointingHandCursor);
      button->setFixedHeight(23);
    }
  }
}

void TMainForm::SetPartners(TToolsForm* Tools, TProgressBox* Progress) {
  ToolsForm = Tools;
  ProgressBox = Progress;
}

void TMainForm::FormClose() {
  SaveSession();
}

void TMainForm::closeEvent(QCloseEvent* event) {
  FormClose();
  QMainWindow::closeEvent(event);
}

std::string TMainForm::ProgramFileName() {
  return platform::GetModuleFileName();
}

std::string TMainForm::ProgramFolder() {
  return platform::ExtractFilePath(ProgramFileName());
}

}  // namespace viewer
