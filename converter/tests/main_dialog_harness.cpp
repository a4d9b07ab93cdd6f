// The main dialog's test harness.
#include "main_dialog_harness.h"

#include "convert_command.h"
#include "convert_images.h"
#include "display_profiles.h"
#include "main_dialog.h"
#include "program_values.h"

#include <fstream>
#include <iterator>

namespace {

int HarnessCount = 0;

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

} // namespace

MainDialogHarness::MainDialogHarness(std::optional<std::string> profiles,
                                     std::optional<std::string> settings) {
    folder = std::filesystem::temp_directory_path() /
             ("zentra dialog " + std::to_string(GetCurrentProcessId()) + " " +
              std::to_string(++HarnessCount));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    if (profiles) {
        WriteFile(folder / "displays.prf", *profiles);
    }
    if (settings) {
        WriteFile(folder / "zenconv.ini", *settings);
    }
    ProgramInstance = GetModuleHandleA(nullptr);
    SetProgramPaths((folder.string() + "\\zenconv.exe").c_str());
    if (TypeMenu == nullptr) {
        TypeMenu = LoadMenuA(ProgramInstance, "ZenconvMenu");
    }
}

MainDialogHarness::~MainDialogHarness() {
    if (dialog != nullptr && IsWindow(dialog)) {
        DestroyWindow(dialog);
    }
    std::filesystem::remove_all(folder);
}

HWND MainDialogHarness::Open(const std::vector<std::string>* startPictures) {
    dialog = CreateDialogParamA(ProgramInstance, "ZenconvMain", nullptr, MainDialogProc,
                                reinterpret_cast<LPARAM>(startPictures));
    if (dialog != nullptr) {
        ShowWindow(dialog, SW_SHOW);
        PumpMessages(dialog);
    }
    return dialog;
}

std::string MainDialogHarness::SettingsText() const {
    std::ifstream in(folder / "zenconv.ini", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> ListTexts(HWND dialog, int id) {
    std::vector<std::string> texts;
    const LRESULT count = SendDlgItemMessageA(dialog, id, LB_GETCOUNT, 0, 0);
    for (int index = 0; index < count; ++index) {
        char text[512] = "";
        SendDlgItemMessageA(dialog, id, LB_GETTEXT, static_cast<WPARAM>(index),
                            reinterpret_cast<LPARAM>(text));
        texts.emplace_back(text);
    }
    return texts;
}

std::vector<LONG_PTR> ListData(HWND dialog, int id) {
    std::vector<LONG_PTR> data;
    const LRESULT count = SendDlgItemMessageA(dialog, id, LB_GETCOUNT, 0, 0);
    for (int index = 0; index < count; ++index) {
        data.push_back(static_cast<LONG_PTR>(
            SendDlgItemMessageA(dialog, id, LB_GETITEMDATA, static_cast<WPARAM>(index), 0)));
    }
    return data;
}

std::string ControlText(HWND dialog, int id) {
    char text[512] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

void PumpMessages(HWND dialog) {
    // A few rounds: a handled key may post the watcher's message, which needs another.
    for (int round = 0; round < 4; ++round) {
        MSG message{};
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (!IsDialogMessageA(dialog, &message)) {
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
        }
        Sleep(10);
    }
}

void SendCommand(HWND dialog, int command, int notification) {
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(command, notification),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, command)));
}

// --- open-file dialog ------------------------------------------------------------------

std::vector<RecordedOpenFile> ScriptedOpenFile::Calls;

namespace {

std::string ScriptedSelection;
bool ScriptedAccept = true;
HWND ScriptedOwner = nullptr;

BOOL WINAPI AnswerOpenFileName(LPOPENFILENAMEA data) {
    std::string filter;
    if (data->lpstrFilter != nullptr) {
        const char* p = data->lpstrFilter;
        while (*p != '\0') {
            const std::string part(p);
            filter += part;
            filter += '\0';
            p += part.size() + 1;
        }
    }
    ScriptedOpenFile::Calls.push_back(
        {data->hwndOwner == ScriptedOwner && ScriptedOwner != nullptr, filter, data->nFilterIndex,
         data->nMaxFile, data->lpstrInitialDir != nullptr ? data->lpstrInitialDir : "(null)",
         data->Flags, data->lpstrTitle != nullptr});
    if (!ScriptedAccept || ScriptedSelection.size() > data->nMaxFile) {
        return FALSE;
    }
    std::copy(ScriptedSelection.begin(), ScriptedSelection.end(), data->lpstrFile);
    return TRUE;
}

} // namespace

ScriptedOpenFile::ScriptedOpenFile(HWND dialog, std::string selection, bool accept) {
    Calls.clear();
    ScriptedOwner = dialog;
    ScriptedSelection = std::move(selection);
    ScriptedAccept = accept;
    PlatformCalls.GetOpenFileNameA = AnswerOpenFileName;
}

ScriptedOpenFile::~ScriptedOpenFile() {
    PlatformCalls.GetOpenFileNameA = RealBlockingCalls().GetOpenFileNameA;
}

// --- writer ----------------------------------------------------------------------------

std::vector<RecordedConversion> ConversionRecorder::Calls;
std::vector<Outcome> ConversionRecorder::Results;
void (*ConversionRecorder::DuringCall)() = nullptr;

namespace {

Outcome RecordConversion(const ConversionRequest& request,
                         const ConversionEnvironment& /*environment*/) {
    const std::size_t call = ConversionRecorder::Calls.size();
    std::vector<std::string> paths;
    for (const RequestPicture& picture : request.pictures) {
        paths.push_back(picture.name);
    }
    std::vector<std::uint32_t> codes;
    for (const DisplayTarget& target : request.targets) {
        codes.push_back(target.typeCode);
    }
    ConversionRecorder::Calls.push_back({paths, codes, request.animation, request.delay.value_or(0),
                                         BlockingRecorder::MessageBoxes.size()});
    if (ConversionRecorder::DuringCall != nullptr) {
        ConversionRecorder::DuringCall();
    }
    return call < ConversionRecorder::Results.size() ? ConversionRecorder::Results[call]
                                                     : Outcome{};
}

} // namespace

ConversionRecorder::ConversionRecorder(std::vector<Outcome> results) {
    Calls.clear();
    Results = std::move(results);
    DuringCall = nullptr;
    ConvertPictures = RecordConversion;
}

ConversionRecorder::~ConversionRecorder() {
    ConvertPictures = RunConversion;
    DuringCall = nullptr;
}

// --- popup menu ------------------------------------------------------------------------

std::vector<RecordedPopup> ScriptedPopup::Calls;
UINT ScriptedPopup::Choice = 0;

namespace {

BOOL WINAPI AnswerPopup(HMENU menu, UINT flags, int x, int y, int, HWND owner, const RECT*) {
    RecordedPopup popup{{}, flags, x, y, owner};
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        char text[300] = "";
        GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
        popup.items.emplace_back(GetMenuItemID(menu, position), text);
    }
    ScriptedPopup::Calls.push_back(popup);
    if (ScriptedPopup::Choice != 0) {
        PostMessageA(owner, WM_COMMAND, MAKEWPARAM(ScriptedPopup::Choice, 0), 0);
    }
    return TRUE;
}

} // namespace

ScriptedPopup::ScriptedPopup(UINT choice) {
    Calls.clear();
    Choice = choice;
    PlatformCalls.TrackPopupMenu = AnswerPopup;
}

ScriptedPopup::~ScriptedPopup() {
    PlatformCalls.TrackPopupMenu = RealBlockingCalls().TrackPopupMenu;
}
