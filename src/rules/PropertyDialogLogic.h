#pragma once

#include <array>
#include <optional>
#include <string>

namespace jhk {

struct Machine;
class Catalogue;

// The rules of the part property dialog "プロパティの設定", for the part just placed and for a
// part already on the stage ("プロパティの変更..."): the picture chosen with the scroll bar, the
// kind's name and variable meanings from the catalogue, and the checks of the three numbers.
class PropertyDialogLogic {
public:
    // Opening for a part just placed: reads the catalogue and sets the part's picture name to
    // "dummy". For a part already on the stage `shownPicture` is the picture it shows (a file,
    // or its painted picture): the dialog shows and keeps that picture until the pupil moves
    // the scroll bar, and the last column (where "編集" is) shows it again.
    PropertyDialogLogic(Machine &machine, const Catalogue &catalogue, int slot, const std::string &shownPicture = {});

    int slot() const { return m_slot; }
    int kind() const { return m_kind; }
    const std::string &kindName() const { return m_name; }
    // Meaning of variable A, B, C ("その１"… when the kind has no catalogue record).
    const std::string &variableLabel(int i) const { return m_labels[static_cast<std::size_t>(i)]; }
    bool variableShown(int i) const { return !variableLabel(i).empty(); }
    // A button's lamps are shown as a fixed "消灯" instead of a text box.
    bool lampBox(int i) const;
    // Box i takes what the pupil types: a variable the kind has, shown as a text box. A box of
    // a variable the kind does not use ("（使いません）") shows its value read-only and takes
    // no keyboard focus, so that keys such as Ctrl+Z are never swallowed by it.
    bool boxEditable(int i) const;
    // The starting text of box i: the variable in decimal.
    std::string initialText(int i) const;

    int scrollMaximum() const;
    int scrollValue() const { return m_scroll; }
    void scrollTo(int v);
    // The picture the dialog shows: "dummy" for the built-in picture, or a file path.
    const std::string &picture() const { return m_picture; }
    bool editShown() const { return m_editShown; }
    // The pupil picked another picture than the one the part showed when the dialog opened.
    bool pictureChanged() const { return m_picture != m_shownPicture; }

    struct OkResult {
        bool accepted = false;
        int refusedBox = -1;      // the box refused
        bool resetBox = false;    // a value out of range: the box goes back to "0"; what is
                                  // not a number stays for the pupil to mend
        std::string message;
    };
    // "決定": stores the boxes one by one; a value that is not a whole number or does not fit
    // stops with a message (naming the box for what is not a number).
    OkResult ok(const std::array<std::string, 3> &texts);
    // "キャンセル": the part is removed again by the caller.
    void cancel();

    // The picture file of column v for a kind, or "" when the kind has no choice.
    static std::string pictureFor(int kind, int v);
    // Parses a number as the pupil types it: optional sign, digits, decimal point, spaces.
    static std::optional<double> parseNumber(const std::string &text);
    // A whole number as the pupil types it: optional sign and digits, half-width or full-width
    // (as the Japanese input method gives them), spaces around.
    static std::optional<long long> parseWholeNumber(const std::string &text);

private:
    bool editableAt(int v) const;

    Machine &m_machine;
    int m_slot;
    int m_kind;
    std::string m_name;
    std::array<std::string, 3> m_labels;
    int m_scroll = 0;
    std::string m_picture = "dummy";
    std::string m_shownPicture = "dummy"; // what the part showed when the dialog opened
    std::string m_pictName;               // its picture name then
    bool m_ownPicture = false;            // it showed a picture none of the columns has
    bool m_editShown = false;
};

inline constexpr const char *LampBoxText = "消灯";
inline constexpr const char *BelowMinimumMessage = "－３２７６８以上に設定して下さい";
// What a box that does not hold a whole number shows: "「値段」には数値を入力して下さい".
std::string notANumberMessage(const std::string &boxName);

} // namespace jhk
