// The device library's frame order and times against the table that the host decoder is
// tested against too (tests/support/frame_time_cases.h).
#include "device_test_support.h"
#include "frame_time_cases.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using namespace device_test;

// The case's records as 1-bit 8 x 8 row-order records without pixel data (stepping reads
// headers only); offsets receives where each starts.
Bytes CaseFile(const frame_time_case& c, std::vector<std::uint32_t>& offsets) {
    Bytes file;
    for (std::size_t k = 0; c.records[k] != '\0'; ++k) {
        const char kind = c.records[k];
        const DeltaHeader delta{c.delays[k], 0, 0};
        const std::uint8_t flags = kind == 'L' ? ZTR_RECORD_LAST_FRAME : 0;
        offsets.push_back(static_cast<std::uint32_t>(file.size()));
        Append(file, MakeRecord(static_cast<std::uint8_t>(ZTR_ORDER_ROWS | flags), 1, 8, 8, {},
                                kind == 'F' ? nullptr : &delta));
    }
    return file;
}

TEST(DeviceFrameTimes, TheDeviceLibraryPlaysTheSharedTable) {
    for (const frame_time_case& c : FRAME_TIME_CASES) {
        SCOPED_TRACE(c.name);
        std::vector<std::uint32_t> offsets;
        const Bytes file = CaseFile(c, offsets);
        CallbackFile callbackFile{&file};
        for (const ztr_source& source : {MemorySource(file), CallbackSource(callbackFile)}) {
            ztr_record first;
            ASSERT_EQ(ztr_read_record(&source, offsets[c.start], &first), ZTR_OK);
            ztr_record frame{};
            for (std::size_t k = 0; k < std::strlen(c.order); ++k) {
                SCOPED_TRACE(k);
                ASSERT_EQ(ztr_next_frame(&source, &first, &frame), ZTR_OK);
                EXPECT_EQ(frame.offset, offsets[c.order[k] - '0']);
                EXPECT_EQ(frame.delay, c.times[k]);
            }
        }
    }
}

} // namespace
