#include "ui/FormOption.h"

#include <QButtonGroup>
#include <QFile>
#include <QGroupBox>
#include <QIcon>
#include <QPushButton>
#include <QRadioButton>

#include "io/FileKind.h"
#include "io/OptionFile.h"
#include "ui/MDIFormMain.h"
#include "ui/Platform.h"
#include "ui/WindowServices.h"

namespace kestrom::ui {
namespace {

// Beside the program, or in the user's configuration folder when the
// program's folder cannot be written.
std::string OptionFile(const Platform& platform) {
    const std::string path =
        OptionFileLocation(QFile::encodeName(platform.ProgramDirectory()).toStdString());
    MakeOptionFileDirectory(path);
    return path;
}

QRect TwipsRect(int left, int top, int width, int height) {
    return {Pixels(left), Pixels(top), Pixels(width), Pixels(height)};
}

// A FIFO or device in the option file's place would block the window.
std::string RegularOptionFile(const Platform& platform) {
    const std::string path = OptionFile(platform);
    const std::string reason = NotRegularReasonAt(path);
    if (!reason.empty()) throw OptionFileError("cannot open " + path + ": " + reason);
    return path;
}

} // namespace

void LoadProcessKind(const Platform& platform, FsmModel& model) {
    kestrom::LoadProcessKind(RegularOptionFile(platform), model.ProcessKind);
}

void SaveProcessKind(const Platform& platform, const FsmModel& model) {
    kestrom::SaveProcessKind(RegularOptionFile(platform), model.ProcessKind);
}

FormOption::FormOption(MDIFormMain& main)
    : QDialog(&main, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint),
      main_(main) {
    setObjectName("FormOption");
    setWindowTitle("Options");
    setWindowIcon(QIcon()); // no icon of its own
    setModal(false);
    setAttribute(Qt::WA_QuitOnClose, false);
    setFixedSize(Pixels(2670), Pixels(1665));

    frame1_ = new QGroupBox("Generate SystemC Code for", this);
    frame1_->setObjectName("Frame1");
    frame1_->setGeometry(TwipsRect(120, 120, 2415, 975));
    auto* group = new QButtonGroup(this);
    const char* captions[] = {"Method Process", "Thread Process"};
    for (int i = 0; i < 2; ++i) {
        optionM_[i] = new QRadioButton(captions[i], frame1_);
        optionM_[i]->setObjectName(QString("OptionM%1").arg(i));
        optionM_[i]->setGeometry(TwipsRect(240, 360 + 240 * i, 1575, 255));
        group->addButton(optionM_[i], i);
    }

    commandOK_ = new QPushButton("OK", this);
    commandOK_->setObjectName("CommandOK");
    commandOK_->setGeometry(TwipsRect(720, 1200, 855, 375));
    commandOK_->setDefault(true);
    connect(commandOK_, &QPushButton::clicked, this, &FormOption::CommandOK_Click);
    commandCancel_ = new QPushButton("Cancel", this);
    commandCancel_->setObjectName("CommandCancel");
    commandCancel_->setGeometry(TwipsRect(1680, 1200, 855, 375));
    connect(commandCancel_, &QPushButton::clicked, this, &FormOption::CommandCancel_Click);

    FitFont(*this);

    // Load.
    FsmModel& model = main_.model();
    try {
        LoadProcessKind(main_.platform(), model);
    } catch (const Error& error) {
        ReportOptionFileError(error);
    }
    optionM_[0]->setChecked(model.ProcessKind != 0);
    optionM_[1]->setChecked(Integer(~model.ProcessKind) != 0);
    ActivateVisualStyle(*this);
    PlaceDialog(*this, main_);
}

bool FormOption::MethodSelected() const {
    return optionM_[0]->isChecked();
}

void FormOption::ReportOptionFileError(const Error& error) {
    main_.platform().ShowMessage(
        isVisible() ? static_cast<QWidget*>(this) : &main_,
        {QString::fromLocal8Bit(error.what()), "Option File Error", MessageIcon::Error, QString()});
}

void FormOption::CommandOK_Click() {
    FsmModel& model = main_.model();
    Integer stored = model.ProcessKind;
    model.ProcessKind = MethodSelected() ? kMethodProcess : kThreadProcess;
    try {
        SaveProcessKind(main_.platform(), model);
        main_.RefreshViews();
    } catch (const Error& error) {
        model.ProcessKind = stored; // the file keeps the choice it had
        ReportOptionFileError(error);
    }
    Unload();
}

void FormOption::CommandCancel_Click() {
    Unload();
}

void FormOption::reject() {
    CommandCancel_Click();
}

void FormOption::Unload() {
    main_.EnDisMDI(kTrue);
    hide();
    deleteLater();
}

} // namespace kestrom::ui
