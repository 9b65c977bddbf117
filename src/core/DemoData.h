#pragma once

#include <QString>

// A register filled with believable, made-up data: German names, the keys of a master-key system, handouts
// and returns over the past years, a confirmation template and a system number. The same seed gives the same
// register for the same size and the same day; dates count back from Clock::today().
namespace DemoData {

struct Size
{
    int persons = 0; // not retired
    int retired = 0; // retired persons, listed nowhere but in old movements
    int keys = 0;
    int movements = 0; // every handout, returned or not
    int out = 0;       // of those, still out
    int years = 0;     // the handouts spread over this many past years
};

// A few hundred persons, a hundred keys, a few hundred handouts over two years: every window has work to show.
Size demo();
// The largest plausible site: 32,767 persons in the list, 30,000 keys, 1,000,000 movements, 100,000 of them out.
Size largestSite();

// Writes a new register file at path and fills it. Refuses an existing file (SqlError, as Database::create);
// a half-written file is removed again.
void create(const QString& path, const Size& size);

} // namespace DemoData
