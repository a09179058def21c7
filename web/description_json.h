// The window's description as one JSON text for the web page, built from the
// shared tables of form_description.h and the core's field and button roles.
// Places come both in twips and in CSS pixels (1/96 inch).
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "form_description.h"
#include "form_state.h"

namespace zelvane::web {
namespace json {

inline void Text(std::string& out, std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    out.push_back('"');
    for (char c : text) {
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    out += "\\u00";
                    out.push_back(kHex[(c >> 4) & 0xF]);
                    out.push_back(kHex[c & 0xF]);
                } else {
                    out.push_back(c);  // UTF-8 passes through
                }
        }
    }
    out.push_back('"');
}

inline void Key(std::string& out, std::string_view key) {
    if (out.back() != '{') {
        out.push_back(',');
    }
    Text(out, key);
    out.push_back(':');
}

inline void Number(std::string& out, std::string_view key, int value) {
    Key(out, key);
    out += std::to_string(value);
}

// A JSON array of numbers: [a,b,c].
inline void Numbers(std::string& out, std::initializer_list<int> values) {
    out.push_back('[');
    for (int value : values) {
        if (out.back() != '[') {
            out.push_back(',');
        }
        out += std::to_string(value);
    }
    out.push_back(']');
}

inline void Colour(std::string& out, std::string_view key, form::Rgb rgb) {
    Key(out, key);
    Numbers(out, {rgb.red, rgb.green, rgb.blue});
}

inline void Place(std::string& out, const form::Twips& p) {
    Key(out, "twips");
    Numbers(out, {p.left, p.top, p.width, p.height});
    Key(out, "px");
    Numbers(out, {form::TwipsToPixels(p.left), form::TwipsToPixels(p.top), form::TwipsToPixels(p.width),
                  form::TwipsToPixels(p.height)});
}

}  // namespace json

// The button a press of Enter clicks in Text2(field), or -1: Calculate from
// the numerator and the denominator, Add parts from the two group fields.
constexpr int EnterClicks(int field) {
    switch (field) {
        case kNumerator:
        case kDenominator:
            return kCalculateButton;
        case kLeftGroup:
        case kRightGroup:
            return kAddPartsButton;
        default:
            return -1;
    }
}

inline std::string DescriptionJson(std::string_view publisherAddress) {
    std::string out = "{";
    json::Key(out, "caption");
    json::Text(out, form::Caption(publisherAddress));
    json::Number(out, "width", form::kClientWidth);
    json::Number(out, "height", form::kClientHeight);
    json::Number(out, "widthPx", form::TwipsToPixels(form::kClientWidth));
    json::Number(out, "heightPx", form::TwipsToPixels(form::kClientHeight));
    json::Colour(out, "background", form::kFormBackground);
    json::Key(out, "fontFamily");
    json::Text(out, form::kFontFamily);
    json::Number(out, "fontPoints", form::kFontPoints);
    json::Number(out, "fontWeight", form::kFontWeight);
    json::Colour(out, "labelBackground", form::kLabelBackground);
    json::Colour(out, "buttonText", form::kButtonText);
    json::Colour(out, "unavailableButton", form::kUnavailableButton);
    json::Colour(out, "unavailableButtonText", form::kUnavailableButtonText);

    json::Key(out, "Label1");
    out.push_back('[');
    for (const form::Label& label : form::kLabel1) {
        out += out.back() == '[' ? "{" : ",{";
        json::Key(out, "caption");
        json::Text(out, label.caption);
        json::Place(out, label.place);
        json::Number(out, "tabIndex", label.tabIndex);
        out.push_back('}');
    }
    out.push_back(']');

    json::Key(out, "Text2");
    out.push_back('[');
    for (int i = 0; i < kText2Count; ++i) {
        const form::Field& field = form::kText2[static_cast<std::size_t>(i)];
        out += out.back() == '[' ? "{" : ",{";
        json::Place(out, field.place);
        json::Number(out, "tabIndex", field.tabIndex);
        json::Number(out, "maxLength", field.maxLength);
        json::Key(out, "readOnly");
        out += field.readOnly ? "true" : "false";
        json::Number(out, "label", field.label);
        json::Number(out, "enterClicks", EnterClicks(i));
        out.push_back('}');
    }
    out.push_back(']');

    json::Key(out, "Command1");
    out.push_back('[');
    for (const form::Button& button : form::kCommand1) {
        out += out.back() == '[' ? "{" : ",{";
        json::Key(out, "caption");
        json::Text(out, button.caption);
        json::Colour(out, "colour", button.colour);
        json::Place(out, button.place);
        json::Number(out, "tabIndex", button.tabIndex);
        out.push_back('}');
    }
    out.push_back(']');

    json::Key(out, "Text1");
    out.push_back('[');
    for (const form::HelpText& help : form::kText1) {
        out += out.back() == '[' ? "{" : ",{";
        json::Key(out, "text");
        json::Text(out, help.text);
        json::Place(out, help.place);
        json::Number(out, "tabIndex", help.tabIndex);
        out.push_back('}');
    }
    out.push_back(']');
    json::Number(out, "taskText", form::kTaskText);
    json::Number(out, "quotation", form::kQuotation);
    json::Key(out, "taskTextName");
    json::Text(out, form::kTaskTextName);

    // The controls that take focus, in Tab order, as element ids.
    json::Key(out, "focusOrder");
    out.push_back('[');
    for (const form::ControlRef& control : form::kFocusOrder) {
        if (out.back() != '[') {
            out.push_back(',');
        }
        const char* kind = control.kind == form::Kind::Text1   ? "Text1_"
                           : control.kind == form::Kind::Text2 ? "Text2_"
                                                               : "Command1_";
        json::Text(out, kind + std::to_string(control.index));
    }
    out.push_back(']');
    out.push_back('}');
    return out;
}

}  // namespace zelvane::web
