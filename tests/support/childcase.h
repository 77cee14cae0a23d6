// Test support: a case run in a child process (GoogleTest's death-test machinery), so that a
// crash, a sanitizer's report or a hang fails the test instead of ending the test program. The
// child reports on its standard error how the case ended: "finished", or the exception that
// left it.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <exception>
#include <functional>
#include <string>

#include "rtl/codepage.h"
#include "rtl/consts.h"
#include "rtl/sysutils.h"

namespace childcase {

// A case that hangs is ended by this alarm. It is a safety net, not a time limit: every case
// ends in well under a second.
constexpr unsigned kAlarmSeconds = 120;

// The outcomes a case is expected to end with.
inline const std::string kFinished = "finished";
inline const std::string kOutOfResources = "EOutOfResources: " + AnsiToUtf8(SOutOfResources);

[[noreturn]] inline void Run(const std::function<void()>& body) {
    alarm(kAlarmSeconds);
    std::string outcome;
    try {
        body();
        outcome = kFinished;
    } catch (const EOutOfResources& e) {
        outcome = "EOutOfResources: " + AnsiToUtf8(e.Message);
    } catch (const Exception& e) {
        outcome = "Exception: " + AnsiToUtf8(e.Message);
    } catch (const std::exception& e) {
        outcome = std::string("std::exception: ") + e.what();
    }
    std::fprintf(stderr, "outcome: %s\n", outcome.c_str());
    std::fflush(stderr);
    _exit(0);
}

// Runs body in a child process and expects it to end with outcome. The child starts the test
// program afresh, so that no thread of this process is copied into it.
inline void Expect(const std::function<void()>& body, const std::string& outcome) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(Run(body), ::testing::ExitedWithCode(0), "outcome: " + outcome + "\n");
}

}  // namespace childcase
