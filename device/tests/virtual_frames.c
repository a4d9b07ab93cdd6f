/* Writes the animation that the virtual SSD1306 plays: COUNT 128 x 64 grey pictures
 * (frame_00.pgm ...) in DIR, a disc and a bar moving by odd steps over a striped
 * background, so that the delta records start at odd columns and rows inside pages.
 *
 *   virtual_frames DIR COUNT */
#include <stdio.h>

#define WIDTH 128
#define HEIGHT 64

int main(int argc, char** argv) {
    int count;
    int k;
    if (argc != 3 || sscanf(argv[2], "%d", &count) != 1 || count < 2 || count > 99) {
        fprintf(stderr, "usage: virtual_frames DIR COUNT (2 to 99)\n");
        return 2;
    }
    for (k = 0; k < count; ++k) {
        static unsigned char grey[HEIGHT][WIDTH];
        char path[4096];
        const int cx = 13 + 9 * k; /* the disc's centre */
        const int cy = 11 + 5 * k % 41;
        const int bx = 101 - 7 * k % 90; /* the bar's left column */
        const int by = 43 - 3 * k % 30;
        int x;
        int y;
        FILE* file;
        for (y = 0; y < HEIGHT; ++y) {
            for (x = 0; x < WIDTH; ++x) {
                const int dx = x - cx;
                const int dy = y - cy;
                int light = x % 11 == 0 && y > 50;
                if (dx * dx + dy * dy <= 81) {
                    light = (dx + dy) % 5 != 0;
                }
                if (x >= bx && x < bx + 17 && y >= by && y < by + 3) {
                    light = 1;
                }
                grey[y][x] = light ? 255 : 0;
            }
        }
        snprintf(path, sizeof path, "%s/frame_%02d.pgm", argv[1], k);
        file = fopen(path, "wb");
        if (!file) {
            fprintf(stderr, "cannot write %s\n", path);
            return 1;
        }
        fprintf(file, "P5\n%d %d\n255\n", WIDTH, HEIGHT);
        if (fwrite(grey, 1, sizeof grey, file) != sizeof grey || fclose(file) != 0) {
            fprintf(stderr, "cannot write %s\n", path);
            return 1;
        }
    }
    return 0;
}
