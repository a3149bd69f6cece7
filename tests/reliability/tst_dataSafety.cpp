#include "viewer.h"

#include "dialogs/helpwindow.h"
#include "gui/mainFrame.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

// The user's settings survive whatever happens while they are written: a crash between writing
// and renaming leaves the previous file; a write refused by the disk or the directory is said,
// once, by name. (The parameters, the help window's history and its bookmarks are all written
// by the one atomic writer: the parameters stand for all three here; a directory that cannot
// be written to at all is the parameters' own test's.)
class TestDataSafety : public QObject
{
    Q_OBJECT

private slots:
    void init() { MessageBox::setHandler({}); }
    void crashBeforeRename();
    void closingViewerCannotSave_data();
    void closingViewerCannotSave();
    void helpWindowCannotSave();
};

namespace {

// Version n of the parameters, written to path.
bool sauver(const QString &path, int n, QString *erreur)
{
    Parametres p;
    p.nbCycleTotal = 1000 + n;
    p.traceDirectory = QStringLiteral("/traces/run_%1/").arg(n).repeated(8);
    return p.save(path, erreur);
}

// What a reader finds in the file: the version number, or -1.
int version(const QString &path)
{
    Parametres p;
    return Parametres::load(path, p) ? p.nbCycleTotal - 1000 : -1;
}

} // namespace

// A child process saves version 2 over version 1 and is killed by the kernel in the middle:
// its file size limit makes the first write of the new contents raise SIGXFSZ.
void TestDataSafety::crashBeforeRename()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("Parametres.txt"));
    QString erreur;
    QVERIFY2(sauver(path, 1, &erreur), qPrintable(erreur));

    const pid_t child = fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        rlimit petit{16, 16};
        setrlimit(RLIMIT_FSIZE, &petit);
        std::signal(SIGXFSZ, SIG_DFL);
        sauver(path, 2, nullptr);
        _exit(0); // not reached when the save crashed as intended
    }
    int status = 0; // a child that hangs is the test's time-out
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY2(WIFSIGNALED(status), "the save did not crash midway");
    QCOMPARE(WTERMSIG(status), SIGXFSZ);

    QCOMPARE(version(path), 1);
    // And the next save, whole, replaces it.
    QVERIFY2(sauver(path, 3, &erreur), qPrintable(erreur));
    QCOMPARE(version(path), 3);
}

void TestDataSafety::closingViewerCannotSave_data()
{
    QTest::addColumn<QString>("cas");
    for (const char *cas : {"full disk", "file is a directory", "read-only directory"})
        QTest::newRow(cas) << QString::fromLatin1(cas);
}

// A count typed in the parameters dialog is saved when the window closes; when it cannot be,
// the user is told once, by the file's name, the previous file stays whole and nothing
// half-written is left beside it.
void TestDataSafety::closingViewerCannotSave()
{
    QFETCH(QString, cas);
    if (cas == QLatin1String("read-only directory") && geteuid() == 0)
        QSKIP("root writes into read-only directories");
    Viewer h;
    QVERIFY2(h.ok(), qPrintable(h.error));
    h.ouvrir();
    emit h.mainFrame->nbCycleTotalChanged(4321);
    const QString fichier = h.dir.filePath(QStringLiteral("Parametres.txt"));
    if (cas == QLatin1String("file is a directory"))
        QVERIFY(QFile::remove(fichier) && QDir().mkdir(fichier));
    const auto contenu = [&h] {
        return QDir(h.dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    };
    const QStringList avant = contenu();
    if (cas == QLatin1String("full disk")) {
        // A file size limit of a few bytes, its signal ignored: writes fail as on a full disk.
        rlimit avant{};
        getrlimit(RLIMIT_FSIZE, &avant);
        const rlimit petit{16, avant.rlim_max};
        const auto ancienSignal = std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &petit);
        h.mainFrame->close();
        setrlimit(RLIMIT_FSIZE, &avant);
        std::signal(SIGXFSZ, ancienSignal);
    } else if (cas == QLatin1String("read-only directory")) {
        QVERIFY(
            QFile::setPermissions(h.dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        h.mainFrame->close();
        QFile::setPermissions(h.dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                QFileDevice::ExeOwner);
    } else {
        h.mainFrame->close();
    }
    QCOMPARE(h.alertes().size(), 1);
    QVERIFY2(h.alertes()[0].contains(QStringLiteral("Parametres.txt")), qPrintable(h.alertes()[0]));
    QCOMPARE(contenu(), avant);
    Parametres p;
    QCOMPARE(Parametres::load(fichier, p), cas != QLatin1String("file is a directory"));
    if (cas != QLatin1String("file is a directory"))
        QCOMPARE(p, h.parametres());
}

void TestDataSafety::helpWindowCannotSave()
{
    QList<QString> alertes;
    MessageBox::setHandler([&](MessageBox::Kind kind, const QString &, const QString &text) {
        if (kind == MessageBox::Kind::Alert)
            alertes.append(text);
    });
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString ancien = QDir::currentPath();
    QDir::setCurrent(dir.path());
    const QString docs = QStringLiteral(ZELVAR_SOURCE_DIR "/doc_html");
    {
        HelpWindow window(docs + QStringLiteral("/index.html"), docs);
        window.show();
        window.addBookmark();
        QVERIFY(!window.bookmarkPaths().isEmpty());
        QVERIFY(QDir().mkdir(QStringLiteral(".bookmarks")));
        window.close();
        QCOMPARE(alertes.size(), 1);
        QVERIFY2(alertes[0].contains(QStringLiteral(".bookmarks")), qPrintable(alertes[0]));
        QVERIFY2(!alertes[0].contains(QStringLiteral(".history")), qPrintable(alertes[0]));
    }
    // Destroying the window saves the same lists again: no second message.
    QCOMPARE(alertes.size(), 1);
    // The window added no page to its history: that file is not written at all.
    QVERIFY(!QFile::exists(QStringLiteral(".history")));
    QDir::setCurrent(ancien);
    MessageBox::setHandler({});
}

QTEST_MAIN(TestDataSafety)
#include "tst_dataSafety.moc"
