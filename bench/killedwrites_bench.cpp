// Writes of a disc root killed at random moments: a child writes the settings file as the editor
// does and copies the launcher beside it, again and again, and is killed with SIGKILL at a random
// moment of that work. Counted: the temporary files the killed writes left beside their targets,
// those still there after one more write of each target (target: none), and copies found torn
// (target: none); with the second argument 1 on a file system without unnamed files (every write
// then goes by a named temporary beside its target). Run: build/bench/killedwrites_bench
// [--benchmark_filter=/4000]
#include <benchmark/benchmark.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <thread>

#include "rtl/codepage.h"
#include "rtl/inifiles.h"
#include "support/settings.h"
#include "support/writers.h"
#include "win/file.h"

namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// A disc root, and two launchers of the built one's size to copy into it in turn.
struct Root {
    fs::path dir;
    std::string launchers[2];

    Root() {
        char pattern[] = "/tmp/killedwrites_bench.XXXXXX";
        dir = ::mkdtemp(pattern);
        std::string built = Read(fs::path(VARNITH_BIN_DIR) / "Varnith2.exe");
        if (built.empty()) built.assign(4 << 20, 'x');
        for (int i = 0; i < 2; ++i) {
            launchers[i] = built;
            launchers[i][0] = static_cast<char>('A' + i);
            std::ofstream(dir / ("source" + std::to_string(i)), std::ios::binary) << launchers[i];
        }
        fs::create_directory(dir / "disc");
    }
    ~Root() { fs::remove_all(dir); }

    fs::path Disc() const { return dir / "disc"; }
    void Write(int n) const {
        TIniFile ini(Utf8ToAnsi((Disc() / "Varnith2.ini").string()));
        testsettings::WriteEditorSettings(ini, AnsiString(std::to_string(n)), "index.html", 10);
        CopyFileA((dir / ("source" + std::to_string(n % 2))).c_str(), (Disc() / "Varnith2.exe").c_str(), FALSE);
    }
    std::set<std::string> Temporaries() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(Disc()))
            if (entry.path().filename().string().front() == '.') names.insert(entry.path().filename().string());
        return names;
    }
};

void BM_KilledWritesOfADiscRoot(benchmark::State& state) {
    const int kills = static_cast<int>(state.range(0));
    const bool named = state.range(1) != 0;
    Root root;
    // One more write of each target, on file systems such as the killed writes had.
    auto writeOnce = [&] {
        return testproc::InChild([&] {
            if (named && !testproc::WithoutUnnamedFiles()) return false;
            root.Write(0);
            return true;
        }) == 0;
    };
    // The length of one round of writing, measured here, is the range of the random moments.
    const auto start = std::chrono::steady_clock::now();
    for (int n = 0; n < 4; ++n) root.Write(n);
    const auto round = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start) / 4;
    std::mt19937 random(8);
    std::uniform_int_distribution<long> moment(0, round.count());

    std::set<std::string> left;
    int torn = 0;
    for (auto _ : state) {
        for (int i = 0; i < kills; ++i) {
            int started[2];
            if (::pipe(started) != 0) break;
            const pid_t child = ::fork();
            if (child == 0) {
                ::close(started[0]);
                if (named && !testproc::WithoutUnnamedFiles()) ::_exit(2);
                ::close(started[1]);  // the parent's sign that the child runs
                for (int n = i;; ++n) root.Write(n);
            }
            ::close(started[1]);
            char sign;
            (void)::read(started[0], &sign, 1);
            ::close(started[0]);
            std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
            ::kill(child, SIGKILL);
            ::waitpid(child, nullptr, 0);
            left.merge(root.Temporaries());
            const std::string copy = Read(root.Disc() / "Varnith2.exe");
            if (!copy.empty() && copy != root.launchers[0] && copy != root.launchers[1]) ++torn;
        }
        if (!writeOnce()) state.SkipWithError("the next write failed");
    }
    state.counters["kills"] = kills;
    state.counters["temporaries_left_by_kills"] = static_cast<double>(left.size());
    state.counters["temporaries_after_next_write"] = static_cast<double>(root.Temporaries().size());
    state.counters["torn_copies"] = torn;
}
BENCHMARK(BM_KilledWritesOfADiscRoot)
    ->Args({400, 0})->Args({4000, 0})->Args({400, 1})->Args({4000, 1})
    ->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
