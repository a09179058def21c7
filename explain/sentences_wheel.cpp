// The wheel's text alternative, for screen readers and the plain text: the
// remainders in step order (the first twelve of a long period) and what
// the pairs or the triangles add up to.
#include "writer.h"

namespace zelvane::explain::detail {

std::string WheelAlt(const Facts& f, const std::vector<Step>& steps, bool thirds) {
    const size_t P = f.prePeriod;
    const size_t L = f.period;
    constexpr size_t kListed = 12;
    std::string list;
    std::string digits;
    const size_t count = f.kind == Kind::kTerminating ? P : P + L;
    const size_t listed = std::min(count, kListed);
    for (size_t j = 0; j < listed; ++j) {
        list += Cat(j == 0 ? "" : ", ", steps[j].remainder);
        digits += Cat(j == 0 ? "" : ", ", steps[j].digit);
    }
    if (listed < count) {
        list += ", …";
        digits += ", …";
    }
    std::string alt;
    if (f.kind == Kind::kTerminating) {
        alt = Cat("Пътят на остатъците: ", list, " и накрая 0, където деленето свършва; цифрите на стъпките са ", digits,
                  ".");
    } else {
        alt = Cat("Колело на остатъците: по ред на стъпките остатъците са ", list, ", а цифрите, които пишат стъпките, са ",
                  digits, ".");
        if (P > 0) {
            alt += Cat(P == 1 ? " Първият остатък е на предпериода и води" : Cat(" Първите ", P, " остатъка са на предпериода и водят"),
                       " към пръстена на периода с ", Digits(L), ".");
        } else {
            alt += Cat(" Пръстенът има ", L, L == 1 ? " място." : " места.");
        }
        if (thirds && f.thirdsMultiple != 0) {
            alt += Cat(" Триъгълниците свързват остатъците през една трета период; всеки три дават сбор ",
                       f.reducedDenominator, " или ", 2 * f.reducedDenominator, ".");
        } else if (!thirds && L % 2 == 0 && f.halvesNines) {
            alt += Cat(" Всеки остатък и срещуположният му дават сбор ", f.reducedDenominator,
                       ", а цифрите им — сбор 9.");
        }
    }
    return alt;
}

}  // namespace zelvane::explain::detail
