// What the windows ask of the desktop: file dialogs, message boxes, the
// browser, the help viewer, the program's directory and the end of the
// program. The window code goes through this interface only, so its tests
// can answer every dialog themselves.
#pragma once

#include <optional>

#include <QString>

class QWidget;

namespace kestrom::ui {

struct FileDialogRequest {
    QString Title;
    QString Filter;      // one pair, "ASF (*.asf)"
    QString InitialPath; // the name last chosen in this dialog; empty the first time
};

enum class MessageIcon { None, Error, Warning, Information };

struct MessageRequest {
    QString Text;
    QString Title;
    MessageIcon Icon = MessageIcon::None;
    QString Details; // shown on demand; empty for none
};

class Platform {
public:
    virtual ~Platform() = default;

    // The full path chosen, or nothing when the user cancels. The open dialog
    // accepts names of files that do not exist; the save dialog does not ask
    // before replacing a file. Neither adds an extension.
    virtual std::optional<QString> ChooseOpenFile(QWidget* owner,
                                                  const FileDialogRequest& request) = 0;
    virtual std::optional<QString> ChooseSaveFile(QWidget* owner,
                                                  const FileDialogRequest& request) = 0;

    // Modal, with an OK button only; returns when the user dismisses it.
    virtual void ShowMessage(QWidget* owner, const MessageRequest& message) = 0;

    // Modal, with Yes and No buttons; true for Yes.
    virtual bool Confirm(QWidget* owner, const MessageRequest& question) = 0;

    // A line of text the user types (label says what for), or nothing when
    // the user cancels.
    virtual std::optional<QString> AskText(QWidget* owner, const QString& title,
                                           const QString& label) = 0;

    // Hands the address to the user's browser; the result is not examined.
    virtual void OpenWebAddress(QWidget* owner, const QString& address) = 0;

    // Shows the help file at its table of contents and returns at once.
    virtual void ShowHelp(QWidget* owner, const QString& helpFile) = 0;

    // The directory that holds the program file, without a trailing separator.
    virtual QString ProgramDirectory() const = 0;

    // Ends the program at once; open windows go with it.
    virtual void EndProgram() = 0;
};

} // namespace kestrom::ui
