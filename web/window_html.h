// The worksheet's window as HTML markup, written from the shared window
// description when the page is built, so that the browser draws the window
// as soon as it has read it, before any script runs. The page's script then
// binds the controls by their ids (Text1_0, Label1_i, Text2_i, Command1_i)
// to the core. Places are CSS pixels (1/96 inch) from the description's
// twips.
#pragma once

#include <string>
#include <string_view>

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

    // The task text. The quotation has no box of its own (it would cover the
    // task text); its words go with the task text.
    const form::HelpText& task = form::kText1[form::kTaskText];
    const std::string quotation = Escaped(form::QuotationTip("\n"));
    out += "<textarea id=\"Text1_" + std::to_string(form::kTaskText) + "\" readonly tabindex=\"" +
           std::to_string(task.tabIndex + 1) + "\" spellcheck=\"false\" title=\"" + quotation + "\" aria-label=\"" +
           Escaped(form::kTaskTextName) + "\" aria-description=\"" + quotation + "\" style=\"" + Place(task.place) +
           "\">\n" + Escaped(form::ShownHelpText(form::kTaskText, "\n")) + "</textarea>\n";

    // Labels; those that name a field are its <label>.
    for (std::size_t i = 0; i < form::kLabel1.size(); ++i) {
        int bound = -1;
        for (std::size_t f = 0; f < form::kText2.size(); ++f) {
            if (form::kText2[f].label == static_cast<int>(i)) {
                bound = static_cast<int>(f);
            }
        }
        const char* tag = bound < 0 ? "div" : "label";
        out += std::string("<") + tag + " id=\"Label1_" + std::to_string(i) + "\" class=\"label\"" +
               (bound < 0 ? "" : " for=\"Text2_" + std::to_string(bound) + "\"") + " style=\"background: " +
               Rgb(form::kLabelBackground) + "; " + Place(form::kLabel1[i].place) + "\">" +
               Escaped(form::kLabel1[i].caption) + "</" + tag + ">\n";
    }

    for (std::size_t i = 0; i < form::kCommand1.size(); ++i) {
        const form::Button& button = form::kCommand1[i];
        out += "<button type=\"button\" id=\"Command1_" + std::to_string(i) + "\" tabindex=\"" +
               std::to_string(button.tabIndex + 1) + "\"" +
               (loaded.Command1Enabled(static_cast<int>(i)) ? "" : " disabled") + " style=\"--colour: " +
               Rgb(button.colour) + "; " + Place(button.place) + "\">" + Escaped(button.caption) + "</button>\n";
    }

    // Every field starts read-only: the page's script opens those the pupil
    // types into once the core is ready to take their text.
    for (std::size_t i = 0; i < form::kText2.size(); ++i) {
        const form::Field& field = form::kText2[i];
        out += "<input type=\"text\" id=\"Text2_" + std::to_string(i) + "\" tabindex=\"" +
               std::to_string(field.tabIndex + 1) + "\" readonly" +
               (static_cast<int>(i) == kExpansion ? " title=\"" + Escaped(form::kExpansionTip) + "\"" : "") +
               " autocomplete=\"off\" spellcheck=\"false\" autocapitalize=\"off\" style=\"" + Place(field.place) +
               "\">\n";
    }
    out += "</div>\n";
    return out;
}

}  // namespace zelvane::web
