// sRGB, linear light and OKLab in fixed point: the transfer curve from tables, OKLab by
// its two matrices and an integer cube root, so that no result depends on a platform's
// floating-point unit or mathematics library.
#include "oklab.h"

#include <algorithm>
#include <array>

namespace {

// round(65536 * linear(k / 255)) for every sRGB byte k.
constexpr std::array<std::int32_t, 256> LINEAR = {
    0,     20,    40,    60,    80,    99,    119,   139,   159,   179,   199,   219,   241,
    264,   288,   313,   340,   367,   396,   427,   458,   491,   526,   562,   599,   637,
    677,   718,   761,   805,   851,   898,   947,   997,   1048,  1101,  1156,  1212,  1270,
    1330,  1391,  1453,  1517,  1583,  1651,  1720,  1791,  1863,  1937,  2013,  2090,  2170,
    2250,  2333,  2418,  2504,  2592,  2681,  2773,  2866,  2961,  3058,  3157,  3258,  3360,
    3464,  3570,  3678,  3788,  3900,  4014,  4129,  4247,  4366,  4488,  4611,  4736,  4864,
    4993,  5124,  5257,  5392,  5530,  5669,  5810,  5953,  6099,  6246,  6395,  6547,  6701,
    6856,  7014,  7174,  7336,  7500,  7666,  7834,  8004,  8177,  8352,  8529,  8708,  8889,
    9072,  9258,  9446,  9636,  9828,  10022, 10219, 10418, 10619, 10822, 11028, 11236, 11446,
    11658, 11873, 12090, 12309, 12531, 12754, 12981, 13209, 13440, 13673, 13909, 14147, 14387,
    14629, 14874, 15122, 15372, 15624, 15878, 16135, 16394, 16656, 16920, 17187, 17456, 17727,
    18001, 18278, 18556, 18838, 19121, 19408, 19696, 19988, 20281, 20578, 20876, 21178, 21481,
    21788, 22096, 22408, 22722, 23038, 23357, 23679, 24003, 24329, 24659, 24991, 25325, 25662,
    26002, 26344, 26689, 27036, 27387, 27739, 28095, 28453, 28813, 29177, 29543, 29911, 30283,
    30657, 31033, 31413, 31795, 32180, 32567, 32957, 33350, 33746, 34144, 34545, 34949, 35355,
    35765, 36177, 36591, 37009, 37429, 37852, 38278, 38707, 39138, 39572, 40009, 40449, 40892,
    41337, 41786, 42237, 42691, 43147, 43607, 44069, 44534, 45003, 45474, 45947, 46424, 46904,
    47386, 47871, 48360, 48851, 49345, 49842, 50342, 50844, 51350, 51859, 52370, 52884, 53402,
    53922, 54445, 54972, 55501, 56033, 56568, 57106, 57647, 58191, 58738, 59288, 59841, 60397,
    60956, 61518, 62083, 62651, 63222, 63796, 64373, 64953, 65536,
};

// round(65536 * linear((k + 0.5) / 255)): the linear value from which byte k + 1 is the
// nearer sRGB byte.
constexpr std::array<std::int32_t, 255> LINEAR_MIDPOINTS = {
    10,    30,    50,    70,    90,    109,   129,   149,   169,   189,   209,   230,   252,
    276,   300,   326,   353,   382,   411,   442,   475,   508,   543,   580,   618,   657,
    697,   739,   783,   828,   874,   922,   971,   1022,  1075,  1129,  1184,  1241,  1300,
    1360,  1422,  1485,  1550,  1617,  1685,  1755,  1827,  1900,  1975,  2051,  2130,  2210,
    2292,  2375,  2460,  2548,  2636,  2727,  2819,  2914,  3010,  3107,  3207,  3309,  3412,
    3517,  3624,  3733,  3844,  3957,  4071,  4188,  4306,  4427,  4549,  4674,  4800,  4928,
    5058,  5190,  5325,  5461,  5599,  5739,  5882,  6026,  6172,  6321,  6471,  6623,  6778,
    6935,  7094,  7254,  7417,  7582,  7750,  7919,  8090,  8264,  8440,  8618,  8798,  8980,
    9165,  9351,  9540,  9731,  9925,  10120, 10318, 10518, 10720, 10925, 11131, 11340, 11552,
    11765, 11981, 12199, 12420, 12642, 12867, 13095, 13324, 13556, 13791, 14027, 14266, 14508,
    14752, 14998, 15246, 15497, 15751, 16006, 16264, 16525, 16788, 17053, 17321, 17591, 17864,
    18139, 18417, 18697, 18979, 19264, 19552, 19842, 20134, 20429, 20727, 21027, 21329, 21634,
    21942, 22252, 22564, 22879, 23197, 23517, 23840, 24166, 24494, 24824, 25157, 25493, 25832,
    26173, 26516, 26862, 27211, 27563, 27917, 28273, 28633, 28995, 29359, 29727, 30097, 30469,
    30845, 31223, 31603, 31987, 32373, 32762, 33153, 33548, 33944, 34344, 34747, 35152, 35560,
    35970, 36384, 36800, 37219, 37640, 38065, 38492, 38922, 39355, 39791, 40229, 40670, 41114,
    41561, 42011, 42463, 42919, 43377, 43838, 44302, 44768, 45238, 45710, 46185, 46664, 47145,
    47628, 48115, 48605, 49097, 49593, 50091, 50593, 51097, 51604, 52114, 52627, 53143, 53662,
    54183, 54708, 55236, 55766, 56300, 56837, 57376, 57919, 58464, 59013, 59564, 60118, 60676,
    61236, 61800, 62366, 62936, 63508, 64084, 64662, 65244,
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
    return LINEAR[value];
}

std::uint8_t LinearToSrgb(std::int32_t linear) {
    const auto above = std::upper_bound(LINEAR_MIDPOINTS.begin(), LINEAR_MIDPOINTS.end(), linear);
    return static_cast<std::uint8_t>(above - LINEAR_MIDPOINTS.begin());
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
    return LinearToLab(LINEAR[red], LINEAR[green], LINEAR[blue]);
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
