// Arbitrary words as kestrom-gen's arguments (NUL separates them): parsing
// either fails with a usage error or yields what the tool can run with.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "app/CommandLine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> words{"kestrom-gen"};
    std::string word;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == '\0') {
            words.push_back(word);
            word.clear();
        } else {
            word += static_cast<char>(data[i]);
        }
    }
    words.push_back(word);
    std::vector<const char*> argv;
    for (const std::string& w : words)
        argv.push_back(w.c_str());

    try {
        const kestrom::Arguments args =
            kestrom::ParseArguments(static_cast<int>(argv.size()), argv.data());
        FUZZ_CHECK(args.help || args.version || args.files.size() == 2 ||
                       (args.svgPath && args.files.size() == 1),
                   std::to_string(args.files.size()) + " files accepted");
        if (args.processKind)
            FUZZ_CHECK(*args.processKind == kestrom::kThreadProcess ||
                           *args.processKind == kestrom::kMethodProcess,
                       std::to_string(*args.processKind));
    } catch (const kestrom::UsageError& error) {
        FUZZ_CHECK(*error.what() != '\0', "a usage error without a message");
    }
    return 0;
}
