// The window's description as one JSON text for the web page, built from the
// shared tables of form_description.h.
// Places come both in twips and in CSS pixels (1/96 inch).
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "form_description.h"

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
            case '<': out += "\\u003c"; break;  // never "</script>" in a page
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


// A JSON array under `key`, one value per element of `items`, each written
// by `value(out, item, index)`.
template <typename Items, typename Value>
void Array(std::string& out, std::string_view key, const Items& items, Value value) {
    Key(out, key);
    out.push_back('[');
    std::size_t index = 0;
    for (const auto& item : items) {
        if (index > 0) {
            out.push_back(',');
        }
        value(out, item, index++);
    }
    out.push_back(']');
}

// A JSON array with one object per element of `items`, each written by
// `object(out, item, index)` between the braces.
template <typename Items, typename Object>
void Objects(std::string& out, std::string_view key, const Items& items, Object object) {
    Array(out, key, items, [&object](std::string& o, const auto& item, std::size_t index) {
        o.push_back('{');
        object(o, item, index);
        o.push_back('}');
    });
}

inline void Boolean(std::string& out, std::string_view key, bool value) {
    Key(out, key);
    out += value ? "true" : "false";
}

inline void TextValue(std::string& out, std::string_view key, std::string_view text) {
    Key(out, key);
    Text(out, text);
}

}  // namespace json

inline std::string DescriptionJson(std::string_view publisherAddress) {
    using namespace json;
    std::string out = "{";
    TextValue(out, "caption", form::Caption(publisherAddress));
    Number(out, "width", form::kClientWidth);
    Number(out, "height", form::kClientHeight);
    Number(out, "widthPx", form::TwipsToPixels(form::kClientWidth));
    Number(out, "heightPx", form::TwipsToPixels(form::kClientHeight));
    Colour(out, "background", form::kFormBackground);
    TextValue(out, "fontFamily", form::kFontFamily);
    Number(out, "fontPoints", form::kFontPoints);
    Number(out, "fontWeight", form::kFontWeight);
    Colour(out, "labelBackground", form::kLabelBackground);
    Colour(out, "buttonText", form::kButtonText);
    Colour(out, "unavailableButton", form::kUnavailableButton);
    Colour(out, "unavailableButtonText", form::kUnavailableButtonText);

    Objects(out, "Label1", form::kLabel1, [](std::string& o, const form::Label& label, std::size_t) {
        TextValue(o, "caption", label.caption);
        Place(o, label.place);
        Number(o, "tabIndex", label.tabIndex);
    });
    Objects(out, "Text2", form::kText2, [](std::string& o, const form::Field& field, std::size_t index) {
        Place(o, field.place);
        Number(o, "tabIndex", field.tabIndex);
        Number(o, "maxLength", field.maxLength);
        Boolean(o, "readOnly", field.readOnly);
        Number(o, "label", field.label);
        Number(o, "enterClicks", field.enterClicks);
        Boolean(o, "numberKeyboard", form::kNumberKeyboard[index]);
    });
    Objects(out, "Command1", form::kCommand1, [](std::string& o, const form::Button& button, std::size_t) {
        TextValue(o, "caption", button.caption);
        Colour(o, "colour", button.colour);
        Place(o, button.place);
        Number(o, "tabIndex", button.tabIndex);
    });
    Boolean(out, "enterClicksFocusedButton", form::kEnterClicksFocusedButton);
    Objects(out, "Text1", form::kText1, [](std::string& o, const form::HelpText& help, std::size_t index) {
        TextValue(o, "text", help.text);
        TextValue(o, "shown", form::ShownHelpText(static_cast<int>(index), "\n"));
        Place(o, help.place);
        Number(o, "tabIndex", help.tabIndex);
    });
    Number(out, "taskText", form::kTaskText);
    Number(out, "quotation", form::kQuotation);
    TextValue(out, "quotationTip", form::QuotationTip("\n"));
    TextValue(out, "taskTextName", form::kTaskTextName);
    TextValue(out, "explainCommand", form::kExplainCommand);
    TextValue(out, "expansionTip", form::kExpansionTip);
    TextValue(out, "explanationName", form::kExplanationName);
    TextValue(out, "closeCommand", form::kCloseCommand);
    TextValue(out, "printCommand", form::kPrintCommand);
    TextValue(out, "figureName", form::kFigureName);
    TextValue(out, "stepListName", form::kStepListName);

    // The controls that take focus, in Tab order, as element ids.
    Array(out, "focusOrder", form::kFocusOrder, [](std::string& o, const form::ControlRef& control, std::size_t) {
        const char* kind = control.kind == form::Kind::Text1   ? "Text1_"
                           : control.kind == form::Kind::Text2 ? "Text2_"
                                                               : "Command1_";
        Text(o, kind + std::to_string(control.index));
    });
    out.push_back('}');
    return out;
}

}  // namespace zelvane::web
