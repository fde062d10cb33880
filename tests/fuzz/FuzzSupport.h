// Small helpers shared by the fuzz targets: a private scratch file per
// process and a check that stops the run loudly, so the fuzzer keeps the input.
#pragma once

#include <string>
#include <string_view>

namespace kestrom::fuzz {

// A path in a directory of this process's own, removed at exit; the file is
// not created.
std::string ScratchPath(const std::string& name);

void WriteWhole(const std::string& path, std::string_view bytes);
std::string ReadWhole(const std::string& path);

[[noreturn]] void Fail(const char* what, std::string_view detail = {});

} // namespace kestrom::fuzz

#define FUZZ_CHECK(condition, detail)                                                              \
    do {                                                                                           \
        if (!(condition)) ::kestrom::fuzz::Fail(#condition, detail);                               \
    } while (false)
