/* The squash decoder for microcontrollers. The state lives in locals while ztr_squash_read
 * runs (registers on AVR), token bytes come from memory, and every unpacked byte also
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

/* A firmware for panels of 1, 2 and 4 bits only: a unit is always a byte, and there are
 * no delta runs and no bytes waiting in the ring. */
#ifdef ZTR_SQUASH_PACKED_ONLY
#define UNIT 1u
#else
#define UNIT unit
#endif

/* ztr_squash.token: what the current count belongs to. */
#define TOKEN_COPY 0u
#define TOKEN_VERBATIM 1u
#define TOKEN_DELTA 2u

/* Token kinds in the top bits of a token byte (format/squash_coding.h). */
#define KIND_DELTA 0x20u
#define KIND_ABOVE 0x40u
#define KIND_REPEAT 0x60u
#define KIND_FAR 0x80u

/* The next coded byte into b; the stream is damaged when there is none. */
#define NEXT_BYTE(b)                                                                               \
    do {                                                                                           \
        if (p == end)                                                                              \
            goto damaged;                                                                          \
        FETCH(b, p);                                                                               \
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

void ztr_squash_begin(ztr_squash* d, const uint8_t* coded, const uint8_t* end, uint32_t unpacked,
                      uint32_t line_bytes, uint8_t depth, uint8_t high_first, uint8_t* window) {
    d->line = line_bytes <= ZTR_SQUASH_WINDOW ? (uint16_t)line_bytes : 0;
    d->remaining = unpacked;
    d->budget = unpacked;
    d->next = coded;
    d->end = end;
    d->window = window;
    d->count = 0;
    d->head = 0;
    d->made = 0;
    d->token = TOKEN_COPY;
    d->status = unpacked ? 0 : 1;
#ifdef ZTR_SQUASH_PACKED_ONLY
    (void)high_first;
    d->distance = 1;
    if (depth > 4) {
        d->status = -1; /* not built for depths 8 to 24 */
    }
#else
    d->unit = depth == 24 ? 3 : (depth == 16 ? 2 : 1);
    d->depth = depth;
    d->high_first = high_first;
    d->distance = d->unit;
    d->pending = 0;
    /* The first delta code refers to a zero unit before the stream. */
    window[RING_MASK - 2u] = window[RING_MASK - 1u] = window[RING_MASK] = 0;
#endif
}

uint16_t ztr_squash_read(ztr_squash* d, uint8_t* out, uint16_t count) {
    uint8_t* o = out;
    uint8_t* o_end;
    uint8_t* const ring = d->window;
    const uint8_t* p = d->next;
    const uint8_t* const end = d->end;
    uint16_t head = d->head;
    uint16_t n = d->count;
    uint8_t token = d->token;
#ifndef ZTR_SQUASH_PACKED_ONLY
    uint8_t pending = d->pending;
    const uint8_t unit = d->unit;
#endif
    if (d->status) {
        return 0;
    }
    if (count > d->remaining) {
        count = (uint16_t)d->remaining;
    }
    o_end = out + count;
    while (o != o_end) {
        uint16_t room = (uint16_t)(o_end - o);
#ifndef ZTR_SQUASH_PACKED_ONLY
        if (pending) {
            *o++ = ring[(head - pending) & RING_MASK];
            --pending;
            continue;
        }
#endif
        if (!n) {
            /* The next token: its byte, the extension bytes of a long length, the low
             * byte of an explicit distance. */
            uint8_t t;
            uint8_t k;
            uint8_t field;
            uint16_t bytes;
            uint16_t made;
            NEXT_BYTE(t);
            field = (t & KIND_FAR) ? 63u : 31u;
            n = (uint16_t)((t & field) + 1u);
            if (n > field) {
                NEXT_BYTE(k); /* the rest in 7 bits, or in 15 over two bytes */
                n = (uint16_t)(n + (k & 0x7Fu));
                if (k & 0x80u) {
                    NEXT_BYTE(k);
                    n = (uint16_t)(n + ((uint16_t)k << 7));
                }
            }
            if (n > ZTR_SQUASH_LONGEST) {
                goto damaged;
            }
            bytes = (uint16_t)(n * UNIT); /* below 2^16: n is at most ZTR_SQUASH_LONGEST */
            if (bytes > d->budget) {
                goto damaged;
            }
            d->budget -= bytes;
            made = d->made; /* how far copies reach: what the tokens before made, up to 512 */
            d->made =
                bytes >= ZTR_SQUASH_WINDOW - made ? ZTR_SQUASH_WINDOW : (uint16_t)(made + bytes);
            if (!(t & (KIND_FAR | KIND_ABOVE))) {
                token = TOKEN_VERBATIM;
                if (t & KIND_DELTA) {
#ifndef ZTR_SQUASH_PACKED_ONLY
                    if (unit == 1 && d->depth < 8)
#endif
                    {
                        goto damaged; /* no delta runs at depths 1 to 4 */
                    }
#ifndef ZTR_SQUASH_PACKED_ONLY
                    token = TOKEN_DELTA;
                    bytes = n; /* delta runs count units */
#endif
                }
            } else {
                token = TOKEN_COPY;
                if (t & KIND_FAR) {
                    NEXT_BYTE(k);
                    d->distance = (uint16_t)((k + 1u + ((t & 0x40u) ? 256u : 0u)) * UNIT);
                } else if (!(t & KIND_DELTA)) {
                    d->distance = d->line; /* the line above; 0 when beyond the window */
                }
                if (!d->distance || d->distance > made) {
                    goto damaged; /* before the stream's start, or beyond the window */
                }
            }
            n = bytes;
            continue;
        }
#ifndef ZTR_SQUASH_PACKED_ONLY
        if (token & TOKEN_DELTA) {
            /* Delta codes, the pixel before in registers (x, y, z: its bytes; z alone at
             * depth 8). Each code's pixels go to the ring, and to out while it has room;
             * the rest waits in the ring as pending bytes. */
            uint8_t x = ring[(head - unit) & RING_MASK];
            uint8_t y = ring[(head - unit + 1u) & RING_MASK];
            uint8_t z = ring[(head - 1u) & RING_MASK];
            do {
                uint8_t px[3];
                uint8_t made = unit;
                uint8_t units = 1;
                uint8_t c;
                uint8_t i;
                NEXT_BYTE(c);
                if (unit == 1) {
                    int8_t step[3];
                    step[0] = FIELD(c, 0, 6);
                    switch (c >> 6) {
                    case 0:
                        step[0] = FIELD(c, 3, 3);
                        step[1] = FIELD(c, 0, 3);
                        units = 2;
                        break;
                    case 2:
                        step[0] = FIELD(c, 4, 2);
                        step[1] = FIELD(c, 2, 2);
                        step[2] = FIELD(c, 0, 2);
                        units = 3;
                        break;
                    case 3:
                        NEXT_BYTE(x);
                        step[0] = (int8_t)(uint8_t)(x - z);
                    }
                    for (i = 0; i < units; ++i) {
                        z = (uint8_t)(z + step[i]);
                        px[i] = z;
                    }
                    made = units;
                } else {
                    if ((c & 0xC0u) == 0xC0u) {
                        NEXT_BYTE(x);
                        NEXT_BYTE(y);
                        if (unit == 3) {
                            NEXT_BYTE(z);
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
                            const uint8_t h = d->high_first;
                            uint16_t v = h ? (uint16_t)((x << 8) | y) : (uint16_t)((y << 8) | x);
                            v = (uint16_t)(v + (uint16_t)((int16_t)(da * 8) * 256 + dg * 32 + db));
                            x = (uint8_t)(h ? v >> 8 : v);
                            y = (uint8_t)(h ? v : v >> 8);
                        } else {
                            x = (uint8_t)(x + dg + da);
                            y = (uint8_t)(y + dg);
                            z = (uint8_t)(z + dg + db);
                        }
                    }
                    px[0] = x;
                    px[1] = y;
                    px[2] = z;
                }
                if (units > n) {
                    goto damaged;
                }
                n = (uint16_t)(n - units);
                for (i = 0; i < made; ++i) {
                    ring[head] = px[i];
                    head = (head + 1u) & RING_MASK;
                    if (o != o_end) {
                        *o++ = px[i];
                    } else {
                        ++pending;
                    }
                }
            } while (n && o != o_end);
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
    d->token = token;
#ifndef ZTR_SQUASH_PACKED_ONLY
    d->pending = pending;
#endif
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
