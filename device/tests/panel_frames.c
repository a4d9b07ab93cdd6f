/* Writes what a 128 x 64 SSD1306 panel (8-row pages, the top row in bit 0) shows when it
 * is sent each record's bytes of a Zentra file as they are, whatever their lay-out: the
 * pictures the probe mode of the SSD1306 example must leave on the virtual panel.
 *
 *   panel_frames FILE.ztr DIR     (DIR/shown_0.ppm, shown_1.ppm ..., one per record) */
#include "zentra_device.h"

#include <stdio.h>
#include <stdlib.h>

#define WIDTH 128
#define HEIGHT 64

int main(int argc, char** argv) {
    static uint8_t bytes[1 << 20];
    static uint8_t memory[WIDTH * HEIGHT / 8];
    ztr_source file = ZTR_MEMORY_SOURCE(bytes, 0);
    ztr_record record;
    ztr_result next;
    size_t size;
    int count = 0;
    FILE* in;
    if (argc != 3) {
        fprintf(stderr, "usage: panel_frames FILE.ztr DIR\n");
        return 2;
    }
    in = fopen(argv[1], "rb");
    if (!in) {
        fprintf(stderr, "cannot open %s\n", argv[1]);
        return 1;
    }
    size = fread(bytes, 1, sizeof bytes, in);
    fclose(in);
    file.size = (ztr_offset)size;
    for (next = ztr_read_record(&file, 0, &record); next == ZTR_OK;
         next = ztr_next_record(&file, &record)) {
        ztr_decoder decoder;
        char path[4096];
        FILE* out;
        int x;
        int y;
        uint16_t n = 0;
        if (ztr_begin(&decoder, &file, &record) == ZTR_OK) {
            n = ztr_read(&decoder, memory, sizeof memory);
        }
        if (n != sizeof memory) {
            fprintf(stderr, "record %d does not fill the panel's %u bytes\n", count,
                    (unsigned)sizeof memory);
            return 1;
        }
        snprintf(path, sizeof path, "%s/shown_%d.ppm", argv[2], count++);
        out = fopen(path, "wb");
        if (!out) {
            fprintf(stderr, "cannot write %s\n", path);
            return 1;
        }
        fprintf(out, "P6\n%d %d\n255\n", WIDTH, HEIGHT);
        for (y = 0; y < HEIGHT; ++y) {
            for (x = 0; x < WIDTH; ++x) {
                const int lit = (memory[y / 8 * WIDTH + x] >> (y % 8)) & 1;
                const uint8_t rgb[3] = {lit ? 255 : 0, lit ? 255 : 0, lit ? 255 : 0};
                fwrite(rgb, 1, 3, out);
            }
        }
        fclose(out);
    }
    printf("%d\n", count);
    return next == ZTR_END ? 0 : 1;
}
