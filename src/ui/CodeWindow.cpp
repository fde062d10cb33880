#include "ui/CodeWindow.h"

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>

#include "base/Utf8.h"
#include "ui/CppHighlighter.h"

namespace kestrom::ui {
namespace {

constexpr int kTabWidth = 4;
constexpr int kMargin = 4;

QString ExpandTabs(const QString& line) {
    if (!line.contains('\t')) return line;
    QString expanded;
    for (QChar c : line) {
        if (c == '\t')
            expanded += QString(kTabWidth - expanded.size() % kTabWidth, ' ');
        else
            expanded += c;
    }
    return expanded;
}

// The colour of each character, later ranges over earlier ones; the result
// points into `colours`.
std::vector<const QTextCharFormat*> FormatsOf(const CppLineColours& colours, qsizetype size) {
    std::vector<const QTextCharFormat*> formats(std::size_t(size), nullptr);
    for (const QTextLayout::FormatRange& range : colours.Ranges)
        for (qsizetype i = range.start; i < std::min<qsizetype>(size, range.start + range.length);
             ++i)
            formats[std::size_t(i)] = &range.format;
    return formats;
}

} // namespace

CodeWindow::CodeWindow(QWidget* parent) : QAbstractScrollArea(parent) {
    setObjectName("CodeWindow");
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    setFont(font);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setBackgroundRole(QPalette::Base);
    setFocusPolicy(Qt::StrongFocus);
    // Ctrl+C and Ctrl+X belong to the window's Close and Exit.
    auto* copy = new QAction("Copy", this);
    copy->setObjectName("CodeCopy");
    copy->setShortcut(QKeySequence("Ctrl+Insert"));
    copy->setShortcutContext(Qt::WidgetShortcut);
    connect(copy, &QAction::triggered, this, &CodeWindow::Copy);
    auto* selectAll = new QAction("Select All", this);
    selectAll->setShortcut(QKeySequence::SelectAll);
    selectAll->setShortcutContext(Qt::WidgetShortcut);
    connect(selectAll, &QAction::triggered, this, &CodeWindow::SelectAll);
    addActions({copy, selectAll});
    setContextMenuPolicy(Qt::ActionsContextMenu);
}

void CodeWindow::Show(const QByteArray& bytes) {
    if (bytes == bytes_ && !lines_.isEmpty()) return;
    bytes_ = bytes;
    // The actions are copied into the file byte for byte, in whatever
    // encoding the editor saved them: UTF-8 when they are, else Latin-1.
    QString text = IsValidUtf8(std::string_view(bytes.constData(), std::size_t(bytes.size())))
                       ? QString::fromUtf8(bytes)
                       : QString::fromLatin1(bytes);
    text.replace("\r\n", "\n");
    if (text.endsWith('\n')) text.chop(1);
    lines_ = text.split('\n');
    startsInComment_.assign(std::size_t(lines_.size()), false);
    longestLine_ = 0;
    bool inComment = false;
    for (qsizetype i = 0; i < lines_.size(); ++i) {
        lines_[i] = ExpandTabs(lines_[i]);
        startsInComment_[std::size_t(i)] = inComment;
        inComment = EndsInComment(lines_[i], inComment);
        longestLine_ = std::max(longestLine_, int(lines_[i].size()));
    }
    anchor_ = cursor_ = QPoint(-1, -1);
    UpdateScrollBars();
    viewport()->update();
}

int CodeWindow::LineHeight() const {
    return fontMetrics().lineSpacing();
}
double CodeWindow::ColumnWidth() const {
    return QFontMetricsF(font()).horizontalAdvance(QChar('M'));
}

void CodeWindow::UpdateScrollBars() {
    const int rows = std::max(1, viewport()->height() / std::max(1, LineHeight()));
    verticalScrollBar()->setRange(0, std::max(0, int(lines_.size()) - rows));
    verticalScrollBar()->setPageStep(rows);
    const int width = int(longestLine_ * ColumnWidth()) + 2 * kMargin;
    horizontalScrollBar()->setRange(0, std::max(0, width - viewport()->width()));
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setSingleStep(int(ColumnWidth()) * 4);
}

void CodeWindow::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void CodeWindow::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    const int first = verticalScrollBar()->value();
    const int height = LineHeight();
    for (int line = first, top = 0; line < lines_.size() && top < viewport()->height();
         ++line, top += height)
        PaintLine(painter, line, top);
}

void CodeWindow::PaintLine(QPainter& painter, int line, int top) const {
    const QString& text = lines_[line];
    const double column = ColumnWidth();
    const double left = kMargin - horizontalScrollBar()->value();
    // The selection behind the text.
    const auto [from, to] = Selection();
    if (anchor_.y() >= 0 && line >= from.y() && line <= to.y()) {
        const int start = line == from.y() ? from.x() : 0;
        const int end = line == to.y() ? to.x() : int(text.size()) + 1;
        painter.fillRect(QRectF(left + start * column, top, (end - start) * column, LineHeight()),
                         palette().highlight());
    }
    const CppLineColours colours = ColourCppLine(text, startsInComment_[std::size_t(line)]);
    const std::vector<const QTextCharFormat*> formats = FormatsOf(colours, text.size());
    const int baseline = top + fontMetrics().ascent();
    for (qsizetype start = 0; start < text.size();) {
        qsizetype end = start + 1;
        while (end < text.size() && formats[std::size_t(end)] == formats[std::size_t(start)])
            ++end;
        const QTextCharFormat* format = formats[std::size_t(start)];
        QFont runFont = font();
        if (format && format->fontWeight() == QFont::Bold) runFont.setBold(true);
        painter.setFont(runFont);
        painter.setPen(format ? format->foreground().color() : palette().text().color());
        painter.drawText(QPointF(left + double(start) * column, baseline),
                         text.mid(start, end - start));
        start = end;
    }
}

QPoint CodeWindow::PositionAt(const QPoint& pixel) const {
    const int line = std::clamp(verticalScrollBar()->value() + pixel.y() / LineHeight(), 0,
                                std::max(0, int(lines_.size()) - 1));
    const double x = pixel.x() - kMargin + horizontalScrollBar()->value();
    const int column = std::clamp(int(x / ColumnWidth() + 0.5), 0,
                                  lines_.isEmpty() ? 0 : int(lines_[line].size()));
    return {column, line};
}

void CodeWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QAbstractScrollArea::mousePressEvent(event);
    anchor_ = cursor_ = PositionAt(event->position().toPoint());
    viewport()->update();
}

void CodeWindow::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton) || anchor_.y() < 0) return;
    cursor_ = PositionAt(event->position().toPoint());
    viewport()->update();
}

void CodeWindow::keyPressEvent(QKeyEvent* event) {
    QScrollBar* bar = verticalScrollBar();
    switch (event->key()) {
    case Qt::Key_Up:
        return bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
    case Qt::Key_Down:
        return bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    case Qt::Key_PageUp:
        return bar->triggerAction(QAbstractSlider::SliderPageStepSub);
    case Qt::Key_PageDown:
        return bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    case Qt::Key_Home:
        return bar->triggerAction(QAbstractSlider::SliderToMinimum);
    case Qt::Key_End:
        return bar->triggerAction(QAbstractSlider::SliderToMaximum);
    default:
        QAbstractScrollArea::keyPressEvent(event);
    }
}

void CodeWindow::SelectAll() {
    if (lines_.isEmpty()) return;
    anchor_ = {0, 0};
    cursor_ = {int(lines_.back().size()), int(lines_.size()) - 1};
    viewport()->update();
}

std::pair<QPoint, QPoint> CodeWindow::Selection() const {
    const bool backwards =
        std::make_pair(cursor_.y(), cursor_.x()) < std::make_pair(anchor_.y(), anchor_.x());
    return backwards ? std::make_pair(cursor_, anchor_) : std::make_pair(anchor_, cursor_);
}

QString CodeWindow::SelectedText() const {
    if (anchor_.y() < 0 || anchor_ == cursor_) return {};
    const auto [from, to] = Selection();
    QStringList picked;
    for (int line = from.y(); line <= to.y(); ++line) {
        const int start = line == from.y() ? from.x() : 0;
        const int end = line == to.y() ? to.x() : int(lines_[line].size());
        picked << lines_[line].mid(start, end - start);
    }
    return picked.join('\n');
}

bool CodeWindow::Find(const QString& text) {
    if (text.isEmpty() || lines_.isEmpty()) return false;
    // From the end of the selection, around to where it started.
    const QPoint start = anchor_.y() < 0 ? QPoint(0, 0) : Selection().second;
    const int count = int(lines_.size());
    for (int step = 0; step <= count; ++step) {
        const int line = (start.y() + step) % count;
        const qsizetype from = step == 0 ? start.x() : 0;
        const qsizetype at = lines_[line].indexOf(text, from, Qt::CaseInsensitive);
        if (at < 0 || (step == count && at >= start.x())) continue;
        anchor_ = {int(at), line};
        cursor_ = {int(at + text.size()), line};
        ScrollTo(anchor_);
        viewport()->update();
        return true;
    }
    return false;
}

void CodeWindow::ScrollTo(const QPoint& position) {
    QScrollBar* rows = verticalScrollBar();
    if (position.y() < rows->value() || position.y() >= rows->value() + rows->pageStep())
        rows->setValue(position.y() - rows->pageStep() / 2);
    const int x = int(position.x() * ColumnWidth());
    QScrollBar* columns = horizontalScrollBar();
    if (x < columns->value() || x >= columns->value() + viewport()->width() - kMargin)
        columns->setValue(x - viewport()->width() / 4);
}

void CodeWindow::Copy() const {
    const QString text = SelectedText();
    if (!text.isEmpty()) QApplication::clipboard()->setText(text);
}

} // namespace kestrom::ui
