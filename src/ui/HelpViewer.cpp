#include "ui/HelpViewer.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextBrowser>
#include <QToolBar>
#include <QUrl>

#include "ui/WindowServices.h"

namespace kestrom::ui {
namespace {

const char* kContentsAnchor = "contents";

} // namespace

HelpViewer::HelpViewer(QWidget* parent) : QMainWindow(parent) {
    setObjectName("HelpViewer");
    setWindowTitle("Kestrom Help");
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(680, 560);

    browser_ = new QTextBrowser(this);
    browser_->setObjectName("HelpBrowser");
    browser_->setOpenExternalLinks(true);
    setCentralWidget(browser_);

    QToolBar* bar = addToolBar("Help");
    bar->setMovable(false);
    bar->setFloatable(false);
    QAction* contents = bar->addAction("Contents");
    contents->setObjectName("HelpContents");
    connect(contents, &QAction::triggered, this, [this] {
        if (hasDocument_) browser_->scrollToAnchor(kContentsAnchor);
    });
    QAction* back = bar->addAction("Back");
    back->setShortcut(QKeySequence::Back);
    back->setEnabled(false);
    connect(back, &QAction::triggered, browser_, &QTextBrowser::backward);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    QAction* forward = bar->addAction("Forward");
    forward->setShortcut(QKeySequence::Forward);
    forward->setEnabled(false);
    connect(forward, &QAction::triggered, browser_, &QTextBrowser::forward);
    connect(browser_, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);

    bar->addSeparator();
    auto* findLabel = new QLabel("&Find: ", bar);
    findBox_ = new QLineEdit(bar);
    findBox_->setObjectName("HelpFind");
    findBox_->setMaximumWidth(200);
    findLabel->setBuddy(findBox_);
    bar->addWidget(findLabel);
    bar->addWidget(findBox_);
    connect(findBox_, &QLineEdit::returnPressed, this, &HelpViewer::FindNext);
    auto* find = new QAction(this);
    find->setShortcut(QKeySequence::Find);
    connect(find, &QAction::triggered, findBox_, [this] { findBox_->setFocus(); });
    addAction(find);
}

void HelpViewer::ShowTopics(const QString& helpFile) {
    QFile file(helpFile);
    if (file.open(QIODevice::ReadOnly)) {
        file.close();
        hasDocument_ = true;
        browser_->setSource(QUrl::fromLocalFile(QFileInfo(helpFile).absoluteFilePath()),
                            QTextDocument::HtmlResource);
        browser_->verticalScrollBar()->setValue(0); // the contents open the file
    } else {
        hasDocument_ = false;
        browser_->clearHistory();
        browser_->setHtml(QString("<h2>The help cannot be shown</h2>"
                                  "<p>The help file <b>%1</b> cannot be opened: %2.</p>"
                                  "<p>It belongs in the folder of the program; building or "
                                  "installing Kestrom again puts it there.</p>")
                              .arg(helpFile.toHtmlEscaped(), file.errorString().toHtmlEscaped()));
    }
    KeepOnScreen(*this);
    show();
    raise();
    activateWindow();
}

void HelpViewer::FindNext() {
    QString text = findBox_->text();
    if (text.isEmpty()) return;
    // The guide joins the characters of words such as C++ with word joiners,
    // so that they never break across lines; the search looks through them.
    QString pattern;
    for (QChar c : text)
        pattern += (pattern.isEmpty() ? "" : "\\x{2060}?") + QRegularExpression::escape(c);
    const QRegularExpression search(pattern, QRegularExpression::CaseInsensitiveOption);
    if (!browser_->find(search)) {
        browser_->moveCursor(QTextCursor::Start); // wrap around once
        browser_->find(search);
    }
}

} // namespace kestrom::ui
