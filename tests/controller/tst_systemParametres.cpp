#include "controllerFixture.h"

#include "core/graphicTrace.h"
#include "gui/mainFrame.h"

#include <QDir>
#include <QFile>
#include <QtTest>

// The parameters as the controller keeps them: "Parametres.txt" in the working directory,
// the dialog's changes, refusals, saving at close.
class TestSystemParametres : public QObject
{
    Q_OBJECT

private slots:
    void firstRunWritesDefaults();
    void changesSurviveARestart();
    void nonPositiveCountRefused_data();
    void nonPositiveCountRefused();
    void failedSaveReportedOnce();
    void prefixChangesTheNextFileRead();
    void newCutReloadsTheWindow();
};

namespace {

QByteArray contenu(const QString &filename)
{
    QFile file(filename);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

} // namespace

void TestSystemParametres::firstRunWritesDefaults()
{
    ControllerFixture f(TraceGeneratorOptions(), false);
    QVERIFY2(f.ok(), qPrintable(f.error));
    QVERIFY(!QFile::exists(QStringLiteral("Parametres.txt")));
    f.creer();
    QCOMPARE(contenu(QStringLiteral("Parametres.txt")),
             QByteArray("../xml/config.xml\ntrace\n../xml/100/trace\nzoom\n../xml/100/zoom\n100\n"
                        "asm\n../xml/100/asm\n100\n500\n"));
    QVERIFY(f.system->getParametres() == Parametres());
    QVERIFY(f.messages.isEmpty());
}

void TestSystemParametres::changesSurviveARestart()
{
    ControllerFixture f;
    QVERIFY2(f.ok(), qPrintable(f.error));
    f.creer();
    const Parametres lus = f.system->getParametres();
    QCOMPARE(lus.traceDirectory, QFileInfo(f.traceFile(0)).absolutePath());

    emit f.mainFrame->traceDirectoryChanged(QStringLiteral("/data/my traces/run 2"));
    emit f.mainFrame->tracePrefixChanged(QStringLiteral("tr"));
    emit f.mainFrame->nbCycleByFileChanged(250);
    emit f.mainFrame->nbPcByAsmChanged(64);
    emit f.mainFrame->nbCycleTotalChanged(123456);
    emit f.mainFrame->asmPrefixChanged(QStringLiteral("listing"));
    // Nothing is written before the window closes.
    QCOMPARE(Parametres::fromText(contenu(QStringLiteral("Parametres.txt"))), lus);
    f.fermer();

    Parametres attendu = lus;
    attendu.traceDirectory = QStringLiteral("/data/my traces/run 2");
    attendu.tracePrefixe = QStringLiteral("tr");
    attendu.nbCycleParTrace = 250;
    attendu.nbPcParAsm = 64;
    attendu.nbCycleTotal = 123456;
    attendu.asmPrefixe = QStringLiteral("listing");
    QCOMPARE(Parametres::fromText(contenu(QStringLiteral("Parametres.txt"))), attendu);

    f.creer();
    QCOMPARE(f.system->getParametres(), attendu);
    QVERIFY(f.alertes().isEmpty());
}

void TestSystemParametres::nonPositiveCountRefused_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("value");

    QTest::newRow("cycles per file 0") << "Nb Cycles by File" << 0;
    QTest::newRow("cycles per file negative") << "Nb Cycles by File" << -100;
    QTest::newRow("pcs per file 0") << "Nb Pc by File" << 0;
    QTest::newRow("total cycles negative") << "Nb Cycle Total" << -1;
}

void TestSystemParametres::nonPositiveCountRefused()
{
    QFETCH(QString, field);
    QFETCH(int, value);
    ControllerFixture f;
    QVERIFY2(f.ok(), qPrintable(f.error));
    f.creer();
    const Parametres avant = f.system->getParametres();
    if (field == QLatin1String("Nb Cycles by File"))
        emit f.mainFrame->nbCycleByFileChanged(value);
    else if (field == QLatin1String("Nb Pc by File"))
        emit f.mainFrame->nbPcByAsmChanged(value);
    else
        emit f.mainFrame->nbCycleTotalChanged(value);

    QCOMPARE(f.alertes().size(), 1);
    QVERIFY2(f.alertes().first().startsWith(field + " : " + QString::number(value)),
             qPrintable(f.alertes().first()));
    QCOMPARE(f.system->getParametres(), avant);

    // The viewer goes on with the value in force.
    emit f.mainFrame->demarrer();
    QVERIFY(f.attendre());
    QCOMPARE(f.fichiersCycle(), QSet<int>({0, 100}));
    f.fermer();
    QCOMPARE(Parametres::fromText(contenu(QStringLiteral("Parametres.txt"))), avant);
}

void TestSystemParametres::failedSaveReportedOnce()
{
    ControllerFixture f(TraceGeneratorOptions(), false);
    QVERIFY2(f.ok(), qPrintable(f.error));
    // A directory where the file should be: it can be neither read nor replaced.
    QVERIFY(QDir().mkdir(QStringLiteral("Parametres.txt")));
    f.creer();
    QVERIFY(f.system->getParametres() == Parametres());
    QVERIFY(f.alertes().isEmpty());
    f.fermer();
    QCOMPARE(f.alertes().size(), 1);
    QVERIFY2(f.alertes().first().contains(QStringLiteral("Parametres.txt")),
             qPrintable(f.alertes().first()));
}

void TestSystemParametres::prefixChangesTheNextFileRead()
{
    ControllerFixture f;
    QVERIFY2(f.ok(), qPrintable(f.error));
    f.creer();
    emit f.mainFrame->demarrer();
    QVERIFY(f.attendre());
    emit f.mainFrame->tracePrefixChanged(QStringLiteral("other"));
    // The files already loaded stay.
    QCOMPARE(f.fichiersCycle(), QSet<int>({0, 100}));
    emit f.mainFrame->nextZoom();
    const QString attendu = QFileInfo(f.traceFile(0)).absolutePath() + "/other_0.xml";
    QTRY_COMPARE(f.alertes(), QList<QString>({"File " + attendu + " doesn't exist"}));
}

void TestSystemParametres::newCutReloadsTheWindow()
{
    ControllerFixture f;
    QVERIFY2(f.ok(), qPrintable(f.error));
    f.creer();
    emit f.mainFrame->demarrer();
    QVERIFY(f.attendre());
    emit f.mainFrame->sliderHorizontalMovedTraceCycle(120);
    QVERIFY(f.attendre());
    QCOMPARE(f.fichiersCycle(), QSet<int>({0, 100, 200}));

    // Files of 250 cycles: the one holding cycle 120 is numbered 0; 250 does not exist here.
    const int lus = f.system->getFichiersLus().size();
    emit f.mainFrame->nbCycleByFileChanged(250);
    QVERIFY(f.attendre());
    QCOMPARE(f.system->getFichiersLus().mid(lus), QStringList({f.zoomName(0)}));
    QCOMPARE(f.system->getGraphicTrace().getSizeTabCycle(), 10);
    QCOMPARE(f.system->getCycleCourantTraceCycle(), 120);

    // The same value again reads nothing.
    emit f.mainFrame->nbCycleByFileChanged(250);
    QVERIFY(f.attendre());
    QCOMPARE(f.system->getFichiersLus().size(), lus + 1);
}

QTEST_MAIN(TestSystemParametres)
#include "tst_systemParametres.moc"
