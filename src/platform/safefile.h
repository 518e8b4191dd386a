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

// Creates `path`, which must not exist yet, with `bytes`, and flushes the file
// and then its folder, so that both the bytes and the name survive a power
// cut. After a failure the name is gone.
FileStep WriteNewFile(const std::filesystem::path& path, const QByteArray& bytes);

// Renames `from` to `to`, failing when `to` exists already. Where the disk has
// no such rename, a hard link followed by removing the old name does the same;
// where it has neither (exFAT, FAT), `to` is looked for and a plain rename
// follows, which is as safe only while whoever else renames in that folder
// waits for the same lock as the caller.
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
