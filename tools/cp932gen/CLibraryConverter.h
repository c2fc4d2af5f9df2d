#pragma once

// The C library's own converter between two encodings (iconv), which the code page 932 table
// is made from (tools/cp932gen) and checked against (tests/document/Cp932Test.cpp).

#include <cstddef>
#include <iconv.h>
#include <optional>
#include <string>

namespace jhk {

class CLibraryConverter {
public:
    CLibraryConverter(const char *to, const char *from) : m_cd(iconv_open(to, from)) {}
    ~CLibraryConverter()
    {
        if (ok())
            iconv_close(m_cd);
    }
    CLibraryConverter(const CLibraryConverter &) = delete;
    CLibraryConverter &operator=(const CLibraryConverter &) = delete;

    bool ok() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // The whole text converted, or nothing when any of it cannot be.
    std::optional<std::string> convert(const std::string &in)
    {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        std::string out(in.size() * 4 + 16, '\0');
        char *src = const_cast<char *>(in.data());
        std::size_t srcLeft = in.size();
        char *dst = out.data();
        std::size_t dstLeft = out.size();
        if (iconv(m_cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<std::size_t>(-1)
            || iconv(m_cd, nullptr, nullptr, &dst, &dstLeft) == static_cast<std::size_t>(-1))
            return std::nullopt;
        out.resize(static_cast<std::size_t>(dst - out.data()));
        return out;
    }

private:
    iconv_t m_cd;
};

} // namespace jhk
