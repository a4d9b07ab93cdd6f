/* Speed test of the two pixel codings on an ATmega328P at 16 MHz, run under simavr: every
 * record of a run-length coded file and of the same file squash coded (records.h: the
 * arrays rle_file and squash_file, as "ztr export --name" writes them, and RECORD_NAMES
 * when the records have names) is decoded from program memory in pieces of 256 bytes by
 * the device library, built with ZTR_SQUASH, and as many bytes are copied from flash to
 * RAM in pieces of the same size; the UART reports the cycles of each and whether both
 * codings gave the same stream. Built for the host it prints the same lines without
 * cycles, with the streams' checksums. */
#include "zentra_device.h"

#include <stdint.h>
#include <string.h>

#include "records.h"

#include "speed_clock.h"

static uint8_t piece[256];
static uint8_t window[ZTR_WINDOW_SIZE];
static uint32_t clock_cost; /* cycles of two clock readings */
#ifdef RECORD_NAMES
static const char* const names[] = {RECORD_NAMES};
#endif

/* Decodes the record's whole stream in pieces; *sum receives its FNV-1a checksum. The
 * cycles of the decoding, 0 when it fails. */
static uint32_t decode(const ztr_source* source, const ztr_record* record, uint32_t* sum) {
    ztr_decoder decoder;
    uint32_t spent;
    uint32_t start = cycles();
    uint16_t got;
    *sum = CHECKSUM_START;
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
}

static uint32_t copy(uint32_t bytes) {
    return copy_cycles(piece, sizeof piece, bytes, clock_cost);
}

int main(void) {
    const ztr_source rl_source = ZTR_MEMORY_SOURCE(rle_file, RLE_FILE_SIZE);
    const ztr_source squash_source = ZTR_MEMORY_SOURCE(squash_file, SQUASH_FILE_SIZE);
    ztr_record rl;
    ztr_record sq;
    uint32_t start;
    uint16_t k = 0;
    int ok = 1;
    int walk_rl;
    int walk_sq;
    start_clock();
    start = cycles();
    clock_cost = cycles() - start;
    put_text("sizes decoder ");
    put_number(sizeof(ztr_decoder));
    put_text(" window ");
    put_number(ZTR_WINDOW_SIZE);
    put('\n');
    walk_rl = ztr_read_record(&rl_source, 0, &rl);
    walk_sq = ztr_read_record(&squash_source, 0, &sq);
    while (walk_rl == ZTR_OK && walk_sq == ZTR_OK) {
        uint32_t rl_sum;
        uint32_t sq_sum;
        const uint32_t rl_cycles = decode(&rl_source, &rl, &rl_sum);
        const uint32_t sq_cycles = decode(&squash_source, &sq, &sq_sum);
        const int same = rl_cycles && sq_cycles && rl_sum == sq_sum &&
                         rl.unpacked_size == sq.unpacked_size && sq.coding == ZTR_CODING_SQUASH;
        put_text("record ");
#ifdef RECORD_NAMES
        put_text(names[k]);
#else
        put_number(k);
#endif
        put_text(" depth ");
        put_number(rl.depth);
        put_text(" bytes ");
        put_number(rl.unpacked_size);
        put_text(" coded ");
        put_number(rl.offset + rl.length - rl.data_offset);
        put(' ');
        put_number(sq.offset + sq.length - sq.data_offset);
        put_cycles(" run-length ", rl_cycles - 1u);
        put_cycles(" squash ", sq_cycles - 1u);
        put_cycles(" copy ", copy(rl.unpacked_size));
        put_text(" checksum ");
        put_hex(rl_sum);
        put_text(same ? "" : " FAILED");
        put('\n');
        ok = ok && same;
        ++k;
        walk_rl = ztr_next_record(&rl_source, &rl);
        walk_sq = ztr_next_record(&squash_source, &sq);
    }
    ok = ok && walk_rl == ZTR_END && walk_sq == ZTR_END && k;
    put_text(ok ? "done\n" : "FAILED\n");
    stop();
    return 0;
}
