#include "explain.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <numeric>
#include <string_view>
#include <type_traits>
#include <utility>

#include "actions.h"
#include "number_text.h"

namespace zelvane::explain {
namespace {

using std::int64_t;
using std::size_t;
using std::uint64_t;

constexpr int64_t kInt32Max = 2147483647;
// Up to this many period digits the notation is written out whole.
constexpr size_t kNotationDigits = 60;
// Digits per group and groups per line when long numbers are written out.
constexpr size_t kGroupDigits = 10;
constexpr size_t kGroupsPerLine = 5;
// The window's text: "0.0" and then 16 digits of the fraction.
constexpr size_t kWindowDigits = 16;
constexpr size_t kWindowLength = 3 + kWindowDigits;

// ---------------------------------------------------------------- text ----

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | ((c >> 18) & 0x07)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

std::string Utf8(std::u32string_view text) {
    std::string out;
    for (char32_t c : text) {
        AppendUtf8(out, c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF) ? U'\uFFFD' : c);
    }
    return out;
}

template <typename T>
void Put(std::string& out, const T& part) {
    if constexpr (std::is_integral_v<T>) {
        char buffer[24];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, part);
        out.append(buffer, result.ptr);
    } else {
        out.append(std::string_view(part));
    }
}

// Concatenates texts and integers.
template <typename... T>
std::string Cat(const T&... parts) {
    std::string out;
    (Put(out, parts), ...);
    return out;
}

std::string Digits(uint64_t n) { return Cat(n, n == 1 ? " цифра" : " цифри"); }
std::string Steps(uint64_t n) { return Cat(n, n == 1 ? " стъпка" : " стъпки"); }
std::string Power(uint64_t exponent) { return Cat("10^", exponent); }
std::string Range(uint64_t first, uint64_t last) {
    return first == last ? Cat(first) : Cat(first, "–", last);
}
std::string Positions(uint64_t first, uint64_t last) {
    return first == last ? Cat("позиция ", first) : Cat("позиции ", first, "–", last);
}

// A decimal number written out in groups of ten digits, several groups per
// line, each line starting with the position of its first digit.
std::vector<std::string> GroupedLines(std::string_view digits) {
    const size_t perLine = kGroupDigits * kGroupsPerLine;
    const size_t width = std::to_string(digits.size()).size();
    std::vector<std::string> lines;
    lines.reserve(digits.size() / perLine + 1);
    for (size_t start = 0; start < digits.size(); start += perLine) {
        std::string line = std::to_string(start + 1);
        line.insert(0, width - line.size(), ' ');
        for (size_t group = start; group < std::min(digits.size(), start + perLine); group += kGroupDigits) {
            line += group == start ? "  " : " ";
            line.append(digits.substr(group, kGroupDigits));
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

// The sum of decimal digit strings, written without leading zeros.
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

// --------------------------------------------------------- arithmetic ----

// base^exponent mod modulus; modulus below 2^32, so products fit 64 bits.
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

std::string FactorText(uint64_t n) {
    std::string text;
    for (const auto& [prime, exponent] : Factorize(n)) {
        text += text.empty() ? "" : " · ";
        text += exponent == 1 ? Cat(prime) : Cat(prime, "^", exponent);
    }
    return text;
}

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

// ------------------------------------------------------------ analysis ----

enum class Refusal { kNone, kTooLarge, kDenominatorFraction, kDenominatorSmall, kDenominatorLarge,
                     kNumeratorNegative, kNumeratorLarge };

struct Analysis {
    Facts facts;
    Refusal refusal = Refusal::kNone;
    std::string numeratorText, denominatorText;  // the numbers as read, for the text
    std::vector<Step> steps;
    std::string digits;  // after the comma: pre-period and one period, or the finite digits
    int64_t scale = 1;   // d′ / m: every remainder in the period is a multiple of it
};

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

// The first window position (1-based) from which the window's digit string
// repeats with the period: the period's start, or 3 when the window's
// leading 0 equals the last digit of the period it stands for.
size_t RepeatStart(const Analysis& a) {
    const Facts& f = a.facts;
    if (f.prePeriod == 0 && f.kind == Kind::kPeriodic && a.digits[f.period - 1] == '0') {
        return 3;
    }
    return 4 + f.prePeriod;
}

bool HalvesSeen(const Analysis& a, const GroupCheck& check) {
    const Facts& f = a.facts;
    const size_t L = f.period;
    return f.kind == Kind::kPeriodic && L % 2 == 0 && f.halvesNines && check.length % L == (L / 2) % L &&
           check.leftPosition >= RepeatStart(a) && check.rightPosition + check.length - 1 <= kWindowLength;
}

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
        f.notation = "0";
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
                } else if (f.thirdsSum == "1" + std::string(t - 1, '9') + "8") {
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

// ------------------------------------------------------------ document ----

class Writer {
public:
    Writer(Analysis& analysis, Document& document) : a_(analysis), f_(analysis.facts), doc_(document) {}

    void Write();

private:
    void Heading(std::string text) { doc_.blocks.push_back({BlockKind::kHeading, std::move(text), {}}); }
    void Paragraph(std::string text) { doc_.blocks.push_back({BlockKind::kParagraph, std::move(text), {}}); }
    void Notation(std::string text) { doc_.blocks.push_back({BlockKind::kNotation, std::move(text), {}}); }
    void Lines(std::vector<std::string> lines) { doc_.blocks.push_back({BlockKind::kLines, {}, std::move(lines)}); }

    std::string Reduced() const { return Cat(f_.reducedNumerator, "/", f_.reducedDenominator); }
    std::string_view Period() const { return std::string_view(a_.digits).substr(f_.prePeriod); }
    std::string RemainderList(size_t first, size_t count, size_t shown) const;

    void NotNatural();
    void Fraction();
    void Decimal();
    void PrePeriodAndPeriod();
    void Division();
    void WindowLine();
    void Nines();
    void Halves();
    void Thirds();
    void WindowVerdict();

    Analysis& a_;
    const Facts& f_;
    Document& doc_;
};

void Writer::Write() {
    doc_.title = Cat("Обяснение: ", a_.numeratorText, "/", a_.denominatorText);
    if (f_.kind == Kind::kNotNatural) {
        NotNatural();
        return;
    }
    Fraction();
    Decimal();
    if (f_.kind == Kind::kZero) {
        return;
    }
    PrePeriodAndPeriod();
    if (f_.kind != Kind::kTooLong) {
        Division();
    }
    WindowLine();
    if (f_.kind != Kind::kTooLong) {
        Nines();
    }
    WindowVerdict();
}

void Writer::NotNatural() {
    std::string reason;
    switch (a_.refusal) {
        case Refusal::kTooLarge:
            reason = "Тук едно от двете числа е твърде голямо.";
            break;
        case Refusal::kDenominatorFraction:
            reason = Cat("Тук знаменателят ", a_.denominatorText, " не е цяло число.");
            break;
        case Refusal::kDenominatorSmall:
            reason = Cat("Тук знаменателят ", a_.denominatorText, " е по-малък от 3.");
            break;
        case Refusal::kDenominatorLarge:
            reason = Cat("Тук знаменателят ", a_.denominatorText, " е твърде голям.");
            break;
        case Refusal::kNumeratorNegative:
            reason = Cat("Тук числителят ", a_.numeratorText, " е отрицателен.");
            break;
        case Refusal::kNumeratorLarge:
            reason = Cat("Тук числителят ", a_.numeratorText, " е твърде голям.");
            break;
        case Refusal::kNone:
            break;
    }
    Paragraph(Cat("Обяснението е само за естествени числа: цял числител от 0 до ", kInt32Max,
                  " и цял знаменател от 3 до ", kInt32Max, ". ", reason,
                  " Резултатът в прозореца остава такъв, какъвто го е изчислил прозорецът."));
}

void Writer::Fraction() {
    const int64_t n = f_.numerator;
    const int64_t d = f_.denominator;
    Heading("Дробта");
    Paragraph(Cat("Прозорецът прочете числител ", a_.numeratorText, " и знаменател ", a_.denominatorText, "."));
    if (f_.numeratorRounded) {
        Paragraph(Cat("Числителят ", a_.numeratorText, " не е цяло число; прозорецът го закръгля до ", n,
                      " (точната половина — към четното число), затова обяснението е за ", n, "/", d, "."));
    }
    if (n >= d) {
        Paragraph(Cat("Числителят не е по-малък от знаменателя: ", n, "/", d, " = ", f_.whole, " + ", f_.remainder,
                      "/", d, ". Цялата част ", f_.whole, " прозорецът не показва — той показва само цифрите на ",
                      f_.remainder, "/", d, "."));
    }
    if (f_.remainder != 0 && f_.common > 1) {
        Paragraph(Cat("Числителят и знаменателят на ", f_.remainder, "/", d, " имат общ делител ", f_.common, ": ",
                      f_.remainder, "/", d, " = ", Reduced(),
                      ". Двете дроби имат едни и същи цифри, затова по-нататък делим ", f_.reducedNumerator, " на ",
                      f_.reducedDenominator, "."));
    }
}

void Writer::Decimal() {
    Heading("Десетичният запис");
    if (f_.kind == Kind::kZero) {
        Notation(Cat(f_.remainder, "/", f_.denominator, " = 0"));
        Paragraph(Cat("Дробта е равна на 0: при деленето всеки остатък е 0, затова всички цифри след запетаята са "
                      "нули и няма нито предпериод, нито период. Прозорецът показва ",
                      f_.window, " и не намира деветки."));
        return;
    }
    if (f_.kind == Kind::kTooLong) {
        Paragraph(Cat("Периодът на ", Reduced(), " има ", Digits(f_.period),
                      " — твърде много, за да бъдат изписани тук цифрите и стъпките на деленето."));
        return;
    }
    std::string notation = Cat(f_.remainder, "/", f_.denominator, " = ");
    if (f_.common > 1) {
        notation += Reduced() + " = ";
    }
    Notation(notation + f_.notation);
    const std::string_view pre = std::string_view(a_.digits).substr(0, f_.prePeriod);
    if (f_.kind == Kind::kTerminating) {
        Paragraph(Cat("Десетичната дроб е крайна: има ", Digits(f_.prePeriod),
                      " след запетаята, а по-нататък — само нули."));
        return;
    }
    if (f_.prePeriod > 0) {
        Paragraph(Cat(f_.prePeriod == 1 ? "Цифрата " : "Цифрите ", pre,
                      f_.prePeriod == 1 ? " преди скобите е предпериодът" : " преди скобите са предпериодът",
                      ", а цифрите в скобите — периодът: те се повтарят безкрайно."));
    } else {
        Paragraph("Цифрите в скобите са периодът: те се повтарят безкрайно.");
    }
    if (f_.period > kNotationDigits) {
        Paragraph(Cat("Периодът има ", Digits(f_.period),
                      "; в записа по-горе са показани само първите и последните десет. Ето ги всичките, по десет в "
                      "група; числото в началото на реда е поредният номер в периода на първата цифра от реда."));
        Lines(GroupedLines(Period()));
    }
}

void Writer::PrePeriodAndPeriod() {
    const int64_t dr = f_.reducedDenominator;
    const int64_t m = f_.coprime;
    const size_t P = f_.prePeriod;
    Heading("Предпериод и период");
    Paragraph(Cat("Записваме знаменателя като 2^a · 5^b · m, където m не се дели нито на 2, нито на 5: ", dr,
                  " = 2^", f_.twos, " · 5^", f_.fives, " · ", m, "."));
    if (m == 1) {
        Paragraph(Cat("Тук m = 1: знаменателят ", dr, " дели ", Power(P),
                      ", затова дробта е крайна и има max(", f_.twos, ", ", f_.fives, ") = ", Digits(P),
                      " след запетаята — умножена по ", Power(P), ", тя става цялото число ",
                      WithoutLeadingZeros(a_.digits), "."));
        return;
    }
    if (P == 0) {
        Paragraph("Тук a = b = 0, затова няма предпериод: периодът започва веднага след запетаята.");
    } else if (f_.kind == Kind::kTooLong) {
        Paragraph(Cat("Предпериодът има max(", f_.twos, ", ", f_.fives, ") = ", Digits(P), ": умножена по ",
                      Power(P), ", дробта ", Reduced(),
                      " губи множителите 2 и 5 на знаменателя си и остава знаменателят ", m, "."));
    } else {
        const int64_t s = a_.steps[P].remainder / a_.scale;
        Paragraph(Cat("Предпериодът има max(", f_.twos, ", ", f_.fives, ") = ", Digits(P), ": умножена по ",
                      Power(P), ", дробта ", Reduced(), " става ", WithoutLeadingZeros(a_.digits.substr(0, P)),
                      " + ", s, "/", m, " — множителите 2 и 5 на знаменателя се съкращават и остава знаменателят ",
                      m, ", който не се дели на 2 и 5."));
    }
    std::string length = Cat("Дължината на периода е най-малкото k, за което 10^k ≡ 1 (mod ", m,
                             "): всяка стъпка умножава остатъка по 10, а остатък от периода се повтаря след k "
                             "стъпки точно когато 10^k ≡ 1 (mod ",
                             m, "). ");
    if (f_.period == 1) {
        length += Cat("Тук това е k = 1: 10^1 = 10 ≡ 1 (mod ", m, "), затова периодът има 1 цифра.");
    } else {
        length += Cat("Тук това е k = ", f_.period, ": ", Power(f_.period), " ≡ 1 (mod ", m, "), а за ",
                      f_.period == 2 ? std::string("k = 1") : Cat("k от 1 до ", f_.period - 1),
                      " сравнението не е вярно, затова периодът има ", Digits(f_.period), ".");
    }
    Paragraph(std::move(length));
    Paragraph(Cat("Защо цифрите изобщо се повтарят: всеки остатък е по-малък от ", dr,
                  " и не е 0 (иначе деленето би свършило), така че различните остатъци са най-много ", dr - 1,
                  ". Затова най-късно след ", Steps(static_cast<uint64_t>(dr - 1)),
                  " някой остатък се повтаря, а оттам нататък се повтарят и цифрите."));
}

void Writer::Division() {
    const size_t P = f_.prePeriod;
    const size_t L = f_.period;
    Heading("Деленето стъпка по стъпка");
    std::string text = Cat("Всяка стъпка умножава остатъка по 10 и го дели на ", f_.reducedDenominator,
                           ": частното е следващата цифра след запетаята, а остатъкът от това деление отива в "
                           "следващата стъпка. Първият остатък е числителят ",
                           f_.reducedNumerator, ". ");
    if (f_.kind == Kind::kTerminating) {
        text += Cat("На стъпка ", P, " остатъкът става 0 и деленето свършва.");
    } else {
        text += Cat("На стъпка ", P + L + 1, " остатъкът ", a_.steps[P].remainder,
                    " се повтаря — той е бил остатък и на стъпка ", P + 1,
                    ", затова оттам нататък цифрите се повтарят: ",
                    L == 1 ? Cat("периодът е цифрата от стъпка ", P + 1)
                           : Cat("периодът е цифрите от стъпки ", P + 1, "–", P + L),
                    ".");
    }
    Paragraph(std::move(text));
    doc_.blocks.push_back({BlockKind::kSteps, {}, {}});
}

void Writer::WindowLine() {
    const size_t P = f_.prePeriod;
    const size_t L = f_.period;
    Heading("Редът в прозореца");
    Paragraph(Cat("Прозорецът пише „0.0“ и след това първите 16 цифри след запетаята: в първата си стъпка той "
                  "дели остатъка ",
                  f_.remainder, " на ", f_.denominator,
                  ", преди да умножи по 10, и получава 0. Затова на позиция 3 в текста му стои тази нула, а "
                  "k-тата цифра след запетаята е на позиция k + 3."));

    // The window's text cut into its parts: the first step's 0, the
    // pre-period, then the period again and again.
    const std::string_view shown = std::string_view(f_.window).substr(3);
    std::string parts = "0.0";
    size_t at = std::min(P, kWindowDigits);
    if (at > 0) {
        parts += Cat(" | ", shown.substr(0, at));
    }
    const size_t piece = f_.kind == Kind::kTerminating ? kWindowDigits : L;
    while (at < kWindowDigits) {
        parts += Cat(" | ", shown.substr(at, piece));
        at += piece;
    }
    Lines({f_.window, parts});

    std::string where;
    const size_t visible = kWindowDigits - std::min(P, kWindowDigits);
    if (P >= kWindowDigits) {
        where = Cat("Предпериодът има ", Digits(P), " и запълва целия текст от позиция 4 нататък: прозорецът "
                    "показва само първите 16 от тях.");
    } else if (f_.kind == Kind::kTerminating) {
        where = Cat(P == 1 ? "Цифрата на дробта заема " : "Цифрите на дробта заемат ", Positions(4, 3 + P),
                    ", а след ", P == 1 ? "нея" : "тях", " прозорецът показва само нули.");
    } else {
        where = P == 0 ? std::string("Предпериод няма и периодът започва от позиция 4")
                       : Cat("Предпериодът ", shown.substr(0, P), " заема ", Positions(4, 3 + P),
                             ", а периодът започва от позиция ", 4 + P);
        if (L < visible) {
            const size_t full = visible / L;
            const size_t rest = visible % L;
            where += Cat("; прозорецът показва ", full, full == 1 ? " пълен период" : " пълни периода");
            if (rest > 0) {
                where += Cat(" и ", Digits(rest), " от следващия");
            }
            where += ".";
        } else if (L == visible) {
            where += "; прозорецът показва точно един период.";
        } else {
            where += Cat(", но прозорецът показва само първите ", visible, " от ", L, "-те цифри на периода.");
        }
        if (f_.kind == Kind::kPeriodic && RepeatStart(a_) == 3) {
            where += " Нулата на позиция 3 е равна на последната цифра на периода, затова и тя се вписва в "
                     "повторението.";
        }
    }
    Paragraph(std::move(where));

    Paragraph("Шестте проверки на прозореца събират две съседни групи от 3 или 4 цифри:");
    std::vector<std::string> table;
    for (size_t row = 0; row < kGroupChecks.size(); ++row) {
        const GroupCheck& check = kGroupChecks[row];
        const std::string_view left = std::string_view(f_.window).substr(check.leftPosition - 1, check.length);
        const std::string_view right = std::string_view(f_.window).substr(check.rightPosition - 1, check.length);
        const std::string sum = AddDecimal({left, right});
        std::string line = Cat(row + 1, ") ", Positions(check.leftPosition, check.leftPosition + check.length - 1),
                               " и ", Range(check.rightPosition, check.rightPosition + check.length - 1), ":  ",
                               left, " + ", right, " = ", sum);
        if (static_cast<int>(row + 1) == f_.windowCheck) {
            line += "  ← прозорецът показва тази";
        }
        table.push_back(std::move(line));
    }
    Lines(std::move(table));
}

// Remainders of `count` consecutive steps from step index `first`: all of
// them when there are at most `shown`, else the first three and "…".
std::string Writer::RemainderList(size_t first, size_t count, size_t shown) const {
    std::string list;
    const size_t written = count <= shown ? count : 3;
    for (size_t i = 0; i < written; ++i) {
        list += Cat(i == 0 ? "" : ", ", a_.steps[first + i].remainder);
    }
    if (written < count) {
        list += ", …";
    }
    return list;
}

void Writer::Nines() {
    Heading("Деветките");
    if (f_.kind == Kind::kTerminating) {
        Paragraph("Дробта е крайна и няма период, затова няма и половини на период, които да дадат деветки.");
        return;
    }
    if (f_.period % 2 == 0) {
        Halves();
    } else {
        Paragraph(Cat("Периодът има ", Digits(f_.period),
                      " — нечетен брой, затова не се разделя на две равни половини."));
    }
    if (f_.period % 3 == 0) {
        Thirds();
    }
}

void Writer::Halves() {
    const size_t P = f_.prePeriod;
    const size_t L = f_.period;
    const size_t h = L / 2;
    const int64_t dr = f_.reducedDenominator;
    const int64_t m = f_.coprime;
    const std::string_view period = Period();
    const bool longSum = L > kNotationDigits;
    std::string intro = Cat("Периодът има ", Digits(L), " — четен брой, затова се разделя на две половини по ",
                            Digits(h));
    if (!longSum) {
        Paragraph(Cat(intro, ": A = ", period.substr(0, h), " и B = ", period.substr(h), "."));
        Notation(Cat(period.substr(0, h), " + ", period.substr(h), " = ", f_.halvesSum));
        Paragraph(f_.halvesNines ? Cat("Сборът ", f_.halvesSum, " = ", Power(h), " − 1 — само деветки.")
                                 : Cat("Сборът ", f_.halvesSum, " не се състои само от деветки."));
    } else {
        Paragraph(Cat(intro, ": A е цифри 1–", h, ", а B — цифри ", h + 1, "–", L,
                      " от периода. Събрани цифра по цифра, те дават:"));
        Lines(GroupedLines(f_.halvesSum));
        Paragraph(f_.halvesNines ? Cat("Това са ", h, " деветки: A + B = ", Power(h), " − 1.")
                                 : std::string("Този сбор не се състои само от деветки."));
    }

    const uint64_t power = PowMod(10, h, static_cast<uint64_t>(m));
    if (!f_.halvesNines) {
        Paragraph(Cat("Причината: ", Power(h), " ≡ ", power, " (mod ", m, "), а не −1 (≡ ", m - 1,
                      "), затова остатъците през половин период не дават сбор ", dr,
                      ". При просто m с четен период това не може да се случи, а тук ", m, " = ",
                      FactorText(static_cast<uint64_t>(m)), " е съставно."));
        return;
    }
    std::string why = Cat("Причината е, че ", Power(h), " ≡ −1 (mod ", m, ")");
    if (a_.scale > 1) {
        why += Cat(", където ", m, " е частта от знаменателя ", dr,
                   ", която не се дели на 2 и 5; по модул ", dr, " сравнението не е вярно: ", Power(h), " ≡ ",
                   PowMod(10, h, static_cast<uint64_t>(dr)), " (mod ", dr, "). Остатъците в периода се делят на ",
                   a_.scale, "; разделени на ", a_.scale, ", те се умножават по 10 по модул ", m,
                   " на всяка стъпка, затова остатъците през половин период дават сбор ", a_.scale, " · ", m,
                   " = ", dr, ".");
    } else {
        why += Cat(". Всяка стъпка умножава остатъка по 10 по модул ", m,
                   ", затова остатъкът половин период по-късно е ≡ ", Power(h), " · r ≡ −r (mod ", m,
                   "): двата остатъка дават сбор ", m, ".");
    }
    Paragraph(std::move(why));

    const size_t shownPairs = 12;
    std::string pairs;
    const size_t written = h <= shownPairs ? h : 3;
    for (size_t i = 0; i < written; ++i) {
        pairs += Cat(i == 0 ? "" : " = ", a_.steps[P + i].remainder, " + ", a_.steps[P + h + i].remainder);
    }
    pairs += Cat(written < h ? " = … = " : " = ", dr);
    Paragraph(Cat("Остатъците в периода са ", RemainderList(P, h, shownPairs), " | ",
                  RemainderList(P + h, h, shownPairs), " и ", pairs,
                  written < h ? Cat(" — така е и за всичките ", h, " двойки.") : std::string(".")));
    Paragraph(Cat("А щом два остатъка r и r′ дават сбор ", dr, ", цифрите им c и c′ дават сбор 9: 10 · r + 10 · r′ = ",
                  10 * dr, " = (c + c′) · ", dr, " + (сборът на следващите два остатъка), който пак е ", dr,
                  "; затова c + c′ = 9 и всяка цифра на A дава 9 с цифрата на същото място в B."));
    if (Factorize(static_cast<uint64_t>(m)).size() == 1 && Factorize(static_cast<uint64_t>(m))[0].second == 1) {
        Paragraph(Cat("Така е при всяко просто m с четен период: ", Power(L), " − 1 = (", Power(h), " − 1)(",
                      Power(h), " + 1) се дели на ", m, ", първият множител не се дели (защото ", h, " < ", L,
                      "), следователно ", m, " дели ", Power(h), " + 1."));
    } else {
        Paragraph(Cat("Тук ", m, " = ", FactorText(static_cast<uint64_t>(m)),
                      " не е просто число, но сравнението все пак е вярно; при просто m с четен период то е вярно "
                      "винаги."));
    }
}

void Writer::Thirds() {
    const size_t P = f_.prePeriod;
    const size_t L = f_.period;
    const size_t t = L / 3;
    const int64_t dr = f_.reducedDenominator;
    const int64_t m = f_.coprime;
    const std::string_view period = Period();
    const bool longSum = L > kNotationDigits;
    std::string intro = Cat("Периодът се дели", L % 2 == 0 ? " и" : "", " на три равни части по ", Digits(t));
    const std::string nines = std::string(t, '9');
    if (!longSum) {
        Paragraph(Cat(intro, ": A = ", period.substr(0, t), ", B = ", period.substr(t, t), " и C = ",
                      period.substr(2 * t), "."));
        Notation(Cat(period.substr(0, t), " + ", period.substr(t, t), " + ", period.substr(2 * t), " = ",
                     f_.thirdsSum));
        switch (f_.thirdsMultiple) {
            case 1:
                Paragraph(Cat("Сборът ", f_.thirdsSum, " = ", Power(t), " − 1 — само деветки."));
                break;
            case 2:
                Paragraph(Cat("Сборът ", f_.thirdsSum, " = 2 · ", nines, " = 2 · (", Power(t), " − 1)."));
                break;
            default:
                Paragraph(Cat("Сборът ", f_.thirdsSum, " не е кратен на ", Power(t), " − 1 = ", nines, "."));
                break;
        }
    } else {
        Paragraph(Cat(intro, ": A е цифри 1–", t, ", B — цифри ", t + 1, "–", 2 * t, ", а C — цифри ", 2 * t + 1,
                      "–", L, " от периода. Събрани цифра по цифра, те дават:"));
        Lines(GroupedLines(f_.thirdsSum));
        switch (f_.thirdsMultiple) {
            case 1:
                Paragraph(Cat("Това са ", t, " деветки: A + B + C = ", Power(t), " − 1."));
                break;
            case 2:
                Paragraph(Cat("Това е 2 · (", Power(t), " − 1)."));
                break;
            default:
                Paragraph(Cat("Този сбор не е кратен на ", Power(t), " − 1."));
                break;
        }
    }

    const std::string q = Cat("1 + ", Power(t), " + ", Power(2 * t));
    if (f_.thirdsMultiple == 0) {
        const uint64_t um = static_cast<uint64_t>(m);
        const uint64_t rest = (1 + PowMod(10, t, um) + PowMod(10, 2 * t, um)) % um;
        Paragraph(Cat("Причината: ", q, " не се дели на ", m, " (дава остатък ", rest,
                      "), затова остатъците през една трета период не дават сбор, кратен на ", dr, "."));
        return;
    }
    std::string why = Cat("Причината: ", q, " ≡ 0 (mod ", m, "). ");
    if (a_.scale > 1) {
        why += Cat("Остатъците в периода се делят на ", a_.scale, ". Ако x е един от тях, разделен на ", a_.scale,
                   ", то остатъците една трета и две трети период по-късно, разделени на ", a_.scale, ", са ≡ ",
                   Power(t), " · x и ", Power(2 * t), " · x (mod ", m, "), а сборът на трите x · (", q,
                   ") се дели на ", m, ". ");
    } else {
        why += Cat("Ако r е остатък от периода, то остатъците една трета и две трети период по-късно са ≡ ",
                   Power(t), " · r и ", Power(2 * t), " · r (mod ", m, "), а сборът на трите r · (", q,
                   ") се дели на ", m, ". ");
    }
    const size_t shownColumns = 8;
    const size_t columns = t <= shownColumns ? t : 3;
    std::string sums;
    for (size_t i = 0; i < columns; ++i) {
        const int64_t r1 = a_.steps[P + i].remainder;
        const int64_t r2 = a_.steps[P + t + i].remainder;
        const int64_t r3 = a_.steps[P + 2 * t + i].remainder;
        sums += Cat(i == 0 ? "" : ", ", r1, " + ", r2, " + ", r3, " = ", r1 + r2 + r3);
    }
    if (columns < t) {
        sums += ", …";
    }
    why += Cat("Всеки остатък е по-малък от ", dr, ", затова трите заедно дават ", dr, " или 2 · ", dr, ": ", sums,
               ".");
    Paragraph(std::move(why));

    const int64_t r1 = a_.steps[P].remainder;
    const int64_t r2 = a_.steps[P + t].remainder;
    const int64_t r3 = a_.steps[P + 2 * t].remainder;
    const int64_t j = (r1 + r2 + r3) / dr;
    auto times = [j](const std::string& nines) { return j == 1 ? nines : Cat(j, " · (", nines, ")"); };
    Paragraph(Cat("Остатъците на стъпки ", P + 1, ", ", P + t + 1, " и ", P + 2 * t + 1, " дават дробите ", r1, "/",
                  dr, ", ", r2, "/", dr, " и ", r3, "/", dr,
                  ": деленето им дава същите цифри, започнати от тези стъпки, така че периодите им са ABC, BCA и "
                  "CAB. Сборът на трите дроби е ",
                  j, ", затова (A + B + C) · (", q, ") = ", times(Power(L) + " − 1"), " и A + B + C = ",
                  times(Power(t) + " − 1"), "."));
    if (Factorize(static_cast<uint64_t>(m)).size() == 1 && Factorize(static_cast<uint64_t>(m))[0].second == 1) {
        Paragraph(Cat("Така е при всяко просто m с период, кратен на 3: ", Power(L), " − 1 = (", Power(t), " − 1)(",
                      q, ") се дели на ", m, ", а първият множител не се дели."));
    }
}

void Writer::WindowVerdict() {
    const size_t P = f_.prePeriod;
    const size_t L = f_.period;
    const size_t h = L / 2;
    Heading("Какво намира прозорецът");
    if (f_.windowCheck == 0) {
        std::string text = "Никоя от шестте проверки не дава 999 или 9999.";
        if (f_.kind == Kind::kPeriodic && L % 2 == 0 && f_.halvesNines) {
            const bool lengthFits = 3 % L == h % L || 4 % L == h % L;
            if (!lengthFits) {
                text += Cat(" Половините на периода дават деветки, но всяка от тях има ", Digits(h),
                            ", а групите на прозореца са по 3 или 4 цифри",
                            h > 4 ? " — твърде къси, за да ги видят." : " и не съвпадат с половин период.");
            } else {
                const int length = 3 % L == h % L ? 3 : 4;
                text += Cat(" Половините на периода дават деветки и групи по ", length,
                            " цифри биха ги показали, но периодът започва едва от позиция ", RepeatStart(a_),
                            ", а проверките с групи по ", length,
                            " цифри започват най-късно от позиция 5, затова никоя не взема две групи изцяло от "
                            "периода.");
            }
        }
        Paragraph(std::move(text));
        return;
    }
    const GroupCheck& check = kGroupChecks[static_cast<size_t>(f_.windowCheck - 1)];
    const std::string_view left = std::string_view(f_.window).substr(check.leftPosition - 1, check.length);
    const std::string_view right = std::string_view(f_.window).substr(check.rightPosition - 1, check.length);
    std::string text = Cat("Проверка ", f_.windowCheck, " (групи по ", check.length, " цифри от позиции ",
                           check.leftPosition, " и ", check.rightPosition, ") намира ", left, " + ", right, " = ",
                           Utf8(check.sumText), ". ");
    if (f_.verdict == Verdict::kHalves) {
        text += "Това са половините на периода, а не случайност: ";
        if (check.length == h) {
            text += Cat("групите са по ", check.length, " цифри — точно половин период");
        } else {
            const size_t whole = (check.length - h) / L;
            text += Cat("цифрите на двете групи са на ", check.length, " позиции една от друга, а ", check.length,
                        " = ", h, " + ", check.length - h, " е половин период и още ",
                        whole == 1 ? std::string("един цял период") : Cat(whole, " цели периода"));
        }
        text += Cat("; двете групи лежат в частта от текста, която вече се повтаря с период ", L,
                    ", а там цифрите през половин период дават сбор 9.");
    } else {
        text += "Това е случайно съвпадение, а не половините на периода: ";
        if (f_.kind == Kind::kZero || f_.kind == Kind::kTerminating) {
            text += "дробта е крайна и няма период.";
        } else if (L % 2 != 0) {
            text += Cat("периодът има ", Digits(L), " — нечетен брой, и няма половини.");
        } else if (f_.kind == Kind::kTooLong || check.length % L != h % L) {
            text += Cat("групите са по ", check.length, " цифри, а половината на периода има ", Digits(h), ".");
        } else if (!f_.halvesNines) {
            text += "половините на периода не дават деветки.";
        } else if (P == 0) {
            text += "групата от позиция 3 започва с нулата от първата стъпка на прозореца, а тя не е цифра от "
                    "периода.";
        } else {
            text += Cat("групата от позиция ", check.leftPosition, " започва в предпериода, а периодът започва от "
                        "позиция ", 4 + P, ".");
        }
    }
    Paragraph(std::move(text));
}

// One step row, put together in a small buffer and appended at once: the
// plain text of the longest period holds some ten thousand of them.
void AppendStep(std::string& out, const Document& document, size_t index) {
    const Step& step = document.steps[index];
    char row[320];  // the longest row, with 10-digit numbers, takes under 300 bytes
    char* const end = row + sizeof row;
    char* at = row;
    auto text = [&](std::string_view piece) {
        const size_t count = std::min(piece.size(), static_cast<size_t>(end - at));
        std::memcpy(at, piece.data(), count);
        at += count;
    };
    auto number = [&](int64_t value) { at = std::to_chars(at, end, value).ptr; };
    text("Стъпка ");
    number(static_cast<int64_t>(index + 1));
    text(": ");
    number(step.remainder);
    text(" · 10 = ");
    number(step.digit);
    text(" · ");
    number(document.divisor);
    text(" + ");
    number(step.next);
    text(" → цифра ");
    number(step.digit);
    text(", остатък ");
    number(step.next);
    if (step.repeats != 0) {
        text(" — остатъкът ");
        number(step.remainder);
        text(" е същият като на стъпка ");
        number(static_cast<int64_t>(step.repeats));
        text(": оттук цифрите се повтарят");
    } else if (step.next == 0) {
        text(": деленето свършва");
    }
    out.append(row, at);
}

}  // namespace

Document Explain(const FormState& form) {
    if (!form.LastCalculation()) {
        Document document;
        document.title = "Обяснение";
        document.blocks.push_back({BlockKind::kParagraph,
                                   "Въведете числител и знаменател и натиснете „Изчисли“ — тогава тук ще се появи "
                                   "обяснение на дробта.",
                                   {}});
        return document;
    }
    return Explain(*form.LastCalculation());
}

Document Explain(const CalculatedFraction& fraction) {
    Analysis analysis = Analyze(fraction);
    Document document;
    Writer(analysis, document).Write();
    document.divisor = analysis.facts.reducedDenominator;
    document.steps = std::move(analysis.steps);
    document.facts = std::move(analysis.facts);
    return document;
}

std::string StepText(const Document& document, std::size_t index) {
    std::string text;
    if (index < document.steps.size()) {
        AppendStep(text, document, index);
    }
    return text;
}

namespace {

void AppendStepRows(std::string& out, const Document& document) {
    for (std::size_t i = 0; i < document.steps.size(); ++i) {
        AppendStep(out, document, i);
        out += '\n';
    }
}

}  // namespace

std::string StepRows(const Document& document) {
    std::string rows;
    rows.reserve(document.steps.size() * 100);
    AppendStepRows(rows, document);
    return rows;
}

std::string PlainText(const Document& document, std::vector<TextRange>* ranges) {
    std::size_t size = document.title.size() + 1 + document.steps.size() * 100;
    for (const Block& block : document.blocks) {
        size += block.text.size() + 2;
        for (const std::string& line : block.lines) {
            size += line.size() + 1;
        }
    }
    std::string text;
    text.reserve(size);
    // UTF-16 units of the text so far, counted as parts are finished.
    std::size_t counted = 0;
    std::size_t units = 0;
    const auto unitsSoFar = [&] {
        for (; counted < text.size(); ++counted) {
            const auto byte = static_cast<unsigned char>(text[counted]);
            units += (byte & 0xC0) != 0x80;  // one unit a character ...
            units += byte >= 0xF0;           // ... two outside the BMP
        }
        return units;
    };
    const auto part = [&](BlockKind kind, bool title, std::size_t from) {
        if (ranges) {
            ranges->push_back({kind, title, from, unitsSoFar()});
        }
    };
    text += document.title;
    text += '\n';
    part(BlockKind::kHeading, true, 0);
    bool afterHeading = false;
    for (const Block& block : document.blocks) {
        if (!afterHeading) {
            text += '\n';
        }
        afterHeading = block.kind == BlockKind::kHeading;
        const std::size_t from = ranges ? unitsSoFar() : 0;
        switch (block.kind) {
            case BlockKind::kHeading:
            case BlockKind::kParagraph:
            case BlockKind::kNotation:
                text += block.text;
                text += '\n';
                break;
            case BlockKind::kLines:
                for (const std::string& line : block.lines) {
                    text += line;
                    text += '\n';
                }
                break;
            case BlockKind::kSteps:
                AppendStepRows(text, document);
                break;
        }
        part(block.kind, false, from);
    }
    return text;
}

}  // namespace zelvane::explain
