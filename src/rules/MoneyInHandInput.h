#pragma once

namespace jhk {

class Engine;
class UserDialogs;

// The money-in-hand input box, opened by the palette's "所持金" and by the big "所持金" button
// under the money label while editing. An amount the engine refuses (its message shown) opens
// the box again with what the pupil typed still in it, until an amount is taken or the box is
// cancelled.
void askMoneyInHand(UserDialogs &ui, Engine &engine);

} // namespace jhk
