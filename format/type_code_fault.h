// TypeCodeFault: what a raw type code holds that the format has no record for, so that a
// code typed by hand (ztr convert --code) is refused with the reason.
#pragma once

#include <cstdint>
#include <string>

// Empty when the code makes records; else the first fault: a depth (bits 16-23) other than
// 1, 2, 4, 8, 16 or 24, record-flag bits (5-7) among the lay-out bits, or bits above the
// depth (24-31). Bits 8-15 of the lay-out code are accepted and not used.
std::string TypeCodeFault(std::uint32_t code);
