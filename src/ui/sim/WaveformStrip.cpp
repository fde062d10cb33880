#include "ui/sim/WaveformStrip.h"

#include <QPainter>
#include <QScrollBar>

namespace kestrom::ui {
namespace {

constexpr int kNameWidth = 110;
constexpr int kRowHeight = 20;
constexpr int kCycleWidth = 16;
const QColor kTrace(0, 110, 40);
const QColor kGrid(225, 225, 225);

} // namespace

WaveformStrip::WaveformStrip(QWidget* parent) : QWidget(parent) {
    setObjectName("SimulationWaveform");
    scroll_ = new QScrollBar(Qt::Horizontal, this);
    scroll_->setObjectName("WaveformScroll");
    connect(scroll_, &QScrollBar::valueChanged, this, qOverload<>(&QWidget::update));
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
}

void WaveformStrip::SetSignals(const sim::Hello& hello) {
    tracks_ = {{"state", 0, -1, -1}};
    for (std::size_t i = 0; i < hello.Inputs.size(); ++i)
        tracks_.push_back(
            {QString::fromStdString(hello.Inputs[i].Name), hello.Inputs[i].Bits, int(i), -1});
    int value = 0;
    for (const auto* group : {&hello.Outputs, &hello.Internals})
        for (const sim::SignalInfo& signal : *group)
            tracks_.push_back({QString::fromStdString(signal.Name), signal.Bits, -1, value++});
    rows_.clear();
    UpdateScrollRange(true);
    updateGeometry();
    update();
}

void WaveformStrip::SetRows(std::vector<sim::Controller::Row> rows) {
    const bool follow = scroll_->value() >= scroll_->maximum();
    rows_ = std::move(rows);
    UpdateScrollRange(follow);
    update();
}

int WaveformStrip::FirstShown() const {
    return rows_.empty() ? 0 : static_cast<int>(rows_[scroll_->value()]->Cycle);
}

QSize WaveformStrip::sizeHint() const {
    return {kNameWidth + 40 * kCycleWidth, int(tracks_.size()) * kRowHeight + 24};
}

int WaveformStrip::VisibleCycles() const {
    return std::max(1, (width() - kNameWidth) / kCycleWidth);
}

void WaveformStrip::UpdateScrollRange(bool follow) {
    const int maximum = std::max(0, int(rows_.size()) - VisibleCycles());
    scroll_->setRange(0, maximum);
    scroll_->setPageStep(VisibleCycles());
    if (follow) scroll_->setValue(maximum);
}

void WaveformStrip::resizeEvent(QResizeEvent*) {
    const int bar = scroll_->sizeHint().height();
    scroll_->setGeometry(kNameWidth, height() - bar, width() - kNameWidth, bar);
    UpdateScrollRange(scroll_->value() >= scroll_->maximum());
}

QString WaveformStrip::ValueOf(const sim::TraceRow& row, const Track& track) const {
    if (track.Input >= 0)
        return track.Input < int(row.Inputs->size())
                   ? QString::fromStdString((*row.Inputs)[track.Input])
                   : QString();
    if (track.Value >= 0)
        return track.Value < int(row.Values.size())
                   ? QString::fromStdString(row.Values[track.Value])
                   : QString();
    return QString::fromStdString(row.State);
}

void WaveformStrip::PaintTrack(QPainter& painter, const Track& track, int top, int first,
                               int count) const {
    const int high = top + 4, low = top + kRowHeight - 4, middle = top + kRowHeight / 2;
    painter.setPen(Qt::black);
    painter.drawText(QRect(4, top, kNameWidth - 8, kRowHeight), Qt::AlignVCenter | Qt::AlignLeft,
                     track.Name);
    painter.setPen(QPen(kTrace, 1.5));
    for (int i = 0; i < count; ++i) {
        const sim::TraceRow& row = *rows_[first + i];
        const QString value = ValueOf(row, track);
        const bool changed = i == 0 || ValueOf(*rows_[first + i - 1], track) != value;
        const int x = kNameWidth + i * kCycleWidth, end = x + kCycleWidth;
        if (track.Bits == 1) {
            const int y = value == "0" ? low : high;
            if (changed && i > 0) painter.drawLine(x, high, x, low);
            painter.drawLine(x, y, end, y);
            continue;
        }
        painter.drawLine(x + (changed ? 2 : 0), high, end, high);
        painter.drawLine(x + (changed ? 2 : 0), low, end, low);
        if (!changed) continue;
        painter.drawLine(x, middle, x + 2, high);
        painter.drawLine(x, middle, x + 2, low);
        int room = kCycleWidth;
        for (int j = i + 1; j < count && ValueOf(*rows_[first + j], track) == value; ++j)
            room += kCycleWidth;
        painter.save();
        painter.setPen(Qt::black);
        painter.drawText(QRect(x + 3, top, room - 4, kRowHeight), Qt::AlignVCenter | Qt::AlignLeft,
                         painter.fontMetrics().elidedText(value, Qt::ElideRight, room - 4));
        painter.restore();
    }
}

void WaveformStrip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int first = scroll_->value();
    const int count = std::min(VisibleCycles(), int(rows_.size()) - first);
    painter.setPen(kGrid);
    for (int i = 0; i <= count; ++i) {
        const int x = kNameWidth + i * kCycleWidth;
        painter.drawLine(x, 0, x, int(tracks_.size()) * kRowHeight);
    }
    for (std::size_t t = 0; t < tracks_.size(); ++t)
        PaintTrack(painter, tracks_[t], int(t) * kRowHeight, first, std::max(0, count));
}

} // namespace kestrom::ui
