// The Extensions dialog: which additions the generated module gets, whether
// Generate also writes a test bench, and whether Open accepts other ASF
// versions. The choices are kept per user in
// the desktop's settings place, not in option.dat.
#pragma once

#include <QDialog>

#include "extensions/Extensions.h"
#include "translation/HdlOptions.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace kestrom::ui {

// The stored choices; everything off when nothing was stored.
Extensions LoadExtensionChoices();
void SaveExtensionChoices(const Extensions& extensions);

struct BenchChoice {
    bool Write = false;
    QString Path; // empty: beside the module, named after it with "_tb"
};
BenchChoice LoadBenchChoice();
void SaveBenchChoice(const BenchChoice& bench);

// Whether the diagram's texts are translated from its hardware language, and
// where its include files and macro values come from. Include folders are
// separated by ";", defines (NAME=VALUE) by spaces or ";".
translation::HdlOptions LoadHdlChoice();
void SaveHdlChoice(bool translate, const QString& includeDirs, const QString& defines);

// The extensions Generate writes the module with: the stored ones, and the
// state port and coverage hook a test bench needs when one is written too.
Extensions ModuleExtensionChoices();

// The versions Open accepts: the stored choice, or any when the diagram is
// translated (which reads every version it knows).
Extensions OpenExtensionChoices();

// Where the bench of the module at cppPath goes: the chosen path, taken from
// the module's folder when relative.
QString BenchPathFor(const BenchChoice& bench, const QString& cppPath);

class FormExtensions : public QDialog {
    Q_OBJECT

public:
    // Shows the stored choices; OK stores the ones made, Cancel drops them.
    explicit FormExtensions(QWidget* owner);

    void CommandOK_Click();
    Extensions Chosen() const;

private:
    void Show(const Extensions& extensions);

    QComboBox* comboReset_ = nullptr;
    QCheckBox* checkActionKinds_ = nullptr;
    QCheckBox* checkTypedPorts_ = nullptr;
    QCheckBox* checkStatePort_ = nullptr;
    QCheckBox* checkAnyVersion_ = nullptr;
    QCheckBox* checkTestBench_ = nullptr;
    QLineEdit* benchPath_ = nullptr;
    QCheckBox* checkHdl_ = nullptr;
    QLineEdit* includeDirs_ = nullptr;
    QLineEdit* defines_ = nullptr;
};

} // namespace kestrom::ui
