// Every parser over every hostile file: one report naming the file, the line and the reason,
// the parse stopped as for an unexpected tag, nothing read from elsewhere, bounded memory.
#include "parserJournal.h"

#include <QtTest>

#include <sys/resource.h>

class TestHostileCorpus : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void hostile_data();
    void hostile();
    void memoryStaysBounded();

private:
    QTemporaryDir generated;
};

namespace {

struct Expectation
{
    const char *file;
    int line;
    QString reason;
    // Parsers whose report differs, as "kind" -> (line, reason).
    QMap<QString, QPair<int, QString>> others;
};

QString corpusPath(const QString &file)
{
    return QStringLiteral(ZELVAR_TEST_DATA "/hostile/") + file;
}

} // namespace

void TestHostileCorpus::initTestCase()
{
    QVERIFY(generated.isValid());
    // A 10 MB text node, and 10,000 nested elements that no parser knows.
    QByteArray text("<trace><cycle><date>");
    text += QByteArray(10 * 1024 * 1024, '7');
    text += "</date></cycle></trace>\n";
    writeFile(generated.path(), QStringLiteral("text_10mb.xml"), text);
    const int depth = 10000;
    QByteArray nested;
    for (int i = 0; i < depth; ++i)
        nested += "<x>";
    for (int i = 0; i < depth; ++i)
        nested += "</x>";
    writeFile(generated.path(), QStringLiteral("nested_10000.xml"), nested + "\n");
}

void TestHostileCorpus::hostile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("reason");

    const QString invalid = QStringLiteral("XML error : not well-formed (invalid token)");
    const QString entities = QStringLiteral("XML error : entity declarations are not allowed");
    const QList<Expectation> corpus = {
        {"empty.xml", 1, "XML error : no element found", {}},
        {"binary_junk.xml", 1, invalid, {}},
        {"truncated.xml", 4, "XML error : unclosed token", {}},
        {"mismatched_tags.xml", 4, "XML error : mismatched tag", {}},
        {"bad_utf8.xml", 2, invalid, {}},
        {"billion_laughs.xml", 3, entities + " ('lol')", {}},
        {"external_entity.xml", 3, entities + " ('xxe')", {}},
        {"external_parameter_entity.xml", 3, entities + " ('pe')", {}},
        {"external_dtd.xml", 4, "XML error : undeclared entity 'passwd'", {}},
        {"number_beyond_int_cycle.xml",
         4,
         "Number out of range : '99999999999'",
         {{"config", {5, "Unexpected tag : 'event'"}},
          {"asm", {5, "Unexpected tag : 'instruction'"}}}},
        {"number_beyond_int_pc.xml",
         4,
         "Number out of range : '-2147483649'",
         {{"config", {7, "Missing element : 'config'"}},
          {"trace", {3, "Unexpected tag : 'instruction'"}},
          {"zoom", {5, "Unexpected tag : 'count'"}}}},
    };
    for (const QString &kind : ParserRig::kinds()) {
        for (const Expectation &e : corpus) {
            const auto other = e.others.value(kind, qMakePair(e.line, e.reason));
            QTest::addRow("%s %s", qPrintable(kind), e.file)
                << kind << corpusPath(QString::fromLatin1(e.file)) << other.first << other.second;
        }
        QTest::addRow("%s text_10mb.xml", qPrintable(kind))
            << kind << generated.filePath(QStringLiteral("text_10mb.xml")) << 1
            << QStringLiteral("XML error : text longer than 1048576 bytes");
        const QString root = kind == QLatin1String("zoom") ? QStringLiteral("trace") : kind;
        QTest::addRow("%s nested_10000.xml", qPrintable(kind))
            << kind << generated.filePath(QStringLiteral("nested_10000.xml")) << 1
            << QStringLiteral("Missing element : '") + root + "'";
    }
}

void TestHostileCorpus::hostile()
{
    QFETCH(QString, kind);
    QFETCH(QString, path);
    QFETCH(int, line);
    QFETCH(QString, reason);

    ParserRig rig(kind);
    const bool threaded = kind == QLatin1String("trace") || kind == QLatin1String("zoom");
    QStringList journal;
    if (threaded) {
        bool finished = false;
        journal = rig.runThread(path, &finished);
        QVERIFY(finished);
        QCOMPARE(journal.first(), QStringLiteral("debut"));
        QCOMPARE(journal.last(), QStringLiteral("end"));
    } else {
        bool result = false;
        journal = rig.parseFile(path, &result);
        QVERIFY(result);
        QVERIFY(!journal.contains(QStringLiteral("end")));
    }
    const QStringList errors = rig.journal().errors();
    QCOMPARE(errors.size(), 1);
    const QString prefix =
        QStringLiteral("\nFile : ") + path + QStringLiteral("\nLine %1 : ").arg(line);
    QVERIFY2(errors.first().startsWith(prefix), qPrintable(errors.first()));
    QVERIFY2(errors.first().endsWith(QLatin1Char('\n') + reason), qPrintable(errors.first()));
    for (const QString &entry : journal)
        QVERIFY2(!entry.contains(QLatin1String("/bin/")), "another file's content leaked");
}

void TestHostileCorpus::memoryStaysBounded()
{
    // The whole run, the 10 MB node and the entity bombs included, stays far below what
    // reading any of them whole or expanding an entity would take.
    rusage usage{};
    QCOMPARE(getrusage(RUSAGE_SELF, &usage), 0);
    const long peakMiB = usage.ru_maxrss / 1024;
    QVERIFY2(peakMiB < 200, qPrintable(QStringLiteral("peak %1 MiB").arg(peakMiB)));
}

QTEST_GUILESS_MAIN(TestHostileCorpus)
#include "tst_hostileCorpus.moc"
