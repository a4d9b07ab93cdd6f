// The squash encoder: a shortest-path search over literal runs and copies, costs in bits.
// See squash_coding.h for the byte stream; squash_decoder.cpp reads it back.
#include "squash_coding.h"

#include "squash_deltas.h"
#include "squash_tokens.h"

#include <algorithm>
#include <array>
#include <limits>
#include <memory>

namespace {

// ---- Token bytes ----------------------------------------------------------------------

class CodedWriter {
  public:
    explicit CodedWriter(std::vector<std::uint8_t>& out) : out_(out) {}

    void Byte(std::uint8_t b) { out_.push_back(b); }
    // A token byte `head` with a length n (1 to 16383) in its low field of `field` at
    // most: n - 1 when it fits below field, else field and the rest n - 1 - field in
    // one extension byte (below 128) or two (its low 7 bits, bit 7 set, then the rest
    // shifted down by 7).
    void Token(std::uint8_t head, std::uint32_t field, std::uint32_t n) {
        if (n - 1 < field) {
            Byte(static_cast<std::uint8_t>(head | (n - 1)));
            return;
        }
        Byte(static_cast<std::uint8_t>(head | field));
        const std::uint32_t rest = n - 1 - field;
        if (rest < 128) {
            Byte(static_cast<std::uint8_t>(rest));
            return;
        }
        Byte(static_cast<std::uint8_t>(0x80 | (rest & 0x7F)));
        Byte(static_cast<std::uint8_t>(rest >> 7));
    }

  private:
    std::vector<std::uint8_t>& out_;
};

// Bits of a token with a length n in a field of `field` at most, extension bytes included.
std::uint32_t TokenBits(std::uint32_t n, std::uint32_t field) {
    if (n - 1 < field) {
        return 8;
    }
    return n - 1 - field < 128 ? 16 : 24;
}

// ---- The encoder's search -----------------------------------------------------------

constexpr std::uint32_t INFINITE = std::numeric_limits<std::uint32_t>::max();
constexpr std::size_t CHAIN_DEPTH = 16;       // candidates tried from the hash chain
constexpr std::uint32_t LONG_COPY = 8;        // a copy this long is taken without a search inside
constexpr std::uint32_t LONGEST_MATCH = 4096; // longer matches are not measured further
constexpr std::uint32_t ALL_LENGTHS = 8;      // copies up to this long are tried at every length

// What the last token at a position was: a copy (also the start), or a literal run of
// verbatim units or of delta codes.
enum State : std::uint8_t { COPY = 0, RAW = 1, DELTA = 2 };

// The cheapest known way to reach a unit position in one state. Literal runs are followed
// a step (one unit, or one delta code) at a time, copies as a whole.
struct Arrival {
    std::uint32_t cost = INFINITE; // bits
    std::uint32_t from = 0;        // the position this step or copy started at
    std::uint16_t distance = 0;    // R after this step: at most 512 units
    std::uint16_t run = 0;         // units of the literal run so far: at most 16383
    std::uint8_t previous = COPY;  // the state at `from`
};

// An arrival's fields from the search's 32-bit numbers, which fit them.
Arrival Arrive(std::uint32_t from, std::uint32_t distance, std::uint32_t run,
               std::uint8_t previous) {
    return {0, from, static_cast<std::uint16_t>(distance), static_cast<std::uint16_t>(run),
            previous};
}

// One token's worth of the cheapest path, as the search follows it back.
struct Step {
    State state;
    std::uint32_t from;
    std::uint32_t to;
    std::uint32_t distance;
    std::uint32_t run; // units of the literal run up to this step's end
};

struct Candidate {
    std::uint32_t distance;
    std::uint32_t length;
};

} // namespace

// Everything the search keeps per unit, sized for the largest record so far.
struct SquashEncoder::Workspace {
    std::vector<std::uint32_t> values;
    std::vector<std::uint32_t> runOne;
    std::vector<std::uint32_t> runLine;
    std::vector<std::uint32_t> head;
    std::vector<std::uint32_t> chain;
    std::vector<Match> matches;
    std::array<std::vector<Arrival>, 3> arrivals;
    std::vector<Step> steps;
};

namespace {

class Search {
  public:
    Search(std::span<const std::uint8_t> bytes, const PixelStreamShape& shape,
           SquashEncoder::Workspace& workspace)
        : bytes_(bytes), shape_(shape), unit_(shape.unitBytes),
          units_(bytes.size() / shape.unitBytes),
          window_(static_cast<std::uint32_t>(SquashWindowUnits(shape.unitBytes))),
          line_(static_cast<std::uint32_t>(shape.lineUnits)),
          lineAbove_(shape.lineUnits >= 1 && shape.lineUnits <= window_),
          deltas_(SquashHasDeltaRuns(shape)), values_(workspace.values), runOne_(workspace.runOne),
          runLine_(workspace.runLine), head_(workspace.head), chain_(workspace.chain),
          matches_(workspace.matches), arrivals_(workspace.arrivals), steps_(workspace.steps) {
        values_.assign(window_ + units_, 0);
        for (std::size_t i = 0; i < units_; ++i) {
            std::uint32_t v = 0;
            for (unsigned k = 0; k < unit_; ++k) {
                v = (v << 8) | bytes[i * unit_ + k];
            }
            values_[window_ + i] = v;
        }
    }

    std::vector<std::uint8_t> Run() {
        std::vector<std::uint8_t> out;
        if (units_ == 0) {
            return out;
        }
        for (auto& arrivals : arrivals_) {
            arrivals.assign(units_ + 1, Arrival{});
        }
        arrivals_[COPY][0].cost = 0;
        arrivals_[COPY][0].distance = 1;
        FindRuns();
        // A hash table of about two entries a unit, so that a small delta record does not
        // pay for clearing the table of a whole screen.
        hashBits_ = 10;
        while (hashBits_ < 16 && (std::size_t{1} << hashBits_) < 2 * units_) {
            ++hashBits_;
        }
        head_.assign(std::size_t{1} << hashBits_, NONE);
        chain_.assign(window_ + units_, NONE);
        matches_.assign(window_ + 1, SquashEncoder::Match{});
        std::size_t skipUntil = 0;
        std::vector<Candidate> candidates;
        for (std::size_t p = 0; p < units_; ++p) {
            if (p >= skipUntil) {
                Relax(static_cast<std::uint32_t>(p), candidates);
                for (const Candidate& c : candidates) {
                    if (c.length >= LONG_COPY) {
                        skipUntil = std::max(skipUntil, p + std::min(c.length, SQUASH_LONGEST));
                    }
                }
            }
            Insert(window_ + static_cast<std::uint32_t>(p));
        }
        Emit(out);
        return out;
    }

  private:
    static constexpr std::uint32_t NONE = std::numeric_limits<std::uint32_t>::max();

    std::uint32_t Hash(std::uint32_t at) const {
        const std::uint32_t a = values_[at];
        const std::uint32_t b = at + 1 < values_.size() ? values_[at + 1] : 0;
        return ((a * 2654435761u) ^ (b * 0x9E3779B1u + (b >> 7))) >> (32 - hashBits_);
    }
    void Insert(std::uint32_t at) {
        if (at + 1 >= values_.size()) {
            return;
        }
        const std::uint32_t h = Hash(at);
        chain_[at] = head_[h];
        head_[h] = at;
    }

    // Lengths of the copies from distance 1 and from the line above at every position,
    // from the back, so that long runs cost no search.
    void FindRuns() {
        runOne_.assign(units_ + 1, 0);
        runLine_.assign(units_ + 1, 0);
        for (std::size_t p = units_; p-- > 0;) {
            const std::size_t at = window_ + p;
            if (values_[at] == values_[at - 1]) {
                runOne_[p] = runOne_[p + 1] + 1;
            }
            if (lineAbove_ && values_[at] == values_[at - line_]) {
                runLine_[p] = runLine_[p + 1] + 1;
            }
        }
    }

    // The length of the match at `at` from `distance` back. The same distances come up at
    // position after position (R, the line above, the hash chain's), so the last length
    // found for each distance is kept: one position on, a match that did not reach the
    // limit is one unit shorter.
    std::uint32_t MatchLength(std::uint32_t at, std::uint32_t distance) const {
        SquashEncoder::Match& known = matches_[distance];
        if (known.at + 1 == at && known.length > 0 && known.length < LONGEST_MATCH) {
            known.at = at;
            return --known.length;
        }
        known.at = at;
        known.length = MeasureMatch(at, distance);
        return known.length;
    }

    std::uint32_t MeasureMatch(std::uint32_t at, std::uint32_t distance) const {
        const std::uint32_t end = static_cast<std::uint32_t>(values_.size());
        const std::uint32_t limit = std::min(end, at + LONGEST_MATCH);
        std::uint32_t k = at;
        while (k < limit && values_[k] == values_[k - distance]) {
            ++k;
        }
        return k - at;
    }

    void Gather(std::uint32_t p, std::vector<Candidate>& candidates) const {
        candidates.clear();
        const std::uint32_t at = window_ + p;
        auto add = [&](std::uint32_t distance, std::uint32_t length) {
            if (length == 0) {
                return; // before the stream's start lie zeros, which copies may reach
            }
            for (Candidate& c : candidates) {
                if (c.distance == distance) {
                    return;
                }
            }
            candidates.push_back({distance, length});
        };
        add(1, runOne_[p]);
        if (lineAbove_) {
            add(line_, runLine_[p]);
        }
        for (const auto& arrivals : arrivals_) {
            const Arrival& a = arrivals[p];
            if (a.cost != INFINITE && a.distance != 0) {
                add(a.distance, MatchLength(at, a.distance));
            }
        }
        std::uint32_t best = 0;
        for (const Candidate& c : candidates) {
            best = std::max(best, c.length);
        }
        if (best >= LONG_COPY) {
            return; // a long copy is taken as it is
        }
        std::size_t tried = 0;
        for (std::uint32_t q = head_[Hash(at)]; q != NONE && tried < CHAIN_DEPTH;
             q = chain_[q], ++tried) {
            const std::uint32_t distance = at - q;
            if (distance > window_) {
                break;
            }
            if (values_[q] != values_[at]) {
                continue;
            }
            const std::uint32_t length = MatchLength(at, distance);
            if (length > best) {
                best = length;
                add(distance, length);
                if (length >= LONG_COPY) {
                    break; // taken as it is; no search inside it
                }
            }
        }
    }

    void Offer(State state, std::size_t to, std::uint32_t cost, const Arrival& step) {
        Arrival& target = arrivals_[state][to];
        // Of two literal runs at the same cost the longer one is kept: it has paid for
        // its length's extension byte already.
        if (cost < target.cost || (cost == target.cost && step.run > target.run)) {
            target = step;
            target.cost = cost;
        }
    }

    // Bytes of the delta code for the `count` pixels from p on (count 2 and 3 only for
    // grey), or 0 when that many pixels have no single code.
    unsigned DeltaCodeBytes(std::uint32_t p, unsigned count) const {
        if (p + count > units_) {
            return 0;
        }
        const std::uint32_t at = window_ + p;
        if (shape_.depth == 8) {
            int limit = count == 1 ? 32 : (count == 2 ? 4 : 2);
            for (unsigned i = 0; i < count; ++i) {
                const int d = WrappedDifference(values_[at + i], values_[at + i - 1], 8);
                if (!Within(d, -limit, limit - 1)) {
                    return count == 1 ? 2 : 0;
                }
            }
            return 1;
        }
        if (count != 1) {
            return 0;
        }
        const PixelFields now = FieldsOf(values_[at], shape_.depth, shape_.highByteFirst);
        const PixelFields before = FieldsOf(values_[at - 1], shape_.depth, shape_.highByteFirst);
        return ColourCodeBytes(DifferenceOf(now, before, shape_.depth), unit_);
    }

    void Relax(std::uint32_t p, std::vector<Candidate>& candidates) {
        const std::uint32_t unitBits = 8 * unit_;
        // A literal run may start after anything; it starts from the cheapest arrival.
        State before = COPY;
        std::uint32_t beforeCost = INFINITE;
        for (const State s : {COPY, RAW, DELTA}) {
            if (arrivals_[s][p].cost < beforeCost) {
                before = s;
                beforeCost = arrivals_[s][p].cost;
            }
        }
        if (beforeCost == INFINITE) {
            return;
        }
        const std::uint32_t beforeDistance = arrivals_[before][p].distance;
        const Arrival raw = arrivals_[RAW][p];
        const Arrival delta = arrivals_[DELTA][p];
        Offer(RAW, p + 1, beforeCost + TokenBits(1, SHORT_FIELD) + unitBits,
              Arrive(p, beforeDistance, 1, before));
        if (raw.cost != INFINITE && raw.run < SQUASH_LONGEST) {
            const std::uint32_t grow =
                TokenBits(raw.run + 1, SHORT_FIELD) - TokenBits(raw.run, SHORT_FIELD);
            Offer(RAW, p + 1, raw.cost + grow + unitBits,
                  Arrive(p, raw.distance, raw.run + 1u, RAW));
        }
        if (deltas_) {
            for (unsigned count = 1; count <= 3; ++count) {
                const unsigned bytes = DeltaCodeBytes(p, count);
                if (bytes == 0) {
                    continue;
                }
                Offer(DELTA, p + count, beforeCost + TokenBits(count, SHORT_FIELD) + 8 * bytes,
                      Arrive(p, beforeDistance, count, before));
                if (delta.cost != INFINITE && delta.run + count <= SQUASH_LONGEST) {
                    const std::uint32_t grow = TokenBits(delta.run + count, SHORT_FIELD) -
                                               TokenBits(delta.run, SHORT_FIELD);
                    Offer(DELTA, p + count, delta.cost + grow + 8 * bytes,
                          Arrive(p, delta.distance, delta.run + count, DELTA));
                }
            }
        }
        Gather(p, candidates);
        for (const Candidate& c : candidates) {
            const std::uint32_t length = std::min<std::uint32_t>(
                {c.length, static_cast<std::uint32_t>(units_ - p), SQUASH_LONGEST});
            // From R or the line above a copy is one token byte; from elsewhere it carries
            // the distance's low byte and a longer length field. So only the cheapest
            // arrival of either kind can start the copy.
            struct Start {
                std::uint32_t cost = INFINITE;
                State state = COPY;
            };
            Start near;
            Start far;
            for (const State s : {COPY, RAW, DELTA}) {
                const Arrival& a = arrivals_[s][p];
                const bool shortToken =
                    a.distance == c.distance || (lineAbove_ && c.distance == line_);
                Start& start = shortToken ? near : far;
                const std::uint32_t cost =
                    a.cost == INFINITE ? INFINITE : a.cost + (shortToken ? 0 : 8);
                if (cost < start.cost) {
                    start = {cost, s};
                }
            }
            // Named references rather than a structured binding, which older compilers (the web
            // page's clang 14) do not let a lambda capture.
            for (const auto& entry : {std::pair{near, SHORT_FIELD}, {far, FAR_FIELD}}) {
                const Start& start = entry.first;
                const auto field = entry.second;
                if (start.cost == INFINITE) {
                    continue;
                }
                auto tryLength = [&](std::uint32_t n) {
                    Offer(COPY, p + n, start.cost + TokenBits(n, field),
                          Arrive(p, c.distance, 0, start.state));
                };
                const std::uint32_t every = std::min(length, ALL_LENGTHS);
                for (std::uint32_t n = 1; n <= every; ++n) {
                    tryLength(n);
                }
                for (std::uint32_t n = 32; n < length; n *= 2) {
                    tryLength(n - 1);
                }
                if (length > every) {
                    tryLength(length);
                    tryLength(std::min(length, field + 1));
                }
            }
        }
    }

    // Follows the cheapest arrivals back from the end and writes the tokens in order.
    void Emit(std::vector<std::uint8_t>& out) {
        std::vector<Step>& steps = steps_;
        steps.clear();
        std::size_t p = units_;
        State state = COPY;
        for (const State s : {RAW, DELTA}) {
            if (arrivals_[s][p].cost < arrivals_[state][p].cost) {
                state = s;
            }
        }
        while (p > 0) {
            const Arrival& a = arrivals_[state][p];
            steps.push_back({state, a.from, static_cast<std::uint32_t>(p), a.distance, a.run});
            p = a.from;
            state = static_cast<State>(a.previous);
        }
        std::reverse(steps.begin(), steps.end());
        CodedWriter writer(out);
        std::uint32_t last = 1;
        for (std::size_t i = 0; i < steps.size();) {
            const Step& s = steps[i];
            if (s.state != COPY) {
                // The run ends where the next step starts a run of its own.
                std::size_t end = i + 1;
                while (end < steps.size() && steps[end].state == s.state &&
                       steps[end].run != steps[end].to - steps[end].from) {
                    ++end;
                }
                writer.Token(s.state == DELTA ? KIND_DELTA : KIND_VERBATIM, SHORT_FIELD,
                             steps[end - 1].to - s.from);
                for (; i < end; ++i) {
                    if (s.state == RAW) {
                        const std::size_t begin = static_cast<std::size_t>(steps[i].from) * unit_;
                        for (std::size_t k = 0; k < unit_; ++k) {
                            writer.Byte(bytes_[begin + k]);
                        }
                    } else {
                        WriteDelta(writer, steps[i].from, steps[i].to - steps[i].from);
                    }
                }
                continue;
            }
            const std::uint32_t n = s.to - s.from;
            if (s.distance == last) {
                writer.Token(KIND_REPEAT, SHORT_FIELD, n);
            } else if (lineAbove_ && s.distance == line_) {
                writer.Token(KIND_ABOVE, SHORT_FIELD, n);
            } else {
                const std::uint32_t back = s.distance - 1;
                writer.Token(static_cast<std::uint8_t>(KIND_FAR | (back >> 8) << 6), FAR_FIELD, n);
                writer.Byte(static_cast<std::uint8_t>(back & 0xFF));
            }
            last = s.distance;
            ++i;
        }
    }

    void WriteDelta(CodedWriter& writer, std::uint32_t p, unsigned count) const {
        const std::uint32_t at = window_ + p;
        auto field = [](int d, unsigned bits) {
            return static_cast<unsigned>(d) & ((1u << bits) - 1);
        };
        if (shape_.depth == 8) {
            int d[3] = {};
            for (unsigned i = 0; i < count; ++i) {
                d[i] = WrappedDifference(values_[at + i], values_[at + i - 1], 8);
            }
            if (count == 3) {
                writer.Byte(static_cast<std::uint8_t>(0x80 | field(d[0], 2) << 4 |
                                                      field(d[1], 2) << 2 | field(d[2], 2)));
            } else if (count == 2) {
                writer.Byte(static_cast<std::uint8_t>(field(d[0], 3) << 3 | field(d[1], 3)));
            } else if (Within(d[0], -32, 31)) {
                writer.Byte(static_cast<std::uint8_t>(0x40 | field(d[0], 6)));
            } else {
                writer.Byte(0xC0);
                writer.Byte(static_cast<std::uint8_t>(values_[at]));
            }
            return;
        }
        const PixelFields now = FieldsOf(values_[at], shape_.depth, shape_.highByteFirst);
        const PixelFields before = FieldsOf(values_[at - 1], shape_.depth, shape_.highByteFirst);
        const ColourDifference d = DifferenceOf(now, before, shape_.depth);
        switch (ColourCodeBytes(d, unit_)) {
        case 1:
            writer.Byte(static_cast<std::uint8_t>(field(d.dg, 3) << 4 | field(d.da, 2) << 2 |
                                                  field(d.db, 2)));
            break;
        case 2:
            writer.Byte(static_cast<std::uint8_t>(0x80 | field(d.dg, 6)));
            writer.Byte(static_cast<std::uint8_t>(field(d.da, 4) << 4 | field(d.db, 4)));
            break;
        default:
            writer.Byte(0xC0);
            for (unsigned k = 0; k < unit_; ++k) {
                writer.Byte(bytes_[static_cast<std::size_t>(p) * unit_ + k]);
            }
        }
    }

    std::span<const std::uint8_t> bytes_;
    PixelStreamShape shape_;
    unsigned unit_;
    std::size_t units_;
    std::uint32_t window_;
    std::uint32_t line_;
    bool lineAbove_;
    bool deltas_;
    unsigned hashBits_ = 16;
    // The workspace's buffers, kept from one record to the next.
    std::vector<std::uint32_t>& values_; // a zero window, then the units as numbers
    std::vector<std::uint32_t>& runOne_;
    std::vector<std::uint32_t>& runLine_;
    std::vector<std::uint32_t>& head_;
    std::vector<std::uint32_t>& chain_;
    std::vector<SquashEncoder::Match>& matches_; // by distance
    std::array<std::vector<Arrival>, 3>& arrivals_;
    std::vector<Step>& steps_;
};

} // namespace

SquashEncoder::SquashEncoder() : workspace_(std::make_unique<Workspace>()) {}

SquashEncoder::~SquashEncoder() = default;

std::vector<std::uint8_t> SquashEncoder::Encode(std::span<const std::uint8_t> unpacked,
                                                const PixelStreamShape& shape) {
    Search search(unpacked, shape, *workspace_);
    return search.Run();
}

std::vector<std::uint8_t> EncodeSquash(std::span<const std::uint8_t> unpacked,
                                       const PixelStreamShape& shape) {
    SquashEncoder encoder;
    return encoder.Encode(unpacked, shape);
}
