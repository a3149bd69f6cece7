#include "viewer.h"

#include "core/graphicBlock.h"
#include "core/graphicTrace.h"
#include "gui/graphicBlockWidget.h"
#include "gui/mainFrame.h"
#include "gui/traceWidgetCycle.h"
#include "gui/traceWidgetPc.h"

#include <QRandomGenerator>
#include <QScrollBar>
#include <QtTest>

// A user who scrolls fast (bars, keys, searches), zooms, clicks and executes again while files
// load, on a trace of thousands of small files; the store and the window of files are checked
// after every action.
namespace {

constexpr int nbFichiers = 2000;
constexpr int cyclesParFichier = 20;

int auHasard(QRandomGenerator &rng, int n)
{
    return int(rng.bounded(quint32(qMax(1, n))));
}

// A visible block of the cycle view with an instruction, as a point of its drawing surface,
// or else any point of it.
std::pair<QPoint, bool> pointSurBloc(Viewer &h, QRandomGenerator &rng)
{
    TraceWidgetCycle *vue = h.vueCycle();
    const QRect surface(QPoint(), vue->getGraphicBlockWidget()->size());
    GraphicTrace &store = h.system->getGraphicTrace();
    std::lock_guard<std::recursive_mutex> lock(store.mutex());
    QList<QPoint> candidats;
    const auto debut = store.getTabCycle().lower_bound(vue->getPositionHorizontal());
    for (auto it = debut; it != store.getTabCycle().end() && candidats.size() < 64; ++it) {
        for (const GraphicElement *element : it->second) {
            const auto *b = static_cast<const GraphicBlock *>(element);
            const int l = b->getLargeurBlockTraceCycle(), haut = b->getHauteurBlockTraceCycle();
            const QPoint p(int(b->getPositionXTraceCycle()) + l / 2 -
                               vue->getPositionHorizontal() / h.niveau() * l,
                           b->getPositionYTraceCycle() + haut / 2 -
                               vue->getPositionVertical() * haut);
            if (b->getPc() >= 0 && l > 0 && haut > 0 && surface.contains(p))
                candidats.append(p);
        }
    }
    if (candidats.isEmpty())
        return {QPoint(auHasard(rng, surface.width()), auHasard(rng, surface.height())), false};
    return {candidats.at(auHasard(rng, int(candidats.size()))), true};
}

// One action of the user, drawn at random; what it was.
QString agir(Viewer &h, QRandomGenerator &rng)
{
    TraceWidget *vues[] = {h.vueCycle(), h.vuePc()};
    const int tirage = auHasard(rng, 100);
    if (tirage < 30) { // the cycle view's bar dragged more often, far one time in five
        QScrollBar *bar = vues[tirage / 22]->getHorizontalScrollBar();
        const bool loin = auHasard(rng, 5) == 0;
        bar->setSliderDown(true);
        for (int pas = auHasard(rng, 3); pas >= 0; --pas) {
            const int etendue = bar->maximum() - bar->minimum();
            bar->setSliderPosition(loin || etendue <= 0
                                       ? bar->minimum() + auHasard(rng, etendue + 1)
                                       : bar->sliderPosition() + auHasard(rng, 121) - 60);
            QCoreApplication::processEvents();
        }
        bar->setSliderDown(false);
        return QString::asprintf("drag view %d%s", tirage / 22, loin ? " far" : "");
    }
    if (tirage < 54) { // arrows and pages: horizontal bars, the cycle view's more, or vertical
        static const QAbstractSlider::SliderAction actions[] = {
            QAbstractSlider::SliderSingleStepAdd, QAbstractSlider::SliderSingleStepSub,
            QAbstractSlider::SliderPageStepAdd, QAbstractSlider::SliderPageStepSub};
        const int vue = tirage < 42 ? 0 : tirage < 50 ? 1 : auHasard(rng, 2);
        QScrollBar *bar =
            tirage < 50 ? vues[vue]->getHorizontalScrollBar() : vues[vue]->getVerticalScrollBar();
        const auto action = actions[auHasard(rng, 4)];
        const int n = 1 + auHasard(rng, 4);
        for (int i = 0; i < n; ++i)
            bar->triggerAction(action);
        return QString::asprintf("bar action %d x%d on view %d (%d)", action, n, vue, tirage);
    }
    if (tirage < 57) {
        static const Qt::Key touches[] = {Qt::Key_Home, Qt::Key_End, Qt::Key_PageUp,
                                          Qt::Key_PageDown, Qt::Key_Left};
        const Qt::Key touche = touches[auHasard(rng, 5)];
        QTest::keyClick(vues[0], touche);
        return QString::asprintf("key %x in the cycle view", touche);
    }
    if (tirage < 60) { // the search runs beside the reads, and may still run at the next action
        const bool suivant = auHasard(rng, 2);
        QTest::keyClick(h.mainFrame, Qt::Key_F3, suivant ? Qt::NoModifier : Qt::ShiftModifier);
        return suivant ? QStringLiteral("F3") : QStringLiteral("Shift+F3");
    }
    if (tirage < 66) {
        (h.mainFrame->*(auHasard(rng, 2) ? &MainFrame::nextZoom : &MainFrame::prevZoom))();
        return QString::asprintf("zoom %d", tirage);
    }
    if (tirage < 78) {
        const auto [point, surBloc] = pointSurBloc(h, rng);
        QTest::mouseClick(vues[0]->getGraphicBlockWidget(), Qt::LeftButton, {}, point);
        return QString::asprintf("left click %d at %d,%d", surBloc, point.x(), point.y());
    }
    if (tirage < 86) {
        QWidget *surface = vues[auHasard(rng, 2)]->getGraphicBlockWidget();
        const QPoint point(auHasard(rng, surface->width()), auHasard(rng, surface->height()));
        QTest::mousePress(surface, Qt::RightButton, {}, point);
        QCoreApplication::processEvents();
        QTest::mouseRelease(surface, Qt::RightButton, {}, point);
        return QStringLiteral("right press on ") + surface->parent()->objectName();
    }
    if (tirage < 91) {
        emit h.mainFrame->demarrer();
        return QStringLiteral("Execute");
    }
    if (tirage < 96) {
        // Nb Cycle Total; Nb Pc by File again; Nb Cycles by File twice as long (each file then
        // holds half of its slice) or back.
        const int quoi = auHasard(rng, 3);
        const int n = quoi == 0   ? 1000 + auHasard(rng, nbFichiers * cyclesParFichier)
                      : quoi == 1 ? h.options.nbPcParAsm
                                  : h.options.nbCycleParTrace * (1 + auHasard(rng, 2));
        static void (MainFrame::*const signaux[])(int) = {&MainFrame::nbCycleTotalChanged,
                                                          &MainFrame::nbPcByAsmChanged,
                                                          &MainFrame::nbCycleByFileChanged};
        (h.mainFrame->*signaux[quoi])(n);
        return QString::asprintf("parameter %d set to %d", quoi, n);
    }
    const QSize taille(560 + auHasard(rng, 400), 400 + auHasard(rng, 300));
    h.mainFrame->resize(taille);
    return QString::asprintf("resize to %dx%d", taille.width(), taille.height());
}

} // namespace

class TestStress : public QObject
{
    Q_OBJECT

private slots:
    void scenario()
    {
        TraceGeneratorOptions options;
        options.seed = 20261206;
        options.nbCycleParTrace = cyclesParFichier;
        options.nbCycleTotal = nbFichiers * cyclesParFichier;
        options.nbEventKinds = 8;
        options.fetchWidth = 1;
        options.robSize = 8;
        Viewer h(options);
        QVERIFY2(h.ok(), qPrintable(h.error));
        h.ouvrir();
        QVERIFY(h.executer());
        QVERIFY2(h.invariants(true).isEmpty(), qPrintable(h.invariants(true)));

        QRandomGenerator rng(quint32(qEnvironmentVariableIntValue("ZELVAR_STRESS_SEED")) + 7u);
        for (int numero = 0; numero < 1500; ++numero) {
            const QString action = QString::number(numero) + QStringLiteral(": ") + agir(h, rng);
            QCoreApplication::processEvents();
            // Paint both views now, from whatever the store holds at this moment.
            h.vueCycle()->getGraphicBlockWidget()->repaint();
            h.vuePc()->getGraphicBlockWidget()->repaint();

            QString panne = h.invariants(false);
            if (panne.isEmpty() && (numero % 16 == 15 || rng.bounded(8u) == 0)) {
                QVERIFY2(h.attendre(30000), qPrintable(action + QStringLiteral(": no rest")));
                panne = h.invariants(true);
            }
            QVERIFY2(panne.isEmpty(), qPrintable(action + QStringLiteral(": ") + panne));
        }
        QVERIFY(h.attendre(30000));
        QVERIFY2(h.invariants(true).isEmpty(), qPrintable(h.invariants(true)));
        // The only boxes a user meets on good data are the zoom ends.
        for (const Viewer::Message &message : h.messages)
            QVERIFY2(message.text.startsWith(QStringLiteral("Vous etes au niveau de zoom")),
                     qPrintable(message.text));
        QVERIFY(!h.lus.filter(QFileInfo(h.options.asmFilePath(0)).path()).isEmpty()); // listings

        // Closing while a load runs: every thread stops and every block goes.
        emit h.mainFrame->demarrer();
        QTRY_VERIFY(h.system->chargementEnCours());
        h.mainFrame->close();
        h.fermer();
        QCOMPARE(GraphicBlock::liveCount(), 0);
    }
};

QTEST_MAIN(TestStress)
#include "tst_stress.moc"
