/* The sample animation's bytes from the header that ztr export made of it. */
#ifndef EXPORTED_FILE_H
#define EXPORTED_FILE_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

const uint8_t* ExportedAnimation(void);
uint32_t ExportedAnimationSize(void);

#ifdef __cplusplus
}
#endif

#endif
