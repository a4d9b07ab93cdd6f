// Outcome: how an engine call that can fail ended, as data: what happened, the detail that
// says what exactly was wrong, the file concerned, the numbers and words the message
// gives, and the system's reason. The front ends turn it into the text a person reads with
// OutcomeText, in one place; the page and the tests read the fields.
#pragma once

#include <cstdint>
#include <string>
#include <system_error>
#include <vector>

// What happened: each code is the first line of its message. Numbers and words are those of
// the outcome, in the order the comment gives them.
enum class OutcomeCode {
    Done, // success: no message
    // Reading a file.
    CannotOpenForReading, // "ERROR: failed to open file 'FILE' for reading", then the reason
    IsFolder,             // "ERROR: 'FILE' is a folder, not a picture file"
    FileTooLarge,         // "ERROR: file 'FILE' is too large"
    OutOfMemory,          // "ERROR: insufficient memory"
    CannotOpenProfiles,   // "cannot open profile file 'FILE'", then the reason
    // Reading a picture.
    WrongImageType,    // "Wrong or unsupported image type"
    InvalidPnmImage,   // "Invalid PBM/PGM/PPM image"
    Truncated,         // "ERROR: truncated input file (not enough pixel data)"
    UnsupportedFormat, // "ERROR: file 'FILE' has an invalid or unsupported format"
    InvalidSize,       // "ERROR: invalid size (width=N0, height=N1)"
    PictureTooLarge,   // "ERROR: file 'FILE' is too large (N0 x N1 pixels; the limit is
                       // MAX_PICTURE_SIDE pixels a side and N2 pixels in all)"
    TooManyFrames,     // "ERROR: file 'FILE' has too many frames (more than N0 pixels in all)"
    NotValidPicture,   // "ERROR: file 'FILE' is not a valid W0 picture"
    ForeignFile,       // "ERROR: file 'FILE' is W0, which ztr does not read (it reads W1)"
    ZentraNotPicture,  // "ERROR: file 'FILE' is W0, not a picture (ztr converts W1 pictures
                       // into Zentra files)"
    // Warnings: the picture was read, up to a break.
    CutShort, // "WARNING: file 'FILE' is cut short: N0 complete frame(s) read"
    Damaged,  // "WARNING: file 'FILE' is damaged: N0 complete frame(s) read"
};

// What exactly was wrong: the line "  in 'FILE': DETAIL" after the first.
enum class OutcomeDetail {
    None,
    NotEnoughData,    // "not enough data for N0 x N1 pixels"
    BytesShort,       // "N0 x N1 pixels need N2 bytes, the file holds N3"
    SideRange,        // "a picture has 1 to MAX_PICTURE_SIDE pixels a side"
    NotFormatNumber,  // "its first word is not a format number such as P5"
    NoPnmHeader,      // "it holds no PBM/PGM/PPM header"
    WordForNumber,    // "its header holds a word where a number belongs"
    UnknownPnmFormat, // "format PN0 is none of P1 to P6 (PBM, PGM, PPM)"
    HeaderEndsEarly,  // "its header ends before the width, height and maxval"
    MaxvalRange,      // "maxval N0 is not 1 to 65535"
    NoPixels,         // "its size N0 x N1 has no pixels"
    EmptyFile,        // "the file is empty"
    NotReadPicture,   // "not a picture that ztr reads (it reads W0)"
    NotValidBitmap,   // "not a valid bitmap"
    Os2Bitmap,        // "an OS/2 bitmap (12-byte header), which ztr does not read"
    Compression,      // "N0 bits a pixel with W0 compression, which ztr does not read"
    NoReader,         // "no reader takes it"
};

struct Outcome {
    OutcomeCode code = OutcomeCode::Done;
    OutcomeDetail detail = OutcomeDetail::None;
    std::string file{};                  // the file's name as the caller gave it
    std::vector<std::int64_t> numbers{}; // as the code and detail use them
    std::vector<std::string> words{};    // as the code and detail use them
    std::error_code reason{};            // the system's error behind the outcome, if any

    // The one success convention of the engine's calls: true when nothing went wrong.
    bool Ok() const { return code == OutcomeCode::Done; }
    bool operator==(const Outcome&) const = default;
};

// Whether the outcome warns (the work was done, short of something) rather than fails.
bool IsWarning(OutcomeCode code);

// The text a person reads: the first line, the detail on a line of its own, the system's
// reason on the line after; every line ends in "\n". Empty for Done.
std::string OutcomeText(const Outcome& outcome);

// A stable name of the code and of the detail ("truncated", "bytesShort"), for the page.
const char* OutcomeCodeName(OutcomeCode code);
const char* OutcomeDetailName(OutcomeDetail detail);
