// Signal sequences of well-formed files, for each parser, as the controller receives them.
#include "parserJournal.h"

#include <QtTest>

class TestParserSequences : public QObject
{
    Q_OBJECT

private slots:
    void sequence_data();
    void sequence();
};

void TestParserSequences::sequence_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<QStringList>("expected");

    // Configuration: positions are ranks in the file, the map is ordered by character code.
    QTest::newRow("config typical")
        << "config"
        << QByteArray("<?xml version=\"1.0\"?>\n<config>\n"
                      "  <name>core0</name>\n  <events>\n"
                      "    <event><name>fetch</name></event>\n"
                      "    <event><name>Commit</name></event>\n"
                      "    <event><name>alu</name></event>\n"
                      "  </events>\n</config>\n")
        << QStringList{"debut", "end", "config Commit=1", "config alu=2", "config fetch=0"};
    QTest::newRow("config duplicate uses up a position")
        << "config"
        << QByteArray("<config><events><event><name>a</name></event><event><name>a</name>"
                      "</event><event><name>b</name></event></events></config>")
        << QStringList{"debut", "end", "config a=0", "config b=2"};
    QTest::newRow("config empty name and later names")
        << "config"
        << QByteArray("<config><events><event><name></name></event><event><name>x</name>"
                      "<name>y</name></event></events></config>")
        << QStringList{"debut", "end", "config x=0"};
    QTest::newRow("config name with references in one piece")
        << "config"
        << QByteArray("<config><events><event><name> a&amp;b&#65;<![CDATA[<c>]]> </name>"
                      "</event></events></config>")
        << QStringList{"debut", "end", "config  a&bA<c> =0"};
    QTest::newRow("config unknown wrapper and attributes")
        << "config"
        << QByteArray("<root><config v=\"2\"><events><group><event><name>e</name><colour>red"
                      "</colour></event></group></events></config></root>")
        << QStringList{"debut", "end", "config e=0"};

    // Trace.
    QTest::newRow("trace typical")
        << "trace"
        << QByteArray("<trace>\n<cycle>\n<date>5</date>\n<event>\n<name>fetch</name>\n"
                      "<instruction><pc>12</pc></instruction>\n</event>\n"
                      "<event><name>stall</name></event>\n</cycle>\n"
                      "<cycle><date>6</date><event><name>commit</name><instruction><pc>-3</pc>"
                      "</instruction></event></cycle>\n</trace>\n")
        << QStringList{"cycle 5", "event fetch", "pc 12",        "add",   "event stall",
                       "add",     "cycle 6",     "event commit", "pc -3", "add"};
    QTest::newRow("trace unknown elements carry text of enclosing state")
        << "trace"
        << QByteArray("<trace><cycle><date><x>7</x></date><event><w><name>a</name></w>"
                      "<note>hi</note><instruction><pc>1<!-- c -->2</pc></instruction></event>"
                      "</cycle></trace>")
        << QStringList{"cycle 7", "event a", "pc 12", "add"};
    QTest::newRow("trace text verbatim and padded numbers")
        << "trace"
        << QByteArray("<trace><cycle><date>\n   42\n</date><event><name> a&lt;b </name>"
                      "</event></cycle></trace>")
        << QStringList{"cycle 42", "event  a<b ", "add"};
    QTest::newRow("trace text that is not a number reads 0")
        << "trace"
        << QByteArray("<trace><cycle><date>abc</date><event><name>a</name><instruction>"
                      "<pc>0x10</pc></instruction></event></cycle></trace>")
        << QStringList{"cycle 0", "event a", "pc 0", "add"};
    QTest::newRow("zoom file read by trace parser")
        << "trace"
        << QByteArray("<trace><cycle><date>10</date><event><name>a</name><count>4</count>"
                      "</event></cycle></trace>")
        << QStringList{"cycle 10", "event a", "add"};

    // Zoom.
    QTest::newRow("zoom typical")
        << "zoom"
        << QByteArray("<trace>\n <cycle>\n  <date>0</date>\n  <event><name>x</name>"
                      "<count>7</count></event>\n  <event><name>y</name><count>10</count>"
                      "</event>\n </cycle>\n <cycle><date>10</date><event><name>x</name>"
                      "<count>zz</count></event></cycle>\n</trace>")
        << QStringList{"cycle 0", "event x",  "count x 7", "add",       "event y", "count y 10",
                       "add",     "cycle 10", "event x",   "count x 0", "add"};

    // Assembly listing.
    QTest::newRow("asm typical")
        << "asm"
        << QByteArray("<asm>\n<instruction>\n<pc>100</pc>\n<mnemonic>add</mnemonic>\n"
                      "<operands><count>2</count>\n"
                      "<operand><direction>out</direction><type>reg</type><value> r1 </value>"
                      "</operand>\n<operand><type>imm</type><direction>in</direction>"
                      "<type>x</type><value>#4</value></operand>\n</operands>\n"
                      "<line>loop: add r1, #4</line>\n</instruction>\n"
                      "<instruction><pc>104</pc><mnemonic>nop</mnemonic><operands><count>0"
                      "</count></operands></instruction>\n"
                      "<instruction><pc>108</pc><line>.word 3</line></instruction>\n</asm>")
        << QStringList{"debut",      "pc 100",   "mnemonic add", "count 2",
                       "value  r1 ", "value #4", "pc 104",       "mnemonic nop",
                       "count 0",    "pc 108",   "end"};
}

void TestParserSequences::sequence()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, xml);
    QFETCH(QStringList, expected);

    ParserRig rig(kind);
    QCOMPARE(rig.parseData(xml), expected);
    // A second run of the same object gives the same signals.
    QCOMPARE(rig.parseData(xml), expected);

    // Read from a file, the same document gives the same signals.
    QTemporaryDir dir;
    const QString path = writeFile(dir.path(), QStringLiteral("f.xml"), xml);
    QCOMPARE(rig.parseFile(path), expected);
}

QTEST_GUILESS_MAIN(TestParserSequences)
#include "tst_parserSequences.moc"
