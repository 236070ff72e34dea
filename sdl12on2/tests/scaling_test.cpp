// scaling_test.cpp -- the fullscreen picture's whole-scale fit: the scale and place on the handheld
// screens and on odd ones, the mouse mapped back onto the picture, and the copy that makes every
// pixel an even block.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "scaling.h"

namespace {

struct expected_fit {
    int display_w, display_h, scale, x, y;
};

TEST(ScalingFit, TheLargestWholeScaleThatFitsCentredOnTheScreens)
{
    const expected_fit cases[] = {
        {640, 480, 2, 0, 0},      {480, 320, 1, 80, 40},  {720, 720, 2, 40, 120}, {1280, 720, 3, 160, 0},
        {320, 240, 1, 0, 0},      {800, 600, 2, 80, 60},  {1920, 1080, 4, 320, 60}, {1024, 768, 3, 32, 24},
        // Odd sizes: one short of a scale, one over, and halves of an odd margin.
        {639, 479, 1, 159, 119},  {641, 481, 2, 0, 0},    {959, 720, 2, 159, 120}, {961, 721, 3, 0, 0},
        // Smaller than the picture: scale 1, cropped evenly.
        {300, 200, 1, -10, -20},  {240, 320, 1, -40, 40},
    };
    for (const expected_fit& c : cases) {
        scaling_fit fit = scaling_choose(c.display_w, c.display_h, 320, 240);
        EXPECT_EQ(fit.scale, c.scale) << c.display_w << "x" << c.display_h;
        EXPECT_EQ(fit.x, c.x) << c.display_w << "x" << c.display_h;
        EXPECT_EQ(fit.y, c.y) << c.display_w << "x" << c.display_h;
    }
}

TEST(ScalingFit, EveryDisplayHoldsThePictureWhollyAndOneScaleMoreWouldNotFit)
{
    for (int dw = 320; dw <= 2600; dw += 37) {
        for (int dh = 240; dh <= 2000; dh += 29) {
            scaling_fit fit = scaling_choose(dw, dh, 320, 240);
            ASSERT_GE(fit.scale, 1);
            ASSERT_GE(fit.x, 0);
            ASSERT_GE(fit.y, 0);
            ASSERT_LE(fit.x + 320 * fit.scale, dw);
            ASSERT_LE(fit.y + 240 * fit.scale, dh);
            ASSERT_TRUE(320 * (fit.scale + 1) > dw || 240 * (fit.scale + 1) > dh) << dw << "x" << dh;
            // Centred: the margins on either side differ by at most one pixel.
            int right = dw - fit.x - 320 * fit.scale, bottom = dh - fit.y - 240 * fit.scale;
            ASSERT_LE(right - fit.x, 1);
            ASSERT_GE(right - fit.x, 0);
            ASSERT_LE(bottom - fit.y, 1);
            ASSERT_GE(bottom - fit.y, 0);
        }
    }
}

TEST(ScalingFit, NoPictureOrNoDisplayStillGivesScaleOne)
{
    EXPECT_EQ(scaling_choose(640, 480, 0, 0).scale, 1);
    EXPECT_EQ(scaling_choose(0, 0, 320, 240).scale, 1);
}

TEST(ScalingMouse, DisplayPointsMapToThePicturePixelUnderThem)
{
    scaling_fit fit = scaling_choose(1280, 720, 320, 240);  // scale 3 at +160+0
    int x = 160, y = 0;
    scaling_to_picture(fit, 320, 240, &x, &y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    // All nine display pixels of picture pixel (10, 1) map to it.
    for (int dy = 0; dy < 3; dy++) {
        for (int dx = 0; dx < 3; dx++) {
            x = 160 + 30 + dx;
            y = 3 + dy;
            scaling_to_picture(fit, 320, 240, &x, &y);
            EXPECT_EQ(x, 10);
            EXPECT_EQ(y, 1);
        }
    }
    x = 160 + 960 - 1;
    y = 719;
    scaling_to_picture(fit, 320, 240, &x, &y);
    EXPECT_EQ(x, 319);
    EXPECT_EQ(y, 239);
}

TEST(ScalingMouse, TheBlackBandsClampToThePicturesEdges)
{
    scaling_fit fit = scaling_choose(720, 720, 320, 240);  // scale 2 at +40+120
    int x = 5, y = 5;  // in the black left of and above the picture
    scaling_to_picture(fit, 320, 240, &x, &y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    x = 39;  // just left of the picture: -0.5 rounds down, not towards zero
    y = 121;
    scaling_to_picture(fit, 320, 240, &x, &y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    x = 719;
    y = 719;
    scaling_to_picture(fit, 320, 240, &x, &y);
    EXPECT_EQ(x, 319);
    EXPECT_EQ(y, 239);
}

// A w x h picture whose pixel (x, y) holds a value of its own, in pixel_bytes bytes per pixel.
std::vector<uint8_t> numbered_picture(int w, int h, int pixel_bytes, int pitch)
{
    std::vector<uint8_t> p(static_cast<size_t>(pitch) * h, 0xEE);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            for (int b = 0; b < pixel_bytes; b++)
                p[y * pitch + x * pixel_bytes + b] = static_cast<uint8_t>(y * 40 + x * 3 + b + 1);
    return p;
}

void expect_blocks(int pixel_bytes, int scale)
{
    const int w = 5, h = 3;
    const int from_pitch = w * pixel_bytes + 6;            // rows with slack, as surfaces have
    const int to_pitch = w * scale * pixel_bytes + 10;     // the display's rows are wider still
    const int guard_rows = 1;
    std::vector<uint8_t> from = numbered_picture(w, h, pixel_bytes, from_pitch);
    std::vector<uint8_t> to(static_cast<size_t>(to_pitch) * (h * scale + guard_rows), 0x55);
    scaling_copy(from.data(), from_pitch, w, h, pixel_bytes, to.data(), to_pitch, scale);
    for (int y = 0; y < h * scale + guard_rows; y++) {
        for (int x = 0; x < to_pitch; x++) {
            uint8_t got = to[y * to_pitch + x];
            int px = x / pixel_bytes / scale, b = x % pixel_bytes;
            if (y >= h * scale || x >= w * scale * pixel_bytes) {
                ASSERT_EQ(got, 0x55) << "written outside the picture at byte " << x << " of row " << y;
                continue;
            }
            ASSERT_EQ(got, from[(y / scale) * from_pitch + px * pixel_bytes + b])
                << "byte " << x << " of row " << y << " at scale " << scale << ", " << pixel_bytes << " bytes";
        }
    }
}

TEST(ScalingCopy, EveryPixelBecomesAnEvenBlockAndNothingBesideIsTouched)
{
    for (int bytes : {2, 3, 4})
        for (int scale : {1, 2, 3, 4})
            expect_blocks(bytes, scale);
}

} // namespace
