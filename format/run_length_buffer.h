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

// The coder with the buffer's state held in locals, for the packers' loops: a store of a
// coded byte cannot then force the length, previous literal and run to be reloaded.
// Construct it after BeginPixelData, Put every unpacked byte, and let it go out of scope
// (which writes the state back) before EndPixelData.
//
// Put appends one unpacked byte. A run of k equal bytes after a different byte is held
// as b, b, k - 2: the second copy appends b and the count 0, every further copy
// rewrites the count in place; once the count is 254 (run = 255), the 257th copy
// starts a new run as a literal.
class PixelByteCoder {
  public:
    PixelByteCoder()
        : data_(PixelBuffer.data.get()), capacity_(PixelBuffer.capacity),
          length_(PixelBuffer.length), previous_(PixelBuffer.previous), run_(PixelBuffer.run) {}
    ~PixelByteCoder() { Store(); }
    PixelByteCoder(const PixelByteCoder&) = delete;
    PixelByteCoder& operator=(const PixelByteCoder&) = delete;

    void Put(std::uint8_t b) {
        if (length_ + 1 >= capacity_) {
            Store();
            GrowPixelBuffer(); // afterwards at least two more bytes fit
            data_ = PixelBuffer.data.get();
            capacity_ = PixelBuffer.capacity;
        }
        if (b == previous_ && run_ != 255) {
            if (run_ == 0) {
                data_[length_++] = b;
            } else {
                --length_;
            }
            data_[length_++] = run_;
            ++run_;
        } else {
            data_[length_++] = b;
            previous_ = b;
            run_ = 0;
        }
    }

  private:
    void Store() const {
        PixelBuffer.length = length_;
        PixelBuffer.previous = previous_;
        PixelBuffer.run = run_;
    }

    std::uint8_t* data_;
    int capacity_;
    int length_;
    std::uint8_t previous_;
    std::uint8_t run_;
};

// Appends one unpacked byte through the coder (see PixelByteCoder::Put).
inline void PutPixelByte(std::uint8_t b) {
    PixelByteCoder coder;
    coder.Put(b);
}

// Ends the record's pixel data: writes the coded bytes to file (when given and not
// empty) in one write, then frees the buffer. Returns false when the write failed.
bool EndPixelData(std::FILE* file);
