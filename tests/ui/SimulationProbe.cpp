// Measures the Simulation panel, never asserting a time: the first build of
// the crossing example's module and a cached start, the time from Step to the
// state lit in the diagram (median of 100 steps), cycles per second of a Run
// of a million cycles with the views following it, and the memory of the
// window and of its driver.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QSpinBox>
#include <QTemporaryDir>

#include "model/FsmModel.h"
#include "ui/FileViews.h"
#include "ui/MDIFormMain.h"
#include "ui/QtPlatform.h"
#include "ui/sim/SimulationPanel.h"

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

template <typename Done> bool WaitFor(Done done, int timeoutMs) {
    const Clock::time_point start = Clock::now();
    while (!done()) {
        if (MillisecondsSince(start) > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

std::string Resident(const std::string& pid) {
    std::ifstream status("/proc/" + pid + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return line.substr(line.find_first_not_of(" \t", 6));
    return "unknown";
}

// The driver is the one child process of the window.
std::string DriverPid() {
    const std::string self = std::to_string(QCoreApplication::applicationPid());
    for (const QString& entry : QDir("/proc").entryList(QDir::Dirs)) {
        std::ifstream stat("/proc/" + entry.toStdString() + "/stat");
        std::string pid, name, state, parent;
        if (stat >> pid >> name >> state >> parent && parent == self) return pid;
    }
    return {};
}

} // namespace

int main(int argc, char** argv) {
    QTemporaryDir cache;
    qputenv("XDG_CACHE_HOME", QFile::encodeName(cache.path()));
    QApplication app(argc, argv);
    kestrom::ui::QtPlatform platform;
    kestrom::FsmModel model;
    kestrom::ui::MDIFormMain window(platform, model);
    window.OpenFile(KESTROM_EXAMPLES "/crossing.asf");
    kestrom::ui::FileViews* views = window.Views();

    Clock::time_point start = Clock::now();
    kestrom::ui::SimulationPanel* panel = views->Simulate(platform);
    auto ready = [&] { return panel->StepAction()->isEnabled(); };
    if (!WaitFor(ready, 180000)) return std::fprintf(stderr, "the module did not start\n"), 1;
    std::printf("first build and start: %.0f ms\n", MillisecondsSince(start));
    start = Clock::now();
    views->Simulate(platform);
    // A restart forgets the last cycle at once; the new driver reports one.
    if (!WaitFor([&] { return panel->Last() && ready(); }, 60000))
        return std::fprintf(stderr, "the module did not restart\n"), 1;
    std::printf("cached start: %.0f ms\n", MillisecondsSince(start));

    std::vector<double> steps;
    for (int i = 0; i < 100; ++i) {
        const std::uint64_t before = panel->Last() ? panel->Last()->CyclesRun : 0;
        start = Clock::now();
        panel->StepAction()->trigger();
        WaitFor([&] { return panel->Last() && panel->Last()->CyclesRun > before && ready(); },
                10000);
        steps.push_back(MillisecondsSince(start));
    }
    std::sort(steps.begin(), steps.end());
    std::printf("step to lit state: median %.2f ms, slowest %.2f ms (100 steps)\n", steps[50],
                steps.back());

    constexpr int kCycles = 1000000;
    panel->RunCycles()->setValue(kCycles);
    start = Clock::now();
    panel->RunAction()->trigger();
    int updates = 0;
    const kestrom::ui::SimSnapshot* seen = panel->Last();
    WaitFor(
        [&] {
            if (panel->Last() != seen) ++updates, seen = panel->Last();
            return ready();
        },
        600000);
    const double seconds = MillisecondsSince(start) / 1000;
    std::printf("run of %d cycles: %.0f cycles/s, %d view updates in %.1f s\n", kCycles,
                kCycles / seconds, updates, seconds);
    std::printf("resident memory: window %s, driver %s\n",
                Resident(std::to_string(QCoreApplication::applicationPid())).c_str(),
                Resident(DriverPid()).c_str());
    return 0;
}
