#pragma once

#include <functional>
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

    // A message box with an OK button and no icon. Nothing waits for it: a window shows it and
    // goes on, and messages shown one after another are answered in turn.
    virtual void showMessage(const std::string &text) = 0;

    // A message box shown while the machine runs: beside OK it offers "停止", which ends the
    // run as the main window's "停止" does. The run stays paused until `answered` is called
    // with the pupil's answer, at once or later (once); a view that offers no such button shows
    // the plain message and answers OK at once.
    virtual void showRunMessage(const std::string &text, std::function<void(RunMessageAnswer)> answered)
    {
        showMessage(text);
        answered(RunMessageAnswer::Ok);
    }

    // A line was added at the end of the run list (lstDebug).
    virtual void runListLineAdded(const std::string &line) { (void)line; }

    // Something the stage shows has changed; `index` is the slot for Part and Label, else -1.
    virtual void stageChanged(StageChange what, int index) { (void)what; (void)index; }
};

} // namespace jhk
