#pragma once

// Sixty-four random bits from the system, for ids that records written by other windows and
// other instances of the program into the same file must not share, as far as chance goes.

#include <cstdint>
#include <random>

namespace platform {

inline std::uint64_t RandomId() {
  std::random_device random;
  return (std::uint64_t{random()} << 32) ^ random();
}

}  // namespace platform
