// The outcomes of the picture readers' failures.
#include "read_failure.h"

Readout Refused(Outcome outcome) {
    Readout result;
    result.failure = std::move(outcome);
    return result;
}

Readout Refused(OutcomeCode code, const std::string& name, OutcomeDetail detail,
                std::initializer_list<std::int64_t> numbers,
                std::initializer_list<std::string> words) {
    return Refused(Outcome{code, detail, name, numbers, words});
}

Readout NoMemory() {
    return Refused(Outcome{OutcomeCode::OutOfMemory});
}

Readout UnsupportedBitmap(const std::string& name, OutcomeDetail detail,
                          std::initializer_list<std::int64_t> numbers,
                          std::initializer_list<std::string> words) {
    return Refused(OutcomeCode::UnsupportedFormat, name, detail, numbers, words);
}

Outcome InvalidSize(const std::string& name, std::int64_t width, std::int64_t height) {
    return Outcome{OutcomeCode::InvalidSize, OutcomeDetail::SideRange, name, {width, height}};
}

Readout NotPnmHeader(const std::string& name) {
    return Refused(OutcomeCode::InvalidPnmImage, name, OutcomeDetail::NotFormatNumber);
}

Readout NoPnmHeader(const std::string& name) {
    return Refused(OutcomeCode::WrongImageType, name, OutcomeDetail::NoPnmHeader);
}

Readout TruncatedPicture(const std::string& name, std::int64_t width, std::int64_t height) {
    return Refused(OutcomeCode::Truncated, name, OutcomeDetail::NotEnoughData, {width, height});
}

Readout TruncatedPicture(const std::string& name, std::int64_t width, std::int64_t height,
                         std::uint64_t needed, std::uint64_t held) {
    return Refused(
        OutcomeCode::Truncated, name, OutcomeDetail::BytesShort,
        {width, height, static_cast<std::int64_t>(needed), static_cast<std::int64_t>(held)});
}
