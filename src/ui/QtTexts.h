#pragma once

// Qt's own texts (the buttons of standard dialogs, file dialogs, shortcut names in menus) in the
// program's current language (app().Sprache), from the Qt translations installed with Qt; English is
// Qt's own. Call again whenever the language changes.
void loadQtTexts();
