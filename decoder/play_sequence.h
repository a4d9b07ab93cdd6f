// The order and times of the frames that View > Play shows: a sequence is a full frame and
// the delta records after it, up to the one flagged last; playing loops over it.
#pragma once

#include "read_record_header.h"

#include <vector>

// How long a frame stands whose delay is 0.
inline constexpr unsigned DEFAULT_FRAME_TIME_MS = 100;

// The record shown after record index: the next delta record of its sequence, or, after
// the record flagged last (or the sequence's final delta record), its full frame again.
int NextPlayedRecord(const std::vector<ListedRecord>& records, int index);

// How long record index stands, in milliseconds: a delta record's own delay; for the full
// frame the delay of its sequence's last record, which shows the first picture again and
// carries its time. A delay of 0, or a frame without any, stands DEFAULT_FRAME_TIME_MS.
unsigned FrameTime(const std::vector<ListedRecord>& records, int index);
