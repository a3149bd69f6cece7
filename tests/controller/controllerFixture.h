#ifndef CONTROLLERFIXTURE_H
#define CONTROLLERFIXTURE_H

#include "viewerSetup.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QString>

#include <functional>
#include <memory>

class GraphicBlock;
class MainFrame;
class QScrollBar;

// Records the identity numbers of the controller's events in the order the main window
// receives them.
class EventRecorder : public QObject
{
    Q_OBJECT

public:
    QList<int> ids;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

// The viewer on a data set of its own (see ViewerSetup), with the controller's events to the
// main window recorded in order.
class ControllerFixture : public ViewerSetup
{
public:
    explicit ControllerFixture(const TraceGeneratorOptions &options = TraceGeneratorOptions(),
                               bool writeParametres = true)
        : ViewerSetup(options, writeParametres)
    {}
    ~ControllerFixture() { fermer(); }

    void creer() { ViewerSetup::creer(&recorder); }
    bool attendre(int timeoutMs = 20000) { return ViewerSetup::attendre(timeoutMs); }
    // Creates if needed, presses "Execute", then "Zoom +" zoomIns times, waiting each time;
    // false with error set if anything failed.
    bool demarrer(int zoomIns = 0);
    // Moves the cycle view's slider as a user would and waits for the read.
    bool glisser(int cycle);
    QScrollBar *barreCycle() const; // the cycle view's horizontal slider

    QString traceFile(int numero) const { return options.traceFilePath(numero); }
    QString zoomFile(int numero) const { return options.zoomFilePath(10, numero); }
    QString asmFile(int numero) const { return options.asmFilePath(numero); }
    // Names as the controller builds them: trace files at level 1, else zoom files.
    QStringList noms(const QList<int> &numeros, int niveau) const;
    // Files read since the first n.
    QStringList lusDepuis(int n) const { return system->getFichiersLus().mid(n); }
    int lus() const { return int(system->getFichiersLus().size()); }

    // The cycle view's window: first and last cycle, previous and next file loaded.
    QList<int> fenetre() const;
    // The file numbers of the cycles held by the store's cycle table / PC table.
    QSet<int> fichiersCycle() const;
    QSet<int> fichiersPc() const;
    // Under the store's lock: the first block of the PC table (else the cycle table) that
    // fails ok, described; empty when all pass.
    QString blocFautif(bool tabPc,
                       const std::function<bool(int key, const GraphicBlock &)> &ok) const;
    // No block lives outside the store (the blocks of dropped files were freed).
    bool aucuneFuite() const;
    // Texts of the boxes shown: "error" alerts, "information" notices.
    QList<QString> alertes() const { return textes(MessageBox::Kind::Alert); }
    QList<QString> informations() const { return textes(MessageBox::Kind::Information); }

    EventRecorder recorder;

private:
    QList<QString> textes(MessageBox::Kind kind) const;
};

// A data set large enough that its reads are still running when a test acts.
TraceGeneratorOptions grandJeu();

#endif
