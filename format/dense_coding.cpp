// The dense encoder: a shortest-path search over literal runs and copies whose costs are
// the bits of dense_coding.h's codes. dense_decoder.cpp reads the stream back.
#include "dense_coding.h"

#include "dense_bits.h"

#include <algorithm>
#include <array>
#include <limits>
#include <numeric>

namespace {

constexpr std::uint32_t INFINITE = std::numeric_limits<std::uint32_t>::max();
constexpr std::uint32_t NONE = std::numeric_limits<std::uint32_t>::max();
constexpr std::size_t ARRIVALS = 4;       // kept per position: different R or last token
constexpr std::uint32_t ALL_LENGTHS = 32; // copies up to this long are tried at every length
constexpr std::uint32_t LONG_COPY = 256;  // a copy this long is taken without a search inside
constexpr std::size_t CHAIN_DEPTH = 48;   // hash chain candidates tried at a position
constexpr std::uint32_t COPY_PENALTY = 3; // bits counted more for a copy: fewer tokens

enum Kind : std::uint8_t { LITERAL = 0, COPY = 1 };
enum Choice : std::uint8_t { TAKE_LITERAL, TAKE_REPEAT, TAKE_ABOVE, TAKE_NEW };

// The bits of a token's code: 0 (a literal run, or a copy from R after one), 10 (the line
// above), 11 (a new distance).
constexpr std::uint32_t CODE_BITS[4] = {1, 1, 2, 2};

// How the search codes literal bytes: the bits each takes, and its table entry (NONE
// when it comes whole).
struct LiteralCodes {
    std::array<std::uint32_t, 256> bits;
    std::array<std::uint32_t, 256> entry;
};

LiteralCodes WholeLiterals() {
    LiteralCodes codes;
    codes.bits.fill(8);
    codes.entry.fill(NONE);
    return codes;
}

// The table of the literal bytes counted, commonest first (the smaller byte first among
// equals), and the codes it gives; entries no literal needs are 0.
LiteralCodes TableLiterals(const std::array<std::uint32_t, 256>& counts,
                           std::array<std::uint8_t, DENSE_TABLE_BYTES>& table) {
    std::array<std::uint16_t, 256> order;
    std::iota(order.begin(), order.end(), std::uint16_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::uint16_t a, std::uint16_t b) { return counts[a] > counts[b]; });
    LiteralCodes codes;
    codes.bits.fill(10); // 1 1 and the byte
    codes.entry.fill(NONE);
    table.fill(0);
    for (std::size_t k = 0; k < DENSE_TABLE_BYTES && counts[order[k]] > 0; ++k) {
        table[k] = static_cast<std::uint8_t>(order[k]);
        codes.entry[order[k]] = static_cast<std::uint32_t>(k);
        codes.bits[order[k]] = k < DENSE_TABLE_SHORT ? 5 : 6; // 0 xxxx, 1 0 xxxx
    }
    return codes;
}

// The cheapest known way to reach a position with a given R and last token.
struct Arrival {
    std::uint32_t cost = INFINITE; // bits
    std::uint32_t from = 0;        // the position the step started at
    std::uint32_t distance = 0;    // R after the step
    std::uint32_t run = 0;         // bytes of the literal run so far
    std::uint8_t kind = COPY;
    std::uint8_t slot = 0; // the arrival at `from` that the step came from
    std::uint8_t choice = TAKE_LITERAL;
};

} // namespace

struct DenseEncoder::Workspace {
    std::vector<Arrival> arrivals;
    std::vector<std::uint32_t> head;
    std::vector<std::uint32_t> chain;
};

namespace {

class Search {
  public:
    Search(std::span<const std::uint8_t> bytes, const PixelStreamShape& shape, DenseWindow window,
           const LiteralCodes& literals, DenseEncoder::Workspace& workspace)
        : bytes_(bytes), n_(bytes.size()), whole_(window == DenseWindow::WholeStream),
          literals_(literals),
          line_(static_cast<std::uint32_t>(std::min<std::size_t>(shape.lineUnits, NONE))),
          arrivals_(workspace.arrivals), head_(workspace.head), chain_(workspace.chain) {
        above_ = line_ >= 1 && (whole_ || line_ <= DENSE_WINDOW_BYTES);
    }

    // Appends the codes to out; counts the literal bytes they take.
    void Run(std::vector<std::uint8_t>& out, std::array<std::uint32_t, 256>& literalCounts) {
        literalCounts.fill(0);
        if (n_ == 0) {
            return;
        }
        arrivals_.assign((n_ + 1) * ARRIVALS, Arrival{});
        arrivals_[0].cost = 0;
        arrivals_[0].distance = 1;
        hashBits_ = 10;
        while (hashBits_ < 18 && (std::size_t{1} << hashBits_) < 2 * n_) {
            ++hashBits_;
        }
        head_.assign(std::size_t{1} << hashBits_, NONE);
        chain_.assign(n_, NONE);
        std::size_t skipUntil = 0;
        for (std::size_t p = 0; p < n_; ++p) {
            if (p >= skipUntil) {
                const std::uint32_t longest = Relax(static_cast<std::uint32_t>(p));
                if (longest >= LONG_COPY) {
                    skipUntil = p + longest;
                }
            }
            Insert(static_cast<std::uint32_t>(p));
        }
        Emit(out, literalCounts);
    }

  private:
    Arrival* At(std::size_t p) { return &arrivals_[p * ARRIVALS]; }

    // Positions with the same two bytes are chained, the nearest first.
    std::uint32_t Hash(std::uint32_t at) const {
        const std::uint32_t a = bytes_[at] | (std::uint32_t{bytes_[at + 1]} << 8);
        return (a * 2654435761u) >> (32 - hashBits_);
    }
    void Insert(std::uint32_t at) {
        if (at + 2 > n_) {
            return;
        }
        const std::uint32_t h = Hash(at);
        chain_[at] = head_[h];
        head_[h] = at;
    }

    // Bytes from p on that equal those `distance` back; before the start lie zeros.
    std::uint32_t MatchLength(std::uint32_t p, std::uint32_t distance) const {
        const std::size_t limit = std::min<std::size_t>(n_, std::size_t{p} + DENSE_LONGEST);
        std::size_t k = p;
        while (k < limit && bytes_[k] == (k >= distance ? bytes_[k - distance] : 0)) {
            ++k;
        }
        return static_cast<std::uint32_t>(k - p);
    }

    bool Reachable(std::uint32_t p, std::uint32_t distance) const {
        return distance >= 1 && (whole_ ? distance <= p : distance <= DENSE_WINDOW_BYTES);
    }

    static std::uint32_t DistanceBits(std::uint32_t distance) {
        return GammaBits(((distance - 1) >> 8) + 1) + 8;
    }

    // Keeps the step when it is the cheapest arrival of its kind and R, or cheaper than
    // the dearest of the ARRIVALS kept.
    void Offer(std::size_t to, const Arrival& step) {
        Arrival* slots = At(to);
        Arrival* dearest = slots; // an empty slot (INFINITE) is the dearest
        for (std::size_t k = 0; k < ARRIVALS; ++k) {
            Arrival& s = slots[k];
            if (s.cost != INFINITE && s.kind == step.kind && s.distance == step.distance) {
                // Of two literal runs at the same cost the longer is kept: its length's
                // gamma number has grown already.
                if (step.cost < s.cost || (step.cost == s.cost && step.run > s.run)) {
                    s = step;
                }
                return;
            }
            if (s.cost > dearest->cost) {
                dearest = &s;
            }
        }
        if (step.cost < dearest->cost) {
            *dearest = step;
        }
    }

    // Offers copies of `lowest` to `length` bytes that start at p, at `base` bits plus the
    // gamma number of n - lengthLess: every length up to ALL_LENGTHS, then some.
    void OfferCopy(std::uint32_t p, std::uint32_t length, std::uint32_t base,
                   std::uint32_t lengthLess, std::uint32_t lowest, Arrival step) {
        auto offer = [&](std::uint32_t n) {
            step.cost = base + GammaBits(n - lengthLess);
            Offer(p + n, step);
        };
        const std::uint32_t every = std::min(length, ALL_LENGTHS);
        for (std::uint32_t n = lowest; n <= every; ++n) {
            offer(n);
        }
        if (length > every) {
            for (std::uint32_t n = 64; n < length; n *= 2) {
                offer(n - 1);
            }
            offer(length);
        }
    }

    // Every step from the arrivals at p; the longest copy seen.
    std::uint32_t Relax(std::uint32_t p) {
        Arrival* here = At(p);
        std::uint32_t longest = 0;
        std::uint32_t newBase = INFINITE;
        std::uint8_t newSlot = 0;
        for (std::uint8_t k = 0; k < ARRIVALS; ++k) {
            const Arrival a = here[k];
            if (a.cost == INFINITE) {
                continue;
            }
            Arrival step;
            step.from = p;
            step.slot = k;
            step.kind = LITERAL;
            step.distance = a.distance;
            step.choice = TAKE_LITERAL;
            if (a.kind == LITERAL && a.run < DENSE_LONGEST) {
                step.run = a.run + 1;
                step.cost =
                    a.cost + literals_.bits[bytes_[p]] + GammaBits(a.run + 1) - GammaBits(a.run);
                Offer(p + 1, step);
            } else if (a.kind == COPY) {
                step.run = 1;
                step.cost =
                    a.cost + CODE_BITS[TAKE_LITERAL] + literals_.bits[bytes_[p]] + GammaBits(1);
                Offer(p + 1, step);
            }
            step.kind = COPY;
            step.run = 0;
            if (a.kind == LITERAL && Reachable(p, a.distance)) {
                const std::uint32_t length = MatchLength(p, a.distance);
                longest = std::max(longest, length);
                step.choice = TAKE_REPEAT;
                OfferCopy(p, length, a.cost + COPY_PENALTY + CODE_BITS[TAKE_REPEAT], 0, 1, step);
            }
            if (above_ && Reachable(p, line_) && !(a.kind == LITERAL && a.distance == line_)) {
                const std::uint32_t length = MatchLength(p, line_);
                longest = std::max(longest, length);
                step.choice = TAKE_ABOVE;
                step.distance = line_;
                OfferCopy(p, length, a.cost + COPY_PENALTY + CODE_BITS[TAKE_ABOVE], 0, 1, step);
            }
            const std::uint32_t cost = a.cost + COPY_PENALTY + CODE_BITS[TAKE_NEW];
            if (cost < newBase) {
                newBase = cost;
                newSlot = k;
            }
        }
        // Copies from a new distance set R whatever came before, so only the cheapest
        // arrival starts them: from distance 1, the line above and the hash chain, the
        // nearest distance for each length found.
        Arrival step;
        step.from = p;
        step.slot = newSlot;
        step.kind = COPY;
        step.choice = TAKE_NEW;
        std::uint32_t best = 1;
        auto tryDistance = [&](std::uint32_t distance) {
            if (!Reachable(p, distance)) {
                return;
            }
            const std::uint32_t length = MatchLength(p, distance);
            if (length <= best) {
                return;
            }
            step.distance = distance;
            OfferCopy(p, length, newBase + DistanceBits(distance), 1, best + 1, step);
            best = length;
        };
        tryDistance(1);
        if (above_) {
            tryDistance(line_);
        }
        if (p + 2 <= n_ && best < LONG_COPY) {
            std::size_t tried = 0;
            for (std::uint32_t q = head_[Hash(p)]; q != NONE && tried < CHAIN_DEPTH;
                 q = chain_[q], ++tried) {
                if (!Reachable(p, p - q)) {
                    break;
                }
                tryDistance(p - q);
                if (best >= LONG_COPY) {
                    break;
                }
            }
        }
        return std::max(longest, best);
    }

    // Follows the cheapest arrivals back from the end and writes the tokens in order.
    void Emit(std::vector<std::uint8_t>& out, std::array<std::uint32_t, 256>& literalCounts) {
        struct Step {
            std::uint32_t from;
            std::uint32_t to;
            std::uint32_t distance;
            std::uint8_t kind;
            std::uint8_t choice;
        };
        std::vector<Step> steps;
        std::size_t p = n_;
        std::uint8_t slot = 0;
        for (std::uint8_t k = 1; k < ARRIVALS; ++k) {
            if (At(p)[k].cost < At(p)[slot].cost) {
                slot = k;
            }
        }
        while (p > 0) {
            const Arrival& a = At(p)[slot];
            steps.push_back({a.from, static_cast<std::uint32_t>(p), a.distance, a.kind, a.choice});
            p = a.from;
            slot = a.slot;
        }
        std::reverse(steps.begin(), steps.end());
        DenseBitWriter w(out);
        for (std::size_t i = 0; i < steps.size();) {
            const Step& s = steps[i];
            switch (s.choice) {
            case TAKE_LITERAL: {
                std::size_t end = i + 1;
                while (end < steps.size() && steps[end].kind == LITERAL) {
                    ++end;
                }
                w.Bit(0);
                w.Gamma(steps[end - 1].to - s.from);
                for (; i < end; ++i) {
                    const std::uint8_t b = bytes_[steps[i].from];
                    ++literalCounts[b];
                    Literal(w, b);
                }
                continue;
            }
            case TAKE_REPEAT:
                w.Bit(0);
                w.Gamma(s.to - s.from);
                break;
            case TAKE_ABOVE:
                w.Bit(1);
                w.Bit(0);
                w.Gamma(s.to - s.from);
                break;
            default:
                w.Bit(1);
                w.Bit(1);
                w.Gamma(((s.distance - 1) >> 8) + 1);
                w.Byte(static_cast<std::uint8_t>(s.distance - 1));
                w.Gamma(s.to - s.from - 1);
                break;
            }
            ++i;
        }
    }

    // A literal byte: whole, or its table entry (0 xxxx, 1 0 xxxx) or 1 1 and the byte.
    void Literal(DenseBitWriter& w, std::uint8_t b) const {
        const std::uint32_t entry = literals_.entry[b];
        if (literals_.bits[b] == 8) {
            w.Byte(b);
        } else if (entry == NONE) {
            w.Bit(1);
            w.Bit(1);
            w.Byte(b);
        } else {
            if (entry >= DENSE_TABLE_SHORT) {
                w.Bit(1);
            }
            w.Bit(0);
            for (unsigned k = 4; k-- > 0;) {
                w.Bit((entry >> k) & 1);
            }
        }
    }

    std::span<const std::uint8_t> bytes_;
    std::size_t n_;
    bool whole_;
    const LiteralCodes& literals_;
    std::uint32_t line_;
    bool above_ = false;
    unsigned hashBits_ = 16;
    std::vector<Arrival>& arrivals_; // ARRIVALS per position
    std::vector<std::uint32_t>& head_;
    std::vector<std::uint32_t>& chain_;
};

} // namespace

DenseEncoder::DenseEncoder() : workspace_(std::make_unique<Workspace>()) {}

DenseEncoder::~DenseEncoder() = default;

std::vector<std::uint8_t> DenseEncoder::Encode(std::span<const std::uint8_t> unpacked,
                                               const PixelStreamShape& shape, DenseWindow window,
                                               DenseLiterals literals) {
    if (literals == DenseLiterals::Whole) {
        std::vector<std::uint8_t> out;
        std::array<std::uint32_t, 256> counts{};
        Search(unpacked, shape, window, WholeLiterals(), *workspace_).Run(out, counts);
        return out;
    }
    return EncodeBothForms(unpacked, shape, window).table;
}

DenseEncoder::BothForms DenseEncoder::EncodeBothForms(std::span<const std::uint8_t> unpacked,
                                                      const PixelStreamShape& shape,
                                                      DenseWindow window) {
    BothForms both;
    std::array<std::uint32_t, 256> counts{};
    Search(unpacked, shape, window, WholeLiterals(), *workspace_).Run(both.whole, counts);
    if (unpacked.empty()) {
        return both;
    }
    // The table of the literal bytes that the search with whole bytes takes, then the
    // search again with the table's costs.
    std::array<std::uint8_t, DENSE_TABLE_BYTES> table{};
    const LiteralCodes codes = TableLiterals(counts, table);
    Search(unpacked, shape, window, codes, *workspace_).Run(both.table, counts);
    both.table.insert(both.table.end(), table.begin(), table.end());
    return both;
}

std::vector<std::uint8_t> EncodeDense(std::span<const std::uint8_t> unpacked,
                                      const PixelStreamShape& shape, DenseWindow window,
                                      DenseLiterals literals) {
    DenseEncoder encoder;
    return encoder.Encode(unpacked, shape, window, literals);
}
