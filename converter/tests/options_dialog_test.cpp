// The Options dialog: reached from the main dialog's system menu, showing the saved
// [Options] section, saving what OK finds, refusing numbers out of range, and leaving the
// other sections alone.
#include "blocking_recorder.h"
#include "dither_methods.h"
#include "main_dialog_harness.h"
#include "options_dialog.h"
#include "options_settings.h"
#include "palette.h"
#include "program_values.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>

namespace {

constexpr const char* PROFILES = "lcd 0 ; 1 Row LCD\n";

std::string MenuText(HMENU menu, UINT id) {
    char text[64] = "";
    GetMenuStringA(menu, id, text, sizeof text, MF_BYCOMMAND);
    return text;
}

TEST(OptionsDialog, TheSystemMenuOffersIt) {
    MainDialogHarness harness(PROFILES, std::nullopt);
    HWND dialog = harness.Open();
    ASSERT_NE(dialog, nullptr);
    HMENU menu = GetSystemMenu(dialog, FALSE);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(MenuText(menu, IDM_OPTIONS), "Options...");
    // The last item, behind a separator.
    const int count = GetMenuItemCount(menu);
    ASSERT_GE(count, 2);
    EXPECT_EQ(GetMenuItemID(menu, count - 1), static_cast<UINT>(IDM_OPTIONS));
    EXPECT_EQ(GetMenuState(menu, static_cast<UINT>(count - 2), MF_BYPOSITION) & MF_SEPARATOR,
              static_cast<UINT>(MF_SEPARATOR));
}

// The Options dialog created modelessly from the real template, owned by the main dialog.
HWND OpenOptions(HWND owner) {
    HWND options =
        CreateDialogParamA(ProgramInstance, "ZenconvOptions", owner, OptionsDialogProc, 0);
    if (options != nullptr) {
        ShowWindow(options, SW_SHOW);
    }
    return options;
}

int ComboSelection(HWND dialog, int id) {
    return static_cast<int>(SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0));
}

bool Checked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

TEST(OptionsDialog, ShowsTheSavedOptions) {
    MainDialogHarness harness(PROFILES, "[Options]\ntone=luminance\nbackground=black\n"
                                        "threshold=90\ndither=atkinson\ninvert=1\n"
                                        "resize=64x32\nfit=cover\nrotate=270\nmirror=y\n"
                                        "coding=auto\n");
    HWND main = harness.Open();
    HWND options = OpenOptions(main);
    ASSERT_NE(options, nullptr);
    EXPECT_EQ(ComboSelection(options, IDC_OPT_TONE), 1);
    EXPECT_EQ(ComboSelection(options, IDC_OPT_BACKGROUND), 1);
    EXPECT_EQ(ControlText(options, IDC_OPT_THRESHOLD), "90");
    EXPECT_FALSE(Checked(options, IDC_OPT_AUTO_THRESHOLD));
    EXPECT_EQ(ComboSelection(options, IDC_OPT_DITHER), 2);
    EXPECT_TRUE(Checked(options, IDC_OPT_INVERT));
    EXPECT_TRUE(Checked(options, IDC_OPT_RESIZE));
    EXPECT_EQ(ControlText(options, IDC_OPT_WIDTH), "64");
    EXPECT_EQ(ControlText(options, IDC_OPT_HEIGHT), "32");
    EXPECT_EQ(ComboSelection(options, IDC_OPT_FIT), 1);
    EXPECT_EQ(ComboSelection(options, IDC_OPT_ROTATE), 3);
    EXPECT_FALSE(Checked(options, IDC_OPT_MIRROR_X));
    EXPECT_TRUE(Checked(options, IDC_OPT_MIRROR_Y));
    EXPECT_EQ(ComboSelection(options, IDC_OPT_CODING), 2);
    DestroyWindow(options);
}

std::string ComboItem(HWND dialog, int id, int index) {
    char text[64] = "";
    SendDlgItemMessageA(dialog, id, CB_GETLBTEXT, static_cast<WPARAM>(index),
                        reinterpret_cast<LPARAM>(text));
    return text;
}

// The dithering list shows every method of the engine's table, in its order, and the
// palette list its built-in palettes; the item chosen is the method saved.
TEST(OptionsDialog, ListsTheEnginesMethodsAndPalettes) {
    const int methods = static_cast<int>(std::size(DITHER_METHODS));
    for (int k = 0; k < methods; ++k) {
        SCOPED_TRACE(DITHER_METHODS[k].label);
        MainDialogHarness harness(PROFILES, std::nullopt);
        HWND options = OpenOptions(harness.Open());
        ASSERT_NE(options, nullptr);
        ASSERT_EQ(SendDlgItemMessageA(options, IDC_OPT_DITHER, CB_GETCOUNT, 0, 0), methods);
        EXPECT_EQ(ComboItem(options, IDC_OPT_DITHER, k), DITHER_METHODS[k].label);
        EXPECT_EQ(ComboItem(options, IDC_OPT_PALETTE, 0), NO_PALETTE_ITEM);
        int item = 1;
        for (const NamedPalette& palette : BuiltInPalettes()) {
            EXPECT_EQ(ComboItem(options, IDC_OPT_PALETTE, item++), palette.name);
        }
        SendDlgItemMessageA(options, IDC_OPT_DITHER, CB_SETCURSEL, static_cast<WPARAM>(k), 0);
        SendCommand(options, IDOK);
        EXPECT_EQ(ReadToneOptions().dither, DITHER_METHODS[k].dither);
        if (IsWindow(options)) {
            DestroyWindow(options);
        }
    }
}

TEST(OptionsDialog, ShowsTheSavedPaletteOrNumberOfColours) {
    const struct {
        const char* section;
        const char* palette;
        bool adaptive;
        const char* colours;
    } cases[] = {
        {"[Options]\npalette=C:\\panels\\signs.gpl\n", "C:\\panels\\signs.gpl", false, "16"},
        {"[Options]\npalette=bwr\n", "bwr", false, "16"},
        {"[Options]\ncolours=48\n", "(none)", true, "48"},
        {"[Options]\ncolours=1\n", "(none)", false, "16"}, // not a number of colours
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.section);
        MainDialogHarness harness(PROFILES, c.section);
        HWND main = harness.Open();
        HWND options = OpenOptions(main);
        ASSERT_NE(options, nullptr);
        EXPECT_EQ(ControlText(options, IDC_OPT_PALETTE), c.palette);
        EXPECT_EQ(Checked(options, IDC_OPT_ADAPTIVE), c.adaptive);
        EXPECT_EQ(ControlText(options, IDC_OPT_COLOURS), c.colours);
        EXPECT_EQ(IsWindowEnabled(GetDlgItem(options, IDC_OPT_COLOURS)) != FALSE, c.adaptive);
        // The list offers no palette and the built-in ones.
        EXPECT_EQ(SendDlgItemMessageA(options, IDC_OPT_PALETTE, CB_GETCOUNT, 0, 0), 7);
        DestroyWindow(options);
    }
}

TEST(OptionsDialog, OkSavesThePaletteOrTheNumberOfColours) {
    const struct {
        const char* palette;
        bool adaptive;
        const char* colours;
        const char* saved; // the [Options] lines that must be there
    } cases[] = {
        {"bwry", false, "16", "palette=bwry\r\ncolours=\r\n"},
        {"(none)", true, "32", "palette=\r\ncolours=32\r\n"},
        {"#000000,#FF0000", false, "", "palette=#000000,#FF0000\r\ncolours=\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.palette);
        MainDialogHarness harness(PROFILES, std::nullopt);
        HWND main = harness.Open();
        HWND options = OpenOptions(main);
        ASSERT_NE(options, nullptr);
        SetDlgItemTextA(options, IDC_OPT_PALETTE, c.palette);
        CheckDlgButton(options, IDC_OPT_ADAPTIVE, c.adaptive ? BST_CHECKED : BST_UNCHECKED);
        SendCommand(options, IDC_OPT_ADAPTIVE);
        SetDlgItemTextA(options, IDC_OPT_COLOURS, c.colours);
        SendCommand(options, IDOK);
        const std::string text = harness.SettingsText();
        EXPECT_NE(text.find(c.saved), std::string::npos) << text;
        if (IsWindow(options)) {
            DestroyWindow(options);
        }
    }
}

TEST(OptionsDialog, OkSavesTheSaturationOrRefusesIt) {
    const struct {
        const char* typed;
        const char* saved; // the [Options] line that must be there; null: refused
    } cases[] = {
        {"0.5", "saturation=0.5\r\n"},
        {".25", "saturation=0.25\r\n"},
        {"1", "saturation=1\r\n"},
        {"1.5", nullptr},
        {"half", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        MainDialogHarness harness(PROFILES, "[Options]\nsaturation=0.75\n");
        HWND main = harness.Open();
        HWND options = OpenOptions(main);
        ASSERT_NE(options, nullptr);
        EXPECT_EQ(ControlText(options, IDC_OPT_SATURATION), "0.75");
        SetDlgItemTextA(options, IDC_OPT_SATURATION, c.typed);
        SendCommand(options, IDOK);
        const std::string text = harness.SettingsText();
        if (c.saved != nullptr) {
            EXPECT_NE(text.find(c.saved), std::string::npos) << text;
        } else {
            EXPECT_TRUE(IsWindow(options)) << "the dialog stays open after the warning";
            EXPECT_EQ(text.find("saturation=0.5"), std::string::npos) << text;
        }
        if (IsWindow(options)) {
            DestroyWindow(options);
        }
    }
}

TEST(OptionsDialog, DefaultsWithoutASection) {
    MainDialogHarness harness(PROFILES, "[Settings]\nanimation=1\n");
    HWND main = harness.Open();
    HWND options = OpenOptions(main);
    ASSERT_NE(options, nullptr);
    EXPECT_EQ(ComboSelection(options, IDC_OPT_TONE), 0);
    EXPECT_EQ(ComboSelection(options, IDC_OPT_BACKGROUND), 0);
    EXPECT_EQ(ControlText(options, IDC_OPT_THRESHOLD), "128");
    EXPECT_EQ(ComboSelection(options, IDC_OPT_DITHER), 0);
    EXPECT_FALSE(Checked(options, IDC_OPT_RESIZE));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(options, IDC_OPT_WIDTH)));
    EXPECT_EQ(ComboSelection(options, IDC_OPT_ROTATE), 0);
    EXPECT_EQ(ComboSelection(options, IDC_OPT_CODING), 0);
    DestroyWindow(options);
}

// The coding by its word, as ztr --coding takes it; an unknown word is the run-length
// coding, which the dialog then shows and saves.
TEST(OptionsDialog, TheCodingIsSavedByItsWord) {
    const struct {
        const char* saved;
        int shown;
        int chosen;
        const char* written;
    } cases[] = {
        {"coding=squash\n", 1, 2, "coding=auto"},
        {"coding=auto\n", 2, 0, "coding=rle"},
        {"coding=zip\n", 0, 1, "coding=squash"},
        {"", 0, 0, "coding=rle"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.saved);
        MainDialogHarness harness(PROFILES, std::string("[Options]\n") + c.saved);
        HWND main = harness.Open();
        HWND options = OpenOptions(main);
        ASSERT_NE(options, nullptr);
        EXPECT_EQ(ComboSelection(options, IDC_OPT_CODING), c.shown);
        SendDlgItemMessageA(options, IDC_OPT_CODING, CB_SETCURSEL, c.chosen, 0);
        SendCommand(options, IDOK);
        EXPECT_NE(harness.SettingsText().find(c.written), std::string::npos);
        EXPECT_EQ(static_cast<int>(ReadCodingChoice()), c.chosen);
        if (IsWindow(options)) {
            DestroyWindow(options);
        }
    }
}

TEST(OptionsDialog, OkSavesTheChoicesAndLeavesOtherSections) {
    MainDialogHarness harness(PROFILES, "[Settings]\nanimation=1\ndelay=40\n");
    HWND main = harness.Open();
    HWND options = OpenOptions(main);
    ASSERT_NE(options, nullptr);
    SendDlgItemMessageA(options, IDC_OPT_DITHER, CB_SETCURSEL, 4, 0);
    SetDlgItemTextA(options, IDC_OPT_THRESHOLD, "77");
    CheckDlgButton(options, IDC_OPT_RESIZE, BST_CHECKED);
    SendCommand(options, IDC_OPT_RESIZE);
    SetDlgItemTextA(options, IDC_OPT_WIDTH, "128");
    SetDlgItemTextA(options, IDC_OPT_HEIGHT, "64");
    SendDlgItemMessageA(options, IDC_OPT_ROTATE, CB_SETCURSEL, 1, 0);
    CheckDlgButton(options, IDC_OPT_MIRROR_X, BST_CHECKED);
    SendCommand(options, IDOK);

    const ToneOptions saved = ReadToneOptions();
    EXPECT_EQ(saved.dither, Dither::Bayer8);
    EXPECT_EQ(saved.threshold, 77);
    EXPECT_FALSE(saved.autoThreshold);
    EXPECT_EQ(saved.resizeWidth, 128);
    EXPECT_EQ(saved.resizeHeight, 64);
    EXPECT_EQ(saved.rotate, 90);
    EXPECT_TRUE(saved.mirrorX);
    EXPECT_FALSE(saved.mirrorY);
    EXPECT_EQ(saved.source, ToneSource::Index);
    const std::string text = harness.SettingsText();
    EXPECT_NE(text.find("[Settings]"), std::string::npos);
    EXPECT_NE(text.find("delay=40"), std::string::npos);
    EXPECT_NE(text.find("[Options]"), std::string::npos);
    EXPECT_NE(text.find("dither=bayer8"), std::string::npos);
    EXPECT_NE(text.find("resize=128x64"), std::string::npos);
    if (IsWindow(options)) {
        DestroyWindow(options);
    }
}

TEST(OptionsDialog, NumbersOutOfRangeAreRefused) {
    struct RangeCase {
        const char* what;
        int field;
        const char* text;
        std::string message;
    };
    const RangeCase cases[] = {
        {"threshold 256", IDC_OPT_THRESHOLD, "256", THRESHOLD_RANGE_TEXT},
        {"empty threshold", IDC_OPT_THRESHOLD, "", THRESHOLD_RANGE_TEXT},
        {"width 0", IDC_OPT_WIDTH, "0", RESIZE_RANGE_TEXT},
        {"height 32768", IDC_OPT_HEIGHT, "32768", RESIZE_RANGE_TEXT},
        {"1 colour", IDC_OPT_COLOURS, "1", COLOURS_RANGE_TEXT},
        {"257 colours", IDC_OPT_COLOURS, "257", COLOURS_RANGE_TEXT},
        {"a palette and a number of colours", IDC_OPT_PALETTE, "bwr", PALETTE_OR_COLOURS_TEXT},
    };
    for (const RangeCase& c : cases) {
        SCOPED_TRACE(c.what);
        MainDialogHarness harness(PROFILES, std::nullopt);
        HWND main = harness.Open();
        HWND options = OpenOptions(main);
        ASSERT_NE(options, nullptr);
        CheckDlgButton(options, IDC_OPT_RESIZE, BST_CHECKED);
        SetDlgItemTextA(options, IDC_OPT_WIDTH, "10");
        SetDlgItemTextA(options, IDC_OPT_HEIGHT, "10");
        CheckDlgButton(options, IDC_OPT_ADAPTIVE, BST_CHECKED);
        SetDlgItemTextA(options, IDC_OPT_COLOURS, "16");
        SetDlgItemTextA(options, c.field, c.text);
        BlockingRecorder::MessageBoxes.clear();
        SendCommand(options, IDOK);
        ASSERT_EQ(BlockingRecorder::MessageBoxes.size(), 1u);
        EXPECT_EQ(BlockingRecorder::MessageBoxes[0].text, c.message);
        EXPECT_EQ(BlockingRecorder::MessageBoxes[0].caption, "Zenconv");
        EXPECT_TRUE(IsWindowVisible(options)); // still open
        EXPECT_EQ(harness.SettingsText().find("[Options]"), std::string::npos);
        DestroyWindow(options);
    }
}

} // namespace
