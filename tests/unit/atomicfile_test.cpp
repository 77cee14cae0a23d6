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
#include <functional>
#include <iostream>
#include <optional>
#include <set>
#include <string>

#include "rtl/atomicfile.h"
#include "support/process.h"
#include "support/writers.h"

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

// Where the file system has unnamed files, the new content has no name until it takes the target's
// place; where it has none, a named temporary beside the target stands in.
enum class TTemporaries { Unnamed, Named };

std::string PrintTemporaries(const ::testing::TestParamInfo<TTemporaries>& info) {
    return info.param == TTemporaries::Unnamed ? "Unnamed" : "Named";
}

// Runs fn in a child whose file systems have unnamed files or not; its exit code (0: fn was true).
int InChild(TTemporaries kind, const std::function<bool()>& fn) {
    return testproc::InChild([&] { return (kind == TTemporaries::Unnamed || testproc::WithoutUnnamedFiles()) && fn(); });
}

class KilledWrites : public ::testing::TestWithParam<TTemporaries> {};

TEST_P(KilledWrites, LeaveTheTargetWholeAndTheNextWriteLeavesNothingBeside) {
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
            if (GetParam() == TTemporaries::Named && !testproc::WithoutUnnamedFiles()) ::_exit(2);
            // Every third writer dies at a point of its own within the content; the others write
            // on and on until they are killed, wherever that finds them.
            const std::size_t dieAfter = i % 3 == 0 ? (i * 7919 % kSize) : kSize + 1;
            for (int n = 0;; ++n) WriteAs(target, n % 2 ? 'a' : 'b', signs[1], dieAfter);
        }
        ::close(signs[1]);
        // Killed once it has begun 1 to 4 writes: its own sign of life, no clock.
        char sign;
        int begun = 0;
        while (begun < 1 + i % 4 && ::read(signs[0], &sign, 1) == 1) ++begun;
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ::close(signs[0]);
        ASSERT_GT(begun, 0) << "the writer never began";

        const std::string content = testproc::ReadFile(target);
        ASSERT_EQ(content.size(), kSize);
        EXPECT_TRUE(content == std::string(kSize, content[0]) && std::string("oab").find(content[0]) != std::string::npos)
            << "a torn target";
        leftByKills.merge(Others(tmp.path, "Varnith2.ini"));
    }
    // Named temporaries are left by every writer killed in the midst of its content.
    if (GetParam() == TTemporaries::Named) {
        EXPECT_FALSE(leftByKills.empty());
    }
    ASSERT_EQ(InChild(GetParam(), [&] { return WriteAs(target, 'n'); }), 0);
    EXPECT_EQ(Others(tmp.path, "Varnith2.ini"), std::set<std::string>{});
    EXPECT_EQ(testproc::ReadFile(target), std::string(kSize, 'n'));
    std::cout << "[ measured ] " << kKills << " killed writes left " << leftByKills.size()
              << " temporary files; after the next write: " << Others(tmp.path, "Varnith2.ini").size() << "\n";
}

INSTANTIATE_TEST_SUITE_P(AtomicFile, KilledWrites, ::testing::Values(TTemporaries::Unnamed, TTemporaries::Named),
                         PrintTemporaries);

// What a writer killed on a file system without unnamed files left beside its target, in a folder of
// its own (so that no later writer sees it): the leftover's path. Killed in the midst of the content,
// or at the birth of its temporary.
fs::path LeftByAKilledWriter(const fs::path& folder, const std::string& target, bool atBirth) {
    fs::create_directory(folder);
    const int end = testproc::InChild([&] {
        return testproc::WithoutUnnamedFiles(atBirth) && WriteAs(folder / target, 'k', -1, 4096);
    });
    EXPECT_EQ(end, 128 + SIGKILL) << target << (atBirth ? " at birth" : "");
    const std::set<std::string> left = testproc::Entries(folder);
    EXPECT_EQ(left.size(), 1u) << target << (atBirth ? " at birth" : "");
    return left.empty() ? fs::path() : folder / *left.begin();
}

// The next write removes what killed writers of its own target left, and nothing else: not a live
// writer's temporary, not another target's, and none of the author's own files, whatever their
// names, also those named just like a temporary.
TEST(AtomicFile, TheNextWriteRemovesOnlyWhatAKilledWriterLeft) {
    testproc::TempDir tmp;
    const fs::path target = tmp.path / "Varnith2.exe";
    const fs::path leftovers[] = {
        LeftByAKilledWriter(tmp.path / "killed", "Varnith2.exe", false),
        LeftByAKilledWriter(tmp.path / "killedAtBirth", "Varnith2.exe", true),
        LeftByAKilledWriter(tmp.path / "otherTarget", "Varnith2.ini", false),
    };
    for (const fs::path& leftover : leftovers) ASSERT_FALSE(leftover.empty());
    const std::string killed = leftovers[0].filename(), killedAtBirth = leftovers[1].filename();
    // Names of the same shape as a killed writer's, given by hand.
    auto likeATemporary = [&](char c) {
        std::string name = killed;
        name[name.find_last_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789")] = c;
        return name == killed ? name + c : name;
    };
    const struct {
        std::string Name;
        std::optional<std::string> Bytes;  // given by hand; none: left by a writer
        bool Removed;
    } cases[] = {
        {killed, std::nullopt, true},
        {killedAtBirth, std::nullopt, true},
        {leftovers[2].filename(), std::nullopt, false},  // another target's
        {".Varnith2.exe.backup", "the author's backup", false},
        {".Varnith2.exe.saved1", "the author's backup", false},
        {".Varnith2.exe.aB3xY9", "the author's backup", false},
        {".Varnith2.exe.000000", "", false},
        {"Varnith2.exe.aB3xY9", "the author's backup", false},
        {likeATemporary('Q'), "the author's file", false},
        {likeATemporary('R'), "", false},
    };

    // A live writer's temporary, held while the next write runs.
    int signs[2], release[2];
    ASSERT_EQ(::pipe(signs), 0);
    ASSERT_EQ(::pipe(release), 0);
    const pid_t live = ::fork();
    if (live == 0) {
        ::close(signs[0]);
        ::close(release[1]);
        if (!testproc::WithoutUnnamedFiles()) ::_exit(2);
        WriteFileAtomically(target.string(), 0644, nullptr, true, [&](int) {
            char c;
            return ::write(signs[1], "w", 1) == 1 && ::read(release[0], &c, 1) == 1;
        });
        ::_exit(0);
    }
    ::close(signs[1]);
    ::close(release[0]);
    char sign;
    ASSERT_EQ(::read(signs[0], &sign, 1), 1);
    std::set<std::string> held = Others(tmp.path, "Varnith2.exe");
    for (const char* folder : {"killed", "killedAtBirth", "otherTarget"}) held.erase(folder);
    ASSERT_EQ(held.size(), 1u);

    for (const fs::path& leftover : leftovers) fs::rename(leftover, tmp.path / leftover.filename());
    for (const auto& c : cases)
        if (c.Bytes) testproc::WriteFile(tmp.path / c.Name, *c.Bytes);
    fs::create_directory(tmp.path / likeATemporary('S'));  // not a file: stays

    ASSERT_TRUE(WriteAs(target, 'n'));
    for (const auto& c : cases) EXPECT_EQ(fs::exists(tmp.path / c.Name), !c.Removed) << c.Name;
    EXPECT_TRUE(fs::exists(tmp.path / *held.begin())) << "a live writer's temporary was removed";
    EXPECT_TRUE(fs::is_directory(tmp.path / likeATemporary('S')));
    for (const auto& c : cases) {
        if (c.Bytes) {
            EXPECT_EQ(testproc::ReadFile(tmp.path / c.Name), *c.Bytes) << c.Name;
        }
    }
    ::close(release[1]);
    ::close(signs[0]);
    ASSERT_EQ(::waitpid(live, nullptr, 0), live);
}

}  // namespace
