#include "platform/WindowClasses.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "platform/KernelObjects.h"
#include "platform/PlatformError.h"
#include "tests/support/TempMachine.h"

using namespace platform;
using darvena::test::TTempMachine;

namespace {

// A process of its own with one window of class "TMainForm" that runs a message loop
// until WM_QUIT. Its exit code tells what it received: 0 when a WM_USER (7, -9) came
// before a WM_QUIT (0, 0), 1 for anything else.
class TWindowProcess {
 public:
  TWindowProcess() {
    int up[2];
    if (pipe(up) != 0) throw std::runtime_error("pipe");
    pid_ = fork();
    if (pid_ == 0) {
      close(up[0]);
      int code = 1;
      {
        TTopLevelWindow window("TMainForm");
        bool sawUser = false, quit = false;
        window.SetMessageHandler([&](const TWindowMessage& m) {
          if (m.Message == WM_USER && m.WParam == 7 && m.LParam == -9 &&
              m.Window == window.Handle())
            sawUser = true;
          if (m.Message == WM_QUIT) {
            quit = true;
            code = (sawUser && m.WParam == 0 && m.LParam == 0) ? 0 : 1;
          }
        });
        HWND hwnd = window.Handle();
        (void)!write(up[1], &hwnd, sizeof hwnd);
        while (!quit)
          if (window.WaitMessage(-1)) window.DrainMessages();
      }
      _exit(code);
    }
    close(up[1]);
    if (read(up[0], &hwnd_, sizeof hwnd_) != sizeof hwnd_) hwnd_ = HWND{};
    close(up[0]);
  }
  ~TWindowProcess() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      Wait();
    }
  }
  [[nodiscard]] HWND Hwnd() const { return hwnd_; }
  void Kill() {
    kill(pid_, SIGKILL);
    Wait();
  }
  // The exit code, or -1 when the process did not exit by itself.
  int Wait() {
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

 private:
  pid_t pid_ = -1;
  HWND hwnd_{};
};

}  // namespace

TEST(WindowClasses, QuitPostedFromAnotherProcess) {
  TTempMachine m;
  EXPECT_EQ(FindWindow("TMainForm"), HWND{});
  TWindowProcess viewer;
  ASSERT_NE(viewer.Hwnd(), HWND{});
  EXPECT_EQ(FindWindow("tmainform"), viewer.Hwnd());
  EXPECT_EQ(FindWindow("TMainForm2"), HWND{});
  EXPECT_TRUE(IsWindow(viewer.Hwnd()));
  uint32_t error = 99;
  EXPECT_TRUE(PostMessage(viewer.Hwnd(), WM_USER, 7, -9, &error));
  EXPECT_EQ(error, 0u);
  EXPECT_TRUE(PostMessage(FindWindow("TMainForm"), WM_QUIT, 0, 0));
  EXPECT_EQ(viewer.Wait(), 0);
  EXPECT_EQ(FindWindow("TMainForm"), HWND{});
  EXPECT_FALSE(IsWindow(viewer.Hwnd()));
}

TEST(WindowClasses, WindowOfAKilledProcessIsNotFound) {
  TTempMachine m;
  TWindowProcess viewer;
  HWND hwnd = viewer.Hwnd();
  ASSERT_EQ(FindWindow("TMainForm"), hwnd);
  viewer.Kill();
  EXPECT_FALSE(IsWindow(hwnd));
  uint32_t error = 0;
  EXPECT_FALSE(PostMessage(hwnd, WM_QUIT, 0, 0, &error));
  EXPECT_EQ(error, kErrorInvalidWindowHandle);
  EXPECT_EQ(FindWindow("TMainForm"), HWND{});
  // Finding cleared away what the killed process left.
  EXPECT_FALSE(
      std::filesystem::exists(m.Root() / "windows" / std::to_string(static_cast<uint64_t>(hwnd))));
}

TEST(WindowClasses, WindowsOfOneProcess) {
  TTempMachine m;
  EXPECT_THROW(TTopLevelWindow(""), EPlatformError);
  std::vector<TWindowMessage> got;
  auto older = std::make_unique<TTopLevelWindow>("TMainForm");
  HWND newerHwnd{};
  {
    TTopLevelWindow newer("TMAINFORM");
    newerHwnd = newer.Handle();
    EXPECT_NE(newerHwnd, older->Handle());
    EXPECT_EQ(FindWindow("TMainForm"), newerHwnd);  // the one registered last
    newer.SetMessageHandler([&](const TWindowMessage& msg) { got.push_back(msg); });
    EXPECT_FALSE(newer.WaitMessage(0));
    EXPECT_EQ(newer.DrainMessages(), 0u);
    for (uint32_t i = 0; i < 100; ++i)
      ASSERT_TRUE(PostMessage(newerHwnd, WM_USER + i, i, -int64_t(i)));
    EXPECT_TRUE(newer.WaitMessage(0));
    EXPECT_EQ(newer.DrainMessages(), 100u);
    EXPECT_FALSE(newer.WaitMessage(0));
  }
  ASSERT_EQ(got.size(), 100u);
  for (uint32_t i = 0; i < 100; ++i) {
    EXPECT_EQ(got[i].Message, WM_USER + i);
    EXPECT_EQ(got[i].WParam, i);
    EXPECT_EQ(got[i].LParam, -int64_t(i));
  }
  EXPECT_EQ(FindWindow("TMainForm"), older->Handle());
  EXPECT_FALSE(PostMessage(newerHwnd, WM_QUIT, 0, 0));
  older.reset();
  EXPECT_EQ(FindWindow("TMainForm"), HWND{});
  EXPECT_FALSE(PostMessage(HWND{}, WM_QUIT, 0, 0));
}

TEST(WindowClasses, AFullQueueRefusesMoreMessages) {
  TTempMachine m;
  TTopLevelWindow window("TMainForm");
  uint32_t error = 0;
  size_t posted = 0;
  while (PostMessage(window.Handle(), WM_USER, posted, 0, &error))
    ++posted;
  EXPECT_EQ(error, kErrorNotEnoughQuota);
  EXPECT_GT(posted, 100u);
  size_t drained = 0;
  uint64_t expected = 0;
  bool inOrder = true;
  window.SetMessageHandler(
      [&](const TWindowMessage& msg) { inOrder = inOrder && msg.WParam == expected++; });
  while (window.WaitMessage(0))
    drained += window.DrainMessages();
  EXPECT_EQ(drained, posted);
  EXPECT_TRUE(inOrder);
  EXPECT_TRUE(PostMessage(window.Handle(), WM_QUIT, 0, 0));
}

TEST(WindowClasses, ProgramsStartedByTheOwnerInheritNeitherWindowNorMarker) {
  TTempMachine m;
  int up[2];
  ASSERT_EQ(pipe(up), 0);
  pid_t owner = fork();
  if (owner == 0) {
    close(up[0]);
    TCreateMappingResult marker = CreateFileMapping("darvena_memfile", 64, kPageReadWrite);
    TTopLevelWindow window("TMainForm");
    // The pipe closes in the started program when its exec succeeds; until then it
    // is still a copy of the owner, holding what the owner holds.
    int execed[2];
    if (pipe2(execed, O_CLOEXEC) != 0) _exit(1);
    pid_t started = fork();
    if (started == 0) {
      execl("/bin/sleep", "sleep", "30", static_cast<char*>(nullptr));
      _exit(127);
    }
    close(execed[1]);
    char byte;
    while (read(execed[0], &byte, 1) > 0) {
    }
    (void)!write(up[1], &started, sizeof started);
    pause();
    _exit(0);
  }
  close(up[1]);
  pid_t started = -1;
  ASSERT_EQ(read(up[0], &started, sizeof started), ssize_t(sizeof started));
  close(up[0]);
  EXPECT_NE(FindWindow("TMainForm"), HWND{});
  EXPECT_TRUE(NamedObjectExists("darvena_memfile"));
  kill(owner, SIGKILL);
  waitpid(owner, nullptr, 0);
  // The started program still runs, and holds nothing of its starter's.
  EXPECT_EQ(kill(started, 0), 0);
  EXPECT_EQ(FindWindow("TMainForm"), HWND{});
  EXPECT_FALSE(NamedObjectExists("darvena_memfile"));
  kill(started, SIGKILL);
  waitpid(started, nullptr, 0);
}
