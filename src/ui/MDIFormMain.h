// The main window: menus, tool bar and status bar, the seven commands and the
// enabling of commands that the two dialogs share with it.
#pragma once

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <memory>

#include "base/Diagnostics.h"
#include "model/FsmModel.h"

class QAction;
class QDragEnterEvent;
class QDropEvent;
class QLabel;
class QMdiArea;
class QMenu;
class QToolBar;

namespace kestrom::ui {

class FileViews;
class FormAbout;
class FormExtensions;
class FormOption;
class Platform;

class MDIFormMain : public QMainWindow {
    Q_OBJECT

public:
    // Builds and loads the window, which shows it.
    MDIFormMain(Platform& platform, FsmModel& model);
    ~MDIFormMain() override;

    // Enables File, Generate and toolbar button 1 when enable is -1, and then
    // Close, Generate, Option and toolbar button 2 only while a file is open.
    void EnDisMDI(Flag enable);

    void mnuOpen_Click();
    // Opens the file as if it had been chosen in the open dialog.
    void OpenFile(const QString& path);
    // A path named on the command line: opened as chosen when it exists.
    void OpenNamedFile(const QString& path);
    void mnuClose_Click();
    void mnuExport_Click();
    void mnuExit_Click();
    void mnuFSM_Click();
    void mnuOpt_Click();
    void mnuExt_Click();
    void mnuHelpTopic_Click();
    void mnuAbout_Click();
    // Runs the command of the button at the 1-based index; other indexes do nothing.
    void ToolbarASF_ButtonClick(int index);

    Flag AsfOpened() const { return asfOpened_; }
    QString StatusText() const;
    Platform& platform() const { return platform_; }
    FsmModel& model() const { return model_; }
    FormOption* OptionsDialog() const;
    FormAbout* AboutBox() const;
    FormExtensions* ExtensionsDialog() const;
    // The views of the open file; null while none is open.
    FileViews* Views() const { return views_.get(); }
    // The views read the file again, as after a change of the stored options.
    void RefreshViews();
    // A generation or a condition check is under way; Exit asks first.
    bool BackgroundWorkRunning() const;
    // Ctrl+F: asks for a text and finds it in the code view, or a state by
    // that name in the diagram shown.
    void FindInView();
    // The recent files under the File menu's items, most recent first.
    QList<QAction*> RecentFileItems() const { return recentFiles_; }

protected:
    // A file dropped on the window opens as one named on the command line.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    struct CommonDialog {
        QString Title;
        QString Filter;
        QString FileName; // last chosen, offered again next time
    };

    void BuildMenus();
    void BuildToolbar();
    void BuildStatusBar();
    QAction* AddCommand(QMenu* menu, const QString& name, const QString& caption,
                        const QKeySequence& shortcut, void (MDIFormMain::*command)());
    void SetStatusText(const QString& text);
    // The module, and its test bench when chosen, with the stored extensions.
    Diagnostics GenerateWithChoices();
    void ReportNotGenerated(const QString& cppPath, const QString& title, const QString& text);
    bool RefusedAsNotRegular();
    void ShowRecentFiles();
    bool FileCommandsOn() const;
    QString ProposedModuleFile() const;

    Platform& platform_;
    FsmModel& model_;
    Flag asfOpened_ = kFalse;

    QMenu* mnuFile_ = nullptr;
    QMenu* mnuGen_ = nullptr;
    QMenu* mnuHelp_ = nullptr;
    QAction* mnuClose_ = nullptr;
    QAction* mnuExport_ = nullptr;
    QAction* mnuFSM_ = nullptr;
    QAction* mnuOpt_ = nullptr;
    QToolBar* toolbarASF_ = nullptr;
    QAction* toolbarButtons_[3] = {};
    QAction* recentLine_ = nullptr;
    QList<QAction*> recentFiles_;
    bool generating_ = false;
    QLabel* statusBarASF_ = nullptr;
    QMdiArea* workspace_ = nullptr;

    CommonDialog commonDialogASF_;
    CommonDialog commonDialogCPP_;
    CommonDialog exportDialog_;
    QString moduleChosenFor_; // the ASF file the module's name was chosen for

    std::unique_ptr<FileViews> views_;

    QPointer<FormOption> formOption_;
    QPointer<FormAbout> formAbout_;
    QPointer<FormExtensions> formExtensions_;
};

} // namespace kestrom::ui
