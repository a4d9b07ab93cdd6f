/* Code size probe: links the parts of the device library that a firmware uses, by
 * level, so that the difference to level 0 is the library's share of the flash:
 *   1 walk + find + stream decode   2 and frame placement   3 and animation stepping
 * ZTR_NO_CALLBACK_SOURCE or ZTR_NO_MEMORY_SOURCE choose a single kind of source; with
 * PROBE_WINDOW the stream is begun with a window, as squash and dense records need, and
 * with PROBE_IN_FRAME frames are placed with the frame as the window; PROBE_FIND_ONLY
 * leaves the stream out of level 1 (walk and find alone). */
#include "zentra_device.h"

#ifndef PROBE
#define PROBE 0
#endif

static const uint8_t probe_file[16] = {16, 0, 0, 0, 2, 0xA2, 6, 1, 8, 0, 8, 0, 0, 7};
volatile uint8_t probe_sink;
/* The file's place and size as a firmware that reads one of several files knows them:
 * not constants that link-time optimisation could fold into the library's code. */
static const uint8_t* volatile probe_data = probe_file;
static volatile uint16_t probe_size = sizeof probe_file;
static uint8_t buffer[64];
#ifdef PROBE_WINDOW
static uint8_t window[ZTR_WINDOW_SIZE];
#endif

static uint16_t probe_read(void* context, uint32_t offset, uint8_t* bytes, uint16_t length) {
    uint16_t i;
    (void)context;
    for (i = 0; i < length; ++i) {
        bytes[i] = probe_file[(offset + i) & 15];
    }
    return length;
}

int main(void) {
#ifdef ZTR_NO_MEMORY_SOURCE
    ztr_source source = ZTR_CALLBACK_SOURCE(probe_read, 0, probe_size);
#else
    ztr_source source = ZTR_MEMORY_SOURCE(probe_data, probe_size);
    probe_sink = (uint8_t)probe_read(0, probe_sink, buffer, 1);
#endif
#if PROBE >= 1
    ztr_record first;
#ifdef PROBE_FIND_ONLY
    if (ztr_find(&source, 1, 6, 0, probe_sink, &first) == ZTR_OK) {
        probe_sink = (uint8_t)first.unpacked_size;
    }
#else
    ztr_decoder decoder;
    uint16_t got;
    if (ztr_find(&source, 1, 6, 0, probe_sink, &first) == ZTR_OK &&
#ifdef PROBE_WINDOW
        ztr_begin_window(&decoder, &source, &first, window) == ZTR_OK) {
#else
        ztr_begin(&decoder, &source, &first) == ZTR_OK) {
#endif
        while ((got = ztr_read(&decoder, buffer, sizeof buffer)) != 0) {
            probe_sink = buffer[got - 1];
        }
    }
#endif
#if PROBE >= 2
#if defined(PROBE_IN_FRAME)
    probe_sink = (uint8_t)ztr_apply_in_frame(&source, &first, &first, buffer, sizeof buffer);
#elif defined(PROBE_WINDOW)
    probe_sink = (uint8_t)ztr_apply_window(&source, &first, &first, buffer, sizeof buffer, window);
#else
    probe_sink = (uint8_t)ztr_apply(&source, &first, &first, buffer, sizeof buffer);
#endif
#endif
#if PROBE >= 3
    probe_sink = (uint8_t)ztr_next_frame(&source, &first, &first);
#endif
#else
    probe_sink = (uint8_t)source.size;
#endif
    return 0;
}
