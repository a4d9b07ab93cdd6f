// "Add bitmap/display &type": the popup rebuilt from the profile list at the button's
// bottom-left corner, and a chosen item becoming a sorted type-list entry with its code.
#include "display_profiles.h"
#include "main_dialog.h"
#include "main_dialog_harness.h"
#include "program_values.h"
#include "resource.h"

#include <gtest/gtest.h>

namespace {

// Descriptions and names in an order that sorting changes; one line without description.
constexpr const char* PROFILES = "# test displays\n"
                                 "zeta 0x16 ; 1 OLED upside down\n"
                                 "alpha 5\n"
                                 "  # indented comment\n"
                                 "mid 0x13 ; 8 Banded columns, grey\n"
                                 "bare 0x04 ; 1\n";

TEST(TypePopup, ListsEveryProfileByItsTextAt256PlusItsPositionBelowTheButton) {
    MainDialogHarness harness(PROFILES, std::nullopt);
    HWND dialog = harness.Open();
    ASSERT_NE(dialog, nullptr);
    ScriptedPopup popup;
    SendCommand(dialog, IDC_ADD_TYPE);
    SendCommand(dialog, IDC_ADD_TYPE); // rebuilt, not appended to

    ASSERT_EQ(ScriptedPopup::Calls.size(), 2u);
    const std::vector<std::pair<UINT, std::string>> items = {
        {256, "OLED upside down"}, {257, "alpha"}, {258, "Banded columns, grey"}, {259, "bare"}};
    RECT button{};
    GetWindowRect(GetDlgItem(dialog, IDC_ADD_TYPE), &button);
    for (const RecordedPopup& call : ScriptedPopup::Calls) {
        EXPECT_EQ(call.items, items);
        EXPECT_EQ(call.flags, 0u);
        EXPECT_EQ(call.x, button.left);
        EXPECT_EQ(call.y, button.bottom);
        EXPECT_EQ(call.owner, dialog);
    }
    EXPECT_EQ(GetMenuItemCount(GetSubMenu(TypeMenu, 0)), 4);
    EXPECT_TRUE(BlockingRecorder::MessageBoxes.empty());
}

TEST(TypePopup, AProfileWithoutTextIsSkippedButCounted) {
    MainDialogHarness harness(PROFILES, std::nullopt);
    HWND dialog = harness.Open();
    ASSERT_NE(dialog, nullptr);
    DisplayProfileList& profiles = MainDialogStateOf(dialog)->profiles;
    profiles.insert(profiles.begin() + 1, DisplayProfile{"", 7, 1, ""});
    ScriptedPopup popup(258);
    SendCommand(dialog, IDC_ADD_TYPE);
    PumpMessages(dialog);
    ASSERT_EQ(ScriptedPopup::Calls.size(), 1u);
    EXPECT_EQ(ScriptedPopup::Calls[0].items,
              (std::vector<std::pair<UINT, std::string>>{{256, "OLED upside down"},
                                                         {258, "alpha"},
                                                         {259, "Banded columns, grey"},
                                                         {260, "bare"}}));
    EXPECT_EQ(ListTexts(dialog, IDC_TYPE_LIST), std::vector<std::string>{"alpha"});
    EXPECT_EQ(ListData(dialog, IDC_TYPE_LIST), std::vector<LONG_PTR>{0x10005});
}

TEST(TypePopup, NoProfileFileShowsTheWarningAndNoMenu) {
    MainDialogHarness harness(std::nullopt, std::nullopt);
    HWND dialog = harness.Open();
    ASSERT_NE(dialog, nullptr);
    ScriptedPopup popup;
    SendCommand(dialog, IDC_ADD_TYPE);
    EXPECT_TRUE(ScriptedPopup::Calls.empty());
    ASSERT_EQ(BlockingRecorder::MessageBoxes.size(), 1u);
    const RecordedMessageBox& box = BlockingRecorder::MessageBoxes[0];
    EXPECT_TRUE(box.hasOwner);
    EXPECT_EQ(box.text, "No display profiles were found.\nProbable cause: the file "
                        "\"displays.prf\" is missing");
    EXPECT_EQ(box.caption, "Zenconv");
    EXPECT_EQ(box.type, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_EQ(GetMenuItemCount(GetSubMenu(TypeMenu, 0)), 0);
}

TEST(ChooseType, EntriesSortByTextCarryLayoutAndDepthAndMayRepeat) {
    MainDialogHarness harness(PROFILES, std::nullopt);
    HWND dialog = harness.Open();
    ASSERT_NE(dialog, nullptr);
    for (int command : {256, 259, 258, 257, 256, 1, 260, 511}) {
        SendCommand(dialog, command, 0);
    }
    EXPECT_EQ(ListTexts(dialog, IDC_TYPE_LIST),
              (std::vector<std::string>{"alpha", "Banded columns, grey", "bare", "OLED upside down",
                                        "OLED upside down"}));
    EXPECT_EQ(ListData(dialog, IDC_TYPE_LIST),
              (std::vector<LONG_PTR>{0x10005, 0x80013, 0x10004, 0x10016, 0x10016}));
    EXPECT_TRUE(ListTexts(dialog, IDC_FILE_LIST).empty());
}

TEST(ChooseType, ProfilesBeyondThe256thAreListedAndChosen) {
    std::string profiles;
    for (int p = 0; p < 300; ++p) {
        profiles += "type" + std::to_string(p) + " " + std::to_string(p % 32) + " ; " +
                    std::to_string(p % 2 == 0 ? 1 : 8) + "\n";
    }
    MainDialogHarness harness(profiles, std::nullopt);
    HWND dialog = harness.Open();
    ASSERT_NE(dialog, nullptr);
    ScriptedPopup popup(256 + 299);
    SendCommand(dialog, IDC_ADD_TYPE);
    PumpMessages(dialog);
    ASSERT_EQ(ScriptedPopup::Calls.size(), 1u);
    ASSERT_EQ(ScriptedPopup::Calls[0].items.size(), 300u);
    EXPECT_EQ(ScriptedPopup::Calls[0].items[299], (std::pair<UINT, std::string>{555, "type299"}));
    SendCommand(dialog, 256 + 270, 0);
    SendCommand(dialog, 256 + 300, 0); // beyond the list: nothing
    EXPECT_EQ(ListTexts(dialog, IDC_TYPE_LIST), (std::vector<std::string>{"type270", "type299"}));
    EXPECT_EQ(ListData(dialog, IDC_TYPE_LIST), (std::vector<LONG_PTR>{0x1000E, 0x8000B}));
}

} // namespace
