// The benchmark pictures: a noisy shaded surface, flat shapes and a moving disc.
#include "bench_pictures.h"

#include <algorithm>

namespace {

// A small linear congruential generator: the same noise on every machine.
class Noise {
  public:
    int Next(int range) {
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<int>((state_ >> 16) % static_cast<unsigned>(range));
    }

  private:
    unsigned state_ = 12345u;
};

std::uint8_t Clamp(int value) {
    return static_cast<std::uint8_t>(std::clamp(value, 0, 255));
}

// Light from the top left falling off towards the bottom right, with a bright ripple.
int Shade(int x, int y, int width, int height) {
    const int across = x * 160 / width + y * 64 / height;
    const int ripple = ((x + 2 * y) % 48) < 24 ? ((x + 2 * y) % 24) * 3 : 0;
    return 40 + across + ripple;
}

} // namespace

BenchPicture PhotoPicture(int width, int height) {
    BenchPicture picture{width, height, {}};
    picture.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    Noise noise;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int value = Shade(x, y, width, height) + noise.Next(64) - 32;
            picture.pixels[static_cast<std::size_t>(y) * width + x] = Clamp(value);
        }
    }
    return picture;
}

BenchPicture FlatPicture(int width, int height) {
    BenchPicture picture{width, height, {}};
    picture.pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 255);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool frame = x >= width / 2 && x < width - 8 && y >= 8 && y < height / 2;
            const int dx = x - width / 4;
            const int dy = y - height / 2;
            const bool disc = dx * dx + dy * dy < (height / 4) * (height / 4);
            if (frame || disc) {
                picture.pixels[static_cast<std::size_t>(y) * width + x] = 0;
            }
        }
    }
    return picture;
}

BenchPicture MovingShapeFrame(int width, int height, int frame) {
    BenchPicture picture{width, height, {}};
    picture.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    // Out along the diagonal in frames 0-100, back in 100-200, and so on: every frame of
    // a long animation moves the disc by the same few pixels.
    const int phase = frame % 200;
    const int along = phase <= 100 ? phase : 200 - phase;
    const int centreX = 30 + along * (width - 60) / 100;
    const int centreY = 30 + along * (height - 60) / 100;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int dx = x - centreX;
            const int dy = y - centreY;
            const bool disc = dx * dx + dy * dy < 24 * 24;
            const int value = disc ? 20 : Shade(x, y, width, height);
            picture.pixels[static_cast<std::size_t>(y) * width + x] = Clamp(value);
        }
    }
    return picture;
}
