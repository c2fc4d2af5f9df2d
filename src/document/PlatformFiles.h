#pragma once

// The document layer's calls to the system: reading a document, replacing a file safely and
// the locks and folders of recovery copies. Where the system has POSIX files the POSIX calls
// are used (PlatformFilesPosix.cpp); elsewhere (a browser) the C++ standard library's files
// (PlatformFilesPortable.cpp), with the locks held within this one program.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#if defined(JHK_PORTABLE_FILES) || defined(__EMSCRIPTEN__) || !__has_include(<unistd.h>)
#define JHK_POSIX_FILES 0
#else
#define JHK_POSIX_FILES 1
#endif

namespace jhk::files {

// The words for the pupil for a failure with the system's error number `error` (or
// `NotPlainFile`).
inline constexpr int NotPlainFile = -1; // not an error number: a pipe, a device, a socket
std::string reasonFor(int error);

// A file opened to be read. Opening never waits (a pipe under the name cannot hold the
// program up) and only a plain file is read.
class InputFile {
public:
    enum class Status { Open, Missing, Unreadable, NotPlainFile };
    explicit InputFile(const std::string &path);
    ~InputFile();
    InputFile(const InputFile &) = delete;
    InputFile &operator=(const InputFile &) = delete;

    Status status() const { return m_status; }
    // Reads up to `size` bytes: their number, 0 at the end, -1 on a failure.
    long long read(std::uint8_t *into, std::size_t size);

private:
    struct Handle;
    Status m_status = Status::Unreadable;
    std::unique_ptr<Handle> m_handle;
};

// Replaces the file at `path`, as writeFileAtomically (AtomicFile.h) describes.
std::string replaceFile(const std::string &path, const std::uint8_t *bytes, std::size_t size);

// A lock on a file that only one running program can hold, taken without waiting. The file is
// made when missing and never reached through a symbolic link.
class FileLock {
public:
    FileLock() = default;
    ~FileLock();
    FileLock(FileLock &&other) noexcept;
    FileLock &operator=(FileLock &&other) noexcept;
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;

    // True when it is now held; false when another running program holds it or the file
    // cannot be made.
    bool take(const std::string &path);
    bool held() const;
    // Lets go; with `removeFile` the file goes first (while still held).
    void release(bool removeFile = false);

private:
    int m_fd = -1;
    std::string m_path;
};

enum class FolderKind {
    Missing,
    Own,     // a real folder of this account
    Foreign, // a symbolic link, not a folder, or a folder of another account
};
FolderKind folderKind(const std::string &path);
// Makes the folder and any missing parents; only the folder itself is made private (0700).
bool makePrivateFolder(const std::string &path);

// When the file's contents were last written, in seconds since 1970 (UTC), if it can be told.
std::optional<long long> modifiedTime(const std::string &path);

// Whether anything (even a broken link) stands under the name.
bool exists(const std::string &path);
void removeFile(const std::string &path);
// A number that differs between programs running at the same time (0 where there is none).
long processId();

} // namespace jhk::files
