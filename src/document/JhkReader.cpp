#include "document/JhkDocument.h"

#include "document/Cp932.h"
#include "document/DocumentCheck.h"
#include "document/JhkLayout.h"
#include "document/PlatformFiles.h"

#include <algorithm>
#include <memory>
#include <type_traits>

namespace jhk {

namespace {

// The bytes of an open file, read from the disk only as far as the reader asks for them, so a
// document followed by any amount of junk costs no more than the document.
class FileBytes {
public:
    explicit FileBytes(files::InputFile &file) : m_file(file) {}
    FileBytes(const FileBytes &) = delete;
    FileBytes &operator=(const FileBytes &) = delete;

    // Makes the first `n` bytes of the file available, if the file has them.
    bool reach(std::size_t n)
    {
        constexpr std::size_t chunk = 16 * 1024;
        while (m_bytes.size() < n && !m_ended) {
            const std::size_t had = m_bytes.size();
            const std::size_t want = std::max(n - had, chunk);
            m_bytes.resize(had + want);
            const long long got = m_file.read(m_bytes.data() + had, want);
            m_bytes.resize(had + static_cast<std::size_t>(std::max<long long>(got, 0)));
            if (got <= 0) {
                m_ended = true;
                m_failed = got < 0;
            }
        }
        return m_bytes.size() >= n;
    }
    const std::vector<std::uint8_t> &bytes() const { return m_bytes; }
    bool failed() const { return m_failed; }

private:
    files::InputFile &m_file;
    std::vector<std::uint8_t> m_bytes;
    bool m_ended = false;
    bool m_failed = false;
};

// Reads the fields of the layout from the bytes of a document, checking that each is there
// and well formed. Given a const Machine it only walks the fields; given a Machine it also
// stores them. After the first fault it reads nothing more and error() says what it was.
class ReadArchive {
public:
    explicit ReadArchive(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}
    explicit ReadArchive(FileBytes &file) : m_file(&file) {}

    const std::string &error() const { return m_error; }

    void header() { take(DocumentHeaderSize); }

    template <class T>
    void u8(T &dest)
    {
        const std::uint8_t *p = take(1);
        if (p)
            store(dest, *p);
    }

    template <class T>
    void i16(T &dest)
    {
        std::int16_t v = 0;
        if (readI16(v))
            store(dest, v);
    }

    template <class T>
    void runMode(T &dest) { i16(dest); }

    template <class T>
    void i32(T &dest)
    {
        const std::uint8_t *p = take(4);
        if (!p)
            return;
        const std::uint32_t u = std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
                                std::uint32_t{p[3]} << 24;
        store(dest, static_cast<std::int32_t>(u));
    }

    // A text field takes the value of any tag as text.
    template <class T>
    void text(T &dest)
    {
        ParamValue v;
        readItem(v, std::is_const_v<T>);
        if constexpr (!std::is_const_v<T>)
            store(dest, v.toText());
    }

    template <class T>
    void param(T &dest)
    {
        ParamValue v;
        readItem(v, std::is_const_v<T>);
        store(dest, std::move(v));
    }

private:
    template <class T, class V>
    void store(T &dest, V &&value)
    {
        if constexpr (!std::is_const_v<T>) {
            if (m_error.empty())
                dest = std::forward<V>(value);
        }
    }

    const std::uint8_t *take(std::size_t n)
    {
        if (!m_error.empty())
            return nullptr;
        if (m_bytes.size() - m_pos < n && m_file) {
            m_file->reach(m_pos + n);
            m_bytes = m_file->bytes();
        }
        if (m_bytes.size() - m_pos < n) {
            fail("ファイルが途中で終わっています。");
            return nullptr;
        }
        const std::uint8_t *p = m_bytes.data() + m_pos;
        m_pos += n;
        return p;
    }

    bool readI16(std::int16_t &v)
    {
        const std::uint8_t *p = take(2);
        if (!p)
            return false;
        v = static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0] | p[1] << 8));
        return true;
    }

    // A text item: len (ignored), tag, and the value the tag announces.
    void readItem(ParamValue &v, bool walkOnly)
    {
        std::int16_t len = 0, tag = 0;
        if (!readI16(len) || !readI16(tag))
            return;
        switch (tag) {
        case TagEmpty:
            v = ParamValue();
            return;
        case TagInteger: {
            std::int16_t n = 0;
            if (readI16(n))
                v = ParamValue(n);
            return;
        }
        case TagText: {
            std::int16_t count = 0;
            if (!readI16(count))
                return;
            if (count < 0) {
                fail("文字の長さ（" + std::to_string(count) + "）が正しくありません。");
                return;
            }
            const std::uint8_t *p = take(static_cast<std::size_t>(count));
            if (!p || walkOnly)
                return;
            const std::optional<std::string> utf8 =
                cp932ToUtf8(std::string_view(reinterpret_cast<const char *>(p), static_cast<std::size_t>(count)));
            if (!utf8) {
                fail("読み取れない文字があります。");
                return;
            }
            v = ParamValue(*utf8);
            return;
        }
        default:
            fail("データの種類（" + std::to_string(tag) + "）が正しくありません。");
        }
    }

    void fail(std::string why)
    {
        if (m_error.empty())
            m_error = std::move(why);
    }

    std::span<const std::uint8_t> m_bytes;
    FileBytes *m_file = nullptr;
    std::size_t m_pos = 0;
    std::string m_error;
};

LoadResult refused(const std::string &why)
{
    return {false, std::string(DamagedFileMessage) + "\n" + why};
}

} // namespace

void copyDocumentContents(const Machine &from, Machine &to)
{
    for (int i = 0; i < PartSlots; ++i) {
        const std::int16_t leverDown = to.part(i).LeverDown;
        to.part(i) = from.part(i);
        to.part(i).LeverDown = leverDown;
    }
    to.labels = from.labels;
    AppState &app = to.app;
    const AppState &in = from.app;
    app.Level = in.Level;
    app.RunMode = in.RunMode;
    app.CurParts = in.CurParts;
    app.PartsCount = in.PartsCount;
    app.LabelCount = in.LabelCount;
    app.BackPictName = in.BackPictName;
    app.MoneyInHand = in.MoneyInHand;
    app.MoneySetting = in.MoneySetting;
    app.Wallet = in.Wallet;
    app.WalletSaved = in.WalletSaved;
}

LoadResult decodeDocument(std::span<const std::uint8_t> bytes, Machine &m)
{
    if (bytes.size() < DocumentMagic.size() ||
        !std::equal(DocumentMagic.begin(), DocumentMagic.end(), bytes.begin()))
        return {false, NotJihankoboMessage};

    // First a walk over the whole layout, cheap and with nothing stored, so a file cut
    // short or carrying a strange tag is refused before anything is built.
    {
        static const Machine shape;
        ReadArchive walk(bytes);
        visitDocumentLayout(walk, shape);
        if (!walk.error().empty())
            return refused(walk.error());
    }

    auto read = std::make_unique<Machine>();
    ReadArchive ar(bytes);
    visitDocumentLayout(ar, *read);
    if (!ar.error().empty())
        return refused(ar.error());
    if (const auto damage = findDamage(*read))
        return refused(*damage);

    copyDocumentContents(*read, m);
    return {true, {}};
}

LoadResult loadDocument(const std::string &path, Machine &m)
{
    // Opened without waiting, so a pipe standing under the name cannot hold the program up.
    files::InputFile input(path);
    if (input.status() == files::InputFile::Status::Missing)
        return {false, MissingFileMessage};
    if (input.status() != files::InputFile::Status::Open)
        return {false, UnreadableFileMessage};
    FileBytes file(input);

    // Only as much of the file is read as the layout takes; anything after its last field
    // is never looked at.
    if (file.reach(DocumentMagic.size())
        && std::equal(DocumentMagic.begin(), DocumentMagic.end(), file.bytes().begin())) {
        static const Machine shape;
        ReadArchive walk(file);
        visitDocumentLayout(walk, shape);
    }
    if (file.failed())
        return {false, UnreadableFileMessage};
    return decodeDocument(file.bytes(), m);
}

} // namespace jhk
