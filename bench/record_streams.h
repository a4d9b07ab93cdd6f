// The records of a Zentra file as the codings see them: each record's header, the shape
// of its unpacked byte stream, the stream itself (the run-length coding undone) and the
// size of its run-length coded pixel data. Used by the coding comparison, the coding
// benchmarks and the device test records.
#pragma once

#include "pixel_stream_shape.h"
#include "zentra_format.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct RecordStream {
    RecordHeader header;
    PixelStreamShape shape;
    std::vector<std::uint8_t> unpacked;
    std::size_t runLengthBytes = 0; // the record's coded pixel data as written
};

// Every record of the file whose depth and lay-out have a packing. Nothing, with the
// reason in `error` (naming the file), when the file cannot be read or a record is cut
// short or its pixel data does not decode to its unpacked size.
std::optional<std::vector<RecordStream>> ReadRecordStreams(const std::string& path,
                                                           std::string& error);
