// The conversion writer: for every display type one sequence of records (the first
// picture as a full frame, each further picture as a delta record against the one
// before), written through a temporary file that replaces the output only when complete.
#include "convert_images.h"

#include "adaptive_palette.h"
#include "byte_sink.h"
#include "changed_rect.h"
#include "checked_size.h"
#include "colour_to_grey.h"
#include "decoded_pictures.h"
#include "dense_coding.h"
#include "load_palette.h"
#include "packers.h"
#include "palette_mapping.h"
#include "palette_order.h"
#include "panel_palette.h"
#include "pixel_stream_shape.h"
#include "read_failure.h"
#include "record_palette.h"
#include "report_message.h"
#include "source_image.h"
#include "squash_coding.h"
#include "type_code.h"
#include "zentra_format.h"

#include <cstdio>
#include <limits>
#include <new>
#include <optional>
#include <vector>

namespace {

// Reads the frames of a conversion for one use (a type's sequence, or choosing the adaptive
// palette): frame `index` of a picture, from the conversion's decoded pictures, composited
// over that use's background with its colours when it needs them.
class FrameSource {
  public:
    FrameSource(DecodedPictures& pictures, const MessageSink& sink, std::uint8_t background,
                bool colours)
        : pictures_(pictures), sink_(sink), background_(background), colours_(colours) {}

    std::optional<SourceImage> Load(const Frame& frame) const {
        if (frame.picture) {
            return *frame.picture;
        }
        const SourceImage* decoded = pictures_.Frame(frame.path, frame.bytes, frame.index, sink_);
        if (decoded == nullptr) {
            return std::nullopt;
        }
        return PictureForType(*decoded, background_, colours_);
    }

  private:
    DecodedPictures& pictures_;
    const MessageSink& sink_;
    std::uint8_t background_;
    bool colours_;
};

// Whether a picture's grey levels and colours both hold width x height pixels, as mapping
// it to a palette needs.
bool ColoursFitSize(const SourceImage& picture) {
    std::size_t count = 0;
    return picture.width > 0 && picture.height > 0 &&
           CheckedMultiply(static_cast<std::size_t>(picture.width),
                           static_cast<std::size_t>(picture.height), count) &&
           picture.pixels.size() == count && picture.rgb.size() / 3 == count &&
           picture.rgb.size() % 3 == 0;
}

// A type's palette as the writer uses it: the colours its records carry, and what its
// pictures are matched against.
struct TypeColours {
    Palette palette;
    PaletteMatch match;
};

// Turns a shaped picture's colours into indices of the palette (in the grey levels, where
// the packers take them: an index in the top bits, as a reader scales a bitmap's indices)
// or, for colour records, into the palette's colours. False when memory ran out.
bool MapPicture(SourceImage& picture, const TypeColours& colours, int depth, Dither dither) {
    const Palette& palette = colours.palette;
    std::vector<std::uint8_t> indices;
    try {
        indices.resize(picture.pixels.size());
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (!MapToPalette(picture.rgb.data(), picture.width, picture.height, colours.match, dither,
                      indices.data())) {
        return false;
    }
    if (IsColourDepth(static_cast<unsigned>(depth))) {
        for (std::size_t i = 0; i < indices.size(); ++i) {
            const PaletteColour& colour = palette[indices[i]];
            picture.rgb[3 * i] = colour.red;
            picture.rgb[3 * i + 1] = colour.green;
            picture.rgb[3 * i + 2] = colour.blue;
        }
        return true;
    }
    const int shift = depth < 8 ? 8 - depth : 0;
    for (std::size_t i = 0; i < indices.size(); ++i) {
        picture.pixels[i] = static_cast<std::uint8_t>(indices[i] << shift);
    }
    std::vector<std::uint8_t>().swap(picture.rgb); // the colours are no longer needed
    return true;
}

// One display type's sequence within a conversion. Every failure is reported here, once.
class SequenceWriter {
  public:
    // `colours`, when given, is the type's palette (it outlives the writer).
    SequenceWriter(ByteSink& output, const Sequence& sequence, const ConversionContext& context,
                   RunLengthBuffer& coded, SquashEncoder& squash, DenseEncoder& dense,
                   const TypeColours* colours, DecodedPictures& pictures)
        : output_(output), layout_(TypeCodeLayout(sequence.typeCode)),
          depth_(TypeCodeDepth(sequence.typeCode)), colour_(IsColourDepth(depth_)),
          colours_(colours), palette_(colours != nullptr ? &colours->palette : nullptr),
          sink_(context.sink), tone_(PanelTone(context.tone, sequence.panel)),
          panel_(sequence.panel), coding_(context.coding), denseWindow_(context.denseWindow),
          coded_(coded), squash_(squash), dense_(dense),
          frames_(pictures, context.sink, tone_.background, colour_ || palette_ != nullptr) {}

    // Writes the frames' records; after each frame, frameWritten(frames written so far)
    // says whether to go on.
    ConvertResult Write(const std::vector<Frame>& frames,
                        const std::function<bool(std::size_t)>& frameWritten) {
        const Packer packer = SelectPacker(depth_, RecordLayout(layout_, depth_));
        if (packer == nullptr) {
            ReportMessage(sink_, "ERROR: unsupported colour depth\n");
            return ConvertResult::UnsupportedDepth;
        }
        std::optional<SourceImage> previous;
        for (std::size_t i = 0; i < frames.size(); ++i) {
            std::optional<SourceImage> current = frames_.Load(frames[i]);
            if (!current) {
                return ConvertResult::CannotLoadPicture;
            }
            const int readWidth = current->width;
            const int readHeight = current->height;
            PictureArea area;
            if (!ShapePicture(*current, tone_, depth_, &area)) {
                ReportMessage(sink_, "ERROR: insufficient memory\n");
                return ConvertResult::OutOfMemory;
            }
            if (i == 0) {
                WarnAboutPanelSize(*current, frames[i].path, readWidth, readHeight);
            }
            // Otsu's threshold comes from the sequence's first picture (its own pixels, not
            // the margins of a fit), and holds for all its pictures.
            if (i == 0) {
                threshold_ = tone_.autoThreshold ? OtsuThreshold(*current, area) : tone_.threshold;
            }
            if (palette_ != nullptr) {
                if (!AddColours(*current)) {
                    ReportMessage(sink_, "ERROR: insufficient memory\n");
                    return ConvertResult::OutOfMemory;
                }
                if (!ColoursFitSize(*current)) {
                    ReportOutcome(sink_,
                                  InvalidSize(frames[i].path, current->width, current->height));
                    return ConvertResult::InvalidSize;
                }
                if (!MapPicture(*current, *colours_, depth_, tone_.dither)) {
                    ReportMessage(sink_, "ERROR: insufficient memory\n");
                    return ConvertResult::OutOfMemory;
                }
            } else {
                // Indexed bitmaps keep their colour-table indices, shown through their palette.
                if (!current->indexed) {
                    QuantisePicture(current->pixels.data(), current->width, current->height, depth_,
                                    threshold_, tone_.dither);
                }
                if (colour_ && !QuantiseColours(current->rgb.data(), current->width,
                                                current->height, depth_, tone_.dither)) {
                    ReportMessage(sink_, "ERROR: insufficient memory\n");
                    return ConvertResult::OutOfMemory;
                }
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
                if (coded_.OutOfMemory() || outOfMemory_) {
                    ReportMessage(sink_, "Out of memory!\n");
                    return ConvertResult::OutOfMemory;
                }
                ReportMessage(sink_, "ERROR: failed to write file '%s'\n%s", output_.Name().c_str(),
                              output_.FailureReason().c_str());
                return ConvertResult::WriteFailed;
            }
            previous = std::move(current); // frees the picture before it
            if (!frameWritten(i + 1)) {
                return ConvertResult::Cancelled;
            }
        }
        return ConvertResult::Written;
    }

  private:
    // The conversion's tone options, resized to the panel when the type asks for it, on
    // the panel's own background when it has one.
    static ToneOptions PanelTone(ToneOptions tone, const TypePanel& panel) {
        if (panel.resize && panel.width > 0 && panel.height > 0) {
            tone.resizeWidth = panel.width;
            tone.resizeHeight = panel.height;
        }
        if (panel.background) {
            tone.background = *panel.background;
        }
        return tone;
    }

    // A picture that the panel cannot show whole is worth a word, once per sequence: the
    // size it is written at, and on a line of its own the size it was read at and, when
    // a quarter turn would make it fit, the --rotate that turns it.
    void WarnAboutPanelSize(const SourceImage& picture, const std::string& path, int readWidth,
                            int readHeight) const {
        if (panel_.width <= 0 || panel_.height <= 0 || panel_.resize ||
            (picture.width <= panel_.width && picture.height <= panel_.height)) {
            return;
        }
        ReportMessage(
            sink_, "WARNING: picture '%s' is %d x %d, larger than the %d x %d panel of '%s'\n",
            path.c_str(), static_cast<int>(picture.width), static_cast<int>(picture.height),
            panel_.width, panel_.height, panel_.name.c_str());
        std::string detail;
        if (readWidth != picture.width || readHeight != picture.height) {
            detail = "read at " + std::to_string(readWidth) + " x " + std::to_string(readHeight) +
                     ", written at " + std::to_string(picture.width) + " x " +
                     std::to_string(picture.height);
        }
        // Resizing comes after rotating, so only a picture kept at its size turns to fit.
        const bool turnedFits = picture.height <= panel_.width && picture.width <= panel_.height;
        if (tone_.resizeWidth == 0 && turnedFits) {
            const int turn = tone_.rotate % 180 == 0 ? tone_.rotate + 90 : tone_.rotate - 90;
            detail += (detail.empty() ? "" : "; ") + std::string("--rotate ") +
                      std::to_string(turn) + " turns it to " + std::to_string(picture.height) +
                      " x " + std::to_string(picture.width) + ", which fits";
        }
        if (!detail.empty()) {
            ReportMessage(sink_, "  %s\n", detail.c_str());
        }
    }

    // What the records are packed from: the colours for colour records, else the grey
    // levels.
    std::vector<std::uint8_t>& Samples(SourceImage& picture) const {
        return colour_ ? picture.rgb : picture.pixels;
    }
    const std::vector<std::uint8_t>& Samples(const SourceImage& picture) const {
        return colour_ ? picture.rgb : picture.pixels;
    }
    int BytesPerPixel() const { return colour_ ? 3 : 1; }

    // Sizes must fit the rectangle's 16-bit fields, the pixel block must hold the whole
    // picture, and every picture of a sequence must have the first picture's size so
    // that comparisons stay inside both.
    ConvertResult CheckSize(const SourceImage& picture, const std::optional<SourceImage>& previous,
                            const std::string& path) {
        if (picture.width < 1 || picture.height < 1 || picture.width > MAX_PICTURE_SIDE ||
            picture.height > MAX_PICTURE_SIDE) {
            ReportOutcome(sink_, InvalidSize(path, picture.width, picture.height));
            return ConvertResult::InvalidSize;
        }
        std::size_t pixelCount = 0;
        if (!CheckedMultiply(static_cast<std::size_t>(picture.width),
                             static_cast<std::size_t>(picture.height), pixelCount) ||
            picture.pixels.size() != pixelCount ||
            Samples(picture).size() / static_cast<std::size_t>(BytesPerPixel()) != pixelCount) {
            ReportOutcome(sink_, InvalidSize(path, picture.width, picture.height));
            return ConvertResult::InvalidSize;
        }
        if (previous && (picture.width != previous->width || picture.height != previous->height)) {
            ReportMessage(sink_,
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
        // The planes of a planar record are packed as at depth 1.
        const int packedDepth = (layout & LAYOUT_PLANAR) != 0 ? 1 : depth_;
        return AlignChangedRect(*changed, packedDepth, layout & LAYOUT_ORDER, picture.width,
                                picture.height);
    }

    // Record: header (written twice: provisional, then with the final length and size),
    // delta header for later pictures, palette when the type has one or the source
    // brings one, pixel data.
    bool WriteRecord(const SourceImage& picture, const SourceImage* previous, bool last,
                     std::uint16_t delay, Packer packer) {
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

        const std::optional<std::uint64_t> start = output_.Size();
        if (!start || !output_.Write(EncodeRecordHeader(header).data(), RECORD_HEADER_SIZE)) {
            return false;
        }
        if (previous != nullptr) {
            DeltaHeader delta;
            delta.delay = delay;
            delta.dx = static_cast<std::uint16_t>(rect.x);
            delta.dy = static_cast<std::uint16_t>(rect.y);
            if (!output_.Write(EncodeDeltaHeader(delta).data(), DELTA_HEADER_SIZE)) {
                return false;
            }
        }
        // Records of depths 1, 2, 4 and 8 carry the type's palette, or else the source's,
        // whose 2^D entries lie within the 256 of the buffer; colour records carry none.
        if (palette_ != nullptr && !colour_) {
            header.layout |= RECORD_PALETTE;
            const std::vector<std::uint8_t> block = PaletteBlock(*palette_, depth_);
            if (!output_.Write(block.data(), block.size())) {
                return false;
            }
        }
        const std::size_t paletteBytes =
            colour_ || palette_ != nullptr ? 0 : static_cast<std::size_t>(PaletteSize(depth_));
        for (std::size_t k = 0; k < paletteBytes; ++k) {
            if (picture.recordPalette[k] != 0) {
                header.layout |= RECORD_PALETTE;
                if (!output_.Write(picture.recordPalette.data(), paletteBytes)) {
                    return false;
                }
                break;
            }
        }
        if (!WritePixels(header, Samples(picture).data(), rect, packer)) {
            return false;
        }

        const std::optional<std::uint64_t> end = output_.Size();
        if (!end || *end < *start || *end - *start > std::numeric_limits<std::uint32_t>::max()) {
            return false;
        }
        header.recordLength = static_cast<std::uint32_t>(*end - *start);
        header.width = static_cast<std::uint16_t>(rect.width);
        header.height = static_cast<std::uint16_t>(rect.height);
        return output_.Overwrite(*start, EncodeRecordHeader(header).data(), RECORD_HEADER_SIZE);
    }

    // The record's pixel data in the chosen coding: straight through the run-length coder
    // as always, or the unpacked stream collected first and then squash coded, or coded
    // every way the depth has and the smallest taken (header.coding says which): at depths
    // 1, 2 and 4 the dense coding too, whose copies reach back to the start of a full
    // frame when the conversion asks for it.
    bool WritePixels(RecordHeader& header, const std::uint8_t* samples, const ChangedRect& rect,
                     Packer packer) {
        if (coding_ == CodingChoice::RunLength) {
            return packer(coded_, output_, header, samples, rect);
        }
        std::vector<std::uint8_t> unpacked;
        std::vector<std::uint8_t> coded;
        try {
            const std::optional<PixelStreamShape> shape =
                ShapeOfPixelStream(header.layout, depth_, static_cast<unsigned>(rect.width),
                                   static_cast<unsigned>(rect.height));
            unpacked.reserve(shape ? shape->totalBytes : 0);
            coded_.collect = &unpacked;
            const bool packed = packer(coded_, output_, header, samples, rect);
            coded_.collect = nullptr;
            if (!packed || !shape) {
                outOfMemory_ = packed == false;
                return false;
            }
            coded = squash_.Encode(unpacked, *shape);
            header.coding = PixelCoding::Squash;
            if (coding_ == CodingChoice::Auto && IsSubByteDepth(depth_)) {
                const bool whole =
                    denseWindow_ == DenseWindow::WholeStream && (header.layout & RECORD_DELTA) == 0;
                std::vector<std::uint8_t> dense = dense_.Encode(
                    unpacked, *shape, whole ? DenseWindow::WholeStream : DenseWindow::Bytes512);
                if (dense.size() < coded.size()) {
                    coded = std::move(dense);
                    header.coding = PixelCoding::Dense;
                    header.wholeStream = whole;
                }
            }
        } catch (const std::bad_alloc&) {
            coded_.collect = nullptr;
            outOfMemory_ = true;
            return false;
        }
        if (coding_ == CodingChoice::Auto) {
            // The run-length coding of the same stream, by the same coder as the packers'.
            BeginPixelData(coded_);
            {
                PixelByteCoder coder(coded_);
                for (const std::uint8_t b : unpacked) {
                    coder.Put(b);
                }
            }
            if (coded_.OutOfMemory()) {
                EndPixelData(coded_, nullptr);
                return false;
            }
            if (static_cast<std::size_t>(coded_.Length()) <= coded.size()) {
                header.coding = PixelCoding::RunLength;
                return WritePixelData(coded_, output_);
            }
            EndPixelData(coded_, nullptr);
        }
        return output_.Write(coded.data(), coded.size());
    }

    ByteSink& output_;
    std::uint8_t layout_;
    std::uint8_t depth_;
    bool colour_;                // packed from the colours
    const TypeColours* colours_; // the type's palette and its matching, or null
    const Palette* palette_;     // the type's palette, or null for grey levels
    const MessageSink& sink_;
    const ToneOptions tone_;
    const TypePanel& panel_;
    CodingChoice coding_;
    DenseWindow denseWindow_;
    bool outOfMemory_ = false; // collecting or squash coding a record ran out of memory
    int threshold_ = DEFAULT_THRESHOLD;
    RunLengthBuffer& coded_;
    SquashEncoder& squash_;
    DenseEncoder& dense_;
    FrameSource frames_;
};

// The palette of at most tone.colours colours chosen for every frame of the file
// together (the closing repeat of the first frame not counted twice), so that an
// animation's frames share their colours and its deltas stay small. Nothing after a
// failure, which has been reported.
std::optional<Palette> AdaptivePalette(const std::vector<Frame>& frames,
                                       const ConversionContext& context, DecodedPictures& pictures,
                                       ConvertResult& failure) {
    const FrameSource source(pictures, context.sink, context.tone.background, true);
    ColourHistogram histogram;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        if (i > 0 && i + 1 == frames.size() && frames[i].path == frames[0].path &&
            frames[i].index == frames[0].index) {
            break;
        }
        std::optional<SourceImage> picture = source.Load(frames[i]);
        if (!picture) {
            failure = ConvertResult::CannotLoadPicture;
            return std::nullopt;
        }
        if (!ShapePicture(*picture, context.tone) || !AddColours(*picture) ||
            !histogram.Add(picture->rgb.data(), picture->rgb.size() / 3)) {
            ReportMessage(context.sink, "ERROR: insufficient memory\n");
            failure = ConvertResult::OutOfMemory;
            return std::nullopt;
        }
    }
    return histogram.Choose(context.tone.colours);
}

// The palettes of a conversion: the tone options' fixed palette, read once; the adaptive
// one, chosen when a type first needs it; and each type's profile palette, with the
// colours its panel shows.
class ConversionPalettes {
  public:
    ConversionPalettes(const std::vector<Frame>& frames, const ConversionContext& context,
                       DecodedPictures& pictures)
        : frames_(frames), context_(context), pictures_(pictures) {}

    // Reads the fixed palette and checks that every type's palette fits its depth and
    // that the fixed palette keeps the colours of a type's panel palette at its indices.
    ConvertResult Prepare(const std::vector<std::uint32_t>& typeCodes) {
        if (context_.paletteFile) {
            fixed_ =
                ReadPanelPaletteBytes(*context_.paletteFile, context_.tone.palette, context_.sink);
            if (!fixed_) {
                return ConvertResult::CannotReadPalette;
            }
        } else if (!context_.tone.palette.empty()) {
            fixed_ = LoadPanelPalette(context_.tone.palette, context_.sink);
            if (!fixed_) {
                return ConvertResult::CannotReadPalette;
            }
        }
        for (std::size_t k = 0; k < typeCodes.size(); ++k) {
            const unsigned depth = TypeCodeDepth(typeCodes[k]);
            const std::size_t colours = Colours(k);
            if (colours > 0 && !PaletteFits(colours, depth)) {
                ReportMessage(context_.sink, "ERROR: the palette has %s\n",
                              TooManyColoursText(colours, depth).c_str());
                return ConvertResult::TooManyColours;
            }
            if (fixed_) {
                const std::string name =
                    k < context_.panels.size() && !context_.panels[k].name.empty()
                        ? "type '" + context_.panels[k].name + "'"
                        : "the display type";
                if (const std::optional<std::string> fault = PaletteOrderFault(
                        fixed_->colours, "palette '" + context_.tone.palette + "'",
                        Profile(k).colours, name)) {
                    ReportMessage(context_.sink, "ERROR: %s\n", fault->c_str());
                    return ConvertResult::PaletteOutOfOrder;
                }
            }
        }
        types_.resize(typeCodes.size());
        return ConvertResult::Written;
    }

    // The palette of type k (of `depth` bits), or null for grey levels; the adaptive
    // palette is chosen on first use. Null with `failure` set when choosing it failed.
    const TypeColours* For(std::size_t k, unsigned depth, ConvertResult& failure) {
        if (k >= types_.size()) {
            return nullptr;
        }
        if (!types_[k]) {
            std::optional<TypeColours> chosen = Choose(k, failure);
            // A black and white palette at depth 1 is what grey levels are.
            if (!chosen || (depth == 1 && IsPlainBlackWhite(*chosen))) {
                return nullptr;
            }
            types_[k] = std::move(chosen);
        }
        return &*types_[k];
    }

  private:
    std::optional<TypeColours> Choose(std::size_t k, ConvertResult& failure) {
        if (fixed_) {
            PanelPalette panel = *fixed_;
            if (panel.shows.empty()) {
                panel.shows = BorrowedShows(panel.colours, Profile(k));
            }
            return TypeColours{panel.colours, PanelMatch(panel, context_.tone.saturation)};
        }
        if (context_.tone.colours > 0) {
            if (!adaptive_) {
                adaptive_ = AdaptivePalette(frames_, context_, pictures_, failure);
            }
            if (!adaptive_) {
                return std::nullopt;
            }
            PaletteMatch plain;
            plain.colours = *adaptive_;
            return TypeColours{*adaptive_, plain};
        }
        const PanelPalette panel = Profile(k);
        if (panel.colours.empty()) {
            return std::nullopt;
        }
        return TypeColours{panel.colours, PanelMatch(panel, context_.tone.saturation)};
    }

    static bool IsPlainBlackWhite(const TypeColours& colours) {
        const Palette blackWhite = *BuiltInPalette("bw");
        return colours.palette == blackWhite && colours.match.colours == blackWhite;
    }

    // Type k's profile palette and the colours its panel shows; empty for none.
    PanelPalette Profile(std::size_t k) const {
        PanelPalette panel;
        if (k < context_.typePalettes.size()) {
            panel.colours = context_.typePalettes[k];
        }
        if (k < context_.typeShows.size() && context_.typeShows[k].size() == panel.colours.size()) {
            panel.shows = context_.typeShows[k];
        }
        return panel;
    }

    // How many colours type k's palette has, or asks for; 0 for none.
    std::size_t Colours(std::size_t k) const {
        if (fixed_) {
            return fixed_->colours.size();
        }
        if (context_.tone.colours > 0) {
            return static_cast<std::size_t>(context_.tone.colours);
        }
        return k < context_.typePalettes.size() ? context_.typePalettes[k].size() : 0;
    }

    const std::vector<Frame>& frames_;
    const ConversionContext& context_;
    DecodedPictures& pictures_;
    std::optional<PanelPalette> fixed_;
    std::optional<Palette> adaptive_;
    std::vector<std::optional<TypeColours>> types_;
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

namespace {

// The checks before anything is written: something to write, and delays that fit.
ConvertResult CheckSequences(const std::vector<Sequence>& sequences,
                             const ConversionContext& context) {
    if (sequences.empty() || sequences.front().frames.empty()) {
        ReportMessage(context.sink, "ERROR: no pictures or no display types to convert\n");
        return ConvertResult::NothingToConvert;
    }
    for (const Sequence& sequence : sequences) {
        for (std::size_t i = 1; i < sequence.frames.size(); ++i) {
            if (!DelayFits(sequence.frames[i].delay)) {
                ReportMessage(context.sink, "ERROR: the delay must be between 0 and %d ms\n",
                              MAX_DELAY_MS);
                return ConvertResult::InvalidDelay;
            }
        }
    }
    return ConvertResult::Written;
}

} // namespace

bool NeedsColours(const std::vector<std::uint32_t>& typeCodes, const ConversionContext& context) {
    if (!context.tone.palette.empty() || context.paletteFile || context.tone.colours > 0) {
        return true;
    }
    for (const Palette& palette : context.typePalettes) {
        if (!palette.empty()) {
            return true;
        }
    }
    for (const std::uint32_t typeCode : typeCodes) {
        if (IsColourDepth(TypeCodeDepth(typeCode))) {
            return true;
        }
    }
    return false;
}

namespace {

// Writes the checked sequences through the sink, which is opened here and committed
// only when every record is written.
ConvertResult WriteSequencesTo(const std::vector<Sequence>& sequences,
                               const ConversionContext& context, ByteSink& output) {
    std::vector<std::uint32_t> typeCodes;
    typeCodes.reserve(sequences.size());
    for (const Sequence& sequence : sequences) {
        typeCodes.push_back(sequence.typeCode);
    }
    // Each picture is decoded once for every type, with its colours when some type may
    // need them.
    DecodedPictures ownPictures(NeedsColours(typeCodes, context), context.pictureDecoded);
    DecodedPictures& pictures = context.pictures != nullptr ? *context.pictures : ownPictures;
    ConversionPalettes palettes(sequences.front().frames, context, pictures);
    if (const ConvertResult prepared = palettes.Prepare(typeCodes);
        prepared != ConvertResult::Written) {
        return prepared;
    }
    if (!output.Open()) {
        ReportMessage(context.sink, "ERROR: failed to open file '%s' for writing\n%s",
                      output.Name().c_str(), output.FailureReason().c_str());
        return ConvertResult::CannotCreateOutput;
    }
    RunLengthBuffer coded(context.allocate);
    SquashEncoder squash; // keep their memory from record to record
    DenseEncoder dense;
    ConversionProgress progress;
    progress.types = sequences.size();
    for (std::size_t k = 0; k < sequences.size(); ++k) {
        const Sequence& sequence = sequences[k];
        ConvertResult chosen = ConvertResult::Written;
        const TypeColours* palette = palettes.For(k, TypeCodeDepth(sequence.typeCode), chosen);
        if (chosen != ConvertResult::Written) {
            return chosen;
        }
        progress.frames = sequence.frames.size();
        SequenceWriter writer(output, sequence, context, coded, squash, dense, palette, pictures);
        const auto frameWritten = [&context, &progress](std::size_t done) {
            progress.framesDone = done;
            return !context.progress || context.progress(progress);
        };
        if (const ConvertResult result = writer.Write(sequence.frames, frameWritten);
            result != ConvertResult::Written) {
            return result; // an uncommitted sink leaves nothing behind
        }
        ++progress.typesDone;
    }
    if (!output.Commit()) {
        ReportMessage(context.sink, "ERROR: failed to write file '%s'\n%s", output.Name().c_str(),
                      output.FailureReason().c_str());
        return ConvertResult::WriteFailed;
    }
    return ConvertResult::Written;
}

} // namespace

ConvertResult WriteSequences(const std::vector<Sequence>& sequences,
                             const ConversionContext& context) {
    if (const ConvertResult checked = CheckSequences(sequences, context);
        checked != ConvertResult::Written) {
        return checked;
    }
    FileSink output(ChosenOutputPath(sequences.front().frames.front().path, context),
                    context.temporaryFile);
    return WriteSequencesTo(sequences, context, output);
}

ConvertResult WriteSequencesToMemory(const std::vector<Sequence>& sequences,
                                     const ConversionContext& context,
                                     std::vector<std::uint8_t>& bytes) {
    bytes.clear();
    if (const ConvertResult checked = CheckSequences(sequences, context);
        checked != ConvertResult::Written) {
        return checked;
    }
    MemorySink output(ChosenOutputPath(sequences.front().frames.front().path, context));
    const ConvertResult result = WriteSequencesTo(sequences, context, output);
    bytes = output.Take();
    return result;
}

std::vector<Sequence> FrameSequences(const std::vector<Frame>& frames,
                                     const std::vector<std::uint32_t>& typeCodes,
                                     const ConversionContext& context) {
    std::vector<Sequence> sequences;
    if (frames.empty()) {
        return sequences;
    }
    sequences.reserve(typeCodes.size());
    for (std::size_t t = 0; t < typeCodes.size(); ++t) {
        sequences.push_back(
            {typeCodes[t], frames, t < context.panels.size() ? context.panels[t] : TypePanel{}});
    }
    return sequences;
}

ConvertResult WriteFrames(const std::vector<Frame>& frames,
                          const std::vector<std::uint32_t>& typeCodes,
                          const ConversionContext& context) {
    return WriteSequences(FrameSequences(frames, typeCodes, context), context);
}

ConvertResult WritePicturesAsFrames(const std::vector<std::string>& picturePaths,
                                    const std::vector<std::uint32_t>& typeCodes, int delay,
                                    const ConversionContext& context) {
    std::vector<Frame> frames;
    frames.reserve(picturePaths.size());
    for (const std::string& path : picturePaths) {
        frames.push_back({path, delay});
    }
    return WriteFrames(frames, typeCodes, context);
}
