#include "ui/CodeWindow.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStringDecoder>
#include <QVBoxLayout>

#include "ui/CppHighlighter.h"

namespace kestrom::ui {

CodeWindow::CodeWindow(QWidget* parent) : QWidget(parent) {
    setObjectName("CodeWindow");
    text_ = new QPlainTextEdit(this);
    text_->setObjectName("CodeText");
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    text_->setFont(font);
    text_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    new CppHighlighter(text_->document());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(text_);
}

void CodeWindow::Show(const QByteArray& bytes) {
    if (bytes == bytes_ && !bytes.isEmpty()) return;
    bytes_ = bytes;
    const int vertical = text_->verticalScrollBar()->value();
    const int horizontal = text_->horizontalScrollBar()->value();
    // The actions are copied into the file byte for byte, in whatever
    // encoding the editor saved them: UTF-8 when they are, else Latin-1.
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString shown = utf8.decode(bytes);
    if (utf8.hasError()) shown = QString::fromLatin1(bytes);
    shown.replace("\r\n", "\n");
    text_->setPlainText(shown);
    text_->verticalScrollBar()->setValue(vertical);
    text_->horizontalScrollBar()->setValue(horizontal);
}

} // namespace kestrom::ui
