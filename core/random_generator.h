// The runtime library's 15-bit linear congruential generator. Header-only
// and free of the interpreter, so that the companion programs draw the
// same sequences as the language's rand().
#pragma once

#include <cstdint>

namespace vop {

// An object rather than hidden state: the thread that runs scripts owns
// one, so runs on different threads never share a sequence.
class RandomGenerator {
 public:
  // The state a new thread starts from.
  static constexpr uint32_t kInitialState = 1;
  // Outputs lie in 0 .. kMaxOutput.
  static constexpr int kMaxOutput = 0x7FFF;

  // Advance and return the next output: bits 16 to 30 of the new state.
  int next() {
    state_ = state_ * 214013u + 2531011u;
    return int((state_ >> 16) & kMaxOutput);
  }
  void seed(uint32_t s) { state_ = s; }
  uint32_t state() const { return state_; }

 private:
  uint32_t state_ = kInitialState;  // wraps modulo 2^32
};

}  // namespace vop
