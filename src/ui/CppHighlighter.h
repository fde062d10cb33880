// C++ colouring for the code window: keywords, SystemC types, preprocessor
// lines, numbers, texts in quotes and comments (also across lines).
#pragma once

#include <QRegularExpression>
#include <QSyntaxHighlighter>
#include <QTextCharFormat>
#include <vector>

namespace kestrom::ui {

class CppHighlighter : public QSyntaxHighlighter {
    Q_OBJECT

public:
    explicit CppHighlighter(QTextDocument* document);

protected:
    void highlightBlock(const QString& text) override;

private:
    struct Rule {
        QRegularExpression Pattern;
        QTextCharFormat Format;
    };
    void ColourBlockComments(const QString& text);

    std::vector<Rule> rules_;
    QTextCharFormat comment_;
};

} // namespace kestrom::ui
