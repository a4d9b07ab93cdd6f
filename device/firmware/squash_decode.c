/* The squash decoder for microcontrollers. The state lives in locals while ztr_squash_read
 * runs (registers on AVR), bits and bytes come from memory, and every unpacked byte also
 * goes into the caller's 512-byte ring, from which copies and delta codes take theirs.
 * See squash_decode.h; the stream is described in format/squash_coding.h. */
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

/* The next coded byte into b; the stream is damaged when there is none. */
#define NEXT_BYTE(b)                                                                               \
    do {                                                                                           \
        if (p == end)                                                                              \
            goto damaged;                                                                          \
        FETCH(b, p);                                                                               \
    } while (0)

/* The next bit into bit (0 or 1), from the bit byte or a new one. */
#define NEXT_BIT(bit)                                                                              \
    do {                                                                                           \
        if (bits == EMPTY_BITS) {                                                                  \
            NEXT_BYTE(bits);                                                                       \
            bit = bits >> 7;                                                                       \
            bits = (uint8_t)((bits << 1) | 1u);                                                    \
        } else {                                                                                   \
            bit = bits >> 7;                                                                       \
            bits = (uint8_t)(bits << 1);                                                           \
        }                                                                                          \
    } while (0)

/* A field of `width` bits of `value` from bit `shift` up, as a signed number. */
#define FIELD(value, shift, width)                                                                 \
    ((int8_t)((((value) >> (shift)) & ((1u << (width)) - 1u)) ^ (1u << ((width)-1u))) -            \
     (int8_t)(1u << ((width)-1u)))

/* Copies n (>= 1) unpacked bytes from `distance` back in the ring to out and the ring;
 * returns the new head. */
static NOINLINE uint16_t copy_bytes(uint8_t* o, uint8_t* ring, uint16_t head, uint16_t distance,
                                    uint16_t n) {
    uint16_t from = (head - distance) & RING_MASK;
    do {
        const uint8_t b = ring[from];
        *o++ = b;
        ring[head] = b;
        from = (from + 1u) & RING_MASK;
        head = (head + 1u) & RING_MASK;
    } while (--n);
    return head;
}

/* Copies n (>= 1) coded bytes from p to out and the ring; returns the new head. */
static NOINLINE uint16_t take_bytes(uint8_t* o, uint8_t* ring, uint16_t head, const uint8_t* p,
                                    uint16_t n) {
    do {
        uint8_t b;
        FETCH(b, p);
        *o++ = b;
        ring[head] = b;
        head = (head + 1u) & RING_MASK;
    } while (--n);
    return head;
}

void ztr_squash_begin(ztr_squash* d, const uint8_t* coded, uint32_t size, uint8_t depth,
                      uint8_t high_first, uint32_t line_bytes, uint32_t unpacked, uint8_t* window) {
    d->unit = depth == 24 ? 3 : (depth == 16 ? 2 : 1);
    d->depth = depth;
    d->high_first = high_first;
    d->line = line_bytes <= ZTR_SQUASH_WINDOW ? (uint16_t)line_bytes : 0;
    d->remaining = unpacked;
    d->budget = unpacked;
    d->next = coded;
    d->end = size ? coded + size : coded; /* no arithmetic on a null pointer */
    d->window = window;
    d->count = 0;
    d->distance = d->unit;
    d->head = 0;
    d->made = 0;
    d->bits = EMPTY_BITS;
    d->token = TOKEN_COPY;
    d->pending = 0;
    d->status = unpacked ? 0 : 1;
    /* The first delta code refers to a zero unit before the stream. */
    window[RING_MASK - 2u] = window[RING_MASK - 1u] = window[RING_MASK] = 0;
}

uint16_t ztr_squash_read(ztr_squash* d, uint8_t* out, uint16_t count) {
    uint8_t* o = out;
    uint8_t* o_end;
    uint8_t* const ring = d->window;
    const uint8_t* p = d->next;
    const uint8_t* const end = d->end;
    uint16_t head = d->head;
    uint16_t n = d->count;
    uint8_t bits = d->bits;
    uint8_t token = d->token;
    uint8_t pending = d->pending;
    const uint8_t unit = d->unit;
    if (d->status) {
        return 0;
    }
    if (count > d->remaining) {
        count = (uint16_t)d->remaining;
    }
    o_end = out + count;
    while (o != o_end) {
        uint16_t room = (uint16_t)(o_end - o);
        if (pending) {
            *o++ = ring[(head - pending) & RING_MASK];
            --pending;
            continue;
        }
        if (!n) {
            /* The next token: a literal run or a copy, then its length. */
            uint8_t bit;
            uint8_t copy = 1;
            uint16_t bytes;
            NEXT_BIT(bit);
            if (!bit && !(token & AFTER_LITERAL)) {
                copy = 0;
                token = TOKEN_VERBATIM;
                if (d->depth >= 8) {
                    NEXT_BIT(bit);
                    token = bit ? TOKEN_DELTA : TOKEN_VERBATIM;
                }
            } else if (bit) {
                uint8_t above = 0;
                if (d->line) {
                    NEXT_BIT(above);
                }
                if (above) {
                    d->distance = d->line;
                } else {
                    uint8_t low;
                    uint8_t high;
                    NEXT_BYTE(low);
                    NEXT_BIT(high);
                    d->distance = (uint16_t)((low + 1u + (high ? 256u : 0u)) * unit);
                }
            }
            n = 1;
            for (;;) {
                NEXT_BIT(bit);
                if (bit) {
                    break;
                }
                if (n > ZTR_SQUASH_LONGEST / 2) {
                    goto damaged;
                }
                NEXT_BIT(bit);
                n = (uint16_t)((n << 1) | bit);
            }
            bytes = (uint16_t)(n * unit); /* below 2^16: n is at most ZTR_SQUASH_LONGEST */
            if (bytes > d->budget) {
                goto damaged;
            }
            d->budget -= bytes;
            if (copy) {
                token = TOKEN_COPY;
                if (d->distance > d->made || d->distance > ZTR_SQUASH_WINDOW) {
                    goto damaged; /* before the stream's start, or beyond the window */
                }
            } else if (n == ZTR_SQUASH_LONGEST) {
                /* after a literal run of the longest length another literal run may come */
            } else {
                token |= AFTER_LITERAL;
            }
            d->made = (uint16_t)(d->made + bytes > ZTR_SQUASH_WINDOW ? ZTR_SQUASH_WINDOW
                                                                     : d->made + bytes);
            if (!(token & TOKEN_DELTA)) {
                n = bytes;
            }
            continue;
        }
#ifdef ZTR_SQUASH_NO_DELTAS
        if (token & TOKEN_DELTA) {
            goto damaged; /* a firmware built without delta codes takes no delta run */
        }
#else
        if ((token & TOKEN_DELTA) && room >= 3) {
            /* Delta codes while a code's bytes (at most 3) fit out, the pixel before in
             * registers. */
            uint8_t c;
            uint8_t a = ring[(head - 3u) & RING_MASK];
            uint8_t g = ring[(head - 2u) & RING_MASK];
            uint8_t b = ring[(head - 1u) & RING_MASK];
            if (unit == 1) {
                do {
                    uint8_t units = 1;
                    NEXT_BYTE(c);
                    switch (c >> 6) {
                    case 0:
                        b = (uint8_t)(b + FIELD(c, 3, 3));
                        *o++ = b;
                        ring[head] = b;
                        head = (head + 1u) & RING_MASK;
                        b = (uint8_t)(b + FIELD(c, 0, 3));
                        units = 2;
                        break;
                    case 1:
                        b = (uint8_t)(b + FIELD(c, 0, 6));
                        break;
                    case 2:
                        b = (uint8_t)(b + FIELD(c, 4, 2));
                        *o++ = b;
                        ring[head] = b;
                        head = (head + 1u) & RING_MASK;
                        b = (uint8_t)(b + FIELD(c, 2, 2));
                        *o++ = b;
                        ring[head] = b;
                        head = (head + 1u) & RING_MASK;
                        b = (uint8_t)(b + FIELD(c, 0, 2));
                        units = 3;
                        break;
                    default:
                        NEXT_BYTE(b);
                    }
                    if (units > n) {
                        goto damaged;
                    }
                    *o++ = b;
                    ring[head] = b;
                    head = (head + 1u) & RING_MASK;
                    n = (uint16_t)(n - units);
                    room = (uint16_t)(room - units);
                } while (n && room >= 3);
                continue;
            }
            if (unit == 2) {
                a = g; /* the pixel's two bytes */
                g = b;
            }
            do {
                NEXT_BYTE(c);
                if ((c & 0xC0u) == 0xC0u) {
                    NEXT_BYTE(a);
                    NEXT_BYTE(g);
                    if (unit == 3) {
                        NEXT_BYTE(b);
                    }
                } else {
                    int8_t dg = FIELD(c, 4, 3);
                    int8_t da = FIELD(c, 2, 2);
                    int8_t db = FIELD(c, 0, 2);
                    if (c & 0x80u) {
                        uint8_t second;
                        NEXT_BYTE(second);
                        dg = FIELD(c, 0, 6);
                        da = FIELD(second, 4, 4);
                        db = FIELD(second, 0, 4);
                    }
                    if (unit == 2) {
                        /* a, g: the pixel's two bytes as stored */
                        const uint8_t h = d->high_first;
                        uint16_t v = h ? (uint16_t)((a << 8) | g) : (uint16_t)((g << 8) | a);
                        v = (uint16_t)(v + (uint16_t)((int16_t)(da * 8) * 256 + dg * 32 + db));
                        a = (uint8_t)(h ? v >> 8 : v);
                        g = (uint8_t)(h ? v : v >> 8);
                    } else {
                        a = (uint8_t)(a + dg + da);
                        g = (uint8_t)(g + dg);
                        b = (uint8_t)(b + dg + db);
                    }
                }
                *o++ = a;
                ring[head] = a;
                head = (head + 1u) & RING_MASK;
                *o++ = g;
                ring[head] = g;
                head = (head + 1u) & RING_MASK;
                if (unit == 3) {
                    *o++ = b;
                    ring[head] = b;
                    head = (head + 1u) & RING_MASK;
                }
                room = (uint16_t)(room - unit);
            } while (--n && room >= 3);
            continue;
        }
        if (token & TOKEN_DELTA) {
            /* One delta code that may not fit out: its pixels go to the ring, then as
             * many as fit to out. */
            uint8_t px[3];
            uint8_t made = unit;
            uint8_t units = 1;
            uint8_t c;
            uint8_t i;
            NEXT_BYTE(c);
            if (unit == 1) {
                uint8_t v = ring[(head - 1u) & RING_MASK];
                switch (c >> 6) {
                case 0:
                    px[0] = v = (uint8_t)(v + FIELD(c, 3, 3));
                    px[1] = (uint8_t)(v + FIELD(c, 0, 3));
                    units = 2;
                    break;
                case 1:
                    px[0] = (uint8_t)(v + FIELD(c, 0, 6));
                    break;
                case 2:
                    px[0] = v = (uint8_t)(v + FIELD(c, 4, 2));
                    px[1] = v = (uint8_t)(v + FIELD(c, 2, 2));
                    px[2] = (uint8_t)(v + FIELD(c, 0, 2));
                    units = 3;
                    break;
                default:
                    NEXT_BYTE(px[0]);
                }
                made = units;
            } else if ((c & 0xC0u) == 0xC0u) {
                for (i = 0; i < unit; ++i) {
                    NEXT_BYTE(px[i]);
                }
            } else {
                int8_t dg = FIELD(c, 4, 3);
                int8_t da = FIELD(c, 2, 2);
                int8_t db = FIELD(c, 0, 2);
                const uint8_t a = ring[(head - unit) & RING_MASK];
                const uint8_t b = ring[(head - unit + 1u) & RING_MASK];
                if (c & 0x80u) {
                    uint8_t second;
                    NEXT_BYTE(second);
                    dg = FIELD(c, 0, 6);
                    da = FIELD(second, 4, 4);
                    db = FIELD(second, 0, 4);
                }
                if (unit == 2) {
                    const uint8_t h = d->high_first;
                    uint16_t v = h ? (uint16_t)((a << 8) | b) : (uint16_t)((b << 8) | a);
                    v = (uint16_t)(v + (uint16_t)((int16_t)da * 2048 + (int16_t)dg * 32 + db));
                    px[h ? 0 : 1] = (uint8_t)(v >> 8);
                    px[h ? 1 : 0] = (uint8_t)v;
                } else {
                    px[0] = (uint8_t)(a + dg + da);
                    px[1] = (uint8_t)(b + dg);
                    px[2] = (uint8_t)(ring[(head - 1u) & RING_MASK] + dg + db);
                }
            }
            if (units > n) {
                goto damaged;
            }
            n = (uint16_t)(n - units);
            for (i = 0; i < made; ++i) {
                ring[head] = px[i];
                head = (head + 1u) & RING_MASK;
                if (i < room) {
                    *o++ = px[i];
                } else {
                    ++pending;
                }
            }
            continue;
        }
#endif
        if (room > n) {
            room = n;
        }
        n = (uint16_t)(n - room);
        if (token & TOKEN_VERBATIM) {
            if ((uint32_t)(end - p) < room) {
                goto damaged;
            }
            head = take_bytes(o, ring, head, p, room);
            p += room;
        } else {
            head = copy_bytes(o, ring, head, d->distance, room);
        }
        o += room;
    }
    d->next = p;
    d->head = head;
    d->count = n;
    d->bits = bits;
    d->token = token;
    d->pending = pending;
    d->remaining -= count;
    if (!d->remaining) {
        d->status = 1;
    }
    return count;
damaged:
    d->status = -1;
    d->remaining -= (uint32_t)(o - out);
    return (uint16_t)(o - out);
}
