// Fuzz target: the run-length coder. Arbitrary bytes are coded through the writer's
// coder into a file and decoded back with the viewer's unpacking, byte by byte and in
// bulk; both must give back the input exactly and use up exactly the coded bytes.
#include "byte_reader.h"
#include "fuzz_support.h"
#include "output_file.h"
#include "run_length_buffer.h"
#include "unpack_byte.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = fuzz::ScratchPath("coded.bin");
    {
        FilePointer file(std::fopen(path.c_str(), "wb"));
        fuzz::Require(file != nullptr, "scratch file opens");
        RunLengthBuffer coded;
        BeginPixelData(coded);
        for (std::size_t i = 0; i < size; ++i) {
            PutPixelByte(coded, data[i]);
        }
        fuzz::Require(EndPixelData(coded, file.get()), "coded bytes written");
    }

    ByteReader single;
    fuzz::Require(single.Open(path), "coded file opens");
    UnpackState state;
    for (std::size_t i = 0; i < size; ++i) {
        fuzz::Require(UnpackByte(single, state) == data[i], "byte-wise decoding gives the input");
    }
    fuzz::Require(single.ReadByte() < 0, "byte-wise decoding uses every coded byte");

    ByteReader bulk;
    fuzz::Require(bulk.Open(path), "coded file opens");
    UnpackState bulkState;
    std::vector<std::uint8_t> decoded(size);
    UnpackBytes(bulk, bulkState, decoded.data(), decoded.size());
    fuzz::Require(std::equal(decoded.begin(), decoded.end(), data),
                  "bulk decoding gives the input");
    fuzz::Require(bulk.ReadByte() < 0, "bulk decoding uses every coded byte");
    return 0;
}
