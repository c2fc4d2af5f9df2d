#include "document/AtomicFile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace jhk {

namespace {

std::string reasonFor(int error)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT:
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
    case ENAMETOOLONG:
        return "ファイル名が長すぎます。";
    default:
        return "書き込み中にエラーが起きました。";
    }
}

std::string folderOf(const std::string &path)
{
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

// The file the name stands for: a link is followed so that the link itself stays a link.
std::string resolvedTarget(const std::string &path)
{
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
        return path;
    char buffer[PATH_MAX];
    if (!realpath(path.c_str(), buffer))
        return path;
    return buffer;
}

// The process's file creation mask, read without changing it.
mode_t currentUmask()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("Umask:", 0) == 0)
            return static_cast<mode_t>(std::stoul(line.substr(6), nullptr, 8));
    }
    return 022;
}

bool writeAll(int fd, std::span<const std::uint8_t> bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0) {
            errno = ENOSPC;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

std::string writeFileAtomically(const std::string &path, std::span<const std::uint8_t> bytes)
{
    const std::string target = resolvedTarget(path);
    struct stat existing {};
    const bool replacing = ::stat(target.c_str(), &existing) == 0;
    if (replacing && S_ISDIR(existing.st_mode))
        return reasonFor(EISDIR);
    // Replacing goes round the file's own protection; a file marked read-only stays as it is.
    if (replacing && ::access(target.c_str(), W_OK) != 0)
        return "このファイルは書き込み禁止になっています。";

    std::string temp = target + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return reasonFor(errno);

    // A new file gets the usual permissions, a replaced one keeps its own.
    const mode_t mode = replacing ? existing.st_mode & 07777 : 0666 & ~currentUmask();

    int error = 0;
    if (::fchmod(fd, mode) != 0 && errno != EPERM)
        error = errno;
    if (error == 0 && !writeAll(fd, bytes))
        error = errno;
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && ::rename(temp.c_str(), target.c_str()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temp.c_str());
        return reasonFor(error);
    }

    // The new name must reach the disk too, or a power cut could bring back the old file.
    const int dir = ::open(folderOf(target).c_str(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return {};
}

} // namespace jhk
