// OutcomeText: outcomes and the texts a person reads for them, written out by hand: the
// engine's first line whole, the detail on its own line, the system's reason after it.
#include "outcome.h"

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
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(OutcomeText(c.outcome), c.text);
        EXPECT_EQ(c.outcome.Ok(), c.text.empty());
    }
}

} // namespace
