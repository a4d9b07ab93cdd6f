/* zentra_device: the record walk, the run-length decoder and the frame placement of
 * Zentra image files for microcontrollers. See zentra_device.h for the interface. */
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

#if defined(ZTR_NO_MEMORY_SOURCE) && defined(ZTR_NO_CALLBACK_SOURCE)
#error "zentra_device needs at least one kind of source"
#endif

#ifndef ZTR_READ_CHUNK
#define ZTR_READ_CHUNK 16
#endif

#if defined(__GNUC__)
#define ZTR_ALWAYS_INLINE static inline __attribute__((always_inline))
#else
#define ZTR_ALWAYS_INLINE static inline
#endif

#define HEADER_SIZE 12u
#define DELTA_HEADER_SIZE 6u

/* Values of ztr_decoder.previous beyond a byte: no literal to match (right after a run's
 * count), and a run whose count byte has not been read yet. */
#define NO_PREVIOUS 0x100u
#define COUNT_PENDING 0x200u

static uint16_t get_u16(const uint8_t* p) {
    return (uint16_t)(p[0] | ((uint16_t)p[1] << 8));
}

/* How a record's unpacked stream is cut into lines: rows or columns, or bands of them,
 * each line_bytes long and starting on a byte boundary. */
typedef struct shape {
    uint32_t line_bytes;
    uint32_t total; /* lines x line_bytes */
    uint16_t lines;
    uint8_t shift; /* log2 of the pixels in a byte: 3, 2, 1, or 0 from depth 8 up */
    uint8_t bytes; /* bytes of a pixel from depth 8 up, else 1 */
} shape;

/* Pixels counted in whole bytes of 1 << shift pixels. */
static uint16_t packed_count(uint16_t pixels, uint8_t shift) {
    return (uint16_t)((pixels >> shift) + ((pixels & ((1u << shift) - 1u)) != 0));
}

/* False for the lay-outs and depths that have no packing, and for streams of 1 Gi pixel
 * bytes or more.
 *   order           lines                         a line holds
 *   rows            stored rows                   the row's pixels, 1 << shift a byte
 *   columns         columns                       the column's pixels, 1 << shift a byte
 *   banded rows     bands of 1 << shift rows      a byte per column of the band
 *   banded columns  bands of 1 << shift columns   a byte per stored row of the band
 * From depth 8 up a byte holds one pixel or a part of one, and banded orders are plain. */
static int get_shape(uint8_t layout, uint8_t depth, uint16_t width, uint16_t height, shape* s) {
    uint16_t across = height; /* pixels across the lines: rows for row orders */
    uint16_t along = width;   /* pixels along a line */
    uint16_t units;
    s->bytes = 1;
    s->shift = 0;
    switch (depth) {
    case 1:
        s->shift = 3;
        break;
    case 2:
        s->shift = 2;
        break;
    case 4:
        s->shift = 1;
        break;
    case 8:
        break;
    case 16:
        s->bytes = 2;
        break;
    case 24:
        s->bytes = 3;
        break;
    default:
        return 0;
    }
    if (layout & ZTR_LAYOUT_PLANAR) {
        return 0;
    }
    if (layout & ZTR_ORDER_COLUMNS) {
        across = width;
        along = height;
    }
    /* The axis along which a byte holds several pixels counts whole bytes. */
    units = packed_count(layout & ZTR_ORDER_BANDED_ROWS ? across : along, s->shift);
    if (layout & ZTR_ORDER_BANDED_ROWS) {
        s->lines = units;
        units = along;
    } else {
        s->lines = across;
    }
    s->line_bytes = (uint32_t)units * s->bytes;
    s->total = (uint32_t)units * s->lines;
    if (s->total >> 30) {
        return 0; /* 1 GiB of pixels: no device holds such a file, and x 3 must fit */
    }
    s->total *= s->bytes;
    return 1;
}

/* Reads length (1 to 255) bytes at offset, which the caller has checked lie in the file. */
static ztr_result fetch(const ztr_source* source, uint32_t offset, uint8_t* buffer,
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
 * The record is filled in place; it holds a record only after ZTR_OK. */
ztr_result ztr_read_record(const ztr_source* source, uint32_t offset, ztr_record* r) {
    uint8_t h[HEADER_SIZE + DELTA_HEADER_SIZE];
    shape s;
    uint32_t room = source->size - offset;
    uint32_t need = HEADER_SIZE;
    ztr_result result;
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
    r->offset = offset;
    r->length = get_u16(h) | ((uint32_t)get_u16(h + 2) << 16);
    r->layout = h[6];
    r->depth = h[7];
    r->width = get_u16(h + 8);
    r->height = get_u16(h + 10);
    r->delay = r->dx = r->dy = 0;
    if (r->layout & ZTR_RECORD_DELTA) {
        /* Bytes the file lacks were not fetched; the length check then refuses the
         * record, so whatever they hold is never used. */
        need += DELTA_HEADER_SIZE;
        r->delay = get_u16(h + 12);
        r->dx = get_u16(h + 14);
        r->dy = get_u16(h + 16);
    }
    if (r->layout & ZTR_RECORD_PALETTE) {
        if (r->depth > 24) {
            return ZTR_DAMAGED; /* a palette of 3 << depth bytes, 48 MiB at most */
        }
        need += (uint32_t)3 << r->depth;
    }
    if (r->length < need || r->length > room) {
        return ZTR_DAMAGED;
    }
    r->data_offset = offset + need;
    r->unpacked_size = get_shape(r->layout, r->depth, r->width, r->height, &s) ? s.total : 0;
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

/* The full frame comes after the record flagged last, after a record that the next one
 * does not continue, and at the start (a frame of length 0). It stays shown as long as
 * the delta record after it says: a file has one delay for all its frames. */
ztr_result ztr_next_frame(const ztr_source* source, const ztr_record* first, ztr_record* frame) {
    ztr_record r = *frame;
    ztr_result result;
    if (r.length && !(r.layout & ZTR_RECORD_LAST_FRAME)) {
        result = ztr_next_record(source, &r);
        if (result < 0) {
            return result;
        }
        if (result == ZTR_OK && continues(first, &r)) {
            *frame = r;
            return ZTR_OK;
        }
    }
    r = *first;
    result = ztr_next_record(source, &r);
    if (result < 0) {
        return result;
    }
    *frame = *first;
    frame->delay = result == ZTR_OK && continues(first, &r) ? r.delay : 0;
    return ZTR_OK;
}

ztr_result ztr_begin(ztr_decoder* decoder, const ztr_source* source, const ztr_record* record) {
    /* Only a lay-out without a packing leaves a record of pixels without bytes. */
    if (!record->unpacked_size && record->width && record->height) {
        return ZTR_UNSUPPORTED;
    }
    decoder->source = source;
    decoder->position = record->data_offset;
    decoder->end = record->offset + record->length;
    decoder->remaining = record->unpacked_size;
    decoder->previous = 0; /* a leading 0 is a run's first copy */
    decoder->repeat = 0;
    decoder->status = record->unpacked_size ? ZTR_OK : ZTR_END;
    return ZTR_OK;
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
    uint16_t previous = d->previous;
    uint8_t run = d->run_byte;
    uint8_t repeat = d->repeat;
    uint8_t b;
    while (o != o_end) {
        if (previous == COUNT_PENDING) {
            if (p == stop) {
                break;
            }
            if (from_flash) {
                FETCH_MEMORY(repeat, p);
            } else {
                FETCH_RAM(repeat, p);
            }
            previous = NO_PREVIOUS;
        }
        if (repeat) {
            uint8_t k = repeat;
            if ((uint16_t)(o_end - o) < k) {
                k = (uint8_t)(o_end - o);
            }
            repeat = (uint8_t)(repeat - k);
            do {
                *o++ = run;
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
        *o++ = b;
        if (b == previous) {
            run = b;
            previous = COUNT_PENDING;
        } else {
            previous = b;
        }
    }
    d->previous = previous;
    d->run_byte = run;
    d->repeat = repeat;
    *coded = p;
    return (uint16_t)(o - out);
}

#if !defined(ZTR_NO_CALLBACK_SOURCE) || !ZTR_MEMORY_IN_FLASH
static uint16_t unpack_ram(ztr_decoder* d, const uint8_t** coded, const uint8_t* stop, uint8_t* out,
                           uint16_t count) {
    return unpack(d, coded, stop, out, count, 0);
}
#endif

#ifndef ZTR_NO_MEMORY_SOURCE
static uint16_t unpack_memory(ztr_decoder* d, uint8_t* out, uint16_t count) {
    const uint8_t* const base = d->source->data;
    const uint8_t* p = base + d->position;
#if ZTR_MEMORY_IN_FLASH
    const uint16_t got = unpack(d, &p, base + d->end, out, count, 1);
#else
    const uint16_t got = unpack_ram(d, &p, base + d->end, out, count);
#endif
    d->position = (uint32_t)(p - base);
    return got;
}
#endif

#ifndef ZTR_NO_CALLBACK_SOURCE
/* Coded bytes come through the callback a chunk at a time; a chunk's unused tail is read
 * again by the next call. */
static uint16_t unpack_callback(ztr_decoder* d, uint8_t* out, uint16_t count) {
    uint8_t chunk[ZTR_READ_CHUNK];
    uint16_t done = 0;
    uint8_t size;
    do {
        const uint32_t left = d->end - d->position;
        const uint8_t* p = chunk;
        size = left < sizeof chunk ? (uint8_t)left : (uint8_t)sizeof chunk;
        if (size && fetch(d->source, d->position, chunk, size) != ZTR_OK) {
            d->status = ZTR_READ_FAILED;
            break;
        }
        done = (uint16_t)(done +
                          unpack_ram(d, &p, chunk + size, out + done, (uint16_t)(count - done)));
        d->position += (uint32_t)(p - chunk);
    } while (done != count && size);
    return done;
}
#endif

uint16_t ztr_read(ztr_decoder* decoder, uint8_t* out, uint16_t count) {
    uint16_t got;
    if (decoder->status != ZTR_OK) {
        return 0;
    }
    if (count > decoder->remaining) {
        count = (uint16_t)decoder->remaining;
    }
#if defined(ZTR_NO_CALLBACK_SOURCE)
    got = unpack_memory(decoder, out, count);
#elif defined(ZTR_NO_MEMORY_SOURCE)
    got = unpack_callback(decoder, out, count);
#else
    got = decoder->source->data ? unpack_memory(decoder, out, count)
                                : unpack_callback(decoder, out, count);
#endif
    decoder->remaining -= got;
    if (!decoder->remaining) {
        decoder->status = ZTR_END;
    } else if (got < count && decoder->status == ZTR_OK) {
        decoder->status = ZTR_DAMAGED; /* the coded data ended early */
    }
    return got;
}

ztr_result ztr_stream(ztr_decoder* decoder, uint8_t* buffer, uint16_t size, ztr_sink_fn sink,
                      void* context) {
    uint16_t got;
    while ((got = ztr_read(decoder, buffer, size)) != 0) {
        sink(context, buffer, got);
    }
    return decoder->status == ZTR_END ? ZTR_OK : (ztr_result)decoder->status;
}

/* A record lands in the frame line by line: line k of the record is line first_line + k
 * of the frame, from byte offset on. Along the packed axis (x for rows and banded
 * columns, y for columns and banded rows) the rectangle starts on a whole byte. */
ztr_result ztr_apply(const ztr_source* source, const ztr_record* first, const ztr_record* record,
                     uint8_t* frame, uint32_t frame_size) {
    shape fs;
    shape rs;
    ztr_decoder d;
    uint16_t across = record->dy; /* position across the lines, in pixels */
    uint16_t along = record->dx;  /* position along a line, in pixels */
    uint16_t mask;
    uint16_t line;
    uint8_t* out;
    ztr_result result;
    if (!get_shape(first->layout, first->depth, first->width, first->height, &fs) ||
        !get_shape(record->layout, record->depth, record->width, record->height, &rs)) {
        return ZTR_UNSUPPORTED;
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
    if ((uint32_t)across + rs.lines > fs.lines ||
        (uint32_t)along * fs.bytes + rs.line_bytes > fs.line_bytes) {
        return ZTR_MISMATCH;
    }
    result = ztr_begin(&d, source, record);
    if (result != ZTR_OK) {
        return result;
    }
    out = frame + across * fs.line_bytes + (uint32_t)along * fs.bytes;
    for (line = 0; line < rs.lines; ++line) {
        uint32_t left = rs.line_bytes;
        uint8_t* o = out;
        while (left) {
            const uint16_t piece = left > 0x8000u ? 0x8000u : (uint16_t)left;
            if (ztr_read(&d, o, piece) != piece) {
                return (ztr_result)d.status;
            }
            o += piece;
            left -= piece;
        }
        out += fs.line_bytes;
    }
    return ZTR_OK;
}
