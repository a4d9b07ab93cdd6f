// The device library's public constants against the engine's own: the library is C and
// cannot include format/, so its header spells the lay-out byte, the coding marks, the
// window and the default frame time out again. Compiled in the host build, any
// difference stops the build here rather than showing as a misdrawn panel.
#include "dense_coding.h"
#include "play_sequence.h"
#include "squash_coding.h"
#include "version.h"
#include "zentra_device.h"
#include "zentra_format.h"

#include <string_view>

// Lay-out byte, bits 0-4: the order and the flags a panel's memory takes its pixels by.
static_assert(ZTR_LAYOUT_ORDER == LAYOUT_ORDER);
static_assert(ZTR_ORDER_ROWS == ORDER_ROWS);
static_assert(ZTR_ORDER_COLUMNS == ORDER_COLUMNS);
static_assert(ZTR_ORDER_BANDED_ROWS == ORDER_BANDED_ROWS);
static_assert(ZTR_ORDER_BANDED_COLUMNS == ORDER_BANDED_COLUMNS);
static_assert(ZTR_LAYOUT_REVERSED == LAYOUT_REVERSED);
static_assert(ZTR_LAYOUT_PLANAR == LAYOUT_PLANAR);
static_assert(ZTR_LAYOUT_INVERTED_Y == LAYOUT_INVERTED_Y);
static_assert(ZTR_LAYOUT_BITS == LAYOUT_BITS);

// Lay-out byte, bits 5-7: what the record holds.
static_assert(ZTR_RECORD_DELTA == RECORD_DELTA);
static_assert(ZTR_RECORD_PALETTE == RECORD_PALETTE);
static_assert(ZTR_RECORD_LAST_FRAME == RECORD_LAST_FRAME);

// The coding a record reports: the engine's codings in its order; copies from the whole
// frame are the dense coding with the depth byte's whole-stream bit.
static_assert(ZTR_CODING_RUN_LENGTH == static_cast<unsigned>(PixelCoding::RunLength));
static_assert(ZTR_CODING_SQUASH == static_cast<unsigned>(PixelCoding::Squash));
static_assert(ZTR_CODING_DENSE == static_cast<unsigned>(PixelCoding::Dense));
static_assert(ZTR_CODING_DENSE_FRAME > ZTR_CODING_DENSE);

// The caller's window holds every distance the coders copy from.
static_assert(ZTR_WINDOW_SIZE >= SQUASH_WINDOW_BYTES);
static_assert(ZTR_WINDOW_SIZE >= DENSE_WINDOW_BYTES);

// A frame whose delay is 0 stands as long as the viewer shows it.
static_assert(ZTR_DEFAULT_DELAY == DEFAULT_FRAME_TIME_MS);

// The library belongs to the tools of the same version.
static_assert(ZTR_VERSION_MAJOR == ZENTRA_VERSION_MAJOR);
static_assert(ZTR_VERSION_MINOR == ZENTRA_VERSION_MINOR);
static_assert(ZTR_VERSION_BUILD == ZENTRA_VERSION_BUILD);
static_assert(std::string_view(ZTR_VERSION_TEXT) == ZENTRA_VERSION_TEXT);
