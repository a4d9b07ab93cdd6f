// ztr: the console tool over the Zentra engine, for build pipelines and Linux users.
// Dispatches the first argument to a command of the table below.
#include "commands.h"

#include "c_header.h"
#include "convert_images.h"
#include "dither_methods.h"
#include "interrupt_cleanup.h"
#include "palette.h"
#include "report_message.h"
#include "tone.h"
#include "version.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <iterator>
#include <string>

namespace {

struct Command {
    const char* name;
    int (*run)(const CommandArgs& args);
    const char* synopsis;
    const char* summary;
};

constexpr Command Commands[] = {
    {"convert", RunConvert,
     "convert [--profiles FILE] [--animation] [--delay MS] [-o FILE | --output-dir DIR] "
     "[--coding rle|squash|auto] [TONE OPTIONS] (--type NAME | --code CODE)... PICTURE...",
     "Convert pictures (BMP, PBM, PGM, PPM, PNG, GIF, JPEG, TGA) into a Zentra file next to "
     "the first picture."},
    {"profiles", RunProfiles, "profiles [--verbose] [--check] [FILE]",
     "List the display profiles: index, name, lay-out, depth, description; --check lists "
     "every fault of the file's lines."},
    {"list", RunList, "list [--verbose] FILE",
     "List the records of a Zentra file as the viewer does."},
    {"render", RunRender,
     "render FILE INDEX|FIRST-LAST [--buildup] [--invert] [--zoom N] [--panel TYPE [--profiles "
     "FILE]] -o OUT|PATTERN",
     "Write record INDEX (from 0) as the viewer shows it: PPM, or PNG for a .png OUT; or "
     "records FIRST to LAST built up, one file each."},
    {"export", RunExport,
     "export FILE [--name NAME] [--split] [--keep-cut] [-o OUT.h [--source OUT.c]]",
     "Write the file as a C header for firmware: a const uint8_t array and its size."},
    {"probe", RunProbe, "probe WxH [--depth D] [-o FILE]",
     "Write a test picture in every lay-out of a panel's size and depth, to find the type "
     "code it needs."},
};

// The options' help, in parts around the words and limits that the engine publishes.
const char* const ConvertHelpHead =
    "\n"
    "Options of convert:\n"
    "  --type NAME      add the display type of the first profile named NAME, or of the\n"
    "                   one name that differs from NAME only in letter case\n"
    "  --code CODE      add a raw type code: lay-out in bits 0-15, depth in bits 16-23\n"
    "                   (decimal, 0x hexadecimal or 0 octal); --type and --code repeat,\n"
    "                   in any mix, and their order is the order of the records\n"
    "  --profiles FILE  the profile file (default: displays.prf beside ztr)\n"
    "  --animation      one animated file of all pictures, followed by the first again\n"
    "  --delay MS       the animation's frame delay in milliseconds, 0 to ";
const char* const ConvertHelpAfterDelay =
    " (default 0)\n"
    "  -o FILE          the file to write, for one output (one picture, or --animation)\n"
    "  --output-dir DIR  each file goes into DIR, named as beside its picture; DIR and\n"
    "                   its parents are made when missing\n"
    "  --coding rle|squash|auto  how the pixel data is coded: rle, the run-length coding\n"
    "                   that every reader takes (default); squash, smaller, for firmware\n"
    "                   that gives the device library a window (ztr_apply_in_frame,\n"
    "                   ztr_begin_window); auto, each record in whichever of the two is\n"
    "                   smaller (at depths 1, 2 and 4 the dense coding too)\n"
    "  --window 512|frame  how far back the copies of the dense coding (chosen by\n"
    "                   --coding auto at depths 1, 2 and 4) may reach: the last 512\n"
    "                   bytes (default), or in a full frame the whole frame\n"
    "Without --animation every picture becomes a file of its own; conversion stops at\n"
    "the first picture that fails. In an animation a GIF gives all its frames, which keep\n"
    "their own delays unless --delay is given. An output that would write over a picture\n"
    "of the same run and two pictures that would write one file are refused before\n"
    "anything is written (a command-line error when the names show it), and so is a\n"
    "picture that cannot be opened. A code whose depth or lay-out bits the format does\n"
    "not have is a command-line error. An option that cannot change the file gets a\n"
    "warning, and so does a picture larger than the panel (size=WxH) of a type it is not\n"
    "resized to. On a terminal, work that lasts over a second shows its progress on\n"
    "standard error. A failure to open, write or rename a file gives the system's reason\n"
    "on the line after the message.\n"
    "\n"
    "Tone options of convert (in this order: rotate, mirror, resize, invert, threshold or\n"
    "dithering, or with a palette its colours, dithered in linear light):\n"
    "  --tone index|luminance     bitmaps keep their colour-table indices, or become grey\n"
    "  --background white|black   under transparency and in contain margins (default:\n"
    "                             the profile's background=, else white)\n"
    "  --threshold N|auto         depth 1: light from grey N (default ";
const char* const ConvertHelpAfterThreshold = "); auto: Otsu\n"
                                              "  --dither ";
const char* const ConvertHelpAfterDither =
    "\n"
    "  --invert                   swap dark and light in the data\n"
    "  --resize WxH|panel         resample in linear light; panel: each display type to\n"
    "                             the size=WxH of its profile\n"
    "  --fit contain|cover|stretch\n"
    "  --rotate 90|180|270        clockwise\n"
    "  --mirror x|y               x: left and right swap; y: top and bottom\n";
const char* const ConvertHelpTail =
    "  --colours N                an adaptive palette of at most N colours (2 to 2^depth),\n"
    "                             one for all pictures of an animation\n"
    "  --saturation S             0 to 1 (default 1): match a panel palette's colours as\n"
    "                             the panel shows them, measured (1), or as named (0)\n"
    "A palette out of a profile palette's order is refused; colour-less pixels take only\n"
    "black, white and greys; --palette bw at depth 1 is the conversion without a palette.\n"
    "A profile whose size, palette or shows= cannot be read is not converted to.\n"
    "\n"
    "Options of profiles:\n"
    "  --verbose        a table for people: lay-outs in 0x hexadecimal, each profile's\n"
    "                   size, palette and background in columns of their own; without\n"
    "                   it the lines are for scripts, tab-separated, the lay-out decimal\n"
    "\n"
    "Options of list:\n"
    "  --verbose        lay-outs in 0x hexadecimal, and the palette a record carries\n"
    "                   (\", palette of N colours\"); without it the lines are the viewer's\n"
    "\n"
    "Options of render:\n"
    "  --buildup        draw a delta record over the full frame and deltas before it\n"
    "  --invert         complement every colour\n"
    "  --zoom N         repeat every pixel N x N times (1 to 64, default 1)\n"
    "  --panel TYPE     draw each pixel's code in the colour the panel of TYPE shows for\n"
    "                   it (its profile's shows=, else palette=); --profiles FILE as for\n"
    "                   convert\n"
    "  -o OUT           the output picture; a name ending in .png writes a PNG\n"
    "  -o PATTERN       with FIRST-LAST, the names of the pictures: one %d, %i or %u\n"
    "                   (flags - + 0 and space, a width) for the record index, %% for\n"
    "                   a %, for example frame%03d.png\n"
    "A range FIRST-LAST draws every delta record over the frame before it (as --buildup)\n"
    "and checks the range and every name before it writes; it never writes over FILE.\n"
    "\n"
    "Options of export:\n"
    "  --name NAME      the array's name (default: the file's base name made a C\n"
    "                   identifier); NAME_SIZE in upper case is its length\n"
    "  -o OUT.h         the header to write (default: standard output)\n"
    "  --source OUT.c   the array goes into OUT.c, which includes OUT.h; OUT.h then only\n"
    "                   declares it (extern) beside NAME_SIZE\n"
    "  --split          the bytes in arrays NAME_0, NAME_1 ... of at most ";
const char* const ConvertHelpAfterSplit =
    " bytes, as\n"
    "                   avr-gcc takes them, and NAME_read, a read callback over them for\n"
    "                   the device library (ZTR_CALLBACK_SOURCE(NAME_read, 0, NAME_SIZE))\n"
    "  --keep-cut       a file cut short: export the whole records before the cut one\n"
    "The array is placed in program memory (PROGMEM) when __AVR__ is defined; a comment\n"
    "lists the records as list does. A file over ";
const char* const ConvertHelpEnd =
    " bytes without --split gets a\n"
    "warning. list and export refuse a file that is no Zentra file. list warns about one\n"
    "that is cut short, and so does render when it draws the cut record; export refuses\n"
    "it, naming the cut record, which the device library would find damaged, unless\n"
    "--keep-cut is given. No command writes over its input.\n"
    "\n"
    "Options of probe:\n"
    "  --depth D        the colour depth: 1, 2, 4, 8, 16 or 24 (default 1)\n"
    "  -o FILE          the file to write (default probe.ztr)\n"
    "probe draws an arrow pointing up, a triangle in the top-left corner and the record's\n"
    "number at WxH (8 to 1024 a side) in every lay-out of the depth, and prints each\n"
    "record's number, type code and list line. Shown on the panel as they are, the record\n"
    "that stands the right way round has the panel's lay-out: its code is the one for\n"
    "--code.\n"
    "\n"
    "Exit status: 0 when everything was written, 1 when a conversion or a file failed,\n"
    "2 for a wrong command line. Interrupted (Ctrl-C), ztr removes its temporary files.\n";

// The width of the help's lines, and the column at which an option's description starts.
constexpr std::size_t HELP_WIDTH = 86;
constexpr std::size_t HELP_DESCRIPTION_COLUMN = 29;

// An option and its description, the words filled into lines of at most HELP_WIDTH.
std::string OptionLines(const std::string& option, const std::string& description) {
    std::string text;
    std::string line = option;
    bool lineHasWords = false;
    std::size_t start = 0;
    while (start < description.size()) {
        std::size_t end = description.find(' ', start);
        end = end == std::string::npos ? description.size() : end;
        const std::string word = description.substr(start, end - start);
        start = end + 1;
        if (lineHasWords && line.size() + 1 + word.size() > HELP_WIDTH) {
            text += line + "\n";
            line.clear();
            lineHasWords = false;
        }
        line.resize(std::max(line.size(), HELP_DESCRIPTION_COLUMN), ' ');
        line += (lineHasWords ? " " : "") + word;
        lineHasWords = true;
    }
    return text + line + "\n";
}

std::string OptionHelp() {
    return ConvertHelpHead + std::to_string(MAX_DELAY_MS) + ConvertHelpAfterDelay +
           std::to_string(DEFAULT_THRESHOLD) + ConvertHelpAfterThreshold + DitherWords("|") +
           ConvertHelpAfterDither +
           OptionLines("  --palette NAME|FILE",
                       "map to a palette's colours, in index order: " + BuiltInPaletteNames() +
                           ", #RRGGBB,... or a .gpl or #RRGGBB file; records of depth 1-8 "
                           "carry it, 16/24 bits take its colours; without it a profile's "
                           "palette= applies") +
           ConvertHelpTail + std::to_string(AVR_ARRAY_LIMIT) + ConvertHelpAfterSplit +
           std::to_string(AVR_ARRAY_LIMIT) + ConvertHelpEnd;
}

const Command* FindCommand(const std::string& name) {
    for (const Command& command : Commands) {
        if (name == command.name) {
            return &command;
        }
    }
    return nullptr;
}

} // namespace

void PrintHelp() {
    std::printf("Usage:\n");
    for (const Command& command : Commands) {
        std::printf("  ztr %s\n", command.synopsis);
    }
    std::printf("  ztr --help\n  ztr --version\n\nCommands:\n");
    for (const Command& command : Commands) {
        std::printf("  %-9s %s\n", command.name, command.summary);
    }
    std::fputs(OptionHelp().c_str(), stdout);
}

bool IsHelpOption(const std::string& text) {
    return text == "--help" || text == "-h";
}

std::optional<int> TakeSingleOperand(const CommandArgs& args, const std::string& what,
                                     std::string& operand) {
    for (const std::string& arg : args) {
        if (IsHelpOption(arg)) {
            PrintHelp();
            return EXIT_DONE;
        }
        if (!arg.empty() && arg[0] == '-' && arg != "-") {
            return UsageError("unknown option '" + arg + "'");
        }
        if (!operand.empty()) {
            return UsageError("more than one " + what + " given");
        }
        operand = arg;
    }
    return std::nullopt;
}

int UsageError(const std::string& message) {
    std::fprintf(stderr, "ztr: %s\nTry 'ztr --help' for more information.\n", message.c_str());
    return EXIT_USAGE;
}

int Failure(const std::string& message) {
    return Failure(message, {});
}

int Failure(const Outcome& outcome) {
    std::fprintf(stderr, "ztr: %s", OutcomeText(outcome).c_str());
    return EXIT_FAILED;
}

int UsageError(const Outcome& outcome) {
    std::string text = OutcomeText(outcome);
    text.pop_back(); // UsageError ends the message's last line
    return UsageError(text);
}

int Failure(const std::string& message, const std::string& reasonLine) {
    std::fprintf(stderr, "ztr: %s\n%s", message.c_str(), reasonLine.c_str());
    return EXIT_FAILED;
}

int main(int argc, char** argv) {
#ifdef SIGXFSZ
    // A file-size limit must surface as a failed write that the engine reports, not as
    // a signal that kills the process with a half-written temporary file.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    InstallInterruptCleanup();
    if (argc < 2) {
        return UsageError("no command given");
    }
    const std::string first = argv[1];
    if (IsHelpOption(first)) {
        PrintHelp();
        return EXIT_DONE;
    }
    if (first == "--version") {
        std::printf("ztr %s\n", ZENTRA_VERSION_TEXT);
        return EXIT_DONE;
    }
    const Command* command = FindCommand(first);
    if (command == nullptr) {
        return UsageError(first[0] == '-' ? "unknown option '" + first + "'"
                                          : "unknown command '" + first + "'");
    }
    const int status = command->run(CommandArgs(std::next(argv, 2), std::next(argv, argc)));
    if (Interrupted()) {
        std::fprintf(stderr, "ztr: interrupted\n");
        return InterruptedExitStatus();
    }
    return status;
}
