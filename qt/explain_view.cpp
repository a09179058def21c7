#include "explain_view.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QVBoxLayout>

#include "qt_description.h"

namespace zelvane {

ExplainView::ExplainView(QWidget* parent) : QWidget(parent, Qt::Window), text_(new QPlainTextEdit(this)) {
    setObjectName(QStringLiteral("ExplainView"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(text_);
    text_->setObjectName(QStringLiteral("ExplanationText"));
    text_->setReadOnly(true);
    text_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    text_->setAccessibleName(Utf8(form::kExplanationName));
    text_->document()->setDocumentMargin(12);
    text_->installEventFilter(this);
    // A page's width of text; the pupil may make it as large as they like.
    resize(720, 560);
}

void ExplainView::Show(const explain::Document& document) {
    std::vector<explain::TextRange> ranges;
    plain_ = QString::fromStdString(explain::PlainText(document, &ranges));
    setWindowTitle(QString::fromStdString(document.title));
    text_->setPlainText(plain_);

    // The parts that are more than paragraphs: the title and headings in
    // bold, formulas a little larger, preformatted lines in a fixed-pitch
    // font so that the digit groups stand in columns.
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    QTextCharFormat title = bold;
    title.setFontPointSize(font().pointSizeF() * 1.25);
    QTextCharFormat notation;
    notation.setFontPointSize(font().pointSizeF() * 1.15);
    QTextCharFormat fixed;
    fixed.setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont), QTextCharFormat::FontPropertiesSpecifiedOnly);
    QTextCursor cursor(text_->document());
    for (const explain::TextRange& range : ranges) {
        const QTextCharFormat* format = range.title                                      ? &title
                                        : range.kind == explain::BlockKind::kHeading  ? &bold
                                        : range.kind == explain::BlockKind::kNotation ? &notation
                                        : range.kind == explain::BlockKind::kLines    ? &fixed
                                                                                      : nullptr;
        if (format) {
            cursor.setPosition(static_cast<int>(range.from));
            cursor.setPosition(static_cast<int>(range.to), QTextCursor::KeepAnchor);
            cursor.mergeCharFormat(*format);
        }
    }
    text_->moveCursor(QTextCursor::Start);
}

// Esc closes the view; Ctrl+C with nothing selected copies the whole
// explanation as plain text.
bool ExplainView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == text_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
            close();
            return true;
        }
        if (key->matches(QKeySequence::Copy) && !text_->textCursor().hasSelection()) {
            QApplication::clipboard()->setText(plain_);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace zelvane
