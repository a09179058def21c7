// Small helpers shared by the tests: field texts are UTF-32 in the core and
// QString in Qt Test's messages.
#pragma once

#include <QString>
#include <QTest>
#include <string>

#include "case_table.h"
#include "form_state.h"

inline QString Q(const std::u32string& text) { return QString::fromStdU32String(text); }
inline std::u32string U(const QString& text) { return text.toStdU32String(); }
inline QString Utf8(const std::string& text) { return QString::fromStdString(text); }

// One of the shared tables of cases that every front end's tests run.
inline cases::CaseTable LoadCases(const char* file) {
    return cases::CaseTable::Load(std::string(ZELVANE_CASES_DIR) + "/" + file);
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
    return QTest::toString(QString::fromStdU32String(text));
}
}  // namespace QTest
