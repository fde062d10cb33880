// The Extensions dialog: which additions the generated module gets and
// whether Open accepts other ASF versions. The choices are kept per user in
// the desktop's settings place, not in option.dat.
#pragma once

#include <QDialog>

#include "extensions/Extensions.h"

class QCheckBox;
class QComboBox;

namespace kestrom::ui {

// The stored choices; everything off when nothing was stored.
Extensions LoadExtensionChoices();
void SaveExtensionChoices(const Extensions& extensions);

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
};

} // namespace kestrom::ui
