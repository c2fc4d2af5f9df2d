#pragma once

#include <optional>
#include <string>
#include <vector>

namespace jhk {

struct Machine;

// The part catalogue jihan.ini of the application folder: records of five fields (kind
// number, name, meanings of variables A, B and C). The file is read once, when the catalogue
// is made or pointed at another application folder, and every lookup is answered from memory.
class Catalogue {
public:
    struct Entry {
        std::string name;
        std::string labelA;
        std::string labelB;
        std::string labelC;
    };

    explicit Catalogue(std::string appDir);

    const std::string &appDir() const { return m_appDir; }
    std::string path() const;
    // Reads the catalogue of another application folder.
    void setAppDir(std::string appDir);

    // The name after the first field equal to the kind number; "" when there is none.
    std::string kindName(int kind) const;
    // The meaning of variable "A", "B" or "C" from the last record of the kind; the kind's
    // name for any other which; "" when the kind has no record.
    std::string variableLabel(int kind, const std::string &which) const;
    // The first record of the kind (the four fields after the first field equal to it).
    std::optional<Entry> entry(int kind) const;

    // Every field in file order, for readers that walk the records themselves.
    const std::vector<std::string> &fields() const { return m_fields; }

    // The same lookups for the part in slot `part` of the machine.
    std::string kindName(const Machine &m, int part) const;
    std::string variableLabel(const Machine &m, int part, const std::string &which) const;

    // Whether a variable's meaning says the kind does not have it: empty, or "（使いません）".
    static bool variableUnused(const std::string &label)
    {
        return label.empty() || label.find("使いません") != std::string::npos;
    }

private:
    std::string m_appDir;
    std::vector<std::string> m_fields;
};

} // namespace jhk
