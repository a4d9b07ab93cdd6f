/* Speed test of the two pixel codings on an ATmega328P at 16 MHz, run under simavr: each
 * record of records.h (made by zentra_device_records) is decoded from program memory in
 * pieces of 256 bytes by the run-length decoder of the device library and by the squash
 * decoder, and copied from flash to RAM in pieces of the same size; the UART reports the
 * cycles of each and whether both decoders gave the record's checksum. Built for the host
 * it prints the same lines without cycles. */
#include "squash_decode.h"
#include "zentra_device.h"

#include <stdint.h>
#include <string.h>

typedef struct test_record {
    const char* name;
    const uint8_t* rl; /* the record as a one-record file, run-length coded */
    uint32_t rl_size;
    const uint8_t* squash; /* its pixel data squash-coded */
    uint32_t squash_size;
    uint32_t unpacked;
    uint32_t line_bytes;
    uint32_t checksum; /* FNV-1a of the unpacked stream */
    uint8_t depth;
    uint8_t high_first;
} test_record;

#include "records.h"

#if defined(__AVR__)
#include <avr/interrupt.h>
#include <avr/io.h>
#include <avr/pgmspace.h>
#include <avr/sleep.h>

static volatile uint16_t overflows;

ISR(TIMER1_OVF_vect) {
    ++overflows;
}

/* Timer 1 counts every cycle; its overflows extend it to 32 bits. */
static void start_clock(void) {
    TCCR1A = 0;
    TCCR1B = _BV(CS10);
    TIMSK1 = _BV(TOIE1);
    UCSR0B = _BV(TXEN0);
    sei();
}

static uint32_t cycles(void) {
    uint16_t low;
    uint16_t high;
    const uint8_t sreg = SREG;
    cli();
    low = TCNT1;
    high = overflows;
    if ((TIFR1 & _BV(TOV1)) && low < 0x8000u) {
        ++high; /* overflowed after interrupts were stopped */
    }
    SREG = sreg;
    return ((uint32_t)high << 16) | low;
}

static void put(char c) {
    while (!(UCSR0A & _BV(UDRE0))) {
    }
    UDR0 = (uint8_t)c;
}

static void stop(void) {
    cli();
    sleep_cpu(); /* simavr ends the run here */
}

/* Any 256 bytes of program memory, the piece'th of the first 16 KiB. */
static void copy_piece(uint8_t* to, uint16_t piece, uint16_t n) {
    memcpy_P(to, (const void*)(uintptr_t)((piece * 256u) & 0x3FFFu), n);
}
#define HAVE_CLOCK 1
#else
#include <stdio.h>
static void start_clock(void) {}
static uint32_t cycles(void) {
    return 0;
}
static void put(char c) {
    putchar(c);
}
static void stop(void) {}
static void copy_piece(uint8_t* to, uint16_t piece, uint16_t n) {
    (void)piece;
    memset(to, 0, n);
}
#define HAVE_CLOCK 0
#endif

static void put_text(const char* text) {
    while (*text) {
        put(*text++);
    }
}

static void put_number(uint32_t value) {
    char digits[10];
    uint8_t n = 0;
    do {
        digits[n++] = (char)('0' + value % 10);
        value /= 10;
    } while (value);
    while (n) {
        put(digits[--n]);
    }
}

static void put_cycles(const char* label, uint32_t value) {
    put_text(label);
    if (HAVE_CLOCK) {
        put_number(value);
    } else {
        put('-');
    }
}

static uint32_t checksum(uint32_t value, const uint8_t* bytes, uint16_t count) {
    while (count--) {
        value = (value ^ *bytes++) * 0x01000193ul;
    }
    return value;
}

static uint8_t piece[256];
static uint8_t window[ZTR_SQUASH_WINDOW];
static uint32_t clock_cost; /* cycles of two clock readings */

/* Cycles of the run-length decoder over the record; 0 when it fails or differs. */
static uint32_t run_length(const test_record* t) {
    const ztr_source source = ZTR_MEMORY_SOURCE(t->rl, t->rl_size);
    ztr_record record;
    ztr_decoder decoder;
    uint32_t sum = 0x811C9DC5ul;
    uint32_t spent = 0;
    uint32_t start = cycles();
    uint16_t got;
    if (ztr_read_record(&source, 0, &record) != ZTR_OK ||
        ztr_begin(&decoder, &source, &record) != ZTR_OK) {
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
        sum = checksum(sum, piece, got);
    }
    return decoder.status == ZTR_END && sum == t->checksum ? spent : 0;
}

static uint32_t squash(const test_record* t) {
    ztr_squash d;
    uint32_t sum = 0x811C9DC5ul;
    uint32_t spent;
    uint32_t start = cycles();
    uint16_t got;
    ztr_squash_begin(&d, t->squash, t->squash + t->squash_size, t->unpacked, t->line_bytes,
                     t->depth, t->high_first, window);
    spent = cycles() - start - clock_cost;
    for (;;) {
        start = cycles();
        got = ztr_squash_read(&d, piece, sizeof piece);
        spent += cycles() - start - clock_cost;
        if (!got) {
            break;
        }
        sum = checksum(sum, piece, got);
    }
    return d.status == 1 && sum == t->checksum ? spent : 0;
}

static uint32_t copy(const test_record* t) {
    uint32_t left = t->unpacked;
    uint32_t spent = 0;
    uint16_t k = 0;
    while (left) {
        const uint16_t n = left < sizeof piece ? (uint16_t)left : (uint16_t)sizeof piece;
        const uint32_t start = cycles();
        copy_piece(piece, k++, n);
        spent += cycles() - start - clock_cost;
        left -= n;
    }
    return spent;
}

int main(void) {
    uint32_t start;
    uint8_t i;
    int ok = 1;
    start_clock();
    start = cycles();
    clock_cost = cycles() - start;
    put_text("sizes squash ");
    put_number(sizeof(ztr_squash));
    put_text(" window ");
    put_number(ZTR_SQUASH_WINDOW);
    put('\n');
    for (i = 0; i < RECORD_COUNT; ++i) {
        const test_record* t = &records[i];
        const uint32_t rl = run_length(t);
        const uint32_t sq = squash(t);
        put_text("record ");
        put_text(t->name);
        put_text(" depth ");
        put_number(t->depth);
        put_text(" bytes ");
        put_number(t->unpacked);
        put_text(" coded ");
        put_number(t->rl_size - 12u);
        put(' ');
        put_number(t->squash_size);
        put_cycles(" run-length ", rl);
        put_cycles(" squash ", sq);
        put_cycles(" copy ", copy(t));
        put_text(rl || !HAVE_CLOCK ? "" : " run-length FAILED");
        put_text(sq || !HAVE_CLOCK ? "" : " squash FAILED");
        put('\n');
        ok = ok && (!HAVE_CLOCK || (rl && sq));
    }
    put_text(ok ? "done\n" : "FAILED\n");
    stop();
    return 0;
}
