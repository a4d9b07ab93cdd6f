// The dithering methods' tables, shared by grey and palette quantisation: the Bayer
// matrices of ordered dithering and the kernels of error diffusion.
#pragma once

#include <array>
#include <cstddef>

// The n x n Bayer matrix (n a power of two), values 0 to n^2 - 1: each bit of the
// coordinates, from the lowest, picks a cell of B(2) = [0 2; 3 1], the lowest bit with
// the greatest weight, so B(2n)(x, y) = 4 B(n)(x mod n, y mod n) + B(2)(x div n, y div n).
template <int N> std::array<int, N * N> BayerMatrix() {
    static constexpr int B2[2][2] = {{0, 2}, {3, 1}};
    std::array<int, N * N> m{};
    for (int y = 0; y < N; ++y) {
        for (int x = 0; x < N; ++x) {
            int value = 0;
            for (int bit = 1; bit < N; bit *= 2) {
                value = value * 4 + B2[(y / bit) & 1][(x / bit) & 1];
            }
            m[static_cast<std::size_t>(y) * N + x] = value;
        }
    }
    return m;
}

struct Diffusion {
    int dx;
    int dy;
    int weight;
};

constexpr Diffusion FLOYD_STEINBERG[] = {{1, 0, 7}, {-1, 1, 3}, {0, 1, 5}, {1, 1, 1}};
constexpr int FLOYD_STEINBERG_SHARES = 16;
// Atkinson hands on 6 of 8 eighths: a flat area keeps part of its error.
constexpr Diffusion ATKINSON[] = {{1, 0, 1}, {2, 0, 1}, {-1, 1, 1},
                                  {0, 1, 1}, {1, 1, 1}, {0, 2, 1}};
constexpr int ATKINSON_SHARES = 8;
