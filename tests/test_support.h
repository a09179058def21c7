// Small helpers shared by the tests: field texts are UTF-32 in the core and
// QString in Qt Test's messages.
#pragma once

#include <QString>
#include <QTest>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

#include "case_table.h"
#include "field_input.h"
#include "form_state.h"

// UTF-16 units as they are: QString::fromUtf16 would drop a leading U+FEFF
// as a byte order mark.
inline QString QUnits(std::u16string_view units) {
    return QString(reinterpret_cast<const QChar*>(units.data()), static_cast<qsizetype>(units.size()));
}
inline QString Q(const std::u32string& text) { return QUnits(zelvane::ToUtf16(text)); }
inline std::u32string U(const QString& text) { return zelvane::FromUtf16(text.toStdU16String()); }
inline QString Utf8(const std::string& text) { return QString::fromStdString(text); }

// One of the shared tables of cases that every front end's tests run.
inline cases::CaseTable LoadCases(const char* file) {
    return cases::CaseTable::Load(std::string(ZELVANE_CASES_DIR) + "/" + file);
}

// A cell of a shared table, its escapes resolved.
inline QString CellText(const cases::CaseTable& table, const cases::CaseTable::Row& row, const char* column) {
    return QUnits(cases::Unescaped(table.Cell(row, column)));
}

// The data of a test that runs a shared table: one QString column for each
// named column, and one row per case, named by its "case" cell. Rows for
// which `skip` holds are left out.
using RowFilter = std::function<bool(const cases::CaseTable&, const cases::CaseTable::Row&)>;
inline void AddRows(const char* file, std::initializer_list<const char*> columns, const RowFilter& skip = {}) {
    for (const char* column : columns) {
        QTest::addColumn<QString>(column);
    }
    const cases::CaseTable table = LoadCases(file);
    for (const cases::CaseTable::Row& row : table.rows) {
        if (skip && skip(table, row)) {
            continue;
        }
        QTestData& data = QTest::newRow(table.Cell(row, "case").c_str());
        for (const char* column : columns) {
            data << CellText(table, row, column);
        }
    }
}

// Rows whose inputs are longer than the four characters a window takes.
inline bool TooLongToType(const cases::CaseTable& table, const cases::CaseTable::Row& row) {
    return cases::CharacterCount(table.Cell(row, "numerator")) > 4 ||
           cases::CharacterCount(table.Cell(row, "denominator")) > 4;
}

// A form as the pupil leaves it before clicking: numerator and denominator typed.
inline zelvane::FormState TypedForm(const QString& numerator, const QString& denominator) {
    zelvane::FormState form;
    zelvane::OnFormLoad(form);
    form.SetText2(zelvane::kNumerator, U(numerator));
    form.SetText2(zelvane::kDenominator, U(denominator));
    return form;
}

namespace QTest {
template <>
inline char* toString(const std::u32string& text) {
    return QTest::toString(Q(text));
}
}  // namespace QTest
