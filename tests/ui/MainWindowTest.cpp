// The main window on the offscreen platform, every dialog answered by the test.
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QToolBar>
#include <QtTest>

#include "WindowFixture.h"
#include "model/FsmModel.h"
#include "ui/FormAbout.h"
#include "ui/FormOption.h"
#include "ui/MDIFormMain.h"

using namespace kestrom;
using namespace kestrom::ui;

namespace {

// The address space this process has mapped so far.
unsigned long MappedBytes() {
    QFile statm("/proc/self/statm");
    if (!statm.open(QIODevice::ReadOnly)) return 0;
    return statm.readAll().split(' ').value(0).toULong() *
           static_cast<unsigned long>(::getpagesize());
}

} // namespace

class MainWindowTest : public QObject, private WindowFixture {
    Q_OBJECT

private:
    QAction* Action(const char* name) const { return window_->findChild<QAction*>(name); }
    QMenu* Menu(const char* name) const { return window_->findChild<QMenu*>(name); }
    bool MenuOn(const char* name) const { return Menu(name)->menuAction()->isEnabled(); }
    bool On(const char* name) const { return Action(name)->isEnabled(); }
    QAction* Button(int index) const {
        return Action(QString("ToolbarASF_Button%1").arg(index).toLatin1().constData());
    }

    void Generate(const QString& path) {
        platform_.saveAnswers.push_back(path);
        window_->mnuFSM_Click();
    }
    // File, Generate, Help, button 1, button 3, Close, SystemC FSM Code, Option, button 2.
    QList<bool> Enabled() const {
        return {MenuOn("mnuFile"),      MenuOn("mnuGen"),       MenuOn("mnuHelp"),
                Button(1)->isEnabled(), Button(3)->isEnabled(), On("mnuClose"),
                On("mnuFSM"),           On("mnuOpt"),           Button(2)->isEnabled()};
    }
    void ExpectError(const QString& text, const QString& title) {
        QCOMPARE(platform_.messages.size(), size_t(1));
        QCOMPARE(platform_.messages[0].Text, text);
        QCOMPARE(platform_.messages[0].Title, title);
        QCOMPARE(platform_.messages[0].Icon, MessageIcon::Error);
    }

private slots:
    void init() { StartWindow(); }
    void cleanup() { CloseWindow(); }

    void startsWithNoFile() {
        QVERIFY(window_->isVisible());
        QCOMPARE(window_->windowTitle(), QString("Kestrom"));
        QVERIFY(!window_->windowIcon().isNull());
        QCOMPARE(window_->StatusText(), QString("No ASF File Opened"));
        QCOMPARE(window_->AsfOpened(), kFalse);
        QCOMPARE(Enabled(),
                 (QList<bool>{true, true, true, true, true, false, false, false, false}));
        auto* workspace = window_->findChild<QMdiArea*>();
        QCOMPARE(workspace->background().color(), QColor(224, 224, 224));
        QCOMPARE(window_->width(), 489);
        QCOMPARE(window_->height() - window_->menuBar()->height(), 306);
    }

    void menusToolbarAndShortcutsAreAsDrawn() {
        const struct {
            const char* name;
            const char* caption;
            const char* shortcut;
        } items[] = {{"mnuOpen", "Open", "Ctrl+O"},
                     {"mnuClose", "Close", "Ctrl+C"},
                     {"mnuExport", "Export Picture\u2026", ""},
                     {"mnuExit", "Exit", "Ctrl+X"},
                     {"mnuFSM", "SystemC FSM Code", "Ctrl+S"},
                     {"mnuOpt", "Option", ""},
                     {"mnuHelpTopic", "Help Topics", "F1"},
                     {"mnuAbout", "About", ""}};
        for (const auto& item : items) {
            QCOMPARE(Action(item.name)->text(), QString(item.caption));
            QCOMPARE(Action(item.name)->shortcut(), QKeySequence(item.shortcut));
        }
        QStringList titles;
        for (QAction* menu : window_->menuBar()->actions())
            titles << menu->text();
        QCOMPARE(titles, (QStringList{"&File", "&Generate", "&Help"}));
        QCOMPARE(Menu("mnuFile")->actions().size(), 5);
        QVERIFY(Menu("mnuFile")->actions()[3]->isSeparator());
        QVERIFY(Menu("mnuHelp")->actions()[1]->isSeparator());

        QStringList tips;
        for (int i = 1; i <= 3; ++i) {
            tips << Button(i)->toolTip();
            QVERIFY(Button(i)->text().isEmpty() || Button(i)->toolTip() == Button(i)->text());
            QCOMPARE(Button(i)->icon().availableSizes().value(0), QSize(24, 24));
        }
        QCOMPARE(tips, (QStringList{"Open ASF File", "Generate SystemC FSM Code", "Help"}));
        QCOMPARE(window_->findChild<QToolBar*>("ToolbarASF")->iconSize(), QSize(24, 24));
    }

    void enDisMDIFollowsItsTable() {
        const QList<bool> open{true, true, true, true, true, true, true, true, true};
        const QList<bool> none{true, true, true, true, true, false, false, false, false};
        Open(Example("toggle.asf"));
        QCOMPARE(Enabled(), open);
        window_->EnDisMDI(kFalse); // the items keep their own state
        QCOMPARE(Enabled(),
                 (QList<bool>{false, false, true, false, true, true, true, true, false}));
        window_->EnDisMDI(1); // only -1 counts as true
        QCOMPARE(Enabled(),
                 (QList<bool>{false, false, true, false, true, true, true, true, false}));
        window_->EnDisMDI(kTrue);
        QCOMPARE(Enabled(), open);

        window_->mnuClose_Click();
        QCOMPARE(Enabled(), none);
        window_->EnDisMDI(kFalse);
        QCOMPARE(Enabled(),
                 (QList<bool>{false, false, true, false, true, false, false, false, false}));
        window_->EnDisMDI(kTrue);
        QCOMPARE(Enabled(), none);
    }

    void aDisabledMenuTakesItsShortcuts() {
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        QTest::keyClick(window_.get(), Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(platform_.openRequests.size(), size_t(1));
        window_->EnDisMDI(kFalse);
        QTest::keyClick(window_.get(), Qt::Key_O, Qt::ControlModifier);
        QTest::keyClick(window_.get(), Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(platform_.openRequests.size(), size_t(1));
        QCOMPARE(platform_.endProgramCalls, 0);
        QTest::keyClick(window_.get(), Qt::Key_F1);
        QCOMPARE(platform_.helpFiles.size(), 1);
    }

    void openAcceptsAFileWithTheRightFirstLine() {
        Open(Example("toggle.asf"));
        QCOMPARE(platform_.openRequests[0].Title, QString("Select FSM (.asf) File..."));
        QCOMPARE(platform_.openRequests[0].Filter, QString("ASF (*.asf)"));
        QCOMPARE(platform_.openRequests[0].InitialPath, QString());
        QCOMPARE(window_->StatusText(), Example("toggle.asf") + " File Opened");
        QCOMPARE(QString::fromStdString(model_->AsfPath), Example("toggle.asf"));
        QCOMPARE(window_->AsfOpened(), kTrue);
        QVERIFY(platform_.messages.empty());
        QCOMPARE(model_->StateCount, Integer(0)); // Open reads only the first line

        Open(Example("blinker.asf"));
        QCOMPARE(platform_.openRequests[1].InitialPath, Example("toggle.asf"));
    }

    void openRejectsOtherFiles_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("exists");
        QTest::newRow("lower case") << QByteArray("version=1.19\r\nEND\r\n") << true;
        QTest::newRow("trailing blank") << QByteArray("VERSION=1.19 \r\nEND\r\n") << true;
        QTest::newRow("other version") << QByteArray("VERSION=1.18\nEND\n") << true;
        QTest::newRow("empty") << QByteArray() << true;
        QTest::newRow("missing") << QByteArray() << false;
    }
    void openRejectsOtherFiles() {
        QFETCH(QByteArray, content);
        QFETCH(bool, exists);
        Open(Example("toggle.asf"));
        QString path = Work("rejected.asf");
        if (exists) WriteAll(path, content);
        QString statusDuringBox;
        platform_.onMessage = [&](const MessageRequest&) {
            statusDuringBox = window_->StatusText();
        };
        Open(path);
        ExpectError("Invalid ASF File Format", "ASF File Error");
        QCOMPARE(statusDuringBox, path + " File Opened");
        QCOMPARE(window_->StatusText(), QString("No ASF File Opened"));
        QCOMPARE(QString::fromStdString(model_->AsfPath), path);
        QCOMPARE(window_->AsfOpened(), kFalse);
        QVERIFY(!On("mnuFSM") && !Button(2)->isEnabled() && !On("mnuClose"));
    }

    void cancellingOpenChangesNothing() {
        Open(Example("toggle.asf"));
        platform_.openAnswers.push_back(std::nullopt);
        window_->mnuOpen_Click();
        QCOMPARE(window_->StatusText(), Example("toggle.asf") + " File Opened");
        QCOMPARE(QString::fromStdString(model_->AsfPath), Example("toggle.asf"));
        QCOMPARE(window_->AsfOpened(), kTrue);
        QVERIFY(platform_.messages.empty());
    }

    void closeKeepsThePaths() {
        Open(Example("toggle.asf"));
        window_->mnuClose_Click();
        QCOMPARE(window_->StatusText(), QString("No ASF File Opened"));
        QCOMPARE(window_->AsfOpened(), kFalse);
        QCOMPARE(QString::fromStdString(model_->AsfPath), Example("toggle.asf"));
    }

    void generateWritesTheModuleAndSaysSo() {
        Open(Example("toggle.asf"));
        QStringList statusDuringBox;
        platform_.onMessage = [&](const MessageRequest&) {
            statusDuringBox << window_->StatusText();
        };
        Generate(Work("toggle.cpp"));
        QCOMPARE(platform_.saveRequests[0].Title, QString("SystemC FSM File Save As..."));
        QCOMPARE(platform_.saveRequests[0].Filter, QString("CPP File (*.cpp)"));
        // The module's name beside the ASF file, then the name chosen for it.
        QCOMPARE(platform_.saveRequests[0].InitialPath,
                 QFileInfo(Example("toggle.asf")).dir().filePath("Toggle.cpp"));
        QCOMPARE(ReadAll(Work("toggle.cpp")), ReadAll(KESTROM_GOLDEN "/toggle_thread.cpp"));
        QString done = Work("toggle.cpp") + " generated Successfully!";
        QCOMPARE(platform_.messages.size(), size_t(1));
        QCOMPARE(platform_.messages[0].Text, done);
        QCOMPARE(platform_.messages[0].Title, QString("Done!"));
        QCOMPARE(platform_.messages[0].Icon, MessageIcon::None);
        QCOMPARE(platform_.messages[0].Details, QString());
        QCOMPARE(statusDuringBox, QStringList{done});
        QCOMPARE(QString::fromStdString(model_->CppPath), Work("toggle.cpp"));
        // The first load created the option file, empty: a thread process.
        QVERIFY(QFile::exists(programDir_.filePath("option.dat")));
        QCOMPARE(ReadAll(programDir_.filePath("option.dat")), QByteArray());

        Generate(Work("again.cpp"));
        QCOMPARE(platform_.saveRequests[1].InitialPath, Work("toggle.cpp"));
        QCOMPARE(Enabled(), (QList<bool>{true, true, true, true, true, true, true, true, true}));
    }

    void generateFollowsTheStoredProcessKind() {
        WriteAll(programDir_.filePath("option.dat"), QByteArray("\xff\xff", 2));
        Open(Example("toggle.asf"));
        Generate(Work("toggle.cpp"));
        QCOMPARE(ReadAll(Work("toggle.cpp")), ReadAll(KESTROM_GOLDEN "/toggle_method.cpp"));
    }

    void generateReadsTheFileAsItNowIs() {
        QByteArray text = ReadAll(Example("toggle.asf"));
        WriteAll(Work("changing.asf"), text);
        Open(Work("changing.asf"));
        WriteAll(Work("changing.asf"), text.replace("\"Toggle\"", "\"Flipper\""));
        Generate(Work("out.cpp"));
        QVERIFY(ReadAll(Work("out.cpp")).contains("SC_MODULE ( Flipper )"));
    }

    void generateListsWarningsInTheDetails() {
        QByteArray text = ReadAll(Example("toggle.asf"));
        text.replace("END", "S 30 0 0\r\nL 31 30 0 0 .State 0 0 0 0 0 0 \"Lonely\"\r\nEND");
        WriteAll(Work("lonely.asf"), text);
        Open(Work("lonely.asf"));
        Generate(Work("lonely.cpp"));
        QCOMPARE(platform_.messages[0].Title, QString("Done!"));
        QCOMPARE(platform_.messages[0].Text, Work("lonely.cpp") + " generated Successfully!");
        QStringList details = platform_.messages[0].Details.split('\n');
        QVERIFY2(details.contains(Work("lonely.asf") +
                                  ":26: warning: state 'Lonely' is not reached from the "
                                  "initial state"),
                 qPrintable(platform_.messages[0].Details));
    }

    void aFileThatCannotBeReadIsNotGenerated() {
        WriteAll(Work("broken.asf"), ReadAll(Example("toggle.asf")));
        Open(Work("broken.asf"));
        WriteAll(Work("broken.asf"), "VERSION=1.19\r\nENTITY=\"X\"\r\nOBJECTS\r\nS x\r\n");
        WriteAll(Work("out.cpp"), "earlier");
        Generate(Work("out.cpp"));
        QCOMPARE(window_->StatusText(), Work("out.cpp") + " not generated");
        QCOMPARE(platform_.messages.size(), size_t(1));
        QCOMPARE(platform_.messages[0].Title, QString("ASF File Error"));
        QCOMPARE(platform_.messages[0].Icon, MessageIcon::Error);
        QVERIFY2(platform_.messages[0].Text.startsWith(Work("broken.asf") + ":4: error: "),
                 qPrintable(platform_.messages[0].Text));
        QCOMPARE(ReadAll(Work("out.cpp")), QByteArray("earlier"));
        QVERIFY(On("mnuFSM"));
    }

    void anOutputThatCannotBeWrittenIsReported() {
        Open(Example("toggle.asf"));
        QString path = Work("no-such-folder/out.cpp");
        Generate(path);
        QCOMPARE(window_->StatusText(), path + " not generated");
        QCOMPARE(platform_.messages.size(), size_t(1));
        QCOMPARE(platform_.messages[0].Title, QString("Output File Error"));
        QCOMPARE(platform_.messages[0].Icon, MessageIcon::Error);
        QVERIFY2(platform_.messages[0].Text.startsWith(path + ": error: ") &&
                     platform_.messages[0].Text.contains("No such file or directory"),
                 qPrintable(platform_.messages[0].Text));
    }

    void fifosAndDevicesAreRefusedInsteadOfWaitedOn() {
        const QString fifo = Work("pipe.asf");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
        const QString notRegular = ": it is a FIFO, not a regular file";
        Open(fifo);
        ExpectError(fifo + ": error: cannot open the file" + notRegular, "ASF File Error");
        QCOMPARE(window_->StatusText(), QString("No ASF File Opened"));
        QCOMPARE(window_->AsfOpened(), kFalse);

        platform_.messages.clear();
        Open(Example("toggle.asf"));
        Generate(fifo);
        ExpectError(fifo + ": error: cannot write " + fifo + notRegular, "Output File Error");
        QCOMPARE(window_->StatusText(), fifo + " not generated");
        platform_.messages.clear();
        Generate("/dev/null");
        ExpectError("/dev/null: error: cannot write /dev/null: it is a character device, not a "
                    "regular file",
                    "Output File Error");

        // The open file replaced by a FIFO after Open.
        WriteAll(Work("later.asf"), ReadAll(Example("toggle.asf")));
        Open(Work("later.asf"));
        QFile::remove(Work("later.asf"));
        QCOMPARE(::mkfifo(QFile::encodeName(Work("later.asf")).constData(), 0644), 0);
        platform_.messages.clear();
        Generate(Work("never.cpp"));
        ExpectError(Work("later.asf") + ": error: cannot open the file" + notRegular,
                    "ASF File Error");
        QVERIFY(!QFile::exists(Work("never.cpp")));
        QVERIFY(On("mnuFSM"));
    }

    void runningOutOfMemoryIsReportedAndTheWindowStaysUsable() {
        const QString huge = Work("huge.asf");
        WriteAll(huge, "VERSION=1.19\nOBJECTS\n");
        QVERIFY(QFile::resize(huge, 400'000'000LL));
        Open(huge);
        rlimit before{};
        ::getrlimit(RLIMIT_AS, &before);
        rlimit tight = before;
        tight.rlim_cur = MappedBytes() + 150'000'000UL;
        QCOMPARE(::setrlimit(RLIMIT_AS, &tight), 0);
        Generate(Work("never.cpp"));
        ::setrlimit(RLIMIT_AS, &before);
        ExpectError(huge + ": error: not enough memory to read and convert the file",
                    "Not Enough Memory");
        QCOMPARE(window_->StatusText(), Work("never.cpp") + " not generated");
        QVERIFY(!QFile::exists(Work("never.cpp")));

        platform_.messages.clear();
        Open(Example("toggle.asf"));
        Generate(Work("never.cpp"));
        QCOMPARE(platform_.messages[0].Title, QString("Done!"));
    }

    void theOpenFileIsNeverTheOutput() {
        QByteArray text = ReadAll(Example("toggle.asf"));
        WriteAll(Work("self.asf"), text);
        Open(Work("self.asf"));
        Generate(Work("self.asf"));
        QCOMPARE(platform_.messages[0].Title, QString("Output File Error"));
        QCOMPARE(window_->StatusText(), Work("self.asf") + " not generated");
        QCOMPARE(ReadAll(Work("self.asf")), text);
    }

    void cancellingGenerateChangesNothing() {
        Open(Example("toggle.asf"));
        platform_.saveAnswers.push_back(std::nullopt);
        window_->mnuFSM_Click();
        QCOMPARE(window_->StatusText(), Example("toggle.asf") + " File Opened");
        QVERIFY(model_->CppPath.empty());
        QVERIFY(platform_.messages.empty());
        QVERIFY(!QFile::exists(programDir_.filePath("option.dat")));
    }

    void toolbarButtonsRunTheirCommands() {
        window_->ToolbarASF_ButtonClick(0);
        window_->ToolbarASF_ButtonClick(4);
        QVERIFY(platform_.openRequests.empty() && platform_.saveRequests.empty());
        QVERIFY(platform_.helpFiles.isEmpty());
        window_->ToolbarASF_ButtonClick(3);
        QCOMPARE(platform_.helpFiles, QStringList{programDir_.filePath("kestrom.hlp")});
        platform_.openAnswers.push_back(Example("toggle.asf"));
        Button(1)->trigger();
        QCOMPARE(window_->AsfOpened(), kTrue);
        platform_.saveAnswers.push_back(Work("t.cpp"));
        Button(2)->trigger();
        QVERIFY(QFile::exists(Work("t.cpp")));
    }

    void exitEndsTheProgram() {
        Action("mnuExit")->trigger();
        QCOMPARE(platform_.endProgramCalls, 1);
    }

    void dialogsDisableFileAndGenerate() {
        Open(Example("toggle.asf"));
        Action("mnuOpt")->trigger();
        FormOption* options = window_->OptionsDialog();
        QVERIFY(options && options->isVisible());
        QCOMPARE(Enabled(),
                 (QList<bool>{false, false, true, false, true, true, true, true, false}));
        Action("mnuHelpTopic")->trigger();
        QCOMPARE(platform_.helpFiles.size(), 1);

        // About from the Help menu; its OK re-enables everything although the
        // Options dialog is still open.
        Action("mnuAbout")->trigger();
        FormAbout* about = window_->AboutBox();
        QVERIFY(about && about->isVisible());
        Action("mnuAbout")->trigger();
        QCOMPARE(window_->AboutBox(), about);
        about->CommandOK_Click();
        QCOMPARE(Enabled(), (QList<bool>{true, true, true, true, true, true, true, true, true}));

        // A second Option brings the open dialog back instead of another one.
        Action("mnuOpt")->trigger();
        QCOMPARE(window_->OptionsDialog(), options);
        QCOMPARE(window_->findChildren<FormOption*>().size(), 1);
        QVERIFY(!MenuOn("mnuFile"));
        options->CommandCancel_Click();
        QCOMPARE(Enabled(), (QList<bool>{true, true, true, true, true, true, true, true, true}));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!window_->OptionsDialog());
        QVERIFY(!window_->AboutBox());
    }

    void closingADialogsWindowReEnablesTheCommands() {
        Open(Example("toggle.asf"));
        Action("mnuAbout")->trigger();
        QVERIFY(window_->AboutBox()->close());
        QCOMPARE(Enabled(), (QList<bool>{true, true, true, true, true, true, true, true, true}));
        Action("mnuAbout")->trigger();
        QVERIFY(window_->AboutBox()->isVisible()); // created afresh
        window_->AboutBox()->CommandOK_Click();

        Action("mnuOpt")->trigger();
        QVERIFY(!MenuOn("mnuGen"));
        QVERIFY(window_->OptionsDialog()->close());
        QVERIFY(MenuOn("mnuGen"));
        QVERIFY(!QFile::exists(programDir_.filePath("option.dat")) ||
                ReadAll(programDir_.filePath("option.dat")).isEmpty());
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
