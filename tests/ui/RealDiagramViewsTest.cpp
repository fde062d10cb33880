// The views in the real-diagram mode, chosen in the Extensions dialog: the
// code window shows the translated module, translation errors are rows that
// place their column, and Generate writes what the batch tool writes.
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>
#include <QtTest>

#include <QGraphicsItem>
#include <QGraphicsScene>
#include <set>

#include "WindowFixture.h"
#include "drawing/Drawing.h"
#include "drawing/DrawnMachine.h"
#include "machine/FlatMachine.h"
#include "ui/CodeWindow.h"
#include "ui/DiagramView.h"
#include "ui/FileViews.h"
#include "ui/FormExtensions.h"
#include "ui/ProblemsPanel.h"

using namespace kestrom;
using namespace kestrom::ui;

namespace {

const QString kInclude = KESTROM_TEST_DATA "/hdl/include";

QString HdlSample(const char* name) {
    return QString(KESTROM_TEST_DATA "/hdl/samples/freecores__usbhostslave__%1.asf").arg(name);
}

struct BatchRun {
    QByteArray Out;
    QStringList Said;
};

BatchRun RunBatch(const QStringList& arguments) {
    QProcess batch;
    batch.start(KESTROM_GEN, arguments);
    batch.waitForFinished(60000);
    BatchRun run{batch.readAllStandardOutput(), {}};
    run.Said = QString::fromLocal8Bit(batch.readAllStandardError()).split('\n');
    run.Said.removeAll(QString());
    return run;
}

} // namespace

class RealDiagramViewsTest : public QObject, private WindowFixture {
    Q_OBJECT

private:
    FileViews* Views() const { return window_->Views(); }
    QString Copy(const QString& from, const char* name) {
        QFile::remove(Work(name));
        QFile::copy(from, Work(name));
        return Work(name);
    }

private slots:
    void init() {
        ClearUserSettings();
        StartWindow();
    }
    void cleanup() {
        CloseWindow();
        ClearUserSettings();
    }

    void theDialogKeepsTheChoiceAndItsFoldersAndDefines() {
        auto* dialog = new FormExtensions(window_.get());
        dialog->findChild<QCheckBox*>("CheckHdl")->setChecked(true);
        dialog->findChild<QLineEdit*>("IncludeDirs")->setText(" /a/inc ; /b ");
        dialog->findChild<QLineEdit*>("Defines")->setText("WIDTH=8; FAST  EMPTY=");
        dialog->CommandOK_Click();
        const translation::HdlOptions stored = LoadHdlChoice();
        QVERIFY(stored.Enabled);
        QCOMPARE(stored.IncludeDirs, (std::vector<std::string>{"/a/inc", "/b"}));
        const std::vector<std::pair<std::string, std::string>> defines{
            {"WIDTH", "8"}, {"FAST", ""}, {"EMPTY", ""}};
        QCOMPARE(stored.Defines, defines);
        // Other versions open without their own choice: the translation reads them.
        QVERIFY(OpenExtensionChoices().AnyVersion);
        QVERIFY(!LoadExtensionChoices().AnyVersion);
    }

    void theCodeIsTheTranslatedModuleAndGenerateWritesIt() {
        SaveHdlChoice(true, kInclude, QString());
        const QString asf = Copy(HdlSample("slaveGetpacket_v1.15"), "getpacket.asf");
        Open(asf);
        const BatchRun batch = RunBatch({"--hdl", "-I", kInclude, asf, "-"});
        QVERIFY(batch.Out.contains("PKT_"));
        QCOMPARE(Views()->Code()->Bytes(), batch.Out);
        QTRY_VERIFY_WITH_TIMEOUT(Views()->Problems()->Analysed(), 60000);
        QStringList rows = Views()->Problems()->Rows();
        rows.erase(std::remove_if(rows.begin(), rows.end(),
                                  [](const QString& row) { return !row.endsWith(']'); }),
                   rows.end());
        QStringList said = batch.Said;
        rows.sort();
        said.sort();
        QCOMPARE(rows, said);

        platform_.saveAnswers.push_back(Work("getpacket.cpp"));
        window_->mnuFSM_Click();
        QCOMPARE(platform_.messages.back().Title, QString("Done!"));
        QCOMPARE(ReadAll(Work("getpacket.cpp")), batch.Out);
    }

    void aTextThatCannotBeTranslatedIsAnErrorAtItsColumnAndNothingIsWritten() {
        SaveHdlChoice(true, kInclude, QString());
        const QString asf = Copy(
            KESTROM_SAMPLES "/freecores__usbhostslave__slavecontroller_v1.19.asf", "slave.asf");
        Open(asf);
        const QString error = asf + ":249:1: error: unknown name 'clearEPRdy'";
        const QStringList rows = Views()->Problems()->Rows();
        QVERIFY2(!rows.isEmpty() && rows[0].startsWith(error), qPrintable(rows.join('\n')));
        // As the batch tool says it.
        const BatchRun batch = RunBatch({"--hdl", "-I", kInclude, asf, Work("batch.cpp")});
        QVERIFY(batch.Said.contains(rows[0]));
        QVERIFY(Views()->Code()->Bytes().isEmpty());

        platform_.saveAnswers.push_back(Work("slave.cpp"));
        window_->mnuFSM_Click();
        QCOMPARE(platform_.messages.back().Title, QString("ASF File Error"));
        QVERIFY(platform_.messages.back().Text.contains("unknown name 'clearEPRdy'"));
        QVERIFY(!QFile::exists(Work("slave.cpp")));
    }

    // An overlap found in the background: its row names both lines, and
    // choosing it selects both transitions in the diagram.
    void anOverlapSelectsBothTransitions() {
        SaveHdlChoice(true, kInclude, QString());
        const QString path = Copy(HdlSample("slaveGetpacket_v1.15"), "getpacket.asf");
        Open(path);
        QTRY_VERIFY_WITH_TIMEOUT(Views()->Problems()->Analysed(), 60000);
        QListWidget* list = Views()->Problems()->List();
        const QList<QListWidgetItem*> overlap = list->findItems("[K201]", Qt::MatchEndsWith);
        QCOMPARE(overlap.size(), 1);
        QVERIFY(overlap[0]->toolTip().startsWith(path + ":92: warning: transition to "
                                                        "'CHK_PKT_START' and the transition on "
                                                        "line 66 have the same priority 0"));
        list->setCurrentItem(overlap[0]);
        auto* view = qobject_cast<DiagramView*>(
            window_->findChild<QMdiArea*>()->activeSubWindow()->widget());
        QVERIFY(view);
        QCOMPARE(view->scene()->selectedItems().size(), 2);
        // A reload starts again and keeps nothing of the last answer.
        Views()->Refresh();
        QVERIFY(!Views()->Problems()->Analysed());
        QTRY_VERIFY_WITH_TIMEOUT(Views()->Problems()->Analysed(), 60000);
        QCOMPARE(list->findItems("[K201]", Qt::MatchEndsWith).size(), 1);
    }

    // Every leaf state of the flattened machine has its path in a tooltip of
    // the sub-diagram it is drawn in.
    void aStateInsideASubDiagramShowsItsPath() {
        const QString asf = HdlSample("SIETransmitter_v1.21");
        drawing::Drawing drawing = drawing::ReadDrawingFile(asf.toStdString());
        drawing.Index();
        const drawing::DrawnMachine drawn = drawing::DescribeMachine(drawing);
        Diagnostics problems;
        const machine::FlatMachine flat = machine::Flatten(drawn, problems);
        SaveHdlChoice(true, kInclude, QString());
        Open(Copy(asf, "sie.asf"));
        QVERIFY(Views());
        std::set<QString> shown;
        for (const drawing::DrawnDiagram& diagram : drawn.Diagrams) {
            Views()->OpenSubDiagram(diagram.Id);
            for (const QGraphicsItem* item : Views()->Diagram(diagram.Id)->scene()->items())
                for (const QString& line : item->toolTip().split('\n'))
                    if (line.startsWith("path ")) shown.insert(line.mid(5));
        }
        QVERIFY(shown.count("PKT_ST.TKN.PID.WAIT_RDY"));
        for (const machine::FlatState& state : flat.States)
            if (state.Path.find('.') != std::string::npos)
                QVERIFY2(shown.count(QString::fromStdString(state.Path)), state.Path.c_str());
    }
};

QTEST_MAIN(RealDiagramViewsTest)
#include "RealDiagramViewsTest.moc"
