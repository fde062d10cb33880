// The Simulation panel on the offscreen platform, with the real compiler and
// SystemC: F5 builds and starts the open file's module, F10 steps it and the
// state it is in is lit in the diagram, a breakpoint set on a state ends a
// run there, Step Back shows the cycle before, a value that does not fit is
// refused, the inputs are saved, and a change on disk is noticed.
#include <QCheckBox>
#include <QComboBox>
#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QLineEdit>
#include <QSpinBox>
#include <QtTest>

#include "WindowFixture.h"
#include "ui/DiagramScene.h"
#include "ui/DiagramView.h"
#include "ui/FileViews.h"
#include "ui/PicturePainter.h"
#include "ui/ProblemsPanel.h"
#include "ui/sim/SimInputs.h"
#include "ui/sim/SimulationPanel.h"

using namespace kestrom;
using namespace kestrom::ui;

namespace {

// toggle.asf: the states' and transitions' objects and lines.
constexpr drawing::ObjectId kIdle = 1, kRun = 2, kStop = 3, kIdleToRun = 10;
constexpr int kStopLine = 15;
constexpr int kBuildMs = 120000;

} // namespace

class SimulationPanelTest : public QObject, private WindowFixture {
    Q_OBJECT

private:
    SimulationPanel* Panel() const { return window_->Views()->Simulation(); }
    std::uint64_t Cycles() const { return Panel()->Last() ? Panel()->Last()->CyclesRun : 0; }
    unsigned MarksOf(drawing::ObjectId id) const {
        QGraphicsItem* item = window_->Views()->Diagram()->ItemOf(id);
        return item ? ui::MarksOf(*item) : 0;
    }
    // go is an int port: a field takes its value when editing ends.
    void SetGo(const char* value) {
        QLineEdit* field = Panel()->Inputs()->Field("go");
        QVERIFY(field);
        field->setText(value);
        emit field->editingFinished();
    }
    void WaitForCycles(std::uint64_t cycles) {
        QTRY_COMPARE_WITH_TIMEOUT(Cycles(), cycles, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(Panel()->StepAction()->isEnabled(), 10000);
    }

private slots:
    void initTestCase() { qputenv("XDG_CACHE_HOME", QFile::encodeName(Work("cache"))); }
    void init() {
        ClearUserSettings();
        StartWindow();
    }
    void cleanup() {
        CloseWindow();
        ClearUserSettings();
    }

    void stepsRunsToABreakpointAndStepsBackOnTheDrawing() {
        if (QProcess::execute("pkg-config", {"--exists", "systemc"}) != 0)
            QSKIP("SystemC not found (pkg-config systemc): install libsystemc-dev");
        Open(Example("toggle.asf"));
        QAction* simulate = window_->findChild<QAction*>("mnuSim");
        QCOMPARE(simulate->shortcut(), QKeySequence(Qt::Key_F5));
        simulate->trigger();
        QVERIFY(Panel());
        QTRY_VERIFY_WITH_TIMEOUT(Panel()->StepAction()->isEnabled(), kBuildMs);

        SetGo("0x100000000");
        QCOMPARE(Panel()->StatusText(),
                 QString("0x100000000 does not fit go (-2147483648 to 2147483647)"));
        SetGo("0b1");
        QCOMPARE(Panel()->StepAction()->shortcut(), QKeySequence(Qt::Key_F10));
        Panel()->StepAction()->trigger();
        WaitForCycles(1);
        Panel()->StepAction()->trigger();
        WaitForCycles(2);
        QCOMPARE(Panel()->Last()->Trace.back()->State, std::string("Run"));
        QCOMPARE(MarksOf(kRun), unsigned(kCurrentMark));
        QCOMPARE(MarksOf(kIdle), 0u);
        QCOMPARE(MarksOf(kIdleToRun), unsigned(kTakenMark));

        Panel()->BackAction()->trigger();
        WaitForCycles(1);
        QCOMPARE(MarksOf(kIdle), unsigned(kCurrentMark));
        QCOMPARE(MarksOf(kRun), 0u);

        QVERIFY(Panel()->CanBreakAt(kStopLine));
        Panel()->ToggleBreakpointAt(kStopLine);
        QCOMPARE(MarksOf(kStop), kBreakpointMark);
        SetGo("0");
        Panel()->RunCycles()->setValue(1000);
        Panel()->RunAction()->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(Panel()->StepAction()->isEnabled(), 10000);
        QVERIFY(Cycles() < 10);
        QCOMPARE(Panel()->Last()->Trace.back()->State, std::string("Stop"));
        QCOMPARE(MarksOf(kStop), unsigned(kCurrentMark) | kBreakpointMark);
        QVERIFY2(Panel()->StatusText().startsWith("Stopped where asked"),
                 qPrintable(Panel()->StatusText()));

        platform_.saveAnswers.push_back(Work("session"));
        Panel()->findChild<QAction*>("SimSaveInputs")->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(Work("session.csv")), 10000);
        const QList<QByteArray> rows = ReadAll(Work("session.csv")).split('\n');
        QVERIFY(rows.contains("cycle,go"));
        QVERIFY(rows.contains("0,1"));
        QVERIFY(rows.contains("1,0"));
    }

    void aChangedFileMakesTheModuleOutOfDateAndExitAsks() {
        if (QProcess::execute("pkg-config", {"--exists", "systemc"}) != 0)
            QSKIP("SystemC not found (pkg-config systemc): install libsystemc-dev");
        const QString copy = Work("crossing.asf");
        QFile::remove(copy);
        QFile::copy(Example("crossing.asf"), copy);
        Open(copy);
        window_->Views()->Simulate(platform_);
        QTRY_VERIFY2_WITH_TIMEOUT(Panel()->StepAction()->isEnabled(),
                                  qPrintable(Panel()->StatusText()), kBuildMs);
        QVERIFY(!Panel()->findChild<QWidget*>("SimulationOutOfDate")->isVisibleTo(Panel()));
        WriteAll(copy, ReadAll(copy) + "\n");
        QTRY_VERIFY_WITH_TIMEOUT(
            Panel()->findChild<QWidget*>("SimulationOutOfDate")->isVisibleTo(Panel()), 10000);

        // Exit asks while the module runs; No ends nothing.
        window_->mnuExit_Click();
        QCOMPARE(platform_.questions.size(), std::size_t(1));
        QCOMPARE(platform_.endProgramCalls, 0);
    }

    // The pump's actions call a Log only its own test bench defines.
    void compilerErrorsInTheDiagramsTextsAreProblemsOfItsLines() {
        if (QProcess::execute("pkg-config", {"--exists", "systemc"}) != 0)
            QSKIP("SystemC not found (pkg-config systemc): install libsystemc-dev");
        const QString pump = QString(KESTROM_TEST_DATA "/extensions/pump.asf");
        Open(pump);
        window_->Views()->Simulate(platform_);
        QTRY_VERIFY_WITH_TIMEOUT(!platform_.messages.empty(), kBuildMs);
        QCOMPARE(platform_.messages.back().Title, QString("Simulation"));
        const QStringList rows = window_->Views()->Problems()->Rows();
        const QStringList action = rows.filter(pump + ":47: error: ");
        QVERIFY2(action.size() == 1 && action[0].contains("was not declared"),
                 qPrintable(rows.join('\n')));
    }
};

QTEST_MAIN(SimulationPanelTest)
#include "SimulationPanelTest.moc"
