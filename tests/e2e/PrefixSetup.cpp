// Makes the Wine prefix that the end-to-end tests share (ctest fixture e2e_wine).
#include <cstdio>

#include "tests/e2e/Harness.h"

int main() {
    try {
        e2e::CreatePrefix(e2e::Locations::FromBuild());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "e2e_prefix: %s\n", e.what());
        return 1;
    }
    return 0;
}
