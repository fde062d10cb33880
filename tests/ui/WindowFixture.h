// The main window over a FakePlatform, made afresh for every test function,
// and the file helpers the window tests share.
#pragma once

#include <memory>

#include <QCoreApplication>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include "FakePlatform.h"
#include "model/FsmModel.h"
#include "ui/MDIFormMain.h"

namespace kestrom::ui {

// A missing file reads as "<missing>", so that it never equals an empty text.
inline QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

inline void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// Forgets the extension choices an earlier test stored.
inline void ClearUserSettings() {
    QSettings(QSettings::NativeFormat, QSettings::UserScope, "Kestrom", "Kestrom").clear();
}

// A test class derives from QObject and this, and calls StartWindow from its
// init slot and CloseWindow from its cleanup slot.
class WindowFixture {
protected:
    // A new window over a fresh platform and model, and no option file.
    void StartWindow() {
        platform_ = FakePlatform();
        platform_.programDirectory = programDir_.path();
        QFile::remove(programDir_.filePath("option.dat"));
        // The place, panel height and recent files an earlier window left.
        QSettings(QSettings::NativeFormat, QSettings::UserScope, "Kestrom", "Kestrom")
            .remove("Window");
        model_ = std::make_unique<FsmModel>();
        window_ = std::make_unique<MDIFormMain>(platform_, *model_);
    }
    void CloseWindow() {
        window_.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QString Work(const QString& name) const { return workDir_.filePath(name); }
    QString Example(const char* name) const { return QString(KESTROM_EXAMPLES "/") + name; }
    void Open(const FakePlatform::Answer& path) {
        platform_.openAnswers.push_back(path);
        window_->mnuOpen_Click();
    }

    QTemporaryDir programDir_;
    QTemporaryDir workDir_;
    FakePlatform platform_;
    std::unique_ptr<FsmModel> model_;
    std::unique_ptr<MDIFormMain> window_;
};

} // namespace kestrom::ui
