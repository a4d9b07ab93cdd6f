/* Checks the converted pictures as the firmware sees them: each array holds its file's
 * bytes, starting with a record header (length, then 0x02 0xA2). */
#include "moving.h"
#include "still.h"

#include <stdio.h>

static int starts_with_a_record(const uint8_t* bytes, unsigned long size) {
    return size > 12 && bytes[4] == 0x02 && bytes[5] == 0xA2 &&
           (unsigned long)(bytes[0] | bytes[1] << 8) <= size;
}

int main(void) {
    if (!starts_with_a_record(still, STILL_SIZE) || !starts_with_a_record(moving, MOVING_SIZE) ||
        (moving[6] & 0x1F) != 0x06) {
        printf("the converted pictures are not Zentra files for their types\n");
        return 1;
    }
    printf("still %lu bytes, moving %lu bytes\n", STILL_SIZE, MOVING_SIZE);
    return 0;
}
