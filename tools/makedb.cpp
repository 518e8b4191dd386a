// makedb DATA_DIR DB_FILE [--fresh]
// Builds the shipped database. Without --fresh an existing file is left as it is.
#include "dbbuild/dbbuild.h"

#include <cstring>
#include <exception>
#include <iostream>

int main(int argc, char** argv) {
    if (argc < 3 || (argc == 4 && std::strcmp(argv[3], "--fresh") != 0) || argc > 4) {
        std::cerr << "usage: makedb DATA_DIR DB_FILE [--fresh]\n";
        return 2;
    }
    try {
        bool fresh = argc == 4;
        if (fresh) {
            dbbuild::makeDatabase(argv[1], argv[2]);
            std::cout << "makedb: built " << argv[2] << "\n";
        } else if (dbbuild::ensureDatabase(argv[1], argv[2])) {
            std::cout << "makedb: built " << argv[2] << "\n";
        } else {
            std::cout << "makedb: " << argv[2] << " exists; kept as it is\n";
            bool same = true;
            try {
                same = dbbuild::bankMatches(argv[1], argv[2]);
            } catch (const std::exception& e) {
                std::cout << "makedb: note: cannot compare its question bank with the sources: " << e.what() << "\n";
            }
            if (!same)
                std::cout << "makedb: note: its question bank differs from the sources; "
                             "'makedb DATA_DIR DB_FILE --fresh' rebuilds it (users and results are lost)\n";
        }
    } catch (const std::exception& e) {
        std::cerr << "makedb: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
