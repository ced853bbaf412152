// Easing curves: a value stepped from a start to an end along one of 34 curves.
//
// Window-free, so the native build tests it too. The animation that drives these curves frame by
// frame is in EasingAnimation.h.
#pragma once

namespace toolkit {

// Curve numbers as the engine and the elements pass them.
enum EasingCurve : int {
    kEaseLinear = 1,
    kEaseAngle = 2,  // shortest way round a circle of 360
    kEaseSpring = 3,
    kEaseShake = 4,
    kEaseQuadIn = 5,
    kEaseQuadOut = 6,
    kEaseQuadInOut = 7,
    kEaseCubicIn = 8,
    kEaseCubicOut = 9,
    kEaseCubicInOut = 10,
    kEaseQuartIn = 11,
    kEaseQuartOut = 12,
    kEaseQuartInOut = 13,
    kEaseQuintIn = 14,
    kEaseQuintOut = 15,
    kEaseQuintInOut = 16,
    kEaseSineIn = 17,
    kEaseSineOut = 18,
    kEaseSineInOut = 19,
    kEaseExpoIn = 20,
    kEaseExpoOut = 21,
    kEaseExpoInOut = 22,
    kEaseCircIn = 23,
    kEaseCircOut = 24,
    kEaseCircInOut = 25,
    kEaseBounceIn = 26,
    kEaseBounceOut = 27,
    kEaseBounceInOut = 28,
    kEaseBackIn = 29,
    kEaseBackOut = 30,
    kEaseBackInOut = 31,
    kEaseElasticIn = 32,
    kEaseElasticOut = 33,
    kEaseElasticInOut = 34,
};

constexpr int kFirstEasingCurve = kEaseLinear;
constexpr int kLastEasingCurve = kEaseElasticInOut;

// Tolerance of every comparison the curves make on the progress.
constexpr double kEasingEpsilon = 1e-7;

// The value of curve `type` between start and end at `progress` (clamped into 0..1), written to
// *result. A type outside 1..34 gives false and leaves *result untouched.
bool EaseValue(int type, double start, double end, double progress, double* result);

}  // namespace toolkit
