// The host decoder's frame order and times against the table that the device library is
// tested against too (tests/support/frame_time_cases.h).
#include "frame_time_cases.h"
#include "play_sequence.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

std::vector<ListedRecord> CaseRecords(const frame_time_case& c) {
    std::vector<ListedRecord> records;
    for (std::size_t k = 0; c.records[k] != '\0'; ++k) {
        ListedRecord record{};
        const char kind = c.records[k];
        if (kind != 'F') {
            record.header.layout = RECORD_DELTA;
            record.delta.delay = c.delays[k];
        }
        if (kind == 'L') {
            record.header.layout |= RECORD_LAST_FRAME;
        }
        records.push_back(record);
    }
    return records;
}

TEST(FrameTimeCases, TheHostDecoderPlaysTheSharedTable) {
    for (const frame_time_case& c : FRAME_TIME_CASES) {
        SCOPED_TRACE(c.name);
        const std::vector<ListedRecord> records = CaseRecords(c);
        int index = c.start;
        for (std::size_t k = 0; k < std::strlen(c.order); ++k) {
            SCOPED_TRACE(k);
            if (k > 0) {
                index = NextPlayedRecord(records, index);
            }
            EXPECT_EQ(index, c.order[k] - '0');
            EXPECT_EQ(FrameTime(records, index), c.times[k]);
        }
    }
}

} // namespace
