#ifndef VIEWERHARNESS_H
#define VIEWERHARNESS_H

#include "controller/system.h"
#include "dialogs/messageBox.h"
#include "tools/traceGenerator/traceGenerator.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QTemporaryDir>

#include <memory>

class MainFrame;
class TraceWidgetCycle;
class TraceWidgetPc;

// The whole viewer as a user meets it: a working directory of its own (made current) holding
// a generated data set and a "Parametres.txt" pointing at it, the real main window
// (offscreen) and the controller. Every message box is caught instead of shown.
class ViewerHarness
{
public:
    explicit ViewerHarness(const TraceGeneratorOptions &options = TraceGeneratorOptions());
    ~ViewerHarness();

    bool ok() const { return error.isEmpty(); }
    // Creates the main window (640 x 480) and the controller.
    void creer();
    // Closes the window (the controller saves and stops), then deletes both.
    void fermer();
    // Waits for every read and load phase to end.
    bool attendre(int timeoutMs = 30000);
    // Executes and waits.
    bool executer();
    // Writes the parameters the controller reads at creation.
    bool ecrireParametres(const Parametres &p);
    Parametres parametresDuJeu() const;

    TraceWidgetCycle *vueCycle() const;
    TraceWidgetPc *vuePc() const;

    // The first broken rule of the store and the controller's window of files, or an empty
    // string. `auRepos` adds what only holds once no read runs.
    QString invariants(bool auRepos) const;
    // The controller's window of files and its bounds, for failure messages.
    QString etat() const;
    // Blocks referenced by the store.
    int blocsStore() const;
    // The file numbers of the cycles the store's cycle table holds.
    QSet<int> fichiersCycle() const;

    // Texts of the error boxes and of all boxes since the last call of oublierMessages().
    QStringList alertes() const;
    QStringList messages() const;
    void oublierMessages() { recus.clear(); }

    QString error;
    TraceGeneratorOptions options;
    QTemporaryDir dir;
    MainFrame *mainFrame = nullptr;
    std::unique_ptr<System> system;

private:
    QString ancienDossier;
    QList<std::pair<MessageBox::Kind, QString>> recus;
    MessageBox::Handler ancienHandler;
};

#endif
