// Helper for test_store: opens a register file and holds it until killed or until its input closes,
// so the test can try the file from a second process.
#include "core/Database.h"
#include "core/SqlError.h"

#include <cstdio>
#include <iostream>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: store_lock_holder FILE\n";
        return 2;
    }
    try {
        const auto db = Database::open(QString::fromLocal8Bit(argv[1]));
        std::cout << "open" << std::endl;
        std::string line;
        while (std::getline(std::cin, line)) {
        }
    } catch (const SqlError& e) {
        std::cout << e.number() << ' ' << e.what() << std::endl;
        return 1;
    }
    return 0;
}
