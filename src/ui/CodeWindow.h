// The code window: the bytes Generate would write now, read-only, monospaced
// and coloured as C++. Only the lines in view are laid out and coloured, so
// that the largest file shows at once; lines can be selected and copied.
#pragma once

#include <QAbstractScrollArea>
#include <QByteArray>
#include <QPoint>
#include <QStringList>
#include <utility>
#include <vector>

namespace kestrom::ui {

class CodeWindow : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit CodeWindow(QWidget* parent = nullptr);

    // Shows the bytes; the view keeps its place when they change.
    void Show(const QByteArray& bytes);
    const QByteArray& Bytes() const { return bytes_; }
    // As shown: one entry per line, tabs expanded.
    const QStringList& Lines() const { return lines_; }
    QString SelectedText() const;
    void SelectAll();
    // Ctrl+Insert and the context menu; Ctrl+C is the window's Close.
    void Copy() const;
    // Selects the next place of the text (any case) after the selection,
    // around to the start, and scrolls it into view; false when there is none.
    bool Find(const QString& text);
    std::pair<QPoint, QPoint> SelectionRange() const { return Selection(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    // x: column, y: line.
    QPoint PositionAt(const QPoint& pixel) const;
    std::pair<QPoint, QPoint> Selection() const; // in reading order
    void PaintLine(QPainter& painter, int line, int top) const;
    void UpdateScrollBars();
    void ScrollTo(const QPoint& position);
    int LineHeight() const;
    double ColumnWidth() const;

    QByteArray bytes_;
    QStringList lines_;
    std::vector<bool> startsInComment_;
    int longestLine_ = 0;
    QPoint anchor_{-1, -1}; // where the selection starts
    QPoint cursor_{-1, -1}; // where it ends
};

} // namespace kestrom::ui
