#include "viewerHarness.h"

#include "core/graphicBlock.h"
#include "core/graphicTrace.h"
#include "gui/mainFrame.h"

#include <QtTest>

// The window of files follows the views however far and whenever they move: pages that jump
// past the neighbouring file, steps taken while a start still reads, a pc chosen again after
// the PC view slid on its own, a pc chosen while a jump reloads the window.
class TestWindowFollowsView : public QObject
{
    Q_OBJECT

private slots:
    void follows_data();
    void follows();
};

namespace {

QSet<int> ensemble(const QString &text)
{
    QSet<int> set;
    for (const QString &part : text.split(QLatin1Char(','), Qt::SkipEmptyParts))
        set.insert(part.toInt());
    return set;
}

QSet<int> fichiersPc(const ViewerHarness &h)
{
    const int nb = h.system->getParametres().nbCycleParTrace;
    GraphicTrace &store = h.system->getGraphicTrace();
    std::lock_guard<std::recursive_mutex> lock(store.mutex());
    QSet<int> files;
    for (const auto &entry : store.getTabPc()) {
        for (const GraphicElement *element : entry.second)
            files.insert(static_cast<const GraphicBlock *>(element)->getCycle() / nb * nb);
    }
    return files;
}

// Runs "run", "wait", "in", "next <cycle>", "prev <cycle>", "pcnext <cycle>", "pick"
// (pc 5 chosen at cycle 0) in order.
bool jouer(ViewerHarness &h, const QString &script)
{
    for (const QString &pas : script.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QStringList mots = pas.simplified().split(QLatin1Char(' '));
        const int valeur = mots.value(1).toInt();
        if (mots[0] == QLatin1String("run"))
            emit h.mainFrame->demarrer();
        else if (mots[0] == QLatin1String("wait") && !h.attendre())
            return false;
        else if (mots[0] == QLatin1String("in"))
            emit h.mainFrame->nextZoom();
        else if (mots[0] == QLatin1String("next"))
            emit h.mainFrame->nextCycleTraceCycle(valeur);
        else if (mots[0] == QLatin1String("prev"))
            emit h.mainFrame->prevCycleTraceCycle(valeur);
        else if (mots[0] == QLatin1String("pcnext"))
            emit h.mainFrame->nextCycleTracePc(valeur);
        else if (mots[0] == QLatin1String("pick"))
            emit h.mainFrame->displayPcTracePc(5, 0);
    }
    return h.attendre();
}

} // namespace

void TestWindowFollowsView::follows_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("cycleFiles");
    QTest::addColumn<QString>("pcFiles"); // empty: not compared
    QTest::addColumn<int>("cycle");

    QTest::newRow("page past the next file, zoomed out") << "run; wait; next 200"
                                                         << "180,200,220"
                                                         << "" << 200;
    QTest::newRow("page past the previous file, zoomed out")
        << "run; wait; next 200; wait; prev 100"
        << "80,100,120"
        << "" << 100;
    QTest::newRow("page past the next file, single cycles") << "run; wait; in; wait; next 205"
                                                            << "180,200,220"
                                                            << "180,200,220" << 205;
    QTest::newRow("step while the start reads") << "run; next 40"
                                                << "20,40,60"
                                                << "" << 40;
    QTest::newRow("step into the next file while the start reads") << "run; wait; in; next 25"
                                                                   << "0,20,40"
                                                                   << "0,20,40" << 25;
    QTest::newRow("PC view pages two files on") << "run; wait; in; wait; pick; wait; pcnext 70"
                                                << "0,20"
                                                << "0,20,40,60,80" << 0;
    QTest::newRow("pc chosen again after the PC view slid")
        << "run; wait; in; wait; pick; wait; pcnext 70; wait; pick"
        << "0,20"
        << "0,20" << 0;
    QTest::newRow("pc chosen while a jump reloads")
        << "run; wait; in; wait; pick; wait; pcnext 70; wait; next 205; pick"
        << "180,200,220"
        << "180,200,220" << 205;
}

void TestWindowFollowsView::follows()
{
    QFETCH(QString, script);
    QFETCH(QString, cycleFiles);
    QFETCH(QString, pcFiles);
    QFETCH(int, cycle);

    TraceGeneratorOptions options;
    options.nbCycleParTrace = 20;
    options.nbCycleTotal = 400;
    options.nbEventKinds = 6;
    options.fetchWidth = 2;
    ViewerHarness h(options);
    QVERIFY2(h.ok(), qPrintable(h.error));
    h.creer();
    QVERIFY(jouer(h, script));
    QCOMPARE(h.fichiersCycle(), ensemble(cycleFiles));
    if (!pcFiles.isEmpty())
        QCOMPARE(fichiersPc(h), ensemble(pcFiles));
    QCOMPARE(h.system->getCycleCourantTraceCycle(), cycle);
    const QString panne = h.invariants(true);
    QVERIFY2(panne.isEmpty(), qPrintable(panne + QStringLiteral("\n") + h.etat()));
    QVERIFY2(h.alertes().isEmpty(), qPrintable(h.alertes().join(QLatin1Char('\n'))));
}

QTEST_MAIN(TestWindowFollowsView)
#include "tst_windowFollowsView.moc"
