// The message-box sink for ReportMessage.
#include "message_box_sink.h"

#include "blocking_calls.h"

void ShowMessageInBox(void* owner, const char* text) {
    PlatformCalls.MessageBoxA(static_cast<HWND>(owner), text, CONVERTER_CAPTION,
                              MB_ICONEXCLAMATION | MB_OK);
}
