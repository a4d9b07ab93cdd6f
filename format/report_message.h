// ReportMessage: the engine's only message output. The engine hands outcomes (outcome.h),
// or console-style lines ("ERROR: ...\n") it formats, to the sink its caller passes in: the
// converter shows a message box, ztr writes to standard error, the page and tests record them.
#pragma once

#include "outcome.h"

#include <cstddef>
#include <cstdio>
#include <utility>

inline constexpr std::size_t REPORT_BUFFER_SIZE = 1024; // terminator included

// Where messages go: a function and the context it needs (an owner window, a list that
// records the texts). The default writes the text to standard error.
struct MessageSink {
    void (*show)(void* context, const char* text) = WriteToStandardError;
    void* context = nullptr;
    // Takes outcomes as they are, for callers that read them (the page, tests); when null,
    // an outcome's text (OutcomeText) goes to `show`.
    void (*take)(void* context, const Outcome& outcome) = nullptr;

    static void WriteToStandardError(void* context, const char* text);
};

// Formats into a 1024-byte buffer (longer texts are cut) and hands the text to the sink.
void ReportMessage(const MessageSink& sink, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

// Hands the outcome to the sink: as it is, or as its text (cut as ReportMessage cuts it).
// Nothing for Done.
void ReportOutcome(const MessageSink& sink, const Outcome& outcome);

// Passes texts and outcomes on to another sink and keeps the first failure (IsFailure)
// among the outcomes: what a call that failed through a reader of its own returns.
class FailureRecorder {
  public:
    explicit FailureRecorder(const MessageSink& next) : next_(next) {}
    FailureRecorder(const FailureRecorder&) = delete;
    FailureRecorder& operator=(const FailureRecorder&) = delete;

    // The sink to hand to the call; valid while the recorder lives.
    MessageSink Sink() { return {.show = Show, .context = this, .take = Take}; }

    // The first failure passed on, else `otherwise`.
    Outcome FirstFailure(Outcome otherwise) const {
        return first_.Ok() ? std::move(otherwise) : first_;
    }

  private:
    static void Show(void* context, const char* text);
    static void Take(void* context, const Outcome& outcome);

    MessageSink next_;
    Outcome first_{};
};
