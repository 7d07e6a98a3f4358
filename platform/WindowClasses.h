// Top-level windows that other processes of the machine can find by their window
// class name and post messages to (FindWindow, PostMessage).
//
// A process registers a window with TTopLevelWindow. Messages posted to it wait in
// a queue until the process drains them on its own thread, which hands each to the
// handler it set. The queue's descriptor becomes readable when messages wait, so an
// event loop can watch it (a Qt program with a QSocketNotifier) and drain on each
// wake-up; a program without an event loop calls WaitMessage.
//
// The windows live under <machine>/windows/, one folder each; a window whose process
// has ended, killed or not, is never found.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/PosixFd.h"

namespace platform {

// A window handle, the same number in every process of the machine; HWND{} is
// none.
enum class HWND : uint64_t {};

inline constexpr uint32_t WM_CLOSE = 0x0010;
inline constexpr uint32_t WM_QUIT = 0x0012;
inline constexpr uint32_t WM_USER = 0x0400;

inline constexpr uint32_t kErrorInvalidWindowHandle = 1400;
inline constexpr uint32_t kErrorNotEnoughQuota = 1816;

struct TWindowMessage {
  HWND Window{};
  uint32_t Message = 0;
  uint64_t WParam = 0;
  int64_t LParam = 0;
};

class TTopLevelWindow {
 public:
  using THandler = std::function<void(const TWindowMessage&)>;

  // Registers a top-level window of the class ClassName (Windows-1251; compared
  // without regard to case) for this process. Throws EPlatformError with
  // kErrorInvalidParameter for an empty class name and kErrorAccessDenied when the
  // machine cannot keep the window.
  explicit TTopLevelWindow(std::string_view className);
  // Unregisters the window; messages still waiting are dropped.
  ~TTopLevelWindow();
  TTopLevelWindow(const TTopLevelWindow&) = delete;
  TTopLevelWindow& operator=(const TTopLevelWindow&) = delete;

  [[nodiscard]] HWND Handle() const { return hwnd_; }
  [[nodiscard]] const std::string& ClassName() const { return className_; }

  // The descriptor that is readable while messages wait.
  [[nodiscard]] int MessageFd() const { return queue_.Get(); }
  // The handler messages go to; without one, drained messages are dropped.
  void SetMessageHandler(THandler handler) { handler_ = std::move(handler); }
  // Hands every message waiting now to the handler, in the order they were posted,
  // and returns how many there were. The handler must not destroy the window.
  size_t DrainMessages();
  // Waits up to TimeoutMs milliseconds (-1: without limit) for a message; true
  // when one waits.
  [[nodiscard]] bool WaitMessage(int timeoutMs) const;

 private:
  HWND hwnd_{};
  std::string className_;
  std::filesystem::path folder_;
  TPosixFd queue_;
  THandler handler_;
  std::string partial_;
};

// The window of that class (without regard to case) registered most recently by a
// live process of the machine, or HWND{} when there is none.
[[nodiscard]] HWND FindWindow(std::string_view className);

// Whether Window is a window of a live process.
[[nodiscard]] bool IsWindow(HWND window);

// Puts a message in the window's queue and returns at once. False when there is no
// such window (kErrorInvalidWindowHandle) or its queue is full (kErrorNotEnoughQuota);
// LastError, when given, receives the code (0 on success).
bool PostMessage(HWND window, uint32_t message, uint64_t wParam, int64_t lParam,
                 uint32_t* lastError = nullptr);

}  // namespace platform
