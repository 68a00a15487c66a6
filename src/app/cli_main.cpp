// ravelto-cli: runs core commands headless.
#include <cstring>
#include <iostream>

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
        std::cout << "ravelto-cli 1.20\n";
        return 0;
    }
    std::cerr << "使い方: ravelto-cli --version\n";
    return 2;
}
