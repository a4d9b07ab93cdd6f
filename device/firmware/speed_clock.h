/* What the speed-test firmwares share: on the ATmega328P (simavr), a cycle clock from
 * timer 1 and text out through the UART, and the end of the run; built for the host, the
 * same text on standard output and no clock (cycles() is 0, HAVE_CLOCK is 0). Included by
 * exactly one file of a firmware: it defines the timer's interrupt handler. */
#ifndef ZENTRA_SPEED_CLOCK_H
#define ZENTRA_SPEED_CLOCK_H

#include <stdint.h>
#include <string.h>

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
static inline void start_clock(void) {
    TCCR1A = 0;
    TCCR1B = _BV(CS10);
    TIMSK1 = _BV(TOIE1);
    UCSR0B = _BV(TXEN0);
    sei();
}

static inline uint32_t cycles(void) {
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

static inline void put(char c) {
    while (!(UCSR0A & _BV(UDRE0))) {
    }
    UDR0 = (uint8_t)c;
}

static inline void stop(void) {
    cli();
    sleep_cpu(); /* simavr ends the run here */
}
#define HAVE_CLOCK 1
#else
#include <stdio.h>
static inline void start_clock(void) {}
static inline uint32_t cycles(void) {
    return 0;
}
static inline void put(char c) {
    putchar(c);
}
static inline void stop(void) {}
#define HAVE_CLOCK 0
#endif

static inline void put_text(const char* text) {
    while (*text) {
        put(*text++);
    }
}

static inline void put_number(uint32_t value) {
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

static inline void put_hex(uint32_t value) {
    int8_t shift;
    for (shift = 28; shift >= 0; shift -= 4) {
        put("0123456789abcdef"[(value >> shift) & 15]);
    }
}

/* Cycles, or "-" on the host. */
static inline void put_cycles(const char* label, uint32_t value) {
    put_text(label);
    if (HAVE_CLOCK) {
        put_number(value);
    } else {
        put('-');
    }
}

/* Cycles of copying bytes from program memory into buffer, size bytes at a time, as the
 * speed tests' yardstick (on the host zeros, and no cycles); clock_cost is the cycles of two
 * clock readings. */
static inline uint32_t copy_cycles(uint8_t* buffer, uint16_t size, uint32_t bytes,
                                   uint32_t clock_cost) {
    uint32_t spent = 0;
    uint16_t piece = 0;
    while (bytes) {
        const uint16_t n = bytes < size ? (uint16_t)bytes : size;
        const uint32_t start = cycles();
#if defined(__AVR__)
        /* Any n bytes of program memory: the piece'th 256 of the first 16 KiB. */
        memcpy_P(buffer, (const void*)(uintptr_t)((piece * 256u) & 0x3FFFu), n);
#else
        memset(buffer, 0, n);
#endif
        spent += cycles() - start - clock_cost;
        ++piece;
        bytes -= n;
    }
    return spent;
}

/* FNV-1a, 32 bits, carried on from value (CHECKSUM_START for a new sum). */
#define CHECKSUM_START 0x811C9DC5ul
static inline uint32_t checksum(uint32_t value, const uint8_t* bytes, uint16_t count) {
    while (count--) {
        value = (value ^ *bytes++) * 0x01000193ul;
    }
    return value;
}

#endif
