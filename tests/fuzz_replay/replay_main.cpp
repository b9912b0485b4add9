// Runs a fuzz harness once over each file of the folders given: the seeds and the
// regression inputs of every finding, in the sanitizer build of scripts/test.
#include <cstdint>
#include <cstdio>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
    int runs = 0;
    for (int i = 1; i < argc; ++i) {
        DIR* dir = opendir(argv[i]);
        if (!dir) continue; // a harness may have no regressions yet
        while (dirent* d = readdir(dir)) {
            if (d->d_name[0] == '.') continue;
            std::string path = std::string(argv[i]) + "/" + d->d_name;
            std::ifstream in(path, std::ios::binary);
            std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                       std::istreambuf_iterator<char>());
            std::printf("%s\n", path.c_str());
            LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
            ++runs;
        }
        closedir(dir);
    }
    std::printf("%d inputs\n", runs);
    return runs > 0 ? 0 : 1;
}
