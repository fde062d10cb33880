// The views of the open file on the offscreen platform: the diagram and code
// windows and the problems panel come with Open, follow the file on disk, the
// stored options and Generate, and go with Close.
#include <memory>

#include <QAction>
#include <QCheckBox>
#include <QDockWidget>
#include <QFile>
#include <QFileInfo>
#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QImage>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRadioButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "WindowFixture.h"
#include "drawing/SvgWriter.h"
#include "model/FsmModel.h"
#include "ui/CodeWindow.h"
#include "ui/CppHighlighter.h"
#include "ui/DiagramView.h"
#include "ui/FileViews.h"
#include "ui/FormExtensions.h"
#include "ui/FormOption.h"
#include "ui/MDIFormMain.h"
#include "ui/ProblemsPanel.h"

using namespace kestrom;
using namespace kestrom::ui;

namespace {

// As editors save: a new file renamed over the old one.
void SaveByRename(const QString& path, const QByteArray& bytes) {
    QFile file(path + ".new");
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
    file.close();
    QVERIFY(::rename(QFile::encodeName(file.fileName()), QFile::encodeName(path)) == 0);
}

const char* const kLonelyState = "S 30 0 0\r\nL 31 30 0 0 .State 0 0 0 0 0 0 \"Lonely\"\r\nEND";

} // namespace

class FileViewsTest : public QObject, private WindowFixture {
    Q_OBJECT

private:
    QByteArray Golden(const char* name) const {
        return ReadAll(QString(KESTROM_GOLDEN "/") + name);
    }
    QString SamplePath(const char* part) const {
        return QString(KESTROM_SAMPLES "/freecores__usbhostslave__%1_v1.19.asf").arg(part);
    }
    QString Sample(const char* part) const {
        // A copy: the sample's folder may be read-only.
        const QString copy = Work(SampleName(part));
        QFile::remove(copy);
        QFile::copy(SamplePath(part), copy);
        return copy;
    }
    QString SampleName(const char* part) const { return QFileInfo(SamplePath(part)).fileName(); }
    FileViews* Views() const { return window_->Views(); }
    QStringList ChildTitles() const {
        QStringList titles;
        for (QMdiSubWindow* child : window_->findChild<QMdiArea*>()->subWindowList())
            titles << child->windowTitle();
        return titles;
    }
    void CopyExample(const char* name, const QString& to) {
        QFile::remove(to);
        QVERIFY(QFile::copy(Example(name), to));
    }

    QByteArray BatchOutput(const QStringList& arguments) const {
        QProcess batch;
        batch.start(KESTROM_GEN, arguments);
        return batch.waitForFinished(10000) ? batch.readAllStandardOutput() : QByteArray();
    }

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true); // the extension choices of a test user
    }
    void init() {
        ClearUserSettings();
        StartWindow();
    }
    void cleanup() { CloseWindow(); }

    void openBringsUpTheThreeViewsAndCloseTakesThem() {
        QVERIFY(!Views());
        QVERIFY(!window_->findChild<QAction*>("mnuExport")->isEnabled());
        Open(Example("toggle.asf"));
        QVERIFY(Views());
        QCOMPARE(ChildTitles(), (QStringList{"Diagram - toggle.asf", "Code - toggle.asf"}));
        QCOMPARE(window_->findChild<QMdiArea*>()->activeSubWindow(), Views()->DiagramWindow());
        QVERIFY(window_->findChild<QDockWidget*>("ProblemsDock")->isVisible());
        QVERIFY(window_->findChild<QAction*>("mnuExport")->isEnabled());
        // The window's own texts stay as they were.
        QCOMPARE(window_->windowTitle(), QString("Kestrom"));
        QCOMPARE(window_->StatusText(), Example("toggle.asf") + " File Opened");
        QVERIFY(!QFile::exists(programDir_.filePath("option.dat")));
        // Windows the user closed come back with the file's next reading.
        Views()->CodeSubWindow()->close();
        Views()->DiagramWindow()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(ChildTitles(), QStringList());
        window_->RefreshViews();
        QCOMPARE(ChildTitles(), (QStringList{"Code - toggle.asf", "Diagram - toggle.asf"}));

        window_->mnuClose_Click();
        QVERIFY(!Views());
        QCOMPARE(ChildTitles(), QStringList());
        QVERIFY(!window_->findChild<QDockWidget*>("ProblemsDock"));
        QVERIFY(!window_->findChild<QAction*>("mnuExport")->isEnabled());
    }

    void aRejectedFileTakesTheViewsOfTheOpenOne() {
        Open(Example("toggle.asf"));
        QFile::remove(Work("empty.asf"));
        QVERIFY(QFile(Work("empty.asf")).open(QIODevice::WriteOnly));
        Open(Work("empty.asf"));
        QCOMPARE(platform_.messages.size(), size_t(1));
        QVERIFY(!Views());
        QCOMPARE(ChildTitles(), QStringList());
    }

    void theCodeIsWhatGenerateWrites() {
        Open(Example("toggle.asf"));
        QCOMPARE(Views()->Code()->Bytes(), Golden("toggle_thread.cpp"));
        CodeWindow* code = Views()->Code();
        code->SelectAll();
        QCOMPARE(code->SelectedText().toLatin1() + "\n",
                 Golden("toggle_thread.cpp").replace("\r\n", "\n"));
        QVERIFY(code->font().fixedPitch());
        code->resize(600, 400);
        QVERIFY(!code->viewport()->grab().isNull());

        platform_.saveAnswers.push_back(Work("toggle.cpp"));
        window_->mnuFSM_Click();
        QCOMPARE(Views()->Code()->Bytes(), ReadAll(Work("toggle.cpp")));
    }

    void theCodeIsColouredAsCpp() {
        const QColor keyword(0, 0, 160), systemC(128, 0, 128), comment(0, 128, 0),
            text(163, 21, 21), plain;
        const auto colours = [](const QString& line, bool inComment) {
            const CppLineColours found = ColourCppLine(line, inComment);
            QList<QColor> perCharacter(line.size());
            for (const auto& range : found.Ranges)
                for (int i = range.start; i < range.start + range.length; ++i)
                    perCharacter[i] = range.format.foreground().color();
            return perCharacter;
        };
        QList<QColor> line = colours("sc_in<bool> clk; // the clock", false);
        QCOMPARE(line.mid(0, 5), QList<QColor>(5, systemC));
        QCOMPARE(line.mid(6, 4), QList<QColor>(4, keyword));
        QCOMPARE(line.mid(12, 4), QList<QColor>(4, plain));
        QCOMPARE(line.mid(17), QList<QColor>(12, comment));

        QVERIFY(ColourCppLine("a = 1; /* opened", false).EndsInComment);
        QVERIFY(EndsInComment("a = 1; /* opened", false));
        line = colours("still */ int b; /* again */ c", true);
        QCOMPARE(line.mid(0, 8), QList<QColor>(8, comment));
        QCOMPARE(line.mid(9, 3), QList<QColor>(3, keyword));
        QCOMPARE(line.mid(16, 11), QList<QColor>(11, comment));
        QCOMPARE(line.last(), plain);
        QVERIFY(!EndsInComment("still */ int b; /* again */ c", true));

        QCOMPARE(colours("x = \"while\";", false).mid(4, 7), QList<QColor>(7, text));
    }

    void theCodeFollowsTheOptionsDialog() {
        Open(Example("blinker.asf"));
        window_->mnuOpt_Click();
        FormOption* options = window_->OptionsDialog();
        options->findChild<QRadioButton*>("OptionM0")->setChecked(true);
        options->CommandOK_Click();
        QCOMPARE(Views()->Code()->Bytes(), Golden("blinker_method.cpp"));

        QFile::remove(programDir_.filePath("option.dat")); // Generate would use the one in memory
        window_->RefreshViews();
        QCOMPARE(Views()->Code()->Bytes(), Golden("blinker_method.cpp"));
    }

    void theCodeFollowsTheExtensionsDialog() {
        Open(Example("blinker.asf"));
        window_->mnuExt_Click();
        FormExtensions* extensions = window_->ExtensionsDialog();
        extensions->findChild<QCheckBox*>("CheckStatePort")->setChecked(true);
        extensions->CommandOK_Click();
        const QByteArray expected =
            BatchOutput({"--process", "thread", "--state-port", Example("blinker.asf"), "-"});
        QVERIFY(expected.contains("fsm_state"));
        QCOMPARE(Views()->Code()->Bytes(), expected);
    }

    void problemsAreTheBatchToolsWords() {
        QByteArray text = ReadAll(Example("toggle.asf"));
        WriteAll(Work("lonely.asf"), text.replace("END", kLonelyState));
        Open(Work("lonely.asf"));
        const QStringList rows = Views()->Problems()->Rows();
        platform_.saveAnswers.push_back(Work("lonely.cpp"));
        window_->mnuFSM_Click();
        const QStringList told = platform_.messages.back().Details.split('\n');
        QVERIFY(
            told.contains(Work("lonely.asf") +
                          ":26: warning: state 'Lonely' is not reached from the initial state"));
        // As the batch tool says them: with the code of their kind.
        QVERIFY(rows.contains(Work("lonely.asf") + ":26: warning: state 'Lonely' is not reached "
                                                   "from the initial state [K108]"));
        for (const QString& warning : told) {
            const auto same = [&warning](const QString& row) {
                return row.startsWith(warning + " [K");
            };
            QVERIFY2(std::any_of(rows.begin(), rows.end(), same), qPrintable(warning));
        }
        // The hand-written file has no geometry: the picture says what it left out.
        QVERIFY(rows.contains(Work("lonely.asf") +
                              ":4: warning: builtin 20: no geometry (no \"|\"); "
                              "left out of the picture [K301]"));
    }

    void problemsOfASampleAreWhatTheBatchToolSays() {
        const QString path = Sample("slavecontroller");
        Open(path);
        QProcess batch;
        batch.start(KESTROM_GEN, {"--process", "thread", path, "-"});
        QVERIFY(batch.waitForFinished(10000));
        QCOMPARE(Views()->Code()->Bytes(), batch.readAllStandardOutput());
        QStringList said = QString::fromLocal8Bit(batch.readAllStandardError()).split('\n');
        said.removeAll(QString());
        QVERIFY(said.size() > 5);
        // The condition analysis's warnings join the list once the solver is done.
        QTRY_VERIFY_WITH_TIMEOUT(Views()->Problems()->Analysed(), 60000);
        QStringList rows = Views()->Problems()->Rows();
        // Besides them: what the drawing could not show, which has no code.
        rows.erase(std::remove_if(rows.begin(), rows.end(),
                                  [](const QString& row) { return !row.endsWith(']'); }),
                   rows.end());
        QVERIFY(std::any_of(rows.begin(), rows.end(),
                            [](const QString& row) { return row.endsWith("[K206]"); }));
        // The batch tool tells the analysis after the generation; the panel
        // merges both by line.
        rows.sort();
        said.sort();
        QCOMPARE(rows, said);
    }

    void aFileThatCannotBeReadShowsItsError() {
        WriteAll(Work("broken.asf"), "VERSION=1.19\r\nENTITY=\"X\"\r\nOBJECTS\r\nS x\r\n");
        Open(Work("broken.asf"));
        QVERIFY(Views());
        QCOMPARE(Views()->Code()->Bytes(), QByteArray());
        platform_.saveAnswers.push_back(Work("broken.cpp"));
        window_->mnuFSM_Click();
        QCOMPARE(Views()->Problems()->Rows().value(0), platform_.messages.back().Text);
    }

    void theDiagramShowsTheFileAsDrawn() {
        Open(Sample("slaveSendpacket"));
        DiagramView* top = Views()->Diagram();
        QVERIFY(top->IsFitted());
        QVERIFY(top->ItemOf(21));  // SP_SEND_PID, hierarchical
        QVERIFY(!top->ItemOf(33)); // FIN lives in its sub-diagram

        const QPoint state = top->mapFromScene(top->ItemOf(21)->sceneBoundingRect().center());
        QTest::mouseDClick(top->viewport(), Qt::LeftButton, {}, state);
        QMdiSubWindow* sub = Views()->DiagramWindow(25);
        QVERIFY(sub);
        QCOMPARE(sub->windowTitle(),
                 "Diagram - " + SampleName("slaveSendpacket") + " - SP_SEND_PID");
        QCOMPARE(window_->findChild<QMdiArea*>()->activeSubWindow(), sub);
        QCOMPARE(Views()->Diagram(25)->ItemOf(33)->toolTip(),
                 QString("FIN\npath SP_SEND_PID.FIN\ncode 4\nASF line 72\nstate action: "
                         "SCTxPortWEn <= 1'b0;"));
    }

    void zoomKeysAndFitting() {
        Open(Sample("sofcontroller"));
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        DiagramView* view = Views()->Diagram();
        view->setFocus();
        const double fitted = view->Scale();
        QTest::keyClick(view, Qt::Key_Plus, Qt::ControlModifier);
        QCOMPARE(view->Scale(), fitted * 1.25);
        QVERIFY(!view->IsFitted());
        QTest::keyClick(view, Qt::Key_Minus, Qt::ControlModifier);
        QTest::keyClick(view, Qt::Key_Minus, Qt::ControlModifier);
        QCOMPARE(view->Scale(), fitted / 1.25);
        QTest::keyClick(view, Qt::Key_0, Qt::ControlModifier);
        QVERIFY(view->IsFitted());
        QCOMPARE(view->Scale(), fitted);
    }

    void aProblemRowCentresItsState() {
        const QString path = Sample("slaveSendpacket");
        Open(path);
        QListWidget* list = Views()->Problems()->List();
        // The row shows the file's name; the tooltip has the whole path.
        const QString fin =
            QFileInfo(path).fileName() +
            ":72: warning: state 'FIN' is not reached from the initial state [K108]";
        const QList<QListWidgetItem*> rows = list->findItems(fin, Qt::MatchExactly);
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0]->toolTip(), path + fin.mid(fin.indexOf(':')));
        list->setCurrentItem(rows[0]);

        QCOMPARE(window_->findChild<QMdiArea*>()->activeSubWindow(), Views()->DiagramWindow(25));
        DiagramView* view = Views()->Diagram(25);
        QGraphicsItem* state = view->ItemOf(33);
        QCOMPARE(view->scene()->selectedItems(), QList<QGraphicsItem*>{state});
        const auto pixelsOffCentre = [view, state] {
            const QPointF off = view->mapToScene(view->viewport()->rect().center()) -
                                state->sceneBoundingRect().center();
            return std::max(std::abs(off.x()), std::abs(off.y())) * view->Scale();
        };
        QTRY_VERIFY(pixelsOffCentre() < 2); // once the window is laid out
    }

    void exportWritesTheTopLevelPicture() {
        Open(Sample("sofcontroller"));
        platform_.saveAnswers = {Work("sof.svg"), Work("sof.PNG"), Work("no/such/dir.svg")};
        window_->mnuExport_Click();
        const drawing::Drawing drawn =
            drawing::ReadDrawingFile(QFile::encodeName(SamplePath("sofcontroller")).toStdString());
        const drawing::DrawnMachine machine = drawing::DescribeMachine(drawn);
        QCOMPARE(ReadAll(Work("sof.svg")).toStdString(),
                 drawing::WriteSvg(drawing::BuildPicture(drawn, machine, 1)));

        window_->mnuExport_Click();
        QImage png(Work("sof.PNG"), "png");
        QCOMPARE(png.width(), 2000);
        QCOMPARE(png.pixelColor(0, 0), QColor(Qt::white));
        QImage blank(png.size(), png.format());
        blank.fill(Qt::white);
        QVERIFY(png != blank);

        window_->mnuExport_Click();
        QCOMPARE(platform_.messages.size(), size_t(1));
        QCOMPARE(platform_.messages[0].Title, QString("Picture Export Error"));
        QVERIFY(platform_.messages[0].Text.startsWith("cannot write " + Work("no/such/dir.svg") +
                                                      ": "));
        QCOMPARE(platform_.saveRequests.back().Title, QString("Export Picture"));
        QCOMPARE(platform_.saveRequests.back().InitialPath, Work("sof.PNG"));
    }

    void theViewsFollowTheFileOnDisk() {
        CopyExample("toggle.asf", Work("live.asf"));
        Open(Work("live.asf"));
        QCOMPARE(Views()->Code()->Bytes(), Golden("toggle_thread.cpp"));

        SaveByRename(Work("live.asf"), ReadAll(Example("blinker.asf")));
        QTRY_COMPARE_WITH_TIMEOUT(Views()->Code()->Bytes(), Golden("blinker_thread.cpp"), 1000);
        SaveByRename(Work("live.asf"), ReadAll(Example("toggle.asf"))); // watched again
        QTRY_COMPARE_WITH_TIMEOUT(Views()->Code()->Bytes(), Golden("toggle_thread.cpp"), 1000);

        QFile::remove(Work("live.asf"));
        QTRY_COMPARE_WITH_TIMEOUT(Views()->Problems()->Rows(),
                                  QStringList{Work("live.asf") + ": error: the file is gone"},
                                  1000);
        QCOMPARE(Views()->Code()->Bytes(), QByteArray());
        QCOMPARE(window_->StatusText(), Work("live.asf") + " File Opened");

        CopyExample("blinker.asf", Work("live.asf")); // back again
        QTRY_COMPARE_WITH_TIMEOUT(Views()->Code()->Bytes(), Golden("blinker_thread.cpp"), 1000);
    }

    void aPathFromTheCommandLineOpensAsIfChosen() {
        QVERIFY(QDir::setCurrent(KESTROM_EXAMPLES));
        window_->OpenFile("toggle.asf");
        QCOMPARE(window_->StatusText(), Example("toggle.asf") + " File Opened");
        QCOMPARE(QString::fromStdString(model_->AsfPath), Example("toggle.asf"));
        QCOMPARE(window_->AsfOpened(), kTrue);
        QVERIFY(Views());

        Open(std::nullopt); // the dialog offers the path as if it had been chosen there
        QCOMPARE(platform_.openRequests.back().InitialPath, Example("toggle.asf"));

        window_->OpenFile(Work("missing.asf"));
        QCOMPARE(platform_.messages.size(), size_t(1));
        QCOMPARE(platform_.messages[0].Text, QString("Invalid ASF File Format"));
        QCOMPARE(window_->StatusText(), QString("No ASF File Opened"));
        QVERIFY(!Views());
    }
};

QTEST_MAIN(FileViewsTest)
#include "FileViewsTest.moc"
