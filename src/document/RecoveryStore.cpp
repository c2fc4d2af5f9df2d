#include "document/RecoveryStore.h"

#include "document/AtomicFile.h"
#include "document/JhkDocument.h"
#include "model/AppPaths.h"

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <memory>
#include <random>
#include <set>
#include <utility>

namespace fs = std::filesystem;

namespace jhk {

namespace {

// The layout of a copy: the magic text, the number of entries, each entry (int16 slot, -1
// for the document, which comes first; uint32 size; the bytes), and a checksum of
// everything before it.
constexpr std::string_view Magic = RecoveryCopyMagic;
constexpr std::int16_t DocumentEntry = -1;
constexpr std::size_t LargestCopy = 512u * 1024 * 1024;
constexpr const char *CopySuffix = ".jhkr";
constexpr const char *LockSuffix = ".lock";
constexpr const char *CopyPrefix = "copy-";

} // namespace

std::uint64_t recoveryCopyChecksum(const std::uint8_t *data, std::size_t size)
{
    std::uint64_t h = 1469598103934665603ull; // FNV-1a
    for (std::size_t i = 0; i < size; ++i) {
        h ^= data[i];
        h *= 1099511628211ull;
    }
    return h;
}

namespace {

std::uint64_t checksum(const std::uint8_t *data, std::size_t size) { return recoveryCopyChecksum(data, size); }

void putLE(std::vector<std::uint8_t> &out, std::uint64_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

std::uint64_t getLE(const std::uint8_t *p, int bytes)
{
    std::uint64_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | p[i];
    return v;
}

RecoveryRead damaged(const std::string &why)
{
    return {std::nullopt, std::string(DamagedRecoveryMessage) + "\n" + why};
}

std::string newId()
{
    std::random_device random;
    static constexpr char hex[] = "0123456789abcdef";
    std::string id = CopyPrefix + std::to_string(files::processId()) + "-";
    for (int i = 0; i < 8; ++i)
        id += hex[random() % 16];
    return id;
}

// The bytes of a copy; nothing when it cannot be opened, none at all past the largest copy.
std::optional<std::vector<std::uint8_t>> readFile(const std::string &path)
{
    files::InputFile in(path);
    if (in.status() != files::InputFile::Status::Open)
        return std::nullopt;
    std::vector<std::uint8_t> bytes;
    constexpr std::size_t chunk = 64 * 1024;
    for (;;) {
        const std::size_t had = bytes.size();
        if (had > LargestCopy)
            return std::vector<std::uint8_t>();
        bytes.resize(had + chunk);
        const long long n = in.read(bytes.data() + had, chunk);
        bytes.resize(had + static_cast<std::size_t>(std::max<long long>(n, 0)));
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            return bytes;
    }
}

} // namespace

std::vector<std::uint8_t> encodeRecoveryCopy(const RecoveredMachine &copy)
{
    std::vector<std::uint8_t> out(Magic.begin(), Magic.end());
    putLE(out, 1 + copy.pictures.size(), 4);
    auto entry = [&out](std::int16_t slot, const std::vector<std::uint8_t> &bytes) {
        putLE(out, static_cast<std::uint16_t>(slot), 2);
        putLE(out, bytes.size(), 4);
        out.insert(out.end(), bytes.begin(), bytes.end());
    };
    entry(DocumentEntry, copy.document);
    for (const RecoveryPicture &p : copy.pictures)
        entry(static_cast<std::int16_t>(p.slot), p.bytes);
    putLE(out, checksum(out.data(), out.size()), 8);
    return out;
}

RecoveryRead decodeRecoveryCopy(const std::vector<std::uint8_t> &bytes)
{
    if (bytes.size() < Magic.size() + 4 + 8 || !std::equal(Magic.begin(), Magic.end(), bytes.begin()))
        return damaged("復元用のファイルではありません。");
    const std::size_t end = bytes.size() - 8;
    if (getLE(bytes.data() + end, 8) != checksum(bytes.data(), end))
        return damaged("ファイルの中身が書き込まれたときと違います。");

    std::size_t at = Magic.size();
    const std::uint64_t count = getLE(bytes.data() + at, 4);
    at += 4;
    RecoveredMachine copy;
    bool haveDocument = false;
    std::set<int> slots;
    for (std::uint64_t i = 0; i < count; ++i) {
        if (end - at < 6)
            return damaged("ファイルが途中で終わっています。");
        const auto slot = static_cast<std::int16_t>(getLE(bytes.data() + at, 2));
        const std::uint64_t size = getLE(bytes.data() + at + 2, 4);
        at += 6;
        if (end - at < size)
            return damaged("ファイルが途中で終わっています。");
        std::vector<std::uint8_t> data(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                                       bytes.begin() + static_cast<std::ptrdiff_t>(at + size));
        at += size;
        if (slot == DocumentEntry && i == 0) {
            copy.document = std::move(data);
            haveDocument = true;
        } else if (isPartSlot(slot) && slots.insert(slot).second) {
            copy.pictures.push_back({slot, std::move(data)});
        } else {
            return damaged("絵の番号（" + std::to_string(slot) + "）が正しくありません。");
        }
    }
    if (!haveDocument || at != end)
        return damaged("マシンのデータがありません。");
    auto check = std::make_unique<Machine>();
    const LoadResult machine = decodeDocument(copy.document, *check);
    if (!machine.ok)
        return damaged(machine.message);
    return {std::move(copy), {}};
}

std::optional<std::string> RecoveredMachine::unpack(const std::string &folder) const
{
    const std::string documentPath = folder + "/" + RecoveryStore::DocumentName;
    std::error_code ec;
    fs::create_directories(fs::path(folder) / paintedPictureFolderName(documentPath), ec);
    if (ec)
        return std::nullopt;
    for (const RecoveryPicture &p : pictures) {
        std::string name = paintedPictureName(documentPath, p.slot);
        std::replace(name.begin(), name.end(), '\\', '/');
        if (!writeFileAtomically(folder + "/" + name, p.bytes).empty())
            return std::nullopt;
    }
    if (!writeFileAtomically(documentPath, document).empty())
        return std::nullopt;
    return documentPath;
}

std::string recoveryQuestion(std::optional<long long> madeAt)
{
    std::string question = RecoveryQuestion;
    if (!madeAt)
        return question;
    const std::time_t t = static_cast<std::time_t>(*madeAt);
    std::tm local {};
    if (const std::tm *tm = std::localtime(&t))
        local = *tm;
    else
        return question;
    char when[64];
    std::strftime(when, sizeof when, "%Y年%m月%d日 %H:%M", &local);
    return question + "\n（" + when + " に記録されたものです）";
}

RecoveryStore::RecoveryStore(std::string folder) : m_folder(std::move(folder)), m_id(newId()) {}

RecoveryStore::~RecoveryStore()
{
    // A copy that stays (the program ends without its quit prompt) is found by the next start.
    m_lock.release(!hasCopy());
}

std::string RecoveryStore::copyPath() const { return m_folder + "/" + m_id + CopySuffix; }

bool RecoveryStore::hasCopy() const { return files::exists(copyPath()); }

std::vector<std::string> RecoveryStore::takeNotices() { return std::exchange(m_notices, {}); }

void RecoveryStore::notice(std::string text) { m_notices.push_back(std::move(text)); }

bool RecoveryStore::folderUsable(bool make)
{
    switch (files::folderKind(m_folder)) {
    case files::FolderKind::Own:
        return true;
    case files::FolderKind::Missing:
        // Made here, so made private: the only folder the program ever tightens.
        return make && files::makePrivateFolder(m_folder) && files::folderKind(m_folder) == files::FolderKind::Own;
    case files::FolderKind::Foreign:
        break;
    }
    if (!m_folderRefused) {
        m_folderRefused = true;
        notice("復元用のフォルダ「" + m_folder + "」は、ほかの場所へのリンクか、ほかのユーザーのものなので使いません。"
               "保存していない変更の復元用データは作られません。");
    }
    return false;
}

bool RecoveryStore::takeOwnLock()
{
    if (m_lock.held())
        return true;
    return folderUsable(true) && m_lock.take(m_folder + "/" + m_id + LockSuffix);
}

std::string RecoveryStore::keep(const Machine &m, const std::function<std::vector<RecoveryPicture>()> &pictures)
{
    EncodeResult now = encodeDocument(m);
    if (!now.ok)
        return now.message;
    if (now.bytes == m_lastKept && hasCopy())
        return {};
    if (!takeOwnLock())
        return "復元用のフォルダ「" + m_folder + "」を使えません。";

    RecoveredMachine copy;
    auto named = std::make_unique<Machine>(m);
    if (pictures) {
        for (RecoveryPicture &p : pictures()) {
            if (!m.partExists(p.slot))
                continue;
            named->part(p.slot).PictName = paintedPictureName(DocumentName, p.slot);
            copy.pictures.push_back(std::move(p));
        }
    }
    EncodeResult document = encodeDocument(*named);
    if (!document.ok)
        return document.message;
    copy.document = std::move(document.bytes);
    // A complete copy another program left under its hidden name would be cleared away as an
    // abandoned file by this write: it becomes a copy of its own first.
    adoptHiddenCopies();
    const std::string failure = writeFileAtomically(copyPath(), encodeRecoveryCopy(copy));
    if (!failure.empty()) {
        if (!m_writeFailed) {
            m_writeFailed = true;
            notice("復元用のデータを今は書き込めません。\n" + failure);
        }
        return failure;
    }
    m_writeFailed = false;
    m_lastKept = std::move(now.bytes);
    return {};
}

void RecoveryStore::discard()
{
    files::removeFile(copyPath());
    m_lastKept.clear();
}

void RecoveryStore::adoptHiddenCopies()
{
    std::error_code ec;
    std::vector<std::string> hidden;
    for (fs::directory_iterator it(m_folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->path().filename().string().rfind(AbandonedFilePrefix, 0) == 0)
            hidden.push_back(it->path().string());
    }
    for (const std::string &name : hidden) {
        // Held: a program is writing it right now.
        files::FileLock lock;
        if (!lock.take(name))
            continue;
        const auto bytes = readFile(name);
        if (!bytes)
            continue; // cannot be opened: left alone
        if (!decodeRecoveryCopy(*bytes).machine) {
            lock.release(true); // cut short by the kill
            continue;
        }
        const std::string id = newId();
        fs::rename(name, m_folder + "/" + id + CopySuffix, ec);
    }
}

void RecoveryStore::removeOrphanLocks()
{
    std::error_code ec;
    std::vector<std::string> locks;
    for (fs::directory_iterator it(m_folder, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path &p = it->path();
        if (p.extension() == LockSuffix && p.filename().string().rfind(CopyPrefix, 0) == 0 && p.stem() != m_id)
            locks.push_back(p.string());
    }
    for (const std::string &lock : locks) {
        const std::string copy = lock.substr(0, lock.size() - std::string_view(LockSuffix).size()) + CopySuffix;
        files::FileLock held;
        if (!files::exists(copy) && held.take(lock) && !files::exists(copy))
            held.release(true);
    }
}

std::optional<RecoveryStore::LeftCopy> RecoveryStore::claimLeftCopy()
{
    if (files::folderKind(m_folder) == files::FolderKind::Missing || !folderUsable(false))
        return std::nullopt;
    adoptHiddenCopies();
    removeOrphanLocks();

    std::vector<std::pair<fs::file_time_type, std::string>> found;
    std::error_code ec;
    for (fs::directory_iterator it(m_folder, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path &p = it->path();
        const std::string name = p.filename().string();
        if (p.extension() != CopySuffix || name.rfind(CopyPrefix, 0) != 0 || p.stem() == m_id)
            continue;
        std::error_code timeError;
        found.emplace_back(fs::last_write_time(p, timeError), p.stem().string());
    }
    std::sort(found.begin(), found.end(), [](const auto &a, const auto &b) { return a.first > b.first; });

    for (const auto &[time, id] : found) {
        const std::string copy = m_folder + "/" + id + CopySuffix;
        const std::string lockName = m_folder + "/" + id + LockSuffix;
        // Held: the program that keeps this copy is still running.
        files::FileLock lock;
        if (!lock.take(lockName))
            continue;
        if (!files::exists(copy)) { // its program ended normally just now
            lock.release(true);
            continue;
        }
        if (files::InputFile(copy).status() != files::InputFile::Status::Open) {
            notice("復元用のデータ「" + copy + "」を読み込めないため、そのままにしてあります。");
            continue;
        }
        return LeftCopy(copy, std::move(lock), files::modifiedTime(copy));
    }
    return std::nullopt;
}

RecoveryStore::LeftCopy::LeftCopy(std::string copy, files::FileLock lock, std::optional<long long> madeAt)
    : m_copy(std::move(copy)), m_lock(std::move(lock)), m_madeAt(madeAt)
{
}

RecoveryStore::LeftCopy::LeftCopy(LeftCopy &&other) noexcept = default;

RecoveryStore::LeftCopy::~LeftCopy() = default;

RecoveryRead RecoveryStore::LeftCopy::read()
{
    const auto bytes = readFile(m_copy);
    if (!bytes) {
        m_unreadable = true;
        return {std::nullopt, "復元用のデータ「" + m_copy + "」を読み込めないため、そのままにしてあります。"};
    }
    return decodeRecoveryCopy(*bytes);
}

void RecoveryStore::LeftCopy::remove()
{
    if (!m_lock.held())
        return;
    if (!m_unreadable)
        files::removeFile(m_copy);
    m_lock.release(!m_unreadable);
}

} // namespace jhk
