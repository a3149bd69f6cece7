#include "viewer.h"

#include "core/graphicBlock.h"
#include "core/graphicTrace.h"
#include "gui/mainFrame.h"
#include "gui/tableAsm.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

// What a half-finished or damaged simulation run leaves on disk, met through the whole viewer:
// each gives one clear message naming the file, or a sound display, and the viewer works
// again once the data is good.
class TestHostileInputs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void damagedData_data();
    void damagedData();
    void readsStopAtTheBudget();

private:
    QTemporaryDir reglages; // the user's settings, memory budget included, kept apart
};

void TestHostileInputs::initTestCase()
{
    QVERIFY(reglages.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, reglages.path());
}

namespace {

enum class Fichier { Config, Trace, Zoom, Asm };
// How the user gets to the file: Execute (zoom files), Execute and zoom in (trace files), and
// choosing pc 0 at single cycles (the listing).
enum class Vue { Depart, Cycles, Pc };

QString chemin(const Viewer &h, Fichier fichier)
{
    switch (fichier) {
    case Fichier::Config:
        return h.options.configFilePath();
    case Fichier::Trace:
        return h.options.traceFilePath(0);
    case Fichier::Zoom:
        return h.options.zoomFilePath(10, 0);
    case Fichier::Asm:
        return h.options.asmFilePath(0);
    }
    return QString();
}

QByteArray lire(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool ecrire(const QString &path, const QByteArray &data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(data) == data.size();
}

// Operands enough to fill a listing's first instruction ten thousand times.
QByteArray operandes(const QByteArray &listing)
{
    QByteArray many = "<operands><count>10000</count>";
    for (int i = 0; i < 10000; ++i)
        many += "<operand><direction>in</direction><type>register</type><value>r" +
                QByteArray::number(i) + "</value></operand>";
    many += "</operands>";
    QByteArray result = listing;
    const int debut = result.indexOf("<operands>");
    const int fin = result.indexOf("</operands>", debut) + int(qstrlen("</operands>"));
    return result.replace(debut, fin - debut, many);
}

QByteArray milleEvenements(const QByteArray &config)
{
    QByteArray events;
    for (int i = 0; i < 1000; ++i)
        events += "<event><name>extra_" + QByteArray::number(i) + "</name></event>";
    QByteArray result = config;
    return result.replace("</events>", QByteArray(events + "</events>"));
}

// Damages the file; false when the damage could not be made.
bool endommager(const QString &path, const QString &degat)
{
    QByteArray data = lire(path);
    if (degat == QLatin1String("truncate"))
        return ecrire(path, data.left(data.size() * 3 / 5));
    if (degat == QLatin1String("directory"))
        return QFile::remove(path) && QDir().mkdir(path);
    if (degat == QLatin1String("unreadable"))
        return QFile::setPermissions(path, QFileDevice::Permissions());
    if (degat.startsWith(QLatin1String("1GB"))) {
        // The start of the file is good; the rest is a gigabyte of holes, taking no disk.
        QFile file(path);
        return file.open(QIODevice::ReadWrite) && file.resize(qint64(1) << 30);
    }
    if (degat == QLatin1String("operands"))
        return ecrire(path, operandes(data));
    if (degat == QLatin1String("events"))
        return ecrire(path, milleEvenements(data));
    // "from=>to": the first occurrence replaced.
    const QStringList parts = degat.split(QStringLiteral("=>"));
    const int at = data.indexOf(parts[0].toUtf8());
    if (parts.size() != 2 || at < 0)
        return false;
    return ecrire(path, data.replace(at, parts[0].toUtf8().size(), parts[1].toUtf8()));
}

bool voir(Viewer &h, Vue vue)
{
    emit h.mainFrame->demarrer();
    // A start whose first file is refused reads on; one whose configuration is refused ends.
    if (!h.attendre())
        return false;
    if (vue == Vue::Depart)
        return true;
    emit h.mainFrame->nextZoom();
    if (!h.attendre())
        return false;
    if (vue == Vue::Pc) {
        emit h.mainFrame->displayPcTracePc(0, 0);
        QCoreApplication::processEvents();
    }
    return true;
}

struct Compte
{
    int blocs = 0;
    int pcNegatifs = 0;
    int parCycle[20] = {};
};

Compte compter(const Viewer &h)
{
    Compte c;
    GraphicTrace &store = h.system->getGraphicTrace();
    std::lock_guard<std::recursive_mutex> lock(store.mutex());
    for (const auto &entry : store.getTabCycle()) {
        c.blocs += int(entry.second.size());
        if (entry.first >= 0 && entry.first < 20)
            c.parCycle[entry.first] += int(entry.second.size());
    }
    for (const auto &entry : store.getTabPc()) {
        if (entry.first < 0)
            c.pcNegatifs += int(entry.second.size());
    }
    return c;
}

} // namespace

Q_DECLARE_METATYPE(Fichier)
Q_DECLARE_METATYPE(Vue)

void TestHostileInputs::damagedData_data()
{
    QTest::addColumn<Fichier>("fichier");
    QTest::addColumn<QString>("degat");
    QTest::addColumn<Vue>("vue");
    // The one message expected (the file's name is checked too), or empty for none.
    QTest::addColumn<QString>("message");

    QTest::newRow("trace cut off mid-write")
        << Fichier::Trace << "truncate" << Vue::Cycles << "XML error";
    QTest::newRow("zoom file cut off mid-write")
        << Fichier::Zoom << "truncate" << Vue::Depart << "XML error";
    QTest::newRow("listing cut off mid-write")
        << Fichier::Asm << "truncate" << Vue::Pc << "XML error";
    QTest::newRow("zoom count beyond the level")
        << Fichier::Zoom << "<count>10</count>=><count>5000</count>" << Vue::Depart << "";
    QTest::newRow("negative zoom count")
        << Fichier::Zoom << "<count>10</count>=><count>-7</count>" << Vue::Depart << "";
    QTest::newRow("cycles out of order")
        << Fichier::Trace << "<date>3</date>=><date>6</date>" << Vue::Cycles << "";
    QTest::newRow("duplicate cycle")
        << Fichier::Trace << "<date>4</date>=><date>2</date>" << Vue::Cycles << "";
    QTest::newRow("cycle after the file's slice")
        << Fichier::Trace << "<date>5</date>=><date>500</date>" << Vue::Cycles
        << "cycle 500 is outside its cycles 0 to 19";
    // The pc of the left-out cycle's last event must not give the next event, which has none,
    // a row in the PC view.
    QTest::newRow("cycle outside the slice, then an event without pc")
        << Fichier::Trace
        << "<date>6</date>=><date>600</date><event><name>fetch</name><instruction><pc>3</pc>"
           "</instruction></event></cycle><cycle><date>6</date><event><name>fetch</name></event>"
        << Vue::Cycles << "cycle 600 is outside its cycles 0 to 19";
    QTest::newRow("negative cycle") << Fichier::Trace << "<date>5</date>=><date>-5</date>"
                                    << Vue::Cycles << "cycle -5 is outside its cycles 0 to 19";
    QTest::newRow("zoom cycle outside the file's slice")
        << Fichier::Zoom << "<date>10</date>=><date>9990</date>" << Vue::Depart
        << "cycle 9990 is outside its cycles 0 to 19";
    QTest::newRow("negative pc") << Fichier::Trace << "<pc>1</pc>=><pc>-1</pc>" << Vue::Cycles
                                 << "";
    QTest::newRow("10,000 operands on one pc") << Fichier::Asm << "operands" << Vue::Pc << "";
    QTest::newRow("1,000 configured events") << Fichier::Config << "events" << Vue::Cycles << "";
    QTest::newRow("directory for the configuration")
        << Fichier::Config << "directory" << Vue::Depart << "can't be read";
    QTest::newRow("directory for a trace file")
        << Fichier::Trace << "directory" << Vue::Cycles << "can't be read";
    QTest::newRow("directory for a zoom file")
        << Fichier::Zoom << "directory" << Vue::Depart << "can't be read";
    QTest::newRow("directory for the listing")
        << Fichier::Asm << "directory" << Vue::Pc << "can't be read";
    QTest::newRow("unreadable trace file")
        << Fichier::Trace << "unreadable" << Vue::Cycles << "can't be read";
    // No size is refused as such: a gigabyte fits the budget and is read up to its damage.
    QTest::newRow("1 GB trace file") << Fichier::Trace << "1GB" << Vue::Cycles << "XML error";
    QTest::newRow("1 GB zoom file") << Fichier::Zoom << "1GB" << Vue::Depart << "XML error";
    QTest::newRow("1 GB listing") << Fichier::Asm << "1GB" << Vue::Pc << "XML error";
    QTest::newRow("1 GB configuration") << Fichier::Config << "1GB" << Vue::Depart << "XML error";
    // Past a budget of 512 MiB, it is not read at all.
    QTest::newRow("1 GB trace file past the budget")
        << Fichier::Trace << "1GB budget" << Vue::Cycles
        << "would take about 1037 MiB of memory, more than the memory budget of 512 MiB";
    QTest::newRow("1 GB zoom file past the budget")
        << Fichier::Zoom << "1GB budget" << Vue::Depart << "more than the memory budget of 512";
}

void TestHostileInputs::damagedData()
{
    QFETCH(Fichier, fichier);
    QFETCH(QString, degat);
    QFETCH(Vue, vue);
    QFETCH(QString, message);
    if (degat == QLatin1String("unreadable") && geteuid() == 0)
        QSKIP("root reads files without read permission: nothing to refuse");
    if (degat.endsWith(QLatin1String("budget")))
        QSettings(QStringLiteral("Zelvar"), QStringLiteral("Zelvar"))
            .setValue(QStringLiteral("memoryBudgetMiB"), 512);
    const auto budgetParDefaut = qScopeGuard([] {
        QSettings(QStringLiteral("Zelvar"), QStringLiteral("Zelvar"))
            .remove(QStringLiteral("memoryBudgetMiB"));
    });

    TraceGeneratorOptions options;
    options.nbCycleParTrace = 20;
    options.nbCycleTotal = 200;
    options.nbEventKinds = 6;
    options.fetchWidth = 2;
    Viewer h(options);
    QVERIFY2(h.ok(), qPrintable(h.error));
    const QString path = chemin(h, fichier);
    const QByteArray bon = lire(path);
    QVERIFY(endommager(path, degat));
    h.ouvrir();

    QVERIFY(voir(h, vue));
    QStringList alertes = h.alertes();
    // A file that cannot be opened at all is also reported by the parser's bare "erreur".
    if (alertes.size() == 2 && alertes[1] == QLatin1String("erreur"))
        alertes.removeLast();
    if (message.isEmpty()) {
        QVERIFY2(alertes.isEmpty(), qPrintable(alertes.join(QLatin1Char('\n'))));
    } else {
        QCOMPARE(alertes.size(), 1);
        QVERIFY2(alertes[0].contains(message), qPrintable(alertes[0]));
        QVERIFY2(alertes[0].contains(QFileInfo(path).fileName()), qPrintable(alertes[0]));
    }
    const QString panne = h.invariants(true);
    QVERIFY2(panne.isEmpty(), qPrintable(panne));
    const Compte compte = compter(h);
    QCOMPARE(compte.pcNegatifs, 0);
    if (fichier == Fichier::Trace && message.isEmpty()) {
        // Every event of the file is drawn, in the column of its cycle.
        const QByteArray abime = lire(path);
        QCOMPARE(compte.parCycle[0] + compte.parCycle[1] + compte.parCycle[2] + compte.parCycle[3] +
                     compte.parCycle[4] + compte.parCycle[5] + compte.parCycle[6],
                 int(abime.left(abime.indexOf("<date>7</date>")).count("<event>")));
    }
    if (degat == QLatin1String("operands")) {
        TableAsm *table = h.mainFrame->findChild<TableAsm *>();
        QVERIFY(table);
        QTRY_COMPARE(table->cellText(1, 0), QStringLiteral("1"));
        QCOMPARE(table->cellText(0, 0), QStringLiteral("0"));
        QCOMPARE(table->cellText(0, 2), QStringLiteral("r0"));
        QCOMPARE(table->cellText(0, 4), QStringLiteral("r2"));
    }
    if (degat.contains(QLatin1String("<count>"))) {
        // The colour of a count is bounded by the event's own colour and the trace's.
        GraphicTrace &store = h.system->getGraphicTrace();
        std::lock_guard<std::recursive_mutex> lock(store.mutex());
        const auto &premier = store.getTabCycle().at(0);
        QVERIFY(!premier.empty());
        const auto *block = static_cast<const GraphicBlock *>(premier.front());
        const QColor attendu = block->getNbEvent() > 0 ? QColor() : h.mainFrame->getCouleurTrace();
        if (attendu.isValid())
            QCOMPARE(block->getBrush().color(), attendu);
    }

    // Good data again: Execute works and says nothing.
    h.messages.clear();
    if (QFileInfo(path).isDir())
        QVERIFY(QDir(path).removeRecursively());
    QVERIFY(ecrire(path, bon));
    QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    QVERIFY(voir(h, Vue::Pc));
    QVERIFY2(h.alertes().isEmpty(), qPrintable(h.alertes().join(QLatin1Char('\n'))));
    QCOMPARE(h.blocsParFichier(false).size(), size_t(2));
    QCOMPARE(h.table()->cellText(0, 0), QStringLiteral("0"));
    QVERIFY2(h.invariants(true).isEmpty(), qPrintable(h.invariants(true)));
}

// Files that each fit the budget, but not together: the read that passes it stops there, with
// one message, and memory stays within the budget.
void TestHostileInputs::readsStopAtTheBudget()
{
    TraceGeneratorOptions options;
    options.nbCycleParTrace = 10000; // some 100,000 blocks, 8 MB of memory, per file
    options.nbCycleTotal = 30000;
    Viewer h(options);
    QVERIFY2(h.ok(), qPrintable(h.error));
    QSettings reglage(QStringLiteral("Zelvar"), QStringLiteral("Zelvar"));
    reglage.setValue(QStringLiteral("memoryBudgetMiB"), 12);
    reglage.sync();
    const auto budgetParDefaut = qScopeGuard([&] {
        reglage.remove(QStringLiteral("memoryBudgetMiB"));
        reglage.sync();
    });
    h.ouvrir();
    QVERIFY(h.executer(1));
    const QStringList alertes = h.alertes();
    QCOMPARE(alertes.size(), 1);
    QVERIFY2(alertes[0].contains(QLatin1String("trace_10000.xml : at cycle ")) &&
                 alertes[0].contains(QLatin1String("passed the memory budget of 12 MiB")),
             qPrintable(alertes[0]));
    // One cycle's blocks may come on top of the budget before the check.
    QVERIFY(qint64(GraphicBlock::liveCount()) * 80 <= (qint64(12) << 20) + 80 * 64);
    const std::map<int, int> blocs = h.blocsParFichier(false);
    QVERIFY(blocs.at(0) > blocs.at(10000));
}

QTEST_MAIN(TestHostileInputs)
#include "tst_hostileInputs.moc"
