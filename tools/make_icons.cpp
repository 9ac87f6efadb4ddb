// Draws the program's icon at the sizes a desktop asks for, into an icon theme
// folder: <folder>/<N>x<N>/apps/<name>.png for N = 48, 128 and 256.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "asset_files.h"
#include "pictures.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <icon theme folder> <icon name>\n", argv[0]);
        return 2;
    }
    try {
        for (const int size : {48, 128, 256}) {
            const std::string dimensions = std::to_string(size) + "x" + std::to_string(size);
            const std::filesystem::path folder = std::filesystem::path(argv[1]) / dimensions / "apps";
            std::filesystem::create_directories(folder);
            WritePngFile((folder / (std::string(argv[2]) + ".png")).string(), MakeIcon(size));
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "error: %s\n", e.what());
        return 1;
    }
    return 0;
}
