// A window is the folder <machine>/windows/<number>/ holding its class name in the
// file "class" and its queue, the named pipe "queue", which the owning process
// keeps open for reading. A pipe with no reader refuses writers, so a window whose
// process has ended shows itself dead to the first process that tries to open its
// queue, and that process removes it. Registering and finding happen under
// <machine>/windows/lock; window numbers come from <machine>/windows/next. Only
// registering provisions the machine: on a machine that is not there yet, no window
// can be found.
#include "platform/WindowClasses.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <climits>
#include <cstring>
#include <fstream>
#include <system_error>

#include "platform/CodePage.h"
#include "platform/FolderLock.h"
#include "platform/Machine.h"
#include "platform/PlatformError.h"

namespace platform {
namespace {

constexpr uint64_t kFirstWindow = 0x10000;

// One queued message as it travels through the pipe; writes of this size are
// atomic, so messages never interleave.
struct TWireMessage {
  uint64_t Window;
  uint32_t Message;
  uint32_t Reserved;
  uint64_t WParam;
  int64_t LParam;
};
static_assert(sizeof(TWireMessage) == 32 && sizeof(TWireMessage) <= PIPE_BUF);

std::filesystem::path WindowsFolder() {
  return MachineRoot() / "windows";
}

std::filesystem::path WindowFolder(HWND window) {
  return WindowsFolder() / std::to_string(static_cast<uint64_t>(window));
}

std::string ReadSmallFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Opens a window's queue for posting; -1 with errno ENXIO when nobody reads it.
TPosixFd OpenQueueForPosting(const std::filesystem::path& folder) {
  return TPosixFd(::open((folder / "queue").c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC));
}

// Whether the window in Folder belongs to a live process; a dead one is removed
// when Clean is set (only with the windows lock held).
bool WindowAlive(const std::filesystem::path& folder, bool clean) {
  TPosixFd fd = OpenQueueForPosting(folder);
  if (fd.Valid()) return true;
  if (clean && (errno == ENXIO || errno == ENOENT)) {
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
  }
  return false;
}

// The next window number of the machine. Call with the windows lock held.
uint64_t NextWindowNumber(const std::filesystem::path& counterFile) {
  std::string text = ReadSmallFile(counterFile);
  uint64_t next = kFirstWindow;
  std::from_chars(text.data(), text.data() + text.size(), next);
  if (next < kFirstWindow) next = kFirstWindow;
  std::string after = std::to_string(next + 1);
  std::string temp = counterFile.string() + ".new";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out << after;
    if (!out) throw EPlatformError(kErrorAccessDenied, "Cannot register a window");
  }
  if (::rename(temp.c_str(), counterFile.c_str()) != 0)
    throw EPlatformError(kErrorAccessDenied, "Cannot register a window");
  return next;
}

// Writes one message with SIGPIPE held off, so that a reader that vanishes after
// the queue was opened makes the write fail instead of killing this process.
ssize_t WriteWithoutSigpipe(int fd, const void* data, size_t size) {
  sigset_t pipeSet, old;
  sigemptyset(&pipeSet);
  sigaddset(&pipeSet, SIGPIPE);
  bool wasPending = false;
  sigset_t pending;
  if (sigpending(&pending) == 0) wasPending = sigismember(&pending, SIGPIPE) == 1;
  pthread_sigmask(SIG_BLOCK, &pipeSet, &old);
  ssize_t n;
  do {
    n = ::write(fd, data, size);
  } while (n < 0 && errno == EINTR);
  int saved = errno;
  if (n < 0 && saved == EPIPE && !wasPending) {
    struct timespec zero {};
    sigtimedwait(&pipeSet, nullptr, &zero);  // take back the signal this write raised
  }
  pthread_sigmask(SIG_SETMASK, &old, nullptr);
  errno = saved;
  return n;
}

}  // namespace

TTopLevelWindow::TTopLevelWindow(std::string_view className) : className_(className) {
  if (className.empty())
    throw EPlatformError(kErrorInvalidParameter, "A window class needs a name");
  ProvisionMachine();
  std::filesystem::path root = WindowsFolder();
  std::error_code ec;
  std::filesystem::create_directories(root, ec);
  TFolderLock lock(root / "lock");
  if (!lock.Held()) throw EPlatformError(kErrorAccessDenied, "Cannot register a window");

  uint64_t number = NextWindowNumber(root / "next");
  std::filesystem::path folder = root / std::to_string(number);
  if (!std::filesystem::create_directory(folder, ec) || ec)
    throw EPlatformError(kErrorAccessDenied, "Cannot register a window");
  {
    std::ofstream out(folder / "class", std::ios::binary | std::ios::trunc);
    out << className_;
    if (!out) {
      std::filesystem::remove_all(folder, ec);
      throw EPlatformError(kErrorAccessDenied, "Cannot register a window");
    }
  }
  std::filesystem::path queue = folder / "queue";
  if (::mkfifo(queue.c_str(), 0600) == 0)
    queue_ = TPosixFd(::open(queue.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC));
  if (!queue_.Valid()) {
    std::filesystem::remove_all(folder, ec);
    throw EPlatformError(kErrorAccessDenied, "Cannot register a window");
  }
  hwnd_ = HWND{number};
  folder_ = folder;
}

TTopLevelWindow::~TTopLevelWindow() {
  TFolderLock lock(folder_.parent_path() / "lock");
  std::error_code ec;
  std::filesystem::remove_all(folder_, ec);
  queue_.Reset();
}

size_t TTopLevelWindow::DrainMessages() {
  char buffer[64 * sizeof(TWireMessage)];
  while (true) {
    ssize_t n = ::read(queue_.Get(), buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    partial_.append(buffer, static_cast<size_t>(n));
  }
  std::vector<TWindowMessage> messages;
  size_t whole = partial_.size() / sizeof(TWireMessage);
  for (size_t i = 0; i < whole; ++i) {
    TWireMessage wire;
    std::memcpy(&wire, partial_.data() + i * sizeof wire, sizeof wire);
    messages.push_back({hwnd_, wire.Message, wire.WParam, wire.LParam});
  }
  partial_.erase(0, whole * sizeof(TWireMessage));
  if (handler_)
    for (const TWindowMessage& m : messages)
      handler_(m);
  return messages.size();
}

bool TTopLevelWindow::WaitMessage(int timeoutMs) const {
  if (partial_.size() >= sizeof(TWireMessage)) return true;
  struct pollfd p {
    queue_.Get(), POLLIN, 0
  };
  int rc;
  do {
    rc = ::poll(&p, 1, timeoutMs);
  } while (rc < 0 && errno == EINTR);
  return rc > 0 && (p.revents & POLLIN);
}

HWND FindWindow(std::string_view className) {
  std::filesystem::path root = WindowsFolder();
  std::error_code ec;
  if (!std::filesystem::is_directory(root, ec)) return HWND{};
  TFolderLock lock(root / "lock");
  uint64_t best = 0;
  for (std::filesystem::directory_iterator it(root, ec), last; !ec && it != last;
       it.increment(ec)) {
    const std::filesystem::directory_entry& entry = *it;
    std::error_code kindError;
    std::string name = entry.path().filename().string();
    uint64_t number = 0;
    auto [end, err] = std::from_chars(name.data(), name.data() + name.size(), number);
    if (err != std::errc() || end != name.data() + name.size() || !entry.is_directory(kindError))
      continue;
    if (!WindowAlive(entry.path(), lock.Held())) continue;
    if (number > best && AnsiSameText(ReadSmallFile(entry.path() / "class"), className))
      best = number;
  }
  return HWND{best};
}

bool IsWindow(HWND window) {
  return window != HWND{} && WindowAlive(WindowFolder(window), false);
}

bool PostMessage(HWND window, uint32_t message, uint64_t wParam, int64_t lParam,
                 uint32_t* lastError) {
  uint32_t error = 0;
  TPosixFd queue;
  if (window != HWND{}) queue = OpenQueueForPosting(WindowFolder(window));
  if (!queue.Valid()) {
    error = kErrorInvalidWindowHandle;
  } else {
    TWireMessage wire{static_cast<uint64_t>(window), message, 0, wParam, lParam};
    ssize_t n = WriteWithoutSigpipe(queue.Get(), &wire, sizeof wire);
    if (n != static_cast<ssize_t>(sizeof wire))
      error = (n < 0 && errno == EAGAIN) ? kErrorNotEnoughQuota : kErrorInvalidWindowHandle;
  }
  if (lastError) *lastError = error;
  return error == 0;
}

}  // namespace platform
