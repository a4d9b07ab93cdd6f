/* SPDX-License-Identifier: MIT */
/* zentra_device: the dense decoder of zentra_device.c written for the AVR, for memory
 * sources in program memory, through the ring of a window and in a frame buffer. It gives
 * what the C decoder gives for every input, damage included, in less flash and fewer
 * cycles. It serves builds of memory sources only (ZTR_NO_CALLBACK_SOURCE), where it
 * replaces the C decoder, and on request (ZTR_DENSE_IN_ASSEMBLY) builds with both kinds of
 * source; everywhere else this file is empty. */
#if defined(__AVR__) && !defined(ZTR_AVR_MEMORY_IN_RAM) && !defined(ZTR_NO_DENSE) &&              \
    !defined(ZTR_NO_MEMORY_SOURCE) && !defined(ZTR_DENSE_IN_C) &&                                  \
    (defined(ZTR_NO_CALLBACK_SOURCE) || defined(ZTR_DENSE_IN_ASSEMBLY))

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

/* flags */
#define WHOLE 0         /* bit: copies reach back to the stream's start */
#define LITERAL 1       /* bit: the current token is a literal run */
#define AFTER_LITERAL 2 /* bit: the last token was a literal run */
#define FILLED 3        /* bit: the ring has been filled once (through the ring) */
#define TABLE 4         /* bit: literal bytes may come from the record's table */

/* Drops the return address of a call. */
#ifdef __AVR_3_BYTE_PC__
#define DROP_RETURN pop r0 $ pop r0 $ pop r0
#else
#define DROP_RETURN pop r0 $ pop r0
#endif

/* The arguments (dense_state* s, const ztr_source* source, ztr_offset end, uint8_t* out,
 * uint16_t count), those of ztr_decoder.unpack: the output into X, its end into r18:19, the
 * offset of the coded bytes' end into r20:21. */
#ifdef ZTR_SMALL_FILES
#define ARGUMENTS movw r26, r18 $ add r18, r16 $ adc r19, r17
#else
#define ARGUMENTS movw r20, r18 $ movw r26, r16 $ movw r18, r16 $ add r18, r14 $ adc r19, r15
#endif

/* Registers while decoding, in both windows:
 *   Z   the next coded byte (p)            X   the next unpacked byte (o)
 *   Y   ring: where the next byte goes in the ring; frame: the start of the call's output:
 *       o's line, or its plane in a record that lies whole in the frame
 *   r2  the bit byte's bits above a closing 1
 *   r4:5 bytes of the token still to make   r6:7 the last copy's distance
 *   r8:9 ring: the ring; frame: the record's first byte in the frame
 *   r12:13 the end of the codes, where a record's table of literal bytes starts
 *   r14:15 the bytes of a line   r16 flags
 *   r18:19 the end of the output
 *   r20:21 ring: its end; frame: bytes from one of the record's lines to the next
 *   r22:23 p while a copy takes Z   r24:25 a gamma number, the bytes of a stretch
 *   r0:1 a pair in passing; T set through the ring while a copy takes the zeros before the
 *   record's start
 * The state's position is the address of the next coded byte (begin_dense sets it so for
 * memory sources); the output's start and the state lie on the stack. Where memory sources
 * are the only kind, begin_dense leaves the bit byte 0 and the rest of the state to its
 * loading here: a state that decoding goes on from never holds a bit byte of 0, which is
 * reloaded as soon as its closing 1 is all that is left.
 *
 * uint16_t ztr_avr_dense_ring(dense_state* s, const ztr_source* source, ztr_offset end,
 *                             uint8_t* out, uint16_t count) and ztr_avr_dense_frame with
 * the same arguments: at most count bytes into out from the coded bytes up to the offset
 * end of the memory source; returns how many. As dense() in zentra_device.c, built for
 * either window, but for three things: coded bytes that end within a token are damage at
 * once (dense() reads the token again in the next call, which finds them ended again:
 * ztr_read calls it damage); through the ring, bytes before the record's start are taken
 * as zeros where dense() finds them zeroed in the ring; and in a frame buffer every call
 * starts at the start of one of the record's lines and ends within it, or, for a record
 * that lies whole in the frame, reads one of its planes (the whole stream but for planar
 * records), as the placement reads them (the state's at is not kept). Damage is found only
 * while bytes are still wanted, so that it always gives fewer bytes than count, which
 * ztr_read takes as damage: the state's status stays as begin_dense left it. */

/* ---- Through the ring ---- */
    .section .text.ztr_avr_dense_ring, "ax", @progbits
    .global ztr_avr_dense_ring
    .type ztr_avr_dense_ring, @function
ztr_avr_dense_ring:
    push r2
    push r4
    push r5
    push r6
    push r7
    push r8
    push r9
    push r12
    push r13
    push r14
    push r15
    push r16
    push r28
    push r29
    ARGUMENTS
    push r26
    push r27
    push r24
    push r25
    rcall .Lload
    adiw r28, STATE_BYTES
    movw r8, r28
    movw r20, r28
    subi r21, -2
    add r28, r24
    adc r29, r25
.Lring_loop:
    cp r26, r18
    cpc r27, r19
    breq .Lring_done
    mov r0, r4
    or r0, r5
    brne 1f
    rcall .Ltoken
    brcc .Lring_loop
    rjmp .Lring_done /* damage: the output falls short */
    /* A stretch: to the end of the output, the token, and the ring */
1:  movw r24, r18
    sub r24, r26
    sbc r25, r27
    movw r0, r4
    rcall .Lat_most
    movw r0, r20
    sub r0, r28
    sbc r1, r29
    rcall .Lat_most
    sbrs r16, LITERAL
    rjmp 2f
    sbrc r16, TABLE
    rjmp .Lring_table
    /* literal bytes, as many as the coded bytes hold */
    rcall .Lliteral
    breq .Lring_done
1:  lpm r0, Z+
    st X+, r0
    st Y+, r0
    sbiw r24, 1
    brne 1b
    rjmp 4f
    /* a copy, distance back from Y, wrapping round to the ring's end, where the bytes
     * before the record's start lie until the ring has been filled */
2:  movw r22, r30
    clt
    movw r30, r28
    sub r30, r6
    sbc r31, r7
    brcs 1f
    cp r30, r8
    cpc r31, r9
    brsh 2f
1:  subi r31, -2
    sbrs r16, FILLED
    set
2:  movw r0, r20
    sub r0, r30
    sbc r1, r31
    rcall .Lat_most
    sub r4, r24
    sbc r5, r25
3:  ld r0, Z+
    brtc 5f
    clr r0
5:  st X+, r0
    st Y+, r0
    sbiw r24, 1
    brne 3b
    movw r30, r22
4:  cp r28, r20
    cpc r29, r21
    brne .Lring_loop
    movw r28, r8
    ori r16, 1 << FILLED
    rjmp .Lring_loop
.Lring_done:
    movw r24, r28
    sub r24, r8
    sbc r25, r9
    rjmp .Lstore
    /* literal bytes with codes of their own */
.Lring_table:
    rcall .Ltaken
1:  rcall .Ltable_literal
    brcs .Lring_done
    st X+, r0
    st Y+, r0
    sbiw r24, 1
    brne 1b
    rjmp 4b
    .size ztr_avr_dense_ring, . - ztr_avr_dense_ring

/* ---- In a frame buffer ---- */
    .section .text.ztr_avr_dense_frame, "ax", @progbits
    .global ztr_avr_dense_frame
    .type ztr_avr_dense_frame, @function
ztr_avr_dense_frame:
    push r2
    push r4
    push r5
    push r6
    push r7
    push r8
    push r9
    push r12
    push r13
    push r14
    push r15
    push r16
    push r28
    push r29
    ARGUMENTS
    push r26
    push r27
    push r24
    push r25
    rcall .Lload
    ldd r8, Y + FIRST
    ldd r9, Y + FIRST + 1
    ldd r20, Y + STRIDE
    ldd r21, Y + STRIDE + 1
    /* the call's line, or plane of a record that lies whole in the frame, starts here */
    movw r28, r26
.Lframe_loop:
    cp r26, r18
    cpc r27, r19
    breq .Lframe_end
    mov r0, r4
    or r0, r5
    brne 1f
    rcall .Ltoken
    brcc .Lframe_loop
.Lframe_end: /* at the output's end, and for damage, where the output falls short */
    rjmp .Lstore
1:  movw r24, r18
    sub r24, r26
    sbc r25, r27
    movw r0, r4
    rcall .Lat_most
    sbrs r16, LITERAL
    rjmp .Lframe_copy
    sbrc r16, TABLE
    rjmp .Lframe_table
    rcall .Lliteral
    breq .Lframe_end
1:  lpm r0, Z+
    st X+, r0
    sbiw r24, 1
    brne 1b
    rjmp .Lframe_loop
    /* literal bytes with codes of their own */
.Lframe_table:
    rcall .Ltaken
1:  rcall .Ltable_literal
    brcs .Lframe_end
    st X+, r0
    sbiw r24, 1
    brne 1b
    rjmp .Lframe_loop
    /* From o's own line, or from the lines placed before it (r20:21 bytes apart, r14:15
     * long), or zeros before the record's first byte. */
.Lframe_copy:
    movw r22, r30
    movw r30, r26
    sub r30, r6
    sbc r31, r7
    brcs 3f
    cp r30, r28
    cpc r31, r29
    /* in o's line, before o: the output ends at the line's end at the latest */
    brsh .Ltake
    /* the distance's bytes before o's line */
3:  movw r0, r28
    sub r0, r30
    sbc r1, r31
    movw r30, r28
4:  cp r30, r8
    cpc r31, r9
    breq .Lzeros
    sub r30, r20
    sbc r31, r21
    cp r14, r0
    cpc r15, r1
    brsh 5f
    sub r0, r14
    sbc r1, r15
    rjmp 4b
5:  add r30, r14
    adc r31, r15
    sub r30, r0
    sbc r31, r1
    rcall .Lat_most
.Ltake:
    sub r4, r24
    sbc r5, r25
1:  ld r0, Z+
    st X+, r0
    sbiw r24, 1
    brne 1b
2:  movw r30, r22
    rjmp .Lframe_loop
.Lzeros:
    rcall .Lat_most
    sub r4, r24
    sbc r5, r25
    clr r0
1:  st X+, r0
    sbiw r24, 1
    brne 1b
    rjmp 2b
    .size ztr_avr_dense_frame, . - ztr_avr_dense_frame

/* ---- What both share; the three sections lie side by side, in reach of rcall ---- */
    .section .text.ztr_avr_dense_token, "ax", @progbits

/* The state into registers (from r24:25, with the source in r22:23): at into r24:25, the
 * position into Z, Y the state, the bytes of a line into r14:15, the end of the coded bytes
 * into r12:13. */
.Lload:
    movw r30, r22
    ld r12, Z+
    ld r13, Z
    add r12, r20
    adc r13, r21
    movw r28, r24
    ldd r14, Y + LINE
    ldd r15, Y + LINE + 1
    ldd r30, Y + POSITION
    ldd r31, Y + POSITION + 1
    ldd r2, Y + BITS
    ldd r16, Y + FLAGS
    ldd r4, Y + LEFT
    ldd r5, Y + LEFT + 1
    ldd r6, Y + DISTANCE
    ldd r7, Y + DISTANCE + 1
    ldd r24, Y + AT
    ldd r25, Y + AT + 1
#ifdef ZTR_NO_CALLBACK_SOURCE
    tst r2
    brne 1f
    /* a fresh state: no bits, no token, at 0, the distance 1 */
    ldi r24, 0x80
    mov r2, r24
    clr r24
    clr r25
    movw r4, r24
    movw r6, r24
    inc r6
1:
#endif
    ret

/* The registers into the state, with at in r24:25; takes the state and the output's start
 * from the stack, restores the registers that either decoder saved and returns from it with
 * the bytes made in r24:25. */
.Lstore:
    pop r29
    pop r28
    pop r21
    pop r20
    std Y + POSITION, r30
    std Y + POSITION + 1, r31
    std Y + BITS, r2
    std Y + FLAGS, r16
    std Y + LEFT, r4
    std Y + LEFT + 1, r5
    std Y + DISTANCE, r6
    std Y + DISTANCE + 1, r7
    std Y + AT, r24
    std Y + AT + 1, r25
    movw r24, r26
    sub r24, r20
    sbc r25, r21
    clr r1
    pop r29
    pop r28
    pop r16
    pop r15
    pop r14
    pop r13
    pop r12
    pop r9
    pop r8
    pop r7
    pop r6
    pop r5
    pop r4
    pop r2
    ret

/* r24:25 = the smaller of r24:25 and r0:1 */
.Lat_most:
    cp r0, r24
    cpc r1, r25
    brsh 1f
    movw r24, r0
1:  ret

/* A literal stretch: r24:25 no more than the coded bytes hold, taken from the token; Z
 * flag set when there are none. From .Ltaken: r24:25 taken from the token as it is. */
.Lliteral:
    movw r0, r12
    sub r0, r30
    sbc r1, r31
    rcall .Lat_most
.Ltaken:
    sub r4, r24
    sbc r5, r25
    sbiw r24, 0
    ret

/* A literal byte into r0 (r1 and r23 in passing; the caller has taken the stretch from
 * the token): 0 xxxx, table entry x; 1 0 xxxx, entry 16 + x; 1 1 and the byte itself. The
 * table starts where the codes end. Carry set when the coded bytes end within its codes. */
.Ltable_literal:
    ldi r23, 0x10 /* leaves into the carry once four bits are in */
    rcall .Lbit
    brcc 1f
    rcall .Lbit
    brcs 3f
    ldi r23, 0x11
1:  lsl r2
    brne 2f
    rcall .Lreload
2:  rol r23
    brcc 1b
    movw r0, r30
    movw r30, r12
    add r30, r23
    brcc 2f
    inc r31
2:  lpm r23, Z
    movw r30, r0
4:  mov r0, r23
    clc
    ret
3:  cp r30, r12
    cpc r31, r13
    breq .Lstop
    lpm r23, Z+
    rjmp 4b

/* The next bit into the carry; when the coded bytes have ended, returns from the caller
 * with the carry set. */
.Lbit:
    lsl r2
    brne 1f
    rjmp .Lreload
1:  ret

/* A gamma number into r24:25: a 0 and a bit of value before each stop bit 1, 16 bits at
 * most. */
.Lgamma:
    ldi r24, 1
    ldi r25, 0
1:  lsl r2
    brne 2f
    rcall .Lreload_in_gamma
2:  brcs 4f
    sbrc r25, 7
    rjmp .Lstop_in_call
    lsl r2
    brne 3f
    rcall .Lreload_in_gamma
3:  rol r24
    rol r25
    rjmp 1b
4:  ret

/* The next bit byte: the carry takes its top bit, r2 the rest above a closing 1. When the
 * coded bytes have ended, the token stops: from the gamma number's call too. */
.Lreload_in_gamma:
    cp r30, r12
    cpc r31, r13
    brne .Lfetch
    DROP_RETURN
.Lstop_in_call:
    DROP_RETURN
.Lstop:
    sec
    ret
.Lreload:
    cp r30, r12
    cpc r31, r13
    breq .Lstop_in_call
.Lfetch:
    lpm r2, Z+
    sec
    rol r2
    ret
/* A token's codes: all of them before anything changes. Carry set when they are damaged
 * or cut off. */
.Ltoken:
    rcall .Lbit
    brcc .Lliteral_or_repeat
    rcall .Lbit
    brcc .Labove
    /* a new distance: gamma h + 1, the low byte, gamma n - 1 */
    rcall .Lgamma
    sbiw r24, 1
    tst r25
    brne .Lstop
    cp r30, r12
    cpc r31, r13
    breq .Lstop
    lpm r0, Z+
    mov r1, r24
    rcall .Lgamma
    adiw r24, 1
    breq .Lstop
    movw r4, r24
    movw r24, r0
    adiw r24, 1
    movw r6, r24
.Lcopy_token:
    andi r16, (1 << WHOLE) | (1 << FILLED) | (1 << TABLE)
    /* 512 bytes back at most (a new distance through the ring is checked here too), or
     * with copies from the whole stream, which only a frame buffer holds, no farther than
     * its start */
    movw r24, r6
    sbiw r24, 1
    sbrs r16, WHOLE
    rjmp 1f
    movw r0, r26
    sub r0, r8
    sbc r1, r9
    cp r24, r0
    cpc r25, r1
    rjmp 2f
1:  cpi r25, 2
2:  brsh .Lstop
    clc
    ret
.Labove:
    rcall .Lgamma
    movw r4, r24
    movw r6, r14
    rjmp .Lcopy_token
.Lliteral_or_repeat:
    rcall .Lgamma
    movw r4, r24
    sbrc r16, AFTER_LITERAL
    rjmp .Lcopy_token
    ori r16, (1 << AFTER_LITERAL) | (1 << LITERAL)
    clc
    ret

#endif
