// The numeric text conventions: leading-number reading, rounding, integer
// division and number formatting, including the overflow faults.
#include <QtTest>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "number_text.h"
#include "test_support.h"

using namespace zelvane;

Q_DECLARE_METATYPE(std::vector<double>)

class TestNumberText : public QObject {
    Q_OBJECT

private slots:
    void parseLeadingNumber_data();
    void parseLeadingNumber();
    void parseTooLargeFaults_data();
    void parseTooLargeFaults();
    void roundToInt32_data();
    void roundToInt32();
    void roundOutOfRangeFaults_data();
    void roundOutOfRangeFaults();
    void integerDivision_data();
    void integerDivision();
    void integerDivisionFaults();
    void formatInteger();
    void formatDouble_data();
    void formatDouble();
    void formatReadsBack_data();
    void formatReadsBack();
    void formatRoundsLikeStandardLibrary_data();
    void formatRoundsLikeStandardLibrary();
    void localeNeverMatters();
};

void TestNumberText::parseLeadingNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("digits") << "7" << 7.0;
    QTest::newRow("leading blank") << " 13" << 13.0;
    QTest::newRow("inner blank") << "1 3" << 13.0;
    QTest::newRow("tab and line feed anywhere") << "\t1\n3 " << 13.0;
    QTest::newRow("carriage return stops") << "\r7" << 0.0;
    QTest::newRow("trailing letter") << "13a" << 13.0;
    QTest::newRow("leading letter") << "a13" << 0.0;
    QTest::newRow("comma is no separator") << "1,5" << 1.0;
    QTest::newRow("minus") << "-7" << -7.0;
    QTest::newRow("minus blank digit") << "- 7" << -7.0;
    QTest::newRow("plus") << "+4" << 4.0;
    QTest::newRow("two signs") << "+-4" << 0.0;
    QTest::newRow("sign alone") << "-" << 0.0;
    QTest::newRow("fraction") << "2.5" << 2.5;
    QTest::newRow("no integer digits") << ".5" << 0.5;
    QTest::newRow("trailing point") << "5." << 5.0;
    QTest::newRow("second point stops") << "1.2.3" << 1.2;
    QTest::newRow("exponent e") << "1e3" << 1000.0;
    QTest::newRow("exponent E minus") << "25E-1" << 2.5;
    QTest::newRow("exponent d") << "1d3" << 1000.0;
    QTest::newRow("exponent D plus") << "2D+2" << 200.0;
    QTest::newRow("exponent without digits") << "1e" << 1.0;
    QTest::newRow("exponent sign without digits") << "7e+" << 7.0;
    QTest::newRow("exponent only") << "e5" << 0.0;
    QTest::newRow("second exponent stops") << "1e2e3" << 100.0;
    QTest::newRow("blank inside exponent") << "1e 2" << 100.0;
    QTest::newRow("hex") << "&H1F" << 31.0;
    QTest::newRow("hex lower case") << "&hff" << 255.0;
    QTest::newRow("hex stops at non-digit") << "&H1G" << 1.0;
    QTest::newRow("hex without digits") << "&H" << 0.0;
    QTest::newRow("octal") << "&O17" << 15.0;
    QTest::newRow("octal stops at 8") << "&o78" << 7.0;
    QTest::newRow("ampersand alone") << "&17" << 0.0;
    QTest::newRow("leading zeros") << "0136" << 136.0;
    QTest::newRow("Cyrillic letter stops") << QString::fromUtf8("7Я8") << 7.0;
    QTest::newRow("Cyrillic letter first") << QString::fromUtf8("Я7") << 0.0;
    QTest::newRow("full-width digit is no digit") << QString::fromUtf8("７") << 0.0;
    QTest::newRow("underflow reads as zero") << "1e-400" << 0.0;
    QTest::newRow("many digits") << "000000000000000000000000000000012.50000000000000000000000" << 12.5;
    QTest::newRow("largest double") << "1.7976931348623157e308" << std::numeric_limits<double>::max();
    QTest::newRow("zero with huge exponent") << "0e99999" << 0.0;
    QTest::newRow("exact decimal rounding") << "0.1" << 0.1;
}

void TestNumberText::parseLeadingNumber() {
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(ParseLeadingNumber(U(text)), value);
}

void TestNumberText::parseTooLargeFaults_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("9e999") << "9e999";
    QTest::newRow("1e309") << "1e309";
    QTest::newRow("negative") << "-2e308";
    QTest::newRow("long digit run") << QString(400, QLatin1Char('9'));
    QTest::newRow("huge exponent") << "1e99999999999999999999";
    QTest::newRow("long hex") << "&H" + QString(300, QLatin1Char('F'));
}

void TestNumberText::parseTooLargeFaults() {
    QFETCH(QString, text);
    QVERIFY_THROWS_EXCEPTION(NumericFault, ParseLeadingNumber(U(text)));
}

void TestNumberText::roundToInt32_data() {
    QTest::addColumn<double>("x");
    QTest::addColumn<int>("rounded");
    QTest::newRow("0.5") << 0.5 << 0;
    QTest::newRow("1.5") << 1.5 << 2;
    QTest::newRow("2.5") << 2.5 << 2;
    QTest::newRow("3.5") << 3.5 << 4;
    QTest::newRow("2.4999") << 2.4999 << 2;
    QTest::newRow("2.5001") << 2.5001 << 3;
    QTest::newRow("-0.5") << -0.5 << 0;
    QTest::newRow("-1.5") << -1.5 << -2;
    QTest::newRow("-2.5") << -2.5 << -2;
    QTest::newRow("-2.6") << -2.6 << -3;
    QTest::newRow("upper edge") << 2147483647.4 << 2147483647;
    QTest::newRow("lower edge half to even") << -2147483648.5 << std::numeric_limits<int>::min();
}

void TestNumberText::roundToInt32() {
    QFETCH(double, x);
    QFETCH(int, rounded);
    QCOMPARE(RoundToInt32(x), rounded);
}

void TestNumberText::roundOutOfRangeFaults_data() {
    QTest::addColumn<double>("x");
    QTest::newRow("upper half goes to even 2^31") << 2147483647.5;
    QTest::newRow("below lower edge") << -2147483648.6;
    QTest::newRow("9e99") << 9e99;
    QTest::newRow("-1e10") << -1e10;
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity();
    QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN();
}

void TestNumberText::roundOutOfRangeFaults() {
    QFETCH(double, x);
    QVERIFY_THROWS_EXCEPTION(NumericFault, RoundToInt32(x));
}

void TestNumberText::integerDivision_data() {
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("b");
    QTest::addColumn<int>("quotient");
    QTest::addColumn<int>("remainder");
    QTest::newRow("7 13") << 7.0 << 13.0 << 0 << 7;
    QTest::newRow("20 13") << 20.0 << 13.0 << 1 << 7;
    QTest::newRow("70 13") << 70.0 << 13.0 << 5 << 5;
    QTest::newRow("0 13") << 0.0 << 13.0 << 0 << 0;
    QTest::newRow("10 7") << 10.0 << 7.0 << 1 << 3;
    QTest::newRow("-10 3 truncates toward zero") << -10.0 << 3.0 << -3 << -1;
    QTest::newRow("-7 3 dividend's sign") << -7.0 << 3.0 << -2 << -1;
    QTest::newRow("7 -3") << 7.0 << -3.0 << -2 << 1;
    QTest::newRow("3.5 2 rounds operand first") << 3.5 << 2.0 << 2 << 0;
    QTest::newRow("5 3.5 divisor rounds to 4") << 5.0 << 3.5 << 1 << 1;
    QTest::newRow("2.5 7 rounds to 2") << 2.5 << 7.0 << 0 << 2;
}

void TestNumberText::integerDivision() {
    QFETCH(double, a);
    QFETCH(double, b);
    QFETCH(int, quotient);
    QFETCH(int, remainder);
    QCOMPARE(IntegerQuotient(a, b), quotient);
    QCOMPARE(IntegerRemainder(a, b), remainder);
}

void TestNumberText::integerDivisionFaults() {
    QVERIFY_THROWS_EXCEPTION(NumericFault, IntegerQuotient(5, 0.4));  // divisor rounds to 0
    QVERIFY_THROWS_EXCEPTION(NumericFault, IntegerRemainder(5, 0));
    QVERIFY_THROWS_EXCEPTION(NumericFault, IntegerQuotient(-2147483648.0, -1));
    QVERIFY_THROWS_EXCEPTION(NumericFault, IntegerRemainder(-2147483648.0, -1));
    QVERIFY_THROWS_EXCEPTION(NumericFault, IntegerRemainder(9e99, 13));
}

void TestNumberText::formatInteger() {
    QCOMPARE(FormatNumber(std::int32_t{0}), U"0");
    QCOMPARE(FormatNumber(std::int32_t{7}), U"7");
    QCOMPARE(FormatNumber(std::int32_t{-33}), U"-33");
    QCOMPARE(FormatNumber(std::numeric_limits<std::int32_t>::min()), U"-2147483648");
}

void TestNumberText::formatDouble_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("integral") << 999.0 << "999";
    QTest::newRow("negative zero") << -0.0 << "0";
    QTest::newRow("fraction") << 3.5 << "3.5";
    QTest::newRow("negative fraction") << -1234.5 << "-1234.5";
    QTest::newRow("below one") << 0.1 << "0.1";
    QTest::newRow("15 significant digits") << 1.0 / 3.0 << "0.333333333333333";
    QTest::newRow("rounded last digit") << 2.0 / 3.0 << "0.666666666666667";
    QTest::newRow("integral below 10^15") << 999999999999999.0 << "999999999999999";
    QTest::newRow("fraction rounded to integer digits") << 123456789012345.6 << "123456789012346";
    QTest::newRow("10^15") << 1e15 << "1E+15";
    QTest::newRow("large with fraction digits") << 1.5e20 << "1.5E+20";
    QTest::newRow("1e308") << 1e308 << "1E+308";
    QTest::newRow("small plain") << 0.0001 << "0.0001";
    QTest::newRow("small exponent") << 0.00001 << "1E-05";
    QTest::newRow("tiny negative") << -2.5e-300 << "-2.5E-300";
}

void TestNumberText::formatDouble() {
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(Q(FormatNumber(value)), text);
}

void TestNumberText::formatReadsBack_data() {
    QTest::addColumn<double>("value");
    for (double v : {3.5, 0.1, 1.0 / 7.0, 12346.0, 1e15, 1.5e20, 9.87654321e-7, -4.2e123, 1e308, 1234567.891}) {
        QTest::newRow(qPrintable(QString::number(v, 'g', 17))) << v;
    }
}

void TestNumberText::formatReadsBack() {
    QFETCH(double, value);
    const double back = ParseLeadingNumber(FormatNumber(value));
    QVERIFY2(std::fabs(back - value) <= std::fabs(value) * 5e-15, qPrintable(QString::number(back, 'g', 17)));
}

// The 15 significant digits and the power of ten of a formatted double,
// read off its text: "-1234.5" gives 12345 and 3, "1.5E-05" gives 15 and -5.
// Trailing zeros of the digits are dropped.
struct Significand {
    bool negative = false;
    std::string digits;
    int exponent = 0;
    friend bool operator==(const Significand&, const Significand&) = default;
};

static Significand FromFormatted(const std::string& text) {
    Significand s;
    std::size_t pos = 0;
    if (text[pos] == '-') {
        s.negative = true;
        ++pos;
    }
    int pointAt = -1;
    int digitsSeen = 0;
    int firstNonZeroAt = -1;
    for (; pos < text.size() && text[pos] != 'E'; ++pos) {
        if (text[pos] == '.') {
            pointAt = digitsSeen;
            continue;
        }
        if (firstNonZeroAt < 0 && text[pos] != '0') {
            firstNonZeroAt = digitsSeen;
        }
        if (firstNonZeroAt >= 0) {
            s.digits.push_back(text[pos]);
        }
        ++digitsSeen;
    }
    if (pointAt < 0) {
        pointAt = digitsSeen;
    }
    s.exponent = pointAt - firstNonZeroAt - 1;
    if (pos < text.size()) {
        s.exponent += std::stoi(text.substr(pos + 1));  // "E+20", "E-05"
    }
    while (s.digits.size() > 1 && s.digits.back() == '0') {
        s.digits.pop_back();
    }
    return s;
}

// The same from the standard library's correctly rounded scientific form
// with 14 digits after the point ("1.23450000000000e+03").
static Significand FromStandardLibrary(double value) {
    char buffer[40];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14).ptr;
    const std::string text(buffer, end);
    Significand s;
    std::size_t pos = 0;
    if (text[pos] == '-') {
        s.negative = true;
        ++pos;
    }
    const std::size_t e = text.find('e');
    for (; pos < e; ++pos) {
        if (text[pos] != '.') {
            s.digits.push_back(text[pos]);
        }
    }
    s.exponent = std::stoi(text.substr(e + 1));
    while (s.digits.size() > 1 && s.digits.back() == '0') {
        s.digits.pop_back();
    }
    return s;
}

// Doubles whose exact decimal value has 16 significant digits ending in 5:
// rounding to 15 digits is an exact tie, which goes to the even digit. Such
// a value is t / 2^k with t odd and t * 5^k a 16-digit number.
static std::vector<double> ExactTies(std::mt19937_64& random, int count) {
    std::vector<double> ties;
    std::uint64_t fivePower = 1;
    for (int k = 1; k <= 22; ++k) {
        fivePower *= 5;
        const std::uint64_t low = (1000000000000000ULL + fivePower - 1) / fivePower;
        const std::uint64_t high = std::min<std::uint64_t>(9999999999999999ULL / fivePower, 1ULL << 53);
        if (low > high) {
            continue;
        }
        for (int i = 0; i < count; ++i) {
            std::uint64_t t = low + random() % (high - low + 1);
            t |= 1;
            if (t > high) {
                t -= 2;
            }
            if (t < low) {
                continue;
            }
            for (int scale : {0, 8, -8, 40, -40}) {
                ties.push_back(std::ldexp(static_cast<double>(t), scale - k));
            }
        }
    }
    // Whole 16-digit numbers ending in 5 (at least 10^15, so not written as
    // integers): 1000000000000005, ...
    for (int i = 0; i < count; ++i) {
        ties.push_back(static_cast<double>(1000000000000000ULL + (random() % 800000000000000ULL) * 10 + 5));
    }
    return ties;
}

void TestNumberText::formatRoundsLikeStandardLibrary_data() {
    QTest::addColumn<std::vector<double>>("values");
    std::mt19937_64 random(20240611);
    const std::vector<double> ties = ExactTies(random, 200);
    std::vector<double> nearTies;
    for (double tie : ties) {
        nearTies.push_back(std::nextafter(tie, 0.0));
        nearTies.push_back(std::nextafter(tie, std::numeric_limits<double>::infinity()));
    }
    std::vector<double> anyBits;
    while (anyBits.size() < 100000) {
        double value;
        const std::uint64_t bits = random();
        std::memcpy(&value, &bits, sizeof value);
        if (std::isfinite(value) && value != 0) {
            anyBits.push_back(value);
        }
    }
    std::vector<double> sums;  // what Add parts can produce: a fraction plus a whole number
    for (int i = 0; i < 100000; ++i) {
        sums.push_back(static_cast<double>(random() % 100000) / 1000.0 + static_cast<double>(random() % 100000));
    }
    std::vector<double> quotients;  // 1/3, 2/7, ...: long repeating expansions
    for (int d = 3; d < 2000; ++d) {
        for (int n = 1; n < d; n += 37) {
            quotients.push_back(static_cast<double>(n) / d);
            quotients.push_back(static_cast<double>(n) / d * 1e7);
        }
    }
    QTest::newRow("exact ties") << ties;
    QTest::newRow("one step beside a tie") << nearTies;
    QTest::newRow("random bit patterns") << anyBits;
    QTest::newRow("sums with fractions") << sums;
    QTest::newRow("quotients") << quotients;
}

void TestNumberText::formatRoundsLikeStandardLibrary() {
    // FormatNumber rounds to 15 significant digits on its own code path; the
    // standard library's to_chars is correctly rounded (ties to even), so
    // the digits must agree for every value, on the last digit too.
    QFETCH(std::vector<double>, values);
    QVERIFY(values.size() > 100);
    for (double value : values) {
        if (value == std::trunc(value) && std::fabs(value) < 1e15) {
            continue;  // written as an integer
        }
        const std::u32string formatted = FormatNumber(value);
        const std::string text(formatted.begin(), formatted.end());
        const Significand shown = FromFormatted(text);
        const Significand expected = FromStandardLibrary(value);
        if (!(shown == expected)) {
            char exact[64];
            const auto end = std::to_chars(exact, exact + sizeof exact, value, std::chars_format::scientific, 20).ptr;
            QFAIL(qPrintable(QStringLiteral("%1 printed as %2, expected digits %3 exponent %4")
                                 .arg(QString::fromLatin1(exact, static_cast<int>(end - exact)),
                                      QString::fromStdString(text), QString::fromStdString(expected.digits))
                                 .arg(expected.exponent)));
        }
    }
}

void TestNumberText::localeNeverMatters() {
    // A Bulgarian desktop writes decimals with a comma; the worksheet never does.
    const char* previous = std::setlocale(LC_ALL, nullptr);
    const std::string saved = previous ? previous : "C";
    if (!std::setlocale(LC_ALL, "bg_BG.UTF-8") && !std::setlocale(LC_ALL, "de_DE.UTF-8")) {
        QSKIP("no comma-decimal locale installed");
    }
    const std::u32string formatted = FormatNumber(3.5);
    const double parsed = ParseLeadingNumber(U"2.5");
    std::setlocale(LC_ALL, saved.c_str());
    QCOMPARE(formatted, U"3.5");
    QCOMPARE(parsed, 2.5);
}

QTEST_APPLESS_MAIN(TestNumberText)
#include "tst_number_text.moc"
