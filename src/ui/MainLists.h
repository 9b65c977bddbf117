#pragma once

#include "handouts/VergabenModel.h"
#include "persons/PersonList.h"
#include "widgets/Utf8Rows.h"

#include <QVector>

class Database;

// The main window's three lists as its load handler fills them (search fields empty, no filter), read
// from the register before they are shown.
struct MainLists
{
    PersonList::Rows persons;
    Utf8Rows keys;
    VergabenModel::Lines handouts;

    static MainLists read(Database& db);
};
