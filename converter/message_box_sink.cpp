// The message-box sink for ReportMessage.
#include "message_box_sink.h"

#include "blocking_calls.h"

void ShowMessageInBox(const char* text) {
    PlatformCalls.MessageBoxA(nullptr, text, CONVERTER_CAPTION, MB_ICONEXCLAMATION | MB_OK);
}
