#ifndef VIEWERHARNESS_H
#define VIEWERHARNESS_H

#include "viewerSetup.h"

#include <QSet>
#include <QString>
#include <QStringList>

class MainFrame;
class TraceWidgetCycle;
class TraceWidgetPc;

// The viewer on a data set of its own (see ViewerSetup), with the checks the reliability tests
// make after each action.
class ViewerHarness : public ViewerSetup
{
public:
    explicit ViewerHarness(const TraceGeneratorOptions &options = TraceGeneratorOptions())
        : ViewerSetup(options)
    {}

    bool attendre(int timeoutMs = 30000) { return ViewerSetup::attendre(timeoutMs); }
    // Executes and waits.
    bool executer();

    TraceWidgetCycle *vueCycle() const;
    TraceWidgetPc *vuePc() const;

    // The first broken rule of the store and the controller's window of files, or an empty
    // string. `auRepos` adds what only holds once no read runs.
    QString invariants(bool auRepos) const;
    // The controller's window of files and its bounds, for failure messages.
    QString etat() const;
    // The file numbers of the cycles the store's cycle table holds.
    QSet<int> fichiersCycle() const;

    // Texts of the error boxes and of all boxes since the last call of oublierMessages().
    QStringList alertes() const;
    QStringList messages() const;
    void oublierMessages() { recus.clear(); }
};

#endif
