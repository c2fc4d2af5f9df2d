#include "check/Roles.h"

#include <algorithm>

namespace jhk {

std::string Role::name() const
{
    return std::string(PartsKindCaptions[static_cast<std::size_t>(kind)]) + std::to_string(number);
}

namespace {

// A number written in ASCII or full-width digits (U+FF10..U+FF19), no sign.
std::optional<int> roleNumber(std::string_view s)
{
    if (s.empty())
        return std::nullopt;
    long value = 0;
    std::size_t i = 0;
    int digits = 0;
    while (i < s.size()) {
        int d = -1;
        if (s[i] >= '0' && s[i] <= '9') {
            d = s[i] - '0';
            i += 1;
        } else if (s.substr(i, 2) == "\xEF\xBC" && i + 2 < s.size()) {
            const auto third = static_cast<unsigned char>(s[i + 2]);
            if (third < 0x90 || third > 0x99)
                return std::nullopt;
            d = third - 0x90;
            i += 3;
        } else {
            return std::nullopt;
        }
        if (++digits > 4)
            return std::nullopt;
        value = value * 10 + d;
    }
    if (value < 1)
        return std::nullopt;
    return static_cast<int>(value);
}

} // namespace

std::optional<Role> parseRole(std::string_view word)
{
    for (int kind = 0; kind < PartsKindCount; ++kind) {
        if (kind == KindMoneyInHand)
            continue;
        const std::string_view caption = PartsKindCaptions[static_cast<std::size_t>(kind)];
        if (word.substr(0, caption.size()) != caption)
            continue;
        // "商品出口1" starts with "商品" too: only a number may follow the caption.
        if (const auto n = roleNumber(word.substr(caption.size())))
            return Role{kind, *n};
    }
    return std::nullopt;
}

RoleMap::RoleMap(const Machine &m)
{
    for (int i = 0; i < PartSlots; ++i) {
        const PartsRecord &p = m.part(i);
        if (m.partExists(i) && p.Kind >= 0 && p.Kind < PartsKindCount)
            m_slots[static_cast<std::size_t>(p.Kind)].push_back(i);
    }
    for (auto &slots : m_slots) {
        std::stable_sort(slots.begin(), slots.end(), [&](int a, int b) {
            const PartsRecord &pa = m.part(a);
            const PartsRecord &pb = m.part(b);
            if (pa.Left != pb.Left)
                return pa.Left < pb.Left;
            if (pa.Top != pb.Top)
                return pa.Top < pb.Top;
            return a < b;
        });
    }
}

int RoleMap::slot(const Role &role) const
{
    if (role.kind < 0 || role.kind >= PartsKindCount || role.number < 1)
        return -1;
    const auto &s = m_slots[static_cast<std::size_t>(role.kind)];
    return role.number <= static_cast<int>(s.size()) ? s[static_cast<std::size_t>(role.number - 1)] : -1;
}

std::vector<Role> RoleMap::roles(int kind) const
{
    std::vector<Role> out;
    for (std::size_t n = 1; n <= slots(kind).size(); ++n)
        out.push_back(Role{kind, static_cast<int>(n)});
    return out;
}

std::optional<Role> RoleMap::roleOf(int slot) const
{
    for (int kind = 0; kind < PartsKindCount; ++kind) {
        const auto &s = m_slots[static_cast<std::size_t>(kind)];
        for (std::size_t n = 0; n < s.size(); ++n) {
            if (s[n] == slot)
                return Role{kind, static_cast<int>(n + 1)};
        }
    }
    return std::nullopt;
}

std::string RoleMap::partName(int slot) const
{
    const std::string number = "No." + std::to_string(slot);
    const auto role = roleOf(slot);
    return role ? role->name() + "（" + number + "）" : number;
}

} // namespace jhk
