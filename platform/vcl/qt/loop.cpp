// The real message loop on Qt's event loop: one single-shot Qt timer is set to the earliest
// deadline (in chunks, since a Qt interval is an int and ours an unsigned 32-bit count) or to 0
// when work is posted; deadlines are read on Clock().
#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "rtl/codepage.h"
#include "rtl/sysutils.h"
#include "vcl/loop.h"

namespace {

// The longest single wait handed to Qt; a longer one is served by waking up and waiting again.
constexpr std::uint64_t kLongestWaitMs = 24u * 60 * 60 * 1000;

class TQtLoop : public TMessageLoop {
public:
    void Run() override {
        if (FQuitPending) {
            FQuitPending = false;
            return;
        }
        // The application object normally exists already; a loop run without one gets its own.
        std::unique_ptr<QCoreApplication> own;
        if (!QCoreApplication::instance()) {
            static int argc = 1;
            static char name[] = "varnith";
            static char* argv[] = {name, nullptr};
            own = std::make_unique<QCoreApplication>(argc, argv);
        }
        QEventLoop loop;
        QEventLoop* outer = FRunning;
        FRunning = &loop;
        Arm();
        loop.exec();
        FRunning = outer;
        FQuitPending = false;
    }

    void Quit() override {
        if (FRunning)
            FRunning->quit();
        else
            FQuitPending = true;
    }

protected:
    void Changed() override { Arm(); }

private:
    // Sets the wake-up to the posted work or the next deadline; before Qt runs, Run arms it.
    void Arm() {
        if (!QCoreApplication::instance()) return;
        if (!FWake) {
            // Owned by the application object, so that it dies before Qt's event dispatcher.
            FWake = new QTimer(QCoreApplication::instance());
            FWake->setSingleShot(true);
            FWake->setTimerType(Qt::PreciseTimer);
            QObject::connect(FWake, &QTimer::timeout, [this] { Wake(); });
        }
        if (HasPosted()) {
            FWake->start(0);
            return;
        }
        std::optional<std::uint64_t> next = NextDeadline();
        if (!next) {
            FWake->stop();
            return;
        }
        std::uint64_t now = Clock().NowMs();
        std::uint64_t wait = *next > now ? *next - now : 0;
        FWake->start(static_cast<int>(std::min(wait, kLongestWaitMs)));
    }

    void Wake() {
        // No exception may cross Qt's event loop. Each timer ticks at most once per wake-up, so a
        // handler slower than its interval cannot starve the window events.
        try {
            RunPosted();
            const std::uint64_t now = Clock().NowMs();
            while (FireNextDue(now)) {}
        } catch (...) {
            HandleLoopException(std::current_exception());
        }
        Arm();
    }

    QPointer<QTimer> FWake;
    QEventLoop* FRunning = nullptr;
    bool FQuitPending = false;
};

}  // namespace

namespace loopglue {

TMessageLoop& RealLoop() {
    static TQtLoop loop;
    return loop;
}

void DrainToolkitEvents() {
    if (!QCoreApplication::instance()) return;
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void ReportUnhandled(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const Exception& e) {
        std::fprintf(stderr, "%s\n", AnsiToUtf8(e.Message).c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
    } catch (...) {
        std::fprintf(stderr, "unknown exception\n");
    }
}

}  // namespace loopglue
