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
    NoFrame,           // "ERROR: file 'FILE' has no frame N0"
    // Reading a palette.
    CannotOpenPalette,  // "ERROR: cannot open palette file 'FILE'", then the reason
    PaletteLineTooLong, // "ERROR: palette file 'FILE', line N0: line too long"
    PaletteNotColour,   // "ERROR: palette file 'FILE', line N0: 'W0' is not a colour (W1)"
    PaletteTooLong,     // "ERROR: palette file 'FILE' has more than N0 colours"
    // "ERROR: palette file 'FILE', line N0: a measured colour (second column) is given for"
    // " this colour but not for those before it" (N1 = 1), or " the colours before it but
    // not for this one" (N1 = 0)
    PaletteMeasuredApart,
    PaletteEmpty,      // "ERROR: palette file 'FILE' holds no colour"
    ColourListTooLong, // "ERROR: the palette has more than N0 colours"
    // "ERROR: palette 'FILE' is neither a built-in palette (W0), a list of #RRGGBB colours
    // nor a palette file"
    UnknownPalette,
    // Warnings: the picture was read, up to a break.
    CutShort, // "WARNING: file 'FILE' is cut short: N0 complete frame(s) read"
    Damaged,  // "WARNING: file 'FILE' is damaged: N0 complete frame(s) read"
    // "WARNING: picture 'FILE' is N0 x N1, larger than the N2 x N3 panel of 'W0'"; then,
    // when it was read at another size (N4 x N5) or a quarter turn (to N6 degrees, -1 for
    // none) makes it fit, a line that says so.
    LargerThanPanel,
    // Converting.
    NothingToConvert,     // "ERROR: no pictures or no display types to convert"
    InvalidDelay,         // "ERROR: the delay must be between 0 and N0 ms"
    CannotOpenForWriting, // "ERROR: failed to open file 'FILE' for writing", then the reason
    CannotWrite,          // "ERROR: failed to write file 'FILE'", then the reason
    UnsupportedDepth,     // "ERROR: unsupported colour depth"
    CoderOutOfMemory,     // "Out of memory!"
    SizeMismatch, // "ERROR: picture 'FILE' is N0 x N1, but the sequence's first picture is N2 x N3"
    // The sentences of these three are made where their rule lives, and come as W0.
    TooManyColours,    // "ERROR: the palette has W0" (N0 colours at depth N1)
    PaletteOutOfOrder, // "ERROR: W0" (the palette FILE against the type W1)
    OutputOverPicture, // "ERROR: W0" (the output FILE over the picture W1)
    OutputsCollide,    // "ERROR: W0" (the pictures W1 and W2 both to the output FILE)
    Cancelled,         // the caller's progress callback stopped the work: no message
    // Showing a record of a Zentra file. RECORD is "record N0 of 'FILE'", or "record N0"
    // for bytes that have no file name.
    CannotOpenFile,      // "cannot open 'FILE'", then the reason
    NoRecord,            // "no record N0 in 'FILE'" ("in these bytes" without a name)
    RecordTooLarge,      // "RECORD is too large to show"
    RecordOutOfMemory,   // "out of memory for RECORD"
    RecordPlanar,        // "RECORD is planar and is not shown"
    RecordDepthNotShown, // "RECORD has a colour depth that is not shown"
    RecordEmpty,         // "RECORD has nothing to show"
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
    std::string doing{}; // what was being done when the system failed, where the code does
                         // not say it ("renaming the temporary file")

    // The one success convention of the engine's calls: true when nothing went wrong.
    bool Ok() const { return code == OutcomeCode::Done; }
    bool operator==(const Outcome&) const = default;
};

// Whether the outcome warns (the work was done, short of something) rather than fails.
bool IsWarning(OutcomeCode code);

// Whether the outcome ends the work: neither success, nor a warning, nor a cancelling.
bool IsFailure(OutcomeCode code);

// The text a person reads: the first line, the detail on a line of its own, the system's
// reason on the line after; every line ends in "\n". Empty for Done and Cancelled.
std::string OutcomeText(const Outcome& outcome);

// A stable name of the code and of the detail ("truncated", "bytesShort"), for the page.
const char* OutcomeCodeName(OutcomeCode code);
const char* OutcomeDetailName(OutcomeDetail detail);
