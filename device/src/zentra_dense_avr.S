/* SPDX-License-Identifier: MIT */
/* zentra_device: the dense decoder of zentra_device.c written for the AVR, for memory
 * sources in program memory, through the ring of a window and in a frame buffer. It gives
 * what the C decoder gives for every input, damage included, in less flash and fewer
 * cycles; outside the AVR (and in builds that leave it out) this file is empty. */
#if defined(__AVR__) && !defined(ZTR_AVR_MEMORY_IN_RAM) && !defined(ZTR_NO_DENSE) &&              \
    !defined(ZTR_NO_MEMORY_SOURCE)

/* The fields of dense_state, frame_place and window_state as zentra_device.c lays them
 * out (it checks these places when it is built). */
#ifdef ZTR_SMALL_FILES
#define POSITION 0
#define STATUS 2
#define BITS 3
#define FLAGS 4
#define LEFT 5
#define LINE 7
#define AT 9
#define DISTANCE 11
#define PLACE 13 /* frame_place after the state in a frame buffer */
#define STATE_BYTES 18 /* the ring follows the larger of the squash and dense states */
#else
#define POSITION 0
#define STATUS 4
#define BITS 5
#define FLAGS 6
#define LEFT 7
#define LINE 9
#define AT 11
#define DISTANCE 15
#define PLACE 19
#define STATE_BYTES 20
#endif
#define FIRST (PLACE + 0)
#define STRIDE (PLACE + 2)
#define SPAN (PLACE + 4)

/* flags */
#define AFTER_LITERAL 0 /* bit: the last token was a literal run */
#define LITERAL 1       /* bit: the current token is a literal run */
#define WHOLE 2         /* bit: copies reach back to the stream's start */

/* Drops the return address of a call. */
#ifdef __AVR_3_BYTE_PC__
#define DROP_RETURN pop r0 $ pop r0 $ pop r0
#else
#define DROP_RETURN pop r0 $ pop r0
#endif

/* Registers while decoding:
 *   Z   the next coded byte (p)            X   the next unpacked byte (o)
 *   Y   ring: where the next byte goes in the ring; frame: the start of o's line
 *   r2  the bit byte's bits above a closing 1, r3 those at the token's start
 *   r4:5 bytes of the token still to make   r6:7 the last copy's distance
 *   r8:9 ring: the ring; frame: the record's first byte in the frame
 *   r10:11 the state    r12:13 the end of the coded bytes   r14:15 the end of the output
 *   r16 flags           r17 a byte in passing
 *   r18:19 frame: bytes from one line to the next   r20:21 ring: its end; frame: a line's
 *   bytes (0: the stream lies whole in the frame)   r22:23 the token's first coded byte,
 *   and p while a copy takes Z   r24:25 a gamma number, the bytes of a stretch
 *   r0:1 a pair in passing; T set in a frame buffer
 * On the stack, below the saved registers: the coded bytes' base and the output. */

/* uint16_t ztr_avr_dense_ring(dense_state* s, const uint8_t* base, const uint8_t* stop,
 *                             uint8_t* out, uint16_t count) and ztr_avr_dense_frame with the
 * same arguments: at most count bytes into out from the coded bytes [base + s->position,
 * stop); returns how many. As dense() in zentra_device.c, built for either window. */
    .section .text.ztr_avr_dense, "ax", @progbits
    .global ztr_avr_dense_ring
    .type ztr_avr_dense_ring, @function
    .global ztr_avr_dense_frame
    .type ztr_avr_dense_frame, @function
ztr_avr_dense_ring:
    clt
    rjmp .Lstart
ztr_avr_dense_frame:
    set
.Lstart:
    push r2
    push r3
    push r4
    push r5
    push r6
    push r7
    push r8
    push r9
    push r10
    push r11
    push r12
    push r13
    push r14
    push r15
    push r16
    push r17
    push r28
    push r29
    push r22
    push r23
    push r18
    push r19
    movw r10, r24
    movw r12, r20
    movw r26, r18
    movw r14, r18
    add r14, r16
    adc r15, r17
    movw r30, r24
    ldd r0, Z + POSITION
    ldd r1, Z + POSITION + 1
    ldd r2, Z + BITS
    ldd r16, Z + FLAGS
    ldd r4, Z + LEFT
    ldd r5, Z + LEFT + 1
    ldd r6, Z + DISTANCE
    ldd r7, Z + DISTANCE + 1
    ldd r24, Z + AT
    ldd r25, Z + AT + 1
    brts 1f
    subi r30, lo8(-STATE_BYTES)
    sbci r31, hi8(-STATE_BYTES)
    movw r8, r30
    movw r20, r30
    subi r21, -2
    movw r28, r30
    add r28, r24
    adc r29, r25
    rjmp 2f
1:  ldd r8, Z + FIRST
    ldd r9, Z + FIRST + 1
    ldd r18, Z + STRIDE
    ldd r19, Z + STRIDE + 1
    ldd r20, Z + SPAN
    ldd r21, Z + SPAN + 1
    movw r28, r26
    sub r28, r24
    sbc r29, r25
2:  movw r30, r22
    add r30, r0
    adc r31, r1

.Lloop:
    cp r26, r14
    cpc r27, r15
    brne 1f
    rjmp .Ldone
1:  mov r17, r4
    or r17, r5
    brne 1f
    rjmp .Ltoken
    /* A stretch: to the end of the output, the token, and the ring */
1:  movw r24, r14
    sub r24, r26
    sbc r25, r27
    movw r0, r4
    rcall .Lat_most
    brts 1f
    movw r0, r20
    sub r0, r28
    sbc r1, r29
    rcall .Lat_most
1:  sbrs r16, LITERAL
    rjmp .Lcopy
    /* literal bytes, as many as the coded bytes hold */
    movw r0, r12
    sub r0, r30
    sbc r1, r31
    rcall .Lat_most
    sbiw r24, 0
    brne 1f
    rjmp .Ldone
1:  sub r4, r24
    sbc r5, r25
    brts .Lliteral_frame
.Lliteral_ring:
    lpm r17, Z+
    st X+, r17
    st Y+, r17
    sbiw r24, 1
    brne .Lliteral_ring
    rjmp .Lwrap
.Lliteral_frame:
    lpm r17, Z+
    st X+, r17
    sbiw r24, 1
    brne .Lliteral_frame
    rjmp .Lloop

.Lcopy:
    movw r22, r30
    brts .Lcopy_frame
    /* from the ring, distance back from Y, wrapping round to its end */
    movw r30, r28
    sub r30, r6
    sbc r31, r7
    brcs 1f
    cp r30, r8
    cpc r31, r9
    brsh 2f
1:  subi r31, -2
2:  movw r0, r20
    sub r0, r30
    sbc r1, r31
    rcall .Lat_most
    sub r4, r24
    sbc r5, r25
.Lcopy_ring:
    ld r17, Z+
    st X+, r17
    st Y+, r17
    sbiw r24, 1
    brne .Lcopy_ring
    movw r30, r22
.Lwrap:
    cp r28, r20
    cpc r29, r21
    brne 1f
    movw r28, r8
1:  rjmp .Lloop

    /* In a frame buffer: from o's own line, or from the lines placed before it (r18:19
     * bytes apart, r20:21 long), or zeros before the record's first byte. */
.Lcopy_frame:
    movw r30, r26
    sub r30, r28
    sbc r31, r29
    cp r30, r6
    cpc r31, r7
    brlo 3f
    /* in o's line: up to its end, or on when the stream lies whole in the frame */
    movw r0, r20
    sub r0, r30
    sbc r1, r31
    add r0, r6
    adc r1, r7
    mov r17, r20
    or r17, r21
    breq 1f
    rcall .Lat_most
1:  movw r30, r26
    sub r30, r6
    sbc r31, r7
    rjmp .Ltake
3:  movw r0, r6
    sub r0, r30
    sbc r1, r31
    movw r30, r28
4:  cp r30, r8
    cpc r31, r9
    breq .Lzeros
    sub r30, r18
    sbc r31, r19
    cp r20, r0
    cpc r21, r1
    brsh 5f
    sub r0, r20
    sbc r1, r21
    rjmp 4b
5:  add r30, r20
    adc r31, r21
    sub r30, r0
    sbc r31, r1
    rcall .Lat_most
.Ltake:
    sub r4, r24
    sbc r5, r25
1:  ld r17, Z+
    st X+, r17
    sbiw r24, 1
    brne 1b
    movw r30, r22
    rjmp .Lloop
.Lzeros:
    rcall .Lat_most
    sub r4, r24
    sbc r5, r25
    clr r17
1:  st X+, r17
    sbiw r24, 1
    brne 1b
    movw r30, r22
    rjmp .Lloop

    /* A token's codes: all of them before anything changes. */
.Ltoken:
    movw r22, r30
    mov r3, r2
    lsl r2
    brne 1f
    rcall .Lreload
1:  brcc .Lliteral_or_repeat
    lsl r2
    brne 1f
    rcall .Lreload
1:  brcc .Labove
    /* a new distance: gamma h + 1, the low byte, gamma n - 1 */
    rcall .Lgamma
    sbiw r24, 1
    tst r25
    brne .Ldamaged
    brts 1f
    cpi r24, 2
    brsh .Ldamaged
1:  cp r30, r12
    cpc r31, r13
    breq .Lcut
    lpm r0, Z+
    mov r1, r24
    rcall .Lgamma
    adiw r24, 1
    breq .Ldamaged
    movw r4, r24
    movw r24, r0
    adiw r24, 1
    movw r6, r24
    rjmp .Lcopy_token
.Labove:
    rcall .Lgamma
    movw r4, r24
    movw r0, r30
    movw r30, r10
    ldd r6, Z + LINE
    ldd r7, Z + LINE + 1
    movw r30, r0
    rjmp .Lcopy_token
.Lliteral_or_repeat:
    rcall .Lgamma
    movw r4, r24
    sbrc r16, AFTER_LITERAL
    rjmp .Lcopy_token
    ori r16, (1 << AFTER_LITERAL) | (1 << LITERAL)
    rjmp .Lloop
.Lcopy_token:
    andi r16, 1 << WHOLE
    /* 512 bytes back at most, or with copies from the whole stream no farther than its
     * start */
    movw r24, r6
    sbiw r24, 1
    brtc 1f
    sbrs r16, WHOLE
    rjmp 1f
    movw r0, r26
    sub r0, r28
    sbc r1, r29
    cp r24, r0
    cpc r25, r1
    brsh .Ldamaged
    rjmp .Lloop
1:  cpi r25, 2
    brsh .Ldamaged
    rjmp .Lloop

.Lcut:
    /* The token's codes are read again from their start next time. */
    movw r30, r22
    mov r2, r3
.Ldone:
    ldi r17, 0
    rjmp 1f
.Ldamaged:
    ldi r17, -1
1:  brts 2f
    movw r24, r28
    sub r24, r8
    sbc r25, r9
    rjmp 3f
2:  movw r24, r26
    sub r24, r28
    sbc r25, r29
    cp r24, r20
    cpc r25, r21
    brne 3f
    clr r24
    clr r25
3:  pop r19
    pop r18
    pop r23
    pop r22
    sub r30, r22
    sbc r31, r23
    movw r28, r10
    std Y + POSITION, r30
    std Y + POSITION + 1, r31
    std Y + STATUS, r17
    std Y + BITS, r2
    std Y + FLAGS, r16
    std Y + LEFT, r4
    std Y + LEFT + 1, r5
    std Y + DISTANCE, r6
    std Y + DISTANCE + 1, r7
    std Y + AT, r24
    std Y + AT + 1, r25
    movw r24, r26
    sub r24, r18
    sbc r25, r19
    clr r1
    pop r29
    pop r28
    pop r17
    pop r16
    pop r15
    pop r14
    pop r13
    pop r12
    pop r11
    pop r10
    pop r9
    pop r8
    pop r7
    pop r6
    pop r5
    pop r4
    pop r3
    pop r2
    ret

/* r24:25 = the smaller of r24:25 and r0:1 */
.Lat_most:
    cp r0, r24
    cpc r1, r25
    brsh 1f
    movw r24, r0
1:  ret

/* A gamma number into r24:25: a 0 and a bit of value before each stop bit 1, 16 bits at
 * most. Its bits come through .Lreload_in_gamma, which leaves both calls when the coded
 * bytes end. */
.Lgamma:
    ldi r24, 1
    ldi r25, 0
1:  lsl r2
    brne 2f
    rcall .Lreload_in_gamma
2:  brcs 4f
    sbrc r25, 7
    rjmp .Ldamaged_in_gamma
    lsl r2
    brne 3f
    rcall .Lreload_in_gamma
3:  rol r24
    rol r25
    rjmp 1b
4:  ret

/* The next bit byte: the carry takes its top bit, r2 the rest above a closing 1. */
.Lreload_in_gamma:
    cp r30, r12
    cpc r31, r13
    breq .Lcut_in_gamma
    rjmp .Lfetch
.Lreload:
    cp r30, r12
    cpc r31, r13
    breq .Lcut_in_call
.Lfetch:
    lpm r2, Z+
    sec
    rol r2
    ret
.Lcut_in_gamma:
    DROP_RETURN
.Lcut_in_call:
    DROP_RETURN
    rjmp .Lcut
.Ldamaged_in_gamma:
    DROP_RETURN
    rjmp .Ldamaged
    .size ztr_avr_dense_ring, . - ztr_avr_dense_ring
#endif
