#include "foundation/Easing.h"

#include <cmath>

namespace toolkit {
namespace {

// The curves were tuned with these truncated constants; keep them so values match exactly.
constexpr double kPi = 3.1415926535;
constexpr double kTwoPi = 6.283185307;
constexpr double kBackOvershoot = 1.70158;
constexpr double kBackInOutScale = 1.525;
constexpr double kElasticPeriod = 0.3;
constexpr double kElasticShift = kElasticPeriod / 4;
constexpr double kBounceSlope = 7.5625;
constexpr double kBounceSpan = 2.75;
constexpr double kFullTurn = 360.0;
constexpr double kHalfTurn = 180.0;

bool IsZero(double x) {
    return std::fabs(x) <= kEasingEpsilon;
}
bool IsLess(double x, double bound) {
    return x - bound < -kEasingEpsilon;
}

// The bounce-out shape of amplitude c at x in 0..1.
double Bounce(double x, double c) {
    if (IsLess(x, 1 / kBounceSpan)) {
        return c * kBounceSlope * x * x;
    }
    if (IsLess(x, 2 / kBounceSpan)) {
        const double d = x - 1.5 / kBounceSpan;
        return c * (kBounceSlope * d * d + 0.75);
    }
    if (IsLess(x, 2.5 / kBounceSpan)) {
        const double d = x - 2.25 / kBounceSpan;
        return c * (kBounceSlope * d * d + 0.9375);
    }
    const double d = x - 2.625 / kBounceSpan;
    return c * (kBounceSlope * d * d + 0.984375);
}

double ElasticWave(double x) {
    return std::sin((x - kElasticShift) * kTwoPi / kElasticPeriod);
}

}  // namespace

bool EaseValue(int type, double start, double end, double progress, double* result) {
    if (type < kFirstEasingCurve || type > kLastEasingCurve || result == nullptr) {
        return false;
    }
    double t = progress;
    if (t < -kEasingEpsilon) {
        t = 0;
    } else if (t - 1 > kEasingEpsilon) {
        t = 1;
    }
    double c = end - start;
    const double s = kBackOvershoot;
    const bool secondHalf = 2 * t - 1 >= -kEasingEpsilon;
    const double u = 2 * t;  // first-half progress, 0..1
    const double v = u - 1;  // second-half progress, 0..1
    const double w = u - 2;  // second-half progress, -1..0
    double value = 0;

    switch (type) {
        case kEaseLinear:
            value = start + c * t;
            break;
        case kEaseAngle:
            if (c + kHalfTurn < -kEasingEpsilon) {
                value = start + t * (end + kFullTurn - start);
            } else if (c - kHalfTurn > kEasingEpsilon) {
                value = start - t * (start + kFullTurn - end);
            } else {
                value = start + c * t;
            }
            break;
        case kEaseSpring:
            value = start +
                    c * (t + std::sin(kPi * t * (2.5 * t * t * t + 0.2)) * std::pow(1 - t, 2.2)) *
                        (1 + 1.2 * (1 - t));
            break;
        case kEaseShake:
            // The shake swings around zero with the end value as its amplitude.
            value = (IsZero(t) || IsZero(t - 1))
                        ? 0
                        : end * std::pow(2, -10 * t) * std::sin(kTwoPi * t / kElasticPeriod);
            break;
        case kEaseQuadIn:
            value = start + c * t * t;
            break;
        case kEaseQuadOut:
            value = start - c * t * (t - 2);
            break;
        case kEaseQuadInOut:
            value = secondHalf ? start - c / 2 * (v * (v - 2) - 1) : start + c / 2 * u * u;
            break;
        case kEaseCubicIn:
            value = start + c * t * t * t;
            break;
        case kEaseCubicOut:
            value = start + c * (std::pow(t - 1, 3) + 1);
            break;
        case kEaseCubicInOut:
            value = secondHalf ? start + c / 2 * (w * w * w + 2) : start + c / 2 * u * u * u;
            break;
        case kEaseQuartIn:
            value = start + c * std::pow(t, 4);
            break;
        case kEaseQuartOut:
            value = start - c * (std::pow(t - 1, 4) - 1);
            break;
        case kEaseQuartInOut:
            value =
                secondHalf ? start - c / 2 * (std::pow(w, 4) - 2) : start + c / 2 * std::pow(u, 4);
            break;
        case kEaseQuintIn:
            value = start + c * std::pow(t, 5);
            break;
        case kEaseQuintOut:
            value = start + c * (std::pow(t - 1, 5) + 1);
            break;
        case kEaseQuintInOut:
            value =
                secondHalf ? start + c / 2 * (std::pow(w, 5) + 2) : start + c / 2 * std::pow(u, 5);
            break;
        case kEaseSineIn:
            value = start + c * (1 - std::cos(t * kPi / 2));
            break;
        case kEaseSineOut:
            value = start + c * std::sin(t * kPi / 2);
            break;
        case kEaseSineInOut:
            value = start - c / 2 * (std::cos(kPi * t) - 1);
            break;
        case kEaseExpoIn:
            // No special case at t = 0: the curve starts a hair above start.
            value = start + c * std::pow(2, 10 * (t - 1));
            break;
        case kEaseExpoOut:
            value = start + c * (1 - std::pow(2, -10 * t));
            break;
        case kEaseExpoInOut:
            value = secondHalf ? start + c / 2 * (2 - std::pow(2, -10 * v))
                               : start + c / 2 * std::pow(2, 10 * v);
            break;
        case kEaseCircIn:
            value = start - c * (std::sqrt(1 - t * t) - 1);
            break;
        case kEaseCircOut:
            value = start + c * std::sqrt(1 - (t - 1) * (t - 1));
            break;
        case kEaseCircInOut:
            value = secondHalf ? start + c / 2 * (std::sqrt(1 - w * w) + 1)
                               : start - c / 2 * (std::sqrt(1 - u * u) - 1);
            break;
        case kEaseBounceIn:
            value = start + c - Bounce(1 - t, c);
            break;
        case kEaseBounceOut:
            value = start + Bounce(t, c);
            break;
        case kEaseBounceInOut:
            // This curve works on whole numbers only.
            start = std::trunc(start);
            c = std::trunc(end) - start;
            value = secondHalf ? start + 0.5 * Bounce(v, c) + 0.5 * c
                               : start + 0.5 * (c - Bounce(1 - u, c));
            break;
        case kEaseBackIn:
            value = start + c * t * t * ((s + 1) * t - s);
            break;
        case kEaseBackOut:
            value = start + c * ((t - 1) * (t - 1) * ((s + 1) * (t - 1) + s) + 1);
            break;
        case kEaseBackInOut: {
            const double s2 = s * kBackInOutScale;
            value = secondHalf ? start + c / 2 * (w * w * ((s2 + 1) * w + s2) + 2)
                               : start + c / 2 * u * u * ((s2 + 1) * u - s2);
            break;
        }
        case kEaseElasticIn:
            if (IsZero(t)) {
                value = start;
            } else if (IsZero(t - 1)) {
                value = end;
            } else {
                value = start - c * std::pow(2, 10 * (t - 1)) * ElasticWave(t - 1);
            }
            break;
        case kEaseElasticOut:
            if (IsZero(t)) {
                value = start;
            } else if (IsZero(t - 1)) {
                value = end;
            } else {
                value = end + c * std::pow(2, -10 * t) * ElasticWave(t);
            }
            break;
        case kEaseElasticInOut:
            if (IsZero(t)) {
                value = start;
            } else if (IsZero(u - 2)) {
                value = end;
            } else if (secondHalf) {
                value = end + 0.5 * c * std::pow(2, -10 * v) * ElasticWave(v);
            } else {
                value = start - 0.5 * c * std::pow(2, 10 * v) * ElasticWave(v);
            }
            break;
    }
    *result = value;
    return true;
}

}  // namespace toolkit
