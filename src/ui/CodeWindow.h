// The code window: the bytes Generate would write now, read-only, monospaced
// and coloured as C++.
#pragma once

#include <QByteArray>
#include <QWidget>

class QPlainTextEdit;

namespace kestrom::ui {

class CodeWindow : public QWidget {
    Q_OBJECT

public:
    explicit CodeWindow(QWidget* parent = nullptr);

    // Shows the bytes; the view keeps its place when they change.
    void Show(const QByteArray& bytes);
    const QByteArray& Bytes() const { return bytes_; }
    QPlainTextEdit* Text() const { return text_; }

private:
    QPlainTextEdit* text_ = nullptr;
    QByteArray bytes_;
};

} // namespace kestrom::ui
