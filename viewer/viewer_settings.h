// The viewer's settings: section "Viewer" of the settings file shared with the converter
// (SettingsFilePath). Each call is one complete operation on the file; nothing is held open.
#pragma once

#include <cstddef>

inline constexpr const char* VIEWER_SECTION = "Viewer";
inline constexpr std::size_t SETTING_TEXT_SIZE = 260; // terminator included

// The key's value as an integer, or the default when the file, section or key is missing.
int ReadViewerInt(const char* key, int defaultValue);

// The key's text into a buffer of SETTING_TEXT_SIZE bytes; empty when missing.
void ReadViewerText(const char* key, char* buffer);

// Writes the key's text or decimal value, creating file, section and key as needed.
// Failures are not reported.
void WriteViewerText(const char* key, const char* value);
void WriteViewerInt(const char* key, int value);
