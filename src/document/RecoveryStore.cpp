#include "document/RecoveryStore.h"

#include "document/AtomicFile.h"
#include "document/JhkDocument.h"
#include "model/AppPaths.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <random>
#include <set>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace jhk {

namespace {

// The layout of a copy: the magic text, the number of entries, each entry (int16 slot, -1
// for the document, which comes first; uint32 size; the bytes), and a checksum of
// everything before it.
constexpr std::string_view Magic = "JIHANKOBO RECOVERY 1";
constexpr std::int16_t DocumentEntry = -1;
constexpr std::size_t LargestCopy = 512u * 1024 * 1024;
constexpr const char *CopySuffix = ".jhkr";
constexpr const char *LockSuffix = ".lock";
constexpr const char *CopyPrefix = "copy-";

std::uint64_t checksum(const std::uint8_t *data, std::size_t size)
{
    std::uint64_t h = 1469598103934665603ull; // FNV-1a
    for (std::size_t i = 0; i < size; ++i) {
        h ^= data[i];
        h *= 1099511628211ull;
    }
    return h;
}

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

bool sameFile(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool exists(const std::string &path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

std::string newId()
{
    std::random_device random;
    static constexpr char hex[] = "0123456789abcdef";
    std::string id = CopyPrefix + std::to_string(::getpid()) + "-";
    for (int i = 0; i < 8; ++i)
        id += hex[random() % 16];
    return id;
}

std::optional<std::vector<std::uint8_t>> readFile(const std::string &path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat st {};
    std::optional<std::vector<std::uint8_t>> bytes;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && static_cast<std::size_t>(st.st_size) <= LargestCopy) {
        bytes.emplace(static_cast<std::size_t>(st.st_size));
        std::size_t done = 0;
        while (done < bytes->size()) {
            const ssize_t n = ::read(fd, bytes->data() + done, bytes->size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            done += static_cast<std::size_t>(n);
        }
        bytes->resize(done);
    }
    ::close(fd);
    return bytes;
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

RecoveryStore::RecoveryStore(std::string folder) : m_folder(std::move(folder)), m_id(newId()) {}

RecoveryStore::~RecoveryStore()
{
    if (m_lockFd < 0)
        return;
    // A copy that stays (the program ends without its quit prompt) is found by the next start.
    if (!hasCopy())
        ::unlink((m_folder + "/" + m_id + LockSuffix).c_str());
    ::close(m_lockFd);
}

std::string RecoveryStore::copyPath() const { return m_folder + "/" + m_id + CopySuffix; }

bool RecoveryStore::hasCopy() const { return exists(copyPath()); }

bool RecoveryStore::takeOwnLock()
{
    if (m_lockFd >= 0)
        return true;
    std::error_code ec;
    fs::create_directories(m_folder, ec);
    fs::permissions(m_folder, fs::perms::owner_all, ec);
    const std::string lock = m_folder + "/" + m_id + LockSuffix;
    const int fd = ::open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return false;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    m_lockFd = fd;
    return true;
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
    const std::string failure = writeFileAtomically(copyPath(), encodeRecoveryCopy(copy));
    if (!failure.empty())
        return failure;
    m_lastKept = std::move(now.bytes);
    return {};
}

void RecoveryStore::discard()
{
    ::unlink(copyPath().c_str());
    m_lastKept.clear();
}

std::optional<RecoveryStore::LeftCopy> RecoveryStore::claimLeftCopy()
{
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
        const std::string lock = m_folder + "/" + id + LockSuffix;
        const int fd = ::open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0)
            continue;
        // Held: the program that keeps this copy is still running.
        struct stat held {}, named {};
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::fstat(fd, &held) != 0 || ::lstat(lock.c_str(), &named) != 0
            || !sameFile(held, named)) {
            ::close(fd);
            continue;
        }
        if (!exists(copy)) { // its program ended normally just now
            ::unlink(lock.c_str());
            ::close(fd);
            continue;
        }
        return LeftCopy(copy, lock, fd);
    }
    return std::nullopt;
}

RecoveryStore::LeftCopy::LeftCopy(std::string copy, std::string lock, int fd)
    : m_copy(std::move(copy)), m_lock(std::move(lock)), m_fd(fd)
{
}

RecoveryStore::LeftCopy::LeftCopy(LeftCopy &&other) noexcept
    : m_copy(std::move(other.m_copy)), m_lock(std::move(other.m_lock)), m_fd(other.m_fd)
{
    other.m_fd = -1;
}

RecoveryStore::LeftCopy::~LeftCopy()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

RecoveryRead RecoveryStore::LeftCopy::read() const
{
    const auto bytes = readFile(m_copy);
    if (!bytes)
        return damaged("ファイルを読み込めません。");
    return decodeRecoveryCopy(*bytes);
}

void RecoveryStore::LeftCopy::remove()
{
    if (m_fd < 0)
        return;
    ::unlink(m_copy.c_str());
    ::unlink(m_lock.c_str());
    ::close(m_fd);
    m_fd = -1;
}

} // namespace jhk
