#include "dialogs/helpwindow.h"
#include "dialogs/stringListFile.h"

#include <QAction>
#include <QComboBox>
#include <QMainWindow>
#include <QMenu>
#include <QPointer>
#include <QPrinter>
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

} // namespace

class TestHelpWindow : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir work;
    std::unique_ptr<QTemporaryDir> cwd;
    QString docs;

private slots:
    void initTestCase()
    {
        QVERIFY(work.isValid());
        docs = work.filePath("doc");
        QVERIFY(QDir().mkpath(docs));
        writeFile(docs + "/index.html",
                  "<html><head><title>Index</title></head><body><a href=\"a.html\">A</a>"
                  "</body></html>");
        writeFile(docs + "/a.html",
                  "<html><head><title>Page A</title></head><body>A</body></html>");
        writeFile(docs + "/plain.html", "<html><body>No title</body></html>");
    }
    void init()
    {
        // Each test runs in a fresh working directory: that is where the lists are kept.
        cwd = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir::setCurrent(cwd->path()));
    }

    // The lists' files in the layout older versions wrote; a corrupt file is ignored.
    void listFileBytes_data()
    {
        QTest::addColumn<QByteArray>("hex");
        QTest::addColumn<QStringList>("list"); // {"corrupt"}: read as no list
        QTest::newRow("empty") << QByteArray("00000000") << QStringList();
        QTest::newRow("one ascii") << QByteArray("00000001 00000014"
                                                 "0069006e006400650078002e00680074006d006c")
                                   << QStringList{"index.html"};
        // Empty, short count, huge count, count or string beyond the data, odd length, cut length.
        for (const char *hex :
             {"", "000001", "ffffffff 00000002 0061", "00000002 00000002 0061",
              "00000001 7ffffffe 0061", "00000001 00000003 006100", "00000001 0000"})
            QTest::addRow("corrupt %s", hex) << QByteArray(hex) << QStringList{"corrupt"};
    }
    void listFileBytes()
    {
        QFETCH(QByteArray, hex);
        QFETCH(QStringList, list);
        const QByteArray bytes = QByteArray::fromHex(hex.replace(' ', ""));
        const bool corrupt = list == QStringList{"corrupt"};
        if (corrupt)
            writeFile("list", bytes);
        else
            QVERIFY(StringListFile::write("list", list));
        QCOMPARE(readFile("list"), bytes);
        QStringList read{"stale"};
        QCOMPARE(StringListFile::read("list", read), !corrupt);
        QCOMPARE(read, corrupt ? QStringList() : list);
    }

    // The History menu offers the last 20 pages of the file.
    void historyFromFile()
    {
        for (int stored : {20, 25}) {
            QStringList pages;
            for (int i = 0; i < stored; ++i)
                pages << "p" + QString::number(i);
            QVERIFY(StringListFile::write(".history", pages));
            HelpWindow window("index.html", docs);
            QCOMPARE(texts(window.historyMenu()), pages.mid(stored - 20));
        }
    }

    void pageChangesFeedCaptionComboAndHistory()
    {
        HelpWindow window("index.html", docs);
        auto go = [&window](const char *page) { window.textBrowser()->setSource(QUrl(page)); };
        go("plain.html");
        QCOMPARE(window.windowTitle(), "Qt Example - Helpviewer - plain.html");
        go("a.html");
        QCOMPARE(window.windowTitle(), "Qt Example - Helpviewer - Page A");
        QCOMPARE(texts(window.historyMenu()), (QStringList{"plain.html", "Page A"}));
        QCOMPARE(window.pathCombo()->itemText(0), "Page A");
        // A page already visited is selected again, not added again.
        go("index.html");
        QCOMPARE(window.pathCombo()->count(), 3);
        QCOMPARE(window.pathCombo()->currentText(), "Index");
        QCOMPARE(window.historyMenu()->actions().size(), 2);

        // An entry of the combo, shown by its title, or of the history goes to its page.
        window.pathCombo()->activated(window.pathCombo()->findText("Page A"));
        QCOMPARE(window.textBrowser()->source(), QUrl("a.html"));
        window.historyMenu()->actions().at(0)->trigger();
        QCOMPARE(window.textBrowser()->source(), QUrl("plain.html"));
        findAction(window, "&Backward")->trigger();
        QCOMPARE(window.textBrowser()->source(), QUrl("a.html"));
        QVERIFY(findAction(window, "&Forward")->isEnabled());
        findAction(window, "&Home")->trigger();
        QCOMPARE(window.textBrowser()->source(), QUrl("index.html"));
        // Exit closes every window of the program.
        QMainWindow mainWindow;
        mainWindow.show();
        window.show();
        findAction(window, "E&xit")->trigger();
        QVERIFY(!mainWindow.isVisible() && !window.isVisible());
    }

    void closingHidesAndSavesWhatEveryWindowAdded()
    {
        // What the main window's help command relies on: after a close, the same window can
        // be shown again and still works. A window opened from it with New Window goes when
        // closed. Each saves at its close what it added, and neither loses what the other did.
        QPointer<HelpWindow> window = new HelpWindow("index.html", docs);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        // The status bar is there from the start: a link under the mouse does not shrink the page.
        const int height = window->textBrowser()->height();
        emit window->textBrowser()->highlighted(QUrl("a.html"));
        QCoreApplication::processEvents();
        QCOMPARE(window->textBrowser()->height(), height);
        QCOMPARE(window->statusBar()->currentMessage(), "a.html");

        window->pathSelected("a.html");
        QPointer<HelpWindow> opened;
        connect(window, &HelpWindow::windowOpened, this, [&opened](HelpWindow *w) { opened = w; });
        findAction(*window, "&New Window")->trigger();
        QVERIFY(!opened.isNull());
        opened->pathSelected("plain.html");
        findAction(*opened, "Add Bookmark")->trigger();
        findAction(*window, "Add Bookmark")->trigger();
        QCOMPARE(texts(window->bookmarksMenu()),
                 (QStringList{"Add Bookmark", "--", "Qt Example - Helpviewer - Page A"}));
        opened->close();
        QTRY_VERIFY(opened.isNull());
        QVERIFY(window->close());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!window.isNull() && !window->isVisible());
        QStringList history, bookmarks;
        QVERIFY(StringListFile::read(".history", history) &&
                StringListFile::read(".bookmarks", bookmarks));
        QCOMPARE(history + bookmarks,
                 (QStringList{"plain.html", "a.html", "plain.html", "a.html"}));

        window->show();
        window->pathSelected("index.html");
        delete window;
        QVERIFY(StringListFile::read(".history", history));
        QCOMPARE(history, (QStringList{"plain.html", "a.html", "index.html"}));
        // The next window offers the bookmarks.
        HelpWindow next(QString(), docs);
        next.bookmarksMenu()->actions().at(3)->trigger();
        QCOMPARE(next.textBrowser()->documentTitle(), "Page A");
    }

    // A page that cannot be shown says where it was looked for and prints nothing; printing
    // writes a PDF page, unless the printer cannot start.
    void missingPagesAndPrinting()
    {
        const QString pdf = QDir::current().filePath("out.pdf");
        for (const char *page : {"missing.html", "a.html", "a.html"}) {
            HelpWindow window(QString::fromLatin1(page), docs);
            const QString text = window.textBrowser()->toPlainText();
            QCOMPARE(text.contains(QDir::cleanPath(docs + "/missing.html")), page[0] == 'm');
            QPrinter printer(QPrinter::HighResolution);
            const bool ecrit = QFile::exists(pdf); // then a file's name as a folder
            printer.setOutputFileName(ecrit ? pdf + "/no.pdf" : pdf);
            QCOMPARE(window.printTo(&printer), page[0] == 'a' && !ecrit);
        }
        QVERIFY(readFile(pdf).startsWith("%PDF") && readFile(pdf).contains("/Type /Page"));

        // A relative guide directory is found beside the executable too, whatever the
        // working directory.
        QTemporaryDir beside(QCoreApplication::applicationDirPath() + "/guide");
        QVERIFY(QFile::copy(docs + "/a.html", beside.filePath("a.html")));
        HelpWindow found("a.html", QFileInfo(beside.path()).fileName());
        QCOMPARE(found.textBrowser()->documentTitle(), "Page A");
    }

    // Every page of the user guide has a title, and every page or picture it links to exists.
    void userGuide()
    {
        const QDir guide(QStringLiteral(ZELVAR_SOURCE_DIR "/doc_html"));
        const QRegularExpression link("(?:href|src)=\"([^\"#:]+)");
        for (const QString &page : guide.entryList({"*.html"})) {
            HelpWindow window(page, guide.path());
            QVERIFY2(!window.textBrowser()->documentTitle().isEmpty(), qPrintable(page));
            const QString html = QString::fromUtf8(readFile(guide.filePath(page)));
            for (auto it = link.globalMatch(html); it.hasNext();)
                QVERIFY2(guide.exists(it.next().captured(1)), qPrintable(page));
        }
    }
};

QTEST_MAIN(TestHelpWindow)
#include "tst_helpWindow.moc"
