// Display profiles: the display types of "displays.prf", one per valid line, each with
// a name, a lay-out code, a colour depth, optional settings of the panel (its size, its
// palette) and an optional description.
#pragma once

#include "outcome.h"
#include "palette.h"
#include "report_message.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::size_t PROFILE_NAME_MAX = 127;
inline constexpr std::size_t PROFILE_LINE_MAX = 255;

// Settings are "key=value" words between the depth (or, without one, the lay-out code)
// and the description. Readers that predate them take them for the start of the
// description, so a profile file that uses them still reads everywhere.
//   size=WxH                   the panel's size in pixels, each side 1 to MAX_PICTURE_SIDE
//   palette=NAME               a built-in palette (palette.h), in index order
//   palette=#RRGGBB,#RRGGBB..  the panel's colours in index order, at most 2^depth
//   shows=#RRGGBB,#RRGGBB..    the colours the panel shows for its palette's entries, as
//                              measured: one for each colour of palette=
//   background=white|black     the panel's "off" colour, which fills letterbox margins
//                              and lies under transparency unless the user chooses one
// A setting of a known key whose value cannot be read or does not fit makes the profile
// unusable: it is still listed, with the fault in `unusable`, and nothing is converted
// for it. An unknown key is passed over (a newer file's setting).
struct DisplayProfile {
    std::string name;             // the line's first word, at most 127 characters
    std::uint16_t layout = 0;     // low 16 bits of the lay-out code
    std::uint8_t depth = 1;       // low 8 bits of the depth; 1 when the line gives none
    std::string description;      // empty when the line has none; the settings not included
    std::string settings;         // the settings words as written, one space apart; or empty
    std::uint16_t panelWidth = 0; // size=: 0 when the profile gives no size
    std::uint16_t panelHeight = 0;
    Palette palette; // palette=: empty when the profile names none
    Palette shows;   // shows=: empty when not measured, else one for each palette colour
    std::optional<std::uint8_t> background; // background=: 255 white, 0 black; or none
    unsigned line = 0;                      // the line of its file, from 1
    std::string unusable; // why the profile cannot be used (a setting's fault), or empty
};

// The loaded profiles, in file order; their users address entries by position. The
// program that loads them owns the list (the converter's main dialog, a ztr command).
using DisplayProfileList = std::vector<DisplayProfile>;

// Appends an entry to `profiles` for every valid line of the file. Returns Done, or
// CannotOpenProfiles with the system's reason (list unchanged) when the file cannot be
// read. Does not empty the list first. With
// `warnings`, every line with a fault is reported there ("WARNING: profile file 'PATH',
// line N: WHAT\n"); the line is read all the same, as it always was.
Outcome LoadDisplayProfiles(const std::string& path, DisplayProfileList& profiles,
                            const MessageSink* warnings = nullptr);

// A fault of a profile file's line, for callers that choose which to report.
struct ProfileLineFault {
    unsigned line = 0; // from 1
    std::string text;  // what is wrong, as the warning says it
};

// LoadDisplayProfiles with the faults appended to `faults` instead of reported.
Outcome LoadDisplayProfiles(const std::string& path, DisplayProfileList& profiles,
                            std::vector<ProfileLineFault>& faults);

// The warning for a fault of the file at `path`: "WARNING: profile file 'PATH', line N:
// WHAT\n".
std::string ProfileFaultWarning(const std::string& path, const ProfileLineFault& fault);

// The same for a profile file's text in memory, `name` standing for the file in the
// warnings: what LoadDisplayProfiles reads from a file of that text.
void LoadDisplayProfilesFromText(std::string_view text, const std::string& name,
                                 DisplayProfileList& profiles,
                                 const MessageSink* warnings = nullptr);

// Empties the list.
void FreeDisplayProfiles(DisplayProfileList& profiles);

// One line (a piece of at most 255 characters, without its line end) as a profile, or
// nothing for comments, blank lines and lines that fit neither form. What is wrong with
// the line, if anything, is appended to `faults` (one short text each): a number with
// other characters stuck to it, a value that does not fit its field, a ";" without a
// depth, a depth the tools do not write, an unknown or malformed setting, a line that is
// not a profile.
std::optional<DisplayProfile> ParseProfileLine(std::string_view line,
                                               std::vector<std::string>* faults = nullptr);

// The text under which a profile is offered: its description, or its name without one.
const std::string& ProfileText(const DisplayProfile& profile);
