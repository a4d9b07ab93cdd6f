// The message seam: formatting into the fixed buffer, and the replaceable sink.
#include "report_message.h"

#include <cstdarg>

namespace {

void WriteToStandardError(const char* text) {
    std::fputs(text, stderr);
    std::fflush(stderr);
}

MessageSink CurrentSink = WriteToStandardError;

} // namespace

MessageSink SetMessageSink(MessageSink sink) {
    MessageSink previous = CurrentSink;
    CurrentSink = sink != nullptr ? sink : WriteToStandardError;
    return previous;
}

void ReportMessage(std::FILE* /*stream*/, const char* format, ...) {
    char text[REPORT_BUFFER_SIZE];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    CurrentSink(text);
}
