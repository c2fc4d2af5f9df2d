// What the document layer's system calls share on every system.
#include "document/AtomicFile.h"
#include "document/PlatformFiles.h"

#include <cerrno>
#include <utility>

namespace jhk {

namespace files {

std::string reasonFor(int error)
{
    switch (error) {
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
    case EFBIG:
        return "ディスクの空きが足りません。";
    case EACCES:
    case EPERM:
    case EROFS:
        return "このフォルダには書き込めません。";
    case ENOENT:
    case ENOTDIR:
        return "保存先のフォルダが見つかりません。";
    case EISDIR:
        return "同じ名前のフォルダがあります。";
    case NotPlainFile:
        return "同じ名前の、ふつうのファイルではないもの（装置など）があります。";
    case ENAMETOOLONG:
        return "ファイル名が長すぎます。";
    case ELOOP:
        return "ファイル名のリンクが多すぎるか、ループしています。";
    default:
        return "書き込み中にエラーが起きました。";
    }
}

// The lock's handle: -1 when not held (what it is otherwise, each system's file says).
FileLock::~FileLock() { release(); }

FileLock::FileLock(FileLock &&other) noexcept : m_fd(other.m_fd), m_path(std::move(other.m_path))
{
    other.m_fd = -1;
}

FileLock &FileLock::operator=(FileLock &&other) noexcept
{
    if (this != &other) {
        release();
        m_fd = other.m_fd;
        m_path = std::move(other.m_path);
        other.m_fd = -1;
    }
    return *this;
}

bool FileLock::held() const { return m_fd >= 0; }

} // namespace files

std::string writeFileAtomically(const std::string &path, std::span<const std::uint8_t> bytes)
{
    return files::replaceFile(path, bytes.data(), bytes.size());
}

} // namespace jhk
