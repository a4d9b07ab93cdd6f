// The bulk form of UnpackByte, used for whole rows, columns and bands. Writes through
// out may alias any byte, so nothing that the loop needs lives behind a pointer.
#include "unpack_byte.h"

#include <algorithm>
#include <cstring>

void UnpackBytes(ByteReader& file, UnpackState& state, std::uint8_t* out, std::size_t count) {
    const std::uint8_t* next = file.Current();
    const std::uint8_t* end = file.End();
    std::uint8_t previous = state.previous;
    bool hasPrevious = state.hasPrevious;
    std::uint8_t runByte = state.runByte;
    std::size_t repeat = state.repeat;

    auto readByte = [&]() -> int {
        if (next == end) {
            file.SetCurrent(next);
            if (!file.Refill()) {
                next = end = file.Current();
                return -1;
            }
            next = file.Current();
            end = file.End();
        }
        return *next++;
    };

    std::size_t i = 0;
    while (i < count) {
        if (repeat > 0) {
            const std::size_t copies = std::min(repeat, count - i);
            std::memset(out + i, runByte, copies);
            i += copies;
            repeat -= copies;
            continue;
        }
        // Literals straight from the buffer until a byte repeats the previous one.
        const std::size_t span = std::min(static_cast<std::size_t>(end - next), count - i);
        const std::uint8_t* const stop = next + span;
        if (hasPrevious) {
            while (next != stop && *next != previous) {
                previous = *next++;
                out[i++] = previous;
            }
        } else if (next != stop) {
            previous = *next++;
            hasPrevious = true;
            out[i++] = previous;
            continue;
        }
        if (next == stop && span != 0) {
            continue;
        }
        const int b = readByte();
        if (b < 0) {
            std::memset(out + i, 0, count - i);
            break;
        }
        const auto value = static_cast<std::uint8_t>(b);
        if (hasPrevious && value == previous) {
            const int copies = readByte();
            repeat = copies < 0 ? 0 : static_cast<std::size_t>(copies);
            runByte = value;
            hasPrevious = false;
        } else {
            previous = value;
            hasPrevious = true;
        }
        out[i++] = value;
    }
    file.SetCurrent(next);
    state.previous = previous;
    state.hasPrevious = hasPrevious;
    state.runByte = runByte;
    state.repeat = static_cast<std::uint8_t>(repeat);
}
