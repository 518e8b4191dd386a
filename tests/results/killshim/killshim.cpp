// Preloaded into a child that must die part-way: counts the calls that change
// files (opening for writing, creating, writing, truncating, renaming,
// linking, removing, flushing) once the child has armed it, and raises SIGKILL
// just before the call whose number PEMU_KILL_AT gives. Without PEMU_KILL_AT
// it only counts, and the child can ask for the count.
//
// PEMU_KILL_LOG names a file to which each counted call is added as a line,
// "<call> <path>" ("<call> <from> <to>" for a rename or link; a call on an
// open file names the file), so that a test can read the order of a step's
// calls. PEMU_NO_LINK=1 makes link and linkat fail with EPERM and
// PEMU_NO_RENAME_NOREPLACE=1 makes renameat2 refuse RENAME_NOREPLACE with
// EINVAL, as the file systems of USB sticks and memory cards (exFAT, FAT) do.
#undef _FORTIFY_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/syscall.h>
#include <sys/types.h>
#include <unistd.h>

extern "C" {

static volatile int armed;
static long calls;

void pemu_killshim_arm(void) { armed = 1; }

long pemu_killshim_count(void) { return calls; }

static bool set(const char* name) {
    const char* v = getenv(name);
    return v && strcmp(v, "1") == 0;
}

// Straight to the kernel, so that the log's own writes are neither counted
// nor logged.
static void log_line(const char* call, const char* a, const char* b) {
    static int fd = -2;
    if (fd == -2) {
        const char* path = getenv("PEMU_KILL_LOG");
        fd = path ? static_cast<int>(syscall(SYS_openat, AT_FDCWD, path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC,
                                             0644))
                  : -1;
    }
    if (fd < 0) return;
    char line[3 * PATH_MAX + 64];
    const int n = snprintf(line, sizeof line, "%s %s%s%s\n", call, a ? a : "?", b ? " " : "", b ? b : "");
    if (n > 0) syscall(SYS_write, fd, line, static_cast<size_t>(n) < sizeof line ? n : sizeof line - 1);
}

static void fd_path(int fd, char* out, size_t size) {
    char link[64];
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t n = readlink(link, out, size - 1);
    out[n > 0 ? n : 0] = 0;
}

static void step(const char* call, const char* a = nullptr, const char* b = nullptr) {
    if (!armed) return;
    ++calls;
    log_line(call, a, b);
    const char* at = getenv("PEMU_KILL_AT");
    if (at && atol(at) == calls) raise(SIGKILL);
}

static void step_fd(const char* call, int fd) {
    if (!armed) return;
    char path[PATH_MAX];
    fd_path(fd, path, sizeof path);
    step(call, path);
}

#define NEXT(name) (reinterpret_cast<decltype(&name)>(dlsym(RTLD_NEXT, #name)))

static int writes(int flags) { return (flags & (O_WRONLY | O_RDWR | O_CREAT | O_TRUNC)) != 0; }

static mode_t mode_of(int flags, va_list ap) {
    return (flags & (O_CREAT | O_TMPFILE)) ? static_cast<mode_t>(va_arg(ap, int)) : 0;
}

int open(const char* path, int flags, ...) {
    va_list ap;
    va_start(ap, flags);
    mode_t mode = mode_of(flags, ap);
    va_end(ap);
    if (writes(flags)) step("open", path);
    return NEXT(open)(path, flags, mode);
}

int open64(const char* path, int flags, ...) {
    va_list ap;
    va_start(ap, flags);
    mode_t mode = mode_of(flags, ap);
    va_end(ap);
    if (writes(flags)) step("open", path);
    return NEXT(open64)(path, flags, mode);
}

int openat(int dir, const char* path, int flags, ...) {
    va_list ap;
    va_start(ap, flags);
    mode_t mode = mode_of(flags, ap);
    va_end(ap);
    if (writes(flags)) step("open", path);
    return NEXT(openat)(dir, path, flags, mode);
}

int openat64(int dir, const char* path, int flags, ...) {
    va_list ap;
    va_start(ap, flags);
    mode_t mode = mode_of(flags, ap);
    va_end(ap);
    if (writes(flags)) step("open", path);
    return NEXT(openat64)(dir, path, flags, mode);
}

// The checked forms that fortified builds call in place of open.
int __open_2(const char* path, int flags);
int __open64_2(const char* path, int flags);

int __open_2(const char* path, int flags) {
    if (writes(flags)) step("open", path);
    return NEXT(__open_2)(path, flags);
}

int __open64_2(const char* path, int flags) {
    if (writes(flags)) step("open", path);
    return NEXT(__open64_2)(path, flags);
}

int creat(const char* path, mode_t mode) {
    step("open", path);
    return NEXT(creat)(path, mode);
}

int creat64(const char* path, mode_t mode) {
    step("open", path);
    return NEXT(creat64)(path, mode);
}

ssize_t write(int fd, const void* buf, size_t n) {
    // What the child says on its standard streams changes no file.
    if (fd > 2) step_fd("write", fd);
    return NEXT(write)(fd, buf, n);
}

ssize_t pwrite(int fd, const void* buf, size_t n, off_t at) {
    step_fd("write", fd);
    return NEXT(pwrite)(fd, buf, n, at);
}

ssize_t pwrite64(int fd, const void* buf, size_t n, off64_t at) {
    step_fd("write", fd);
    return NEXT(pwrite64)(fd, buf, n, at);
}

int ftruncate(int fd, off_t size) {
    step_fd("truncate", fd);
    return NEXT(ftruncate)(fd, size);
}

int ftruncate64(int fd, off64_t size) {
    step_fd("truncate", fd);
    return NEXT(ftruncate64)(fd, size);
}

int fsync(int fd) {
    step_fd("fsync", fd);
    return NEXT(fsync)(fd);
}

int fdatasync(int fd) {
    step_fd("fsync", fd);
    return NEXT(fdatasync)(fd);
}

int rename(const char* from, const char* to) {
    step("rename", from, to);
    return NEXT(rename)(from, to);
}

int renameat(int fromDir, const char* from, int toDir, const char* to) {
    step("rename", from, to);
    return NEXT(renameat)(fromDir, from, toDir, to);
}

int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned int flags) {
    step("rename", from, to);
    if ((flags & RENAME_NOREPLACE) && set("PEMU_NO_RENAME_NOREPLACE")) {
        errno = EINVAL;
        return -1;
    }
    return NEXT(renameat2)(fromDir, from, toDir, to, flags);
}

int link(const char* from, const char* to) {
    step("link", from, to);
    if (set("PEMU_NO_LINK")) {
        errno = EPERM;
        return -1;
    }
    return NEXT(link)(from, to);
}

int linkat(int fromDir, const char* from, int toDir, const char* to, int flags) {
    step("link", from, to);
    if (set("PEMU_NO_LINK")) {
        errno = EPERM;
        return -1;
    }
    return NEXT(linkat)(fromDir, from, toDir, to, flags);
}

int unlink(const char* path) {
    step("unlink", path);
    return NEXT(unlink)(path);
}

int remove(const char* path) {
    step("unlink", path);
    return NEXT(remove)(path);
}

int rmdir(const char* path) {
    step("rmdir", path);
    return NEXT(rmdir)(path);
}

int unlinkat(int dir, const char* path, int flags) {
    step("unlink", path);
    return NEXT(unlinkat)(dir, path, flags);
}

}  // extern "C"
