#include "model/Catalogue.h"

#include "model/AppPaths.h"
#include "model/AppState.h"
#include "model/Fields.h"

namespace jhk {

Catalogue::Catalogue(std::string appDir)
    : m_appDir(std::move(appDir))
    , m_fields(readFieldFile(path()))
{
}

void Catalogue::setAppDir(std::string appDir)
{
    m_appDir = std::move(appDir);
    m_fields = readFieldFile(path());
}

std::string Catalogue::path() const
{
    return m_appDir + "/" + CatalogueFileName;
}

std::string Catalogue::kindName(int kind) const
{
    const auto &fields = m_fields;
    const std::string t = std::to_string(kind);
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (fields[i] == t)
            return i + 1 < fields.size() ? fields[i + 1] : std::string();
    }
    return {};
}

std::string Catalogue::variableLabel(int kind, const std::string &which) const
{
    const auto &fields = m_fields;
    const std::string t = std::to_string(kind);
    std::string result;
    auto at = [&](std::size_t i) { return i < fields.size() ? fields[i] : std::string(); };
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (fields[i] != t)
            continue;
        if (which == "A")
            result = at(i + 2);
        else if (which == "B")
            result = at(i + 3);
        else if (which == "C")
            result = at(i + 4);
        else
            result = at(i + 1);
    }
    return result;
}

std::optional<Catalogue::Entry> Catalogue::entry(int kind) const
{
    const auto &fields = m_fields;
    const std::string t = std::to_string(kind);
    auto at = [&](std::size_t i) { return i < fields.size() ? fields[i] : std::string(); };
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (fields[i] == t)
            return Entry{at(i + 1), at(i + 2), at(i + 3), at(i + 4)};
    }
    return std::nullopt;
}

std::string Catalogue::kindName(const Machine &m, int part) const
{
    if (!isPartSlot(part))
        return {};
    return kindName(m.part(part).Kind);
}

std::string Catalogue::variableLabel(const Machine &m, int part, const std::string &which) const
{
    if (!isPartSlot(part))
        return {};
    return variableLabel(m.part(part).Kind, which);
}

} // namespace jhk
