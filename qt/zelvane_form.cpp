#include "zelvane_form.h"

#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QValidator>
#include <QWheelEvent>
#include <limits>
#include <memory>
#include <optional>

#include "explain_view.h"
#include "flat_button.h"
#include "qt_description.h"

namespace zelvane {
namespace {

// Applies the core's field rule to every change of a field, typed, pasted,
// dropped or undone, before the field shows it. An edit of which nothing
// may be kept is refused outright, so the field keeps its undo history;
// one that is cut is replaced by what is kept.
class FieldRule : public QValidator {
public:
    FieldRule(const FormState& state, int index, QObject* parent)
        : QValidator(parent), state_(state), index_(index) {}

    State validate(QString& input, int& pos) const override {
        const std::u32string& before = state_.Text2(index_);
        const auto maxLength = static_cast<std::size_t>(form::kText2[static_cast<std::size_t>(index_)].maxLength);
        FieldEdit edit = KeepOfEdit(before, Units(input), static_cast<std::size_t>(pos), maxLength);
        const QString kept = FromCore(edit.text);
        if (kept == input) {
            return Acceptable;
        }
        if (edit.text == before) {
            return Invalid;
        }
        input = kept;
        pos = static_cast<int>(edit.caret);
        return Acceptable;
    }

private:
    const FormState& state_;
    int index_;
};

// Places are in twips; Qt's device-independent pixels are 1/96 inch, and Qt
// scales them on high-density screens. The zoom multiplies them.
void PlaceAt(QWidget* widget, const form::Twips& p, int zoom = 100) {
    widget->setGeometry(form::ZoomedPixels(p.left, zoom), form::ZoomedPixels(p.top, zoom),
                        form::ZoomedPixels(p.width, zoom), form::ZoomedPixels(p.height, zoom));
}

}  // namespace

Zelvane::Zelvane(const QString& caption, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Zelvane"));
    setWindowTitle(caption);
    setFixedSize(kClientSize);
    // A fixed frame: it can be minimised and closed, not resized or maximised.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    setFont(FormFont());

    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Colour(form::kFormBackground));
    setPalette(palette);
    setAutoFillBackground(true);

    BuildControls();
    places_ = {{text1_, form::kText1[form::kTaskText].place}};
    for (int i = 0; i < static_cast<int>(form::kLabel1.size()); ++i) {
        places_.push_back({label1_[i], form::kLabel1[i].place});
    }
    for (int i = 0; i < kText2Count; ++i) {
        places_.push_back({text2_[i], form::kText2[i].place});
    }
    for (int i = 0; i < kCommand1Count; ++i) {
        places_.push_back({command1_[i], form::kCommand1[i].place});
    }
    // Zoom: Ctrl with Plus, Minus, 0, and the mouse wheel (the task text's
    // own Ctrl+wheel zoom included).
    for (const QKeySequence& keys : {QKeySequence(QKeySequence::ZoomIn), QKeySequence(Qt::CTRL | Qt::Key_Equal)}) {
        connect(new QShortcut(keys, this), &QShortcut::activated, this, [this] { SetZoom(form::ZoomStep(zoom_, 1)); });
    }
    connect(new QShortcut(QKeySequence::ZoomOut, this), &QShortcut::activated, this,
            [this] { SetZoom(form::ZoomStep(zoom_, -1)); });
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_0), this), &QShortcut::activated, this,
            [this] { SetZoom(form::ZoomStep(zoom_, 0)); });
    text1_->viewport()->installEventFilter(this);

    // The Load event: the worksheet starts cleared, whatever the controls held.
    OnFormLoad(state_);
    ShowState();
    text1_->setFocus();
}

// The fields read and write the form state until they are gone: they go
// first, before the state they are bound to.
Zelvane::~Zelvane() { qDeleteAll(findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)); }

QFont Zelvane::FormFont(int zoom) {
    QFont font(Utf8(form::kFontFamily), form::kFontPoints, QFont::Weight(form::kFontWeight));
    font.setPointSizeF(form::kFontPoints * zoom / 100.0);
    font.setStyleHint(QFont::Serif);
    return font;
}

void Zelvane::SetZoom(int percent) {
    zoom_ = percent;
    setFont(FormFont(zoom_));
    for (const auto& [widget, place] : places_) {
        PlaceAt(widget, place, zoom_);
    }
    setFixedSize(form::ZoomedPixels(form::kClientWidth, zoom_), form::ZoomedPixels(form::kClientHeight, zoom_));
}

void Zelvane::wheelEvent(QWheelEvent* event) {
    if (!ZoomByWheel(event)) {
        QWidget::wheelEvent(event);
    }
}

bool Zelvane::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Wheel && ZoomByWheel(static_cast<QWheelEvent*>(event))) {
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

// Ctrl with the wheel: a step for each notch, however the wheel reports it.
bool Zelvane::ZoomByWheel(QWheelEvent* event) {
    if (!(event->modifiers() & Qt::ControlModifier)) {
        return false;
    }
    SetZoom(form::WheelZoom(zoom_, event->angleDelta().y(), wheel_));
    event->accept();
    return true;
}

void Zelvane::BuildControls() {
    // The task text. The quotation that goes with it would need a box over
    // the lower half of the task text, running past the window's edge; it
    // has no box of its own and appears as the task text's tooltip instead.
    auto* help = new QPlainTextEdit(this);
    help->setObjectName(QStringLiteral("Text1_0"));
    PlaceAt(help, form::kText1[form::kTaskText].place);
    help->setReadOnly(true);
    help->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    help->setFocusPolicy(Qt::StrongFocus);
    help->setTabChangesFocus(true);
    help->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    help->setPlainText(QString::fromStdString(form::ShownHelpText(form::kTaskText, "\n")));
    const QString quotation = QString::fromStdString(form::QuotationTip("\n"));
    help->setToolTip(quotation);
    help->setAccessibleName(Utf8(form::kTaskTextName));
    help->setAccessibleDescription(quotation);
    text1_ = help;

    QPalette labelPalette = palette();
    labelPalette.setColor(QPalette::Window, Colour(form::kLabelBackground));
    for (int i = 0; i < static_cast<int>(form::kLabel1.size()); ++i) {
        auto* label = new QLabel(Utf8(form::kLabel1[i].caption), this);
        label->setObjectName(QStringLiteral("Label1_%1").arg(i));
        PlaceAt(label, form::kLabel1[i].place);
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        label->setPalette(labelPalette);
        label->setAutoFillBackground(true);
        label1_[i] = label;
    }

    for (int i = 0; i < kText2Count; ++i) {
        auto* field = new QLineEdit(this);
        field->setObjectName(QStringLiteral("Text2_%1").arg(i));
        const form::Field& description = form::kText2[i];
        PlaceAt(field, description.place);
        label1_[description.label]->setBuddy(field);
        // Qt counts UTF-16 units and would cut an emoji in half; the core's
        // rule counts characters and limits the length itself.
        field->setMaxLength(std::numeric_limits<int>::max());
        field->setValidator(new FieldRule(state_, i, field));
        field->setReadOnly(description.readOnly);
        connect(field, &QLineEdit::textChanged, this,
                [this, i](const QString& text) { state_.SetText2(i, FromUtf16(Units(text))); });
        text2_[i] = field;
    }

    for (int i = 0; i < kCommand1Count; ++i) {
        const form::Button& description = form::kCommand1[i];
        auto* button = new FlatButton(Utf8(description.caption), Colour(description.colour), this);
        button->setObjectName(QStringLiteral("Command1_%1").arg(i));
        PlaceAt(button, description.place);
        connect(button, &QPushButton::clicked, this, [this, i] { ClickCommand(i); });
        command1_[i] = button;
    }

    // Enter in a field presses the button the description names: the
    // button's own click, so a disabled Add parts ignores it.
    for (int i = 0; i < kText2Count; ++i) {
        const int button = form::kText2[static_cast<std::size_t>(i)].enterClicks;
        if (button >= 0) {
            connect(text2_[i], &QLineEdit::returnPressed, command1_[button], &QPushButton::click);
        }
    }

    // The explain view: F1 anywhere in the window, or the expansion field's
    // context menu, whose standard items stay.
    auto* explain = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(explain, &QShortcut::activated, this, &Zelvane::OpenExplanation);
    QLineEdit* expansion = text2_[kExpansion];
    expansion->setToolTip(Utf8(form::kExpansionTip));
    expansion->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(expansion, &QWidget::customContextMenuRequested, this, &Zelvane::ShowExpansionMenu);

    // Focus moves in the worksheet's own order: the numerator comes last
    // although it stands first on its line.
    QWidget* previous = nullptr;
    for (const form::ControlRef& control : form::kFocusOrder) {
        QWidget* widget = Control(control);
        if (previous) {
            setTabOrder(previous, widget);
        }
        previous = widget;
    }
}

QWidget* Zelvane::Control(form::ControlRef control) const {
    switch (control.kind) {
        case form::Kind::Text1:
            return text1_;
        case form::Kind::Text2:
            return text2_.at(control.index);
        case form::Kind::Command1:
            return command1_.at(control.index);
    }
    return nullptr;
}

void Zelvane::ClickCommand(int index) {
    const std::optional<CalculatedFraction> explained = state_.LastCalculation();
    OnCommandClick(state_, static_cast<std::int16_t>(index));
    ShowState();
    // An open explanation follows the fraction last calculated.
    if (explanation_ && explanation_->isVisible() && state_.LastCalculation() != explained) {
        explanation_->Show(explain::Explain(state_));
    }
}

void Zelvane::OpenExplanation() {
    if (!explanation_) {
        explanation_ = new ExplainView(this);
    }
    // An open view already explains the fraction last calculated (a
    // Calculate updates it): it is only brought forward, and the pupil keeps
    // their place in it. A closed one is filled anew, from its start.
    if (!explanation_->isVisible()) {
        explanation_->Show(explain::Explain(state_));
    }
    explanation_->setWindowState(explanation_->windowState() & ~Qt::WindowMinimized);  // a minimised view comes back
    explanation_->show();
    explanation_->raise();
    explanation_->activateWindow();
}

void Zelvane::ShowExpansionMenu(const QPoint& position) {
    QLineEdit* expansion = text2_[kExpansion];
    std::unique_ptr<QMenu> menu(expansion->createStandardContextMenu());
    menu->setObjectName(QStringLiteral("ExpansionMenu"));
    menu->addSeparator();
    menu->addAction(Utf8(form::kExplainCommand), this, &Zelvane::OpenExplanation);
    menu->exec(expansion->mapToGlobal(position));
}

void Zelvane::ShowState() {
    for (int i = 0; i < kText2Count; ++i) {
        const QString text = FromCore(state_.Text2(i));
        // Only fields that changed are rewritten, so a field the action did
        // not touch keeps its cursor and its undo history.
        if (text2_[i]->text() != text) {
            text2_[i]->setText(text);
            text2_[i]->setCursorPosition(0);  // a long expansion shows its start
        }
    }
    command1_[kAddPartsButton]->setEnabled(state_.Command1Enabled(kAddPartsButton));
}

}  // namespace zelvane
