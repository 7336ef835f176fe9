// Runs the fuzz target without libFuzzer: a fixed stream of pseudo-random inputs, the same on
// every run, so that the ordinary test build (any compiler, with the sanitizers) exercises it.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size);

int main(int argc, char** argv) {
  const long runs = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 10000;
  std::mt19937 random(20261206);
  std::vector<uint8_t> input;
  for (long run = 0; run < runs; ++run) {
    input.resize(random() % 160);
    for (uint8_t& byte : input) {
      byte = static_cast<uint8_t>(random());
    }
    LLVMFuzzerTestOneInput(input.data(), input.size());
  }
  std::printf("%ld inputs run\n", runs);
  return 0;
}
