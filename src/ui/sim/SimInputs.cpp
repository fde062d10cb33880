#include "ui/sim/SimInputs.h"

#include <algorithm>

#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>
#include <QLayoutItem>
#include <QLineEdit>

#include "sim/InputValue.h"

namespace kestrom::ui {
namespace {

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

QString Range(const sim::SignalInfo& input) {
    return QString("%1 bit%2%3")
        .arg(input.Bits)
        .arg(input.Bits == 1 ? "" : "s")
        .arg(input.Signed ? ", signed" : "");
}

} // namespace

SimInputs::SimInputs(QWidget* parent) : QWidget(parent) {
    setObjectName("SimulationInputs");
    form_ = new QFormLayout(this);
    form_->setContentsMargins(0, 0, 0, 0);
}

void SimInputs::Clear() {
    while (form_->rowCount() > 0)
        form_->removeRow(0);
}

void SimInputs::SetDesign(const sim::Hello& hello, const BenchDesign& bench) {
    Clear();
    hello_ = hello;
    const std::vector<std::string> resetReads =
        bench.Reset && hello.HasReset ? bench.Reset->Reads : std::vector<std::string>{};
    for (const sim::SignalInfo& input : hello.Inputs) {
        if (std::find(resetReads.begin(), resetReads.end(), input.Name) != resetReads.end())
            continue;
        if (input.Bits == 1 && !input.Signed)
            AddToggle(input);
        else
            AddField(input);
    }
    if (hello.Inputs.empty()) form_->addRow(new QLabel("The module has no inputs"));
}

void SimInputs::AddToggle(const sim::SignalInfo& input) {
    auto* toggle = new QCheckBox(Text(input.Name));
    toggle->setObjectName("Input_" + Text(input.Name));
    toggle->setToolTip(Range(input));
    connect(toggle, &QCheckBox::toggled, this,
            [this, name = input.Name](bool on) { emit ValueSet(name, on ? "1" : "0"); });
    form_->addRow(toggle);
}

void SimInputs::AddField(const sim::SignalInfo& input) {
    auto* field = new QLineEdit("0");
    field->setObjectName("Input_" + Text(input.Name));
    field->setToolTip(Range(input) + "; decimal, 0x hexadecimal or 0b binary");
    connect(field, &QLineEdit::editingFinished, this,
            [this, field, input] { TakeField(field, input); });
    form_->addRow(Text(input.Name), field);
}

void SimInputs::TakeField(QLineEdit* field, const sim::SignalInfo& input) {
    const std::string text = field->text().trimmed().toStdString();
    const sim::CheckedInput checked = sim::CheckInputValue(hello_, input.Name, text);
    if (!checked.Refusal.empty()) {
        field->setStyleSheet("background: #ffd0d0");
        field->setToolTip(Text(checked.Refusal));
        emit Refused(Text(checked.Refusal));
        return;
    }
    field->setStyleSheet({});
    field->setToolTip(Range(input) + "; decimal, 0x hexadecimal or 0b binary");
    emit ValueSet(input.Name, text);
}

void SimInputs::ShowValues(const std::vector<std::string>& words) {
    for (std::size_t i = 0; i < hello_.Inputs.size() && i < words.size(); ++i) {
        const QString name = Text(hello_.Inputs[i].Name);
        if (QCheckBox* toggle = Toggle(name)) {
            const QSignalBlocker quiet(toggle);
            toggle->setChecked(words[i] != "0");
        } else if (QLineEdit* field = Field(name); field && !field->hasFocus()) {
            const QSignalBlocker quiet(field);
            const std::string shown = field->text().trimmed().toStdString();
            // A value typed in another base stays as typed while it is the one in force.
            if (sim::CheckInputValue(hello_, hello_.Inputs[i].Name, shown).Word != words[i])
                field->setText(Text(words[i]));
        }
    }
}

void SimInputs::FocusFirst() {
    for (int row = 0; row < form_->rowCount(); ++row) {
        QLayoutItem* item = form_->itemAt(row, QFormLayout::FieldRole);
        if (!item) item = form_->itemAt(row, QFormLayout::SpanningRole);
        QWidget* control = item ? item->widget() : nullptr;
        if (!control || !control->focusPolicy()) continue;
        control->setFocus(Qt::TabFocusReason);
        if (auto* field = qobject_cast<QLineEdit*>(control)) field->selectAll();
        return;
    }
}

QCheckBox* SimInputs::Toggle(const QString& input) const {
    return findChild<QCheckBox*>("Input_" + input);
}

QLineEdit* SimInputs::Field(const QString& input) const {
    return findChild<QLineEdit*>("Input_" + input);
}

} // namespace kestrom::ui
