// Property: for whole numerators 0..9999 and a broad sample of whole
// denominators, the worksheet's expansion is "0.0" followed by the first 16
// decimal digits of the fractional part, and the group search agrees with an
// independent recomputation. The sample runs in two halves (every other
// denominator), registered as two CTest tests so that they run side by side:
// this is the longest test, the more so under the sanitizers.
#include <QtTest>
#include <set>

#include "actions.h"
#include "reference_expansion.h"
#include "test_support.h"

using namespace zelvane;

namespace {

std::set<long> SampleDenominators() {
    std::set<long> sample;
    for (long d = 3; d <= 120; ++d) {
        sample.insert(d);  // every small denominator, primes and composites
    }
    for (long d = 121; d <= 9999; d += 101) {
        sample.insert(d);
    }
    for (long d : {127L, 131L, 137L, 251L, 257L, 1000L, 1024L, 4096L, 7919L, 9973L, 9998L, 9999L}) {
        sample.insert(d);
    }
    return sample;
}

}  // namespace

class TestExpansionProperty : public QObject {
    Q_OBJECT

private slots:
    void matchesExactLongDivision_data();
    void matchesExactLongDivision();
};

void TestExpansionProperty::matchesExactLongDivision_data() {
    QTest::addColumn<int>("half");
    QTest::newRow("half1") << 0;
    QTest::newRow("half2") << 1;
}

void TestExpansionProperty::matchesExactLongDivision() {
    QFETCH(int, half);
    long checked = 0;
    int index = 0;
    for (long denominator : SampleDenominators()) {
        if (index++ % 2 != half) {
            continue;
        }
        for (long numerator = 0; numerator <= 9999; ++numerator) {
            FormState form = TypedForm(QString::number(numerator), QString::number(denominator));
            OnCommandClick(form, kCalculateButton);
            const reference::Expected want = reference::ExpectedFor(numerator, denominator);
            if (!reference::SameText(form.Text2(kExpansion), want.expansion) ||
                !reference::SameText(form.Text2(kLeftGroup), want.left) ||
                !reference::SameText(form.Text2(kRightGroup), want.right) ||
                !reference::SameText(form.Text2(kSum), want.sum)) {
                QFAIL(qPrintable(QString("%1 / %2 gave %3 %4 %5 %6, expected %7 %8 %9 %10")
                                     .arg(numerator)
                                     .arg(denominator)
                                     .arg(Q(form.Text2(kExpansion)), Q(form.Text2(kLeftGroup)),
                                          Q(form.Text2(kRightGroup)), Q(form.Text2(kSum)))
                                     .arg(QString::fromStdString(want.expansion), QString::fromStdString(want.left),
                                          QString::fromStdString(want.right), QString::fromStdString(want.sum))));
            }
            ++checked;
        }
    }
    qInfo("checked %ld fractions", checked);
}

QTEST_APPLESS_MAIN(TestExpansionProperty)
#include "tst_expansion_property.moc"
