// The worksheet's window as HTML markup, written from the shared window
// description when the page is built, so that the browser draws the window
// as soon as it has read it, before any script runs. The page's script then
// binds the controls by their ids (Text1_0, Label1_i, Text2_i, Command1_i)
// to the core. Places are CSS pixels (1/96 inch) from the description's
// twips. The controls stand in the document in their focus order, each
// placed where the description puts it.
#pragma once

#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "form_description.h"
#include "form_state.h"

namespace zelvane::web {
namespace html {

// Text with &, <, > and " written as character references.
inline std::string Escaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out.push_back(c);
        }
    }
    return out;
}

inline std::string Rgb(form::Rgb c) {
    return "rgb(" + std::to_string(c.red) + ", " + std::to_string(c.green) + ", " + std::to_string(c.blue) + ")";
}

inline std::string Place(const form::Twips& p) {
    return "left: " + std::to_string(form::TwipsToPixels(p.left)) + "px; top: " +
           std::to_string(form::TwipsToPixels(p.top)) + "px; width: " + std::to_string(form::TwipsToPixels(p.width)) +
           "px; height: " + std::to_string(form::TwipsToPixels(p.height)) + "px";
}

}  // namespace html

// A box in CSS pixels of the window at 100 %.
struct Box {
    int left, top, right, bottom;
};

inline Box BoxOf(const form::Twips& p) {
    const int left = form::TwipsToPixels(p.left), top = form::TwipsToPixels(p.top);
    return {left, top, left + form::TwipsToPixels(p.width), top + form::TwipsToPixels(p.height)};
}

// How far a control's touch area reaches past its drawn box, in CSS pixels
// of the window at 100 %: on a phone the window is scaled to the screen's
// width, and a fingertip misses boxes 20 px high.
inline constexpr int kTouchMargin = 8;

// The touch area of each control that takes focus (in the focus order):
// its box grown by kTouchMargin on every side, within the window, but
// never past the line halfway to another control or to the label of
// another field (a label takes taps for its field), so that no two areas
// meet and a tap beside a box reaches the control nearest to it.
inline std::array<Box, form::kFocusOrder.size()> TouchAreas() {
    struct Target {
        Box box;
        int owner;  // the index in kFocusOrder of the control it takes taps for
    };
    std::vector<Target> targets;
    std::array<Box, form::kFocusOrder.size()> boxes{};
    for (std::size_t i = 0; i < form::kFocusOrder.size(); ++i) {
        const form::ControlRef c = form::kFocusOrder[i];
        const auto at = static_cast<std::size_t>(c.index);
        const form::Twips place = c.kind == form::Kind::Text1   ? form::kText1[at].place
                                  : c.kind == form::Kind::Text2 ? form::kText2[at].place
                                                                : form::kCommand1[at].place;
        boxes[i] = BoxOf(place);
        targets.push_back({boxes[i], static_cast<int>(i)});
        if (c.kind == form::Kind::Text2 && form::kText2[at].label >= 0) {
            targets.push_back({BoxOf(form::kLabel1[static_cast<std::size_t>(form::kText2[at].label)].place),
                               static_cast<int>(i)});
        }
    }
    const int width = form::TwipsToPixels(form::kClientWidth), height = form::TwipsToPixels(form::kClientHeight);
    std::array<Box, form::kFocusOrder.size()> areas{};
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const Box b = boxes[i];
        Box area{std::max(0, b.left - kTouchMargin), std::max(0, b.top - kTouchMargin),
                 std::min(width, b.right + kTouchMargin), std::min(height, b.bottom + kTouchMargin)};
        for (const Target& other : targets) {
            const Box o = other.box;
            if (other.owner == static_cast<int>(i) || o.right + kTouchMargin <= area.left ||
                o.left - kTouchMargin >= area.right || o.bottom + kTouchMargin <= area.top ||
                o.top - kTouchMargin >= area.bottom) {
                continue;
            }
            // Cut along the axis with the wider gap between the two boxes.
            const int gapX = std::max(o.left - b.right, b.left - o.right);
            const int gapY = std::max(o.top - b.bottom, b.top - o.bottom);
            if (gapX < 0 && gapY < 0) {
                continue;  // boxes that overlap: none do
            }
            // Halfway, rounded towards the box itself: no pixel is shared.
            if (gapX >= gapY) {
                if (o.left >= b.right) {
                    area.right = std::min(area.right, b.right + gapX / 2);
                } else {
                    area.left = std::max(area.left, b.left - gapX / 2);
                }
            } else if (o.top >= b.bottom) {
                area.bottom = std::min(area.bottom, b.bottom + gapY / 2);
            } else {
                area.top = std::max(area.top, b.top - gapY / 2);
            }
        }
        areas[i] = area;
    }
    return areas;
}

inline std::string WindowHtml() {
    using html::Escaped;
    using html::Place;
    using html::Rgb;
    // Which buttons are available once the form has loaded, as the core's
    // Load leaves them.
    FormState loaded;
    OnFormLoad(loaded);

    std::string out = "<div id=\"Zelvane\" style=\"width: " + std::to_string(form::TwipsToPixels(form::kClientWidth)) +
                      "px; height: " + std::to_string(form::TwipsToPixels(form::kClientHeight)) +
                      "px; background: " + Rgb(form::kFormBackground) + "; --form-font: &quot;" +
                      Escaped(form::kFontFamily) + "&quot;; font-size: " + std::to_string(form::kFontPoints) +
                      "pt; font-weight: " + std::to_string(form::kFontWeight) + "; --button-text: " +
                      Rgb(form::kButtonText) + "; --unavailable: " + Rgb(form::kUnavailableButton) +
                      "; --unavailable-text: " + Rgb(form::kUnavailableButtonText) + "\">\n";

    // The touch areas first, under everything drawn: each empty, hidden from
    // screen readers; the page's script passes a tap on one to its control.
    const auto areas = TouchAreas();
    for (std::size_t i = 0; i < areas.size(); ++i) {
        const form::ControlRef c = form::kFocusOrder[i];
        const std::string id = (c.kind == form::Kind::Text1   ? "Text1_"
                                : c.kind == form::Kind::Text2 ? "Text2_"
                                                              : "Command1_") +
                               std::to_string(c.index);
        const Box& a = areas[i];
        out += "<div class=\"touch\" data-for=\"" + id + "\" aria-hidden=\"true\" style=\"left: " + std::to_string(a.left) +
               "px; top: " + std::to_string(a.top) + "px; width: " + std::to_string(a.right - a.left) +
               "px; height: " + std::to_string(a.bottom - a.top) + "px\"></div>\n";
    }

    // Labels; those that name a field are its <label>, written just before
    // it; the title is the page's heading.
    auto label = [&](std::size_t i) {
        int bound = -1;
        for (std::size_t f = 0; f < form::kText2.size(); ++f) {
            if (form::kText2[f].label == static_cast<int>(i)) {
                bound = static_cast<int>(f);
            }
        }
        const char* tag = bound >= 0 ? "label" : i == 0 ? "h1" : "div";
        out += std::string("<") + tag + " id=\"Label1_" + std::to_string(i) + "\" class=\"label\"" +
               (bound < 0 ? "" : " for=\"Text2_" + std::to_string(bound) + "\"") + " style=\"background: " +
               Rgb(form::kLabelBackground) + "; " + Place(form::kLabel1[i].place) + "\">" +
               Escaped(form::kLabel1[i].caption) + "</" + tag + ">\n";
    };
    std::vector<bool> written(form::kLabel1.size(), false);
    label(0);
    written[0] = true;

    // The controls in the order Tab moves through them, so that the browser's
    // own order is theirs and none needs a tab index.
    for (const form::ControlRef c : form::kFocusOrder) {
        const auto i = static_cast<std::size_t>(c.index);
        if (c.kind == form::Kind::Text1) {
            // The task text. The quotation has no box of its own (it would
            // cover the task text); its words go with the task text.
            const form::HelpText& task = form::kText1[i];
            const std::string quotation = Escaped(form::QuotationTip("\n"));
            out += "<textarea id=\"Text1_" + std::to_string(i) +
                   "\" readonly spellcheck=\"false\" title=\"" + quotation + "\" aria-label=\"" +
                   Escaped(form::kTaskTextName) + "\" aria-description=\"" + quotation + "\" style=\"" +
                   Place(task.place) + "\">\n" + Escaped(form::ShownHelpText(c.index, "\n")) + "</textarea>\n";
        } else if (c.kind == form::Kind::Command1) {
            const form::Button& button = form::kCommand1[i];
            out += "<button type=\"button\" id=\"Command1_" + std::to_string(i) + "\"" +
                   (loaded.Command1Enabled(c.index) ? "" : " disabled") + " style=\"--colour: " + Rgb(button.colour) +
                   "; " + Place(button.place) + "\">" + Escaped(button.caption) + "</button>\n";
        } else {
            // Every field starts read-only: the page's script opens those
            // the pupil types into once the core is ready to take their text.
            const form::Field& field = form::kText2[i];
            if (field.label >= 0 && !written[static_cast<std::size_t>(field.label)]) {
                label(static_cast<std::size_t>(field.label));
                written[static_cast<std::size_t>(field.label)] = true;
            }
            out += "<input type=\"text\" id=\"Text2_" + std::to_string(i) + "\" readonly" +
                   (form::kNumberKeyboard[i] ? " inputmode=\"decimal\"" : "") +
                   (c.index == kExpansion ? " title=\"" + Escaped(form::kExpansionTip) + "\"" : "") +
                   " autocomplete=\"off\" spellcheck=\"false\" autocapitalize=\"off\" style=\"" + Place(field.place) +
                   "\">\n";
        }
    }
    for (std::size_t i = 0; i < form::kLabel1.size(); ++i) {
        if (!written[i]) {
            label(i);
        }
    }
    out += "</div>\n";
    return out;
}

}  // namespace zelvane::web
