// The run-length coder of a record's pixel data. Coded bytes are collected in one
// program-wide buffer, because a run's count is rewritten in place while the run grows,
// and written to the output file in one piece when the record's pixel data ends.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>

struct RunLengthBuffer {
    std::unique_ptr<std::uint8_t[]> data; // absent between records
    int capacity = 0;                     // allocated bytes; starts at 16, doubles
    int length = 0;                       // coded bytes so far
    std::uint8_t previous = 0;            // the previous literal; 0 at a record's start
    std::uint8_t run = 0;                 // 0 after a literal, k - 1 after the k-th copy
};

// The program's one buffer: two records are never coded at the same time.
extern RunLengthBuffer PixelBuffer;

// Starts a record's pixel data: allocates 16 bytes when the buffer is absent and resets
// the coder. Reports "Out of memory!\n" and ends the program (status 255) on failure.
void BeginPixelData();

// Doubles the buffer's capacity, keeping its bytes. Reports "Out of memory!\n" and ends
// the program (status 255) when it cannot, also when the capacity cannot double in int.
void GrowPixelBuffer();

// Appends one unpacked byte through the coder. A run of k equal bytes after a different
// byte is held as b, b, k - 2: the second copy appends b and the count 0, every further
// copy rewrites the count in place; once the count is 254 (run = 255), the 257th copy
// starts a new run as a literal. Inline: the packers call it once per unpacked byte.
inline void PutPixelByte(std::uint8_t b) {
    RunLengthBuffer& buffer = PixelBuffer;
    if (buffer.length + 1 >= buffer.capacity) {
        GrowPixelBuffer(); // afterwards at least two more bytes fit
    }
    std::uint8_t* data = buffer.data.get();
    if (b == buffer.previous && buffer.run != 255) {
        if (buffer.run == 0) {
            data[buffer.length++] = b;
        } else {
            --buffer.length;
        }
        data[buffer.length++] = buffer.run;
        ++buffer.run;
    } else {
        data[buffer.length++] = b;
        buffer.previous = b;
        buffer.run = 0;
    }
}

// Ends the record's pixel data: writes the coded bytes to file (when given and not
// empty) in one write, then frees the buffer. Returns false when the write failed.
bool EndPixelData(std::FILE* file);
