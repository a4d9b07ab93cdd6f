// The order and times in which an animation's frames are played: each sequence loops back
// to its own full frame, and a full frame stands for the delay its sequence's last record
// carries.
#include "play_sequence.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

ListedRecord Full(std::uint8_t flags = 0) {
    ListedRecord record{};
    record.header.layout = flags;
    return record;
}

ListedRecord Delta(unsigned delay, std::uint8_t flags = 0) {
    ListedRecord record{};
    record.header.layout = static_cast<std::uint8_t>(RECORD_DELTA | flags);
    record.delta.delay = static_cast<std::uint16_t>(delay);
    return record;
}

// Two display types' sequences and a still picture in one file: 0-3 loop (3 flagged last),
// 4-5 loop (ended by the next full frame), 6 stands alone.
const std::vector<ListedRecord> FILE_RECORDS = {
    Full(), Delta(200), Delta(0), Delta(150, RECORD_LAST_FRAME), Full(), Delta(50), Full(),
};

struct PlayCase {
    int index;
    int next;
    unsigned time;
};

const PlayCase PLAY_CASES[] = {
    {0, 1, 150}, // the full frame stands for the last record's delay
    {1, 2, 200},
    {2, 3, DEFAULT_FRAME_TIME_MS}, // a delay of 0
    {3, 0, 150},                   // flagged last: back to its own full frame
    {4, 5, 50},
    {5, 4, 50}, // the next full frame ends the sequence
    {6, 6, DEFAULT_FRAME_TIME_MS},
    {-1, 0, DEFAULT_FRAME_TIME_MS}, // outside the list: start at the first record
    {7, 0, DEFAULT_FRAME_TIME_MS},
};

TEST(PlaySequence, EachSequenceLoopsAloneWithItsDelays) {
    for (const PlayCase& c : PLAY_CASES) {
        SCOPED_TRACE(c.index);
        EXPECT_EQ(NextPlayedRecord(FILE_RECORDS, c.index), c.next);
        EXPECT_EQ(FrameTime(FILE_RECORDS, c.index), c.time);
    }
    EXPECT_EQ(NextPlayedRecord({}, 0), -1);
}

} // namespace
