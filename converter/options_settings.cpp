// The [Options] section, read and written with the platform's private-profile functions.
#include "options_settings.h"

#include "program_values.h"
#include "settings.h"
#include "tone_settings.h"

#include <windows.h>

ToneOptions ReadToneOptions() {
    ToneOptions options;
    for (const char* key : TONE_KEYS) {
        char text[SETTING_TEXT_SIZE] = "";
        constexpr const char* MISSING = "\x01";
        GetPrivateProfileStringA(OPTIONS_SECTION, key, MISSING, text,
                                 static_cast<DWORD>(sizeof text), SettingsFilePath);
        if (std::string(text) != MISSING) {
            ToneOptions changed = options;
            if (ApplyToneSetting(key, text, changed)) {
                options = changed;
            }
        }
    }
    return options;
}

void WriteToneOptions(const ToneOptions& options) {
    for (const auto& [key, text] : ToneSettings(options)) {
        WritePrivateProfileStringA(OPTIONS_SECTION, key.c_str(), text.c_str(), SettingsFilePath);
    }
}

CodingChoice ReadCodingChoice() {
    char text[SETTING_TEXT_SIZE] = "";
    GetPrivateProfileStringA(OPTIONS_SECTION, CODING_KEY, "", text, static_cast<DWORD>(sizeof text),
                             SettingsFilePath);
    return ParseCodingChoice(text).value_or(CodingChoice::RunLength);
}

void WriteCodingChoice(CodingChoice choice) {
    WritePrivateProfileStringA(OPTIONS_SECTION, CODING_KEY, CodingChoiceWord(choice),
                               SettingsFilePath);
}
