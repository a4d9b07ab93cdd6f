// The squash encoder (a shortest-path search over literal runs and copies, costs in bits)
// and the reference decoder that the device decoder and the fuzz targets are checked
// against. See squash_coding.h for the byte stream.
#include "squash_coding.h"

#include "squash_deltas.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

namespace {

// ---- Bits and bytes in stream order -------------------------------------------------

class BitWriter {
  public:
    explicit BitWriter(std::vector<std::uint8_t>& out) : out_(out) {}

    void Bit(unsigned bit) {
        if (left_ == 0) {
            bitByte_ = out_.size();
            out_.push_back(0);
            left_ = 8;
        }
        --left_;
        if (bit != 0) {
            out_[bitByte_] = static_cast<std::uint8_t>(out_[bitByte_] | (1u << left_));
        }
    }
    void Byte(std::uint8_t b) { out_.push_back(b); }
    void Gamma(std::uint32_t n) {
        int top = 31;
        while ((n >> top) == 0) {
            --top;
        }
        for (int i = top - 1; i >= 0; --i) {
            Bit(0);
            Bit((n >> i) & 1u);
        }
        Bit(1);
    }

  private:
    std::vector<std::uint8_t>& out_;
    std::size_t bitByte_ = 0;
    unsigned left_ = 0;
};

class BitReader {
  public:
    explicit BitReader(std::span<const std::uint8_t> in) : in_(in) {}

    bool Bit(unsigned& bit) {
        if (left_ == 0) {
            if (next_ == in_.size()) {
                return false;
            }
            bitByte_ = in_[next_++];
            left_ = 8;
        }
        --left_;
        bit = (bitByte_ >> left_) & 1u;
        return true;
    }
    bool Byte(std::uint8_t& b) {
        if (next_ == in_.size()) {
            return false;
        }
        b = in_[next_++];
        return true;
    }
    // A gamma code of at most 32 bits of value.
    bool Gamma(std::uint32_t& n) {
        n = 1;
        unsigned bit = 0;
        for (;;) {
            if (!Bit(bit)) {
                return false;
            }
            if (bit != 0) {
                return true;
            }
            if ((n >> 31) != 0 || !Bit(bit)) {
                return false;
            }
            n = (n << 1) | bit;
        }
    }
    std::size_t Used() const { return next_; }
    std::span<const std::uint8_t> Take(std::size_t count) {
        if (in_.size() - next_ < count) {
            return {};
        }
        const auto piece = in_.subspan(next_, count);
        next_ += count;
        return piece;
    }

  private:
    std::span<const std::uint8_t> in_;
    std::size_t next_ = 0;
    std::uint8_t bitByte_ = 0;
    unsigned left_ = 0;
};

unsigned GammaBits(std::uint32_t n) {
    unsigned top = 0;
    while ((n >> (top + 1)) != 0) {
        ++top;
    }
    return 2 * top + 1;
}

// ---- The encoder's search -----------------------------------------------------------

constexpr std::uint32_t INFINITE = std::numeric_limits<std::uint32_t>::max();
constexpr std::size_t CHAIN_DEPTH = 48;       // candidates tried from the hash chain
constexpr std::uint32_t LONG_COPY = 64;       // a copy this long is taken without a search inside
constexpr std::uint32_t LONGEST_MATCH = 4096; // longer matches are not measured further
constexpr std::uint32_t ALL_LENGTHS = 24;     // copies up to this long are tried at every length

// What the last token at a position was: a copy (also the start), or a literal run of
// verbatim units or of delta codes.
enum State : std::uint8_t { COPY = 0, RAW = 1, DELTA = 2 };

// The cheapest known way to reach a unit position in one state. Literal runs are followed
// a step (one unit, or one delta code) at a time, copies as a whole.
struct Arrival {
    std::uint32_t cost = INFINITE; // bits
    std::uint32_t from = 0;        // the position this step or copy started at
    std::uint32_t distance = 0;    // R after this step
    std::uint32_t run = 0;         // units of the literal run so far
    std::uint8_t previous = COPY;  // the state at `from`
};

struct Candidate {
    std::uint32_t distance;
    std::uint32_t length;
};

class Search {
  public:
    Search(std::span<const std::uint8_t> bytes, const PixelStreamShape& shape)
        : bytes_(bytes), shape_(shape), unit_(shape.unitBytes),
          units_(bytes.size() / shape.unitBytes),
          window_(static_cast<std::uint32_t>(SquashWindowUnits(shape.unitBytes))),
          line_(static_cast<std::uint32_t>(shape.lineUnits)),
          lineAbove_(shape.lineUnits >= 1 && shape.lineUnits <= window_),
          deltas_(SquashHasDeltaRuns(shape)) {
        values_.resize(window_ + units_, 0);
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
        head_.assign(1u << 16, NONE);
        chain_.assign(window_ + units_, NONE);
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
        return ((a * 2654435761u) ^ (b * 0x9E3779B1u + (b >> 7))) >> 16;
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

    std::uint32_t MatchLength(std::uint32_t at, std::uint32_t distance) const {
        const std::uint32_t end = static_cast<std::uint32_t>(values_.size());
        const std::uint32_t limit = std::min(end, at + LONGEST_MATCH);
        std::uint32_t k = at;
        while (k < limit && values_[k] == values_[k - distance]) {
            ++k;
        }
        return k - at;
    }

    std::uint32_t DistanceBits(std::uint32_t distance) const {
        if (lineAbove_ && distance == line_) {
            return 1;
        }
        return (lineAbove_ ? 1u : 0u) + 9;
    }

    void Gather(std::uint32_t p, std::vector<Candidate>& candidates) const {
        candidates.clear();
        const std::uint32_t at = window_ + p;
        auto add = [&](std::uint32_t distance, std::uint32_t length) {
            if (length == 0 || distance > p) {
                return; // copies stay within the stream
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
        if (cost < target.cost) {
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
        const Arrival copy = arrivals_[COPY][p];
        const Arrival raw = arrivals_[RAW][p];
        const Arrival delta = arrivals_[DELTA][p];
        const std::uint32_t unitBits = 8 * unit_;
        const std::uint32_t startBits = 1 + (deltas_ ? 1u : 0u);
        // A literal run starts after a copy or after a literal run of the longest length.
        State before = COPY;
        std::uint32_t beforeCost = copy.cost;
        for (const State s : {RAW, DELTA}) {
            const Arrival& a = arrivals_[s][p];
            if (a.run == SQUASH_LONGEST && a.cost < beforeCost) {
                before = s;
                beforeCost = a.cost;
            }
        }
        const std::uint32_t beforeDistance = arrivals_[before][p].distance;
        if (beforeCost != INFINITE) {
            Offer(RAW, p + 1, beforeCost + startBits + GammaBits(1) + unitBits,
                  {0, p, beforeDistance, 1, before});
        }
        if (raw.cost != INFINITE && raw.run < SQUASH_LONGEST) {
            const std::uint32_t grow = GammaBits(raw.run + 1) - GammaBits(raw.run);
            Offer(RAW, p + 1, raw.cost + grow + unitBits, {0, p, raw.distance, raw.run + 1, RAW});
        }
        if (deltas_) {
            for (unsigned count = 1; count <= 3; ++count) {
                const unsigned bytes = DeltaCodeBytes(p, count);
                if (bytes == 0) {
                    continue;
                }
                if (beforeCost != INFINITE) {
                    Offer(DELTA, p + count, beforeCost + startBits + GammaBits(count) + 8 * bytes,
                          {0, p, beforeDistance, count, before});
                }
                if (delta.cost != INFINITE && delta.run + count <= SQUASH_LONGEST) {
                    const std::uint32_t grow = GammaBits(delta.run + count) - GammaBits(delta.run);
                    Offer(DELTA, p + count, delta.cost + grow + 8 * bytes,
                          {0, p, delta.distance, delta.run + count, DELTA});
                }
            }
        }
        Gather(p, candidates);
        for (const Candidate& c : candidates) {
            const std::uint32_t length = std::min<std::uint32_t>(
                {c.length, static_cast<std::uint32_t>(units_ - p), SQUASH_LONGEST});
            // The cheapest way into a copy from distance c.distance at p.
            std::uint32_t start = INFINITE;
            std::uint8_t previous = COPY;
            for (const State state : {RAW, DELTA}) {
                const Arrival& a = arrivals_[state][p];
                if (a.cost != INFINITE) {
                    const bool repeat = a.distance == c.distance && a.run != SQUASH_LONGEST;
                    const std::uint32_t cost = a.cost + 1 + (repeat ? 0 : DistanceBits(c.distance));
                    if (cost < start) {
                        start = cost;
                        previous = state;
                    }
                }
            }
            if (copy.cost != INFINITE && copy.cost + 1 + DistanceBits(c.distance) < start) {
                start = copy.cost + 1 + DistanceBits(c.distance);
                previous = COPY;
            }
            if (start == INFINITE) {
                continue;
            }
            auto tryLength = [&](std::uint32_t n) {
                Offer(COPY, p + n, start + GammaBits(n), {0, p, c.distance, 0, previous});
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
            }
        }
    }

    struct Step {
        State state;
        std::uint32_t from;
        std::uint32_t to;
        std::uint32_t distance;
        std::uint32_t run; // units of the literal run up to this step's end
    };

    // Follows the cheapest arrivals back from the end and writes the tokens in order.
    void Emit(std::vector<std::uint8_t>& out) {
        std::vector<Step> steps;
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
        BitWriter writer(out);
        bool afterLiteral = false;
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
                writer.Bit(0);
                if (deltas_) {
                    writer.Bit(s.state == DELTA ? 1 : 0);
                }
                const std::uint32_t length = steps[end - 1].to - s.from;
                writer.Gamma(length);
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
                afterLiteral = length != SQUASH_LONGEST;
                continue;
            }
            if (afterLiteral && s.distance == last) {
                writer.Bit(0);
            } else {
                writer.Bit(1);
                if (lineAbove_) {
                    writer.Bit(s.distance == line_ ? 1 : 0);
                }
                if (!lineAbove_ || s.distance != line_) {
                    writer.Byte(static_cast<std::uint8_t>((s.distance - 1) & 0xFF));
                    writer.Bit((s.distance - 1) >> 8);
                }
            }
            writer.Gamma(s.to - s.from);
            last = s.distance;
            afterLiteral = false;
            ++i;
        }
    }

    void WriteDelta(BitWriter& writer, std::uint32_t p, unsigned count) const {
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
    std::vector<std::uint32_t> values_; // a zero window, then the units as numbers
    std::vector<std::uint32_t> runOne_;
    std::vector<std::uint32_t> runLine_;
    std::vector<std::uint32_t> head_;
    std::vector<std::uint32_t> chain_;
    std::array<std::vector<Arrival>, 3> arrivals_;
};

} // namespace

std::vector<std::uint8_t> EncodeSquash(std::span<const std::uint8_t> unpacked,
                                       const PixelStreamShape& shape) {
    Search search(unpacked, shape);
    return search.Run();
}

namespace {

// Decodes the delta codes of a run of `count` units into out from o on; the unit before o
// (zero before the stream's start) is the first one they refer to.
bool DecodeDeltaRun(BitReader& in, const PixelStreamShape& shape, std::span<std::uint8_t> out,
                    std::size_t o, std::uint32_t count) {
    const unsigned unit = shape.unitBytes;
    auto unitAt = [&](std::size_t at) {
        std::uint32_t v = 0;
        for (unsigned k = 0; k < unit; ++k) {
            v = (v << 8) | (at >= unit ? out[at - unit + k] : 0);
        }
        return v;
    };
    auto put = [&](std::uint32_t v) {
        for (unsigned k = unit; k-- > 0;) {
            out[o + k] = static_cast<std::uint8_t>(v);
            v >>= 8;
        }
        o += unit;
    };
    std::uint8_t code = 0;
    while (count > 0) {
        if (!in.Byte(code)) {
            return false;
        }
        if (shape.depth == 8) {
            int d[3] = {};
            unsigned n = 1;
            switch (code >> 6) {
            case 0:
                n = 2;
                d[0] = SignedField(code >> 3, 3);
                d[1] = SignedField(code, 3);
                break;
            case 1:
                d[0] = SignedField(code, 6);
                break;
            case 2:
                n = 3;
                d[0] = SignedField(code >> 4, 2);
                d[1] = SignedField(code >> 2, 2);
                d[2] = SignedField(code, 2);
                break;
            default: {
                std::uint8_t v = 0;
                if (!in.Byte(v)) {
                    return false;
                }
                d[0] = WrappedDifference(v, unitAt(o), 8);
            }
            }
            if (n > count) {
                return false;
            }
            for (unsigned i = 0; i < n; ++i) {
                put((unitAt(o) + static_cast<unsigned>(d[i])) & 0xFF);
            }
            count -= n;
            continue;
        }
        ColourDifference d;
        if ((code & 0x80) == 0) {
            d.dg = SignedField(code >> 4, 3);
            d.da = SignedField(code >> 2, 2);
            d.db = SignedField(code, 2);
        } else if ((code & 0x40) == 0) {
            std::uint8_t second = 0;
            if (!in.Byte(second)) {
                return false;
            }
            d.dg = SignedField(code, 6);
            d.da = SignedField(second >> 4, 4);
            d.db = SignedField(second, 4);
        } else {
            const auto bytes = in.Take(unit);
            if (bytes.empty()) {
                return false;
            }
            std::memcpy(out.data() + o, bytes.data(), unit);
            o += unit;
            --count;
            continue;
        }
        put(ApplyDifference(unitAt(o), d, shape.depth, shape.highByteFirst));
        --count;
    }
    return true;
}

} // namespace

SquashResult DecodeSquash(std::span<const std::uint8_t> coded, const PixelStreamShape& shape,
                          std::span<std::uint8_t> out, std::size_t& used) {
    const std::size_t unit = shape.unitBytes;
    const std::size_t window = SquashWindowUnits(shape.unitBytes);
    const bool lineAbove = shape.lineUnits >= 1 && shape.lineUnits <= window;
    BitReader in(coded);
    std::size_t o = 0;
    std::size_t last = 1;
    bool afterLiteral = false;
    used = 0;
    while (o < out.size()) {
        unsigned bit = 0;
        std::uint32_t n = 0;
        if (!in.Bit(bit)) {
            return SquashResult::Damaged;
        }
        if (bit == 0 && !afterLiteral) {
            unsigned deltas = 0;
            if ((SquashHasDeltaRuns(shape) && !in.Bit(deltas)) || !in.Gamma(n) ||
                n > SQUASH_LONGEST || n > (out.size() - o) / unit) {
                return SquashResult::Damaged;
            }
            afterLiteral = n != SQUASH_LONGEST;
            if (deltas != 0) {
                if (!DecodeDeltaRun(in, shape, out, o, n)) {
                    return SquashResult::Damaged;
                }
                o += static_cast<std::size_t>(n) * unit;
                continue;
            }
            const auto bytes = in.Take(n * unit);
            if (bytes.empty()) {
                return SquashResult::Damaged;
            }
            std::memcpy(out.data() + o, bytes.data(), bytes.size());
            o += bytes.size();
            continue;
        }
        std::size_t distance = last;
        if (bit != 0) {
            unsigned above = 0;
            if (lineAbove && !in.Bit(above)) {
                return SquashResult::Damaged;
            }
            if (above != 0) {
                distance = shape.lineUnits;
            } else {
                std::uint8_t low = 0;
                unsigned high = 0;
                if (!in.Byte(low) || !in.Bit(high)) {
                    return SquashResult::Damaged;
                }
                distance = static_cast<std::size_t>(high) * 256 + low + 1;
                if (distance > window) {
                    return SquashResult::Damaged;
                }
            }
        }
        if (!in.Gamma(n) || n > SQUASH_LONGEST || n > (out.size() - o) / unit) {
            return SquashResult::Damaged;
        }
        const std::size_t back = distance * unit;
        if (back > o) {
            return SquashResult::Damaged; // a copy from before the stream's start
        }
        for (std::size_t end = o + n * unit; o < end; ++o) {
            out[o] = out[o - back];
        }
        last = distance;
        afterLiteral = false;
    }
    used = in.Used();
    return SquashResult::Ok;
}
