#ifndef HELPWINDOW_H
#define HELPWINDOW_H

#include <QMainWindow>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QUrl>

class QAction;
class QComboBox;
class QMenu;
class QPrinter;
class QTextBrowser;

// A small HTML browser for the user guide, with history, bookmarks and printing. The history
// and bookmarks are kept in ".history" and ".bookmarks" in the working directory.
class HelpWindow : public QMainWindow
{
    Q_OBJECT

public:
    static constexpr int maxHistory = 20;

    // What closing the window does. The main window's help window hides, so that the help
    // command can always show it again; windows opened with New Window are destroyed.
    enum class CloseMode { Hide, Destroy };

    HelpWindow(const QString &home, const QString &path, QWidget *parent = nullptr,
               const QString &name = QString());
    ~HelpWindow() override;

    void setCloseMode(CloseMode mode);
    CloseMode closeMode() const { return closing; }

    // Lays the page shown out on printer, one inch of margin all round, numbering the pages
    // at the bottom right. Returns false when the page's file cannot be found or read.
    bool printTo(QPrinter *printer);

    // Adds what this window added to the history and bookmark files, keeping what other
    // windows wrote there (also done on close and at destruction); a list with nothing new is
    // not written. A file that cannot be written is named in one message; the same lists
    // failing again are not reported twice. False on failure.
    bool saveLists() const;

    static QString historyFileName();
    static QString bookmarksFileName();

    QTextBrowser *textBrowser() const { return browser; }
    QComboBox *pathCombo() const { return pathCombo_; }
    QMenu *historyMenu() const { return history; }
    QMenu *bookmarksMenu() const { return bookmarks; }
    QStringList historyPaths() const { return mHistory.values(); }
    QStringList bookmarkPaths() const { return mBookmarks.values(); }

public slots:
    void setBackwardAvailable(bool available);
    void setForwardAvailable(bool available);
    void textChanged();
    void pathSelected(const QString &path);
    void histChosen(int id);
    void bookmChosen(int id);
    void addBookmark();
    void openFile();
    void newWindow();
    void print();
    void about();
    void aboutQt();

signals:
    // Emitted for windows opened through New Window, so that owners can follow them.
    void windowOpened(HelpWindow *window);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenusAndToolBar();
    int addHistoryItem(const QString &text, const QString &path);
    int addBookmarkItem(const QString &text, const QString &path);
    QString currentPath() const;
    QString sourceFile() const;
    void showPath(const QString &path);

    QTextBrowser *browser = nullptr;
    QComboBox *pathCombo_ = nullptr;
    QMenu *history = nullptr;
    QMenu *bookmarks = nullptr;
    QAction *backwardAction = nullptr;
    QAction *forwardAction = nullptr;
    QMap<int, QString> mHistory;
    QMap<int, QString> mBookmarks;
    QStringList initialHistory;
    QStringList initialBookmarks;
    QString selectedURL;
    QUrl currentSource;
    int nextId = 1;
    CloseMode closing = CloseMode::Hide;
    bool showingHome = false;
    // Entries added since the lists were read or last written.
    mutable bool historyChanged = false;
    mutable bool bookmarksChanged = false;
    // The lists whose writing failed last and was reported.
    mutable QStringList echecHistory;
    mutable QStringList echecBookmarks;
    mutable bool echecSignale = false;
};

#endif
