#pragma once

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace jhk {

// A JSON text written front to back: the page module hands the stage and the run view to
// the page this way. Commas are placed by the writer; keys and strings are escaped.
class JsonWriter {
public:
    JsonWriter &beginObject() { return open('{'); }
    JsonWriter &endObject() { return close('}'); }
    JsonWriter &beginArray() { return open('['); }
    JsonWriter &endArray() { return close(']'); }

    JsonWriter &key(std::string_view k)
    {
        separate();
        quoted(k);
        m_out += ':';
        m_afterKey = true;
        return *this;
    }
    JsonWriter &value(std::string_view s)
    {
        separate();
        quoted(s);
        return *this;
    }
    JsonWriter &value(const char *s) { return value(std::string_view(s)); }
    JsonWriter &value(const std::string &s) { return value(std::string_view(s)); }
    JsonWriter &value(bool b)
    {
        separate();
        m_out += b ? "true" : "false";
        return *this;
    }
    JsonWriter &value(int n) { return number(static_cast<std::int64_t>(n)); }
    JsonWriter &value(std::int64_t n) { return number(n); }
    JsonWriter &value(double d)
    {
        separate();
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.10g", std::isfinite(d) ? d : 0.0);
        m_out += buf;
        return *this;
    }
    JsonWriter &null()
    {
        separate();
        m_out += "null";
        return *this;
    }

    template <typename T>
    JsonWriter &field(std::string_view k, const T &v)
    {
        key(k);
        return value(v);
    }

    const std::string &text() const { return m_out; }

private:
    JsonWriter &number(std::int64_t n)
    {
        separate();
        m_out += std::to_string(n);
        return *this;
    }
    JsonWriter &open(char c)
    {
        separate();
        m_out += c;
        m_first = true;
        return *this;
    }
    JsonWriter &close(char c)
    {
        m_out += c;
        m_first = false;
        m_afterKey = false;
        return *this;
    }
    void separate()
    {
        if (m_afterKey) {
            m_afterKey = false;
            m_first = false;
            return;
        }
        if (!m_first && !m_out.empty())
            m_out += ',';
        m_first = false;
    }
    void quoted(std::string_view s)
    {
        m_out += '"';
        for (char ch : s) {
            const auto c = static_cast<unsigned char>(ch);
            if (ch == '"' || ch == '\\') {
                m_out += '\\';
                m_out += ch;
            } else if (c < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                m_out += buf;
            } else {
                m_out += ch;
            }
        }
        m_out += '"';
    }

    std::string m_out;
    bool m_first = true;
    bool m_afterKey = false;
};

} // namespace jhk
