#include <cstdio>
#include <new>

#include "app/BatchTool.h"
#include "app/ProgramDirectory.h"
#include "conversion/Generation.h"

int main(int argc, char* argv[]) {
    try {
        return kestrom::RunBatchTool(argc, argv, kestrom::ProgramDirectory());
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "kestrom-gen: error: %s\n", kestrom::kNotEnoughMemory);
        return kestrom::kExitNotGenerated;
    }
}
