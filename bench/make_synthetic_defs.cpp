// Writes the generated definition set that defs_bench loads into a folder,
// for start-up measurements: make_synthetic_defs <folder> [files]
#include "support/synthetic_defs.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s <folder> [files, default 500]\n", argv[0]);
        return 2;
    }
    const int files = argc == 3 ? std::atoi(argv[2]) : 500;
    if (files <= 0 || !cw::bench::writeSyntheticDefinitions(argv[1], files)) {
        std::fprintf(stderr, "%s: cannot write the set into %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
