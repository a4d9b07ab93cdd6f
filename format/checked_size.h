// Overflow-checked size arithmetic for every size computed from untrusted input.
#pragma once

#include <cstddef>
#include <limits>

// Stores a * b in result and returns true, or returns false when the product does not
// fit std::size_t.
inline bool CheckedMultiply(std::size_t a, std::size_t b, std::size_t& result) {
    if (a != 0 && b > std::numeric_limits<std::size_t>::max() / a) {
        return false;
    }
    result = a * b;
    return true;
}
