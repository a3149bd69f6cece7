#include "dialogs/helpwindow.h"

#include "dialogs/fileChooser.h"
#include "dialogs/messageBox.h"
#include "dialogs/stringListFile.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QStatusBar>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolBar>

Q_LOGGING_CATEGORY(lcHelp, "zelvar.dialogs.help", QtWarningMsg)

namespace {

const QString captionPrefix = QStringLiteral("Qt Example - Helpviewer - ");

// The icons are looked up in the working directory first, so that a user can restyle them;
// the built-in copies keep the buttons from ever showing blank.
QIcon loadIcon(const QString &fileName)
{
    QPixmap pixmap(fileName);
    if (pixmap.isNull())
        pixmap.load(QStringLiteral(":/images/") + fileName);
    return QIcon(pixmap);
}

QUrl urlForPath(const QString &path)
{
    if (QFileInfo(path).isAbsolute())
        return QUrl::fromLocalFile(path);
    return QUrl(path);
}

// A page that cannot be found is answered with a page that says which file was looked for
// where, instead of a blank window (and a warning nobody reads on the terminal).
class GuideBrowser : public QTextBrowser
{
public:
    using QTextBrowser::QTextBrowser;

    QVariant loadResource(int type, const QUrl &name) override
    {
        QVariant resource = QTextBrowser::loadResource(type, name);
        if (type != QTextDocument::HtmlResource || resource.isValid())
            return resource;
        const QString page = name.isLocalFile() ? name.toLocalFile() : name.path();
        QStringList places;
        if (QFileInfo(page).isAbsolute()) {
            places << page;
        } else {
            const QStringList directories = searchPaths();
            for (const QString &directory : directories)
                places << QDir::cleanPath(QDir(directory).absoluteFilePath(page));
        }
        QString html = QStringLiteral("<html><head><title>Missing help page ") +
                       page.toHtmlEscaped() +
                       QStringLiteral("</title></head><body><h1>Missing help page</h1>"
                                      "<p>The help page <b>") +
                       page.toHtmlEscaped() + QStringLiteral("</b> was looked for as:</p><ul>");
        for (const QString &place : std::as_const(places))
            html += QStringLiteral("<li><code>") + place.toHtmlEscaped() +
                    QStringLiteral("</code></li>");
        html += QStringLiteral("</ul><p>No such file could be read.</p></body></html>");
        return html;
    }
};

// The guide's directory, when relative, is looked for from the working directory first, then
// from the executable's, so that help works wherever the viewer is started from.
QStringList guideSearchPaths(const QString &path)
{
    QStringList paths{path};
    if (!QDir::isRelativePath(path))
        return paths;
    const QString besideExecutable = QDir(QCoreApplication::applicationDirPath()).filePath(path);
    if (QDir::cleanPath(besideExecutable) != QDir::cleanPath(QDir::current().filePath(path)))
        paths << QDir::cleanPath(besideExecutable);
    return paths;
}

// The lists of every help window share two files: another window may have written since this
// one read them. What is on disk is kept, and what this window has that the file lacks (one
// entry for each time it holds it) is added after it.
QStringList mergedWithFile(const QString &fileName, const QStringList &own)
{
    QStringList merged;
    StringListFile::read(fileName, merged);
    QStringList unmatched = merged;
    for (const QString &entry : own) {
        if (!unmatched.removeOne(entry))
            merged.append(entry);
    }
    return merged;
}

} // namespace

HelpWindow::HelpWindow(const QString &home, const QString &path, QWidget *parent,
                       const QString &name)
    : QMainWindow(parent)
{
    setObjectName(name);

    StringListFile::read(historyFileName(), initialHistory);
    while (initialHistory.size() > maxHistory)
        initialHistory.removeFirst();
    StringListFile::read(bookmarksFileName(), initialBookmarks);

    browser = new GuideBrowser(this);
    browser->setObjectName(QStringLiteral("browser"));
    browser->setSearchPaths(guideSearchPaths(path));
    browser->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    // source() lags behind until the browser has stacked the new page, so the page is taken
    // from the signal.
    connect(browser, &QTextBrowser::sourceChanged, this, [this](const QUrl &source) {
        currentSource = source;
        textChanged();
    });
    setCentralWidget(browser);

    // Made now, not at the first link under the mouse: the page would shrink then.
    QStatusBar *status = statusBar();
    connect(browser, qOverload<const QUrl &>(&QTextBrowser::highlighted), status,
            [status](const QUrl &link) { status->showMessage(link.toString()); });

    resize(640, 700);

    buildMenusAndToolBar();
    for (const QString &entry : std::as_const(initialHistory))
        addHistoryItem(entry, entry);
    for (const QString &entry : std::as_const(initialBookmarks))
        addBookmarkItem(entry, entry);
    historyChanged = false;
    bookmarksChanged = false;

    // Shown once the combo exists, so the home page gets its entry there; it is not a page
    // the user went to, so the History menu stays as the file left it.
    if (!home.isEmpty()) {
        showingHome = true;
        browser->setSource(urlForPath(home));
        showingHome = false;
    }
    if (!home.isEmpty() && pathCombo_->count() == 0)
        pathCombo_->insertItem(0, home, home);
    browser->setFocus();
}

HelpWindow::~HelpWindow()
{
    saveLists();
}

void HelpWindow::buildMenusAndToolBar()
{
    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("&New Window"), QKeySequence(Qt::CTRL | Qt::Key_N), this,
                    &HelpWindow::newWindow);
    file->addAction(QStringLiteral("&Open File"), QKeySequence(Qt::CTRL | Qt::Key_O), this,
                    &HelpWindow::openFile);
    file->addAction(QStringLiteral("&Print"), QKeySequence(Qt::CTRL | Qt::Key_P), this,
                    &HelpWindow::print);
    file->addSeparator();
    file->addAction(QStringLiteral("&Close"), QKeySequence(Qt::CTRL | Qt::Key_Q), this,
                    &QWidget::close);
    file->addAction(QStringLiteral("E&xit"), QKeySequence(Qt::CTRL | Qt::Key_X), qApp,
                    &QApplication::closeAllWindows);

    QMenu *go = menuBar()->addMenu(QStringLiteral("&Go"));
    backwardAction = go->addAction(loadIcon(QStringLiteral("back.xpm")),
                                   QStringLiteral("&Backward"), browser, &QTextBrowser::backward);
    backwardAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Left));
    backwardAction->setToolTip(QStringLiteral("Backward"));
    backwardAction->setEnabled(false);
    forwardAction = go->addAction(loadIcon(QStringLiteral("forward.xpm")),
                                  QStringLiteral("&Forward"), browser, &QTextBrowser::forward);
    forwardAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Right));
    forwardAction->setToolTip(QStringLiteral("Forward"));
    forwardAction->setEnabled(false);
    QAction *homeAction = go->addAction(loadIcon(QStringLiteral("home.xpm")),
                                        QStringLiteral("&Home"), browser, &QTextBrowser::home);
    homeAction->setToolTip(QStringLiteral("Home"));
    connect(browser, &QTextBrowser::backwardAvailable, this, &HelpWindow::setBackwardAvailable);
    connect(browser, &QTextBrowser::forwardAvailable, this, &HelpWindow::setForwardAvailable);

    history = menuBar()->addMenu(QStringLiteral("History"));
    bookmarks = menuBar()->addMenu(QStringLiteral("Bookmarks"));
    bookmarks->addAction(QStringLiteral("Add Bookmark"), this, &HelpWindow::addBookmark);
    bookmarks->addSeparator();

    menuBar()->addSeparator();
    QMenu *help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->addAction(QStringLiteral("&About ..."), this, &HelpWindow::about);
    help->addAction(QStringLiteral("About &Qt ..."), this, &HelpWindow::aboutQt);

    QToolBar *toolBar = addToolBar(QStringLiteral("Toolbar"));
    toolBar->setObjectName(QStringLiteral("Toolbar"));
    toolBar->setAllowedAreas(Qt::TopToolBarArea | Qt::BottomToolBarArea);
    toolBar->addAction(backwardAction);
    toolBar->addAction(forwardAction);
    toolBar->addAction(homeAction);
    toolBar->addSeparator();
    pathCombo_ = new QComboBox(toolBar);
    pathCombo_->setObjectName(QStringLiteral("pathCombo"));
    pathCombo_->setEditable(true);
    pathCombo_->setInsertPolicy(QComboBox::NoInsert);
    pathCombo_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    toolBar->addWidget(pathCombo_);
    // An entry shows a page's title but remembers its path, so choosing a title goes back to
    // that page; text typed into the combo is taken as a path.
    connect(pathCombo_, qOverload<int>(&QComboBox::activated), this, [this](int index) {
        const QString path = pathCombo_->itemData(index).toString();
        pathSelected(path.isEmpty() ? pathCombo_->itemText(index) : path);
    });
    connect(pathCombo_->lineEdit(), &QLineEdit::returnPressed, this, [this] {
        const QString typed = pathCombo_->currentText();
        if (pathCombo_->findText(typed) < 0 && !typed.isEmpty())
            pathSelected(typed);
    });
}

int HelpWindow::addHistoryItem(const QString &text, const QString &path)
{
    const int id = nextId++;
    QAction *action = history->addAction(text);
    action->setData(id);
    connect(action, &QAction::triggered, this, [this, id] { histChosen(id); });
    mHistory.insert(id, path);
    historyChanged = true;
    return id;
}

int HelpWindow::addBookmarkItem(const QString &text, const QString &path)
{
    const int id = nextId++;
    QAction *action = bookmarks->addAction(text);
    action->setData(id);
    connect(action, &QAction::triggered, this, [this, id] { bookmChosen(id); });
    mBookmarks.insert(id, path);
    bookmarksChanged = true;
    return id;
}

void HelpWindow::setCloseMode(CloseMode mode)
{
    closing = mode;
    setAttribute(Qt::WA_DeleteOnClose, mode == CloseMode::Destroy);
}

QString HelpWindow::historyFileName()
{
    return QDir::currentPath() + QStringLiteral("/.history");
}

QString HelpWindow::bookmarksFileName()
{
    return QDir::currentPath() + QStringLiteral("/.bookmarks");
}

bool HelpWindow::saveLists() const
{
    // A window that added nothing leaves the files alone: it would only put back what it
    // read, over what another window has written since.
    if (!historyChanged && !bookmarksChanged)
        return true;
    QStringList historyList;
    if (historyChanged) {
        historyList = mergedWithFile(historyFileName(), mHistory.values());
        // Only the last ones are ever read back.
        if (historyList.size() > maxHistory)
            historyList = historyList.mid(historyList.size() - maxHistory);
    }
    const QStringList bookmarkList =
        bookmarksChanged ? mergedWithFile(bookmarksFileName(), mBookmarks.values()) : QStringList();
    QStringList failures;
    QString reason;
    if (historyChanged) {
        if (StringListFile::write(historyFileName(), historyList, &reason))
            historyChanged = false;
        else
            failures.append(historyFileName() + QStringLiteral(": ") + reason);
    }
    if (bookmarksChanged) {
        if (StringListFile::write(bookmarksFileName(), bookmarkList, &reason))
            bookmarksChanged = false;
        else
            failures.append(bookmarksFileName() + QStringLiteral(": ") + reason);
    }
    if (failures.isEmpty()) {
        echecSignale = false;
        return true;
    }
    for (const QString &failure : failures)
        qCWarning(lcHelp) << "cannot write" << failure;
    // Closing and then destroying the window save the same lists: one message is enough.
    if (echecSignale && historyList == echecHistory && bookmarkList == echecBookmarks)
        return false;
    echecSignale = true;
    echecHistory = historyList;
    echecBookmarks = bookmarkList;
    MessageBox::show(nullptr, MessageBox::Kind::Alert, QStringLiteral("error"),
                     QStringLiteral("Cannot write ") + failures.join(QStringLiteral(", ")) +
                         QStringLiteral("\nThe history and bookmarks of this session are not "
                                        "kept."));
    return false;
}

QString HelpWindow::currentPath() const
{
    const QUrl &source = currentSource;
    return source.isLocalFile() ? source.toLocalFile() : source.toString();
}

void HelpWindow::showPath(const QString &path)
{
    browser->setSource(urlForPath(path));
}

void HelpWindow::setBackwardAvailable(bool available)
{
    backwardAction->setEnabled(available);
}

void HelpWindow::setForwardAvailable(bool available)
{
    forwardAction->setEnabled(available);
}

void HelpWindow::textChanged()
{
    const QString title = browser->documentTitle();
    const QString path = currentPath();
    if (!title.isEmpty()) {
        setWindowTitle(captionPrefix + title);
        selectedURL = title;
    } else {
        setWindowTitle(captionPrefix + path);
        selectedURL = path;
    }
    if (selectedURL.isEmpty())
        return;

    int index = pathCombo_->findData(path);
    if (index < 0)
        index = pathCombo_->findText(selectedURL);
    if (index >= 0) {
        pathCombo_->setCurrentIndex(index);
    } else {
        pathCombo_->insertItem(0, selectedURL, path);
        pathCombo_->setCurrentIndex(0);
        if (!showingHome && !mHistory.values().contains(path))
            addHistoryItem(selectedURL, path);
    }
    selectedURL.clear();
}

void HelpWindow::pathSelected(const QString &path)
{
    showPath(path);
    if (!mHistory.values().contains(path))
        addHistoryItem(path, path);
}

void HelpWindow::histChosen(int id)
{
    const auto found = mHistory.constFind(id);
    if (found != mHistory.constEnd())
        showPath(*found);
}

void HelpWindow::bookmChosen(int id)
{
    const auto found = mBookmarks.constFind(id);
    if (found != mBookmarks.constEnd())
        showPath(*found);
}

void HelpWindow::addBookmark()
{
    addBookmarkItem(windowTitle(), currentPath());
}

void HelpWindow::openFile()
{
    FileChooser::Request request;
    request.kind = FileChooser::Kind::OpenFile;
    request.parent = this;
    request.objectName = QStringLiteral("openFile");
    const QString fileName = FileChooser::choose(request);
    if (!fileName.isEmpty())
        showPath(fileName);
}

void HelpWindow::newWindow()
{
    // The new window looks pages up where this one does, so relative pages and links work.
    auto *window = new HelpWindow(currentPath(), browser->searchPaths().value(0), nullptr,
                                  QStringLiteral("Help Viewer"));
    window->browser->setSearchPaths(browser->searchPaths());
    window->setCloseMode(CloseMode::Destroy);
    window->show();
    emit windowOpened(window);
}

void HelpWindow::print()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setFullPage(true);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!printTo(&printer))
        MessageBox::show(this, MessageBox::Kind::Alert, QStringLiteral("error"),
                         QStringLiteral("Cannot print ") + currentPath() +
                             QStringLiteral(": its file cannot be read"));
}

QString HelpWindow::sourceFile() const
{
    const QUrl &source = currentSource;
    if (source.isLocalFile()) {
        const QString local = source.toLocalFile();
        if (QFileInfo(local).isFile())
            return local;
    }
    const QString relative = source.path();
    if (relative.isEmpty())
        return QString();
    if (QFileInfo(relative).isAbsolute())
        return QFileInfo(relative).isFile() ? relative : QString();
    const QStringList searchPaths = browser->searchPaths();
    for (const QString &directory : searchPaths) {
        const QString candidate = QDir(directory).filePath(relative);
        if (QFileInfo(candidate).isFile())
            return candidate;
    }
    return QString();
}

bool HelpWindow::printTo(QPrinter *printer)
{
    const QString fileName = sourceFile();
    if (fileName.isEmpty())
        return false;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QString text = QString::fromUtf8(file.readAll());

    printer->setFullPage(true);
    QPainter painter;
    if (!painter.begin(printer))
        return false;

    const int dpiX = printer->logicalDpiX();
    const int dpiY = printer->logicalDpiY();
    const QRect body(dpiX, dpiY, printer->width() - 2 * dpiX, printer->height() - 2 * dpiY);

    const QFont font(QStringLiteral("times"), 10);
    QTextDocument document;
    document.documentLayout()->setPaintDevice(printer);
    document.setDefaultFont(font);
    document.setDefaultStyleSheet(browser->document()->defaultStyleSheet());
    document.setBaseUrl(QUrl::fromLocalFile(QFileInfo(fileName).absoluteFilePath()));
    document.setHtml(text);
    document.setPageSize(QSizeF(body.width(), body.height()));

    // The gap under the body is 5 points: the pixels of a 72 dpi printer.
    const int gap = 5 * dpiY / 72;
    const QFontMetrics metrics(font, printer);
    const int pageCount = document.pageCount();
    for (int page = 0; page < pageCount; ++page) {
        if (page > 0)
            printer->newPage();
        const QRectF slice(0, qreal(page) * body.height(), body.width(), body.height());
        painter.save();
        painter.translate(body.left(), body.top() - slice.top());
        document.drawContents(&painter, slice);
        painter.restore();

        const QString number = QString::number(page + 1);
        painter.setFont(font);
        painter.drawText(body.left() + body.width() - metrics.horizontalAdvance(number),
                         body.top() + body.height() + gap + metrics.ascent(), number);
    }
    return painter.end();
}

void HelpWindow::about()
{
    MessageBox::show(this, MessageBox::Kind::About, QStringLiteral("HelpViewer Example"),
                     QStringLiteral("This is a simple HTML help viewer. "
                                    "It is built on the rich text support of Qt."));
}

void HelpWindow::aboutQt()
{
    MessageBox::show(this, MessageBox::Kind::AboutQt, QStringLiteral("QBrowser"), QString());
}

void HelpWindow::closeEvent(QCloseEvent *event)
{
    // Saved now even when the window only hides, so that a crash later loses nothing, and a
    // window opened later starts from what this one added.
    saveLists();
    event->accept();
}
