// The explanation's opening sections: the fraction as the window read it,
// its decimal in the pupils' notation, the pre-period and the period with
// the length of the period, and the long division's introduction.
#include "writer.h"

namespace zelvane::explain::detail {

void Writer::Write() {
    doc_.title = Cat("Обяснение: ", a_.numeratorText, "/", a_.denominatorText);
    if (f_.kind == Kind::kNotNatural) {
        NotNatural();
        return;
    }
    if (f_.kind == Kind::kTerminating || f_.kind == Kind::kPeriodic) {
        Lead();
    }
    Fraction();
    Decimal();
    if (f_.kind == Kind::kZero) {
        return;
    }
    PrePeriodAndPeriod();
    if (f_.kind != Kind::kTooLong) {
        Division();
    }
    WindowLine();
    if (f_.kind != Kind::kTooLong) {
        Nines();
    }
    WindowVerdict();
}

void Writer::NotNatural() {
    std::string reason;
    switch (a_.refusal) {
        case Refusal::kTooLarge:
            reason = "Тук едно от двете числа е твърде голямо.";
            break;
        case Refusal::kDenominatorFraction:
            reason = Cat("Тук знаменателят ", a_.denominatorText, " не е цяло число.");
            break;
        case Refusal::kDenominatorSmall:
            reason = Cat("Тук знаменателят ", a_.denominatorText, " е по-малък от 3.");
            break;
        case Refusal::kDenominatorLarge:
            reason = Cat("Тук знаменателят ", a_.denominatorText, " е твърде голям.");
            break;
        case Refusal::kNumeratorNegative:
            reason = Cat("Тук числителят ", a_.numeratorText, " е отрицателен.");
            break;
        case Refusal::kNumeratorLarge:
            reason = Cat("Тук числителят ", a_.numeratorText, " е твърде голям.");
            break;
        case Refusal::kNone:
            break;
    }
    Paragraph(Cat("Обяснението е само за естествени числа: цял числител от 0 до ", kInt32Max,
                  " и цял знаменател от 3 до ", kInt32Max, ". ", reason,
                  " Резултатът в прозореца остава такъв, какъвто го е изчислил прозорецът."));
}

void Writer::Fraction() {
    const int64_t n = f_.numerator;
    const int64_t d = f_.denominator;
    Heading("Дробта");
    Paragraph(Cat("Прозорецът прочете числител ", a_.numeratorText, " и знаменател ", a_.denominatorText, "."));
    if (f_.numeratorRounded) {
        Paragraph(Cat("Числителят ", a_.numeratorText, " не е цяло число; прозорецът го закръгля до ", n,
                      " (точната половина — към четното число), затова обяснението е за ", n, "/", d, "."));
    }
    if (n >= d) {
        Paragraph(Cat("Числителят не е по-малък от знаменателя: ", n, "/", d, " = ", f_.whole, " + ", f_.remainder,
                      "/", d, ". Цялата част ", f_.whole, " прозорецът не показва — той показва само цифрите на ",
                      f_.remainder, "/", d, "."));
    }
    if (f_.remainder != 0 && f_.common > 1) {
        Paragraph(Cat("Числителят и знаменателят на ", f_.remainder, "/", d, " имат общ делител ", f_.common, ": ",
                      f_.remainder, "/", d, " = ", Reduced(),
                      ". Двете дроби имат едни и същи цифри, затова по-нататък делим ", f_.reducedNumerator, " на ",
                      f_.reducedDenominator, "."));
    }
}

void Writer::Decimal() {
    Heading("Десетичният запис");
    if (f_.kind == Kind::kZero) {
        Notation(Cat(f_.remainder, "/", f_.denominator, " = 0"));
        Paragraph(Cat("Дробта е равна на 0: при деленето всеки остатък е 0, затова всички цифри след запетаята са "
                      "нули и няма нито предпериод, нито период. Прозорецът показва ",
                      f_.window, " и не намира деветки."));
        return;
    }
    if (f_.kind == Kind::kTooLong) {
        Paragraph(Cat("Периодът на ", Reduced(), " има ", Digits(f_.period),
                      " — твърде много, за да бъдат изписани тук цифрите и стъпките на деленето."));
        return;
    }
    std::string notation = Cat(f_.remainder, "/", f_.denominator, " = ");
    if (f_.common > 1) {
        notation += Reduced() + " = ";
    }
    Notation(notation + f_.notation);
    const std::string_view pre = std::string_view(a_.digits).substr(0, f_.prePeriod);
    if (f_.kind == Kind::kTerminating) {
        Paragraph(Cat("Десетичната дроб е крайна: има ", Digits(f_.prePeriod),
                      " след запетаята, а по-нататък — само нули."));
        return;
    }
    if (f_.prePeriod > 0) {
        Paragraph(Cat(f_.prePeriod == 1 ? "Цифрата " : "Цифрите ", pre,
                      f_.prePeriod == 1 ? " преди скобите е предпериодът" : " преди скобите са предпериодът",
                      ", а цифрите в скобите — периодът: те се повтарят безкрайно."));
    } else {
        Paragraph("Цифрите в скобите са периодът: те се повтарят безкрайно.");
    }
    if (f_.period > kNotationDigits) {
        Paragraph(Cat("Периодът има ", Digits(f_.period),
                      "; в записа по-горе са показани само първите и последните десет. Ето ги всичките, по десет в "
                      "група; числото в началото на реда е поредният номер в периода на първата цифра от реда."));
        Lines(GroupedLines(Period()));
    }
}

void Writer::PrePeriodAndPeriod() {
    const int64_t dr = f_.reducedDenominator;
    const int64_t m = f_.coprime;
    const size_t P = f_.prePeriod;
    Heading("Предпериод и период");
    Paragraph(Cat("Записваме знаменателя като 2", Raised("a"), " · 5", Raised("b"), " · m, където m не се дели нито на 2, нито на 5: ", dr,
                  " = 2", Raised(f_.twos), " · 5", Raised(f_.fives), " · ", m, "."));
    if (m == 1) {
        Paragraph(Cat("Тук m = 1: знаменателят ", dr, " дели ", Power(P),
                      ", затова дробта е крайна и има max(", f_.twos, ", ", f_.fives, ") = ", Digits(P),
                      " след запетаята — умножена по ", Power(P), ", тя става цялото число ",
                      WithoutLeadingZeros(a_.digits), "."));
        return;
    }
    if (P == 0) {
        Paragraph("Тук a = b = 0, затова няма предпериод: периодът започва веднага след запетаята.");
    } else if (f_.kind == Kind::kTooLong) {
        Paragraph(Cat("Предпериодът има max(", f_.twos, ", ", f_.fives, ") = ", Digits(P), ": умножена по ",
                      Power(P), ", дробта ", Reduced(),
                      " губи множителите 2 и 5 на знаменателя си и остава знаменателят ", m, "."));
    } else {
        const int64_t s = a_.steps[P].remainder / a_.scale;
        Paragraph(Cat("Предпериодът има max(", f_.twos, ", ", f_.fives, ") = ", Digits(P), ": умножена по ",
                      Power(P), ", дробта ", Reduced(), " става ", WithoutLeadingZeros(a_.digits.substr(0, P)),
                      " + ", s, "/", m, " — множителите 2 и 5 на знаменателя се съкращават и остава знаменателят ",
                      m, ", който не се дели на 2 и 5."));
    }
    std::string length = Cat("Дължината на периода е най-малкото k, за което ", Power("k"), " ≡ 1 (mod ", m,
                             "): всяка стъпка умножава остатъка по 10, а остатък от периода се повтаря след k "
                             "стъпки точно когато ", Power("k"), " ≡ 1 (mod ",
                             m, "). ");
    if (f_.period == 1) {
        length += Cat("Тук това е k = 1: ", Power(1), " = 10 ≡ 1 (mod ", m, "), затова периодът има 1 цифра.");
    } else {
        length += Cat("Тук това е k = ", f_.period, ": ", Power(f_.period), " ≡ 1 (mod ", m, "), а за ",
                      f_.period == 2 ? std::string("k = 1") : Cat("k от 1 до ", f_.period - 1),
                      " сравнението не е вярно, затова периодът има ", Digits(f_.period), ".");
    }
    Paragraph(std::move(length));
    Paragraph(Cat("Защо цифрите изобщо се повтарят: всеки остатък е по-малък от ", dr,
                  " и не е 0 (иначе деленето би свършило), така че различните остатъци са най-много ", dr - 1,
                  ". Затова най-късно след ", Steps(static_cast<uint64_t>(dr - 1)),
                  " някой остатък се повтаря, а оттам нататък се повтарят и цифрите."));
}

void Writer::Division() {
    const size_t P = f_.prePeriod;
    const size_t L = f_.period;
    Heading("Деленето стъпка по стъпка");
    std::string text = Cat("Всяка стъпка умножава остатъка по 10 и го дели на ", f_.reducedDenominator,
                           ": частното е следващата цифра след запетаята, а остатъкът от това деление отива в "
                           "следващата стъпка. Първият остатък е числителят ",
                           f_.reducedNumerator, ". ");
    if (f_.kind == Kind::kTerminating) {
        text += Cat("На стъпка ", P, " остатъкът става 0 и деленето свършва.");
    } else {
        text += Cat("На стъпка ", P + L + 1, " остатъкът ", a_.steps[P].remainder,
                    " се повтаря — той е бил остатък и на стъпка ", P + 1,
                    ", затова оттам нататък цифрите се повтарят: ",
                    L == 1 ? Cat("периодът е цифрата от стъпка ", P + 1)
                           : Cat("периодът е цифрите от стъпки ", P + 1, "–", P + L),
                    ".");
    }
    Paragraph(std::move(text));
    Paragraph("В тетрадката същото деление се записва така: под делимото — произведението, което изваждаме, и "
              "следващото делимо, с една колона по-надясно за всяка свалена нула. Стъпка с цифра 0 няма свой ред: "
              "делимото просто получава още една нула.");
    doc_.blocks.push_back(Notebook(a_, a_.steps));
    Paragraph("Ето и всички стъпки една по една:");
    Text(BlockKind::kSteps, Cat("Всички ", Steps(a_.steps.size()), " са в списъка под колелото."));
}

}  // namespace zelvane::explain::detail
