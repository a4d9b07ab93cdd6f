/* Decodes a record built here by hand through the installed or added device library and
 * checks the bytes and the header's version against the package's. */
#include "zentra_device.h"
#ifdef WITH_PICTURES
#include "sign.h" /* converted by zentra_add_pictures */
#endif

#include <stdio.h>
#include <string.h>

/* A 12 x 2 1-bit row-order record: rows 0xA5 0xF0 and 0xA5 0x30; coded, the repeated
 * 0xA5 after a 0xF0 is a literal again. */
static const uint8_t file[] = {16, 0, 0, 0, 0x02, 0xA2, 0x00, 1,
                               12, 0, 2, 0, 0xA5, 0xF0, 0xA5, 0x30};

int main(void) {
    const uint8_t expected[] = {0xA5, 0xF0, 0xA5, 0x30};
    ztr_source source = ZTR_MEMORY_SOURCE(file, sizeof file);
    ztr_record record;
    ztr_decoder decoder;
    uint8_t out[8];
    if (strcmp(ZTR_VERSION_TEXT, EXPECTED_VERSION) != 0) {
        printf("header version %s, package version %s\n", ZTR_VERSION_TEXT, EXPECTED_VERSION);
        return 1;
    }
    if (ztr_find(&source, 1, 0, 12, 2, &record) != ZTR_OK ||
        ztr_begin(&decoder, &source, &record) != ZTR_OK ||
        ztr_read(&decoder, out, sizeof out) != sizeof expected ||
        memcmp(out, expected, sizeof expected) != 0 || decoder.status != ZTR_END) {
        printf("the record did not decode\n");
        return 1;
    }
#ifdef WITH_PICTURES
    {
        /* The converted 7 x 5 picture: one record of the 0x10006 lay-out, 7 bytes a band. */
        const ztr_source picture = ZTR_MEMORY_SOURCE(sign, SIGN_SIZE);
        if (ztr_find(&picture, 1, 0x06, 7, 5, &record) != ZTR_OK ||
            ztr_begin(&decoder, &picture, &record) != ZTR_OK ||
            ztr_read(&decoder, out, sizeof out) != 7 || decoder.status != ZTR_END) {
            printf("the converted picture did not decode\n");
            return 1;
        }
    }
#endif
    printf("consumer: decoded with zentra_device %s\n", ZTR_VERSION_TEXT);
    return 0;
}
