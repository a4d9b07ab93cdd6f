// Writes the comparison workload: frame_000.pgm .. frame_099.pgm, 320 x 240 raw 8-bit
// PGM, a dark disc moving over a shaded background.
// Usage: zentra_make_workload FOLDER
#include "bench_files.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: zentra_make_workload FOLDER\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    for (int frame = 0; frame < 100; ++frame) {
        char name[32];
        std::snprintf(name, sizeof name, "frame_%03d.pgm", frame);
        WriteSourceFile(folder / name, MovingShapeFrame(320, 240, frame), SourceKind::RawPgm);
    }
    return 0;
}
