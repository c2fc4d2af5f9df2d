#include "document/JhkDocument.h"

#include "document/AtomicFile.h"
#include "document/Cp932.h"
#include "document/JhkLayout.h"

#include <algorithm>
#include <limits>

namespace jhk {

namespace {

// Characters as the len field of a text item counts them (one per character of the text).
std::int16_t characterCount(std::string_view utf8)
{
    const auto n = std::count_if(utf8.begin(), utf8.end(),
                                 [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; });
    return static_cast<std::int16_t>(std::min<std::ptrdiff_t>(n, std::numeric_limits<std::int16_t>::max()));
}

class WriteArchive {
public:
    explicit WriteArchive(std::vector<std::uint8_t> &out) : m_out(out) {}

    const std::string &error() const { return m_error; }

    void header() { m_out.insert(m_out.end(), DocumentHeader.begin(), DocumentHeader.end()); }
    void u8(std::uint8_t v) { m_out.push_back(v); }
    void i16(std::int16_t v)
    {
        const auto u = static_cast<std::uint16_t>(v);
        m_out.push_back(static_cast<std::uint8_t>(u & 0xFF));
        m_out.push_back(static_cast<std::uint8_t>(u >> 8));
    }
    void i32(std::int32_t v)
    {
        const auto u = static_cast<std::uint32_t>(v);
        for (int shift = 0; shift < 32; shift += 8)
            m_out.push_back(static_cast<std::uint8_t>((u >> shift) & 0xFF));
    }
    // Saving is possible only while editing, and a document always opens for editing.
    void runMode(std::int16_t) { i16(ModeEditing); }

    void text(const std::string &utf8)
    {
        std::string_view bytes;
        Cp932Encoding encoded;
        if (!utf8.empty()) {
            encoded = utf8ToCp932(utf8);
            if (!encoded.ok) {
                fail(encoded.badCharacter.empty()
                         ? std::string("文字の形式が正しくないテキストがあります。")
                         : "「" + encoded.badCharacter + "」はファイルに保存できない文字です。");
                return;
            }
            if (encoded.bytes.size() > MaxTextItemBytes) {
                fail("長すぎるテキストがあります。");
                return;
            }
            bytes = encoded.bytes;
        }
        i16(characterCount(utf8));
        i16(TagText);
        i16(static_cast<std::int16_t>(bytes.size()));
        m_out.insert(m_out.end(), bytes.begin(), bytes.end());
    }

    void param(const ParamValue &v)
    {
        if (v.isText()) {
            text(v.textValue());
        } else if (v.isInt()) {
            i16(static_cast<std::int16_t>(std::to_string(v.intValue()).size()));
            i16(TagInteger);
            i16(v.intValue());
        } else {
            i16(0);
            i16(TagEmpty);
        }
    }

private:
    void fail(std::string why)
    {
        if (m_error.empty())
            m_error = std::move(why);
    }

    std::vector<std::uint8_t> &m_out;
    std::string m_error;
};

} // namespace

EncodeResult encodeDocument(const Machine &m)
{
    EncodeResult result;
    result.bytes.reserve(70000);
    WriteArchive ar(result.bytes);
    visitDocumentLayout(ar, m);
    if (!ar.error().empty()) {
        result.bytes.clear();
        result.message = std::string(SaveFailedMessage) + "\n" + ar.error();
        return result;
    }
    result.ok = true;
    return result;
}

SaveResult saveDocument(const std::string &path, const Machine &m)
{
    SaveResult result;
    EncodeResult encoded = encodeDocument(m);
    if (!encoded.ok) {
        result.message = encoded.message;
        return result;
    }
    const std::string failure = writeFileAtomically(path, encoded.bytes);
    if (!failure.empty()) {
        result.message = std::string(SaveFailedMessage) + "\n" + failure;
        return result;
    }
    result.ok = true;
    return result;
}

} // namespace jhk
