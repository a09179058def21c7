// The section on the nines: the halves and the thirds of the period, their
// sums, and why the remainders half (or a third) of a period apart add up
// to the denominator.
#include "writer.h"

namespace zelvane::explain::detail {

std::string FactorText(uint64_t n) {
    std::string text;
    for (const auto& [prime, exponent] : Factorize(n)) {
        text += text.empty() ? "" : " · ";
        text += exponent == 1 ? Cat(prime) : Cat(prime, Raised(exponent));
    }
    return text;
}

// Remainders of `count` consecutive steps from step index `first`: all of
// them when there are at most `shown`, else the first three and "…".
std::string Writer::RemainderList(size_t first, size_t count, size_t shown) const {
    std::string list;
    const size_t written = count <= shown ? count : 3;
    for (size_t i = 0; i < written; ++i) {
        list += Cat(i == 0 ? "" : ", ", a_.steps[first + i].remainder);
    }
    if (written < count) {
        list += ", …";
    }
    return list;
}

void Writer::Nines() {
    Heading("Деветките");
    if (f_.kind == Kind::kTerminating) {
        Paragraph("Дробта е крайна и няма период, затова няма и половини на период, които да дадат деветки.");
        return;
    }
    if (f_.period % 2 == 0) {
        Halves();
    } else {
        Paragraph(Cat("Периодът има ", Digits(f_.period),
                      " — нечетен брой, затова не се разделя на две равни половини."));
    }
    if (f_.period % 3 == 0) {
        Thirds();
    }
}

void Writer::Halves() {
    const size_t P = f_.prePeriod;
    const size_t L = f_.period;
    const size_t h = L / 2;
    const int64_t dr = f_.reducedDenominator;
    const int64_t m = f_.coprime;
    const std::string_view period = Period();
    const bool longSum = L > kNotationDigits;
    std::string intro = Cat("Периодът има ", Digits(L), " — четен брой, затова се разделя на две половини по ",
                            Digits(h));
    if (!longSum) {
        Paragraph(Cat(intro, ": A = ", period.substr(0, h), " и B = ", period.substr(h), "."));
        Notation(Cat(period.substr(0, h), " + ", period.substr(h), " = ", f_.halvesSum));
        Paragraph(f_.halvesNines ? Cat("Сборът ", f_.halvesSum, " = ", Power(h), " − 1 — само деветки.")
                                 : Cat("Сборът ", f_.halvesSum, " не се състои само от деветки."));
    } else {
        Paragraph(Cat(intro, ": A е цифри 1–", h, ", а B — цифри ", h + 1, "–", L,
                      " от периода. Събрани цифра по цифра, те дават:"));
        Lines(GroupedLines(f_.halvesSum));
        Paragraph(f_.halvesNines ? Cat("Това са ", h, " деветки: A + B = ", Power(h), " − 1.")
                                 : std::string("Този сбор не се състои само от деветки."));
    }

    const uint64_t power = PowMod(10, h, static_cast<uint64_t>(m));
    if (!f_.halvesNines) {
        Paragraph(Cat("Причината: ", Power(h), " ≡ ", power, " (mod ", m, "), а не −1 (≡ ", m - 1,
                      "), затова остатъците през половин период не дават сбор ", dr,
                      ". При просто m с четен период това не може да се случи, а тук ", m, " = ",
                      FactorText(static_cast<uint64_t>(m)), " е съставно."));
        return;
    }
    std::string why = Cat("Причината е, че ", Power(h), " ≡ −1 (mod ", m, ")");
    if (a_.scale > 1) {
        why += Cat(", където ", m, " е частта от знаменателя ", dr,
                   ", която не се дели на 2 и 5; по модул ", dr, " сравнението не е вярно: ", Power(h), " ≡ ",
                   PowMod(10, h, static_cast<uint64_t>(dr)), " (mod ", dr, "). Остатъците в периода се делят на ",
                   a_.scale, "; разделени на ", a_.scale, ", те се умножават по 10 по модул ", m,
                   " на всяка стъпка, затова остатъците през половин период дават сбор ", a_.scale, " · ", m,
                   " = ", dr, ".");
    } else {
        why += Cat(". Всяка стъпка умножава остатъка по 10 по модул ", m,
                   ", затова остатъкът половин период по-късно е ≡ ", Power(h), " · r ≡ −r (mod ", m,
                   "): двата остатъка дават сбор ", m, ".");
    }
    Paragraph(std::move(why));

    const size_t shownPairs = 12;
    std::string pairs;
    const size_t written = h <= shownPairs ? h : 3;
    for (size_t i = 0; i < written; ++i) {
        pairs += Cat(i == 0 ? "" : " = ", a_.steps[P + i].remainder, " + ", a_.steps[P + h + i].remainder);
    }
    pairs += Cat(written < h ? " = … = " : " = ", dr);
    Paragraph(Cat("Остатъците в периода са ", RemainderList(P, h, shownPairs), " | ",
                  RemainderList(P + h, h, shownPairs), " и ", pairs,
                  written < h ? Cat(" — така е и за всичките ", h, " двойки.") : std::string(".")));
    Paragraph(Cat("А щом два остатъка r и r′ дават сбор ", dr, ", цифрите им c и c′ дават сбор 9: 10 · r + 10 · r′ = ",
                  10 * dr, " = (c + c′) · ", dr, " + (сборът на следващите два остатъка), който пак е ", dr,
                  "; затова c + c′ = 9 и всяка цифра на A дава 9 с цифрата на същото място в B."));
    if (Factorize(static_cast<uint64_t>(m)).size() == 1 && Factorize(static_cast<uint64_t>(m))[0].second == 1) {
        Paragraph(Cat("Така е при всяко просто m с четен период: ", Power(L), " − 1 = (", Power(h), " − 1)(",
                      Power(h), " + 1) се дели на ", m, ", първият множител не се дели (защото ", h, " < ", L,
                      "), следователно ", m, " дели ", Power(h), " + 1."));
    } else {
        Paragraph(Cat("Тук ", m, " = ", FactorText(static_cast<uint64_t>(m)),
                      " не е просто число, но сравнението все пак е вярно; при просто m с четен период то е вярно "
                      "винаги."));
    }
}

void Writer::Thirds() {
    const size_t P = f_.prePeriod;
    const size_t L = f_.period;
    const size_t t = L / 3;
    const int64_t dr = f_.reducedDenominator;
    const int64_t m = f_.coprime;
    const std::string_view period = Period();
    const bool longSum = L > kNotationDigits;
    std::string intro = Cat("Периодът се дели", L % 2 == 0 ? " и" : "", " на три равни части по ", Digits(t));
    const std::string nines = std::string(t, '9');
    if (!longSum) {
        Paragraph(Cat(intro, ": A = ", period.substr(0, t), ", B = ", period.substr(t, t), " и C = ",
                      period.substr(2 * t), "."));
        Notation(Cat(period.substr(0, t), " + ", period.substr(t, t), " + ", period.substr(2 * t), " = ",
                     f_.thirdsSum));
        switch (f_.thirdsMultiple) {
            case 1:
                Paragraph(Cat("Сборът ", f_.thirdsSum, " = ", Power(t), " − 1 — само деветки."));
                break;
            case 2:
                Paragraph(Cat("Сборът ", f_.thirdsSum, " = 2 · ", nines, " = 2 · (", Power(t), " − 1)."));
                break;
            default:
                Paragraph(Cat("Сборът ", f_.thirdsSum, " не е кратен на ", Power(t), " − 1 = ", nines, "."));
                break;
        }
    } else {
        Paragraph(Cat(intro, ": A е цифри 1–", t, ", B — цифри ", t + 1, "–", 2 * t, ", а C — цифри ", 2 * t + 1,
                      "–", L, " от периода. Събрани цифра по цифра, те дават:"));
        Lines(GroupedLines(f_.thirdsSum));
        switch (f_.thirdsMultiple) {
            case 1:
                Paragraph(Cat("Това са ", t, " деветки: A + B + C = ", Power(t), " − 1."));
                break;
            case 2:
                Paragraph(Cat("Това е 2 · (", Power(t), " − 1)."));
                break;
            default:
                Paragraph(Cat("Този сбор не е кратен на ", Power(t), " − 1."));
                break;
        }
    }

    const std::string q = Cat("1 + ", Power(t), " + ", Power(2 * t));
    if (f_.thirdsMultiple == 0) {
        const uint64_t um = static_cast<uint64_t>(m);
        const uint64_t rest = (1 + PowMod(10, t, um) + PowMod(10, 2 * t, um)) % um;
        Paragraph(Cat("Причината: ", q, " не се дели на ", m, " (дава остатък ", rest,
                      "), затова остатъците през една трета период не дават сбор, кратен на ", dr, "."));
        return;
    }
    std::string why = Cat("Причината: ", q, " ≡ 0 (mod ", m, "). ");
    if (a_.scale > 1) {
        why += Cat("Остатъците в периода се делят на ", a_.scale, ". Ако x е един от тях, разделен на ", a_.scale,
                   ", то остатъците една трета и две трети период по-късно, разделени на ", a_.scale, ", са ≡ ",
                   Power(t), " · x и ", Power(2 * t), " · x (mod ", m, "), а сборът на трите x · (", q,
                   ") се дели на ", m, ". ");
    } else {
        why += Cat("Ако r е остатък от периода, то остатъците една трета и две трети период по-късно са ≡ ",
                   Power(t), " · r и ", Power(2 * t), " · r (mod ", m, "), а сборът на трите r · (", q,
                   ") се дели на ", m, ". ");
    }
    const size_t shownColumns = 8;
    const size_t columns = t <= shownColumns ? t : 3;
    std::string sums;
    for (size_t i = 0; i < columns; ++i) {
        const int64_t r1 = a_.steps[P + i].remainder;
        const int64_t r2 = a_.steps[P + t + i].remainder;
        const int64_t r3 = a_.steps[P + 2 * t + i].remainder;
        sums += Cat(i == 0 ? "" : ", ", r1, " + ", r2, " + ", r3, " = ", r1 + r2 + r3);
    }
    if (columns < t) {
        sums += ", …";
    }
    why += Cat("Всеки остатък е по-малък от ", dr, ", затова трите заедно дават ", dr, " или 2 · ", dr, ": ", sums,
               ".");
    Paragraph(std::move(why));

    const int64_t r1 = a_.steps[P].remainder;
    const int64_t r2 = a_.steps[P + t].remainder;
    const int64_t r3 = a_.steps[P + 2 * t].remainder;
    const int64_t j = (r1 + r2 + r3) / dr;
    auto times = [j](const std::string& nines) { return j == 1 ? nines : Cat(j, " · (", nines, ")"); };
    Paragraph(Cat("Остатъците на стъпки ", P + 1, ", ", P + t + 1, " и ", P + 2 * t + 1, " дават дробите ", r1, "/",
                  dr, ", ", r2, "/", dr, " и ", r3, "/", dr,
                  ": деленето им дава същите цифри, започнати от тези стъпки, така че периодите им са ABC, BCA и "
                  "CAB. Сборът на трите дроби е ",
                  j, ", затова (A + B + C) · (", q, ") = ", times(Power(L) + " − 1"), " и A + B + C = ",
                  times(Power(t) + " − 1"), "."));
    if (Factorize(static_cast<uint64_t>(m)).size() == 1 && Factorize(static_cast<uint64_t>(m))[0].second == 1) {
        Paragraph(Cat("Така е при всяко просто m с период, кратен на 3: ", Power(L), " − 1 = (", Power(t), " − 1)(",
                      q, ") се дели на ", m, ", а първият множител не се дели."));
    }
}

}  // namespace zelvane::explain::detail
