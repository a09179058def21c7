// The explain view: a window of its own beside the worksheet, showing the
// explanation of the fraction last calculated (the whole period, the long
// division, the nines). It shows the core's document as it is: the plain
// text, with the title and headings in bold and preformatted lines in a
// fixed-pitch font. Non-modal and resizable; Esc closes it; Ctrl+C with
// nothing selected copies the whole text.
#pragma once

#include <QWidget>

#include "explain.h"

class QPlainTextEdit;

namespace zelvane {

class ExplainView : public QWidget {
    Q_OBJECT

public:
    explicit ExplainView(QWidget* parent = nullptr);

    // Shows a document in place of the one shown.
    void Show(const explain::Document& document);

    QPlainTextEdit* TextView() const { return text_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPlainTextEdit* text_;
    QString plain_;
};

}  // namespace zelvane
