#include "tools/traceGenerator/traceGenerator.h"

#include "core/config.h"
#include "parsers/parserAsm.h"
#include "parsers/parserConfig.h"
#include "parsers/parserTrace.h"
#include "parsers/parserZoom.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <map>

// The generator's files read back with the viewer's own parsers: what the viewer will see.
namespace {

// The events of one cycle (trace: name and pc, -1 without) or one group (zoom: name and count).
using Cycles = std::map<int, QList<QPair<QString, int>>>;

class Lecteur final : public ParserTrace::Recepteur, public ParserZoom::Recepteur
{
public:
    void addCycleTrace(int cycle) override { courant = &cycles[cycle]; }
    void newEventTrace(const QString &name) override { courant->append({name, -1}); }
    void pcTrace(int pc) override { courant->last().second = pc; }
    void addEventTrace() override {}
    void addCycleZoom(int cycle) override { addCycleTrace(cycle); }
    void newEventZoom(const QString &name) override { newEventTrace(name); }
    void setNbEventZoom(const QString &, int count) override { pcTrace(count); }
    void addEventZoom() override {}

    Cycles cycles;
    QList<QPair<QString, int>> *courant = nullptr;
};

// Every cycle of a set (level 0) or every group of a zoom level, across its files; a report
// of a parser shows as cycle -1.
Cycles lire(const TraceGeneratorOptions &o, int level = 0)
{
    Lecteur lecteur;
    for (int n = 0; n < o.nbCycleTotal; n += o.nbCycleParTrace) {
        std::unique_ptr<Parser> parser;
        if (level) {
            auto *zoom = new ParserZoom;
            zoom->setRecepteur(&lecteur);
            parser.reset(zoom);
        } else {
            auto *trace = new ParserTrace;
            trace->setRecepteur(&lecteur);
            parser.reset(trace);
        }
        QObject::connect(parser.get(), &Parser::errorInParse, [&](const QString &e) {
            lecteur.cycles[-1].append({e, 0});
        });
        parser->setInputFilename(level ? o.zoomFilePath(level, n) : o.traceFilePath(n));
        parser->parse();
    }
    return lecteur.cycles;
}

QStringList fichiers(const QString &root)
{
    QStringList files;
    QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(root).relativeFilePath(it.next());
    files.sort();
    return files;
}

QByteArray octets(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

TraceGeneratorOptions dans(const QString &root, int cycles, int perFile)
{
    TraceGeneratorOptions o;
    o.rootDirectory = root;
    o.nbCycleTotal = cycles;
    o.nbCycleParTrace = perFile;
    return o;
}

} // namespace

class TestTraceGenerator : public QObject
{
    Q_OBJECT

private slots:
    // Same seed, same bytes; another seed, other files; another cut or a shorter run, the
    // same cycles.
    void runIsDeterministic()
    {
        QTemporaryDir a, b, c, d;
        TraceGeneratorOptions o = dans(a.path(), 230, 40);
        o.zoomLevels = {10, 20};
        TraceGeneratorOptions same = o, seeded = o, cut = o;
        same.rootDirectory = b.path();
        seeded.rootDirectory = c.path();
        seeded.seed = 2;
        cut.rootDirectory = d.path();
        cut.nbCycleParTrace = 7;
        cut.nbCycleTotal = 150;
        cut.zoomLevels = {};
        for (const TraceGeneratorOptions &options : {o, same, seeded, cut})
            QVERIFY(TraceGenerator(options).generate());
        const QStringList files = fichiers(a.path());
        QCOMPARE(fichiers(b.path()), files);
        int differing = 0;
        for (const QString &f : files) {
            QVERIFY2(octets(a.filePath(f)) == octets(b.filePath(f)), qPrintable(f));
            differing += octets(a.filePath(f)) != octets(c.filePath(f));
        }
        QVERIFY(differing >= files.size() - 1); // only config.xml may match
        Cycles reference = lire(o);
        QCOMPARE(int(reference.size()), 230);
        reference.erase(reference.lower_bound(150), reference.end());
        QVERIFY(lire(cut) == reference);
    }

    // What the viewer reads agrees: every cycle has events of the configuration, the zoom
    // counts are those of the traces, every pc of the program is listed once. The committed
    // sample is what the generator writes.
    void setIsConsistent_data()
    {
        QTest::addColumn<QList<int>>("sizes"); // cycles, per file, kinds, pcs, pcs per file
        QTest::addColumn<QList<int>>("levels");
        QTest::addColumn<int>("fichiers");
        QTest::newRow("the committed sample")
            << QList<int>{4000, 100, 12, 200, 100} << QList<int>{10, 100} << 123;
        QTest::newRow("partial last files, tiny program, groups")
            << QList<int>{95, 20, 3, 7, 3} << QList<int>{2, 5, 20} << 24;
        QTest::newRow("functional units, large program, level of a file")
            << QList<int>{33, 11, 30, 1000, 250} << QList<int>{11} << 11;
    }

    void setIsConsistent()
    {
        QFETCH(QList<int>, sizes);
        QFETCH(QList<int>, levels);
        const int cycles = sizes[0], kinds = sizes[2], pcs = sizes[3];
        QTemporaryDir root;
        TraceGeneratorOptions o = dans(root.path(), cycles, sizes[1]);
        o.nbEventKinds = kinds;
        o.nbPc = pcs;
        o.nbPcParAsm = sizes[4];
        o.zoomLevels = levels;
        TraceGenerator g(o);
        QVERIFY2(g.generate(), qPrintable(g.errorString()));
        const QStringList files = fichiers(root.path());
        QTEST(int(files.size()), "fichiers");
        if (QByteArray(QTest::currentDataTag()) == "the committed sample") {
            const QString sample = QStringLiteral(ZELVAR_SOURCE_DIR "/xml");
            QCOMPARE(fichiers(sample), files);
            for (const QString &f : files)
                QVERIFY2(octets(root.filePath(f)) == octets(sample + '/' + f),
                         qPrintable(f + " differs: regenerate with traceGenerator xml"));
        }

        ParserConfig config;
        config.setInputFilename(o.configFilePath());
        QVERIFY(config.parse() && config.getConfig());
        QStringList names;
        for (const auto &entry : config.getConfig()->getTabConfig())
            names << entry.first;
        QCOMPARE(int(names.size()), kinds);

        const Cycles trace = lire(o);
        QCOMPARE(int(trace.size()), cycles); // no report, no cycle missing
        QCOMPARE(trace.begin()->first, 0);
        int maxPc = -1;
        for (const auto &[cycle, events] : trace) {
            QVERIFY2(!events.isEmpty(), "a cycle without event does not move the view");
            for (const auto &[name, pc] : events) {
                QVERIFY2(names.contains(name) && (pc >= 0) == (name != "stall"), qPrintable(name));
                maxPc = qMax(maxPc, pc);
            }
        }
        QVERIFY(maxPc < pcs);
        for (int level : levels) {
            std::map<int, std::map<QString, int>> counted, read; // group -> event -> cycles
            for (const auto &[cycle, events] : trace) {
                QSet<QString> seen;
                for (const auto &event : events)
                    seen.insert(event.first);
                for (const QString &name : seen)
                    ++counted[cycle / level * level][name];
            }
            for (const auto &[group, events] : lire(o, level)) {
                for (const auto &[name, count] : events)
                    read[group][name] += count;
            }
            QVERIFY2(read == counted, qPrintable(QStringLiteral("level %1").arg(level)));
        }

        QList<int> listed;
        for (int n = 0; n < pcs; n += o.nbPcParAsm) {
            ParserAsm listing;
            QObject::connect(&listing, &ParserAsm::pc,
                             [&](const QString &pc) { listed << pc.toInt(); });
            listing.setInputFilename(o.asmFilePath(n));
            QVERIFY(listing.parse());
        }
        QCOMPARE(int(listed.size()), pcs);
        for (int pc = 0; pc < pcs; ++pc)
            QCOMPARE(listed[pc], pc);
    }

    // The end of a long trace alone: its last files, their cycles numbered as in the whole run.
    void fromCycleWritesTheEnd()
    {
        QTemporaryDir root;
        TraceGeneratorOptions o = dans(root.path(), 500, 100);
        o.fromCycle = 350;
        QVERIFY(TraceGenerator(o).generate());
        QCOMPARE(fichiers(root.filePath("100/trace")),
                 (QStringList{"trace_300.xml", "trace_400.xml"}));
        const Cycles lus = lire(o);
        QCOMPARE(lus.begin()->first, -1); // the files before are not there
        QCOMPARE(lus.rbegin()->first, 499);
        QCOMPARE(int(lus.size()), 1 + 200);
    }

    // Refused before anything is written.
    void badOptionsAreRefused()
    {
        using O = TraceGeneratorOptions;
        const std::function<void(O &)> changes[] = {
            [](O &o) { o.nbCycleTotal = 0; },
            [](O &o) { o.zoomLevels = {30}; }, // does not divide a file
            [](O &o) { o.fromCycle = o.nbCycleTotal; }, [](O &o) { o.tracePrefixe = "../x"; },
            [](O &o) { // trace and zoom names collide
                o.traceDirectory = o.zoomDirectory;
                o.tracePrefixe = "zoom_10";
            }};
        for (const auto &change : changes) {
            QTemporaryDir root;
            TraceGeneratorOptions o = dans(root.path() + "/set", 100, 100);
            change(o);
            QVERIFY(!TraceGenerator(o).generate());
            QVERIFY2(!QFileInfo::exists(root.path() + "/set"), "nothing is written");
        }
    }

    // A directory where a trace file should be: the message names it. A smaller set written
    // over a larger one leaves none of the larger set's files, and nobody else's.
    void writeFailuresAndStaleFiles()
    {
        QTemporaryDir root;
        QVERIFY(QDir(root.path()).mkpath("100/trace/trace_100.xml"));
        TraceGenerator h(dans(root.path(), 200, 100));
        QVERIFY(!h.generate());
        QVERIFY2(h.errorString().contains("trace_100.xml"), qPrintable(h.errorString()));
        QVERIFY(QDir(root.filePath("100/trace/trace_100.xml")).removeRecursively());

        TraceGeneratorOptions o = dans(root.path(), 500, 100);
        o.zoomLevels = {10, 20};
        QVERIFY(TraceGenerator(o).generate());
        QFile mine(root.filePath("100/trace/notes.txt"));
        QVERIFY(mine.open(QIODevice::WriteOnly));
        o.nbCycleTotal = 250;
        o.zoomLevels = {10};
        TraceGenerator smaller(o);
        QVERIFY(smaller.generate());
        // trace 300 and 400, zoom_10 300 and 400, all five zoom_20
        QCOMPARE(smaller.summary().staleFilesRemoved, 9);
        QCOMPARE(fichiers(root.filePath("100/trace")),
                 (QStringList{"notes.txt", "trace_0.xml", "trace_100.xml", "trace_200.xml"}));
    }
};

QTEST_GUILESS_MAIN(TestTraceGenerator)
#include "tst_traceGenerator.moc"
