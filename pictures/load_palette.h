// Palettes named by the user: a built-in palette's name, a list of "#RRGGBB" colours, or
// a palette file, either a GIMP palette (.gpl) or one "#RRGGBB" colour a line.
#pragma once

#include "palette.h"
#include "panel_palette.h"
#include "report_message.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

// The most colours a palette file may hold: those of a record of depth 8.
inline constexpr std::size_t MAX_PALETTE_COLOURS = 256;

// The colours of a palette file, in the file's order. Its form is taken from its first
// line:
//   GIMP Palette            a GIMP palette: then "Name:" and "Columns:" lines, "#"
//                           comments, blank lines and colour lines "R G B [name]" of
//                           three decimal numbers 0 to 255
//   anything else           one "#RRGGBB" a line, optionally followed by blanks, a
//                           second "#RRGGBB", the colour that the panel shows for it
//                           as measured (on every line or on none), and a name;
//                           blank lines are passed over
// Every failure is reported to the sink once, as an outcome that names the file (and the
// line), and gives nothing: a file that cannot be opened, a line that is no colour, more than
// MAX_PALETTE_COLOURS colours, no colour at all.
std::optional<Palette> ReadPaletteFile(const std::string& path, const MessageSink& sink);

// The same with the measured colours of the second column, if the file gives them.
std::optional<PanelPalette> ReadPanelPaletteFile(const std::string& path, const MessageSink& sink);

// The same from a palette file's bytes in memory; `name` stands for the file in messages.
std::optional<Palette> ReadPaletteBytes(std::span<const std::uint8_t> bytes,
                                        const std::string& name, const MessageSink& sink);
std::optional<PanelPalette> ReadPanelPaletteBytes(std::span<const std::uint8_t> bytes,
                                                  const std::string& name, const MessageSink& sink);

// The palette that `text` names: a built-in palette (palette.h), else a comma-separated
// "#RRGGBB" list (of at most MAX_PALETTE_COLOURS), else the palette file of that path.
// Failures are reported as for ReadPaletteFile; a text that names no file also lists the
// built-in names.
std::optional<Palette> LoadPalette(const std::string& text, const MessageSink& sink);

// The same with a palette file's measured colours (built-in names and colour lists
// measure nothing).
std::optional<PanelPalette> LoadPanelPalette(const std::string& text, const MessageSink& sink);
