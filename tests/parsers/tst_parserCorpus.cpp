// Every parser over every hostile file: one report naming the file, the line and the reason,
// the parse stopped as for an unexpected tag, nothing read from elsewhere, bounded memory.
// (Randomly damaged files are the fuzz targets' work, replayed under tests/fuzz; the bundled
// sample, read without a report, the generator's test's.)
#include "parserRig.h"

#include <QtTest>

#include <sys/resource.h>

class TestParserCorpus : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(generated.isValid());
        writeFile(generated.path(), "text_10mb.xml",
                  "<trace><cycle><date>" + QByteArray(10 << 20, '7') + "</date>");
        writeFile(generated.path(), "comment_10mb.xml",
                  "<trace>\n<!--" + QByteArray("a>").repeated(5 << 20) + "-->\n</trace>");
        writeFile(generated.path(), "nested_10000.xml",
                  QByteArray("<x>").repeated(10000) + QByteArray("</x>").repeated(10000) + "\n");
    }

    void hostile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("reason");

        // File, the parsers concerned (all when empty, else those not named by a row before),
        // line and reason of the report.
        const QString invalid = "XML error : not well-formed (invalid token)";
        const QString entities = "XML error : entity declarations are not allowed";
        const QString cycleBeyond = "number_beyond_int_cycle.xml",
                      pcBeyond = "number_beyond_int_pc.xml";
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
            {cycleBeyond, "config", 5, "Unexpected tag : 'event'"},
            {cycleBeyond, "asm", 5, "Unexpected tag : 'instruction'"},
            {cycleBeyond, "trace zoom", 4, "Number out of range : '99999999999'"},
            {pcBeyond, "config", 7, "Missing element : 'config'"},
            {pcBeyond, "trace", 3, "Unexpected tag : 'instruction'"},
            {pcBeyond, "zoom", 5, "Unexpected tag : 'count'"},
            {pcBeyond, "asm", 4, "Number out of range : '-2147483649'"},
            {generated.filePath("text_10mb.xml"), "", 1,
             "XML error : text longer than 1048576 bytes"},
            // Reported on the line the endless markup starts on.
            {generated.filePath("comment_10mb.xml"), "", 2,
             "XML error : markup longer than 4194304 bytes"},
            {generated.filePath("nested_10000.xml"), "config", 1, "Missing element : 'config'"},
            {generated.filePath("nested_10000.xml"), "asm", 1, "Missing element : 'asm'"},
            {generated.filePath("nested_10000.xml"), "trace zoom", 1, "Missing element : 'trace'"},
        };
        QSet<QString> covered; // every parser over every file of the folder
        for (const auto &[file, kinds, line, reason] : corpus) {
            const QString path = file.startsWith('/') ? file : ZELVAR_TEST_DATA "/hostile/" + file;
            for (const QString &kind : kinds.isEmpty() ? ParserRig::kinds() : kinds.split(' ')) {
                QTest::addRow("%s %s", qPrintable(kind), qPrintable(QFileInfo(path).fileName()))
                    << kind << path << line << reason;
                covered.insert(kind + ' ' + path);
            }
        }
        for (const QFileInfo &file : QDir(ZELVAR_TEST_DATA "/hostile").entryInfoList(QDir::Files)) {
            for (const QString &kind : ParserRig::kinds())
                QVERIFY2(covered.contains(kind + ' ' + file.filePath()),
                         qPrintable(file.fileName()));
        }
    }

    void hostile()
    {
        QFETCH(QString, kind);
        QFETCH(QString, path);
        ParserRig rig(kind);
        bool ok = false;
        const QStringList journal = rig.read(path, &ok);
        QVERIFY(ok);
        // Stopped as for an unexpected tag: threaded parses still end, synchronous ones do not.
        QCOMPARE(journal.first(), QStringLiteral("debut"));
        QCOMPARE(journal.contains("end"), ParserRig::threaded(kind));
        const QStringList errors = ParserRig::errors(journal);
        QCOMPARE(errors.size(), 1);
        QFETCH(int, line);
        QCOMPARE(errors.first().section('\n', 0, 2),
                 "\nFile : " + path + QString("\nLine %1 : ").arg(line));
        QTEST(errors.first().section('\n', -1), "reason");
        QVERIFY2(!journal.join('|').contains("/bin/"), "another file's content leaked");
    }

    void memoryStaysBounded()
    {
        // Run right after the hostile files: far below what reading the 10 MB node whole or
        // expanding an entity bomb would take, a sanitizer's own bookkeeping included.
        rusage usage{};
        QCOMPARE(getrusage(RUSAGE_SELF, &usage), 0);
        QVERIFY2(usage.ru_maxrss < 200 * 1024,
                 qPrintable(QString::number(usage.ru_maxrss) + " KiB"));
    }

private:
    QTemporaryDir generated;
};

QTEST_GUILESS_MAIN(TestParserCorpus)
#include "tst_parserCorpus.moc"
