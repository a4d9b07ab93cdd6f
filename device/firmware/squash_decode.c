/* The squash decoder for microcontrollers: tokens are read a bit or a byte at a time from
 * memory, and every unpacked byte also goes into the caller's 512-byte ring, from which
 * copies take theirs. See squash_decode.h; the stream is described in
 * format/squash_coding.h. */
#include "squash_decode.h"

#if defined(__AVR__) && !defined(ZTR_AVR_MEMORY_IN_RAM)
/* The coded bytes live in program memory: read them with "lpm Z+". */
#define FETCH(b, p) __asm__ __volatile__("lpm %0, Z+" : "=r"(b), "+z"(p))
#else
#define FETCH(b, p) ((b) = *(p)++)
#endif

#if defined(__GNUC__)
#define NOINLINE __attribute__((noinline))
#else
#define NOINLINE
#endif

#define RING_MASK (ZTR_SQUASH_WINDOW - 1u)

/* ztr_squash.token: what the current count belongs to, and a flag for a literal run last. */
#define TOKEN_COPY 0u
#define TOKEN_VERBATIM 1u
#define TOKEN_DELTA 2u
#define AFTER_LITERAL 4u

#define EMPTY_BITS 0x80u

static NOINLINE void damaged(ztr_squash* d) {
    d->status = -1;
    d->count = 0;
}

/* The next coded byte, or 0 with the stream marked damaged when there is none. */
static NOINLINE uint8_t next_byte(ztr_squash* d) {
    const uint8_t* p = d->next;
    uint8_t b = 0;
    if (p == d->end) {
        damaged(d);
        return 0;
    }
    FETCH(b, p);
    d->next = p;
    return b;
}

static NOINLINE uint8_t next_bit(ztr_squash* d) {
    uint8_t b = d->bits;
    if (b == EMPTY_BITS) {
        b = next_byte(d);
        d->bits = (uint8_t)((b << 1) | 1u);
        return b >> 7;
    }
    d->bits = (uint8_t)(b << 1);
    return b >> 7;
}

/* An interleaved Elias gamma code of a length, 1 to ZTR_SQUASH_LONGEST; 0 with the stream
 * damaged when it is cut short or longer. */
static NOINLINE uint16_t next_number(ztr_squash* d) {
    uint16_t n = 1;
    while (!next_bit(d)) {
        if (n > ZTR_SQUASH_LONGEST / 2) {
            damaged(d);
        }
        n = (uint16_t)((n << 1) | next_bit(d));
    }
    return d->status ? 0 : n;
}

/* A length of n units in bytes, or 0 with the stream damaged when more than remain. */
static NOINLINE uint16_t units_to_bytes(ztr_squash* d, uint16_t n) {
    n = (uint16_t)(n * d->unit); /* below 2^16: n is at most ZTR_SQUASH_LONGEST */
    if (n > d->remaining) {
        damaged(d);
        return 0;
    }
    return n;
}

/* A field of `bits` bits (of the value shifted right by `shift`) as a signed number. */
static NOINLINE int8_t field(uint8_t value, uint8_t shift, uint8_t bits) {
    const uint8_t half = (uint8_t)(1u << (bits - 1));
    return (int8_t)(((value >> shift) & (uint8_t)(2 * half - 1)) ^ half) - (int8_t)half;
}

void ztr_squash_begin(ztr_squash* d, const uint8_t* coded, uint32_t size, uint8_t depth,
                      uint8_t high_first, uint32_t line_bytes, uint32_t unpacked,
                      uint8_t* window) {
    uint16_t i;
    d->unit = depth == 24 ? 3 : (depth == 16 ? 2 : 1);
    d->depth = depth;
    d->high_first = high_first;
    d->line = line_bytes <= ZTR_SQUASH_WINDOW ? (uint16_t)line_bytes : 0;
    d->remaining = unpacked;
    d->next = coded;
    d->end = coded + size;
    d->window = window;
    d->count = 0;
    d->distance = d->unit;
    d->head = 0;
    d->bits = EMPTY_BITS;
    d->token = TOKEN_COPY;
    d->pending = 0;
    d->status = unpacked ? 0 : 1;
    for (i = 0; i < ZTR_SQUASH_WINDOW; ++i) {
        window[i] = 0; /* units before the stream read as zeros */
    }
}

/* Reads the next token into d->token and d->count. */
static NOINLINE void next_token(ztr_squash* d) {
    const uint8_t bit = next_bit(d);
    if (!bit && !(d->token & AFTER_LITERAL)) {
        const uint8_t deltas = d->depth >= 8 ? next_bit(d) : 0;
        const uint16_t n = next_number(d);
        /* After a run of the longest length another literal run may follow. */
        d->token = (uint8_t)((n == ZTR_SQUASH_LONGEST ? 0 : AFTER_LITERAL) |
                             (deltas ? TOKEN_DELTA : TOKEN_VERBATIM));
        d->count = units_to_bytes(d, n);
        if (deltas) {
            d->count = n; /* delta runs count units */
        }
        return;
    }
    if (bit) {
        if (d->line && next_bit(d)) {
            d->distance = d->line;
        } else {
            const uint8_t low = next_byte(d);
            const uint16_t high = next_number(d);
            const uint16_t units = (uint16_t)((((uint16_t)high - 1u) << 8) + low + 1u);
            if (high > 2u || units > ZTR_SQUASH_WINDOW / d->unit) {
                damaged(d);
                return;
            }
            d->distance = (uint16_t)(units * d->unit);
        }
    }
    d->token = TOKEN_COPY;
    d->count = units_to_bytes(d, next_number(d));
}

/* Decodes one delta code into the ring after d->head and sets d->pending to its bytes;
 * the pixel before is the unit before d->head. */
static NOINLINE void next_delta(ztr_squash* d) {
    uint8_t* const ring = d->window;
    const uint16_t head = d->head;
    const uint8_t code = next_byte(d);
    uint8_t a = ring[(head - 3u) & RING_MASK];
    uint8_t g = ring[(head - 2u) & RING_MASK];
    uint8_t b = ring[(head - 1u) & RING_MASK];
    uint8_t bytes = d->unit;
    uint8_t units = 1;
    if (d->depth == 8) {
        int8_t diff[3];
        uint8_t i;
        diff[0] = field(code, 0, 6);
        switch (code >> 6) {
        case 0:
            units = 2;
            diff[0] = field(code, 3, 3);
            diff[1] = field(code, 0, 3);
            break;
        case 2:
            units = 3;
            diff[0] = field(code, 4, 2);
            diff[1] = field(code, 2, 2);
            diff[2] = field(code, 0, 2);
            break;
        case 3:
            diff[0] = (int8_t)(uint8_t)(next_byte(d) - b);
        }
        if (units > d->count) {
            damaged(d);
        }
        for (i = 0; i < units; ++i) {
            b = (uint8_t)(b + diff[i]);
            ring[(head + i) & RING_MASK] = b;
        }
        bytes = units;
    } else if ((code & 0xC0u) == 0xC0u) {
        a = next_byte(d);
        g = next_byte(d);
        b = d->unit == 3 ? next_byte(d) : g;
        ring[head] = a;
        ring[(head + 1u) & RING_MASK] = g;
        ring[(head + 2u) & RING_MASK] = b;
    } else {
        int8_t dg = field(code, 4, 3);
        int8_t da = field(code, 2, 2);
        int8_t db = field(code, 0, 2);
        if (code & 0x80u) {
            const uint8_t second = next_byte(d);
            dg = field(code, 0, 6);
            da = field(second, 4, 4);
            db = field(second, 0, 4);
        }
        if (d->depth == 16) {
            uint16_t v = d->high_first ? (uint16_t)((g << 8) | b) : (uint16_t)((b << 8) | g);
            v = (uint16_t)(v + (uint16_t)((int16_t)da * 2048 + (int16_t)dg * 32 + db));
            ring[head] = (uint8_t)(d->high_first ? v >> 8 : v);
            ring[(head + 1u) & RING_MASK] = (uint8_t)(d->high_first ? v : v >> 8);
        } else {
            ring[head] = (uint8_t)(a + dg + da);
            ring[(head + 1u) & RING_MASK] = (uint8_t)(g + dg);
            ring[(head + 2u) & RING_MASK] = (uint8_t)(b + dg + db);
        }
    }
    if (d->status) {
        return;
    }
    d->count -= units;
    d->pending = bytes;
    d->head = (uint16_t)((head + bytes) & RING_MASK);
}

uint16_t ztr_squash_read(ztr_squash* d, uint8_t* out, uint16_t count) {
    uint8_t* o = out;
    uint8_t* counted = out; /* bytes up to here are taken off d->remaining */
    uint8_t* const ring = d->window;
    uint16_t head;
    if (d->status) {
        return 0;
    }
    if (count > d->remaining) {
        count = (uint16_t)d->remaining;
    }
    while (o != out + count && !d->status) {
        uint16_t n = (uint16_t)(out + count - o);
        if (d->pending) {
            *o++ = ring[(d->head - d->pending) & RING_MASK];
            --d->pending;
            continue;
        }
        if (!d->count) {
            /* A token is checked against what remains after the bytes delivered. */
            d->remaining -= (uint32_t)(o - counted);
            counted = o;
            next_token(d);
            continue;
        }
        if (d->token & TOKEN_DELTA) {
            next_delta(d);
            continue;
        }
        if (n > d->count) {
            n = (uint16_t)d->count;
        }
        d->count -= n;
        head = d->head;
        if (d->token & TOKEN_VERBATIM) {
            const uint8_t* p = d->next;
            if ((uint32_t)(d->end - p) < n) {
                damaged(d);
                break;
            }
            do {
                uint8_t b;
                FETCH(b, p);
                *o++ = b;
                ring[head] = b;
                head = (head + 1u) & RING_MASK;
            } while (--n);
            d->next = p;
        } else {
            uint16_t from = (head - d->distance) & RING_MASK;
            do {
                const uint8_t b = ring[from];
                *o++ = b;
                ring[head] = b;
                from = (from + 1u) & RING_MASK;
                head = (head + 1u) & RING_MASK;
            } while (--n);
        }
        d->head = head;
    }
    d->remaining -= (uint32_t)(o - counted);
    if (!d->remaining && !d->status) {
        d->status = 1;
    } else if (o != out + count && !d->status) {
        damaged(d);
    }
    return (uint16_t)(o - out);
}
