#include "ui/CppHighlighter.h"

#include <QColor>
#include <QFont>

namespace kestrom::ui {
namespace {

QTextCharFormat Format(const QColor& colour, bool bold = false) {
    QTextCharFormat format;
    format.setForeground(colour);
    if (bold) format.setFontWeight(QFont::Bold);
    return format;
}

const char* const kKeywords =
    "\\b(?:alignas|auto|bool|break|case|char|class|const|constexpr|continue|default|delete|do|"
    "double|else|enum|explicit|false|float|for|goto|if|inline|int|long|namespace|new|nullptr|"
    "private|protected|public|return|short|signed|sizeof|static|struct|switch|template|this|"
    "true|typedef|typename|union|unsigned|using|virtual|void|volatile|while)\\b";

enum BlockState { kOutsideComment = 0, kInsideComment = 1 };

} // namespace

CppHighlighter::CppHighlighter(QTextDocument* document) : QSyntaxHighlighter(document) {
    comment_ = Format(QColor(0, 128, 0));
    rules_.push_back({QRegularExpression(kKeywords), Format(QColor(0, 0, 160), true)});
    rules_.push_back(
        {QRegularExpression("\\b(?:sc_\\w+|SC_\\w+|wait)\\b"), Format(QColor(128, 0, 128), true)});
    rules_.push_back({QRegularExpression("\\b(?:0[xX][0-9A-Fa-f]+|\\d+(?:\\.\\d+)?)\\w*\\b"),
                      Format(QColor(160, 80, 0))});
    rules_.push_back({QRegularExpression("^\\s*#.*$"), Format(QColor(128, 64, 0))});
    rules_.push_back({QRegularExpression("\"(?:[^\"\\\\]|\\\\.)*\"|'(?:[^'\\\\]|\\\\.)*'"),
                      Format(QColor(163, 21, 21))});
    rules_.push_back({QRegularExpression("//.*$"), comment_});
}

void CppHighlighter::highlightBlock(const QString& text) {
    for (const Rule& rule : rules_) {
        for (auto match = rule.Pattern.globalMatch(text); match.hasNext();) {
            const auto found = match.next();
            setFormat(int(found.capturedStart()), int(found.capturedLength()), rule.Format);
        }
    }
    ColourBlockComments(text);
}

void CppHighlighter::ColourBlockComments(const QString& text) {
    setCurrentBlockState(kOutsideComment);
    bool continued = previousBlockState() == kInsideComment;
    qsizetype start = continued ? 0 : text.indexOf("/*");
    while (start >= 0) {
        const qsizetype end = text.indexOf("*/", continued ? start : start + 2);
        continued = false;
        if (end < 0) {
            setCurrentBlockState(kInsideComment);
            setFormat(int(start), int(text.size() - start), comment_);
            return;
        }
        setFormat(int(start), int(end + 2 - start), comment_);
        start = text.indexOf("/*", end + 2);
    }
}

} // namespace kestrom::ui
