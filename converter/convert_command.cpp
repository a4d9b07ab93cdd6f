// The conversion command. The writer runs synchronously here; the messages are owned by the
// dialog, captioned "Zenconv", with an OK button and no icon.
#include "convert_command.h"

#include "blocking_calls.h"
#include "dialog_request.h"
#include "file_list.h"
#include "message_box_sink.h"
#include "options_settings.h"
#include "parse_integer.h"
#include "resource.h"
#include "type_code.h"

#include <new>

ConvertPicturesFunction ConvertPictures = RunConversion;

namespace {

void ShowDialogMessage(HWND dialog, const char* text) {
    PlatformCalls.MessageBoxA(dialog, text, CONVERTER_CAPTION, MB_OK);
}

std::vector<std::uint32_t> TypeCodesOf(HWND typeList) {
    const LRESULT count = SendMessageA(typeList, LB_GETCOUNT, 0, 0);
    std::vector<std::uint32_t> codes;
    codes.reserve(static_cast<std::size_t>(count));
    for (int index = 0; index < count; ++index) {
        codes.push_back(static_cast<std::uint32_t>(
            SendMessageA(typeList, LB_GETITEMDATA, static_cast<WPARAM>(index), 0)));
    }
    return codes;
}

// The profile of each listed type (the first profile whose text and type code the item
// has), or null.
std::vector<const DisplayProfile*> TypeProfilesOf(HWND typeList,
                                                  const std::vector<std::uint32_t>& codes,
                                                  const DisplayProfileList& profiles) {
    std::vector<const DisplayProfile*> found(codes.size(), nullptr);
    for (std::size_t index = 0; index < codes.size(); ++index) {
        const LRESULT length = SendMessageA(typeList, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
        if (length < 0) {
            continue;
        }
        std::string text(static_cast<std::size_t>(length) + 1, '\0');
        text.resize(
            static_cast<std::size_t>(SendMessageA(typeList, LB_GETTEXT, static_cast<WPARAM>(index),
                                                  reinterpret_cast<LPARAM>(text.data()))));
        for (const DisplayProfile& profile : profiles) {
            if (ProfileText(profile) == text &&
                MakeTypeCode(profile.layout, profile.depth) == codes[index]) {
                found[index] = &profile;
                break;
            }
        }
    }
    return found;
}

} // namespace

std::optional<unsigned int> ReadDelayField(HWND dialog) {
    HWND field = GetDlgItem(dialog, IDC_DELAY);
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(field)) + 1, '\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextA(field, text.data(), static_cast<int>(text.size()))));
    if (text.empty()) {
        return 0;
    }
    const auto value = ParseInteger(text, IntegerStyle::Decimal, 0, UINT32_MAX);
    if (!value) {
        return std::nullopt;
    }
    return static_cast<unsigned int>(*value);
}

void ConvertLists(HWND dialog, const DisplayProfileList& loadedProfiles) {
    HWND fileList = GetDlgItem(dialog, IDC_FILE_LIST);
    HWND typeList = GetDlgItem(dialog, IDC_TYPE_LIST);
    if (SendMessageA(fileList, LB_GETCOUNT, 0, 0) <= 0) {
        ShowDialogMessage(dialog, NO_SOURCE_FILES_TEXT);
        return;
    }
    if (SendMessageA(typeList, LB_GETCOUNT, 0, 0) <= 0) {
        ShowDialogMessage(dialog, NO_TARGET_TYPES_TEXT);
        return;
    }
    const bool animation = IsDlgButtonChecked(dialog, IDC_ANIMATION) == BST_CHECKED;
    std::vector<std::uint32_t> codes;
    std::vector<std::string> paths;
    std::vector<const DisplayProfile*> profiles;
    try {
        codes = TypeCodesOf(typeList);
        paths = FileListPaths(fileList);
        profiles = TypeProfilesOf(typeList, codes, loadedProfiles);
        for (const DisplayProfile* profile : profiles) {
            // A profile whose settings cannot be read converts nothing.
            if (profile != nullptr && !profile->unusable.empty()) {
                const std::string text =
                    "Display type '" + profile->name + "': " + profile->unusable + ".";
                PlatformCalls.MessageBoxA(dialog, text.c_str(), CONVERTER_CAPTION,
                                          MB_OK | MB_ICONEXCLAMATION);
                return;
            }
        }
    } catch (const std::bad_alloc&) {
        ShowDialogMessage(dialog, INSUFFICIENT_MEMORY_TEXT);
        return;
    }
    // Only an animation stores the delay; one that does not fit its 16 bits is refused.
    int delay = 0;
    if (animation) {
        const std::optional<unsigned int> field = ReadDelayField(dialog);
        if (!field || !DelayFits(*field)) {
            PlatformCalls.MessageBoxA(dialog, DELAY_RANGE_TEXT.c_str(), CONVERTER_CAPTION,
                                      MB_OK | MB_ICONEXCLAMATION);
            return;
        }
        delay = static_cast<int>(*field);
    }
    // The result is not looked at: every failure has been shown already. The Options
    // dialog's choices apply to both modes.
    ConversionEnvironment environment;
    environment.sink = EngineMessageSink();
    ConvertPictures(DialogRequest(paths, codes, profiles, animation, delay, ReadToneOptions(),
                                  ReadCodingChoice()),
                    environment);
    ShowDialogMessage(dialog, FINISHED_TEXT);
}
