#include "zelvane_form.h"

#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>

#include "flat_button.h"
#include "qt_description.h"

namespace zelvane {
namespace {

// Places are in twips; Qt's device-independent pixels are 1/96 inch, and Qt
// scales them on high-density screens.
void PlaceAt(QWidget* widget, const form::Twips& p) {
    widget->setGeometry(form::TwipsToPixels(p.left), form::TwipsToPixels(p.top), form::TwipsToPixels(p.width),
                        form::TwipsToPixels(p.height));
}

// The help texts end their lines in CR LF; the text box wants line feeds.
QString Displayed(std::string_view crlfText) {
    QString text = Utf8(crlfText);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
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

    // The Load event: the worksheet starts cleared, whatever the controls held.
    OnFormLoad(state_);
    ShowState();
    text1_->setFocus();
}

QFont Zelvane::FormFont() {
    QFont font(Utf8(form::kFontFamily), form::kFontPoints, QFont::Weight(form::kFontWeight));
    font.setStyleHint(QFont::Serif);
    return font;
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
    help->setPlainText(Displayed(form::kText1[form::kTaskText].text));
    const QString quotation = Displayed(form::kText1[form::kQuotation].text).trimmed();
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
        if (description.maxLength > 0) {
            field->setMaxLength(description.maxLength);
        }
        field->setReadOnly(description.readOnly);
        connect(field, &QLineEdit::textChanged, this,
                [this, i](const QString& text) { state_.SetText2(i, text.toStdU32String()); });
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

    // Enter in a field presses the button a pupil would reach for: the
    // button's own click, so a disabled Add parts ignores it.
    for (int field : {kNumerator, kDenominator}) {
        connect(text2_[field], &QLineEdit::returnPressed, command1_[kCalculateButton], &QPushButton::click);
    }
    for (int field : {kLeftGroup, kRightGroup}) {
        connect(text2_[field], &QLineEdit::returnPressed, command1_[kAddPartsButton], &QPushButton::click);
    }

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
    OnCommandClick(state_, static_cast<std::int16_t>(index));
    ShowState();
}

void Zelvane::ShowState() {
    for (int i = 0; i < kText2Count; ++i) {
        const QString text = QString::fromStdU32String(state_.Text2(i));
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
