// What the web page receives from the core: the window's description as
// JSON, checked against the shared tables it is written from.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include "description_json.h"
#include "explanation_json.h"
#include "form_state.h"

using namespace zelvane;

namespace {

QJsonArray Place(const form::Twips& p) { return {p.left, p.top, p.width, p.height}; }
QJsonArray PlacePx(const form::Twips& p) {
    return {form::TwipsToPixels(p.left), form::TwipsToPixels(p.top), form::TwipsToPixels(p.width),
            form::TwipsToPixels(p.height)};
}
QJsonArray Rgb(const form::Rgb& c) { return {c.red, c.green, c.blue}; }
QString Text(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace

class TestWebBridge : public QObject {
    Q_OBJECT

private slots:
    void descriptionMatchesTheTables();
    void explanationAsJson();
    void explanationDrawingAsJson_data();
    void explanationDrawingAsJson();
};

void TestWebBridge::descriptionMatchesTheTables() {
    const std::string json = web::DescriptionJson("https://example.org/\"x\"");
    QJsonParseError error{};
    const QJsonObject d = QJsonDocument::fromJson(QByteArray::fromStdString(json), &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);

    QCOMPARE(d["caption"].toString(), Text(form::Caption("https://example.org/\"x\"")));
    QCOMPARE(d["widthPx"].toInt(), 481);
    QCOMPARE(d["heightPx"].toInt(), 344);
    QCOMPARE(d["background"].toArray(), Rgb(form::kFormBackground));
    QCOMPARE(d["labelBackground"].toArray(), Rgb(form::kLabelBackground));
    QCOMPARE(d["fontFamily"].toString(), Text(form::kFontFamily));

    const QJsonArray labels = d["Label1"].toArray();
    QCOMPARE(labels.size(), static_cast<qsizetype>(form::kLabel1.size()));
    for (std::size_t i = 0; i < form::kLabel1.size(); ++i) {
        const QJsonObject label = labels[static_cast<qsizetype>(i)].toObject();
        QCOMPARE(label["caption"].toString(), Text(form::kLabel1[i].caption));
        QCOMPARE(label["twips"].toArray(), Place(form::kLabel1[i].place));
        QCOMPARE(label["px"].toArray(), PlacePx(form::kLabel1[i].place));
    }
    const QJsonArray fields = d["Text2"].toArray();
    QCOMPARE(fields.size(), static_cast<qsizetype>(form::kText2.size()));
    // Enter: Calculate from the inputs, Add parts from the groups.
    const int enterClicks[] = {kCalculateButton, -1, kAddPartsButton, kAddPartsButton, -1, kCalculateButton};
    for (std::size_t i = 0; i < form::kText2.size(); ++i) {
        const QJsonObject field = fields[static_cast<qsizetype>(i)].toObject();
        QCOMPARE(field["twips"].toArray(), Place(form::kText2[i].place));
        QCOMPARE(field["px"].toArray(), PlacePx(form::kText2[i].place));
        QCOMPARE(field["tabIndex"].toInt(), form::kText2[i].tabIndex);
        QCOMPARE(field["maxLength"].toInt(), form::kText2[i].maxLength);
        QCOMPARE(field["readOnly"].toBool(), form::kText2[i].readOnly);
        QCOMPARE(field["label"].toInt(), form::kText2[i].label);
        QCOMPARE(field["numberKeyboard"].toBool(), form::kNumberKeyboard[i]);
        QCOMPARE(field["enterClicks"].toInt(), enterClicks[i]);
    }
    const QJsonArray buttons = d["Command1"].toArray();
    QCOMPARE(buttons.size(), static_cast<qsizetype>(form::kCommand1.size()));
    for (std::size_t i = 0; i < form::kCommand1.size(); ++i) {
        const QJsonObject button = buttons[static_cast<qsizetype>(i)].toObject();
        QCOMPARE(button["caption"].toString(), Text(form::kCommand1[i].caption));
        QCOMPARE(button["colour"].toArray(), Rgb(form::kCommand1[i].colour));
        QCOMPARE(button["twips"].toArray(), Place(form::kCommand1[i].place));
        QCOMPARE(button["tabIndex"].toInt(), form::kCommand1[i].tabIndex);
    }
    const QJsonArray help = d["Text1"].toArray();
    for (std::size_t i = 0; i < form::kText1.size(); ++i) {
        // CR LF line ends and trailing blanks survive the escaping.
        QCOMPARE(help[static_cast<qsizetype>(i)].toObject()["text"].toString(), Text(form::kText1[i].text));
        QCOMPARE(help[static_cast<qsizetype>(i)].toObject()["shown"].toString(),
                 Text(form::kText1[i].text).replace("\r\n", "\n"));
    }
    QCOMPARE(d["quotationTip"].toString(),
             QString::fromUtf8("Неприятното в това да си първият, направил нещо по \nправилния начин, е, че никой не "
                               "оценява колко трудно е \nбило."));
    QCOMPARE(d["enterClicksFocusedButton"].toBool(), true);
    QCOMPARE(d["explainCommand"].toString(), Text(form::kExplainCommand));
    QCOMPARE(d["expansionTip"].toString(), Text(form::kExpansionTip));
    QCOMPARE(d["explanationName"].toString(), Text(form::kExplanationName));
    QCOMPARE(d["closeCommand"].toString(), Text(form::kCloseCommand));
    QCOMPARE(d["printCommand"].toString(), Text(form::kPrintCommand));
    QCOMPARE(d["figureName"].toString(), Text(form::kFigureName));
    QCOMPARE(d["stepListName"].toString(), Text(form::kStepListName));
    QCOMPARE(d["taskTextName"].toString(), Text(form::kTaskTextName));
    QCOMPARE(d["focusOrder"].toArray(),
             (QJsonArray{"Text1_0", "Text2_0", "Text2_1", "Text2_2", "Text2_3", "Text2_4", "Command1_0", "Command1_1",
                         "Command1_2", "Text2_5"}));
}

// The page renders the explanation from JSON, every block in order, and
// the step rows from one text, a row a line.
void TestWebBridge::explanationAsJson() {
    const explain::Document document = explain::Explain(CalculatedFraction{U"1", U"7"});
    QJsonParseError error{};
    const QJsonObject json =
        QJsonDocument::fromJson(QByteArray::fromStdString(web::ExplanationJson(document)), &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(json["title"].toString(), Text(document.title));
    const QJsonArray blocks = json["blocks"].toArray();
    QCOMPARE(blocks.size(), static_cast<qsizetype>(document.blocks.size()));
    for (qsizetype i = 0; i < blocks.size(); ++i) {
        const explain::Block& block = document.blocks[static_cast<std::size_t>(i)];
        const QJsonObject object = blocks[i].toObject();
        if (block.kind == explain::BlockKind::kLines) {
            QCOMPARE(object["lines"].toArray().size(), static_cast<qsizetype>(block.lines.size()));
        } else if (block.kind != explain::BlockKind::kSteps) {
            QCOMPARE(object["text"].toString(), Text(block.text));
        }
    }
    QVERIFY(!json.contains("steps"));  // they come apart, as one text
    const QStringList steps = QString::fromStdString(explain::StepRows(document)).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(steps.size(), 7);
    QCOMPARE(steps.last(), Text(explain::StepText(document, 6)));
}

// What the view draws and highlights, as the page reads it: raised runs
// and the notation's digits in UTF-16 units (JavaScript's), the notebook's
// line steps, and every figure's shapes, without the hit places.
void TestWebBridge::explanationDrawingAsJson_data() {
    QTest::addColumn<QString>("numerator");
    QTest::addColumn<QString>("denominator");
    QTest::newRow("1/7") << "1" << "7";
    QTest::newRow("5/14 a tail") << "5" << "14";
    QTest::newRow("1/8 finite") << "1" << "8";
    QTest::newRow("1/9967") << "1" << "9967";
}

void TestWebBridge::explanationDrawingAsJson() {
    QFETCH(QString, numerator);
    QFETCH(QString, denominator);
    const explain::Document document =
        explain::Explain(CalculatedFraction{numerator.toStdU32String(), denominator.toStdU32String()});
    const QJsonObject json =
        QJsonDocument::fromJson(QByteArray::fromStdString(web::ExplanationJson(document))).object();
    QCOMPARE(json["lead"].toInt(), static_cast<int>(document.lead));
    QCOMPARE(json["stepCount"].toInt(), static_cast<int>(document.steps.size()));
    const QJsonArray blocks = json["blocks"].toArray();
    for (qsizetype i = 0; i < blocks.size(); ++i) {
        const explain::Block& block = document.blocks[static_cast<std::size_t>(i)];
        const QJsonObject object = blocks[i].toObject();
        const QString text = object["text"].toString();
        const QJsonArray raised = object["raised"].toArray();
        QCOMPARE(raised.size(), static_cast<qsizetype>(block.raised.size()));
        for (qsizetype k = 0; k < raised.size(); ++k) {
            const explain::Span& span = block.raised[static_cast<std::size_t>(k)];
            const QJsonArray run = raised[k].toArray();
            QCOMPARE(text.mid(run[0].toInt(), run[1].toInt() - run[0].toInt()),
                     Text(std::string_view(block.text).substr(span.from, span.to - span.from)));
        }
        std::vector<std::size_t> digits(block.stepDigits.empty() ? 0 : document.steps.size(), explain::kNoStep);
        for (const QJsonValue run : object["stepDigits"].toArray()) {
            for (int k = 0; k < run[2].toInt(); ++k) {
                digits.at(static_cast<std::size_t>(run[0].toInt() + k)) = static_cast<std::size_t>(run[1].toInt() + k);
            }
        }
        QCOMPARE(digits, block.stepDigits);
        QJsonArray lineSteps;
        for (const std::size_t step : block.lineSteps) {
            lineSteps.append(step == explain::kNoStep ? -1 : static_cast<int>(step));
        }
        QCOMPARE(object["lineSteps"].toArray(), lineSteps);
        QCOMPARE(object["figure"].toInt(), block.kind == explain::BlockKind::kFigure ? static_cast<int>(block.figure) : 0);
    }
    const QJsonArray figures = json["figures"].toArray();
    QCOMPARE(figures.size(), static_cast<qsizetype>(document.figures.size()));
    for (qsizetype f = 0; f < figures.size(); ++f) {
        const explain::Figure& figure = document.figures[static_cast<std::size_t>(f)];
        const QJsonObject object = figures[f].toObject();
        QVERIFY(!object.contains("hits"));
        QCOMPARE(object["alt"].toString(), Text(figure.alt));
        QCOMPARE(object["points"].toArray().size(), static_cast<qsizetype>(2 * figure.points.size()));
        const QJsonArray shapes = object["shapes"].toArray();
        QCOMPARE(shapes.size(), static_cast<qsizetype>(figure.shapes.size()));
        for (qsizetype k = 0; k < shapes.size(); ++k) {
            const explain::Shape& shape = figure.shapes[static_cast<std::size_t>(k)];
            const QJsonObject drawn = shapes[k].toObject();
            QCOMPARE(drawn["step"].toInt(-1), shape.step == explain::kNoStep ? -1 : static_cast<int>(shape.step));
            QCOMPARE(drawn["stroke"].toString("none") == "none", shape.stroke == explain::Ink::kNone);
            if (shape.kind == explain::ShapeKind::kText) {
                QCOMPARE(drawn["text"].toString(), Text(shape.text));
                QCOMPARE(drawn["at"].toArray()[1].toDouble(), std::round(shape.at.y * 100) / 100);
            }
        }
        const std::size_t step = document.steps.size() - 1;
        const QJsonArray selection =
            QJsonDocument::fromJson(QByteArray::fromStdString(web::SelectionJson(document, static_cast<std::size_t>(f), step))).array();
        QCOMPARE(selection.size(), static_cast<qsizetype>(explain::Selection(figure, document, step).size()));
        QVERIFY(!selection.isEmpty());
    }
    QCOMPARE(web::SelectionJson(document, document.figures.size(), 0), std::string("[]"));
}

QTEST_APPLESS_MAIN(TestWebBridge)
#include "tst_web_bridge.moc"
