// The window program: creates the main window, which loads and shows itself,
// and opens the file named on the command line as the Open command would.
#include <QApplication>
#include <QStringList>

#include "model/FsmModel.h"
#include "ui/MDIFormMain.h"
#include "ui/QtPlatform.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("Kestrom");
    kestrom::ui::QtPlatform platform;
    kestrom::ui::MDIFormMain window(platform, kestrom::ProgramModel());
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1) window.OpenNamedFile(arguments.at(1));
    return application.exec();
}
