// The program's pseudo-random generator: one per program, seeded from the clock at
// start-up (Randomize), used where a program needs names nobody can guess.
#pragma once

#include <cstdint>

namespace darvena {

// Seeds the generator from the clock.
void Randomize();

// A number from 0 to range - 1 (0 when range is not positive).
[[nodiscard]] int32_t Random(int32_t range);

}  // namespace darvena
