// The keyboard and the views on the offscreen platform: copying that never
// closes or quits, Exit while work is under way, the tabs, panning, what the
// window remembers, finding, recent files and dropped files.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QTabBar>
#include <QUrl>
#include <QtTest>

#include "WindowFixture.h"
#include "ui/CodeWindow.h"
#include "ui/DiagramView.h"
#include "ui/FileViews.h"
#include "ui/FormExtensions.h"
#include "ui/ProblemsPanel.h"

using namespace kestrom;
using namespace kestrom::ui;

class WindowKeysTest : public QObject, private WindowFixture {
    Q_OBJECT

private:
    FileViews* Views() const { return window_->Views(); }
    QMdiArea* Workspace() const { return window_->findChild<QMdiArea*>(); }
    QTabBar* Tabs() const { return Workspace()->findChild<QTabBar*>(); }
    QString Sample(const char* part) const {
        const QString copy = Work(QString("%1.asf").arg(part));
        QFile::remove(copy);
        QFile::copy(QString(KESTROM_SAMPLES "/freecores__usbhostslave__%1_v1.19.asf").arg(part),
                    copy);
        return copy;
    }
    void Activate() {
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    }
    int TabOf(QMdiSubWindow* child) const {
        return int(Workspace()->subWindowList(QMdiArea::CreationOrder).indexOf(child));
    }
    bool Closable(QMdiSubWindow* child) const {
        const int tab = TabOf(child);
        return Tabs()->tabButton(tab, QTabBar::RightSide) ||
               Tabs()->tabButton(tab, QTabBar::LeftSide);
    }
    void Drop(const QString& path) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(window_.get(), &enter);
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window_.get(), &drop);
    }

private slots:
    void init() {
        ClearUserSettings();
        StartWindow();
    }
    void cleanup() { CloseWindow(); }

    void copyingNeverClosesNorQuits() {
        Open(Sample("slaveSendpacket"));
        Activate();
        QListWidget* list = Views()->Problems()->List();
        list->setCurrentRow(0);
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Insert, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), Views()->Problems()->Rows().value(0));
        QVERIFY(QApplication::clipboard()->text().startsWith(Views()->AsfPath() + ":"));
        QCOMPARE(window_->AsfOpened(), kTrue);

        Workspace()->setActiveSubWindow(Views()->CodeSubWindow());
        CodeWindow* code = Views()->Code();
        code->SelectAll();
        code->setFocus();
        QTest::keyClick(code, Qt::Key_Insert, Qt::ControlModifier);
        QVERIFY(code->SelectedText().size() > 1000);
        QCOMPARE(QApplication::clipboard()->text(), code->SelectedText());
        QCOMPARE(platform_.endProgramCalls, 0);
        // Both copies are in the context menus; Ctrl+C still closes the file.
        for (QWidget* view : {static_cast<QWidget*>(list), static_cast<QWidget*>(code)}) {
            QCOMPARE(view->contextMenuPolicy(), Qt::ActionsContextMenu);
            QCOMPARE(view->actions().value(0)->text(), QString("Copy"));
            QCOMPARE(view->actions().value(0)->shortcut(), QKeySequence("Ctrl+Insert"));
        }
        QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(window_->AsfOpened(), kFalse);
    }

    // Rows whose object another diagram shows open no sub-diagram on the way.
    void everyProblemRowOpensOnlyTheTabItShows() {
        Open(Sample("slaveSendpacket"));
        QTRY_VERIFY_WITH_TIMEOUT(Views()->Problems()->Analysed(), 60000);
        QListWidget* list = Views()->Problems()->List();
        for (int i = 0; i < list->count(); ++i) {
            const QList<QMdiSubWindow*> before = Workspace()->subWindowList();
            list->setCurrentRow(i);
            for (QMdiSubWindow* child : Workspace()->subWindowList())
                QVERIFY2(before.contains(child) || child == Workspace()->activeSubWindow(),
                         qPrintable(list->item(i)->text()));
        }
    }

    void exitAsksOnlyWhileWorkIsUnderWay() {
        window_->mnuExit_Click();
        QCOMPARE(platform_.endProgramCalls, 1);
        QVERIFY(platform_.questions.empty());

        Open(Sample("slavecontroller"));
        if (!window_->BackgroundWorkRunning()) QSKIP("the condition check ended before Exit");
        platform_.confirmAnswers = {false};
        window_->mnuExit_Click();
        QCOMPARE(platform_.questions.size(), std::size_t(1));
        QCOMPARE(platform_.questions[0].Title, QString("Exit"));
        QCOMPARE(platform_.endProgramCalls, 1);
        QCOMPARE(window_->AsfOpened(), kTrue);
        platform_.confirmAnswers = {true};
        window_->mnuExit_Click();
        QCOMPARE(platform_.endProgramCalls, 2);
    }

    // The FIN and the other state rows of the sub-diagram 25 of this sample.
    void aProblemKeepsTheFocusAndReusesItsSubDiagramsTab() {
        Open(Sample("slaveSendpacket"));
        Activate();
        QListWidget* list = Views()->Problems()->List();
        list->setFocus();
        const QList<QListWidgetItem*> fin = list->findItems(":72: warning", Qt::MatchContains);
        QCOMPARE(fin.size(), 1);
        list->setCurrentItem(fin[0]);
        QCOMPARE(Workspace()->activeSubWindow(), Views()->DiagramWindow(25));
        QCOMPARE(QApplication::focusWidget(), list);
        const int tabs = int(Workspace()->subWindowList().size());
        list->setCurrentRow(0);
        list->setCurrentItem(fin[0]);
        QCOMPARE(int(Workspace()->subWindowList().size()), tabs);
        QCOMPARE(QApplication::focusWidget(), list);

        QVERIFY(!Closable(Views()->DiagramWindow(1)));
        QVERIFY(!Closable(Views()->CodeSubWindow()));
        QVERIFY(Closable(Views()->DiagramWindow(25)));
        // The code tab's title is whole.
        const int code = TabOf(Views()->CodeSubWindow());
        QCOMPARE(Tabs()->tabText(code), "Code - " + QFileInfo(Views()->AsfPath()).fileName());
        QVERIFY(Tabs()->tabRect(code).width() >=
                Tabs()->fontMetrics().horizontalAdvance(Tabs()->tabText(code)));
    }

    void aDragPansUnlessItStartsOnAStateOrTransition() {
        Open(Example("keyfilter.asf"));
        DiagramView* view = Views()->Diagram();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
        for (int i = 0; i < 6; ++i)
            view->ZoomIn();
        QTRY_VERIFY(view->horizontalScrollBar()->maximum() > 0);
        view->horizontalScrollBar()->setValue(view->horizontalScrollBar()->maximum() / 2);
        // A point inside the frame (object 2) over nothing drawn on it.
        const auto topObject = [view](const QPoint& at) {
            for (QGraphicsItem* item : view->items(at))
                if (const QVariant id = item->data(DiagramView::kObjectIdKey); id.isValid())
                    return id.toLongLong();
            return 0LL;
        };
        QPoint empty(-1, -1);
        for (int y = 10; y < view->viewport()->height() && empty.y() < 0; y += 7)
            for (int x = 10; x < view->viewport()->width() && empty.y() < 0; x += 7)
                if (topObject(QPoint(x, y)) == 2) empty = {x, y};
        QVERIFY(empty.y() >= 0);
        const int before = view->horizontalScrollBar()->value();
        QTest::mousePress(view->viewport(), Qt::LeftButton, {}, empty);
        QTest::mouseMove(view->viewport(), empty + QPoint(-40, 0));
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, empty + QPoint(-40, 0));
        QVERIFY(view->horizontalScrollBar()->value() > before);
        QVERIFY(view->scene()->selectedItems().isEmpty());
    }

    void theWindowRemembersItsPlaceAndThePanelsHeight() {
        window_->resize(700, 520);
        Open(Example("toggle.asf"));
        auto* dock = window_->findChild<QDockWidget*>("ProblemsDock");
        window_->resizeDocks({dock}, {160}, Qt::Vertical);
        QTRY_COMPARE(dock->height(), 160);
        window_.reset();
        model_ = std::make_unique<FsmModel>();
        window_ = std::make_unique<MDIFormMain>(platform_, *model_);
        QCOMPARE(window_->size(), QSize(700, 520));
        Open(Example("toggle.asf"));
        QTRY_COMPARE(window_->findChild<QDockWidget*>("ProblemsDock")->height(), 160);
    }

    void findLooksInTheViewShown() {
        Open(Example("toggle.asf"));
        Workspace()->setActiveSubWindow(Views()->CodeSubWindow());
        CodeWindow* code = Views()->Code();
        platform_.textAnswers = {QString("case"), QString("case"), QString("no such text")};
        window_->FindInView();
        QCOMPARE(code->SelectedText(), QString("case"));
        const int first = code->SelectionRange().first.y();
        window_->FindInView(); // the next one
        QVERIFY(code->SelectionRange().first.y() > first);
        window_->FindInView();
        QCOMPARE(window_->StatusText(), QString("\"no such text\" not found"));
        QCOMPARE(platform_.textLabels.value(0), QString("Text in the code:"));

        Workspace()->setActiveSubWindow(Views()->DiagramWindow(1));
        platform_.textAnswers = {QString("sto")};
        window_->FindInView();
        QCOMPARE(platform_.textLabels.value(3), QString("State name:"));
        const QList<QGraphicsItem*> selected = Views()->Diagram()->scene()->selectedItems();
        QCOMPARE(selected.size(), 1);
        QCOMPARE(selected[0]->data(DiagramView::kObjectIdKey).toLongLong(), 3LL);
    }

    // One generation, one style of line ends; names without an extension get one.
    void filesWrittenGetTheirExtensionAndTheModulesLineEnds() {
        SaveBenchChoice({true, QString()});
        QFile::copy(Example("toggle.asf"), Work("toggle.asf"));
        Open(Work("toggle.asf"));
        platform_.saveAnswers = {Work("mod")};
        window_->mnuFSM_Click();
        QCOMPARE(platform_.saveRequests[0].InitialPath, Work("Toggle.cpp"));
        QCOMPARE(platform_.messages.back().Text, Work("mod.cpp") + " generated Successfully!");
        const QByteArray bench = ReadAll(Work("mod_tb.cpp"));
        QVERIFY(bench.contains("#include \"mod.cpp\"\r\n"));
        for (const QByteArray& file : {ReadAll(Work("mod.cpp")), bench})
            QCOMPARE(file.count("\n"), file.count("\r\n"));

        platform_.saveAnswers = {Work("pic")};
        window_->mnuExport_Click();
        const QByteArray svg = ReadAll(Work("pic.svg"));
        QVERIFY(svg.startsWith("<?xml"));
        QCOMPARE(svg.count("\n"), svg.count("\r\n"));
        QCOMPARE(window_->StatusText(), "Picture " + Work("pic.svg") + " written");

        // Another file: its own module's name is proposed.
        Open(Example("blinker.asf"));
        platform_.saveAnswers = {std::nullopt};
        window_->mnuFSM_Click();
        QCOMPARE(platform_.saveRequests.back().InitialPath,
                 QFileInfo(Example("blinker.asf")).dir().filePath("Blinker.cpp"));
    }

    void recentFilesAndDroppedFilesPassTheFirstLineTest() {
        WriteAll(Work("other.asf"), "VERSION=9.99\r\n");
        Open(Example("toggle.asf"));
        Open(Example("blinker.asf"));
        QList<QAction*> recent = window_->RecentFileItems();
        QCOMPARE(recent.size(), 2);
        QCOMPARE(recent[0]->text(), "&1 " + QFileInfo(Example("blinker.asf")).absoluteFilePath());
        // Below the items the File menu had.
        const QList<QAction*> file = window_->findChild<QMenu*>("mnuFile")->actions();
        QCOMPARE(file.indexOf(recent[0]), 6);
        QVERIFY(file[5]->isSeparator());
        recent[1]->trigger();
        QCOMPARE(Views()->AsfPath(), QFileInfo(Example("toggle.asf")).absoluteFilePath());
        QCOMPARE(window_->RecentFileItems()[0]->text().mid(3), Views()->AsfPath());

        Drop(Example("blinker.asf"));
        QCOMPARE(Views()->AsfPath(), QFileInfo(Example("blinker.asf")).absoluteFilePath());
        Drop(Work("other.asf"));
        QCOMPARE(platform_.messages.back().Text, QString("Invalid ASF File Format"));
        QVERIFY(!Views());
        // A refused file is not remembered; a vanished one says so.
        QCOMPARE(window_->RecentFileItems().size(), 2);
        QFile::copy(Example("toggle.asf"), Work("gone.asf"));
        Drop(Work("gone.asf"));
        QFile::remove(Work("gone.asf"));
        window_->RecentFileItems()[0]->trigger();
        QVERIFY(platform_.messages.back().Text.endsWith("the file does not exist"));
    }
};

QTEST_MAIN(WindowKeysTest)
#include "WindowKeysTest.moc"
