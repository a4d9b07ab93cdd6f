// ProgressLine: what a long conversion has done so far, on one line of a terminal that is
// rewritten in place and cleared at the end, so that ztr is not silent for seconds.
#pragma once

#include "convert_images.h"

#include <chrono>
#include <cstdio>
#include <string>

// True when standard error goes to a terminal, where the line is shown.
bool StandardErrorIsTerminal();

class ProgressLine {
  public:
    using Clock = std::chrono::steady_clock;

    // Shows nothing unless `terminal`, and nothing before `delay` has passed from `start`.
    ProgressLine(std::FILE* out, bool terminal, Clock::time_point start,
                 std::chrono::milliseconds delay = std::chrono::seconds(1));
    ~ProgressLine() { Clear(); }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    // Rewrites the line with the progress at `now`, at most ten times a second.
    void Show(const ConversionProgress& progress, Clock::time_point now);

    // Blanks the line, when one is shown: before any other message, and at the end.
    void Clear();

    // "display type 1 of 2, frame 37 of 201", led by "picture 3 of 40, " for a run of
    // several files; a frame count only for sequences of more than one frame.
    static std::string Text(const ConversionProgress& progress);

  private:
    std::FILE* out_;
    bool terminal_;
    Clock::time_point start_;
    std::chrono::milliseconds delay_;
    Clock::time_point written_{};
    std::size_t shown_ = 0; // characters on the line now; 0 when none
};
