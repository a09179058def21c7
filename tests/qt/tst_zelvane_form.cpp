// The window as a pupil uses it: typing with the keyboard, clicking the real
// buttons, moving with Tab; and the window's fixed captions and layout.
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QRegularExpression>
#include <QSignalSpy>
#include <memory>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QWheelEvent>
#include <QPushButton>
#include <QtTest>

#include "explain.h"
#include "explain_view.h"
#include "flat_button.h"
#include "form_description.h"
#include "qt_description.h"
#include "qt_translation.h"
#include "test_support.h"
#include "zelvane_form.h"

using namespace zelvane;

class TestZelvaneForm : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void roadOfOneCalculation();
    void calculateCases_data();
    void calculateCases();
    void addPartsCases_data();
    void addPartsCases();
    void longExpansionShowsItsStart();
    void fifthCharacterRefused_data();
    void fifthCharacterRefused();
    void resultFieldsAreReadOnly_data();
    void resultFieldsAreReadOnly();
    void addPartsUnavailableAtStartAndAfterClear();
    void failedActionLeavesWindowAsItWas();
    void tabOrder();
    void labelsAnnounceTheirFields_data();
    void labelsAnnounceTheirFields();
    void buttonsNamedByTheirCaptions();
    void geometry_data();
    void geometry();
    void zoomKeys();
    void fixedFrame();
    void captionsColoursAndFont();
    void helpTexts();
    void windowCaption();
    void buttonsPaintedFlatInTheirColours_data();
    void buttonsPaintedFlatInTheirColours();
    void contextMenuSpeaksBulgarian();
    void enterClicksTheButton_data();
    void enterClicksTheButton();
    void enterOnAFocusedButton_data();
    void enterOnAFocusedButton();
    void pastesAndKeys_data();
    void pastesAndKeys();
    void taskTextNamedForScreenReaders();
    void explanation_data();
    void explanation();
    void explanationFromTheMenu();
    void explanationFollowsCopiesAndCloses();
    void printsToPdf_data();
    void printsToPdf();
    void wheelLinkedToTheSteps_data();
    void wheelLinkedToTheSteps();

private:
    void Type(int field, const QString& keys);
    void Keys(QLineEdit* edit, const QString& keys);
    void Paste(int field, const QString& text);
    void Click(int button);
    void CheckFieldsShowTheCore();
    QString Field(int index) const { return window_->Text2(index)->text(); }

    Zelvane* window_ = nullptr;
};

void TestZelvaneForm::init() {
    window_ = new Zelvane(QString::fromUtf8(form::Caption("")));
    window_->show();
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_));
}

void TestZelvaneForm::cleanup() {
    delete window_;
    window_ = nullptr;
}

void TestZelvaneForm::Type(int field, const QString& keys) {
    QLineEdit* edit = window_->Text2(field);
    QTest::mouseClick(edit, Qt::LeftButton);
    edit->selectAll();
    if (keys.isEmpty()) {
        QTest::keyClick(edit, Qt::Key_Delete);
    }
    Keys(edit, keys);
}

// Types at the caret, one character at a time. keyClicks knows Latin
// letters only; Cyrillic arrives as key text, and a character outside the
// BMP as one key with both its units.
void TestZelvaneForm::Keys(QLineEdit* edit, const QString& keys) {
    for (qsizetype i = 0; i < keys.size(); ++i) {
        const qsizetype units = keys[i].isHighSurrogate() && i + 1 < keys.size() && keys[i + 1].isLowSurrogate() ? 2 : 1;
        const QString key = keys.mid(i, units);
        i += units - 1;
        QTest::sendKeyEvent(QTest::Press, edit, Qt::Key_unknown, key, Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, edit, Qt::Key_unknown, key, Qt::NoModifier);
    }
    CheckFieldsShowTheCore();
}

// Pastes at the caret through the clipboard, with the paste key.
void TestZelvaneForm::Paste(int field, const QString& text) {
    QApplication::clipboard()->setText(text);
    QTest::keySequence(window_->Text2(field), QKeySequence::Paste);
    CheckFieldsShowTheCore();
}

void TestZelvaneForm::Click(int button) {
    QTest::mouseClick(window_->Command1(button), Qt::LeftButton);
    CheckFieldsShowTheCore();
}

// After every step, each field shows exactly the text the core holds.
void TestZelvaneForm::CheckFieldsShowTheCore() {
    for (int i = 0; i < kText2Count; ++i) {
        QCOMPARE(Field(i), FromCore(window_->State().Text2(i)));
    }
}

void TestZelvaneForm::roadOfOneCalculation() {
    Type(kNumerator, "7");
    Type(kDenominator, "13");
    Click(kCalculateButton);
    QCOMPARE(Field(kExpansion), QString("0.05384615384615384"));
    QCOMPARE(Field(kLeftGroup), QString("538"));
    QCOMPARE(Field(kRightGroup), QString("461"));
    QCOMPARE(Field(kSum), QString("999"));
    QVERIFY(window_->Command1(kAddPartsButton)->isEnabled());

    // The pupil tries a pair of their own.
    Type(kLeftGroup, "100");
    Type(kRightGroup, "899.4");
    QCOMPARE(Q(window_->State().Text2(kRightGroup)), QString("899.4"));
    Click(kAddPartsButton);
    QCOMPARE(Field(kSum), QString("999"));
    Type(kRightGroup, "900");
    Click(kAddPartsButton);
    QCOMPARE(Field(kSum), QString("1000"));

    Click(kClearButton);
    for (int i = 0; i < kText2Count; ++i) {
        QVERIFY2(Field(i).isEmpty(), qPrintable(QString::number(i)));
    }
    QVERIFY(!window_->Command1(kAddPartsButton)->isEnabled());
}

void TestZelvaneForm::calculateCases_data() {
    AddRows("calculate.tsv", {"numerator", "denominator", "expansion", "left", "right", "sum"}, TooLongToType);
}

void TestZelvaneForm::calculateCases() {
    QFETCH(QString, numerator);
    QFETCH(QString, denominator);
    QFETCH(QString, expansion);
    QFETCH(QString, left);
    QFETCH(QString, right);
    QFETCH(QString, sum);
    const QStringList after{expansion, left, right, sum};
    const QList<int> results{kExpansion, kLeftGroup, kRightGroup, kSum};
    const auto shown = [&] {
        QStringList texts;
        for (int field : results) {
            texts << Field(field);
        }
        return texts;
    };
    Type(kNumerator, numerator);
    Type(kDenominator, denominator);
    Click(kCalculateButton);
    if (after.first() != cases::kUnchanged) {
        QCOMPARE(shown(), after);
        QVERIFY(window_->Command1(kAddPartsButton)->isEnabled());
        return;
    }
    // Refused or abandoned: nothing changes, on a cleared form and after 7 / 13.
    QCOMPARE(shown(), QStringList(4));
    QVERIFY(!window_->Command1(kAddPartsButton)->isEnabled());
    Type(kNumerator, "7");
    Type(kDenominator, "13");
    Click(kCalculateButton);
    const QStringList before = shown();
    Type(kNumerator, numerator);
    Type(kDenominator, denominator);
    Click(kCalculateButton);
    QCOMPARE(shown(), before);
    QCOMPARE(Field(kNumerator), numerator);
    QCOMPARE(Field(kDenominator), denominator);
    QVERIFY(window_->Command1(kAddPartsButton)->isEnabled());
}

void TestZelvaneForm::addPartsCases_data() { AddRows("add_parts.tsv", {"left", "right", "sum"}); }

void TestZelvaneForm::addPartsCases() {
    QFETCH(QString, left);
    QFETCH(QString, right);
    QFETCH(QString, sum);
    Type(kNumerator, "7");
    Type(kDenominator, "13");
    Click(kCalculateButton);
    Type(kLeftGroup, left);
    Type(kRightGroup, right);
    Click(kAddPartsButton);
    QCOMPARE(Field(kSum), sum == cases::kUnchanged ? QString("999") : sum);
    QCOMPARE(Field(kLeftGroup), left);
    QCOMPARE(Field(kRightGroup), right);
}

void TestZelvaneForm::longExpansionShowsItsStart() {
    Type(kNumerator, "5");
    Type(kDenominator, "3.5");
    Click(kCalculateButton);
    QCOMPARE(Field(kExpansion), QString("0.027132336476386110137176222282357451566"));
    QCOMPARE(window_->Text2(kExpansion)->cursorPosition(), 0);
}

void TestZelvaneForm::fifthCharacterRefused_data() {
    QTest::addColumn<int>("field");
    QTest::newRow("numerator") << int(kNumerator);
    QTest::newRow("denominator") << int(kDenominator);
}

void TestZelvaneForm::fifthCharacterRefused() {
    QFETCH(int, field);
    Type(field, "12345");
    QCOMPARE(Field(field), QString("1234"));
    QCOMPARE(Q(window_->State().Text2(field)), QString("1234"));
    Type(field, QString::fromUtf8("абвгд"));
    QCOMPARE(Field(field), QString::fromUtf8("абвг"));
    // Pasting a long text keeps only four characters too.
    QApplication::clipboard()->setText("98765");
    window_->Text2(field)->selectAll();
    QTest::keySequence(window_->Text2(field), QKeySequence::Paste);
    QCOMPARE(Field(field), QString("9876"));
    QCOMPARE(Q(window_->State().Text2(field)), QString("9876"));
}

void TestZelvaneForm::resultFieldsAreReadOnly_data() {
    QTest::addColumn<int>("field");
    QTest::newRow("expansion") << int(kExpansion);
    QTest::newRow("sum") << int(kSum);
}

void TestZelvaneForm::resultFieldsAreReadOnly() {
    QFETCH(int, field);
    Type(kNumerator, "7");
    Type(kDenominator, "13");
    Click(kCalculateButton);
    const QString before = Field(field);
    Type(field, "42");
    QTest::keyClick(window_->Text2(field), Qt::Key_Backspace);
    QCOMPARE(Field(field), before);
    QVERIFY(window_->Text2(field)->isReadOnly());
}

void TestZelvaneForm::addPartsUnavailableAtStartAndAfterClear() {
    QPushButton* addParts = window_->Command1(kAddPartsButton);
    QVERIFY(!addParts->isEnabled());
    Type(kLeftGroup, "538");
    Type(kRightGroup, "461");
    Click(kAddPartsButton);
    QCOMPARE(Field(kSum), QString());

    Type(kDenominator, "2");  // below 3: Calculate does nothing
    Click(kCalculateButton);
    QVERIFY(!addParts->isEnabled());
    QCOMPARE(Field(kExpansion), QString());

    Type(kDenominator, "3");
    Click(kCalculateButton);
    QVERIFY(addParts->isEnabled());
    Click(kClearButton);
    QVERIFY(!addParts->isEnabled());
    QVERIFY(window_->Command1(kCalculateButton)->isEnabled());
    QVERIFY(window_->Command1(kClearButton)->isEnabled());
}

void TestZelvaneForm::failedActionLeavesWindowAsItWas() {
    Type(kNumerator, "7");
    Type(kDenominator, "13");
    Click(kCalculateButton);
    Type(kNumerator, "-7");
    Type(kDenominator, "3");
    Click(kCalculateButton);  // the remainder would leave 32 bits: abandoned
    QCOMPARE(Field(kExpansion), QString("0.05384615384615384"));
    QCOMPARE(Field(kSum), QString("999"));
    QCOMPARE(Field(kNumerator), QString("-7"));
    QVERIFY(window_->Command1(kAddPartsButton)->isEnabled());
}

void TestZelvaneForm::tabOrder() {
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(window_->TaskText()));
    const auto walk = [this](const QList<QWidget*>& expected) {
        window_->TaskText()->setFocus();
        for (QWidget* next : expected) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
    };
    QList<QWidget*> order{window_->Text2(kDenominator), window_->Text2(kExpansion), window_->Text2(kLeftGroup),
                          window_->Text2(kRightGroup),  window_->Text2(kSum),       window_->Command1(0)};
    // Add parts is skipped while unavailable.
    walk(order + QList<QWidget*>{window_->Command1(2), window_->Text2(kNumerator), window_->TaskText()});

    Type(kDenominator, "13");
    Click(kCalculateButton);
    walk(order + QList<QWidget*>{window_->Command1(1), window_->Command1(2), window_->Text2(kNumerator)});
}

void TestZelvaneForm::labelsAnnounceTheirFields_data() {
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("name");
    QTest::newRow("numerator") << int(kNumerator) << QString::fromUtf8("Числител");
    QTest::newRow("denominator") << int(kDenominator) << QString::fromUtf8("Знаменател");
    QTest::newRow("expansion") << int(kExpansion) << QString::fromUtf8("Дестична дроб");
    QTest::newRow("left group") << int(kLeftGroup) << QString::fromUtf8("Лява група");
    QTest::newRow("right group") << int(kRightGroup) << QString::fromUtf8("Дясна група");
    QTest::newRow("sum") << int(kSum) << QString::fromUtf8("Сума");
}

void TestZelvaneForm::labelsAnnounceTheirFields() {
    QFETCH(int, field);
    QFETCH(QString, name);
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(window_->Text2(field));
    QVERIFY(iface);
    QCOMPARE(iface->text(QAccessible::Name), name);
}

void TestZelvaneForm::buttonsNamedByTheirCaptions() {
    for (int i = 0; i < kCommand1Count; ++i) {
        QCOMPARE(QAccessible::queryAccessibleInterface(window_->Command1(i))->text(QAccessible::Name),
                 Utf8(std::string(form::kCommand1[i].caption)));
    }
}

void TestZelvaneForm::geometry_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QRect>("twips");  // left, top, width, height
    const QList<std::pair<const char*, QRect>> places{
        {"Label1_0", {1800, 0, 3495, 375}},    {"Label1_1", {1440, 1080, 495, 375}},
        {"Label1_2", {3360, 720, 2655, 375}},  {"Label1_3", {1920, 1560, 1335, 375}},
        {"Label1_4", {3360, 1560, 1335, 375}}, {"Label1_5", {4800, 1560, 1215, 375}},
        {"Label1_6", {120, 720, 1335, 375}},   {"Label1_7", {1920, 720, 1335, 375}},
        {"Text2_0", {1920, 1050, 1335, 405}},  {"Text2_1", {3360, 1080, 2655, 405}},
        {"Text2_2", {1920, 1920, 1335, 405}},  {"Text2_3", {3360, 1920, 1335, 405}},
        {"Text2_4", {4800, 1920, 1215, 405}},  {"Text2_5", {120, 1080, 1335, 405}},
        {"Command1_0", {6000, 240, 1095, 375}}, {"Command1_1", {120, 1680, 1695, 495}},
        {"Command1_2", {120, 240, 1095, 375}},  {"Text1_0", {120, 2520, 6975, 2535}},
    };
    for (const auto& [name, rect] : places) {
        QTest::newRow(name) << QString(name) << rect;
    }
}

void TestZelvaneForm::geometry() {
    QFETCH(QString, control);
    QFETCH(QRect, twips);
    auto* widget = window_->findChild<QWidget*>(control);
    QVERIFY(widget);
    QCOMPARE(widget->geometry(), QRect(twips.x() / 15, twips.y() / 15, twips.width() / 15, twips.height() / 15));
    QVERIFY(widget->isVisible());
    // At 200 %, every place and the font are twice as large.
    window_->SetZoom(200);
    QCOMPARE(widget->geometry(), QRect(twips.x() / 15 * 2, twips.y() / 15 * 2, twips.width() / 15 * 2, twips.height() / 15 * 2));
    QCOMPARE(widget->font().pointSizeF(), 24.0);
    QCOMPARE(window_->size(), QSize(7215 / 15 * 2, 5160 / 15 * 2));
}

// Ctrl with Plus (or =), Minus, 0 and the wheel zoom the worksheet in its
// steps, from 100 % to 300 %; the explain view zooms on its own.
void TestZelvaneForm::zoomKeys() {
    const auto press = [this](QWidget* target, QKeySequence keys) { QTest::keySequence(target, keys); };
    QWidget* field = window_->Text2(kNumerator);
    press(field, QKeySequence(Qt::CTRL | Qt::Key_Plus));
    QCOMPARE(window_->Zoom(), 125);
    press(field, QKeySequence(Qt::CTRL | Qt::Key_Equal));
    QCOMPARE(window_->Zoom(), 150);
    press(field, QKeySequence(Qt::CTRL | Qt::Key_Minus));
    QCOMPARE(window_->Zoom(), 125);
    for (int i = 0; i < 9; ++i) {
        press(field, QKeySequence(Qt::CTRL | Qt::Key_Plus));
    }
    QCOMPARE(window_->Zoom(), 300);
    press(field, QKeySequence(Qt::CTRL | Qt::Key_0));
    QCOMPARE(window_->Zoom(), 100);
    QWheelEvent up(QPointF(5, 5), window_->TaskText()->mapToGlobal(QPointF(5, 5)), {}, QPoint(0, 120), Qt::NoButton,
                   Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(window_->TaskText()->viewport(), &up);
    QCOMPARE(window_->Zoom(), 125);
    QCOMPARE(window_->TaskText()->font().pointSizeF(), 15.0);

    QTest::keyClick(field, Qt::Key_F1);
    ExplainView* view = window_->Explanation();
    QApplication::setActiveWindow(view);  // as the desktop does for the window a pupil types in
    const double points = view->TextView()->font().pointSizeF();
    press(view->TextView(), QKeySequence(Qt::CTRL | Qt::Key_Plus));
    QCOMPARE(view->Zoom(), 125);
    QCOMPARE(view->TextView()->font().pointSizeF(), points * 1.25);
    QCOMPARE(window_->Zoom(), 125);
}

void TestZelvaneForm::fixedFrame() {
    QCOMPARE(window_->size(), QSize(7215 / 15, 5160 / 15));
    QCOMPARE(window_->minimumSize(), window_->maximumSize());
    QVERIFY(!(window_->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(window_->windowFlags() & Qt::WindowMinimizeButtonHint);
}

void TestZelvaneForm::captionsColoursAndFont() {
    for (int i = 0; i < 8; ++i) {
        QLabel* label = window_->Label1(i);
        QCOMPARE(label->text(), Utf8(std::string(form::kLabel1[i].caption)));
        QVERIFY(label->alignment() & Qt::AlignHCenter);
        QCOMPARE(label->palette().color(QPalette::Window), QColor(255, 192, 128));
        QVERIFY(label->autoFillBackground());
    }
    QCOMPARE(window_->Label1(0)->text(), QString::fromUtf8("Информатика -  зелване"));
    const QColor buttonColours[] = {QColor(0, 255, 0), QColor(0, 192, 0), QColor(255, 0, 0)};
    for (int i = 0; i < kCommand1Count; ++i) {
        QCOMPARE(window_->Command1(i)->text(), Utf8(std::string(form::kCommand1[i].caption)));
        if (i != kAddPartsButton) {
            QCOMPARE(static_cast<FlatButton*>(window_->Command1(i))->FaceColour(), buttonColours[i]);
        }
    }
    // Unavailable, Add parts is painted grey rather than green.
    QCOMPARE(static_cast<FlatButton*>(window_->Command1(kAddPartsButton))->FaceColour().saturation(), 0);
    QCOMPARE(window_->palette().color(QPalette::Window), QColor(192, 192, 255));
    QCOMPARE(window_->font().family(), QString("Times New Roman"));
    QCOMPARE(window_->font().pointSize(), 12);
    QCOMPARE(window_->font().weight(), QFont::Normal);
    QCOMPARE(window_->Text2(kExpansion)->font(), window_->font());
}

void TestZelvaneForm::helpTexts() {
    const QString taskText = Utf8(std::string(form::kText1[form::kTaskText].text));
    const QString quotation = Utf8(std::string(form::kText1[form::kQuotation].text));
    QCOMPARE(taskText.count(QStringLiteral("\r\n")), 9);
    QVERIFY(taskText.endsWith(QStringLiteral(u"тяхната сума. \r\n")));
    QVERIFY(taskText.contains(QStringLiteral("\r\n1/13 = 0.076923077 769 + 230 = 999\r\n")));
    QVERIFY(taskText.contains(QStringLiteral("\r\n1/7 = 0.142857143  142 + 857 = 999\r\n")));
    QCOMPARE(quotation.count(QStringLiteral("\r\n")), 3);
    QVERIFY(quotation.startsWith(QStringLiteral(u"Неприятното в това да си първият, направил нещо по \r\n")));

    QPlainTextEdit* task = window_->TaskText();
    QString shown = taskText;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QCOMPARE(task->toPlainText(), shown);
    QVERIFY(task->isReadOnly());
    QCOMPARE(task->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    // The quotation would cover the task text; it is offered as its tooltip.
    QVERIFY(!window_->findChild<QPlainTextEdit*>("Text1_1"));
    QVERIFY(task->toolTip().startsWith(QStringLiteral(u"Неприятното")));
    QVERIFY(task->toolTip().endsWith(QStringLiteral(u"било.")));
}

void TestZelvaneForm::windowCaption() {
    QCOMPARE(window_->windowTitle(), QString::fromUtf8("Информатика - брой знаци при делене"));
    QCOMPARE(QString::fromUtf8(form::Caption("https://example.org")),
             QString::fromUtf8("https://example.org Информатика - брой знаци при делене"));
}

void TestZelvaneForm::buttonsPaintedFlatInTheirColours_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("calculated");
    QTest::addColumn<QColor>("face");
    QTest::newRow("Изчисли") << 0 << false << QColor(0, 255, 0);
    QTest::newRow("Събери части unavailable") << 1 << false << QColor(192, 192, 192);
    QTest::newRow("Събери части available") << 1 << true << QColor(0, 192, 0);
    QTest::newRow("Изчисти") << 2 << false << QColor(255, 0, 0);
}

void TestZelvaneForm::buttonsPaintedFlatInTheirColours() {
    QFETCH(int, button);
    QFETCH(bool, calculated);
    QFETCH(QColor, face);
    if (calculated) {
        Type(kDenominator, "13");
        Click(kCalculateButton);
    }
    QPushButton* widget = window_->Command1(button);
    const QImage image = widget->grab().toImage();
    const int w = image.width();
    const int h = image.height();
    // Flat: the same colour near every corner and at both ends of the
    // middle row, inside the one-pixel bevel and clear of the caption.
    for (const QPoint& p : {QPoint(2, 2), QPoint(w - 3, 2), QPoint(2, h - 3), QPoint(w - 3, h - 3), QPoint(4, h / 2),
                            QPoint(w - 5, h / 2)}) {
        QCOMPARE(image.pixelColor(p), face);
    }
    // The caption is drawn in black (grey while unavailable): the darkest
    // pixel of the face is the text colour.
    int darkest = 255;
    for (int y = 2; y < h - 2; ++y) {
        for (int x = 2; x < w - 2; ++x) {
            darkest = std::min(darkest, qGray(image.pixel(x, y)));
        }
    }
    QCOMPARE(darkest, widget->isEnabled() ? 0 : 128);
}

void TestZelvaneForm::contextMenuSpeaksBulgarian() {
    QVERIFY(InstallQtTranslation(*QCoreApplication::instance()));
    std::unique_ptr<QMenu> menu(window_->Text2(kNumerator)->createStandardContextMenu());
    QStringList texts;
    for (QAction* action : menu->actions()) {
        if (!action->isSeparator()) {
            texts << action->text().remove(QLatin1Char('&')).section(QLatin1Char('\t'), 0, 0);
        }
    }
    QCOMPARE(texts.size(), 7);
    for (const char* english : {"Undo", "Redo", "Cut", "Copy", "Paste", "Delete", "Select All"}) {
        QVERIFY2(!texts.contains(english), qPrintable(texts.join(", ")));
    }
    for (const QString& text : texts) {
        QVERIFY2(text.contains(QRegularExpression(QStringLiteral("^[\\x{0400}-\\x{04FF} ]+$"))),
                 qPrintable(texts.join(", ")));
    }
}

void TestZelvaneForm::enterClicksTheButton_data() {
    QTest::addColumn<int>("field");
    QTest::addColumn<bool>("calculatedFirst");
    QTest::addColumn<QString>("expansion");
    QTest::addColumn<QString>("sum");
    QTest::newRow("numerator calculates") << int(kNumerator) << false << "0.05384615384615384" << "999";
    QTest::newRow("denominator calculates") << int(kDenominator) << false << "0.05384615384615384" << "999";
    QTest::newRow("left group adds") << int(kLeftGroup) << true << "0.05384615384615384" << "1000";
    QTest::newRow("right group adds") << int(kRightGroup) << true << "0.05384615384615384" << "1000";
    QTest::newRow("left group, Add parts unavailable") << int(kLeftGroup) << false << "" << "";
    QTest::newRow("right group, Add parts unavailable") << int(kRightGroup) << false << "" << "";
}

void TestZelvaneForm::enterClicksTheButton() {
    QFETCH(int, field);
    QFETCH(bool, calculatedFirst);
    QFETCH(QString, expansion);
    QFETCH(QString, sum);
    Type(kNumerator, "7");
    Type(kDenominator, "13");
    if (calculatedFirst) {
        Click(kCalculateButton);
    }
    Type(kLeftGroup, "100");
    Type(kRightGroup, "900");
    QSignalSpy clicks(window_->Command1(field == kNumerator || field == kDenominator ? kCalculateButton
                                                                                    : kAddPartsButton),
                      &QPushButton::clicked);
    QTest::keyClick(window_->Text2(field), Qt::Key_Return);
    QCOMPARE(Field(kExpansion), expansion);
    QCOMPARE(Field(kSum), sum);
    QCOMPARE(clicks.count(), expansion.isEmpty() ? 0 : 1);
}

void TestZelvaneForm::enterOnAFocusedButton_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("expansion");
    QTest::addColumn<QString>("sum");
    QTest::newRow("Изчисли") << int(kCalculateButton) << "0.05384615384615384" << "999";
    QTest::newRow("Събери части") << int(kAddPartsButton) << "0.05384615384615384" << "1000";
    QTest::newRow("Изчисти") << int(kClearButton) << "" << "";
}

// A button with the keyboard focus is clicked by Enter, as by Space.
void TestZelvaneForm::enterOnAFocusedButton() {
    QFETCH(int, button);
    QFETCH(QString, expansion);
    QFETCH(QString, sum);
    Type(kNumerator, "7");
    Type(kDenominator, "13");
    if (button == kAddPartsButton) {
        Click(kCalculateButton);
        Type(kLeftGroup, "100");
        Type(kRightGroup, "900");
    }
    window_->Command1(button)->setFocus();
    QTest::keyClick(window_->Command1(button), Qt::Key_Return);
    CheckFieldsShowTheCore();
    QCOMPARE(Field(kExpansion), expansion);
    QCOMPARE(Field(kSum), sum);
}

void TestZelvaneForm::pastesAndKeys_data() {
    AddRows("paste.tsv", {"field", "before", "how", "input", "shown", "other", "result"});
}

// The shared table of pastes and keys, through the real clipboard and keys.
void TestZelvaneForm::pastesAndKeys() {
    QFETCH(QString, field);
    QFETCH(QString, before);
    QFETCH(QString, how);
    QFETCH(QString, input);
    QFETCH(QString, shown);
    QFETCH(QString, other);
    QFETCH(QString, result);
    const QMap<QString, std::pair<int, int>> pairs{{"numerator", {kNumerator, kDenominator}},
                                                   {"denominator", {kDenominator, kNumerator}},
                                                   {"left", {kLeftGroup, kRightGroup}},
                                                   {"right", {kRightGroup, kLeftGroup}}};
    QVERIFY(pairs.contains(field));
    const auto [index, partner] = pairs[field];
    const bool groups = index == kLeftGroup || index == kRightGroup;
    if (groups) {
        Type(kNumerator, "7");
        Type(kDenominator, "13");
        Click(kCalculateButton);
    }
    Type(index, before);
    if (how == "paste") {
        Paste(index, input);
    } else {
        Keys(window_->Text2(index), input);
    }
    QCOMPARE(Field(index), shown);
    Type(partner, other);
    Click(groups ? kAddPartsButton : kCalculateButton);
    if (groups) {
        QCOMPARE(Field(kSum), result == cases::kUnchanged ? QString("999") : result);
    } else {
        QCOMPARE(Field(kExpansion), result == cases::kUnchanged ? QString() : result);
    }
}

void TestZelvaneForm::taskTextNamedForScreenReaders() {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(window_->TaskText());
    QVERIFY(iface);
    QCOMPARE(iface->text(QAccessible::Name), QString::fromUtf8("Условие на задачата"));
    const QString description = iface->text(QAccessible::Description);
    QVERIFY(description.startsWith(QStringLiteral(u"Неприятното в това да си първият")));
    QVERIFY(description.endsWith(QStringLiteral(u"било.")));
}

void TestZelvaneForm::explanation_data() {
    AddRows("explain.tsv", {"numerator", "denominator", "click", "notation"}, TooLongToType);
}

// F1 opens the explanation of the fraction just calculated: the core's
// document as it is, named for screen readers; the worksheet is unchanged.
void TestZelvaneForm::explanation() {
    QFETCH(QString, numerator);
    QFETCH(QString, denominator);
    QFETCH(QString, click);
    QFETCH(QString, notation);
    if (click != "calculates") {
        QSKIP("the worksheet abandons this fraction");
    }
    Type(kNumerator, numerator);
    Type(kDenominator, denominator);
    Click(kCalculateButton);
    QStringList before;
    for (int i = 0; i < kText2Count; ++i) {
        before << Field(i);
    }
    QTest::keyClick(window_->Text2(kNumerator), Qt::Key_F1);
    ExplainView* view = window_->Explanation();
    QVERIFY(view && view->isVisible());
    const explain::Document document = explain::Explain(window_->State());
    QCOMPARE(view->TextView()->toPlainText(),
             QString::fromStdString(explain::PlainText(document, nullptr, {.raised = true, .apart = true})));
    QVERIFY(view->TextView()->toPlainText().contains(notation));
    QCOMPARE(view->Notation()->isVisible(), document.lead > 0);
    QCOMPARE(view->windowTitle(), QString::fromStdString(document.title));
    QCOMPARE(QAccessible::queryAccessibleInterface(view->TextView())->text(QAccessible::Name),
             Utf8(std::string(form::kExplanationName)));
    QStringList after;
    for (int i = 0; i < kText2Count; ++i) {
        after << Field(i);
    }
    QCOMPARE(after, before);
    QCOMPARE(window_->size(), QSize(7215 / 15, 5160 / 15));
}

// The expansion field's context menu keeps its standard items and gains one
// that opens the explanation; its tooltip says what F1 does.
void TestZelvaneForm::explanationFromTheMenu() {
    QLineEdit* expansion = window_->Text2(kExpansion);
    QVERIFY(expansion->toolTip().startsWith("F1"));
    QStringList items;
    QTimer::singleShot(0, [&items] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu);
        for (QAction* action : menu->actions()) {
            if (!action->isSeparator()) {
                items << action->text();
            }
        }
        menu->actions().last()->trigger();
        menu->close();
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), expansion->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(expansion, &event);
    std::unique_ptr<QMenu> menu(expansion->createStandardContextMenu());
    QStringList standard;
    for (QAction* action : menu->actions()) {
        if (!action->isSeparator()) {
            standard << action->text();
        }
    }
    QCOMPARE(items, standard + QStringList{Utf8(std::string(form::kExplainCommand))});
    QVERIFY(window_->Explanation() && window_->Explanation()->isVisible());
}

// Opened before any calculation, the view asks for one; each new Calculate
// updates it; F1 again keeps the pupil's place; Ctrl+C copies the whole
// text; Esc closes it.
void TestZelvaneForm::explanationFollowsCopiesAndCloses() {
    QTest::keyClick(window_->TaskText(), Qt::Key_F1);
    ExplainView* view = window_->Explanation();
    QVERIFY(view);
    const auto shown = [view] { return view->TextView()->toPlainText(); };
    QCOMPARE(shown(), QString::fromStdString(explain::PlainText(explain::Explain(FormState{}), nullptr, {.apart = true})));
    Type(kNumerator, "1");
    Type(kDenominator, "17");
    Click(kCalculateButton);
    QVERIFY(shown().contains(QStringLiteral("0,(0588235294117647)")));
    // F1 again brings the open view forward, minimised or not, where the
    // pupil left it.
    view->TextView()->moveCursor(QTextCursor::End);
    const int place = view->TextView()->textCursor().position();
    view->setWindowState(Qt::WindowMinimized);
    QTest::keyClick(window_->Text2(kNumerator), Qt::Key_F1);
    QCOMPARE(view->TextView()->textCursor().position(), place);
    QVERIFY(!view->isMinimized());
    const QString whole = QString::fromStdString(explain::PlainText(explain::Explain(window_->State())));
    QTest::keySequence(view->TextView(), QKeySequence::Copy);
    QCOMPARE(QApplication::clipboard()->text(), whole);
    QApplication::clipboard()->clear();
    QTest::keySequence(view->Figure(), QKeySequence::Copy);
    QCOMPARE(QApplication::clipboard()->text(), whole);
    QTest::keyClick(view->Figure(), Qt::Key_Escape);
    QVERIFY(!view->isVisible());
    QTest::keyClick(window_->Text2(kNumerator), Qt::Key_F1);
    QTest::keyClick(view->TextView(), Qt::Key_Escape);
    QVERIFY(!view->isVisible());
    Click(kClearButton);  // a closed view is left alone
    QVERIFY(!view->isVisible());
}

void TestZelvaneForm::printsToPdf_data() {
    QTest::addColumn<QString>("denominator");
    QTest::addColumn<bool>("allSteps");
    QTest::addColumn<int>("maxPages");
    QTest::newRow("1/7 whole") << "7" << true << 3;
    QTest::newRow("1/9967 its first steps") << "9967" << false << 12;
}

// The explanation printed to a PDF file, read back: its text, its pages, and
// the figure drawn on the first page where the lead puts it.
void TestZelvaneForm::printsToPdf() {
    QFETCH(QString, denominator);
    QFETCH(bool, allSteps);
    QFETCH(int, maxPages);
    Type(kNumerator, "1");
    Type(kDenominator, denominator);
    Click(kCalculateButton);
    QTest::keyClick(window_->Text2(kNumerator), Qt::Key_F1);
    ExplainView* view = window_->Explanation();
    QTemporaryDir dir;
    const QString pdf = dir.filePath("explanation.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    printer.setPageSize(QPageSize(QPageSize::A4));
    view->Print(printer, allSteps);
    const auto run = [](const QString& program, const QStringList& arguments) {
        QProcess process;
        process.start(program, arguments);
        const bool ran = process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit &&
                         process.exitCode() == 0;
        return ran ? std::optional<QString>(QString::fromUtf8(process.readAllStandardOutput())) : std::nullopt;
    };
    const QString text = run("pdftotext", {"-layout", pdf, "-"}).value_or(QString());
    const explain::Document& doc = view->Shown();
    QVERIFY(text.contains(QString::fromStdString(doc.title)));
    QVERIFY(text.contains(QString::fromStdString(doc.blocks.front().text)));  // the lead's notation
    QVERIFY(text.contains(QString::fromStdString(explain::StepText(doc, 0))));
    const QString rest = QString::fromStdString(explain::UnprintedSteps(doc, explain::kPrintedSteps));
    QCOMPARE(!rest.isEmpty() && text.contains(rest.left(20)), !allSteps);
    const QString info = run("pdfinfo", {pdf}).value_or(QString());
    const int pages = QRegularExpression("Pages:\\s+(\\d+)").match(info).captured(1).toInt();
    QVERIFY2(pages >= 1 && pages <= maxPages, qPrintable(info));
    // The first page at 40 dpi: its upper half, where the figure stands, has ink in it.
    QVERIFY(run("pdftoppm", {"-r", "40", "-f", "1", "-l", "1", "-png", pdf, dir.filePath("page")}));
    QImage page(dir.filePath("page-1.png"));
    if (page.isNull()) {
        page.load(dir.filePath("page-01.png"));
    }
    QVERIFY(!page.isNull());
    int ink = 0;
    for (int y = page.height() / 8; y < page.height() / 2; ++y) {
        for (int x = page.width() / 8; x < page.width() / 2; ++x) {
            ink += qGray(page.pixel(x, y)) < 160;
        }
    }
    QVERIFY2(ink > 200, qPrintable(QString::number(ink)));
}

void TestZelvaneForm::wheelLinkedToTheSteps_data() { AddRows("wheel.tsv", {"numerator", "denominator"}); }

// The wheel is drawn where its instructions say; a step selected in the
// list rings its remainder and marks its digit and notebook lines; a click
// on a remainder, a caret on a notebook line and the arrow keys select.
void TestZelvaneForm::wheelLinkedToTheSteps() {
    QFETCH(QString, numerator);
    QFETCH(QString, denominator);
    Type(kNumerator, numerator);
    Type(kDenominator, denominator);
    Click(kCalculateButton);
    QTest::keyClick(window_->Text2(kNumerator), Qt::Key_F1);
    ExplainView* view = window_->Explanation();
    QVERIFY(view && view->isVisible());
    const explain::Document& doc = view->Shown();
    const explain::Figure& figure = doc.figures[view->Figure()->FigureIndex()];
    // The ring's first remainder, or a finite decimal's first.
    const std::size_t first = doc.facts.kind == explain::Kind::kTerminating ? 0 : doc.facts.prePeriod;
    auto pixel = [view](explain::Point at, double dx) {
        const QPointF p = view->Figure()->ToWidget({at.x + dx, at.y});
        return view->Figure()->grab().toImage().pixelColor(p.toPoint());
    };
    auto is = [](const QColor& c, explain::Ink ink) {
        const explain::Rgb rgb = explain::Colour(ink);
        return std::abs(c.red() - rgb.red) + std::abs(c.green() - rgb.green) + std::abs(c.blue() - rgb.blue) < 90;
    };
    if (doc.facts.period <= 720) {  // longer rings have no mark at every place
        QVERIFY(is(pixel(figure.remainderAt[first], 0), explain::Ink::kRemainder));
    }

    // List to wheel, notation and notebook.
    view->StepList()->setCurrentIndex(view->StepList()->model()->index(static_cast<int>(first), 0));
    QCOMPARE(view->SelectedStep(), first);
    QVERIFY(is(pixel(figure.remainderAt[first], 7), explain::Ink::kSelection));
    QVERIFY(view->Notation()->text().contains("<span"));
    bool marked = false;
    for (const QTextEdit::ExtraSelection& mark : view->TextView()->extraSelections()) {
        marked = marked || mark.cursor.block().text().trimmed() ==
                               QString::number(doc.steps[first].remainder * doc.facts.common * 10);
    }
    QVERIFY(marked || doc.steps[first].digit == 0);

    // Wheel to list: a click on the last remainder (on a long ring, a
    // pixel holds several places: the one the figure finds there).
    const std::size_t last = doc.steps.size() - (doc.steps.back().repeats ? 2 : 1);
    const QPoint click = view->Figure()->ToWidget(figure.remainderAt[last]).toPoint();
    QTest::mouseClick(view->Figure(), Qt::LeftButton, {}, click);
    const std::size_t clicked = explain::StepAt(figure, view->Figure()->ToFigure(click));
    QVERIFY(doc.facts.period > 720 || clicked == last);
    QCOMPARE(view->StepList()->currentIndex().row(), static_cast<int>(clicked));
    QTest::keyClick(view->Figure(), Qt::Key_Home);
    QCOMPARE(view->SelectedStep(), std::size_t{0});
    QTest::keyClick(view->Figure(), Qt::Key_Right);
    QCOMPARE(view->StepList()->currentIndex().row(), 1);

    // The notebook: its lines are in the text, and a caret on one selects its step.
    const auto notebook = std::find_if(doc.blocks.begin(), doc.blocks.end(),
                                       [](const explain::Block& b) { return b.kind == explain::BlockKind::kNotebook; });
    QVERIFY(notebook != doc.blocks.end());
    const QString text = view->TextView()->toPlainText();
    const qsizetype at = text.indexOf(QString::fromStdString(notebook->lines.front()));
    QVERIFY(at >= 0);
    const std::size_t line = static_cast<std::size_t>(
        std::find_if(notebook->lineSteps.begin(), notebook->lineSteps.end(),
                     [](std::size_t step) { return step != explain::kNoStep && step > 0; }) -
        notebook->lineSteps.begin());
    QTextBlock block = view->TextView()->document()->findBlock(static_cast<int>(at));
    for (std::size_t i = 0; i < line; ++i) {
        block = block.next();
    }
    view->TextView()->setTextCursor(QTextCursor(block));
    QCOMPARE(view->SelectedStep(), notebook->lineSteps[line]);
    QCOMPARE(view->Figure()->isVisible(), true);
    QTest::keyClick(view->StepList(), Qt::Key_Escape);
    QVERIFY(!view->isVisible());
}

QTEST_MAIN(TestZelvaneForm)
#include "tst_zelvane_form.moc"
