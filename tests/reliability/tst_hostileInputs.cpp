#include "viewer.h"

#include "core/graphicBlock.h"
#include "core/graphicTrace.h"
#include "dialogs/helpwindow.h"
#include "gui/mainFrame.h"
#include "gui/tableAsm.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// How the user gets to the file: Execute (zoom files), Execute and zoom in (the configuration's
// events, trace files), and choosing pc 0 at single cycles (the listing).
enum Fichier { config, trace, zoom, listing };

QByteArray lire(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool ecrire(const QString &path, const QByteArray &data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(data) == data.size();
}

// Damages the file ("truncate", "1GB…", "operands" or "from=>to", the first occurrence
// replaced); false when the damage could not be made.
bool endommager(const QString &path, const QString &degat)
{
    QByteArray data = lire(path);
    if (degat == QLatin1String("truncate"))
        return ecrire(path, data.left(data.size() * 3 / 5));
    if (degat.startsWith(QLatin1String("1GB"))) {
        // The start of the file is good; the rest is a gigabyte of holes, taking no disk.
        QFile file(path);
        return file.open(QIODevice::ReadWrite) && file.resize(qint64(1) << 30);
    }
    if (degat == QLatin1String("operands")) { // on the listing's first instruction
        QByteArray many = "<operands><count>10000</count>";
        for (int i = 0; i < 10000; ++i)
            many += "<operand><direction>in</direction><type>register</type><value>r" +
                    QByteArray::number(i) + "</value></operand>";
        const int debut = int(data.indexOf("<operands>"));
        return ecrire(path, data.replace(debut, data.indexOf("</operands>") - debut, many));
    }
    const QStringList parts = degat.split(QStringLiteral("=>"));
    const int at = int(data.indexOf(parts[0].toUtf8()));
    return parts.size() == 2 && at >= 0 &&
           ecrire(path, data.replace(at, parts[0].toUtf8().size(), parts[1].toUtf8()));
}

bool voir(Viewer &h, int fichier)
{
    if (!h.executer(fichier == zoom ? 0 : 1))
        return false;
    if (fichier == listing)
        emit h.mainFrame->displayPcTracePc(0, 0);
    QCoreApplication::processEvents();
    return true;
}

// The user's memory budget in MiB (0: the default).
void budget(int mib)
{
    QSettings(QStringLiteral("Zelvar"), QStringLiteral("Zelvar"))
        .setValue(QStringLiteral("memoryBudgetMiB"), mib);
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

// What a half-finished or damaged simulation run leaves on disk, met through the whole viewer:
// each gives one clear message naming the file, or a sound display, and the viewer works
// again once the data is good. (Each parser's own report on each kind of damage, a missing or
// unreadable file included, is checked with the parsers.) And the user's settings survive
// whatever happens while they are written: a crash between writing and renaming leaves the
// previous file; a write refused by the disk is said, once, by name. (The parameters and the
// help window's lists share the one atomic writer; a directory that cannot be written to is
// the parameters' own test's.)
class TestHostileInputs : public QObject
{
    Q_OBJECT

private slots:
    void init() { budget(0); }
    void cleanupTestCase() { budget(0); } // a run outside ctest leaves the user's own alone

    // A child process saves version 2 over version 1 and is killed by the kernel in the middle.
    void crashBeforeRename()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Parametres.txt"));
        // Version n of the parameters; what a reader finds: the version number, or -1.
        const auto sauver = [&path](int n, QString *erreur) {
            Parametres p;
            p.nbCycleTotal = 1000 + n;
            p.traceDirectory = QStringLiteral("/traces/run_%1/").arg(n).repeated(8);
            return p.save(path, erreur);
        };
        const auto version = [&path] {
            Parametres p;
            return Parametres::load(path, p) ? p.nbCycleTotal - 1000 : -1;
        };
        QString erreur;
        QVERIFY2(sauver(1, &erreur), qPrintable(erreur));
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            std::signal(SIGXFSZ, SIG_DFL);
            limiter();
            sauver(2, nullptr);
            _exit(0); // not reached when the save crashed as intended
        }
        int status = 0; // a child that hangs is the test's time-out
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY2(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ, "no crash midway");
        QCOMPARE(version(), 1);
        // And the next save, whole, replaces it.
        QVERIFY2(sauver(3, &erreur), qPrintable(erreur));
        QCOMPARE(version(), 3);
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
        Viewer h; // in a directory of its own
        const QString docs = QStringLiteral(ZELVAR_SOURCE_DIR "/doc_html");
        {
            HelpWindow window(docs + QStringLiteral("/index.html"), docs);
            window.show();
            window.addBookmark();
            QVERIFY(!window.bookmarkPaths().isEmpty());
            QVERIFY(QDir().mkdir(QStringLiteral(".bookmarks")));
            window.close();
        }
        QCOMPARE(h.alertes().size(), 1);
        QVERIFY2(h.alertes()[0].contains(QStringLiteral(".bookmarks")), qPrintable(h.alertes()[0]));
    }

    void damagedData_data()
    {
        QTest::addColumn<int>("fichier");
        QTest::addColumn<QString>("degat");
        // The one message expected (the file's name is checked too), or empty for none.
        QTest::addColumn<QString>("message");
        const auto row = [](const char *name, Fichier fichier, const QString &degat,
                            const QString &message = QString()) {
            QTest::newRow(name) << int(fichier) << degat << message;
        };
        const QString outside = "cycle %1 is outside its cycles 0 to 19";
        QString events;
        for (int i = 0; i < 1000; ++i)
            events += QStringLiteral("<event><name>extra_%1</name></event>").arg(i);

        row("listing cut off mid-write", listing, "truncate", "XML error");
        row("zoom count beyond the level", zoom, "<count>10</count>=><count>5000</count>");
        row("negative zoom count", zoom, "<count>10</count>=><count>-7</count>");
        row("cycles out of order", trace, "<date>3</date>=><date>6</date>");
        row("duplicate cycle", trace, "<date>4</date>=><date>2</date>");
        row("cycle after the file's slice", trace, "<date>5</date>=><date>500</date>",
            outside.arg(500));
        // The pc of the left-out cycle's last event must not give the next event, which has
        // none, a row in the PC view.
        row("cycle outside the slice, then an event without pc", trace,
            "<date>6</date>=><date>600</date><event><name>fetch</name><instruction><pc>3</pc>"
            "</instruction></event></cycle><cycle><date>6</date><event><name>fetch</name></event>",
            outside.arg(600));
        row("negative cycle", trace, "<date>5</date>=><date>-5</date>", outside.arg(-5));
        row("zoom cycle outside the file's slice", zoom, "<date>10</date>=><date>9990</date>",
            outside.arg(9990));
        row("negative pc", trace, "<pc>1</pc>=><pc>-1</pc>");
        row("10,000 operands on one pc", listing, "operands");
        row("1,000 configured events", config, "</events>=>" + events + "</events>");
        // No size is refused as such: a gigabyte fits the budget and is read up to its damage.
        row("1 GB trace file", trace, "1GB", "XML error");
        // Past a budget of 512 MiB, it is not read at all.
        row("1 GB trace file past the budget", trace, "1GB budget",
            "would take about 1037 MiB of memory, more than the memory budget of 512 MiB");
    }

    void damagedData()
    {
        QFETCH(int, fichier);
        QFETCH(QString, degat);
        QFETCH(QString, message);
        budget(degat.endsWith(QLatin1String("budget")) ? 512 : 0);
        TraceGeneratorOptions options;
        options.nbCycleParTrace = 20;
        options.nbCycleTotal = 200;
        options.nbEventKinds = 6;
        options.fetchWidth = 2;
        Viewer h(options);
        QVERIFY2(h.ok(), qPrintable(h.error));
        const TraceGeneratorOptions &o = h.options;
        const QString path = QStringList{o.configFilePath(), o.traceFilePath(0),
                                         o.zoomFilePath(10, 0), o.asmFilePath(0)}[int(fichier)];
        const QByteArray bon = lire(path);
        QVERIFY(endommager(path, degat));
        h.ouvrir();
        QVERIFY(voir(h, fichier));
        const QString alertes = h.alertes().join(QLatin1Char('\n'));
        QCOMPARE(h.alertes().size(), message.isEmpty() ? 0 : 1);
        QVERIFY2(message.isEmpty() ||
                     (alertes.contains(message) && alertes.contains(QFileInfo(path).fileName())),
                 qPrintable(alertes));
        QVERIFY2(h.invariants(true).isEmpty(), qPrintable(h.invariants(true)));
        if (degat.contains(QLatin1String("<count>-"))) {
            // A count below none is drawn in the trace's colour.
            GraphicTrace &store = h.system->getGraphicTrace();
            std::lock_guard<std::recursive_mutex> lock(store.mutex());
            for (const GraphicElement *element : store.getTabCycle().at(0)) {
                const auto *block = static_cast<const GraphicBlock *>(element);
                QVERIFY(block->getNbEvent() > 0 ||
                        block->getBrush().color() == h.mainFrame->getCouleurTrace());
            }
        }
        // Good data again: Execute works and says nothing.
        h.messages.clear();
        QVERIFY(ecrire(path, bon));
        QVERIFY(voir(h, listing));
        QVERIFY2(h.alertes().isEmpty(), qPrintable(h.alertes().join(QLatin1Char('\n'))));
        QCOMPARE(h.blocsParFichier(false).size(), size_t(2));
        QCOMPARE(h.table()->cellText(0, 0), QStringLiteral("0"));
        QVERIFY2(h.invariants(true).isEmpty(), qPrintable(h.invariants(true)));
    }

    // Files that each fit the budget, but not together: the read that passes it stops there,
    // with one message, and memory stays within the budget.
    void readsStopAtTheBudget()
    {
        TraceGeneratorOptions options;
        options.nbCycleParTrace = 10000; // some 100,000 blocks, 8 MB of memory, per file
        options.nbCycleTotal = 30000;
        Viewer h(options);
        QVERIFY2(h.ok(), qPrintable(h.error));
        budget(12);
        h.ouvrir();
        QVERIFY(h.executer(1));
        QCOMPARE(h.alertes().size(), 1);
        QVERIFY2(h.alertes()[0].contains(QLatin1String("trace_10000.xml : at cycle ")) &&
                     h.alertes()[0].contains(QLatin1String("passed the memory budget of 12 MiB")),
                 qPrintable(h.alertes()[0]));
        // One cycle's blocks may come on top of the budget before the check.
        QVERIFY(qint64(GraphicBlock::liveCount()) * 80 <= (qint64(12) << 20) + 80 * 64);
        const std::map<int, int> blocs = h.blocsParFichier(false);
        QVERIFY(blocs.at(0) > blocs.at(10000));
    }
};

QTEST_MAIN(TestHostileInputs)
#include "tst_hostileInputs.moc"
