// Arbitrary bytes as option.dat: loading never changes the file and reads the
// two stored values right; saving afterwards rewrites the first two bytes only.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "io/OptionFile.h"

namespace {

using kestrom::Integer;

// A value no option file holds, to tell whether a load set the kind at all.
constexpr Integer kUnset = 7;

void CheckLoaded(std::string_view stored, Integer kind) {
    if (stored.size() < 2) {
        FUZZ_CHECK(kind == kUnset, std::to_string(kind));
        return;
    }
    if (stored.substr(0, 2) == std::string_view("\xff\xff", 2)) FUZZ_CHECK(kind == -1, "FF FF");
    if (stored.substr(0, 2) == std::string_view("\0\0", 2)) FUZZ_CHECK(kind == 0, "00 00");
}

std::string Saved(Integer kind) {
    return kind == -1 ? std::string("\xff\xff", 2) : std::string(2, '\0');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view stored(reinterpret_cast<const char*>(data), size);
    static const std::string path = kestrom::fuzz::ScratchPath("option.dat");
    kestrom::fuzz::WriteWhole(path, stored);

    Integer kind = kUnset;
    try {
        kestrom::LoadProcessKind(path, kind);
    } catch (const kestrom::OptionFileError& error) {
        kestrom::fuzz::Fail("a readable option file failed to load", error.what());
    }
    FUZZ_CHECK(kestrom::fuzz::ReadWhole(path) == stored, "the load changed the file");
    CheckLoaded(stored, kind);

    const Integer choice = (size & 1) ? -1 : 0;
    kestrom::SaveProcessKind(path, choice);
    std::string expected = Saved(choice);
    if (stored.size() > 2) expected += stored.substr(2);
    FUZZ_CHECK(kestrom::fuzz::ReadWhole(path) == expected, "the save touched more than two bytes");

    Integer reloaded = kUnset;
    kestrom::LoadProcessKind(path, reloaded);
    FUZZ_CHECK(reloaded == choice, std::to_string(reloaded));
    return 0;
}
