#include "explain_view.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTextDocument>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTextBlock>
#include <QTextCursor>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "figure_painter.h"
#include "qt_description.h"

namespace zelvane {

using explain::BlockKind;
using explain::kNoStep;

// The step rows, made when the list shows them.
class StepModel : public QAbstractListModel {
public:
    explicit StepModel(QObject* parent) : QAbstractListModel(parent) {}
    void Show(const explain::Document* document) {
        beginResetModel();
        document_ = document;
        endResetModel();
    }
    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() || !document_ ? 0 : static_cast<int>(document_->steps.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole || !document_) {
            return {};
        }
        return QString::fromStdString(explain::StepText(*document_, static_cast<std::size_t>(index.row())));
    }

private:
    const explain::Document* document_ = nullptr;
};

namespace {

// A block's text as rich text: raised runs as <sup>, and the character at
// `mark` (UTF-16 units, or kNoStep) marked as the selected step's digit.
QString RichText(const explain::Block& block, std::size_t mark) {
    QString rich;
    std::size_t at = 0;
    std::size_t units = 0;
    auto piece = [&](std::size_t to, bool raised) {
        const QString text = QString::fromUtf8(block.text.data() + at, static_cast<qsizetype>(to - at));
        QString escaped;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QString c = QString(text.at(i)).toHtmlEscaped();
            const explain::Rgb ink = explain::Colour(explain::Ink::kSelection);
            escaped += units + static_cast<std::size_t>(i) == mark
                           ? QStringLiteral("<span style=\"background-color:#%1;color:#ffffff\">%2</span>")
                                 .arg((ink.red << 16) | (ink.green << 8) | ink.blue, 6, 16, QChar('0'))
                                 .arg(c)
                           : c;
        }
        units += static_cast<std::size_t>(text.size());
        rich += raised ? "<sup>" + escaped + "</sup>" : escaped;
        at = to;
    };
    for (const explain::Span& span : block.raised) {
        piece(span.from, false);
        piece(span.to, true);
    }
    piece(block.text.size(), false);
    return rich;
}

}  // namespace

ExplainView::ExplainView(QWidget* parent)
    : QWidget(parent, Qt::Window),
      lead_(new QWidget(this)),
      notation_(new QLabel(lead_)),
      switch_(new QWidget(lead_)),
      halves_(new QToolButton(switch_)),
      thirds_(new QToolButton(switch_)),
      print_(new QToolButton(lead_)),
      figure_(new FigureView(lead_)),
      summary_(new QLabel(lead_)),
      steps_(new QListView(lead_)),
      model_(new StepModel(this)),
      text_(new QPlainTextEdit(this)) {
    setObjectName(QStringLiteral("ExplainView"));
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);

    auto* lead = new QVBoxLayout(lead_);
    lead->setContentsMargins(12, 10, 8, 8);
    QFont large = font();
    large.setPointSizeF(font().pointSizeF() * 1.3);
    large.setBold(true);
    notation_->setFont(large);
    notation_->setTextFormat(Qt::RichText);
    notation_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lead->addWidget(notation_);
    auto* switchLayout = new QHBoxLayout(switch_);
    switchLayout->setContentsMargins(0, 0, 0, 0);
    auto* group = new QButtonGroup(this);
    for (QToolButton* button : {halves_, thirds_}) {
        button->setCheckable(true);
        button->setAutoRaise(true);
        group->addButton(button);
        switchLayout->addWidget(button);
    }
    connect(halves_, &QToolButton::clicked, this, [this] { ShowFigure(firstFigure_); });
    connect(thirds_, &QToolButton::clicked, this, [this] { ShowFigure(firstFigure_ + 1); });
    auto* bar = new QHBoxLayout;
    bar->addWidget(switch_);
    bar->addStretch();
    print_->setText(Utf8(form::kPrintCommand));
    print_->setAutoRaise(true);
    connect(print_, &QToolButton::clicked, this, &ExplainView::PrintWithDialog);
    bar->addWidget(print_);
    lead->addLayout(bar);
    figure_->setAccessibleName(Utf8(form::kFigureName));
    lead->addWidget(figure_, 3);
    summary_->setWordWrap(true);
    summary_->setTextFormat(Qt::RichText);
    lead->addWidget(summary_);
    steps_->setModel(model_);
    steps_->setUniformItemSizes(true);  // rows are laid out only when they come into sight
    steps_->setAccessibleName(Utf8(form::kStepListName));
    steps_->setMinimumHeight(110);
    lead->addWidget(steps_, 2);
    splitter->addWidget(lead_);

    text_->setObjectName(QStringLiteral("ExplanationText"));
    text_->setReadOnly(true);
    text_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    text_->setAccessibleName(Utf8(form::kExplanationName));
    text_->document()->setDocumentMargin(12);
    splitter->addWidget(text_);
    splitter->setStretchFactor(1, 1);
    lead_->setMinimumWidth(300);
    splitter->setSizes({400, 560});

    for (QWidget* widget : std::initializer_list<QWidget*>{text_, figure_, steps_, halves_, thirds_}) {
        widget->installEventFilter(this);
    }
    setTabOrder(figure_, steps_);
    setTabOrder(steps_, text_);
    connect(figure_, &FigureView::StepClicked, this, &ExplainView::SelectStep);
    connect(figure_, &FigureView::Walk, this, [this](int by) {
        const auto last = static_cast<long long>(document_.steps.size()) - 1;
        const long long from = selected_ == kNoStep ? (by > 0 ? -1 : last + 1) : static_cast<long long>(selected_);
        SelectStep(static_cast<std::size_t>(std::clamp(from + by, 0LL, last)));
    });
    connect(steps_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid()) {
                    SelectStep(static_cast<std::size_t>(current.row()));
                }
            });
    connect(text_, &QPlainTextEdit::cursorPositionChanged, this, &ExplainView::FollowTextCursor);
    // Zoom, as in the worksheet: Ctrl with Plus, Minus, 0 or the wheel.
    base_ = font();
    for (QWidget* widget : std::initializer_list<QWidget*>{text_->viewport(), steps_->viewport(), lead_}) {
        widget->installEventFilter(this);
    }
    // The lead and a page's width of text; the pupil may make it as large as they like.
    resize(960, 640);
}

ExplainView::~ExplainView() = default;

void ExplainView::Show(const explain::Document& document) {
    document_ = document;
    selected_ = kNoStep;
    setWindowTitle(QString::fromStdString(document_.title));
    plain_ = QString::fromStdString(explain::PlainText(document_));

    // The lead: the notation, the figure (and its switch), the sum.
    const bool lead = document_.lead > 0;
    lead_->setVisible(lead);
    firstFigure_ = 0;
    std::size_t figures = 0;
    summary_->clear();
    for (std::size_t i = 0; i < document_.lead; ++i) {
        const explain::Block& block = document_.blocks[i];
        if (block.kind == BlockKind::kFigure) {
            if (figures++ == 0) {
                firstFigure_ = block.figure;
            }
        } else if (block.kind == BlockKind::kParagraph) {
            summary_->setText(RichText(block, kNoStep));
        }
    }
    switch_->setVisible(figures > 1);
    if (figures > 1) {
        halves_->setText(QString::fromStdString(document_.figures[firstFigure_].name));
        thirds_->setText(QString::fromStdString(document_.figures[firstFigure_ + 1].name));
        halves_->setChecked(true);
    }
    model_->Show(&document_);
    if (lead) {
        ShowFigure(firstFigure_);
    }
    ShowNotation();

    const QSignalBlocker blocker(text_);
    ranges_.clear();
    text_->setPlainText(QString::fromStdString(
        explain::PlainText(document_, &ranges_, {.raised = true, .apart = true})));
    FormatText();
    text_->moveCursor(QTextCursor::Start);
    text_->setExtraSelections({});
}

// The text's parts: the title and headings in bold, formulas a little
// larger, preformatted lines and the notebook in a fixed-pitch font so that
// their columns stand, powers raised; all at the view's zoom.
void ExplainView::FormatText() {
    const double points = font().pointSizeF();
    QTextCursor cursor(text_->document());
    cursor.select(QTextCursor::Document);
    cursor.setCharFormat(QTextCharFormat());
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    QTextCharFormat title = bold;
    title.setFontPointSize(points * 1.25);
    QTextCharFormat notation;
    notation.setFontPointSize(points * 1.15);
    QTextCharFormat fixed;
    QFont fixedFont = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixedFont.setPointSizeF(points);
    fixed.setFont(fixedFont, QTextCharFormat::FontPropertiesSpecifiedOnly);
    QTextCharFormat raised;
    raised.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    for (const explain::TextRange& range : ranges_) {
        const QTextCharFormat* format = range.raised                                      ? &raised
                                        : range.title                                     ? &title
                                        : range.kind == BlockKind::kHeading               ? &bold
                                        : range.kind == BlockKind::kNotation              ? &notation
                                        : range.kind == BlockKind::kLines ||
                                                  range.kind == BlockKind::kNotebook      ? &fixed
                                                                                          : nullptr;
        if (format) {
            cursor.setPosition(static_cast<int>(range.from));
            cursor.setPosition(static_cast<int>(range.to), QTextCursor::KeepAnchor);
            cursor.mergeCharFormat(*format);
        }
    }
}

void ExplainView::SetZoom(int percent) {
    zoom_ = percent;
    QFont zoomed = base_;
    zoomed.setPointSizeF(base_.pointSizeF() * zoom_ / 100);
    setFont(zoomed);
    QFont large = zoomed;
    large.setPointSizeF(zoomed.pointSizeF() * 1.3);
    large.setBold(true);
    notation_->setFont(large);
    lead_->setMinimumWidth(300 * zoom_ / 100);
    const QSignalBlocker blocker(text_);
    FormatText();
    SelectStep(std::exchange(selected_, kNoStep));  // the notebook's marks anew
}

void ExplainView::ShowFigure(std::size_t index) {
    figure_->Show(&document_, index);
    figure_->setAccessibleDescription(QString::fromStdString(document_.figures[index].alt));
    figure_->Select(selected_);
    (index == firstFigure_ ? halves_ : thirds_)->setChecked(true);
}

void ExplainView::ShowNotation() {
    if (document_.lead == 0) {
        notation_->clear();
        return;
    }
    const explain::Block& block = document_.blocks.front();
    notation_->setText(
        RichText(block, selected_ < block.stepDigits.size() ? block.stepDigits[selected_] : kNoStep));
}

void ExplainView::SelectStep(std::size_t step) {
    if (step != kNoStep && step >= document_.steps.size()) {
        return;
    }
    if (step == selected_) {
        return;
    }
    selected_ = step;
    figure_->Select(step);
    ShowNotation();
    {
        const QSignalBlocker blocker(steps_->selectionModel());
        if (step == kNoStep) {
            steps_->clearSelection();
        } else {
            const QModelIndex row = model_->index(static_cast<int>(step));
            steps_->selectionModel()->setCurrentIndex(row, QItemSelectionModel::ClearAndSelect);
            steps_->scrollTo(row);
        }
    }
    // The notebook's lines of the step.
    QList<QTextEdit::ExtraSelection> marks;
    for (const explain::TextRange& range : ranges_) {
        if (range.raised || range.kind != BlockKind::kNotebook) {
            continue;
        }
        const explain::Block& block = document_.blocks[range.block];
        QTextBlock line = text_->document()->findBlock(static_cast<int>(range.from));
        for (std::size_t i = 0; i < block.lineSteps.size() && line.isValid(); ++i, line = line.next()) {
            if (block.lineSteps[i] == step) {
                QTextEdit::ExtraSelection mark;
                mark.cursor = QTextCursor(line);
                mark.cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
                const explain::Rgb ink = explain::Colour(explain::Ink::kSelection);
                mark.format.setBackground(QColor(ink.red, ink.green, ink.blue));
                mark.format.setForeground(Qt::white);
                marks << mark;
            }
        }
    }
    text_->setExtraSelections(marks);
}

// A caret put on a line of the notebook selects that line's step.
void ExplainView::FollowTextCursor() {
    const auto position = static_cast<std::size_t>(text_->textCursor().position());
    for (const explain::TextRange& range : ranges_) {
        if (!range.raised && range.kind == BlockKind::kNotebook && position >= range.from && position < range.to) {
            const explain::Block& block = document_.blocks[range.block];
            const int first = text_->document()->findBlock(static_cast<int>(range.from)).blockNumber();
            const auto line = static_cast<std::size_t>(text_->textCursor().blockNumber() - first);
            if (line < block.lineSteps.size() && block.lineSteps[line] != kNoStep) {
                SelectStep(block.lineSteps[line]);
            }
            return;
        }
    }
}

// Esc closes the view; Ctrl+C with nothing selected copies the whole
// explanation as plain text.
bool ExplainView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        if (wheel->modifiers() & Qt::ControlModifier) {
            SetZoom(form::WheelZoom(zoom_, wheel->angleDelta().y(), wheel_));
            return true;
        }
    }
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
            close();
            return true;
        }
        const bool ctrl = key->modifiers() & Qt::ControlModifier;
        if (key->matches(QKeySequence::ZoomIn) || (ctrl && key->key() == Qt::Key_Equal)) {
            SetZoom(form::ZoomStep(zoom_, 1));
            return true;
        }
        if (key->matches(QKeySequence::ZoomOut)) {
            SetZoom(form::ZoomStep(zoom_, -1));
            return true;
        }
        if (ctrl && key->key() == Qt::Key_0) {
            SetZoom(form::ZoomStep(zoom_, 0));
            return true;
        }
        if (key->matches(QKeySequence::Print)) {
            PrintWithDialog();
            return true;
        }
        if (key->matches(QKeySequence::Copy) && !(watched == text_ && text_->textCursor().hasSelection())) {
            QApplication::clipboard()->setText(plain_);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// -------------------------------------------------------------- print ----

void ExplainView::PrintWithDialog() {
    bool allSteps = true;
    const explain::PrintQuestion question = explain::AskBeforePrinting(document_);
    if (question.ask) {
        QMessageBox box(QMessageBox::Question, windowTitle(), QString::fromStdString(question.question),
                        QMessageBox::Cancel, this);
        QPushButton* few = box.addButton(QString::fromStdString(question.few), QMessageBox::AcceptRole);
        QPushButton* all = box.addButton(QString::fromStdString(question.all), QMessageBox::AcceptRole);
        box.setDefaultButton(few);
        box.exec();
        if (box.clickedButton() != few && box.clickedButton() != all) {
            return;
        }
        allSteps = box.clickedButton() == all;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setDocName(windowTitle());
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted) {
        Print(printer, allSteps);
    }
}

void ExplainView::Print(QPrinter& printer, bool allSteps) const {
    QTextDocument page;
    QFont body = base_;
    body.setPointSizeF(10);
    page.setDefaultFont(body);
    QTextCursor cursor(&page);
    QTextCharFormat plain;
    plain.setForeground(Qt::black);
    QTextCharFormat bold = plain;
    bold.setFontWeight(QFont::Bold);
    QTextCharFormat title = bold;
    title.setFontPointSize(14);
    QTextCharFormat notation = bold;
    notation.setFontPointSize(12);
    QTextCharFormat fixed = plain;
    QFont fixedFont = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixedFont.setPointSizeF(9);
    fixed.setFont(fixedFont);
    QTextBlockFormat paragraph;
    paragraph.setTopMargin(4);
    QTextBlockFormat line;
    bool first = true;
    auto block = [&](const QTextBlockFormat& format) {
        if (!first) {
            cursor.insertBlock(format);
        } else {
            cursor.setBlockFormat(format);
        }
        first = false;
    };
    auto text = [&](const explain::Block& b, const QTextCharFormat& format) {
        std::size_t at = 0;
        QTextCharFormat up = format;
        up.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
        for (const explain::Span& span : b.raised) {
            cursor.insertText(QString::fromUtf8(b.text.data() + at, static_cast<qsizetype>(span.from - at)), format);
            cursor.insertText(QString::fromUtf8(b.text.data() + span.from, static_cast<qsizetype>(span.to - span.from)), up);
            at = span.to;
        }
        cursor.insertText(QString::fromUtf8(b.text.data() + at, static_cast<qsizetype>(b.text.size() - at)), format);
    };
    auto lines = [&](const auto& rows) {
        for (const auto& row : rows) {
            block(line);
            cursor.insertText(QString::fromStdString(row), fixed);
        }
    };

    block(paragraph);
    cursor.insertText(QString::fromStdString(document_.title), title);
    bool figureShown = false;
    for (const explain::Block& b : document_.blocks) {
        switch (b.kind) {
            case BlockKind::kHeading:
                block(paragraph);
                text(b, bold);
                break;
            case BlockKind::kParagraph:
                block(paragraph);
                text(b, plain);
                break;
            case BlockKind::kNotation:
                block(paragraph);
                text(b, notation);
                break;
            case BlockKind::kLines:
            case BlockKind::kNotebook:
                lines(b.lines);
                break;
            case BlockKind::kSteps: {
                const std::size_t count =
                    allSteps ? document_.steps.size() : std::min(document_.steps.size(), explain::kPrintedSteps);
                for (std::size_t i = 0; i < count; ++i) {
                    block(line);
                    cursor.insertText(QString::fromStdString(explain::StepText(document_, i)), fixed);
                }
                const std::string rest = explain::UnprintedSteps(document_, count);
                if (!rest.empty()) {
                    block(paragraph);
                    cursor.insertText(QString::fromStdString(rest), plain);
                }
                break;
            }
            case BlockKind::kFigure: {
                // The figure shown in the view (halves or thirds), once, in
                // the print palette, sharp at the printer's resolution.
                if (figureShown) {
                    break;
                }
                figureShown = true;
                const explain::Figure& figure = document_.figures[figure_->FigureIndex()];
                constexpr double kScale = 3;
                QImage image(static_cast<int>(figure.width * kScale), static_cast<int>(figure.height * kScale),
                             QImage::Format_RGB32);
                image.fill(Qt::white);
                QPainter painter(&image);
                QFont font = body;
                painter.setFont(font);
                PaintFigure(painter, figure, PlaceFigure(figure, QRectF(image.rect())), kNoStep, {}, true);
                painter.end();
                page.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("figure")), image);
                block(paragraph);
                QTextImageFormat format;
                format.setName(QStringLiteral("figure"));
                format.setWidth(figure.width * 0.85);
                format.setHeight(figure.height * 0.85);
                cursor.insertImage(format);
                break;
            }
        }
    }
    page.print(&printer);
}

// ------------------------------------------------------------- figure ----

FigureView::FigureView(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(200, 200);
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

void FigureView::Show(const explain::Document* document, std::size_t figure) {
    document_ = document;
    figure_ = figure;
    selection_.clear();
    update();
}

void FigureView::Select(std::size_t step) {
    selected_ = step;
    selection_ = document_ && figure_ < document_->figures.size()
                     ? explain::Selection(document_->figures[figure_], *document_, step)
                     : std::vector<explain::Shape>{};
    update();
}

QPointF FigureView::ToWidget(explain::Point at) const {
    if (!document_ || figure_ >= document_->figures.size()) {
        return {};
    }
    return PlaceFigure(document_->figures[figure_], QRectF(rect())).ToScreen(at);
}

explain::Point FigureView::ToFigure(QPointF at) const {
    if (!document_ || figure_ >= document_->figures.size()) {
        return {};
    }
    return PlaceFigure(document_->figures[figure_], QRectF(rect())).ToFigure(at);
}

int FigureView::heightForWidth(int width) const {
    if (!document_ || figure_ >= document_->figures.size()) {
        return width;
    }
    const explain::Figure& figure = document_->figures[figure_];
    return static_cast<int>(width * figure.height / figure.width);
}

QSize FigureView::sizeHint() const { return {400, heightForWidth(400)}; }

void FigureView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const explain::Rgb paper = explain::Colour(explain::Ink::kPaper);
    painter.fillRect(rect(), QColor(paper.red, paper.green, paper.blue));
    if (!document_ || figure_ >= document_->figures.size()) {
        return;
    }
    const explain::Figure& figure = document_->figures[figure_];
    PaintFigure(painter, figure, PlaceFigure(figure, QRectF(rect())), selected_, selection_);
    if (hasFocus()) {
        painter.setPen(QPen(palette().highlight().color(), 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void FigureView::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    if (!document_ || figure_ >= document_->figures.size()) {
        return;
    }
    const std::size_t step = explain::StepAt(document_->figures[figure_], ToFigure(event->position()));
    if (step != kNoStep) {
        emit StepClicked(step);
    }
}

void FigureView::keyPressEvent(QKeyEvent* event) {
    const int steps = document_ ? static_cast<int>(document_->steps.size()) : 0;
    switch (event->key()) {
        case Qt::Key_Right:
        case Qt::Key_Down:
            emit Walk(1);
            break;
        case Qt::Key_Left:
        case Qt::Key_Up:
            emit Walk(-1);
            break;
        case Qt::Key_Home:
            emit Walk(-steps);
            break;
        case Qt::Key_End:
            emit Walk(steps);
            break;
        default:
            QWidget::keyPressEvent(event);
    }
}

}  // namespace zelvane
