// marlowen-script: checks data.ini and builds test.scr by the rules of Marlowen itself.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "Cli.h"

int main(int argc, char** argv) {
    try {
        return RunMarlowenScript(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "marlowen-script: %s\n", error.what());
        return 2;
    }
}
