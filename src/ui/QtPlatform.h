// The desktop as Qt offers it.
#pragma once

#include <memory>

#include "ui/Platform.h"

namespace kestrom::ui {

class HelpViewer;

class QtPlatform : public Platform {
public:
    QtPlatform();
    ~QtPlatform() override;

    std::optional<QString> ChooseOpenFile(QWidget* owner,
                                          const FileDialogRequest& request) override;
    std::optional<QString> ChooseSaveFile(QWidget* owner,
                                          const FileDialogRequest& request) override;
    void ShowMessage(QWidget* owner, const MessageRequest& message) override;
    bool Confirm(QWidget* owner, const MessageRequest& question) override;
    std::optional<QString> AskText(QWidget* owner, const QString& title,
                                   const QString& label) override;
    void OpenWebAddress(QWidget* owner, const QString& address) override;
    void ShowHelp(QWidget* owner, const QString& helpFile) override;
    QString ProgramDirectory() const override;
    void EndProgram() override;

private:
    std::unique_ptr<HelpViewer> helpViewer_;
};

} // namespace kestrom::ui
