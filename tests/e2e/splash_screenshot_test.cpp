// The real splash window on a private X server: one screenshot, its key pixels checked.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <thread>

#include "e2e/fake_xdg_open.h"
#include "rtl/codepage.h"
#include "support/process.h"
#include "support/x11.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Pixel = x11test::Image::Pixel;

constexpr int kScreenW = 1024, kScreenH = 768;
constexpr int kW = 364, kH = 53;  // the splash's client area
constexpr int kLeft = (kScreenW - kW) / 2, kTop = (kScreenH - kH) / 2;

constexpr Pixel kBlack{0, 0, 0};
constexpr Pixel kRed{255, 0, 0}, kBlue{0, 0, 255}, kLime{0, 255, 0}, kWhite{255, 255, 255};
// The frame ring: clBtnHighlight above and left, clBtnShadow below and right.
constexpr Pixel kHighlight{255, 255, 255}, kShadow{128, 128, 128};

// The four-corner blend at (x, y) of the box: across by x / width, down by y / height.
Pixel Blend(int x, int y) {
    const double u = double(x) / kW, v = double(y) / kH;
    auto channel = [&](int ul, int ur, int dl, int dr) {
        const double top = (1 - u) * ul + u * ur, bottom = (1 - u) * dl + u * dr;
        return int((1 - v) * top + v * bottom);
    };
    return {channel(kRed.r, kBlue.r, kLime.r, kWhite.r), channel(kRed.g, kBlue.g, kLime.g, kWhite.g),
            channel(kRed.b, kBlue.b, kLime.b, kWhite.b)};
}

int Distance(const Pixel& a, const Pixel& b) {
    return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
}

std::string Text(const Pixel& p) {
    return "(" + std::to_string(p.r) + "," + std::to_string(p.g) + "," + std::to_string(p.b) + ")";
}

// Pixels of the box's rectangle [x0, x1) x [y0, y1) that differ strongly from the blend: how
// many, and how far left and right they reach.
struct Ink {
    int count = 0, left = 1 << 30, right = -1;
};

Ink InkIn(const x11test::Image& shot, int x0, int y0, int x1, int y1) {
    Ink ink;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (Distance(shot.At(kLeft + x, kTop + y), Blend(x, y)) > 150) {
                ++ink.count;
                ink.left = std::min(ink.left, x);
                ink.right = std::max(ink.right, x);
            }
    return ink;
}

TEST(SplashScreenshot, CentredBorderlessGradientWithFrameIconAndMessage) {
    if (!x11test::Xvfb::Installed()) GTEST_SKIP() << "Xvfb is not installed";
    if (!x11test::Which("import") || !x11test::Which("xdotool"))
        GTEST_SKIP() << "import (ImageMagick) or xdotool is not installed";
    x11test::Xvfb server;
    ASSERT_TRUE(server.Start(kScreenW, kScreenH)) << "the X server did not start";

    testproc::TempDir tmp;
    const fs::path root = tmp.path / "disc";
    fs::create_directories(root);
    for (const char* name : {"Varnith2.exe", "Varnith2.ico"})
        fs::copy_file(fs::path(VARNITH_BIN_DIR) / name, root / name);
    fakeopen::Install(tmp.path / "bin");
    fs::create_directory(tmp.path / "runtime");
    fs::permissions(tmp.path / "runtime", fs::perms::owner_all);
    testproc::WriteFile(root / "readme.txt", "the document\n");
    std::string settings;
    for (const char* line :
         {"[KEY]", "PNAME=Trellan2", "VER=2.10", "Copyright=2004,PURUNE-SHA", "User=tester",
          "[Option]", "StayTop=NO", "Icon=Varnith2.ico", "FrmLTColor=clRed", "FrmLBColor=clLime",
          "FrmRTColor=clBlue", "FrmRBColor=clWhite", "Message=ディスクを起動しています・・・",
          "MColor=clBlack", "MBold=1", "MItalic=0", "MFont=ゴシック", "RunFile=readme.txt",
          "Timer=600"})  // long past every wait of the test, which ends the launcher itself
        settings += std::string(line) + "\r\n";
    testproc::WriteFile(root / "Varnith2.ini", Utf8ToAnsi(settings).str());

    const std::map<std::string, std::string> env = {
        {"DISPLAY", server.Display()},
        {"QT_QPA_PLATFORM", "xcb"},
        {"PATH", (tmp.path / "bin").string() + ":" + std::getenv("PATH")},
        {"FAKE_XDG_OPEN_LOG", (tmp.path / "opened.log").string()},
        {"XDG_RUNTIME_DIR", (tmp.path / "runtime").string()},
    };
    testproc::Child launcher = testproc::Start({(root / "Varnith2.exe").string()}, tmp.path, env);
    ASSERT_GT(launcher.pid, 0);

    // Mapped: the window named after the form's caption is viewable. Every wait here is for a
    // sign of the program; its minute is only a safety net.
    bool mapped = false;
    for (auto deadline = testproc::Clock::now() + 60s; !mapped && testproc::Clock::now() < deadline;
         std::this_thread::sleep_for(20ms)) {
        auto ids = x11test::Output({"xdotool", "search", "--onlyvisible", "--name", "^Trellan 2$"},
                                   {{"DISPLAY", server.Display()}});
        mapped = ids && !ids->empty();
    }
    ASSERT_TRUE(mapped) << "the splash was not mapped within a minute";

    // Painted: the frame ring's corners are on screen, and the picture no longer changes from
    // one screenshot to the next.
    const fs::path ppm = tmp.path / "screen.ppm";
    std::optional<x11test::Image> shot, previous;
    for (auto deadline = testproc::Clock::now() + 60s; testproc::Clock::now() < deadline;) {
        previous = std::move(shot);
        shot = x11test::Screenshot(server.Display(), ppm);
        if (shot && shot->width == kScreenW && shot->height == kScreenH &&
            shot->At(kLeft, kTop) == kHighlight && shot->At(kLeft + kW - 1, kTop + kH - 1) == kShadow &&
            previous && previous->rgb == shot->rgb)
            break;
        std::this_thread::sleep_for(50ms);
    }
    testproc::Wait(launcher, 0ms);  // ends the launcher: the picture is taken
    ASSERT_TRUE(shot.has_value()) << "no screenshot";
    ASSERT_EQ(shot->width, kScreenW);
    ASSERT_EQ(shot->height, kScreenH);
    // Kept beside the test for a look (convert it to PNG to view it).
    std::error_code ec;
    fs::copy_file(ppm, "splash_screenshot.ppm", fs::copy_options::overwrite_existing, ec);
    std::cout << "[ screenshot ] " << (fs::current_path() / "splash_screenshot.ppm").string() << "\n";

    // Centred and borderless: exactly the 364 x 53 client area differs from the black root.
    int outsideLit = 0, insideBlack = 0;
    for (int y = 0; y < kScreenH; ++y)
        for (int x = 0; x < kScreenW; ++x) {
            const bool inside = x >= kLeft && x < kLeft + kW && y >= kTop && y < kTop + kH;
            const bool black = shot->At(x, y) == kBlack;
            if (!inside && !black) ++outsideLit;
            if (inside && black && (x == kLeft || y == kTop || x == kLeft + kW - 1 || y == kTop + kH - 1))
                ++insideBlack;
        }
    EXPECT_EQ(outsideLit, 0) << "pixels outside the centred 364 x 53 rectangle";
    EXPECT_EQ(insideBlack, 0) << "black pixels on the splash's outermost ring";

    // The frame ring: highlight along the top and left, shadow along the right and bottom; the
    // shadow's lines are drawn last, so they own the top-right and bottom-left corners.
    auto ring = [&](int x, int y) { return shot->At(kLeft + x, kTop + y); };
    for (int x = 0; x < kW; ++x) {
        SCOPED_TRACE("x " + std::to_string(x));
        EXPECT_EQ(ring(x, 0), x == kW - 1 ? kShadow : kHighlight);
        EXPECT_EQ(ring(x, kH - 1), kShadow);
    }
    for (int y = 0; y < kH; ++y) {
        SCOPED_TRACE("y " + std::to_string(y));
        EXPECT_EQ(ring(0, y), y == kH - 1 ? kShadow : kHighlight);
        EXPECT_EQ(ring(kW - 1, y), kShadow);
    }

    // The gradient just inside the ring: each corner's own colour, and the blend along the
    // bands that no label or the icon covers (above y 8, left of x 8, right of x 360).
    const struct {
        int x, y;
        Pixel corner;
    } corners[] = {{1, 1, kRed}, {kW - 2, 1, kBlue}, {1, kH - 2, kLime}, {kW - 2, kH - 2, kWhite}};
    for (const auto& c : corners)
        EXPECT_LE(Distance(ring(c.x, c.y), c.corner), 3 * 12)
            << "corner near (" << c.x << "," << c.y << ") is " << Text(ring(c.x, c.y));
    int off = 0;
    std::string firstOff;
    for (int y = 1; y < kH - 1; ++y)
        for (int x = 1; x < kW - 1; ++x) {
            if (!(y < 8 || x < 8 || x > 360)) continue;
            if (Distance(ring(x, y), Blend(x, y)) > 3 && off++ == 0)
                firstOff = "(" + std::to_string(x) + "," + std::to_string(y) + ") is " +
                           Text(ring(x, y)) + ", the blend " + Text(Blend(x, y));
        }
    EXPECT_EQ(off, 0) << "gradient pixels off the four-corner blend, first " << firstOff;

    // The icon at (8, 8), and the message's ink centred in its label (56, 8, 305 x 33).
    EXPECT_GT(InkIn(*shot, 8, 8, 40, 40).count, 200) << "no icon at (8, 8)";
    const Ink message = InkIn(*shot, 56, 8, 56 + 305, 8 + 33);
    EXPECT_GT(message.count, 300) << "no message ink";
    EXPECT_NEAR((message.left + message.right) / 2.0, 56 + 305 / 2.0, 6)
        << "message ink from x " << message.left << " to " << message.right;
}

}  // namespace
