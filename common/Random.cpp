#include "common/Random.h"

#include <unistd.h>

#include <chrono>
#include <random>

namespace darvena {
namespace {

// The program's one generator, as the runtime of a Windows program keeps its seed.
std::mt19937& Generator() {
  static std::mt19937 generator;
  return generator;
}

}  // namespace

void Randomize() {
  const auto now = std::chrono::high_resolution_clock::now().time_since_epoch().count();
  // The process id keeps programs started in the same instant apart.
  std::seed_seq seed{static_cast<uint32_t>(now), static_cast<uint32_t>(now >> 32),
                     static_cast<uint32_t>(getpid())};
  Generator().seed(seed);
}

int32_t Random(int32_t range) {
  if (range <= 0) return 0;
  return std::uniform_int_distribution<int32_t>(0, range - 1)(Generator());
}

}  // namespace darvena
