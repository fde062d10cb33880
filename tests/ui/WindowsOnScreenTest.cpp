// Every window the program opens stays on the screen, also on a small screen
// at a large scale factor: CTest runs this on a 1280 x 900 Xvfb screen with
// QT_SCALE_FACTOR=2, where 640 x 450 device-independent pixels are available.
#include <QAction>
#include <QScreen>
#include <QtTest>
#include <memory>

#include "FakePlatform.h"
#include "model/FsmModel.h"
#include "ui/FormAbout.h"
#include "ui/FormExtensions.h"
#include "ui/FormOption.h"
#include "ui/HelpViewer.h"
#include "ui/MDIFormMain.h"

using namespace kestrom;
using namespace kestrom::ui;

namespace {

void ExpectOnScreen(QWidget* window, const char* name) {
    QVERIFY2(window && QTest::qWaitForWindowExposed(window), name);
    const QRect screen = window->screen()->availableGeometry();
    const QRect frame = window->frameGeometry();
    QVERIFY2(screen.contains(frame), qPrintable(QString("%1 at %2,%3 %4x%5 leaves the screen %6x%7")
                                                    .arg(name)
                                                    .arg(frame.x())
                                                    .arg(frame.y())
                                                    .arg(frame.width())
                                                    .arg(frame.height())
                                                    .arg(screen.width())
                                                    .arg(screen.height())));
}

} // namespace

class WindowsOnScreenTest : public QObject {
    Q_OBJECT

private slots:
    void everyWindowFitsTheScreen() {
        FakePlatform platform;
        auto model = std::make_unique<FsmModel>();
        MDIFormMain main(platform, *model);
        main.show();
        ExpectOnScreen(&main, "the main window");

        main.findChild<QAction*>("mnuAbout")->trigger();
        ExpectOnScreen(main.AboutBox(), "the About box");
        main.AboutBox()->close();
        QTRY_VERIFY(!main.AboutBox());

        platform.openAnswers.push_back(KESTROM_EXAMPLES "/toggle.asf");
        main.mnuOpen_Click();
        main.findChild<QAction*>("mnuOpt")->trigger();
        ExpectOnScreen(main.OptionsDialog(), "the Options dialog");
        main.OptionsDialog()->close();
        QTRY_VERIFY(!main.OptionsDialog());

        main.findChild<QAction*>("mnuExt")->trigger();
        ExpectOnScreen(main.ExtensionsDialog(), "the Extensions dialog");

        HelpViewer help;
        help.ShowTopics(KESTROM_HELP_FILE);
        ExpectOnScreen(&help, "the help window");
    }
};

QTEST_MAIN(WindowsOnScreenTest)
#include "WindowsOnScreenTest.moc"
