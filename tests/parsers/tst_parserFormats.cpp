// The four file formats: signal sequences of typical files, unknown elements, text in one
// piece, whole error reports whose line is the editor's line, and numbers read as the general
// decimal conversion reads them. (Files that are not well-formed are the corpus's.)
#include "parserRig.h"

#include <QtTest>

namespace {

QString report(int line, const QString &place, const QString &reason)
{
    return QStringLiteral("error \nFile : t.xml\nLine %1 : ").arg(line) + place + "\n" + reason;
}

QString inTrace(int cycle, const QString &event)
{
    return QStringLiteral("\nCycle : %1\nEvent : ").arg(cycle) + event;
}

QString inAsm(int pc, const QString &mnemonic)
{
    return QStringLiteral("\nPc : %1\nMnemonic : ").arg(pc) + mnemonic;
}

} // namespace

class TestParserFormats : public QObject
{
    Q_OBJECT

private slots:
    void parse_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<QStringList>("expected");

        // Configuration: positions are file ranks (a duplicate or an empty first name included),
        // names are verbatim and whole, the map is ordered by character code.
        QTest::newRow("config") << "config"
                                << QByteArray("<?xml version=\"1.0\"?>\n<root><config v=\"2\">\n"
                                              "  <name>core</name>\n  <events>\n"
                                              "    <event><name>fetch</name><x>1</x></event>\n"
                                              "    <event><name> a&amp;b&#65;<![CDATA[<c>]]></name>"
                                              "<name>ignored</name></event>\n"
                                              "    <event><name></name></event>\n"
                                              "    <event><name>fetch</name></event>\n"
                                              "    <event><name>Zed</name></event>\n"
                                              "  </events>\n</config></root>\n")
                                << QStringList{"debut", "end", "config  a&bA<c>=1", "config Zed=3",
                                               "config fetch=0"};
        QTest::newRow("trace") << "trace"
                               << QByteArray(
                                      "<trace>\n<cycle><date><u>\n 5 </u></date>\n"
                                      "<event><w><name>f x</name></w><instruction><pc>1<!---->2"
                                      "</pc></instruction></event>\n<event><name>st</name>"
                                      "<count>3</count></event></cycle>\n<cycle><date>a</date>"
                                      "<event><name>c</name><instruction><pc>-3</pc>"
                                      "</instruction></event></cycle></trace>")
                               << QStringList{"cycle 5",  "event f x", "pc 12",   "add",
                                              "event st", "add",       "cycle 0", "event c",
                                              "pc -3",    "add"};
        QTest::newRow("zoom") << "zoom"
                              << QByteArray("<trace><cycle><date>0</date><event><name>x</name>"
                                            "<count>7</count></event><event><name>y</name><count>zz"
                                            "</count></event></cycle></trace>")
                              << QStringList{"cycle 0", "event x",   "count x 7", "add",
                                             "event y", "count y 0", "add"};
        QTest::newRow("asm") << "asm"
                             << QByteArray(
                                    "<asm><instruction><pc>100</pc><mnemonic>add</mnemonic>"
                                    "<operands><count>2</count><operand><direction>o"
                                    "</direction><type>r</type><value> r1 </value></operand>"
                                    "<operand><type>i</type><direction>i</direction><type>x"
                                    "</type><value>#4</value></operand></operands><line>l"
                                    "</line></instruction><instruction><pc>104</pc><mnemonic>"
                                    "nop</mnemonic><operands><count>0</count></operands>"
                                    "</instruction><instruction><pc>108</pc><line>.word"
                                    "</line></instruction></asm>")
                             << QStringList{"debut",   "pc 100",       "mnemonic add",
                                            "count 2", "value  r1 ",   "value #4",
                                            "pc 104",  "mnemonic nop", "count 0",
                                            "pc 108",  "end"};

        // A name straddling the boundary of the 64 KiB blocks a file is read in arrives whole.
        const QByteArray across = QByteArray(65500, ' ') + QByteArray(3000, 'n') + "&amp;m";
        QTest::newRow("config name across read blocks")
            << "config"
            << QByteArray("<config><events><event><name>" + across +
                          "</name></event></events>"
                          "</config>")
            << QStringList{"debut", "end",
                           "config " + QString::fromLatin1(across).replace("&amp;", "&") + "=0"};

        // Elements the parser does not know are skipped, even when they begin like known ones or
        // follow the end of an event (which must not end it a second time); text between
        // elements is no value.
        const QStringList alu{"cycle 5", "event alu", "pc 4", "add"};
        QTest::newRow("trace look-alike elements")
            << "trace"
            << QByteArray("<trace><cyclex/><cycle><date>5</date><datex>9</datex><event><nam>x"
                          "</nam><name>alu</name><instruction><pcs>7</pcs><pc>4</pc>"
                          "</instruction></event><eventx/></cycle><t/></trace>")
            << alu;
        QTest::newRow("trace text between elements, a name split by a comment")
            << "trace"
            << QByteArray("<trace>11<cycle>12<date>5</date>13<event>14<name>a<!-- -->lu</name>15"
                          "<instruction>16<pc>4</pc>17</instruction>18</event>19</cycle>20"
                          "</trace>")
            << alu;

        // Unexpected tags, ends included; what was emitted before the report stands.
        QTest::newRow("config empty events, tabs")
            << "config" << QByteArray("<config>\n\t<events>\n\t</events>\n</config>\n")
            << QStringList{"debut", report(3, "\nEvent : ", "Unexpected tag : 'events'")};
        QTest::newRow("config after events, CRLF")
            << "config"
            << QByteArray("<config>\r\n <events>\r\n  <event><name>a</name></event>\r\n </events>"
                          "\r\n <name>late</name>\r\n</config>\r\n")
            << QStringList{"debut", report(5, "\nEvent : a", "Unexpected tag : 'name'"),
                           "config a=0"};
        QTest::newRow("trace names the last event after it ended")
            << "trace"
            << QByteArray("<trace>\n  <cycle><date>9</date>\n    <event><name>ld</name></event>\n"
                          "    <date>10</date>")
            << QStringList{"cycle 9", "event ld", "add",
                           report(4, inTrace(9, "ld"), "Unexpected tag : 'date'")};
        QTest::newRow("trace given a config file")
            << "trace" << QByteArray("<config>\n<events>\n<event><name>a</name></event>")
            << QStringList{report(3, inTrace(0, ""), "Unexpected tag : 'event'")};
        QTest::newRow("zoom given a trace file")
            << "zoom"
            << QByteArray("<trace><cycle><date>20</date>\n<event><name>a</name>\n"
                          "<instruction><pc>3</pc></instruction>\n</event>")
            << QStringList{"cycle 20", "event a",
                           report(4, inTrace(20, "a"), "Unexpected tag : 'event'")};
        QTest::newRow("asm direction after value")
            << "asm"
            << QByteArray("<asm><instruction><pc>4</pc><mnemonic>ld</mnemonic><operands><count>1"
                          "</count><operand><value>r2</value>\n<direction>in</direction>")
            << QStringList{
                   "debut",       "pc 4",
                   "mnemonic ld", "count 1",
                   "value r2",    report(2, inAsm(4, "ld"), "Unexpected tag : 'direction'")};

        // Numbers beyond int are reported instead of read as 0; the place keeps the last cycle.
        QTest::newRow("trace date beyond int")
            << "trace"
            << QByteArray("<trace><cycle><date>7</date><event><name>a</name></event></cycle>\n"
                          "<cycle><date>\n 2147483648 </date>")
            << QStringList{"cycle 7", "event a", "add",
                           report(2, inTrace(7, "a"), "Number out of range : '2147483648'")};
        QTest::newRow("zoom count beyond int, shortened")
            << "zoom"
            << QByteArray("<trace><cycle><date>1</date><event><name>a</name><count>-" +
                          QByteArray(50, '9') + "</count>")
            << QStringList{"cycle 1", "event a",
                           report(1, inTrace(1, "a"),
                                  "Number out of range : '-" + QString(39, '9') + "...'")};
        QTest::newRow("asm operand count beyond int")
            << "asm"
            << QByteArray("<asm><instruction><pc>1</pc><mnemonic>m</mnemonic><operands>"
                          "<count>4294967296</count>")
            << QStringList{"debut", "pc 1", "mnemonic m",
                           report(1, inAsm(1, "m"), "Number out of range : '4294967296'")};
    }

    void parse()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, xml);
        QFETCH(QStringList, expected);

        ParserRig rig(kind);
        QCOMPARE(rig.parseData(xml), expected);
        QCOMPARE(rig.parseData(xml), expected); // the same object again
        // From a file as the controller reads it; run() frames a threaded parse, report or not.
        QTemporaryDir dir;
        const QString path = writeFile(dir.path(), "t.xml", xml);
        expected.replaceInStrings("File : t.xml", "File : " + path);
        if (ParserRig::threaded(kind))
            expected = QStringList{"debut"} + expected + QStringList{"end"};
        bool ok = false;
        QCOMPARE(rig.read(path, &ok), expected);
        QVERIFY(ok || !ParserRig::threaded(kind));
        QCOMPARE(rig.read(path, &ok), expected); // a thread started a second time too
    }

    // A cycle number's text gives what QString::toInt gives, a report when it is a number
    // beyond int, else 0.
    void numbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        for (const auto &[text, expected] :
             {std::pair("42", "cycle 42"), std::pair("+7", "cycle 7"), std::pair("-3", "cycle -3"),
              std::pair("\n\t 5\r\n", "cycle 5"), std::pair("007", "cycle 7"),
              std::pair("2147483647", "cycle 2147483647"),
              std::pair("-2147483648", "cycle -2147483648"), std::pair("2147483648", "error"),
              std::pair("99999999999999999999", "error"), std::pair(" ", "cycle 0"),
              std::pair("1 2", "cycle 0"), std::pair("12a", "cycle 0"),
              std::pair("0x10", "cycle 0"), std::pair("--1", "cycle 0"),
              std::pair("\xef\xbc\x91\xef\xbc\x92", "cycle 0")})
            QTest::newRow(text) << QString::fromUtf8(text) << QString::fromLatin1(expected);
    }

    void numbers()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        ParserRig rig(QStringLiteral("trace"));
        const QStringList journal = rig.parseData("<trace><cycle><date>" + text.toUtf8() +
                                                  "</date><event><name>f</name></event></cycle>"
                                                  "</trace>");
        if (expected == QLatin1String("error"))
            QVERIFY(journal.last().contains("Number out of range"));
        else
            QCOMPARE(journal.first(), expected);
    }

    void placeAcrossFiles()
    {
        // The listing parser keeps its last pc from one file to the next; the others start over.
        ParserRig listing("asm");
        listing.parseData("<asm><instruction><pc>40</pc><mnemonic>j</mnemonic><operands><count>0"
                          "</count></operands></instruction></asm>");
        QCOMPARE(listing.parseData("<asm><pc>1</pc></asm>"),
                 (QStringList{"debut", report(1, inAsm(40, ""), "Unexpected tag : 'pc'")}));
        ParserRig trace("trace");
        trace.parseData(
            "<trace><cycle><date>50</date><event><name>z</name></event></cycle></trace>");
        QCOMPARE(trace.parseData("<trace><event/></trace>"),
                 QStringList{report(1, inTrace(0, ""), "Unexpected tag : 'event'")});
    }
};

QTEST_GUILESS_MAIN(TestParserFormats)
#include "tst_parserFormats.moc"
