// The help window and the help file shipped beside the program.
#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextLayout>
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
                                   "errors", "batch", "module-extensions", "testbench", "keys"})
            QVERIFY2(html.contains(QString("id=\"%1\"").arg(anchor)), anchor);
        for (const char* link : {"#open", "#generate", "#output", "#options", "#warnings",
                                 "#errors", "#batch", "#module-extensions", "#testbench", "#keys"})
            QVERIFY2(html.contains(QString("href=\"%1\"").arg(link)), link);
    }

    // The name of the language must not be split between two lines, at any
    // width of the window.
    void cPlusPlusStaysOnOneLine() {
        HelpViewer viewer;
        viewer.ShowTopics(KESTROM_HELP_FILE);
        QTextDocument* document = viewer.Browser()->document();
        for (int width = 250; width <= 700; width += 5) {
            document->setTextWidth(width);
            for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
                document->documentLayout()->blockBoundingRect(block);
                QStringList lines;
                for (int i = 0; i < block.layout()->lineCount(); ++i) {
                    const QTextLine line = block.layout()->lineAt(i);
                    lines << block.text().mid(line.textStart(), line.textLength()).trimmed();
                }
                const QString laidOut = lines.join('\n').remove(QChar(0x2060));
                QVERIFY2(!laidOut.contains("C\n++") && !laidOut.contains("C+\n+"),
                         qPrintable(QString("width %1: %2").arg(width).arg(laidOut)));
            }
        }
    }

    void findLooksThroughWordJoiners() {
        HelpViewer viewer;
        viewer.ShowTopics(KESTROM_HELP_FILE);
        auto* findBox = viewer.findChild<QLineEdit*>("HelpFind");
        findBox->setText("c++ source");
        QMetaObject::invokeMethod(findBox, "returnPressed");
        QCOMPARE(viewer.Browser()->textCursor().selectedText().remove(QChar(0x2060)),
                 QString("C++ source"));
    }

    void everyPictureLoads() {
        HelpViewer viewer;
        viewer.ShowTopics(KESTROM_HELP_FILE);
        QFile file(KESTROM_HELP_FILE);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(file.readAll());
        const QRegularExpression image("<img src=\"([^\"]+)\"");
        int pictures = 0;
        for (auto match = image.globalMatch(html); match.hasNext(); ++pictures) {
            const QString source = match.next().captured(1);
            const QVariant loaded =
                viewer.Browser()->loadResource(QTextDocument::ImageResource, QUrl(source));
            QVERIFY2(!QImage::fromData(loaded.toByteArray()).isNull(), qPrintable(source));
        }
        QVERIFY(pictures > 0);
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
};

QTEST_MAIN(HelpViewerTest)
#include "HelpViewerTest.moc"
