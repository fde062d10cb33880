// The Extensions dialog, its choices in the user's settings, and Open and
// Generate with them, on the offscreen platform.
#include <memory>

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include "WindowFixture.h"
#include "extensions/ExtendedGeneration.h"
#include "model/FsmModel.h"
#include "ui/CodeWindow.h"
#include "ui/FileViews.h"
#include "ui/FormExtensions.h"
#include "ui/MDIFormMain.h"
#include "ui/ProblemsPanel.h"

using namespace kestrom;
using namespace kestrom::ui;

class ExtensionsDialogTest : public QObject, private WindowFixture {
    Q_OBJECT

private:
    QTemporaryDir settingsDir_;

    FormExtensions* Dialog() {
        window_->mnuExt_Click();
        return window_->ExtensionsDialog();
    }
    template <typename T> T* Child(QWidget* parent, const char* name) {
        T* child = parent->findChild<T*>(name);
        if (!child) qFatal("no child %s", name);
        return child;
    }
    // Checks the named boxes only, chooses the reset and presses OK.
    void Choose(const QStringList& boxes, int reset, const QString& benchPath = QString()) {
        FormExtensions* dialog = Dialog();
        QVERIFY(dialog && dialog->isVisible());
        Child<QComboBox>(dialog, "ComboReset")->setCurrentIndex(reset);
        Child<QLineEdit>(dialog, "BenchPath")->setText(benchPath);
        for (QCheckBox* box : dialog->findChildren<QCheckBox*>())
            box->setChecked(boxes.contains(box->objectName()));
        Child<QPushButton>(dialog, "CommandOK")->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

private slots:
    void initTestCase() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir_.path());
    }
    void init() {
        ClearUserSettings();
        StartWindow();
    }
    void cleanup() { CloseWindow(); }

    void choicesAreKeptInTheUserSettingsNotInTheOptionFile() {
        QVERIFY(window_->findChild<QAction*>("mnuExt")->isEnabled()); // before any Open
        Choose({"CheckActionKinds", "CheckStatePort"}, 2);
        const Extensions stored = LoadExtensionChoices();
        QCOMPARE(int(stored.Reset), int(ResetStyle::Async));
        QVERIFY(stored.ActionKinds && stored.StatePort && !stored.TypedPorts && !stored.AnyVersion);
        QVERIFY(!QFile::exists(programDir_.filePath("option.dat")));

        FormExtensions* again = Dialog(); // shows what was stored; Cancel drops changes
        QVERIFY(Child<QCheckBox>(again, "CheckStatePort")->isChecked());
        QCOMPARE(Child<QComboBox>(again, "ComboReset")->currentIndex(), 2);
        Child<QCheckBox>(again, "CheckStatePort")->setChecked(false);
        Child<QPushButton>(again, "CommandCancel")->click();
        QVERIFY(LoadExtensionChoices().StatePort);
    }

    void acceptingOtherVersionsLetsOpenPassThem() {
        QFile file(Work("older.asf"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("VERSION=1.21\r\nOBJECTS\r\nEND\r\n");
        file.close();
        Open(Work("older.asf"));
        QCOMPARE(platform_.messages.size(), size_t(1));
        QCOMPARE(platform_.messages[0].Text, QString("Invalid ASF File Format"));

        Choose({"CheckAnyVersion"}, 0);
        Open(Work("older.asf"));
        QCOMPARE(platform_.messages.size(), size_t(1));
        QCOMPARE(window_->StatusText(), Work("older.asf") + " File Opened");
        QVERIFY(window_->findChild<QAction*>("mnuFSM")->isEnabled());
    }

    void generateWritesWhatTheBatchToolWritesWithTheSameChoices() {
        const QString pump = KESTROM_TEST_DATA "/extensions/pump.asf";
        Choose({"CheckActionKinds", "CheckTypedPorts", "CheckStatePort"}, 1);
        Open(pump);
        platform_.saveAnswers.push_back(Work("pump.cpp"));
        window_->mnuFSM_Click();
        QCOMPARE(window_->StatusText(), Work("pump.cpp") + " generated Successfully!");
        QCOMPARE(platform_.messages.back().Title, QString("Done!"));
        const QStringList details = platform_.messages.back().Details.split('\n');
        QCOMPARE(details.size(), 2);
        QVERIFY(details[0].startsWith(pump + ":4: warning: the actions and conditions are in "
                                             "Verilog (LANGUAGE=VERILOG)"));
        QCOMPARE(details[1], pump + ":58: warning: action of the diagram is not written");

        FsmModel batchModel;
        Diagnostics warnings;
        const std::string batch =
            GenerateModule(pump.toStdString(), batchModel, LoadExtensionChoices(), warnings);
        QCOMPARE(ReadAll(Work("pump.cpp")), QByteArray::fromStdString(batch));
        QCOMPARE(window_->Views()->Code()->Bytes(), ReadAll(Work("pump.cpp")));
        QVERIFY(batch.find("InReset") != std::string::npos);
    }

    void theTestBenchGoesBesideTheModuleOrWhereChosen() {
        QCOMPARE(BenchPathFor({true, ""}, "/w/pump.v1.cpp"), QString("/w/pump.v1_tb.cpp"));
        QCOMPARE(BenchPathFor({true, "sim/tb.cpp"}, "/w/pump.cpp"), QString("/w/sim/tb.cpp"));
        QCOMPARE(BenchPathFor({true, "/t/tb.cpp"}, "/w/pump.cpp"), QString("/t/tb.cpp"));

        Choose({"CheckTestBench"}, 0);
        Open(Example("toggle.asf"));
        platform_.saveAnswers.push_back(Work("toggle.cpp"));
        window_->mnuFSM_Click();
        QCOMPARE(window_->StatusText(), Work("toggle.cpp") + " generated Successfully!");
        QVERIFY(ReadAll(Work("toggle.cpp")).contains("sc_out <int> fsm_state ;"));
        QVERIFY(ReadAll(Work("toggle_tb.cpp")).contains("#include \"toggle.cpp\""));
        QCOMPARE(window_->Views()->Code()->Bytes(), ReadAll(Work("toggle.cpp")));

        Choose({}, 0); // the bench box unchecked again: the plain file, no bench
        QFile::remove(Work("toggle_tb.cpp"));
        platform_.saveAnswers.push_back(Work("toggle.cpp"));
        window_->mnuFSM_Click();
        QCOMPARE(ReadAll(Work("toggle.cpp")), ReadAll(KESTROM_GOLDEN "/toggle_thread.cpp"));
        QCOMPARE(window_->Views()->Code()->Bytes(), ReadAll(Work("toggle.cpp")));
        QVERIFY(!QFile::exists(Work("toggle_tb.cpp")));
    }

    // The warning about untranslated Verilog names the box that translates it.
    void theLanguageWarningNamesTheTranslatingChoice() {
        Open(Example("keyfilter.asf"));
        window_->mnuExt_Click();
        const QString box = window_->ExtensionsDialog()->findChild<QCheckBox*>("CheckHdl")->text();
        window_->ExtensionsDialog()->reject();
        const QStringList rows = window_->Views()->Problems()->Rows().filter("[K116]");
        QCOMPARE(rows.size(), 1);
        QVERIFY2(rows[0].contains("\"" + box + "\""), qPrintable(rows[0]));
        QVERIFY(rows[0].contains("--hdl"));
    }
};

QTEST_MAIN(ExtensionsDialogTest)
#include "ExtensionsDialogTest.moc"
