#include "dsp/PortableMath.h"

#include <cstdint>
#include <cstring>
#include <limits>

// The reductions and polynomials follow the classic freely published
// double-precision methods (Cody-Waite argument reduction, minimax kernels).
// They must not be contracted into fused multiply-adds: the build passes
// -ffp-contract=off everywhere.

namespace dsp::portable {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

// ln 2 and ln 10 as a double plus the double nearest the remainder.
constexpr double kLn2 = 0.6931471805599453;
constexpr double kLn2Tail = 2.3190468138462996e-17;
constexpr double kLn10 = 2.302585092994046;
constexpr double kLn10Tail = -2.1707562233822494e-16;

// ln 2 split so that k * kLn2High is exact for |k| < 2^20.
constexpr double kLn2High = 6.93147180369123816490e-01;
constexpr double kLn2Low = 1.90821492927058770002e-10;
constexpr double kInverseLn2 = 1.44269504088896338700e+00;

std::uint64_t bitsOf(double x) {
    std::uint64_t bits;
    std::memcpy(&bits, &x, sizeof(bits));
    return bits;
}

double fromBits(std::uint64_t bits) {
    double x;
    std::memcpy(&x, &bits, sizeof(x));
    return x;
}

// x * 2^k, exact whenever the result is a normal number.
double scaleByPowerOfTwo(double x, int k) {
    while (k > 1000) {
        x *= fromBits(static_cast<std::uint64_t>(1023 + 1000) << 52);
        k -= 1000;
    }
    while (k < -1000) {
        x *= fromBits(static_cast<std::uint64_t>(1023 - 1000) << 52);
        k += 1000;
    }
    return x * fromBits(static_cast<std::uint64_t>(1023 + k) << 52);
}

// Rounds to the nearest integer, halves away from zero; |x| < 2^31.
int nearestInteger(double x) {
    return static_cast<int>(x < 0 ? x - 0.5 : x + 0.5);
}

// The exact product a * b as high + low (Veltkamp's split, Dekker's product).
void exactProduct(double a, double b, double* high, double* low) {
    constexpr double kSplit = 134217729.0;  // 2^27 + 1
    const double aSplit = kSplit * a, bSplit = kSplit * b;
    const double aHigh = aSplit - (aSplit - a), aLow = a - aHigh;
    const double bHigh = bSplit - (bSplit - b), bLow = b - bHigh;
    *high = a * b;
    *low = ((aHigh * bHigh - *high) + aHigh * bLow + aLow * bHigh) + aLow * bLow;
}

// e^(high + low), where low is far below high's last place.
double expOfSum(double high, double low) {
    if (high != high) return high;
    if (high > 709.782712893384) return kInfinity;
    if (high < -745.1332191019412) return 0.0;
    constexpr double P1 = 1.66666666666666019037e-01, P2 = -2.77777777770155933842e-03,
                     P3 = 6.61375632143793436117e-05, P4 = -1.65339022054652515390e-06,
                     P5 = 4.13813679705723846039e-08;
    const int k = nearestInteger(high * kInverseLn2);
    // high - k ln2 carried as hi - lo.
    const double hi = high - k * kLn2High;
    const double lo = k * kLn2Low - low;
    const double r = hi - lo;
    const double t = r * r;
    const double c = r - t * (P1 + t * (P2 + t * (P3 + t * (P4 + t * P5))));
    const double y = 1.0 - ((lo - (r * c) / (2.0 - c)) - hi);
    return scaleByPowerOfTwo(y, k);
}

// e^(x * (factor + factorTail)) with the product kept exact.
double expOfProduct(double x, double factor, double factorTail) {
    double high, low;
    exactProduct(x, factor, &high, &low);
    low += x * factorTail;
    const double sum = high + low;
    return expOfSum(sum, low - (sum - high));
}

// The polynomial kernels on [-pi/4, pi/4]; x + y is the reduced argument.
double kernelCos(double x, double y) {
    constexpr double C1 = 4.16666666666666019037e-02, C2 = -1.38888888888741095749e-03,
                     C3 = 2.48015872894767294178e-05, C4 = -2.75573143513906633035e-07,
                     C5 = 2.08757232129817482790e-09, C6 = -1.13596475577881948265e-11;
    const double z = x * x;
    const double w = z * z;
    const double r = z * (C1 + z * (C2 + z * C3)) + w * w * (C4 + z * (C5 + z * C6));
    const double hz = 0.5 * z;
    const double v = 1.0 - hz;
    return v + (((1.0 - v) - hz) + (z * r - x * y));
}

double kernelSin(double x, double y) {
    constexpr double S1 = -1.66666666666666324348e-01, S2 = 8.33333333332248946124e-03,
                     S3 = -1.98412698298579493134e-04, S4 = 2.75573137070700676789e-06,
                     S5 = -2.50507602534068634195e-08, S6 = 1.58969099521155010221e-10;
    const double z = x * x;
    const double w = z * z;
    const double r = S2 + z * (S3 + z * S4) + z * w * (S5 + z * S6);
    const double v = z * x;
    return x - ((z * (0.5 * y - v * r) - y) - v * S1);
}

}  // namespace

double exp(double x) {
    return expOfSum(x, 0.0);
}

double exp2(double x) {
    return expOfProduct(x, kLn2, kLn2Tail);
}

double log(double x) {
    if (x != x || x < 0) return kNaN;
    if (x == 0) return -kInfinity;
    if (x == kInfinity) return x;
    constexpr double Lg1 = 6.666666666666735130e-01, Lg2 = 3.999999999940941908e-01,
                     Lg3 = 2.857142874366239149e-01, Lg4 = 2.222219843214978396e-01,
                     Lg5 = 1.818357216161805012e-01, Lg6 = 1.531383769920937332e-01,
                     Lg7 = 1.479819860511658591e-01;
    int k = 0;
    if (x < 2.2250738585072014e-308) {  // subnormal: make it normal first
        x *= 18014398509481984.0;       // 2^54
        k -= 54;
    }
    // x = 2^k * m with m in [sqrt(2)/2, sqrt(2)).
    std::uint64_t bits = bitsOf(x);
    k += static_cast<int>((bits >> 52) & 0x7FF) - 1023;
    bits = (bits & 0x000FFFFFFFFFFFFFull) | 0x3FF0000000000000ull;
    double m = fromBits(bits);
    if (m >= 1.4142135623730951) {
        m *= 0.5;
        ++k;
    }
    const double f = m - 1.0;
    const double s = f / (2.0 + f);
    const double z = s * s;
    const double w = z * z;
    const double t1 = w * (Lg2 + w * (Lg4 + w * Lg6));
    const double t2 = z * (Lg1 + w * (Lg3 + w * (Lg5 + w * Lg7)));
    const double r = t2 + t1;
    const double hfsq = 0.5 * f * f;
    return k * kLn2High - ((hfsq - (s * (hfsq + r) + k * kLn2Low)) - f);
}

double log2(double x) {
    return log(x) * (1.0 / kLn2);
}

double log10(double x) {
    return log(x) * (1.0 / kLn10);
}

double pow(double base, double x) {
    if (x == 0) return 1.0;
    if (base != base || x != x || base <= 0) return kNaN;
    if (base == 10.0) return expOfProduct(x, kLn10, kLn10Tail);
    const std::uint64_t bits = bitsOf(base);
    if ((bits & 0x000FFFFFFFFFFFFFull) == 0 && (bits >> 52) != 0 && (bits >> 52) < 0x7FF) {
        const double exponent = static_cast<double>(static_cast<int>(bits >> 52) - 1023);
        return expOfProduct(x * exponent, kLn2, kLn2Tail);  // x * exponent is exact here
    }
    return expOfProduct(x, log(base), 0.0);
}

double cos(double x) {
    if (x != x || x == kInfinity || x == -kInfinity) return kNaN;
    if (x < 0) x = -x;
    if (x > 1.0e9) return kNaN;  // far beyond any angle the synthesis forms
    // pi/2 in three parts of 33 bits, so n * part is exact for n < 2^20.
    constexpr double kPio2Part1 = 1.57079632673412561417e+00, kPio2Part2 = 6.07710050630396597660e-11,
                     kPio2Part3 = 2.02226624871116645580e-21, kPio2Part3Tail = 8.47842766036889956997e-32;
    constexpr double kTwoOverPi = 6.36619772367581382433e-01;
    const int n = nearestInteger(x * kTwoOverPi);
    const double dn = n;
    // x - n pi/2 as high + low, each step keeping its rounding error.
    double r = x - dn * kPio2Part1;
    double w = dn * kPio2Part2;
    double high = r - w;
    double low = (r - high) - w;
    const double t = high;
    w = dn * kPio2Part3;
    high = t - w;
    low += (t - high) - w;
    low -= dn * kPio2Part3Tail;
    r = high + low;
    low = low - (r - high);
    high = r;
    switch (n & 3) {
    case 0: return kernelCos(high, low);
    case 1: return -kernelSin(high, low);
    case 2: return -kernelCos(high, low);
    default: return kernelSin(high, low);
    }
}

double sin(double x) {
    constexpr double kHalfPi = 1.57079632679489661923;
    return cos(x - kHalfPi);
}

double atan(double x) {
    if (x != x) return kNaN;
    constexpr double kHalfPi = 1.57079632679489661923, kSixthPi = 0.52359877559829887308;
    constexpr double kRootThird = 0.57735026918962576451;  // tan(pi/6)
    const bool negative = x < 0;
    if (negative) x = -x;
    double offset = 0.0;
    bool complement = false;
    if (x > 1.0) {  // atan(x) = pi/2 - atan(1/x)
        x = 1.0 / x;
        complement = true;
    }
    if (x > 0.2679491924311227) {  // above tan(pi/12): shift by pi/6
        x = (x - kRootThird) / (1.0 + x * kRootThird);
        offset = kSixthPi;
    }
    // The series to x^41 is exact to the last bit for |x| <= tan(pi/12).
    const double z = x * x;
    double sum = 0.0;
    for (int k = 41; k >= 3; k -= 2) sum = (sum + (k % 4 == 1 ? 1.0 : -1.0) / k) * z;
    double angle = offset + (x + x * sum);
    if (complement) angle = kHalfPi - angle;
    return negative ? -angle : angle;
}

}  // namespace dsp::portable
