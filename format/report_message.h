// ReportMessage: the engine's only message output. The engine formats console-style
// lines ("ERROR: ...\n"); the program decides where they go by installing a sink:
// the converter shows a message box, ztr writes to standard error, tests record them.
#pragma once

#include <cstddef>
#include <cstdio>

inline constexpr std::size_t REPORT_BUFFER_SIZE = 1024; // terminator included

using MessageSink = void (*)(const char* text);

// Installs the sink for all further reports and returns the previous one. A null sink
// restores the default, which writes the text to standard error.
MessageSink SetMessageSink(MessageSink sink);

// Formats into a 1024-byte buffer (longer texts are cut) and hands the text to the sink.
// The stream is part of the call's form only; the text never goes there.
void ReportMessage(std::FILE* stream, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;
