// The engine and decoder as the web page calls them: pictures given as bytes are converted
// from memory into Zentra files in memory by the same writer as ztr convert; a Zentra file
// given as bytes is listed and decoded from memory, or played by a frame player that keeps
// its own copy of the bytes. Engine outcomes come back as data with their text beside them,
// never on a console.
#include "bitmap_rgb.h"
#include "c_header.h"
#include "coding_choice.h"
#include "conversion_request.h"
#include "decode_as_layout.h"
#include "decode_record.h"
#include "describe_record.h"
#include "display_profiles.h"
#include "dither_methods.h"
#include "frame_player.h"
#include "outcome.h"
#include "palette.h"
#include "parse_integer.h"
#include "picture_file_kinds.h"
#include "play_sequence.h"
#include "record_walk.h"
#include "system_reason.h"
#include "tone.h"
#include "tone_settings.h"
#include "type_code.h"
#include "type_code_fault.h"
#include "zentra_format.h"

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

using emscripten::val;

// The text of the bundled data/displays.prf, compiled in by the build (bundled_profiles.cpp).
extern const char BUNDLED_PROFILES[];
extern const std::size_t BUNDLED_PROFILES_SIZE;

namespace {

// The name under which the bundled profiles appear in warnings, as beside ztr.
constexpr const char* BUNDLED_PROFILES_NAME = "displays.prf";

std::vector<std::uint8_t> Bytes(const val& array) {
    return emscripten::convertJSArrayToNumberVector<std::uint8_t>(array);
}

std::shared_ptr<const std::vector<std::uint8_t>> SharedBytes(const val& array) {
    return std::make_shared<const std::vector<std::uint8_t>>(Bytes(array));
}

val ByteArray(std::span<const std::uint8_t> bytes) {
    // The view over wasm memory is copied into an array of the page's own.
    return val::global("Uint8Array")
        .new_(emscripten::typed_memory_view(bytes.size(), bytes.data()))
        .call<val>("slice");
}

void KeepMessage(void* context, const char* text) {
    static_cast<std::vector<std::string>*>(context)->push_back(text);
}

// A conversion's messages in order, and the outcomes among them as data.
struct KeptReport {
    std::vector<std::string> messages;
    std::vector<Outcome> outcomes;
};

void KeepReportText(void* context, const char* text) {
    static_cast<KeptReport*>(context)->messages.push_back(text);
}

void KeepReportOutcome(void* context, const Outcome& outcome) {
    auto* report = static_cast<KeptReport*>(context);
    report->outcomes.push_back(outcome);
    report->messages.push_back(OutcomeText(outcome));
}

// An outcome as the page reads it: {code, detail, file, numbers, words, reason, warning},
// code and detail by their names (outcome.h), reason the system's words or "".
val OutcomeObject(const Outcome& outcome) {
    val entry = val::object();
    entry.set("code", std::string(OutcomeCodeName(outcome.code)));
    entry.set("detail", std::string(OutcomeDetailName(outcome.detail)));
    entry.set("file", outcome.file);
    val numbers = val::array();
    for (const std::int64_t number : outcome.numbers) {
        numbers.call<void>("push", static_cast<double>(number));
    }
    entry.set("numbers", numbers);
    val words = val::array();
    for (const std::string& word : outcome.words) {
        words.call<void>("push", word);
    }
    entry.set("words", words);
    entry.set("reason", ReasonText(outcome.reason));
    entry.set("warning", IsWarning(outcome.code));
    return entry;
}

val MessageArray(const std::vector<std::string>& messages) {
    val array = val::array();
    for (const std::string& text : messages) {
        array.call<void>("push", text);
    }
    return array;
}

// A palette as the colour list that palette= and ParseColourList take ("" for none).
std::string ColourListText(const Palette& palette) {
    std::string text;
    char colour[8];
    for (const PaletteColour& c : palette) {
        std::snprintf(colour, sizeof colour, "#%02X%02X%02X", c.red, c.green, c.blue);
        text += (text.empty() ? "" : ",") + std::string(colour);
    }
    return text;
}

val ProfileArray(const DisplayProfileList& profiles) {
    val list = val::array();
    for (const DisplayProfile& profile : profiles) {
        val entry = val::object();
        entry.set("name", profile.name);
        entry.set("layout", profile.layout);
        entry.set("depth", profile.depth);
        entry.set("description", profile.description);
        entry.set("text", ProfileText(profile));
        entry.set("code", MakeTypeCode(profile.layout, profile.depth));
        entry.set("palette", ColourListText(profile.palette));
        entry.set("shows", ColourListText(profile.shows));
        entry.set("unusable", profile.unusable);
        entry.set("background", !profile.background        ? ""
                                : *profile.background == 0 ? "black"
                                                           : "white");
        list.call<void>("push", entry);
    }
    return list;
}

// The bundled profiles in file order: [{name, layout, depth, description, text, code,
// palette, shows, unusable, background}], palette the profile's colours and shows the
// colours its panel shows for them as "#RRGGBB,..." or "", unusable why the profile cannot
// be used (a setting that cannot be read) or "", background "white", "black" or "".
val Profiles() {
    DisplayProfileList profiles;
    LoadDisplayProfilesFromText(std::string_view(BUNDLED_PROFILES, BUNDLED_PROFILES_SIZE),
                                BUNDLED_PROFILES_NAME, profiles);
    return ProfileArray(profiles);
}

// A user's own profile file (its text and name): {profiles, warnings}, the profiles as
// Profiles() gives them, the warnings word for word as ztr prints them for that file.
val ProfilesFromText(const std::string& text, const std::string& name) {
    std::vector<std::string> warnings;
    const MessageSink sink{KeepMessage, &warnings};
    DisplayProfileList profiles;
    LoadDisplayProfilesFromText(text, name, profiles, &sink);
    val result = val::object();
    result.set("profiles", ProfileArray(profiles));
    result.set("warnings", MessageArray(warnings));
    return result;
}

// The engine's words and limits, from which the page builds its controls: {maxDelay,
// maxSide, defaultThreshold, dithers: [{word, label}], palettes: [{name, colours}],
// pictureExtensions}, colours a palette's colour names ("black, white") and
// pictureExtensions the names the file input accepts (".bmp,.dib,...").
val EngineWords() {
    val words = val::object();
    words.set("maxDelay", MAX_DELAY_MS);
    words.set("maxSide", MAX_PICTURE_SIDE);
    words.set("defaultThreshold", DEFAULT_THRESHOLD);
    val dithers = val::array();
    for (const DitherMethod& method : DITHER_METHODS) {
        val entry = val::object();
        entry.set("word", std::string(method.word));
        entry.set("label", std::string(method.label));
        dithers.call<void>("push", entry);
    }
    words.set("dithers", dithers);
    val palettes = val::array();
    for (const NamedPalette& palette : BuiltInPalettes()) {
        val entry = val::object();
        entry.set("name", std::string(palette.name));
        entry.set("colours", ColourNames(palette.colours));
        palettes.call<void>("push", entry);
    }
    words.set("palettes", palettes);
    words.set("pictureExtensions", PictureExtensionList("", ","));
    return words;
}

// The text the page shows for a file that the browser could not read: the engine's line for
// a file that cannot be opened, and the browser's reason on the line after.
std::string CannotReadText(const std::string& file, const std::string& reason) {
    return OutcomeText({.code = OutcomeCode::CannotOpenForReading, .file = file}) + "  " + reason +
           "\n";
}

// Hands every step of a conversion to the page's progress function ({framesDone, frames,
// typesDone, types, picturesDone, pictures}); a false answer cancels the conversion.
std::function<bool(const ConversionProgress&)> ProgressCallback(const val& progress) {
    if (progress.typeOf().as<std::string>() != "function") {
        return {};
    }
    return [progress](const ConversionProgress& step) {
        val report = val::object();
        report.set("framesDone", static_cast<double>(step.framesDone));
        report.set("frames", static_cast<double>(step.frames));
        report.set("typesDone", static_cast<double>(step.typesDone));
        report.set("types", static_cast<double>(step.types));
        report.set("picturesDone", static_cast<double>(step.picturesDone));
        report.set("pictures", static_cast<double>(step.pictures));
        const val answer = progress(report);
        return answer.isUndefined() || answer.as<bool>();
    };
}

// A raw type code as ztr --code reads it (decimal, 0x hexadecimal or 0 octal): {code} for
// one that makes records, {fault} with ztr's refusal of one that cannot (a depth without
// records, unknown lay-out bits), or null for text that is no number.
val ParseTypeCode(const std::string& text) {
    const auto code = ParseInteger(text, IntegerStyle::C, INT32_MIN, UINT32_MAX);
    if (!code) {
        return val::null();
    }
    val result = val::object();
    if (const std::string fault = TypeCodeFault(static_cast<std::uint32_t>(*code));
        !fault.empty()) {
        result.set("fault", "invalid type code '" + text + "': " + fault);
    } else {
        result.set("code", static_cast<std::uint32_t>(*code));
    }
    return result;
}

// Converts the pictures ([{name, bytes}]) for the type codes, as ztr convert does with
// the same options: tone is {key: text} with the keys and words of tone_settings.h and
// the coding's ("coding", coding_choice.h); a delay of null keeps a GIF's own delays (ztr
// without --delay). ownDelays, when an array, gives an animation's pictures delays of
// their own (-1: the common one). palettes, when an array, gives each type its profile's
// palette ("#RRGGBB,..." or ""), or {palette, shows} with the colours its panel shows;
// backgrounds, when an array, gives each type its profile's background ("white", "black" or
// "" for none), taken where the tone has no background key (ztr without --background);
// paletteFile, when not null, is a palette file {name, bytes}, read from its bytes, which the
// tone's palette key names. progress, when a function, is told of every frame written and
// cancels by answering false. Returns {ok, cancelled, messages, outcomes, files: [{name,
// bytes}]}: one file per picture, or one animation file; messages every text in order,
// outcomes those of them that the engine gave as outcomes, as OutcomeObject gives them.
val Convert(const val& pictures, const val& codeList, bool animation, const val& delay,
            const val& ownDelayList, const val& tone, const val& paletteList,
            const val& backgroundList, const val& paletteFile, const val& progress) {
    KeptReport report;
    std::vector<std::string>& messages = report.messages;
    val result = val::object();
    result.set("ok", false);
    result.set("cancelled", false);
    result.set("files", val::array());
    result.set("outcomes", val::array());

    ConversionEnvironment environment;
    environment.sink = MessageSink{KeepReportText, &report, KeepReportOutcome};
    ConversionRequest request;
    const val keys = val::global("Object").call<val>("keys", tone);
    for (unsigned i = 0; i < keys["length"].as<unsigned>(); ++i) {
        const std::string key = keys[i].as<std::string>();
        const std::string text = tone[key].as<std::string>();
        const std::optional<CodingChoice> coding =
            key == CODING_KEY ? ParseCodingChoice(text) : std::nullopt;
        if (coding) {
            request.coding = *coding;
        } else if (key == CODING_KEY || !ApplyToneSetting(key, text, request.tone)) {
            messages.push_back("invalid value '" + text + "' for the option '" + key + "'\n");
            result.set("messages", MessageArray(messages));
            return result;
        }
    }
    if (!delay.isNull() && !delay.isUndefined()) {
        request.delay = delay.as<int>();
    }

    // An animation's pictures may carry delays of their own (-1: the common one).
    const std::vector<int> ownDelays =
        ownDelayList.isArray() ? emscripten::convertJSArrayToNumberVector<int>(ownDelayList)
                               : std::vector<int>{};
    request.animation = animation;
    for (unsigned i = 0; i < pictures["length"].as<unsigned>(); ++i) {
        RequestPicture picture{pictures[i]["name"].as<std::string>(),
                               SharedBytes(pictures[i]["bytes"])};
        if (animation && i < ownDelays.size() && ownDelays[i] >= 0) {
            picture.delay = ownDelays[i];
        }
        request.pictures.push_back(std::move(picture));
    }
    if (!paletteFile.isNull() && !paletteFile.isUndefined()) {
        request.paletteFile = SharedBytes(paletteFile["bytes"]);
    }
    environment.progress = ProgressCallback(progress);
    for (const std::uint32_t code :
         emscripten::convertJSArrayToNumberVector<std::uint32_t>(codeList)) {
        request.targets.push_back({code});
    }
    if (paletteList.isArray()) {
        for (unsigned i = 0; i < paletteList["length"].as<unsigned>() && i < request.targets.size();
             ++i) {
            // "#RRGGBB,...", or {palette, shows} with the measured colours too.
            const val entry = paletteList[i];
            const bool measured = entry.typeOf().as<std::string>() == "object";
            const std::optional<Palette> palette =
                ParseColourList((measured ? entry["palette"] : entry).as<std::string>());
            const std::optional<Palette> shows =
                measured ? ParseColourList(entry["shows"].as<std::string>()) : std::nullopt;
            request.targets[i].palette = palette ? *palette : Palette{};
            request.targets[i].shows = shows ? *shows : Palette{};
        }
    }
    // A profile's background is its panel's unless the tone names one, as --background
    // does for ztr.
    if (backgroundList.isArray() && !tone.hasOwnProperty("background")) {
        for (unsigned i = 0;
             i < backgroundList["length"].as<unsigned>() && i < request.targets.size(); ++i) {
            const std::string background = backgroundList[i].as<std::string>();
            if (background == "white" || background == "black") {
                request.targets[i].panel.background =
                    static_cast<std::uint8_t>(background == "white" ? 255 : 0);
            }
        }
    }

    std::vector<FileInMemory> written;
    environment.files = &written;
    const Outcome converted = RunConversion(request, environment);
    val files = val::array();
    for (const FileInMemory& output : written) {
        val file = val::object();
        file.set("name", output.name);
        file.set("bytes", ByteArray(output.bytes));
        files.call<void>("push", file);
    }
    result.set("cancelled", converted.code == OutcomeCode::Cancelled);
    result.set("ok", converted.Ok());
    result.set("messages", MessageArray(messages));
    val outcomes = val::array();
    for (const Outcome& outcome : report.outcomes) {
        outcomes.call<void>("push", OutcomeObject(outcome));
    }
    result.set("outcomes", outcomes);
    result.set("files", files);
    return result;
}

// The records of a Zentra file as the viewer lists them: [{text, width, height, depth,
// layout, delta, delay, dx, dy, next, time}], where next and time are the record played
// after this one and how long this one stands.
val ListFile(const val& fileBytes) {
    const std::vector<std::uint8_t> bytes = Bytes(fileBytes);
    val list = val::array();
    const auto records = ListRecords(MemorySource(bytes));
    if (!records) {
        return list;
    }
    for (std::size_t i = 0; i < records->size(); ++i) {
        const ListedRecord& record = (*records)[i];
        val entry = val::object();
        entry.set("text", DescribeRecord(record.header, record.delta));
        entry.set("width", record.header.width);
        entry.set("height", record.header.height);
        entry.set("depth", record.header.depth);
        entry.set("layout", record.header.layout);
        entry.set("delta", (record.header.layout & RECORD_DELTA) != 0);
        entry.set("delay", record.delta.delay);
        entry.set("dx", record.delta.dx);
        entry.set("dy", record.delta.dy);
        entry.set("next", NextPlayedRecord(*records, static_cast<int>(i)));
        entry.set("time", FrameTime(*records, static_cast<int>(i)));
        list.call<void>("push", entry);
    }
    return list;
}

// A decoded record as the page draws it: {ok, outcome, message, width, height, depth,
// rgba} with rgba top row first, fully opaque; outcome names why nothing is shown, and
// message says it.
val DecodedFrame(DecodeStatus status, const DisplayBitmap& bitmap, int index) {
    val result = val::object();
    const Outcome shown = ShownOutcome(status, bitmap, {}, index);
    const bool drawn = shown.Ok();
    std::string message = OutcomeText(shown);
    if (!message.empty()) {
        message.pop_back(); // the page shows it as one line
    }
    result.set("ok", drawn);
    result.set("outcome", std::string(OutcomeCodeName(shown.code)));
    result.set("message", message);
    result.set("width", bitmap.width);
    result.set("height", bitmap.height);
    result.set("depth", bitmap.depth);
    if (!drawn) {
        return result;
    }
    const auto width = static_cast<std::size_t>(bitmap.width);
    std::vector<std::uint8_t> rgb(width * 3);
    std::vector<std::uint8_t> rgba(width * static_cast<std::size_t>(bitmap.height) * 4);
    for (int y = 0; y < bitmap.height; ++y) {
        BitmapRowToRgb(bitmap, y, rgb.data());
        std::uint8_t* out = rgba.data() + static_cast<std::size_t>(y) * width * 4;
        for (std::size_t x = 0; x < width; ++x) {
            out[4 * x] = rgb[3 * x];
            out[4 * x + 1] = rgb[3 * x + 1];
            out[4 * x + 2] = rgb[3 * x + 2];
            out[4 * x + 3] = 0xFF;
        }
    }
    result.set("rgba", ByteArray(rgba));
    return result;
}

// Record index of a Zentra file (optionally built up) as the device shows it.
val DecodeToRgba(const val& fileBytes, int index, bool buildUp) {
    const std::vector<std::uint8_t> bytes = Bytes(fileBytes);
    DisplayBitmap bitmap;
    const DecodeStatus status = DecodeRecord(MemorySource(bytes), index, buildUp, bitmap);
    return DecodedFrame(status, bitmap, index);
}

// Record index of a Zentra file as every panel of its size and depth would show its bytes:
// [{layout, code, ok, message, width, height, depth, rgba}] for every lay-out of
// WrittenLayouts, its own among them; code is the type code a profile or --code takes.
val LayoutView(const val& fileBytes, int index) {
    const std::vector<std::uint8_t> bytes = Bytes(fileBytes);
    val views = val::array();
    const auto records = ListRecords(MemorySource(bytes));
    if (!records || index < 0 || static_cast<std::size_t>(index) >= records->size()) {
        return views;
    }
    const RecordHeader& header = (*records)[static_cast<std::size_t>(index)].header;
    for (const std::uint8_t layout : WrittenLayouts(header.depth)) {
        DisplayBitmap bitmap;
        const DecodeStatus status =
            DecodeRecordAsLayout(MemorySource(bytes), index, layout, bitmap);
        val view = DecodedFrame(status, bitmap, index);
        view.set("layout", layout);
        view.set("code", MakeTypeCode(layout, header.depth));
        views.call<void>("push", view);
    }
    return views;
}

// The page's player of one Zentra file (new Player(bytes), show(index), delete()): its
// own copy of the bytes, taken once, and a frame player over them, so that each frame
// played costs its own record and not a copy of the file.
class WebPlayer {
  public:
    explicit WebPlayer(const val& fileBytes) : bytes_(Bytes(fileBytes)) {
        player_.Open(MemorySource(bytes_));
    }
    WebPlayer(const WebPlayer&) = delete;
    WebPlayer& operator=(const WebPlayer&) = delete;

    // What decodeRecord(bytes, index, true) gives; a delta record that follows the one
    // shown before is drawn over it.
    val Show(int index) { return DecodedFrame(player_.Show(index), player_.Frame(), index); }

  private:
    const std::vector<std::uint8_t> bytes_; // before player_, which reads them
    FramePlayer player_;
};

// The C header of a Zentra file as ztr export writes it, the array named after the file.
std::string ExportHeader(const val& fileBytes, const std::string& fileName) {
    const std::vector<std::uint8_t> bytes = Bytes(fileBytes);
    const auto records = ListRecords(MemorySource(bytes));
    return HeaderText(fileName, NameFromPath(fileName), bytes,
                      records ? DescribeRecords(*records) : std::vector<std::string>{});
}

} // namespace

EMSCRIPTEN_BINDINGS(zentra) {
    emscripten::function("profiles", &Profiles);
    emscripten::function("profilesFromText", &ProfilesFromText);
    emscripten::function("engineWords", &EngineWords);
    emscripten::function("cannotReadText", &CannotReadText);
    emscripten::function("parseTypeCode", &ParseTypeCode);
    emscripten::function("convert", &Convert);
    emscripten::function("listRecords", &ListFile);
    emscripten::function("decodeRecord", &DecodeToRgba);
    emscripten::function("layoutView", &LayoutView);
    emscripten::function("exportHeader", &ExportHeader);
    emscripten::class_<WebPlayer>("Player").constructor<const val&>().function("show",
                                                                               &WebPlayer::Show);
}
