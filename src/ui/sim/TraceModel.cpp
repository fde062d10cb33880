#include "ui/sim/TraceModel.h"

namespace kestrom::ui {

QString TransitionName(const BenchDesign& bench, int id) {
    for (const BenchTransition& transition : bench.Transitions)
        if (transition.Id == id) return QString::fromStdString(transition.Text);
    return id ? QString("#%1").arg(id) : QString();
}

void TraceModel::SetDesign(const sim::Hello& hello, const BenchDesign& bench) {
    beginResetModel();
    inputs_.clear();
    values_.clear();
    for (const sim::SignalInfo& input : hello.Inputs)
        inputs_ << QString::fromStdString(input.Name);
    for (const auto* group : {&hello.Outputs, &hello.Internals})
        for (const sim::SignalInfo& signal : *group)
            values_ << QString::fromStdString(signal.Name);
    bench_ = bench;
    rows_.clear();
    endResetModel();
}

void TraceModel::SetRows(std::vector<sim::Controller::Row> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

int TraceModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int TraceModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 3 + inputs_.size() + values_.size();
}

QVariant TraceModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid()) return {};
    const sim::TraceRow& row = *rows_.at(index.row());
    const int column = index.column();
    if (column == 0) return QString::number(row.Cycle);
    if (column == 1) return QString::fromStdString(row.State) + (row.Reset ? " (reset)" : "");
    const int input = column - 2;
    if (input < inputs_.size())
        return input < int(row.Inputs->size()) ? QString::fromStdString((*row.Inputs)[input])
                                               : QString();
    const int value = input - inputs_.size();
    if (value < values_.size())
        return value < int(row.Values.size()) ? QString::fromStdString(row.Values[value])
                                              : QString();
    return TransitionName(bench_, row.Taken);
}

QVariant TraceModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
    if (section == 0) return "Cycle";
    if (section == 1) return "State";
    const int input = section - 2;
    if (input < inputs_.size()) return inputs_[input];
    const int value = input - inputs_.size();
    if (value < values_.size()) return values_[value];
    return "Transition taken";
}

} // namespace kestrom::ui
