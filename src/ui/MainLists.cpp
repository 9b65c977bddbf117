#include "MainLists.h"

#include "handouts/HandoutList.h"
#include "keys/KeyList.h"

MainLists MainLists::read(Database& db)
{
    MainLists lists;
    lists.persons = PersonList::read(db, QString());
    lists.keys = KeyList::read(db, QString());
    lists.handouts = HandoutList::read(db, HandoutList::query(QString()));
    return lists;
}
