// Every parser over every hostile file: one report naming the file, the line and the reason,
// the parse stopped as for an unexpected tag, nothing read from elsewhere, bounded memory.
// And the bundled sample data set: no report, and only the cycles or pcs its names announce.
#include "parserRig.h"

#include <QtTest>

#include <sys/resource.h>

class TestParserCorpus : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void hostile_data();
    void hostile();
    void memoryStaysBounded();
    void mutated();
    void sample_data();
    void sample();

private:
    QTemporaryDir generated;
};

void TestParserCorpus::initTestCase()
{
    QVERIFY(generated.isValid());
    const QByteArray text = "<trace><cycle><date>" + QByteArray(10 << 20, '7') + "</date>";
    writeFile(generated.path(), "text_10mb.xml", text);
    writeFile(generated.path(), "comment_10mb.xml",
              "<trace>\n<!--" + QByteArray("a>").repeated(5 << 20) + "-->\n</trace>");
    writeFile(generated.path(), "nested_10000.xml",
              QByteArray("<x>").repeated(10000) + QByteArray("</x>").repeated(10000) + "\n");
}

void TestParserCorpus::hostile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("reason");

    struct Expectation
    {
        QString file;
        int line;
        QString reason;
        QMap<QString, QPair<int, QString>> byKind; // parsers whose report differs
    };
    const QString invalid = "XML error : not well-formed (invalid token)";
    const QString entities = "XML error : entity declarations are not allowed";
    const QString data = ZELVAR_TEST_DATA "/hostile/";
    const QList<Expectation> corpus = {
        {data + "empty.xml", 1, "XML error : no element found", {}},
        {data + "binary_junk.xml", 1, invalid, {}},
        {data + "truncated.xml", 4, "XML error : unclosed token", {}},
        {data + "mismatched_tags.xml", 4, "XML error : mismatched tag", {}},
        {data + "bad_utf8.xml", 2, invalid, {}},
        {data + "billion_laughs.xml", 3, entities + " ('lol')", {}},
        {data + "external_entity.xml", 3, entities + " ('xxe')", {}},
        {data + "external_parameter_entity.xml", 3, entities + " ('pe')", {}},
        {data + "external_dtd.xml", 4, "XML error : undeclared entity 'passwd'", {}},
        {data + "number_beyond_int_cycle.xml",
         4,
         "Number out of range : '99999999999'",
         {{"config", {5, "Unexpected tag : 'event'"}},
          {"asm", {5, "Unexpected tag : 'instruction'"}}}},
        {data + "number_beyond_int_pc.xml",
         4,
         "Number out of range : '-2147483649'",
         {{"config", {7, "Missing element : 'config'"}},
          {"trace", {3, "Unexpected tag : 'instruction'"}},
          {"zoom", {5, "Unexpected tag : 'count'"}}}},
        {generated.filePath("text_10mb.xml"), 1, "XML error : text longer than 1048576 bytes", {}},
        {generated.filePath("comment_10mb.xml"),
         1,
         "XML error : markup longer than 4194304 bytes",
         {}},
        {generated.filePath("nested_10000.xml"),
         1,
         "Missing element : 'trace'",
         {{"config", {1, "Missing element : 'config'"}}, {"asm", {1, "Missing element : 'asm'"}}}},
    };
    for (const QString &kind : ParserRig::kinds()) {
        for (const Expectation &e : corpus) {
            const auto [line, reason] = e.byKind.value(kind, {e.line, e.reason});
            QTest::addRow("%s %s", qPrintable(kind), qPrintable(QFileInfo(e.file).fileName()))
                << kind << e.file << line << reason;
        }
    }
}

void TestParserCorpus::hostile()
{
    QFETCH(QString, kind);
    QFETCH(QString, path);
    QFETCH(int, line);
    QFETCH(QString, reason);

    ParserRig rig(kind);
    bool ok = false;
    const QStringList journal =
        ParserRig::threaded(kind) ? rig.runThread(path, &ok) : rig.parseFile(path, &ok);
    QVERIFY(ok);
    // Stopped as for an unexpected tag: threaded parses still end, synchronous ones do not.
    QCOMPARE(journal.first(), QStringLiteral("debut"));
    QCOMPARE(journal.contains("end"), ParserRig::threaded(kind));
    const QStringList errors = ParserRig::errors(journal);
    QCOMPARE(errors.size(), 1);
    QCOMPARE(errors.first().section('\n', 0, 2),
             "\nFile : " + path + QString("\nLine %1 : ").arg(line));
    QCOMPARE(errors.first().section('\n', -1), reason);
    QVERIFY2(!journal.join('|').contains("/bin/"), "another file's content leaked");
}

void TestParserCorpus::mutated()
{
    // Randomly damaged files of every kind, through every parser: at most one report, of a
    // known shape, after which nothing is emitted; without a report the parse ends normally.
    const QByteArray seeds[] = {
        "<config><name>n</name><events><event><name>a&amp;b</name></event></events></config>",
        "<trace><cycle><date>1</date><event><name>x</name><instruction><pc>2</pc></instruction>"
        "</event></cycle></trace>",
        "<trace><cycle><date>10</date><event><name>x</name><count>3</count></event></cycle>"
        "</trace>",
        "<asm><instruction><pc>4</pc><mnemonic>ld</mnemonic><operands><count>1</count><operand>"
        "<type>r</type><value>r1</value></operand></operands><line>l</line></instruction></asm>"};
    const QStringList reasons{"Unexpected tag : '", "XML error : ", "Missing element : '",
                              "Number out of range : '"};
    QRandomGenerator random(42);
    for (int round = 0; round < 300; ++round) {
        QByteArray xml = seeds[round % 4];
        for (int edits = 1 + random.bounded(3); edits > 0; --edits) {
            const int at = random.bounded(xml.size());
            switch (random.bounded(3)) {
            case 0:
                xml[at] = char(random.bounded(256));
                break;
            case 1:
                xml.insert(at, xml.mid(random.bounded(xml.size()), random.bounded(12)));
                break;
            default:
                xml.remove(at, random.bounded(8));
            }
        }
        for (const QString &kind : ParserRig::kinds()) {
            ParserRig rig(kind);
            rig.parser().parseData(xml, "fuzz");
            const QStringList journal = rig.journal();
            const QStringList errors = ParserRig::errors(journal);
            const QString context = kind + ": " + QString::fromLatin1(xml.toPercentEncoding());
            QVERIFY2(errors.size() <= 1, qPrintable(context));
            if (errors.isEmpty()) {
                QVERIFY2(ParserRig::threaded(kind) || journal.last() == "end", qPrintable(context));
                continue;
            }
            QVERIFY2(journal.last().startsWith("error "), qPrintable(context));
            QVERIFY2(errors.first().startsWith("\nFile : fuzz\nLine "), qPrintable(context));
            const QString reason = errors.first().section('\n', -1);
            QVERIFY2(std::any_of(reasons.begin(), reasons.end(),
                                 [&](const QString &r) { return reason.startsWith(r); }),
                     qPrintable(context + " " + reason));
        }
    }
}

void TestParserCorpus::memoryStaysBounded()
{
    // Far below what reading the 10 MB node whole, or expanding an entity bomb, would take
    // (a sanitizer's own bookkeeping included). Runs right after the hostile files.
    rusage usage{};
    QCOMPARE(getrusage(RUSAGE_SELF, &usage), 0);
    QVERIFY2(usage.ru_maxrss < 200 * 1024, qPrintable(QString::number(usage.ru_maxrss) + " KiB"));
}

void TestParserCorpus::sample_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("first");

    const QString root = ZELVAR_SOURCE_DIR "/xml";
    if (!QFileInfo::exists(root + "/config.xml")) {
        // What QSKIP does, without its variadic macro that -pedantic rejects under clang.
        QTest::qSkip("no sample data set in xml/", __FILE__, __LINE__);
        return;
    }
    QTest::newRow("config.xml") << "config" << root + "/config.xml" << 0;
    const QRegularExpression naming("/(trace|zoom|asm)/\\1_(?:\\d+_)?(\\d+)\\.xml$");
    QDirIterator it(root, {"*.xml"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QRegularExpressionMatch match = naming.match(path);
        if (match.hasMatch()) {
            QTest::newRow(qPrintable(path.mid(root.size() + 1)))
                << match.captured(1) << path << match.captured(2).toInt();
        }
    }
}

void TestParserCorpus::sample()
{
    QFETCH(QString, kind);
    QFETCH(QString, path);
    QFETCH(int, first);

    ParserRig rig(kind);
    bool ok = false;
    const QStringList journal =
        ParserRig::threaded(kind) ? rig.runThread(path, &ok) : rig.parseFile(path, &ok);
    QVERIFY(ok);
    QCOMPARE(ParserRig::errors(journal), QStringList());
    QCOMPARE(journal.first(), QStringLiteral("debut"));
    QVERIFY(journal.contains("end"));
    // The default set has 100 cycles per trace or zoom file and 100 pcs per listing file.
    const QString numbered = kind == "asm" ? "pc " : "cycle ";
    const QStringList numbers = journal.filter(QRegularExpression("^" + numbered + "\\d+$"));
    QVERIFY(kind == "config" ? journal.size() > 2 : !numbers.isEmpty());
    for (const QString &entry : numbers) {
        const int n = entry.mid(numbered.size()).toInt();
        QVERIFY2(n >= first && n < first + 100, qPrintable(entry));
    }
}

QTEST_GUILESS_MAIN(TestParserCorpus)
#include "tst_parserCorpus.moc"
