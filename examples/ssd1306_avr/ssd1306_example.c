/* Example firmware for an ATmega328P at 16 MHz driving a 128 x 64 SSD1306 OLED panel over
 * I2C (the TWI unit, 400 kHz, address 0x3C): shows a picture streamed straight from
 * program memory to the controller, then plays an animation from a frame buffer in the
 * panel's own lay-out (8-row pages, top row in bit 0: lay-out 0x06, depth 1). Files
 * written with --coding rle, squash or auto play alike: the frame buffer is the window
 * that squash-coded records need, for the streamed picture too (before the animation
 * uses it), so that squash takes no RAM beyond it.
 *
 * The pictures are Zentra files turned into headers by ztr:
 *   ztr convert --type ssd1306 logo.bmp                    -> logo.ztr
 *   ztr convert --type ssd1306 --animation --delay 100 a_0.pgm a_1.pgm ...  -> a_0.ztr
 *   ztr export logo.ztr -o logo.h
 *   ztr export a_0.ztr --name ball -o ball.h
 * scripts/device-check builds it and plays it on simavr's SSD1306 (device/tests/
 * virtual_ssd1306.c) with EXAMPLE_FRAMES set and EXAMPLE_WAIT 0: that many frames as fast
 * as the AVR goes, then it sleeps.
 *
 * Built with EXAMPLE_PROBE defined it finds a panel's lay-out instead: it steps through the
 * records of a probe file on a timer, each shown for EXAMPLE_PROBE_MS (3 s) with its bytes
 * sent as they are, as if they were in this panel's lay-out, and starts again after the
 * last (EXAMPLE_FRAMES records in all, 0 for ever):
 *   ztr probe 128x64 -o probe.ztr       (prints the type code of every record)
 *   ztr export probe.ztr -o probe.h
 * The record that shows the arrow pointing up, the triangle in the top-left corner and
 * its number readable is in the panel's lay-out; its number's line in ztr probe's table
 * gives the type code. */
#include "zentra_device.h"

#ifdef EXAMPLE_PROBE
#include "probe.h"
#else
#include "ball.h"
#include "logo.h"
#endif

#include <avr/interrupt.h>
#include <avr/io.h>
#include <avr/sleep.h>
#include <util/delay.h>

#ifndef EXAMPLE_FRAMES
#define EXAMPLE_FRAMES 0 /* frames of the animation to play; 0 plays it for ever */
#endif
#ifndef EXAMPLE_WAIT
#define EXAMPLE_WAIT 1 /* each frame stands for its time; 0 goes straight on */
#endif
#ifndef EXAMPLE_PROBE_MS
#define EXAMPLE_PROBE_MS 3000 /* how long each record of a probe file stands */
#endif

#define PANEL_ADDRESS 0x3C
#define PANEL_WIDTH 128
#define PANEL_HEIGHT 64
#define PANEL_LAYOUT 0x06 /* banded rows (pages), bit 0 the top row */

/* The TWI unit as a bus master, waiting for each step. */
static void twi_wait(void) {
    while (!(TWCR & _BV(TWINT))) {
    }
}

static void twi_byte(uint8_t byte) {
    TWDR = byte;
    TWCR = _BV(TWINT) | _BV(TWEN);
    twi_wait();
}

/* One transfer to the panel: its address, the control byte (0x00 commands, 0x40 data),
 * then the bytes. */
static void bus_write(uint8_t control, const uint8_t* bytes, uint16_t count) {
    TWCR = _BV(TWINT) | _BV(TWSTA) | _BV(TWEN);
    twi_wait();
    twi_byte(PANEL_ADDRESS << 1);
    twi_byte(control);
    while (count--) {
        twi_byte(*bytes++);
    }
    TWCR = _BV(TWINT) | _BV(TWSTO) | _BV(TWEN);
}

static void panel_commands(const uint8_t* commands, uint16_t count) {
    bus_write(0x00, commands, count);
}

/* The stream's sink: every piece goes on; a firmware returns 0 to stop a long stream.
 * Data goes in transfers of at most one page row (128 bytes), as I2C drivers buffer
 * them; simavr's SSD1306 also counts a transfer's bytes in 8 bits. */
static int panel_data(void* panel, const uint8_t* bytes, uint16_t count) {
    (void)panel;
    while (count) {
        const uint16_t piece = count < PANEL_WIDTH ? count : PANEL_WIDTH;
        bus_write(0x40, bytes, piece);
        bytes += piece;
        count = (uint16_t)(count - piece);
    }
    return 1;
}

/* Horizontal addressing over columns first_column.. and pages first_page.. (8 rows
 * each): the controller then takes a page's columns one byte each, page after page,
 * which is the order of the banded-rows lay-out. */
static void panel_window(uint8_t first_column, uint8_t last_column, uint8_t first_page,
                         uint8_t last_page) {
    const uint8_t commands[] = {0x20,        0x00, 0x21,       first_column,
                                last_column, 0x22, first_page, last_page};
    panel_commands(commands, sizeof commands);
}

static void wait_ms(uint16_t ms) {
    while (EXAMPLE_WAIT && ms--) {
        _delay_ms(1);
    }
}

#ifdef EXAMPLE_PROBE

/* Every record of the probe file in turn, streamed as it is; after the last the first
 * comes again. */
static void step_through_records(uint16_t records) {
    const uint8_t for_ever = records == 0;
    const ztr_source file = ZTR_MEMORY_SOURCE(probe, PROBE_SIZE);
    ztr_record record;
    ztr_decoder decoder;
    uint8_t chunk[32];
    ztr_result next = ztr_read_record(&file, 0, &record);
    while (for_ever || records--) {
        if (next == ZTR_END) {
            next = ztr_read_record(&file, 0, &record);
        }
        if (next != ZTR_OK || ztr_begin(&decoder, &file, &record) != ZTR_OK) {
            return;
        }
        panel_window(0, PANEL_WIDTH - 1, 0, PANEL_HEIGHT / 8 - 1);
        ztr_stream(&decoder, chunk, sizeof chunk, panel_data, 0);
        wait_ms(EXAMPLE_PROBE_MS);
        next = ztr_next_record(&file, &record);
    }
}

#else

/* The animation's frames are built in a frame buffer of the panel's lay-out; each one
 * goes to the panel whole and stands for its time. */
static uint8_t screen[PANEL_WIDTH * PANEL_HEIGHT / 8];

/* A full frame goes to the panel in pieces of 32 bytes: no frame buffer needed. The frame
 * buffer, not yet in use, lends its first ZTR_WINDOW_SIZE bytes as the squash window. */
static int show_logo(void) {
    const ztr_source file = ZTR_MEMORY_SOURCE(logo, LOGO_SIZE);
    ztr_record record;
    ztr_decoder decoder;
    uint8_t chunk[32];
    if (ztr_find(&file, 1, PANEL_LAYOUT, PANEL_WIDTH, PANEL_HEIGHT, &record) != ZTR_OK ||
        ztr_begin_window(&decoder, &file, &record, screen) != ZTR_OK) {
        return 0;
    }
    panel_window(0, PANEL_WIDTH - 1, 0, PANEL_HEIGHT / 8 - 1);
    return ztr_stream(&decoder, chunk, sizeof chunk, panel_data, 0) == ZTR_OK;
}

static void play_ball(uint16_t frames) {
    const uint8_t for_ever = frames == 0;
    const ztr_source file = ZTR_MEMORY_SOURCE(ball, BALL_SIZE);
    ztr_record first;
    ztr_record frame = {0};
    if (ztr_find(&file, 1, PANEL_LAYOUT, 0, 0, &first) != ZTR_OK ||
        first.unpacked_size > sizeof screen) {
        return;
    }
    while ((for_ever || frames--) && ztr_next_frame(&file, &first, &frame) == ZTR_OK) {
        if (ztr_apply_in_frame(&file, &first, &frame, screen, sizeof screen) != ZTR_OK) {
            return;
        }
        panel_window(0, (uint8_t)(first.width - 1), 0, (uint8_t)((first.height + 7) / 8 - 1));
        panel_data(0, screen, (uint16_t)first.unpacked_size);
        wait_ms(frame.delay);
    }
}

#endif

int main(void) {
    static const uint8_t start_up[] = {0xAE, 0x8D, 0x14, 0xA1, 0xC8, 0xAF};
    TWSR = 0;
    TWBR = (F_CPU / 400000UL - 16) / 2; /* 400 kHz */
    panel_commands(start_up, sizeof start_up);
#ifdef EXAMPLE_PROBE
    step_through_records(EXAMPLE_FRAMES);
#else
    if (show_logo()) {
        wait_ms(2000);
    }
    play_ball(EXAMPLE_FRAMES);
#endif
    /* Nothing more to show: the panel keeps the last frame. */
    cli();
    sleep_mode();
    for (;;) {
    }
}
