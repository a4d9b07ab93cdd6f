// The squash encoder (a shortest-path search over literal runs and copies, costs in bits)
// and the reference decoder that the device decoder and the fuzz targets are checked
// against. See squash_coding.h for the byte stream.
#include "squash_coding.h"

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
constexpr std::size_t CHAIN_DEPTH = 48;   // candidates tried from the hash chain
constexpr std::uint32_t LONG_COPY = 512;  // a copy this long is taken without a search inside
constexpr std::uint32_t ALL_LENGTHS = 24; // copies up to this long are tried at every length

enum class Step : std::uint8_t { None, Literal, Copy };

// The cheapest known way to reach a unit position, ending in a literal run or a copy.
struct Arrival {
    std::uint32_t cost = INFINITE; // bits
    std::uint32_t from = 0;        // the position the last token started at
    std::uint32_t distance = 0;    // the last copy's distance (R after this token)
    std::uint32_t run = 0;         // a literal run's units so far
    Step step = Step::None;
};

struct Candidate {
    std::uint32_t distance;
    std::uint32_t length;
};

class Search {
  public:
    Search(std::span<const std::uint8_t> bytes, const PixelStreamShape& shape)
        : bytes_(bytes), unit_(shape.unitBytes), units_(bytes.size() / shape.unitBytes),
          window_(static_cast<std::uint32_t>(SquashWindowUnits(shape.unitBytes))),
          line_(shape.lineUnits), lineAbove_(shape.lineUnits >= 1 && shape.lineUnits <= window_) {
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
        literal_.assign(units_ + 1, Arrival{});
        copy_.assign(units_ + 1, Arrival{});
        copy_[0].cost = 0;
        copy_[0].distance = 1;
        copy_[0].step = Step::None;
        FindRuns();
        head_.assign(1u << 16, NONE);
        chain_.assign(window_ + units_, NONE);
        for (std::uint32_t p = 0; p < window_; ++p) {
            Insert(p);
        }
        std::size_t skipUntil = 0;
        std::vector<Candidate> candidates;
        for (std::size_t p = 0; p < units_; ++p) {
            const std::uint32_t at = window_ + static_cast<std::uint32_t>(p);
            if (p >= skipUntil) {
                Relax(static_cast<std::uint32_t>(p), candidates);
                for (const Candidate& c : candidates) {
                    if (c.length >= LONG_COPY) {
                        skipUntil = p + c.length;
                    }
                }
            }
            Insert(at);
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
        const std::uint32_t limit = std::min(end, at + LONG_COPY);
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
        return (lineAbove_ ? 1u : 0u) + 8 + GammaBits(((distance - 1) >> 8) + 1);
    }

    void Gather(std::uint32_t p, std::vector<Candidate>& candidates) const {
        candidates.clear();
        const std::uint32_t at = window_ + p;
        auto add = [&](std::uint32_t distance, std::uint32_t length) {
            if (length == 0) {
                return;
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
        for (const Arrival* a : {&literal_[p], &copy_[p]}) {
            if (a->cost != INFINITE && a->distance != 0) {
                add(a->distance, MatchLength(at, a->distance));
            }
        }
        std::uint32_t best = 0;
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
            }
        }
    }

    void Offer(Arrival& target, std::uint32_t cost, std::uint32_t from, std::uint32_t distance,
               std::uint32_t run, Step step) {
        if (cost < target.cost) {
            target = {cost, from, distance, run, step};
        }
    }

    void Relax(std::uint32_t p, std::vector<Candidate>& candidates) {
        const Arrival& lit = literal_[p];
        const Arrival& cop = copy_[p];
        const std::uint32_t litUnitBits = 8 * unit_;
        // Literal runs: start one after a copy, or grow the run that reached p.
        if (cop.cost != INFINITE) {
            Offer(literal_[p + 1], cop.cost + 1 + GammaBits(1) + litUnitBits, p, cop.distance, 1,
                  Step::Literal);
        }
        if (lit.cost != INFINITE && lit.run < 0xFFFFFFFEu) {
            const std::uint32_t grow = GammaBits(lit.run + 1) - GammaBits(lit.run);
            Offer(literal_[p + 1], lit.cost + grow + litUnitBits, lit.from, lit.distance,
                  lit.run + 1, Step::Literal);
        }
        Gather(p, candidates);
        for (const Candidate& c : candidates) {
            const std::uint32_t length =
                std::min<std::uint32_t>(c.length, static_cast<std::uint32_t>(units_ - p));
            // The cheapest way into a copy from distance c.distance at p.
            std::uint32_t start = INFINITE;
            if (lit.cost != INFINITE) {
                start = lit.cost + 1 + (lit.distance == c.distance ? 0 : DistanceBits(c.distance));
            }
            if (cop.cost != INFINITE) {
                start = std::min(start, cop.cost + 1 + DistanceBits(c.distance));
            }
            if (start == INFINITE) {
                continue;
            }
            auto tryLength = [&](std::uint32_t n) {
                Offer(copy_[p + n], start + GammaBits(n), p, c.distance, 0, Step::Copy);
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

    // Follows the cheapest arrivals back from the end and writes the tokens in order.
    void Emit(std::vector<std::uint8_t>& out) {
        struct Token {
            Step step;
            std::uint32_t from;
            std::uint32_t length;
            std::uint32_t distance;
        };
        std::vector<Token> tokens;
        std::size_t p = units_;
        bool inLiteral = literal_[p].cost < copy_[p].cost;
        while (p > 0) {
            const Arrival& a = inLiteral ? literal_[p] : copy_[p];
            const auto length = static_cast<std::uint32_t>(p - a.from);
            tokens.push_back({a.step, a.from, length, a.distance});
            p = a.from;
            // A literal run starts after a copy; a copy starts after either.
            if (a.step == Step::Literal) {
                inLiteral = false;
            } else {
                inLiteral = literal_[p].cost != INFINITE &&
                            (copy_[p].cost == INFINITE ||
                             CopyCameFromLiteral(p, a));
            }
        }
        std::reverse(tokens.begin(), tokens.end());
        BitWriter writer(out);
        bool afterLiteral = false;
        std::uint32_t last = 1;
        for (const Token& t : tokens) {
            if (t.step == Step::Literal) {
                writer.Bit(0);
                writer.Gamma(t.length);
                const std::size_t begin = static_cast<std::size_t>(t.from) * unit_;
                for (std::size_t i = 0; i < static_cast<std::size_t>(t.length) * unit_; ++i) {
                    writer.Byte(bytes_[begin + i]);
                }
                afterLiteral = true;
                continue;
            }
            if (afterLiteral && t.distance == last) {
                writer.Bit(0);
            } else {
                writer.Bit(1);
                if (lineAbove_) {
                    writer.Bit(t.distance == line_ ? 1 : 0);
                }
                if (!lineAbove_ || t.distance != line_) {
                    writer.Byte(static_cast<std::uint8_t>((t.distance - 1) & 0xFF));
                    writer.Gamma(((t.distance - 1) >> 8) + 1);
                }
            }
            writer.Gamma(t.length);
            last = t.distance;
            afterLiteral = false;
        }
    }

    // Whether the copy `a` that starts at p was priced from the literal arrival at p: the
    // search kept only the cheaper start, so the prices tell which one it was.
    bool CopyCameFromLiteral(std::size_t p, const Arrival& a) const {
        const Arrival& lit = literal_[p];
        const Arrival& cop = copy_[p];
        const std::uint32_t fromLiteral =
            lit.cost + 1 + (lit.distance == a.distance ? 0 : DistanceBits(a.distance));
        const std::uint32_t fromCopy =
            cop.cost == INFINITE ? INFINITE : cop.cost + 1 + DistanceBits(a.distance);
        return fromLiteral <= fromCopy;
    }

    std::span<const std::uint8_t> bytes_;
    unsigned unit_;
    std::size_t units_;
    std::uint32_t window_;
    std::uint32_t line_;
    bool lineAbove_;
    std::vector<std::uint32_t> values_; // a zero window, then the units as numbers
    std::vector<std::uint32_t> runOne_;
    std::vector<std::uint32_t> runLine_;
    std::vector<std::uint32_t> head_;
    std::vector<std::uint32_t> chain_;
    std::vector<Arrival> literal_;
    std::vector<Arrival> copy_;
};

} // namespace

std::vector<std::uint8_t> EncodeSquash(std::span<const std::uint8_t> unpacked,
                                       const PixelStreamShape& shape) {
    Search search(unpacked, shape);
    return search.Run();
}

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
            if (!in.Gamma(n) || n > (out.size() - o) / unit) {
                return SquashResult::Damaged;
            }
            const auto bytes = in.Take(n * unit);
            if (bytes.empty()) {
                return SquashResult::Damaged;
            }
            std::memcpy(out.data() + o, bytes.data(), bytes.size());
            o += bytes.size();
            afterLiteral = true;
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
                std::uint32_t high = 0;
                if (!in.Byte(low) || !in.Gamma(high) || high > (window + 255) / 256) {
                    return SquashResult::Damaged;
                }
                distance = (static_cast<std::size_t>(high) - 1) * 256 + low + 1;
                if (distance > window) {
                    return SquashResult::Damaged;
                }
            }
        }
        if (!in.Gamma(n) || n > (out.size() - o) / unit) {
            return SquashResult::Damaged;
        }
        const std::size_t back = distance * unit;
        for (std::size_t end = o + n * unit; o < end; ++o) {
            out[o] = o >= back ? out[o - back] : 0;
        }
        last = distance;
        afterLiteral = false;
    }
    used = in.Used();
    return SquashResult::Ok;
}
