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
    if (depth == 1 || depth == 2 || depth == 4 || depth == 8 || IsColourDepth(depth)) {
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
    SequenceWriter(OutputFile& output, std::uint32_t typeCode, const ConversionContext& context,
                   RunLengthBuffer& coded)
        : output_(output), layout_(TypeCodeLayout(typeCode)), depth_(TypeCodeDepth(typeCode)),
          colour_(IsColourDepth(depth_)), sink_(context.sink), tone_(context.tone), coded_(coded) {}

    ConvertResult Write(const std::vector<Frame>& frames) {
        const Packer packer = SelectPacker(depth_, RecordLayout(layout_, depth_));
        if (packer == nullptr) {
            ReportMessage(sink_, stderr, "ERROR: unsupported colour depth\n");
            return ConvertResult::UnsupportedDepth;
        }
        std::optional<SourceImage> previous;
        for (std::size_t i = 0; i < frames.size(); ++i) {
            std::optional<SourceImage> current = LoadFrame(frames[i]);
            if (!current) {
                return ConvertResult::CannotLoadPicture;
            }
            PictureArea area;
            if (!ShapePicture(*current, tone_, depth_, &area)) {
                ReportMessage(sink_, stderr, "ERROR: insufficient memory\n");
                return ConvertResult::OutOfMemory;
            }
            // Otsu's threshold comes from the sequence's first picture (its own pixels, not
            // the margins of a fit), and holds for all its pictures.
            if (i == 0) {
                threshold_ = tone_.autoThreshold ? OtsuThreshold(*current, area) : tone_.threshold;
            }
            // Indexed bitmaps keep their colour-table indices, shown through their palette.
            if (!current->indexed) {
                QuantisePicture(current->pixels.data(), current->width, current->height, depth_,
                                threshold_, tone_.dither);
            }
            if (colour_ && !QuantiseColours(current->rgb.data(), current->width, current->height,
                                            depth_, tone_.dither)) {
                ReportMessage(sink_, stderr, "ERROR: insufficient memory\n");
                return ConvertResult::OutOfMemory;
            }
            if (const ConvertResult size = CheckSize(*current, previous, frames[i].path);
                size != ConvertResult::Written) {
                return size;
            }
            if ((layout_ & LAYOUT_INVERTED_Y) != 0) {
                std::vector<std::uint8_t>& samples = Samples(*current);
                ReverseRows(samples.data(),
                            static_cast<std::size_t>(current->width) * BytesPerPixel(),
                            static_cast<std::size_t>(current->height));
            }
            const bool last = i > 0 && i + 1 == frames.size();
            const auto delay = static_cast<std::uint16_t>(frames[i].delay);
            if (!WriteRecord(*current, previous ? &*previous : nullptr, last, delay, packer)) {
                if (coded_.OutOfMemory()) {
                    ReportMessage(sink_, stderr, "Out of memory!\n");
                    return ConvertResult::OutOfMemory;
                }
                ReportMessage(sink_, stderr, "ERROR: failed to write file '%s'\n",
                              output_.TargetPath().c_str());
                return ConvertResult::WriteFailed;
            }
            previous = std::move(current); // frees the picture before it
        }
        return ConvertResult::Written;
    }

  private:
    // What the records are packed from: the colours for colour records, else the grey
    // levels.
    std::vector<std::uint8_t>& Samples(SourceImage& picture) const {
        return colour_ ? picture.rgb : picture.pixels;
    }
    const std::vector<std::uint8_t>& Samples(const SourceImage& picture) const {
        return colour_ ? picture.rgb : picture.pixels;
    }
    int BytesPerPixel() const { return colour_ ? 3 : 1; }

    // Frame `index` of the file; a GIF's frames are read once and kept while the
    // following frames come from the same file.
    std::optional<SourceImage> LoadFrame(const Frame& frame) {
        if (frame.index == 0) {
            std::optional<std::vector<SourceImage>> read =
                LoadImageFrames(frame.path, ReadOptions(false), sink_);
            if (!read) {
                return std::nullopt;
            }
            return std::move(read->front());
        }
        if (loadedPath_ != frame.path) {
            const SourceReadOptions options = ReadOptions(true);
            std::optional<std::vector<SourceImage>> read =
                LoadImageFrames(frame.path, options, sink_);
            if (!read) {
                return std::nullopt;
            }
            loaded_ = std::move(*read);
            loadedPath_ = frame.path;
        }
        if (static_cast<std::size_t>(frame.index) >= loaded_.size()) {
            ReportMessage(sink_, stderr, "ERROR: file '%s' has no frame %d\n", frame.path.c_str(),
                          frame.index + 1);
            return std::nullopt;
        }
        return loaded_[static_cast<std::size_t>(frame.index)];
    }

    SourceReadOptions ReadOptions(bool allFrames) const {
        SourceReadOptions options;
        options.background = tone_.background;
        options.allFrames = allFrames;
        options.colours = colour_;
        return options;
    }

    // Sizes must fit the rectangle's 16-bit fields, the pixel block must hold the whole
    // picture, and every picture of a sequence must have the first picture's size so
    // that comparisons stay inside both.
    ConvertResult CheckSize(const SourceImage& picture, const std::optional<SourceImage>& previous,
                            const std::string& path) {
        if (picture.width < 1 || picture.height < 1 || picture.width > MAX_PICTURE_SIDE ||
            picture.height > MAX_PICTURE_SIDE) {
            ReportMessage(sink_, stderr, "ERROR: invalid size (width=%d, height=%d)\n",
                          static_cast<int>(picture.width), static_cast<int>(picture.height));
            return ConvertResult::InvalidSize;
        }
        std::size_t pixelCount = 0;
        if (!CheckedMultiply(static_cast<std::size_t>(picture.width),
                             static_cast<std::size_t>(picture.height), pixelCount) ||
            picture.pixels.size() != pixelCount ||
            Samples(picture).size() / static_cast<std::size_t>(BytesPerPixel()) != pixelCount) {
            ReportMessage(sink_, stderr, "ERROR: invalid size (width=%d, height=%d)\n",
                          static_cast<int>(picture.width), static_cast<int>(picture.height));
            return ConvertResult::InvalidSize;
        }
        if (previous && (picture.width != previous->width || picture.height != previous->height)) {
            ReportMessage(sink_, stderr,
                          "ERROR: picture '%s' is %d x %d, but the sequence's first picture is "
                          "%d x %d\n",
                          path.c_str(), static_cast<int>(picture.width),
                          static_cast<int>(picture.height), static_cast<int>(previous->width),
                          static_cast<int>(previous->height));
            return ConvertResult::SizeMismatch;
        }
        return ConvertResult::Written;
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
        const std::optional<ChangedRect> changed =
            FindChangedRect(Samples(picture).data(), Samples(*previous).data(), picture.width,
                            picture.height, BytesPerPixel());
        if (!changed) {
            return rect;
        }
        return AlignChangedRect(*changed, depth_, layout & LAYOUT_ORDER, picture.width,
                                picture.height);
    }

    // Record: header (written twice: provisional, then with the final length and size),
    // delta header for later pictures, palette when the source brings one, pixel data.
    bool WriteRecord(const SourceImage& picture, const SourceImage* previous, bool last,
                     std::uint16_t delay, Packer packer) {
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
            delta.delay = delay;
            delta.dx = static_cast<std::uint16_t>(rect.x);
            delta.dy = static_cast<std::uint16_t>(rect.y);
            if (!WriteBytes(file, EncodeDeltaHeader(delta).data(), DELTA_HEADER_SIZE)) {
                return false;
            }
        }
        // Grey records of depths 1, 2, 4 and 8 carry the source's palette, whose 2^D
        // entries lie within the 256 of the buffer; colour records carry none.
        const std::size_t paletteBytes =
            colour_ ? 0 : static_cast<std::size_t>(PaletteSize(depth_));
        for (std::size_t k = 0; k < paletteBytes; ++k) {
            if (picture.palette[k] != 0) {
                header.layout |= RECORD_PALETTE;
                if (!WriteBytes(file, picture.palette.data(), paletteBytes)) {
                    return false;
                }
                break;
            }
        }
        if (!packer(coded_, file, header, Samples(picture).data(), rect)) {
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
    bool colour_; // packed from the colours
    const MessageSink& sink_;
    const ToneOptions& tone_;
    int threshold_ = DEFAULT_THRESHOLD;
    std::string loadedPath_;
    std::vector<SourceImage> loaded_;
    RunLengthBuffer& coded_;
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

std::string ChosenOutputPath(const std::string& firstPicture, const ConversionContext& context) {
    if (!context.outputPath.empty()) {
        return context.outputPath;
    }
    std::string path = OutputPathFor(firstPicture);
    if (context.outputDirectory.empty()) {
        return path;
    }
    const std::size_t slash = path.find_last_of("\\/");
    if (slash != std::string::npos) {
        path.erase(0, slash + 1);
    }
    const char last = context.outputDirectory.back();
    return context.outputDirectory + (last == '/' || last == '\\' ? "" : "/") + path;
}

ConvertResult WriteFrames(const std::vector<Frame>& frames,
                          const std::vector<std::uint32_t>& typeCodes,
                          const ConversionContext& context) {
    if (frames.empty() || typeCodes.empty()) {
        ReportMessage(context.sink, stderr, "ERROR: no pictures or no display types to convert\n");
        return ConvertResult::NothingToConvert;
    }
    for (std::size_t i = 1; i < frames.size(); ++i) {
        if (!DelayFits(frames[i].delay)) {
            ReportMessage(context.sink, stderr, "ERROR: the delay must be between 0 and %d ms\n",
                          MAX_DELAY_MS);
            return ConvertResult::InvalidDelay;
        }
    }
    OutputFile output(ChosenOutputPath(frames.front().path, context));
    if (!output.Open()) {
        ReportMessage(context.sink, stderr, "ERROR: failed to open file '%s' for writing\n",
                      output.TargetPath().c_str());
        return ConvertResult::CannotCreateOutput;
    }
    RunLengthBuffer coded(context.allocate);
    for (const std::uint32_t typeCode : typeCodes) {
        SequenceWriter sequence(output, typeCode, context, coded);
        if (const ConvertResult result = sequence.Write(frames); result != ConvertResult::Written) {
            return result; // the output's destructor removes the temporary file
        }
    }
    if (!output.Commit()) {
        ReportMessage(context.sink, stderr, "ERROR: failed to write file '%s'\n",
                      output.TargetPath().c_str());
        return ConvertResult::WriteFailed;
    }
    return ConvertResult::Written;
}

int ConvertImages(const std::vector<std::string>& picturePaths,
                  const std::vector<std::uint32_t>& typeCodes, int delay,
                  const ConversionContext& context) {
    std::vector<Frame> frames;
    frames.reserve(picturePaths.size());
    for (const std::string& path : picturePaths) {
        frames.push_back({path, delay});
    }
    return WriteFrames(frames, typeCodes, context) == ConvertResult::Written ? 0 : 1;
}
