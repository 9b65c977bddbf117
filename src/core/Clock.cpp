#include "Clock.h"

namespace {
std::optional<QDate> g_fixedDay;
}

QDate Clock::today()
{
    return g_fixedDay ? *g_fixedDay : QDate::currentDate();
}

void Clock::setToday(std::optional<QDate> day)
{
    g_fixedDay = day;
}
