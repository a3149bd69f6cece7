// Whole error reports: unexpected tags, files that are not well-formed, files of the wrong
// kind, out-of-range numbers; the line is the editor's line of the offending tag.
#include "parserJournal.h"

#include "parsers/parserAsm.h"

#include <QtTest>

class TestParserReports : public QObject
{
    Q_OBJECT

private slots:
    void report_data();
    void report();
    void asmPcCarriedAcrossFiles();
    void placeResetBetweenFiles();
};

namespace {

QString rapport(int line, const QString &place, const QString &reason)
{
    return QStringLiteral("error \nFile : t.xml\nLine %1 : ").arg(line) + place + "\n" + reason;
}

QString placeTrace(int cycle, const QString &event)
{
    return QStringLiteral("\nCycle : %1\nEvent : ").arg(cycle) + event;
}

QString placeAsm(int pc, const QString &mnemonic)
{
    return QStringLiteral("\nPc : %1\nMnemonic : ").arg(pc) + mnemonic;
}

const QByteArray traceIndented("<trace>\n"
                               "  <cycle>\n"
                               "    <date>3</date>\n"
                               "  </cycle>\n"
                               "</trace>\n");

} // namespace

void TestParserReports::report_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<QStringList>("expected");

    const QString noEvent;
    // Unexpected tags; the whole journal shows what was emitted before the report.
    QTest::newRow("config end of empty events, tab indented")
        << "config" << QByteArray("<config>\n\t<events>\n\t</events>\n</config>\n")
        << QStringList{"debut", rapport(3, "\nEvent : ", "Unexpected tag : 'events'")};
    QTest::newRow("config element after events, events kept")
        << "config"
        << QByteArray("<config>\r\n  <events>\r\n    <event><name>a</name></event>\r\n"
                      "  </events>\r\n  <name>late</name>\r\n</config>\r\n")
        << QStringList{"debut", rapport(5, "\nEvent : a", "Unexpected tag : 'name'"), "config a=0"};
    QTest::newRow("config given a trace file")
        << "config" << traceIndented
        << QStringList{"debut", rapport(5, "\nEvent : ", "Missing element : 'config'")};
    QTest::newRow("trace cycle without event")
        << "trace" << traceIndented
        << QStringList{"cycle 3", rapport(4, placeTrace(3, noEvent), "Unexpected tag : 'cycle'")};
    QTest::newRow("trace names last event after it ended")
        << "trace"
        << QByteArray("<trace><cycle><date>9</date>\n<event><name>ld</name></event>\n"
                      "<date>10</date></cycle></trace>")
        << QStringList{"cycle 9", "event ld", "add",
                       rapport(3, placeTrace(9, "ld"), "Unexpected tag : 'date'")};
    QTest::newRow("trace second pc in one instruction")
        << "trace"
        << QByteArray("<trace><cycle><date>1</date><event><name>a</name><instruction>\n"
                      "    <pc>4</pc>\n    <pc>5</pc>\n")
        << QStringList{"cycle 1", "event a", "pc 4",
                       rapport(3, placeTrace(1, "a"), "Unexpected tag : 'pc'")};
    QTest::newRow("trace given a config file")
        << "trace" << QByteArray("<config>\n<events>\n<event><name>a</name></event>\n")
        << QStringList{rapport(3, placeTrace(0, noEvent), "Unexpected tag : 'event'")};
    QTest::newRow("zoom given a trace file, rejected after its first name")
        << "zoom"
        << QByteArray("<trace><cycle><date>20</date>\n<event><name>a</name>\n"
                      "<instruction><pc>3</pc></instruction>\n</event>")
        << QStringList{"cycle 20", "event a",
                       rapport(4, placeTrace(20, "a"), "Unexpected tag : 'event'")};
    QTest::newRow("zoom count before name")
        << "zoom" << QByteArray("<trace><cycle><date>2</date><event><count>1</count>")
        << QStringList{"cycle 2", rapport(1, placeTrace(2, noEvent), "Unexpected tag : 'count'")};
    QTest::newRow("asm mnemonic without operands")
        << "asm"
        << QByteArray("<asm>\n<instruction><pc>8</pc><mnemonic>b</mnemonic>\n</instruction>")
        << QStringList{"debut", "pc 8", "mnemonic b",
                       rapport(3, placeAsm(8, "b"), "Unexpected tag : 'instruction'")};
    QTest::newRow("asm direction after value")
        << "asm"
        << QByteArray("<asm><instruction><pc>4</pc><mnemonic>ld</mnemonic><operands><count>1"
                      "</count><operand><value>r2</value>\n<direction>in</direction>")
        << QStringList{
               "debut",       "pc 4",
               "mnemonic ld", "count 1",
               "value r2",    rapport(2, placeAsm(4, "ld"), "Unexpected tag : 'direction'")};

    // Not well-formed: the reader's reason takes the place of the tag line.
    QTest::newRow("trace mismatched tag")
        << "trace" << QByteArray("<trace>\n<cycle>\n<date>1</cycle>\n")
        << QStringList{rapport(3, placeTrace(0, noEvent), "XML error : mismatched tag")};
    QTest::newRow("asm truncated")
        << "asm" << QByteArray("<asm>\n<instruction><pc>4</pc>\n<mnem")
        << QStringList{"debut", "pc 4", rapport(3, placeAsm(4, ""), "XML error : unclosed token")};
    QTest::newRow("zoom invalid character")
        << "zoom" << QByteArray("<trace>\n<cycle>\x01</cycle></trace>")
        << QStringList{
               rapport(2, placeTrace(0, noEvent), "XML error : not well-formed (invalid token)")};
    QTest::newRow("config undefined entity")
        << "config" << QByteArray("<config>\n<events>&x;</events></config>")
        << QStringList{"debut", rapport(2, "\nEvent : ", "XML error : undefined entity")};
    QTest::newRow("config empty") << "config" << QByteArray()
                                  << QStringList{"debut", rapport(1, "\nEvent : ",
                                                                  "XML error : no element found")};

    // Numbers beyond int are reported rather than read as 0.
    QTest::newRow("trace date beyond int")
        << "trace"
        << QByteArray("<trace><cycle><date>7</date><event><name>a</name></event></cycle>\n"
                      "<cycle><date>\n 2147483648 </date>")
        << QStringList{"cycle 7", "event a", "add",
                       rapport(2, placeTrace(7, "a"), "Number out of range : '2147483648'")};
    QTest::newRow("zoom count beyond int")
        << "zoom"
        << QByteArray("<trace><cycle><date>1</date><event><name>a</name><count>"
                      "-99999999999999999999999999999999999999999999</count>")
        << QStringList{"cycle 1", "event a",
                       rapport(1, placeTrace(1, "a"),
                               "Number out of range : "
                               "'-999999999999999999999999999999999999999...'")};
    QTest::newRow("asm operand count beyond int")
        << "asm"
        << QByteArray("<asm><instruction><pc>1</pc><mnemonic>m</mnemonic><operands>"
                      "<count>4294967296</count>")
        << QStringList{"debut", "pc 1", "mnemonic m",
                       rapport(1, placeAsm(1, "m"), "Number out of range : '4294967296'")};
}

void TestParserReports::report()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, xml);
    QFETCH(QStringList, expected);

    ParserRig rig(kind);
    QCOMPARE(rig.parseData(xml), expected);
}

void TestParserReports::asmPcCarriedAcrossFiles()
{
    // The listing parser keeps its last pc from one file to the next, the mnemonic it drops.
    ParserRig rig(QStringLiteral("asm"));
    rig.parseData("<asm><instruction><pc>40</pc><mnemonic>j</mnemonic><operands><count>0"
                  "</count></operands></instruction></asm>");
    const QStringList second = rig.parseData("<asm><pc>1</pc></asm>");
    QCOMPARE(second, (QStringList{"debut", rapport(1, placeAsm(40, ""), "Unexpected tag : 'pc'")}));
}

void TestParserReports::placeResetBetweenFiles()
{
    ParserRig rig(QStringLiteral("trace"));
    rig.parseData("<trace><cycle><date>50</date><event><name>z</name></event></cycle></trace>");
    QCOMPARE(rig.parseData("<trace><event/></trace>"),
             QStringList{rapport(1, placeTrace(0, ""), "Unexpected tag : 'event'")});
}

QTEST_GUILESS_MAIN(TestParserReports)
#include "tst_parserReports.moc"
