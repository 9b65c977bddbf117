#pragma once

class HandoutPane;
class KeyPane;
class PersonPane;

// The history and export entries of the main window's lists, in their context menus: "Verlauf…" (Ctrl+H
// while the list has the focus) and "Exportieren…", for the grid also "Verlauf der Person…".
namespace HistoryMenus {

void add(PersonPane& persons, KeyPane& keys, HandoutPane& handouts);
// The entries' texts follow the language like the rest of the window.
void setTexts(PersonPane& persons, KeyPane& keys, HandoutPane& handouts);

// What the entries do.
void lstPerson_Verlauf(PersonPane& persons);
void lstPerson_Exportieren(PersonPane& persons);
void lstSchluessel_Verlauf(KeyPane& keys);
void lstSchluessel_Exportieren(KeyPane& keys);
void sprVergaben_Verlauf(HandoutPane& handouts);       // of the active line's key
void sprVergaben_VerlaufPerson(HandoutPane& handouts); // of the active line's person
void sprVergaben_Exportieren(HandoutPane& handouts);

} // namespace HistoryMenus
