// The waveform of the last cycles drawn in the window: the state and every
// port and signal, one row each, a fixed width per cycle; the scroll bar
// goes back through the kept trace, and follows the end while it is there.
#pragma once

#include <QWidget>

#include "sim/Controller.h"
#include "sim/Protocol.h"

class QScrollBar;

namespace kestrom::ui {

class WaveformStrip : public QWidget {
    Q_OBJECT

public:
    explicit WaveformStrip(QWidget* parent = nullptr);

    void SetSignals(const sim::Hello& hello);
    void SetRows(std::vector<sim::Controller::Row> rows);
    // The first cycle shown, for tests.
    int FirstShown() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Track {
        QString Name;
        int Bits = 1;
        int Input = -1; // index into a row's inputs, or -1
        int Value = -1; // index into a row's values, or -1 (both -1: the state)
    };

    int VisibleCycles() const;
    void UpdateScrollRange(bool follow);
    QString ValueOf(const sim::TraceRow& row, const Track& track) const;
    void PaintTrack(QPainter& painter, const Track& track, int top, int first, int count) const;

    std::vector<Track> tracks_;
    std::vector<sim::Controller::Row> rows_;
    QScrollBar* scroll_ = nullptr;
};

} // namespace kestrom::ui
