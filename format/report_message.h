// ReportMessage: the engine's only message output. The engine formats console-style
// lines ("ERROR: ...\n") and hands them to the sink its caller passes in: the converter
// shows a message box, ztr writes to standard error, tests record them.
#pragma once

#include <cstddef>
#include <cstdio>

inline constexpr std::size_t REPORT_BUFFER_SIZE = 1024; // terminator included

// Where messages go: a function and the context it needs (an owner window, a list that
// records the texts). The default writes the text to standard error.
struct MessageSink {
    void (*show)(void* context, const char* text) = WriteToStandardError;
    void* context = nullptr;

    static void WriteToStandardError(void* context, const char* text);
};

// Formats into a 1024-byte buffer (longer texts are cut) and hands the text to the sink.
void ReportMessage(const MessageSink& sink, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;
