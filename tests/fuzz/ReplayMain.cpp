// Runs a fuzz target without libFuzzer, the same on every run, so that the ordinary test
// build (any compiler, with the sanitizers) exercises it:
//
//   replay RUNS              RUNS pseudo-random inputs of up to 160 bytes
//   replay RUNS DIR...       every file in the DIRs as it is, then RUNS copies of them with a
//                            few bytes changed, a 32-bit field set to an edge value, or cut short
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size);

namespace {

using TBytes = std::vector<uint8_t>;

std::vector<TBytes> ReadCorpus(int Count, char** Dirs) {
  std::vector<std::filesystem::path> paths;
  for (int i = 0; i < Count; ++i) {
    for (const auto& entry : std::filesystem::directory_iterator(Dirs[i])) {
      paths.push_back(entry.path());
    }
  }
  std::sort(paths.begin(), paths.end());
  std::vector<TBytes> corpus;
  for (const auto& path : paths) {
    std::ifstream in(path, std::ios::binary);
    corpus.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  return corpus;
}

// One to four changes: a byte set at random, a 32-bit field set to an edge value, or the file
// cut short. Headers sit at the start of a file, so half the changes land in its first 64 bytes.
void Mutate(TBytes& Input, std::mt19937& Random) {
  constexpr uint32_t kEdges[] = {0,     1,          0x7FFF,     0x8000,    0xFFFF,
                                 30000, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF};
  for (uint32_t change = Random() % 4; change < 4 && Input.size() >= 4; ++change) {
    const size_t span = Random() % 2 != 0 ? std::min<size_t>(Input.size(), 64) : Input.size();
    const size_t at = Random() % (span - 3);
    const uint32_t kind = Random() % 3;
    if (kind == 2) {
      Input.resize(Random() % Input.size());
      continue;
    }
    const uint32_t value = kind == 0 ? Random() : kEdges[Random() % std::size(kEdges)];
    for (size_t i = 0; i < (kind == 0 ? 1U : 4U); ++i) {
      Input[at + i] = static_cast<uint8_t>(value >> 8 * i);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  const long runs = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 10000;
  const std::vector<TBytes> corpus = ReadCorpus(argc > 2 ? argc - 2 : 0, argv + 2);
  for (const TBytes& input : corpus) {
    LLVMFuzzerTestOneInput(input.data(), input.size());
  }
  std::mt19937 random(20261206);
  TBytes input;
  for (long run = 0; run < runs; ++run) {
    if (corpus.empty()) {
      input.resize(random() % 160);
      for (uint8_t& byte : input) {
        byte = static_cast<uint8_t>(random());
      }
    } else {
      input = corpus[random() % corpus.size()];
      Mutate(input, random);
    }
    LLVMFuzzerTestOneInput(input.data(), input.size());
  }
  std::printf("%zu files and %ld inputs run\n", corpus.size(), runs);
  return 0;
}
