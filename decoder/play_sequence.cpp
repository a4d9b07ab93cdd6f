// Walking a record list as an animation: sequences end at the record flagged last or before
// the next full frame, so several display types' sequences in one file each loop alone.
#include "play_sequence.h"

#include <cstddef>

namespace {

bool IsDelta(const ListedRecord& record) {
    return (record.header.layout & RECORD_DELTA) != 0;
}

bool IsLast(const ListedRecord& record) {
    return (record.header.layout & RECORD_LAST_FRAME) != 0;
}

// The full frame that record index builds on (the record itself when it is one).
int SequenceStart(const std::vector<ListedRecord>& records, int index) {
    while (index > 0 && IsDelta(records[index]) && !IsLast(records[index - 1])) {
        --index;
    }
    return index;
}

bool EndsSequence(const std::vector<ListedRecord>& records, int index) {
    const auto next = static_cast<std::size_t>(index) + 1;
    return IsLast(records[index]) || next >= records.size() || !IsDelta(records[next]);
}

unsigned DelayOf(const ListedRecord& record) {
    return record.delta.delay != 0 ? record.delta.delay : DEFAULT_FRAME_TIME_MS;
}

bool InRange(const std::vector<ListedRecord>& records, int index) {
    return index >= 0 && static_cast<std::size_t>(index) < records.size();
}

} // namespace

int NextPlayedRecord(const std::vector<ListedRecord>& records, int index) {
    if (!InRange(records, index)) {
        return records.empty() ? -1 : 0;
    }
    return EndsSequence(records, index) ? SequenceStart(records, index) : index + 1;
}

unsigned FrameTime(const std::vector<ListedRecord>& records, int index) {
    if (!InRange(records, index)) {
        return DEFAULT_FRAME_TIME_MS;
    }
    if (IsDelta(records[index])) {
        return DelayOf(records[index]);
    }
    int last = index;
    while (!EndsSequence(records, last)) {
        ++last;
    }
    return last != index ? DelayOf(records[last]) : DEFAULT_FRAME_TIME_MS;
}
