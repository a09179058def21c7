// The program's only window: the worksheet's controls at their fixed places,
// bound to the form state of the core. Every click runs one core action and
// the window then shows every field the action changed.
#pragma once

#include <QFont>
#include <QWidget>
#include <array>
#include <utility>
#include <vector>

#include "form_description.h"
#include "form_state.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace zelvane {

class ExplainView;

class Zelvane : public QWidget {
    Q_OBJECT

public:
    // caption: the window title (publisher's address and title).
    explicit Zelvane(const QString& caption, QWidget* parent = nullptr);
    ~Zelvane() override;

    // The one font of the window and all its controls, at a zoom.
    static QFont FormFont(int zoom = 100);

    // The zoom of the whole worksheet, in percent (form::kZoomPercents).
    void SetZoom(int percent);
    int Zoom() const { return zoom_; }

    // Client size in device-independent pixels.
    static constexpr QSize kClientSize{form::TwipsToPixels(form::kClientWidth), form::TwipsToPixels(form::kClientHeight)};

    const FormState& State() const { return state_; }
    QLineEdit* Text2(int index) const { return text2_.at(index); }
    QPushButton* Command1(int index) const { return command1_.at(index); }
    QLabel* Label1(int index) const { return label1_.at(index); }
    // The task text, Text1(0). The quotation has no box: it is the task
    // text's tooltip.
    QPlainTextEdit* TaskText() const { return text1_; }

    // The widget of a control of the description.
    QWidget* Control(form::ControlRef control) const;

    // Passes a click on Command1(index) to the core, as the button does.
    void ClickCommand(int index);

    // Opens the explain view (made the first time) with the explanation of
    // the fraction last calculated, or brings it to the front.
    void OpenExplanation();
    // The explain view, or null until it is first opened.
    ExplainView* Explanation() const { return explanation_; }

protected:
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool ZoomByWheel(QWheelEvent* event);
    void BuildControls();
    void ShowState();
    void ShowExpansionMenu(const QPoint& position);

    FormState state_;
    std::array<QLineEdit*, kText2Count> text2_{};
    std::array<QPushButton*, kCommand1Count> command1_{};
    std::array<QLabel*, form::kLabel1.size()> label1_{};
    QPlainTextEdit* text1_ = nullptr;
    ExplainView* explanation_ = nullptr;
    std::vector<std::pair<QWidget*, form::Twips>> places_;
    int zoom_ = 100;
    int wheel_ = 0;  // wheel units not yet a step
};

}  // namespace zelvane
