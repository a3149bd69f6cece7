// The bundled sample data set parses without a report, and every trace, zoom and listing
// file holds only the cycles or pcs that its name announces.
#include "parserJournal.h"

#include <QtTest>

// The default set: 100 cycles per trace or zoom file, 100 pcs per listing file.
constexpr int perFile = 100;

class TestSampleData : public QObject
{
    Q_OBJECT

private slots:
    void sampleFile_data();
    void sampleFile();
};

void TestSampleData::sampleFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("first");

    const QString root = QStringLiteral(ZELVAR_SOURCE_DIR "/xml");
    if (!QFileInfo::exists(root + QStringLiteral("/config.xml"))) {
        // What QSKIP does, without its variadic macro that -pedantic rejects under clang.
        QTest::qSkip("no sample data set in xml/", __FILE__, __LINE__);
        return;
    }
    QTest::newRow("config.xml") << "config" << root + QStringLiteral("/config.xml") << 0;
    const QRegularExpression naming(
        QStringLiteral("/(trace|zoom|asm)/\\1_(?:\\d+_)?(\\d+)\\.xml$"));
    QDirIterator it(root, {QStringLiteral("*.xml")}, QDir::Files, QDirIterator::Subdirectories);
    int files = 0;
    while (it.hasNext()) {
        const QString path = it.next();
        const QRegularExpressionMatch match = naming.match(path);
        if (!match.hasMatch())
            continue;
        ++files;
        QTest::newRow(qPrintable(path.mid(root.size() + 1)))
            << match.captured(1) << path << match.captured(2).toInt();
    }
    QVERIFY(files > 0);
}

void TestSampleData::sampleFile()
{
    QFETCH(QString, kind);
    QFETCH(QString, path);
    QFETCH(int, first);

    ParserRig rig(kind);
    QStringList journal;
    if (kind == QLatin1String("trace") || kind == QLatin1String("zoom")) {
        bool finished = false;
        journal = rig.runThread(path, &finished);
        QVERIFY(finished);
    } else {
        journal = rig.parseFile(path);
    }
    QCOMPARE(rig.journal().errors(), QStringList());
    QCOMPARE(journal.first(), QStringLiteral("debut"));
    QVERIFY(journal.contains(QStringLiteral("end")));

    // The numbers the parsers read fall in the slice the file name announces.
    const QString numbered =
        kind == QLatin1String("asm") ? QStringLiteral("pc ") : QStringLiteral("cycle ");
    int numbers = 0;
    for (const QString &entry : journal) {
        if (kind == QLatin1String("config") || !entry.startsWith(numbered))
            continue;
        ++numbers;
        const int n = entry.mid(numbered.size()).toInt();
        QVERIFY2(n >= first && n < first + perFile, qPrintable(entry));
    }
    QVERIFY(kind == QLatin1String("config") ? journal.size() > 2 : numbers > 0);
}

QTEST_GUILESS_MAIN(TestSampleData)
#include "tst_sampleData.moc"
