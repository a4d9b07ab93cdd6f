// ztr probe: writes one Zentra file holding a test picture in every lay-out of a panel's
// size and depth, and lists its records with their type codes. The firmware steps through
// the records; the one that shows the picture the right way round gives the code.
#include "commands.h"

#include "describe_record.h"
#include "interrupt_cleanup.h"
#include "parse_integer.h"
#include "probe_pictures.h"
#include "record_walk.h"
#include "tone_settings.h"
#include "type_code.h"

#include <cstdio>

namespace {

// Probe pictures are drawn whole in memory, one for each lay-out: panels are far smaller.
constexpr int MIN_SIDE = 8;
constexpr int MAX_SIDE = 1024;

struct ProbeOptions {
    int width = 0;
    int height = 0;
    int depth = 1;
    std::string output = "probe.ztr";
};

std::optional<int> ParseProbeArgs(const CommandArgs& args, ProbeOptions& options) {
    std::string size;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (IsHelpOption(arg)) {
            PrintHelp();
            return EXIT_DONE;
        }
        if (arg == "--depth" || arg == "-o" || arg == "--output") {
            if (i + 1 == args.size()) {
                return UsageError("option '" + arg + "' needs a value");
            }
            const std::string& value = args[++i];
            if (arg != "--depth") {
                options.output = value;
                continue;
            }
            const auto depth = ParseInteger(value, IntegerStyle::Decimal, 1, 24);
            if (!depth || ProbeTypeCodes(static_cast<int>(*depth)).empty()) {
                return UsageError("invalid depth '" + value + "' (1, 2, 4, 8, 16 or 24)");
            }
            options.depth = static_cast<int>(*depth);
        } else if (arg.size() > 1 && arg[0] == '-') {
            return UsageError("unknown option '" + arg + "'");
        } else if (!size.empty()) {
            return UsageError("more than one size given");
        } else {
            size = arg;
        }
    }
    if (size.empty()) {
        return UsageError("no panel size given (WxH, for example 128x64)");
    }
    ToneOptions parsed;
    if (!ApplyToneSetting("resize", size, parsed) || parsed.resizeWidth < MIN_SIDE ||
        parsed.resizeHeight < MIN_SIDE || parsed.resizeWidth > MAX_SIDE ||
        parsed.resizeHeight > MAX_SIDE) {
        return UsageError("invalid panel size '" + size + "' (WxH, each side 8 to 1024)");
    }
    options.width = parsed.resizeWidth;
    options.height = parsed.resizeHeight;
    return std::nullopt;
}

} // namespace

int RunProbe(const CommandArgs& args) {
    ProbeOptions options;
    if (const auto status = ParseProbeArgs(args, options)) {
        return *status;
    }
    ConversionContext context;
    context.outputPath = options.output;
    context.temporaryFile = InterruptCleanupNotice();
    if (!WriteProbeFile(options.width, options.height, options.depth, context).Ok()) {
        return EXIT_FAILED;
    }
    // What the firmware will show, record by record, and the code each one stands for.
    const auto records = ListRecords(options.output);
    if (!records) {
        return Failure("cannot open '" + options.output + "'");
    }
    for (std::size_t k = 0; k < records->size(); ++k) {
        const RecordHeader& header = (*records)[k].header;
        std::printf("%zu\t0x%X\t%s\n", k,
                    static_cast<unsigned>(MakeTypeCode(header.layout & LAYOUT_BITS, header.depth)),
                    DescribeRecord(header, (*records)[k].delta, {true, false}).c_str());
    }
    return EXIT_DONE;
}
