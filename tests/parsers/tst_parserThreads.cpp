// Parsers on their own thread and on the caller's: framing signals, missing and unreadable
// files, reuse of one object, text across read blocks, cooperative stop and destruction.
#include "parserRig.h"

#include "parsers/parserTrace.h"

#include <QtTest>

#include <atomic>
#include <future>

class TestParserThreads : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void threaded_data();
    void threaded();
    void missingOrUnreadable_data();
    void missingOrUnreadable();
    void textAcrossReadBlocks();
    void stopFromSlot();
    void stopFromOtherThread();
    void stopBeforeStart();
    void destroyWhileRunning();
    void refusedWhileRunning();

private:
    QTemporaryDir dir;
    QString bigTrace;
};

namespace {

constexpr int bigCycles = 100000;

QByteArray traceOf(int first, int count)
{
    QByteArray xml("<trace>\n");
    for (int c = first; c < first + count; ++c)
        xml += "<cycle><date>" + QByteArray::number(c) +
               "</date><event><name>alu</name>"
               "<instruction><pc>" +
               QByteArray::number(c % 7) + "</pc></instruction></event></cycle>\n";
    return xml + "</trace>\n";
}

} // namespace

void TestParserThreads::initTestCase()
{
    QVERIFY(dir.isValid());
    bigTrace = writeFile(dir.path(), "big.xml", traceOf(0, bigCycles));
}

void TestParserThreads::threaded_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<QStringList>("expected");

    const QStringList trace{"debut",   "cycle 3",   "event alu", "pc 3", "add",
                            "cycle 4", "event alu", "pc 4",      "add",  "end"};
    QTest::newRow("trace") << "trace" << traceOf(3, 2) << trace;
    QTest::newRow("zoom") << "zoom"
                          << QByteArray("<trace><cycle><date>10</date><event><name>a</name>"
                                        "<count>3</count></event></cycle></trace>")
                          << QStringList{"debut", "cycle 10", "event a", "count a 3", "add", "end"};
    // A report ends the parse, and run() still closes it with endOfParse().
    QTest::newRow("trace with report")
        << "trace" << QByteArray("<trace>\n<cycle><date>1</date></cycle>")
        << QStringList{
               "debut", "cycle 1",
               "error \nFile : %1\nLine 2 : \nCycle : 1\nEvent : \nUnexpected tag : 'cycle'",
               "end"};
    QTest::newRow("zoom not well-formed")
        << "zoom" << QByteArray("<trace>\n<cycle>")
        << QStringList{
               "debut",
               "error \nFile : %1\nLine 2 : \nCycle : 0\nEvent : \nXML error : no element found",
               "end"};
}

void TestParserThreads::threaded()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, xml);
    QFETCH(QStringList, expected);

    const QString path = writeFile(dir.path(), kind + ".xml", xml);
    expected.replaceInStrings("%1", path);
    ParserRig rig(kind);
    QThread *const caller = QThread::currentThread();
    std::atomic<bool> onCaller{false};
    QObject::connect(&rig.parser(), &Parser::debutParse,
                     [&] { onCaller = QThread::currentThread() == caller; });
    bool finished = false;
    const QStringList first = rig.runThread(path, &finished);
    QCOMPARE(first, expected);
    QVERIFY(finished);
    QVERIFY(!onCaller);
    // The object is reused: a file that fails, then the first one again.
    rig.runThread(writeFile(dir.path(), "other.xml", "<trace><x>"), &finished);
    QCOMPARE(rig.runThread(path, &finished), expected);
}

void TestParserThreads::missingOrUnreadable_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("message");

    const QString absent = dir.path() + "/absent.xml";
    for (const QString &kind : ParserRig::kinds()) {
        QTest::addRow("%s missing", qPrintable(kind))
            << kind << absent << "File " + absent + " doesn't exist";
        QTest::addRow("%s directory", qPrintable(kind))
            << kind << dir.path() << "File " + dir.path() + " can't be read";
    }
}

void TestParserThreads::missingOrUnreadable()
{
    QFETCH(QString, kind);
    QFETCH(QString, path);
    QFETCH(QString, message);

    // Run the way the controller runs it; a configuration read before stays in place.
    ParserRig rig(kind);
    rig.parseData("<config><events><event><name>a</name></event></events></config>");
    bool result = true;
    if (ParserRig::threaded(kind)) {
        QCOMPARE(rig.runThread(path, &result),
                 QStringList({"debut", "error " + message, "error erreur"}));
    } else {
        QStringList expected{"error " + message};
        if (kind == "config")
            expected.append("config a=0");
        QCOMPARE(rig.parseFile(path, &result), expected);
        QVERIFY(!result);
    }
}

void TestParserThreads::textAcrossReadBlocks()
{
    // The name straddles the boundary of the 64 KiB read blocks and still arrives whole.
    QByteArray xml("<config><events><event><name>");
    const int spaces = 65536 - xml.size() - 10;
    xml += QByteArray(spaces, ' ') + QByteArray(3000, 'n') + "&amp;" + QByteArray(3000, 'm') +
           "</name></event></events></config>";
    const QString name = QString(spaces, ' ') + QString(3000, 'n') + "&" + QString(3000, 'm');
    ParserRig rig("config");
    QCOMPARE(rig.parseFile(writeFile(dir.path(), "blocks.xml", xml)),
             (QStringList{"debut", "end", "config " + name + "=0"}));
}

void TestParserThreads::stopFromSlot()
{
    ParserRig rig("trace");
    auto &parser = static_cast<ParserTrace &>(rig.parser());
    QObject::connect(&parser, &ParserTrace::addCycleTrace, [&](int cycle) {
        if (cycle == 1)
            parser.requestStop();
    });
    bool finished = false;
    QCOMPARE(rig.runThread(bigTrace, &finished),
             (QStringList{"debut", "cycle 0", "event alu", "pc 0", "add", "cycle 1"}));
}

void TestParserThreads::stopFromOtherThread()
{
    ParserRig rig("trace");
    auto &parser = static_cast<ParserTrace &>(rig.parser());
    std::promise<void> started;
    QObject::connect(&parser, &ParserTrace::addCycleTrace, [&](int cycle) {
        if (cycle == 10)
            started.set_value();
    });
    parser.setInputFilename(bigTrace);
    parser.start();
    started.get_future().wait();
    parser.requestStop();
    // Nothing may be emitted once requestStop() has returned.
    const QStringList atStop = rig.journal();
    QVERIFY(parser.wait(60000));
    QCOMPARE(rig.journal(), atStop);
    QVERIFY(atStop.size() < 4 * bigCycles);
    QVERIFY(!atStop.contains("end"));
}

void TestParserThreads::stopBeforeStart()
{
    const QString path = writeFile(dir.path(), "s.xml", traceOf(0, 1));
    ParserRig rig("trace");
    rig.parser().setInputFilename(path);
    rig.parser().requestStop();
    rig.parser().start();
    QVERIFY(rig.parser().wait(60000));
    QCOMPARE(rig.journal(), QStringList());
    // New input lifts the stop.
    bool finished = false;
    QCOMPARE(rig.runThread(path, &finished).size(), 6);
}

void TestParserThreads::destroyWhileRunning()
{
    QElapsedTimer timer;
    timer.start();
    std::atomic<int> cycles{0};
    {
        ParserTrace parser;
        // A slow receiver: read to the end, the file would take minutes.
        QObject::connect(&parser, &ParserTrace::addCycleTrace, [&](int) {
            ++cycles;
            QThread::msleep(2);
        });
        parser.setInputFilename(bigTrace);
        parser.start();
        QTRY_VERIFY(cycles.load() > 0);
    }
    QVERIFY(cycles.load() < 1000);
    QVERIFY(timer.elapsed() < 30000);
}

void TestParserThreads::refusedWhileRunning()
{
#ifndef QT_NO_DEBUG
    QTest::qSkip("refusing a running parser is an assertion in debug builds", __FILE__, __LINE__);
#else
    const QString path = writeFile(dir.path(), "u.xml", traceOf(0, 1));
    ParserRig rig("trace");
    bool nested = true;
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("input file .* refused"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("parse refused"));
    QObject::connect(&rig.parser(), &Parser::debutParse, [&] {
        rig.parser().setInputFilename("other.xml");
        nested = rig.parser().parseData("<trace/>", "x");
    });
    bool finished = false;
    QCOMPARE(rig.runThread(path, &finished).size(), 6);
    QVERIFY(!nested);
    QCOMPARE(rig.parser().getInputFilename(), path);
#endif
}

QTEST_GUILESS_MAIN(TestParserThreads)
#include "tst_parserThreads.moc"
