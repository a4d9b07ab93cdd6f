// The first frame of a picture as the bitmap or PBM/PGM/PPM reader alone gives it (a
// bitmap's rows bottom-up, as stored), from a file or from its bytes, a refusal reported
// through the sink: what the tests and fuzz targets compare the whole loading with.
#pragma once

#include "file_bytes.h"
#include "picture_readers.h"
#include "source_image.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace first_frame_detail {

using Reader = Readout (*)(PictureBytes, const std::string&, const SourceReadOptions&);

inline std::optional<SourceImage> FromFile(Reader reader, const std::string& path,
                                           const MessageSink& sink) {
    std::vector<std::uint8_t> bytes;
    if (Outcome read = ReadWholeFile(path, bytes); !read.Ok()) {
        return ReportedFirstFrame(Readout{{}, std::move(read)}, sink);
    }
    return ReportedFirstFrame(reader(bytes, path, SourceReadOptions{}), sink);
}

} // namespace first_frame_detail

inline std::optional<SourceImage> ReadBmpFirstFrame(std::span<const std::uint8_t> bytes,
                                                    const std::string& name,
                                                    const MessageSink& sink) {
    return ReportedFirstFrame(ReadBmpPicture(bytes, name, SourceReadOptions{}), sink);
}

inline std::optional<SourceImage> ReadBmpFirstFrame(const std::string& path,
                                                    const MessageSink& sink) {
    return first_frame_detail::FromFile(ReadBmpPicture, path, sink);
}

inline std::optional<SourceImage> ReadPnmFirstFrame(std::span<const std::uint8_t> bytes,
                                                    const std::string& name,
                                                    const MessageSink& sink) {
    return ReportedFirstFrame(ReadPnmPicture(bytes, name, SourceReadOptions{}), sink);
}

inline std::optional<SourceImage> ReadPnmFirstFrame(const std::string& path,
                                                    const MessageSink& sink) {
    return first_frame_detail::FromFile(ReadPnmPicture, path, sink);
}
