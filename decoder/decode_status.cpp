// Why a decoded record is not shown, as an outcome: the one wording of DecodeStatus that
// ztr render and the page show.
#include "decode_status.h"

Outcome ShownOutcome(DecodeStatus status, const DisplayBitmap& bitmap, const std::string& file,
                     int index) {
    Outcome outcome{.file = file, .numbers = {index}};
    switch (status) {
    case DecodeStatus::Shown:
        break;
    case DecodeStatus::NoRecord:
        outcome.code = OutcomeCode::NoRecord;
        return outcome;
    case DecodeStatus::CannotOpen:
        outcome.code = OutcomeCode::CannotOpenFile;
        return outcome;
    case DecodeStatus::TooLarge:
        outcome.code = OutcomeCode::RecordTooLarge;
        return outcome;
    case DecodeStatus::OutOfMemory:
        outcome.code = OutcomeCode::RecordOutOfMemory;
        return outcome;
    case DecodeStatus::Planar:
        outcome.code = OutcomeCode::RecordPlanar;
        return outcome;
    case DecodeStatus::DepthNotShown:
        outcome.code = OutcomeCode::RecordDepthNotShown;
        return outcome;
    }
    if (!bitmap.pixels || bitmap.width <= 0 || bitmap.height <= 0) {
        outcome.code = OutcomeCode::RecordEmpty;
        return outcome;
    }
    return {};
}
