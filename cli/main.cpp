// Placeholder until the analysis driver lands: names each file and its size.
#include <cstdio>
#include <string>

#include "common/file_system.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: tavro-cli [--json] FILE...\n");
        return 2;
    }
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        tavro::FileError error;
        auto file = tavro::platformFileSystem().openRead(argv[i], &error);
        if (!file) {
            std::fprintf(stderr, "tavro-cli: %s: %s\n", argv[i], error.systemText.c_str());
            status = 1;
            continue;
        }
        std::printf("Path: %s\nSize: %llu bytes\n", argv[i],
                    static_cast<unsigned long long>(file->size()));
    }
    return status;
}
