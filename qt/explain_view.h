// The explain view: a window of its own beside the worksheet, showing the
// explanation of the fraction last calculated. On the left the lead, which
// answers at a glance: the decimal, the wheel of remainders (with a switch
// between its halves and its thirds) and the halves' sum with its reason,
// and under it the list of the division's steps, whose rows are made only
// when they come into sight. On the right the rest of the explanation as
// text: headings in bold, powers raised, preformatted lines and the
// notebook's division in a fixed-pitch font.
//
// The steps, the notebook's lines and the wheel are linked: selecting a
// step (a row, a notebook line, a place on the wheel, or the arrow keys on
// the wheel or the list) rings its remainder and digit on the wheel, hides
// the later steps so that the ring fills as the pupil walks, and marks its
// digit in the decimal and its lines in the notebook.
//
// Non-modal and resizable; Esc closes it; Ctrl+C with nothing selected
// copies the whole explanation as plain text.
#pragma once

#include <QWidget>

#include "explain.h"

class QLabel;
class QListView;
class QPlainTextEdit;
class QPrinter;
class QToolButton;

namespace zelvane {

class FigureView;
class StepModel;

class ExplainView : public QWidget {
    Q_OBJECT

public:
    explicit ExplainView(QWidget* parent = nullptr);
    ~ExplainView() override;

    // Shows a document in place of the one shown.
    void Show(const explain::Document& document);

    // Selects a step (kNoStep: none) everywhere it shows.
    void SelectStep(std::size_t step);
    std::size_t SelectedStep() const { return selected_; }

    // The view's own zoom, in percent (form::kZoomPercents): its text and
    // its figure grow together.
    void SetZoom(int percent);
    int Zoom() const { return zoom_; }

    // Prints the explanation for a handout, laid out for A4: the lead with
    // its figure (in the print palette, for black and white), the sections,
    // and the first kPrintedSteps step rows, or all of them.
    void Print(QPrinter& printer, bool allSteps) const;
    // Ctrl+P and the print command: asks first when the division is long,
    // then the print dialog.
    void PrintWithDialog();

    QPlainTextEdit* TextView() const { return text_; }
    FigureView* Figure() const { return figure_; }
    QListView* StepList() const { return steps_; }
    QLabel* Notation() const { return notation_; }
    const explain::Document& Shown() const { return document_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormatText();
    void ShowFigure(std::size_t index);
    void FollowTextCursor();
    void ShowNotation();

    explain::Document document_;
    std::vector<explain::TextRange> ranges_;
    std::size_t selected_ = explain::kNoStep;
    QString plain_;  // what Ctrl+C copies
    QWidget* lead_;
    QLabel* notation_;
    QWidget* switch_;
    QToolButton* halves_;
    QToolButton* thirds_;
    QToolButton* print_;
    FigureView* figure_;
    QLabel* summary_;
    QListView* steps_;
    StepModel* model_;
    QPlainTextEdit* text_;
    std::size_t firstFigure_ = 0;  // the first figure block's figure
    QFont base_;     // the view's font at 100 %
    int zoom_ = 100;
    int wheel_ = 0;  // wheel units not yet a step
};

// The figure of a document, drawn by its instructions; a click selects the
// step of the remainder under it, the arrow keys the next or previous.
class FigureView : public QWidget {
    Q_OBJECT

public:
    explicit FigureView(QWidget* parent = nullptr);
    void Show(const explain::Document* document, std::size_t figure);
    void Select(std::size_t step);
    std::size_t FigureIndex() const { return figure_; }
    // Where a point of the figure is on the widget.
    QPointF ToWidget(explain::Point at) const;
    explain::Point ToFigure(QPointF at) const;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;

signals:
    void StepClicked(std::size_t step);
    void Walk(int by);  // a step forward or back; by ±1, or ±(steps) for Home and End

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    const explain::Document* document_ = nullptr;
    std::size_t figure_ = 0;
    std::size_t selected_ = explain::kNoStep;
    std::vector<explain::Shape> selection_;
};

}  // namespace zelvane
