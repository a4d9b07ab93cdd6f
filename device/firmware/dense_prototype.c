/* A streaming decoder of the dense coding (format/dense_coding.h) as a firmware would
 * hold it: C99, no heap, coded bytes read from program memory on the AVR, the unpacked
 * stream delivered in pieces of any size. With a window of 512 bytes (a ring the caller
 * supplies) or, for a record coded with copies from the whole stream, decoded straight
 * into a buffer of the whole stream (a frame buffer). It measures what the device library
 * will add for the coding (bench/dense-device): flash, state and cycles a byte. */
#include "dense_prototype.h"

#if defined(__AVR__)
#include <avr/pgmspace.h>
#define CODED(p) pgm_read_byte(p)
#else
#define CODED(p) (*(p))
#endif

/* Builds for one kind of window alone: DENSE_WINDOW_ONLY (the 512-byte ring) or
 * DENSE_WHOLE_ONLY (the buffer of the whole stream). */
#if defined(DENSE_WINDOW_ONLY)
#define IN_WINDOW 1
#elif defined(DENSE_WHOLE_ONLY)
#define IN_WINDOW 0
#else
#define IN_WINDOW (ring != 0)
#endif

/* The stretch movers stay functions of their own: inlined, they leave too few pointer
 * registers to the AVR's decoder loop. */
#if defined(__GNUC__)
#define NOT_INLINED __attribute__((noinline))
#else
#define NOT_INLINED
#endif

/* Where the reading of a token's codes stands. */
#define HEAD 0u       /* its first bit */
#define HEAD_COPY 1u  /* the second bit of a copy's code */
#define GAMMA_STOP 2u /* a gamma number's next stop bit */
#define GAMMA_BIT 3u  /* a gamma number's next bit of value */

#define AFTER_LITERAL 1u /* the last token was a literal run */
#define LITERAL 2u       /* the current token is a literal run */
#define DAMAGED 4u

/* The next bit of the coded stream into bit, the top one of a byte first. bits holds the
 * bits still to read above a closing 1; when only that 1 is left, the next byte is
 * fetched. Past the end of the coded bytes the stream is damaged. */
#define GET_BIT(bit)                                                                               \
    do {                                                                                           \
        if (bits == 0x80u) {                                                                       \
            if (next == end) {                                                                     \
                goto damaged;                                                                      \
            }                                                                                      \
            bits = CODED(next);                                                                    \
            ++next;                                                                                \
            bit = bits & 0x80u;                                                                    \
            bits = (uint8_t)((bits << 1) | 1u);                                                    \
        } else {                                                                                   \
            bit = bits & 0x80u;                                                                    \
            bits = (uint8_t)(bits << 1);                                                           \
        }                                                                                          \
    } while (0)

/* count (1 or more) coded bytes to both out and to (which may be the same). */
NOT_INLINED static void literals_twice(uint8_t* out, uint8_t* to, const uint8_t* from,
                                       uint16_t count) {
    do {
        const uint8_t b = CODED(from);
        ++from;
        *out++ = b;
        *to++ = b;
    } while (--count);
}

/* count (1 or more) bytes from `from` on to both out and to (which may be the same), a
 * byte at a time: a copy that overlaps the bytes it makes repeats them. */
NOT_INLINED static void copy_twice(uint8_t* out, uint8_t* to, const uint8_t* from, uint16_t count) {
    do {
        const uint8_t b = *from++;
        *out++ = b;
        *to++ = b;
    } while (--count);
}

/* count (1 or more) bytes from distance bytes back to out, a byte at a time: a copy that
 * overlaps the bytes it makes repeats them. */
NOT_INLINED static void repeat(uint8_t* out, uint16_t distance, uint16_t count) {
    const uint8_t* from = out - distance;
    do {
        *out++ = *from++;
    } while (--count);
}

void dense_begin(dense_state* d, const uint8_t* coded, const uint8_t* end, uint8_t* ring,
                 uint16_t line) {
    uint16_t i;
    d->next = coded;
    d->end = end;
    d->ring = ring;
    d->to = ring;
    d->left = 0;
    d->distance = 1;
    d->line = line;
    d->bits = 0x80u;
    d->flags = 0;
    d->made = 0;
    if (ring) {
        for (i = 0; i < DENSE_RING; ++i) {
            ring[i] = 0;
        }
    }
}

uint16_t dense_read(dense_state* d, uint8_t* out, uint16_t count) {
    const uint8_t* next = d->next;
    const uint8_t* const end = d->end;
    uint8_t* const ring = d->ring;
    uint8_t* to = d->to;
    uint16_t left = d->left;
    uint16_t distance = d->distance;
    uint8_t bits = d->bits;
    uint8_t flags = d->flags;
    const uint16_t wanted = count;
    uint16_t n;
    if (flags & DAMAGED) {
        return 0;
    }
    while (count) {
        if (!left) {
            /* The next token: 0 a literal run (after a copy) or a copy from R (after a
             * literal run), 10 a copy from the line above, 11 a copy from a new distance,
             * whose high part (gamma) and low byte come first; then its length (gamma),
             * less one for a new distance. */
            uint8_t bit;
            uint8_t extra = 0; /* 2 while the gamma read is a new distance's high part */
            uint8_t phase = HEAD;
            uint16_t v = 1;
            for (;;) {
                GET_BIT(bit);
                if (phase == HEAD) {
                    if (bit) {
                        phase = HEAD_COPY;
                        continue;
                    }
                    flags = flags & AFTER_LITERAL ? 0 : AFTER_LITERAL | LITERAL;
                } else if (phase == HEAD_COPY) {
                    flags = 0;
                    if (bit) {
                        extra = 2;
                    } else {
                        distance = d->line;
                    }
                } else if (phase == GAMMA_BIT) {
                    v = (uint16_t)((v << 1) | (bit ? 1u : 0u));
                } else if (!bit) {
                    if (v & 0x8000u) {
                        goto damaged;
                    }
                    phase = GAMMA_BIT;
                    continue;
                } else if (extra == 2) {
                    /* At most 512 bytes back in the ring; a 16-bit stream is shorter
                     * than 256 x 256 bytes. */
                    if (next == end || v > (IN_WINDOW ? DENSE_RING / 256u : 256u)) {
                        goto damaged;
                    }
                    distance = (uint16_t)((((v - 1u) << 8) | CODED(next)) + 1u);
                    ++next;
                    extra = 1;
                    v = 1;
                } else {
                    break;
                }
                phase = GAMMA_STOP;
            }
            left = (uint16_t)(v + extra);
            if (!left) {
                goto damaged;
            }
            /* A copy reaches at most 512 bytes back in the ring, and in the whole
             * stream no farther than its start. */
            if (!(flags & LITERAL) &&
                (uint16_t)(distance - 1u) >= (IN_WINDOW ? DENSE_RING : d->made)) {
                goto damaged;
            }
        }
        n = left < count ? left : count;
        if (flags & LITERAL && (uint16_t)(end - next) < n) {
            goto damaged;
        }
        left = (uint16_t)(left - n);
        count = (uint16_t)(count - n);
        if (IN_WINDOW) {
            /* In stretches that end where the ring ends under the bytes written or
             * those read; each stretch is made in the ring and then copied out. */
            uint8_t* const ring_end = ring + DENSE_RING;
            while (n) {
                uint16_t k = (uint16_t)(ring_end - to);
                if (k > n) {
                    k = n;
                }
                if (flags & LITERAL) {
                    literals_twice(out, to, next, k);
                    next += k;
                } else {
                    const uint8_t* from = to - distance;
                    uint16_t room;
                    if ((uint16_t)(to - ring) < distance) {
                        from += DENSE_RING;
                    }
                    room = (uint16_t)(ring_end - from);
                    if (k > room) {
                        k = room;
                    }
                    copy_twice(out, to, from, k);
                }
                out += k;
                to += k;
                n = (uint16_t)(n - k);
                if (to == ring_end) {
                    to = ring;
                }
            }
        } else {
            /* The whole stream: out is the buffer's next byte, d->made bytes after its
             * start. */
            d->made = (uint16_t)(d->made + n);
            if (flags & LITERAL) {
                literals_twice(out, out, next, n);
                next += n;
            } else {
                repeat(out, distance, n);
            }
            out += n;
        }
    }
    d->next = next;
    d->to = to;
    d->left = left;
    d->distance = distance;
    d->bits = bits;
    d->flags = flags;
    return wanted;
damaged:
    d->flags = DAMAGED;
    return (uint16_t)(wanted - count);
}
