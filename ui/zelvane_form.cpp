#include "zelvane_form.h"

#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>

#include "form_texts.h"

namespace zelvane {
namespace {

// Positions are laid out in twips: 15 twips make one pixel at 96 dpi. Qt
// scales these device-independent pixels on high-density screens.
QRect Twips(int left, int top, int width, int height) {
    return QRect(left / 15, top / 15, width / 15, height / 15);
}

struct Place {
    int left, top, width, height;
};

constexpr std::array<Place, 8> kLabel1Places{{
    {1800, 0, 3495, 375},     // title
    {1440, 1080, 495, 375},   // fraction bar
    {3360, 720, 2655, 375},   // decimal fraction
    {1920, 1560, 1335, 375},  // left group
    {3360, 1560, 1335, 375},  // right group
    {4800, 1560, 1215, 375},  // sum
    {120, 720, 1335, 375},    // numerator
    {1920, 720, 1335, 375},   // denominator
}};

constexpr std::array<Place, kText2Count> kText2Places{{
    {1920, 1050, 1335, 405},  // denominator
    {3360, 1080, 2655, 405},  // expansion
    {1920, 1920, 1335, 405},  // left group
    {3360, 1920, 1335, 405},  // right group
    {4800, 1920, 1215, 405},  // sum
    {120, 1080, 1335, 405},   // numerator
}};

constexpr std::array<Place, kCommand1Count> kCommand1Places{{
    {6000, 240, 1095, 375},   // calculate
    {120, 1680, 1695, 495},   // add parts
    {120, 240, 1095, 375},    // clear
}};

constexpr Place kText1Place{120, 2520, 6975, 2535};  // task text

const std::array<QColor, kCommand1Count> kCommand1Colours{QColor(0, 255, 0), QColor(0, 192, 0), QColor(255, 0, 0)};

// The label each field is announced by (the label is the field's buddy).
constexpr std::array<int, kText2Count> kText2Label{7, 2, 3, 4, 5, 6};

// Fields the user may type at most four characters into.
constexpr int kInputMaxLength = 4;

void PlaceAt(QWidget* widget, const Place& p) {
    widget->setGeometry(Twips(p.left, p.top, p.width, p.height));
}

QString Displayed(const QString& crlfText) {
    QString text = crlfText;
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
    palette.setColor(QPalette::Window, QColor(192, 192, 255));
    setPalette(palette);
    setAutoFillBackground(true);

    BuildControls();

    // The Load event: the worksheet starts cleared, whatever the controls held.
    OnFormLoad(state_);
    ShowState();
    text1_->setFocus();
}

QFont Zelvane::FormFont() {
    QFont font(QStringLiteral("Times New Roman"), 12, QFont::Normal);
    font.setStyleHint(QFont::Serif);
    return font;
}

void Zelvane::BuildControls() {
    // The task text. The quotation that goes with it would need a box over
    // the lower half of the task text, running past the window's edge; it
    // has no box of its own and appears as the task text's tooltip instead.
    auto* help = new QPlainTextEdit(this);
    help->setObjectName(QStringLiteral("Text1_0"));
    PlaceAt(help, kText1Place);
    help->setReadOnly(true);
    help->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    help->setFocusPolicy(Qt::StrongFocus);
    help->setTabChangesFocus(true);
    help->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    help->setPlainText(Displayed(texts::kTaskText));
    help->setToolTip(Displayed(texts::kQuotationText).trimmed());
    text1_ = help;

    QPalette labelPalette = palette();
    labelPalette.setColor(QPalette::Window, QColor(255, 192, 128));
    for (int i = 0; i < 8; ++i) {
        auto* label = new QLabel(texts::kLabel1[i], this);
        label->setObjectName(QStringLiteral("Label1_%1").arg(i));
        PlaceAt(label, kLabel1Places[i]);
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        label->setPalette(labelPalette);
        label->setAutoFillBackground(true);
        label1_[i] = label;
    }

    for (int i = 0; i < kText2Count; ++i) {
        auto* field = new QLineEdit(this);
        field->setObjectName(QStringLiteral("Text2_%1").arg(i));
        PlaceAt(field, kText2Places[i]);
        label1_[kText2Label[i]]->setBuddy(field);
        connect(field, &QLineEdit::textChanged, this,
                [this, i](const QString& text) { state_.SetText2(i, text.toStdU32String()); });
        text2_[i] = field;
    }
    text2_[kDenominator]->setMaxLength(kInputMaxLength);
    text2_[kNumerator]->setMaxLength(kInputMaxLength);
    text2_[kExpansion]->setReadOnly(true);
    text2_[kSum]->setReadOnly(true);

    for (int i = 0; i < kCommand1Count; ++i) {
        auto* button = new QPushButton(texts::kCommand1[i], this);
        button->setObjectName(QStringLiteral("Command1_%1").arg(i));
        PlaceAt(button, kCommand1Places[i]);
        button->setAutoDefault(false);
        // Each button is painted in its own colour; unavailable, it turns grey.
        QPalette p = button->palette();
        p.setColor(QPalette::Active, QPalette::Button, kCommand1Colours[i]);
        p.setColor(QPalette::Inactive, QPalette::Button, kCommand1Colours[i]);
        p.setColor(QPalette::Active, QPalette::ButtonText, Qt::black);
        p.setColor(QPalette::Inactive, QPalette::ButtonText, Qt::black);
        p.setColor(QPalette::Disabled, QPalette::Button, QColor(200, 200, 200));
        p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(128, 128, 128));
        button->setPalette(p);
        connect(button, &QPushButton::clicked, this, [this, i] { ClickCommand(i); });
        command1_[i] = button;
    }

    // Focus moves in the worksheet's own order: the numerator comes last
    // although it stands first on its line.
    const std::array<QWidget*, 10> focusOrder{
        text1_,         text2_[kDenominator], text2_[kExpansion], text2_[kLeftGroup], text2_[kRightGroup],
        text2_[kSum],   command1_[0],         command1_[1],       command1_[2],       text2_[kNumerator]};
    for (std::size_t i = 1; i < focusOrder.size(); ++i) {
        setTabOrder(focusOrder[i - 1], focusOrder[i]);
    }
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
