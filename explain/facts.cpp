#include "facts.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "number_text.h"
#include "text.h"

namespace zelvane::explain::detail {

std::string AddDecimal(std::initializer_list<std::string_view> terms) {
    size_t length = 0;
    for (std::string_view term : terms) {
        length = std::max(length, term.size());
    }
    std::string sum(length + 1, '0');
    int carry = 0;
    for (size_t i = 0; i < length; ++i) {
        int column = carry;
        for (std::string_view term : terms) {
            if (i < term.size()) {
                column += term[term.size() - 1 - i] - '0';
            }
        }
        sum[length - i] = static_cast<char>('0' + column % 10);
        carry = column / 10;
    }
    sum[0] = static_cast<char>('0' + carry);
    const size_t first = std::min(sum.find_first_not_of('0'), sum.size() - 1);
    return sum.substr(first);
}

std::string WithoutLeadingZeros(std::string_view digits) {
    const size_t first = digits.find_first_not_of('0');
    return first == std::string_view::npos ? std::string("0") : std::string(digits.substr(first));
}

uint64_t PowMod(uint64_t base, uint64_t exponent, uint64_t modulus) {
    uint64_t result = 1 % modulus;
    base %= modulus;
    while (exponent > 0) {
        if (exponent & 1) {
            result = result * base % modulus;
        }
        base = base * base % modulus;
        exponent >>= 1;
    }
    return result;
}

std::vector<std::pair<uint64_t, int>> Factorize(uint64_t n) {
    std::vector<std::pair<uint64_t, int>> factors;
    for (uint64_t p = 2; p * p <= n; p += p == 2 ? 1 : 2) {
        if (n % p == 0) {
            int exponent = 0;
            while (n % p == 0) {
                n /= p;
                ++exponent;
            }
            factors.emplace_back(p, exponent);
        }
    }
    if (n > 1) {
        factors.emplace_back(n, 1);
    }
    return factors;
}

bool IsPrime(uint64_t n) {
    const auto factors = Factorize(n);
    return factors.size() == 1 && factors[0].second == 1;
}

namespace {


// The smallest k ≥ 1 with 10^k ≡ 1 (mod m), for m > 1 coprime to 10: the
// order divides φ(m), and every prime factor of φ(m) is taken out of it for
// as long as the power stays 1. Fast for any m below 2^32.
uint64_t PeriodLength(uint64_t m) {
    uint64_t phi = m;
    for (const auto& [prime, exponent] : Factorize(m)) {
        phi = phi / prime * (prime - 1);
    }
    uint64_t order = phi;
    for (const auto& [prime, exponent] : Factorize(phi)) {
        for (int i = 0; i < exponent && PowMod(10, order / prime, m) == 1; ++i) {
            order /= prime;
        }
    }
    return order;
}

std::string ReadText(double value) {
    try {
        return Utf8(FormatNumber(value));
    } catch (const NumericFault&) {
        return "?";
    }
}

Refusal ReadNatural(const CalculatedFraction& fraction, Analysis& a) {
    double numerator = 0;
    double denominator = 0;
    try {
        numerator = ParseLeadingNumber(fraction.numerator);
        denominator = ParseLeadingNumber(fraction.denominator);
    } catch (const NumericFault&) {
        a.numeratorText = Utf8(fraction.numerator);
        a.denominatorText = Utf8(fraction.denominator);
        return Refusal::kTooLarge;
    }
    a.numeratorText = ReadText(numerator);
    a.denominatorText = ReadText(denominator);
    if (denominator < 3) {
        return Refusal::kDenominatorSmall;
    }
    if (denominator != std::floor(denominator)) {
        return Refusal::kDenominatorFraction;
    }
    if (denominator > static_cast<double>(kInt32Max)) {
        return Refusal::kDenominatorLarge;
    }
    if (numerator < 0) {
        return Refusal::kNumeratorNegative;
    }
    try {
        a.facts.numerator = RoundToInt32(numerator);
    } catch (const NumericFault&) {
        return Refusal::kNumeratorLarge;
    }
    a.facts.denominator = static_cast<int64_t>(denominator);
    a.facts.numeratorRounded = numerator != std::floor(numerator);
    return Refusal::kNone;
}

// The window's text for the remainder fraction r/d: "0.0", then 16 digits.
std::string WindowText(int64_t remainder, int64_t divisor) {
    std::string text = "0.0";
    for (size_t i = 0; i < kWindowDigits; ++i) {
        remainder *= 10;
        text.push_back(static_cast<char>('0' + remainder / divisor));
        remainder %= divisor;
    }
    return text;
}

}  // namespace

size_t RepeatStart(const Analysis& a) {
    const Facts& f = a.facts;
    if (f.prePeriod == 0 && f.kind == Kind::kPeriodic && a.digits[f.period - 1] == '0') {
        return 3;
    }
    return 4 + f.prePeriod;
}

namespace {

bool HalvesSeen(const Analysis& a, const GroupCheck& check) {
    const Facts& f = a.facts;
    const size_t L = f.period;
    return f.kind == Kind::kPeriodic && L % 2 == 0 && f.halvesNines && check.length % L == (L / 2) % L &&
           check.leftPosition >= RepeatStart(a) && check.rightPosition + check.length - 1 <= kWindowLength;
}

}  // namespace

Analysis Analyze(const CalculatedFraction& fraction) {
    Analysis a;
    Facts& f = a.facts;
    a.refusal = ReadNatural(fraction, a);
    if (a.refusal != Refusal::kNone) {
        f.kind = Kind::kNotNatural;
        return a;
    }
    const int64_t d = f.denominator;
    f.whole = f.numerator / d;
    f.remainder = f.numerator % d;
    if (f.remainder == 0) {
        f.kind = Kind::kZero;
        f.notation.assign(1, '0');
        f.window = WindowText(0, d);
        f.windowCheck = MatchingGroupCheck(std::u32string(f.window.begin(), f.window.end()));
        f.verdict = f.windowCheck == 0 ? Verdict::kNone : Verdict::kChance;
        return a;
    }
    f.common = std::gcd(f.remainder, d);
    f.reducedNumerator = f.remainder / f.common;
    f.reducedDenominator = d / f.common;
    const int64_t dr = f.reducedDenominator;
    int64_t m = dr;
    for (; m % 2 == 0; m /= 2) {
        ++f.twos;
    }
    for (; m % 5 == 0; m /= 5) {
        ++f.fives;
    }
    f.coprime = m;
    a.scale = dr / m;
    f.prePeriod = static_cast<size_t>(std::max(f.twos, f.fives));
    f.window = WindowText(f.reducedNumerator, dr);
    if (m == 1) {
        f.kind = Kind::kTerminating;
    } else {
        f.period = PeriodLength(static_cast<uint64_t>(m));
        f.kind = f.period > kMaxPeriodDigits ? Kind::kTooLong : Kind::kPeriodic;
    }

    if (f.kind != Kind::kTooLong) {
        // The long division: the pre-period and one period, and for a
        // periodic decimal the step whose remainder repeats the period's
        // first one.
        const size_t P = f.prePeriod;
        const size_t L = f.period;
        const size_t count = P + L + (f.kind == Kind::kPeriodic ? 1 : 0);
        a.steps.reserve(count);
        a.digits.reserve(P + L);
        int64_t r = f.reducedNumerator;
        for (size_t i = 0; i < count; ++i) {
            const int64_t product = r * 10;
            Step step{r, static_cast<int>(product / dr), product % dr, 0};
            if (i == P + L) {
                step.repeats = P + 1;
            } else {
                a.digits.push_back(static_cast<char>('0' + step.digit));
            }
            a.steps.push_back(step);
            r = step.next;
        }
        f.notation = "0," + a.digits.substr(0, P);
        if (f.kind == Kind::kPeriodic) {
            const std::string_view period = std::string_view(a.digits).substr(P);
            f.notation += "(";
            if (L <= kNotationDigits) {
                f.notation.append(period);
            } else {
                f.notation.append(period.substr(0, kGroupDigits));
                f.notation += "…";
                f.notation.append(period.substr(L - kGroupDigits));
            }
            f.notation += ")";
            if (L % 2 == 0) {
                const size_t h = L / 2;
                f.halvesSum = AddDecimal({period.substr(0, h), period.substr(h)});
                f.halvesNines = f.halvesSum == std::string(h, '9');
            }
            if (L % 3 == 0) {
                const size_t t = L / 3;
                f.thirdsSum = AddDecimal({period.substr(0, t), period.substr(t, t), period.substr(2 * t)});
                if (f.thirdsSum == std::string(t, '9')) {
                    f.thirdsMultiple = 1;
                } else if (f.thirdsSum.size() == t + 1 && f.thirdsSum.front() == '1' && f.thirdsSum.back() == '8' &&
                           f.thirdsSum.find_first_not_of('9', 1) == t) {  // 2 · (10^t − 1) = 1 9…9 8
                    f.thirdsMultiple = 2;
                }
            }
        }
    }

    f.windowCheck = MatchingGroupCheck(std::u32string(f.window.begin(), f.window.end()));
    if (f.windowCheck == 0) {
        f.verdict = Verdict::kNone;
    } else {
        const GroupCheck& check = kGroupChecks[static_cast<size_t>(f.windowCheck - 1)];
        f.verdict = HalvesSeen(a, check) ? Verdict::kHalves : Verdict::kChance;
    }
    return a;
}

}  // namespace zelvane::explain::detail
