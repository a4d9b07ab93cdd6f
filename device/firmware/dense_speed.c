/* Speed test of the dense coding's device decoder (dense_prototype.c) on an ATmega328P at
 * 16 MHz, run under simavr: every record of records.h (made by zentra_dense_records) is
 * decoded from program memory, in pieces of 256 bytes through the 512-byte window or,
 * built with WHOLE_STREAM, into one buffer of the whole stream; the UART reports the
 * cycles, those of a flash-to-RAM copy of as many bytes, and whether the stream's
 * checksum is right. Built for the host it prints the same lines without cycles. */
#include "dense_prototype.h"

#include <stdint.h>
#include <string.h>

struct test_record {
    const uint8_t* coded;
    uint16_t size;
    uint16_t unpacked;
    uint16_t line;
    uint32_t checksum;
    uint8_t depth;
    const char* name;
};

#include "records.h"

#include "speed_clock.h"

#ifndef WHOLE_STREAM_BYTES
#define WHOLE_STREAM_BYTES 1024u
#endif

#ifdef WHOLE_STREAM
static uint8_t frame[WHOLE_STREAM_BYTES];
#else
static uint8_t piece[256];
static uint8_t window[DENSE_RING];
#endif
static uint32_t clock_cost; /* cycles of two clock readings */

#if defined(__AVR__)
static void copy_piece(uint8_t* to, uint16_t k, uint16_t n) {
    memcpy_P(to, (const void*)(uintptr_t)((k * 256u) & 0x3FFFu), n);
}
#else
static void copy_piece(uint8_t* to, uint16_t k, uint16_t n) {
    (void)k;
    memset(to, 0, n);
}
#endif

/* Decodes the record; *sum receives the stream's checksum. The cycles, 0 on failure. */
static uint32_t decode(const struct test_record* r, uint32_t* sum) {
    dense_state d;
    uint32_t spent;
    uint32_t start = cycles();
    uint16_t left = r->unpacked;
    uint16_t got;
#ifdef WHOLE_STREAM
    uint8_t* out = frame;
    if (r->unpacked > sizeof frame) {
        return 0;
    }
    dense_begin(&d, r->coded, r->coded + r->size, 0, r->line);
#else
    dense_begin(&d, r->coded, r->coded + r->size, window, r->line);
#endif
    spent = cycles() - start - clock_cost;
    *sum = CHECKSUM_START;
    while (left) {
        const uint16_t n = left < 256u ? left : 256u;
        start = cycles();
#ifdef WHOLE_STREAM
        got = dense_read(&d, out, n);
#else
        got = dense_read(&d, piece, n);
#endif
        spent += cycles() - start - clock_cost;
        if (got != n) {
            return 0;
        }
#ifdef WHOLE_STREAM
        *sum = checksum(*sum, out, n);
        out += n;
#else
        *sum = checksum(*sum, piece, n);
#endif
        left = (uint16_t)(left - n);
    }
    return spent + 1u;
}

static uint32_t copy(uint16_t bytes) {
    uint8_t to[64];
    uint32_t spent = 0;
    uint16_t k = 0;
    while (bytes) {
        const uint16_t n = bytes < sizeof to ? bytes : (uint16_t)sizeof to;
        const uint32_t start = cycles();
        copy_piece(to, k++, n);
        spent += cycles() - start - clock_cost;
        bytes = (uint16_t)(bytes - n);
    }
    return spent;
}

int main(void) {
    uint32_t start;
    uint16_t k;
    int ok = 1;
    start_clock();
    start = cycles();
    clock_cost = cycles() - start;
    put_text("sizes state ");
    put_number(sizeof(dense_state));
    put('\n');
    for (k = 0; k < sizeof records / sizeof records[0]; ++k) {
        const struct test_record* r = &records[k];
        uint32_t sum = 0;
        const uint32_t spent = decode(r, &sum);
        const int same = spent && sum == r->checksum;
        put_text("record ");
        put_text(r->name);
        put_text(" depth ");
        put_number(r->depth);
        put_text(" bytes ");
        put_number(r->unpacked);
        put_text(" coded ");
        put_number(r->size);
        put_cycles(" dense ", spent - 1u);
        put_cycles(" copy ", copy(r->unpacked));
        put_text(same ? "" : " FAILED");
        put('\n');
        ok = ok && same;
    }
    put_text(ok ? "done\n" : "FAILED\n");
    stop();
    return 0;
}
