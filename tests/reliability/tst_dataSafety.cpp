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

// Sets the file size limit to a few bytes (writes past it raise SIGXFSZ, or fail as on a full
// disk when it is ignored); returns the limit before.
rlimit limiter()
{
    rlimit avant{};
    getrlimit(RLIMIT_FSIZE, &avant);
    const rlimit petit{16, avant.rlim_max};
    setrlimit(RLIMIT_FSIZE, &petit);
    return avant;
}

} // namespace

// The user's settings survive whatever happens while they are written: a crash between writing
// and renaming leaves the previous file; a write refused by the disk or the directory is said,
// once, by name. (The parameters and the help window's lists share the one atomic writer; a
// directory that cannot be written to is the parameters' own test's.)
class TestDataSafety : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { MessageBox::setHandler({}); }

    // A child process saves version 2 over version 1 and is killed by the kernel in the middle.
    void crashBeforeRename()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Parametres.txt"));
        QString erreur;
        QVERIFY2(sauver(path, 1, &erreur), qPrintable(erreur));
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            std::signal(SIGXFSZ, SIG_DFL);
            limiter();
            sauver(path, 2, nullptr);
            _exit(0); // not reached when the save crashed as intended
        }
        int status = 0; // a child that hangs is the test's time-out
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY2(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ, "no crash midway");
        QCOMPARE(version(path), 1);
        // And the next save, whole, replaces it.
        QVERIFY2(sauver(path, 3, &erreur), qPrintable(erreur));
        QCOMPARE(version(path), 3);
    }

    // A count typed in the parameters dialog is saved when the window closes; when the disk is
    // full, the user is told once, by the file's name, the previous file stays whole and
    // nothing half-written is left beside it.
    void closingViewerCannotSave()
    {
        Viewer h;
        QVERIFY2(h.ok(), qPrintable(h.error));
        h.ouvrir();
        emit h.mainFrame->nbCycleTotalChanged(4321);
        const auto contenu = [&h] {
            return QDir(h.dir.path())
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        };
        const QStringList avant = contenu();
        const auto ancienSignal = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limite = limiter();
        h.mainFrame->close();
        setrlimit(RLIMIT_FSIZE, &limite);
        std::signal(SIGXFSZ, ancienSignal);
        QCOMPARE(h.alertes().size(), 1);
        QVERIFY2(h.alertes()[0].contains(QStringLiteral("Parametres.txt")),
                 qPrintable(h.alertes()[0]));
        QCOMPARE(contenu(), avant);
        Parametres p;
        QVERIFY(Parametres::load(h.dir.filePath(QStringLiteral("Parametres.txt")), p));
        QCOMPARE(p, h.parametres());
    }

    // The help window's bookmarks cannot replace a directory of their name: said once, though
    // closing and destroying the window both save.
    void helpWindowCannotSave()
    {
        QList<QString> alertes;
        MessageBox::setHandler([&](MessageBox::Kind kind, const QString &, const QString &text) {
            if (kind == MessageBox::Kind::Alert)
                alertes.append(text);
        });
        QTemporaryDir dir;
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
        }
        QCOMPARE(alertes.size(), 1);
        QVERIFY2(alertes[0].contains(QStringLiteral(".bookmarks")), qPrintable(alertes[0]));
        QVERIFY2(!alertes[0].contains(QStringLiteral(".history")), qPrintable(alertes[0]));
        // The window added no page to its history: that file is not written at all.
        QVERIFY(!QFile::exists(QStringLiteral(".history")));
        QDir::setCurrent(ancien);
    }
};

QTEST_MAIN(TestDataSafety)
#include "tst_dataSafety.moc"
