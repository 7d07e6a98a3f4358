// The real program Darvena.exe as other processes of the machine see it: its running
// marker, its window that takes WM_QUIT, and its refusal to run from a damaged file.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/CodePage.h"
#include "platform/KernelObjects.h"
#include "platform/Registry.h"
#include "platform/WindowClasses.h"
#include "tests/support/MessageBoxTranscript.h"
#include "tests/support/TempMachine.h"

extern char** environ;

namespace {

using namespace std::chrono_literals;
using darvena::test::TTempMachine;

constexpr const char* kMarker = "darvena_memfile";
const std::string kProductKey = "\\Software\\Vel\\Darvena";

// Waits until Done() holds, up to Limit; true when it did.
template <typename TDone>
bool WaitFor(TDone Done, std::chrono::milliseconds Limit = 20s) {
  const auto end = std::chrono::steady_clock::now() + Limit;
  while (!Done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(20ms);
  }
  return true;
}

// One run of the program, with the test's machine, message boxes and environment.
class TViewerProcess {
 public:
  TViewerProcess(const std::filesystem::path& program, const std::vector<std::string>& parameters,
                 const std::filesystem::path& folder) {
    std::vector<std::string> args{program.string()};
    args.insert(args.end(), parameters.begin(), parameters.end());
    std::vector<char*> argv;
    for (std::string& a : args)
      argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) pid_ = 0;
    posix_spawn_file_actions_destroy(&actions);
  }
  ~TViewerProcess() {
    if (pid_ > 0 && !ended_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  TViewerProcess(const TViewerProcess&) = delete;
  TViewerProcess& operator=(const TViewerProcess&) = delete;

  [[nodiscard]] bool Started() const { return pid_ > 0; }

  // Whether the process has ended, within the limit; its exit code then in ExitCode.
  bool Ended(std::chrono::milliseconds Limit = 20s) {
    return WaitFor(
        [this] {
          if (ended_) return true;
          int status = 0;
          if (waitpid(pid_, &status, WNOHANG) != pid_) return false;
          ended_ = true;
          exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
          return true;
        },
        Limit);
  }
  [[nodiscard]] int ExitCode() const { return exitCode_; }

 private:
  pid_t pid_ = 0;
  bool ended_ = false;
  int exitCode_ = -1;
};

class TProgramTest : public testing::Test {
 protected:
  TProgramTest() : Work(Machine.DriveC() / "Work") {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    std::filesystem::create_directories(Work);
  }

  // The main window of a viewer started after the window Other, once it is there.
  static platform::HWND WaitForWindow(platform::HWND Other = {}) {
    platform::HWND found{};
    WaitFor([&] {
      found = platform::FindWindow("TMainForm");
      return found != platform::HWND{} && found != Other;
    });
    return found == Other ? platform::HWND{} : found;
  }

  TTempMachine Machine;
  darvena::test::TScriptedMessageBoxes Boxes;
  std::filesystem::path Work;
};

TEST_F(TProgramTest, MarkerExistsExactlyWhileViewersRunAndTheyShareIt) {
  EXPECT_FALSE(platform::NamedObjectExists(kMarker));
  TViewerProcess first(DARVENA_EXE, {}, Work);
  ASSERT_TRUE(first.Started());
  const platform::HWND firstWindow = WaitForWindow();
  ASSERT_NE(firstWindow, platform::HWND{});
  {
    // What setup and uninstall do to learn that a viewer runs.
    const platform::TCreateMappingResult probe =
        platform::CreateFileMapping(kMarker, 64, platform::kPageReadWrite);
    EXPECT_EQ(probe.LastError, 183u);
  }

  TViewerProcess second(DARVENA_EXE, {}, Work);
  const platform::HWND secondWindow = WaitForWindow(firstWindow);
  ASSERT_NE(secondWindow, platform::HWND{});
  ASSERT_TRUE(platform::PostMessage(secondWindow, platform::WM_QUIT, 0, 0));
  ASSERT_TRUE(second.Ended());
  EXPECT_EQ(second.ExitCode(), 0);
  EXPECT_TRUE(platform::NamedObjectExists(kMarker));  // the first still holds it
  EXPECT_FALSE(first.Ended(0ms));

  ASSERT_TRUE(platform::PostMessage(firstWindow, platform::WM_QUIT, 0, 0));
  ASSERT_TRUE(first.Ended());
  EXPECT_EQ(first.ExitCode(), 0);
  EXPECT_FALSE(platform::NamedObjectExists(kMarker));
  const platform::TCreateMappingResult after =
      platform::CreateFileMapping(kMarker, 64, platform::kPageReadWrite);
  EXPECT_EQ(after.LastError, 0u);
}

TEST_F(TProgramTest, QuitMessageEndsTheViewerWithoutSavingTheSession) {
  {
    platform::TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(kProductKey, true));
    reg.WriteString("FileName1", "old.txt");
    reg.WriteBool("BlockFilter1", true);
    reg.WriteBool("WordWrap1", true);
    reg.WriteInteger("OpenFileNumber", 1);
  }
  darvena::test::WriteFileBytes(Work / "a.txt", "alpha\r\n");
  TViewerProcess viewer(DARVENA_EXE, {"a.txt", "missing.txt"}, Work);
  const platform::HWND window = WaitForWindow();
  ASSERT_NE(window, platform::HWND{});
  // The box about the missing file comes after a.txt has opened.
  ASSERT_TRUE(WaitFor([&] { return !Boxes.Boxes().empty(); }));
  EXPECT_EQ(Boxes.Boxes()[0].Text,
            platform::Utf8ToAnsi("Файл missing.txt, указанный в командной строке, не найден."));

  ASSERT_TRUE(platform::PostMessage(window, platform::WM_QUIT, 0, 0));
  ASSERT_TRUE(viewer.Ended());
  EXPECT_EQ(viewer.ExitCode(), 0);

  platform::TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(kProductKey, false));
  EXPECT_EQ(reg.ReadString("FileName1"), "old.txt");
  EXPECT_EQ(reg.ReadInteger("OpenFileNumber"), 1);
  EXPECT_FALSE(reg.ValueExists("FileName2"));
}

TEST_F(TProgramTest, ACopyWithOneByteChangedRefusesToStart) {
  const std::filesystem::path folder = Machine.Root() / "copy";
  std::filesystem::create_directories(folder);
  const std::filesystem::path intact = folder / "Darvena.exe";
  const std::filesystem::path damaged = folder / "Damaged.exe";
  std::filesystem::copy_file(DARVENA_EXE, intact);
  std::filesystem::copy_file(DARVENA_EXE, damaged);
  {
    std::fstream file(damaged, std::ios::in | std::ios::out | std::ios::binary);
    const auto middle = static_cast<std::streamoff>(std::filesystem::file_size(damaged) / 2);
    file.seekg(middle);
    const char byte = static_cast<char>(file.get());
    file.seekp(middle);
    file.put(static_cast<char>(byte ^ 0x01));
  }

  {
    // The copy as built starts and shows its window.
    TViewerProcess good(intact, {}, Work);
    const platform::HWND window = WaitForWindow();
    ASSERT_NE(window, platform::HWND{});
    ASSERT_TRUE(platform::PostMessage(window, platform::WM_QUIT, 0, 0));
    ASSERT_TRUE(good.Ended());
  }

  TViewerProcess bad(damaged, {}, Work);
  ASSERT_TRUE(bad.Started());
  ASSERT_TRUE(bad.Ended());
  EXPECT_EQ(bad.ExitCode(), 0);
  EXPECT_EQ(platform::FindWindow("TMainForm"), platform::HWND{});
  EXPECT_TRUE(Boxes.Boxes().empty());
}

}  // namespace
