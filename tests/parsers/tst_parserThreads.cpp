// Parsers on their own thread and on the caller's: framing signals, missing and unreadable
// files, reuse of one object, cooperative stop and destruction while running.
#include "parserJournal.h"

#include "parsers/parserConfig.h"
#include "parsers/parserTrace.h"
#include "parsers/parserZoom.h"

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
    void missingFile_data();
    void missingFile();
    void unreadableFile();
    void missingConfigKeepsPrevious();
    void reuseForSeveralFiles();
    void textAcrossReadChunks();
    void stopFromSlot();
    void stopFromOtherThread();
    void stopBeforeStart();
    void destroyWhileRunning();
    void refusedWhileRunning();

private:
    QTemporaryDir dir;
    QString bigTracePath;
};

namespace {

constexpr int bigCycles = 100000;

QByteArray traceOf(int first, int count)
{
    QByteArray xml("<trace>\n");
    for (int c = first; c < first + count; ++c) {
        xml += "<cycle><date>" + QByteArray::number(c) +
               "</date><event><name>alu</name><instruction><pc>" + QByteArray::number(c % 7) +
               "</pc></instruction></event></cycle>\n";
    }
    return xml + "</trace>\n";
}

} // namespace

void TestParserThreads::initTestCase()
{
    QVERIFY(dir.isValid());
    bigTracePath = writeFile(dir.path(), QStringLiteral("big.xml"), traceOf(0, bigCycles));
}

void TestParserThreads::threaded_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("trace") << "trace" << traceOf(3, 2)
                           << QStringList{"debut",   "cycle 3",   "event alu", "pc 3", "add",
                                          "cycle 4", "event alu", "pc 4",      "add",  "end"};
    QTest::newRow("zoom") << "zoom"
                          << QByteArray("<trace><cycle><date>10</date><event><name>a</name>"
                                        "<count>3</count></event></cycle></trace>")
                          << QStringList{"debut", "cycle 10", "event a", "count a 3", "add", "end"};
    // The report ends the parse, and run() still closes it with endOfParse().
    QTest::newRow("trace with report")
        << "trace" << QByteArray("<trace>\n<cycle><date>1</date></cycle>")
        << QStringList{"debut", "cycle 1",
                       "error \nFile : %1\nLine 2 : \nCycle : 1\nEvent : \n"
                       "Unexpected tag : 'cycle'",
                       "end"};
    QTest::newRow("zoom not well-formed")
        << "zoom" << QByteArray("<trace>\n<cycle>")
        << QStringList{"debut",
                       "error \nFile : %1\nLine 2 : \nCycle : 0\nEvent : \n"
                       "XML error : no element found",
                       "end"};
}

void TestParserThreads::threaded()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, xml);
    QFETCH(QStringList, expected);

    const QString path = writeFile(dir.path(), kind + QStringLiteral(".xml"), xml);
    for (QString &entry : expected)
        entry.replace(QLatin1String("%1"), path);
    ParserRig rig(kind);
    QThread *const caller = QThread::currentThread();
    std::atomic<bool> onParserThread{true};
    QObject::connect(&rig.parser(), &Parser::debutParse, [&] {
        if (QThread::currentThread() == caller)
            onParserThread = false;
    });
    bool finished = false;
    QCOMPARE(rig.runThread(path, &finished), expected);
    QVERIFY(finished);
    QVERIFY(onParserThread);
}

void TestParserThreads::missingFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("threaded");
    for (const QString &kind : ParserRig::kinds())
        QTest::addRow("%s synchronous", qPrintable(kind)) << kind << false;
    QTest::newRow("trace threaded") << "trace" << true;
    QTest::newRow("zoom threaded") << "zoom" << true;
}

void TestParserThreads::missingFile()
{
    QFETCH(QString, kind);
    QFETCH(bool, threaded);

    const QString path = dir.path() + QStringLiteral("/absent.xml");
    const QString message = QStringLiteral("error File ") + path + " doesn't exist";
    ParserRig rig(kind);
    if (threaded) {
        bool finished = false;
        QCOMPARE(rig.runThread(path, &finished), (QStringList{"debut", message, "error erreur"}));
        QVERIFY(finished);
    } else {
        bool result = true;
        QCOMPARE(rig.parseFile(path, &result), QStringList{message});
        QVERIFY(!result);
    }
}

void TestParserThreads::unreadableFile()
{
    ParserRig rig(QStringLiteral("trace"));
    const QString message = QStringLiteral("error File ") + dir.path() + " can't be read";
    bool result = true;
    QCOMPARE(rig.parseFile(dir.path(), &result), QStringList{message});
    QVERIFY(!result);
    bool finished = false;
    QCOMPARE(rig.runThread(dir.path(), &finished), (QStringList{"debut", message, "error erreur"}));
}

void TestParserThreads::missingConfigKeepsPrevious()
{
    ParserRig rig(QStringLiteral("config"));
    rig.parseData("<config><events><event><name>a</name></event></events></config>");
    QCOMPARE(rig.parseFile(dir.path() + QStringLiteral("/absent.xml")).mid(1),
             QStringList{"config a=0"});
}

void TestParserThreads::reuseForSeveralFiles()
{
    const QString first = writeFile(dir.path(), QStringLiteral("r1.xml"), traceOf(0, 3));
    const QString second =
        writeFile(dir.path(), QStringLiteral("r2.xml"), "<trace><cycle><event/></cycle></trace>");
    ParserRig rig(QStringLiteral("trace"));
    bool finished = false;
    const QStringList once = rig.runThread(first, &finished);
    QCOMPARE(once.size(), 1 + 3 * 4 + 1);
    // The second file starts from a clean state: its report names no cycle of the first.
    QCOMPARE(rig.runThread(second, &finished),
             (QStringList{"debut",
                          "error \nFile : " + second +
                              "\nLine 1 : \nCycle : 0\nEvent : \nUnexpected tag : 'event'",
                          "end"}));
    QCOMPARE(rig.runThread(first, &finished), once);
    QVERIFY(finished);
}

void TestParserThreads::textAcrossReadChunks()
{
    // The name straddles the boundary of the 64 KiB read blocks and must still arrive whole.
    QByteArray xml("<config><events><event><name>");
    const int spaces = 65536 - xml.size() - 10;
    xml += QByteArray(spaces, ' ');
    const QByteArray name = QByteArray(3000, 'n') + "&amp;" + QByteArray(3000, 'm');
    xml += name + "</name></event></events></config>";
    const QString path = writeFile(dir.path(), QStringLiteral("chunks.xml"), xml);
    ParserRig rig(QStringLiteral("config"));
    const QString expectedName = QString(spaces, QLatin1Char(' ')) +
                                 QString(3000, QLatin1Char('n')) + "&" +
                                 QString(3000, QLatin1Char('m'));
    QCOMPARE(rig.parseFile(path), (QStringList{"debut", "end", "config " + expectedName + "=0"}));
}

void TestParserThreads::stopFromSlot()
{
    ParserRig rig(QStringLiteral("trace"));
    auto &parser = static_cast<ParserTrace &>(rig.parser());
    QObject::connect(&parser, &ParserTrace::addCycleTrace, [&](int cycle) {
        if (cycle == 2)
            parser.requestStop();
    });
    bool finished = false;
    const QStringList journal = rig.runThread(bigTracePath, &finished);
    QVERIFY(finished);
    QCOMPARE(journal, (QStringList{"debut", "cycle 0", "event alu", "pc 0", "add", "cycle 1",
                                   "event alu", "pc 1", "add", "cycle 2"}));
}

void TestParserThreads::stopFromOtherThread()
{
    ParserRig rig(QStringLiteral("trace"));
    auto &parser = static_cast<ParserTrace &>(rig.parser());
    std::promise<void> started;
    QObject::connect(&parser, &ParserTrace::addCycleTrace, [&](int cycle) {
        if (cycle == 10)
            started.set_value();
    });
    parser.setInputFilename(bigTracePath);
    parser.start();
    started.get_future().wait();
    parser.requestStop();
    // Nothing may be emitted once requestStop() has returned.
    const QStringList atStop = rig.journal().entries();
    QVERIFY(parser.wait(60000));
    QCOMPARE(rig.journal().entries(), atStop);
    QVERIFY(atStop.size() < 4 * bigCycles);
    QVERIFY(!atStop.contains(QStringLiteral("end")));
}

void TestParserThreads::stopBeforeStart()
{
    const QString path = writeFile(dir.path(), QStringLiteral("s.xml"), traceOf(0, 1));
    ParserRig rig(QStringLiteral("trace"));
    rig.parser().setInputFilename(path);
    rig.parser().requestStop();
    rig.parser().start();
    QVERIFY(rig.parser().wait(60000));
    QCOMPARE(rig.journal().entries(), QStringList());
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
        auto parser = std::make_unique<ParserTrace>();
        // A slow receiver: read to the end, the file would take minutes.
        QObject::connect(parser.get(), &ParserTrace::addCycleTrace, [&](int) {
            ++cycles;
            QThread::msleep(2);
        });
        parser->setInputFilename(bigTracePath);
        parser->start();
        QTRY_VERIFY(cycles.load() > 0);
    }
    QVERIFY(cycles.load() < 1000);
    QVERIFY(timer.elapsed() < 30000);
}

void TestParserThreads::refusedWhileRunning()
{
#ifndef QT_NO_DEBUG
    QTest::qSkip("a second parse of a running parser is an assertion failure in debug builds",
                 __FILE__, __LINE__);
#else
    const QString path = writeFile(dir.path(), QStringLiteral("u.xml"), traceOf(0, 1));
    ParserRig rig(QStringLiteral("trace"));
    bool nested = true;
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("input file .* refused"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("parse refused"));
    QObject::connect(&rig.parser(), &Parser::debutParse, [&] {
        rig.parser().setInputFilename(QStringLiteral("other.xml"));
        nested = rig.parser().parseData("<trace/>", QStringLiteral("x"));
    });
    bool finished = false;
    QCOMPARE(rig.runThread(path, &finished).size(), 6);
    QVERIFY(!nested);
    QCOMPARE(rig.parser().getInputFilename(), path);
#endif
}

QTEST_GUILESS_MAIN(TestParserThreads)
#include "tst_parserThreads.moc"
