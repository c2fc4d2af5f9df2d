#pragma once

#include <string>

namespace jhk {

// What on the stage changed, so that a window redraws only that.
enum class StageChange {
    Part,       // part control `index`
    Label,      // label control `index`
    Products,   // the discharged product images
    Wallet,     // coin pictures and count labels
    WalletPicture, // the wallet picture was painted onto the background ("財布")
    Selection,  // the selection frame
    RunList,    // the run list was cleared or its selection moved
    Panel,      // state labels, money label, enabled buttons and menus
    Blink,      // only the blinking colour of the state label
    Everything, // the whole stage after a rebuild
};

// How the pupil answered a message shown while the machine runs.
enum class RunMessageAnswer { Ok, Stop };

// The engine's only way to the screen. Windows, the simulator and the tests implement it.
class StageView {
public:
    virtual ~StageView() = default;

    // A message box with an OK button and no icon; returns when it has been answered.
    virtual void showMessage(const std::string &text) = 0;

    // A message box shown while the machine runs: beside OK it offers "停止", which ends the
    // run as the main window's "停止" does. Returns the pupil's answer; a view that offers no
    // such button shows the plain message and answers OK.
    virtual RunMessageAnswer showRunMessage(const std::string &text)
    {
        showMessage(text);
        return RunMessageAnswer::Ok;
    }

    // A line was added at the end of the run list (lstDebug).
    virtual void runListLineAdded(const std::string &line) { (void)line; }

    // Something the stage shows has changed; `index` is the slot for Part and Label, else -1.
    virtual void stageChanged(StageChange what, int index) { (void)what; (void)index; }
};

} // namespace jhk
