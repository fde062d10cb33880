// Writes the largest model as an ASF file, for timing the batch tool on it.
#include <cstdio>
#include <fstream>

#include "LargestModel.h"

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.asf\n", argv[0]);
        return 2;
    }
    std::ofstream out(argv[1], std::ios::binary);
    out << kestrom::bench::LargestAsfText();
    out.close();
    if (!out) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
