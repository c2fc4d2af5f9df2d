#include "check/MachineUnderTest.h"

#include <algorithm>
#include <sstream>

namespace jhk {

std::string kindCaption(int kind)
{
    if (kind < 0 || kind >= PartsKindCount)
        return {};
    return std::string(PartsKindCaptions[static_cast<std::size_t>(kind)]);
}

MachineUnderTest::MachineUnderTest(const std::string &appDir, const std::string &path)
    : m_sim(appDir, path, m_log, m_silence)
{
}

bool MachineUnderTest::open()
{
    m_log.messages.clear();
    if (!m_sim.open()) {
        // The reader's message may run over two lines; the report shows it on one.
        std::string text;
        for (const std::string &m : m_log.messages)
            text += (text.empty() ? "" : " ") + m;
        for (char &c : text) {
            if (c == '\n' || c == '\r')
                c = ' ';
        }
        m_openMessage = text;
        return false;
    }
    m_roles.emplace(m_sim.machine());
    m_log.messages.clear();
    return true;
}

std::optional<int> MachineUnderTest::resolve(const PartRef &part, int kind, std::string &missing) const
{
    if (part.role) {
        const int slot = m_roles ? m_roles->slot(*part.role) : -1;
        if (slot < 0) {
            missing = part.role->name() + " がありません";
            return std::nullopt;
        }
        return slot;
    }
    const Machine &m = m_sim.machine();
    if (!m.partExists(part.slot)) {
        missing = std::to_string(part.slot) + "番のパーツがありません";
        return std::nullopt;
    }
    if (kind >= 0 && m.part(part.slot).Kind != kind) {
        missing = std::to_string(part.slot) + "番のパーツは" + kindCaption(kind) + "ではありません";
        return std::nullopt;
    }
    return part.slot;
}

void MachineUnderTest::play(const SimCommand &command)
{
    // No command of a check writes a state line; the stream only satisfies the signature.
    std::ostringstream unused;
    m_sim.play(command, unused);
}

std::vector<std::string> MachineUnderTest::takeMessages()
{
    std::vector<std::string> out;
    for (const std::string &m : m_log.messages)
        out.push_back(oneLine(m));
    m_log.messages.clear();
    return out;
}

Lamp MachineUnderTest::lamp(int slot) const
{
    const PartsRecord &p = m_sim.machine().part(slot);
    return lampOf(p.A(), p.B());
}

std::string MachineUnderTest::display(int slot) const
{
    return m_sim.engine().stage().part(slot).digits;
}

int MachineUnderTest::products() const
{
    return static_cast<int>(m_sim.engine().stage().products.size());
}

int MachineUnderTest::products(int slot) const
{
    int n = 0;
    for (const ProductImage &p : m_sim.engine().stage().products)
        n += p.onPart == slot ? 1 : 0;
    return n;
}

std::vector<MachineUnderTest::ProductPlace> MachineUnderTest::productPlaces() const
{
    std::vector<ProductPlace> out;
    for (const ProductImage &p : m_sim.engine().stage().products)
        out.push_back({p.onPart, p.sourcePart});
    return out;
}

std::string MachineUnderTest::partName(int slot) const
{
    return m_roles ? m_roles->partName(slot) : "No." + std::to_string(slot);
}

std::string MachineUnderTest::strayProducts(int outlet) const
{
    std::string out;
    std::vector<int> named;
    for (const ProductPlace &p : productPlaces()) {
        if (p.on == outlet || std::find(named.begin(), named.end(), p.on) != named.end())
            continue;
        named.push_back(p.on);
        out += (out.empty() ? "" : "、") + std::string("商品が ") + partName(p.on) + " の上に出ました";
    }
    return out;
}

int MachineUnderTest::stock(int slot) const
{
    return m_sim.machine().part(slot).B();
}

int MachineUnderTest::money() const
{
    return m_sim.machine().app.MoneyInHand;
}

int MachineUnderTest::coins(int d) const
{
    return m_sim.machine().app.Wallet[static_cast<std::size_t>(d)];
}

} // namespace jhk
