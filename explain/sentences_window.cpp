// The sections on the window: where the window's 16 digits and its six
// group checks stand in the decimal, and what the matched check shows.
#include "writer.h"

namespace zelvane::explain::detail {

void Writer::WindowLine() {
    const size_t P = f_.prePeriod;
    const size_t L = f_.period;
    Heading("Редът в прозореца");
    Paragraph(Cat("Прозорецът пише „0.0“ и след това първите 16 цифри след запетаята: в първата си стъпка той "
                  "дели остатъка ",
                  f_.remainder, " на ", f_.denominator,
                  ", преди да умножи по 10, и получава 0. Затова на позиция 3 в текста му стои тази нула, а "
                  "k-тата цифра след запетаята е на позиция k + 3."));

    // The window's text cut into its parts: the first step's 0, the
    // pre-period, then the period again and again.
    const std::string_view shown = std::string_view(f_.window).substr(3);
    std::string parts = "0.0";
    size_t at = std::min(P, kWindowDigits);
    if (at > 0) {
        parts += Cat(" | ", shown.substr(0, at));
    }
    const size_t piece = f_.kind == Kind::kTerminating ? kWindowDigits : L;
    while (at < kWindowDigits) {
        parts += Cat(" | ", shown.substr(at, piece));
        at += piece;
    }
    Lines({f_.window, parts});

    std::string where;
    const size_t visible = kWindowDigits - std::min(P, kWindowDigits);
    if (P >= kWindowDigits) {
        where = Cat("Предпериодът има ", Digits(P), " и запълва целия текст от позиция 4 нататък: прозорецът "
                    "показва само първите 16 от тях.");
    } else if (f_.kind == Kind::kTerminating) {
        where = Cat(P == 1 ? "Цифрата на дробта заема " : "Цифрите на дробта заемат ", Positions(4, 3 + P),
                    ", а след ", P == 1 ? "нея" : "тях", " прозорецът показва само нули.");
    } else {
        where = P == 0 ? std::string("Предпериод няма и периодът започва от позиция 4")
                       : Cat("Предпериодът ", shown.substr(0, P), " заема ", Positions(4, 3 + P),
                             ", а периодът започва от позиция ", 4 + P);
        if (L < visible) {
            const size_t full = visible / L;
            const size_t rest = visible % L;
            where += Cat("; прозорецът показва ", full, full == 1 ? " пълен период" : " пълни периода");
            if (rest > 0) {
                where += Cat(" и ", Digits(rest), " от следващия");
            }
            where += ".";
        } else if (L == visible) {
            where += "; прозорецът показва точно един период.";
        } else {
            where += Cat(", но прозорецът показва само първите ", visible, " от ", L, "-те цифри на периода.");
        }
        if (f_.kind == Kind::kPeriodic && RepeatStart(a_) == 3) {
            where += " Нулата на позиция 3 е равна на последната цифра на периода, затова и тя се вписва в "
                     "повторението.";
        }
    }
    Paragraph(std::move(where));

    Paragraph("Шестте проверки на прозореца събират две съседни групи от 3 или 4 цифри:");
    std::vector<std::string> table;
    for (size_t row = 0; row < kGroupChecks.size(); ++row) {
        const GroupCheck& check = kGroupChecks[row];
        const std::string_view left = std::string_view(f_.window).substr(check.leftPosition - 1, check.length);
        const std::string_view right = std::string_view(f_.window).substr(check.rightPosition - 1, check.length);
        const std::string sum = AddDecimal({left, right});
        std::string line = Cat(row + 1, ") ", Positions(check.leftPosition, check.leftPosition + check.length - 1),
                               " и ", Range(check.rightPosition, check.rightPosition + check.length - 1), ":  ",
                               left, " + ", right, " = ", sum);
        if (static_cast<int>(row + 1) == f_.windowCheck) {
            line += "  ← прозорецът показва тази";
        }
        table.push_back(std::move(line));
    }
    Lines(std::move(table));
}

void Writer::WindowVerdict() {
    const size_t P = f_.prePeriod;
    const size_t L = f_.period;
    const size_t h = L / 2;
    Heading("Какво намира прозорецът");
    if (f_.windowCheck == 0) {
        std::string text = "Никоя от шестте проверки не дава 999 или 9999.";
        if (f_.kind == Kind::kPeriodic && L % 2 == 0 && f_.halvesNines) {
            const bool lengthFits = 3 % L == h % L || 4 % L == h % L;
            if (!lengthFits) {
                text += Cat(" Половините на периода дават деветки, но всяка от тях има ", Digits(h),
                            ", а групите на прозореца са по 3 или 4 цифри",
                            h > 4 ? " — твърде къси, за да ги видят." : " и не съвпадат с половин период.");
            } else {
                const int length = 3 % L == h % L ? 3 : 4;
                text += Cat(" Половините на периода дават деветки и групи по ", length,
                            " цифри биха ги показали, но периодът започва едва от позиция ", RepeatStart(a_),
                            ", а проверките с групи по ", length,
                            " цифри започват най-късно от позиция 5, затова никоя не взема две групи изцяло от "
                            "периода.");
            }
        }
        Paragraph(std::move(text));
        return;
    }
    const GroupCheck& check = kGroupChecks[static_cast<size_t>(f_.windowCheck - 1)];
    const std::string_view left = std::string_view(f_.window).substr(check.leftPosition - 1, check.length);
    const std::string_view right = std::string_view(f_.window).substr(check.rightPosition - 1, check.length);
    std::string text = Cat("Проверка ", f_.windowCheck, " (групи по ", check.length, " цифри от позиции ",
                           check.leftPosition, " и ", check.rightPosition, ") намира ", left, " + ", right, " = ",
                           Utf8(check.sumText), ". ");
    if (f_.verdict == Verdict::kHalves) {
        text += "Това са половините на периода, а не случайност: ";
        if (check.length == h) {
            text += Cat("групите са по ", check.length, " цифри — точно половин период");
        } else {
            const size_t whole = (check.length - h) / L;
            text += Cat("цифрите на двете групи са на ", check.length, " позиции една от друга, а ", check.length,
                        " = ", h, " + ", check.length - h, " е половин период и още ",
                        whole == 1 ? std::string("един цял период") : Cat(whole, " цели периода"));
        }
        text += Cat("; двете групи лежат в частта от текста, която вече се повтаря с период ", L,
                    ", а там цифрите през половин период дават сбор 9.");
    } else {
        text += "Това е случайно съвпадение, а не половините на периода: ";
        if (f_.kind == Kind::kZero || f_.kind == Kind::kTerminating) {
            text += "дробта е крайна и няма период.";
        } else if (L % 2 != 0) {
            text += Cat("периодът има ", Digits(L), " — нечетен брой, и няма половини.");
        } else if (f_.kind == Kind::kTooLong || check.length % L != h % L) {
            text += Cat("групите са по ", check.length, " цифри, а половината на периода има ", Digits(h), ".");
        } else if (!f_.halvesNines) {
            text += "половините на периода не дават деветки.";
        } else if (P == 0) {
            text += "групата от позиция 3 започва с нулата от първата стъпка на прозореца, а тя не е цифра от "
                    "периода.";
        } else {
            text += Cat("групата от позиция ", check.leftPosition, " започва в предпериода, а периодът започва от "
                        "позиция ", 4 + P, ".");
        }
    }
    Paragraph(std::move(text));
}


}  // namespace zelvane::explain::detail
