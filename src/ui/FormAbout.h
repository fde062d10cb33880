// The About box: the product's name and version and the maker's web address.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace kestrom::ui {

class MDIFormMain;

// The web address the About box shows, fixed when the program is built.
QString HomePage();

class FormAbout : public QDialog {
    Q_OBJECT

public:
    // Loads and shows itself, placed over the main window.
    explicit FormAbout(MDIFormMain& main);

    void Label4_Click();
    void CommandOK_Click();
    // The window's close control and Escape act as OK.
    void reject() override;

private:
    MDIFormMain& main_;
    QLabel* image2_ = nullptr;
    QLabel* labelName_ = nullptr;
    QLabel* labelVer_ = nullptr;
    QLabel* label4_ = nullptr;
    QPushButton* commandOK_ = nullptr;
};

} // namespace kestrom::ui
