// The views of the open file on the offscreen platform: the diagram and code
// windows and the problems panel come with Open, follow the file on disk, the
// stored options and Generate, and go with Close.
#include <memory>

#include <QAction>
#include <QDockWidget>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include "FakePlatform.h"
#include "model/FsmModel.h"
#include "ui/CodeWindow.h"
#include "ui/DiagramView.h"
#include "ui/FileViews.h"
#include "ui/FormOption.h"
#include "ui/MDIFormMain.h"
#include "ui/ProblemsPanel.h"

using namespace kestrom;
using namespace kestrom::ui;

namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

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

class FileViewsTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir programDir_;
    QTemporaryDir workDir_;
    FakePlatform platform_;
    std::unique_ptr<FsmModel> model_;
    std::unique_ptr<MDIFormMain> window_;

    QString Work(const QString& name) const { return workDir_.filePath(name); }
    QString Example(const char* name) const { return QString(KESTROM_EXAMPLES "/") + name; }
    QByteArray Golden(const char* name) const {
        return ReadAll(QString(KESTROM_GOLDEN "/") + name);
    }
    FileViews* Views() const { return window_->Views(); }
    QStringList ChildTitles() const {
        QStringList titles;
        for (QMdiSubWindow* child : window_->findChild<QMdiArea*>()->subWindowList())
            titles << child->windowTitle();
        return titles;
    }
    void Open(const FakePlatform::Answer& path) {
        platform_.openAnswers.push_back(path);
        window_->mnuOpen_Click();
    }
    void CopyExample(const char* name, const QString& to) {
        QFile::remove(to);
        QVERIFY(QFile::copy(Example(name), to));
    }

private slots:
    void init() {
        platform_ = FakePlatform();
        platform_.programDirectory = programDir_.path();
        QFile::remove(programDir_.filePath("option.dat"));
        model_ = std::make_unique<FsmModel>();
        window_ = std::make_unique<MDIFormMain>(platform_, *model_);
    }
    void cleanup() {
        window_.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void openBringsUpTheThreeViewsAndCloseTakesThem() {
        QVERIFY(!Views());
        QVERIFY(!window_->findChild<QAction*>("mnuExport")->isEnabled());
        Open(Example("toggle.asf"));
        QVERIFY(Views());
        QCOMPARE(ChildTitles(), (QStringList{"Code - toggle.asf", "Diagram - toggle.asf"}));
        QCOMPARE(window_->findChild<QMdiArea*>()->activeSubWindow(), Views()->DiagramWindow());
        QVERIFY(window_->findChild<QDockWidget*>("ProblemsDock")->isVisible());
        QVERIFY(window_->findChild<QAction*>("mnuExport")->isEnabled());
        // The window's own texts stay as they were.
        QCOMPARE(window_->windowTitle(), QString("Kestrom"));
        QCOMPARE(window_->StatusText(), Example("toggle.asf") + " File Opened");
        QVERIFY(!QFile::exists(programDir_.filePath("option.dat")));

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
        QString shown = Views()->Code()->Text()->toPlainText();
        QCOMPARE(shown.toLatin1(), Golden("toggle_thread.cpp").replace("\r\n", "\n"));
        QVERIFY(Views()->Code()->Text()->isReadOnly());
        QVERIFY(Views()->Code()->Text()->font().fixedPitch());

        platform_.saveAnswers.push_back(Work("toggle.cpp"));
        window_->mnuFSM_Click();
        QCOMPARE(Views()->Code()->Bytes(), ReadAll(Work("toggle.cpp")));
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

    void problemsAreTheBatchToolsWords() {
        QByteArray text = ReadAll(Example("toggle.asf"));
        WriteAll(Work("lonely.asf"), text.replace("END", kLonelyState));
        Open(Work("lonely.asf"));
        const QStringList rows = Views()->Problems()->Rows();
        QVERIFY2(rows.contains(Work("lonely.asf") + ":26: warning: state 'Lonely' is not reached "
                                                    "from the initial state"),
                 qPrintable(rows.join('\n')));

        platform_.saveAnswers.push_back(Work("lonely.cpp"));
        window_->mnuFSM_Click();
        QCOMPARE(rows.join('\n'), platform_.messages.back().Details);
    }

    void aFileThatCannotBeReadShowsItsError() {
        WriteAll(Work("broken.asf"), "VERSION=1.19\r\nENTITY=\"X\"\r\nOBJECTS\r\nS x\r\n");
        Open(Work("broken.asf"));
        QVERIFY(Views());
        QCOMPARE(Views()->Code()->Bytes(), QByteArray());
        platform_.saveAnswers.push_back(Work("broken.cpp"));
        window_->mnuFSM_Click();
        QCOMPARE(Views()->Problems()->Rows(), QStringList{platform_.messages.back().Text});
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
