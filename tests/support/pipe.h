// Test support: a named pipe that nobody writes to, watched so that a reader or writer that waits
// on it cannot hang the test: past a generous deadline the watch opens the pipe at both ends,
// which sets the waiting call free, and remembers that it had to.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <thread>

namespace testproc {

class WatchedPipe {
public:
    explicit WatchedPipe(const std::filesystem::path& path, std::chrono::seconds limit = std::chrono::seconds(60))
        : FPath(path), FMade(::mkfifo(path.c_str(), 0600) == 0) {
        FWatch = std::thread([this, limit] {
            std::unique_lock<std::mutex> lock(FMutex);
            while (!FEnded) {
                if (FEnd.wait_for(lock, limit) == std::cv_status::timeout && !FEnded) {
                    FWaitedOn = true;
                    ::close(::open(FPath.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC));
                }
            }
        });
    }
    ~WatchedPipe() {
        {
            std::lock_guard<std::mutex> lock(FMutex);
            FEnded = true;
        }
        FEnd.notify_one();
        FWatch.join();
    }
    bool Made() const { return FMade; }
    // True once a call had to be set free.
    bool WaitedOn() {
        std::lock_guard<std::mutex> lock(FMutex);
        return FWaitedOn;
    }

private:
    std::filesystem::path FPath;
    bool FMade;
    std::mutex FMutex;
    std::condition_variable FEnd;
    bool FEnded = false, FWaitedOn = false;
    std::thread FWatch;
};

}  // namespace testproc
