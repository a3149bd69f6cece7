#include "viewer.h"

#include "core/graphicBlock.h"
#include "core/graphicTrace.h"
#include "gui/customEvents.h"
#include "gui/mainFrame.h"
#include "gui/tableAsm.h"
#include "gui/traceWidgetCycle.h"
#include "gui/traceWidgetPc.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QSettings>
#include <QtTest>

namespace {

// Short names of the files read: t200 (trace_200.xml), z200 (a zoom file), a100 (a listing).
QString courts(const QStringList &lus)
{
    QStringList noms;
    for (const QString &path : lus) {
        const QString nom = QFileInfo(path).completeBaseName();
        noms << nom.at(0) + nom.section(QLatin1Char('_'), -1);
    }
    return noms.join(QLatin1Char(' '));
}

// The controller's repaints: c for the cycle view, p for the PC view.
QString codes(const QList<int> &ids)
{
    QString texte;
    for (int id : ids) {
        if (id == MainFrameRepaintTraceCycleEvent::Id || id == MainFrameRepaintTracePcEvent::Id)
            texte += id == MainFrameRepaintTraceCycleEvent::Id ? u'c' : u'p';
    }
    return texte;
}

// One step of a user's session; false when the viewer did not come to rest.
bool jouer(Viewer &v, const QString &pas)
{
    const QChar op = pas.at(0);
    const int n = pas.mid(1).toInt();
    MainFrame *m = v.mainFrame;
    if (pas == QLatin1String("|")) { // what follows is what is compared
        v.lus.clear();
        v.evenements.clear();
        v.messages.clear();
        return true;
    }
    if (pas == QLatin1String("nozoom"))
        return QDir(QFileInfo(v.options.zoomFilePath(10, 0)).path()).removeRecursively();
    if (pas == QLatin1String("badconfig")) {
        QFile config(v.options.configFilePath());
        return config.open(QIODevice::WriteOnly) && config.write("not xml") > 0;
    }
    if (op == QLatin1Char('x'))
        emit m->demarrer();
    else if (op == QLatin1Char('+'))
        emit m->nextZoom();
    else if (op == QLatin1Char('-'))
        emit m->prevZoom();
    else if (op == QLatin1Char('n')) { // arrows or pages that end at cycle n
        m->repaintHorizontalSliderMovedTraceCycle(n, true);
        emit m->nextCycleTraceCycle(v.vueCycle()->getHorizontalScrollBar()->value());
    } else if (op == QLatin1Char('d')) { // the handle dragged to n and let go
        QScrollBar *bar = v.vueCycle()->getHorizontalScrollBar();
        bar->setSliderDown(true);
        bar->setSliderPosition(n);
        bar->setSliderDown(false);
    } else if (op == QLatin1Char('v')) { // the vertical bar's arrow, n times
        for (int i = 0; i < n; ++i)
            v.vueCycle()->getVerticalScrollBar()->triggerAction(
                QAbstractSlider::SliderSingleStepAdd);
    } else if (op == QLatin1Char('t'))
        emit m->nbCycleTotalChanged(n);
    else if (op == QLatin1Char('f'))
        emit m->nbCycleByFileChanged(n);
    else if (op == QLatin1Char('a'))
        emit m->nbPcByAsmChanged(n);
    return v.attendre();
}

} // namespace

// The controller through the real window, as a user drives it: which files are read in which
// order, what is posted and shown, after every kind of move; each scenario ends with the
// viewer's invariants (each window's files wholly in its table, no stale picture).
class TestSystem : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    }

    void scenarios_data()
    {
        QTest::addColumn<int>("nbCycleTotal"); // of the generated trace, 100 cycles a file
        QTest::addColumn<QString>("script");   // steps (see jouer), then "|", then what is compared
        QTest::addColumn<QString>("lus");
        QTest::addColumn<QString>("repaints"); // c: the cycle view, p: the PC view
        QTest::addColumn<int>("cycle");        // where the cycle view's bar ends
        QTest::addColumn<QString>("messages"); // a part of each message shown, "|" between

        // The repaints say that the first file read is shown before the others are read.
        const auto row = [](const char *tag, int total, const char *script, const char *lus,
                            const char *repaints, int cycle, const char *messages = "") {
            QTest::newRow(tag) << total << script << lus << repaints << cycle << messages;
        };
        // Start: the coarsest level; current file, previous, next, and all the view's 32 columns
        // of 10 cycles show.
        row("start", 500, "| x", "z0 z100 z200 z300", "pccccc", 0);
        row("zoom in", 1000, "x n230 | +", "t200 t100 t300", "pcpcc", 230);
        row("zoom out", 1000, "x + n237 | -", "z200 z100 z300 z400 z500", "pccccc", 230);
        row("zoom ends", 500, "x | - + +", "t0 t100", "pcpcc", 0, "zoom minimum|zoom maximum");
        // Sliding: a file read after a slide is shown at once.
        row("slide reads and shows", 500, "x | n100", "z400", "c", 100);
        row("slides at single cycles", 500, "x + | n100 n200 n300 n400 n399 n299",
            "t200 t300 t400 t200 t100", "ccccc", 299);
        row("drag into the next file", 500, "x + | d150", "t200", "c", 150);
        row("jump three files", 500, "x + | n350", "t300 t200 t400", "ccc", 350);
        row("drag beyond the loaded cycles snaps back", 500, "x + n150 | d300", "", "", 150);
        row("drag off the level's columns snaps back", 500, "x n30 | d37", "", "", 30);
        // Past the trace's end (Nb Cycle Total too large): no file that does not exist is read.
        row("arrows past the trace's end", 500, "t2000 x + n450 | n620 n450", "", "", 450);
        // Positions: a start and a zoom change put the views where their bars are.
        row("execute after scrolling", 500, "x n100 v3 | x", "z0 z100 z200 z300", "pccccc", 0);
        row("execute after a shorter Nb Cycle Total", 1000, "x + n900 t300 | x",
            "z0 z100 z200 z300", "pccccc", 0);
        row("zoom out near the end", 500, "x + n450 | -", "*", "*", -1);
        row("rows scrolled, then a level with fewer rows", 500, "x + v5 -", "*", "*", 0);
        // Failed starts: one message, and nothing of the previous trace stays on screen.
        row("zoom files missing", 500, "x + nozoom | x", "", "pc", 0,
            "zoom_10_0.xml doesn't exist");
        row("configuration not XML", 500, "x + badconfig | x", "", "", 0, "config.xml");
        row("new cut reloads", 500, "x n120 | f250", "z0", "pccc", 120);
        // A count per file that is not positive is refused by name; the value in force stays.
        row("no cycles per file", 500, "x n120 | f0", "", "", 120, "Nb Cycles by File : 0 is not");
        row("no pcs per file", 500, "x | a-3", "", "", 0, "Nb Pc by File : -3 is not");
    }

    void scenarios()
    {
        QFETCH(int, nbCycleTotal);
        QFETCH(QString, script);
        TraceGeneratorOptions options;
        options.nbCycleTotal = nbCycleTotal;
        Viewer v(options);
        QVERIFY2(v.ok(), qPrintable(v.error));
        v.ouvrir();
        for (const QString &pas : script.split(QLatin1Char(' '), Qt::SkipEmptyParts))
            QVERIFY2(jouer(v, pas), qPrintable(pas + QStringLiteral(": ") + v.error));

        QFETCH(QString, lus);
        if (lus != QLatin1String("*"))
            QCOMPARE(courts(v.lus), lus);
        QFETCH(QString, repaints);
        if (repaints != QLatin1String("*"))
            QCOMPARE(codes(v.evenements), repaints);
        QFETCH(int, cycle);
        QScrollBar *bar = v.vueCycle()->getHorizontalScrollBar();
        QCOMPARE(bar->value(), cycle < 0 ? bar->maximum() : cycle);
        QFETCH(QString, messages);
        const QStringList parts = messages.split(QLatin1Char('|'), Qt::SkipEmptyParts);
        QCOMPARE(v.messages.size(), parts.size());
        for (int i = 0; i < parts.size(); ++i)
            QVERIFY2(v.messages[i].text.contains(parts[i]), qPrintable(v.messages[i].text));
        QVERIFY2(v.invariants(true).isEmpty(), qPrintable(v.invariants(true)));
    }

    // A long read shows its blocks while it goes on; the status bar's note goes at its end. A
    // file the cycle view drops mid-read that the PC view still shows is read to its end.
    void longReads()
    {
        TraceGeneratorOptions options;
        options.nbCycleTotal = 60000;
        options.nbCycleParTrace = 20000;
        Viewer v(options);
        QVERIFY2(v.executer(), qPrintable(v.error));
        QLabel *barre = v.mainFrame->findChild<QLabel *>(QStringLiteral("statusReading"));
        emit v.mainFrame->nextZoom(); // level 1: files of some 230,000 events are read
        QString note;
        bool montresPendant = false;
        while (v.system->chargementEnCours()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
            const QString message = barre->text();
            if (message.startsWith(QLatin1String("Reading ")) && message != note) {
                note = message;
                // The cycles read so far, not the level before's picture, before the read's end.
                const bool vus = v.ecran(v.vueCycle()) == v.rendu(v.vueCycle());
                montresPendant = montresPendant || (vus && v.system->chargementEnCours());
            }
        }
        QVERIFY(montresPendant);
        QVERIFY(v.attendre());
        QCOMPARE(barre->text(), QString());
        QVERIFY2(v.invariants(true).isEmpty(), qPrintable(v.invariants(true)));

        emit v.mainFrame->nextCycleTraceCycle(20000); // reads file 40000 for both views
        emit v.mainFrame->displayPcTracePc(5, 20000); // the PC view keeps that window
        emit v.mainFrame->nextCycleTraceCycle(0);     // the cycle view lets file 40000 go
        QVERIFY(v.attendre());
        QVERIFY(v.blocsParFichier(true).count(40000));
        QVERIFY2(v.invariants(true).isEmpty(), qPrintable(v.invariants(true)));
    }

    // A new cut of the listing reads the chosen pc's listing again: it stays selected, the PC
    // view keeps its cycle and draws every pc on its table row.
    void listing()
    {
        Viewer v;
        // The same program's listing cut in files of 50 pcs, in a folder of its own.
        TraceGeneratorOptions cut50 = v.options;
        cut50.asmDirectory = QStringLiteral("50/asm");
        cut50.nbPcParAsm = 50;
        TraceGenerator generator(cut50);
        QVERIFY2(generator.generate(), qPrintable(generator.errorString()));
        QVERIFY2(v.executer(1), qPrintable(v.error));
        emit v.mainFrame->displayPcTracePc(120, 30);
        emit v.mainFrame->displayPcTracePc(150, 30);
        v.mainFrame->repaintHorizontalSliderMovedTracePc(60, true);
        emit v.mainFrame->nextCycleTracePc(60);
        QVERIFY(v.attendre());
        v.lus.clear();
        emit v.mainFrame->asmDirectoryChanged(QFileInfo(cut50.asmFilePath(0)).absolutePath());
        emit v.mainFrame->nbPcByAsmChanged(50);
        QVERIFY(v.attendre());
        QCOMPARE(courts(v.lus), QStringLiteral("a150"));
        QCOMPARE(v.table()->cellText(0, 0), QStringLiteral("150"));
        QCOMPARE(v.table()->selectedItems().value(0)->row(), 0);
        QCOMPARE(v.vuePc()->getHorizontalScrollBar()->value(), 60);
        // Every block of a listed pc lies on its row; the others are out of sight.
        GraphicTrace &store = v.system->getGraphicTrace();
        std::lock_guard<std::recursive_mutex> lock(store.mutex());
        for (const auto &[pc, blocks] : store.getTabPc()) {
            const int ligne = pc >= 150 && pc < 200 ? (pc - 150) * v.table()->rowHeight(0) : -1;
            for (const GraphicElement *element : blocks) {
                const int y = static_cast<const GraphicBlock *>(element)->getPositionYTracePc();
                QVERIFY2(ligne < 0 ? y < 0 : y == ligne, qPrintable(QString::number(pc)));
            }
        }
    }

    // The bundled sample opened, then from the recent folders; a folder that is not one refused
    // in one message; Execute forgets the folder and its levels.
    void openFromTheWindow()
    {
        TraceGeneratorOptions sample;
        sample.rootDirectory = QStringLiteral(ZELVAR_SOURCE_DIR "/xml");
        Viewer v(sample, false);
        QTemporaryDir empty;
        v.ouvrir();
        QVERIFY(QFile::exists("Parametres.txt")); // the defaults, written when there was none
        MainFrame *m = v.mainFrame;
        const auto label = [m] { return m->findChild<QLabel *>("statusFolder")->text(); };

        emit m->ouvrirDossierTrace(sample.rootDirectory);
        QVERIFY(v.attendre());
        QCOMPARE(v.niveau(), 100); // the coarsest level the folder has
        QCOMPARE(label(), QStringLiteral("xml"));
        QCOMPARE(m->findChild<QLineEdit *>("nbCycleTotal")->text(), QStringLiteral("4000"));
        QCOMPARE(v.invariants(true), QString());

        emit m->ouvrirDossierTrace(empty.path());
        QVERIFY(v.attendre());
        QCOMPARE(v.alertes().size(), 1);
        QVERIFY(v.alertes()[0].contains("no event configuration"));
        QVERIFY(v.alertes()[0].contains("no trace files"));
        QCOMPARE(label(), QStringLiteral("xml"));

        QVERIFY(v.zoomer(10));
        QMenu *recent = m->findChild<QMenu *>("recentFoldersMenu");
        QCOMPARE(recent->actions().size(), 1);
        QCOMPARE(recent->actions()[0]->text(), sample.rootDirectory);
        recent->actions()[0]->trigger();
        QVERIFY(v.attendre());
        QCOMPARE(v.niveau(), 100);

        emit m->nbCycleTotalChanged(500);
        emit m->demarrer();
        QVERIFY(v.attendre());
        QCOMPARE(v.niveau(), 10);
        QCOMPARE(label(), QString());
        v.fermer();
        Parametres saved;
        QVERIFY(Parametres::load("Parametres.txt", saved));
        QCOMPARE(saved.traceDirectory, sample.rootDirectory + "/100/trace");
        QCOMPARE(saved.nbCycleTotal, 500);
    }

private:
    QTemporaryDir settings; // recent folders of this run only
};

QTEST_MAIN(TestSystem)
#include "tst_system.moc"
