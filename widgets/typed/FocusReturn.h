#pragma once

class QWidget;

namespace kd {

// A field left with an invalid value takes the focus back. Qt has moved the focus on by
// then; the control it passed through in between was never really entered, so its exit
// checks must not run.
class FocusReturn {
public:
    // Gives the focus back to the field once the focus change in progress is over.
    static void takeBack(QWidget* field);
    // True while a field takes the focus back: the control losing it is not left.
    static bool inProgress();
};

} // namespace kd
