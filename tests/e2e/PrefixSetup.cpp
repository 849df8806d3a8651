// Makes the Wine prefix that the end-to-end tests share (ctest fixture e2e_wine); with a
// density in dpi, the prefix at that density (made from the shared one).
#include <cstdio>
#include <cstdlib>

#include "tests/e2e/Harness.h"

int main(int argc, char** argv) {
    try {
        const e2e::Locations where = e2e::Locations::FromBuild();
        if (argc > 1)
            e2e::CreateDensityPrefix(where, std::atoi(argv[1]));
        else
            e2e::CreatePrefix(where);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "e2e_prefix: %s\n", e.what());
        return 1;
    }
    return 0;
}
