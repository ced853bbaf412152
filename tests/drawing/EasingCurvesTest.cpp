// The 34 easing curves, checked against values worked out independently from the curve
// definitions, at both ends and at points inside each half.
#include "foundation/Easing.h"

#include <gtest/gtest.h>

#include <array>

namespace toolkit {
namespace {

constexpr double kStart = 10;
constexpr double kEnd = 110;
constexpr double kTolerance = 1e-6;
constexpr std::array<double, 7> kProgress = {0, 0.1, 0.25, 0.5, 0.6, 0.9, 1};

struct CurveCase {
    int type;
    std::array<double, kProgress.size()> values;  // from kStart to kEnd at each progress
};

// clang-format off
const CurveCase kCurves[] = {
    {kEaseLinear, {10, 20, 35, 60, 70, 100, 110}},
    {kEaseAngle, {10, 20, 35, 60, 70, 100, 110}},
    {kEaseSpring, {10, 41.2876642047, 76.333670901, 115.101580186, 118.210547968, 110.421814821, 110}},
    {kEaseShake, {0, 47.6313972098, -16.8402419831, -2.97696232499, -6.17328142334e-10, -1.15748263409e-10, 0}},
    {kEaseQuadIn, {10, 11, 16.25, 35, 46, 91, 110}},
    {kEaseQuadOut, {10, 29, 53.75, 85, 94, 109, 110}},
    {kEaseQuadInOut, {10, 12, 22.5, 60, 78, 108, 110}},
    {kEaseCubicIn, {10, 10.1, 11.5625, 22.5, 31.6, 82.9, 110}},
    {kEaseCubicOut, {10, 37.1, 67.8125, 97.5, 103.6, 109.9, 110}},
    {kEaseCubicInOut, {10, 10.4, 16.25, 60, 84.4, 109.6, 110}},
    {kEaseQuartIn, {10, 10.01, 10.390625, 16.25, 22.96, 75.61, 110}},
    {kEaseQuartOut, {10, 44.39, 78.359375, 103.75, 107.44, 109.99, 110}},
    {kEaseQuartInOut, {10, 10.08, 13.125, 60, 89.52, 109.92, 110}},
    {kEaseQuintIn, {10, 10.001, 10.09765625, 13.125, 17.776, 69.049, 110}},
    {kEaseQuintOut, {10, 50.951, 86.26953125, 106.875, 108.976, 109.999, 110}},
    {kEaseQuintInOut, {10, 10.016, 11.5625, 60, 93.616, 109.984, 110}},
    {kEaseSineIn, {10, 11.2311659404, 17.6120467484, 39.2893218798, 51.2214747686, 94.356553492, 109.999999996}},
    {kEaseSineOut, {10, 25.6434465036, 48.2683432355, 80.7106781171, 90.9016994359, 108.768834059, 110}},
    {kEaseSineInOut, {10, 12.4471741851, 24.6446609399, 59.9999999978, 75.4508497162, 107.552825814, 110}},
    {kEaseExpoIn, {10.09765625, 10.1953125, 10.5524271728, 13.125, 16.25, 60, 110}},
    {kEaseExpoOut, {10, 60, 92.3223304703, 106.875, 108.4375, 109.8046875, 109.90234375}},
    {kEaseExpoInOut, {10.048828125, 10.1953125, 11.5625, 60, 97.5, 109.8046875, 109.951171875}},
    {kEaseCircIn, {10, 10.5012562893, 13.1754163448, 23.3974596216, 30, 66.4110105646, 110}},
    {kEaseCircOut, {10, 53.5889894354, 76.1437827766, 96.6025403784, 101.651513899, 109.498743711, 110}},
    {kEaseCircInOut, {10, 11.0102051443, 16.6987298108, 60, 90, 108.989794856, 110}},
    {kEaseBounceIn, {10, 11.1875, 12.734375, 33.4375, 19, 102.4375, 110}},
    {kEaseBounceOut, {10, 17.5625, 57.265625, 86.5625, 87.25, 108.8125, 110}},
    {kEaseBounceInOut, {10, 13, 21.71875, 60, 75.125, 107, 110}},
    {kEaseBackIn, {10, 8.568578, 3.58634375, 1.23025, 7.097248, 69.117202, 110}},
    {kEaseBackOut, {10, 50.882798, 91.74096875, 118.76975, 119.935168, 111.431422, 110}},
    {kEaseBackInOut, {10, 6.2481448, 0.031815625, 60, 101.0074208, 113.7518552, 110}},
    {kEaseElasticIn, {10, 10.1953125, 9.4475728272, 8.43749999907, 6.87500000154, -14.9999999955, 110}},
    {kEaseElasticOut, {10, 134.999999999, 101.161165237, 111.562500001, 108.4375, 109.8046875, 110}},
    {kEaseElasticInOut, {10, 9.90234374991, 9.21874999953, 60, 116.250000001, 110.09765625, 110}},
};
// clang-format on

double Ease(int type, double start, double end, double progress) {
    double value = 0;
    EXPECT_TRUE(EaseValue(type, start, end, progress, &value)) << "curve " << type;
    return value;
}

TEST(EasingCurves, EveryCurveMatchesItsTable) {
    ASSERT_EQ(std::size(kCurves), static_cast<std::size_t>(kLastEasingCurve));
    for (const CurveCase& curve : kCurves) {
        for (std::size_t i = 0; i < kProgress.size(); ++i) {
            EXPECT_NEAR(Ease(curve.type, kStart, kEnd, kProgress[i]), curve.values[i], kTolerance)
                << "curve " << curve.type << " at t = " << kProgress[i];
        }
    }
}

TEST(EasingCurves, ProgressOutsideZeroToOneIsClamped) {
    constexpr double kBefore = -0.5;
    constexpr double kAfter = 1.5;
    for (int type = kFirstEasingCurve; type <= kLastEasingCurve; ++type) {
        EXPECT_DOUBLE_EQ(Ease(type, kStart, kEnd, kBefore), Ease(type, kStart, kEnd, 0))
            << "curve " << type;
        EXPECT_DOUBLE_EQ(Ease(type, kStart, kEnd, kAfter), Ease(type, kStart, kEnd, 1))
            << "curve " << type;
    }
}

TEST(EasingCurves, UnknownCurveLeavesTheResultAlone) {
    constexpr double kUntouched = 42;
    for (int type : {kFirstEasingCurve - 1, kLastEasingCurve + 1, -1}) {
        double value = kUntouched;
        EXPECT_FALSE(EaseValue(type, kStart, kEnd, 0.5, &value)) << "curve " << type;
        EXPECT_EQ(value, kUntouched);
    }
}

TEST(EasingCurves, AngleTakesTheShortWayRound) {
    struct AngleCase {
        double start, end, progress, expected;
    };
    const AngleCase cases[] = {
        {350, 10, 0.5, 360},                     // forwards through 360, not back through 180
        {350, 10, 1, 370},                       // no wrap into 0..360
        {10, 350, 0.5, 0},                       // backwards through 0
        {10, 350, 1, -10},   {90, 200, 1, 200},  // within half a turn: straight
    };
    for (const AngleCase& c : cases) {
        EXPECT_NEAR(Ease(kEaseAngle, c.start, c.end, c.progress), c.expected, kTolerance)
            << c.start << " -> " << c.end << " at " << c.progress;
    }
}

TEST(EasingCurves, BounceInOutRunsBetweenWholeNumbers) {
    constexpr double kFractionalStart = 0.7;
    constexpr double kFractionalEnd = 10.9;
    EXPECT_NEAR(Ease(kEaseBounceInOut, kFractionalStart, kFractionalEnd, 0), 0, kTolerance);
    EXPECT_NEAR(Ease(kEaseBounceInOut, kFractionalStart, kFractionalEnd, 1), 10, kTolerance);
}

TEST(EasingCurves, ShakeIgnoresTheStart) {
    constexpr double kOtherStart = -500;
    for (double t : kProgress) {
        EXPECT_DOUBLE_EQ(Ease(kEaseShake, kStart, kEnd, t), Ease(kEaseShake, kOtherStart, kEnd, t))
            << "at t = " << t;
    }
}

}  // namespace
}  // namespace toolkit
