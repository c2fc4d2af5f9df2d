#pragma once

#include "document/PlatformFiles.h"
#include "model/AppState.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <string>
#include <vector>

namespace jhk {

inline constexpr const char *RecoveryQuestion = "前回、保存されずに終了したマシンがあります。復元しますか？";
inline constexpr const char *DamagedRecoveryMessage = "復元用のデータが壊れているため、復元できません。";

// The recovery question with the time the copy was made (local time), when it is known.
std::string recoveryQuestion(std::optional<long long> madeAt);

// A picture file (a bitmap) of a part drawn in the paint tool.
struct RecoveryPicture {
    int slot = 0;
    std::vector<std::uint8_t> bytes;
};

// What a recovery copy brings back: the document, in which each part with a drawn picture
// names it as a picture beside `RecoveryStore::DocumentName`, and those pictures.
struct RecoveredMachine {
    std::vector<std::uint8_t> document;
    std::vector<RecoveryPicture> pictures;

    // Writes the document and its pictures into `folder`, as a save beside a document would
    // have left them. Returns the document's path, or nothing when they cannot be written.
    std::optional<std::string> unpack(const std::string &folder) const;
};

struct RecoveryRead {
    std::optional<RecoveredMachine> machine;
    std::string message; // what to show when there is no machine
};

// Recovery copies of machines with unsaved changes, kept in a folder of the user's data so
// that a program that ends abnormally (killed, crashed, power cut) loses nothing.
//
// Every running program keeps its own copy and holds a lock on it for as long as it runs.
// A copy whose lock nobody holds was left by a program that has ended; the next program to
// start may claim it, and while it holds the claim no other program can take it.
//
// The folder is used only when it is a real folder of this account (or missing: then it is
// made, private); one that is a symbolic link or belongs to another account is left alone and
// the program goes on without recovery copies. What the pupil should hear about (the folder
// cannot be used, copies cannot be written now, a copy that cannot be read) is said once, in
// notices the windows show.
class RecoveryStore {
public:
    // The document name the copy's pictures are named after.
    static constexpr const char *DocumentName = "machine.jhk";

    explicit RecoveryStore(std::string folder);
    ~RecoveryStore();
    RecoveryStore(const RecoveryStore &) = delete;
    RecoveryStore &operator=(const RecoveryStore &) = delete;

    // Makes this program's copy hold `m` and the pictures drawn for its parts (asked for
    // only when the copy is written). Writes only when the machine differs from the copy,
    // and always atomically. Returns an empty text, or why the copy could not be written.
    std::string keep(const Machine &m, const std::function<std::vector<RecoveryPicture>()> &pictures);
    // Removes this program's copy: the machine was saved, or the program ends normally.
    void discard();
    // The file of this program's copy, whether it exists or not.
    std::string copyPath() const;
    bool hasCopy() const;
    // Messages for the pupil gathered since the last call, each said once.
    std::vector<std::string> takeNotices();

    // A copy left behind by a program that no longer runs, claimed for this program.
    class LeftCopy {
    public:
        LeftCopy(LeftCopy &&other) noexcept;
        LeftCopy &operator=(LeftCopy &&) = delete;
        ~LeftCopy();
        const std::string &path() const { return m_copy; }
        // When the copy was last written (seconds since 1970), if it can be told.
        std::optional<long long> madeAt() const { return m_madeAt; }
        // Reads and checks the copy; a damaged one gives no machine and a message.
        RecoveryRead read();
        // Deletes the copy: it was restored, the pupil does not want it, or it was read and
        // found damaged. A copy that could not be opened is left where it is.
        void remove();

    private:
        friend class RecoveryStore;
        LeftCopy(std::string copy, files::FileLock lock, std::optional<long long> madeAt);
        std::string m_copy;
        files::FileLock m_lock;
        std::optional<long long> m_madeAt;
        bool m_unreadable = false;
    };
    // The newest copy left behind, or nothing.
    std::optional<LeftCopy> claimLeftCopy();

private:
    bool folderUsable(bool make);
    bool takeOwnLock();
    void adoptHiddenCopies();
    void removeOrphanLocks();
    void notice(std::string text);

    std::string m_folder;
    std::string m_id;
    files::FileLock m_lock;
    std::vector<std::uint8_t> m_lastKept;
    std::vector<std::string> m_notices;
    bool m_folderRefused = false; // said once
    bool m_writeFailed = false;   // said once, until a copy is written again
};

// The bytes of a recovery copy, and the way back (for the store and its tests).
std::vector<std::uint8_t> encodeRecoveryCopy(const RecoveredMachine &copy);
RecoveryRead decodeRecoveryCopy(const std::vector<std::uint8_t> &bytes);
// The start of every copy, and the checksum of the bytes before the checksum at its end.
inline constexpr std::string_view RecoveryCopyMagic = "JIHANKOBO RECOVERY 1";
std::uint64_t recoveryCopyChecksum(const std::uint8_t *data, std::size_t size);

} // namespace jhk
