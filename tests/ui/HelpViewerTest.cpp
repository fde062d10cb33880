// The help window and the help file shipped beside the program.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>

#include "ui/HelpViewer.h"

using namespace kestrom::ui;

class HelpViewerTest : public QObject {
    Q_OBJECT

private slots:
    void showsTheHelpFileAtItsContents() {
        HelpViewer viewer;
        viewer.ShowTopics(KESTROM_HELP_FILE);
        QVERIFY(viewer.isVisible());
        QVERIFY(viewer.HasDocument());
        QCOMPARE(viewer.windowTitle(), QString("Kestrom Help"));
        QString text = viewer.Browser()->toPlainText();
        QVERIFY(text.startsWith("Kestrom Help") || text.contains("Contents"));
        QCOMPARE(viewer.Browser()->verticalScrollBar()->value(), 0);
    }

    void theGuideCoversEveryTopic() {
        QFile file(KESTROM_HELP_FILE);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QString html = QString::fromUtf8(file.readAll());
        for (const char* anchor : {"contents", "open", "generate", "output", "options", "warnings",
                                   "errors", "batch", "keys"})
            QVERIFY2(html.contains(QString("id=\"%1\"").arg(anchor)), anchor);
        for (const char* link : {"#open", "#generate", "#output", "#options", "#warnings",
                                 "#errors", "#batch", "#keys"})
            QVERIFY2(html.contains(QString("href=\"%1\"").arg(link)), link);
    }

    void aMissingFileIsReportedInTheWindow() {
        QTemporaryDir dir;
        QString missing = dir.filePath("kestrom.hlp");
        HelpViewer viewer;
        viewer.ShowTopics(missing);
        QVERIFY(viewer.isVisible());
        QVERIFY(!viewer.HasDocument());
        QVERIFY(viewer.Browser()->toPlainText().contains(missing));

        viewer.ShowTopics(KESTROM_HELP_FILE); // and recovers once it is there
        QVERIFY(viewer.HasDocument());
    }

    void anInstalledProgramFindsTheGuideUnderShare() {
        QTemporaryDir root;
        QVERIFY(QDir(root.path()).mkpath("bin") && QDir(root.path()).mkpath("share/kestrom"));
        const QString bin = root.filePath("bin");
        QCOMPARE(HelpFileLocation(bin), bin + "/kestrom.hlp"); // neither: named beside

        QVERIFY(QFile::copy(KESTROM_HELP_FILE, root.filePath("share/kestrom/kestrom.hlp")));
        QCOMPARE(HelpFileLocation(bin),
                 QFileInfo(root.filePath("share/kestrom/kestrom.hlp")).canonicalFilePath());

        QVERIFY(QFile::copy(KESTROM_HELP_FILE, bin + "/kestrom.hlp"));
        QCOMPARE(HelpFileLocation(bin), bin + "/kestrom.hlp"); // beside the program wins
    }
};

QTEST_MAIN(HelpViewerTest)
#include "HelpViewerTest.moc"
