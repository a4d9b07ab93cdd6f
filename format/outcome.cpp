// The one place where an outcome becomes the text a person reads. The first lines are the
// engine's own, which users and scripts match, and stay exactly as they are.
#include "outcome.h"

#include "system_reason.h"
#include "zentra_format.h"

#include <cstddef>

namespace {

std::int64_t Number(const Outcome& outcome, std::size_t i) {
    return i < outcome.numbers.size() ? outcome.numbers[i] : 0;
}

std::string NumberText(const Outcome& outcome, std::size_t i) {
    return std::to_string(Number(outcome, i));
}

std::string Word(const Outcome& outcome, std::size_t i) {
    return i < outcome.words.size() ? outcome.words[i] : std::string();
}

// "N(i) x N(i+1)"
std::string Size(const Outcome& outcome, std::size_t i) {
    return NumberText(outcome, i) + " x " + NumberText(outcome, i + 1);
}

std::string FramesRead(const Outcome& outcome) {
    return NumberText(outcome, 0) + " complete frame" + (Number(outcome, 0) == 1 ? "" : "s") +
           " read";
}

// "record N0 of 'FILE'", or "record N0" for bytes that have no file name.
std::string RecordOf(const Outcome& o) {
    return "record " + NumberText(o, 0) + (o.file.empty() ? "" : " of '" + o.file + "'");
}

std::string FirstLine(const Outcome& o) {
    const std::string file = "'" + o.file + "'";
    switch (o.code) {
    case OutcomeCode::Done:
        return {};
    case OutcomeCode::CannotOpenForReading:
        return "ERROR: failed to open file " + file + " for reading";
    case OutcomeCode::IsFolder:
        return "ERROR: " + file + " is a folder, not a picture file";
    case OutcomeCode::FileTooLarge:
        return "ERROR: file " + file + " is too large";
    case OutcomeCode::OutOfMemory:
        return "ERROR: insufficient memory";
    case OutcomeCode::CannotOpenProfiles:
        return "cannot open profile file " + file;
    case OutcomeCode::WrongImageType:
        return "Wrong or unsupported image type";
    case OutcomeCode::InvalidPnmImage:
        return "Invalid PBM/PGM/PPM image";
    case OutcomeCode::Truncated:
        return "ERROR: truncated input file (not enough pixel data)";
    case OutcomeCode::UnsupportedFormat:
        return "ERROR: file " + file + " has an invalid or unsupported format";
    case OutcomeCode::InvalidSize:
        return "ERROR: invalid size (width=" + NumberText(o, 0) + ", height=" + NumberText(o, 1) +
               ")";
    case OutcomeCode::PictureTooLarge:
        return "ERROR: file " + file + " is too large (" + NumberText(o, 0) + " x " +
               NumberText(o, 1) + " pixels; the limit is " + std::to_string(MAX_PICTURE_SIDE) +
               " pixels a side and " + NumberText(o, 2) + " pixels in all)";
    case OutcomeCode::TooManyFrames:
        return "ERROR: file " + file + " has too many frames (more than " + NumberText(o, 0) +
               " pixels in all)";
    case OutcomeCode::NotValidPicture:
        return "ERROR: file " + file + " is not a valid " + Word(o, 0) + " picture";
    case OutcomeCode::ForeignFile:
        return "ERROR: file " + file + " is " + Word(o, 0) +
               ", which ztr does not read (it reads " + Word(o, 1) + ")";
    case OutcomeCode::ZentraNotPicture:
        return "ERROR: file " + file + " is " + Word(o, 0) + ", not a picture (ztr converts " +
               Word(o, 1) + " pictures into Zentra files)";
    case OutcomeCode::NoFrame:
        return "ERROR: file " + file + " has no frame " + NumberText(o, 0);
    case OutcomeCode::CannotOpenPalette:
        return "ERROR: cannot open palette file " + file;
    case OutcomeCode::PaletteLineTooLong:
        return "ERROR: palette file " + file + ", line " + NumberText(o, 0) + ": line too long";
    case OutcomeCode::PaletteNotColour:
        return "ERROR: palette file " + file + ", line " + NumberText(o, 0) + ": '" + Word(o, 0) +
               "' is not a colour (" + Word(o, 1) + ")";
    case OutcomeCode::PaletteTooLong:
        return "ERROR: palette file " + file + " has more than " + NumberText(o, 0) + " colours";
    case OutcomeCode::PaletteMeasuredApart:
        return "ERROR: palette file " + file + ", line " + NumberText(o, 0) +
               ": a measured colour (second column) is given for " +
               (Number(o, 1) != 0 ? "this colour but not for those before it"
                                  : "the colours before it but not for this one");
    case OutcomeCode::PaletteEmpty:
        return "ERROR: palette file " + file + " holds no colour";
    case OutcomeCode::ColourListTooLong:
        return "ERROR: the palette has more than " + NumberText(o, 0) + " colours";
    case OutcomeCode::UnknownPalette:
        return "ERROR: palette " + file + " is neither a built-in palette (" + Word(o, 0) +
               "), a list of #RRGGBB colours nor a palette file";
    case OutcomeCode::CutShort:
        return "WARNING: file " + file + " is cut short: " + FramesRead(o);
    case OutcomeCode::Damaged:
        return "WARNING: file " + file + " is damaged: " + FramesRead(o);
    case OutcomeCode::LargerThanPanel:
        return "WARNING: picture " + file + " is " + Size(o, 0) + ", larger than the " +
               Size(o, 2) + " panel of '" + Word(o, 0) + "'";
    case OutcomeCode::NothingToConvert:
        return "ERROR: no pictures or no display types to convert";
    case OutcomeCode::InvalidDelay:
        return "ERROR: the delay must be between 0 and " + NumberText(o, 0) + " ms";
    case OutcomeCode::CannotOpenForWriting:
        return "ERROR: failed to open file " + file + " for writing";
    case OutcomeCode::CannotWrite:
        return "ERROR: failed to write file " + file;
    case OutcomeCode::UnsupportedDepth:
        return "ERROR: unsupported colour depth";
    case OutcomeCode::CoderOutOfMemory:
        return "Out of memory!";
    case OutcomeCode::SizeMismatch:
        return "ERROR: picture " + file + " is " + Size(o, 0) +
               ", but the sequence's first picture is " + Size(o, 2);
    case OutcomeCode::TooManyColours:
        return "ERROR: the palette has " + Word(o, 0);
    case OutcomeCode::PaletteOutOfOrder:
    case OutcomeCode::OutputOverPicture:
    case OutcomeCode::OutputsCollide:
        return "ERROR: " + Word(o, 0);
    case OutcomeCode::Cancelled:
        return {};
    case OutcomeCode::CannotOpenFile:
        return "cannot open " + file;
    case OutcomeCode::NoRecord:
        return "no record " + NumberText(o, 0) +
               (o.file.empty() ? " in these bytes" : " in " + file);
    case OutcomeCode::RecordTooLarge:
        return RecordOf(o) + " is too large to show";
    case OutcomeCode::RecordOutOfMemory:
        return "out of memory for " + RecordOf(o);
    case OutcomeCode::RecordPlanar:
        return RecordOf(o) + " is planar and is not shown";
    case OutcomeCode::RecordDepthNotShown:
        return RecordOf(o) + " has a colour depth that is not shown";
    case OutcomeCode::RecordEmpty:
        return RecordOf(o) + " has nothing to show";
    }
    return {};
}

// The line under LargerThanPanel: the size the picture was read at, and the turn that
// makes it fit; empty when neither applies.
std::string PanelLine(const Outcome& o) {
    std::string line;
    if (Number(o, 4) != Number(o, 0) || Number(o, 5) != Number(o, 1)) {
        line = "read at " + Size(o, 4) + ", written at " + Size(o, 0);
    }
    if (Number(o, 6) >= 0) {
        line += (line.empty() ? "" : "; ") + std::string("--rotate ") + NumberText(o, 6) +
                " turns it to " + NumberText(o, 1) + " x " + NumberText(o, 0) + ", which fits";
    }
    return line.empty() ? line : "  " + line + "\n";
}

std::string DetailText(const Outcome& o) {
    switch (o.detail) {
    case OutcomeDetail::None:
        return {};
    case OutcomeDetail::NotEnoughData:
        return "not enough data for " + NumberText(o, 0) + " x " + NumberText(o, 1) + " pixels";
    case OutcomeDetail::BytesShort:
        return NumberText(o, 0) + " x " + NumberText(o, 1) + " pixels need " + NumberText(o, 2) +
               " bytes, the file holds " + NumberText(o, 3);
    case OutcomeDetail::SideRange:
        return "a picture has 1 to " + std::to_string(MAX_PICTURE_SIDE) + " pixels a side";
    case OutcomeDetail::NotFormatNumber:
        return "its first word is not a format number such as P5";
    case OutcomeDetail::NoPnmHeader:
        return "it holds no PBM/PGM/PPM header";
    case OutcomeDetail::WordForNumber:
        return "its header holds a word where a number belongs";
    case OutcomeDetail::UnknownPnmFormat:
        return "format P" + NumberText(o, 0) + " is none of P1 to P6 (PBM, PGM, PPM)";
    case OutcomeDetail::HeaderEndsEarly:
        return "its header ends before the width, height and maxval";
    case OutcomeDetail::MaxvalRange:
        return "maxval " + NumberText(o, 0) + " is not 1 to 65535";
    case OutcomeDetail::NoPixels:
        return "its size " + NumberText(o, 0) + " x " + NumberText(o, 1) + " has no pixels";
    case OutcomeDetail::EmptyFile:
        return "the file is empty";
    case OutcomeDetail::NotReadPicture:
        return "not a picture that ztr reads (it reads " + Word(o, 0) + ")";
    case OutcomeDetail::NotValidBitmap:
        return "not a valid bitmap";
    case OutcomeDetail::Os2Bitmap:
        return "an OS/2 bitmap (12-byte header), which ztr does not read";
    case OutcomeDetail::Compression:
        return NumberText(o, 0) + " bits a pixel with " + Word(o, 0) +
               " compression, which ztr does not read";
    case OutcomeDetail::NoReader:
        return "no reader takes it";
    }
    return {};
}

} // namespace

bool IsWarning(OutcomeCode code) {
    return code == OutcomeCode::CutShort || code == OutcomeCode::Damaged ||
           code == OutcomeCode::LargerThanPanel;
}

bool IsFailure(OutcomeCode code) {
    return code != OutcomeCode::Done && code != OutcomeCode::Cancelled && !IsWarning(code);
}

std::string OutcomeText(const Outcome& outcome) {
    if (outcome.Ok() || outcome.code == OutcomeCode::Cancelled) {
        return {};
    }
    std::string text = FirstLine(outcome) + "\n";
    if (outcome.code == OutcomeCode::LargerThanPanel) {
        text += PanelLine(outcome);
    }
    if (outcome.detail != OutcomeDetail::None) {
        text += "  in '" + outcome.file + "': " + DetailText(outcome) + "\n";
    }
    return text + ReasonLine(outcome.reason, outcome.doing);
}

const char* OutcomeCodeName(OutcomeCode code) {
    switch (code) {
    case OutcomeCode::Done:
        return "done";
    case OutcomeCode::CannotOpenForReading:
        return "cannotOpenForReading";
    case OutcomeCode::IsFolder:
        return "isFolder";
    case OutcomeCode::FileTooLarge:
        return "fileTooLarge";
    case OutcomeCode::OutOfMemory:
        return "outOfMemory";
    case OutcomeCode::CannotOpenProfiles:
        return "cannotOpenProfiles";
    case OutcomeCode::WrongImageType:
        return "wrongImageType";
    case OutcomeCode::InvalidPnmImage:
        return "invalidPnmImage";
    case OutcomeCode::Truncated:
        return "truncated";
    case OutcomeCode::UnsupportedFormat:
        return "unsupportedFormat";
    case OutcomeCode::InvalidSize:
        return "invalidSize";
    case OutcomeCode::PictureTooLarge:
        return "pictureTooLarge";
    case OutcomeCode::TooManyFrames:
        return "tooManyFrames";
    case OutcomeCode::NotValidPicture:
        return "notValidPicture";
    case OutcomeCode::ForeignFile:
        return "foreignFile";
    case OutcomeCode::ZentraNotPicture:
        return "zentraNotPicture";
    case OutcomeCode::CutShort:
        return "cutShort";
    case OutcomeCode::Damaged:
        return "damaged";
    case OutcomeCode::NoFrame:
        return "noFrame";
    case OutcomeCode::CannotOpenPalette:
        return "cannotOpenPalette";
    case OutcomeCode::PaletteLineTooLong:
        return "paletteLineTooLong";
    case OutcomeCode::PaletteNotColour:
        return "paletteNotColour";
    case OutcomeCode::PaletteTooLong:
        return "paletteTooLong";
    case OutcomeCode::PaletteMeasuredApart:
        return "paletteMeasuredApart";
    case OutcomeCode::PaletteEmpty:
        return "paletteEmpty";
    case OutcomeCode::ColourListTooLong:
        return "colourListTooLong";
    case OutcomeCode::UnknownPalette:
        return "unknownPalette";
    case OutcomeCode::LargerThanPanel:
        return "largerThanPanel";
    case OutcomeCode::NothingToConvert:
        return "nothingToConvert";
    case OutcomeCode::InvalidDelay:
        return "invalidDelay";
    case OutcomeCode::CannotOpenForWriting:
        return "cannotOpenForWriting";
    case OutcomeCode::CannotWrite:
        return "cannotWrite";
    case OutcomeCode::UnsupportedDepth:
        return "unsupportedDepth";
    case OutcomeCode::CoderOutOfMemory:
        return "coderOutOfMemory";
    case OutcomeCode::SizeMismatch:
        return "sizeMismatch";
    case OutcomeCode::TooManyColours:
        return "tooManyColours";
    case OutcomeCode::PaletteOutOfOrder:
        return "paletteOutOfOrder";
    case OutcomeCode::OutputOverPicture:
        return "outputOverPicture";
    case OutcomeCode::OutputsCollide:
        return "outputsCollide";
    case OutcomeCode::Cancelled:
        return "cancelled";
    case OutcomeCode::CannotOpenFile:
        return "cannotOpenFile";
    case OutcomeCode::NoRecord:
        return "noRecord";
    case OutcomeCode::RecordTooLarge:
        return "recordTooLarge";
    case OutcomeCode::RecordOutOfMemory:
        return "recordOutOfMemory";
    case OutcomeCode::RecordPlanar:
        return "recordPlanar";
    case OutcomeCode::RecordDepthNotShown:
        return "recordDepthNotShown";
    case OutcomeCode::RecordEmpty:
        return "recordEmpty";
    }
    return "";
}

const char* OutcomeDetailName(OutcomeDetail detail) {
    switch (detail) {
    case OutcomeDetail::None:
        return "";
    case OutcomeDetail::NotEnoughData:
        return "notEnoughData";
    case OutcomeDetail::BytesShort:
        return "bytesShort";
    case OutcomeDetail::SideRange:
        return "sideRange";
    case OutcomeDetail::NotFormatNumber:
        return "notFormatNumber";
    case OutcomeDetail::NoPnmHeader:
        return "noPnmHeader";
    case OutcomeDetail::WordForNumber:
        return "wordForNumber";
    case OutcomeDetail::UnknownPnmFormat:
        return "unknownPnmFormat";
    case OutcomeDetail::HeaderEndsEarly:
        return "headerEndsEarly";
    case OutcomeDetail::MaxvalRange:
        return "maxvalRange";
    case OutcomeDetail::NoPixels:
        return "noPixels";
    case OutcomeDetail::EmptyFile:
        return "emptyFile";
    case OutcomeDetail::NotReadPicture:
        return "notReadPicture";
    case OutcomeDetail::NotValidBitmap:
        return "notValidBitmap";
    case OutcomeDetail::Os2Bitmap:
        return "os2Bitmap";
    case OutcomeDetail::Compression:
        return "compression";
    case OutcomeDetail::NoReader:
        return "noReader";
    }
    return "";
}
