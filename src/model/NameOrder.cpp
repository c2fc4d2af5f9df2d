#include "model/NameOrder.h"

namespace jhk {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

char folded(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

bool namedBefore(std::string_view a, std::string_view b)
{
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            std::size_t ei = i;
            std::size_t ej = j;
            while (ei < a.size() && isDigit(a[ei]))
                ++ei;
            while (ej < b.size() && isDigit(b[ej]))
                ++ej;
            // The values without leading zeros: the longer number is the larger.
            std::string_view x = a.substr(i, ei - i);
            std::string_view y = b.substr(j, ej - j);
            while (x.size() > 1 && x.front() == '0')
                x.remove_prefix(1);
            while (y.size() > 1 && y.front() == '0')
                y.remove_prefix(1);
            if (x.size() != y.size())
                return x.size() < y.size();
            if (const int c = x.compare(y); c != 0)
                return c < 0;
            i = ei;
            j = ej;
            continue;
        }
        // UTF-8 bytes compare in the order of their code points.
        const auto ca = static_cast<unsigned char>(folded(a[i]));
        const auto cb = static_cast<unsigned char>(folded(b[j]));
        if (ca != cb)
            return ca < cb;
        ++i;
        ++j;
    }
    if ((a.size() - i) != (b.size() - j))
        return (a.size() - i) < (b.size() - j);
    return a < b;
}

} // namespace jhk
