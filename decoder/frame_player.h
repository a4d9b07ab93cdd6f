// FramePlayer: a Zentra file's records shown one after another as DecodeRecord shows them
// built up, keeping the frame on show, so that the next delta record of an animation is
// drawn over it: playing or stepping costs each frame its own record, whatever its number.
#pragma once

#include "byte_reader.h"
#include "byte_source.h"
#include "decode_status.h"
#include "display_bitmap.h"
#include "read_record_header.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class FramePlayer {
  public:
    // Opens the source and lists its records with ListRecords; the file stays open, and
    // the bytes of a memory source must outlive the player. False, with no records, when
    // there is no file name or the source cannot be opened.
    bool Open(const ByteSource& source);

    // The records listed by Open, in file order: what NextPlayedRecord and FrameTime take.
    const std::vector<ListedRecord>& Records() const { return records_; }

    // Keeps only the first count records, as if the file ended there (the viewer plays
    // only what its list shows).
    void KeepRecords(std::size_t count);

    // Shows record index (from 0, in file order) exactly as DecodeRecord(buildUp = true)
    // shows it and returns the same status. A delta record right after the record on show
    // is drawn over the frame; any other record is built up from its full frame.
    DecodeStatus Show(int index);

    // Shows the record that playing shows next (NextPlayedRecord): the next delta record of
    // the sequence, or its full frame again after the last; the first when none is shown.
    DecodeStatus ShowNext();

    // The record on show, -1 when none is (nothing shown yet, or an index past the list).
    int Index() const { return index_; }

    // What the last Show came to; CannotOpen before a successful Open.
    DecodeStatus Status() const { return status_; }

    // How long the record on show stands when played, in milliseconds (FrameTime).
    unsigned Time() const;

    // The frame on show; without pixels when the last Show left none.
    const DisplayBitmap& Frame() const { return frame_; }

  private:
    DecodeStatus BuildUp(int index);
    void DrawNext(int index);
    bool IsDelta(int index) const;

    ByteReader file_;
    bool open_ = false;
    std::vector<ListedRecord> records_;
    std::vector<std::uint64_t> starts_; // file offset of each record
    DisplayBitmap frame_;
    int index_ = -1;
    DecodeStatus status_ = DecodeStatus::CannotOpen;
    // A record of the current run was not drawn (RecordCanFollow): DecodeRecord ends its
    // run there, so no later record of the run draws anything either.
    bool runEnded_ = false;
};
