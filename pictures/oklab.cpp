// sRGB, linear light and OKLab in fixed point: the transfer curve from tables, OKLab by
// its two matrices and an integer cube root, so that no result depends on a platform's
// floating-point unit or mathematics library.
#include "oklab.h"

#include <algorithm>
#include <array>

namespace {

// round(65536 * linear(j / 510)) at every half step j of an sRGB byte: entry 2k is the
// linear value of byte k, entry 2k + 1 the value from which byte k + 1 is the nearer.
constexpr std::array<std::int32_t, 511> HALF_STEPS = {
    0,     10,    20,    30,    40,    50,    60,    70,    80,    90,    99,    109,   119,
    129,   139,   149,   159,   169,   179,   189,   199,   209,   219,   230,   241,   252,
    264,   276,   288,   300,   313,   326,   340,   353,   367,   382,   396,   411,   427,
    442,   458,   475,   491,   508,   526,   543,   562,   580,   599,   618,   637,   657,
    677,   697,   718,   739,   761,   783,   805,   828,   851,   874,   898,   922,   947,
    971,   997,   1022,  1048,  1075,  1101,  1129,  1156,  1184,  1212,  1241,  1270,  1300,
    1330,  1360,  1391,  1422,  1453,  1485,  1517,  1550,  1583,  1617,  1651,  1685,  1720,
    1755,  1791,  1827,  1863,  1900,  1937,  1975,  2013,  2051,  2090,  2130,  2170,  2210,
    2250,  2292,  2333,  2375,  2418,  2460,  2504,  2548,  2592,  2636,  2681,  2727,  2773,
    2819,  2866,  2914,  2961,  3010,  3058,  3107,  3157,  3207,  3258,  3309,  3360,  3412,
    3464,  3517,  3570,  3624,  3678,  3733,  3788,  3844,  3900,  3957,  4014,  4071,  4129,
    4188,  4247,  4306,  4366,  4427,  4488,  4549,  4611,  4674,  4736,  4800,  4864,  4928,
    4993,  5058,  5124,  5190,  5257,  5325,  5392,  5461,  5530,  5599,  5669,  5739,  5810,
    5882,  5953,  6026,  6099,  6172,  6246,  6321,  6395,  6471,  6547,  6623,  6701,  6778,
    6856,  6935,  7014,  7094,  7174,  7254,  7336,  7417,  7500,  7582,  7666,  7750,  7834,
    7919,  8004,  8090,  8177,  8264,  8352,  8440,  8529,  8618,  8708,  8798,  8889,  8980,
    9072,  9165,  9258,  9351,  9446,  9540,  9636,  9731,  9828,  9925,  10022, 10120, 10219,
    10318, 10418, 10518, 10619, 10720, 10822, 10925, 11028, 11131, 11236, 11340, 11446, 11552,
    11658, 11765, 11873, 11981, 12090, 12199, 12309, 12420, 12531, 12642, 12754, 12867, 12981,
    13095, 13209, 13324, 13440, 13556, 13673, 13791, 13909, 14027, 14147, 14266, 14387, 14508,
    14629, 14752, 14874, 14998, 15122, 15246, 15372, 15497, 15624, 15751, 15878, 16006, 16135,
    16264, 16394, 16525, 16656, 16788, 16920, 17053, 17187, 17321, 17456, 17591, 17727, 17864,
    18001, 18139, 18278, 18417, 18556, 18697, 18838, 18979, 19121, 19264, 19408, 19552, 19696,
    19842, 19988, 20134, 20281, 20429, 20578, 20727, 20876, 21027, 21178, 21329, 21481, 21634,
    21788, 21942, 22096, 22252, 22408, 22564, 22722, 22879, 23038, 23197, 23357, 23517, 23679,
    23840, 24003, 24166, 24329, 24494, 24659, 24824, 24991, 25157, 25325, 25493, 25662, 25832,
    26002, 26173, 26344, 26516, 26689, 26862, 27036, 27211, 27387, 27563, 27739, 27917, 28095,
    28273, 28453, 28633, 28813, 28995, 29177, 29359, 29543, 29727, 29911, 30097, 30283, 30469,
    30657, 30845, 31033, 31223, 31413, 31603, 31795, 31987, 32180, 32373, 32567, 32762, 32957,
    33153, 33350, 33548, 33746, 33944, 34144, 34344, 34545, 34747, 34949, 35152, 35355, 35560,
    35765, 35970, 36177, 36384, 36591, 36800, 37009, 37219, 37429, 37640, 37852, 38065, 38278,
    38492, 38707, 38922, 39138, 39355, 39572, 39791, 40009, 40229, 40449, 40670, 40892, 41114,
    41337, 41561, 41786, 42011, 42237, 42463, 42691, 42919, 43147, 43377, 43607, 43838, 44069,
    44302, 44534, 44768, 45003, 45238, 45474, 45710, 45947, 46185, 46424, 46664, 46904, 47145,
    47386, 47628, 47871, 48115, 48360, 48605, 48851, 49097, 49345, 49593, 49842, 50091, 50342,
    50593, 50844, 51097, 51350, 51604, 51859, 52114, 52370, 52627, 52884, 53143, 53402, 53662,
    53922, 54183, 54445, 54708, 54972, 55236, 55501, 55766, 56033, 56300, 56568, 56837, 57106,
    57376, 57647, 57919, 58191, 58464, 58738, 59013, 59288, 59564, 59841, 60118, 60397, 60676,
    60956, 61236, 61518, 61800, 62083, 62366, 62651, 62936, 63222, 63508, 63796, 64084, 64373,
    64662, 64953, 65244, 65536,
};

// The matrices of OKLab in units of 2^-20, each row of the first and the L row of the
// second summing to exactly 2^20 and the a and b rows to 0, so that white is L = 1 and
// every grey has a = b = 0.
constexpr std::int64_t TO_LMS[3][3] = {
    {432246, 562385, 53945}, {222197, 713765, 112614}, {92592, 295404, 660580}};
constexpr std::int64_t TO_LAB[3][3] = {
    {220677, 832169, -4270}, {2074082, -2546564, 472482}, {27162, 820796, -847958}};
constexpr std::int64_t FROM_LAB[3][3] = {
    {1048576, 415590, 226287}, {1048576, -110689, -66956}, {1048576, -93831, -1354221}};
constexpr std::int64_t FROM_LMS[3][3] = {
    {4274773, -3468387, 242190}, {-1330054, 2736529, -357899}, {-4400, -737588, 1790564}};

// Rounds x / 2^shift to the nearest integer (halves upwards).
std::int64_t Scale(std::int64_t x, int shift) {
    return (x + (std::int64_t{1} << (shift - 1))) >> shift;
}

// The cube root of n (0 to 2^42) rounded to the nearest integer, bit by bit.
std::int32_t CubeRoot(std::int64_t n) {
    std::int64_t root = 0;
    for (int bit = 14; bit >= 0; --bit) {
        const std::int64_t candidate = root | (std::int64_t{1} << bit);
        if (candidate * candidate * candidate <= n) {
            root = candidate;
        }
    }
    const std::int64_t twice = 2 * root + 1; // (root + 1/2)^3 <= n, in eighths
    return static_cast<std::int32_t>(twice * twice * twice <= 8 * n ? root + 1 : root);
}

} // namespace

std::int64_t IntegerSquareRoot(std::int64_t n) {
    std::int64_t root = 0;
    for (int bit = 31; bit >= 0; --bit) {
        const std::int64_t candidate = root | (std::int64_t{1} << bit);
        if (candidate <= n / candidate) {
            root = candidate;
        }
    }
    return root;
}

std::int32_t Chroma(const Lab& lab) {
    const std::int64_t a = lab.a;
    const std::int64_t b = lab.b;
    return static_cast<std::int32_t>(IntegerSquareRoot(a * a + b * b));
}

std::int32_t SrgbToLinear(std::uint8_t value) {
    return HALF_STEPS[2 * std::size_t{value}];
}

// The number of midpoints at or below the value, by halving: the byte is in [low, high].
std::uint8_t LinearToSrgb(std::int32_t linear) {
    std::size_t low = 0;
    std::size_t high = 255;
    while (low < high) {
        const std::size_t byte = (low + high) / 2;
        if (HALF_STEPS[2 * byte + 1] <= linear) {
            low = byte + 1;
        } else {
            high = byte;
        }
    }
    return static_cast<std::uint8_t>(low);
}

Lab LinearToLab(std::int32_t red, std::int32_t green, std::int32_t blue) {
    const std::int64_t rgb[3] = {std::clamp(red, 0, LINEAR_ONE), std::clamp(green, 0, LINEAR_ONE),
                                 std::clamp(blue, 0, LINEAR_ONE)};
    // Cone responses in units of 2^-24 (at most 2^24), their cube roots in units of 2^-14.
    std::int64_t cone[3];
    for (int i = 0; i < 3; ++i) {
        const std::int64_t lms =
            Scale(TO_LMS[i][0] * rgb[0] + TO_LMS[i][1] * rgb[1] + TO_LMS[i][2] * rgb[2], 12);
        cone[i] = CubeRoot(lms << 18);
    }
    std::int32_t lab[3];
    for (int i = 0; i < 3; ++i) {
        lab[i] = static_cast<std::int32_t>(
            Scale(TO_LAB[i][0] * cone[0] + TO_LAB[i][1] * cone[1] + TO_LAB[i][2] * cone[2], 20));
    }
    return {lab[0], lab[1], lab[2]};
}

Lab SrgbToLab(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return LinearToLab(SrgbToLinear(red), SrgbToLinear(green), SrgbToLinear(blue));
}

void LabToSrgb(const Lab& lab, std::uint8_t* rgb) {
    const std::int64_t in[3] = {lab.l, lab.a, lab.b};
    // Cube roots of the cone responses in units of 2^-16, the responses in units of 2^-16.
    std::int64_t lms[3];
    for (int i = 0; i < 3; ++i) {
        const std::int64_t root =
            Scale(FROM_LAB[i][0] * in[0] + FROM_LAB[i][1] * in[1] + FROM_LAB[i][2] * in[2], 18);
        lms[i] = Scale(root * root * root, 32);
    }
    for (int i = 0; i < 3; ++i) {
        const std::int64_t linear =
            Scale(FROM_LMS[i][0] * lms[0] + FROM_LMS[i][1] * lms[1] + FROM_LMS[i][2] * lms[2], 20);
        rgb[i] = LinearToSrgb(
            static_cast<std::int32_t>(std::clamp<std::int64_t>(linear, 0, LINEAR_ONE)));
    }
}
