// The settings operations, on the platform's private-profile (INI) functions.
#include "settings_file.h"

#include <windows.h>

#include <cstdio>

int ReadSettingInt(SettingsSection section, const char* key, int defaultValue) {
    if (section.filePath[0] == '\0') {
        return defaultValue;
    }
    return static_cast<int>(
        GetPrivateProfileIntA(section.name, key, defaultValue, section.filePath));
}

void ReadSettingText(SettingsSection section, const char* key, const char* defaultValue,
                     char* buffer) {
    if (section.filePath[0] == '\0') {
        std::snprintf(buffer, SETTING_TEXT_SIZE, "%s", defaultValue);
        return;
    }
    GetPrivateProfileStringA(section.name, key, defaultValue, buffer,
                             static_cast<DWORD>(SETTING_TEXT_SIZE), section.filePath);
}

void WriteSettingText(SettingsSection section, const char* key, const char* value) {
    if (section.filePath[0] == '\0') {
        return;
    }
    WritePrivateProfileStringA(section.name, key, value, section.filePath);
}

void WriteSettingInt(SettingsSection section, const char* key, int value) {
    char text[16] = "";
    std::snprintf(text, sizeof text, "%d", value);
    WriteSettingText(section, key, text);
}
