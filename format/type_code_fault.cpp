// The type code's fields checked against what the format has.
#include "type_code_fault.h"

#include "type_code.h"
#include "zentra_format.h"

#include <cstdio>

std::string TypeCodeFault(std::uint32_t code) {
    char text[96];
    const unsigned depth = TypeCodeDepth(code);
    if (!IsWrittenDepth(depth)) {
        std::snprintf(text, sizeof text, "depth %u (bits 16-23) is not 1, 2, 4, 8, 16 or 24",
                      depth);
        return text;
    }
    // Bits 8-15 belong to the lay-out code but no lay-out uses them: they are carried and
    // dropped, as a profile's lay-out code is. Bits 5-7 would be taken for record flags.
    if (const unsigned extra = code & 0xFFu & ~static_cast<unsigned>(LAYOUT_BITS); extra != 0) {
        std::snprintf(text, sizeof text, "lay-out bits 0x%X are not lay-out bits (0x01 to 0x1F)",
                      extra);
        return text;
    }
    if (const unsigned high = code >> 24; high != 0) {
        std::snprintf(text, sizeof text, "bits 24-31 (0x%X) are not used", high);
        return text;
    }
    return {};
}
