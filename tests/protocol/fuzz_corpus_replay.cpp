// Replays the fuzz target's saved inputs as an ordinary test, so that every
// build runs them without a fuzzer: each file of the corpus folder goes
// through the same entry libFuzzer calls. A fault there traps, and the test
// fails.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
  const std::filesystem::path corpus = argc > 1 ? argv[1] : KESTRUM_FUZZ_CORPUS;
  int replayed = 0;
  for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
    std::ifstream file(entry.path(), std::ios::binary);
    const std::vector<std::uint8_t> input((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(input.data(), input.size());
    ++replayed;
  }
  std::printf("replayed %d inputs from %s\n", replayed, corpus.string().c_str());
  return replayed > 0 ? 0 : 1;
}
