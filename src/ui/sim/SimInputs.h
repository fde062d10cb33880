// One control per input port of a simulated module: a check box for one
// bit, a field for a bus that takes decimal, 0x hexadecimal or 0b binary and
// refuses a value that does not fit. The reset's inputs have the panel's
// Reset button instead.
#pragma once

#include <string>

#include <QWidget>

#include "extensions/TestBench.h"
#include "sim/Protocol.h"

class QCheckBox;
class QFormLayout;
class QLineEdit;

namespace kestrom::ui {

class SimInputs : public QWidget {
    Q_OBJECT

public:
    explicit SimInputs(QWidget* parent = nullptr);

    void SetDesign(const sim::Hello& hello, const BenchDesign& bench);
    // Shows the values in force (after going back, say) without sending them.
    void ShowValues(const std::vector<std::string>& words);

    // The keyboard goes to the first control, its value selected.
    void FocusFirst();

    QCheckBox* Toggle(const QString& input) const;
    QLineEdit* Field(const QString& input) const;

signals:
    void ValueSet(const std::string& input, const std::string& value);
    void Refused(const QString& why);

private:
    void Clear();
    void AddToggle(const sim::SignalInfo& input);
    void AddField(const sim::SignalInfo& input);
    void TakeField(QLineEdit* field, const sim::SignalInfo& input);

    QFormLayout* form_ = nullptr;
    sim::Hello hello_;
};

} // namespace kestrom::ui
