// The Options dialog with its option file, the About box and the placing of
// both over the main window, on the offscreen platform.
#include <memory>

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>

#include "FakePlatform.h"
#include "model/FsmModel.h"
#include "ui/FormAbout.h"
#include "ui/FormOption.h"
#include "ui/MDIFormMain.h"
#include "ui/WindowServices.h"

using namespace kestrom;
using namespace kestrom::ui;

class DialogsTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir programDir_;
    FakePlatform platform_;
    std::unique_ptr<FsmModel> model_;
    std::unique_ptr<MDIFormMain> window_;

    QString OptionFile() const { return programDir_.filePath("option.dat"); }
    QByteArray OptionBytes() const {
        QFile file(OptionFile());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    void SetOptionBytes(const QByteArray& bytes) {
        QFile file(OptionFile());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }
    // The dialog as the Option command makes it.
    FormOption* Options() {
        window_->mnuOpt_Click();
        return window_->OptionsDialog();
    }
    template <typename T> T* Child(QWidget* parent, const char* name) {
        T* child = parent->findChild<T*>(name);
        if (!child) qFatal("no child %s", name);
        return child;
    }
    void Flush() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

private slots:
    void init() {
        platform_ = FakePlatform();
        platform_.programDirectory = programDir_.path();
        QFile::remove(OptionFile());
        model_ = std::make_unique<FsmModel>();
        window_ = std::make_unique<MDIFormMain>(platform_, *model_);
    }
    void cleanup() {
        window_.reset();
        Flush();
    }

    void optionsLayoutIsInTwips() {
        FormOption* dialog = Options();
        QCOMPARE(dialog->windowTitle(), QString("Options"));
        QVERIFY(dialog->windowIcon().isNull());
        QCOMPARE(dialog->size(), QSize(178, 111));
        auto* frame = Child<QGroupBox>(dialog, "Frame1");
        QCOMPARE(frame->title(), QString("Generate SystemC Code for"));
        QCOMPARE(frame->geometry(), QRect(8, 8, 161, 65));
        auto* method = Child<QRadioButton>(dialog, "OptionM0");
        auto* thread = Child<QRadioButton>(dialog, "OptionM1");
        QCOMPARE(method->text(), QString("Method Process"));
        QCOMPARE(thread->text(), QString("Thread Process"));
        QCOMPARE(method->parentWidget(), frame);
        QCOMPARE(method->geometry(), QRect(16, 24, 105, 17));
        QCOMPARE(thread->geometry(), QRect(16, 40, 105, 17));
        QCOMPARE(Child<QPushButton>(dialog, "CommandOK")->geometry(), QRect(48, 80, 57, 25));
        QCOMPARE(Child<QPushButton>(dialog, "CommandCancel")->text(), QString("Cancel"));
        QCOMPARE(Child<QPushButton>(dialog, "CommandCancel")->geometry(), QRect(112, 80, 57, 25));
        // Whatever the desktop's font, every caption fits its control.
        for (QRadioButton* option : dialog->findChildren<QRadioButton*>())
            QVERIFY2(option->sizeHint().width() <= option->width(), qPrintable(option->text()));
        for (QPushButton* button : dialog->findChildren<QPushButton*>())
            QVERIFY(button->fontMetrics().horizontalAdvance(button->text()) < button->width());
        QVERIFY(frame->fontMetrics().horizontalAdvance(frame->title()) < frame->width());
        QVERIFY(dialog->font().pointSizeF() >= 6.5);
    }

    void aFirstRunCreatesAnEmptyFileAndCancelWritesNothing() {
        FormOption* dialog = Options();
        QCOMPARE(OptionBytes(), QByteArray());
        QVERIFY(!dialog->MethodSelected());
        QVERIFY(Child<QRadioButton>(dialog, "OptionM1")->isChecked());
        Child<QRadioButton>(dialog, "OptionM0")->click();
        dialog->CommandCancel_Click();
        QCOMPARE(OptionBytes(), QByteArray());
        QCOMPARE(model_->ProcessKind, Integer(0));
    }

    void okStoresTheChoiceInTheFirstTwoBytes() {
        FormOption* dialog = Options();
        Child<QRadioButton>(dialog, "OptionM0")->click();
        QTest::mouseClick(Child<QPushButton>(dialog, "CommandOK"), Qt::LeftButton);
        QCOMPARE(OptionBytes(), QByteArray("\xff\xff", 2));
        QCOMPARE(model_->ProcessKind, kMethodProcess);
        Flush();

        model_->ProcessKind = 0; // the next dialog shows what the file holds
        dialog = Options();
        QVERIFY(dialog->MethodSelected());
        Child<QRadioButton>(dialog, "OptionM1")->click();
        dialog->CommandOK_Click();
        QCOMPARE(OptionBytes(), QByteArray("\0\0", 2));
    }

    void aLongerFileKeepsItsLength() {
        QByteArray tenBytes("\0\0abcdefgh", 10);
        SetOptionBytes(tenBytes);
        FormOption* dialog = Options();
        QVERIFY(!dialog->MethodSelected());
        Child<QRadioButton>(dialog, "OptionM0")->click();
        dialog->CommandOK_Click();
        QCOMPARE(OptionBytes(), QByteArray("\xff\xff"
                                           "abcdefgh",
                                           10));
    }

    void theCloseControlAndEscapeActAsCancel() {
        SetOptionBytes(QByteArray("\xff\xff", 2));
        FormOption* dialog = Options();
        Child<QRadioButton>(dialog, "OptionM1")->click();
        QTest::keyClick(dialog, Qt::Key_Escape);
        QVERIFY(dialog->isHidden());
        QCOMPARE(OptionBytes(), QByteArray("\xff\xff", 2));
    }

    void anOptionFileThatCannotBeUsedIsReported() {
        platform_.programDirectory = programDir_.filePath("missing-folder");
        FormOption* dialog = Options();
        QCOMPARE(platform_.messages.size(), size_t(1));
        QCOMPARE(platform_.messages[0].Title, QString("Option File Error"));
        QVERIFY2(platform_.messages[0].Text.contains(platform_.programDirectory + "/option.dat"),
                 qPrintable(platform_.messages[0].Text));
        QVERIFY(!dialog->MethodSelected());

        model_->ProcessKind = kMethodProcess;
        Child<QRadioButton>(dialog, "OptionM1")->click();
        dialog->CommandOK_Click();
        QCOMPARE(platform_.messages.size(), size_t(2));
        QCOMPARE(platform_.messages[1].Title, QString("Option File Error"));
        QCOMPARE(model_->ProcessKind, kMethodProcess); // the choice stays as it was
        QVERIFY(dialog->isHidden());
        QVERIFY(window_->findChild<QMenu*>("mnuFile")->menuAction()->isEnabled());
    }

    void anOptionFileThatIsAFifoIsRefusedInsteadOfWaitedOn() {
        QCOMPARE(::mkfifo(QFile::encodeName(OptionFile()).constData(), 0644), 0);
        const QString refusal =
            "cannot open " + OptionFile() + ": it is a FIFO, not a regular file";
        FormOption* dialog = Options();
        QCOMPARE(platform_.messages.size(), size_t(1));
        QCOMPARE(platform_.messages[0].Text, refusal);
        dialog->CommandOK_Click();
        QCOMPARE(platform_.messages.size(), size_t(2));
        QCOMPARE(platform_.messages[1].Text, refusal);
        QCOMPARE(platform_.messages[1].Title, QString("Option File Error"));
        QVERIFY(dialog->isHidden());
        QFile::remove(OptionFile());
    }

    void aboutBoxShowsNameVersionAndAddress() {
        window_->mnuAbout_Click();
        FormAbout* about = window_->AboutBox();
        QCOMPARE(about->windowTitle(), QString("About"));
        QVERIFY(about->windowIcon().isNull());
        QCOMPARE(about->size(), QSize(336, 120));
        QCOMPARE(about->palette().color(QPalette::Window), QColor(Qt::white));
        auto* name = Child<QLabel>(about, "LabelName");
        auto* version = Child<QLabel>(about, "LabelVer");
        auto* address = Child<QLabel>(about, "Label4");
        QCOMPARE(name->text(), QString("Kestrom"));
        QCOMPARE(name->geometry(), QRect(32, 16, 281, 17));
        QVERIFY(name->font().bold() && name->alignment() & Qt::AlignHCenter);
        QCOMPARE(name->font().pointSizeF(), 9.0);
        QCOMPARE(version->text(), QString("v1.0"));
        QCOMPARE(version->geometry(), QRect(240, 32, 57, 17));
        QVERIFY(version->font().bold() && version->alignment() & Qt::AlignRight);
        QCOMPARE(Child<QLabel>(about, "Image2")->geometry(), QRect(8, 16, 24, 24));
        QVERIFY(!Child<QLabel>(about, "Image2")->pixmap().isNull());
        QCOMPARE(address->geometry(), QRect(64, 96, 201, 17));
        QVERIFY(address->text().contains(HomePage().toHtmlEscaped()));
        QVERIFY(address->text().contains("#0000ff"));
        QCOMPARE(Child<QPushButton>(about, "CommandOK")->geometry(), QRect(280, 88, 49, 25));
    }

    void theAddressOpensEachTimeAndTheBoxStays() {
        if (HomePage().isEmpty()) QSKIP("built without a web address");
        window_->mnuAbout_Click();
        FormAbout* about = window_->AboutBox();
        auto* address = Child<QLabel>(about, "Label4");
        emit address->linkActivated(HomePage());
        about->Label4_Click();
        QCOMPARE(platform_.webAddresses, (QStringList{HomePage(), HomePage()}));
        QVERIFY(about->isVisible());
    }

    void dialogsArePlacedOverTheMainWindow() {
        const QRect screen(0, 0, 1024, 768);
        // Centred across the frame, 1000 twips (66.7 pixels) above the middle.
        QCOMPARE(DialogPosition(QRect(100, 50, 489, 325), QSize(178, 111), screen),
                 QPoint(100 + 156, 50 + 40));
        QCOMPARE(DialogPosition(QRect(0, 0, 489, 325), QSize(336, 120), screen), QPoint(77, 36));
        // Kept on the screen.
        QCOMPARE(DialogPosition(QRect(0, -40, 489, 200), QSize(178, 111), screen), QPoint(156, 0));
        QCOMPARE(DialogPosition(QRect(900, 700, 489, 325), QSize(178, 111), screen),
                 QPoint(846, 657));
        // Without a screen a negative top stays as it is.
        QCOMPARE(DialogPosition(QRect(0, 0, 489, 200), QSize(178, 111), QRect()), QPoint(156, -22));

        window_->move(120, 80);
        FormOption* dialog = Options();
        QRect frame = window_->frameGeometry();
        QCOMPARE(dialog->frameGeometry().topLeft(),
                 DialogPosition(frame, dialog->frameGeometry().size(),
                                window_->screen()->availableGeometry()));
    }
};

QTEST_MAIN(DialogsTest)
#include "DialogsTest.moc"
