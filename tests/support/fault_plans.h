#pragma once

// Short names for the fault plans the tests arm: each fails one kind of file call.

#include <cstdint>
#include <string>

#include "platform/fault_plan.h"

namespace test_faults {

// Writes fail with "no space left" once `bytes` have been written.
inline platform::faults::Plan FullDiskAfter(std::int64_t bytes) {
  platform::faults::Plan plan;
  plan.write_budget = bytes;
  return plan;
}

// Reads fail with an input/output error once `bytes` have been read.
inline platform::faults::Plan ReadErrorAfter(std::int64_t bytes) {
  platform::faults::Plan plan;
  plan.read_budget = bytes;
  return plan;
}

// Opening, creating or renaming a path that ends in `tail` is refused.
inline platform::faults::Plan Refuse(const std::string& tail) {
  platform::faults::Plan plan;
  plan.refuse = tail;
  return plan;
}

// A path that ends in `tail` disappears between its check and its use.
inline platform::faults::Plan Vanish(const std::string& tail) {
  platform::faults::Plan plan;
  plan.vanish = tail;
  return plan;
}

}  // namespace test_faults
