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

void TestParserCorpus::memoryStaysBounded()
{
    // Far below what reading the 10 MB node whole, or expanding an entity bomb, would take.
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
