// tamborik-make-bank SOURCE.txt OUTPUT.fxb: turns the factory bank's source
// table into the bank file compiled into the module.
#include <cstdio>
#include <fstream>
#include <sstream>

#include "persist/FxFormats.h"
#include "resources/BankSource.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: tamborik-make-bank SOURCE.txt OUTPUT.fxb\n");
        return 2;
    }
    std::ifstream in(argv[1]);
    if (!in) {
        std::fprintf(stderr, "tamborik-make-bank: cannot read %s\n", argv[1]);
        return 1;
    }
    std::stringstream text;
    text << in.rdbuf();
    std::string error;
    auto bank = resources::parseBankSource(text.str(), &error);
    if (!bank) {
        std::fprintf(stderr, "%s: %s\n", argv[1], error.c_str());
        return 1;
    }
    if (!persist::saveBankFile(*bank, argv[2])) {
        std::fprintf(stderr, "tamborik-make-bank: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
