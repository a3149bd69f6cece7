// The four file formats as journals of the parsers' signals: typical, hostile, missing and
// unreadable files, whole reports; parses on their own thread: framing, reuse of one object,
// cooperative stop and destruction. (Randomly damaged files are the fuzz targets' work.)
#include "parsers/parserAsm.h"
#include "parsers/parserConfig.h"
#include "parsers/parserTrace.h"
#include "parsers/parserZoom.h"

#include <QtTest>

#include <mutex>

namespace {

// One parser of a kind ("config", "trace", "zoom" or "asm") and the journal of its signals in
// emission order ("cycle 5", "event alu", "error <report>"), recorded through direct
// connections, so on the parser's thread when threaded. A configuration journal ends with the
// map built, one "config <name>=<position>" each. Every run returns its journal and clears it;
// a trace or zoom run whose receiver did not get exactly what the signals carried ends it with
// "receiver differs". It is that receiver.
class ParserRig final : public ParserTrace::Recepteur, public ParserZoom::Recepteur
{
public:
    explicit ParserRig(const QString &kind) : kind(kind)
    {
        // Each signal is logged as its short name followed by its arguments, blank-separated.
        auto log = [this](const char *what) {
            return [this, what](const auto &...values) {
                QStringList entry{what};
                ((entry << QVariant(values).toString()), ...);
                std::lock_guard<std::mutex> lock(mutex);
                entries.append(entry.join(' '));
            };
        };
        if (kind == "trace") {
            auto *p = new ParserTrace;
            p->setRecepteur(this);
            QObject::connect(p, &ParserTrace::addCycleTrace, log("cycle"));
            QObject::connect(p, &ParserTrace::newEventTrace, log("event"));
            QObject::connect(p, &ParserTrace::pcTrace, log("pc"));
            QObject::connect(p, &ParserTrace::addEventTrace, log("add"));
            parserObject.reset(p);
        } else if (kind == "zoom") {
            auto *p = new ParserZoom;
            p->setRecepteur(this);
            QObject::connect(p, &ParserZoom::addCycleZoom, log("cycle"));
            QObject::connect(p, &ParserZoom::newEventZoom, log("event"));
            QObject::connect(p, &ParserZoom::setNbEventZoom, log("count"));
            QObject::connect(p, &ParserZoom::addEventZoom, log("add"));
            parserObject.reset(p);
        } else if (kind == "asm") {
            auto *p = new ParserAsm;
            QObject::connect(p, &ParserAsm::pc, log("pc"));
            QObject::connect(p, &ParserAsm::mnemonic, log("mnemonic"));
            QObject::connect(p, &ParserAsm::nbValues, log("count"));
            QObject::connect(p, &ParserAsm::value, log("value"));
            parserObject.reset(p);
        } else {
            parserObject = std::make_unique<ParserConfig>();
        }
        QObject::connect(parserObject.get(), &Parser::debutParse, log("debut"));
        QObject::connect(parserObject.get(), &Parser::endOfParse, log("end"));
        QObject::connect(parserObject.get(), &Parser::errorInParse, log("error"));
    }
    Parser &parser() { return *parserObject; }
    QStringList journal()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return entries;
    }
    QStringList parseData(const QByteArray &xml)
    {
        parserObject->parseData(xml, "t.xml");
        return result();
    }
    // As the controller reads a file: trace and zoom on their thread (ok: finished), the
    // others in place (ok: what parse() returned).
    QStringList read(const QString &path)
    {
        parserObject->setInputFilename(path);
        if (threaded(kind)) {
            parserObject->start();
            ok = parserObject->wait(60000);
        } else {
            ok = parserObject->parse();
        }
        return result();
    }
    bool ok = false;

    static QStringList kinds() { return {"config", "trace", "zoom", "asm"}; }
    static bool threaded(const QString &kind) { return kind == "trace" || kind == "zoom"; }

private:
    void recu(const QString &entry)
    {
        std::lock_guard<std::mutex> lock(mutex);
        recus.append(entry);
    }
    void addCycleTrace(int cycle) override { recu("cycle " + QString::number(cycle)); }
    void newEventTrace(const QString &name) override { recu("event " + name); }
    void pcTrace(int pc) override { recu("pc " + QString::number(pc)); }
    void addEventTrace() override { recu("add"); }
    void addCycleZoom(int cycle) override { addCycleTrace(cycle); }
    void newEventZoom(const QString &name) override { newEventTrace(name); }
    void setNbEventZoom(const QString &n, int c) override
    {
        recu("count " + n + ' ' + QString::number(c));
    }
    void addEventZoom() override { addEventTrace(); }
    QStringList result()
    {
        QStringList all;
        QStringList receiver;
        {
            std::lock_guard<std::mutex> lock(mutex);
            all.swap(entries);
            receiver.swap(recus);
        }
        if (threaded(kind) &&
            receiver != all.filter(QRegularExpression("^(cycle|event|pc|count|add)( |$)")))
            all.append("receiver differs");
        if (auto *config = dynamic_cast<ParserConfig *>(parserObject.get());
            config && config->getConfig()) {
            for (const auto &[name, event] : config->getConfig()->getTabConfig())
                all.append(QStringLiteral("config %1=%2").arg(name).arg(event.getPosition()));
        }
        return all;
    }

    QString kind;
    std::mutex mutex;
    QStringList entries;
    QStringList recus;                    // what the receiver got
    std::unique_ptr<Parser> parserObject; // destroyed first: its thread logs into the above
};

QString report(int line, const QString &place, const QString &reason)
{
    return QStringLiteral("error \nFile : t.xml\nLine %1 : ").arg(line) + place + "\n" + reason;
}

constexpr int bigCycles = 100000;

QByteArray traceOf(int count)
{
    QByteArray xml("<trace>\n");
    for (int c = 0; c < count; ++c)
        xml += "<cycle><date>" + QByteArray::number(c) + "</date><event><name>alu</name>" +
               "<instruction><pc>" + QByteArray::number(c % 7) + "</pc></instruction></event>" +
               "</cycle>\n";
    return xml + "</trace>\n";
}

} // namespace

class TestParsers : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        writeFile("text_10mb.xml", "<trace><cycle><date>" + QByteArray(10 << 20, '7') + "</date>");
        writeFile("comment_10mb.xml",
                  "<trace>\n<!--" + QByteArray("a>").repeated(5 << 20) + "-->\n</trace>");
        writeFile("nested_10000.xml",
                  QByteArray("<x>").repeated(10000) + QByteArray("</x>").repeated(10000) + "\n");
        bigTrace = writeFile("big.xml", traceOf(bigCycles));
    }

    // Each row: the parser, the file, and the journal expected, its entries joined by '|'.
    void parse_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<QString>("journal");
        const auto row = [](const char *name, const char *kind, const QByteArray &xml,
                            const QString &expected) {
            QTest::newRow(name) << kind << xml << expected;
        };

        // Configuration: positions are file ranks (a duplicate or an empty first name included),
        // names are verbatim and whole, the map is ordered by character code.
        row("config", "config",
            "<?xml version=\"1.0\"?>\n<root><config v=\"2\">\n  <name>core</name>\n  <events>\n"
            "    <event><name>fetch</name><x>1</x></event>\n"
            "    <event><name> a&amp;b&#65;<![CDATA[<c>]]></name><name>ignored</name></event>\n"
            "    <event><name></name></event>\n    <event><name>fetch</name></event>\n"
            "    <event><name>Zed</name></event>\n  </events>\n</config></root>\n",
            "debut|end|config  a&bA<c>=1|config Zed=3|config fetch=0");
        row("trace", "trace",
            "<trace>\n<cycle><date><u>\n 5 </u></date>\n<event><w><name>f x</name></w><instruction>"
            "<pc>1<!---->2</pc></instruction></event>\n<event><name>st</name><count>3</count>"
            "</event></cycle>\n<cycle><date>a</date><event><name>c</name><instruction><pc>-3</pc>"
            "</instruction></event></cycle></trace>",
            "cycle 5|event f x|pc 12|add|event st|add|cycle 0|event c|pc -3|add");
        row("zoom", "zoom",
            "<trace><cycle><date>0</date><event><name>x</name><count>7</count></event><event>"
            "<name>y</name><count>zz</count></event></cycle></trace>",
            "cycle 0|event x|count x 7|add|event y|count y 0|add");
        row("asm", "asm",
            "<asm><instruction><pc>100</pc><mnemonic>add</mnemonic><operands><count>2</count>"
            "<operand><direction>o</direction><type>r</type><value> r1 </value></operand>"
            "<operand><type>i</type><direction>i</direction><type>x</type><value>#4</value>"
            "</operand></operands><line>l</line></instruction><instruction><pc>104</pc>"
            "<mnemonic>nop</mnemonic><operands><count>0</count></operands></instruction>"
            "<instruction><pc>108</pc><line>.word</line></instruction></asm>",
            "debut|pc 100|mnemonic add|count 2|value  r1 |value #4|pc 104|mnemonic nop|count 0|"
            "pc 108|end");
        // A name straddling the boundary of the 64 KiB blocks a file is read in arrives whole.
        const QByteArray across = QByteArray(65500, ' ') + QByteArray(3000, 'n') + "&amp;m";
        row("config name across read blocks", "config",
            "<config><events><event><name>" + across + "</name></event></events></config>",
            "debut|end|config " + QString::fromLatin1(across).replace("&amp;", "&") + "=0");

        // Elements the parser does not know are skipped, even when they begin like known ones or
        // follow the end of an event (which must not end it a second time); text between
        // elements is no value.
        row("trace look-alike elements", "trace",
            "<trace><cyclex/><cycle><date>5</date><datex>9</datex><event><nam>x</nam><name>alu"
            "</name><instruction><pcs>7</pcs><pc>4</pc></instruction></event><eventx/></cycle>"
            "<t/></trace>",
            "cycle 5|event alu|pc 4|add");
        row("trace text between elements, a name split by a comment", "trace",
            "<trace>11<cycle>12<date>5</date>13<event>14<name>a<!-- -->lu</name>15<instruction>16"
            "<pc>4</pc>17</instruction>18</event>19</cycle>20</trace>",
            "cycle 5|event alu|pc 4|add");

        // Unexpected tags, ends included; what was emitted before the report stands.
        row("config empty events, tabs", "config", "<config>\n\t<events>\n\t</events>\n</config>\n",
            "debut|" + report(3, "\nEvent : ", "Unexpected tag : 'events'"));
        row("config after events, CRLF", "config",
            "<config>\r\n <events>\r\n  <event><name>a</name></event>\r\n </events>\r\n <name>"
            "late</name>\r\n</config>\r\n",
            "debut|" + report(5, "\nEvent : a", "Unexpected tag : 'name'") + "|config a=0");
        row("trace names the last event after it ended", "trace",
            "<trace>\n  <cycle><date>9</date>\n    <event><name>ld</name></event>\n    <date>10"
            "</date>",
            "cycle 9|event ld|add|" +
                report(4, "\nCycle : 9\nEvent : ld", "Unexpected tag : 'date'"));
        row("trace given a config file", "trace",
            "<config>\n<events>\n<event><name>a</name></event>",
            report(3, "\nCycle : 0\nEvent : ", "Unexpected tag : 'event'"));
        row("zoom given a trace file", "zoom",
            "<trace><cycle><date>20</date>\n<event><name>a</name>\n<instruction><pc>3</pc>"
            "</instruction>\n</event>",
            "cycle 20|event a|" + report(4, "\nCycle : 20\nEvent : a", "Unexpected tag : 'event'"));
        row("asm direction after value", "asm",
            "<asm><instruction><pc>4</pc><mnemonic>ld</mnemonic><operands><count>1</count>"
            "<operand><value>r2</value>\n<direction>in</direction>",
            "debut|pc 4|mnemonic ld|count 1|value r2|" +
                report(2, "\nPc : 4\nMnemonic : ld", "Unexpected tag : 'direction'"));

        // Numbers beyond int are reported instead of read as 0; the place keeps the last cycle.
        row("trace date beyond int", "trace",
            "<trace><cycle><date>7</date><event><name>a</name></event></cycle>\n<cycle><date>\n "
            "2147483648 </date>",
            "cycle 7|event a|add|" +
                report(2, "\nCycle : 7\nEvent : a", "Number out of range : '2147483648'"));
        row("zoom count beyond int, shortened", "zoom",
            "<trace><cycle><date>1</date><event><name>a</name><count>-" + QByteArray(50, '9') +
                "</count>",
            "cycle 1|event a|" + report(1, "\nCycle : 1\nEvent : a",
                                        "Number out of range : '-" + QString(39, '9') + "...'"));
        row("asm operand count beyond int", "asm",
            "<asm><instruction><pc>1</pc><mnemonic>m</mnemonic><operands><count>4294967296"
            "</count>",
            "debut|pc 1|mnemonic m|" +
                report(1, "\nPc : 1\nMnemonic : m", "Number out of range : '4294967296'"));
        // A cycle number's text gives what QString::toInt gives, a report when it is a number
        // beyond int, else 0.
        for (const char *text :
             {"42", "+7=7", "-3", "\n\t 5\r\n=5", "007=7", "2147483647", "-2147483648",
              "2147483648=", "99999999999999999999=", " =0", "1 2=0", "12a=0", "0x10=0", "--1=0",
              "\xef\xbc\x91\xef\xbc\x92=0"}) {
            const QString number = QString::fromUtf8(text).section('=', -1);
            const QByteArray date = QByteArray(text).split('=').first();
            row(QByteArray("number " + date.toPercentEncoding()).constData(), "trace",
                "<trace><cycle><date>" + date +
                    "</date><event><name>f</name></event></cycle></trace>",
                number.isEmpty() ? report(1, "\nCycle : 0\nEvent : ",
                                          "Number out of range : '" + QString(date) + "'")
                                 : "cycle " + number + "|event f|add");
        }
    }

    void parse()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, xml);
        QFETCH(QString, journal);
        QStringList expected = journal.split('|');
        ParserRig rig(kind);
        QCOMPARE(rig.parseData(xml), expected);
        QCOMPARE(rig.parseData(xml), expected); // the same object again
        // From a file as the controller reads it; run() frames a threaded parse, report or not.
        const QString path = writeFile("t.xml", xml);
        expected.replaceInStrings("File : t.xml", "File : " + path);
        if (ParserRig::threaded(kind))
            expected = QStringList{"debut"} + expected + QStringList{"end"};
        QCOMPARE(rig.read(path), expected);
        QVERIFY(rig.ok || !ParserRig::threaded(kind));
        QCOMPARE(rig.read(path), expected); // a thread started a second time too
    }

    void placeAcrossFiles()
    {
        // The listing parser keeps its last pc from one file to the next; the others start over.
        ParserRig listing("asm");
        listing.parseData("<asm><instruction><pc>40</pc><mnemonic>j</mnemonic><operands><count>0"
                          "</count></operands></instruction></asm>");
        QCOMPARE(
            listing.parseData("<asm><pc>1</pc></asm>"),
            (QStringList{"debut", report(1, "\nPc : 40\nMnemonic : ", "Unexpected tag : 'pc'")}));
        ParserRig trace("trace");
        trace.parseData(
            "<trace><cycle><date>50</date><event><name>z</name></event></cycle></trace>");
        QCOMPARE(trace.parseData("<trace><event/></trace>"),
                 QStringList{report(1, "\nCycle : 0\nEvent : ", "Unexpected tag : 'event'")});
    }

    // Every parser over every hostile file: one report naming the file, the line and the
    // reason, the parse stopped as for an unexpected tag, nothing read from elsewhere.
    void hostile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("reason");

        // File, the parsers concerned (all when empty), line and reason of the report.
        const QString invalid = "XML error : not well-formed (invalid token)";
        const QString entities = "XML error : entity declarations are not allowed";
        const QString pcBeyond = "number_beyond_int_pc.xml",
                      nested = dir.filePath("nested_10000.xml");
        const QList<std::tuple<QString, QString, int, QString>> corpus = {
            {"empty.xml", "", 1, "XML error : no element found"},
            {"binary_junk.xml", "", 1, invalid},
            {"truncated.xml", "", 4, "XML error : unclosed token"},
            {"mismatched_tags.xml", "", 4, "XML error : mismatched tag"},
            {"bad_utf8.xml", "", 2, invalid},
            {"billion_laughs.xml", "", 3, entities + " ('lol')"},
            {"external_entity.xml", "", 3, entities + " ('xxe')"},
            {"external_parameter_entity.xml", "", 3, entities + " ('pe')"},
            {"external_dtd.xml", "", 4, "XML error : undeclared entity 'passwd'"},
            {"number_beyond_int_cycle.xml", "trace zoom", 4, "Number out of range : '99999999999'"},
            {pcBeyond, "trace", 3, "Unexpected tag : 'instruction'"},
            {pcBeyond, "zoom", 5, "Unexpected tag : 'count'"},
            {pcBeyond, "asm", 4, "Number out of range : '-2147483649'"},
            {dir.filePath("text_10mb.xml"), "", 1, "XML error : text longer than 1048576 bytes"},
            // Reported on the line the endless markup starts on.
            {dir.filePath("comment_10mb.xml"), "", 2,
             "XML error : markup longer than 4194304 bytes"},
            {nested, "config", 1, "Missing element : 'config'"},
            {nested, "asm", 1, "Missing element : 'asm'"},
            {nested, "trace zoom", 1, "Missing element : 'trace'"},
        };
        for (const auto &[file, kinds, line, reason] : corpus) {
            const QString path = file.startsWith('/') ? file : ZELVAR_TEST_DATA "/hostile/" + file;
            for (const QString &kind : kinds.isEmpty() ? ParserRig::kinds() : kinds.split(' ')) {
                QTest::addRow("%s %s", qPrintable(kind), qPrintable(QFileInfo(path).fileName()))
                    << kind << path << line << reason;
            }
        }
    }

    void hostile()
    {
        QFETCH(QString, kind);
        QFETCH(QString, path);
        QFETCH(int, line);
        ParserRig rig(kind);
        const QStringList journal = rig.read(path);
        QVERIFY(rig.ok);
        // Stopped as for an unexpected tag: threaded parses still end, synchronous ones do not.
        QCOMPARE(journal.first(), QStringLiteral("debut"));
        QCOMPARE(journal.contains("end"), ParserRig::threaded(kind));
        const QStringList errors = journal.filter(QRegularExpression("^error "));
        QCOMPARE(errors.size(), 1);
        QCOMPARE(errors.first().section('\n', 0, 2),
                 "error \nFile : " + path + QString("\nLine %1 : ").arg(line));
        QTEST(errors.first().section('\n', -1), "reason");
        QVERIFY2(!journal.join('|').contains("/bin/"), "another file's content leaked");
    }

    void missingOrUnreadable()
    {
        const QString absent = dir.filePath("absent.xml");
        for (const QString &kind : ParserRig::kinds()) {
            for (const auto &[path, reason] :
                 {std::pair(absent, " doesn't exist"), std::pair(dir.path(), " can't be read")}) {
                QStringList expected{"error File " + path + reason};
                if (ParserRig::threaded(kind))
                    expected = QStringList{"debut"} + expected + QStringList{"error erreur"};
                if (kind == "config") // a configuration read before stays in place
                    expected << "config a=0";
                ParserRig rig(kind);
                rig.parseData("<config><events><event><name>a</name></event></events></config>");
                rig.ok = true;
                QCOMPARE(rig.read(path), expected);
                QVERIFY(ParserRig::threaded(kind) || !rig.ok);
            }
        }
    }

    void stopFromSlotOrBeforeStart()
    {
        // Asked before the start, a stop keeps the run silent; new input lifts it.
        ParserRig rig("trace");
        Parser &parser = rig.parser();
        parser.setInputFilename(bigTrace);
        parser.requestStop();
        parser.start();
        QVERIFY(parser.wait(60000));
        QCOMPARE(rig.journal(), QStringList());
        // Asked from a receiver, it ends the parse right after that signal.
        QObject::connect(&static_cast<ParserTrace &>(parser), &ParserTrace::addCycleTrace,
                         [&](int cycle) {
                             if (cycle == 1)
                                 parser.requestStop();
                         });
        QCOMPARE(rig.read(bigTrace),
                 (QStringList{"debut", "cycle 0", "event alu", "pc 0", "add", "cycle 1"}));
    }

    void stopFromOtherThread()
    {
        ParserRig rig("trace");
        Parser &parser = rig.parser();
        parser.setInputFilename(bigTrace);
        parser.start();
        while (rig.journal().size() < 40) // some ten cycles in
            QThread::yieldCurrentThread();
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
    }

    void refusedWhileRunning()
    {
#ifndef QT_NO_DEBUG
        QSKIP("refusing a running parser is an assertion in debug builds");
#else
        // A parse or new input asked while running is refused, the running one goes on.
        const QString path = writeFile("u.xml", traceOf(1));
        ParserRig rig("trace");
        bool nested = true;
        QObject::connect(&rig.parser(), &Parser::debutParse, [&] {
            rig.parser().setInputFilename("other.xml");
            nested = rig.parser().parseData("<trace/>", "x");
        });
        QCOMPARE(rig.read(path).size(), 6);
        QVERIFY(!nested);
        QCOMPARE(rig.parser().getInputFilename(), path);
#endif
    }

private:
    QString writeFile(const QString &name, const QByteArray &content)
    {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            qFatal("cannot write %s", qPrintable(file.fileName()));
        return file.fileName();
    }

    QTemporaryDir dir;
    QString bigTrace;
};

QTEST_GUILESS_MAIN(TestParsers)
#include "tst_parsers.moc"
