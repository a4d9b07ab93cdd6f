// The settings operations, on the platform's private-profile (INI) functions.
#include "settings.h"

#include "program_values.h"

#include <windows.h>

int ReadSettingInt(const char* key, int defaultValue) {
    return static_cast<int>(
        GetPrivateProfileIntA(SETTINGS_SECTION, key, defaultValue, SettingsFilePath));
}

void ReadSettingText(const char* key, const char* defaultValue, char* buffer) {
    GetPrivateProfileStringA(SETTINGS_SECTION, key, defaultValue, buffer,
                             static_cast<DWORD>(SETTING_TEXT_SIZE), SettingsFilePath);
}

void WriteSettingText(const char* key, const char* value) {
    WritePrivateProfileStringA(SETTINGS_SECTION, key, value, SettingsFilePath);
}
