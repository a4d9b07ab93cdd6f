/* Speed test of the device library on an ATmega328P at 16 MHz, run under simavr: decodes
 * the sample animation (and the 128 x 64 sample picture) from program memory, builds the
 * animation's frames in a frame buffer, and reports on the UART a checksum of every frame
 * and the cycles of decoding, of placing the frame and of a plain flash-to-RAM copy of
 * the same number of bytes. Built for the host, it prints the same lines without cycles,
 * so that the checksums can be compared. */
#include "zentra_device.h"

#include "anim.h"
#include "mono.h"

#include <stdint.h>
#include <string.h>

#include "speed_clock.h"

#if !defined(__AVR__)
#define memcpy_P memcpy
#endif

static uint8_t stream[1024];
static uint8_t frame[600];
static uint32_t stream_checksum; /* of the last stream decoded */
static uint32_t clock_cost;      /* cycles of two clock readings */

static uint32_t total_bytes;
static uint32_t total_decode;
static uint32_t total_copy;

/* Decodes the record's whole stream into stream[], notes its checksum, and copies as many
 * bytes from flash over it; returns the stream's length (0 when it does not fit or fails). */
static uint16_t time_stream(const ztr_source* source, const ztr_record* record,
                            const uint8_t* flash) {
    ztr_decoder decoder;
    uint32_t start;
    uint32_t decode;
    uint32_t copy;
    uint16_t count;
    if (record->unpacked_size > sizeof stream || ztr_begin(&decoder, source, record) != ZTR_OK) {
        return 0;
    }
    count = (uint16_t)record->unpacked_size;
    start = cycles();
    if (ztr_read(&decoder, stream, count) != count) {
        return 0;
    }
    decode = cycles() - start - clock_cost;
    stream_checksum = checksum(CHECKSUM_START, stream, count);
    start = cycles();
    memcpy_P(stream, flash, count);
    copy = cycles() - start - clock_cost;
    put_text(" bytes ");
    put_number(count);
    put_cycles(" decode ", decode);
    put_cycles(" copy ", copy);
    total_bytes += count;
    total_decode += decode;
    total_copy += copy;
    return count;
}

static int play_animation(void) {
    const ztr_source source = ZTR_MEMORY_SOURCE(anim, ANIM_SIZE);
    ztr_record first;
    ztr_record step;
    uint8_t k;
    if (ztr_find(&source, 1, 0x06, 0, 0, &first) != ZTR_OK || first.unpacked_size > sizeof frame) {
        return 0;
    }
    memset(&step, 0, sizeof step);
    for (k = 0; k < 8; ++k) { /* the six frames and the first two again */
        uint32_t start;
        uint32_t place;
        if (ztr_next_frame(&source, &first, &step) != ZTR_OK) {
            return 0;
        }
        put_text("frame ");
        put_number(k);
        put_text(" delay ");
        put_number(step.delay);
        if (!time_stream(&source, &step, anim)) {
            return 0;
        }
        start = cycles();
        if (ztr_apply(&source, &first, &step, frame, sizeof frame) != ZTR_OK) {
            return 0;
        }
        place = cycles() - start - clock_cost;
        put_cycles(" apply ", place);
        put_text(" checksum ");
        put_hex(checksum(CHECKSUM_START, frame, (uint16_t)first.unpacked_size));
        put('\n');
    }
    return 1;
}

static int decode_picture(void) {
    const ztr_source source = ZTR_MEMORY_SOURCE(mono, MONO_SIZE);
    ztr_record record;
    if (ztr_find(&source, 1, 0x06, 128, 64, &record) != ZTR_OK) {
        return 0;
    }
    put_text("picture 128x64");
    if (!time_stream(&source, &record, mono)) {
        return 0;
    }
    put_text(" checksum ");
    put_hex(stream_checksum);
    put('\n');
    return 1;
}

int main(void) {
    uint32_t start;
    start_clock();
    start = cycles();
    clock_cost = cycles() - start;
    put_text("sizes record ");
    put_number(sizeof(ztr_record));
    put_text(" decoder ");
    put_number(sizeof(ztr_decoder));
    put_text(" source ");
    put_number(sizeof(ztr_source));
    put('\n');
    if (!play_animation() || !decode_picture()) {
        put_text("FAILED\n");
        stop();
        return 1;
    }
    put_text("total bytes ");
    put_number(total_bytes);
    put_cycles(" decode ", total_decode);
    put_cycles(" copy ", total_copy);
    put('\n');
    put_text("done\n");
    stop();
    return 0;
}
