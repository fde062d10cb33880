#include "ui/MDIFormMain.h"

#include <new>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QStringList>
#include <QToolBar>

#include "conversion/AsfReader.h"
#include "conversion/Generation.h"
#include "extensions/ExtendedGeneration.h"
#include "extensions/TestBenchGeneration.h"
#include "io/InputFile.h"
#include "io/OutputFile.h"
#include "model/ProductInfo.h"
#include "ui/ConditionCheck.h"
#include "ui/FileViews.h"
#include "ui/FormAbout.h"
#include "ui/FormExtensions.h"
#include "ui/FormOption.h"
#include "ui/HelpViewer.h"
#include "ui/Platform.h"
#include "ui/ViewGeneration.h"
#include "ui/WindowMemory.h"
#include "ui/WindowServices.h"

namespace kestrom::ui {
namespace {

constexpr int kClientWidthTwips = 7335;
constexpr int kClientHeightTwips = 4590;
const QColor kWorkspaceColour(224, 224, 224);

std::string LocalPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}
QString FromLocalPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

bool IsTrue(Flag flag) {
    return flag == kTrue;
}

// A new name without an extension gets one; an existing file keeps its name.
QString WithExtension(const QString& path, const char* extension) {
    const QFileInfo file(path);
    return file.suffix().isEmpty() && !file.exists() ? path + extension : path;
}

} // namespace

MDIFormMain::MDIFormMain(Platform& platform, FsmModel& model) : platform_(platform), model_(model) {
    setObjectName("MDIFormMain");
    setWindowTitle(QString::fromUtf8(kProductName.data(), int(kProductName.size())));
    QIcon icon;
    icon.addFile(":/icons/kestrom.png", QSize(24, 24));
    icon.addFile(":/icons/kestrom-64.png", QSize(64, 64));
    setWindowIcon(icon);
    setContextMenuPolicy(Qt::NoContextMenu); // the tool bar cannot be hidden

    workspace_ = new QMdiArea(this);
    workspace_->setObjectName("Workspace");
    workspace_->setBackground(kWorkspaceColour);
    setCentralWidget(workspace_);

    commonDialogASF_ = {"Select FSM (.asf) File...", "ASF (*.asf)", {}};
    commonDialogCPP_ = {"SystemC FSM File Save As...", "CPP File (*.cpp)", {}};
    exportDialog_ = {"Export Picture", "Pictures (*.svg *.png)", {}};

    BuildMenus();
    BuildToolbar();
    BuildStatusBar();
    // The client area lies below the menu bar.
    resize(Pixels(kClientWidthTwips), Pixels(kClientHeightTwips) + menuBar()->sizeHint().height());
    if (const QByteArray geometry = LoadWindowGeometry(); !geometry.isEmpty())
        restoreGeometry(geometry);
    setAcceptDrops(true);

    // Load.
    asfOpened_ = kFalse;
    mnuClose_Click();
    ActivateVisualStyle(*this);
}

MDIFormMain::~MDIFormMain() {
    SaveWindowGeometry(saveGeometry());
}

QAction* MDIFormMain::AddCommand(QMenu* menu, const QString& name, const QString& caption,
                                 const QKeySequence& shortcut, void (MDIFormMain::*command)()) {
    QAction* item = menu->addAction(caption);
    item->setObjectName(name);
    item->setShortcut(shortcut);
    item->setShortcutContext(Qt::WindowShortcut);
    // A disabled menu takes its items' shortcuts with it.
    connect(item, &QAction::triggered, this, [this, menu, item, command] {
        if (item->isEnabled() && menu->menuAction()->isEnabled()) (this->*command)();
    });
    return item;
}

void MDIFormMain::BuildMenus() {
    mnuFile_ = menuBar()->addMenu("&File");
    mnuFile_->setObjectName("mnuFile");
    AddCommand(mnuFile_, "mnuOpen", "Open", QKeySequence("Ctrl+O"), &MDIFormMain::mnuOpen_Click);
    mnuClose_ = AddCommand(mnuFile_, "mnuClose", "Close", QKeySequence("Ctrl+C"),
                           &MDIFormMain::mnuClose_Click);
    mnuExport_ = AddCommand(mnuFile_, "mnuExport", "Export Picture\u2026", QKeySequence(),
                            &MDIFormMain::mnuExport_Click);
    mnuFile_->addSeparator()->setObjectName("line1");
    AddCommand(mnuFile_, "mnuExit", "Exit", QKeySequence("Ctrl+X"), &MDIFormMain::mnuExit_Click);
    ShowRecentFiles();

    mnuGen_ = menuBar()->addMenu("&Generate");
    mnuGen_->setObjectName("mnuGen");
    mnuFSM_ = AddCommand(mnuGen_, "mnuFSM", "SystemC FSM Code", QKeySequence("Ctrl+S"),
                         &MDIFormMain::mnuFSM_Click);
    mnuOpt_ = AddCommand(mnuGen_, "mnuOpt", "Option", QKeySequence(), &MDIFormMain::mnuOpt_Click);
    AddCommand(mnuGen_, "mnuExt", "Extensions\u2026", QKeySequence(), &MDIFormMain::mnuExt_Click);

    mnuHelp_ = menuBar()->addMenu("&Help");
    mnuHelp_->setObjectName("mnuHelp");
    AddCommand(mnuHelp_, "mnuHelpTopic", "Help Topics", QKeySequence("F1"),
               &MDIFormMain::mnuHelpTopic_Click);
    mnuHelp_->addSeparator()->setObjectName("line2");
    AddCommand(mnuHelp_, "mnuAbout", "About", QKeySequence(), &MDIFormMain::mnuAbout_Click);

    auto* find = new QAction(this);
    find->setObjectName("FindInView");
    find->setShortcut(QKeySequence("Ctrl+F"));
    find->setShortcutContext(Qt::WindowShortcut);
    connect(find, &QAction::triggered, this, &MDIFormMain::FindInView);
    addAction(find);
}

bool MDIFormMain::BackgroundWorkRunning() const {
    return generating_ || (views_ && views_->Conditions()->Running());
}

void MDIFormMain::FindInView() {
    if (!views_) return;
    const bool inCode = views_->CodeShown();
    const std::optional<QString> text =
        platform_.AskText(this, "Find", inCode ? "Text in the code:" : "State name:");
    if (!text || text->isEmpty()) return;
    if (!views_->Find(*text)) SetStatusText("\"" + *text + "\" not found");
}

void MDIFormMain::BuildToolbar() {
    toolbarASF_ = addToolBar("ToolbarASF");
    toolbarASF_->setObjectName("ToolbarASF");
    toolbarASF_->setMovable(false);
    toolbarASF_->setFloatable(false);
    toolbarASF_->setIconSize(QSize(24, 24));
    toolbarASF_->setToolButtonStyle(Qt::ToolButtonIconOnly);

    const struct {
        const char* image;
        const char* tooltip;
    } buttons[] = {{":/icons/kestrom.png", "Open ASF File"},
                   {":/icons/generate.png", "Generate SystemC FSM Code"},
                   {":/icons/help.png", "Help"}};
    for (int i = 0; i < 3; ++i) {
        QAction* button = toolbarASF_->addAction(QIcon(buttons[i].image), QString());
        button->setObjectName(QString("ToolbarASF_Button%1").arg(i + 1));
        button->setToolTip(buttons[i].tooltip);
        connect(button, &QAction::triggered, this, [this, i] { ToolbarASF_ButtonClick(i + 1); });
        toolbarButtons_[i] = button;
    }
}

void MDIFormMain::BuildStatusBar() {
    // A permanent label, so that menu status tips never cover the text.
    statusBarASF_ = new QLabel(this);
    statusBarASF_->setObjectName("StatusBarASF");
    statusBar()->addPermanentWidget(statusBarASF_, 1);
}

QString MDIFormMain::StatusText() const {
    return statusBarASF_->text();
}

void MDIFormMain::SetStatusText(const QString& text) {
    statusBarASF_->setText(text);
    statusBarASF_->repaint(); // seen while the command runs, as before its message box
}

FormOption* MDIFormMain::OptionsDialog() const {
    return formOption_;
}
FormAbout* MDIFormMain::AboutBox() const {
    return formAbout_;
}
FormExtensions* MDIFormMain::ExtensionsDialog() const {
    return formExtensions_;
}

void MDIFormMain::EnDisMDI(Flag enable) {
    bool menusOn = IsTrue(enable);
    mnuFile_->menuAction()->setEnabled(menusOn);
    mnuGen_->menuAction()->setEnabled(menusOn);
    mnuHelp_->menuAction()->setEnabled(true);
    toolbarButtons_[0]->setEnabled(menusOn);
    toolbarButtons_[2]->setEnabled(true);
    bool fileOn = menusOn && asfOpened_ != kFalse;
    if (menusOn) {
        mnuClose_->setEnabled(fileOn);
        mnuExport_->setEnabled(fileOn);
        mnuFSM_->setEnabled(fileOn);
        mnuOpt_->setEnabled(fileOn);
    }
    toolbarButtons_[1]->setEnabled(fileOn);
}

void MDIFormMain::ToolbarASF_ButtonClick(int index) {
    switch (index) {
    case 1:
        mnuOpen_Click();
        break;
    case 2:
        mnuFSM_Click();
        break;
    case 3:
        mnuHelpTopic_Click();
        break;
    default:
        break;
    }
}

void MDIFormMain::mnuOpen_Click() {
    auto chosen = platform_.ChooseOpenFile(
        this, {commonDialogASF_.Title, commonDialogASF_.Filter, commonDialogASF_.FileName});
    if (chosen) OpenFile(*chosen);
}

void MDIFormMain::OpenFile(const QString& path) {
    const QString chosen = QFileInfo(path).absoluteFilePath();
    commonDialogASF_.FileName = chosen;
    SetStatusText(chosen + " File Opened");
    model_.AsfPath = LocalPath(chosen);
    if (RefusedAsNotRegular()) return;

    bool passes = false;
    QString refusal;
    try {
        const std::string why = FirstLineRefusal(model_.AsfPath, OpenExtensionChoices());
        passes = why.empty();
        if (!passes) refusal = FromLocalPath(FormatDiagnostic(model_.AsfPath, 1, "error", why));
    } catch (const Error&) {
        passes = false; // an unreadable file has no first line
    } catch (const std::bad_alloc&) {
        passes = false; // the last resort: a first line longer than memory holds
    }
    if (passes) {
        asfOpened_ = kTrue;
        RememberRecentFile(chosen);
        ShowRecentFiles();
        views_.reset();
        views_ = std::make_unique<FileViews>(*this, *workspace_, chosen, [this] {
            return GenerationChoices{ProcessKindForViews(platform_, model_.ProcessKind),
                                     ModuleExtensionChoices(), LoadHdlChoice()};
        });
    } else {
        asfOpened_ = kFalse;
        platform_.ShowMessage(
            this, {"Invalid ASF File Format", "ASF File Error", MessageIcon::Error, refusal});
        mnuClose_Click();
    }
    EnDisMDI(kTrue);
}

void MDIFormMain::OpenNamedFile(const QString& path) {
    const QString named = QFileInfo(path).absoluteFilePath();
    if (QFileInfo::exists(named)) return OpenFile(path);
    SetStatusText(named + " does not exist");
    platform_.ShowMessage(this, {FromLocalPath(FormatDiagnostic(LocalPath(named), 0, "error",
                                                                "the file does not exist")),
                                 "ASF File Error", MessageIcon::Error, QString()});
}

// A FIFO or device would block the first-line test: say so and close.
bool MDIFormMain::RefusedAsNotRegular() {
    try {
        RequireRegularInput(model_.AsfPath);
        return false;
    } catch (const AsfError& error) {
        platform_.ShowMessage(this, {FromLocalPath(FormatDiagnostic(model_.AsfPath, error.Line(),
                                                                    "error", error.Message())),
                                     "ASF File Error", MessageIcon::Error, QString()});
    }
    asfOpened_ = kFalse;
    mnuClose_Click();
    return true;
}

void MDIFormMain::mnuClose_Click() {
    views_.reset();
    SetStatusText("No ASF File Opened");
    asfOpened_ = kFalse;
    EnDisMDI(kTrue);
}

void MDIFormMain::mnuExit_Click() {
    if (BackgroundWorkRunning() &&
        !platform_.Confirm(this, {"A generation or a condition check is still under way. "
                                  "End the program anyway?",
                                  "Exit", MessageIcon::Warning, QString()}))
        return;
    platform_.EndProgram();
}

void MDIFormMain::ReportNotGenerated(const QString& cppPath, const QString& title,
                                     const QString& text) {
    RefreshViews();
    SetStatusText(cppPath + " not generated");
    platform_.ShowMessage(this, {text, title, MessageIcon::Error, QString()});
    EnDisMDI(kTrue);
}

// MODULE.cpp beside the ASF file, unless a name was chosen for this file.
QString MDIFormMain::ProposedModuleFile() const {
    const QString asf = FromLocalPath(model_.AsfPath);
    if (!commonDialogCPP_.FileName.isEmpty() && moduleChosenFor_ == asf)
        return commonDialogCPP_.FileName;
    if (!views_ || views_->ModuleName().isEmpty()) return commonDialogCPP_.FileName;
    return QFileInfo(asf).dir().filePath(views_->ModuleName() + ".cpp");
}

void MDIFormMain::mnuFSM_Click() {
    auto chosen = platform_.ChooseSaveFile(
        this, {commonDialogCPP_.Title, commonDialogCPP_.Filter, ProposedModuleFile()});
    if (!chosen) return;
    *chosen = WithExtension(*chosen, ".cpp");
    commonDialogCPP_.FileName = *chosen;
    moduleChosenFor_ = FromLocalPath(model_.AsfPath);
    SetStatusText("Generating " + *chosen + "...");
    model_.CppPath = LocalPath(*chosen);

    try {
        LoadProcessKind(platform_, model_);
    } catch (const Error&) {
        // The stored choice cannot be read: generate with the one in memory.
    }

    Diagnostics warnings;
    try {
        RequireRegularInput(model_.AsfPath);
        RequireRegularOutput(model_.CppPath);
        const struct Busy {
            bool& Flag;
            explicit Busy(bool& flag) : Flag(flag) { Flag = true; }
            ~Busy() { Flag = false; }
        } busy(generating_);
        warnings = GenerateWithChoices();
    } catch (const AsfError& error) {
        ReportNotGenerated(*chosen, "ASF File Error",
                           FromLocalPath(FormatDiagnostic(model_.AsfPath, error.Line(), "error",
                                                          error.Message())));
        return;
    } catch (const OutputError& error) {
        ReportNotGenerated(*chosen, "Output File Error",
                           FromLocalPath(FormatDiagnostic(model_.CppPath, error.Line(), "error",
                                                          error.Message())));
        return;
    } catch (const std::bad_alloc&) {
        ReportNotGenerated(
            *chosen, "Not Enough Memory",
            FromLocalPath(FormatDiagnostic(model_.AsfPath, 0, "error", kNotEnoughMemory)));
        return;
    }

    RefreshViews();
    QString done = *chosen + " generated Successfully!";
    SetStatusText(done);
    QStringList details;
    for (const Diagnostic& warning : warnings)
        details << FromLocalPath(
            FormatDiagnostic(model_.AsfPath, warning.Line, "warning", warning.Message));
    platform_.ShowMessage(this, {done, "Done!", MessageIcon::None, details.join('\n')});
    EnDisMDI(kTrue);
}

void MDIFormMain::RefreshViews() {
    if (views_) views_->Refresh();
}

void MDIFormMain::mnuExport_Click() {
    auto chosen = platform_.ChooseSaveFile(
        this, {exportDialog_.Title, exportDialog_.Filter, exportDialog_.FileName});
    if (!chosen || !views_) return;
    *chosen = WithExtension(*chosen, ".svg");
    exportDialog_.FileName = *chosen;
    const auto showError = [this](const std::exception& error) {
        platform_.ShowMessage(this, {QString::fromLocal8Bit(error.what()), "Picture Export Error",
                                     MessageIcon::Error, QString()});
    };
    try {
        views_->ExportPicture(*chosen);
        SetStatusText("Picture " + *chosen + " written");
    } catch (const Error& error) {
        showError(error);
    } catch (const std::bad_alloc& error) {
        showError(error); // the last resort: a picture too large to draw in memory
    }
}

Diagnostics MDIFormMain::GenerateWithChoices() {
    const BenchChoice bench = LoadBenchChoice();
    const translation::HdlOptions hdl = LoadHdlChoice();
    if (hdl.Enabled) return GenerateTranslated(model_, hdl, LoadExtensionChoices(), bench);
    if (!bench.Write)
        return GenerateModuleFile(model_.AsfPath, model_.CppPath, model_, LoadExtensionChoices());
    TestBenchRequest request;
    request.BenchPath = LocalPath(BenchPathFor(bench, FromLocalPath(model_.CppPath)));
    return GenerateModuleWithTestBench(model_.AsfPath, model_.CppPath, model_,
                                       LoadExtensionChoices(), request);
}

void MDIFormMain::mnuOpt_Click() {
    if (formOption_ && !formOption_->isHidden()) {
        formOption_->raise();
        formOption_->activateWindow();
    } else {
        formOption_ = new FormOption(*this);
    }
    formOption_->show();
    EnDisMDI(kFalse);
}

void MDIFormMain::mnuExt_Click() {
    if (!formExtensions_) {
        formExtensions_ = new FormExtensions(this);
        connect(formExtensions_, &QDialog::accepted, this, &MDIFormMain::RefreshViews);
    }
    formExtensions_->open();
}

void MDIFormMain::mnuAbout_Click() {
    if (!formAbout_ || formAbout_->isHidden()) formAbout_ = new FormAbout(*this);
    formAbout_->show();
    formAbout_->raise();
    formAbout_->activateWindow();
    EnDisMDI(kFalse);
}

void MDIFormMain::mnuHelpTopic_Click() {
    platform_.ShowHelp(this, HelpFileLocation(platform_.ProgramDirectory()));
}

} // namespace kestrom::ui
