// Runs a fuzz target over files and directories of inputs once each, for
// builds without libFuzzer; a failing input aborts with its name printed.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace fs = std::filesystem;

static std::vector<fs::path> InputsUnder(const fs::path& root) {
    std::vector<fs::path> inputs;
    if (fs::is_directory(root)) {
        for (const auto& entry : fs::recursive_directory_iterator(root))
            if (entry.is_regular_file()) inputs.push_back(entry.path());
    } else {
        inputs.push_back(root);
    }
    std::sort(inputs.begin(), inputs.end());
    return inputs;
}

int main(int argc, char** argv) {
    size_t replayed = 0;
    for (int i = 1; i < argc; ++i) {
        if (!fs::exists(argv[i])) {
            std::fprintf(stderr, "%s: no such file or directory\n", argv[i]);
            return 2;
        }
        for (const auto& input : InputsUnder(argv[i])) {
            std::ifstream in(input, std::ios::binary);
            std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
            std::fprintf(stderr, "replaying %s\n", input.c_str());
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
            ++replayed;
        }
    }
    std::printf("replayed %zu inputs\n", replayed);
    return replayed > 0 ? 0 : 1;
}
