// The Options dialog and the option file it keeps: the process kind of the
// generated module, method or thread.
#pragma once

#include <QDialog>

#include "base/Error.h"
#include "model/FsmModel.h"

class QGroupBox;
class QPushButton;
class QRadioButton;

namespace kestrom::ui {

class MDIFormMain;
class Platform;

// option.dat in the program's directory. Both throw OptionFileError, whose
// message names the file and the reason.
void LoadProcessKind(const Platform& platform, FsmModel& model);
void SaveProcessKind(const Platform& platform, const FsmModel& model);

class FormOption : public QDialog {
    Q_OBJECT

public:
    // Loads the stored choice and shows itself, placed over the main window.
    explicit FormOption(MDIFormMain& main);

    void CommandOK_Click();
    void CommandCancel_Click();
    // The window's close control and Escape act as Cancel.
    void reject() override;

    bool MethodSelected() const;

private:
    void Unload();
    void ReportOptionFileError(const Error& error);

    MDIFormMain& main_;
    QGroupBox* frame1_ = nullptr;
    QRadioButton* optionM_[2] = {};
    QPushButton* commandOK_ = nullptr;
    QPushButton* commandCancel_ = nullptr;
};

} // namespace kestrom::ui
