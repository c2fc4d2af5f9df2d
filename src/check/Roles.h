#pragma once

#include "model/AppState.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace jhk {

// A part named by its role in the machine instead of its slot: the kind's caption on the parts
// palette and its number among the parts of that kind, e.g. ボタン2. Teachers write roles
// because pupils place parts in different slots.
struct Role {
    int kind = KindProduct;
    int number = 1; // from 1

    bool operator==(const Role &) const = default;
    std::string name() const; // e.g. "ボタン2"
};

// "商品3", "釣レバー1" (digits may be full-width), or nothing. The money-in-hand button is
// not a part and has no role.
std::optional<Role> parseRole(std::string_view word);

// The roles of one machine. Parts of one kind are numbered from 1 in reading order on the
// stage: by Left, then Top, then slot.
class RoleMap {
public:
    explicit RoleMap(const Machine &m);

    // The slot that plays `role`, or -1 when the machine has no such part.
    int slot(const Role &role) const;
    // The slots of one kind in their numbering order.
    const std::vector<int> &slots(int kind) const { return m_slots[static_cast<std::size_t>(kind)]; }
    // Every role of one kind the machine has.
    std::vector<Role> roles(int kind) const;
    // The role a slot plays, or nothing for an empty slot.
    std::optional<Role> roleOf(int slot) const;
    // How a report names the part in a slot: its role and the slot number the machine's
    // pictures show, e.g. "ボタン1（No.5）".
    std::string partName(int slot) const;

private:
    std::array<std::vector<int>, PartsKindCount> m_slots;
};

} // namespace jhk
