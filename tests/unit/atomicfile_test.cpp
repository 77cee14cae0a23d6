// Replacing a file in one step: a writer killed at any moment leaves the target whole (old or new)
// and, once the next write has run, nothing beside it.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <set>
#include <string>

#include "rtl/atomicfile.h"
#include "support/process.h"

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kSize = 256 * 1024;

bool WriteAs(const fs::path& path, char fill, int signOfLife = -1, std::size_t dieAfter = kSize + 1) {
    return WriteFileAtomically(path.string(), 0644, nullptr, true, [&](int fd) {
        if (signOfLife >= 0 && ::write(signOfLife, "w", 1) != 1) return false;
        const std::string part(4096, fill);
        for (std::size_t done = 0; done < kSize; done += part.size()) {
            if (done >= dieAfter) ::raise(SIGKILL);  // killed in the midst of the content
            if (!WriteAll(fd, part)) return false;
        }
        return true;
    });
}

// The names in folder beside the target.
std::set<std::string> Others(const fs::path& folder, const std::string& target) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().filename() != target) names.insert(entry.path().filename().string());
    return names;
}

TEST(AtomicFile, KilledWritesLeaveTheTargetWholeAndTheNextWriteLeavesNothingBeside) {
    testproc::TempDir tmp;
    const fs::path target = tmp.path / "Varnith2.ini";
    ASSERT_TRUE(WriteAs(target, 'o'));
    std::set<std::string> leftByKills;  // every temporary seen after a kill
    const int kKills = 60;
    for (int i = 0; i < kKills; ++i) {
        SCOPED_TRACE("kill " + std::to_string(i));
        int signs[2];
        ASSERT_EQ(::pipe(signs), 0);
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(signs[0]);
            // Every third writer dies at a point of its own within the content; the others write
            // on and on until they are killed, wherever that finds them.
            const std::size_t dieAfter = i % 3 == 0 ? (i * 7919 % kSize) : kSize + 1;
            for (int n = 0;; ++n) WriteAs(target, n % 2 ? 'a' : 'b', signs[1], dieAfter);
        }
        ::close(signs[1]);
        // Killed once it has begun 1 to 4 writes: its own sign of life, no clock.
        char sign;
        for (int begun = 0; begun < 1 + i % 4 && ::read(signs[0], &sign, 1) == 1; ++begun) {
        }
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ::close(signs[0]);

        const std::string content = testproc::ReadFile(target);
        ASSERT_EQ(content.size(), kSize);
        EXPECT_TRUE(content == std::string(kSize, content[0]) && std::string("oab").find(content[0]) != std::string::npos)
            << "a torn target";
        leftByKills.merge(Others(tmp.path, "Varnith2.ini"));
    }
    ASSERT_TRUE(WriteAs(target, 'n'));
    EXPECT_EQ(Others(tmp.path, "Varnith2.ini"), std::set<std::string>{});
    EXPECT_EQ(testproc::ReadFile(target), std::string(kSize, 'n'));
    std::cout << "[ measured ] " << kKills << " killed writes left " << leftByKills.size()
              << " temporary files; after the next write: " << Others(tmp.path, "Varnith2.ini").size() << "\n";
}

// What a writer killed on a file system without unnamed files (or an older writer) leaves is
// removed by the next write of the same target; a live writer's temporary and other names stay.
TEST(AtomicFile, TheNextWriteRemovesOnlyStaleTemporariesOfItsOwnNaming) {
    testproc::TempDir tmp;
    const fs::path target = tmp.path / "Varnith2.exe";
    const struct {
        std::string Name;
        bool Removed;
    } cases[] = {
        {".Varnith2.exe.aB3xY9", true},
        {".Varnith2.exe.000000", true},
        {".Varnith2.exe.live01", false},   // held by a live writer (below)
        {".Varnith2.exe.aB3xY", false},    // five characters: not of its naming
        {".Varnith2.exe.aB3xY9z", false},  // seven
        {".Varnith2.exe.aB-xY9", false},
        {".Varnith2.ini.aB3xY9", false},   // another target's
        {"Varnith2.exe.aB3xY9", false},    // not hidden
    };
    for (const auto& c : cases) testproc::WriteFile(tmp.path / c.Name, "cut short");
    const int live = ::open((tmp.path / ".Varnith2.exe.live01").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(live, 0);
    ASSERT_EQ(::flock(live, LOCK_EX), 0);
    fs::create_directory(tmp.path / ".Varnith2.exe.folder");  // not a file: stays

    ASSERT_TRUE(WriteAs(target, 'n'));
    for (const auto& c : cases) EXPECT_EQ(fs::exists(tmp.path / c.Name), !c.Removed) << c.Name;
    EXPECT_TRUE(fs::exists(tmp.path / ".Varnith2.exe.folder"));
    ::close(live);
}

}  // namespace
