// A pipe (FIFO) in place of a file the program reads, watched so that a test
// of it fails instead of hanging.
//
// Opening a pipe to read waits until something opens it to write. While a
// watch lives, a thread of its own keeps trying to open the pipe's writing
// end without waiting; that succeeds only while something holds the pipe open
// to read. The watch then records it and closes its end at once, so the reader
// sees the end of the file and goes on: the window under test opens after all,
// and the test finds that the pipe was opened. The test itself never opens the
// pipe in a way that could wait.
#pragma once

#include <atomic>
#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pemu_test {

class PipeWatch {
public:
    // Makes the pipe at `path`, which must not exist.
    explicit PipeWatch(std::filesystem::path path) : path_(std::move(path)) {
        if (::mkfifo(path_.c_str(), 0600) != 0) throw std::runtime_error("mkfifo " + path_.string());
        thread_ = std::thread([this] {
            while (!stop_) {
                const int fd = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
                if (fd >= 0) {
                    opened_ = true;
                    ::close(fd);
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        });
    }
    ~PipeWatch() {
        stop_ = true;
        thread_.join();
    }
    PipeWatch(const PipeWatch&) = delete;
    PipeWatch& operator=(const PipeWatch&) = delete;

    // Something opened the pipe to read since the watch began.
    bool opened() const { return opened_; }

private:
    std::filesystem::path path_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> opened_{false};
    std::thread thread_;
};

}  // namespace pemu_test
