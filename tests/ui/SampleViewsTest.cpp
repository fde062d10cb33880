// The window with the real editor files of other versions: each view comes
// to rest, whatever tab is in front.
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QStandardPaths>
#include <QtTest>

#include "WindowFixture.h"
#include "ui/CodeWindow.h"
#include "ui/DiagramView.h"
#include "ui/FileViews.h"
#include "ui/FormExtensions.h"

using namespace kestrom;
using namespace kestrom::ui;

namespace {

// Counts the times a view's viewport is resized; past a limit it takes the
// view's scroll bars away, so that a view that never settles fails the test
// instead of hanging it.
class ResizeCounter : public QObject {
public:
    static constexpr int kLimit = 1000;
    explicit ResizeCounter(QAbstractScrollArea* view) : view_(view) {
        view->viewport()->installEventFilter(this);
    }
    int Count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Resize && ++Count == kLimit) {
            view_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            view_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        }
        return false;
    }

private:
    QAbstractScrollArea* view_;
};

void ProcessRounds(int rounds) {
    for (int i = 0; i < rounds; ++i)
        QCoreApplication::processEvents();
}

} // namespace

class SampleViewsTest : public QObject, private WindowFixture {
    Q_OBJECT

private:
    QString Sample(const char* name) const {
        const QString copy = Work(name);
        QFile::remove(copy);
        QFile::copy(QString(KESTROM_SAMPLES "/") + name, copy);
        return copy;
    }
    FileViews* Views() const { return window_->Views(); }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() {
        ClearUserSettings();
        Extensions any;
        any.AnyVersion = true;
        SaveExtensionChoices(any);
        StartWindow();
    }
    void cleanup() { CloseWindow(); }

    // A fitted diagram whose scroll bars change the room it is fitted into
    // must not fit itself again and again behind the code tab.
    void theDiagramComesToRestBehindTheCodeTab() {
        Open(Sample("freecores__usbhostslave__slaveSendpacket_v1.15.asf"));
        QVERIFY(Views());
        auto* workspace = window_->findChild<QMdiArea*>();
        for (QMdiSubWindow* front : {Views()->CodeSubWindow(), Views()->DiagramWindow()}) {
            ResizeCounter resizes(Views()->Diagram());
            workspace->setActiveSubWindow(front);
            ProcessRounds(20);
            QVERIFY2(resizes.Count < 10, qPrintable(QString::number(resizes.Count)));
        }
        QVERIFY(Views()->Diagram()->IsFitted());
        QVERIFY(Views()->Code()->Bytes().contains("SC_MODULE ( slaveSendPacket )"));
    }

    // The box keeps its words; its details say what the first line was and
    // how to accept it. A missing file named on the command line says so.
    void aRefusalSaysWhatWasFoundAndHowToAcceptIt() {
        SaveExtensionChoices(Extensions{});
        const QString older = Sample("freecores__usbhostslave__slaveSendpacket_v1.15.asf");
        Open(older);
        QVERIFY(!Views());
        QCOMPARE(platform_.messages.size(), size_t(1));
        const MessageRequest& box = platform_.messages[0];
        QCOMPARE(box.Text, QString("Invalid ASF File Format"));
        QCOMPARE(box.Title, QString("ASF File Error"));
        QVERIFY2(box.Details.startsWith(older + ":1: error: the first line is \"VERSION=1.15\""),
                 qPrintable(box.Details));
        QVERIFY(box.Details.contains("\"Accept other ASF versions\""));
        QVERIFY(box.Details.contains("--any-version"));
        QCOMPARE(window_->StatusText(), QString("No ASF File Opened"));

        window_->OpenNamedFile(Work("missing.asf"));
        QCOMPARE(platform_.messages.size(), size_t(2));
        QCOMPARE(platform_.messages[1].Text,
                 Work("missing.asf") + ": error: the file does not exist");
        QCOMPARE(window_->StatusText(), Work("missing.asf") + " does not exist");
        QVERIFY(!Views());
    }
};

QTEST_MAIN(SampleViewsTest)
#include "SampleViewsTest.moc"
