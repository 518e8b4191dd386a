#include "safefile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plat {

namespace {

QString SystemReason(int err) { return QString::fromLocal8Bit(std::strerror(err)); }

FileStep Failed(int err) { return {false, SystemReason(err)}; }

// Closes a descriptor on every way out.
class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    // Closes now, reporting the error a late write may only show here.
    int Close() {
        const int r = ::close(fd_);
        fd_ = -1;
        return r;
    }

private:
    int fd_;
};

int WriteFully(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return 0;
}

// Renames without ever replacing an existing target (see RenameNoReplace).
int RenameKeeping(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return errno;
    if (::link(from.c_str(), to.c_str()) == 0) {
        ::unlink(from.c_str());
        return 0;
    }
    if (errno != EPERM && errno != EOPNOTSUPP && errno != ENOSYS) return errno;
    struct stat st {};
    if (::lstat(to.c_str(), &st) == 0) return EEXIST;
    if (errno != ENOENT) return errno;
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

}  // namespace

FileStep SyncFolder(const std::filesystem::path& folder) {
    Fd fd(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() < 0) return Failed(errno);
    // Some file systems cannot flush a folder; their entries are as safe as
    // they get, which is no reason to refuse the write.
    if (::fsync(fd.get()) != 0 && errno != EINVAL && errno != EROFS) return Failed(errno);
    return {};
}

namespace {

// Creates `path` with the bytes and flushes it; a failure removes it again.
int WriteFlushed(const std::filesystem::path& path, const QByteArray& bytes, int createFlags) {
    Fd fd(::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW | createFlags, 0644));
    if (fd.get() < 0) return errno;
    int err = WriteFully(fd.get(), bytes.constData(), static_cast<size_t>(bytes.size()));
    if (!err && ::fsync(fd.get()) != 0) err = errno;
    if (!err && fd.Close() != 0) err = errno;
    if (err) ::unlink(path.c_str());
    return err;
}

}  // namespace

FileStep RenameNoReplace(const std::filesystem::path& from, const std::filesystem::path& to) {
    const int err = RenameKeeping(from, to);
    return err ? Failed(err) : FileStep{};
}

FileStep WriteNewFile(const std::filesystem::path& path, const QByteArray& bytes) {
    // O_EXCL: a name left from an earlier write may be a second name of a
    // file in use, which truncating would empty.
    if (const int err = WriteFlushed(path, bytes, O_CREAT | O_EXCL)) return Failed(err);
    const FileStep synced = SyncFolder(path.parent_path());
    if (!synced) ::unlink(path.c_str());
    return synced;
}

FileStep WriteWhole(const std::filesystem::path& target, const QByteArray& bytes, const std::filesystem::path& temp,
                    Existing existing) {
    // A temporary file left by a crash goes first, never opened: whatever took
    // its name may be a pipe (which would hold the write open for good) or a
    // second name of a file in use (which truncating would empty).
    if (::unlink(temp.c_str()) != 0 && errno != ENOENT && errno != EISDIR) return Failed(errno);
    if (const int err = WriteFlushed(temp, bytes, O_CREAT | O_EXCL)) return Failed(err);
    const int err = existing == Existing::Replace ? (::rename(temp.c_str(), target.c_str()) == 0 ? 0 : errno)
                                                  : RenameKeeping(temp, target);
    if (err) {
        ::unlink(temp.c_str());
        return Failed(err);
    }
    return SyncFolder(target.parent_path());
}

FileRead ReadRegularFile(const std::filesystem::path& path, qint64 limit) {
    FileRead out;
    auto fail = [&](int err) {
        out.status = err == ENOENT ? FileRead::Status::Missing : FileRead::Status::Failed;
        out.reason = SystemReason(err);
        return out;
    };
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return fail(errno);
    if (!S_ISREG(st.st_mode)) {
        out.status = FileRead::Status::NotAFile;
        return out;
    }
    if (st.st_size > limit) {
        out.status = FileRead::Status::TooLarge;
        return out;
    }
    // Opened without waiting, and looked at again once open: what the name
    // points to may have changed since the look above.
    Fd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0) return fail(errno);
    if (::fstat(fd.get(), &st) != 0) return fail(errno);
    if (!S_ISREG(st.st_mode)) {
        out.status = FileRead::Status::NotAFile;
        return out;
    }
    QByteArray bytes;
    char chunk[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), chunk, sizeof chunk);
        if (n < 0) {
            if (errno == EINTR) continue;
            return fail(errno);
        }
        if (n == 0) break;
        if (bytes.size() + n > limit) {  // the file grew while it was read
            out.status = FileRead::Status::TooLarge;
            return out;
        }
        bytes.append(chunk, n);
    }
    out.status = FileRead::Status::Read;
    out.bytes = std::move(bytes);
    return out;
}

}  // namespace plat
