// Our own elementary functions give the floats the C library's correctly
// rounded long double forms give, over the arguments the synthesis forms.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "dsp/DspMath.h"
#include "dsp/PortableMath.h"

namespace {

namespace portable = dsp::portable;

TEST(PortableMath, MatchesTheCorrectlyRoundedFloatsOverTheSettersRanges) {
    std::mt19937 random(5074);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    int mismatches = 0;
    for (int i = 0; i < 200000; ++i) {
        const float x = unit(random);
        // Decay coefficients: exp(-T / tau) for rates from 8 kHz to 768 kHz.
        const float y = -x * 40.0f;
        mismatches += dsp::expExtended(y) != static_cast<float>(std::exp(static_cast<long double>(y)));
        for (float base : {2.0f, 4.0f, 8.0f, 16.0f})
            mismatches += dsp::powExtended(base, x) !=
                          static_cast<float>(std::pow(static_cast<long double>(base), static_cast<long double>(x)));
        const float decibels = (46.0f * x - 40.0f) * 0.05f;
        mismatches += static_cast<float>(portable::pow(10.0, decibels)) !=
                      static_cast<float>(std::pow(10.0L, static_cast<long double>(decibels)));
        const float angle = x * 6.2831855f;
        mismatches += dsp::trueCos(angle) != static_cast<float>(std::cos(static_cast<long double>(angle)));
        const float level = x * 4.0f + 0.01f;
        mismatches += static_cast<float>((20.0 * portable::log10(level) + 40.0) / 46.0) !=
                      static_cast<float>((20.0L * std::log10(static_cast<long double>(level)) + 40.0L) / 46.0L);
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(PortableMath, BuildsThePitchAndVelocityTablesOfTheCLibrary) {
    for (int i = 0; i < 16000; ++i) {
        ASSERT_EQ(static_cast<float>(4.0875 * portable::exp2(i / 1200.0)),
                  static_cast<float>(4.0875 * std::exp2(i / 1200.0)))
            << i;
        ASSERT_EQ(static_cast<float>(16.35 * portable::exp2(i / 1200.0)),
                  static_cast<float>(16.35 * std::exp2(i / 1200.0)))
            << i;
    }
    for (int d = 0; d < 128; ++d) {
        EXPECT_EQ(static_cast<float>(portable::log2(1.0 + d / 127.0)), static_cast<float>(std::log2(1.0 + d / 127.0)));
        EXPECT_EQ(static_cast<float>((portable::exp(d / 127.0) - 1.0) * 0.5819767068693265),
                  static_cast<float>((std::exp(d / 127.0) - 1.0) * 0.5819767068693265));
    }
}

TEST(PortableMath, AnswersTheEdgesLikeTheCLibrary) {
    EXPECT_EQ(portable::exp(0.0), 1.0);
    EXPECT_EQ(portable::exp(-1000.0), 0.0);
    EXPECT_TRUE(std::isinf(portable::exp(1000.0)));
    EXPECT_TRUE(std::isnan(portable::exp(NAN)));
    EXPECT_EQ(portable::log(1.0), 0.0);
    EXPECT_TRUE(std::isinf(portable::log(0.0)));
    EXPECT_TRUE(std::isnan(portable::log(-1.0)));
    EXPECT_NEAR(portable::log(5e-324), std::log(5e-324), 1e-12);  // subnormal
    EXPECT_EQ(portable::pow(10.0, 0.0), 1.0);
    EXPECT_TRUE(std::isnan(portable::pow(-2.0, 0.5)));
    EXPECT_EQ(portable::pow(2.0, 10.0), 1024.0);
    EXPECT_EQ(portable::cos(0.0), 1.0);
    EXPECT_EQ(portable::cos(-1.0), portable::cos(1.0));
    EXPECT_TRUE(std::isnan(portable::cos(INFINITY)));
    for (double x : {1e3, 12345.678, 1e6})
        EXPECT_NEAR(portable::cos(x), std::cos(x), 1e-15) << x;
}

}  // namespace
