#include "platform/Sha256.h"

#include <openssl/evp.h>

#include "platform/PlatformError.h"

namespace platform {

struct TSha256::TState {
  EVP_MD_CTX* Ctx = nullptr;
  ~TState() { EVP_MD_CTX_free(Ctx); }
};

TSha256::TSha256() : state_(std::make_unique<TState>()) {
  state_->Ctx = EVP_MD_CTX_new();
  if (!state_->Ctx || EVP_DigestInit_ex(state_->Ctx, EVP_sha256(), nullptr) != 1)
    throw EPlatformError(kErrorNotEnoughMemory, "SHA-256 is not available");
}

TSha256::~TSha256() = default;

void TSha256::Update(std::string_view bytes) {
  if (EVP_DigestUpdate(state_->Ctx, bytes.data(), bytes.size()) != 1)
    throw EPlatformError(kErrorInvalidData, "SHA-256 failed");
}

std::string TSha256::Final() {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  if (EVP_DigestFinal_ex(state_->Ctx, digest, &size) != 1 || size != 32)
    throw EPlatformError(kErrorInvalidData, "SHA-256 failed");
  return std::string(reinterpret_cast<const char*>(digest), size);
}

std::string Sha256(std::string_view bytes) {
  TSha256 sha;
  sha.Update(bytes);
  return sha.Final();
}

}  // namespace platform
