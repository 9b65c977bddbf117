#pragma once

#include <QDialog>
#include <functional>

// Shows a filled dialog modally and returns its result (QDialog::Accepted or Rejected). Every dialog
// of the program opens through here, so tests put in one hook that fills the widgets and presses the
// buttons instead of running a modal loop.
class DialogRunner
{
public:
    using Hook = std::function<void(QDialog&)>;

    static int run(QDialog& dialog);
    static void setHook(Hook hook); // an empty hook restores exec()
};
