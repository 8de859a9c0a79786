// Writes Lng\Local.ini as the program writes it when it is missing, so the packages ship
// the very file the program would make (the core holds its one copy of the contents).
#include <cstdio>
#include <string>

#include "core/localisation.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: zelk_local_ini OUTPUT\n");
        return 2;
    }
    const std::string bytes = zelk::LocalIniBytes();
    std::FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    if (std::fclose(out) != 0 || !written) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
