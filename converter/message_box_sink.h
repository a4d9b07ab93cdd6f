// Where the converter's engine messages go: a message box with no owner, caption
// "Zenconv", the warning icon and an OK button, shown until the user dismisses it.
#pragma once

inline constexpr const char* CONVERTER_CAPTION = "Zenconv";

// The message sink installed with SetMessageSink at start-up.
void ShowMessageInBox(const char* text);
