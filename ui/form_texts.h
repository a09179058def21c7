// Every text the window shows, character for character: captions, the two
// help texts and the window title. None of them changes at run time.
#pragma once

#include <QString>
#include <array>

namespace zelvane::texts {

inline const QString kWindowTitle = QStringLiteral(u"Информатика - брой знаци при делене");

inline const std::array<QString, 8> kLabel1 = {
    QStringLiteral(u"Информатика -  зелване"),
    QStringLiteral(u"/"),
    QStringLiteral(u"Дестична дроб"),
    QStringLiteral(u"Лява група"),
    QStringLiteral(u"Дясна група"),
    QStringLiteral(u"Сума"),
    QStringLiteral(u"Числител"),
    QStringLiteral(u"Знаменател"),
};

inline const std::array<QString, 3> kCommand1 = {
    QStringLiteral(u"Изчисли"),
    QStringLiteral(u"Събери части"),
    QStringLiteral(u"Изчисти"),
};

// The task text: nine lines, each ended by CR LF; the last line keeps its
// trailing blank, and the example lines keep their exact spacing.
inline const QString kTaskText = QStringLiteral(
    u"През 1802, Тарквел забелязва наличие на деветки в сумата на цифрите на безкрайни периодични дроби, "
    u"чиито знаменатели са прости числа. Примери за това са:\r\n"
    u"1/7 = 0.142857143  142 + 857 = 999\r\n"
    u"1/13 = 0.076923077 769 + 230 = 999\r\n"
    u"7/13 = 0.05384615384615384  538 + 461 = 999\r\n"
    u"5/14 = 0.03571428571428571  571 + 428 = 999\r\n"
    u"1/73 = 0.01369863  136 + 9863 = 9999\r\n"
    u"Да се реализира проект, осъществаващ вътрешнопредметни връзки в Информатика.\r\n"
    u"Тема на проекта: Информатика - зелване.\r\n"
    u"Две естествени числа, числител и знаменател на проста дроб, се въвеждат в текстови полета. "
    u"Ако в сумата на първите 3 или 4 цифри има само деветки да се извеждат тези последователности "
    u"от цифри и тяхната сума. \r\n");

// The quotation: three lines, each ended by CR LF, trailing blanks kept.
inline const QString kQuotationText = QStringLiteral(
    u"Неприятното в това да си първият, направил нещо по \r\n"
    u"правилния начин, е, че никой не оценява колко трудно е \r\n"
    u"било. \r\n");

// The window caption: the publisher's web address, one blank, then the
// title; the title alone when there is no address.
inline QString WindowCaption(const QString& publisherAddress) {
    return publisherAddress.isEmpty() ? kWindowTitle : publisherAddress + QLatin1Char(' ') + kWindowTitle;
}

}  // namespace zelvane::texts
