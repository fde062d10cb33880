// Measures the views of an open file, never asserting a time: from the close
// of the Open dialog until the diagram, the problems and the code are
// painted, for the largest model the generator takes and for a drawing of
// 2,000 states; and the time to paint one frame of that drawing fitted to
// the window and zoomed out as far as it goes.
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QTemporaryDir>

#include "LargestModel.h"
#include "model/FsmModel.h"
#include "ui/CodeWindow.h"
#include "ui/DiagramView.h"
#include "ui/FileViews.h"
#include "ui/MDIFormMain.h"
#include "ui/ProblemsPanel.h"
#include "ui/QtPlatform.h"

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// A grid of states, each with its name and a transition to its right-hand
// neighbour, on a sheet large enough to hold them.
std::string GridAsfText(int states) {
    constexpr int kColumns = 50;
    constexpr int kSpacing = 30000;
    const int rows = (states + kColumns - 1) / kColumns;
    std::string text =
        "VERSION=1.19\r\nHEADER\r\nENTITY=\"Grid\"\r\nEND\r\nINSTHEADER 1\r\nPAGE 0,0 " +
        std::to_string((kColumns + 1) * kSpacing) + "," + std::to_string((rows + 1) * kSpacing) +
        "\r\nEND\r\nOBJECTS\r\n";
    char line[256];
    for (int k = 0; k < states; ++k) {
        const int x = (k % kColumns + 1) * kSpacing, y = (k / kColumns + 1) * kSpacing;
        const int id = 10 + 3 * k;
        std::snprintf(line, sizeof line,
                      "S %d 0 0 ELLIPSE \"States\" | %d,%d 6500 6500\r\n"
                      "L %d %d 0 TEXT \"State Labels\" | %d,%d 1 0 0 \"S%d\\n/%d/\"\r\n",
                      id, x, y, id + 1, id, x, y, k, k);
        text += line;
        if (k + 1 < states && (k + 1) % kColumns != 0) {
            std::snprintf(line, sizeof line,
                          "W %d 0 0 %d %d BEZIER \"Transitions\" | %d,%d %d,%d %d,%d %d,%d\r\n",
                          id + 2, id, id + 3, x + 6500, y, x + 12000, y + 3000, x + 18000, y + 3000,
                          x + 23500, y);
            text += line;
        }
    }
    return text + "END\r\n";
}

void Paint(QWidget* widget) {
    widget->grab(); // renders the widget now, even when behind another tab
}

void Report(const char* name, double milliseconds) {
    std::printf("%-44s %8.1f ms\n", name, milliseconds);
    std::fflush(stdout);
}

double TimeOpen(kestrom::ui::MDIFormMain& window, const QString& path) {
    const auto start = Clock::now();
    window.OpenFile(path);
    kestrom::ui::FileViews* views = window.Views();
    Paint(views->Diagram()->viewport());
    Paint(views->Problems()->List()->viewport());
    Paint(views->Code()->viewport());
    return MillisecondsSince(start);
}

double TimeFrame(kestrom::ui::DiagramView& view) {
    constexpr int kFrames = 20;
    view.viewport()->repaint(); // the first frame fills caches
    const auto start = Clock::now();
    for (int i = 0; i < kFrames; ++i)
        view.viewport()->repaint();
    return MillisecondsSince(start) / kFrames;
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QTemporaryDir work;
    const QString largest = work.filePath("largest.asf");
    const QString grid = work.filePath("grid.asf");
    std::ofstream(largest.toStdString(), std::ios::binary) << kestrom::bench::LargestAsfText();
    std::ofstream(grid.toStdString(), std::ios::binary) << GridAsfText(2000);

    kestrom::ui::QtPlatform platform;
    kestrom::FsmModel model;
    kestrom::ui::MDIFormMain window(platform, model);
    window.resize(1024, 740);
    QApplication::processEvents();

    TimeOpen(window, largest); // the first open loads fonts and plugins
    Report("open to painted, largest model (150 each)", TimeOpen(window, largest));
    Report("open to painted, 2,000-state drawing", TimeOpen(window, grid));

    kestrom::ui::DiagramView& view = *window.Views()->Diagram();
    QApplication::processEvents();
    Report("one frame, 2,000 states, fitted", TimeFrame(view));
    for (int i = 0; i < 20; ++i)
        view.ZoomOut();
    Report("one frame, 2,000 states, zoomed out fully", TimeFrame(view));
    std::printf("diagram viewport %dx%d pixels\n", view.viewport()->width(),
                view.viewport()->height());
    return 0;
}
