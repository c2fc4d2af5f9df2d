#include "rules/PropertyDialogLogic.h"

#include "model/AppState.h"
#include "model/Catalogue.h"
#include "model/Int16.h"
#include "rules/StageTexts.h"

#include <cctype>
#include <cstdlib>

namespace jhk {

namespace {

constexpr int MaximumValue = 10000; // values must stay below this

} // namespace

PropertyDialogLogic::PropertyDialogLogic(Machine &machine, const Catalogue &catalogue, int slot,
                                         const std::string &shownPicture)
    : m_machine(machine), m_slot(slot), m_kind(machine.part(slot).Kind)
{
    m_labels = {"その１", "その２", "その３"};
    if (const auto entry = catalogue.entry(m_kind)) {
        m_name = entry->name;
        m_labels = {entry->labelA, entry->labelB, entry->labelC};
    }
    if (shownPicture.empty()) {
        m_machine.part(slot).PictName = "dummy";
        m_pictName = "dummy";
        return;
    }
    // A part on the stage keeps what it shows; the scroll bar starts at its picture's column,
    // or at the last one for a picture of its own.
    m_picture = m_shownPicture = shownPicture;
    m_pictName = m_machine.part(slot).PictName;
    m_scroll = 0;
    bool builtIn = false;
    for (int v = 0; v <= scrollMaximum(); ++v) {
        if (!pictureFor(m_kind, v).empty() && pictureFor(m_kind, v) == shownPicture) {
            m_scroll = v;
            builtIn = true;
        }
    }
    m_ownPicture = !builtIn && shownPicture != "dummy" && !pictureFor(m_kind, 0).empty();
    if (m_ownPicture)
        m_scroll = scrollMaximum();
    m_editShown = editableAt(m_scroll);
}

bool PropertyDialogLogic::editableAt(int v) const
{
    return v == scrollMaximum() && m_kind != KindButton && m_kind != KindCounter && m_kind != KindLever;
}

bool PropertyDialogLogic::lampBox(int i) const { return m_kind == KindButton && (i == 0 || i == 1); }

bool PropertyDialogLogic::boxEditable(int i) const
{
    return variableShown(i) && !lampBox(i) && !Catalogue::variableUnused(variableLabel(i));
}

std::string PropertyDialogLogic::initialText(int i) const
{
    return std::to_string(m_machine.part(m_slot).Hensuu[static_cast<std::size_t>(i + 1)]);
}

int PropertyDialogLogic::scrollMaximum() const { return m_kind == KindProduct ? 4 : 2; }

std::string PropertyDialogLogic::pictureFor(int kind, int v)
{
    const char *stem = nullptr;
    int count = 3;
    switch (kind) {
    case KindProduct: stem = "kan"; count = 5; break;
    case KindCoinSlot: stem = "tonyu"; break;
    case KindChangeOutlet: stem = "turi"; break;
    case KindProductOutlet: stem = "tori"; break;
    default: return {};
    }
    const int column = v < 0 ? 0 : (v >= count ? count - 1 : v);
    return std::string("\\bg\\") + stem + "_" + std::to_string(column + 1) + ".bmp";
}

void PropertyDialogLogic::scrollTo(int v)
{
    m_scroll = v;
    const std::string file = pictureFor(m_kind, v);
    if (m_ownPicture && v == scrollMaximum()) {
        // The last column is the part's own (painted) picture, as it was when the dialog opened.
        m_picture = m_shownPicture;
        m_machine.part(m_slot).PictName = m_pictName;
    } else if (!file.empty()) {
        m_picture = file;
        m_machine.part(m_slot).PictName = file;
    }
    m_editShown = editableAt(v);
}

std::optional<double> PropertyDialogLogic::parseNumber(const std::string &text)
{
    std::size_t i = 0;
    const std::size_t n = text.size();
    auto skipSpaces = [&] {
        while (i < n && (text[i] == ' ' || text[i] == '\t'))
            ++i;
    };
    skipSpaces();
    std::string number;
    if (i < n && (text[i] == '+' || text[i] == '-'))
        number += text[i++];
    bool digits = false;
    while (i < n && std::isdigit(static_cast<unsigned char>(text[i]))) {
        number += text[i++];
        digits = true;
    }
    if (i < n && text[i] == '.') {
        number += text[i++];
        while (i < n && std::isdigit(static_cast<unsigned char>(text[i]))) {
            number += text[i++];
            digits = true;
        }
    }
    skipSpaces();
    if (!digits || i != n)
        return std::nullopt;
    return std::strtod(number.c_str(), nullptr);
}

std::optional<long long> PropertyDialogLogic::parseWholeNumber(const std::string &text)
{
    // Full-width digits and signs (three bytes each in UTF-8) read as their half-width forms.
    std::string narrow;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == 0xEF && i + 2 < text.size()) {
            const unsigned char b1 = static_cast<unsigned char>(text[i + 1]);
            const unsigned char b2 = static_cast<unsigned char>(text[i + 2]);
            if (b1 == 0xBC && b2 >= 0x90 && b2 <= 0x99) { // ０..９
                narrow += static_cast<char>('0' + (b2 - 0x90));
                i += 3;
                continue;
            }
            if (b1 == 0xBC && (b2 == 0x8B || b2 == 0x8D)) { // ＋ －
                narrow += b2 == 0x8B ? '+' : '-';
                i += 3;
                continue;
            }
        }
        if (c == 0xE3 && i + 2 < text.size() && text[i + 1] == '\x80' && text[i + 2] == '\x80') { // ideographic space
            narrow += ' ';
            i += 3;
            continue;
        }
        narrow += text[i++];
    }
    const std::size_t first = narrow.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::nullopt;
    const std::string t = narrow.substr(first, narrow.find_last_not_of(" \t") - first + 1);
    const std::size_t start = t[0] == '+' || t[0] == '-' ? 1 : 0;
    if (start == t.size() || t.find_first_not_of("0123456789", start) != std::string::npos)
        return std::nullopt;
    // A number far too large for any box keeps its sign, so that the message names the limit.
    if (t.size() - start > 12)
        return t[0] == '-' ? -1000000000000LL : 1000000000000LL;
    return std::stoll(t);
}

std::string notANumberMessage(const std::string &boxName)
{
    return "「" + boxName + "」には数値を入力して下さい";
}

PropertyDialogLogic::OkResult PropertyDialogLogic::ok(const std::array<std::string, 3> &texts)
{
    OkResult result;
    PartsRecord &p = m_machine.part(m_slot);
    for (int i = 0; i < 3; ++i) {
        // Only the boxes the pupil can type into are checked and stored: the others keep the
        // part's value as it is, even one out of range the pupil could not mend there.
        if (!boxEditable(i))
            continue;
        const auto value = parseWholeNumber(texts[static_cast<std::size_t>(i)]);
        if (!value) {
            result.refusedBox = i;
            result.message = notANumberMessage(variableLabel(i));
            return result;
        }
        if (*value >= MaximumValue || *value < -32768) {
            result.refusedBox = i;
            result.resetBox = true;
            result.message = *value >= MaximumValue ? std::string(MaximumValueMessage) : BelowMinimumMessage;
            return result;
        }
        p.Hensuu[static_cast<std::size_t>(i + 1)] = static_cast<std::int16_t>(*value);
    }
    result.accepted = true;
    return result;
}

void PropertyDialogLogic::cancel() { m_machine.app.DeleteNewParts = -1; }

} // namespace jhk
