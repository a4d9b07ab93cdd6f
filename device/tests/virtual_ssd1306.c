/* Runs the SSD1306 example firmware on a simulated ATmega328P at 16 MHz (simavr) wired to
 * simavr's SSD1306 over I2C, and compares the controller's display memory after every
 * frame with the pictures ztr renders: the streamed picture, then every played frame of
 * the animation. Reports the frames per second the AVR reaches.
 *
 *   virtual_ssd1306 FIRMWARE.elf PICTURE.ppm FRAME.ppm...
 *
 * A frame ends where the firmware next sends commands after sending data (the window of
 * the next frame), or where it stops. Exit status 0 when every frame was seen and equal. */
#include "avr_twi.h"
#include "sim_avr.h"
#include "sim_elf.h"
#include "ssd1306_virt.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#define MAX_FRAMES 64
#define CYCLE_LIMIT 400000000ull /* 25 s of the AVR's time: a firmware that hangs */

typedef struct panel_watch {
    ssd1306_t* panel;
    avr_t* avr;
    int index;                   /* bytes of the current transfer, the control byte first */
    int control;                 /* the transfer's control byte */
    int data_pending;            /* data sent since the last frame ended */
    int frames;                  /* frames seen, the streamed picture first */
    avr_cycle_count_t last_data; /* cycle of the latest data byte */
    unsigned long bus_bits;      /* I2C bit times so far: 9 a byte, 2 a transfer */
    avr_cycle_count_t ended[MAX_FRAMES];
    unsigned long bus_bits_ended[MAX_FRAMES];
    uint8_t memory[MAX_FRAMES][SSD1306_VIRT_PAGES][SSD1306_VIRT_COLUMNS];
} panel_watch;

static void end_frame(panel_watch* w) {
    if (w->data_pending && w->frames < MAX_FRAMES) {
        memcpy(w->memory[w->frames], w->panel->vram, sizeof w->memory[0]);
        w->ended[w->frames] = w->last_data;
        w->bus_bits_ended[w->frames] = w->bus_bits;
        ++w->frames;
    }
    w->data_pending = 0;
}

/* Every message the AVR's TWI unit sends: the address starts a transfer. */
static void on_twi(struct avr_irq_t* irq, uint32_t value, void* param) {
    panel_watch* w = (panel_watch*)param;
    avr_twi_msg_irq_t m;
    (void)irq;
    m.u.v = value;
    if (m.u.twi.msg & (TWI_COND_START | TWI_COND_ADDR)) {
        w->index = 0;
        w->bus_bits += 2 + 9;
        return;
    }
    if (!(m.u.twi.msg & TWI_COND_WRITE)) {
        return;
    }
    w->bus_bits += 9;
    if (w->index++ == 0) {
        w->control = m.u.twi.data;
        return;
    }
    if (w->control == 0x00) {
        end_frame(w);
    } else {
        w->data_pending = 1;
        w->last_data = w->avr->cycle;
    }
}

/* A binary PPM of 128 x 64 or less: lit where the pixel is light. */
static int read_ppm(const char* path, uint8_t lit[64][128], int* width, int* height) {
    FILE* file = fopen(path, "rb");
    int maximum = 0;
    int x;
    int y;
    memset(lit, 0, 64 * 128);
    if (!file) {
        fprintf(stderr, "cannot open %s\n", path);
        return 0;
    }
    if (fscanf(file, "P6 %d %d %d", width, height, &maximum) != 3 || fgetc(file) == EOF ||
        *width > 128 || *height > 64 || *width < 1 || *height < 1 || maximum != 255) {
        fprintf(stderr, "%s: not a binary PPM of at most 128 x 64 pixels\n", path);
        fclose(file);
        return 0;
    }
    for (y = 0; y < *height; ++y) {
        for (x = 0; x < *width; ++x) {
            uint8_t rgb[3];
            if (fread(rgb, 1, 3, file) != 3) {
                fprintf(stderr, "%s: cut short\n", path);
                fclose(file);
                return 0;
            }
            lit[y][x] = rgb[0] > 127;
        }
    }
    fclose(file);
    return 1;
}

/* Compares the picture's pixels with the display memory (bit y % 8 of page y / 8). */
static int equal(const char* path, uint8_t memory[SSD1306_VIRT_PAGES][SSD1306_VIRT_COLUMNS]) {
    static uint8_t lit[64][128];
    int width;
    int height;
    int x;
    int y;
    if (!read_ppm(path, lit, &width, &height)) {
        return 0;
    }
    for (y = 0; y < height; ++y) {
        for (x = 0; x < width; ++x) {
            if (((memory[y / 8][x] >> (y % 8)) & 1) != lit[y][x]) {
                fprintf(stderr, "%s: pixel (%d, %d) differs\n", path, x, y);
                return 0;
            }
        }
    }
    return 1;
}

int main(int argc, char** argv) {
    static panel_watch watch;
    static ssd1306_t panel;
    ssd1306_wiring_t wiring = {{'B', 0}, {'B', 1}, {'B', 3}};
    elf_firmware_t firmware;
    avr_t* avr;
    int state = cpu_Running;
    int same = 0;
    int k;
    const int frames = argc - 3;
    if (argc < 4 || frames >= MAX_FRAMES) {
        fprintf(stderr, "usage: virtual_ssd1306 FIRMWARE.elf PICTURE.ppm FRAME.ppm...\n");
        return 2;
    }
    memset(&firmware, 0, sizeof firmware);
    if (elf_read_firmware(argv[1], &firmware) != 0) {
        fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    avr = avr_make_mcu_by_name("atmega328p");
    if (!avr) {
        fprintf(stderr, "simavr has no ATmega328P\n");
        return 1;
    }
    avr_init(avr);
    avr->frequency = 16000000;
    avr->log = 0;
    avr_load_firmware(avr, &firmware);
    ssd1306_init(avr, &panel, 128, 64);
    /* The library wants the reset line's pin even on I2C; the firmware leaves it alone. */
    ssd1306_connect_twi(&panel, &wiring);
    watch.panel = &panel;
    watch.avr = avr;
    avr_irq_register_notify(avr_io_getirq(avr, AVR_IOCTL_TWI_GETIRQ(0), TWI_IRQ_OUTPUT), on_twi,
                            &watch);
    while (state != cpu_Done && state != cpu_Crashed && avr->cycle < CYCLE_LIMIT) {
        state = avr_run(avr);
    }
    end_frame(&watch);
    if (watch.frames != frames + 1) {
        fprintf(stderr, "the firmware showed %d frames, expected the picture and %d more\n",
                watch.frames, frames);
    }
    if (watch.frames < 1 || !equal(argv[2], watch.memory[0])) {
        fprintf(stderr, "the streamed picture differs\n");
    }
    for (k = 1; k <= frames && k < watch.frames; ++k) {
        same += equal(argv[k + 2], watch.memory[k]);
    }
    if (watch.frames == frames + 1) {
        const double seconds = (double)(watch.ended[frames] - watch.ended[0]) / avr->frequency;
        const double bus = (double)(watch.bus_bits_ended[frames] - watch.bus_bits_ended[0]) / 400e3;
        printf("virtual SSD1306: %d of %d frames equal, %.1f frames per second\n", same, frames,
               frames / seconds);
        /* simavr's TWI unit takes no bus time; a real 400 kHz bus bounds the rate. */
        printf("  the frames' %.0f bus bits would take %.1f ms a frame at 400 kHz: at most %.1f "
               "frames per second on a real bus\n",
               (double)(watch.bus_bits_ended[frames] - watch.bus_bits_ended[0]),
               bus * 1000 / frames, frames / (bus + seconds));
    } else {
        printf("virtual SSD1306: %d of %d frames equal, no rate\n", same, frames);
    }
    return same == frames && watch.frames == frames + 1 && equal(argv[2], watch.memory[0]) ? 0 : 1;
}
