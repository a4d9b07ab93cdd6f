// Instruction counts of one played frame (bench/callgrind): plays a Zentra file's
// animation from record FIRST and shows COUNT frames, the last through MeasuredShow, which
// callgrind counts on its own (--toggle-collect=MeasuredShow*). With --decode the last
// frame is built up by DecodeRecord instead, the way every frame was shown before the
// player. Prints the measured frame's record index.
// Usage: zentra_play_frame FILE FIRST COUNT [--decode]
#include "decode_record.h"
#include "frame_player.h"
#include "play_sequence.h"

#include <cstdio>
#include <cstdlib>
#include <string>

// Not inlined, so that callgrind can count exactly this call.
__attribute__((noinline)) DecodeStatus MeasuredShow(FramePlayer& player) {
    return player.ShowNext();
}

__attribute__((noinline)) DecodeStatus MeasuredShowBuiltUp(const std::string& file, int index,
                                                           DisplayBitmap& bitmap) {
    return DecodeRecord(file, index, true, bitmap);
}

int main(int argc, char** argv) {
    const bool decode = argc == 5 && std::string(argv[4]) == "--decode";
    if (argc != 4 && !decode) {
        std::fprintf(stderr, "usage: zentra_play_frame FILE FIRST COUNT [--decode]\n");
        return 2;
    }
    const std::string file = argv[1];
    const int first = std::atoi(argv[2]);
    const int count = std::atoi(argv[3]);
    FramePlayer player;
    if (!player.Open(FileSource(file)) || count < 1 ||
        player.Show(first) == DecodeStatus::NoRecord) {
        std::fprintf(stderr, "zentra_play_frame: cannot play '%s' from record %d\n", file.c_str(),
                     first);
        return 1;
    }
    for (int frame = 2; frame < count; ++frame) {
        player.ShowNext();
    }
    DecodeStatus status = player.Status();
    int index = player.Index();
    if (count > 1 && decode) {
        index = NextPlayedRecord(player.Records(), index);
        DisplayBitmap bitmap;
        status = MeasuredShowBuiltUp(file, index, bitmap);
    } else if (count > 1) {
        status = MeasuredShow(player);
        index = player.Index();
    }
    std::printf("%d\n", index);
    return status == DecodeStatus::Shown ? 0 : 1;
}
