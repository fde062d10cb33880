// The help window: shows the HTML help file beside the program, opened at its
// table of contents, with back and forward, a contents button and a find box.
#pragma once

#include <QMainWindow>
#include <QString>

class QLineEdit;
class QTextBrowser;

namespace kestrom::ui {

// The help file beside the program, as a program run from its build or its own
// folder has it; an installed program finds it in ../share/kestrom instead.
// When neither is there, the path beside the program, so that the failure
// names it.
QString HelpFileLocation(const QString& programDir);

class HelpViewer : public QMainWindow {
    Q_OBJECT

public:
    explicit HelpViewer(QWidget* parent = nullptr);

    // Shows the file at its table of contents; a file that cannot be read is
    // reported in the window itself.
    void ShowTopics(const QString& helpFile);

    QTextBrowser* Browser() const { return browser_; }
    bool HasDocument() const { return hasDocument_; }

private:
    void FindNext();

    QTextBrowser* browser_ = nullptr;
    QLineEdit* findBox_ = nullptr;
    bool hasDocument_ = false;
};

} // namespace kestrom::ui
