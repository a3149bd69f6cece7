#include "tools/traceGenerator/traceGenerator.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

#include <functional>
#include <map>

namespace {

// A cycle of a trace file (event values: pcs, -1 without) or a group of a zoom file (counts).
using Record = QPair<QString, int>;
using Column = QPair<int, QList<Record>>;

// Every element of a file as (path from the root, its text), in file order.
QList<QPair<QString, QString>> nodesOf(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly); // an unreadable file shows as an error of the reader
    QXmlStreamReader xml(&file);
    QList<QPair<QString, QString>> nodes;
    QStringList stack;
    while (xml.readNext() != QXmlStreamReader::Invalid && !xml.atEnd()) {
        if (xml.isStartElement()) {
            stack << xml.name().toString();
            nodes.append({stack.join('/'), QString()});
        } else if (xml.isEndElement()) {
            stack.removeLast();
        } else if (xml.isCharacters() && !xml.isWhitespace()) {
            nodes.last().second += xml.text();
        }
    }
    return xml.hasError() ? QList<QPair<QString, QString>>{{"error", xml.errorString()}} : nodes;
}

// A trace or zoom file, checking the nesting the parsers accept.
QList<Column> readColumns(const QString &path)
{
    QList<Column> columns;
    for (const auto &[at, text] : nodesOf(path)) {
        if (at == "trace/cycle")
            columns.append(Column(-1, {}));
        else if (at == "trace/cycle/date" && columns.last().first < 0)
            columns.last().first = text.toInt();
        else if (at == "trace/cycle/event" && columns.last().first >= 0)
            columns.last().second.append(Record(QString(), -1));
        else if (at == "trace/cycle/event/name")
            columns.last().second.last().first = text;
        else if (at == "trace/cycle/event/instruction/pc" || at == "trace/cycle/event/count")
            columns.last().second.last().second = text.toInt();
        else if (at != "trace" && at != "trace/cycle/event/instruction") {
            qWarning() << path << "unexpected" << at << text;
            return {Column(-2, {})};
        }
    }
    return columns;
}

// Every cycle of a set, in the order of its files.
QList<Column> allCycles(const TraceGeneratorOptions &o)
{
    QList<Column> cycles;
    for (int n = 0; n < o.nbCycleTotal; n += o.nbCycleParTrace)
        cycles += readColumns(o.traceFilePath(n));
    return cycles;
}

// "config.xml" and the files of "kind numbers|..." under 100/<directory of the kind>/.
QStringList expand(const QString &files)
{
    QStringList expected{"config.xml"};
    for (const QString &group : files.split('|')) {
        QStringList numbers = group.split(' ');
        const QString kind = numbers.takeFirst();
        for (const QString &n : numbers)
            expected << "100/" + kind.section('_', 0, 0) + '/' + kind + '_' + n + ".xml";
    }
    expected.sort();
    return expected;
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

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
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

} // namespace

Q_DECLARE_METATYPE(Change)

class TestTraceGenerator : public QObject
{
    Q_OBJECT

private slots:
    // Same seed, same bytes; another seed, other files; another cut or a shorter run, the
    // same cycles.
    void runIsDeterministic()
    {
        QTemporaryDir a, b, c, d, e;
        TraceGeneratorOptions o = optionsIn(a.path(), 230, 40);
        o.zoomLevels = {10, 20};
        o.nbPc = 90;
        o.nbPcParAsm = 25;
        TraceGeneratorOptions same = o, seeded = o, cut = o, shorter = o;
        same.rootDirectory = b.path();
        seeded.rootDirectory = c.path();
        seeded.seed = 2;
        cut.rootDirectory = d.path();
        cut.nbCycleParTrace = 7;
        shorter.rootDirectory = e.path();
        shorter.nbCycleTotal = 150;
        shorter.nbCycleParTrace = 30;
        cut.zoomLevels = shorter.zoomLevels = {};
        for (const TraceGeneratorOptions &options : {o, same, seeded, cut, shorter})
            QVERIFY(TraceGenerator(options).generate());
        const QStringList files = filesUnder(a.path());
        QCOMPARE(filesUnder(b.path()), files);
        int differing = 0;
        for (const QString &f : files) {
            const QByteArray bytes = bytesOf(a.filePath(f));
            QVERIFY2(bytes == bytesOf(b.filePath(f)), qPrintable(f));
            differing += bytes != bytesOf(c.filePath(f));
        }
        QVERIFY(differing >= files.size() - 1); // only config.xml may match
        const QList<Column> reference = allCycles(o);
        QCOMPARE(int(reference.size()), 230);
        QVERIFY(allCycles(cut) == reference);
        QVERIFY(allCycles(shorter) == reference.mid(0, 150));
    }

    // The files written, and that they agree: events
    // configured, zoom counts computed from the traces, every pc of the program listed once.
    void setIsConsistent_data()
    {
        QTest::addColumn<QList<int>>("sizes"); // cycles, per file, kinds, pcs, pcs per file
        QTest::addColumn<QList<int>>("levels");
        QTest::addColumn<QString>("files");
        QTest::newRow("defaults, the committed sample")
            << QList<int>{500, 100, 12, 200, 100} << QList<int>{10}
            << "asm 0 100|trace 0 100 200 300 400|zoom_10 0 100 200 300 400";
        QTest::newRow("partial last files, two levels")
            << QList<int>{250, 100, 12, 101, 50} << QList<int>{5, 10}
            << "asm 0 50 100|trace 0 100 200|zoom_5 0 100 200|zoom_10 0 100 200";
        QTest::newRow("few kinds, tiny program, partial groups")
            << QList<int>{95, 20, 3, 7, 3} << QList<int>{2, 5, 10, 20}
            << "asm 0 3 6|trace 0 20 40 60 80|zoom_2 0 20 40 60 80|zoom_5 0 20 40 60 80|"
               "zoom_10 0 20 40 60 80|zoom_20 0 20 40 60 80";
        QTest::newRow("one of each")
            << QList<int>{1, 7, 1, 1, 3} << QList<int>{7} << "asm 0|trace 0|zoom_7 0";
        QTest::newRow("no zoom level, one pc")
            << QList<int>{300, 100, 4, 1, 100} << QList<int>{} << "asm 0|trace 0 100 200";
        QTest::newRow("functional units, large program, level of a file")
            << QList<int>{33, 11, 30, 1000, 250} << QList<int>{11}
            << "asm 0 250 500 750|trace 0 11 22|zoom_11 0 11 22";
    }

    void setIsConsistent()
    {
        QFETCH(QList<int>, sizes);
        QFETCH(QList<int>, levels);
        QFETCH(QString, files);
        const int cycles = sizes[0], perFile = sizes[1], kinds = sizes[2], pcs = sizes[3];
        QTemporaryDir root;
        TraceGeneratorOptions o = optionsIn(root.path(), cycles, perFile);
        o.nbEventKinds = kinds;
        o.nbPc = pcs;
        o.nbPcParAsm = sizes[4];
        o.zoomLevels = levels;
        TraceGenerator g(o);
        QVERIFY2(g.generate(), qPrintable(g.errorString()));

        const QStringList expected = expand(files);
        QCOMPARE(filesUnder(root.path()), expected);
        if (QByteArray(QTest::currentDataTag()).startsWith("defaults")) {
            const QString sample = QStringLiteral(ZELVAR_SOURCE_DIR "/xml");
            QCOMPARE(filesUnder(sample), expected);
            for (const QString &f : expected)
                QVERIFY2(bytesOf(root.filePath(f)) == bytesOf(sample + '/' + f),
                         qPrintable(f + " differs: regenerate with traceGenerator xml"));
        }

        QStringList names;
        for (const auto &[at, text] : nodesOf(o.configFilePath()))
            if (at == "config/events/event/name" || at == "error")
                names << text;
        QCOMPARE(names, TraceGenerator::eventNames(kinds));
        QCOMPARE(int(QSet<QString>(names.begin(), names.end()).size()), kinds);
        QVERIFY(names.contains("stall"));

        const QList<Column> trace = allCycles(o);
        QCOMPARE(int(trace.size()), cycles);
        int maxPc = -1;
        for (int i = 0; i < cycles; ++i) {
            QCOMPARE(trace[i].first, i);
            QVERIFY2(!trace[i].second.isEmpty(), "a cycle without event does not move the view");
            for (const auto &[name, pc] : trace[i].second) {
                QVERIFY2(names.contains(name) && (pc >= 0) == (name != "stall"), qPrintable(name));
                maxPc = qMax(maxPc, pc);
            }
        }
        QVERIFY(maxPc < pcs);
        QCOMPARE(g.summary().maxPcUsed, maxPc);

        for (int level : levels) {
            std::map<int, std::map<QString, int>> counted, read; // group -> event -> cycles
            for (const Column &c : trace) {
                QSet<QString> seen;
                for (const Record &e : c.second)
                    seen.insert(e.first);
                for (const QString &name : seen)
                    ++counted[c.first / level * level][name];
            }
            for (int n = 0; n < cycles; n += perFile) {
                const QList<Column> zoom = readColumns(o.zoomFilePath(level, n));
                QCOMPARE(int(zoom.size()), (qMin(perFile, cycles - n) + level - 1) / level);
                for (int i = 0; i < zoom.size(); ++i) {
                    QCOMPARE(zoom[i].first, n + i * level);
                    for (const auto &[name, count] : zoom[i].second) {
                        QVERIFY2(!read[zoom[i].first].count(name), "event listed twice");
                        read[zoom[i].first][name] = count;
                    }
                }
            }
            QVERIFY2(read == counted, qPrintable(QStringLiteral("level %1").arg(level)));
        }

        // Listing rows: pc, mnemonic, operand count, operand values.
        QList<QStringList> rows;
        for (int n = 0; n < pcs; n += o.nbPcParAsm) {
            for (const auto &[at, text] : nodesOf(o.asmFilePath(n))) {
                if (at == "asm/instruction/pc" || at == "error")
                    rows.append({text});
                else if (at == "asm/instruction/mnemonic" || at.endsWith("operands/count") ||
                         at.endsWith("operand/value"))
                    rows.last() << text;
            }
        }
        QCOMPARE(int(rows.size()), pcs);
        for (int pc = 0; pc < pcs; ++pc) {
            const QStringList &row = rows[pc];
            QVERIFY2(row[0] == QString::number(pc) && row.size() == 3 + row.value(2).toInt(),
                     qPrintable(row.join(' ')));
            if (row[1].startsWith('b') || row[1] == "j")
                QVERIFY2(row.last().toInt() >= 0 && row.last().toInt() < pcs, "branch out");
        }
    }

    // The end of a long trace alone: its last files, their cycles numbered as in the whole run.
    void fromCycleWritesTheEnd()
    {
        QTemporaryDir root;
        TraceGeneratorOptions o = optionsIn(root.path(), 500, 100);
        o.fromCycle = 350;
        TraceGenerator g(o);
        QVERIFY2(g.generate(), qPrintable(g.errorString()));
        QCOMPARE(filesUnder(root.path()), expand("asm 0 100|trace 300 400|zoom_10 300 400"));
        const QList<Column> last = readColumns(o.traceFilePath(400));
        QCOMPARE(int(last.size()), 100);
        QCOMPARE(last.front().first, 400);
        QCOMPARE(last.back().first, 499);
        QCOMPARE(readColumns(o.zoomFilePath(10, 300)).front().first, 300);
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
    }

    // The default run (the committed sample) is like an out-of-order core: every stage
    // occurs, loops make pcs recur.
    void defaultRunLooksLikeACore()
    {
        const TraceGeneratorOptions o =
            optionsIn(QStringLiteral(ZELVAR_SOURCE_DIR "/xml"), 500, 100);
        QMap<QString, int> occurrences;
        QMap<int, QSet<int>> fetchCycles; // pc -> cycles it was fetched in
        for (const Column &c : allCycles(o)) {
            for (const auto &[name, pc] : c.second) {
                ++occurrences[name];
                if (name == "fetch")
                    fetchCycles[pc].insert(c.first);
            }
        }
        for (const QString &name : TraceGenerator::eventNames(12))
            QVERIFY2(occurrences.value(name) > 0, qPrintable(name));
        QVERIFY(occurrences["commit"] <= occurrences["fetch"]);
        int recurring = 0;
        for (const QSet<int> &cycles : fetchCycles)
            recurring += cycles.size() >= 3;
        QVERIFY2(recurring > 50, "loops make pcs recur");
    }

    void badOptionsAreRefused_data()
    {
        QTest::addColumn<Change>("change");
        using O = TraceGeneratorOptions;
        QTest::newRow("no cycle") << Change([](O &o) { o.nbCycleTotal = 0; });
        QTest::newRow("zero cycles per file") << Change([](O &o) { o.nbCycleParTrace = 0; });
        QTest::newRow("no pc") << Change([](O &o) { o.nbPc = 0; });
        QTest::newRow("no event kind") << Change([](O &o) { o.nbEventKinds = 0; });
        QTest::newRow("level not dividing a file") << Change([](O &o) { o.zoomLevels = {30}; });
        QTest::newRow("level 1") << Change([](O &o) { o.zoomLevels = {1}; });
        QTest::newRow("empty prefix") << Change([](O &o) { o.asmPrefixe.clear(); });
        QTest::newRow("prefix with slash") << Change([](O &o) { o.tracePrefixe = "../x"; });
        QTest::newRow("trace and zoom names collide") << Change([](O &o) {
            o.traceDirectory = o.zoomDirectory;
            o.tracePrefixe = "zoom_10";
        });
        QTest::newRow("no root") << Change([](O &o) { o.rootDirectory.clear(); });
        QTest::newRow("first cycle written past the end")
            << Change([](O &o) { o.fromCycle = o.nbCycleTotal; });
    }

    void badOptionsAreRefused()
    {
        QFETCH(Change, change);
        QTemporaryDir root;
        TraceGeneratorOptions o = optionsIn(root.path() + "/set", 100, 100);
        change(o);
        TraceGenerator g(o);
        QVERIFY(!g.generate());
        QVERIFY(!TraceGenerator::checkOptions(o).isEmpty() ||
                g.errorString().contains("Two files"));
        QVERIFY2(!QFileInfo::exists(root.path() + "/set"), "nothing is written");
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
        // A directory where a trace file should be.
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
        QStringList left = expand("asm 0 100|trace 0 100 200 old|zoom_10 0 100 200");
        left << "100/trace/notes.txt"
             << "100/zoom/x_10_0.xml";
        left.sort();
        QCOMPARE(filesUnder(root.path()), left);
    }
};

QTEST_GUILESS_MAIN(TestTraceGenerator)
#include "tst_traceGenerator.moc"
