#include "ui/QtPlatform.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QUrl>

#include "ui/HelpViewer.h"

namespace kestrom::ui {
namespace {

// Qt's own dialog on every desktop: the open dialog must accept names of files
// that do not exist, which some desktops' dialogs refuse.
std::optional<QString> RunFileDialog(QWidget* owner, const FileDialogRequest& request,
                                     QFileDialog::AcceptMode mode) {
    QFileDialog dialog(owner, request.Title);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(request.Filter);
    if (!request.InitialPath.isEmpty()) dialog.selectFile(request.InitialPath);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.first().isEmpty()) return std::nullopt;
    return chosen.first();
}

QMessageBox::Icon BoxIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

QtPlatform::QtPlatform() = default;
QtPlatform::~QtPlatform() = default;

std::optional<QString> QtPlatform::ChooseOpenFile(QWidget* owner,
                                                  const FileDialogRequest& request) {
    return RunFileDialog(owner, request, QFileDialog::AcceptOpen);
}

std::optional<QString> QtPlatform::ChooseSaveFile(QWidget* owner,
                                                  const FileDialogRequest& request) {
    return RunFileDialog(owner, request, QFileDialog::AcceptSave);
}

void QtPlatform::ShowMessage(QWidget* owner, const MessageRequest& message) {
    QMessageBox box(BoxIcon(message.Icon), message.Title, message.Text, QMessageBox::Ok, owner);
    if (!message.Details.isEmpty()) box.setDetailedText(message.Details);
    box.exec();
}

bool QtPlatform::Confirm(QWidget* owner, const MessageRequest& question) {
    QMessageBox box(BoxIcon(question.Icon), question.Title, question.Text,
                    QMessageBox::Yes | QMessageBox::No, owner);
    box.setDefaultButton(QMessageBox::No);
    if (!question.Details.isEmpty()) box.setDetailedText(question.Details);
    return box.exec() == QMessageBox::Yes;
}

std::optional<QString> QtPlatform::AskText(QWidget* owner, const QString& title,
                                           const QString& label) {
    bool given = false;
    const QString text = QInputDialog::getText(owner, title, label, QLineEdit::Normal, {}, &given);
    if (!given) return std::nullopt;
    return text;
}

void QtPlatform::OpenWebAddress(QWidget*, const QString& address) {
    QDesktopServices::openUrl(QUrl::fromUserInput(address));
}

void QtPlatform::ShowHelp(QWidget*, const QString& helpFile) {
    // One viewer for the program's life, a window of its own beside the main one.
    if (!helpViewer_) helpViewer_ = std::make_unique<HelpViewer>();
    helpViewer_->ShowTopics(helpFile);
}

QString QtPlatform::ProgramDirectory() const {
    return QCoreApplication::applicationDirPath();
}

void QtPlatform::EndProgram() {
    QCoreApplication::quit();
}

} // namespace kestrom::ui
