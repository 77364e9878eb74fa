#include "processing/NearFieldCorrection.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <stdexcept>

#include "base/FloatMath.h"
#include "survey/Interp1.h"

namespace {

// The correction tables, by distance from the source centre.
const double kAX[13] = {0.5, 1, 1.5, 2, 2.5, 3, 4, 5, 6, 8, 10, 16, 20};
const double kAY[13] = {4.4, 3.0, 2.4, 2.1, 2.0, 1.9, 1.8, 1.78, 1.76, 1.75, 1.75, 1.75, 1.75};
const double kBX[4] = {0.5, 2, 8, 20};
const double kB1Y[4] = {0.74, 0.77, 0.8, 0.8};
const double kB2Y[4] = {0.74, 0.77, 0.78, 0.78};

// The order in which "for i < j: exchange when Freq[i] < Freq[j]" leaves the entries.
std::vector<size_t> ExchangeOrder(const std::vector<double>& freq)
{
    const size_t n = freq.size();
    std::vector<size_t> order(n);
    std::iota(order.begin(), order.end(), size_t{0});

    // That quadratic sort is replayed only where its result is not unique: with equal or NaN
    // frequencies. Otherwise it is the one descending order.
    bool anyNaN = std::any_of(freq.begin(), freq.end(), [](double f) { return std::isnan(f); });
    if (!anyNaN) {
        bool descending = true;
        for (size_t k = 0; k + 1 < n && descending; ++k) descending = !(freq[k] < freq[k + 1]);
        if (descending) return order;  // no exchange happens
        std::sort(order.begin(), order.end(),
                  [&](size_t a, size_t b) { return freq[a] > freq[b]; });
        bool distinct = true;
        for (size_t k = 0; k + 1 < n && distinct; ++k)
            distinct = freq[order[k]] != freq[order[k + 1]];
        if (distinct) return order;
        std::iota(order.begin(), order.end(), size_t{0});
    }
    std::vector<double> f = freq;
    for (size_t i = 0; i + 1 < n; ++i) {
        for (size_t j = i + 1; j < n; ++j) {
            if (f[i] < f[j]) {
                std::swap(f[i], f[j]);
                std::swap(order[i], order[j]);
            }
        }
    }
    return order;
}

std::vector<double> Reordered(const std::vector<size_t>& order, const std::vector<double>& list)
{
    std::vector<double> result(order.size());
    for (size_t k = 0; k < order.size(); ++k) result[k] = list[order[k]];
    return result;
}

}  // namespace

double IntersectLines(double x1, double y1, double x2, double y2, double x3, double y3, double x4,
                      double y4)
{
    const double e = 1e-15;
    const double w1 = Checked(x2 - x1 + e);
    const double k1 = CheckedDiv(Checked(y2 - y1), w1);
    const double b1 = CheckedDiv(Checked(Checked(x2 * y1) - Checked(x1 * y2)), w1);
    const double w2 = Checked(x4 - x3 + e);
    const double k2 = CheckedDiv(Checked(y4 - y3), w2);
    const double b2 = CheckedDiv(Checked(Checked(x4 * y3) - Checked(x3 * y4)), w2);
    return CheckedDiv(Checked(b2 - b1), Checked(k1 - k2 + e));
}

std::vector<size_t> CorrectNearTransitionZone(std::vector<double>& Freq, std::vector<double>& RhoMT,
                                              std::vector<double>& RhoExHyN, double Distance)
{
    const size_t n = Freq.size();
    if (RhoMT.size() != n || RhoExHyN.size() != n)
        throw std::invalid_argument("CorrectNearTransitionZone: lists of different lengths");
    if (n == 0) return {};
    if (n == 1) return {0};

    std::vector<size_t> order = ExchangeOrder(Freq);
    std::vector<double> freq = Reordered(order, Freq);
    std::vector<double> mt = Reordered(order, RhoMT);
    std::vector<double> nz = Reordered(order, RhoExHyN);

    std::vector<double> lf(n), lmt(n), lnz(n);
    for (size_t i = 0; i < n; ++i) {
        lf[i] = CheckedLog10(freq[i]);
        lmt[i] = CheckedLog10(mt[i]);
        lnz[i] = CheckedLog10(nz[i]);
    }

    double xc = 0.0;
    for (size_t i = 0; i + 1 < n; ++i) {
        if (mt[i] <= nz[i] && mt[i + 1] > nz[i + 1]) {
            xc = IntersectLines(lf[i], lnz[i], lf[i + 1], lnz[i + 1], lf[i], lmt[i], lf[i + 1],
                                lmt[i + 1]);
            break;
        }
    }
    if (xc == 0.0)
        xc = IntersectLines(lf[n - 2], lnz[n - 2], lf[n - 1], lnz[n - 1], lf[n - 2], lmt[n - 2],
                            lf[n - 1], lmt[n - 1]);

    const double a = Interp1(kAX, kAY, 13, Distance);
    const double b1 = Interp1(kBX, kB1Y, 4, Distance);
    const double b2 = Interp1(kBX, kB2Y, 4, Distance);

    std::vector<double> corrected(n);
    for (size_t i = 0; i < n; ++i) {
        const double d = std::fabs(Checked(lf[i] - xc));
        double c, v;
        if (lf[i] < xc) {
            c = a - Checked(d * b1);
            v = nz[i];
        } else {
            c = a - Checked(d * b2);
            v = mt[i];
        }
        if (!(c > 1.0)) c = 1.0;
        corrected[i] = CheckedDiv(v, c);
    }

    Freq = std::move(freq);
    RhoExHyN = std::move(nz);
    RhoMT = std::move(corrected);
    return order;
}

void ApplyOrder(const std::vector<size_t>& order, std::vector<double>& list)
{
    if (list.size() != order.size())
        throw std::invalid_argument("ApplyOrder: list and order of different lengths");
    list = Reordered(order, list);
}
