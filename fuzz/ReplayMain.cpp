// Runs a fuzz target without libFuzzer: every file of the given folders (the
// seed corpus and past crashes), then a fixed series of pseudo-random inputs.
// A target reports a broken property by aborting, which fails the test.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
  std::size_t arquivos = 0;
  for (int i = 1; i < argc; ++i) {
    std::error_code erro;
    for (const auto& e : std::filesystem::recursive_directory_iterator(argv[i], erro)) {
      if (!e.is_regular_file()) continue;
      std::ifstream f(e.path(), std::ios::binary);
      std::vector<uint8_t> dados((std::istreambuf_iterator<char>(f)), {});
      LLVMFuzzerTestOneInput(dados.data(), dados.size());
      ++arquivos;
    }
  }
  std::mt19937 rng(20261206);
  for (int n = 0; n < 3000; ++n) {
    std::vector<uint8_t> dados(rng() % (n < 2000 ? 64 : 2048));
    for (auto& b : dados) b = static_cast<uint8_t>(rng());
    LLVMFuzzerTestOneInput(dados.data(), dados.size());
  }
  std::printf("%zu corpus files and 3000 random inputs passed\n", arquivos);
  return 0;
}
