/* SPDX-License-Identifier: MIT */
/* zentra_device: reads Zentra image files (.ztr) on a microcontroller. C99, no heap, no
 * stdio, no floating point, no recursion; the caller owns every buffer.
 *
 * What it does
 *   - walks the records of a file held in memory (RAM, or flash on AVR) or read through a
 *     callback (external flash, SD card), checking every header and record length and
 *     never reading past the file's given size;
 *   - finds the full frame for a panel by depth and lay-out bits 0-4 (and optionally its
 *     size), and steps through an animation's frames with their delays, looping back to
 *     the full frame after the record flagged last;
 *   - decodes a record's run-length coded pixel data incrementally: pull N bytes at a
 *     time (ztr_read) or get a callback per chunk (ztr_stream, which the callback can
 *     stop), so that a frame never has to fit in RAM. The bytes come out in the display's
 *     own lay-out, ready to be sent to its controller; colour pixels too are copied as
 *     stored, so a 16-bit RGB565 pixel comes high byte first (as SPI controllers take it)
 *     in row order with ZTR_LAYOUT_REVERSED and in column order without it, low byte
 *     first otherwise;
 *   - places a record into a frame buffer kept in the display's lay-out (ztr_apply): a
 *     full frame fills it, a delta record overwrites its rectangle at (dx, dy);
 *   - decodes records in the squash coding too ("ztr convert --coding squash" or "auto"),
 *     which copies whole pixels from the line above and from the last 512 bytes and codes
 *     photo-like pixels by their difference to the one before, through the functions that
 *     take a window (ztr_begin_window, ztr_apply_window, ztr_apply_in_frame,
 *     ztr_begin_plane_window). Nothing needs to be switched on: the squash decoder is
 *     reached from those functions alone, so a firmware that never calls them links none
 *     of it when built with -ffunction-sections -fdata-sections -Wl,--gc-sections (as the
 *     Arduino, PlatformIO, ESP-IDF and Zephyr builds are) or with -flto;
 *   - decodes records in the dense coding of depths 1, 2 and 4 and planes ("ztr convert
 *     --coding auto"), a coding of single bits for monochrome, grey and e-paper screens,
 *     through the same functions and as freely linked; a dense record whose copies reach
 *     back to the start of the frame ("--window frame") only in a frame buffer
 *     (ztr_apply_in_frame: see "Dense-coded records" below).
 *
 * Example: a 128 x 64 SSD1306-style panel (8-row pages, top row in bit 0: lay-out 0x06,
 * depth 1) fed from a file made with "ztr export logo.ztr -o logo.h":
 *
 *     #include "logo.h"            // const uint8_t logo[] ZTR_IN_FLASH, LOGO_SIZE
 *     #include "zentra_device.h"
 *
 *     static int send_to_panel(void *panel, const uint8_t *bytes, uint16_t count) {
 *         ssd1306_data(panel, bytes, count);          // the controller's data writes
 *         return !button_pressed();                    // 0 stops the stream
 *     }
 *
 *     void show_logo(void *panel) {
 *         ztr_source file = ZTR_MEMORY_SOURCE(logo, LOGO_SIZE);
 *         ztr_record frame;
 *         ztr_decoder decoder;
 *         uint8_t chunk[32];
 *         if (ztr_find(&file, 1, 0x06, 128, 64, &frame) != ZTR_OK ||
 *             ztr_begin(&decoder, &file, &frame) != ZTR_OK)
 *             return;                                  // no bitmap for this panel
 *         ssd1306_window(panel, 0, 127, 0, 7);         // columns 0-127, pages 0-7
 *         ztr_stream(&decoder, chunk, sizeof chunk, send_to_panel, panel);
 *     }
 *
 * Playing an animation with a frame buffer in the panel's lay-out (1,024 bytes here);
 * ztr_next_frame starts at the full frame when the frame is zeroed, and goes back to it
 * after the record flagged last. ztr_apply_in_frame places run-length and squash records
 * alike, the frame buffer serving as the squash window (ztr_apply takes run-length
 * records only and links no squash code):
 *
 *     static uint8_t screen[1024];
 *     ztr_record first, frame = {0};
 *     if (ztr_find(&file, 1, 0x06, 128, 64, &first) != ZTR_OK)
 *         return;
 *     while (ztr_next_frame(&file, &first, &frame) == ZTR_OK &&
 *            ztr_apply_in_frame(&file, &first, &frame, screen, sizeof screen) == ZTR_OK) {
 *         ssd1306_window(panel, 0, 127, 0, 7);
 *         ssd1306_data(panel, screen, sizeof screen);
 *         wait_ms(frame.delay);                        // how long this frame stands
 *     }
 *
 * Without a frame buffer, stream every frame's record instead: a delta record's bytes
 * are its rectangle (frame.width x frame.height at frame.dx, frame.dy) in the same
 * lay-out, so a controller with an address window takes them directly when the
 * rectangle is aligned to its pages.
 *
 * Frame times follow the viewer: a delta record's frame stands for the record's delay;
 * the full frame stands for the delay of its sequence's last record (the one that leads
 * back to the first picture); a delay of 0, and a single picture, stand for
 * ZTR_DEFAULT_DELAY ms.
 *
 * Sources. A memory source is a pointer and a length. On AVR it reads program memory
 * (the first 64 KiB), as the arrays of "ztr export" live there; define
 * ZTR_AVR_MEMORY_IN_RAM to read RAM instead. A callback source reads through ztr_read_fn;
 * its pixel data is fetched in pieces of ZTR_READ_CHUNK bytes (default 16) on the stack.
 *
 * Build options (defined for zentra_device.c and every file that includes this header):
 *   ZTR_NO_CALLBACK_SOURCE  memory sources only
 *   ZTR_NO_MEMORY_SOURCE    callback sources only
 *   ZTR_SMALL_FILES         offsets and lengths of 16 bits: files up to 65,535 bytes, and
 *                           records whose unpacked stream is at most 65,535 bytes (larger
 *                           ones give ZTR_UNSUPPORTED); the smallest code on 8-bit cores
 *   ZTR_NO_PLANAR           no planar records (they give ZTR_LEFT_OUT), and no
 *                           ztr_begin_plane
 *   ZTR_SQUASH_PACKED       the smaller squash decoder, of depths 1, 2 and 4 and planes
 *                           only, for monochrome, grey and e-paper panels: squash records
 *                           of depths 8 to 24 give ZTR_LEFT_OUT (the writer codes depths
 *                           1 to 4 without the delta codes that the other depths take)
 *   ZTR_SQUASH              accepted and without effect: the squash coding needs no
 *                           option, as it costs flash only where a window is given
 *   ZTR_NO_SQUASH           the functions with a window leave the squash decoder out:
 *                           squash records give ZTR_LEFT_OUT (for files of dense records)
 *   ZTR_NO_DENSE            the functions with a window leave the dense decoder out:
 *                           dense records give ZTR_LEFT_OUT (for files of squash records)
 *   ZTR_DENSE_IN_C          with ZTR_NO_CALLBACK_SOURCE on the AVR: dense records are
 *                           decoded by the C decoder, not zentra_dense_avr.S, and
 *                           run-length records by the C loop (slower)
 *   ZTR_DENSE_IN_ASSEMBLY   without ZTR_NO_CALLBACK_SOURCE on the AVR: memory sources'
 *                           dense records are decoded by zentra_dense_avr.S and their
 *                           run-length records by the loop in assembly, callback
 *                           sources' by the C decoder (faster, but both decoders linked)
 * The figures of every option are in docs/performance.md of the Zentra tools.
 *
 * Planar records (ZTR_LAYOUT_PLANAR) of depth D (2 or 4) hold D bit planes one after the other,
 * plane 0 (bit 0 of every pixel's index) first, each in the lay-out of a depth-1 record of
 * the same order, reversal and Y rule, in one coded stream. ztr_read and ztr_stream
 * deliver all planes in turn, ztr_apply keeps them one after the other in the frame
 * buffer, and ztr_begin_plane streams one plane alone, as two-plane e-paper controllers
 * take them (black and white into one memory, red or yellow into the other):
 *
 *     ztr_begin_plane(&decoder, &file, &frame, 0);        // plane 0: black/white memory
 *     epd_command(panel, 0x24);
 *     ztr_stream(&decoder, chunk, sizeof chunk, send_to_panel, panel);
 *     ztr_begin_plane(&decoder, &file, &frame, 1);        // plane 1: red memory
 *     epd_command(panel, 0x26);
 *     ztr_stream(&decoder, chunk, sizeof chunk, send_to_panel, panel);
 *
 * Palettes. A record flagged ZTR_RECORD_PALETTE gives the colour of every pixel value:
 * ztr_palette reads entry i (for controllers that take a colour table, or to turn an
 * index into RGB565 with ZTR_RGB565).
 *
 * Squash-coded records. Copies reach back up to 512 unpacked bytes, so the decoding needs
 * them: ztr_begin_window takes a window of ZTR_WINDOW_SIZE bytes (those 512 and the
 * decoding's state: 532 bytes on the AVR, 536 on 32-bit cores) that the caller owns for as
 * long as the record is read, ztr_apply_window one for the call, and ztr_apply_in_frame
 * uses the frame buffer itself, where the record's earlier bytes already lie, so that it
 * needs no window beyond the frame. ztr_begin, ztr_apply and ztr_begin_plane have none and give
 * ZTR_NO_WINDOW for such a record; ztr_find and ztr_next_frame take squash records like any
 * other. Streaming a panel-sized picture:
 *
 *     static uint8_t window[ZTR_WINDOW_SIZE];
 *     if (ztr_begin_window(&decoder, &file, &frame, window) == ZTR_OK)
 *         ztr_stream(&decoder, chunk, sizeof chunk, send_to_panel, panel);
 *
 * Dense-coded records. ztr_find and ztr_next_frame take them like any other (their depth
 * is 1, 2 or 4), and the functions that take a window decode them as they decode squash
 * records, with the same window; ztr_begin, ztr_apply and ztr_begin_plane give
 * ZTR_NO_WINDOW. A record coded with copies from the whole frame (record.coding
 * ZTR_CODING_DENSE_FRAME, "ztr convert --window frame", full frames only) reaches back
 * further than any window: ztr_apply_in_frame decodes it into the frame buffer that holds
 * it whole, and the other functions give ZTR_NEEDS_FRAME. A record whose literal bytes come
 * from a table has ZTR_CODING_TABLE added to its coding. On the AVR the dense records of
 * memory sources are decoded by zentra_dense_avr.S, which a firmware links beside
 * zentra_device.c (the packages build both; the file is empty on other targets).
 *
 * Results are ztr_result values: ZTR_OK, ZTR_END (no further record, no match, stream
 * complete), ZTR_STOPPED (the stream's callback asked to stop), or a negative error (the
 * enum below says what each means; docs/firmware.md of the Zentra tools what to do about
 * it). A damaged or cut file gives ZTR_DAMAGED, never a read outside the file.
 */
#ifndef ZENTRA_DEVICE_H
#define ZENTRA_DEVICE_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The version of the Zentra tools that this library belongs to. */
#define ZTR_VERSION_MAJOR 1
#define ZTR_VERSION_MINOR 0
#define ZTR_VERSION_BUILD 4378
#define ZTR_VERSION_TEXT "1.0.4378"

/* How long a frame stands whose delay is 0, in ms, as the viewer shows it. */
#define ZTR_DEFAULT_DELAY 100u

/* File offsets and lengths: 16 bits with ZTR_SMALL_FILES, else 32. */
#ifdef ZTR_SMALL_FILES
typedef uint16_t ztr_offset;
#else
typedef uint32_t ztr_offset;
#endif

/* Lay-out byte, bits 0-4: how the display memory takes its pixels. */
#define ZTR_LAYOUT_ORDER 0x03u
#define ZTR_ORDER_ROWS 0u           /* rows, pixels of a row side by side in a byte */
#define ZTR_ORDER_COLUMNS 1u        /* columns, pixels of a column in a byte */
#define ZTR_ORDER_BANDED_ROWS 2u    /* bands of rows, a byte per column of a band */
#define ZTR_ORDER_BANDED_COLUMNS 3u /* bands of columns, a byte per row of a band */
#define ZTR_LAYOUT_REVERSED 0x04u   /* first pixel in the least significant bits */
#define ZTR_LAYOUT_PLANAR 0x08u     /* depth bit planes one after the other (below) */
#define ZTR_LAYOUT_INVERTED_Y 0x10u /* stored rows run from the bottom up */
#define ZTR_LAYOUT_BITS 0x1Fu
/* Lay-out byte, bits 5-7: what the record holds. */
#define ZTR_RECORD_DELTA 0x20u      /* a 6-byte delta header follows the record header */
#define ZTR_RECORD_PALETTE 0x40u    /* a palette of 3 << depth bytes precedes the pixels */
#define ZTR_RECORD_LAST_FRAME 0x80u /* the last record of an animation */

typedef enum ztr_result {
    ZTR_OK = 0,
    ZTR_END = 1,          /* no further record, no matching record, or stream complete */
    ZTR_STOPPED = 2,      /* ztr_stream: the sink returned 0 */
    ZTR_DAMAGED = -1,     /* bad header or length, record past the end, data cut short */
    ZTR_READ_FAILED = -2, /* the read callback delivered fewer bytes than asked */
    ZTR_UNSUPPORTED = -3, /* a depth other than 1, 2, 4, 8, 16, 24, a planar lay-out at
                             a depth other than 2 and 4, or a stream too long for
                             ZTR_SMALL_FILES */
    ZTR_MISMATCH = -4,    /* ztr_apply: record and frame buffer do not fit together */
    ZTR_NO_WINDOW = -5,   /* a squash-coded record reached through a function without a
                             window (ztr_begin, ztr_apply, ztr_begin_plane), or one that
                             ztr_apply_in_frame cannot keep in the frame */
    ZTR_LEFT_OUT = -6,    /* this build leaves out the code for the record: planar with
                             ZTR_NO_PLANAR, squash-coded at depths 8 to 24 with
                             ZTR_SQUASH_PACKED, squash-coded with ZTR_NO_SQUASH, dense-coded
                             with ZTR_NO_DENSE, squash-coded from a callback source with
                             ZTR_READ_CHUNK below 4, dense-coded from one below 10 */
    ZTR_NEEDS_FRAME = -7  /* a dense record coded with copies from the whole frame
                             (ZTR_CODING_DENSE_FRAME) reached without a frame buffer that
                             holds it whole: through ztr_begin_window, ztr_apply_window or
                             ztr_begin_plane_window, or a delta record of it that
                             ztr_apply_in_frame cannot keep unbroken in the frame */
} ztr_result;

/* Bytes of the window that decoding a squash or dense record needs (ztr_begin_window):
 * the last 512 unpacked bytes, which its copies reach back to, and the decoding's state,
 * whose size follows that of a pointer. Any address will do: the state is placed aligned in it. */
#define ZTR_WINDOW_SIZE (512u + 16u + 2u * sizeof(void*))

/* ztr_record.coding: how the record's pixel data is coded. */
#define ZTR_CODING_RUN_LENGTH 0u
#define ZTR_CODING_SQUASH 1u
#define ZTR_CODING_DENSE 2u       /* dense, copies from the last 512 bytes */
#define ZTR_CODING_DENSE_FRAME 3u /* dense, copies from the whole frame */
/* Added to a dense coding: the record's literal bytes may come from its table of 32. */
#define ZTR_CODING_TABLE 16u

/* Reads length bytes at offset into buffer; returns how many it read. The library asks
 * only for bytes inside the source's size. */
typedef uint16_t (*ztr_read_fn)(void* context, uint32_t offset, uint8_t* buffer, uint16_t length);

/* Where the file's bytes come from: data for a memory source, else read and context. */
typedef struct ztr_source {
    const uint8_t* data;
    ztr_read_fn read;
    void* context;
    ztr_offset size; /* the file's length in bytes */
} ztr_source;

#define ZTR_MEMORY_SOURCE(data, size)                                                              \
    { (data), 0, 0, (size) }
#define ZTR_CALLBACK_SOURCE(read, context, size)                                                   \
    { 0, (read), (context), (size) }

/* One record, as its headers describe it. A palette, when flagged, is the 3 << depth
 * bytes (red, green, blue per entry) that end at data_offset. The first seven fields
 * follow the order of the header's bytes 6 to 17. */
typedef struct ztr_record {
    uint8_t layout;           /* lay-out byte: lay-out in bits 0-4, ZTR_RECORD_* flags */
    uint8_t depth;            /* bits per pixel */
    uint16_t width;           /* pixels; a delta record's rectangle */
    uint16_t height;          /* stored rows; a delta record's rectangle */
    uint16_t delay;           /* ms the frame stands: the delta header's field, and after
                                 ztr_next_frame the frame's time (see "Frame times") */
    uint16_t dx;              /* a delta record's left column in the full frame */
    uint16_t dy;              /* a delta record's first stored row in the full frame */
    ztr_offset offset;        /* first byte of the record in the file */
    ztr_offset length;        /* record length: the next record starts at offset + length */
    ztr_offset data_offset;   /* first byte of the coded pixel data */
    ztr_offset unpacked_size; /* bytes of the unpacked stream; 0 when not decodable */
    uint8_t coding;           /* ZTR_CODING_*: run-length, squash, dense (two windows) */
} ztr_record;

/* The state of one record's decoding; the caller keeps it between ztr_read calls. A
 * squash-coded record's own state lies in the window (see ZTR_WINDOW_SIZE). */
typedef struct ztr_decoder {
    const ztr_source* source;
    /* A squash-coded record's unpacker and its state, which only the functions with a
     * window set, so that firmware without them never links the squash code; the
     * unpacker is 0 for a run-length record. */
    uint16_t (*unpack)(void* squash, const ztr_source* source, ztr_offset end, uint8_t* out,
                       uint16_t count);
    void* squash;
    ztr_offset position;  /* next coded byte of a run-length record */
    ztr_offset end;       /* end of the record */
    ztr_offset remaining; /* unpacked bytes still to deliver */
    uint8_t last;         /* the last literal: a byte equal to it starts a run */
    uint8_t state;        /* whether last can start a run, or a run's count comes next */
    uint8_t repeat;       /* copies of last still to deliver */
    int8_t status;        /* ZTR_OK while bytes remain, ZTR_END when done, or the error */
} ztr_decoder;

/* Reads the record at offset into *record, which holds a record only after ZTR_OK.
 * ZTR_END when offset is the file's size. */
ztr_result ztr_read_record(const ztr_source* source, ztr_offset offset, ztr_record* record);

/* Reads the record after *record into *record (a record only after ZTR_OK). */
ztr_result ztr_next_record(const ztr_source* source, ztr_record* record);

/* The first full frame whose depth and lay-out bits 0-4 match; width and height are
 * compared unless 0. ZTR_END when the file has none. */
ztr_result ztr_find(const ztr_source* source, uint8_t depth, uint8_t layout, uint16_t width,
                    uint16_t height, ztr_record* record);

/* Steps *frame to the next frame of the animation that starts at the full frame *first:
 * the next record when it is a delta record of the same depth and lay-out and *frame is
 * not flagged last, else *first again; a zeroed *frame starts at *first. frame->delay is
 * then the frame's time (see "Frame times" above); finding the full frame's time walks
 * the headers of its sequence once per loop. */
ztr_result ztr_next_frame(const ztr_source* source, const ztr_record* first, ztr_record* frame);

/* Starts decoding the record's pixel data; the record is one that ztr_read_record,
 * ztr_find or ztr_next_frame filled from this source. ZTR_NO_WINDOW for a squash-coded
 * record; ZTR_UNSUPPORTED when the record has no packing (a depth other than 1, 2, 4, 8,
 * 16, 24, a planar lay-out at a depth other than 2 and 4) or a stream over 65,535 bytes with
 * ZTR_SMALL_FILES; ZTR_LEFT_OUT for a planar record with ZTR_NO_PLANAR. */
ztr_result ztr_begin(ztr_decoder* decoder, const ztr_source* source, const ztr_record* record);

/* ztr_begin with a window of ZTR_WINDOW_SIZE bytes for a squash or dense record, which the
 * decoding uses until the stream ends; run-length records leave it untouched.
 * ZTR_NEEDS_FRAME for a dense record coded with copies from the whole frame. */
ztr_result ztr_begin_window(ztr_decoder* decoder, const ztr_source* source,
                            const ztr_record* record, uint8_t* window);

/* Delivers the next unpacked bytes into out: count of them, or fewer when the stream
 * ends or is damaged (then decoder->status tells which). Returns how many. */
uint16_t ztr_read(ztr_decoder* decoder, uint8_t* out, uint16_t count);

/* Takes a piece of the unpacked stream; returns non-zero to go on, 0 to stop the stream
 * (a button press, a time-out). */
typedef int (*ztr_sink_fn)(void* context, const uint8_t* bytes, uint16_t count);

/* Decodes the rest of the stream through buffer (size > 0 bytes), handing every filled
 * piece to sink. ZTR_OK when the whole stream was delivered; ZTR_STOPPED as soon as sink
 * returns 0: the pieces it took count as delivered, and a later ztr_read or ztr_stream on
 * the same decoder goes on after them (decoder->status is ZTR_END when none remain);
 * else the error that ended the stream. */
ztr_result ztr_stream(ztr_decoder* decoder, uint8_t* buffer, uint16_t size, ztr_sink_fn sink,
                      void* context);

/* Decodes *record into frame, a buffer of frame_size bytes holding the full frame *first
 * in its lay-out (first->unpacked_size bytes): a full frame of the same size fills it, a
 * delta record of the same depth and lay-out replaces its rectangle at (dx, dy), whole
 * bytes at a time. ZTR_MISMATCH when the record does not fit the frame or its rectangle
 * is not aligned to whole bytes; the frame is then unchanged. */
ztr_result ztr_apply(const ztr_source* source, const ztr_record* first, const ztr_record* record,
                     uint8_t* frame, uint32_t frame_size);

/* Starts decoding plane `plane` (from 0) of a planar record alone: ztr_read and ztr_stream
 * then deliver that plane's bytes, the lay-out of a depth-1 record of the record's size,
 * order, reversal and Y rule. The planes before it are decoded and passed over. ZTR_END
 * when the record has no such plane; ZTR_UNSUPPORTED for a record that is not planar or
 * that this build cannot unpack; an error met while passing over the planes before. */
ztr_result ztr_begin_plane(ztr_decoder* decoder, const ztr_source* source, const ztr_record* record,
                           uint8_t plane);

/* ztr_begin_plane with a window of ZTR_WINDOW_SIZE bytes for a squash-coded record (which
 * ztr_begin_plane alone refuses with ZTR_NO_WINDOW). */
ztr_result ztr_begin_plane_window(ztr_decoder* decoder, const ztr_source* source,
                                  const ztr_record* record, uint8_t plane, uint8_t* window);

/* Reads entry `index` of the record's palette into red, green and blue. ZTR_END when the
 * record carries no palette, its depth is above 8, or index is 2^depth or more. */
ztr_result ztr_palette(const ztr_source* source, const ztr_record* record, uint8_t index,
                       uint8_t* red, uint8_t* green, uint8_t* blue);

/* The RGB565 value of a colour: the top 5, 6 and 5 bits of red, green and blue. */
#define ZTR_RGB565(red, green, blue)                                                               \
    ((uint16_t)((((uint16_t)(red)&0xF8u) << 8) | (((uint16_t)(green)&0xFCu) << 3) |                \
                ((uint8_t)(blue) >> 3)))

/* ztr_apply with a window of ZTR_WINDOW_SIZE bytes, apart from the frame, for a
 * squash-coded record (which ztr_apply alone refuses with ZTR_NO_WINDOW); run-length
 * records leave it untouched. */
ztr_result ztr_apply_window(const ztr_source* source, const ztr_record* first,
                            const ztr_record* record, uint8_t* frame, uint32_t frame_size,
                            uint8_t* window);

/* ztr_apply for run-length, squash and dense records alike, with the frame as the window:
 * the record's lines land in the frame as they are decoded, and its copies read the lines
 * it has placed there, so that no RAM beyond the frame is needed. ZTR_NO_WINDOW only where
 * the frame cannot serve: a line of the frame or the record over 65,535 bytes, or a planar
 * delta record whose planes lie apart in the frame (lower than the frame); ZTR_NEEDS_FRAME
 * for a dense record coded with copies from the whole frame whose stream does not lie
 * unbroken in the frame (a delta record narrower or, when planar, lower than the frame). */
ztr_result ztr_apply_in_frame(const ztr_source* source, const ztr_record* first,
                              const ztr_record* record, uint8_t* frame, uint32_t frame_size);

#ifdef __cplusplus
}
#endif

#endif /* ZENTRA_DEVICE_H */
