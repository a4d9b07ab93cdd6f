// ZentraAnimation: plays an animation on a 128 x 64 SSD1306 OLED panel over I2C (Wire,
// address 0x3C) with the Zentra device library, each frame for its own time. The
// animation is a Zentra file as a header, made by the Zentra tools from the samples in
// their data/samples folder:
//   ztr convert --animation --delay 100 --type ssd1306 anim_0.pgm anim_1.pgm anim_2.pgm \
//       anim_3.pgm anim_4.pgm
//   ztr export anim_0.ztr --name animation -o animation.h
// The file stays in program memory; only the frame buffer (1,024 bytes) is in RAM. Files
// written with --coding rle, squash or auto play alike: the frame buffer is also the
// window that squash-coded records need. Set PLAY_RUN_LENGTH_ONLY to 1 for files written
// with --coding rle alone: the squash decoder is then left out of the flash.
//
// With STEP_THROUGH_RECORDS set to 1 the sketch finds the panel's lay-out instead: it
// shows every record of the file in turn on a timer, three seconds each, its bytes sent as
// they are, and starts again after the last. Made from a probe file,
//   ztr probe 128x64 -o probe.ztr        (prints the type code of every record)
//   ztr export probe.ztr --name animation -o animation.h
// the record that shows the arrow pointing up, the triangle in the top-left corner and its
// number readable is in the panel's lay-out, and its number's line in ztr probe's table
// gives the type code.
#include <Wire.h>
#include <zentra_device.h>

#include "animation.h"

#ifndef STEP_THROUGH_RECORDS
#define STEP_THROUGH_RECORDS 0
#endif
#ifndef PLAY_RUN_LENGTH_ONLY
#define PLAY_RUN_LENGTH_ONLY 0
#endif

const uint8_t PANEL_ADDRESS = 0x3C;
const uint8_t PANEL_LAYOUT = 0x06; // 8-row pages, the top row in bit 0
const uint8_t PANEL_WIDTH = 128;
const uint8_t PANEL_HEIGHT = 64;

static uint8_t screen[PANEL_WIDTH * PANEL_HEIGHT / 8];
static const ztr_source file = ZTR_MEMORY_SOURCE(animation, ANIMATION_SIZE);
static ztr_record first;
static ztr_record frame; // zeroed: playing starts at the full frame
static bool playing;

static void sendCommands(const uint8_t* commands, uint8_t count) {
    Wire.beginTransmission(PANEL_ADDRESS);
    Wire.write(0x00);
    Wire.write(commands, count);
    Wire.endTransmission();
}

// Wire sends at most 32 bytes a transfer: the control byte and 31 bytes of data.
static void sendData(const uint8_t* bytes, uint16_t count) {
    while (count) {
        const uint8_t piece = count < 31 ? count : 31;
        Wire.beginTransmission(PANEL_ADDRESS);
        Wire.write(0x40);
        Wire.write(bytes, piece);
        Wire.endTransmission();
        bytes += piece;
        count -= piece;
    }
}

void setup() {
    static const uint8_t startUp[] = {
        0xAE,       // display off
        0xD5, 0x80, // clock
        0xA8, 0x3F, // 64 rows
        0xD3, 0x00, // no offset
        0x40,       // start line 0
        0x8D, 0x14, // charge pump on
        0x20, 0x00, // horizontal addressing: a page's columns, page after page
        0xA1, 0xC8, // column 0 on the left, row 0 at the top
        0xDA, 0x12, // COM pins
        0x81, 0xCF, // contrast
        0xD9, 0xF1, // pre-charge
        0xDB, 0x40, // VCOMH
        0xA4, 0xA6, // show the memory, not inverted
        0xAF,       // display on
    };
    Wire.begin();
    Wire.setClock(400000);
    sendCommands(startUp, sizeof startUp);
    playing = ztr_find(&file, 1, PANEL_LAYOUT, 0, 0, &first) == ZTR_OK &&
              first.width <= PANEL_WIDTH && first.height <= PANEL_HEIGHT &&
              first.unpacked_size <= sizeof screen;
}

#if STEP_THROUGH_RECORDS

static ztr_record record;
static bool started; // a record is at hand

// Sends the next record's bytes as they are, over the panel from its top left corner.
void loop() {
    if (!started || ztr_next_record(&file, &record) != ZTR_OK) {
        started = ztr_read_record(&file, 0, &record) == ZTR_OK; // the first again
    }
    ztr_decoder decoder;
    if (!started || ztr_begin(&decoder, &file, &record) != ZTR_OK) {
        return;
    }
    const uint8_t window[] = {0x21, 0, static_cast<uint8_t>(record.width - 1),
                              0x22, 0, static_cast<uint8_t>((record.height + 7) / 8 - 1)};
    sendCommands(window, sizeof window);
    uint8_t chunk[31];
    uint16_t count;
    while ((count = ztr_read(&decoder, chunk, sizeof chunk)) != 0) {
        sendData(chunk, count);
    }
    delay(3000);
}

#else

// Places a frame's record into the frame buffer.
static ztr_result place(const ztr_record* record) {
#if PLAY_RUN_LENGTH_ONLY
    return ztr_apply(&file, &first, record, screen, sizeof screen);
#else
    return ztr_apply_in_frame(&file, &first, record, screen, sizeof screen);
#endif
}

void loop() {
    if (!playing || ztr_next_frame(&file, &first, &frame) != ZTR_OK || place(&frame) != ZTR_OK) {
        playing = false; // no animation for this panel, or a damaged file
        return;
    }
    const uint8_t window[] = {0x21, 0, static_cast<uint8_t>(first.width - 1),
                              0x22, 0, static_cast<uint8_t>((first.height + 7) / 8 - 1)};
    sendCommands(window, sizeof window);
    sendData(screen, static_cast<uint16_t>(first.unpacked_size));
    delay(frame.delay);
}

#endif
