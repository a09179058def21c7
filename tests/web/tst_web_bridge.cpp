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

QTEST_APPLESS_MAIN(TestWebBridge)
#include "tst_web_bridge.moc"
