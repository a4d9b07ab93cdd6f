/* The sample animation as ztr export writes it, compiled as C: the tests compare its
 * bytes with the file and decode them. */
#include "exported_file.h"

#include "exported_anim.h"

const uint8_t* ExportedAnimation(void) {
    return exported_anim;
}

uint32_t ExportedAnimationSize(void) {
    return EXPORTED_ANIM_SIZE;
}
