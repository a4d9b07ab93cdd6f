// PixelByteStream: a record's unpacked pixel bytes in stream order, from the run-length,
// squash or dense coding, which is all that placing a record's rows, columns and bands
// needs to know of its coding.
#pragma once

#include "byte_reader.h"
#include "dense_decoder.h"
#include "squash_decoder.h"
#include "unpack_byte.h"
#include "zentra_format.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

class PixelByteStream {
  public:
    // The file stands at the record's first byte of pixel data; the record ends at
    // recordEnd, where a squash record's coded bytes end (run-length data is read on
    // until the stream is complete, as it always was).
    PixelByteStream(ByteReader& file, const RecordHeader& header, std::uint64_t recordEnd);
    PixelByteStream(const PixelByteStream&) = delete;
    PixelByteStream& operator=(const PixelByteStream&) = delete;

    // The next count unpacked bytes. Bytes that the coded data cannot give (cut short or
    // damaged) read as 0.
    void Take(std::uint8_t* out, std::size_t count);

  private:
    ByteReader& file_;
    UnpackState runLength_;
    bool squashCoded_ = false;        // squash or dense coded
    std::vector<std::uint8_t> coded_; // a squash or dense record's coded bytes
    std::optional<SquashDecoder> squash_;
    std::optional<DenseDecoder> dense_;
};

// The most unpacked bytes that `coded` bytes of pixel data in the record's coding can
// give: a run-length count stands for up to 256 bytes, a squash token of up to three
// bytes for 16383 units of up to 3 bytes, a dense token of 33 bits or more for 65535
// bytes.
std::uint64_t MostUnpackedBytes(const RecordHeader& header, std::uint64_t coded);
