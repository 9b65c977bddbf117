#include "Guard.h"

#include "Messages.h"
#include "SqlError.h"
#include "Texts.h"

bool guarded(const std::function<void()>& handler)
{
    try {
        handler();
        return true;
    } catch (const SqlError& e) {
        msgBox(GetText(QStringLiteral("Die Datenbank hat die Aktion abgelehnt:"), 709) + QStringLiteral("\r\n") +
                   e.text(),
               Messages::Icon::Exclamation);
        return false;
    }
}
