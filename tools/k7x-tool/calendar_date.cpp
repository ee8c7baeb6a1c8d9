// The calendar check of command-line dates.
#include "calendar_date.h"

#include <cctype>

namespace k7x {
namespace {

int daysInMonth(int year, int month) {
    constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

int number(const std::string& text, std::size_t from, std::size_t length) {
    int value = 0;
    for (std::size_t i = from; i < from + length; ++i) value = value * 10 + (text[i] - '0');
    return value;
}

}  // namespace

bool isCalendarDate(const std::string& text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
    for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9}) {
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
    }
    const int year = number(text, 0, 4);
    const int month = number(text, 5, 2);
    const int day = number(text, 8, 2);
    return month >= 1 && month <= 12 && day >= 1 && day <= daysInMonth(year, month);
}

}  // namespace k7x
