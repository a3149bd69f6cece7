#include "tools/traceGenerator/traceGenerator.h"

#include "parsers/parserAsm.h"
#include "parsers/parserConfig.h"
#include "parsers/parserTrace.h"
#include "parsers/parserZoom.h"

#include <QtTest>

// The generator's files read back with the viewer's own parsers: what the viewer will see.
namespace {

// The events of one cycle (trace: name and pc, -1 without) or one group (zoom: name and count).
using Cycles = std::map<int, QList<QPair<QString, int>>>;

// Every cycle of a set (level 0) or every group of a zoom level, across the files from the one
// holding `from`; a report of a parser shows as cycle -1.
Cycles lire(const TraceGeneratorOptions &o, int level = 0, int from = 0)
{
    Cycles cycles;
    QList<QPair<QString, int>> *courant = nullptr;
    const auto cycle = [&](int c) { courant = &cycles[c]; };
    const auto event = [&](const QString &name) { courant->append({name, -1}); };
    const auto nombre = [&](int n) { courant->last().second = n; };
    for (int n = from; n < o.nbCycleTotal; n += o.nbCycleParTrace) {
        ParserTrace trace;
        ParserZoom zoom;
        QObject::connect(&trace, &ParserTrace::addCycleTrace, cycle);
        QObject::connect(&trace, &ParserTrace::newEventTrace, event);
        QObject::connect(&trace, &ParserTrace::pcTrace, nombre);
        QObject::connect(&zoom, &ParserZoom::addCycleZoom, cycle);
        QObject::connect(&zoom, &ParserZoom::newEventZoom, event);
        QObject::connect(&zoom, &ParserZoom::setNbEventZoom,
                         [&](const QString &, int count) { nombre(count); });
        Parser &parser = level ? static_cast<Parser &>(zoom) : trace;
        QObject::connect(&parser, &Parser::errorInParse, [&] { cycle(-1); });
        parser.setInputFilename(level ? o.zoomFilePath(level, n) : o.traceFilePath(n));
        parser.parse();
    }
    return cycles;
}

// Each file under root, by its path from there, with its bytes.
std::map<QString, QByteArray> fichiers(const QString &root)
{
    std::map<QString, QByteArray> files;
    for (QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
        QFile f(it.next());
        files[QDir(root).relativeFilePath(f.fileName())] =
            f.open(QIODevice::ReadOnly) ? f.readAll() : "<unreadable>";
    }
    return files;
}

// Options from words "key=value": c cycles, f cycles per file, k kinds, p pcs, a pcs per
// listing, from, z zoom levels (comma-separated, none by default), tp and td the trace prefix and
// directory.
TraceGeneratorOptions optionsFrom(const QString &root, const QString &words)
{
    TraceGeneratorOptions o;
    o.rootDirectory = root;
    o.zoomLevels = {};
    const std::map<QString, int *> numbers = {{"c", &o.nbCycleTotal}, {"f", &o.nbCycleParTrace},
                                              {"k", &o.nbEventKinds}, {"p", &o.nbPc},
                                              {"a", &o.nbPcParAsm},   {"from", &o.fromCycle}};
    for (const QString &word : words.split(' ', Qt::SkipEmptyParts)) {
        const QString key = word.section('=', 0, 0), value = word.section('=', 1);
        if (key == "tp" || key == "td")
            (key == "tp" ? o.tracePrefixe : o.traceDirectory) = value;
        else if (key != "z")
            *numbers.at(key) = value.toInt();
        else
            for (const QString &level : value.split(','))
                o.zoomLevels << level.toInt();
    }
    return o;
}

} // namespace

class TestTraceGenerator : public QObject
{
    Q_OBJECT

private slots:
    // What the viewer reads agrees: every cycle has events of the configuration, the zoom
    // counts are those of the traces, every pc of the program is listed once. The committed
    // sample is what the generator writes. Options it refuses write nothing.
    void setIsConsistent_data()
    {
        QTest::addColumn<QString>("words");
        QTest::addColumn<int>("fichiers"); // 0: refused
        QTest::newRow("the committed sample") << "c=4000 z=10,100" << 123;
        QTest::newRow("partial last files, tiny program") << "c=95 f=20 k=3 p=7 a=3 z=2,5,20" << 24;
        QTest::newRow("functional units, level of a file")
            << "c=33 f=11 k=30 p=1000 a=250 z=11" << 11;
        QTest::newRow("from a cycle: the end alone, numbered as in the whole run")
            << "c=500 from=350 z=10" << 7;
        QTest::newRow("one cycle") << "c=1 f=1" << 4;
        QTest::newRow("level 2") << "z=2" << 13;
        // Refused: no cycle, a level not dividing a file, level 1, a level twice, a start past
        // the end, a prefix with a '/', trace files named as those of a zoom level.
        for (const char *refused : {"c=0", "z=30", "z=1", "z=10,10", "from=500", "tp=../x",
                                    "td=100/zoom tp=zoom_10 z=10"})
            QTest::newRow(refused) << refused << 0;
    }
    void setIsConsistent()
    {
        QFETCH(QString, words);
        QTemporaryDir root;
        const TraceGeneratorOptions o = optionsFrom(root.path(), words);
        const bool taken = TraceGenerator(o).generate();
        const auto files = fichiers(root.path());
        QTEST(int(files.size()), "fichiers");
        QCOMPARE(taken, !files.empty());
        if (!taken)
            return;
        QVERIFY2(words != "c=4000 z=10,100" || files == fichiers(ZELVAR_SOURCE_DIR "/xml"),
                 "the committed sample differs: regenerate it with traceGenerator xml");

        ParserConfig config;
        config.setInputFilename(o.configFilePath());
        QVERIFY(config.parse() && config.getConfig());
        const auto names = config.getConfig()->getTabConfig();
        QCOMPARE(int(names.size()), o.nbEventKinds);

        const int first = o.fromCycle / o.nbCycleParTrace * o.nbCycleParTrace;
        const Cycles trace = lire(o, 0, first);
        QVERIFY(int(trace.size()) == o.nbCycleTotal - first && trace.begin()->first == first &&
                trace.rbegin()->first == o.nbCycleTotal - 1); // no report, no cycle missing
        std::map<int, std::map<int, std::map<QString, int>>> counted, read; // level, group, event
        for (const auto &[cycle, events] : trace) {
            QVERIFY2(!events.isEmpty(), "a cycle without event does not move the view");
            std::map<QString, int> seen;
            for (const auto &[name, pc] : events) {
                QVERIFY2(names.count(name) && (pc >= 0) == (name != "stall") && pc < o.nbPc,
                         qPrintable(name));
                if (!seen[name]++)
                    for (int level : o.zoomLevels)
                        ++counted[level][cycle / level * level][name];
            }
        }
        for (int level : o.zoomLevels)
            for (const auto &[group, events] : lire(o, level, first))
                for (const auto &[name, count] : events)
                    read[level][group][name] += count;
        QVERIFY(read == counted);

        QList<int> listed;
        for (int n = 0; n < o.nbPc; n += o.nbPcParAsm) {
            ParserAsm listing;
            QObject::connect(&listing, &ParserAsm::pc,
                             [&](const QString &pc) { listed << pc.toInt() - int(listed.size()); });
            listing.setInputFilename(o.asmFilePath(n));
            QVERIFY(listing.parse());
        }
        QCOMPARE(listed, QList<int>(o.nbPc, 0)); // each pc where it belongs, counted from 0
    }

    // A smaller set written over a larger one leaves none of the larger set's files, and
    // nobody else's. A directory where a trace file should be: the message names it.
    void staleFilesAndWriteFailures()
    {
        QTemporaryDir root;
        QVERIFY(TraceGenerator(optionsFrom(root.path(), "z=10,20")).generate());
        QVERIFY(QFile(root.filePath("100/trace/notes.txt")).open(QIODevice::WriteOnly));
        TraceGenerator smaller(optionsFrom(root.path(), "c=250 z=10"));
        QVERIFY(smaller.generate());
        // Gone: trace and zoom_10 300 and 400, the five zoom_20; left: 9 files and notes.txt.
        QCOMPARE(smaller.summary().staleFilesRemoved, 9);
        const auto left = fichiers(root.path());
        QVERIFY(left.size() == 10 && left.count("100/trace/notes.txt"));
        QVERIFY(QDir(root.path()).mkpath("100/trace/trace_300.xml"));
        TraceGenerator h(optionsFrom(root.path(), "c=400"));
        QVERIFY(!h.generate());
        QVERIFY2(h.errorString().contains("trace_300.xml"), qPrintable(h.errorString()));
    }
};

QTEST_GUILESS_MAIN(TestTraceGenerator)
#include "tst_traceGenerator.moc"