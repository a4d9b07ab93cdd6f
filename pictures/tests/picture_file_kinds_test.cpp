// The reader a name chooses for a file without a known signature, from the table of
// picture file kinds, and the extension list the file choosers take from it.
#include "picture_file_kinds.h"

#include <gtest/gtest.h>

namespace {

TEST(PictureFileKinds, TheNameChoosesTheReaderOnlyForItsOwnKinds) {
    struct Case {
        const char* name;
        PictureFormat format;
        bool pnmName;
    };
    const Case cases[] = {
        {"logo.bmp", PictureFormat::Bitmap, false},
        {"LOGO.Dib", PictureFormat::Bitmap, false},
        {"c:\\pictures\\a.TGA", PictureFormat::Tga, false},
        {"a.pgm", PictureFormat::Pnm, true},
        {"a.PNM", PictureFormat::Pnm, true},
        {"a.ppm", PictureFormat::Pnm, true},
        // Formats with a signature of their own: without it, the PBM/PGM/PPM reader.
        {"a.png", PictureFormat::Pnm, false},
        {"a.jpeg", PictureFormat::Pnm, false},
        {"a.gif", PictureFormat::Pnm, false},
        // Not an extension of the table.
        {"bmp", PictureFormat::Pnm, false},
        {"a.bmp.gz", PictureFormat::Pnm, false},
        {"a.bm", PictureFormat::Pnm, false},
        {"a.bmpx", PictureFormat::Pnm, false},
        {"a.", PictureFormat::Pnm, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NameFormat(c.name), c.format) << c.name;
        EXPECT_EQ(HasPnmName(c.name), c.pnmName) << c.name;
    }
}

TEST(PictureFileKinds, ExtensionListJoinsEveryKindsExtensionsInOrder) {
    EXPECT_EQ(PictureExtensionList("", ","),
              ".bmp,.dib,.png,.gif,.jpg,.jpeg,.jpe,.tga,.pbm,.pgm,.ppm,.pnm");
    // Every extension of the list finds its own kind.
    for (const PictureFileKind& kind : PICTURE_FILE_KINDS) {
        for (std::string_view extension : kind.extensions) {
            if (!extension.empty()) {
                EXPECT_EQ(PictureFileKindOf("x" + std::string(extension)), &kind) << extension;
            }
        }
    }
}

} // namespace
