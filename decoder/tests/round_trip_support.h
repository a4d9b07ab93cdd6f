// What the round-trip tests share: a type code described for failure messages, the
// codings every round trip is made in, and an animation converted by the writer and
// checked frame by frame, built up.
#pragma once

#include "convert_images.h"
#include "decode_record.h"
#include "test_file.h"
#include "type_code.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

// Every conversion of the round trips is made in each coding.
inline constexpr CodingChoice ROUND_TRIP_CODINGS[] = {CodingChoice::RunLength, CodingChoice::Squash,
                                                      CodingChoice::Auto};

inline ConversionContext ContextFor(CodingChoice coding) {
    ConversionContext context;
    context.coding = coding;
    return context;
}

inline std::string Describe(std::uint32_t code) {
    return "layout " + std::to_string(TypeCodeLayout(code)) + " depth " +
           std::to_string(TypeCodeDepth(code));
}

// Decodes record `index` (built up when asked) into the bitmap and checks that it shows
// a width x height picture at the depth; false after a reported failure.
inline bool DecodeShown(const std::string& file, int index, bool buildUp, int width, int height,
                        int depth, const std::string& what, DisplayBitmap& bitmap) {
    DecodeRecord(file, index, buildUp, bitmap);
    const bool shown = bitmap.pixels.has_value() && bitmap.width == width &&
                       bitmap.height == height && bitmap.depth == depth;
    if (!shown) {
        ADD_FAILURE() << what << ": decoded " << bitmap.width << " x " << bitmap.height
                      << " at depth " << bitmap.depth
                      << (bitmap.pixels.has_value() ? "" : " without pixels") << ", expected "
                      << width << " x " << height << " at depth " << depth;
    }
    return shown;
}

// A raw PGM ("P5") or PPM ("P6") file of the samples, maxval 255.
inline std::string WriteRawPnm(const TempFolder& folder, const std::string& name, const char* magic,
                               int width, int height, const Bytes& samples) {
    const std::string head = std::string(magic) + "\n" + std::to_string(width) + " " +
                             std::to_string(height) + "\n255\n";
    Bytes bytes(head.begin(), head.end());
    bytes.insert(bytes.end(), samples.begin(), samples.end());
    return folder.Write(name, bytes);
}

// Type codes of the depths in every order, each plain, reversed, with inverted Y-axis
// and with both.
inline std::vector<std::uint32_t> EveryOrderAndFlag(std::initializer_list<std::uint8_t> depths) {
    std::vector<std::uint32_t> codes;
    for (const std::uint8_t depth : depths) {
        for (std::uint8_t order = 0; order < 4; ++order) {
            for (const std::uint8_t flags : {0x00, 0x04, 0x10, 0x14}) {
                codes.push_back(MakeTypeCode(static_cast<std::uint8_t>(order | flags), depth));
            }
        }
    }
    return codes;
}

// For a 13 x 11 and a 3 x 17 animation of makeFrames(width, height): writes every frame
// with write(folder, name, frame) (which returns its path; names frame0, frame1 ... plus
// extension), converts them as one animation for all the codes in every coding, and has
// expect(file, index, true, depth, frame, what) check every record built up against the
// frame it completes.
template <typename MakeFrames, typename Write, typename Expect>
void ExpectAnimationsBuildUp(const std::vector<std::uint32_t>& codes, const std::string& extension,
                             MakeFrames makeFrames, Write write, Expect expect) {
    for (const auto& [width, height] : {std::pair{13, 11}, {3, 17}}) {
        for (const CodingChoice coding : ROUND_TRIP_CODINGS) {
            const auto frames = makeFrames(width, height);
            TempFolder folder;
            std::vector<std::string> paths;
            for (std::size_t k = 0; k < frames.size(); ++k) {
                paths.push_back(write(folder, "frame" + std::to_string(k) + extension, frames[k]));
            }
            ASSERT_EQ(WritePicturesAsFrames(paths, codes, 40, ContextFor(coding)), Outcome{});
            const std::string file = (folder.Path() / "frame0.ztr").string();
            const std::string size = std::to_string(width) + " x " + std::to_string(height) + ", " +
                                     CodingChoiceWord(coding);
            for (std::size_t t = 0; t < codes.size(); ++t) {
                for (std::size_t k = 0; k < frames.size(); ++k) {
                    expect(file, static_cast<int>(t * frames.size() + k), true,
                           TypeCodeDepth(codes[t]), frames[k],
                           Describe(codes[t]) + ", " + size + ", frame " + std::to_string(k));
                }
            }
        }
    }
}
