// The settings operations, on the platform's private-profile (INI) functions.
#include "viewer_settings.h"

#include "program_values.h"

#include <windows.h>

#include <cstdio>

int ReadViewerInt(const char* key, int defaultValue) {
    if (SettingsFilePath[0] == '\0') {
        return defaultValue;
    }
    return static_cast<int>(
        GetPrivateProfileIntA(VIEWER_SECTION, key, defaultValue, SettingsFilePath));
}

void ReadViewerText(const char* key, char* buffer) {
    buffer[0] = '\0';
    if (SettingsFilePath[0] == '\0') {
        return;
    }
    GetPrivateProfileStringA(VIEWER_SECTION, key, "", buffer, static_cast<DWORD>(SETTING_TEXT_SIZE),
                             SettingsFilePath);
}

void WriteViewerText(const char* key, const char* value) {
    if (SettingsFilePath[0] == '\0') {
        return;
    }
    WritePrivateProfileStringA(VIEWER_SECTION, key, value, SettingsFilePath);
}

void WriteViewerInt(const char* key, int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    WriteViewerText(key, text);
}
