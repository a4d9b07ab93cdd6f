// The Options dialog's procedure: the switch only routes. The controls show the saved
// options when the dialog opens; OK checks the numbers, saves and closes; Cancel closes.
#include "options_dialog.h"

#include "blocking_calls.h"
#include "dither_methods.h"
#include "file_dialog.h"
#include "message_box_sink.h"
#include "options_settings.h"
#include "palette.h"
#include "program_values.h"
#include "resource.h"
#include "tone_settings.h"

#include <array>
#include <iterator>
#include <string>

namespace {

// The combo boxes' items, in the order of the values they stand for.
constexpr std::array<const char*, 2> TONE_ITEMS = {"Colour-table index", "Luminance"};
constexpr std::array<const char*, 2> BACKGROUND_ITEMS = {"White", "Black"};
constexpr std::array<const char*, 3> FIT_ITEMS = {"Contain", "Cover", "Stretch"};
constexpr std::array<const char*, 4> ROTATE_ITEMS = {"None", "90", "180", "270"};
// In the order of CodingChoice.
constexpr std::array<const char*, 3> CODING_ITEMS = {
    "Run-length (every reader)", "Squash (smaller, ZTR_SQUASH)", "Auto (the smaller of both)"};

template <std::size_t N>
void FillCombo(HWND dialog, int id, const std::array<const char*, N>& items, int selected) {
    HWND combo = GetDlgItem(dialog, id);
    for (const char* item : items) {
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    }
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

// The dithering list: the methods' labels in the table's order, the chosen one selected.
void FillDitherCombo(HWND dialog, Dither chosen) {
    HWND combo = GetDlgItem(dialog, IDC_OPT_DITHER);
    int selected = 0;
    int index = 0;
    for (const DitherMethod& method : DITHER_METHODS) {
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(method.label));
        selected = method.dither == chosen ? index : selected;
        ++index;
    }
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

int ComboChoice(HWND dialog, int id) {
    const LRESULT selected = SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0);
    return selected < 0 ? 0 : static_cast<int>(selected);
}

void Check(HWND dialog, int id, bool checked) {
    CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

bool Checked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

// The palette field's text: empty for "(none)".
std::string PaletteText(HWND dialog) {
    char text[MAX_PATH + 1] = "";
    GetDlgItemTextA(dialog, IDC_OPT_PALETTE, text, static_cast<int>(sizeof text));
    const std::string palette = text;
    return palette == NO_PALETTE_ITEM ? std::string() : palette;
}

void ShowPalette(HWND dialog, const std::string& palette) {
    HWND combo = GetDlgItem(dialog, IDC_OPT_PALETTE);
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(NO_PALETTE_ITEM));
    for (const NamedPalette& palette : BuiltInPalettes()) {
        const std::string name(palette.name);
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    }
    SetWindowTextA(combo, palette.empty() ? NO_PALETTE_ITEM : palette.c_str());
}

// "Browse...": a palette file's path goes into the palette field.
void BrowsePalette(HWND dialog) {
    char path[MAX_PATH + 1] = "";
    OPENFILENAMEA data = FileDialogData(dialog, PALETTE_FILTERS, path, sizeof path);
    data.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST;
    if (PlatformCalls.GetOpenFileNameA(&data)) {
        SetDlgItemTextA(dialog, IDC_OPT_PALETTE, path);
    }
}

// The threshold field follows "Automatic", the size fields follow "Resize to", the colours
// field follows "Adaptive".
void EnableDependentFields(HWND dialog) {
    EnableWindow(GetDlgItem(dialog, IDC_OPT_THRESHOLD), !Checked(dialog, IDC_OPT_AUTO_THRESHOLD));
    const BOOL resize = Checked(dialog, IDC_OPT_RESIZE) ? TRUE : FALSE;
    EnableWindow(GetDlgItem(dialog, IDC_OPT_WIDTH), resize);
    EnableWindow(GetDlgItem(dialog, IDC_OPT_HEIGHT), resize);
    EnableWindow(GetDlgItem(dialog, IDC_OPT_FIT), resize);
    EnableWindow(GetDlgItem(dialog, IDC_OPT_COLOURS), Checked(dialog, IDC_OPT_ADAPTIVE));
}

INT_PTR OnInitDialog(HWND dialog) {
    const ToneOptions options = ReadToneOptions();
    FillCombo(dialog, IDC_OPT_TONE, TONE_ITEMS, options.source == ToneSource::Luminance ? 1 : 0);
    FillCombo(dialog, IDC_OPT_BACKGROUND, BACKGROUND_ITEMS, options.background == 0 ? 1 : 0);
    SetDlgItemInt(dialog, IDC_OPT_THRESHOLD, static_cast<UINT>(options.threshold), FALSE);
    Check(dialog, IDC_OPT_AUTO_THRESHOLD, options.autoThreshold);
    FillDitherCombo(dialog, options.dither);
    Check(dialog, IDC_OPT_INVERT, options.invert);
    Check(dialog, IDC_OPT_RESIZE, options.resizeWidth > 0);
    if (options.resizeWidth > 0) {
        SetDlgItemInt(dialog, IDC_OPT_WIDTH, static_cast<UINT>(options.resizeWidth), FALSE);
        SetDlgItemInt(dialog, IDC_OPT_HEIGHT, static_cast<UINT>(options.resizeHeight), FALSE);
    }
    FillCombo(dialog, IDC_OPT_FIT, FIT_ITEMS, static_cast<int>(options.fit));
    FillCombo(dialog, IDC_OPT_ROTATE, ROTATE_ITEMS, options.rotate / 90);
    Check(dialog, IDC_OPT_MIRROR_X, options.mirrorX);
    Check(dialog, IDC_OPT_MIRROR_Y, options.mirrorY);
    ShowPalette(dialog, options.palette);
    Check(dialog, IDC_OPT_ADAPTIVE, options.colours > 0);
    SetDlgItemInt(dialog, IDC_OPT_COLOURS,
                  static_cast<UINT>(options.colours > 0 ? options.colours : 16), FALSE);
    for (const auto& [key, text] : ToneSettings(options)) {
        if (key == "saturation") {
            SetDlgItemTextA(dialog, IDC_OPT_SATURATION, text.c_str());
        }
    }
    FillCombo(dialog, IDC_OPT_CODING, CODING_ITEMS, static_cast<int>(ReadCodingChoice()));
    EnableDependentFields(dialog);
    return TRUE;
}

// A field's number when it holds one from low to high.
bool FieldNumber(HWND dialog, int id, int low, int high, int& value) {
    BOOL translated = FALSE;
    const UINT number = GetDlgItemInt(dialog, id, &translated, FALSE);
    if (!translated || number < static_cast<UINT>(low) || number > static_cast<UINT>(high)) {
        return false;
    }
    value = static_cast<int>(number);
    return true;
}

void Warn(HWND dialog, const char* text) {
    PlatformCalls.MessageBoxA(dialog, text, CONVERTER_CAPTION, MB_OK | MB_ICONEXCLAMATION);
}

INT_PTR OnOk(HWND dialog) {
    ToneOptions options;
    options.source =
        ComboChoice(dialog, IDC_OPT_TONE) == 1 ? ToneSource::Luminance : ToneSource::Index;
    options.background = ComboChoice(dialog, IDC_OPT_BACKGROUND) == 1 ? 0 : 255;
    options.autoThreshold = Checked(dialog, IDC_OPT_AUTO_THRESHOLD);
    if (!options.autoThreshold &&
        !FieldNumber(dialog, IDC_OPT_THRESHOLD, 0, 255, options.threshold)) {
        Warn(dialog, THRESHOLD_RANGE_TEXT);
        return TRUE;
    }
    const int dither = ComboChoice(dialog, IDC_OPT_DITHER);
    options.dither = dither < static_cast<int>(std::size(DITHER_METHODS))
                         ? DITHER_METHODS[dither].dither
                         : Dither::None;
    options.invert = Checked(dialog, IDC_OPT_INVERT);
    if (Checked(dialog, IDC_OPT_RESIZE) &&
        (!FieldNumber(dialog, IDC_OPT_WIDTH, 1, MAX_PICTURE_SIDE, options.resizeWidth) ||
         !FieldNumber(dialog, IDC_OPT_HEIGHT, 1, MAX_PICTURE_SIDE, options.resizeHeight))) {
        Warn(dialog, RESIZE_RANGE_TEXT.c_str());
        return TRUE;
    }
    options.fit = static_cast<Fit>(ComboChoice(dialog, IDC_OPT_FIT));
    options.rotate = 90 * ComboChoice(dialog, IDC_OPT_ROTATE);
    options.mirrorX = Checked(dialog, IDC_OPT_MIRROR_X);
    options.mirrorY = Checked(dialog, IDC_OPT_MIRROR_Y);
    options.palette = PaletteText(dialog);
    if (Checked(dialog, IDC_OPT_ADAPTIVE)) {
        if (!FieldNumber(dialog, IDC_OPT_COLOURS, 2, MAX_ADAPTIVE_COLOURS, options.colours)) {
            Warn(dialog, COLOURS_RANGE_TEXT);
            return TRUE;
        }
        if (!options.palette.empty()) {
            Warn(dialog, PALETTE_OR_COLOURS_TEXT);
            return TRUE;
        }
    }
    char saturation[16] = "";
    GetDlgItemTextA(dialog, IDC_OPT_SATURATION, saturation, static_cast<int>(sizeof saturation));
    if (!ApplyToneSetting("saturation", saturation, options)) {
        Warn(dialog, SATURATION_RANGE_TEXT);
        return TRUE;
    }
    WriteToneOptions(options);
    WriteCodingChoice(static_cast<CodingChoice>(ComboChoice(dialog, IDC_OPT_CODING)));
    EndDialog(dialog, IDOK);
    return TRUE;
}

INT_PTR OnCommand(HWND dialog, WORD command) {
    switch (command) {
    case IDOK:
        return OnOk(dialog);
    case IDCANCEL:
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    case IDC_OPT_AUTO_THRESHOLD:
    case IDC_OPT_RESIZE:
    case IDC_OPT_ADAPTIVE:
        EnableDependentFields(dialog);
        return TRUE;
    case IDC_OPT_PALETTE_BROWSE:
        BrowsePalette(dialog);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

INT_PTR CALLBACK OptionsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog);
    case WM_COMMAND:
        return OnCommand(dialog, LOWORD(wParam));
    default:
        return FALSE;
    }
}

void AddOptionsMenuItem(HWND dialog) {
    HMENU menu = GetSystemMenu(dialog, FALSE);
    if (menu != nullptr) {
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(menu, MF_STRING, IDM_OPTIONS, "Options...");
    }
}

void ShowOptionsDialog(HWND owner) {
    DialogBoxParamA(ProgramInstance, "ZenconvOptions", owner, OptionsDialogProc, 0);
}
