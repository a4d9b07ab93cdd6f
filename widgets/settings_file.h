// The settings file "zenconv.ini" that each program keeps in its own directory, shared by
// both programs when they lie in one directory, each in its own section. Each call is one
// complete operation on the file; nothing is held open.
#pragma once

#include <cstddef>

inline constexpr const char* SETTINGS_FILE_NAME = "zenconv.ini";
inline constexpr std::size_t SETTING_TEXT_SIZE = 260; // terminator included

// One program's section of its settings file. An empty path means there is no settings
// file (its path did not fit): every key reads as its default and nothing is written.
struct SettingsSection {
    const char* filePath;
    const char* name;
};

// The key's value as an integer, or the default when the file, section or key is missing.
int ReadSettingInt(SettingsSection section, const char* key, int defaultValue);

// The key's text into a buffer of SETTING_TEXT_SIZE bytes, or the default when missing.
void ReadSettingText(SettingsSection section, const char* key, const char* defaultValue,
                     char* buffer);

// Writes the key's text, or its decimal value, creating file, section and key as needed.
// Failures are not reported.
void WriteSettingText(SettingsSection section, const char* key, const char* value);
void WriteSettingInt(SettingsSection section, const char* key, int value);
