#include "viewer.h"

#include "core/graphicBlock.h"
#include "core/graphicTrace.h"
#include "gui/graphicBlockWidget.h"
#include "gui/mainFrame.h"
#include "gui/traceWidgetCycle.h"
#include "gui/traceWidgetPc.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QtTest>

// A user who scrolls fast (bars, keys, searches), zooms, clicks and executes again while files
// load, on a trace of thousands of small files; the store and the window of files are checked
// after every action.
class TestStress : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void scenario();

private:
    std::unique_ptr<Viewer> harness;
};

namespace {

constexpr int nbFichiers = 2000;
constexpr int cyclesParFichier = 20;

int nbActions()
{
    bool ok = false;
    const int n = qEnvironmentVariableIntValue("ZELVAR_STRESS_ACTIONS", &ok);
    return ok && n > 0 ? n : 1500;
}

// A visible block of the cycle view with an instruction, as a point of its drawing surface.
bool pointSurBloc(Viewer &h, QRandomGenerator &rng, QPoint &point)
{
    TraceWidgetCycle *vue = h.vueCycle();
    const QSize surface = vue->getGraphicBlockWidget()->size();
    GraphicTrace &store = h.system->getGraphicTrace();
    std::lock_guard<std::recursive_mutex> lock(store.mutex());
    QList<QPoint> candidats;
    const auto debut = store.getTabCycle().lower_bound(vue->getPositionHorizontal());
    for (auto it = debut; it != store.getTabCycle().end() && candidats.size() < 64; ++it) {
        for (const GraphicElement *element : it->second) {
            const auto *block = static_cast<const GraphicBlock *>(element);
            const int largeur = block->getLargeurBlockTraceCycle();
            const int hauteur = block->getHauteurBlockTraceCycle();
            if (block->getPc() < 0 || largeur <= 0 || hauteur <= 0)
                continue;
            const QPoint origine(vue->getPositionHorizontal() / h.niveau() * largeur,
                                 vue->getPositionVertical() * hauteur);
            const QPoint p = QPoint(int(block->getPositionXTraceCycle()) + largeur / 2,
                                    block->getPositionYTraceCycle() + hauteur / 2) -
                             origine;
            if (p.x() >= 0 && p.y() >= 0 && p.x() < surface.width() && p.y() < surface.height())
                candidats.append(p);
        }
    }
    if (candidats.isEmpty())
        return false;
    point = candidats.at(int(rng.bounded(quint32(candidats.size()))));
    return true;
}

void glisser(QScrollBar *bar, QRandomGenerator &rng, bool loin)
{
    bar->setSliderDown(true);
    const int pas = 1 + int(rng.bounded(3u));
    for (int i = 0; i < pas; ++i) {
        int v = 0;
        if (loin || bar->maximum() <= bar->minimum())
            v = bar->minimum() + int(rng.bounded(quint32(bar->maximum() - bar->minimum() + 1)));
        else
            v = bar->sliderPosition() + int(rng.bounded(121u)) - 60;
        bar->setSliderPosition(v);
        QCoreApplication::processEvents();
    }
    bar->setSliderDown(false);
}

void cliquerBarre(QScrollBar *bar, QRandomGenerator &rng)
{
    static const QAbstractSlider::SliderAction actions[] = {
        QAbstractSlider::SliderSingleStepAdd, QAbstractSlider::SliderSingleStepSub,
        QAbstractSlider::SliderPageStepAdd, QAbstractSlider::SliderPageStepSub};
    const int n = 1 + int(rng.bounded(4u));
    const auto action = actions[rng.bounded(4u)];
    for (int i = 0; i < n; ++i)
        bar->triggerAction(action);
}

QPoint auHasard(QWidget *widget, QRandomGenerator &rng)
{
    return QPoint(int(rng.bounded(quint32(qMax(1, widget->width())))),
                  int(rng.bounded(quint32(qMax(1, widget->height())))));
}

} // namespace

void TestStress::initTestCase()
{
    TraceGeneratorOptions options;
    options.seed = 20261206;
    options.nbCycleParTrace = cyclesParFichier;
    options.nbCycleTotal = nbFichiers * cyclesParFichier;
    options.nbEventKinds = 8;
    options.fetchWidth = 1;
    options.robSize = 8;
    options.nbPc = 200;
    options.nbPcParAsm = 100;
    options.zoomLevels = {10};
    harness = std::make_unique<Viewer>(options);
    QVERIFY2(harness->ok(), qPrintable(harness->error));
}

void TestStress::cleanupTestCase()
{
    harness.reset();
    QCOMPARE(GraphicBlock::liveCount(), 0);
}

void TestStress::scenario()
{
    Viewer &h = *harness;
    QVERIFY(QFile::exists(h.options.traceFilePath((nbFichiers - 1) * cyclesParFichier)));
    h.ouvrir();
    QVERIFY(h.executer());
    QVERIFY2(h.invariants(true).isEmpty(), qPrintable(h.invariants(true)));

    QRandomGenerator rng(quint32(qEnvironmentVariableIntValue("ZELVAR_STRESS_SEED")) + 7u);
    const int total = nbActions();
    // ZELVAR_STRESS_REST=1 checks what holds at rest after every action, not now and then.
    const bool toujoursAuRepos = qEnvironmentVariableIntValue("ZELVAR_STRESS_REST") != 0;
    QStringList journal; // the last actions, for the failure message
    const auto texte = [&journal](const QString &panne) {
        return (panne + QStringLiteral("\nlast actions:\n") + journal.join('\n')).toUtf8();
    };
    QElapsedTimer timer;
    timer.start();
    int executions = 0;
    for (int numero = 0; numero < total; ++numero) {
        TraceWidgetCycle *cycle = h.vueCycle();
        TraceWidgetPc *pc = h.vuePc();
        QString action;
        const quint32 tirage = rng.bounded(100u);
        if (tirage < 22) {
            const bool loin = rng.bounded(5u) == 0;
            action = QStringLiteral("drag cycle view") + (loin ? " far" : "");
            glisser(cycle->getHorizontalScrollBar(), rng, loin);
        } else if (tirage < 30) {
            action = QStringLiteral("drag PC view");
            glisser(pc->getHorizontalScrollBar(), rng, rng.bounded(5u) == 0);
        } else if (tirage < 42) {
            action = QStringLiteral("arrows/pages of the cycle view");
            cliquerBarre(cycle->getHorizontalScrollBar(), rng);
        } else if (tirage < 45) {
            static const Qt::Key touches[] = {Qt::Key_Home, Qt::Key_End, Qt::Key_PageUp,
                                              Qt::Key_PageDown, Qt::Key_Left};
            const Qt::Key touche = touches[rng.bounded(5u)];
            action = QStringLiteral("key %1 in the cycle view").arg(int(touche), 0, 16);
            QTest::keyClick(cycle, touche);
        } else if (tirage < 48) {
            // The search runs beside the reads, and may still run at the next action.
            const bool suivant = rng.bounded(2u);
            action = suivant ? QStringLiteral("F3") : QStringLiteral("Shift+F3");
            QTest::keyClick(h.mainFrame, Qt::Key_F3, suivant ? Qt::NoModifier : Qt::ShiftModifier);
        } else if (tirage < 56) {
            action = QStringLiteral("arrows/pages of the PC view");
            cliquerBarre(pc->getHorizontalScrollBar(), rng);
        } else if (tirage < 60) {
            action = QStringLiteral("vertical bars");
            cliquerBarre(
                rng.bounded(2u) ? cycle->getVerticalScrollBar() : pc->getVerticalScrollBar(), rng);
        } else if (tirage < 66) {
            const bool in = rng.bounded(2u);
            action = in ? QStringLiteral("zoom in") : QStringLiteral("zoom out");
            if (in)
                emit h.mainFrame->nextZoom();
            else
                emit h.mainFrame->prevZoom();
        } else if (tirage < 78) {
            QPoint point;
            QWidget *surface = cycle->getGraphicBlockWidget();
            const bool surBloc = pointSurBloc(h, rng, point);
            if (!surBloc)
                point = auHasard(surface, rng);
            action = QStringLiteral("left click %1 at %2,%3")
                         .arg(surBloc ? "on a block" : "beside the blocks")
                         .arg(point.x())
                         .arg(point.y());
            QTest::mouseClick(surface, Qt::LeftButton, {}, point);
        } else if (tirage < 86) {
            QWidget *surface =
                rng.bounded(2u) ? cycle->getGraphicBlockWidget() : pc->getGraphicBlockWidget();
            action = QStringLiteral("right press on ") + surface->parent()->objectName();
            const QPoint point = auHasard(surface, rng);
            QTest::mousePress(surface, Qt::RightButton, {}, point);
            QCoreApplication::processEvents();
            QTest::mouseRelease(surface, Qt::RightButton, {}, point);
        } else if (tirage < 91) {
            action = QStringLiteral("Execute");
            ++executions;
            emit h.mainFrame->demarrer();
        } else if (tirage < 96) {
            const quint32 quoi = rng.bounded(3u);
            if (quoi == 0) {
                const int n = 1000 + int(rng.bounded(quint32(nbFichiers * cyclesParFichier)));
                action = QStringLiteral("Nb Cycle Total %1").arg(n);
                emit h.mainFrame->nbCycleTotalChanged(n);
            } else if (quoi == 1) {
                action = QStringLiteral("Nb Pc by File again");
                emit h.mainFrame->nbPcByAsmChanged(h.options.nbPcParAsm);
            } else {
                // Cut twice as long, each file then holds half of its slice, or back.
                const int n = h.options.nbCycleParTrace * int(1 + rng.bounded(2u));
                action = QStringLiteral("Nb Cycles by File %1").arg(n);
                emit h.mainFrame->nbCycleByFileChanged(n);
            }
        } else {
            const QSize taille(560 + int(rng.bounded(400u)), 400 + int(rng.bounded(300u)));
            action = QStringLiteral("resize to %1x%2").arg(taille.width()).arg(taille.height());
            h.mainFrame->resize(taille);
        }
        journal.append(QString::number(numero) + QStringLiteral(": ") + action);
        if (journal.size() > 12)
            journal.removeFirst();
        QCoreApplication::processEvents();
        // Paint both views now, from whatever the store holds at this moment.
        cycle->getGraphicBlockWidget()->repaint();
        pc->getGraphicBlockWidget()->repaint();

        QString panne = h.invariants(false);
        if (panne.isEmpty() && (toujoursAuRepos || numero % 16 == 15 || rng.bounded(8u) == 0)) {
            QVERIFY2(h.attendre(30000), texte(QStringLiteral("no rest")).constData());
            panne = h.invariants(true);
        }
        QVERIFY2(panne.isEmpty(), texte(panne).constData());
    }
    QVERIFY(h.attendre(30000));
    QVERIFY2(h.invariants(true).isEmpty(), qPrintable(h.invariants(true)));
    // The only boxes a user meets on good data are the zoom ends.
    for (const Viewer::Message &message : h.messages)
        QVERIFY2(message.text.startsWith(QStringLiteral("Vous etes au niveau de zoom")),
                 qPrintable(message.text));
    QVERIFY(!h.lus.filter(QFileInfo(h.options.asmFilePath(0)).path()).isEmpty()); // listings
    qInfo("%d actions (%d executions) in %lld ms", total, executions, timer.elapsed());

    // Closing while a load runs: every thread stops and every block goes.
    emit h.mainFrame->demarrer();
    QTRY_VERIFY(h.system->chargementEnCours());
    h.mainFrame->close();
    h.fermer();
    QCOMPARE(GraphicBlock::liveCount(), 0);
}

QTEST_MAIN(TestStress)
#include "tst_stress.moc"
