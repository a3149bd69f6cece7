#include "controller/parametres.h"
#include "controller/zoomLevels.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestParametres : public QObject
{
    Q_OBJECT

private slots:
    void defaultsText();
    void readBack_data();
    void readBack();
    void badCounts_data();
    void badCounts();
    void roundTrip_data();
    void roundTrip();
    void saveReplacesWholeFile();
    void saveFailureIsReported();
    void fileNames_data();
    void fileNames();
    void zoomTable_data();
    void zoomTable();
    void zoomColour_data();
    void zoomColour();
};

void TestParametres::defaultsText()
{
    QCOMPARE(Parametres().toText(), QByteArray("../xml/config.xml\ntrace\n../xml/100/trace\nzoom\n"
                                               "../xml/100/zoom\n100\nasm\n../xml/100/asm\n"
                                               "100\n500\n"));
}

void TestParametres::readBack_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("traceDirectory");
    QTest::addColumn<int>("nbCycleParTrace");
    QTest::addColumn<int>("nbCycleTotal");
    QTest::addColumn<QString>("asmDirectory");

    QTest::newRow("one per line") << QByteArray(
                                         "c.xml\nt\n/d/tr\nz\n/d/zo\n50\na\n/d/as\n20\n900\n")
                                  << "/d/tr" << 50 << 900 << "/d/as";
    QTest::newRow("indented line")
        << QByteArray("c.xml\n   t\n\t/d/tr\nz\n/d/zo\n50\na\n/d/as\n20\n900\n") << "/d/tr" << 50
        << 900 << "/d/as";
    QTest::newRow("two values on one line")
        << QByteArray("c.xml\nt /d/tr\nz\n/d/zo\n50\na\n/d/as\n20\n900\n") << "/d/tr" << 50 << 900
        << "/d/as";
    QTest::newRow("all on one line")
        << QByteArray("c.xml t /d/tr z /d/zo 50 a /d/as 20 900") << "/d/tr" << 50 << 900 << "/d/as";
    QTest::newRow("directory with spaces")
        << QByteArray("c.xml\nt\n/home/me/my traces\nz\n/d/zo\n50\na\n/d/my asm\n20\n900\n")
        << "/home/me/my traces" << 50 << 900 << "/d/my asm";
    QTest::newRow("blank lines between ten values")
        << QByteArray("\nc.xml\n\nt\n/d/tr\nz\n/d/zo\n50\na\n/d/as\n20\n900\n\n") << "/d/tr" << 50
        << 900 << "/d/as";
    QTest::newRow("crlf line ends")
        << QByteArray("c.xml\r\nt\r\n/d/tr\r\nz\r\n/d/zo\r\n50\r\na\r\n/d/as\r\n20\r\n900\r\n")
        << "/d/tr" << 50 << 900 << "/d/as";
    QTest::newRow("seven values: rest default") << QByteArray("c.xml\nt\n/d/tr\nz\n/d/zo\n50\na\n")
                                                << "/d/tr" << 50 << 500 << "../xml/100/asm";
    QTest::newRow("empty file") << QByteArray() << "../xml/100/trace" << 100 << 500
                                << "../xml/100/asm";
    QTest::newRow("latin-1 directory") << QByteArray("c\nt\n/d/caf\xe9\nz\nzd\n7\na\nad\n8\n9\n")
                                       << QString::fromUtf8("/d/caf\xc3\xa9") << 7 << 9 << "ad";
}

void TestParametres::readBack()
{
    QFETCH(QByteArray, text);
    const Parametres p = Parametres::fromText(text);
    QTEST(p.traceDirectory, "traceDirectory");
    QTEST(p.nbCycleParTrace, "nbCycleParTrace");
    QTEST(p.nbCycleTotal, "nbCycleTotal");
    QTEST(p.asmDirectory, "asmDirectory");
}

void TestParametres::badCounts_data()
{
    QTest::addColumn<QByteArray>("cycles");
    QTest::addColumn<QByteArray>("pcs");
    QTest::addColumn<int>("nbCycleParTrace");
    QTest::addColumn<int>("nbPcParAsm");

    QTest::newRow("zero") << QByteArray("0") << QByteArray("0") << 100 << 100;
    QTest::newRow("negative") << QByteArray("-100") << QByteArray("-1") << 100 << 100;
    QTest::newRow("not a number") << QByteArray("abc") << QByteArray("12x") << 100 << 100;
    QTest::newRow("beyond int") << QByteArray("99999999999") << QByteArray("7") << 100 << 7;
    QTest::newRow("valid") << QByteArray("250") << QByteArray("64") << 250 << 64;
}

void TestParametres::badCounts()
{
    QFETCH(QByteArray, cycles);
    QFETCH(QByteArray, pcs);
    const QByteArray text = "c\nt\ntd\nz\nzd\n" + cycles + "\na\nad\n" + pcs + "\n" + cycles + "\n";
    const Parametres p = Parametres::fromText(text);
    QTEST(p.nbCycleParTrace, "nbCycleParTrace");
    QTEST(p.nbPcParAsm, "nbPcParAsm");
    QCOMPARE(p.nbCycleTotal, p.nbCycleParTrace == 100 ? 500 : p.nbCycleParTrace);
    QCOMPARE(p.asmDirectory, QStringLiteral("ad"));
}

void TestParametres::roundTrip_data()
{
    QTest::addColumn<QString>("directory");
    QTest::addColumn<QString>("prefix");

    QTest::newRow("plain") << "/data/run1/trace"
                           << "tr";
    QTest::newRow("spaces") << "/data/my traces/run 1"
                            << "my trace";
    QTest::newRow("latin-1") << QString::fromUtf8("/donn\xc3\xa9\x65s") << "t";
    QTest::newRow("beyond latin-1") << QString::fromUtf8("/\xe8\xbf\xbd\xe8\xb7\xa1") << "t";
    QTest::newRow("latin-1 looking like utf-8") << QString::fromUtf8("/\xc3\x83\xc2\xa9") << "t";
}

void TestParametres::roundTrip()
{
    QFETCH(QString, directory);
    QFETCH(QString, prefix);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString filename = dir.filePath(QStringLiteral("Parametres.txt"));

    Parametres p;
    p.traceDirectory = directory;
    p.zoomDirectory = directory + QStringLiteral("/z");
    p.tracePrefixe = prefix;
    p.nbCycleParTrace = 1000;
    p.nbPcParAsm = 64;
    p.nbCycleTotal = 123456;
    QString error;
    QVERIFY2(p.save(filename, &error), qPrintable(error));

    Parametres read;
    QVERIFY(Parametres::load(filename, read));
    QCOMPARE(read.traceDirectory, directory);
    QCOMPARE(read.tracePrefixe, prefix);
    QVERIFY(read == p);
}

void TestParametres::saveReplacesWholeFile()
{
    QTemporaryDir dir;
    const QString filename = dir.filePath(QStringLiteral("Parametres.txt"));
    QFile old(filename);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(4096, 'x'));
    old.close();

    QVERIFY(Parametres().save(filename, nullptr));
    QFile file(filename);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), Parametres().toText());
    // No temporary file left beside it.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files),
             QStringList{QStringLiteral("Parametres.txt")});
}

void TestParametres::saveFailureIsReported()
{
    QTemporaryDir dir;
    const QString filename = dir.filePath(QStringLiteral("missing/Parametres.txt"));
    QString error;
    QVERIFY(!Parametres().save(filename, &error));
    QVERIFY2(error.contains(filename), qPrintable(error));
}

void TestParametres::fileNames_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("perFile");
    QTest::addColumn<int>("numero");

    QTest::newRow("first file") << 0 << 100 << 0;
    QTest::newRow("inside") << 237 << 100 << 200;
    QTest::newRow("last of file") << 299 << 100 << 200;
    QTest::newRow("first of next") << 300 << 100 << 300;
    QTest::newRow("odd size") << 250 << 64 << 192;
    QTest::newRow("negative truncates to zero") << -50 << 100 << 0;
}

void TestParametres::fileNames()
{
    QFETCH(int, value);
    QFETCH(int, perFile);
    QFETCH(int, numero);
    QCOMPARE(Parametres::numeroFichier(value, perFile), numero);

    const Parametres p;
    const QString n = QString::number(numero);
    QCOMPARE(p.traceFilename(numero), "../xml/100/trace/trace_" + n + ".xml");
    QCOMPARE(p.zoomFilename(10, numero), "../xml/100/zoom/zoom_10_" + n + ".xml");
    QCOMPARE(p.asmFilename(numero), "../xml/100/asm/asm_" + n + ".xml");
    QCOMPARE(p.traceFilename(-100), QStringLiteral("../xml/100/trace/trace_-100.xml"));
}

void TestParametres::zoomTable_data()
{
    QTest::addColumn<int>("largeur");
    QTest::addColumn<int>("hauteur");
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("nbHorizontal");
    QTest::addColumn<int>("nbVertical");
    QTest::addColumn<int>("blockHeight");

    QTest::newRow("650x300 level 1") << 650 << 300 << 1 << 33 << 16 << 20;
    QTest::newRow("650x300 level 10") << 650 << 300 << 10 << 33 << 31 << 10;
    QTest::newRow("empty view level 1") << 0 << 0 << 1 << 1 << 1 << 20;
    QTest::newRow("19x9 level 10") << 19 << 9 << 10 << 1 << 1 << 10;
}

void TestParametres::zoomTable()
{
    QFETCH(int, largeur);
    QFETCH(int, hauteur);
    QFETCH(int, level);
    const ZoomLevels::Table table = ZoomLevels::build(largeur, hauteur);
    QCOMPARE(table.size(), size_t(2));
    QCOMPARE(table.begin()->first, 1);
    QCOMPARE(table.rbegin()->first, 10);
    const InfosZoom &info = table.at(level);
    QTEST(info.getNbBlockHorizontalToPaint(), "nbHorizontal");
    QTEST(info.getNbBlockVerticalToPaint(), "nbVertical");
    QCOMPARE(info.getLargeurBlock(), 20);
    QTEST(info.getHauteurBlock(), "blockHeight");
}

void TestParametres::zoomColour_data()
{
    QTest::addColumn<QColor>("event");
    QTest::addColumn<int>("count");
    QTest::addColumn<QColor>("expected");

    QTest::newRow("three of ten") << QColor(255, 0, 0) << 3 << QColor(255, 178, 178);
    QTest::newRow("none") << QColor(0, 0, 255) << 0 << QColor(255, 255, 255);
    QTest::newRow("all") << QColor(0, 0, 255) << 10 << QColor(0, 0, 255);
    QTest::newRow("seven of ten") << QColor(0, 100, 200) << 7 << QColor(76, 146, 216);
    QTest::newRow("count above level clamped") << QColor(0, 0, 255) << 25 << QColor(0, 0, 255);
    QTest::newRow("negative count clamped") << QColor(0, 0, 255) << -4 << QColor(255, 255, 255);
}

void TestParametres::zoomColour()
{
    QFETCH(QColor, event);
    QFETCH(int, count);
    const QColor colour = ZoomLevels::calculerCouleur(event, Qt::white, count, 10);
    QVERIFY(colour.isValid());
    QTEST(colour, "expected");
}

QTEST_GUILESS_MAIN(TestParametres)
#include "tst_parametres.moc"
