// A byte sink that keeps nothing: the packer benchmarks time the coding of a record's
// pixel data, not the writing of a file, so the coded bytes are counted and dropped.
#pragma once

#include "byte_sink.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

class DiscardSink final : public ByteSink {
  public:
    bool Open() override {
        size_ = 0;
        return true;
    }
    bool Write(const std::uint8_t*, std::size_t count) override {
        size_ += count;
        return true;
    }
    std::optional<std::uint64_t> Size() override { return size_; }
    bool Overwrite(std::uint64_t, const std::uint8_t*, std::size_t) override { return true; }
    bool Commit() override { return true; }
    const std::string& Name() const override { return name_; }

  private:
    std::uint64_t size_ = 0;
    std::string name_ = "(discarded)";
};
