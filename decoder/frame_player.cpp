// Showing records from a kept frame: a delta record that follows the one on show in the
// file is drawn over it, which is exactly the step DecodeRecord takes from that record to
// the next inside its run; every other record starts a run of its own.
#include "frame_player.h"

#include "draw_record.h"
#include "play_sequence.h"
#include "record_walk.h"
#include "zentra_format.h"

#include <optional>

bool FramePlayer::Open(const ByteSource& source) {
    open_ = false;
    records_.clear();
    starts_.clear();
    frame_.pixels.reset();
    index_ = -1;
    status_ = DecodeStatus::CannotOpen;
    runEnded_ = false;
    if ((!source.inMemory && source.path.empty()) || !file_.Open(source)) {
        return false;
    }
    std::optional<std::vector<ListedRecord>> listed = ListRecords(source);
    if (!listed) {
        return false;
    }
    // Each record starts where the one before it starts plus its record length, the rule
    // by which the list was walked.
    records_ = std::move(*listed);
    std::uint64_t start = 0;
    for (const ListedRecord& record : records_) {
        starts_.push_back(start);
        start += record.header.recordLength;
    }
    open_ = true;
    status_ = DecodeStatus::NoRecord;
    return true;
}

void FramePlayer::KeepRecords(std::size_t count) {
    if (count >= records_.size()) {
        return;
    }
    records_.resize(count);
    starts_.resize(count);
    if (index_ >= static_cast<int>(count)) {
        frame_.pixels.reset();
        index_ = -1;
        status_ = DecodeStatus::NoRecord;
    }
}

bool FramePlayer::IsDelta(int index) const {
    return (records_[static_cast<std::size_t>(index)].header.layout & RECORD_DELTA) != 0;
}

DecodeStatus FramePlayer::Show(int index) {
    if (!open_ || index < 0 || static_cast<std::size_t>(index) >= records_.size()) {
        frame_.pixels.reset();
        index_ = -1;
        return status_ = open_ ? DecodeStatus::NoRecord : DecodeStatus::CannotOpen;
    }
    if (index == index_) {
        return status_;
    }
    // The frame of the record before a delta record is the run of that delta record up to
    // the record before it: the run starts at the same full frame either way.
    if (index_ >= 0 && index == index_ + 1 && IsDelta(index) && frame_.pixels) {
        DrawNext(index);
        return status_;
    }
    return BuildUp(index);
}

DecodeStatus FramePlayer::ShowNext() {
    return Show(NextPlayedRecord(records_, index_));
}

unsigned FramePlayer::Time() const {
    return FrameTime(records_, index_);
}

void FramePlayer::DrawNext(int index) {
    const auto at = static_cast<std::size_t>(index);
    const RecordHeader& header = records_[at].header;
    if (!runEnded_) {
        file_.SeekTo(starts_[at] + RECORD_HEADER_SIZE);
        if (RecordCanFollow(file_, header)) {
            DrawRecord(file_, header, true, false, frame_);
        } else {
            runEnded_ = true;
        }
    }
    index_ = index;
    status_ = ShownStatus(header);
}

// DecodeRecord's run: a delta record from the last full frame before it (record 0 when
// there is none), any other record alone.
DecodeStatus FramePlayer::BuildUp(int index) {
    int first = index;
    if (IsDelta(index)) {
        first = 0;
        for (int i = index - 1; i > 0; --i) {
            if (!IsDelta(i)) {
                first = i;
                break;
            }
        }
    }
    index_ = index;
    runEnded_ = false;
    for (int i = first; i <= index; ++i) {
        const auto at = static_cast<std::size_t>(i);
        const RecordHeader& header = records_[at].header;
        file_.SeekTo(starts_[at] + RECORD_HEADER_SIZE);
        if (i == first) {
            if (const DecodeStatus status = StartRun(frame_, header);
                status != DecodeStatus::Shown) {
                return status_ = status;
            }
        } else if (!RecordCanFollow(file_, header)) {
            runEnded_ = true;
            break;
        }
        DrawRecord(file_, header, true, i == first, frame_);
    }
    return status_ = ShownStatus(records_[static_cast<std::size_t>(index)].header);
}
