// Writes the sample drawings into the folder given as the only argument.
#include <cstdio>
#include <exception>

#include "output/sample_drawings.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: write_sample_drawings FOLDER\n");
        return 2;
    }
    try {
        for (const auto& name : zelkan::test::WriteSampleDrawings(argv[1])) std::printf("%s\n", name.c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
