/* SPDX-License-Identifier: MIT */
/* zentra_device: the record walk, the run-length and squash decoders and the frame
 * placement of Zentra image files for microcontrollers. See zentra_device.h for the
 * interface. */
#include "zentra_device.h"

#if defined(__AVR__) && !defined(ZTR_AVR_MEMORY_IN_RAM)
/* Memory sources live in program memory: read them with "lpm Z+". */
#define ZTR_MEMORY_IN_FLASH 1
#define FETCH_MEMORY(b, p) __asm__ __volatile__("lpm %0, Z+" : "=r"(b), "+z"(p))
#else
#define ZTR_MEMORY_IN_FLASH 0
#define FETCH_MEMORY(b, p) ((b) = *(p)++)
#endif
#define FETCH_RAM(b, p) ((b) = *(p)++)

/* On the AVR, builds of memory sources only decode dense records with zentra_dense_avr.S
 * (builds with callback sources too only when asked, as they link the C decoder anyway),
 * and run-length records from program memory with the loop in assembly of unpack. */
#if ZTR_MEMORY_IN_FLASH && !defined(ZTR_NO_DENSE) && !defined(ZTR_NO_MEMORY_SOURCE) &&             \
    !defined(ZTR_DENSE_IN_C) &&                                                                    \
    (defined(ZTR_NO_CALLBACK_SOURCE) || defined(ZTR_DENSE_IN_ASSEMBLY))
#define DENSE_IN_AVR_ASSEMBLY 1
#else
#define DENSE_IN_AVR_ASSEMBLY 0
#endif
/* Where memory sources are the only kind, it alone reads the dense state. */
#if DENSE_IN_AVR_ASSEMBLY && defined(ZTR_NO_CALLBACK_SOURCE)
#define DENSE_ASSEMBLY_ONLY 1
#else
#define DENSE_ASSEMBLY_ONLY 0
#endif

#if defined(ZTR_NO_MEMORY_SOURCE) && defined(ZTR_NO_CALLBACK_SOURCE)
#error "zentra_device needs at least one kind of source"
#endif

#ifndef ZTR_READ_CHUNK
#define ZTR_READ_CHUNK 16
#endif

#if defined(__GNUC__)
#define ZTR_ALWAYS_INLINE static inline __attribute__((always_inline))
#define ZTR_NOINLINE __attribute__((noinline))
#else
#define ZTR_ALWAYS_INLINE static inline
#define ZTR_NOINLINE
#endif

#ifdef ZTR_SMALL_FILES
#define MAX_OFFSET 0xFFFFu
#define MAX_PALETTE_DEPTH 14 /* 3 << 14 bytes and the headers still fit 16 bits */
#else
#define MAX_OFFSET 0xFFFFFFFFu
#define MAX_PALETTE_DEPTH 24 /* a palette of 3 << depth bytes, 48 MiB at most */
#endif

/* Where an unpacker's coded bytes are: in RAM (a callback source's chunk, or memory
 * sources off AVR), or in AVR program memory (memory sources there). */
#define FROM_RAM 1u
#define FROM_FLASH 2u

#define HEADER_SIZE 12u
#define DELTA_HEADER_SIZE 6u
#define RING_SIZE 512u /* the unpacked bytes that a squash copy reaches back */

/* ztr_decoder.state: no literal to match (right after a run's count), a literal that a
 * byte equal to it makes a run, and a run whose count byte comes next. */
#define NO_LITERAL 0u
#define LITERAL 1u
#define COUNT_PENDING 2u
#if DENSE_IN_AVR_ASSEMBLY
typedef char states_as_assembled[NO_LITERAL == 0u && LITERAL == 1u && COUNT_PENDING == 2u ? 1 : -1];
#endif

/* The header's bytes 6 to 17 land in a record's first seven fields as they are; on a
 * little-endian machine its 16-bit fields then already hold their values. */
#if defined(__BYTE_ORDER__) && defined(__ORDER_LITTLE_ENDIAN__) &&                                 \
    __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
#define FIELDS_AS_STORED 1
#else
#define FIELDS_AS_STORED 0
#endif
typedef char fields_follow_the_header[offsetof(ztr_record, dy) == 10 ? 1 : -1];
/* A squash record's palette bit lies in its depth byte where ZTR_RECORD_PALETTE lies in
 * the lay-out byte. */
typedef char palette_bits_match[ZTR_RECORD_PALETTE == 0x40u ? 1 : -1];

static uint16_t get_u16(const uint8_t* p) {
    return (uint16_t)(p[0] | ((uint16_t)p[1] << 8));
}

/* Bytes of a record's unpacked stream, or 0 when it has no packing or is longer than an
 * offset can count. Whatever the order, the stream is the pixels along the packed axis
 * (x for rows and banded columns, y for columns and banded rows) in whole bytes, times
 * the pixels across it: a row of 10 pixels at depth 1 takes 2 bytes, a band of 8 rows
 * a byte per column. From depth 8 up a byte holds one pixel or a part of one. A planar
 * record of depth 2 or 4 is that many depth-1 planes one after the other; other depths
 * have no planes. */
static ztr_offset stream_size(uint8_t layout, uint8_t depth, uint16_t width, uint16_t height) {
    const uint8_t order = layout & ZTR_LAYOUT_ORDER;
    uint16_t packed = width;
    uint16_t across = height;
    uint32_t bytes;
    uint8_t planes = 1;
    if (!depth || depth > 24 || ((depth & (uint8_t)(depth - 1u)) && depth != 24)) {
        return 0;
    }
    if (layout & ZTR_LAYOUT_PLANAR) {
#ifdef ZTR_NO_PLANAR
        return 0;
#else
        if (depth != 2 && depth != 4) {
            return 0;
        }
        planes = depth;
        depth = 1;
#endif
    }
    if (order == ZTR_ORDER_COLUMNS || order == ZTR_ORDER_BANDED_ROWS) {
        packed = height;
        across = width;
    }
    bytes = (uint32_t)packed * depth + 7u; /* bits, rounded up to whole bytes below */
#ifdef ZTR_SMALL_FILES
    if (bytes >= 0x80000ul) { /* over 65,535 bytes */
        return 0;
    }
    bytes = (uint32_t)(uint16_t)(bytes >> 3) * across;
#else
    bytes >>= 3;
    if (bytes >> 16 && across >> 14) {
        return 0; /* 1 GiB or more: no device holds such a file */
    }
    bytes *= across;
#endif
    /* Below 2^29 at depth 1, so eight planes still fit. */
    for (; planes > 1; planes >>= 1) {
        bytes <<= 1;
    }
    return bytes > MAX_OFFSET ? 0 : (ztr_offset)bytes;
}

/* How a record's unpacked stream is cut into lines: rows or columns, or bands of them,
 * each units x bytes long and starting on a byte boundary. */
typedef struct shape {
    ztr_offset total; /* lines x units x bytes, times the planes */
    ztr_offset plane; /* lines x units x bytes: one plane */
    uint8_t planes;   /* bit planes of a planar record one after the other, else 1 */
    uint16_t lines;
    uint16_t units; /* bytes of a line, or its pixels from depth 8 up */
    uint8_t shift;  /* log2 of the pixels in a byte: 3, 2, 1, or 0 from depth 8 up */
    uint8_t bytes;  /* bytes of a pixel from depth 8 up, else 1 */
} shape;

/* False for the lay-outs and depths that have no packing, and for streams longer than an
 * offset can count.
 *   order           lines                         a line holds
 *   rows            stored rows                   the row's pixels, 1 << shift a byte
 *   columns         columns                       the column's pixels, 1 << shift a byte
 *   banded rows     bands of 1 << shift rows      a byte per column of the band
 *   banded columns  bands of 1 << shift columns   a byte per stored row of the band
 * From depth 8 up a byte holds one pixel or a part of one, and banded orders are plain.
 * Every plane of a planar record has the shape of a depth-1 record. */
static int get_shape(uint8_t layout, uint8_t depth, uint16_t width, uint16_t height, shape* s) {
    uint16_t lines = height; /* pixels across the lines: rows for row orders */
    uint16_t units = width;  /* pixels along a line */
    uint16_t packed;
    uint32_t total;
    uint32_t one_byte;
    uint8_t shift = 3;
    uint8_t bytes = 1;
    uint8_t planes = 1;
    if (layout & ZTR_LAYOUT_PLANAR) {
#ifdef ZTR_NO_PLANAR
        return 0;
#else
        if (depth != 2 && depth != 4) {
            return 0;
        }
        planes = depth;
        depth = 1;
#endif
    }
    /* Depths 1, 2, 4: 8 >> shift pixels a byte; 8, 16, 24: depth / 8 bytes a pixel. */
    if (depth >= 8) {
        if (depth & 7 || depth > 24) {
            return 0;
        }
        bytes = (uint8_t)(depth >> 3);
        shift = 0;
    } else {
        for (; depth > 1; depth >>= 1, --shift) {
            if (depth & 1) {
                return 0;
            }
        }
        if (!depth) {
            return 0;
        }
    }
    if (layout & ZTR_ORDER_COLUMNS) {
        lines = width;
        units = height;
    }
    /* The axis along which a byte holds several pixels counts whole bytes. */
    packed = layout & ZTR_ORDER_BANDED_ROWS ? lines : units;
    packed = (uint16_t)((packed >> shift) + ((packed & ((1u << shift) - 1u)) != 0));
    if (layout & ZTR_ORDER_BANDED_ROWS) {
        lines = packed;
    } else {
        units = packed;
    }
    one_byte = total = (uint32_t)units * lines;
    if (one_byte >> 30) {
        return 0; /* 1 Gi pixels: no device holds such a file, and x 3 must fit */
    }
    s->bytes = bytes;
    while (--bytes) {
        total += one_byte;
    }
    if (total > MAX_OFFSET) {
        return 0;
    }
    s->plane = (ztr_offset)total;
    s->planes = planes;
    while (--planes) {
        total += s->plane;
    }
    if (total > MAX_OFFSET) {
        return 0;
    }
    s->total = (ztr_offset)total;
    s->lines = lines;
    s->units = units;
    s->shift = shift;
    return 1;
}

/* Reads length (1 to 255) bytes at offset, which the caller has checked lie in the file. */
static ztr_result fetch(const ztr_source* source, ztr_offset offset, uint8_t* buffer,
                        uint8_t length) {
#ifndef ZTR_NO_MEMORY_SOURCE
#ifndef ZTR_NO_CALLBACK_SOURCE
    if (source->data)
#endif
    {
        const uint8_t* p = source->data + offset;
        do {
            FETCH_MEMORY(*buffer, p);
            ++buffer;
        } while (--length);
        return ZTR_OK;
    }
#endif
#ifndef ZTR_NO_CALLBACK_SOURCE
    return source->read(source->context, offset, buffer, length) == length ? ZTR_OK
                                                                           : ZTR_READ_FAILED;
#endif
}

/* Record header, 12 bytes, little-endian:
 *   0..3 record length   4..5 0x02 0xA2   6 lay-out byte   7 depth
 *   8..9 width           10..11 height
 * then, for a delta record, 6 bytes: delay, dx, dy; then the palette, then the data.
 * The record is written only when the result is ZTR_OK. */
ztr_result ztr_read_record(const ztr_source* source, ztr_offset offset, ztr_record* r) {
    uint8_t h[HEADER_SIZE + DELTA_HEADER_SIZE];
    const ztr_offset room = source->size - offset;
    ztr_offset need = HEADER_SIZE;
    ztr_offset length;
    ztr_result result;
    uint8_t* field = &r->layout;
    uint8_t i;
    if (offset > source->size) {
        return ZTR_DAMAGED;
    }
    if (!room) {
        return ZTR_END;
    }
    if (room < HEADER_SIZE) {
        return ZTR_DAMAGED;
    }
    /* The delta header too, when the file has its bytes: the length check below makes
     * sure that a delta record has them. */
    result = fetch(source, offset, h, room < sizeof h ? (uint8_t)room : (uint8_t)sizeof h);
    if (result != ZTR_OK) {
        return result;
    }
    if (h[4] != 0x02 || h[5] != 0xA2) {
        return ZTR_DAMAGED;
    }
    /* Depth byte bit 7: squash coded; bit 6 with it: a palette follows, as
     * ZTR_RECORD_PALETTE says for a run-length record. Bits 7 and 5 with bit 6 clear: dense
     * coded, bit 4 a palette, bit 3 copies from the whole frame, the depth in bits 0-2, or
     * its complement (two bits set) when the literal bytes may come from a table. */
    h[4] = ZTR_CODING_RUN_LENGTH; /* the signature's place keeps the coding */
    if (h[7] & 0x80u) {
        uint8_t b = h[7];
        h[4] = ZTR_CODING_SQUASH;
        if ((b & 0x60u) == 0x20u) {
            const uint8_t depth = b & 7u;
            h[4] = b & 0x08u ? ZTR_CODING_DENSE_FRAME : ZTR_CODING_DENSE;
            if ((uint8_t)(depth & (uint8_t)(depth - 1u))) { /* 7: depth 0, never decoded */
                h[4] |= ZTR_CODING_TABLE;
                b ^= 7u;
            }
            if (b & 0x10u) {
                b |= ZTR_RECORD_PALETTE;
            }
            b &= ZTR_RECORD_PALETTE | 7u;
        }
        h[6] |= b & ZTR_RECORD_PALETTE;
        h[7] = b & 0x3Fu;
    }
    if (h[6] & ZTR_RECORD_DELTA) {
        need += DELTA_HEADER_SIZE;
    } else {
        /* Bytes 12 to 17 are pixel data: a full frame's delay, dx and dy are 0. */
        for (i = 12; i < sizeof h; ++i) {
            h[i] = 0;
        }
    }
    if (h[6] & ZTR_RECORD_PALETTE) {
        if (h[7] > MAX_PALETTE_DEPTH) {
            return ZTR_DAMAGED;
        }
        need = (ztr_offset)(need + ((ztr_offset)3 << h[7]));
    }
#ifdef ZTR_SMALL_FILES
    if (get_u16(h + 2)) {
        return ZTR_DAMAGED; /* longer than any file of this build */
    }
    length = get_u16(h);
#else
    length = get_u16(h) | ((uint32_t)get_u16(h + 2) << 16);
#endif
    if (length < need || length > room) {
        return ZTR_DAMAGED;
    }
    for (i = 6; i < sizeof h; ++i) {
        *field++ = h[i];
    }
#if !FIELDS_AS_STORED
    r->width = get_u16(h + 8);
    r->height = get_u16(h + 10);
    r->delay = get_u16(h + 12);
    r->dx = get_u16(h + 14);
    r->dy = get_u16(h + 16);
#endif
    r->offset = offset;
    r->length = length;
    r->data_offset = offset + need;
    r->unpacked_size = stream_size(h[6], h[7], get_u16(h + 8), get_u16(h + 10));
    r->coding = h[4];
    return ZTR_OK;
}

ztr_result ztr_next_record(const ztr_source* source, ztr_record* record) {
    return ztr_read_record(source, record->offset + record->length, record);
}

ztr_result ztr_find(const ztr_source* source, uint8_t depth, uint8_t layout, uint16_t width,
                    uint16_t height, ztr_record* record) {
    ztr_result result = ztr_read_record(source, 0, record);
    while (result == ZTR_OK) {
        if (!(record->layout & ZTR_RECORD_DELTA) && record->depth == depth &&
            !((record->layout ^ layout) & ZTR_LAYOUT_BITS) && (!width || record->width == width) &&
            (!height || record->height == height)) {
            return ZTR_OK;
        }
        result = ztr_next_record(source, record);
    }
    return result;
}

/* A delta record that continues the sequence of the full frame *first. */
static int continues(const ztr_record* first, const ztr_record* r) {
    return (r->layout & ZTR_RECORD_DELTA) && r->depth == first->depth &&
           !((r->layout ^ first->layout) & ZTR_LAYOUT_BITS);
}

/* How long a frame stands whose record carries delay: 0 stands for the default. */
static uint16_t frame_time(uint16_t delay) {
    return delay ? delay : (uint16_t)ZTR_DEFAULT_DELAY;
}

/* The full frame comes after the record flagged last, after a record that the next one
 * does not continue, and at the start (a frame of length 0). It stands as long as the
 * last record of its sequence says, the delta record that leads back to the first
 * picture, as the viewer and the host decoder play it. */
ztr_result ztr_next_frame(const ztr_source* source, const ztr_record* first, ztr_record* frame) {
    ztr_record r = *frame;
    ztr_result result;
    uint16_t delay = 0;
    if (r.length && !(r.layout & ZTR_RECORD_LAST_FRAME)) {
        result = ztr_next_record(source, &r);
        if (result < 0) {
            return result;
        }
        if (result == ZTR_OK && continues(first, &r)) {
            *frame = r;
            frame->delay = frame_time(r.delay);
            return ZTR_OK;
        }
    }
    r = *first;
    while (!(r.layout & ZTR_RECORD_LAST_FRAME)) {
        result = ztr_next_record(source, &r);
        if (result < 0) {
            return result;
        }
        if (result != ZTR_OK || !continues(first, &r)) {
            break;
        }
        delay = r.delay;
    }
    *frame = *first;
    frame->delay = frame_time(delay);
    return ZTR_OK;
}

/* ---- Starting a record's decoding ----
 * ztr_read decodes run-length records itself, and squash records through the reader that
 * the functions with a window name in the decoder, with its state in the window. Only
 * those functions name a squash reader, so that a firmware without them links no squash
 * code. A further coding adds its reader and names it where its records begin. */

/* Why a record of pixels has no unpacked stream here. */
static ztr_result no_unpacker(const ztr_record* record) {
#ifdef ZTR_NO_PLANAR
    const uint8_t depth = record->depth;
    if ((record->layout & ZTR_LAYOUT_PLANAR) && (depth == 2 || depth == 4)) {
        return ZTR_LEFT_OUT;
    }
#else
    (void)record;
#endif
    return ZTR_UNSUPPORTED;
}

/* The run-length decoder over the coded bytes [*coded, stop): delivers at most count
 * bytes to out and returns how many; *coded moves past the bytes used. A byte equal to
 * the previous literal is a run's second copy, followed by a count of further copies;
 * the byte after a count is always a literal. */
ZTR_ALWAYS_INLINE uint16_t unpack(ztr_decoder* d, const uint8_t** coded, const uint8_t* stop,
                                  uint8_t* out, uint16_t count, int from_flash) {
    const uint8_t* p = *coded;
    uint8_t* o = out;
    uint8_t* const o_end = out + count;
    uint8_t last = d->last;
    uint8_t state = d->state;
    uint8_t repeat = d->repeat;
    uint8_t b;
#if DENSE_IN_AVR_ASSEMBLY
    if (from_flash) {
        /* The loop below written for the AVR: in less flash and fewer cycles a byte. The
         * states' values (checked above) make the next one after a literal the old one plus
         * 1 when the byte equals the last literal, else LITERAL; bit 1 marks COUNT_PENDING. */
        __asm__ volatile(
            "1: cp %A[o], %A[o_end]\n\t"
            "cpc %B[o], %B[o_end]\n\t"
            "breq 9f\n\t"
            "tst %[repeat]\n\t"
            "brne 5f\n\t"
            "cp %A[p], %A[stop]\n\t"
            "cpc %B[p], %B[stop]\n\t"
            "breq 9f\n\t"
            "lpm %[b], Z+\n\t" /* the next coded byte: a count or a literal */
            "sbrs %[state], 1\n\t"
            "rjmp 2f\n\t"
            "mov %[repeat], %[b]\n\t"
            "clr %[state]\n\t"
            "rjmp 1b\n\t"
            "2: st X+, %[b]\n\t" /* a literal */
            "cpse %[b], %[last]\n\t"
            "clr %[state]\n\t"
            "inc %[state]\n\t"
            "mov %[last], %[b]\n\t"
            "rjmp 1b\n\t"
            "5: mov %[b], %A[o_end]\n\t" /* copies of last: to the output's end at most */
            "sub %[b], %A[o]\n\t"
            "mov __tmp_reg__, %B[o_end]\n\t"
            "sbc __tmp_reg__, %B[o]\n\t"
            "cp %[b], %[repeat]\n\t"
            "cpc __tmp_reg__, __zero_reg__\n\t"
            "brlo 7f\n\t"
            "mov %[b], %[repeat]\n\t"
            "7: sub %[repeat], %[b]\n\t"
            "8: st X+, %[last]\n\t"
            "dec %[b]\n\t"
            "brne 8b\n\t"
            "rjmp 1b\n\t"
            "9:"
            : [p] "+z"(p), [o] "+x"(o), [last] "+r"(last), [state] "+r"(state),
              [repeat] "+r"(repeat), [b] "=&r"(b)
            : [o_end] "r"(o_end), [stop] "r"(stop)
            : "memory");
    } else
#endif
    {
        while (o != o_end) {
            if (repeat) {
                uint8_t k = repeat;
                if ((uint16_t)(o_end - o) < k) {
                    k = (uint8_t)(o_end - o);
                }
                repeat = (uint8_t)(repeat - k);
                do {
                    *o++ = last;
                } while (--k);
                continue;
            }
            if (p == stop) {
                break;
            }
            if (from_flash) {
                FETCH_MEMORY(b, p);
            } else {
                FETCH_RAM(b, p);
            }
            if (state == COUNT_PENDING) {
                repeat = b;
                state = NO_LITERAL;
                continue;
            }
            *o++ = b;
            state = state == LITERAL && b == last ? COUNT_PENDING : LITERAL;
            last = b;
        }
    }
    d->last = last;
    d->state = state;
    d->repeat = repeat;
    *coded = p;
    return (uint16_t)(o - out);
}

/* The run-length decoder over coded bytes in RAM: one copy for both kinds of source. */
static uint16_t unpack_ram(ztr_decoder* d, const uint8_t** coded, const uint8_t* stop, uint8_t* out,
                           uint16_t count) {
    return unpack(d, coded, stop, out, count, 0);
}

/* A squash-coded record is begun as a run-length one and left at ZTR_NO_WINDOW, which
 * the functions with a window take up. */
ztr_result ztr_begin(ztr_decoder* decoder, const ztr_source* source, const ztr_record* record) {
    if (!record->unpacked_size && record->width && record->height) {
        return no_unpacker(record);
    }
    decoder->unpack = 0; /* run-length */
    decoder->source = source;
    decoder->position = record->data_offset;
    decoder->end = record->offset + record->length;
    decoder->remaining = record->unpacked_size;
    decoder->last = 0; /* a leading 0 is a run's second copy */
    decoder->state = LITERAL;
    decoder->repeat = 0;
    if (record->coding) {
        decoder->status = ZTR_NO_WINDOW; /* nothing to read without a window */
        return ZTR_NO_WINDOW;
    }
    decoder->status = record->unpacked_size ? ZTR_OK : ZTR_END;
    return ZTR_OK;
}

/* ---- The squash coding ---- */
/* squash_state.token: what the current token's count belongs to. */
#define TOKEN_COPY 0u
#define TOKEN_VERBATIM 1u
#define TOKEN_DELTA 2u

/* squash_state.form: the delta codes of depth 8 and 24 and of RGB565 low byte first, and
 * those of RGB565 high byte first. */
#define FORM_DELTAS 1u
#define FORM_HIGH_FIRST 2u

/* The state of a squash record's decoding. It lies in the caller's window before the ring
 * (ztr_begin_window), or beside the frame placement for a frame buffer: not in the
 * decoder, so that a decoder of run-length records carries none of it. It keeps its own
 * place in the coded bytes and leads nowhere back to the decoder, so that the decoder's
 * address never leaves the function that holds it and link-time optimisation keeps the
 * decoder in registers, whether or not it reads squash records. */
typedef struct squash_state {
    ztr_offset position; /* next coded byte */
    int8_t status;       /* ZTR_OK, or ZTR_DAMAGED or ZTR_READ_FAILED: nothing more comes */
    uint8_t token;       /* what the current token's count belongs to: TOKEN_* */
    uint8_t left;        /* the bytes of a delta code still to deliver */
    uint8_t unit;        /* bytes of a pixel unit: 1, 2 or 3 */
    uint8_t form;        /* delta codes: 0 none (depths 1 to 4), else FORM_* */
    uint8_t pixel[3];    /* the last pixels a delta code made, the last unit at the end */
    uint16_t at;         /* where the next unpacked byte goes in the ring: 0 to 511; in a
                            frame buffer, the bytes of its line before it */
    uint16_t count;      /* of the current token: bytes left */
    uint16_t distance;   /* of the last copy, in bytes */
    uint16_t line;       /* the line above in bytes; 0 when beyond the window */
} squash_state;

/* Where a record's lines lie in a frame buffer. */
typedef struct frame_place {
    uint8_t* first;  /* the record's first byte in the frame */
    uint16_t stride; /* bytes from one of the record's lines to the next */
    uint16_t span;   /* bytes of one of the record's lines */
} frame_place;

/* In a frame buffer: the state, then the lines' place. */
typedef struct frame_squash {
    squash_state state;
    frame_place place;
} frame_squash;

/* The state of a dense record's decoding (the dense coding, below), in the window like
 * the squash state or beside the frame placement. It starts as the squash state does,
 * with the place in the coded bytes and the status, which ztr_read takes from either. */
typedef struct dense_state {
    ztr_offset position; /* next coded byte */
    int8_t status;       /* ZTR_OK, or ZTR_DAMAGED or ZTR_READ_FAILED: nothing more comes */
    uint8_t bits;        /* the bit byte's bits still to read above a closing 1 */
    uint8_t flags;       /* DENSE_* */
    uint16_t left;       /* bytes of the current token still to make */
    uint16_t line;       /* bytes of a line: the distance of the line above */
    ztr_offset at;       /* where the next byte goes in the ring: 0 to 511; in a frame
                            buffer, the bytes of its line (or of the stream) before it */
    ztr_offset distance; /* of the last copy, in bytes */
} dense_state;

/* A dense record's table of literal bytes, which ends its coded bytes: the decoder reads
 * it where the codes end. */
#define DENSE_TABLE_BYTES 32u

typedef struct frame_dense {
    dense_state state;
    frame_place place; /* span 0: the record's stream lies whole in the frame, unbroken */
} frame_dense;

typedef char
    states_start_alike[offsetof(squash_state, status) == offsetof(dense_state, status) &&
                               offsetof(squash_state, position) == offsetof(dense_state, position)
                           ? 1
                           : -1];

/* A window holds the state at its first address aligned for it, then the ring. */
typedef union window_state {
    squash_state squash;
    dense_state dense;
} window_state;
typedef struct {
    char c;
    window_state s;
} squash_alignment;
#define STATE_ALIGNMENT offsetof(squash_alignment, s)
typedef char window_holds_state_and_ring
    [STATE_ALIGNMENT - 1u + sizeof(window_state) + RING_SIZE <= ZTR_WINDOW_SIZE ? 1 : -1];

#ifndef ZTR_NO_SQUASH
/* The squash decoding's start after ztr_begin, for either window. ZTR_LEFT_OUT for what
 * this build leaves out. */
static ztr_result begin_squash(ztr_decoder* d, squash_state* s, const ztr_record* r) {
    /* A planar record's stream is depth-1 planes one after the other: its lines are a
     * plane's lines, its units bytes of packed pixels. */
    uint8_t depth = r->layout & ZTR_LAYOUT_PLANAR ? 1u : r->depth;
    /* The line above lies a line back: a row or a column in whole bytes, or a band's byte
     * per pixel across it below depth 8. */
    uint16_t line = r->layout & ZTR_ORDER_COLUMNS ? r->height : r->width;
#if ZTR_READ_CHUNK < 4 && !defined(ZTR_NO_CALLBACK_SOURCE)
    if (!d->source->data) {
        return ZTR_LEFT_OUT; /* a token of 4 bytes must fit a chunk */
    }
#endif
#ifdef ZTR_SQUASH_PACKED
    const uint8_t unit = 1; /* depths 1, 2 and 4 and planes only */
    if (depth > 4) {
        return ZTR_LEFT_OUT;
    }
#else
    const uint8_t unit = depth >= 8 ? depth >> 3 : 1u;
    s->unit = unit;
    /* RGB565 comes high byte first in row order with the reversed bit, in column order
     * without it. */
    s->form = depth < 8 ? 0 : FORM_DELTAS;
    if (depth == 16 && !(r->layout & ZTR_LAYOUT_REVERSED) == !((r->layout & 3u) ^ 1u)) {
        s->form = FORM_HIGH_FIRST;
    }
    if (unit > 1 && line <= RING_SIZE) {
        line = (uint16_t)(line * unit);
    }
#endif
    if (!(r->layout & ZTR_ORDER_BANDED_ROWS)) {
        /* 8 / depth pixels a byte: halved, rounding up, once per doubling of the depth
         * (a depth of 0, which has no pixels to unpack, must not spin here). */
        for (; depth && depth < 8; depth = (uint8_t)(depth << 1)) {
            line = (uint16_t)((line >> 1) + (line & 1u));
        }
    }
    s->line = line <= RING_SIZE ? line : 0;
    s->count = 0;
    s->distance = unit;
    s->at = 0;
    s->left = 0;
    s->status = ZTR_OK;
    s->position = d->position;
    d->squash = s;
    d->status = r->unpacked_size ? ZTR_OK : ZTR_END;
    return ZTR_OK;
}

#endif

/* ---- The squash coding (format/squash_coding.h of the Zentra tools has its diagram) ----
 * A token byte: 000 verbatim run, 001 delta run, 010 copy from the line above, 011 copy
 * from the last copy's distance R, each with a 5-bit length field; 1h a copy of a 6-bit
 * length field from h x 256 + L + 1 units back, L a byte after the length. A field at its
 * top value takes one or two extension bytes (7 bits, then 8 more). Lengths count units,
 * distances are turned into bytes here. Every unpacked byte also goes into the window, a
 * ring of the last 512 bytes, zeroed at the start: copies and delta codes read it. The
 * coded bytes come from RAM in pieces: a token or delta code whose bytes the piece cuts
 * off is read again from its start next time. */
#define KIND_DELTA 0x20u
#define KIND_ABOVE 0x40u
#define KIND_FAR 0x80u
#define SQUASH_LONGEST 16383u /* units of the longest token */

/* The next coded byte into b, from program memory when from_flash is set (AVR memory
 * sources), else from RAM; when the piece has none, the token or code is read again from
 * mark next time. */
#if ZTR_MEMORY_IN_FLASH
#define FETCH_CODED(b, p)                                                                          \
    do {                                                                                           \
        if (from_flash)                                                                            \
            FETCH_MEMORY(b, p);                                                                    \
        else                                                                                       \
            FETCH_RAM(b, p);                                                                       \
    } while (0)
#else
#define FETCH_CODED(b, p) FETCH_RAM(b, p)
#endif
#define NEXT_BYTE(b)                                                                               \
    do {                                                                                           \
        if (p == stop)                                                                             \
            goto cut;                                                                              \
        FETCH_CODED(b, p);                                                                         \
    } while (0)

/* A field of width bits of value from bit shift up, as a signed number. */
#define FIELD(value, shift, width)                                                                 \
    ((int8_t)((((value) >> (shift)) & ((1u << (width)) - 1u)) ^ (1u << ((width)-1u))) -            \
     (int8_t)(1u << ((width)-1u)))

/* The ring's places are counted modulo its size, a power of two. */
#define RING_MASK (RING_SIZE - 1u)
typedef char window_is_a_power_of_two[(RING_SIZE & RING_MASK) == 0 ? 1 : -1];

/* In a frame buffer: the unpacked byte `back` bytes before o, which is col bytes into its
 * line, found by going up the record's lines (f->span bytes each, f->stride bytes apart,
 * the first at f->first); *room takes the bytes from it to its line's end. Null where it
 * lies before the stream's start, which the coding reads as zeros: *room then takes the
 * bytes up to the start. */
static const uint8_t* frame_source(const frame_place* f, const uint8_t* o, uint16_t col,
                                   uint16_t back, uint16_t* room) {
    const uint8_t* line = o - col;
    if (back <= col) {
        *room = (uint16_t)(f->span - col + back);
        return o - back;
    }
    back = (uint16_t)(back - col);
    for (;;) {
        if (line == f->first) {
            *room = back;
            return 0;
        }
        line -= f->stride;
        if (back <= f->span) {
            *room = back;
            return line + f->span - back;
        }
        back = (uint16_t)(back - f->span);
    }
}

/* The squash decoder over the coded bytes [*coded, stop) (in program memory when from is
 * FROM_FLASH): delivers at most count bytes to out and returns how many; *coded moves past
 * the tokens and codes used. Every byte also goes into the window at s->at, a ring; or, in
 * a frame buffer (in_frame), the bytes that it places there are the window, and a call
 * delivers one of the record's lines or the rest of one, at s->at bytes into it. Verbatim
 * bytes and copies go out in stretches that end where the output, the token, the piece of
 * coded bytes or the ring (where the bytes go, or where a copy takes them) or the line
 * that a copy takes them from ends, so that the loop that moves them tests nothing else.
 * A delta code makes its pixels in s->pixel, and they go out from there one by one (repeat
 * counts those still to go). */
ZTR_ALWAYS_INLINE uint16_t squash(squash_state* s, const uint8_t** coded, const uint8_t* stop,
                                  uint8_t* out, uint16_t count, uint8_t from, int in_frame) {
    const uint8_t* p = *coded;
    const uint8_t* mark = p;
    uint8_t* o = out;
    uint8_t* const o_end = out + count;
    const frame_place* const f = &((const frame_squash*)s)->place; /* in_frame only */
    uint8_t* const ring = in_frame ? f->first : (uint8_t*)((window_state*)s + 1);
    uint16_t at = s->at;
    uint16_t n = s->count;
    uint8_t token = s->token;
#ifdef ZTR_SQUASH_PACKED
    const uint8_t unit = 1; /* depths 1, 2 and 4: a unit is a byte, and no delta runs */
#else
    uint8_t* const px = s->pixel;
    uint8_t left = s->left;
    const uint8_t unit = s->unit;
#endif
    const uint8_t from_flash = from == FROM_FLASH;
    (void)from_flash;
#ifndef ZTR_NO_CALLBACK_SOURCE
    /* Damaged in an earlier chunk of this call. From memory a call reads its coded bytes in
     * one piece, and ztr_read ends the decoding when one comes back short. */
    if (s->status != ZTR_OK) {
        return 0;
    }
#endif
    while (o != o_end) {
        uint16_t run;
        uint8_t* w;
#ifndef ZTR_SQUASH_PACKED
        if (left) {
            const uint8_t b = px[3u - left];
            *o++ = b;
            if (!in_frame) {
                ring[at] = b;
                at = (at + 1u) & RING_MASK;
            }
            --left;
            continue;
        }
#endif
        if (!n) {
            /* The token byte, one or two extension bytes of a long length, the low byte
             * of a far copy's distance: all of them before anything changes. */
            uint8_t t;
            uint8_t k = 0;
            uint8_t field;
            uint16_t length;
            mark = p;
            NEXT_BYTE(t);
            field = t & KIND_FAR ? 63u : 31u;
            length = (uint16_t)((t & field) + 1u);
            if (length > field) {
                NEXT_BYTE(k);
                length = (uint16_t)(length + (k & 0x7Fu));
                if (k & 0x80u) {
                    NEXT_BYTE(k);
                    length = (uint16_t)(length + ((uint16_t)k << 7));
                }
            }
            if (t & KIND_FAR) {
                NEXT_BYTE(k);
            }
            if (length > SQUASH_LONGEST) {
                goto damaged;
            }
            n = (uint16_t)(length * unit);
            token = TOKEN_COPY;
            if (t & KIND_FAR) {
                s->distance = (uint16_t)((((t & 0x40u) << 2) + k + 1u) * unit);
            } else if (t & KIND_ABOVE) {
                if (!(t & KIND_DELTA)) {
                    s->distance = s->line; /* the line above; 0 when beyond the window */
                }
            } else {
                token = TOKEN_VERBATIM;
                if (t & KIND_DELTA) {
#ifdef ZTR_SQUASH_PACKED
                    goto damaged; /* no delta runs at depths 1 to 4 */
#else
                    /* The first code refers to the unit before the run. */
                    uint16_t q = at;
                    if (!s->form) {
                        goto damaged; /* no delta runs at depths 1 to 4 */
                    }
                    token = TOKEN_DELTA;
                    if (in_frame) {
                        uint16_t room;
                        const uint8_t* before =
                            frame_source(f, o, (uint16_t)(at + (o - out)), unit, &room);
                        for (k = 0; k < unit; ++k) {
                            px[3u - unit + k] = before ? before[k] : 0;
                        }
                    } else {
                        for (k = 3; k > 3u - unit;) {
                            q = (q - 1u) & RING_MASK;
                            px[--k] = ring[q];
                        }
                    }
#endif
                }
                continue;
            }
            if (!s->distance || s->distance > RING_SIZE) {
                goto damaged;
            }
            continue;
        }
#ifndef ZTR_SQUASH_PACKED
        if (token == TOKEN_DELTA) {
            /* One code: its pixels into px, the last unit at the end. */
            uint8_t c;
            mark = p;
            NEXT_BYTE(c);
            left = unit;
            if (c >= 0xC0u) {
                /* The pixel as stored. */
                if ((size_t)(stop - p) < unit) {
                    goto cut;
                }
                for (c = (uint8_t)(3u - unit); c < 3u; ++c) {
                    FETCH_CODED(px[c], p);
                }
            } else if (unit == 1) {
                const uint8_t z = px[2];
                switch (c >> 6) {
                case 0:
                    px[1] = (uint8_t)(z + FIELD(c, 3, 3));
                    px[2] = (uint8_t)(px[1] + FIELD(c, 0, 3));
                    left = 2;
                    break;
                case 1:
                    px[2] = (uint8_t)(z + FIELD(c, 0, 6));
                    break;
                default:
                    px[0] = (uint8_t)(z + FIELD(c, 4, 2));
                    px[1] = (uint8_t)(px[0] + FIELD(c, 2, 2));
                    px[2] = (uint8_t)(px[1] + FIELD(c, 0, 2));
                    left = 3;
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
                    /* The RGB565 value plus da x 2048 + dg x 32 + db. */
                    uint8_t* const high = s->form == FORM_HIGH_FIRST ? px + 1 : px + 2;
                    uint8_t* const low = px + 1 + (px + 2 - high);
                    const uint16_t v =
                        (uint16_t)((*high << 8 | *low) +
                                   (uint16_t)((int16_t)(da * 8) * 256 + dg * 32 + db));
                    *high = (uint8_t)(v >> 8);
                    *low = (uint8_t)v;
                } else {
                    px[0] = (uint8_t)(px[0] + dg + da);
                    px[1] = (uint8_t)(px[1] + dg);
                    px[2] = (uint8_t)(px[2] + dg + db);
                }
            }
            if (left > n) {
                goto damaged; /* a code with more pixels than its run has left */
            }
            n = (uint16_t)(n - left);
            continue;
        }
#endif
        run = (uint16_t)(o_end - o);
        if (run > n) {
            run = n;
        }
        if (!in_frame && run > RING_SIZE - at) {
            run = (uint16_t)(RING_SIZE - at);
        }
        w = ring + at;
        if (token == TOKEN_VERBATIM) {
            if ((size_t)(stop - p) < run) {
                run = (uint16_t)(stop - p);
                if (!run) {
                    break; /* the piece ends within the run */
                }
            }
            n = (uint16_t)(n - run);
            if (in_frame) {
#if ZTR_MEMORY_IN_FLASH
                if (from_flash) {
                    do {
                        FETCH_MEMORY(*o, p);
                        ++o;
                    } while (--run);
                } else
#endif
                {
                    do {
                        *o++ = *p++;
                    } while (--run);
                }
                continue;
            }
            at = (uint16_t)(at + run);
#if ZTR_MEMORY_IN_FLASH
            if (from_flash) {
                do {
                    uint8_t b;
                    FETCH_MEMORY(b, p);
                    *o++ = b;
                    *w++ = b;
                } while (--run);
            } else
#endif
            {
                do {
                    const uint8_t b = *p++;
                    *o++ = b;
                    *w++ = b;
                } while (--run);
            }
        } else if (in_frame) {
            uint16_t room;
            const uint8_t* take =
                frame_source(f, o, (uint16_t)(at + (o - out)), s->distance, &room);
            if (run > room) {
                run = room;
            }
            n = (uint16_t)(n - run);
            if (take) {
                do {
                    *o++ = *take++;
                } while (--run);
            } else {
                do {
                    *o++ = 0; /* before the stream's start */
                } while (--run);
            }
            continue;
        } else {
            const uint16_t back = (uint16_t)((at - s->distance) & RING_MASK);
            const uint8_t* take = ring + back;
            if (run > RING_SIZE - back) {
                run = (uint16_t)(RING_SIZE - back);
            }
            n = (uint16_t)(n - run);
            at = (uint16_t)(at + run);
            do {
                const uint8_t b = *take++;
                *o++ = b;
                *w++ = b;
            } while (--run);
        }
        at &= RING_MASK;
    }
    goto done;
cut:
    /* Nothing was pending when the token or code began: it is read again from mark. */
    p = mark;
#ifndef ZTR_SQUASH_PACKED
    left = 0;
#endif
    goto done;
damaged:
    s->status = ZTR_DAMAGED;
done:
    if (in_frame) {
        /* A call ends within its line or at its end, where the next line starts. */
        at = (uint16_t)(at + (o - out));
        if (at == f->span) {
            at = 0;
        }
    }
    s->at = at;
    s->count = n;
    s->token = token;
#ifndef ZTR_SQUASH_PACKED
    s->left = left;
#endif
    *coded = p;
    return (uint16_t)(o - out);
}

/* The squash decoder with a ring of its own, and in a frame buffer: one body, each built
 * for its window, so that a firmware links only the one it uses. With a single kind of
 * source each has one caller, its reader, which the compiler may then build it into. */
static uint16_t unpack_squash(squash_state* s, const uint8_t** coded, const uint8_t* stop,
                              uint8_t* out, uint16_t count, uint8_t from) {
    return squash(s, coded, stop, out, count, from, 0);
}

static uint16_t unpack_squash_in_frame(squash_state* s, const uint8_t** coded, const uint8_t* stop,
                                       uint8_t* out, uint16_t count, uint8_t from) {
    return squash(s, coded, stop, out, count, from, 1);
}

/* ---- The dense coding (format/dense_coding.h of the Zentra tools has its diagram) ----
 * Depths 1, 2 and 4 and planes. Bits come from bit bytes, the top one first; literal bytes
 * and a distance's low byte are read whole between them. After a copy (and at the start)
 * 0 starts a literal run, after a literal run 0 copies from the last distance R; 10 copies
 * from the line above, 11 from a new distance: gamma h + 1, the low byte l, gamma n - 1,
 * d = h x 256 + l + 1. Lengths are interlaced Elias-gamma numbers of at most 16 bits.
 * Copies reach 512 bytes back, zeros before the stream's start, or with DENSE_WHOLE back
 * to the stream's first byte and no further: such a record is decoded in a frame buffer
 * that holds its stream whole. A token's codes whose bytes the piece of coded bytes cuts
 * off are read again from its start next time. */
#define DENSE_WHOLE 1u         /* copies reach back to the stream's start */
#define DENSE_LITERAL 2u       /* the current token is a literal run */
#define DENSE_AFTER_LITERAL 4u /* the last token was a literal run */
/* Literal bytes may come from the table (bit 3 is the assembly decoder's). */
#define DENSE_TABLE 16u
/* A dense record's coding holds the bits of the first and the last as its flags do. */
typedef char dense_flags_from_coding[(ZTR_CODING_DENSE_FRAME & DENSE_WHOLE) &&
                                             !(ZTR_CODING_DENSE & (DENSE_WHOLE | DENSE_TABLE)) &&
                                             ZTR_CODING_TABLE == DENSE_TABLE
                                         ? 1
                                         : -1];

/* The most bytes of a token's codes: 9 bytes of bits (two bits, two gamma numbers of at
 * most 31 bits, and the bit that shows the second too long) and the low byte. */
#define DENSE_LONGEST_CODES 10

/* The next bit into bit: bits holds those still to read above a closing 1, and when only
 * that 1 is left the next coded byte is taken. */
#define NEXT_BIT(bit)                                                                              \
    do {                                                                                           \
        if (bits == 0x80u) {                                                                       \
            NEXT_BYTE(bits);                                                                       \
            bit = bits & 0x80u;                                                                    \
            bits = (uint8_t)((bits << 1) | 1u);                                                    \
        } else {                                                                                   \
            bit = bits & 0x80u;                                                                    \
            bits = (uint8_t)(bits << 1);                                                           \
        }                                                                                          \
    } while (0)

/* A gamma number into v: a 0 and a bit of value before each stop bit 1, 16 bits at most. */
#define DENSE_GAMMA(v)                                                                             \
    do {                                                                                           \
        v = 1;                                                                                     \
        for (;;) {                                                                                 \
            NEXT_BIT(bit);                                                                         \
            if (bit) {                                                                             \
                break;                                                                             \
            }                                                                                      \
            if (v & 0x8000u) {                                                                     \
                goto damaged;                                                                      \
            }                                                                                      \
            NEXT_BIT(bit);                                                                         \
            v = (uint16_t)((v << 1) | (bit ? 1u : 0u));                                            \
        }                                                                                          \
    } while (0)

/* The dense decoder over the coded bytes [*coded, stop) (in program memory when from is
 * FROM_FLASH): delivers at most count bytes to out and returns how many; *coded moves past
 * the codes used. Every byte also goes into the ring of the window; or, in a frame buffer
 * (in_frame), the bytes placed there are the window, and a call delivers one of the
 * record's lines or the rest of one, at s->at bytes into it (into the stream, when it lies
 * whole in the frame). Literal runs and copies go out in stretches that end where the
 * output, the token, the piece of coded bytes, the ring or the line that a copy takes
 * them from ends. */
ZTR_ALWAYS_INLINE uint16_t dense(dense_state* s, const uint8_t** coded, const uint8_t* stop,
                                 const uint8_t* table, uint8_t* out, uint16_t count, uint8_t from,
                                 int in_frame) {
    const uint8_t* p = *coded;
    const uint8_t* mark = p;
    uint8_t* o = out;
    uint8_t* const o_end = out + count;
    const frame_place* const f = &((const frame_dense*)s)->place; /* in_frame only */
    uint8_t* const ring = (uint8_t*)((window_state*)s + 1);       /* in the ring only */
    ztr_offset at = s->at;                                        /* in a frame buffer */
    uint16_t ring_at = (uint16_t)s->at;                           /* in the ring: 0 to 511 */
    ztr_offset distance = s->distance;
    uint16_t left = s->left;
    uint8_t bits = s->bits;
    uint8_t mark_bits = bits;
    uint8_t flags = s->flags;
    const uint8_t from_flash = from == FROM_FLASH;
    (void)from_flash;
#ifndef ZTR_NO_CALLBACK_SOURCE
    /* Damaged in an earlier chunk of this call. */
    if (s->status != ZTR_OK) {
        return 0;
    }
#endif
    while (o != o_end) {
        uint16_t run;
        if (!left) {
            /* The token's codes, all of them before anything changes. */
            ztr_offset far = 0;
            uint16_t v;
            uint8_t kind = 0; /* 0: literal run or copy from R; 1: line above; 2: far */
            uint8_t bit;
            mark = p;
            mark_bits = bits;
            NEXT_BIT(bit);
            if (bit) {
                NEXT_BIT(bit);
                kind = bit ? 2u : 1u;
            }
            if (kind == 2u) {
                /* A new distance's high part, then its low byte. Past a 16-bit offset's
                 * reach, damage. */
                uint8_t low;
                DENSE_GAMMA(v);
                if (!in_frame && v > 2u) {
                    goto damaged; /* beyond the ring */
                }
#ifdef ZTR_SMALL_FILES
                if (v > 256u) {
                    goto damaged;
                }
#endif
                NEXT_BYTE(low);
                far = (ztr_offset)((((ztr_offset)(v - 1u) << 8) | low) + 1u);
            }
            DENSE_GAMMA(v);
            if (kind == 2u) {
                ++v; /* n - 1 was coded; 65535 of it is damage */
                if (!v) {
                    goto damaged;
                }
                distance = far;
            } else if (kind) {
                distance = s->line;
            }
            if (kind || flags & DENSE_AFTER_LITERAL) {
                flags &= DENSE_WHOLE | DENSE_TABLE; /* a copy */
            } else {
                flags |= DENSE_AFTER_LITERAL | DENSE_LITERAL;
            }
            left = v;
            if (!(flags & DENSE_LITERAL)) {
                /* 512 bytes back at most, or no farther than the stream's start. */
                if (in_frame) {
                    ztr_offset reach = RING_SIZE;
                    if (flags & DENSE_WHOLE) {
                        reach = (ztr_offset)(at + (o - out));
                    }
                    if ((ztr_offset)(distance - 1u) >= reach) {
                        goto damaged;
                    }
                } else if ((uint16_t)((uint16_t)distance - 1u) >= RING_SIZE) {
                    goto damaged;
                }
            }
            continue;
        }
        if (flags & DENSE_LITERAL && flags & DENSE_TABLE) {
            /* Each literal byte has codes of its own, read again from their start when the
             * piece cuts them off: 0 xxxx (entry x), 1 0 xxxx (entry 16 + x), or 1 1 and the
             * byte itself. The run's bytes are taken in a loop of their own, and an entry's
             * four bits at once when the bit byte holds them. */
            do {
                uint8_t b;
                uint8_t bit;
                uint8_t v = 0; /* the entry */
                mark = p;
                mark_bits = bits;
                NEXT_BIT(bit);
                if (bit) {
                    NEXT_BIT(bit);
                    if (bit) {
                        NEXT_BYTE(b);
                        goto literal;
                    }
                    v = 16u;
                }
                if (bits & 0x0Fu) {
                    /* Four bits or more above the closing 1: the entry's bits at once. */
                    v = (uint8_t)(v | (bits >> 4));
                    bits = (uint8_t)(bits << 4);
                } else {
                    uint8_t k = 4;
                    v = (uint8_t)(v >> 4); /* 16 again once the four bits are in */
                    do {
                        NEXT_BIT(bit);
                        v = (uint8_t)((v << 1) | (bit ? 1u : 0u));
                    } while (--k);
                }
                {
                    const uint8_t* t = table + v;
                    FETCH_CODED(b, t);
                }
            literal:
                *o++ = b;
                if (!in_frame) {
                    ring[ring_at] = b;
                    ring_at = (uint16_t)((ring_at + 1u) & RING_MASK);
                }
            } while (--left && o != o_end);
            continue;
        }
        run = (uint16_t)(o_end - o);
        if (run > left) {
            run = left;
        }
        if (!in_frame && run > RING_SIZE - ring_at) {
            run = (uint16_t)(RING_SIZE - ring_at);
        }
        if (flags & DENSE_LITERAL) {
            if ((size_t)(stop - p) < run) {
                run = (uint16_t)(stop - p);
                if (!run) {
                    break; /* the piece ends within the run */
                }
            }
            left = (uint16_t)(left - run);
            if (in_frame) {
#if ZTR_MEMORY_IN_FLASH
                if (from_flash) {
                    do {
                        FETCH_MEMORY(*o, p);
                        ++o;
                    } while (--run);
                } else
#endif
                {
                    do {
                        *o++ = *p++;
                    } while (--run);
                }
            } else {
                uint8_t* w = ring + ring_at;
                ring_at = (uint16_t)((ring_at + run) & RING_MASK);
#if ZTR_MEMORY_IN_FLASH
                if (from_flash) {
                    do {
                        uint8_t b;
                        FETCH_MEMORY(b, p);
                        *o++ = b;
                        *w++ = b;
                    } while (--run);
                } else
#endif
                {
                    do {
                        const uint8_t b = *p++;
                        *o++ = b;
                        *w++ = b;
                    } while (--run);
                }
            }
            continue;
        }
        if (in_frame) {
            const uint8_t* take;
            if (!f->span) {
                /* The stream lies whole before o: zeros before its start. Copies from the
                 * whole stream reach no farther back than its start (checked with the
                 * token), so only the others are measured against it. */
                if (flags & DENSE_WHOLE) {
                    take = o - distance;
                } else {
                    const ztr_offset col = (ztr_offset)(at + (o - out));
                    take = distance <= col ? o - distance : 0;
                    if (!take && run > distance - col) {
                        run = (uint16_t)(distance - col);
                    }
                }
            } else {
                uint16_t room;
                take = frame_source(f, o, (uint16_t)(at + (o - out)), (uint16_t)distance, &room);
                if (run > room) {
                    run = room;
                }
            }
            left = (uint16_t)(left - run);
            if (take) {
                do {
                    *o++ = *take++;
                } while (--run);
            } else {
                do {
                    *o++ = 0; /* before the stream's start */
                } while (--run);
            }
        } else {
            const uint16_t back = (uint16_t)((ring_at - (uint16_t)distance) & RING_MASK);
            const uint8_t* take = ring + back;
            uint8_t* w = ring + ring_at;
            if (run > RING_SIZE - back) {
                run = (uint16_t)(RING_SIZE - back);
            }
            left = (uint16_t)(left - run);
            ring_at = (uint16_t)((ring_at + run) & RING_MASK);
            do {
                const uint8_t b = *take++;
                *o++ = b;
                *w++ = b;
            } while (--run);
        }
    }
    goto done;
cut:
    /* The token's codes are read again from their start. */
    p = mark;
    bits = mark_bits;
    goto done;
damaged:
    s->status = ZTR_DAMAGED;
done:
    if (in_frame) {
        at = (ztr_offset)(at + (o - out));
        if (at == f->span) {
            at = 0;
        }
    }
    s->at = in_frame ? at : ring_at;
    s->distance = distance;
    s->left = left;
    s->bits = bits;
    s->flags = flags;
    *coded = p;
    return (uint16_t)(o - out);
}

/* The dense decoder with a ring of its own, and in a frame buffer, each linked alone. */
static uint16_t unpack_dense(dense_state* s, const uint8_t** coded, const uint8_t* stop,
                             const uint8_t* table, uint8_t* out, uint16_t count, uint8_t from) {
    return dense(s, coded, stop, table, out, count, from, 0);
}

static uint16_t unpack_dense_in_frame(dense_state* s, const uint8_t** coded, const uint8_t* stop,
                                      const uint8_t* table, uint8_t* out, uint16_t count,
                                      uint8_t from) {
    return dense(s, coded, stop, table, out, count, from, 1);
}

/* The assembly dense decoder (DENSE_IN_AVR_ASSEMBLY, above) reads the states' fields at the
 * places checked here. */
#if DENSE_IN_AVR_ASSEMBLY
uint16_t ztr_avr_dense_ring(void* dense, const ztr_source* source, ztr_offset end, uint8_t* out,
                            uint16_t count);
uint16_t ztr_avr_dense_frame(void* dense, const ztr_source* source, ztr_offset end, uint8_t* out,
                             uint16_t count);
#ifdef ZTR_SMALL_FILES
#define OFFSET_BYTES 2u
#else
#define OFFSET_BYTES 4u
#endif
typedef char
    dense_fields_as_assembled[offsetof(dense_state, status) == OFFSET_BYTES &&
                                      offsetof(dense_state, bits) == OFFSET_BYTES + 1u &&
                                      offsetof(dense_state, flags) == OFFSET_BYTES + 2u &&
                                      offsetof(dense_state, left) == OFFSET_BYTES + 3u &&
                                      offsetof(dense_state, line) == OFFSET_BYTES + 5u &&
                                      offsetof(dense_state, at) == OFFSET_BYTES + 7u &&
                                      offsetof(dense_state, distance) == 2u * OFFSET_BYTES + 7u &&
                                      offsetof(frame_dense, place) == 3u * OFFSET_BYTES + 7u &&
                                      offsetof(frame_place, stride) == 2u &&
                                      sizeof(window_state) == OFFSET_BYTES + 16u &&
                                      STATE_ALIGNMENT == 1u
                                  ? 1
                                  : -1];
#endif

/* The unpackers of unpack_record, each with its state (the decoder for run-length, the
 * squash state for squash), and the one over coded bytes in RAM or (from FROM_FLASH) in
 * program memory. */
#define RUN_LENGTH 0
#define SQUASH_IN_RING 1
#define SQUASH_IN_FRAME 2
#define DENSE_IN_RING 3
#define DENSE_IN_FRAME 4
ZTR_ALWAYS_INLINE uint16_t unpack_coded(void* state, const uint8_t** coded, const uint8_t* stop,
                                        const uint8_t* table, uint8_t* out, uint16_t count,
                                        uint8_t from, int kind) {
    ztr_decoder* const d = (ztr_decoder*)state;
    if (kind == SQUASH_IN_RING) {
        return unpack_squash((squash_state*)state, coded, stop, out, count, from);
    }
    if (kind == SQUASH_IN_FRAME) {
        return unpack_squash_in_frame((squash_state*)state, coded, stop, out, count, from);
    }
    if (kind == DENSE_IN_RING) {
        return unpack_dense((dense_state*)state, coded, stop, table, out, count, from);
    }
    if (kind == DENSE_IN_FRAME) {
        return unpack_dense_in_frame((dense_state*)state, coded, stop, table, out, count, from);
    }
#if ZTR_MEMORY_IN_FLASH
    if (from == FROM_FLASH) {
        return unpack(d, coded, stop, out, count, 1);
    }
#else
    (void)from;
#endif
    return unpack_ram(d, coded, stop, out, count);
}

/* The record's next unpacked bytes, from its coded bytes [*position, end) of source:
 * straight from a memory source, in chunks from a callback source, whose unused tail the
 * next call reads again (a failed read sets *status). The decoding ends when a chunk gives
 * nothing: at the record's end, or with a squash token cut off there. Built for each kind
 * of unpacker, so that each is linked alone. */
ZTR_ALWAYS_INLINE uint16_t unpack_record(void* state, const ztr_source* source,
                                         ztr_offset* position, ztr_offset end, int8_t* status,
                                         uint8_t* out, uint16_t count, int kind) {
    (void)status;
#ifndef ZTR_NO_MEMORY_SOURCE
#ifndef ZTR_NO_CALLBACK_SOURCE
    if (source->data)
#endif
    {
        const uint8_t* const base = source->data;
        const uint8_t* p = base + *position;
        uint16_t got;
#if DENSE_IN_AVR_ASSEMBLY
        if (kind == DENSE_IN_RING) {
            return ztr_avr_dense_ring(state, source, end, out, count);
        }
        if (kind == DENSE_IN_FRAME) {
            return ztr_avr_dense_frame(state, source, end, out, count);
        }
#endif
        /* A dense record's table lies where its codes end. */
        got = unpack_coded(state, &p, base + end, base + end, out, count,
                           ZTR_MEMORY_IN_FLASH ? FROM_FLASH : FROM_RAM, kind);
        *position = (ztr_offset)(p - base);
        return got;
    }
#endif
#ifndef ZTR_NO_CALLBACK_SOURCE
    {
        uint8_t chunk[ZTR_READ_CHUNK];
        uint8_t table[DENSE_TABLE_BYTES];
        uint16_t done = 0;
        const uint8_t* p;
        if ((kind == DENSE_IN_RING || kind == DENSE_IN_FRAME) &&
            ((dense_state*)state)->flags & DENSE_TABLE &&
            fetch(source, end, table, DENSE_TABLE_BYTES) != ZTR_OK) {
            /* A dense record's table lies where its codes end: read once a call. */
            *status = ZTR_READ_FAILED;
            return 0;
        }
        do {
            const ztr_offset left = end - *position;
            const uint8_t size = left < sizeof chunk ? (uint8_t)left : (uint8_t)sizeof chunk;
            p = chunk;
            if (size && fetch(source, *position, chunk, size) != ZTR_OK) {
                *status = ZTR_READ_FAILED;
                break;
            }
            done = (uint16_t)(done + unpack_coded(state, &p, chunk + size, table, out + done,
                                                  (uint16_t)(count - done), FROM_RAM, kind));
            *position = (ztr_offset)(*position + (p - chunk));
        } while (done != count && p != chunk);
        return done;
    }
#endif
}

static uint16_t unpack_run_length(ztr_decoder* d, uint8_t* out, uint16_t count) {
    return unpack_record(d, d->source, &d->position, d->end, &d->status, out, count, RUN_LENGTH);
}

#ifndef ZTR_NO_SQUASH
/* The squash readers that the decoder names. ztr_read hands them the state and the source
 * and end of the record, never the decoder's address, so that no firmware passes it to a
 * function that the compiler cannot see. */
static uint16_t read_squash_in_ring(void* squash, const ztr_source* source, ztr_offset end,
                                    uint8_t* out, uint16_t count) {
    squash_state* const s = (squash_state*)squash;
    return unpack_record(s, source, &s->position, end, &s->status, out, count, SQUASH_IN_RING);
}

static uint16_t read_squash_in_frame(void* squash, const ztr_source* source, ztr_offset end,
                                     uint8_t* out, uint16_t count) {
    squash_state* const s = (squash_state*)squash;
    return unpack_record(s, source, &s->position, end, &s->status, out, count, SQUASH_IN_FRAME);
}

#endif

#ifndef ZTR_NO_DENSE
#if DENSE_IN_AVR_ASSEMBLY && defined(ZTR_NO_CALLBACK_SOURCE)
/* Memory sources alone: the assembly decoders are the readers. */
#define read_dense_in_ring ztr_avr_dense_ring
#define read_dense_in_frame ztr_avr_dense_frame
#else
static uint16_t read_dense_in_ring(void* dense, const ztr_source* source, ztr_offset end,
                                   uint8_t* out, uint16_t count) {
    dense_state* const s = (dense_state*)dense;
    return unpack_record(s, source, &s->position, end, &s->status, out, count, DENSE_IN_RING);
}

static uint16_t read_dense_in_frame(void* dense, const ztr_source* source, ztr_offset end,
                                    uint8_t* out, uint16_t count) {
    dense_state* const s = (dense_state*)dense;
    return unpack_record(s, source, &s->position, end, &s->status, out, count, DENSE_IN_FRAME);
}
#endif

/* Bytes of a dense record's line: a row or a column in whole bytes, or a band's byte per
 * pixel across it; the planes of a planar record are packed as at depth 1. */
static uint16_t dense_line(const ztr_record* r) {
    uint8_t depth = r->layout & ZTR_LAYOUT_PLANAR ? 1u : r->depth;
    uint16_t line = r->layout & ZTR_ORDER_COLUMNS ? r->height : r->width;
    if (!(r->layout & ZTR_ORDER_BANDED_ROWS)) {
        /* Halved, rounding up, once per doubling of the depth up to 8 (a depth of 0, which
         * has no pixels to unpack, must not spin here). */
        for (; depth && depth < 8; depth = (uint8_t)(depth << 1)) {
            line = (uint16_t)((line >> 1) + (line & 1u));
        }
    }
    return line;
}

/* The dense decoding's start after ztr_begin, for either window, with the bytes of a line.
 * ZTR_LEFT_OUT for what this build leaves out. Built into each caller: a firmware mostly
 * links one of them, and the call would cost more flash than it saves. */
ZTR_ALWAYS_INLINE ztr_result begin_dense(ztr_decoder* d, dense_state* s, const ztr_record* r,
                                         uint16_t line) {
    uint8_t coding = r->coding; /* once: the state's bytes might alias the record's */
#if ZTR_READ_CHUNK < DENSE_LONGEST_CODES && !defined(ZTR_NO_CALLBACK_SOURCE)
    if (!d->source->data) {
        return ZTR_LEFT_OUT; /* a token's codes must fit a chunk */
    }
#endif
    s->line = line;
    s->position = d->position;
#if DENSE_IN_AVR_ASSEMBLY
    /* The assembly decoder keeps its place as the address of the next coded byte. */
#ifndef ZTR_NO_CALLBACK_SOURCE
    if (d->source->data)
#endif
    {
        s->position = (ztr_offset)(uintptr_t)(d->source->data + d->position);
    }
#endif
#if DENSE_ASSEMBLY_ONLY
    /* The assembly decoder never reads the status, and starts the rest of a state whose
     * bit byte is 0. */
    s->bits = 0;
#else
    s->status = ZTR_OK;
    s->bits = 0x80u;
    s->left = 0;
    s->distance = 1;
    s->at = 0;
#endif
    if (coding & ZTR_CODING_TABLE) {
        /* The table ends the coded bytes, and the codes end where it starts: the decoders
         * read it at the end they are given. Coded bytes shorter than the table hold no
         * codes, which the first read finds damaged. */
        if ((ztr_offset)(d->end - d->position) < DENSE_TABLE_BYTES) {
            d->end = d->position;
#if !DENSE_ASSEMBLY_ONLY
            /* The C decoder reads a callback source's table once a call: it has none. */
            coding = (uint8_t)(coding & ~ZTR_CODING_TABLE);
#endif
        } else {
            d->end -= DENSE_TABLE_BYTES;
        }
    }
    /* The coding's bits for copies from the whole stream and for the table are the
     * flags' own. */
    s->flags = coding & (DENSE_WHOLE | DENSE_TABLE);
    d->squash = s;
    d->status = r->unpacked_size ? ZTR_OK : ZTR_END;
    return ZTR_OK;
}

#endif

/* The ring starts zeroed, four bytes a turn: the start is timed with the decoding, and
 * 512 bytes weigh on small records. A function of its own, where the AVR keeps the pointer
 * in a register that takes offsets (built into its caller, the loop takes twice the flash). */
static ZTR_NOINLINE void clear_ring(uint8_t* z) {
    uint8_t k = RING_SIZE / 8;
    do {
        *z++ = 0;
        *z++ = 0;
        *z++ = 0;
        *z++ = 0;
        *z++ = 0;
        *z++ = 0;
        *z++ = 0;
        *z++ = 0;
    } while (--k);
}

/* A squash or dense record's decoding with a ring in the window: the state first, aligned,
 * then the ring. A dense record coded with copies from the whole frame cannot be. */
ztr_result ztr_begin_window(ztr_decoder* decoder, const ztr_source* source,
                            const ztr_record* record, uint8_t* window) {
    ztr_result result = ztr_begin(decoder, source, record);
    window_state* const s =
        (window_state*)(window + ((0u - (uintptr_t)window) & (STATE_ALIGNMENT - 1u)));
    const uint8_t coding = record->coding; /* once: the state's bytes might alias it */
    if (result != ZTR_NO_WINDOW) {
        return result;
    }
    result = ZTR_LEFT_OUT;
    if (coding == ZTR_CODING_SQUASH) {
#ifndef ZTR_NO_SQUASH
        result = begin_squash(decoder, &s->squash, record);
        decoder->unpack = read_squash_in_ring;
#endif
    } else if (!(coding & DENSE_WHOLE)) { /* dense: squash's bit 0 is set too */
#ifndef ZTR_NO_DENSE
        result = begin_dense(decoder, &s->dense, record, dense_line(record));
        decoder->unpack = read_dense_in_ring;
#endif
    } else {
        result = ZTR_NEEDS_FRAME;
    }
    if (result != ZTR_OK) {
        decoder->status = (int8_t)result;
        return result;
    }
#if DENSE_IN_AVR_ASSEMBLY
    /* The assembly decoder reads no byte of the ring before it has made one there. */
#ifdef ZTR_NO_CALLBACK_SOURCE
    if (coding == ZTR_CODING_SQUASH)
#else
    if (coding == ZTR_CODING_SQUASH || !source->data)
#endif
#endif
    {
        clear_ring((uint8_t*)(s + 1));
    }
    return ZTR_OK;
}

uint16_t ztr_read(ztr_decoder* decoder, uint8_t* out, uint16_t count) {
    uint16_t got;
    if (decoder->status != ZTR_OK) {
        return 0;
    }
    if (count > decoder->remaining) {
        count = (uint16_t)decoder->remaining;
    }
    if (decoder->unpack) {
        got = decoder->unpack(decoder->squash, decoder->source, decoder->end, out, count);
#ifndef ZTR_NO_CALLBACK_SOURCE
        if (got < count) {
            decoder->status = ((const squash_state*)decoder->squash)->status; /* a failed read */
        }
#endif
    } else {
        got = unpack_run_length(decoder, out, count);
    }
    decoder->remaining -= got;
    if (!decoder->remaining) {
        decoder->status = ZTR_END;
    } else if (got < count && decoder->status == ZTR_OK) {
        decoder->status = ZTR_DAMAGED; /* the coded data ended early, or was damaged */
    }
    return got;
}

ztr_result ztr_stream(ztr_decoder* decoder, uint8_t* buffer, uint16_t size, ztr_sink_fn sink,
                      void* context) {
    uint16_t got;
    while ((got = ztr_read(decoder, buffer, size)) != 0) {
        if (!sink(context, buffer, got)) {
            return ZTR_STOPPED;
        }
    }
    return decoder->status == ZTR_END ? ZTR_OK : (ztr_result)decoder->status;
}

/* ---- Placing a record into a frame buffer ----
 * A record lands in the frame line by line: line k of the record is line first_line + k
 * of the frame, from byte offset on; the planes of a planar frame lie one after the
 * other, and each takes its rectangle. Along the packed axis (x for rows and banded
 * columns, y for columns and banded rows) the rectangle starts on a whole byte. Each of
 * ztr_apply, ztr_apply_window and ztr_apply_in_frame is this body built for its window
 * (how: one of the three below), so that ztr_apply links no squash code. In a frame
 * buffer the record's stream must run on from one of its lines to the next there: lines
 * of 16 bits, and a planar record's planes one after the other, which they are when it is
 * as high as the frame. */
#define WITHOUT_WINDOW 0
#define WITH_WINDOW 1
#define FRAME_AS_WINDOW 2
ZTR_ALWAYS_INLINE ztr_result apply(const ztr_source* source, const ztr_record* first,
                                   const ztr_record* record, uint8_t* frame, uint32_t frame_size,
                                   uint8_t* window, int how) {
    shape fs;
    shape rs;
    ztr_decoder d;
    union {
#ifndef ZTR_NO_SQUASH
        frame_squash squash;
#endif
        frame_dense dense;
    } in_frame;                   /* the squash or dense state with FRAME_AS_WINDOW */
    uint16_t across = record->dy; /* position across the lines, in pixels */
    uint16_t along = record->dx;  /* position along a line, in pixels */
    uint32_t frame_line;          /* bytes of a line */
    uint32_t record_line;
    uint16_t mask;
    uint16_t line;
    uint8_t plane;
    uint8_t* out;
    ztr_result result;
    if (!get_shape(first->layout, first->depth, first->width, first->height, &fs)) {
        return no_unpacker(first);
    }
    if (!get_shape(record->layout, record->depth, record->width, record->height, &rs)) {
        return no_unpacker(record);
    }
    if (record->depth != first->depth || ((record->layout ^ first->layout) & ZTR_LAYOUT_BITS) ||
        frame_size < fs.total) {
        return ZTR_MISMATCH;
    }
    if (record->layout & ZTR_ORDER_COLUMNS) {
        across = record->dx;
        along = record->dy;
    }
    mask = (uint16_t)((1u << fs.shift) - 1u);
    if (record->layout & ZTR_ORDER_BANDED_ROWS) {
        if (across & mask) {
            return ZTR_MISMATCH;
        }
        across >>= fs.shift;
    } else {
        if (along & mask) {
            return ZTR_MISMATCH;
        }
        along >>= fs.shift;
    }
    frame_line = (uint32_t)fs.units * fs.bytes;
    record_line = (uint32_t)rs.units * rs.bytes;
    if ((uint32_t)across + rs.lines > fs.lines ||
        (uint32_t)along * fs.bytes + record_line > frame_line) {
        return ZTR_MISMATCH;
    }
    frame += across * frame_line + (uint32_t)along * fs.bytes;
    if (how == WITH_WINDOW) {
        result = ztr_begin_window(&d, source, record, window);
    } else {
        result = ztr_begin(&d, source, record);
    }
    if (how == FRAME_AS_WINDOW && result == ZTR_NO_WINDOW) {
        /* The record's stream lies whole and unbroken in the frame when its lines are as
         * long as the frame's (their pixels take as many bytes: the depths are equal), and
         * for a planar record as many. Copies from the whole stream need it whole. The
         * others find their bytes in the lines placed before, with 16-bit strides (a dense
         * record's line is at most 65,535 bytes, one a unit), and a planar record's planes
         * must run on from one to the next. */
        const int stacked = rs.planes == 1 || rs.lines == fs.lines;
        const int whole = stacked && rs.units == fs.units;
        const int dense = record->coding != ZTR_CODING_SQUASH;
        frame_place* place = 0;
        if (!whole && (record->coding & ZTR_CODING_DENSE_FRAME) == ZTR_CODING_DENSE_FRAME) {
            return ZTR_NEEDS_FRAME;
        }
        if (!stacked || (!dense && frame_line > 0xFFFFu)) {
            return ZTR_NO_WINDOW;
        }
        result = ZTR_LEFT_OUT;
        if (!dense) {
#ifndef ZTR_NO_SQUASH
            result = begin_squash(&d, &in_frame.squash.state, record);
            d.unpack = read_squash_in_frame;
            place = &in_frame.squash.place;
            place->span = (uint16_t)record_line;
#endif
        } else {
#ifndef ZTR_NO_DENSE
            result = begin_dense(&d, &in_frame.dense.state, record, rs.units);
            d.unpack = read_dense_in_frame;
            place = &in_frame.dense.place;
#if !DENSE_ASSEMBLY_ONLY
            /* For the C decoder: the assembly one takes a line's bytes from the state and
             * reads a record line by line wherever it lies, which costs less flash. */
            place->span = whole ? 0 : rs.units;
#endif
            if (whole) {
                /* The stream runs on unbroken: read it a plane at a time (the whole stream
                 * but for planar records), not line by line. */
                record_line = rs.plane;
                rs.lines = 1;
            }
#endif
        }
        if (place) {
            place->first = frame;
            place->stride = (uint16_t)frame_line;
        }
    }
    if (result != ZTR_OK) {
        return result;
    }
    for (plane = 0; plane < rs.planes; ++plane) {
        out = frame + plane * fs.plane;
        for (line = 0; line < rs.lines; ++line) {
            uint32_t left = record_line;
            uint8_t* o = out;
#if DENSE_IN_AVR_ASSEMBLY
            if (how == FRAME_AS_WINDOW) {
                /* A line in one read from its start, as the assembly dense decoder in a
                 * frame buffer takes it: with 16-bit addresses it is shorter than 64 KiB. */
                if (ztr_read(&d, o, (uint16_t)left) != (uint16_t)left) {
                    return (ztr_result)d.status;
                }
                left = 0;
            }
#endif
            while (left) {
                const uint16_t piece = left > 0x8000u ? 0x8000u : (uint16_t)left;
                if (ztr_read(&d, o, piece) != piece) {
                    return (ztr_result)d.status;
                }
                o += piece;
                left -= piece;
            }
            out += frame_line;
        }
    }
    return ZTR_OK;
}

ztr_result ztr_apply(const ztr_source* source, const ztr_record* first, const ztr_record* record,
                     uint8_t* frame, uint32_t frame_size) {
    return apply(source, first, record, frame, frame_size, 0, WITHOUT_WINDOW);
}

ztr_result ztr_apply_window(const ztr_source* source, const ztr_record* first,
                            const ztr_record* record, uint8_t* frame, uint32_t frame_size,
                            uint8_t* window) {
    return apply(source, first, record, frame, frame_size, window, WITH_WINDOW);
}

ztr_result ztr_apply_in_frame(const ztr_source* source, const ztr_record* first,
                              const ztr_record* record, uint8_t* frame, uint32_t frame_size) {
    return apply(source, first, record, frame, frame_size, 0, FRAME_AS_WINDOW);
}

#ifndef ZTR_NO_PLANAR
/* The shape of a planar record, for starting at one of its planes. */
static ztr_result plane_shape(const ztr_record* record, uint8_t plane, shape* s) {
    if (!(record->layout & ZTR_LAYOUT_PLANAR) ||
        !get_shape(record->layout, record->depth, record->width, record->height, s)) {
        return ZTR_UNSUPPORTED;
    }
    return plane < s->planes ? ZTR_OK : ZTR_END;
}

/* The planes before plane are decoded and passed over: the coding runs through them. */
static ztr_result skip_planes(ztr_decoder* decoder, const shape* s, uint8_t plane) {
    uint8_t skipped[16];
    ztr_offset skip;
    for (skip = (ztr_offset)(s->plane * plane); skip;) {
        const uint16_t piece = skip < sizeof skipped ? (uint16_t)skip : (uint16_t)sizeof skipped;
        if (ztr_read(decoder, skipped, piece) != piece) {
            return (ztr_result)decoder->status;
        }
        skip = (ztr_offset)(skip - piece);
    }
    decoder->remaining = s->plane;
    decoder->status = s->plane ? ZTR_OK : ZTR_END;
    return ZTR_OK;
}

ztr_result ztr_begin_plane(ztr_decoder* decoder, const ztr_source* source, const ztr_record* record,
                           uint8_t plane) {
    shape s;
    ztr_result result = plane_shape(record, plane, &s);
    if (result == ZTR_OK) {
        result = ztr_begin(decoder, source, record);
    }
    return result == ZTR_OK ? skip_planes(decoder, &s, plane) : result;
}

ztr_result ztr_begin_plane_window(ztr_decoder* decoder, const ztr_source* source,
                                  const ztr_record* record, uint8_t plane, uint8_t* window) {
    shape s;
    ztr_result result = plane_shape(record, plane, &s);
    if (result == ZTR_OK) {
        result = ztr_begin_window(decoder, source, record, window);
    }
    return result == ZTR_OK ? skip_planes(decoder, &s, plane) : result;
}
#endif

ztr_result ztr_palette(const ztr_source* source, const ztr_record* record, uint8_t index,
                       uint8_t* red, uint8_t* green, uint8_t* blue) {
    uint8_t entry[3];
    ztr_result result;
    if (!(record->layout & ZTR_RECORD_PALETTE) || record->depth > 8 || index >> record->depth) {
        return ZTR_END;
    }
    /* The palette's 3 << depth bytes end where the pixel data starts. */
    result = fetch(source,
                   (ztr_offset)(record->data_offset - ((ztr_offset)3 << record->depth) +
                                (ztr_offset)3 * index),
                   entry, 3);
    if (result != ZTR_OK) {
        return result;
    }
    *red = entry[0];
    *green = entry[1];
    *blue = entry[2];
    return ZTR_OK;
}
