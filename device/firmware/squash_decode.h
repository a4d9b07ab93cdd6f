/* The streaming decoder of squash-coded pixel data for microcontrollers: C99, no heap, a
 * state of at most 64 bytes and a window of 512 bytes that the caller owns. A prototype
 * for the device library, which will take it in beside the run-length decoder; the byte
 * stream is described in format/squash_coding.h.
 *
 *     static uint8_t window[ZTR_SQUASH_WINDOW];
 *     ztr_squash d;
 *     uint8_t chunk[32];
 *     uint16_t n;
 *     ztr_squash_begin(&d, coded, coded + coded_size, 240u * 240u * 2u, 480, 16, 0, window);
 *     while ((n = ztr_squash_read(&d, chunk, sizeof chunk)) != 0)
 *         send_to_panel(chunk, n);
 *
 * The coded bytes come from memory: on AVR from program memory (as "ztr export" places a
 * file there) unless ZTR_AVR_MEMORY_IN_RAM is defined. A firmware for panels of 1, 2 and 4
 * bits only saves flash with -DZTR_SQUASH_PACKED_ONLY: records of depths 8 to 24 then end
 * damaged at once. */
#ifndef ZTR_SQUASH_DECODE_H
#define ZTR_SQUASH_DECODE_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define ZTR_SQUASH_WINDOW 512u
#define ZTR_SQUASH_LONGEST 16383u /* units of the longest literal run or copy */

/* The state of one record's decoding: 30 bytes on AVR, 36 on 32-bit ARM. */
typedef struct ztr_squash {
    const uint8_t* next; /* next coded byte */
    const uint8_t* end;  /* end of the coded bytes */
    uint8_t* window;     /* the last 512 unpacked bytes, a ring */
    uint32_t remaining;  /* unpacked bytes still to deliver */
    uint32_t budget;     /* unpacked bytes that tokens not yet read may still make */
    uint16_t count;      /* of the current token: bytes (copy, verbatim) or units (deltas) */
    uint16_t distance;   /* the last copy's distance R, in bytes */
    uint16_t line;       /* the line above in bytes; 0 when beyond the window */
    uint16_t head;       /* ring index of the next unpacked byte */
    uint16_t made;       /* unpacked bytes of the tokens read, up to 512: how far copies reach */
    uint8_t token;       /* what count belongs to: a copy, verbatim bytes or delta codes */
    uint8_t unit;        /* bytes of a unit: 1, 2 or 3 */
    uint8_t depth;       /* 1, 2, 4, 8, 16 or 24 */
    uint8_t high_first;  /* depth 16: the RGB565 value's high byte comes first */
    uint8_t pending;     /* bytes of a delta code's pixels in the ring, not yet delivered */
    int8_t status;       /* 0 while bytes remain, 1 when done, -1 when damaged */
} ztr_squash;

/* Starts decoding the coded bytes from coded up to end of a record of depth 1, 2, 4, 8, 16
 * or 24 whose unpacked stream has `unpacked` bytes in all (below 2^30) and line_bytes
 * bytes a line (row, column or band), as the device library's record shape gives them;
 * high_first tells that a 16-bit pixel's high byte comes first (row order with the
 * reversed bit, column order without it). */
void ztr_squash_begin(ztr_squash* d, const uint8_t* coded, const uint8_t* end, uint32_t unpacked,
                      uint32_t line_bytes, uint8_t depth, uint8_t high_first, uint8_t* window);

/* Delivers the next unpacked bytes into out: count of them, or fewer when the stream ends
 * or is damaged (then d->status tells which). Returns how many. */
uint16_t ztr_squash_read(ztr_squash* d, uint8_t* out, uint16_t count);

#ifdef __cplusplus
}
#endif

#endif /* ZTR_SQUASH_DECODE_H */
