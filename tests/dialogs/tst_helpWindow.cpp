#include "dialogs/helpwindow.h"
#include "dialogs/stringListFile.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QMainWindow>
#include <QMenu>
#include <QPointer>
#include <QPrinter>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>


namespace {

void writeFile(const QString &fileName, const QByteArray &content)
{
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QByteArray readFile(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList texts(QMenu *menu)
{
    QStringList result;
    for (QAction *action : menu->actions())
        result << (action->isSeparator() ? QStringLiteral("--") : action->text());
    return result;
}

QAction *findAction(QWidget &window, const QString &text)
{
    for (QAction *action : window.findChildren<QAction *>())
        if (action->text() == text)
            return action;
    return nullptr;
}

QStringList numbered(const QString &stem, int from, int to)
{
    QStringList list;
    for (int i = from; i < to; ++i)
        list << stem + QString::number(i);
    return list;
}

} // namespace

class TestHelpWindow : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir work;
    QString docs;
    QString previousDirectory;

private slots:
    void initTestCase()
    {
        QVERIFY(work.isValid());
        docs = work.filePath(QStringLiteral("doc"));
        QVERIFY(QDir().mkpath(docs));
        writeFile(docs + QStringLiteral("/index.html"),
                  "<html><head><title>Index</title></head><body><a href=\"a.html\">A</a>"
                  "</body></html>");
        writeFile(docs + QStringLiteral("/a.html"),
                  "<html><head><title>Page A</title></head><body>A</body></html>");
        writeFile(docs + QStringLiteral("/plain.html"), "<html><body>No title</body></html>");
        QByteArray longPage = "<html><head><title>Long</title></head><body>";
        for (int i = 0; i < 400; ++i)
            longPage += "<p>Paragraph " + QByteArray::number(i) + " of the long page.</p>";
        writeFile(docs + QStringLiteral("/long.html"), longPage + "</body></html>");
        previousDirectory = QDir::currentPath();
    }
    void init()
    {
        // Each test runs in a fresh working directory: that is where the lists are kept.
        const QString cwd = work.filePath(QString::fromLatin1(QTest::currentTestFunction()) +
                                          QString::fromLatin1(QTest::currentDataTag()));
        QDir().mkpath(cwd);
        QVERIFY(QDir::setCurrent(cwd));
        QFile::remove(QStringLiteral(".history"));
        QFile::remove(QStringLiteral(".bookmarks"));
    }
    void cleanupTestCase() { QDir::setCurrent(previousDirectory); }

    void listFileBytes_data()
    {
        QTest::addColumn<QStringList>("list");
        QTest::addColumn<QByteArray>("hex");
        QTest::newRow("empty") << QStringList() << QByteArray("00000000");
        QTest::newRow("one ascii") << QStringList{"index.html"}
                                   << QByteArray("00000001 00000014"
                                                 "0069006e006400650078002e00680074006d006c");
        QTest::newRow("accent and surrogates")
            << QStringList{QStringLiteral("\u00e9"), QString::fromUtf8("\xf0\x9f\x93\x84"), "x"}
            << QByteArray("00000003 00000002 00e9 00000004 d83ddcc4 00000002 0078");
    }
    void listFileBytes()
    {
        QFETCH(QStringList, list);
        QFETCH(QByteArray, hex);
        const QByteArray bytes = QByteArray::fromHex(hex.replace(' ', ""));
        QVERIFY(StringListFile::write(QStringLiteral("list"), list));
        QCOMPARE(readFile(QStringLiteral("list")), bytes);
        QStringList read{"stale"};
        QVERIFY(StringListFile::read(QStringLiteral("list"), read));
        QCOMPARE(read, list);
    }

    void historyFile_data()
    {
        QTest::addColumn<int>("stored"); // entries written; -1: the bytes instead, if any
        QTest::addColumn<QByteArray>("hex");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("no file") << -1 << QByteArray() << QStringList();
        QTest::newRow("20") << 20 << QByteArray() << numbered(QStringLiteral("p"), 0, 20);
        QTest::newRow("25, the last 20 kept")
            << 25 << QByteArray() << numbered(QStringLiteral("p"), 5, 25);
        // Corrupt files are ignored.
        const std::pair<const char *, const char *> corrupt[] = {
            {"empty file", ""},
            {"short count", "000001"},
            {"huge count", "ffffffff 00000002 0061"},
            {"count beyond data", "00000002 00000002 0061"},
            {"string beyond data", "00000001 7ffffffe 0061"},
            {"odd length", "00000001 00000003 006100"},
            {"truncated length", "00000001 0000"}};
        for (const auto &[name, hex] : corrupt)
            QTest::newRow(name) << -1 << QByteArray(hex) << QStringList();
    }
    void historyFile()
    {
        QFETCH(int, stored);
        QFETCH(QByteArray, hex);
        QFETCH(QStringList, shown);
        if (stored >= 0)
            QVERIFY(StringListFile::write(QStringLiteral(".history"),
                                          numbered(QStringLiteral("p"), 0, stored)));
        else if (!hex.isNull())
            writeFile(QStringLiteral(".history"), QByteArray::fromHex(hex.replace(' ', "")));
        QStringList list{"stale"};
        QCOMPARE(StringListFile::read(QStringLiteral(".history"), list), stored >= 0);
        QVERIFY(stored >= 0 || list.isEmpty());
        const QByteArray before = readFile(QStringLiteral(".history"));
        {
            // The home page is no page the user went to.
            HelpWindow window(QStringLiteral("index.html"), docs);
            QCOMPARE(texts(window.historyMenu()), shown);
        }
        // Nothing added, nothing written.
        QCOMPARE(QFile::exists(QStringLiteral(".history")), stored >= 0 || !hex.isNull());
        QVERIFY(!QFile::exists(QStringLiteral(".bookmarks")));
        QCOMPARE(readFile(QStringLiteral(".history")), before);
    }

    void pageChangesFeedCaptionComboAndHistory()
    {
        HelpWindow window(QStringLiteral("index.html"), docs);
        QCOMPARE(window.pathCombo()->currentText(), QStringLiteral("Index"));
        auto go = [&window](const char *page) { window.textBrowser()->setSource(QUrl(page)); };
        go("plain.html");
        QCOMPARE(window.windowTitle(), QStringLiteral("Qt Example - Helpviewer - plain.html"));
        go("a.html");
        QCOMPARE(window.windowTitle(), QStringLiteral("Qt Example - Helpviewer - Page A"));
        QCOMPARE(texts(window.historyMenu()), (QStringList{"plain.html", "Page A"}));
        QCOMPARE(window.pathCombo()->itemText(0), QStringLiteral("Page A"));
        // A page already visited is selected again, not added again.
        go("index.html");
        QCOMPARE(window.pathCombo()->count(), 3);
        QCOMPARE(window.pathCombo()->currentText(), QStringLiteral("Index"));
        QCOMPARE(window.historyMenu()->actions().size(), 2);

        // An entry of the combo, shown by its title, or of the history goes to its page.
        window.pathCombo()->activated(window.pathCombo()->findText(QStringLiteral("Page A")));
        QCOMPARE(window.textBrowser()->source(), QUrl(QStringLiteral("a.html")));
        window.historyMenu()->actions().at(0)->trigger();
        QCOMPARE(window.textBrowser()->source(), QUrl(QStringLiteral("plain.html")));
        findAction(window, QStringLiteral("&Backward"))->trigger();
        QCOMPARE(window.textBrowser()->source(), QUrl(QStringLiteral("a.html")));
        QVERIFY(findAction(window, QStringLiteral("&Forward"))->isEnabled());
        findAction(window, QStringLiteral("&Home"))->trigger();
        QCOMPARE(window.textBrowser()->source(), QUrl(QStringLiteral("index.html")));
        // Exit closes every window of the program.
        QMainWindow mainWindow;
        mainWindow.show();
        window.show();
        findAction(window, QStringLiteral("E&xit"))->trigger();
        QVERIFY(!mainWindow.isVisible() && !window.isVisible());
    }

    void closingHidesAndSavesWhatEveryWindowAdded()
    {
        // What the main window's help command relies on: after a close, the same window can
        // be shown again and still works. A window opened from it with New Window goes when
        // closed. Each saves at its close what it added, and neither loses what the other did.
        QPointer<HelpWindow> window = new HelpWindow(QStringLiteral("index.html"), docs);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        // The status bar is there from the start: a link under the mouse does not shrink the page.
        const int height = window->textBrowser()->height();
        emit window->textBrowser()->highlighted(QUrl(QStringLiteral("a.html")));
        QCoreApplication::processEvents();
        QCOMPARE(window->textBrowser()->height(), height);
        QCOMPARE(window->statusBar()->currentMessage(), QStringLiteral("a.html"));

        window->pathSelected(QStringLiteral("a.html"));
        QPointer<HelpWindow> opened;
        connect(window, &HelpWindow::windowOpened, this, [&opened](HelpWindow *w) { opened = w; });
        findAction(*window, QStringLiteral("&New Window"))->trigger();
        QVERIFY(!opened.isNull());
        opened->pathSelected(QStringLiteral("plain.html"));
        findAction(*opened, QStringLiteral("Add Bookmark"))->trigger();
        findAction(*window, QStringLiteral("Add Bookmark"))->trigger();
        QCOMPARE(texts(window->bookmarksMenu()),
                 (QStringList{"Add Bookmark", "--", "Qt Example - Helpviewer - Page A"}));
        opened->close();
        QTRY_VERIFY(opened.isNull());
        QVERIFY(window->close());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!window.isNull() && !window->isVisible());
        QStringList history, bookmarks;
        QVERIFY(StringListFile::read(QStringLiteral(".history"), history));
        QCOMPARE(history, (QStringList{"plain.html", "a.html"}));
        QVERIFY(StringListFile::read(QStringLiteral(".bookmarks"), bookmarks));
        QCOMPARE(bookmarks, (QStringList{"plain.html", "a.html"}));

        window->show();
        window->pathSelected(QStringLiteral("long.html"));
        QCOMPARE(window->windowTitle(), QStringLiteral("Qt Example - Helpviewer - Long"));
        delete window;
        QVERIFY(StringListFile::read(QStringLiteral(".history"), history));
        QCOMPARE(history, (QStringList{"plain.html", "a.html", "long.html"}));
        // The next window offers the bookmarks.
        HelpWindow next(QString(), docs);
        next.bookmarksMenu()->actions().at(2)->trigger();
        QCOMPARE(next.textBrowser()->documentTitle(), QString());
        next.bookmarksMenu()->actions().at(3)->trigger();
        QCOMPARE(next.textBrowser()->documentTitle(), QStringLiteral("Page A"));
    }

    void missingPagesSayWhereTheyWereLookedFor()
    {
        HelpWindow window(QStringLiteral("missing.html"), docs);
        const QString text = window.textBrowser()->toPlainText();
        QVERIFY2(text.contains(QDir::cleanPath(docs + QStringLiteral("/missing.html"))),
                 qPrintable(text));

        // A relative guide directory is found beside the executable too, whatever the
        // working directory.
        QTemporaryDir beside(QCoreApplication::applicationDirPath() + QStringLiteral("/guide"));
        QVERIFY(beside.isValid());
        QVERIFY(QFile::copy(docs + QStringLiteral("/a.html"), beside.filePath("a.html")));
        HelpWindow found(QStringLiteral("a.html"), QFileInfo(beside.path()).fileName());
        QCOMPARE(found.textBrowser()->documentTitle(), QStringLiteral("Page A"));
    }

    // Printing writes a PDF page; a page that cannot be shown, or a printer that cannot start,
    // prints nothing.
    void printsToPdf()
    {
        const QString pdf = QDir::current().filePath(QStringLiteral("out.pdf"));
        for (const char *page : {"missing.html", "a.html", "a.html"}) {
            HelpWindow window(QString::fromLatin1(page), docs);
            QPrinter printer(QPrinter::HighResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            const bool ecrit = QFile::exists(pdf); // then a file's name as a folder
            printer.setOutputFileName(ecrit ? pdf + QStringLiteral("/no.pdf") : pdf);
            QCOMPARE(window.printTo(&printer), page[0] == 'a' && !ecrit);
        }
        QVERIFY(readFile(pdf).startsWith("%PDF") && readFile(pdf).contains("/Type /Page"));
    }

    void userGuidePages_data()
    {
        QTest::addColumn<QString>("page");
        const QDir guide(QStringLiteral(ZELVAR_SOURCE_DIR "/doc_html"));
        const QStringList pages = guide.entryList({QStringLiteral("*.html")});
        QVERIFY(pages.contains(QStringLiteral("index.html")));
        for (const QString &page : pages)
            QTest::newRow(qPrintable(page)) << page;
    }
    void userGuidePages()
    {
        // Every page has a caption of its own and every link leads to a page that exists.
        QFETCH(QString, page);
        const QString guide = QStringLiteral(ZELVAR_SOURCE_DIR "/doc_html/");
        HelpWindow window(page, guide);
        QVERIFY(!window.textBrowser()->documentTitle().isEmpty());
        QCOMPARE(window.windowTitle(),
                 "Qt Example - Helpviewer - " + window.textBrowser()->documentTitle());
        const QRegularExpression link(QStringLiteral("href=\"([^\"#]+)"));
        int count = 0;
        for (auto it = link.globalMatch(QString::fromUtf8(readFile(guide + page))); it.hasNext();
             ++count)
            QVERIFY(QFile::exists(guide + it.next().captured(1)));
        QVERIFY(count > 0);
    }
};

QTEST_MAIN(TestHelpWindow)
#include "tst_helpWindow.moc"
