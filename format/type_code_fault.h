// TypeCodeFault: what a raw type code holds that the format has no record for, so that a
// code typed by hand (ztr convert --code) is refused with the reason.
#pragma once

#include <cstdint>
#include <string>

// Empty when the code makes records; else the first fault: a depth (bits 16-23) other than
// 1, 2, 4, 8, 16 or 24, lay-out bits beyond order, reversal, planar and inverted Y (0x1F),
// or bits above the depth (24-31).
std::string TypeCodeFault(std::uint32_t code);
