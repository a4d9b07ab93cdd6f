// The decoder side of the run-length coding of pixel data: a run of n >= 2 equal bytes
// is stored as the byte twice followed by n - 2, and the byte after a count is always a
// new literal.
#pragma once

#include "byte_reader.h"

#include <cstddef>
#include <cstdint>

// One per record; reset at the start of every record's pixel data.
struct UnpackState {
    std::uint8_t previous = 0; // the last literal read
    bool hasPrevious = true;   // false right after a count: then nothing matches
    std::uint8_t runByte = 0;  // the byte that the pending copies repeat
    std::uint8_t repeat = 0;   // copies of runByte still to deliver
};

// The next unpacked byte of the record's pixel data. Past the end of the file it
// delivers 0, so truncated pixel data shows as zero pixels.
inline std::uint8_t UnpackByte(ByteReader& file, UnpackState& state) {
    if (state.repeat > 0) {
        --state.repeat;
        return state.runByte;
    }
    const int b = file.ReadByte();
    if (b < 0) {
        return 0;
    }
    const auto value = static_cast<std::uint8_t>(b);
    if (state.hasPrevious && value == state.previous) {
        const int count = file.ReadByte();
        state.repeat = count < 0 ? 0 : static_cast<std::uint8_t>(count);
        state.runByte = value;
        state.hasPrevious = false;
        return value;
    }
    state.previous = value;
    state.hasPrevious = true;
    return value;
}

// Delivers the next count unpacked bytes to out, exactly as count calls of UnpackByte
// would, but with the coder's state and the read position held in locals.
void UnpackBytes(ByteReader& file, UnpackState& state, std::uint8_t* out, std::size_t count);
