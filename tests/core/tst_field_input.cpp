// The field rule on its own: the shared table of pastes and keys through
// both ways a front end applies it (before an insertion, as the web page
// does with a paste, and after an edit, as every front end does), and the
// UTF-16 conversions at the toolkits' edge.
#include <QtTest>

#include "field_input.h"
#include "form_description.h"
#include "test_support.h"

using namespace zelvane;

namespace {

std::u16string Units(const QString& text) { return text.toStdU16String(); }

std::size_t MaxLength(const QString& field) {
    const int index = field == "numerator" ? kNumerator : field == "denominator" ? kDenominator : kLeftGroup;
    return static_cast<std::size_t>(form::kText2[static_cast<std::size_t>(index)].maxLength);
}

}  // namespace

class TestFieldInput : public QObject {
    Q_OBJECT

private slots:
    void pastesAndKeys_data() { AddRows("paste.tsv", {"field", "before", "input", "shown"}); }
    void pastesAndKeys();
    void editAtTheCaret_data();
    void editAtTheCaret();
    void utf16_data();
    void utf16();
    void aGroupKeepsWhatAWindowsEditBoxKeeps();
};

void TestFieldInput::pastesAndKeys() {
    QFETCH(QString, field);
    QFETCH(QString, before);
    QFETCH(QString, input);
    QFETCH(QString, shown);
    const std::u32string kept = FromUtf16(Units(before));
    const std::size_t end = Units(before).size();
    // Before the insertion: the part kept goes in at the caret.
    const std::u16string inserted = KeptInsertion(kept, end, end, Units(input), MaxLength(field));
    QCOMPARE(QUnits(Units(before) + inserted), shown);
    // After it: the toolkit inserted everything, the rule takes back the rest.
    const std::u16string raw = Units(before + input);
    const FieldEdit edit = KeepOfEdit(kept, raw, raw.size(), MaxLength(field));
    QCOMPARE(Q(edit.text), shown);
    QCOMPARE(edit.caret, static_cast<std::size_t>(shown.size()));
    // A front end keeps the core and the field alike.
    FormState form;
    form.SetText2(kNumerator, kept);
    const FieldRewrite rewrite = EditText2(form, kNumerator, raw, raw.size(), MaxLength(field));
    QCOMPARE(rewrite.needed, shown != before + input);
    QCOMPARE(Q(form.Text2(kNumerator)), shown);
}

void TestFieldInput::editAtTheCaret_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("kept");
    QTest::addColumn<int>("keptCaret");
    // Which range changed is told by the caret, which ends the insertion.
    QTest::newRow("line end inserted after the 1") << "1" << "1\n1" << 3 << "1" << 1;
    QTest::newRow("the same inserted before the 1") << "1" << "1\n1" << 2 << "11" << 1;
    QTest::newRow("a fifth digit in the middle") << "1234" << "12534" << 3 << "1234" << 2;
    QTest::newRow("typing over a selection") << "1234" << "1254" << 3 << "1254" << 3;
    QTest::newRow("a deletion") << "1234" << "124" << 2 << "124" << 2;
    QTest::newRow("everything replaced by a paste") << "12" << "9876" << 4 << "9876" << 4;
}

void TestFieldInput::editAtTheCaret() {
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(int, caret);
    QFETCH(QString, kept);
    QFETCH(int, keptCaret);
    const FieldEdit edit = KeepOfEdit(U(before), Units(after), static_cast<std::size_t>(caret), 4);
    QCOMPARE(Q(edit.text), kept);
    QCOMPARE(edit.caret, static_cast<std::size_t>(keptCaret));
}

void TestFieldInput::utf16_data() {
    QTest::addColumn<QString>("units");
    QTest::addColumn<QString>("text");  // as the core holds it, and as it comes back
    const QString replacement(QChar(0xFFFD));
    QTest::newRow("Cyrillic") << QString::fromUtf8("Събери") << QString::fromUtf8("Събери");
    QTest::newRow("a surrogate pair") << QString::fromUtf8("7\U0001F600") << QString::fromUtf8("7\U0001F600");
    QTest::newRow("an unpaired high surrogate") << QString("12") + QChar(0xD83D) << "12" + replacement;
    QTest::newRow("an unpaired low surrogate first") << QChar(0xDC00) + QString("5") << replacement + "5";
    QTest::newRow("a low before a high") << QString(QChar(0xDC00)) + QChar(0xD83D) << replacement + replacement;
    QTest::newRow("a byte order mark stays") << QChar(0xFEFF) + QString("7") << QChar(0xFEFF) + QString("7");
}

void TestFieldInput::utf16() {
    QFETCH(QString, units);
    QFETCH(QString, text);
    const std::u32string core = FromUtf16(Units(units));
    QCOMPARE(QUnits(ToUtf16(core)), text);
    QCOMPARE(core.size(), static_cast<std::size_t>(text.toStdU32String().size()));
    QCOMPARE(ToUtf16(std::u32string(1, char32_t{0xD800})), std::u16string(1, u'\uFFFD'));
}

void TestFieldInput::aGroupKeepsWhatAWindowsEditBoxKeeps() {
    const std::u16string book(100000, u'7');
    const auto maxLength = static_cast<std::size_t>(form::kText2[kLeftGroup].maxLength);
    QCOMPARE(KeptInsertion(U"12", 2, 2, book, maxLength).size(), std::size_t{32765});
    QCOMPARE(KeepOfEdit(U"", book, book.size(), maxLength).text.size(), std::size_t{32767});
}

QTEST_APPLESS_MAIN(TestFieldInput)
#include "tst_field_input.moc"
