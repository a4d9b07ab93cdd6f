// Where the converter's engine messages go: a message box captioned "Zenconv", with the
// warning icon and an OK button, shown until the user dismisses it.
#pragma once

#include "report_message.h"

inline constexpr const char* CONVERTER_CAPTION = "Zenconv";

// Shows the text in a message box owned by the window the context names (an HWND, or
// null for none).
void ShowMessageInBox(void* owner, const char* text);

// The sink the converter hands the engine. Its boxes have no owner window, so the dialog
// stays enabled while one is shown; the dialog's busy state refuses commands meanwhile.
inline MessageSink EngineMessageSink() {
    return {ShowMessageInBox, nullptr};
}
