// The run-length coder of a record's pixel data. Coded bytes are collected in a buffer
// owned by the caller, because a run's count is rewritten in place while the run grows,
// and written to the output file in one piece when the record's pixel data ends.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

// Where the coder takes its memory: a block of `bytes` bytes that the buffer frees with
// delete[], or null when there is no memory. Tests pass one that fails.
using CoderAllocator = std::uint8_t* (*)(std::size_t bytes);

// The ordinary allocator: new (std::nothrow).
std::uint8_t* AllocateCoderBytes(std::size_t bytes);

// One record's coded pixel data at a time. When memory runs out the buffer turns into a
// sink: bytes still arrive (into a small spare block, overwritten again and again), the
// failure is remembered, and EndPixelData writes nothing. So the packers' loops need no
// test of their own, and the writer reports "Out of memory!" once the record ends.
class RunLengthBuffer {
  public:
    explicit RunLengthBuffer(CoderAllocator allocate = AllocateCoderBytes) : allocate_(allocate) {}
    RunLengthBuffer(const RunLengthBuffer&) = delete;
    RunLengthBuffer& operator=(const RunLengthBuffer&) = delete;

    // The coded bytes so far; valid until the next byte is put.
    const std::uint8_t* Data() const { return bytes; }
    int Length() const { return length; }
    int Capacity() const { return capacity; }
    // True from a failed allocation until the next BeginPixelData.
    bool OutOfMemory() const { return outOfMemory_; }

    std::uint8_t* bytes = nullptr; // owned_, or spare_ once out of memory; null between records
    int capacity = 0;              // bytes of the block; starts at 16, doubles
    int length = 0;                // coded bytes so far
    std::uint8_t previous = 0;     // the previous literal; 0 at a record's start
    std::uint8_t run = 0;          // 0 after a literal, k - 1 after the k-th copy
    // When set, the packers append a record's unpacked bytes here instead of coding them
    // (for a coding that needs the whole stream first); the buffer itself stays unused.
    std::vector<std::uint8_t>* collect = nullptr;

  private:
    friend void BeginPixelData(RunLengthBuffer& buffer);
    friend void GrowPixelBuffer(RunLengthBuffer& buffer);
    friend bool EndPixelData(RunLengthBuffer& buffer, std::FILE* file);
    void Discard();

    CoderAllocator allocate_;
    std::unique_ptr<std::uint8_t[]> owned_;
    std::uint8_t spare_[16] = {};
    bool outOfMemory_ = false;
};

// Starts a record's pixel data: allocates 16 bytes and resets the coder.
void BeginPixelData(RunLengthBuffer& buffer);

// Doubles the buffer's capacity, keeping its bytes; also when the capacity cannot double
// in int, runs out of memory (the buffer turns into its sink, see above).
void GrowPixelBuffer(RunLengthBuffer& buffer);

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
    explicit PixelByteCoder(RunLengthBuffer& buffer) : buffer_(buffer) { Load(); }
    ~PixelByteCoder() { Store(); }
    PixelByteCoder(const PixelByteCoder&) = delete;
    PixelByteCoder& operator=(const PixelByteCoder&) = delete;

    void Put(std::uint8_t b) {
        if (length_ + 1 >= capacity_) {
            Store();
            GrowPixelBuffer(buffer_); // afterwards at least two more bytes fit
            Load();
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
    void Load() {
        data_ = buffer_.bytes;
        capacity_ = buffer_.capacity;
        length_ = buffer_.length;
        previous_ = buffer_.previous;
        run_ = buffer_.run;
    }
    void Store() const {
        buffer_.length = length_;
        buffer_.previous = previous_;
        buffer_.run = run_;
    }

    RunLengthBuffer& buffer_;
    std::uint8_t* data_;
    int capacity_;
    int length_;
    std::uint8_t previous_;
    std::uint8_t run_;
};

// Appends one unpacked byte through the coder (see PixelByteCoder::Put).
inline void PutPixelByte(RunLengthBuffer& buffer, std::uint8_t b) {
    PixelByteCoder coder(buffer);
    coder.Put(b);
}

// Ends the record's pixel data: writes the coded bytes to file (when given and not
// empty) in one write, then frees the buffer. Returns false when the write failed or
// the buffer ran out of memory (OutOfMemory() tells which).
bool EndPixelData(RunLengthBuffer& buffer, std::FILE* file);
