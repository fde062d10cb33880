// The window program: creates the main window, which loads and shows itself.
#include <QApplication>

#include "model/FsmModel.h"
#include "ui/MDIFormMain.h"
#include "ui/QtPlatform.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("Kestrom");
    kestrom::ui::QtPlatform platform;
    kestrom::ui::MDIFormMain window(platform, kestrom::ProgramModel());
    return application.exec();
}
