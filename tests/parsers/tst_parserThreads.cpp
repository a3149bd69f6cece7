// Parsers on their own thread and on the caller's: framing, missing and unreadable files,
// reuse of one object, cooperative stop and destruction.
#include "parserRig.h"

#include "parsers/parserTrace.h"

#include <QtTest>

#include <atomic>
#include <future>

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

class TestParserThreads : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        bigTrace = writeFile(dir.path(), "big.xml", traceOf(0, bigCycles));
    }

    void missingOrUnreadable_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("expected");

        const QString absent = dir.path() + "/absent.xml";
        for (const QString &kind : ParserRig::kinds()) {
            for (const auto &[path, reason] :
                 {std::pair(absent, " doesn't exist"), std::pair(dir.path(), " can't be read")}) {
                QStringList expected{"error File " + path + reason};
                if (ParserRig::threaded(kind))
                    expected = QStringList{"debut"} + expected + QStringList{"error erreur"};
                if (kind == "config") // a configuration read before stays in place
                    expected << "config a=0";
                QTest::addRow("%s%s", qPrintable(kind), reason) << kind << path << expected;
            }
        }
    }

    void missingOrUnreadable()
    {
        QFETCH(QString, kind);
        QFETCH(QString, path);
        ParserRig rig(kind);
        rig.parseData("<config><events><event><name>a</name></event></events></config>");
        bool result = true;
        QTEST(rig.read(path, &result), "expected");
        QVERIFY(ParserRig::threaded(kind) || !result);
    }

    void stopFromSlotOrBeforeStart()
    {
        // Asked before the start, a stop keeps the run silent; new input lifts it.
        const QString path = writeFile(dir.path(), "s.xml", traceOf(0, 1));
        ParserRig rig("trace");
        auto &parser = static_cast<ParserTrace &>(rig.parser());
        parser.setInputFilename(path);
        parser.requestStop();
        parser.start();
        QVERIFY(parser.wait(60000));
        QCOMPARE(rig.journal(), QStringList());
        // Asked from a receiver, it ends the parse right after that signal.
        QObject::connect(&parser, &ParserTrace::addCycleTrace, [&](int cycle) {
            if (cycle == 1)
                parser.requestStop();
        });
        bool finished = false;
        QCOMPARE(rig.read(bigTrace, &finished),
                 (QStringList{"debut", "cycle 0", "event alu", "pc 0", "add", "cycle 1"}));
    }

    void stopFromOtherThread()
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

    void destroyWhileRunning()
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

    void refusedWhileRunning()
    {
#ifndef QT_NO_DEBUG
        QTest::qSkip("refusing a running parser is an assertion in debug builds", __FILE__,
                     __LINE__);
#else
        // A parse or new input asked while running is refused, the running one goes on.
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
        QCOMPARE(rig.read(path, &finished).size(), 6);
        QVERIFY(!nested);
        QCOMPARE(rig.parser().getInputFilename(), path);
#endif
    }

private:
    QTemporaryDir dir;
    QString bigTrace;
};

QTEST_GUILESS_MAIN(TestParserThreads)
#include "tst_parserThreads.moc"
