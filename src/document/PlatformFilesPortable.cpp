// The document layer's system calls with the C++ standard library's files only, for a system
// without POSIX files (a browser). One program runs there at a time: the locks are held within
// this program, and a new file is written under a hidden name and then renamed.
#include "document/PlatformFiles.h"

#if !JHK_POSIX_FILES

#include "document/AtomicFile.h"

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <random>
#include <set>
#include <system_error>

namespace fs = std::filesystem;

namespace jhk::files {

namespace {

std::mutex heldMutex;
std::set<std::string> heldNames; // locks held and hidden files being written, by name

bool hold(const std::string &name)
{
    std::lock_guard lock(heldMutex);
    return heldNames.insert(name).second;
}

void letGo(const std::string &name)
{
    std::lock_guard lock(heldMutex);
    heldNames.erase(name);
}

bool isHeld(const std::string &name)
{
    std::lock_guard lock(heldMutex);
    return heldNames.count(name) != 0;
}

int errorOf(const std::error_code &ec) { return ec.category() == std::generic_category() || ec.category() == std::system_category() ? ec.value() : EIO; }

std::string hiddenName(const fs::path &folder)
{
    static constexpr char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    static std::mt19937 random{std::random_device{}()};
    std::string name(AbandonedFilePrefix);
    for (int i = 0; i < 10; ++i)
        name += letters[random() % (sizeof letters - 1)];
    return (folder / name).string();
}

void removeAbandonedFiles(const fs::path &folder)
{
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.rfind(AbandonedFilePrefix, 0) == 0 && !isHeld(it->path().string())) {
            std::error_code ignored;
            if (fs::is_regular_file(fs::symlink_status(it->path(), ignored)))
                fs::remove(it->path(), ignored);
        }
    }
}

} // namespace

struct InputFile::Handle {
    std::ifstream in;
};

InputFile::InputFile(const std::string &path)
{
    std::error_code ec;
    const fs::file_status st = fs::status(path, ec);
    if (st.type() == fs::file_type::not_found) {
        m_status = Status::Missing;
        return;
    }
    if (ec) {
        m_status = Status::Unreadable;
        return;
    }
    if (st.type() != fs::file_type::regular) {
        m_status = Status::NotPlainFile;
        return;
    }
    m_handle = std::make_unique<Handle>();
    m_handle->in.open(path, std::ios::binary);
    m_status = m_handle->in ? Status::Open : Status::Unreadable;
}

InputFile::~InputFile() = default;

long long InputFile::read(std::uint8_t *into, std::size_t size)
{
    if (m_status != Status::Open)
        return -1;
    m_handle->in.read(reinterpret_cast<char *>(into), static_cast<std::streamsize>(size));
    if (m_handle->in.bad())
        return -1;
    return static_cast<long long>(m_handle->in.gcount());
}

std::string replaceFile(const std::string &path, const std::uint8_t *bytes, std::size_t size)
{
    // Symbolic links are followed one by one to the name that is really written.
    fs::path target(path);
    std::error_code ec;
    fs::file_status st;
    for (int hop = 0;; ++hop) {
        if (hop == 40)
            return reasonFor(ELOOP);
        st = fs::symlink_status(target, ec);
        if (st.type() == fs::file_type::not_found)
            break;
        if (ec)
            return reasonFor(errorOf(ec));
        if (st.type() != fs::file_type::symlink)
            break;
        const fs::path link = fs::read_symlink(target, ec);
        if (ec)
            return reasonFor(errorOf(ec));
        target = link.is_absolute() ? link : target.parent_path() / link;
    }
    const bool replacing = st.type() != fs::file_type::not_found;
    if (replacing && st.type() == fs::file_type::directory)
        return reasonFor(EISDIR);
    if (replacing && st.type() != fs::file_type::regular)
        return reasonFor(NotPlainFile);
    if (replacing && (st.permissions() & fs::perms::owner_write) == fs::perms::none)
        return "このファイルは書き込み禁止になっています。";

    fs::path folder = target.parent_path();
    if (folder.empty())
        folder = ".";
    if (!fs::is_directory(folder, ec))
        return reasonFor(ENOENT);
    removeAbandonedFiles(folder);

    std::string temp;
    for (int attempt = 0; attempt < 20 && temp.empty(); ++attempt) {
        temp = hiddenName(folder);
        if (fs::exists(fs::symlink_status(temp, ec)) || !hold(temp))
            temp.clear();
    }
    if (temp.empty())
        return reasonFor(EEXIST);
    int error = 0;
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out)
            error = EACCES;
        else if (!out.write(reinterpret_cast<const char *>(bytes), static_cast<std::streamsize>(size)) || !out.flush())
            error = ENOSPC;
        out.close();
        if (error == 0 && out.fail())
            error = ENOSPC;
    }
    if (error == 0 && replacing)
        fs::permissions(temp, st.permissions(), ec);
    if (error == 0) {
        const fs::file_status now = fs::symlink_status(target, ec);
        if (now.type() == fs::file_type::directory)
            error = EISDIR;
        else if (now.type() != fs::file_type::not_found && now.type() != fs::file_type::regular)
            error = NotPlainFile;
    }
    if (error == 0) {
        fs::rename(temp, target, ec);
        if (ec)
            error = errorOf(ec);
    }
    if (error != 0) {
        std::error_code ignored;
        fs::remove(temp, ignored);
    }
    letGo(temp);
    return error == 0 ? std::string() : reasonFor(error);
}

bool FileLock::take(const std::string &path)
{
    release();
    std::error_code ec;
    if (fs::is_symlink(fs::symlink_status(path, ec)))
        return false;
    if (!hold(path))
        return false;
    std::ofstream(path, std::ios::binary | std::ios::app);
    if (!fs::is_regular_file(fs::symlink_status(path, ec))) {
        letGo(path);
        return false;
    }
    m_fd = 0;
    m_path = path;
    return true;
}

void FileLock::release(bool removeFile)
{
    if (m_fd < 0)
        return;
    if (removeFile) {
        std::error_code ignored;
        fs::remove(m_path, ignored);
    }
    letGo(m_path);
    m_fd = -1;
}

FolderKind folderKind(const std::string &path)
{
    std::error_code ec;
    const fs::file_status st = fs::symlink_status(path, ec);
    if (st.type() == fs::file_type::not_found)
        return FolderKind::Missing;
    return !ec && st.type() == fs::file_type::directory ? FolderKind::Own : FolderKind::Foreign;
}

bool makePrivateFolder(const std::string &path)
{
    std::error_code ec;
    const fs::path folder(path);
    if (folder.has_parent_path())
        fs::create_directories(folder.parent_path(), ec);
    // A folder that is there already keeps its permissions: only one made here is private.
    if (!fs::create_directory(folder, ec))
        return !ec;
    fs::permissions(folder, fs::perms::owner_all, ec);
    return true;
}

std::optional<long long> modifiedTime(const std::string &path)
{
    std::error_code ec;
    const fs::file_time_type written = fs::last_write_time(path, ec);
    if (ec)
        return std::nullopt;
    // Carried over from the file system's clock to the system clock by the two clocks' now.
    const auto age = fs::file_time_type::clock::now() - written;
    const auto at = std::chrono::system_clock::now() - std::chrono::duration_cast<std::chrono::system_clock::duration>(age);
    return std::chrono::duration_cast<std::chrono::seconds>(at.time_since_epoch()).count();
}

bool exists(const std::string &path)
{
    std::error_code ec;
    return fs::symlink_status(path, ec).type() != fs::file_type::not_found && !ec;
}

void removeFile(const std::string &path)
{
    std::error_code ignored;
    fs::remove(path, ignored);
}

long processId() { return 0; }

} // namespace jhk::files

#endif
