#include "ExactMath.h"

#include <cmath>
#include <limits>

namespace qv {
namespace {

// pi/2 split in two parts so that k * pi/2 is subtracted without losing bits (Cody and Waite).
const double kHalfPiHi = 1.5707963267341256e+00;
const double kHalfPiLo = 6.0771005065061922e-11;
const double kInvHalfPi = 6.3661977236758138e-01;

double sinPoly(double r)  // |r| <= pi/4
{
    const double r2 = r * r;
    double term = r;
    double sum = 0.0;
    double tail[12];
    int n = 0;
    for (int k = 1; k <= 12; ++k) {
        tail[n++] = term;
        term = -term * r2 / static_cast<double>((2 * k) * (2 * k + 1));
    }
    // Add the small terms first.
    while (n > 0)
        sum += tail[--n];
    return sum;
}

double cosPoly(double r)  // |r| <= pi/4
{
    const double r2 = r * r;
    double term = 1.0;
    double tail[12];
    int n = 0;
    for (int k = 1; k <= 12; ++k) {
        tail[n++] = term;
        term = -term * r2 / static_cast<double>((2 * k - 1) * (2 * k));
    }
    double sum = 0.0;
    while (n > 0)
        sum += tail[--n];
    return sum;
}

// Reduces x to r in [-pi/4, pi/4] with x = r + q * pi/2; returns q mod 4.
int reduce(double x, double& r)
{
    const double q = std::nearbyint(x * kInvHalfPi);
    r = (x - q * kHalfPiHi) - q * kHalfPiLo;
    const long long qi = static_cast<long long>(q);
    return static_cast<int>(((qi % 4) + 4) % 4);
}

// sin(r + quadrant * pi/2), the quadrant taken modulo 4.
double quadrantSin(int quadrant, double r)
{
    switch (quadrant & 3) {
    case 0:
        return sinPoly(r);
    case 1:
        return cosPoly(r);
    case 2:
        return -sinPoly(r);
    default:
        return -cosPoly(r);
    }
}

double sinDouble(double x)
{
    double r;
    const int quadrant = reduce(x, r);
    return quadrantSin(quadrant, r);
}

// cos x = sin(x + pi/2): one quadrant on.
double cosDouble(double x)
{
    double r;
    const int quadrant = reduce(x, r);
    return quadrantSin(quadrant + 1, r);
}

const double kLn10 = 2.302585092994045684;
const double kLn2Hi = 6.93147180369123816490e-01;
const double kLn2Lo = 1.90821492927058770002e-10;
const double kInvLn2 = 1.44269504088896338700e+00;

double expDouble(double t)
{
    const double n = std::nearbyint(t * kInvLn2);
    const double r = (t - n * kLn2Hi) - n * kLn2Lo;  // |r| <= 0.35
    double term = 1.0;
    double tail[20];
    int count = 0;
    for (int k = 1; k <= 20; ++k) {
        tail[count++] = term;
        term = term * r / static_cast<double>(k);
    }
    double sum = 0.0;
    while (count > 0)
        sum += tail[--count];
    return std::ldexp(sum, static_cast<int>(n));
}

bool usable(float x) { return std::isfinite(x) && std::fabs(x) < 1.0e6f; }

}  // namespace

float exactSin(float x)
{
    if (!usable(x))
        return std::numeric_limits<float>::quiet_NaN();
    return static_cast<float>(sinDouble(static_cast<double>(x)));
}

float exactCos(float x)
{
    if (!usable(x))
        return std::numeric_limits<float>::quiet_NaN();
    return static_cast<float>(cosDouble(static_cast<double>(x)));
}

float exactPow10(float x)
{
    if (std::isnan(x))
        return x;
    if (x > 39.0f)
        return std::numeric_limits<float>::infinity();
    if (x < -46.0f)
        return 0.0f;
    return static_cast<float>(expDouble(static_cast<double>(x) * kLn10));
}

}  // namespace qv
