// OutcomeText: outcomes and the texts a person reads for them, written out by hand: the
// engine's first line whole, the detail on its own line, the system's reason after it.
#include "outcome.h"
#include "report_message.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <system_error>

namespace {

using C = OutcomeCode;
using D = OutcomeDetail;

TEST(OutcomeText, EveryLineAsThePersonReadsIt) {
    const std::error_code missing(ENOENT, std::generic_category());
    const struct {
        Outcome outcome;
        std::string text;
    } cases[] = {
        {{}, ""},
        {{C::CannotOpenForReading, D::None, "a b.pgm", {}, {}, missing},
         "ERROR: failed to open file 'a b.pgm' for reading\n  No such file or directory\n"},
        {{C::CannotOpenForReading, D::None, "x.pgm"},
         "ERROR: failed to open file 'x.pgm' for reading\n"},
        {{C::IsFolder, D::None, "pics"}, "ERROR: 'pics' is a folder, not a picture file\n"},
        {{C::FileTooLarge, D::None, "big.png"}, "ERROR: file 'big.png' is too large\n"},
        {{C::OutOfMemory}, "ERROR: insufficient memory\n"},
        {{C::CannotOpenProfiles, D::None, "my.prf", {}, {}, missing},
         "cannot open profile file 'my.prf'\n  No such file or directory\n"},
        {{C::Truncated, D::NotEnoughData, "cut.pgm", {5, 3}},
         "ERROR: truncated input file (not enough pixel data)\n"
         "  in 'cut.pgm': not enough data for 5 x 3 pixels\n"},
        {{C::Truncated, D::BytesShort, "cut.ppm", {7, 2, 42, 41}},
         "ERROR: truncated input file (not enough pixel data)\n"
         "  in 'cut.ppm': 7 x 2 pixels need 42 bytes, the file holds 41\n"},
        {{C::InvalidSize, D::SideRange, "wide.bmp", {0, -2}},
         "ERROR: invalid size (width=0, height=-2)\n"
         "  in 'wide.bmp': a picture has 1 to 32767 pixels a side\n"},
        {{C::PictureTooLarge, D::None, "w.gif", {32768, 2, 268435456}},
         "ERROR: file 'w.gif' is too large (32768 x 2 pixels; the limit is 32767 pixels a side "
         "and 268435456 pixels in all)\n"},
        {{C::TooManyFrames, D::None, "long.gif", {268435456}},
         "ERROR: file 'long.gif' has too many frames (more than 268435456 pixels in all)\n"},
        {{C::NotValidPicture, D::None, "p.jpg", {}, {"JPEG"}},
         "ERROR: file 'p.jpg' is not a valid JPEG picture\n"},
        {{C::UnsupportedFormat, D::Compression, "r.bmp", {16}, {"RLE8"}},
         "ERROR: file 'r.bmp' has an invalid or unsupported format\n"
         "  in 'r.bmp': 16 bits a pixel with RLE8 compression, which ztr does not read\n"},
        {{C::UnsupportedFormat, D::Os2Bitmap, "o.bmp"},
         "ERROR: file 'o.bmp' has an invalid or unsupported format\n"
         "  in 'o.bmp': an OS/2 bitmap (12-byte header), which ztr does not read\n"},
        {{C::UnsupportedFormat, D::EmptyFile, "e.bmp"},
         "ERROR: file 'e.bmp' has an invalid or unsupported format\n"
         "  in 'e.bmp': the file is empty\n"},
        {{C::WrongImageType, D::UnknownPnmFormat, "p.pgm", {7}},
         "Wrong or unsupported image type\n"
         "  in 'p.pgm': format P7 is none of P1 to P6 (PBM, PGM, PPM)\n"},
        {{C::WrongImageType, D::MaxvalRange, "m.pgm", {65536}},
         "Wrong or unsupported image type\n  in 'm.pgm': maxval 65536 is not 1 to 65535\n"},
        {{C::WrongImageType, D::NoPixels, "z.pbm", {0, 4}},
         "Wrong or unsupported image type\n  in 'z.pbm': its size 0 x 4 has no pixels\n"},
        {{C::InvalidPnmImage, D::NotReadPicture, "t.txt", {}, {"BMP and PGM"}},
         "Invalid PBM/PGM/PPM image\n"
         "  in 't.txt': not a picture that ztr reads (it reads BMP and PGM)\n"},
        {{C::ForeignFile, D::None, "s.tif", {}, {"a TIFF picture", "BMP and PGM"}},
         "ERROR: file 's.tif' is a TIFF picture, which ztr does not read (it reads BMP and "
         "PGM)\n"},
        {{C::ZentraNotPicture, D::None, "l.ztr", {}, {"a Zentra file", "BMP and PGM"}},
         "ERROR: file 'l.ztr' is a Zentra file, not a picture (ztr converts BMP and PGM "
         "pictures into Zentra files)\n"},
        {{C::CutShort, D::None, "a.gif", {1}},
         "WARNING: file 'a.gif' is cut short: 1 complete frame read\n"},
        {{C::Damaged, D::None, "a.gif", {12}},
         "WARNING: file 'a.gif' is damaged: 12 complete frames read\n"},
        {{C::LargerThanPanel, D::None, "w.png", {300, 7, 250, 122, 300, 7, -1}, {"Nano"}},
         "WARNING: picture 'w.png' is 300 x 7, larger than the 250 x 122 panel of 'Nano'\n"},
        {{C::LargerThanPanel, D::None, "t.png", {100, 250, 250, 122, 100, 250, 0}, {"Nano"}},
         "WARNING: picture 't.png' is 100 x 250, larger than the 250 x 122 panel of 'Nano'\n"
         "  --rotate 0 turns it to 250 x 100, which fits\n"},
        {{C::LargerThanPanel, D::None, "r.png", {90, 130, 250, 122, 45, 65, 270}, {"P"}},
         "WARNING: picture 'r.png' is 90 x 130, larger than the 250 x 122 panel of 'P'\n"
         "  read at 45 x 65, written at 90 x 130; --rotate 270 turns it to 130 x 90, which "
         "fits\n"},
        {{C::SizeMismatch, D::None, "b.pgm", {9, 4, 10, 3}},
         "ERROR: picture 'b.pgm' is 9 x 4, but the sequence's first picture is 10 x 3\n"},
        {{C::InvalidDelay, D::None, "", {65535}},
         "ERROR: the delay must be between 0 and 65535 ms\n"},
        {{.code = C::CannotWrite, .file = "o.ztr", .reason = missing, .doing = "renaming"},
         "ERROR: failed to write file 'o.ztr'\n  No such file or directory (renaming)\n"},
        {{C::CoderOutOfMemory}, "Out of memory!\n"},
        {{C::PaletteNotColour, D::None, "p.gpl", {3}, {"1 2", "R G B"}},
         "ERROR: palette file 'p.gpl', line 3: '1 2' is not a colour (R G B)\n"},
        {{C::PaletteMeasuredApart, D::None, "p.txt", {2, 1}},
         "ERROR: palette file 'p.txt', line 2: a measured colour (second column) is given for "
         "this colour but not for those before it\n"},
        {{C::PaletteMeasuredApart, D::None, "p.txt", {5, 0}},
         "ERROR: palette file 'p.txt', line 5: a measured colour (second column) is given for "
         "the colours before it but not for this one\n"},
        {{C::NoFrame, D::None, "a.gif", {4}}, "ERROR: file 'a.gif' has no frame 4\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(OutcomeText(c.outcome), c.text);
        EXPECT_EQ(c.outcome.Ok(), c.text.empty());
    }
}

// Done, warnings, failures and a cancelling, as a run's result tells them apart; the
// recorder passes every report on and keeps the first failure, not a warning before it.
TEST(OutcomeText, FailuresAreTheFirstThatEndTheWork) {
    const Outcome warning{C::CutShort, D::None, "a.gif", {2}};
    const Outcome first{C::NoFrame, D::None, "a.gif", {3}};
    const Outcome cancelled{.code = C::Cancelled};
    EXPECT_FALSE(IsFailure(C::Done));
    EXPECT_FALSE(IsFailure(warning.code));
    EXPECT_FALSE(IsFailure(C::LargerThanPanel));
    EXPECT_FALSE(IsFailure(cancelled.code));
    EXPECT_TRUE(IsFailure(first.code));
    EXPECT_FALSE(cancelled.Ok());
    EXPECT_EQ(OutcomeText(cancelled), "");

    std::string shown;
    MessageSink text{[](void* c, const char* t) { *static_cast<std::string*>(c) += t; }, &shown};
    FailureRecorder recorder(text);
    const MessageSink sink = recorder.Sink();
    ReportOutcome(sink, warning);
    EXPECT_EQ(recorder.FirstFailure(cancelled), cancelled);
    ReportMessage(sink, "note %d\n", 7);
    ReportOutcome(sink, first);
    ReportOutcome(sink, {C::OutOfMemory});
    EXPECT_EQ(recorder.FirstFailure(cancelled), first);
    EXPECT_EQ(shown, OutcomeText(warning) + "note 7\n" + OutcomeText(first) +
                         "ERROR: insufficient memory\n");
}

} // namespace
