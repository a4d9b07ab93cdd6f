/* The frame times of played animations, one table that every player is tested against:
 * the host decoder (decoder/play_sequence, which the viewer and the web page use) and the
 * device library. C99, so that firmware tests can include it too. */
#ifndef FRAME_TIME_CASES_H
#define FRAME_TIME_CASES_H

/* A file of records, one letter each: F a full frame, D a delta record, L a delta record
 * flagged last. Every record is of one display type; delays[k] is record k's delay
 * field (a full frame has none). Playing starts at the full frame `start`; `order` is
 * the records shown one after the other (as digits) and times[k] how long each stands,
 * in ms. A delay of 0, and a single picture, stand for 100 ms. */
typedef struct frame_time_case {
    const char* name;
    const char* records;
    unsigned short delays[6];
    unsigned char start;
    const char* order;
    unsigned short times[8];
} frame_time_case;

static const frame_time_case FRAME_TIME_CASES[] = {
    /* The full frame stands for the delay of the last record, which leads back to it. */
    {"per-frame delays", "FDDL", {0, 200, 0, 150}, 0, "01230", {150, 200, 100, 150, 150}},
    {"single frame", "F", {0}, 0, "00", {100, 100}},
    {"a closing delta alone", "FL", {0, 250}, 0, "010", {250, 250, 250}},
    {"a closing delta of delay 0", "FDL", {0, 40, 0}, 0, "0120", {100, 40, 100, 100}},
    {"no last-frame flag, the file ends", "FDD", {0, 30, 70}, 0, "0120", {70, 30, 70, 70}},
    {"no last-frame flag, a full frame follows", "FDDF", {0, 30, 70}, 0, "0120", {70, 30, 70, 70}},
    {"the full frame after an unflagged sequence", "FDDF", {0, 30, 70}, 3, "33", {100, 100}},
    {"the second of two sequences", "FLFDL", {0, 20, 0, 60, 80}, 2, "23423", {80, 60, 80, 80, 60}},
};

#define FRAME_TIME_CASE_COUNT (sizeof FRAME_TIME_CASES / sizeof FRAME_TIME_CASES[0])

#endif
