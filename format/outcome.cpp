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

std::string FramesRead(const Outcome& outcome) {
    return NumberText(outcome, 0) + " complete frame" + (Number(outcome, 0) == 1 ? "" : "s") +
           " read";
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
    case OutcomeCode::CutShort:
        return "WARNING: file " + file + " is cut short: " + FramesRead(o);
    case OutcomeCode::Damaged:
        return "WARNING: file " + file + " is damaged: " + FramesRead(o);
    }
    return {};
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
    return code == OutcomeCode::CutShort || code == OutcomeCode::Damaged;
}

std::string OutcomeText(const Outcome& outcome) {
    if (outcome.Ok()) {
        return {};
    }
    std::string text = FirstLine(outcome) + "\n";
    if (outcome.detail != OutcomeDetail::None) {
        text += "  in '" + outcome.file + "': " + DetailText(outcome) + "\n";
    }
    return text + ReasonLine(outcome.reason);
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
