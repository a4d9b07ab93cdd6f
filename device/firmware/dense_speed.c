/* Speed test of the device library's dense decoder on an ATmega328P at 16 MHz, run under
 * simavr: every dense record of records.h (dense_file, as "ztr export --name dense_file"
 * writes it, and RECORD_NAMES when the records have names) is decoded from program memory,
 * those with the 512-byte window in pieces of 256 bytes through ztr_begin_window, and, built
 * with FRAME_BYTES, those coded with copies from the whole frame (up to that size) by
 * ztr_apply_in_frame into a frame buffer (with EVERY_DENSE_CODING those with the 512-byte
 * window too), and with RUN_LENGTH_TOO the run-length records in the same way; as many
 * bytes are copied from flash to RAM. The UART reports the cycles and the checksum of the
 * stream, or of the bytes made up to damage. Built for the host it prints the same lines
 * without cycles. */
#include "zentra_device.h"

#include <stdint.h>
#include <string.h>

#include "records.h"

#include "speed_clock.h"

#ifdef FRAME_BYTES
static uint8_t frame[FRAME_BYTES];
#else
static uint8_t piece[256];
static uint8_t window[ZTR_WINDOW_SIZE];
#endif
static uint32_t clock_cost; /* cycles of two clock readings */
#ifdef RECORD_NAMES
static const char* const names[] = {RECORD_NAMES};
#endif

/* Decodes the record's whole stream; *sum receives its FNV-1a checksum. The cycles of the
 * decoding, 0 when it fails. */
static uint32_t decode(const ztr_source* source, const ztr_record* record, uint32_t* sum) {
    uint32_t spent;
    uint32_t start = cycles();
    *sum = CHECKSUM_START;
#ifdef FRAME_BYTES
    const ztr_result placed = ztr_apply_in_frame(source, record, record, frame, sizeof frame);
    spent = cycles() - start - clock_cost;
    /* A damaged record's bytes up to the damage too. */
    *sum = checksum(*sum, frame, (uint16_t)record->unpacked_size);
    return placed == ZTR_OK ? spent + 1u : 0;
#else
    ztr_decoder decoder;
    uint16_t got;
    if (ztr_begin_window(&decoder, source, record, window) != ZTR_OK) {
        return 0;
    }
    spent = cycles() - start - clock_cost;
    for (;;) {
        start = cycles();
        got = ztr_read(&decoder, piece, sizeof piece);
        spent += cycles() - start - clock_cost;
        if (!got) {
            break;
        }
        *sum = checksum(*sum, piece, got);
    }
    return decoder.status == ZTR_END ? spent + 1u : 0;
#endif
}

static uint32_t copy(uint32_t bytes) {
    uint8_t to[64];
    return copy_cycles(to, sizeof to, bytes, clock_cost);
}

int main(void) {
    const ztr_source source = ZTR_MEMORY_SOURCE(dense_file, DENSE_FILE_SIZE);
#ifdef FRAME_BYTES
    const uint8_t coding = ZTR_CODING_DENSE_FRAME;
#else
    const uint8_t coding = ZTR_CODING_DENSE;
#endif
    ztr_record r;
    uint32_t start;
    uint16_t k = 0;
    uint16_t decoded = 0;
    int ok = 1;
    int walk;
    start_clock();
    start = cycles();
    clock_cost = cycles() - start;
    put_text("sizes decoder ");
    put_number(sizeof(ztr_decoder));
    put_text(" window ");
    put_number(ZTR_WINDOW_SIZE);
    put('\n');
    for (walk = ztr_read_record(&source, 0, &r); walk == ZTR_OK;
         walk = ztr_next_record(&source, &r), ++k) {
        uint32_t sum;
        uint32_t spent;
        int wanted;
#ifdef FRAME_BYTES
        if (r.unpacked_size > FRAME_BYTES || (r.layout & ZTR_RECORD_DELTA)) {
            continue;
        }
#endif
        /* either form of literal bytes */
        wanted = (r.coding & ~ZTR_CODING_TABLE) == coding;
#ifdef EVERY_DENSE_CODING
        wanted = wanted || (r.coding & ~ZTR_CODING_TABLE) == ZTR_CODING_DENSE;
#endif
#ifdef RUN_LENGTH_TOO
        wanted = wanted || r.coding == ZTR_CODING_RUN_LENGTH;
#endif
        if (!wanted) {
            continue;
        }
        spent = decode(&source, &r, &sum);
        put_text("record ");
#ifdef RECORD_NAMES
        put_text(names[k]);
#else
        put_number(k);
#endif
        put_text(" depth ");
        put_number(r.depth);
        put_text(" bytes ");
        put_number(r.unpacked_size);
        put_text(" coded ");
        put_number(r.offset + r.length - r.data_offset);
        put_cycles(" dense ", spent - 1u);
        put_cycles(" copy ", copy(r.unpacked_size));
        put_text(" coding ");
        put_number(r.coding);
        put_text(" checksum ");
        put_hex(sum);
        put_text(spent ? "" : " FAILED");
        put('\n');
        ok = ok && spent;
        ++decoded;
    }
    ok = ok && walk == ZTR_END && decoded;
    put_text(ok ? "done\n" : "FAILED\n");
    stop();
    return 0;
}
