// The numeric text conventions: leading-number reading, rounding, integer
// division and number formatting, including the overflow faults.
#include <QtTest>
#include <clocale>
#include <cmath>
#include <limits>

#include "number_text.h"
#include "test_support.h"

using namespace zelvane;

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
