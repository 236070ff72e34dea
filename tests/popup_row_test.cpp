// popup_row_test.cpp -- the rows of box lines against exact integer arithmetic. The build compiles
// its own copy of view/popup.cpp here with a long double as narrow as double where the compiler
// allows it, so an x86-64 run sees the rows as an ARM build would.
#include "harness/harness.h"

#include <cmath>
#include <cstdint>

#include "view/popup.h"

namespace {

// trunc(height x fraction) of the exact rational product: the double is mantissa x 2^exponent
// with an integer mantissa of 53 bits, so the product is an integer shifted right. Heights stay
// below 2048 so that the integer product fits in 64 bits.
int exact_row(int height, double fraction)
{
    int exponent = 0;
    double normal = std::frexp(fraction, &exponent);
    auto mantissa = static_cast<std::uint64_t>(std::ldexp(normal, 53));
    std::uint64_t product = mantissa * static_cast<std::uint64_t>(height);
    int shift = 53 - exponent;
    return static_cast<int>(product >> shift);
}

const double game_fractions[] = {0.35, 0.4, 0.45, 0.5, 0.55, 0.6};

TEST(box_row, matches_the_exact_product_for_every_fraction_the_game_uses)
{
    int mismatches = 0;
    for (double fraction : game_fractions)
        for (int height = 1; height < 2048; height++) {
            int want = exact_row(height, fraction);
            int got = box_row(height, fraction);
            if (got != want && ++mismatches <= 10)
                ADD_FAILURE() << "height " << height << " fraction " << fraction << ": row " << got
                              << ", exact " << want;
        }
    EXPECT_EQ(mismatches, 0);
}

TEST(box_row, matches_the_exact_product_for_every_hundredth)
{
    int mismatches = 0;
    for (int hundredths = 1; hundredths < 100; hundredths++)
        for (int height = 1; height <= 1024; height++) {
            double fraction = hundredths / 100.0;
            if (box_row(height, fraction) != exact_row(height, fraction))
                mismatches++;
        }
    EXPECT_EQ(mismatches, 0);
}

TEST(box_row, rows_of_the_240_row_screen)
{
    const int want[] = {83, 96, 108, 120, 132, 143};
    for (int i = 0; i < 6; i++)
        EXPECT_EQ(box_row(240, game_fractions[i]), want[i]) << game_fractions[i];
}

// The cases that make the rule matter: the rounded double product is a whole number while the
// exact product lies just below it. Without them the checks above would pass a plain product.
TEST(box_row, the_checks_cover_products_that_round_up_to_a_whole_number)
{
    int rounded_up = 0;
    for (double fraction : game_fractions)
        for (int height = 1; height < 2048; height++) {
            volatile double product = height * fraction;
            if (static_cast<int>(product) != exact_row(height, fraction))
                rounded_up++;
        }
    EXPECT_GT(rounded_up, 100);
    volatile double screen_product = 240 * 0.35;
    EXPECT_EQ(static_cast<int>(screen_product), 84);
}

}  // namespace
