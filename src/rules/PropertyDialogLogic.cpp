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

PropertyDialogLogic::OkResult PropertyDialogLogic::ok(const std::array<std::string, 3> &texts)
{
    OkResult result;
    PartsRecord &p = m_machine.part(m_slot);
    for (int i = 0; i < 3; ++i) {
        const auto value = parseNumber(texts[static_cast<std::size_t>(i)]);
        if (!value)
            continue;
        if (*value >= MaximumValue || roundHalfEven(*value) < -32768) {
            result.refusedBox = i;
            result.message = *value >= MaximumValue ? std::string(TenThousandMessage) : BelowMinimumMessage;
            return result;
        }
        p.Hensuu[static_cast<std::size_t>(i + 1)] = clamp16(roundHalfEven(*value));
    }
    result.accepted = true;
    return result;
}

void PropertyDialogLogic::cancel() { m_machine.app.DeleteNewParts = -1; }

} // namespace jhk
