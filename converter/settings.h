// The converter's settings: section "Settings" of the settings file "zenconv.ini"
// (SettingsFilePath), read and written through the shared settings operations.
#pragma once

#include "program_values.h"
#include "settings_file.h"

inline constexpr SettingsSection CONVERTER_SETTINGS{SettingsFilePath, "Settings"};

// The key's value as an integer, or the default when the file, section or key is missing.
int ReadSettingInt(const char* key, int defaultValue);

// The key's text into a buffer of SETTING_TEXT_SIZE bytes, or the default when missing.
void ReadSettingText(const char* key, const char* defaultValue, char* buffer);

// Writes the key's text, creating file, section and key as needed. Failures are not reported.
void WriteSettingText(const char* key, const char* value);
