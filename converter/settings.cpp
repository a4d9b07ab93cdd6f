// The converter's settings operations: the shared ones on section "Settings".
#include "settings.h"

int ReadSettingInt(const char* key, int defaultValue) {
    return ReadSettingInt(CONVERTER_SETTINGS, key, defaultValue);
}

void ReadSettingText(const char* key, const char* defaultValue, char* buffer) {
    ReadSettingText(CONVERTER_SETTINGS, key, defaultValue, buffer);
}

void WriteSettingText(const char* key, const char* value) {
    WriteSettingText(CONVERTER_SETTINGS, key, value);
}
