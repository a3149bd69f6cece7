#include "tools/traceGenerator/traceGenerator.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

#include <functional>
#include <map>

namespace {

struct Record // one event of a trace file (value = pc, -1 without) or of a zoom file (count)
{
    QString name;
    int value;
    bool operator==(const Record &o) const { return name == o.name && value == o.value; }
};
struct Column
{
    int date = -1;
    QList<Record> events;
    bool operator==(const Column &o) const { return date == o.date && events == o.events; }
};

// Every element of a file as (path from the root, its text), in file order.
using Node = QPair<QString, QString>;
QList<Node> nodesOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {{"error", file.errorString()}};
    QXmlStreamReader xml(&file);
    QList<Node> nodes;
    QStringList stack;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            stack << xml.name().toString();
            nodes.append({stack.join('/'), QString()});
        } else if (xml.isEndElement()) {
            stack.removeLast();
        } else if (xml.isCharacters() && !xml.isWhitespace()) {
            nodes.last().second += xml.text();
        }
    }
    return xml.hasError() ? QList<Node>{{"error", xml.errorString()}} : nodes;
}

// A trace (value: pc) or zoom file (value: count), checking the nesting the parsers accept.
QList<Column> readColumns(const QString &path)
{
    QList<Column> columns;
    for (const Node &n : nodesOf(path)) {
        const QString &at = n.first;
        if (at == "trace/cycle")
            columns.append(Column());
        else if (at == "trace/cycle/date" && columns.last().date < 0)
            columns.last().date = n.second.toInt();
        else if (at == "trace/cycle/event" && columns.last().date >= 0)
            columns.last().events.append(Record{QString(), -1});
        else if (at == "trace/cycle/event/name")
            columns.last().events.last().name = n.second;
        else if (at == "trace/cycle/event/instruction/pc" || at == "trace/cycle/event/count")
            columns.last().events.last().value = n.second.toInt();
        else if (at != "trace" && at != "trace/cycle/event/instruction") {
            qWarning() << path << "unexpected" << at << n.second;
            return {Column{-2, {}}};
        }
    }
    return columns;
}

QStringList readConfigNames(const QString &path)
{
    QStringList names;
    for (const Node &n : nodesOf(path))
        if (n.first == "config/events/event/name" || n.first == "error")
            names << n.second;
    return names;
}

struct Listed
{
    int pc;
    QString mnemonic;
    int count;
    QStringList values;
};

QList<Listed> readAsm(const QString &path)
{
    QList<Listed> rows;
    for (const Node &n : nodesOf(path)) {
        if (n.first == "asm/instruction/pc" || n.first == "error")
            rows.append(Listed{n.second.toInt(), n.second, -1, {}});
        else if (n.first == "asm/instruction/mnemonic")
            rows.last().mnemonic = n.second;
        else if (n.first == "asm/instruction/operands/count")
            rows.last().count = n.second.toInt();
        else if (n.first == "asm/instruction/operands/operand/value")
            rows.last().values << n.second;
    }
    return rows;
}

QStringList filesUnder(const QString &root)
{
    QStringList files;
    QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(root).relativeFilePath(it.next());
    files.sort();
    return files;
}

// Every cycle of a set, in the order of its files.
QList<Column> allCycles(const TraceGeneratorOptions &o)
{
    QList<Column> cycles;
    for (int n = 0; n < o.nbCycleTotal; n += o.nbCycleParTrace)
        cycles += readColumns(o.traceFilePath(n));
    return cycles;
}

TraceGeneratorOptions optionsIn(const QString &root, int cycles, int perFile)
{
    TraceGeneratorOptions o;
    o.rootDirectory = root;
    o.nbCycleTotal = cycles;
    o.nbCycleParTrace = perFile;
    return o;
}

using Change = std::function<void(TraceGeneratorOptions &)>;
const QList<QPair<const char *, Change>> &badChanges()
{
    static const QList<QPair<const char *, Change>> changes = {
        {"no cycle", [](TraceGeneratorOptions &o) { o.nbCycleTotal = 0; }},
        {"zero cycles per file", [](TraceGeneratorOptions &o) { o.nbCycleParTrace = 0; }},
        {"no pc", [](TraceGeneratorOptions &o) { o.nbPc = 0; }},
        {"no event kind", [](TraceGeneratorOptions &o) { o.nbEventKinds = 0; }},
        {"level not dividing a file", [](TraceGeneratorOptions &o) { o.zoomLevels = {30}; }},
        {"level 1", [](TraceGeneratorOptions &o) { o.zoomLevels = {1}; }},
        {"empty prefix", [](TraceGeneratorOptions &o) { o.asmPrefixe.clear(); }},
        {"prefix with slash", [](TraceGeneratorOptions &o) { o.tracePrefixe = "../x"; }},
        {"trace and zoom names collide",
         [](TraceGeneratorOptions &o) {
             o.traceDirectory = o.zoomDirectory;
             o.tracePrefixe = "zoom_10";
         }},
        {"no root", [](TraceGeneratorOptions &o) { o.rootDirectory.clear(); }},
    };
    return changes;
}

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

} // namespace

class TestTraceGenerator : public QObject
{
    Q_OBJECT

private slots:

    void sameSeedGivesSameBytes()
    {
        QTemporaryDir a, b, c;
        TraceGeneratorOptions o = optionsIn(a.path(), 230, 40);
        o.zoomLevels = {10, 20};
        o.nbPc = 90;
        o.nbPcParAsm = 25;
        QVERIFY(TraceGenerator(o).generate());
        o.rootDirectory = b.path();
        QVERIFY(TraceGenerator(o).generate());
        o.rootDirectory = c.path();
        o.seed = 2;
        QVERIFY(TraceGenerator(o).generate());

        const QStringList files = filesUnder(a.path());
        QCOMPARE(filesUnder(b.path()), files);
        int differing = 0;
        for (const QString &f : files) {
            const QByteArray bytes = bytesOf(a.filePath(f));
            QVERIFY2(bytes == bytesOf(b.filePath(f)), qPrintable(f));
            differing += bytes != bytesOf(c.filePath(f));
        }
        QVERIFY(differing >= files.size() - 1); // only config.xml may match under another seed
    }

    void fileNamesFollowOptions_data()
    {
        QTest::addColumn<int>("cycles");
        QTest::addColumn<int>("perFile");
        QTest::addColumn<int>("pcs");
        QTest::addColumn<int>("pcsPerFile");
        QTest::addColumn<QList<int>>("levels");
        QTest::addColumn<QString>("expected"); // names under 100/<kind>/ and the root

        QTest::newRow("defaults") << 500 << 100 << 300 << 100 << QList<int>{10}
                                  << "asm_0 asm_100 asm_200 trace_0 trace_100 trace_200 trace_300 "
                                     "trace_400 zoom_10_0 zoom_10_100 zoom_10_200 zoom_10_300 "
                                     "zoom_10_400 config";
        QTest::newRow("partial last files, two levels")
            << 250 << 100 << 101 << 50 << QList<int>{5, 10}
            << "asm_0 asm_100 asm_50 trace_0 trace_100 trace_200 zoom_10_0 zoom_10_100 zoom_10_200 "
               "zoom_5_0 zoom_5_100 zoom_5_200 config";
        QTest::newRow("one cycle, one pc")
            << 1 << 7 << 1 << 3 << QList<int>{7} << "asm_0 trace_0 zoom_7_0 config";
        QTest::newRow("no zoom level")
            << 30 << 10 << 5 << 100 << QList<int>{} << "asm_0 trace_0 trace_10 trace_20 config";
    }

    void fileNamesFollowOptions()
    {
        QFETCH(int, cycles);
        QFETCH(int, perFile);
        QFETCH(int, pcs);
        QFETCH(int, pcsPerFile);
        QFETCH(QList<int>, levels);
        QFETCH(QString, expected);

        QTemporaryDir root;
        TraceGeneratorOptions o = optionsIn(root.path(), cycles, perFile);
        o.nbPc = pcs;
        o.nbPcParAsm = pcsPerFile;
        o.zoomLevels = levels;
        TraceGenerator g(o);
        QVERIFY2(g.generate(), qPrintable(g.errorString()));
        QStringList paths;
        for (const QString &name : expected.split(' ')) {
            const QString kind = name.section('_', 0, 0);
            paths << (kind == "config" ? QString() : "100/" + kind + "/") + name + ".xml";
        }
        paths.sort();
        QCOMPARE(filesUnder(root.path()), paths);
        const int traces = int(paths.filter("/trace/").size());
        QCOMPARE(g.summary().traceFiles, traces);
        QCOMPARE(g.summary().zoomFiles, traces * int(levels.size()));
        QCOMPARE(g.summary().asmFiles, int(paths.filter("/asm/").size()));
    }

    void namesAndDirectoriesAreOptions()
    {
        QTemporaryDir root, elsewhere;
        TraceGeneratorOptions o = optionsIn(root.path(), 20, 10);
        o.configFile = "cfg/events.xml";
        o.traceDirectory = "runs/t";
        o.tracePrefixe = "tr";
        o.zoomDirectory = elsewhere.path(); // absolute: not under the root
        o.zoomPrefixe = "zz";
        o.asmPrefixe = "listing";
        o.nbPc = 10;
        o.zoomLevels = {5};
        QVERIFY(TraceGenerator(o).generate());
        QCOMPARE(filesUnder(root.path()), (QStringList{"100/asm/listing_0.xml", "cfg/events.xml",
                                                       "runs/t/tr_0.xml", "runs/t/tr_10.xml"}));
        QCOMPARE(filesUnder(elsewhere.path()), (QStringList{"zz_5_0.xml", "zz_5_10.xml"}));
        QCOMPARE(o.traceFilePath(10), root.filePath("runs/t/tr_10.xml"));
        QCOMPARE(o.zoomFilePath(5, 0), elsewhere.filePath("zz_5_0.xml"));
    }

    void traceFilesHoldTheirCycles_data()
    {
        QTest::addColumn<int>("cycles");
        QTest::addColumn<int>("perFile");
        QTest::addColumn<int>("kinds");
        QTest::newRow("defaults") << 500 << 100 << 12;
        QTest::newRow("few kinds, partial file") << 95 << 20 << 3;
        QTest::newRow("one kind") << 7 << 3 << 1;
        QTest::newRow("functional units") << 61 << 61 << 30;
    }

    void traceFilesHoldTheirCycles()
    {
        QFETCH(int, cycles);
        QFETCH(int, perFile);
        QFETCH(int, kinds);
        QTemporaryDir root;
        TraceGeneratorOptions o = optionsIn(root.path(), cycles, perFile);
        o.nbEventKinds = kinds;
        o.zoomLevels = {};
        TraceGenerator g(o);
        QVERIFY(g.generate());

        const QStringList names = readConfigNames(o.configFilePath());
        QCOMPARE(names, TraceGenerator::eventNames(kinds));
        QCOMPARE(int(names.size()), kinds);
        QCOMPARE(int(QSet<QString>(names.begin(), names.end()).size()), kinds);
        QVERIFY(names.contains("stall"));

        qint64 events = 0;
        for (int n = 0; n < cycles; n += perFile) {
            const QList<Column> file = readColumns(o.traceFilePath(n));
            QCOMPARE(int(file.size()), qMin(perFile, cycles - n));
            for (int i = 0; i < file.size(); ++i) {
                QCOMPARE(file[i].date, n + i);
                QVERIFY2(!file[i].events.isEmpty(), "a cycle without event does not move the view");
                for (const Record &e : file[i].events) {
                    QVERIFY2(names.contains(e.name), qPrintable(e.name));
                    QVERIFY(e.name != "stall" || e.value == -1);
                }
                events += file[i].events.size();
            }
        }
        QCOMPARE(g.summary().events, events);
    }

    void zoomCountsAgreeWithTraces_data()
    {
        QTest::addColumn<int>("cycles");
        QTest::addColumn<int>("perFile");
        QTest::addColumn<QList<int>>("levels");
        QTest::newRow("defaults") << 500 << 100 << QList<int>{10};
        QTest::newRow("several levels, partial groups") << 95 << 20 << QList<int>{2, 5, 10, 20};
        QTest::newRow("level of a whole file") << 33 << 11 << QList<int>{11};
    }

    void zoomCountsAgreeWithTraces()
    {
        QFETCH(int, cycles);
        QFETCH(int, perFile);
        QFETCH(QList<int>, levels);
        QTemporaryDir root;
        TraceGeneratorOptions o = optionsIn(root.path(), cycles, perFile);
        o.zoomLevels = levels;
        o.nbEventKinds = 14;
        QVERIFY(TraceGenerator(o).generate());
        const QList<Column> trace = allCycles(o);
        QCOMPARE(int(trace.size()), cycles);

        for (int level : levels) {
            // group start -> event -> cycles of the group that had it
            std::map<int, std::map<QString, int>> expected;
            for (const Column &c : trace) {
                QSet<QString> seen;
                for (const Record &e : c.events)
                    seen.insert(e.name);
                for (const QString &name : seen)
                    ++expected[c.date / level * level][name];
            }
            std::map<int, std::map<QString, int>> read;
            for (int n = 0; n < cycles; n += perFile) {
                const QList<Column> zoom = readColumns(o.zoomFilePath(level, n));
                QCOMPARE(int(zoom.size()), (qMin(perFile, cycles - n) + level - 1) / level);
                for (int i = 0; i < zoom.size(); ++i) {
                    QCOMPARE(zoom[i].date, n + i * level);
                    for (const Record &e : zoom[i].events) {
                        QVERIFY(e.value >= 1 && e.value <= level);
                        QVERIFY2(!read[zoom[i].date].count(e.name), "event listed twice");
                        read[zoom[i].date][e.name] = e.value;
                    }
                }
            }
            QVERIFY2(read == expected, qPrintable(QStringLiteral("level %1").arg(level)));
        }
    }

    void everyTracePcIsListed_data()
    {
        QTest::addColumn<int>("pcs");
        QTest::addColumn<int>("pcsPerFile");
        QTest::newRow("defaults") << 300 << 100;
        QTest::newRow("tiny program") << 7 << 3;
        QTest::newRow("one pc") << 1 << 100;
        QTest::newRow("large program") << 1000 << 64;
    }

    void everyTracePcIsListed()
    {
        QFETCH(int, pcs);
        QFETCH(int, pcsPerFile);
        QTemporaryDir root;
        TraceGeneratorOptions o = optionsIn(root.path(), 400, 100);
        o.nbPc = pcs;
        o.nbPcParAsm = pcsPerFile;
        TraceGenerator g(o);
        QVERIFY(g.generate());

        QSet<int> listed;
        for (int n = 0; n < pcs; n += pcsPerFile) {
            const auto rows = readAsm(o.asmFilePath(n));
            QCOMPARE(int(rows.size()), qMin(pcsPerFile, pcs - n));
            for (int i = 0; i < rows.size(); ++i) {
                const Listed &in = rows[i];
                QCOMPARE(in.pc, n + i);
                QVERIFY(!in.mnemonic.isEmpty());
                QCOMPARE(int(in.values.size()), in.count);
                if (in.mnemonic.startsWith('b') || in.mnemonic == "j") {
                    const int target = in.values.last().toInt();
                    QVERIFY2(target >= 0 && target < pcs, "a branch leaves the program");
                }
                listed.insert(in.pc);
            }
        }
        int maxPc = -1;
        for (const Column &c : allCycles(o)) {
            for (const Record &e : c.events) {
                if (e.value >= 0)
                    QVERIFY2(listed.contains(e.value), qPrintable(QString::number(e.value)));
                maxPc = qMax(maxPc, e.value);
            }
        }
        QCOMPARE(g.summary().maxPcUsed, maxPc);
        QVERIFY(maxPc >= 0);
    }

    void runDoesNotDependOnCutting()
    {
        // The same run cut into files of other sizes, or stopped earlier, gives the same cycles.
        QTemporaryDir a, b, c;
        const TraceGeneratorOptions whole = optionsIn(a.path(), 210, 100);
        TraceGeneratorOptions cut = optionsIn(b.path(), 210, 7);
        cut.zoomLevels = {7};
        const TraceGeneratorOptions shorter = optionsIn(c.path(), 150, 30);
        for (const TraceGeneratorOptions &o : {whole, cut, shorter})
            QVERIFY(TraceGenerator(o).generate());
        const QList<Column> reference = allCycles(whole);
        QCOMPARE(int(reference.size()), 210);
        QVERIFY(allCycles(cut) == reference);
        QVERIFY(allCycles(shorter) == reference.mid(0, 150));
    }

    void defaultSetLooksLikeACore()
    {
        QTemporaryDir root;
        const TraceGeneratorOptions o = optionsIn(root.path(), 500, 100);
        QVERIFY(TraceGenerator(o).generate());
        QMap<QString, int> occurrences;
        QMap<int, QSet<int>> fetchCycles; // pc -> cycles it was fetched in
        int withoutPc = 0;
        for (const Column &c : allCycles(o)) {
            for (const Record &e : c.events) {
                ++occurrences[e.name];
                withoutPc += e.value < 0;
                QVERIFY2(e.value >= 0 || e.name == "stall", qPrintable(e.name));
                if (e.name == "fetch")
                    fetchCycles[e.value].insert(c.date);
            }
        }
        for (const QString &name : TraceGenerator::eventNames(12))
            QVERIFY2(occurrences.value(name) > 0, qPrintable(name));
        QVERIFY(withoutPc > 0);
        QVERIFY(occurrences["commit"] <= occurrences["fetch"]);
        QVERIFY(occurrences["squash"] > 0 && occurrences["branch_mispredict"] > 0);
        int recurring = 0;
        for (const QSet<int> &cycles : fetchCycles)
            recurring += cycles.size() >= 3;
        QVERIFY2(recurring > 50, "loops make pcs recur");
    }

    void badOptionsAreRefused_data()
    {
        QTest::addColumn<int>("row");
        for (int i = 0; i < badChanges().size(); ++i)
            QTest::newRow(badChanges()[i].first) << i;
    }

    void badOptionsAreRefused()
    {
        QFETCH(int, row);
        QTemporaryDir root;
        TraceGeneratorOptions o = optionsIn(root.path() + "/set", 100, 100);
        badChanges()[row].second(o);
        TraceGenerator g(o);
        QVERIFY(!g.generate());
        QVERIFY(!g.errorString().isEmpty());
        QVERIFY(!TraceGenerator::checkOptions(o).isEmpty() ||
                g.errorString().contains("Two files"));
        QVERIFY2(!QFileInfo::exists(root.path() + "/set"),
                 "nothing is written for refused options");
    }

    void writeFailuresNameTheFile()
    {
        QTemporaryDir root;
        // A plain file where the trace directory should be.
        QFile blocker(root.filePath("100"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        TraceGenerator g(optionsIn(root.path(), 100, 100));
        QVERIFY(!g.generate());
        QVERIFY2(g.errorString().contains(root.filePath("100")), qPrintable(g.errorString()));

        // A directory where a trace file should be: the write fails and says which file.
        QVERIFY(QFile::remove(root.filePath("100")));
        QVERIFY(QDir(root.path()).mkpath("100/trace/trace_100.xml"));
        TraceGenerator h(optionsIn(root.path(), 200, 100));
        QVERIFY(!h.generate());
        QVERIFY2(h.errorString().contains("trace_100.xml"), qPrintable(h.errorString()));
    }

    void filesOfALargerSetAreRemoved()
    {
        QTemporaryDir root;
        TraceGeneratorOptions o = optionsIn(root.path(), 500, 100);
        o.zoomLevels = {10, 20};
        o.nbPc = 300;
        QVERIFY(TraceGenerator(o).generate());
        for (const char *keep :
             {"100/trace/notes.txt", "100/trace/trace_old.xml", "100/zoom/x_10_0.xml"}) {
            QFile f(root.filePath(keep));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        o.nbCycleTotal = 250;
        o.nbPc = 150;
        o.zoomLevels = {10};
        TraceGenerator smaller(o);
        QVERIFY(smaller.generate());
        // trace 300 and 400, zoom_10 300 and 400, all five zoom_20, asm_200
        QCOMPARE(smaller.summary().staleFilesRemoved, 10);
        QCOMPARE(filesUnder(root.path()),
                 (QStringList{
                     "100/asm/asm_0.xml", "100/asm/asm_100.xml", "100/trace/notes.txt",
                     "100/trace/trace_0.xml", "100/trace/trace_100.xml", "100/trace/trace_200.xml",
                     "100/trace/trace_old.xml", "100/zoom/x_10_0.xml", "100/zoom/zoom_10_0.xml",
                     "100/zoom/zoom_10_100.xml", "100/zoom/zoom_10_200.xml", "config.xml"}));
    }

    void committedSampleMatchesDefaults()
    {
        const QString committed = QStringLiteral(ZELVAR_SOURCE_DIR "/xml");
        QTemporaryDir root;
        TraceGeneratorOptions o;
        o.rootDirectory = root.path();
        QVERIFY(TraceGenerator(o).generate());
        const QStringList files = filesUnder(root.path());
        QCOMPARE(filesUnder(committed), files);
        for (const QString &f : files)
            QVERIFY2(bytesOf(root.filePath(f)) == bytesOf(committed + '/' + f),
                     qPrintable(f + " differs: regenerate with traceGenerator xml"));
    }
};

QTEST_GUILESS_MAIN(TestTraceGenerator)
#include "tst_traceGenerator.moc"
