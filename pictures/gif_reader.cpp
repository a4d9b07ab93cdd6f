// ReadGifPicture: GIF pictures through giflib, from memory, every frame composited on a
// canvas of the screen's size. giflib decodes the blocks and the LZW data; the canvas
// follows the engine's long-standing rules: it starts transparent, a frame draws its
// opaque pixels, on the first frame the pixels it leaves undrawn take the background
// colour (when its index is above 0), disposal 2 restores the frame's pixels to what was
// there before it and disposal 3 to the frame shown before the previous one, and the
// transparent index and delay of a control block hold until the next one. A file that
// breaks off keeps its complete frames only; one without a complete frame is refused.
#include "picture_readers.h"
#include "read_failure.h"
#include "rgba_frames.h"

#include <algorithm>
#include <gif_lib.h>

#include <array>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace {

constexpr std::size_t SCREEN_HEADER_BYTES = 13;

// Browsers and picture viewers show a frame whose delay is 0 or 1 (1/100 s), or that has
// no delay at all, for about 100 ms: animations are made for that, so it is taken here.
constexpr int SHORTEST_DELAY_CS = 2;
constexpr int SHORT_FRAME_MS = 100;

int DelayMs(int centiseconds) {
    return centiseconds < SHORTEST_DELAY_CS ? SHORT_FRAME_MS : 10 * centiseconds;
}

struct MemorySource {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at;
};

int ReadFromMemory(GifFileType* gif, GifByteType* target, int count) {
    auto* source = static_cast<MemorySource*>(gif->UserData);
    const std::size_t piece =
        std::min(static_cast<std::size_t>(count < 0 ? 0 : count), source->size - source->at);
    std::memcpy(target, source->data + source->at, piece);
    source->at += piece;
    return static_cast<int>(piece);
}

struct GifCloser {
    void operator()(GifFileType* gif) const { DGifCloseFile(gif, nullptr); }
};

using Colour = std::array<std::uint8_t, 4>; // red, green, blue, alpha

// The canvas and what the frames so far have left for the next one.
struct Canvas {
    std::size_t width = 0;
    std::size_t height = 0;
    std::array<Colour, 256> global{}; // entries past the table stay 0, transparent black
    std::array<Colour, 256> local{};  // the last local table read, entries past it kept
    bool hasGlobal = false;
    int backgroundIndex = 0;
    int transparent = -1;               // index made transparent in the global table, -1 for none
    int controlFlags = 0;               // of the last control block: disposal and transparency
    int delay = SHORT_FRAME_MS;         // milliseconds, from the last control block
    std::vector<std::uint8_t> pixels;   // red, green, blue, alpha
    std::vector<std::uint8_t> before;   // the canvas before the current frame was drawn
    std::vector<std::uint8_t> previous; // the last frame shown
    std::vector<std::uint8_t> twoBack;  // the frame shown before it
    std::vector<std::uint8_t> drawn;    // 1 where the current frame drew (or passed) a pixel
    bool haveTwoBack = false;
};

// A graphic control block: disposal and transparency flags, delay in 1/100 s, transparent
// index. Only the index of the latest block is transparent in the global table.
void TakeControlBlock(const GifByteType* block, Canvas& canvas) {
    if (block[0] != 4) {
        return; // not a control block of the one known length
    }
    canvas.controlFlags = block[1];
    canvas.delay = DelayMs(block[2] | block[3] << 8);
    if (canvas.transparent >= 0) {
        canvas.global[static_cast<std::size_t>(canvas.transparent)][3] = 255;
    }
    canvas.transparent = -1;
    if (canvas.controlFlags & 0x01) {
        canvas.transparent = block[4];
        canvas.global[block[4]][3] = 0;
    }
}

// Reads an extension's blocks; false when they are damaged or cut.
bool ReadExtension(GifFileType* gif, Canvas& canvas) {
    int code = 0;
    GifByteType* block = nullptr;
    if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) {
        return false;
    }
    if (code == GRAPHICS_EXT_FUNC_CODE && block != nullptr) {
        TakeControlBlock(block, canvas);
    }
    while (block != nullptr) {
        if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) {
            return false;
        }
    }
    return true;
}

// The canvas row of the i-th stored row of an interlaced frame of `rows` rows: rows 0, 8,
// 16 ... first, then 4, 12 ..., then 2, 6 ..., then the odd ones.
int InterlacedRow(int i, int rows) {
    static constexpr int START[4] = {0, 4, 2, 1};
    static constexpr int STEP[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
        const int inPass =
            rows > START[pass] ? (rows - START[pass] + STEP[pass] - 1) / STEP[pass] : 0;
        if (i < inPass) {
            return START[pass] + i * STEP[pass];
        }
        i -= inPass;
    }
    return rows; // not reached for i < rows
}

enum class FrameEnd { Whole, Partial, NotDrawn };

// Reads an image descriptor and draws its pixels onto the canvas. A frame that leaves the
// screen or has no colour table is not drawn; one whose data break off is Partial, its
// rows drawn as far as they were read.
FrameEnd DrawFrame(GifFileType* gif, Canvas& canvas, std::vector<GifPixelType>& line,
                   bool firstFrame) {
    if (DGifGetImageDesc(gif) == GIF_ERROR) {
        return FrameEnd::NotDrawn;
    }
    const GifImageDesc& frame = gif->Image;
    const auto left = static_cast<std::size_t>(frame.Left);
    const auto top = static_cast<std::size_t>(frame.Top);
    const auto width = static_cast<std::size_t>(frame.Width);
    const auto height = static_cast<std::size_t>(frame.Height);
    if (left + width > canvas.width || top + height > canvas.height) {
        return FrameEnd::NotDrawn;
    }
    const Colour* table = canvas.global.data();
    if (frame.ColorMap != nullptr) {
        const bool clear = (canvas.controlFlags & 0x01) != 0;
        for (int i = 0; i < frame.ColorMap->ColorCount && i < 256; ++i) {
            const GifColorType& entry = frame.ColorMap->Colors[i];
            const bool transparent = clear && i == canvas.transparent;
            canvas.local[static_cast<std::size_t>(i)] = {
                entry.Red, entry.Green, entry.Blue,
                static_cast<std::uint8_t>(transparent ? 0 : 255)};
        }
        table = canvas.local.data();
    } else if (!canvas.hasGlobal) {
        return FrameEnd::NotDrawn;
    }

    FrameEnd end = FrameEnd::Whole;
    if (width == 0 || height == 0) {
        // Nothing to draw; the data blocks are passed over.
        int codeSize = 0;
        GifByteType* block = nullptr;
        bool read = DGifGetCode(gif, &codeSize, &block) != GIF_ERROR;
        while (read && block != nullptr) {
            read = DGifGetCodeNext(gif, &block) != GIF_ERROR;
        }
        end = read ? FrameEnd::Whole : FrameEnd::Partial;
    } else {
        line.resize(width);
        for (std::size_t i = 0; i < height; ++i) {
            if (DGifGetLine(gif, line.data(), frame.Width) == GIF_ERROR) {
                if (i == 0) {
                    return FrameEnd::NotDrawn;
                }
                end = FrameEnd::Partial;
                break;
            }
            const std::size_t y =
                frame.Interlace
                    ? static_cast<std::size_t>(InterlacedRow(static_cast<int>(i), frame.Height))
                    : i;
            const std::size_t at = (top + y) * canvas.width + left;
            for (std::size_t x = 0; x < width; ++x) {
                canvas.drawn[at + x] = 1;
                const Colour& colour = table[line[x]];
                if (colour[3] > 128) {
                    std::memcpy(&canvas.pixels[4 * (at + x)], colour.data(), 4);
                }
            }
        }
    }
    // The first frame's undrawn pixels take the background colour, made opaque.
    if (firstFrame && canvas.backgroundIndex > 0) {
        Colour& background = canvas.global[static_cast<std::size_t>(canvas.backgroundIndex)];
        for (std::size_t p = 0; p < canvas.drawn.size(); ++p) {
            if (canvas.drawn[p] == 0) {
                background[3] = 255;
                std::memcpy(&canvas.pixels[4 * p], background.data(), 4);
            }
        }
    }
    return end;
}

// After a frame was shown: keeps it (and the one before), then disposes of it as its
// control flags say, ready for the next frame.
void DisposeShownFrame(Canvas& canvas, bool firstFrame) {
    if (!firstFrame) {
        canvas.twoBack.swap(canvas.previous);
        canvas.haveTwoBack = true;
    }
    canvas.previous = canvas.pixels;
    int disposal = (canvas.controlFlags & 0x1C) >> 2;
    if (disposal == 3 && !canvas.haveTwoBack) {
        disposal = 2;
    }
    if (disposal == 2 || disposal == 3) {
        const std::vector<std::uint8_t>& restore = disposal == 3 ? canvas.twoBack : canvas.before;
        for (std::size_t p = 0; p < canvas.drawn.size(); ++p) {
            if (canvas.drawn[p] != 0) {
                std::memcpy(&canvas.pixels[4 * p], &restore[4 * p], 4);
            }
        }
    }
    canvas.before = canvas.pixels;
    std::fill(canvas.drawn.begin(), canvas.drawn.end(), 0);
}

Readout Truncated(const std::string& name, const AnnouncedSize& size) {
    return TruncatedPicture(name, size.width, size.height);
}

} // namespace

Readout ReadGifPicture(PictureBytes bytes, const std::string& name,
                       const SourceReadOptions& options) {
    // The screen's size, as the header gives it (missing bytes read as 0).
    std::array<std::uint8_t, SCREEN_HEADER_BYTES> head{};
    std::copy_n(bytes.begin(), std::min(bytes.size(), head.size()), head.begin());
    const int screenWidth = head[6] | head[7] << 8;
    const int screenHeight = head[8] | head[9] << 8;
    AnnouncedSize size;
    if (std::optional<Readout> refused = RefuseAnnouncedSize(PictureFormat::Gif, name, screenWidth,
                                                             screenHeight, bytes.size(), size)) {
        return std::move(*refused);
    }

    MemorySource source{bytes.data(), bytes.size(), 0};
    int error = 0;
    const std::unique_ptr<GifFileType, GifCloser> gif(DGifOpen(&source, ReadFromMemory, &error));
    if (!gif) {
        // The screen's global colour table, when it has one, must follow the header whole.
        const std::size_t tableBytes = (head[10] & 0x80) != 0 ? 3u << ((head[10] & 7) + 1) : 0;
        const bool cutHeader = bytes.size() < SCREEN_HEADER_BYTES + tableBytes;
        return error == D_GIF_ERR_READ_FAILED || cutHeader
                   ? Truncated(name, size)
                   : NotValidPicture(name, PictureFormat::Gif);
    }
    Canvas canvas;
    canvas.width = static_cast<std::size_t>(size.width);
    canvas.height = static_cast<std::size_t>(size.height);
    canvas.backgroundIndex = gif->SBackGroundColor;
    if (gif->SColorMap != nullptr) {
        canvas.hasGlobal = true;
        for (int i = 0; i < gif->SColorMap->ColorCount && i < 256; ++i) {
            const GifColorType& entry = gif->SColorMap->Colors[i];
            canvas.global[static_cast<std::size_t>(i)] = {entry.Red, entry.Green, entry.Blue, 255};
        }
    }
    std::vector<GifPixelType> line;
    try {
        canvas.pixels.assign(4 * size.pixels, 0);
        canvas.before.assign(4 * size.pixels, 0);
        canvas.drawn.assign(size.pixels, 0);
    } catch (const std::bad_alloc&) {
        return NoMemory();
    }

    Readout result;
    bool cut = false;
    try {
        for (;;) {
            GifRecordType record = UNDEFINED_RECORD_TYPE;
            if (DGifGetRecordType(gif.get(), &record) == GIF_ERROR) {
                cut = true;
                break;
            }
            if (record == TERMINATE_RECORD_TYPE) {
                break;
            }
            if (record == EXTENSION_RECORD_TYPE) {
                if (!ReadExtension(gif.get(), canvas)) {
                    cut = true;
                    break;
                }
                continue;
            }
            const bool firstFrame = result.frames.empty();
            // A frame read in part is left out: only whole frames are converted.
            if (DrawFrame(gif.get(), canvas, line, firstFrame) != FrameEnd::Whole) {
                cut = true;
                break;
            }
            if (!AppendRgbaFrame(result, canvas.pixels.data(), size, canvas.delay, options, name)) {
                return result;
            }
            if (!options.allFrames) {
                break;
            }
            DisposeShownFrame(canvas, firstFrame);
        }
    } catch (const std::bad_alloc&) {
        return NoMemory();
    }
    // The data ran out (rather than being damaged) when giflib's last read came up short.
    const bool ranOut = cut && gif->Error == D_GIF_ERR_READ_FAILED;
    if (result.frames.empty()) {
        return ranOut ? Truncated(name, size) : NotValidPicture(name, PictureFormat::Gif);
    }
    result.cut = cut;
    if (cut) {
        // %u, not %zu: the Windows C library of the 32-bit programs does not know %zu.
        const auto frames = static_cast<unsigned>(result.frames.size());
        result.warning = {.code = ranOut ? OutcomeCode::CutShort : OutcomeCode::Damaged,
                          .file = name,
                          .numbers = {frames}};
    }
    return result;
}
