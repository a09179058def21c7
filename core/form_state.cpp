#include "form_state.h"

#include "actions.h"

namespace zelvane {

const std::u32string& FormState::Text2(int index) const { return text2_.at(static_cast<std::size_t>(index)); }

void FormState::SetText2(int index, std::u32string text) { text2_.at(static_cast<std::size_t>(index)) = std::move(text); }

bool FormState::Command1Enabled(int index) const {
    return index == kAddPartsButton ? addPartsEnabled_ : (index == kCalculateButton || index == kClearButton);
}

void FormState::SetCommand1Enabled(int index, bool enabled) {
    if (index == kAddPartsButton) {
        addPartsEnabled_ = enabled;
    }
}

void OnFormLoad(FormState& form) { ClearFields(form); }

void OnCommandClick(FormState& form, std::int16_t index) {
    if (index < 0 || index >= kCommand1Count || !form.Command1Enabled(index)) {
        return;
    }
    switch (index) {
        case kCalculateButton:
            CalculateFraction(form);
            break;
        case kAddPartsButton:
            AddParts(form);
            break;
        case kClearButton:
            ClearFields(form);
            break;
        default:
            break;
    }
}

}  // namespace zelvane
