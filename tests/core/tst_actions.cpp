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
    void groupSearchOnText_data();
    void groupSearchOnText();
    void groupSearchEmptiesStaleResult();
    void addParts_data();
    void addParts();
    void addPartsAfterEmptySearch();
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
    AddRows("calculate.tsv", {"numerator", "denominator", "expansion", "left", "right", "sum"});
}

void TestActions::calculate() {
    QFETCH(QString, numerator);
    QFETCH(QString, denominator);
    QFETCH(QString, expansion);
    QFETCH(QString, left);
    QFETCH(QString, right);
    QFETCH(QString, sum);
    if (expansion == cases::kUnchanged) {
        // Refused or abandoned: a cleared form stays cleared (Add parts
        // stays unavailable), and an earlier calculation's results stay.
        for (FormState form : {TypedForm(numerator, denominator), CalculatedForm()}) {
            form.SetText2(kNumerator, U(numerator));
            form.SetText2(kDenominator, U(denominator));
            const FormState before = form;
            OnCommandClick(form, kCalculateButton);
            QCOMPARE(form, before);
        }
        return;
    }
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
    AddRows("add_parts.tsv", {"left", "right", "sum"});  // sum "unchanged" keeps the earlier 999
}

void TestActions::addParts() {
    QFETCH(QString, left);
    QFETCH(QString, right);
    QFETCH(QString, sum);
    FormState form = FormWithGroups(left, right);
    const FormState before = form;
    OnCommandClick(form, kAddPartsButton);
    if (sum == cases::kUnchanged) {
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

QTEST_APPLESS_MAIN(TestActions)
#include "tst_actions.moc"
