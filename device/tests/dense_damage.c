/* Writes a file of dense and run-length records for checking a device build against the
 * host's: the records of the fuzz corpus of the device's dense decoder (each input's first
 * bytes choose the record as the fuzz target chooses it, the rest are its coded bytes), the
 * inputs of a run-length corpus after -r taken as coded bytes of run-length records, and
 * damaged copies of the dense and run-length records of the given files (cut short, bytes
 * changed, a stretch overwritten), as the array dense_file of a C header.
 *   dense_damage OUT.h SEED COPIES CORPUS_FILE... [-r RUN_LENGTH_FILE...] -- FILE.ztr... */
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#define MOST 30000 /* bytes of the file: avr-gcc takes arrays up to 32767 bytes */

static uint8_t file[MOST];
static size_t used;
static uint32_t seed;

static uint32_t next_random(void) {
    seed = seed * 1103515245u + 12345u;
    return seed >> 8;
}

static void put16(uint8_t* p, unsigned v) {
    p[0] = (uint8_t)v;
    p[1] = (uint8_t)(v >> 8);
}

/* Appends a record of the given header (12 or 18 bytes, length set here) and coded bytes. */
static int add_record(const uint8_t* head, size_t head_size, const uint8_t* coded, size_t size) {
    const size_t length = head_size + size;
    if (used + length > MOST) {
        return 0;
    }
    memcpy(file + used, head, head_size);
    put16(file + used, (unsigned)length);
    put16(file + used + 2, 0);
    memcpy(file + used + head_size, coded, size);
    used += length;
    return 1;
}

/* A corpus input: depth, lay-out bits and table, size along and across, window; then the piece size
 * and the frame's margin that the fuzz target reads too, and the coded bytes. */
static void add_corpus(const uint8_t* in, size_t size) {
    static const uint8_t depths[] = {1, 2, 4};
    size_t k = 0;
#define BYTE() (k < size ? in[k++] : 0u)
    const uint8_t depth = depths[BYTE() % 3u];
    const uint8_t chosen = (uint8_t)BYTE(); /* bit 7: literal bytes from a table */
    uint8_t layout = (uint8_t)(chosen & 0x1Fu);
    unsigned along = BYTE();
    unsigned across;
    int whole;
    uint8_t head[12] = {0, 0, 0, 0, 0x02, 0xA2};
    along = 1u + ((along | (BYTE() << 8)) % 600u);
    across = 1u + BYTE() % 64u;
    whole = BYTE() % 2u;
    (void)BYTE(); /* the piece size */
    (void)BYTE(); /* the frame's margin */
#undef BYTE
    if (depth == 1) {
        layout &= (uint8_t)~0x08u;
    }
    head[6] = layout;
    head[7] = (uint8_t)(0xA0u | (whole ? 0x08u : 0u) | (chosen & 0x80u ? 7u & ~depth : depth));
    put16(head + 8, layout & 1u ? across : along);
    put16(head + 10, layout & 1u ? along : across);
    add_record(head, sizeof head, in + k, size - k);
}

/* A run-length corpus input: depth and size along and across, then the coded bytes. */
static void add_run_length(const uint8_t* in, size_t size) {
    static const uint8_t depths[] = {1, 2, 4, 8, 16};
    size_t k = 0;
#define BYTE() (k < size ? in[k++] : 0u)
    const uint8_t depth = depths[BYTE() % 5u];
    const unsigned along = 1u + BYTE() % 97u;
    const unsigned across = 1u + BYTE() % 13u;
#undef BYTE
    uint8_t head[12] = {0, 0, 0, 0, 0x02, 0xA2};
    head[7] = depth;
    put16(head + 8, along);
    put16(head + 10, across);
    add_record(head, sizeof head, in + k, size - k);
}

static uint8_t* read_all(const char* name, size_t* size) {
    FILE* f = fopen(name, "rb");
    uint8_t* bytes = malloc(1u << 20);
    if (!f || !bytes) {
        fprintf(stderr, "dense_damage: cannot read %s\n", name);
        exit(1);
    }
    *size = fread(bytes, 1, 1u << 20, f);
    fclose(f);
    return bytes;
}

int main(int argc, char** argv) {
    uint8_t* sources[16];
    size_t source_sizes[16];
    int files = 0;
    int copies;
    int made = 0;
    int corpus = 0;
    int run_length = 0;
    int i = 4;
    FILE* out;
    size_t k;
    if (argc < 5) {
        fprintf(stderr,
                "usage: dense_damage OUT.h SEED COPIES CORPUS_FILE... [-r RUN_LENGTH_FILE...] "
                "-- FILE.ztr...\n");
        return 2;
    }
    seed = (uint32_t)strtoul(argv[2], 0, 10);
    copies = atoi(argv[3]);
    for (; i < argc && strcmp(argv[i], "--"); ++i) {
        size_t size;
        uint8_t* in;
        if (!strcmp(argv[i], "-r")) {
            run_length = 1;
            continue;
        }
        in = read_all(argv[i], &size);
        if (run_length) {
            add_run_length(in, size);
        } else {
            add_corpus(in, size);
        }
        free(in);
        ++corpus;
    }
    for (++i; i < argc && files < 16; ++i, ++files) {
        sources[files] = read_all(argv[i], &source_sizes[files]);
    }
    /* Damaged copies of randomly chosen dense and run-length records without a palette. */
    while (files && made < copies && used < MOST - 64) {
        const int f = (int)(next_random() % (unsigned)files);
        const uint8_t* bytes = sources[f];
        size_t at = 0;
        size_t pick = next_random() % 64u;
        uint8_t copy[640];
        int rounds = 0;
        while (rounds < 64) {
            const size_t length = bytes[at] | (size_t)bytes[at + 1] << 8;
            const uint8_t depth = bytes[at + 7];
            const size_t head = bytes[at + 6] & 0x20u ? 18u : 12u;
            const int dense = (depth & 0xE0u) == 0xA0u && !(depth & 0x10u);
            const int run_length_coded = !(depth & 0x80u) && !(bytes[at + 6] & 0x40u);
            if ((dense || run_length_coded) && length > head && length - head <= sizeof copy &&
                !pick--) {
                size_t size = length - head;
                const unsigned how = next_random() % 3u;
                memcpy(copy, bytes + at + head, size);
                if (how == 0) {
                    size = next_random() % size; /* cut short */
                } else if (how == 1) {
                    unsigned n = 1u + next_random() % 4u;
                    while (n--) {
                        copy[next_random() % size] ^= (uint8_t)(1u << (next_random() % 8u));
                    }
                } else {
                    size_t from = next_random() % size;
                    size_t n = 1u + next_random() % 8u;
                    for (; n-- && from < size; ++from) {
                        copy[from] = (uint8_t)next_random();
                    }
                }
                if (add_record(bytes + at, head, copy, size)) {
                    ++made;
                }
                break;
            }
            at += length;
            if (at + 12 > source_sizes[f]) {
                at = 0;
                ++rounds; /* a file without such records is left */
            }
        }
    }
    out = fopen(argv[1], "w");
    if (!out) {
        fprintf(stderr, "dense_damage: cannot write %s\n", argv[1]);
        return 1;
    }
    fprintf(out,
            "/* dense_file: corpus and damaged records, made by dense_damage. */\n"
            "#include <stdint.h>\n#if defined(__AVR__)\n#include <avr/pgmspace.h>\n"
            "#define ZTR_IN_FLASH PROGMEM\n#else\n#define ZTR_IN_FLASH\n#endif\n"
            "#define DENSE_FILE_SIZE %uu\nstatic const uint8_t dense_file[] ZTR_IN_FLASH = {",
            (unsigned)used);
    for (k = 0; k < used; ++k) {
        fprintf(out, "%s%u,", k % 24 ? "" : "\n", file[k]);
    }
    fprintf(out, "\n};\n");
    fclose(out);
    printf("%d corpus records and %d damaged ones, %u bytes\n", corpus, made, (unsigned)used);
    return 0;
}
