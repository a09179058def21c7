// The four actions and the click dispatch, driven through the form state as
// the window drives them.
#include <QtTest>

#include "actions.h"
#include "test_support.h"

using namespace zelvane;

namespace {

// A form after a successful 7 / 13, to show that failed actions keep it.
FormState CalculatedForm() {
    FormState form = TypedForm("7", "13");
    OnCommandClick(form, kCalculateButton);
    return form;
}

FormState FormWithGroups(const QString& left, const QString& right) {
    FormState form = CalculatedForm();
    form.SetText2(kLeftGroup, U(left));
    form.SetText2(kRightGroup, U(right));
    return form;
}

}  // namespace

class TestActions : public QObject {
    Q_OBJECT

private slots:
    void loadClearsEverything();
    void clearAfterCalculation();
    void clickOutsideTheButtonsDoesNothing_data();
    void clickOutsideTheButtonsDoesNothing();
    void addPartsUnavailableIgnoresClick();
    void calculate_data();
    void calculate();
    void calculateTwiceGivesSameText();
    void calculateGuardKeepsForm_data();
    void calculateGuardKeepsForm();
    void overflowAbandonsCalculation_data();
    void overflowAbandonsCalculation();
    void groupSearchOnText_data();
    void groupSearchOnText();
    void groupSearchEmptiesStaleResult();
    void addParts_data();
    void addParts();
    void addPartsAfterEmptySearch();
    void overflowAbandonsAddParts_data();
    void overflowAbandonsAddParts();
};

void TestActions::loadClearsEverything() {
    FormState form;
    for (int i = 0; i < kText2Count; ++i) {
        form.SetText2(i, U"x");
    }
    form.SetCommand1Enabled(kAddPartsButton, true);
    OnFormLoad(form);
    QCOMPARE(form, FormState{});
    QVERIFY(!form.Command1Enabled(kAddPartsButton));
    QVERIFY(form.Command1Enabled(kCalculateButton));
    QVERIFY(form.Command1Enabled(kClearButton));
}

void TestActions::clearAfterCalculation() {
    FormState form = CalculatedForm();
    QVERIFY(form.Command1Enabled(kAddPartsButton));
    OnCommandClick(form, kClearButton);
    for (int i = 0; i < kText2Count; ++i) {
        QVERIFY2(form.Text2(i).empty(), qPrintable(QString::number(i)));
    }
    QVERIFY(!form.Command1Enabled(kAddPartsButton));
    QVERIFY(form.Command1Enabled(kCalculateButton));
    QVERIFY(form.Command1Enabled(kClearButton));
    const FormState cleared = form;
    OnCommandClick(form, kClearButton);
    QCOMPARE(form, cleared);
}

void TestActions::clickOutsideTheButtonsDoesNothing_data() {
    QTest::addColumn<int>("index");
    for (int index : {-1, 3, 100, -32768, 32767}) {
        QTest::newRow(qPrintable(QString::number(index))) << index;
    }
}

void TestActions::clickOutsideTheButtonsDoesNothing() {
    QFETCH(int, index);
    FormState form = CalculatedForm();
    const FormState before = form;
    OnCommandClick(form, static_cast<std::int16_t>(index));
    QCOMPARE(form, before);
}

void TestActions::addPartsUnavailableIgnoresClick() {
    FormState form;
    OnFormLoad(form);
    form.SetText2(kLeftGroup, U"538");
    form.SetText2(kRightGroup, U"461");
    OnCommandClick(form, kAddPartsButton);
    QVERIFY(form.Text2(kSum).empty());
}

void TestActions::calculate_data() {
    QTest::addColumn<QString>("numerator");
    QTest::addColumn<QString>("denominator");
    QTest::addColumn<QString>("expansion");
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("right");
    QTest::addColumn<QString>("sum");
    QTest::newRow("7/13 row 2") << "7" << "13" << "0.05384615384615384" << "538" << "461" << "999";
    QTest::newRow("1/7 row 2") << "1" << "7" << "0.01428571428571428" << "142" << "857" << "999";
    QTest::newRow("5/14 row 3") << "5" << "14" << "0.03571428571428571" << "571" << "428" << "999";
    QTest::newRow("1/13 keeps leading zero") << "1" << "13" << "0.00769230769230769" << "076" << "923" << "999";
    QTest::newRow("10/13 row 1") << "10" << "13" << "0.07692307692307692" << "076" << "923" << "999";
    QTest::newRow("10/11 row 1") << "10" << "11" << "0.09090909090909090" << "090" << "909" << "999";
    QTest::newRow("1/73 row 5") << "1" << "73" << "0.00136986301369863" << "0136" << "9863" << "9999";
    QTest::newRow("1/17 no row") << "1" << "17" << "0.00588235294117647" << "" << "" << "";
    QTest::newRow("1/3 no row") << "1" << "3" << "0.03333333333333333" << "" << "" << "";
    QTest::newRow("20/13 only remainder counts") << "20" << "13" << "0.05384615384615384" << "538" << "461" << "999";
    QTest::newRow("10/4") << "10" << "4" << "0.05000000000000000" << "" << "" << "";
    QTest::newRow("0/13") << "0" << "13" << "0.00000000000000000" << "" << "" << "";
    QTest::newRow("13/13 multiple") << "13" << "13" << "0.00000000000000000" << "" << "" << "";
    QTest::newRow("-13/13 negative multiple") << "-13" << "13" << "0.00000000000000000" << "" << "" << "";
    QTest::newRow("empty numerator") << "" << "13" << "0.00000000000000000" << "" << "" << "";
    QTest::newRow("2.5 rounds to 2") << "2.5" << "7" << "0.02857142857142857" << "285" << "714" << "999";
    QTest::newRow("blanks in the inputs") << " 7" << "1 3" << "0.05384615384615384" << "538" << "461" << "999";
    QTest::newRow("hex denominator") << "7" << "&HD" << "0.05384615384615384" << "538" << "461" << "999";
    QTest::newRow("fractional denominator") << "5" << "3.5"
                                            << "0.027132336476386110137176222282357451566"
                                            << "" << "" << "";
}

void TestActions::calculate() {
    QFETCH(QString, numerator);
    QFETCH(QString, denominator);
    QFETCH(QString, expansion);
    QFETCH(QString, left);
    QFETCH(QString, right);
    QFETCH(QString, sum);
    FormState form = TypedForm(numerator, denominator);
    OnCommandClick(form, kCalculateButton);
    QCOMPARE(Q(form.Text2(kExpansion)), expansion);
    QCOMPARE(Q(form.Text2(kLeftGroup)), left);
    QCOMPARE(Q(form.Text2(kRightGroup)), right);
    QCOMPARE(Q(form.Text2(kSum)), sum);
    QCOMPARE(Q(form.Text2(kNumerator)), numerator);
    QCOMPARE(Q(form.Text2(kDenominator)), denominator);
    QVERIFY(form.Command1Enabled(kAddPartsButton));
}

void TestActions::calculateTwiceGivesSameText() {
    FormState form = CalculatedForm();
    const FormState once = form;
    OnCommandClick(form, kCalculateButton);
    QCOMPARE(form, once);
}

void TestActions::calculateGuardKeepsForm_data() {
    QTest::addColumn<QString>("denominator");
    for (const char* d : {"", "0", "1", "2", "2.9", "-5", "abc", "1,5e9"}) {
        QTest::newRow(d) << d;
    }
}

void TestActions::calculateGuardKeepsForm() {
    QFETCH(QString, denominator);
    // From a cleared form: stays cleared, Add parts stays unavailable.
    FormState cleared = TypedForm("7", denominator);
    const FormState clearedBefore = cleared;
    OnCommandClick(cleared, kCalculateButton);
    QCOMPARE(cleared, clearedBefore);
    // From an earlier calculation: its results stay.
    FormState calculated = CalculatedForm();
    calculated.SetText2(kDenominator, U(denominator));
    const FormState calculatedBefore = calculated;
    OnCommandClick(calculated, kCalculateButton);
    QCOMPARE(calculated, calculatedBefore);
}

void TestActions::overflowAbandonsCalculation_data() {
    QTest::addColumn<QString>("numerator");
    QTest::addColumn<QString>("denominator");
    QTest::newRow("numerator 9e99") << "9e99" << "13";
    QTest::newRow("denominator 9e99") << "7" << "9e99";
    QTest::newRow("numerator too large for a double") << "9e999" << "13";
    QTest::newRow("negative remainder grows") << "-7" << "3";
    QTest::newRow("negative remainder from -1") << "-1" << "13";
    QTest::newRow("denominator 3.4 turns remainder negative") << "1" << "3.4";
}

void TestActions::overflowAbandonsCalculation() {
    QFETCH(QString, numerator);
    QFETCH(QString, denominator);
    for (FormState form : {TypedForm(numerator, denominator), CalculatedForm()}) {
        form.SetText2(kNumerator, U(numerator));
        form.SetText2(kDenominator, U(denominator));
        const FormState before = form;
        OnCommandClick(form, kCalculateButton);
        QCOMPARE(form, before);
    }
}

void TestActions::groupSearchOnText_data() {
    QTest::addColumn<QString>("expansion");
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("right");
    QTest::addColumn<QString>("sum");
    QTest::newRow("three digits win over four") << "0.81111888" << "111" << "888" << "999";
    QTest::newRow("four digits when no three") << "0.1234876500" << "1234" << "8765" << "9999";
    QTest::newRow("row 6") << "0.0012348765" << "1234" << "8765" << "9999";
    QTest::newRow("short text, empty group reads 0") << "0.999" << "999" << "" << "999";
    QTest::newRow("too short") << "0.12" << "" << "" << "";
    QTest::newRow("empty expansion") << "" << "" << "" << "";
    QTest::newRow("minus sign does not stop the search") << "0.-499500" << "499" << "500" << "999";
}

void TestActions::groupSearchOnText() {
    QFETCH(QString, expansion);
    QFETCH(QString, left);
    QFETCH(QString, right);
    QFETCH(QString, sum);
    FormState form;
    form.SetText2(kExpansion, U(expansion));
    FindNineGroups(form);
    QCOMPARE(Q(form.Text2(kLeftGroup)), left);
    QCOMPARE(Q(form.Text2(kRightGroup)), right);
    QCOMPARE(Q(form.Text2(kSum)), sum);
    QCOMPARE(Q(form.Text2(kExpansion)), expansion);
}

void TestActions::groupSearchEmptiesStaleResult() {
    FormState form = CalculatedForm();
    form.SetText2(kNumerator, U"1");
    form.SetText2(kDenominator, U"17");
    OnCommandClick(form, kCalculateButton);
    QCOMPARE(Q(form.Text2(kExpansion)), QString("0.00588235294117647"));
    QVERIFY(form.Text2(kLeftGroup).empty());
    QVERIFY(form.Text2(kRightGroup).empty());
    QVERIFY(form.Text2(kSum).empty());
}

void TestActions::addParts_data() {
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("right");
    QTest::addColumn<QString>("sum");  // "unchanged" keeps the earlier 999
    QTest::newRow("538 461") << "538" << "461" << "999";
    QTest::newRow("0136 9863") << "0136" << "9863" << "9999";
    QTest::newRow("five characters") << "12345" << "1" << "12346";
    QTest::newRow("six characters") << "123456" << "1" << "unchanged";
    QTest::newRow("six on the right") << "1" << "123456" << "unchanged";
    QTest::newRow("left keeps fraction") << "1.5" << "2" << "3.5";
    QTest::newRow("right 1.5 rounds to 2") << "2" << "1.5" << "4";
    QTest::newRow("right 2.5 rounds to 2") << "2" << "2.5" << "4";
    QTest::newRow("right 0.5 rounds to 0") << "2" << "0.5" << "unchanged";
    QTest::newRow("left below 1") << "0.5" << "3" << "unchanged";
    QTest::newRow("blank counts toward length") << " 7" << "8" << "15";
    QTest::newRow("five digits and a blank are six") << " 12345" << "1" << "unchanged";
    QTest::newRow("empty left") << "" << "5" << "unchanged";
    QTest::newRow("negative") << "-5" << "9" << "unchanged";
    QTest::newRow("non-numeric") << "abc" << "9" << "unchanged";
    QTest::newRow("Cyrillic counts as one character") << QString::fromUtf8("1234Я") << "1" << "1235";
    QTest::newRow("large left in exponent form") << "1e20" << "1" << "1E+20";
    QTest::newRow("large right") << "1" << "2e9" << "2000000001";
}

void TestActions::addParts() {
    QFETCH(QString, left);
    QFETCH(QString, right);
    QFETCH(QString, sum);
    FormState form = FormWithGroups(left, right);
    const FormState before = form;
    OnCommandClick(form, kAddPartsButton);
    if (sum == "unchanged") {
        QCOMPARE(form, before);
    } else {
        QCOMPARE(Q(form.Text2(kSum)), sum);
        form.SetText2(kSum, before.Text2(kSum));
        QCOMPARE(form, before);  // nothing else changed
    }
}

void TestActions::addPartsAfterEmptySearch() {
    FormState form = TypedForm("1", "17");
    OnCommandClick(form, kCalculateButton);
    QVERIFY(form.Text2(kSum).empty());
    form.SetText2(kLeftGroup, U"100");
    form.SetText2(kRightGroup, U"899");
    OnCommandClick(form, kAddPartsButton);
    QCOMPARE(Q(form.Text2(kSum)), QString("999"));
}

void TestActions::overflowAbandonsAddParts_data() {
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("right");
    QTest::newRow("right 9e99 leaves 32 bits") << "1" << "9e99";
    QTest::newRow("left too large for a double") << "9e999" << "1";
    QTest::newRow("right too large for a double") << "1" << "9e999";
}

void TestActions::overflowAbandonsAddParts() {
    QFETCH(QString, left);
    QFETCH(QString, right);
    FormState form = FormWithGroups(left, right);
    const FormState before = form;
    OnCommandClick(form, kAddPartsButton);
    QCOMPARE(form, before);
}

QTEST_APPLESS_MAIN(TestActions)
#include "tst_actions.moc"
