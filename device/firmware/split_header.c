/* A firmware that shows a file too large for one AVR array: exported with
 * "ztr export large.ztr --split -o large.h", its parts are read through the header's
 * callback. scripts/device-check compiles it for an ATmega2560 and, for the host, runs it
 * to check that every byte of the first record's pixel data comes out. */
#include "large.h"
#include "zentra_device.h"

int main(void) {
    const ztr_source file = ZTR_CALLBACK_SOURCE(large_read, 0, LARGE_SIZE);
    ztr_record record;
    ztr_decoder decoder;
    uint8_t chunk[64];
    uint32_t total = 0;
    uint16_t n;
    if (ztr_read_record(&file, 0, &record) != ZTR_OK ||
        ztr_begin(&decoder, &file, &record) != ZTR_OK) {
        return 1;
    }
    while ((n = ztr_read(&decoder, chunk, sizeof chunk)) != 0) {
        total += n;
    }
    return decoder.status == ZTR_END && total == record.unpacked_size ? 0 : 2;
}
