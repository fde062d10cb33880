// A desktop whose every dialog the test answers in advance, and which keeps
// what the windows asked of it.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include <QString>
#include <QStringList>

#include "ui/Platform.h"

namespace kestrom::ui {

class FakePlatform : public Platform {
public:
    using Answer = std::optional<QString>;

    std::deque<Answer> openAnswers; // nullopt: the user cancels
    std::deque<Answer> saveAnswers;
    std::vector<FileDialogRequest> openRequests;
    std::vector<FileDialogRequest> saveRequests;
    std::vector<MessageRequest> messages;
    std::function<void(const MessageRequest&)> onMessage; // runs while the box is up
    std::deque<bool> confirmAnswers;                      // an unscripted question is answered No
    std::vector<MessageRequest> questions;
    std::deque<Answer> textAnswers; // nullopt: the user cancels
    QStringList textLabels;
    QStringList webAddresses;
    QStringList helpFiles;
    QString programDirectory;
    int endProgramCalls = 0;

    Answer ChooseOpenFile(QWidget*, const FileDialogRequest& request) override {
        openRequests.push_back(request);
        return Next(openAnswers);
    }
    Answer ChooseSaveFile(QWidget*, const FileDialogRequest& request) override {
        saveRequests.push_back(request);
        return Next(saveAnswers);
    }
    void ShowMessage(QWidget*, const MessageRequest& message) override {
        messages.push_back(message);
        if (onMessage) onMessage(message);
    }
    bool Confirm(QWidget*, const MessageRequest& question) override {
        questions.push_back(question);
        if (confirmAnswers.empty()) return false;
        const bool yes = confirmAnswers.front();
        confirmAnswers.pop_front();
        return yes;
    }
    Answer AskText(QWidget*, const QString&, const QString& label) override {
        textLabels << label;
        return Next(textAnswers);
    }
    void OpenWebAddress(QWidget*, const QString& address) override { webAddresses << address; }
    void ShowHelp(QWidget*, const QString& helpFile) override { helpFiles << helpFile; }
    QString ProgramDirectory() const override { return programDirectory; }
    void EndProgram() override { ++endProgramCalls; }

private:
    static Answer Next(std::deque<Answer>& answers) {
        if (answers.empty()) return std::nullopt; // an unscripted dialog cancels
        bool cancels = !answers.front().has_value();
        QString chosen = answers.front().value_or(QString());
        answers.pop_front();
        return cancels ? Answer() : Answer(chosen);
    }
};

} // namespace kestrom::ui
