#include "platform/KernelObjects.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

#include "platform/PlatformError.h"
#include "tests/support/TempMachine.h"

using namespace platform;
using darvena::test::TTempMachine;

namespace {

constexpr const char* kMarker = "darvena_memfile";

// A process of its own that creates the marker, tells what CreateFileMapping
// reported and then holds the marker until it is told to end (or killed).
class THolderProcess {
 public:
  explicit THolderProcess(const char* name = kMarker) {
    int up[2], down[2];
    if (pipe(up) != 0 || pipe(down) != 0) throw std::runtime_error("pipe");
    pid_ = fork();
    if (pid_ == 0) {
      close(up[0]);
      close(down[1]);
      TCreateMappingResult r = CreateFileMapping(name, 64, kPageReadWrite);
      uint32_t report = r.Handle.Valid() ? r.LastError : 0xFFFFFFFF;
      (void)!write(up[1], &report, sizeof report);
      char c;
      (void)!read(down[0], &c, 1);  // until the parent closes its end
      _exit(0);                     // no destructors: the handle dies with the process
    }
    close(up[1]);
    close(down[0]);
    toChild_ = down[1];
    if (read(up[0], &created_, sizeof created_) != sizeof created_) created_ = 0xFFFFFFFE;
    close(up[0]);
  }
  ~THolderProcess() {
    if (pid_ > 0) Kill();
  }
  // What CreateFileMapping reported in the child.
  [[nodiscard]] uint32_t Created() const { return created_; }
  void EndNormally() {
    close(toChild_);
    Reap();
  }
  void Kill() {
    kill(pid_, SIGKILL);
    close(toChild_);
    Reap();
  }

 private:
  void Reap() {
    int status;
    waitpid(pid_, &status, 0);
    pid_ = -1;
  }
  pid_t pid_ = -1;
  int toChild_ = -1;
  uint32_t created_ = 0;
};

}  // namespace

TEST(KernelObjects, MarkerSeenExactlyWhileItsHolderLives) {
  TTempMachine m;
  EXPECT_FALSE(NamedObjectExists(kMarker));
  THolderProcess holder;
  EXPECT_EQ(holder.Created(), 0u);
  EXPECT_TRUE(NamedObjectExists(kMarker));
  {
    TCreateMappingResult r = CreateFileMapping(kMarker, 64, kPageReadWrite);
    EXPECT_TRUE(r.Handle.Valid());
    EXPECT_EQ(r.LastError, kErrorAlreadyExists);
  }
  EXPECT_TRUE(NamedObjectExists(kMarker));  // closing our handle left the holder's
  holder.Kill();
  EXPECT_FALSE(NamedObjectExists(kMarker));
  TCreateMappingResult again = CreateFileMapping(kMarker, 64, kPageReadWrite);
  EXPECT_EQ(again.LastError, 0u);
  EXPECT_TRUE(std::filesystem::exists(m.Root() / "objects"));
}

TEST(KernelObjects, TwoHoldersShareOneObject) {
  TTempMachine m;
  TCreateMappingResult mine = CreateFileMapping(kMarker, 64, kPageReadWrite);
  ASSERT_TRUE(mine.Handle.Valid());
  EXPECT_EQ(mine.LastError, 0u);
  THolderProcess other;
  EXPECT_EQ(other.Created(), kErrorAlreadyExists);
  mine.Handle.Close();
  EXPECT_TRUE(NamedObjectExists(kMarker));
  other.EndNormally();
  EXPECT_FALSE(NamedObjectExists(kMarker));
}

TEST(KernelObjects, HandlesInOneProcess) {
  TTempMachine m;
  TCreateMappingResult first = CreateFileMapping("Local\\obj", 64, kPageReadWrite);
  EXPECT_EQ(first.LastError, 0u);
  EXPECT_EQ(CreateFileMapping("obj", 64, kPageReadOnly).LastError, kErrorAlreadyExists);
  EXPECT_EQ(CreateFileMapping("Global\\obj", 64, kPageReadWrite).LastError, kErrorAlreadyExists);
  EXPECT_FALSE(NamedObjectExists("OBJ"));  // names are case-sensitive
  TKernelHandle moved = std::move(first.Handle);
  EXPECT_FALSE(first.Handle.Valid());
  EXPECT_TRUE(NamedObjectExists("obj"));
  moved = TKernelHandle();
  EXPECT_FALSE(NamedObjectExists("obj"));

  TCreateMappingResult unnamed = CreateFileMapping("", 64, kPageReadWrite);
  EXPECT_TRUE(unnamed.Handle.Valid());
  EXPECT_EQ(unnamed.LastError, 0u);
  EXPECT_EQ(CreateFileMapping("", 64, kPageReadWrite).LastError, 0u);
  // A name no file system would take as it stands.
  const std::string odd = "../a/b c:\xC4\xE0";
  TCreateMappingResult o = CreateFileMapping(odd, 1, kPageReadWrite);
  EXPECT_EQ(o.LastError, 0u);
  EXPECT_TRUE(NamedObjectExists(odd));
  EXPECT_FALSE(NamedObjectExists("../a/b c:"));
}

TEST(KernelObjects, BadArguments) {
  TTempMachine m;
  struct TCase {
    const char* name;
    uint64_t size;
    uint32_t protect;
    uint32_t error;
  } cases[] = {
      {"x", 0, kPageReadWrite, kErrorInvalidParameter},
      {"x", 64, 0x99, kErrorInvalidParameter},
      {"x", 64, 0, kErrorInvalidParameter},
      {"Session\\x", 64, kPageReadWrite, kErrorPathNotFound},
      {"Global\\a\\b", 64, kPageReadWrite, kErrorPathNotFound},
  };
  for (const auto& c : cases) {
    TCreateMappingResult r = CreateFileMapping(c.name, c.size, c.protect);
    EXPECT_FALSE(r.Handle.Valid()) << c.name;
    EXPECT_EQ(r.LastError, c.error) << c.name;
  }
  EXPECT_FALSE(NamedObjectExists("x"));
}

TEST(KernelObjects, ProcessesCreatingAtOnceSeeOneCreation) {
  TTempMachine m;
  constexpr int kProcesses = 6;
  int go[2], reports[2];
  ASSERT_EQ(pipe(go), 0);
  ASSERT_EQ(pipe(reports), 0);
  std::vector<pid_t> children;
  for (int i = 0; i < kProcesses; ++i) {
    pid_t pid = fork();
    if (pid == 0) {
      close(go[1]);
      char c;
      (void)!read(go[0], &c, 1);  // all start together when the parent closes the pipe
      TCreateMappingResult r = CreateFileMapping(kMarker, 64, kPageReadWrite);
      uint32_t report = r.Handle.Valid() ? r.LastError : 0xFFFFFFFF;
      (void)!write(reports[1], &report, sizeof report);
      pause();  // hold the marker until killed
      _exit(0);
    }
    children.push_back(pid);
  }
  close(go[0]);
  close(go[1]);
  close(reports[1]);
  int created = 0, opened = 0;
  uint32_t report;
  for (int i = 0; i < kProcesses; ++i) {
    ASSERT_EQ(read(reports[0], &report, sizeof report), ssize_t(sizeof report));
    created += report == 0;
    opened += report == kErrorAlreadyExists;
  }
  close(reports[0]);
  EXPECT_EQ(created, 1);
  EXPECT_EQ(opened, kProcesses - 1);
  EXPECT_TRUE(NamedObjectExists(kMarker));
  for (pid_t pid : children) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
  }
  EXPECT_FALSE(NamedObjectExists(kMarker));
}
