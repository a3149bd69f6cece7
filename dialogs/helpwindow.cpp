#include "dialogs/helpwindow.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QMenu>
#include <QTextBrowser>

HelpWindow::HelpWindow(const QString &home, const QString &path, QWidget *parent,
                       const QString &name)
    : QMainWindow(parent)
{
    setObjectName(name);
    browser = new QTextBrowser(this);
    browser->setSearchPaths({path});
    setCentralWidget(browser);
    if (!home.isEmpty())
        browser->setSource(QUrl(home));
    pathCombo_ = new QComboBox(this);
    history = new QMenu(QStringLiteral("History"), this);
    bookmarks = new QMenu(QStringLiteral("Bookmarks"), this);
    resize(640, 700);
}

HelpWindow::~HelpWindow() = default;

void HelpWindow::setCloseMode(CloseMode mode)
{
    closing = mode;
    setAttribute(Qt::WA_DeleteOnClose, mode == CloseMode::Destroy);
}

bool HelpWindow::printTo(QPrinter *)
{
    return false;
}

void HelpWindow::saveLists() const {}

QString HelpWindow::historyFileName()
{
    return QDir::currentPath() + QStringLiteral("/.history");
}

QString HelpWindow::bookmarksFileName()
{
    return QDir::currentPath() + QStringLiteral("/.bookmarks");
}

void HelpWindow::setBackwardAvailable(bool) {}
void HelpWindow::setForwardAvailable(bool) {}
void HelpWindow::textChanged() {}
void HelpWindow::pathSelected(const QString &) {}
void HelpWindow::histChosen(int) {}
void HelpWindow::bookmChosen(int) {}
void HelpWindow::addBookmark() {}
void HelpWindow::openFile() {}
void HelpWindow::newWindow() {}
void HelpWindow::print() {}
void HelpWindow::about() {}
void HelpWindow::aboutQt() {}

void HelpWindow::closeEvent(QCloseEvent *event)
{
    QMainWindow::closeEvent(event);
}

void HelpWindow::buildMenusAndToolBar() {}
int HelpWindow::addHistoryItem(const QString &, const QString &)
{
    return 0;
}
int HelpWindow::addBookmarkItem(const QString &, const QString &)
{
    return 0;
}
QString HelpWindow::currentPath() const
{
    return QString();
}
QString HelpWindow::sourceFile() const
{
    return QString();
}
void HelpWindow::showPath(const QString &) {}
