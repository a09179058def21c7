// The explanation's pictures: the wheel of remainders against exact
// arithmetic for the shared table's fractions, its layout for every
// denominator 3..9999, and the division as written in the notebook.
#include <QtTest>

#include <cmath>
#include <set>

#include "explain.h"
#include "test_support.h"

using namespace zelvane;
using namespace zelvane::explain;

namespace {

Document ExplainTexts(const QString& numerator, const QString& denominator) {
    return Explain(CalculatedFraction{U(numerator), U(denominator)});
}

QString Remainders(const Document& doc, std::size_t from, std::size_t count, std::size_t shown) {
    QStringList list;
    for (std::size_t i = 0; i < std::min(count, shown); ++i) {
        list << QString::number(doc.steps[from + i].remainder);
    }
    if (count > shown) {
        list << QString::fromUtf8("…");
    }
    return list.join(' ');
}

// The angle of a point about the centre, clockwise from the top, 0..360.
double ClockAngle(Point centre, Point at) {
    const double a = std::atan2(at.x - centre.x, centre.y - at.y) * 180 / M_PI;
    return a < -1e-9 ? a + 360 : a;
}

bool Near(double a, double b) { return std::abs(a - b) < 1e-6; }

const Shape* WindowMark(const Figure& figure) {
    for (const Shape& s : figure.shapes) {
        if (s.stroke == Ink::kWindow && (s.kind == ShapeKind::kArc || s.kind == ShapeKind::kCircle)) {
            return &s;
        }
    }
    return nullptr;
}

}  // namespace

class TestWheel : public QObject {
    Q_OBJECT

private slots:
    void wheelOfTheRow_data() {
        AddRows("wheel.tsv", {"numerator", "denominator", "tail", "ring", "pairs", "triangles", "window"});
    }
    void wheelOfTheRow();
    void everyDenominatorUpTo9999();
    void notebook_data() { AddRows("notebook.tsv", {"numerator", "denominator", "lines"}); }
    void notebook();
};

void TestWheel::wheelOfTheRow() {
    QFETCH(QString, numerator);
    QFETCH(QString, denominator);
    QFETCH(QString, tail);
    QFETCH(QString, ring);
    QFETCH(QString, pairs);
    QFETCH(QString, triangles);
    QFETCH(QString, window);
    const Document doc = ExplainTexts(numerator, denominator);
    const Facts& f = doc.facts;
    const std::size_t P = f.prePeriod;
    const std::size_t L = f.period;
    QVERIFY(!doc.figures.empty());
    QCOMPARE(doc.blocks[1].kind, BlockKind::kFigure);  // the lead: notation, wheel, sum
    const Figure& wheel = doc.figures.front();
    const bool finite = f.kind == Kind::kTerminating;
    QCOMPARE(Remainders(doc, 0, P, P) + (finite ? " 0" : ""), tail);
    QCOMPARE(Remainders(doc, P, L, 12), ring);

    // The tail: on one line above the ring, in step order, into its top.
    for (std::size_t j = 0; !finite && j < P; ++j) {
        QCOMPARE(wheel.remainderAt[j].y, wheel.remainderAt[0].y);
        QVERIFY(wheel.remainderAt[j].x < (j + 1 < P ? wheel.remainderAt[j + 1].x : wheel.centre.x));
        QVERIFY(wheel.remainderAt[j].y < wheel.centre.y - wheel.ring);
    }
    // The ring: at equal angles, clockwise from the top, in step order;
    // a click on a place selects its step.
    for (std::size_t i = 0; i < L; ++i) {
        const Point at = wheel.remainderAt[P + i];
        QVERIFY(Near(std::hypot(at.x - wheel.centre.x, at.y - wheel.centre.y), wheel.ring));
        QVERIFY(Near(ClockAngle(wheel.centre, at), 360.0 * double(i) / double(L)));
        QCOMPARE(StepAt(wheel, at), P + i);
    }
    for (std::size_t j = 0; j < P; ++j) {
        QCOMPARE(StepAt(wheel, wheel.remainderAt[j]), j);
    }
    // A labelled remainder stands as text of its own step.
    for (const Shape& s : wheel.shapes) {
        if (s.kind == ShapeKind::kText && s.stroke == Ink::kRemainder && s.step != kNoStep && s.text != "0") {
            QCOMPARE(s.text, std::to_string(doc.steps[s.step].remainder));
        }
    }

    // Half a period apart: diametrically opposite, adding up as the row says,
    // their digits to 9; every chord joins two such places.
    if (L % 2 == 0 && L > 0) {
        const std::size_t h = L / 2;
        std::set<std::int64_t> sums;
        for (std::size_t i = 0; i < h; ++i) {
            const Point a = wheel.remainderAt[P + i];
            const Point b = wheel.remainderAt[P + i + h];
            QVERIFY(Near(a.x + b.x, 2 * wheel.centre.x) && Near(a.y + b.y, 2 * wheel.centre.y));
            sums.insert(doc.steps[P + i].remainder + doc.steps[P + i + h].remainder);
            if (f.halvesNines) {
                QCOMPARE(doc.steps[P + i].digit + doc.steps[P + i + h].digit, 9);
            }
        }
        QCOMPARE(sums.size() == 1 ? QString::number(*sums.begin()) : QString("-"), pairs);
        for (const Shape& s : wheel.shapes) {
            if (s.kind == ShapeKind::kLine && s.stroke == Ink::kChord) {
                QVERIFY(Near(s.at.x + s.to.x, 2 * wheel.centre.x) && Near(s.at.y + s.to.y, 2 * wheel.centre.y));
            }
        }
    } else {
        QCOMPARE(pairs, QString());
    }
    // A third apart: the triangles' sums, each a multiple of d′ for a prime.
    QString thirdsSums;
    if (L % 3 == 0 && L > 0) {
        std::set<std::int64_t> sums;
        for (std::size_t i = 0; i < L / 3; ++i) {
            sums.insert(doc.steps[P + i].remainder + doc.steps[P + i + L / 3].remainder +
                        doc.steps[P + i + 2 * L / 3].remainder);
        }
        QStringList list;
        for (const std::int64_t sum : sums) {
            list << QString::number(sum);
        }
        thirdsSums = list.join(' ');
        QCOMPARE(doc.figures.back().name, std::string("Трети"));
        bool triangle = false;
        for (const Shape& s : doc.figures.back().shapes) {
            triangle = triangle || (s.kind == ShapeKind::kPolygon && s.count == 3);
        }
        QVERIFY(triangle);
    }
    QCOMPARE(thirdsSums, triangles);

    // The window's arc: from the ring's first place, over its 16 − P digits.
    const Shape* mark = WindowMark(wheel);
    if (window.isEmpty()) {
        QVERIFY(finite || !mark);
    } else if (window == "all") {
        QVERIFY(mark && mark->kind == ShapeKind::kCircle);
    } else {
        QVERIFY(mark && mark->kind == ShapeKind::kArc);
        const double spacing = 360.0 / double(L);
        QVERIFY(Near(mark->start, -90 - spacing / 2));
        QVERIFY(Near(mark->sweep, std::max(3.0, spacing * window.toDouble())));
    }

    // The lead's notation: each step's digit where it says.
    const Block& notation = doc.blocks.front();
    const QString text = Utf8(notation.text);
    for (std::size_t k = 0; k < notation.stepDigits.size(); ++k) {
        if (notation.stepDigits[k] != kNoStep) {
            QCOMPARE(text.at(qsizetype(notation.stepDigits[k])), QChar('0' + doc.steps[k].digit));
        }
    }
    // The selected step is ringed; the later steps' shapes are not drawn.
    const std::size_t last = doc.steps.size() - 1;
    QVERIFY(!Selection(wheel, doc, last).empty());
    QVERIFY(Selection(wheel, doc, last + 1).empty());
}

// Every figure of 1/d stays in its box, and no two of its texts overlap.
void TestWheel::everyDenominatorUpTo9999() {
    for (int d = 3; d <= 9999; ++d) {
        const Document doc = Explain(CalculatedFraction{U"1", std::u32string(U(QString::number(d)))});
        for (const Figure& figure : doc.figures) {
            const QByteArray where = QByteArray("1/") + QByteArray::number(d) + " " + figure.name.c_str();
            std::vector<Bounds> texts;
            for (const Shape& s : figure.shapes) {
                Bounds b{};
                if (s.kind == ShapeKind::kText) {
                    b = TextBounds(s);
                    for (const Bounds& o : texts) {
                        QVERIFY2(b.right <= o.left || o.right <= b.left || b.bottom <= o.top || o.bottom <= b.top,
                                 where + " " + s.text.c_str());
                    }
                    texts.push_back(b);
                } else if (s.kind == ShapeKind::kCircle || s.kind == ShapeKind::kArc) {
                    const double r = s.radius + s.width / 2;
                    b = {s.at.x - r, s.at.y - r, s.at.x + r, s.at.y + r};
                } else if (s.kind == ShapeKind::kLine) {
                    b = {std::min(s.at.x, s.to.x), std::min(s.at.y, s.to.y), std::max(s.at.x, s.to.x),
                         std::max(s.at.y, s.to.y)};
                } else {
                    b = {figure.width, figure.height, 0, 0};
                    for (std::size_t i = s.first; i < s.first + s.count; ++i) {
                        const Point p = figure.points[i];
                        b = {std::min(b.left, p.x), std::min(b.top, p.y), std::max(b.right, p.x), std::max(b.bottom, p.y)};
                    }
                }
                QVERIFY2(b.left >= 0 && b.top >= 0 && b.right <= figure.width && b.bottom <= figure.height, where);
            }
        }
    }
}

void TestWheel::notebook() {
    QFETCH(QString, numerator);
    QFETCH(QString, denominator);
    QFETCH(QString, lines);
    const Document doc = ExplainTexts(numerator, denominator);
    const auto block = std::find_if(doc.blocks.begin(), doc.blocks.end(),
                                    [](const Block& b) { return b.kind == BlockKind::kNotebook; });
    QVERIFY(block != doc.blocks.end());
    QStringList written;
    for (const std::string& line : block->lines) {
        written << Utf8(line);
    }
    QCOMPARE(written.join('|'), lines);
    // Each line of a step holds its dividend or its product.
    QCOMPARE(block->lineSteps.size(), block->lines.size());
    for (std::size_t i = 0; i < block->lines.size(); ++i) {
        const std::size_t k = block->lineSteps[i];
        if (k != kNoStep && block->lines[i].find("←") == std::string::npos) {
            const QString line = Utf8(block->lines[i]).trimmed().remove(QChar(0x2212));
            const std::int64_t dividend = doc.steps[k].remainder * doc.facts.common * 10;
            QVERIFY(line == QString::number(dividend) || line == QString::number(doc.steps[k].digit * doc.facts.denominator) ||
                    line == "0");
        }
    }
}

QTEST_APPLESS_MAIN(TestWheel)
#include "tst_wheel.moc"
