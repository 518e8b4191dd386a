// Preloaded into a child that must die part-way: counts the calls that change
// files (opening for writing, creating, writing, truncating, renaming,
// linking, removing, flushing) once the child has armed it, and raises SIGKILL
// just before the call whose number PEMU_KILL_AT gives. Without PEMU_KILL_AT
// it only counts, and the child can ask for the count.
#undef _FORTIFY_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/types.h>
#include <unistd.h>

extern "C" {

static volatile int armed;
static long calls;

void pemu_killshim_arm(void) { armed = 1; }

long pemu_killshim_count(void) { return calls; }

static void step(void) {
    if (!armed) return;
    ++calls;
    const char* at = getenv("PEMU_KILL_AT");
    if (at && atol(at) == calls) raise(SIGKILL);
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
    if (writes(flags)) step();
    return NEXT(open)(path, flags, mode);
}

int open64(const char* path, int flags, ...) {
    va_list ap;
    va_start(ap, flags);
    mode_t mode = mode_of(flags, ap);
    va_end(ap);
    if (writes(flags)) step();
    return NEXT(open64)(path, flags, mode);
}

int openat(int dir, const char* path, int flags, ...) {
    va_list ap;
    va_start(ap, flags);
    mode_t mode = mode_of(flags, ap);
    va_end(ap);
    if (writes(flags)) step();
    return NEXT(openat)(dir, path, flags, mode);
}

int openat64(int dir, const char* path, int flags, ...) {
    va_list ap;
    va_start(ap, flags);
    mode_t mode = mode_of(flags, ap);
    va_end(ap);
    if (writes(flags)) step();
    return NEXT(openat64)(dir, path, flags, mode);
}

// The checked forms that fortified builds call in place of open.
int __open_2(const char* path, int flags);
int __open64_2(const char* path, int flags);

int __open_2(const char* path, int flags) {
    if (writes(flags)) step();
    return NEXT(__open_2)(path, flags);
}

int __open64_2(const char* path, int flags) {
    if (writes(flags)) step();
    return NEXT(__open64_2)(path, flags);
}

int creat(const char* path, mode_t mode) {
    step();
    return NEXT(creat)(path, mode);
}

int creat64(const char* path, mode_t mode) {
    step();
    return NEXT(creat64)(path, mode);
}

ssize_t write(int fd, const void* buf, size_t n) {
    // What the child says on its standard streams changes no file.
    if (fd > 2) step();
    return NEXT(write)(fd, buf, n);
}

ssize_t pwrite(int fd, const void* buf, size_t n, off_t at) {
    step();
    return NEXT(pwrite)(fd, buf, n, at);
}

ssize_t pwrite64(int fd, const void* buf, size_t n, off64_t at) {
    step();
    return NEXT(pwrite64)(fd, buf, n, at);
}

int ftruncate(int fd, off_t size) {
    step();
    return NEXT(ftruncate)(fd, size);
}

int ftruncate64(int fd, off64_t size) {
    step();
    return NEXT(ftruncate64)(fd, size);
}

int fsync(int fd) {
    step();
    return NEXT(fsync)(fd);
}

int fdatasync(int fd) {
    step();
    return NEXT(fdatasync)(fd);
}

int rename(const char* from, const char* to) {
    step();
    return NEXT(rename)(from, to);
}

int renameat(int fromDir, const char* from, int toDir, const char* to) {
    step();
    return NEXT(renameat)(fromDir, from, toDir, to);
}

int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned int flags) {
    step();
    return NEXT(renameat2)(fromDir, from, toDir, to, flags);
}

int link(const char* from, const char* to) {
    step();
    return NEXT(link)(from, to);
}

int linkat(int fromDir, const char* from, int toDir, const char* to, int flags) {
    step();
    return NEXT(linkat)(fromDir, from, toDir, to, flags);
}

int unlink(const char* path) {
    step();
    return NEXT(unlink)(path);
}

int remove(const char* path) {
    step();
    return NEXT(remove)(path);
}

int rmdir(const char* path) {
    step();
    return NEXT(rmdir)(path);
}

int unlinkat(int dir, const char* path, int flags) {
    step();
    return NEXT(unlinkat)(dir, path, flags);
}

}  // extern "C"
