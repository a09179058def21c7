// The explanation's lead, which answers at a glance before the sections:
// the fraction's decimal, the wheel of its remainders, and what the
// halves (or the thirds) of the period add up to, with the reason in one
// sentence. Also how a marked text becomes a block with raised runs.
#include "writer.h"

namespace zelvane::explain::detail {
namespace {

// Periods up to this long have their halves and thirds written out in the
// lead's sentence; longer ones are told in words.
constexpr size_t kLeadDigits = 24;

size_t Utf16Units(std::string_view text) {
    size_t units = 0;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        units += ((byte & 0xC0) != 0x80) + (byte >= 0xF0);
    }
    return units;
}

}  // namespace

Block& Writer::Text(BlockKind kind, std::string marked) {
    Block& block = doc_.blocks.emplace_back();
    block.kind = kind;
    block.text.reserve(marked.size());
    for (const char c : marked) {
        if (c == kRaise) {
            block.raised.push_back({block.text.size(), block.text.size()});
        } else if (c == kLower) {
            block.raised.back().to = block.text.size();
        } else {
            block.text.push_back(c);
        }
    }
    return block;
}

void Writer::Lead() {
    const size_t P = f_.prePeriod;
    const size_t L = f_.period;
    // The notation of the whole fraction, and where each step's digit stands in it.
    const std::string start = Cat(f_.numerator, "/", f_.denominator, " = ", f_.whole, ",");
    Block& notation = Text(BlockKind::kNotation, start + f_.notation.substr(2));
    notation.stepDigits.assign(a_.steps.size(), kNoStep);
    const size_t units = Utf16Units(start);
    for (size_t k = 0; k < P; ++k) {
        notation.stepDigits[k] = units + k;
    }
    if (f_.kind == Kind::kPeriodic) {
        const size_t first = units + P + 1;  // after "("
        for (size_t i = 0; i < L; ++i) {
            if (L <= kNotationDigits) {
                notation.stepDigits[P + i] = first + i;
            } else if (i < kGroupDigits) {
                notation.stepDigits[P + i] = first + i;
            } else if (i >= L - kGroupDigits) {
                notation.stepDigits[P + i] = first + kGroupDigits + 1 + (i - (L - kGroupDigits));  // after "…"
            }
        }
    }
    AddFigure(Wheel(a_, a_.steps, f_.kind == Kind::kPeriodic && L % 2 != 0 && L % 3 == 0));
    if (f_.kind == Kind::kPeriodic && L % 2 == 0 && L % 3 == 0) {
        AddFigure(Wheel(a_, a_.steps, true));
    }
    Paragraph(Summary());
    doc_.lead = doc_.blocks.size();
}

std::string Writer::Summary() const {
    const size_t P = f_.prePeriod;
    const size_t L = f_.period;
    const int64_t dr = f_.reducedDenominator;
    if (f_.kind == Kind::kTerminating) {
        return Cat("Дробта е крайна: на стъпка ", P, " остатъкът става 0 и деленето свършва.");
    }
    const std::string_view period = Period();
    if (L % 2 == 0) {
        const size_t h = L / 2;
        std::string sum;
        if (L <= kLeadDigits) {
            sum = Cat(period.substr(0, h), " + ", period.substr(h), " = ", f_.halvesSum);
        } else {
            sum = Cat("Двете половини на периода, по ", Digits(h), ", ",
                      f_.halvesNines ? Cat("дават ", h, " деветки") : std::string("не дават само деветки"));
        }
        return f_.halvesNines ? Cat(sum, ": всеки остатък и срещуположният му дават сбор ", dr, ".")
                              : Cat(sum, ": срещуположните остатъци тук не дават сбор ", dr, ".");
    }
    if (L % 3 == 0 && f_.thirdsMultiple != 0) {
        const size_t t = L / 3;
        std::string sum;
        if (L <= kLeadDigits) {
            sum = Cat(period.substr(0, t), " + ", period.substr(t, t), " + ", period.substr(2 * t), " = ", f_.thirdsSum);
        } else {
            sum = Cat("Трите части на периода, по ", Digits(t), ", дават ",
                      f_.thirdsMultiple == 1 ? Cat(t, " деветки") : Cat("2 · (", Power(t), " − 1)"));
        }
        return Cat(sum, ": трите остатъка на всеки триъгълник дават сбор ", dr, " или ", 2 * dr, ".");
    }
    return Cat("Периодът има ", Digits(L), " — нечетен брой, затова няма половини, които да дадат деветки.");
}

}  // namespace zelvane::explain::detail
