#include "ui/CppHighlighter.h"

#include <vector>

#include <QColor>
#include <QFont>
#include <QRegularExpression>

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

struct Rule {
    QRegularExpression Pattern;
    QTextCharFormat Format;
};

const QTextCharFormat& CommentFormat() {
    static const QTextCharFormat format = Format(QColor(0, 128, 0));
    return format;
}

// Later rules paint over earlier ones: a keyword inside a text stays text.
const std::vector<Rule>& Rules() {
    static const std::vector<Rule> rules{
        {QRegularExpression(kKeywords), Format(QColor(0, 0, 160), true)},
        {QRegularExpression("\\b(?:sc_\\w+|SC_\\w+|wait)\\b"), Format(QColor(128, 0, 128), true)},
        {QRegularExpression("\\b(?:0[xX][0-9A-Fa-f]+|\\d+(?:\\.\\d+)?)\\w*\\b"),
         Format(QColor(160, 80, 0))},
        {QRegularExpression("^\\s*#.*$"), Format(QColor(128, 64, 0))},
        {QRegularExpression("\"(?:[^\"\\\\]|\\\\.)*\"|'(?:[^'\\\\]|\\\\.)*'"),
         Format(QColor(163, 21, 21))},
        {QRegularExpression("//.*$"), CommentFormat()},
    };
    return rules;
}

void Add(QList<QTextLayout::FormatRange>& ranges, qsizetype start, qsizetype length,
         const QTextCharFormat& format) {
    ranges.append({int(start), int(length), format});
}

} // namespace

bool EndsInComment(const QString& line, bool startsInComment) {
    qsizetype at = 0;
    for (;;) {
        const qsizetype next = line.indexOf(startsInComment ? "*/" : "/*", at);
        if (next < 0) return startsInComment;
        startsInComment = !startsInComment;
        at = next + 2;
    }
}

CppLineColours ColourCppLine(const QString& line, bool startsInComment) {
    CppLineColours colours;
    for (const Rule& rule : Rules())
        for (auto match = rule.Pattern.globalMatch(line); match.hasNext();) {
            const auto found = match.next();
            Add(colours.Ranges, found.capturedStart(), found.capturedLength(), rule.Format);
        }
    bool inside = startsInComment;
    qsizetype start = inside ? 0 : line.indexOf("/*");
    while (start >= 0) {
        const qsizetype end = line.indexOf("*/", inside ? start : start + 2);
        inside = false;
        if (end < 0) {
            Add(colours.Ranges, start, line.size() - start, CommentFormat());
            colours.EndsInComment = true;
            break;
        }
        Add(colours.Ranges, start, end + 2 - start, CommentFormat());
        start = line.indexOf("/*", end + 2);
    }
    return colours;
}

} // namespace kestrom::ui
