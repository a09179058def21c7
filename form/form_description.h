// The window's description, the same for every front end: the caption, the
// client size, colours and font, and every control with its text, place (in
// twips, 1/1440 inch, from the client area's top-left corner), flags and
// tab index. Standard library only; texts are UTF-8.
//
// Each front end builds its controls from these tables and nothing else, so
// a text or a place is written here once.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace zelvane::form {

struct Rgb {
    std::uint8_t red, green, blue;
    friend constexpr bool operator==(const Rgb&, const Rgb&) = default;
};

// A place in twips.
struct Twips {
    int left, top, width, height;
};

// Twips to pixels at a given resolution, rounded to the nearest pixel:
// exactly twips / 15 at 96 dots per inch.
constexpr int TwipsToPixels(int twips, int dpi = 96) { return (twips * dpi + 720) / 1440; }

// Zoom, for a projector: Ctrl with Plus or Minus (or the mouse wheel) takes
// the worksheet, and on its own the explain view, one step up or down this
// scale, and Ctrl+0 back to 100 %. Every place grows with it (its twips at
// 96 dots per inch times the zoom) and so does the font. Each start is at
// 100 %; nothing is saved.
inline constexpr std::array<int, 7> kZoomPercents{100, 125, 150, 175, 200, 250, 300};
// The step after `percent` in `direction` (+1 up, -1 down), kept on the
// scale; 0 is back to 100 %.
constexpr int ZoomStep(int percent, int direction) {
    if (direction == 0) {
        return kZoomPercents.front();
    }
    int at = 0;
    for (int i = 0; i < static_cast<int>(kZoomPercents.size()); ++i) {
        if (kZoomPercents[static_cast<std::size_t>(i)] <= percent) {
            at = i;
        }
    }
    at += direction > 0 ? 1 : -1;
    at = at < 0 ? 0 : at >= static_cast<int>(kZoomPercents.size()) ? static_cast<int>(kZoomPercents.size()) - 1 : at;
    return kZoomPercents[static_cast<std::size_t>(at)];
}
// The zoom after the wheel turned by `delta` (120 a notch, up to zoom in);
// `pending` keeps what is not yet a notch, for wheels that report less.
constexpr int WheelZoom(int percent, int delta, int& pending) {
    for (pending += delta; pending >= 120; pending -= 120) {
        percent = ZoomStep(percent, 1);
    }
    for (; pending <= -120; pending += 120) {
        percent = ZoomStep(percent, -1);
    }
    return percent;
}
// Twips to pixels at a zoom: the pixels of 96 dots per inch times the zoom.
constexpr int ZoomedPixels(int twips, int percent) { return TwipsToPixels(twips, 96 * percent / 100); }

// The window.
inline constexpr std::string_view kTitle = "Информатика - брой знаци при делене";
inline constexpr int kClientWidth = 7215;  // twips
inline constexpr int kClientHeight = 5160;
inline constexpr Rgb kFormBackground{192, 192, 255};

// The one font of the window; no control has a font of its own.
inline constexpr std::string_view kFontFamily = "Times New Roman";
inline constexpr int kFontPoints = 12;
inline constexpr int kFontWeight = 400;   // regular
inline constexpr int kFontCharset = 204;  // Cyrillic

// The window caption: the publisher's web address, one blank, then the
// title; the title alone when there is no address.
inline std::string Caption(std::string_view publisherAddress) {
    std::string caption;
    if (!publisherAddress.empty()) {
        caption.append(publisherAddress);
        caption.push_back(' ');
    }
    caption.append(kTitle);
    return caption;
}

// Labels, Label1(0..7): centred text on their own background; no focus.
struct Label {
    std::string_view caption;
    Twips place;
    int tabIndex;
};
inline constexpr Rgb kLabelBackground{255, 192, 128};
inline constexpr std::array<Label, 8> kLabel1{{
    {"Информатика -  зелване", {1800, 0, 3495, 375}, 2},  // title
    {"/", {1440, 1080, 495, 375}, 9},                       // fraction bar
    {"Дестична дроб", {3360, 720, 2655, 375}, 12},
    {"Лява група", {1920, 1560, 1335, 375}, 13},
    {"Дясна група", {3360, 1560, 1335, 375}, 14},
    {"Сума", {4800, 1560, 1215, 375}, 15},
    {"Числител", {120, 720, 1335, 375}, 17},
    {"Знаменател", {1920, 720, 1335, 375}, 18},
}};

// Text fields, Text2(0..5), in the order of the core's field indices. All
// are single-line: what they keep of typed and pasted text is the core's
// rule (field_input.h), with the limit below. The group fields take as much
// as a Windows edit box takes by default, 32 767 characters: Add parts reads
// five at most, and a pasted book would only stall the window.
struct Field {
    Twips place;
    int tabIndex;
    int maxLength;    // characters (code points) the user may enter; 0 for no limit (read-only)
    bool readOnly;
    int label;        // the Label1 index that names the field
    int enterClicks;  // the Command1 index Enter in the field clicks; -1 for none
};
inline constexpr std::array<Field, 6> kText2{{
    {{1920, 1050, 1335, 405}, 3, 4, false, 7, 0},   // denominator: Enter calculates
    {{3360, 1080, 2655, 405}, 4, 0, true, 2, -1},   // decimal expansion
    {{1920, 1920, 1335, 405}, 5, 32767, false, 3, 1},   // left group: Enter adds the parts
    {{3360, 1920, 1335, 405}, 6, 32767, false, 4, 1},   // right group: Enter adds the parts
    {{4800, 1920, 1215, 405}, 7, 0, true, 5, -1},   // sum
    {{120, 1080, 1335, 405}, 16, 4, false, 6, 0},   // numerator: Enter calculates
}};
// The fields a pupil types a number into, by field index: a touch screen
// brings up a keyboard of digits for them (one that has the decimal
// separator too), though they still take any character.
inline constexpr std::array<bool, kText2.size()> kNumberKeyboard{true, false, false, false, false, true};

// Buttons, Command1(0..2): each painted flat in its own colour with a black
// caption; grey while unavailable.
struct Button {
    std::string_view caption;
    Rgb colour;
    Twips place;
    int tabIndex;
};
inline constexpr Rgb kButtonText{0, 0, 0};
inline constexpr Rgb kUnavailableButton{192, 192, 192};
inline constexpr Rgb kUnavailableButtonText{128, 128, 128};
inline constexpr std::array<Button, 3> kCommand1{{
    {"Изчисли", {0, 255, 0}, {6000, 240, 1095, 375}, 8},
    {"Събери части", {0, 192, 0}, {120, 1680, 1695, 495}, 10},
    {"Изчисти", {255, 0, 0}, {120, 240, 1095, 375}, 11},
}};

// Enter on a focused button clicks that button, as Space does. A button
// that is unavailable cannot take the focus, and Enter in a field that
// names an unavailable button does nothing.
inline constexpr bool kEnterClicksFocusedButton = true;

// Enter clicks only buttons that exist.
constexpr bool EnterClicksValidButtons() {
    for (const Field& field : kText2) {
        if (field.enterClicks < -1 || field.enterClicks >= static_cast<int>(kCommand1.size())) {
            return false;
        }
    }
    return true;
}
static_assert(EnterClicksValidButtons());

// The help texts, Text1(0..1): multi-line, read-only, with a vertical
// scroll bar. Lines end in CR LF. The quotation's box would cover the lower
// half of the task text and run past the window's edge, so no front end
// gives it a box: its words go with the task text (its tooltip or its
// accessible description) and it takes no focus.
struct HelpText {
    std::string_view text;
    Twips place;
    int tabIndex;
};
inline constexpr std::array<HelpText, 2> kText1{{
    {"През 1802, Тарквел забелязва наличие на деветки в сумата на цифрите на безкрайни периодични дроби, "
     "чиито знаменатели са прости числа. Примери за това са:\r\n"
     "1/7 = 0.142857143  142 + 857 = 999\r\n"
     "1/13 = 0.076923077 769 + 230 = 999\r\n"
     "7/13 = 0.05384615384615384  538 + 461 = 999\r\n"
     "5/14 = 0.03571428571428571  571 + 428 = 999\r\n"
     "1/73 = 0.01369863  136 + 9863 = 9999\r\n"
     "Да се реализира проект, осъществаващ вътрешнопредметни връзки в Информатика.\r\n"
     "Тема на проекта: Информатика - зелване.\r\n"
     "Две естествени числа, числител и знаменател на проста дроб, се въвеждат в текстови полета. "
     "Ако в сумата на първите 3 или 4 цифри има само деветки да се извеждат тези последователности "
     "от цифри и тяхната сума. \r\n",
     {120, 2520, 6975, 2535}, 0},
    {"Неприятното в това да си първият, направил нещо по \r\n"
     "правилния начин, е, че никой не оценява колко трудно е \r\n"
     "било. \r\n",
     {600, 3600, 6735, 1815}, 1},
}};
inline constexpr int kTaskText = 0;
inline constexpr int kQuotation = 1;

// A help text with its CR LF line ends as `lineEnd`: a multi-line Windows
// edit box wants CR LF, other text boxes line feeds.
inline std::string ShownHelpText(int index, std::string_view lineEnd) {
    const std::string_view text = kText1[static_cast<std::size_t>(index)].text;
    std::string out;
    out.reserve(text.size());
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find("\r\n", start);
        out.append(text.substr(start, end - start));
        if (end == std::string_view::npos) {
            break;
        }
        out.append(lineEnd);
        start = end + 2;
    }
    return out;
}

// The quotation as the task text's tooltip and accessible description: its
// lines, without the blank and the line end after its last word.
inline std::string QuotationTip(std::string_view lineEnd) {
    std::string tip = ShownHelpText(kQuotation, lineEnd);
    while (!tip.empty() && (tip.back() == ' ' || tip.back() == '\r' || tip.back() == '\n')) {
        tip.pop_back();
    }
    return tip;
}

// The explain view: the whole period, the long division and the nines of
// the fraction last calculated, in a window of its own. F1 anywhere in the
// window opens it, and so does this item of the expansion field's context
// menu; the web page also has a button with it below the window. The
// expansion field's tooltip says so.
inline constexpr std::string_view kExplainCommand = "Обяснение…";
inline constexpr std::string_view kExpansionTip =
    "F1: обяснение на дробта — целият период, делението стъпка по стъпка и деветките";
// What a screen reader calls the explanation's text.
inline constexpr std::string_view kExplanationName = "Обяснение на дробта";
// What a screen reader calls the explanation's figure (its description is
// the figure's own text alternative) and the list of the division's steps.
inline constexpr std::string_view kFigureName = "Колело на остатъците";
inline constexpr std::string_view kStepListName = "Стъпките на деленето";
// The explain view's command that prints it (Ctrl+P does too): the
// standard print dialog, which also saves a PDF; the browser's own print
// on the web page.
inline constexpr std::string_view kPrintCommand = "Печат…";
// The web page's button that closes the explanation (Esc closes it too).
inline constexpr std::string_view kCloseCommand = "Затвори";

// What a screen reader calls the task text, which has no label of its own.
inline constexpr std::string_view kTaskTextName = "Условие на задачата";

// The controls that take focus, in the order Tab moves through them: by
// ascending tab index, labels and the quotation excepted. The numerator
// comes last although it stands first on its line. Add parts is skipped
// while it is unavailable.
enum class Kind { Text1, Text2, Command1 };
struct ControlRef {
    Kind kind;
    int index;
};
inline constexpr std::array<ControlRef, 10> kFocusOrder{{
    {Kind::Text1, 0},
    {Kind::Text2, 0},
    {Kind::Text2, 1},
    {Kind::Text2, 2},
    {Kind::Text2, 3},
    {Kind::Text2, 4},
    {Kind::Command1, 0},
    {Kind::Command1, 1},
    {Kind::Command1, 2},
    {Kind::Text2, 5},
}};

constexpr int TabIndexOf(ControlRef control) {
    switch (control.kind) {
        case Kind::Text1:
            return kText1[static_cast<std::size_t>(control.index)].tabIndex;
        case Kind::Text2:
            return kText2[static_cast<std::size_t>(control.index)].tabIndex;
        case Kind::Command1:
            return kCommand1[static_cast<std::size_t>(control.index)].tabIndex;
    }
    return -1;
}

// The focus order is the tab indices' order.
constexpr bool FocusOrderFollowsTabIndex() {
    for (std::size_t i = 1; i < kFocusOrder.size(); ++i) {
        if (TabIndexOf(kFocusOrder[i - 1]) >= TabIndexOf(kFocusOrder[i])) {
            return false;
        }
    }
    return true;
}
static_assert(FocusOrderFollowsTabIndex());

}  // namespace zelvane::form
