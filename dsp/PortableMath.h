// Exponential, logarithm, power and cosine computed by our own code from
// additions, multiplications and divisions alone, so every build (glibc on
// Linux, the Windows runtimes in 32 and 64 bits) gets the same bits. The C
// runtimes round their versions differently in a fraction of cases; these
// stay within about one unit in the last place of a double, so the floats
// the synthesis keeps equal the correctly rounded ones.
#pragma once

namespace dsp::portable {

double exp(double x);
double exp2(double x);
// Natural, base-2 and base-10 logarithms; NaN below 0, -infinity at 0.
double log(double x);
double log2(double x);
double log10(double x);
// base^x for base > 0 (NaN otherwise, 1 for x = 0); exact-precision paths
// for the powers of two and for 10.
double pow(double base, double x);
double cos(double x);
double sin(double x);
// The angle whose tangent is x, in (-pi/2, pi/2).
double atan(double x);

}  // namespace dsp::portable
