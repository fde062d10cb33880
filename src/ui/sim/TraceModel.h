// The simulation's trace as a table: cycle, state, the inputs, the outputs
// and internal signals, the transition taken.
#pragma once

#include <QAbstractTableModel>

#include "extensions/TestBench.h"
#include "sim/Controller.h"
#include "sim/Protocol.h"

namespace kestrom::ui {

class TraceModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit TraceModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    void SetDesign(const sim::Hello& hello, const BenchDesign& bench);
    void SetRows(std::vector<sim::Controller::Row> rows);
    const std::vector<sim::Controller::Row>& Rows() const { return rows_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QStringList inputs_, values_;
    BenchDesign bench_;
    std::vector<sim::Controller::Row> rows_;
};

// The name of the transition a coverage id stands for ("Idle -> Run [go]").
QString TransitionName(const BenchDesign& bench, int id);

} // namespace kestrom::ui
