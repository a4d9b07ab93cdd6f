// The message seam: formatting into the fixed buffer, then the caller's sink.
#include "report_message.h"

#include <cstdarg>

void MessageSink::WriteToStandardError(void* /*context*/, const char* text) {
    std::fputs(text, stderr);
    std::fflush(stderr);
}

void ReportMessage(const MessageSink& sink, const char* format, ...) {
    char text[REPORT_BUFFER_SIZE];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    sink.show(sink.context, text);
}

void ReportOutcome(const MessageSink& sink, const Outcome& outcome) {
    if (outcome.Ok()) {
        return;
    }
    if (sink.take != nullptr) {
        sink.take(sink.context, outcome);
        return;
    }
    ReportMessage(sink, "%s", OutcomeText(outcome).c_str());
}

void FailureRecorder::Show(void* context, const char* text) {
    const MessageSink& next = static_cast<FailureRecorder*>(context)->next_;
    next.show(next.context, text);
}

void FailureRecorder::Take(void* context, const Outcome& outcome) {
    auto* recorder = static_cast<FailureRecorder*>(context);
    if (recorder->first_.Ok() && IsFailure(outcome.code)) {
        recorder->first_ = outcome;
    }
    ReportOutcome(recorder->next_, outcome);
}
