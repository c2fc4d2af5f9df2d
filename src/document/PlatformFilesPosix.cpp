// The document layer's system calls where the system has POSIX files.
#include "document/PlatformFiles.h"

#if JHK_POSIX_FILES

#include "document/AtomicFile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <span>
#include <random>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace jhk::files {

namespace {


std::string folderOf(const std::string &path)
{
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

// The name that is really written: symbolic links are followed one by one (a link to a name
// that does not exist yet leads to a new file there). `exists` tells whether that name
// exists, and `st` what it is.
int resolveTarget(const std::string &path, std::string &target, struct stat &st, bool &exists)
{
    std::string name = path;
    for (int hop = 0; hop < 40; ++hop) {
        if (::lstat(name.c_str(), &st) != 0) {
            if (errno != ENOENT)
                return errno;
            exists = false;
            target = name;
            return 0;
        }
        if (!S_ISLNK(st.st_mode)) {
            exists = true;
            target = name;
            return 0;
        }
        std::string link(PATH_MAX, '\0');
        const ssize_t n = ::readlink(name.c_str(), link.data(), link.size());
        if (n < 0)
            return errno;
        link.resize(static_cast<std::size_t>(n));
        name = !link.empty() && link.front() == '/' ? link : folderOf(name) + "/" + link;
    }
    return ELOOP;
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

std::string hiddenName(const std::string &folder)
{
    static constexpr char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    static std::mt19937 random{std::random_device{}()};
    std::string name = folder + "/" + std::string(AbandonedFilePrefix);
    for (int i = 0; i < 10; ++i)
        name += letters[random() % (sizeof letters - 1)];
    return name;
}

bool sameFile(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Parent folders of a recovery folder, made as the system makes any folder.
bool makeFolders(const std::string &path)
{
    std::error_code ec;
    std::filesystem::create_directories(path, ec);
    return !ec;
}

// Hidden files left by saves that were killed at the wrong moment. A running save holds a
// lock on its file for as long as the file has a name; a file that can be locked belongs to
// no running save.
void removeAbandonedFiles(const std::string &folder)
{
    DIR *dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    while (const dirent *entry = ::readdir(dir)) {
        if (std::strncmp(entry->d_name, AbandonedFilePrefix.data(), AbandonedFilePrefix.size()) != 0)
            continue;
        const std::string name = folder + "/" + entry->d_name;
        const int fd = ::open(name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat held {}, named {};
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &held) == 0 && S_ISREG(held.st_mode)
            && ::lstat(name.c_str(), &named) == 0 && sameFile(held, named))
            ::unlink(name.c_str());
        ::close(fd);
    }
    ::closedir(dir);
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

int fillAndSync(int fd, mode_t mode, std::span<const std::uint8_t> bytes)
{
    if (::fchmod(fd, mode) != 0 && errno != EPERM)
        return errno;
    if (!writeAll(fd, bytes) || ::fsync(fd) != 0)
        return errno;
    return 0;
}

// The new file under a hidden name, open in `fd` and locked. First written without a name
// and named once it is complete; where the folder's file system cannot do that, written
// under the hidden name.
int writeNewFile(const std::string &folder, mode_t mode, std::span<const std::uint8_t> bytes, std::string &temp,
                 int &fd)
{
    fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd >= 0) {
        ::flock(fd, LOCK_EX | LOCK_NB); // taken before the file has a name
        if (const int error = fillAndSync(fd, mode, bytes)) {
            ::close(fd);
            return error;
        }
        const std::string self = "/proc/self/fd/" + std::to_string(fd);
        for (int attempt = 0; attempt < 20; ++attempt) {
            temp = hiddenName(folder);
            if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temp.c_str(), AT_SYMLINK_FOLLOW) == 0
                || ::linkat(fd, "", AT_FDCWD, temp.c_str(), AT_EMPTY_PATH) == 0)
                return 0;
            if (errno != EEXIST)
                break;
        }
        // The nameless file cannot be given a name here (no /proc): write it again with one.
        ::close(fd);
    } else if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
        return errno;
    }

    for (int attempt = 0; attempt < 20; ++attempt) {
        temp = hiddenName(folder);
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return errno;
        }
        // Another save may be clearing away abandoned files right now and may have taken this
        // one for such a file before it was locked: then start again under another name.
        struct stat held {}, named {};
        const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK;
        if (!locked || ::fstat(fd, &held) != 0 || ::lstat(temp.c_str(), &named) != 0 || !sameFile(held, named)) {
            ::close(fd);
            continue;
        }
        if (const int error = fillAndSync(fd, mode, bytes)) {
            ::unlink(temp.c_str());
            ::close(fd);
            return error;
        }
        return 0;
    }
    return EEXIST;
}

} // namespace

struct InputFile::Handle {
    explicit Handle(int fd) : fd(fd) {}
    ~Handle() { ::close(fd); }
    int fd;
};

std::string replaceFile(const std::string &path, const std::uint8_t *data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    std::string target;
    struct stat existing {};
    bool replacing = false;
    if (const int error = resolveTarget(path, target, existing, replacing))
        return reasonFor(error);
    if (replacing && S_ISDIR(existing.st_mode))
        return reasonFor(EISDIR);
    if (replacing && !S_ISREG(existing.st_mode))
        return reasonFor(NotPlainFile);
    // Replacing goes round the file's own protection; a file marked read-only stays as it is.
    if (replacing && ::access(target.c_str(), W_OK) != 0)
        return "このファイルは書き込み禁止になっています。";

    const std::string folder = folderOf(target);
    removeAbandonedFiles(folder);

    // A new file gets the usual permissions, a replaced one keeps its own.
    const mode_t mode = replacing ? existing.st_mode & 07777 : 0666 & ~currentUmask();
    std::string temp;
    int fd = -1;
    if (const int error = writeNewFile(folder, mode, bytes, temp, fd))
        return reasonFor(error);

    // What stands under the name now must still be what was checked, or nothing.
    int error = 0;
    struct stat now {};
    if (::lstat(target.c_str(), &now) == 0) {
        if (!S_ISREG(now.st_mode))
            error = S_ISDIR(now.st_mode) ? EISDIR : NotPlainFile;
    }
    if (error == 0 && ::rename(temp.c_str(), target.c_str()) != 0)
        error = errno;
    if (error != 0)
        ::unlink(temp.c_str());
    ::close(fd); // the lock goes only after the hidden name has gone
    if (error != 0)
        return reasonFor(error);

    // The new name must reach the disk too, or a power cut could bring back the old file.
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return {};
}

InputFile::InputFile(const std::string &path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        m_status = errno == ENOENT || errno == ENOTDIR ? Status::Missing : Status::Unreadable;
        return;
    }
    m_handle = std::make_unique<Handle>(fd);
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        m_status = Status::Unreadable;
    else
        m_status = S_ISREG(st.st_mode) ? Status::Open : Status::NotPlainFile;
}

InputFile::~InputFile() = default;

long long InputFile::read(std::uint8_t *into, std::size_t size)
{
    if (m_status != Status::Open)
        return -1;
    for (;;) {
        const ssize_t n = ::read(m_handle->fd, into, size);
        if (n < 0 && errno == EINTR)
            continue;
        return n;
    }
}

bool FileLock::take(const std::string &path)
{
    release();
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    if (fd < 0 && errno == EACCES) // a lock file this account may only read still locks
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0)
        return false;
    // Held by another program, or removed and made again by one between open and lock.
    struct stat held {}, named {};
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::fstat(fd, &held) != 0 || ::lstat(path.c_str(), &named) != 0
        || !sameFile(held, named)) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
    m_path = path;
    return true;
}

void FileLock::release(bool removeFile)
{
    if (m_fd < 0)
        return;
    if (removeFile)
        ::unlink(m_path.c_str());
    ::close(m_fd);
    m_fd = -1;
}

FolderKind folderKind(const std::string &path)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return errno == ENOENT ? FolderKind::Missing : FolderKind::Foreign;
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::geteuid())
        return FolderKind::Foreign;
    return FolderKind::Own;
}

bool makePrivateFolder(const std::string &path)
{
    const std::string parent = folderOf(path);
    if (parent != path && parent != "." && parent != "/" && ::access(parent.c_str(), F_OK) != 0
        && !makeFolders(parent))
        return false;
    return ::mkdir(path.c_str(), 0700) == 0 || errno == EEXIST;
}

std::optional<long long> modifiedTime(const std::string &path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return std::nullopt;
    return static_cast<long long>(st.st_mtime);
}

bool exists(const std::string &path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

void removeFile(const std::string &path) { ::unlink(path.c_str()); }

long processId() { return static_cast<long>(::getpid()); }

} // namespace jhk::files

#endif
