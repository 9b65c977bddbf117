#pragma once

#include <QDate>
#include <optional>

// Today's date for the whole program; tests fix it.
class Clock
{
public:
    static QDate today();
    static void setToday(std::optional<QDate> day);   // nullopt returns to the system clock
};
