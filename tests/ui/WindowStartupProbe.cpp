// Starts the window as the program does and reports, at its first paint, the
// wall-clock time in nanoseconds and the resident memory, then quits. The
// real-window test subtracts the time at which it started the process.
#include <cstdio>
#include <ctime>
#include <fstream>
#include <string>

#include <QApplication>
#include <QEvent>
#include <QTimer>

#include "model/FsmModel.h"
#include "ui/MDIFormMain.h"
#include "ui/QtPlatform.h"

namespace {

long long NowNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

std::string ResidentMemory() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return line.substr(6);
    return "unknown";
}

class FirstPaint : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            // Once this paint is done and flushed to the screen.
            QTimer::singleShot(0, [] {
                std::printf("first-paint-ns %lld\nresident %s\n", NowNanoseconds(),
                            ResidentMemory().c_str());
                std::fflush(stdout);
                QCoreApplication::quit();
            });
        }
        return false;
    }

private:
    bool seen_ = false;
};

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    FirstPaint firstPaint;
    application.installEventFilter(&firstPaint);
    kestrom::ui::QtPlatform platform;
    kestrom::ui::MDIFormMain window(platform, kestrom::ProgramModel());
    QTimer::singleShot(20000, [] { QCoreApplication::exit(1); });
    return application.exec();
}
