/* A streaming decoder of the dense coding for firmware (see dense_prototype.c). */
#ifndef ZENTRA_DENSE_PROTOTYPE_H
#define ZENTRA_DENSE_PROTOTYPE_H

#include <stdint.h>

#define DENSE_RING 512u /* bytes of the window: the last unpacked bytes */

typedef struct dense_state {
    const uint8_t* next; /* the next coded byte (program memory on the AVR) */
    const uint8_t* end;  /* the end of the coded bytes */
    uint8_t* ring;       /* the window, or NULL when decoding into the whole stream */
    uint8_t* to;         /* the next byte's place in the ring */
    uint16_t left;       /* bytes of the current token still to make */
    uint16_t distance;   /* R: the last copy's distance */
    uint16_t line;       /* bytes of a line */
    uint16_t made;       /* bytes made so far (whole stream) */
    uint8_t bits;        /* bits of the coded byte still to read, above a closing 1 */
    uint8_t flags;
    uint8_t broken; /* the coded bytes ended inside a code */
} dense_state;

/* Starts a decode of coded .. end. ring: 512 bytes that the decoder zeroes, or NULL for
 * a record coded with copies from the whole stream, whose bytes must then be read in one
 * buffer, piece after piece. line: the bytes of one line of the record's stream. */
void dense_begin(dense_state* d, const uint8_t* coded, const uint8_t* end, uint8_t* ring,
                 uint16_t line);

/* The next count unpacked bytes into out; fewer (the bytes made) when the coded bytes
 * are damaged. */
uint16_t dense_read(dense_state* d, uint8_t* out, uint16_t count);

#endif
