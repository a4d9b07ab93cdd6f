// The conversion writer: for every display type one sequence of records (the first
// picture as a full frame, each further picture as a delta record against the one
// before), written through a temporary file that replaces the output only when complete.
#include "convert_images.h"

#include "changed_rect.h"
#include "checked_size.h"
#include "output_file.h"
#include "packers.h"
#include "report_message.h"
#include "source_image.h"
#include "type_code.h"
#include "zentra_format.h"

#include <cstdio>
#include <limits>
#include <optional>

namespace {

inline constexpr int MAX_PICTURE_SIDE = 32767; // the largest ChangedRect coordinate

// The lay-out byte of a record of depth D from the profile's lay-out code: planar is
// cleared at the packed depths, reversal at depth 8, and bit 1 from depth 8 on (the
// banded orders are the plain ones there).
std::uint8_t RecordLayout(std::uint8_t layout, int depth) {
    if (depth == 1 || depth == 2 || depth == 4 || depth == 8) {
        layout &= static_cast<std::uint8_t>(~LAYOUT_PLANAR);
    }
    if (depth == 8) {
        layout &= static_cast<std::uint8_t>(~LAYOUT_REVERSED);
    }
    if (depth >= 8) {
        layout &= static_cast<std::uint8_t>(~0x02);
    }
    return layout;
}

bool WriteBytes(std::FILE* file, const std::uint8_t* bytes, std::size_t count) {
    return std::fwrite(bytes, 1, count, file) == count;
}

// One display type's sequence within a conversion. Every failure is reported here, once.
class SequenceWriter {
  public:
    SequenceWriter(OutputFile& output, std::uint32_t typeCode, int delay)
        : output_(output), layout_(TypeCodeLayout(typeCode)), depth_(TypeCodeDepth(typeCode)),
          delay_(static_cast<std::uint16_t>(delay)) {}

    bool Write(const std::vector<std::string>& picturePaths) {
        const Packer packer = SelectPacker(depth_, RecordLayout(layout_, depth_));
        if (packer == nullptr) {
            ReportMessage(stderr, "ERROR: unsupported colour depth\n");
            return false;
        }
        std::optional<SourceImage> previous;
        for (std::size_t i = 0; i < picturePaths.size(); ++i) {
            std::optional<SourceImage> current = LoadImageFile(picturePaths[i]);
            if (!current || !CheckSize(*current, previous, picturePaths[i])) {
                return false;
            }
            if ((layout_ & LAYOUT_INVERTED_Y) != 0) {
                ReverseRows(current->pixels.data(), static_cast<std::size_t>(current->width),
                            static_cast<std::size_t>(current->height));
            }
            const bool last = i > 0 && i + 1 == picturePaths.size();
            if (!WriteRecord(*current, previous ? &*previous : nullptr, last, packer)) {
                ReportMessage(stderr, "ERROR: failed to write file '%s'\n",
                              output_.TargetPath().c_str());
                return false;
            }
            previous = std::move(current); // frees the picture before it
        }
        return true;
    }

  private:
    // Sizes must fit the rectangle's 16-bit fields, the pixel block must hold the whole
    // picture, and every picture of a sequence must have the first picture's size so
    // that comparisons stay inside both.
    bool CheckSize(const SourceImage& picture, const std::optional<SourceImage>& previous,
                   const std::string& path) {
        if (picture.width < 1 || picture.height < 1 || picture.width > MAX_PICTURE_SIDE ||
            picture.height > MAX_PICTURE_SIDE) {
            ReportMessage(stderr, "ERROR: invalid size (width=%d, height=%d)\n",
                          static_cast<int>(picture.width), static_cast<int>(picture.height));
            return false;
        }
        std::size_t pixelCount = 0;
        if (!CheckedMultiply(static_cast<std::size_t>(picture.width),
                             static_cast<std::size_t>(picture.height), pixelCount) ||
            picture.pixels.size() != pixelCount) {
            ReportMessage(stderr, "ERROR: invalid size (width=%d, height=%d)\n",
                          static_cast<int>(picture.width), static_cast<int>(picture.height));
            return false;
        }
        if (previous && (picture.width != previous->width || picture.height != previous->height)) {
            ReportMessage(stderr,
                          "ERROR: picture '%s' is %d x %d, but the sequence's first picture is "
                          "%d x %d\n",
                          path.c_str(), static_cast<int>(picture.width),
                          static_cast<int>(picture.height), static_cast<int>(previous->width),
                          static_cast<int>(previous->height));
            return false;
        }
        return true;
    }

    // The stored rectangle: the whole picture for a full frame, else the aligned changed
    // rectangle, or an empty one at (0, 0) when nothing changed.
    ChangedRect RecordRect(const SourceImage& picture, const SourceImage* previous,
                           std::uint8_t layout) const {
        ChangedRect rect;
        if (previous == nullptr) {
            rect.width = static_cast<std::int16_t>(picture.width);
            rect.height = static_cast<std::int16_t>(picture.height);
            return rect;
        }
        const std::optional<ChangedRect> changed = FindChangedRect(
            picture.pixels.data(), previous->pixels.data(), picture.width, picture.height);
        if (!changed) {
            return rect;
        }
        return AlignChangedRect(*changed, depth_, layout & LAYOUT_ORDER, picture.width,
                                picture.height);
    }

    // Record: header (written twice: provisional, then with the final length and size),
    // delta header for later pictures, palette when the source brings one, pixel data.
    bool WriteRecord(const SourceImage& picture, const SourceImage* previous, bool last,
                     Packer packer) {
        std::FILE* file = output_.File();
        RecordHeader header;
        header.layout = RecordLayout(layout_, depth_);
        if (previous != nullptr) {
            header.layout |= RECORD_DELTA;
        }
        if (last) {
            header.layout |= RECORD_LAST_FRAME;
        }
        header.depth = depth_;
        header.width = static_cast<std::uint16_t>(picture.width);
        header.height = static_cast<std::uint16_t>(picture.height);
        const ChangedRect rect = RecordRect(picture, previous, header.layout);

        const long start = std::ftell(file);
        if (start < 0 || !WriteBytes(file, EncodeRecordHeader(header).data(), RECORD_HEADER_SIZE)) {
            return false;
        }
        if (previous != nullptr) {
            DeltaHeader delta;
            delta.delay = delay_;
            delta.dx = static_cast<std::uint16_t>(rect.x);
            delta.dy = static_cast<std::uint16_t>(rect.y);
            if (!WriteBytes(file, EncodeDeltaHeader(delta).data(), DELTA_HEADER_SIZE)) {
                return false;
            }
        }
        // Depths 1, 2, 4 and 8 only reach here, so 2^D entries lie within the 256 of the
        // buffer.
        const std::size_t paletteBytes = static_cast<std::size_t>(PaletteSize(depth_));
        for (std::size_t k = 0; k < paletteBytes; ++k) {
            if (picture.palette[k] != 0) {
                header.layout |= RECORD_PALETTE;
                if (!WriteBytes(file, picture.palette.data(), paletteBytes)) {
                    return false;
                }
                break;
            }
        }
        if (!packer(file, header, picture.pixels.data(), rect)) {
            return false;
        }

        const long end = std::ftell(file);
        if (end < start ||
            static_cast<unsigned long>(end - start) > std::numeric_limits<std::uint32_t>::max()) {
            return false;
        }
        header.recordLength = static_cast<std::uint32_t>(end - start);
        header.width = static_cast<std::uint16_t>(rect.width);
        header.height = static_cast<std::uint16_t>(rect.height);
        return std::fseek(file, start, SEEK_SET) == 0 &&
               WriteBytes(file, EncodeRecordHeader(header).data(), RECORD_HEADER_SIZE) &&
               std::fseek(file, end, SEEK_SET) == 0;
    }

    OutputFile& output_;
    std::uint8_t layout_;
    std::uint8_t depth_;
    std::uint16_t delay_;
};

} // namespace

std::string OutputPathFor(const std::string& firstPicture) {
    std::string path = firstPicture;
    const std::size_t dot = path.rfind('.');
    if (dot != std::string::npos && path.find_first_of("\\/", dot) == std::string::npos) {
        path.erase(dot);
    }
    return path + ".ztr";
}

int ConvertImages(const std::vector<std::string>& picturePaths,
                  const std::vector<std::uint32_t>& typeCodes, int delay) {
    if (picturePaths.empty() || typeCodes.empty()) {
        ReportMessage(stderr, "ERROR: no pictures or no display types to convert\n");
        return 1;
    }
    OutputFile output(OutputPathFor(picturePaths.front()));
    if (!output.Open()) {
        ReportMessage(stderr, "ERROR: failed to open file '%s' for writing\n",
                      output.TargetPath().c_str());
        return 1;
    }
    for (const std::uint32_t typeCode : typeCodes) {
        SequenceWriter sequence(output, typeCode, delay);
        if (!sequence.Write(picturePaths)) {
            return 1;
        }
    }
    if (!output.Commit()) {
        ReportMessage(stderr, "ERROR: failed to write file '%s'\n", output.TargetPath().c_str());
        return 1;
    }
    return 0;
}
