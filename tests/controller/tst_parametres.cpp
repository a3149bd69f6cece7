#include "controller/fileWindow.h"
#include "controller/parametres.h"
#include "controller/traceFolder.h"
#include "controller/zoomLevels.h"
#include "tools/traceGenerator/traceGenerator.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdlib>
#include <sys/stat.h>
#include <sys/wait.h>

namespace {

// The window of files on files of 100 cycles numbered 0 to 400, as in a trace of 500 cycles.

constexpr int nb = 100;

QString etat(const FileWindow &w)
{
    static const char lettres[] = {'-', 'V', 'L', 'C'}; // missing, wanted, reading, read
    QStringList places;
    for (const FileWindow::Fichier &f : w.fichiers()) {
        places << (f.etat == FileWindow::Etat::Manquant
                       ? QStringLiteral("-")
                       : QString::number(f.numero) + QLatin1Char(lettres[int(f.etat)]));
    }
    return places.join(QLatin1Char(' '));
}

// "p230" places the window at cycle 230 (the files that leave are noted), "p230w250" there for a
// view showing 250 cycles, "s" starts reading the next file, "g250" says its read reached cycle
// 250, "e" ends it, "r" reads it whole, "R" reads every file the window wants.
QString jouer(FileWindow &w, const QString &script)
{
    const auto existe = [](int numero) { return numero >= 0 && numero <= 400; };
    QStringList sortis;
    int enLecture = -1;
    for (const QString &pas : script.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QChar op = pas.at(0);
        const int valeur = pas.mid(1).toInt();
        if (op == QLatin1Char('p')) {
            const QStringList parts = pas.mid(1).split(QLatin1Char('w'));
            for (const FileWindow::Fichier &f :
                 w.placer(parts[0].toInt(), parts.value(1, QStringLiteral("1")).toInt(), existe))
                sortis << QString::number(f.numero);
        } else if (op == QLatin1Char('s') || op == QLatin1Char('r') || op == QLatin1Char('R')) {
            do {
                const std::optional<int> n = w.aLire();
                if (!n)
                    break;
                enLecture = *n;
                w.debutLecture(enLecture);
                if (op != QLatin1Char('s'))
                    w.finLecture(enLecture, enLecture + nb - 1);
            } while (op == QLatin1Char('R'));
        } else if (op == QLatin1Char('g')) {
            w.progression(enLecture, valeur);
        } else if (op == QLatin1Char('e')) {
            w.finLecture(enLecture, enLecture + nb - 1);
        }
    }
    return sortis.join(QLatin1Char(','));
}

} // namespace

// The controller's plain data: the parameters (their file, a trace folder's, the command line,
// the numbers computed from them) and the window of files (which files it holds, which leave
// it, which it reads next, its bounds).
class TestParametres : public QObject
{
    Q_OBJECT

private slots:
    void placer_data();
    void placer();

    // Ten lines, or ten non-empty ones, are ten values; otherwise whitespace-separated tokens.
    // Missing values and counts per file that are not positive ints keep their defaults; a
    // total that is not a number is 0.
    void readBack_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("traceDirectory");
        QTest::addColumn<QList<int>>("counts"); // cycles per file, pcs per file, total
        QTest::addColumn<QString>("asmDirectory");
        auto row = [](const char *name, const char *text, const char *trace = "td",
                      QList<int> counts = {7, 8, 9}, const char *asmDir = "ad") {
            QTest::newRow(name) << QByteArray(text) << QString::fromUtf8(trace) << counts
                                << QString::fromUtf8(asmDir);
        };
        row("one per line", "c\nt\ntd\nz\nzd\n7\na\nad\n8\n9\n");
        row("two values on one line", "c\nt td\nz\nzd\n7\na\nad\n8\n9\n");
        row("directory with spaces", "c\nt\nmy td\nz\nzd\n7\na\nmy ad\n8\n9\n", "my td", {7, 8, 9},
            "my ad");
        row("empty field: the rest stays in place", "\nt\ntd\nz\nzd\n7\na\nad\n8\n9\n");
        row("blank lines between ten values", "\nc\n\nt\ntd\nz\nzd\n7\na\nad\n8\n9\n\n");
        row("crlf line ends", "c\r\nt\r\ntd\r\nz\r\nzd\r\n7\r\na\r\nad\r\n8\r\n9\r\n");
        row("seven values: rest default", "c\nt\ntd\nz\nzd\n7\na\n", "td", {7, 100, 500},
            "../xml/100/asm");
        row("latin-1 directory", "c\nt\n/d/caf\xe9\nz\nzd\n7\na\nad\n8\n9\n", "/d/caf\xc3\xa9");
        row("counts not positive", "c\nt\ntd\nz\nzd\n0\na\nad\n-1\n-9\n", "td", {100, 100, -9});
        row("counts not numbers", "c\nt\ntd\nz\nzd\nabc\na\nad\n12x\n1e3\n", "td", {100, 100, 0});
        row("count beyond int", "c\nt\ntd\nz\nzd\n99999999999\na\nad\n7\n8\n", "td", {100, 7, 8});
    }

    void readBack()
    {
        QFETCH(QByteArray, text);
        const Parametres p = Parametres::fromText(text);
        QTEST(p.traceDirectory, "traceDirectory");
        QTEST(QList<int>({p.nbCycleParTrace, p.nbPcParAsm, p.nbCycleTotal}), "counts");
        QTEST(p.asmDirectory, "asmDirectory");
    }

    // Saved and read back the same (the values' encodings are the fuzz seeds'), nothing left
    // beside it, a new file rw-rw-r-- less the umask; a file not written is named in the error.
    void saveAndLoad()
    {
        QTemporaryDir dir;
        const QString filename = dir.filePath(QStringLiteral("Parametres.txt"));
        Parametres p;
        p.traceDirectory = QStringLiteral("/data/my traces/run 1");
        p.nbCycleTotal = 123456;
        QString error;
        const mode_t umaskAvant = umask(0);
        const bool saved = p.save(filename, &error);
        umask(umaskAvant);
        QVERIFY2(saved, qPrintable(error));
        QCOMPARE(int(QFile::permissions(filename)) & 0x777, 0x664);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({"Parametres.txt"}));
        Parametres read;
        QVERIFY(Parametres::load(filename, read));
        QCOMPARE(read, p);
        QVERIFY(!p.save(dir.filePath("missing/Parametres.txt"), &error));
        QVERIFY2(error.contains(dir.filePath("missing/Parametres.txt")), qPrintable(error));
    }

    // file: the file holding a value, truncating toward zero as the simulator does; zoom: block
    // width, blocks across and down, block height of a level for a view's size; shade: an event
    // counted n times in 10 cycles, on white; drag: a handle dragged from p to v at a level, in a
    // view of cycles 100 to 399.
    void numbers_data()
    {
        QTest::addColumn<QList<int>>("args");
        QTest::addColumn<QList<int>>("result");
        const auto row = [](const char *tag, QList<int> args, QList<int> result) {
            QTest::newRow(tag) << args << result;
        };
        row("file: last of file", {299, 100}, {200});
        row("file: negative truncates to zero", {-50, 100}, {0});
        row("zoom: 650x300 level 1", {650, 300, 1}, {20, 33, 16, 20});
        row("zoom: 650x300 level 10", {650, 300, 10}, {20, 33, 31, 10});
        row("shade: three of ten", {255, 0, 0, 3}, {255, 178, 178});
        row("shade: count above level clamped", {0, 0, 255, 25}, {0, 0, 255});
        row("shade: negative count clamped", {0, 0, 255, -4}, {255, 255, 255});
        const int accepte = int(FileWindow::Deplacement::Accepte);
        const int retour = int(FileWindow::Deplacement::Retour);
        row("drag: last cycle", {150, 399, 1}, {accepte});
        row("drag: after the last cycle", {150, 400, 1}, {retour});
        row("drag: before the first cycle", {150, 99, 1}, {retour});
        row("drag: level 10, first cycle", {150, 100, 10}, {accepte});
        row("drag: level 10, not a multiple", {150, 205, 10},
            {int(FileWindow::Deplacement::Ignore)});
        row("drag: level 10, outside wins", {150, 405, 10}, {retour});
    }

    void numbers()
    {
        QFETCH(QList<int>, args);
        const QByteArray tag = QTest::currentDataTag();
        QList<int> result;
        if (tag.startsWith("file")) {
            result << Parametres::numeroFichier(args[0], args[1]);
        } else if (tag.startsWith("drag")) {
            result << int(FileWindow::glisser(args[0], args[1], args[2], 100, 399));
        } else if (tag.startsWith("zoom")) {
            const InfosZoom info = ZoomLevels::build(args[0], args[1]).at(args[2]);
            result << info.getLargeurBlock() << info.getNbBlockHorizontalToPaint()
                   << info.getNbBlockVerticalToPaint() << info.getHauteurBlock();
        } else {
            const QColor shade = ZoomLevels::calculerCouleur(QColor(args[0], args[1], args[2]),
                                                             Qt::white, args[3], 10);
            result << shade.red() << shade.green() << shade.blue();
        }
        QTEST(result, "result");
    }

    void detection_data()
    {
        // Generated with: cycles, cycles per file, pcs, pcs per file, then the zoom levels; the
        // configuration, trace, zoom and listing paths and the three prefixes (or the defaults).
        QTest::addColumn<QList<int>>("sizes");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("damage"); // then done to the folder
        // configuration, trace folder and prefix, zoom folder and prefix, cycles per file, listing
        // folder, prefix and pcs per file, total, each level; or "!" and a part of the message.
        QTest::addColumn<QString>("found");
        const auto row = [](const char *tag, QList<int> sizes, QStringList names,
                            const char *damage, const char *found) {
            QTest::newRow(tag) << sizes << names << QString(damage) << QString(found);
        };
        row("sample's layout", {500, 100, 200, 100, 10, 100}, {}, "",
            "config.xml 100/trace trace 100/zoom zoom 100 100/asm asm 100 500 10 100");
        row("own names, partial last file, a file of another kind first", {230, 40, 90, 25, 5, 20},
            {"events.xml", "40/t", "40/z", "40/l", "tr", "zz", "listing"}, "notes",
            "events.xml 40/t tr 40/z zz 40 40/l listing 25 230 5 20");
        row("one listing, no zoom files", {500, 100, 60, 100}, {}, "",
            "config.xml 100/trace trace 100/zoom zoom 100 100/asm asm 60 500");
        row("cut other than the folder's", {500, 100, 200, 100, 10}, {}, "mv 100 30",
            "!trace files cut every 30 cycles");
        row("not a folder", {500, 100, 200, 100, 10}, {}, "open config.xml",
            "!config.xml is not a folder");
    }

    void detection()
    {
        QFETCH(QList<int>, sizes);
        QFETCH(QStringList, names);
        QFETCH(QString, damage);
        QFETCH(QString, found);
        QTemporaryDir root;
        TraceGeneratorOptions o;
        o.rootDirectory = root.path();
        QString *fields[] = {&o.configFile,   &o.traceDirectory, &o.zoomDirectory, &o.asmDirectory,
                             &o.tracePrefixe, &o.zoomPrefixe,    &o.asmPrefixe};
        for (int i = 0; i < names.size(); ++i)
            *fields[i] = names[i];
        std::tie(o.nbCycleTotal, o.nbCycleParTrace, o.nbPc, o.nbPcParAsm) =
            std::tuple(sizes[0], sizes[1], sizes[2], sizes[3]);
        o.zoomLevels = sizes.mid(4);
        QVERIFY(TraceGenerator(o).generate());
        QDir dir(root.path());
        const QStringList words = damage.split(' ');
        const QString folder = words[0] == "open" ? dir.filePath(words[1]) : root.path();
        QFile notes(dir.filePath("aaa.xml")); // another kind of XML file, first by name
        if (words[0] == "mv")
            QVERIFY(dir.rename(words[1], words[2]));
        else if (words[0] == "notes")
            QVERIFY(notes.open(QIODevice::WriteOnly) && notes.write("<notes/>") > 0 &&
                    notes.flush());

        const TraceFolder::Detection d = TraceFolder::detecter(folder);
        if (found.startsWith('!')) {
            QVERIFY(d.message().startsWith("Cannot open the trace folder " + folder + ":\n"));
            QVERIFY2(d.message().contains(found.mid(1)), qPrintable(d.message()));
            return;
        }
        QVERIFY2(d.ok(), qPrintable(d.message()));
        const Parametres &p = d.parametres;
        const auto rel = [&dir](const QString &path) { return dir.relativeFilePath(path); };
        QStringList parts;
        parts << rel(p.configFile) << rel(p.traceDirectory) << p.tracePrefixe
              << rel(p.zoomDirectory) << p.zoomPrefixe << QString::number(p.nbCycleParTrace)
              << rel(p.asmDirectory) << p.asmPrefixe << QString::number(p.nbPcParAsm)
              << QString::number(p.nbCycleTotal);
        for (int level : d.niveauxZoom)
            parts << QString::number(level);
        QCOMPARE(parts.join(' '), found);
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("output");
        QTest::newRow("help") << QStringList{"--help"} << 0 << "Usage: zelvar [FOLDER]\n";
        QTest::newRow("version") << QStringList{"-v"} << 0 << "zelvar 1.0\n";
        QTest::newRow("two folders") << QStringList{"-platform", "offscreen", "a", "b"} << 2
                                     << "zelvar: unexpected argument \"b\"\nUsage: zelvar [FOLDER]";
    }

    // Help and version need no display (the toolkit would abort without one). Not QProcess:
    // ThreadSanitizer cannot follow the clone() it starts children with.
    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, output);
        QTemporaryDir dir;
        const QString out = dir.filePath("out");
        const int status = std::system(
            qPrintable(QStringLiteral("env -u DISPLAY QT_QPA_PLATFORM=xcb '%1' %2 >'%3' 2>&1")
                           .arg(ZELVAR_BINARY_DIR "/zelvar", arguments.join(' '), out)));
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), exitCode);
        QFile text(out);
        QVERIFY(text.open(QIODevice::ReadOnly));
        const QByteArray bytes = text.readAll();
        QVERIFY2(bytes.contains(output.toUtf8()), bytes.constData());
    }
};

void TestParametres::placer_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("fichiers"); // current, previous, next
    QTest::addColumn<QString>("sortis");
    QTest::addColumn<int>("aLire"); // -1: none
    QTest::addColumn<int>("min");
    QTest::addColumn<int>("max");

    const auto row = [](const char *tag, const char *script, const char *fichiers,
                        const char *sortis, int aLire, int min, int max) {
        QTest::newRow(tag) << script << fichiers << sortis << aLire << min << max;
    };
    row("bounds grow while it is read", "p230 s g250", "200L 100V 300V", "", -1, 200, 250);
    row("previous file next", "p230 r", "200C 100V 300V", "", 100, 200, 299);
    row("all read", "p230 R", "200C 100C 300C", "", -1, 100, 399);
    row("first file: no previous", "p40 R", "0C - 100C", "", -1, 0, 199);
    row("last file: no next", "p450 R", "400C 300C -", "", -1, 300, 499);
    row("current file missing: empty", "p620", "- - -", "", -1, 600, 600);
    row("forward: oldest leaves", "p230 R p300", "300C 200C 400V", "100", 400, 200, 399);
    row("back: newest leaves", "p230 R p199", "100C 0V 200C", "300", 0, 100, 299);
    row("jump: what stays is kept", "p230 R p0", "0V - 100C", "200,300", 0, 0, 199);
    row("past the end: stays", "p350 R p520", "300C 200C 400C", "", -1, 200, 499);
    // A view showing more cycles than a file holds (a coarse level) gets every file it shows.
    row("wide view: every file shown", "p130w250", "100V 0V 200V 300V", "", 100, 100, 100);
    row("wide view to the end", "p330w250 R", "300C 200C 400C", "", -1, 200, 499);
    row("wide view slides", "p130w250 R p230w250", "200C 100C 300C 400V", "0", 400, 100, 399);
    row("left while read, back", "p230 s p430 p230", "200V 100V 300V", "200,100,400", 200, 200,
        200);
}

void TestParametres::placer()
{
    QFETCH(QString, script);
    FileWindow w(nb);
    QVERIFY(!w.actif());
    QTEST(jouer(w, script), "sortis");
    QVERIFY(w.actif());
    QTEST(etat(w), "fichiers");
    QTEST(w.aLire().value_or(-1), "aLire");
    QTEST(w.cycleMin(), "min");
    QTEST(w.cycleMax(), "max");
}

QTEST_MAIN(TestParametres)
#include "tst_parametres.moc"
