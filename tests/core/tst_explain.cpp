// The explain view's analysis and document: the shared table of fractions,
// the form's memory of its last calculation, every denominator 3..9999
// against exact long division, and the document's own text.
#include <QtTest>
#include <vector>

#include "actions.h"
#include "explain.h"
#include "reference_expansion.h"
#include "test_support.h"

using namespace zelvane;
using namespace zelvane::explain;

namespace {

// A sum cell of explain.tsv: blank-separated pieces, "D×N" standing for the
// digit D written N times.
QString ExpandedSum(const QString& cell) {
    QString out;
    for (const QString& piece : cell.split(' ', Qt::SkipEmptyParts)) {
        const qsizetype times = piece.indexOf(QChar(0x00D7));
        out += times < 0 ? piece : piece.left(times).repeated(piece.mid(times + 1).toInt());
    }
    return out;
}

QString VerdictWord(const Facts& facts) {
    if (facts.kind == Kind::kNotNatural) {
        return "not-natural";
    }
    switch (facts.verdict) {
        case Verdict::kHalves:
            return "halves";
        case Verdict::kChance:
            return "chance";
        case Verdict::kNone:
            break;
    }
    return "none";
}

FormState Calculated(const QString& numerator, const QString& denominator) {
    FormState form = TypedForm(numerator, denominator);
    OnCommandClick(form, kCalculateButton);
    return form;
}

Document ExplainTexts(const char32_t* numerator, const char32_t* denominator) {
    return Explain(CalculatedFraction{numerator, denominator});
}

// The digits of a block of grouped lines, without the leading positions.
std::string DigitsOfLines(const Block& block) {
    std::string digits;
    for (const std::string& line : block.lines) {
        const std::size_t start = line.find("  ", line.find_first_not_of(' '));
        for (std::size_t i = start; i < line.size(); ++i) {
            if (line[i] != ' ') {
                digits.push_back(line[i]);
            }
        }
    }
    return digits;
}

// A text block as the plain text writes it: powers as 10^6.
std::string Plain(const Block& block) {
    std::string text = block.text;
    for (auto span = block.raised.rbegin(); span != block.raised.rend(); ++span) {
        text.insert(span->from, 1, '^');
    }
    return text;
}

}  // namespace

class TestExplain : public QObject {
    Q_OBJECT

private slots:
    void sharedCases_data();
    void sharedCases();
    void remembersLastSuccessfulCalculation();
    void groupChecksAgreeWithTheSearch_data();
    void groupChecksAgreeWithTheSearch();
    void everyDenominatorUpTo9999();
    void documentOfOneSeventh();
    void documentsCarryAllTheirText_data();
    void documentsCarryAllTheirText();
    void longPeriodWrittenOutWhole();
    void anyTextsAreSafe_data();
    void anyTextsAreSafe();
};

void TestExplain::sharedCases_data() {
    AddRows("explain.tsv",
            {"numerator", "denominator", "click", "notation", "preperiod", "period", "halves", "thirds", "verdict"});
}

void TestExplain::sharedCases() {
    QFETCH(QString, numerator);
    QFETCH(QString, denominator);
    QFETCH(QString, click);
    QFETCH(QString, notation);
    QFETCH(QString, preperiod);
    QFETCH(QString, period);
    QFETCH(QString, halves);
    QFETCH(QString, thirds);
    QFETCH(QString, verdict);
    const FormState form = Calculated(numerator, denominator);
    QCOMPARE(form.LastCalculation().has_value(), click == "calculates");
    const Document doc = click == "calculates" ? Explain(form) : Explain(CalculatedFraction{U(numerator), U(denominator)});
    const Facts& facts = doc.facts;
    QCOMPARE(VerdictWord(facts), verdict);
    if (facts.kind == Kind::kNotNatural) {
        QCOMPARE(doc.blocks.size(), std::size_t{1});  // the short note only
        QVERIFY(doc.steps.empty());
        return;
    }
    QCOMPARE(Utf8(facts.notation), notation);
    QCOMPARE(QString::number(facts.prePeriod), preperiod);
    QCOMPARE(QString::number(facts.period), period);
    QCOMPARE(Utf8(facts.halvesSum), ExpandedSum(halves));
    QCOMPARE(Utf8(facts.thirdsSum), ExpandedSum(thirds));
    // The document reads the same digits and groups as the worksheet shows.
    QCOMPARE(Utf8(facts.window), Q(form.Text2(kExpansion)));
    QCOMPARE(facts.windowCheck != 0, !form.Text2(kSum).empty());
}

void TestExplain::remembersLastSuccessfulCalculation() {
    FormState form;
    OnFormLoad(form);
    QVERIFY(!form.LastCalculation());
    QCOMPARE(form, FormState{});
    Document doc = Explain(form);
    QCOMPARE(doc.title, std::string("Обяснение"));
    QCOMPARE(doc.blocks.size(), std::size_t{1});
    QVERIFY(doc.blocks[0].text.find("„Изчисли“") != std::string::npos);

    form = Calculated("7", "13");
    QCOMPARE(Explain(form).title, std::string("Обяснение: 7/13"));
    // A refused or an abandoned Calculate keeps the fraction.
    for (const char32_t* denominator : {U"17", U"2", U"9e99"}) {
        form.SetText2(kNumerator, U"-7");
        form.SetText2(kDenominator, denominator);
        OnCommandClick(form, kCalculateButton);
        QCOMPARE(form.LastCalculation()->numerator, std::u32string(U"7"));
        QCOMPARE(form.LastCalculation()->denominator, std::u32string(U"13"));
    }
    // The texts as read, even when they differ from the value's usual form.
    form.SetText2(kNumerator, U" 1");
    form.SetText2(kDenominator, U"&HD");
    OnCommandClick(form, kCalculateButton);
    QCOMPARE(form.LastCalculation()->denominator, std::u32string(U"&HD"));
    QCOMPARE(Explain(form).title, std::string("Обяснение: 1/13"));

    OnCommandClick(form, kClearButton);
    QVERIFY(!form.LastCalculation());
    QCOMPARE(form, FormState{});
    QCOMPARE(Explain(form).title, std::string("Обяснение"));
}

void TestExplain::groupChecksAgreeWithTheSearch_data() {
    AddRows("calculate.tsv", {"numerator", "denominator", "expansion", "left", "sum"});
}

void TestExplain::groupChecksAgreeWithTheSearch() {
    QFETCH(QString, expansion);
    QFETCH(QString, left);
    QFETCH(QString, sum);
    if (expansion == cases::kUnchanged) {
        return;
    }
    const int row = MatchingGroupCheck(U(expansion));
    QCOMPARE(row != 0, !sum.isEmpty());
    if (row != 0) {
        const GroupCheck& check = kGroupChecks[static_cast<std::size_t>(row - 1)];
        QCOMPARE(expansion.mid(static_cast<qsizetype>(check.leftPosition) - 1, static_cast<qsizetype>(check.length)),
                 left);
        QCOMPARE(Q(std::u32string(check.sumText)), sum);
    }
}

// For 1/d, d = 3..9999: the pre-period and the period length against their
// definitions, the steps against a separate long division, every remainder
// before the repeat different, and nines in the halves of every prime's even
// period.
void TestExplain::everyDenominatorUpTo9999() {
    std::vector<int> lastSeen(10000, 0);
    for (long d = 3; d <= 9999; ++d) {
        const Document doc = Explain(CalculatedFraction{U"1", U(QString::number(d))});
        const Facts& f = doc.facts;
        const QByteArray where = QByteArray("1/") + QByteArray::number(static_cast<qlonglong>(d));
        long m = d;
        int twos = 0;
        int fives = 0;
        for (; m % 2 == 0; m /= 2) {
            ++twos;
        }
        for (; m % 5 == 0; m /= 5) {
            ++fives;
        }
        QVERIFY2(f.coprime == m && f.prePeriod == static_cast<std::size_t>(std::max(twos, fives)), where);
        std::size_t order = 0;
        if (m > 1) {
            long power = 10 % m;
            for (order = 1; power != 1; ++order) {
                power = power * 10 % m;
            }
        }
        QVERIFY2(f.period == order, where);
        QVERIFY2(f.window == reference::ExpectedFor(1, d).expansion, where);

        const std::size_t count = f.prePeriod + f.period + (m > 1 ? 1 : 0);
        QVERIFY2(doc.steps.size() == count && doc.divisor == d, where);
        long r = 1;
        for (std::size_t i = 0; i < count; ++i) {
            const Step& step = doc.steps[i];
            QVERIFY2(step.remainder == r && step.digit == r * 10 / d && step.next == r * 10 % d, where);
            const bool last = m > 1 && i + 1 == count;
            QVERIFY2(step.repeats == (last ? f.prePeriod + 1 : 0), where);
            QVERIFY2(last ? lastSeen[r] == static_cast<int>(d) : lastSeen[r] != static_cast<int>(d), where);
            lastSeen[r] = static_cast<int>(d);
            r = r * 10 % d;
        }
        QVERIFY2(m > 1 || r == 0, where);

        const bool prime = m == d && [d] {
            for (long p = 2; p * p <= d; ++p) {
                if (d % p == 0) {
                    return false;
                }
            }
            return true;
        }();
        if (prime && f.period % 2 == 0) {
            QVERIFY2(f.halvesNines && f.halvesSum == std::string(f.period / 2, '9'), where);
        }
    }
}

void TestExplain::documentOfOneSeventh() {
    const Document doc = Explain(Calculated("1", "7"));
    QCOMPARE(doc.title, std::string("Обяснение: 1/7"));
    const auto notation = std::find_if(doc.blocks.begin(), doc.blocks.end(),
                                       [](const Block& b) { return b.kind == BlockKind::kNotation; });
    QVERIFY(notation != doc.blocks.end());
    QCOMPARE(notation->text, std::string("1/7 = 0,(142857)"));
    QCOMPARE(doc.steps.size(), std::size_t{7});
    QCOMPARE(StepText(doc, 0), std::string("Стъпка 1: 1 · 10 = 1 · 7 + 3 → цифра 1, остатък 3"));
    QCOMPARE(StepText(doc, 5), std::string("Стъпка 6: 5 · 10 = 7 · 7 + 1 → цифра 7, остатък 1"));
    QCOMPARE(StepText(doc, 6), std::string("Стъпка 7: 1 · 10 = 1 · 7 + 3 → цифра 1, остатък 3 — остатъкът 1 е "
                                           "същият като на стъпка 1: оттук цифрите се повтарят"));
    QCOMPARE(StepText(doc, 7), std::string());
    const std::string text = PlainText(doc);
    QVERIFY(text.find("1, 3, 2 | 6, 4, 5 и 1 + 6 = 3 + 4 = 2 + 5 = 7") != std::string::npos);
    QVERIFY(text.find("14 + 28 + 57 = 99") != std::string::npos);

    // The lead answers first: the notation, the wheel (with its thirds), the halves' reason.
    QCOMPARE(doc.lead, std::size_t{4});
    QCOMPARE(doc.blocks[0].text, std::string("1/7 = 0,(142857)"));
    QCOMPARE(doc.blocks[1].kind, BlockKind::kFigure);
    QCOMPARE(doc.blocks[2].kind, BlockKind::kFigure);
    QCOMPARE(doc.blocks[3].text, std::string("142 + 857 = 999: всеки остатък и срещуположният му дават сбор 7."));
    // Powers: 10^6 in the plain text, a raised 6 for a front end that raises it.
    QVERIFY(text.find("Тук това е k = 6: 10^6 ≡ 1 (mod 7)") != std::string::npos);
    std::vector<TextRange> ranges;
    const QString shown = Utf8(PlainText(doc, &ranges, {.raised = true, .apart = true}));
    QVERIFY(shown.contains("Тук това е k = 6: 106 ≡ 1 (mod 7)") && !shown.contains('^'));
    QVERIFY(shown.indexOf("1/7 = 0,(142857)") > shown.indexOf("Дробта") && !shown.contains("Стъпка 1:"));
    const auto six = std::find_if(ranges.begin(), ranges.end(), [&](const TextRange& r) {
        return r.raised && shown.mid(qsizetype(r.from) - 2, 5) == "106 ≡";
    });
    QVERIFY(six != ranges.end() && six->to == six->from + 1);

    const Document finite = ExplainTexts(U"1", U"8");
    QCOMPARE(StepText(finite, 2), std::string("Стъпка 3: 4 · 10 = 5 · 8 + 0 → цифра 5, остатък 0: деленето свършва"));
}

void TestExplain::documentsCarryAllTheirText_data() {
    AddRows("explain.tsv", {"numerator", "denominator"});
}

// PlainText holds every block and every step row in order, as valid UTF-8;
// there is at most one step block, and only where there are steps.
void TestExplain::documentsCarryAllTheirText() {
    QFETCH(QString, numerator);
    QFETCH(QString, denominator);
    const Document doc = Explain(CalculatedFraction{U(numerator), U(denominator)});
    const std::string text = PlainText(doc);
    QCOMPARE(QString::fromUtf8(text).toUtf8().toStdString(), text);
    QVERIFY(text.rfind(doc.title + "\n", 0) == 0);
    std::size_t at = 0;
    auto expect = [&](const std::string& piece) {
        at = text.find(piece + "\n", at);
        QVERIFY2(at != std::string::npos, piece.c_str());
        at += piece.size();
    };
    int stepBlocks = 0;
    for (const Block& block : doc.blocks) {
        QVERIFY(block.text.find('\n') == std::string::npos);
        if (block.kind == BlockKind::kLines || block.kind == BlockKind::kNotebook) {
            for (const std::string& line : block.lines) {
                expect(line);
            }
        } else if (block.kind == BlockKind::kSteps) {
            ++stepBlocks;
            for (std::size_t i = 0; i < doc.steps.size(); ++i) {
                expect(StepText(doc, i));
            }
        } else if (block.kind == BlockKind::kFigure) {
            expect(doc.figures[block.figure].alt);
        } else {
            expect(Plain(block));
        }
    }
    QCOMPARE(stepBlocks, doc.steps.empty() ? 0 : 1);

    // The ranges a front end styles: the title, then each block, in order,
    // in UTF-16 units of the same text.
    std::vector<TextRange> ranges;
    QCOMPARE(PlainText(doc, &ranges), text);
    const QString units = QString::fromUtf8(text);
    QCOMPARE(ranges.size(), doc.blocks.size() + 1);
    QCOMPARE(units.mid(0, static_cast<qsizetype>(ranges[0].to)), QString::fromStdString(doc.title + "\n"));
    for (std::size_t i = 0; i < doc.blocks.size(); ++i) {
        const TextRange& range = ranges[i + 1];
        QCOMPARE(range.kind, doc.blocks[i].kind);
        const QString part = units.mid(static_cast<qsizetype>(range.from), static_cast<qsizetype>(range.to - range.from));
        if (range.kind == BlockKind::kLines || range.kind == BlockKind::kNotebook) {
            QCOMPARE(part.section('\n', 0, 0), QString::fromStdString(doc.blocks[i].lines.front()));
        } else if (range.kind == BlockKind::kSteps) {
            QCOMPARE(part.section('\n', 0, 0), QString::fromStdString(StepText(doc, 0)));
        } else if (range.kind == BlockKind::kFigure) {
            QCOMPARE(part, QString::fromStdString(doc.figures[doc.blocks[i].figure].alt + "\n"));
        } else {
            QCOMPARE(part, QString::fromStdString(Plain(doc.blocks[i]) + "\n"));
        }
    }
    QCOMPARE(ranges.back().to, static_cast<std::size_t>(units.size()));
}

// 1/9967: the period lines hold the whole period, the halves' sum lines
// 4983 nines; the notation alone is shortened.
void TestExplain::longPeriodWrittenOutWhole() {
    const Document doc = ExplainTexts(U"1", U"9967");
    std::string period;
    long r = 1;
    for (int i = 0; i < 9966; ++i) {
        r *= 10;
        period.push_back(static_cast<char>('0' + r / 9967));
        r %= 9967;
    }
    std::vector<std::string> grouped;
    for (const Block& block : doc.blocks) {
        if (block.kind == BlockKind::kLines && block.lines.front().rfind("   1  ", 0) == 0) {
            grouped.push_back(DigitsOfLines(block));
        }
    }
    QCOMPARE(grouped.size(), std::size_t{3});  // the period, the halves' sum, the thirds' sum
    QCOMPARE(grouped[0], period);
    QCOMPARE(grouped[1], std::string(4983, '9'));
    QCOMPARE(grouped[2], std::string(3322, '9'));
    QCOMPARE(doc.steps.size(), std::size_t{9967});
    QCOMPARE(doc.steps.back().repeats, std::size_t{1});
}

void TestExplain::anyTextsAreSafe_data() {
    QTest::addColumn<QString>("numerator");
    QTest::addColumn<QString>("denominator");
    QTest::addColumn<int>("kind");
    QTest::newRow("denominator too large for a double") << "1" << "9e999" << int(Kind::kNotNatural);
    QTest::newRow("denominator past 32 bits") << "1" << "3e9" << int(Kind::kNotNatural);
    QTest::newRow("numerator past 32 bits") << "9e99" << "7" << int(Kind::kNotNatural);
    QTest::newRow("denominator below 3") << "1" << "2" << int(Kind::kNotNatural);
    QTest::newRow("largest numerator") << "2147483647" << "9999" << int(Kind::kPeriodic);
    QTest::newRow("largest denominator, huge period") << "1" << "2147483647" << int(Kind::kTooLong);
    QTest::newRow("2e9 terminates") << "1" << "2e9" << int(Kind::kTerminating);
}

void TestExplain::anyTextsAreSafe() {
    QFETCH(QString, numerator);
    QFETCH(QString, denominator);
    QFETCH(int, kind);
    const Document doc = Explain(CalculatedFraction{U(numerator), U(denominator)});
    QCOMPARE(int(doc.facts.kind), kind);
    QVERIFY(doc.steps.size() <= kMaxPeriodDigits + 64);
    QVERIFY(!PlainText(doc).empty());
}

QTEST_APPLESS_MAIN(TestExplain)
#include "tst_explain.moc"
