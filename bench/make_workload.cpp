// Writes the comparison workload: frame_000.pgm .. frame_099.pgm (or as many frames as
// asked for), 320 x 240 raw 8-bit PGM, a dark disc moving over a shaded background.
// Usage: zentra_make_workload FOLDER [FRAMES]
#include "bench_files.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    const int frames = argc == 3 ? std::atoi(argv[2]) : 100;
    if (argc < 2 || argc > 3 || frames < 1 || frames > 1000) {
        std::fprintf(stderr, "usage: zentra_make_workload FOLDER [FRAMES (1 to 1000)]\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    for (int frame = 0; frame < frames; ++frame) {
        char name[32];
        std::snprintf(name, sizeof name, "frame_%03d.pgm", frame);
        WriteSourceFile(folder / name, MovingShapeFrame(320, 240, frame), SourceKind::RawPgm);
    }
    return 0;
}
