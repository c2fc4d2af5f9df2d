#include "model/Fields.h"

#include <fstream>
#include <sstream>

namespace jhk {

std::vector<std::string> splitFields(std::string_view text)
{
    std::vector<std::string> fields;
    std::size_t i = 0;
    const std::size_t n = text.size();
    auto isSpace = [](char c) { return c == ' ' || c == '\t'; };
    auto isLineEnd = [](char c) { return c == '\r' || c == '\n'; };
    while (i < n) {
        while (i < n && isSpace(text[i]))
            ++i;
        if (i < n && isLineEnd(text[i])) {
            // A line end right after a field separator closes nothing; blank lines are skipped.
            ++i;
            continue;
        }
        if (i >= n)
            break;
        std::string field;
        if (text[i] == '"') {
            ++i;
            while (i < n) {
                if (text[i] == '"') {
                    if (i + 1 < n && text[i + 1] == '"') {
                        field += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += text[i++];
            }
            while (i < n && text[i] != ',' && !isLineEnd(text[i]))
                ++i;
        } else {
            while (i < n && text[i] != ',' && !isLineEnd(text[i]))
                field += text[i++];
            while (!field.empty() && isSpace(field.back()))
                field.pop_back();
        }
        fields.push_back(std::move(field));
        if (i < n && text[i] == ',') {
            ++i;
            // A comma at the very end of a line leaves one more, empty field.
            std::size_t j = i;
            while (j < n && isSpace(text[j]))
                ++j;
            if (j >= n || isLineEnd(text[j])) {
                fields.emplace_back();
                i = j;
            }
        }
    }
    return fields;
}

std::vector<std::string> readFieldFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {};
    std::ostringstream buffer;
    buffer << in.rdbuf();
    std::string text = buffer.str();
    if (text.rfind("\xEF\xBB\xBF", 0) == 0)
        text.erase(0, 3);
    return splitFields(text);
}

} // namespace jhk
