// ByteSink: where the sequence writer puts a Zentra file's bytes: a file on disk, written
// under a temporary name and renamed when complete (OutputFile), or a block of memory for
// a front end without a file system (the web page).
#pragma once

#include "outcome.h"
#include "output_file.h"
#include "run_length_buffer.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class ByteSink {
  public:
    virtual ~ByteSink() = default;

    // Makes the sink ready for a new file; false when the output cannot be created.
    virtual bool Open() = 0;

    // Appends count bytes.
    virtual bool Write(const std::uint8_t* bytes, std::size_t count) = 0;

    // How many bytes were written so far (where the next Write goes), or nothing when
    // that cannot be told.
    virtual std::optional<std::uint64_t> Size() = 0;

    // Writes count bytes over bytes written before, from offset on; the next Write still
    // appends.
    virtual bool Overwrite(std::uint64_t offset, const std::uint8_t* bytes, std::size_t count) = 0;

    // Completes the file. Until then a failed or abandoned file leaves nothing behind.
    virtual bool Commit() = 0;

    // The output's name, for messages.
    virtual const std::string& Name() const = 0;

    // The outcome `code` for this output, with why the last Open, Write, Overwrite or
    // Commit failed where the system said it.
    virtual Outcome Failure(OutcomeCode code) const { return {.code = code, .file = Name()}; }
};

// A file on disk through OutputFile: nothing appears under the target's name until Commit.
class FileSink final : public ByteSink {
  public:
    explicit FileSink(std::string targetPath, TemporaryFileNotice notice = {})
        : output_(std::move(targetPath), std::move(notice)) {}

    bool Open() override { return output_.Open(); }
    bool Write(const std::uint8_t* bytes, std::size_t count) override;
    std::optional<std::uint64_t> Size() override;
    bool Overwrite(std::uint64_t offset, const std::uint8_t* bytes, std::size_t count) override;
    bool Commit() override { return output_.Commit(); }
    const std::string& Name() const override { return output_.TargetPath(); }
    Outcome Failure(OutcomeCode code) const override {
        return {.code = code,
                .file = Name(),
                .reason = output_.FailureError(),
                .doing = output_.FailedStep()};
    }

  private:
    OutputFile output_;
};

// A file kept in memory: Take hands over its bytes once committed, and nothing before.
class MemorySink final : public ByteSink {
  public:
    explicit MemorySink(std::string name) : name_(std::move(name)) {}

    bool Open() override;
    bool Write(const std::uint8_t* bytes, std::size_t count) override;
    std::optional<std::uint64_t> Size() override { return bytes_.size(); }
    bool Overwrite(std::uint64_t offset, const std::uint8_t* bytes, std::size_t count) override;
    bool Commit() override;
    const std::string& Name() const override { return name_; }

    // The committed file's bytes (empty before Commit), moved out.
    std::vector<std::uint8_t> Take();

  private:
    std::string name_;
    std::vector<std::uint8_t> bytes_;
    bool committed_ = false;
};

// Writes a record's coded pixel data into the sink and ends it as EndPixelData does.
// False when the coder ran out of memory or the sink failed.
bool WritePixelData(RunLengthBuffer& coded, ByteSink& sink);
