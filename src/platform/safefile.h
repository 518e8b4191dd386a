// Files written whole or not at all, and files read only when they are plain
// files of a sensible size.
//
// WriteWhole puts the bytes under a temporary name beside the target, flushes
// them to the disk, renames the temporary file into place and flushes the
// folder, so that after a crash or a power cut the target holds either its old
// bytes or all of the new ones, never a cut file. Every failure names its
// reason (the system's words: "No space left on device", "File name too
// long", ...); after one the temporary file is gone and the target untouched.
//
// ReadRegularFile looks at what a path names before it opens it, opens it
// without waiting (a pipe in its place must not hang the program) and reads at
// most `limit` bytes, so a device or a runaway file cannot exhaust memory.
#pragma once

#include <QByteArray>
#include <QString>

#include <filesystem>

namespace plat {

struct FileStep {
    bool ok = true;
    QString reason;  // why it failed, in the system's words; empty when ok
    explicit operator bool() const { return ok; }
};

enum class Existing {
    Replace,  // the new bytes take the target's place
    Keep,     // a target that exists already is never overwritten: the write fails
};

// Writes `bytes` to `temp` (created fresh, beside `target` in the same folder),
// flushes it, renames it to `target` and flushes the folder.
FileStep WriteWhole(const std::filesystem::path& target, const QByteArray& bytes, const std::filesystem::path& temp,
                    Existing existing);

// Writes `bytes` to `temp`, which must not exist yet, flushes it and gives the
// same file the second name `target` (never over an existing target), then
// flushes the folder. The temporary name stays: while it stands it marks a
// write whose sequel (a database row naming the target, say) may not have
// happened, and the caller removes it once that is done. Where the file system
// has no hard links the file is renamed and `temp` made again, empty, as the
// mark. After a failure neither name is left.
FileStep WriteWholeMarked(const std::filesystem::path& target, const QByteArray& bytes,
                          const std::filesystem::path& temp);

// Renames `from` to `to`, failing when `to` exists already.
FileStep RenameNoReplace(const std::filesystem::path& from, const std::filesystem::path& to);

// Flushes a folder's entries, so that a rename or removal in it survives a
// power cut.
FileStep SyncFolder(const std::filesystem::path& folder);

struct FileRead {
    enum class Status {
        Read,      // `bytes` holds the whole file
        Missing,   // nothing of that name
        NotAFile,  // a folder, pipe, device or socket, or a link to one
        TooLarge,  // larger than the limit
        Failed,    // the system refused; see `reason`
    };
    Status status = Status::Failed;
    QByteArray bytes;
    QString reason;  // for Failed, the system's words
};

// Reads a plain file (a link to one is followed) of at most `limit` bytes.
FileRead ReadRegularFile(const std::filesystem::path& path, qint64 limit);

}  // namespace plat
