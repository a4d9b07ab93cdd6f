// A conversion request for picture files on disk and raw type codes, as tests build it.
#pragma once

#include "conversion_request.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace writer_test {

inline ConversionRequest FileRequest(const std::vector<std::string>& paths,
                                     const std::vector<std::uint32_t>& codes, bool animation,
                                     std::optional<int> delay = std::nullopt) {
    ConversionRequest request;
    for (const std::string& path : paths) {
        request.pictures.push_back({path});
    }
    for (const std::uint32_t code : codes) {
        request.targets.push_back({code});
    }
    request.animation = animation;
    request.delay = delay;
    return request;
}

} // namespace writer_test
