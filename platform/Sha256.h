// TSha256 computes a SHA-256 digest of bytes fed piece by piece (OpenSSL).
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace platform {

class TSha256 {
 public:
  // Throws EPlatformError when the digest is not available.
  TSha256();
  ~TSha256();
  TSha256(const TSha256&) = delete;
  TSha256& operator=(const TSha256&) = delete;

  void Update(std::string_view bytes);
  // The 32-byte digest of everything fed so far; the object is spent afterwards.
  [[nodiscard]] std::string Final();

 private:
  struct TState;
  std::unique_ptr<TState> state_;
};

// The SHA-256 digest of Bytes (32 bytes).
[[nodiscard]] std::string Sha256(std::string_view bytes);

}  // namespace platform
