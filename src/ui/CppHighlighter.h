// C++ colouring for the code window: keywords, SystemC names, preprocessor
// lines, numbers, texts in quotes and comments, also across lines. Lines
// are coloured one at a time as they come into view, so that a long file
// shows at once.
#pragma once

#include <QList>
#include <QString>
#include <QTextLayout>

namespace kestrom::ui {

struct CppLineColours {
    QList<QTextLayout::FormatRange> Ranges;
    bool EndsInComment = false; // a "/*" without its "*/"
};

CppLineColours ColourCppLine(const QString& line, bool startsInComment);

// Only whether the line ends inside a block comment: quick enough to run
// over the whole file.
bool EndsInComment(const QString& line, bool startsInComment);

} // namespace kestrom::ui
