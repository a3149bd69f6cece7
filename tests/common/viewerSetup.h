#ifndef VIEWERSETUP_H
#define VIEWERSETUP_H

#include "controller/system.h"
#include "dialogs/messageBox.h"
#include "tools/traceGenerator/traceGenerator.h"

#include <QList>
#include <QString>
#include <QTemporaryDir>

#include <memory>

class MainFrame;
class QObject;

// The viewer as a user meets it: a working directory of its own (made current) holding a
// generated data set and, unless told otherwise, a "Parametres.txt" pointing at it; the real
// main window (offscreen) and the controller once creer() is called. Every message box is
// caught instead of shown, in recus.
class ViewerSetup
{
public:
    struct Message
    {
        MessageBox::Kind kind;
        QString title;
        QString text;
    };

    explicit ViewerSetup(const TraceGeneratorOptions &options, bool writeParametres = true);
    ~ViewerSetup();
    ViewerSetup(const ViewerSetup &) = delete;
    ViewerSetup &operator=(const ViewerSetup &) = delete;

    bool ok() const { return error.isEmpty(); }
    // Creates the main window (640 x 480), with eventFilter installed when given, and the
    // controller.
    void creer(QObject *eventFilter = nullptr);
    // Closes the window (the controller saves and stops), then deletes both.
    void fermer();
    // Waits for every read and load phase to end, then for what the last end step posted.
    bool attendre(int timeoutMs);
    // The parameters that point at the data set; written for the controller to read.
    Parametres parametresDuJeu() const;
    bool ecrireParametres(const Parametres &p);
    // Blocks referenced by the store.
    int blocsStore() const;

    QString error;
    TraceGeneratorOptions options;
    QTemporaryDir dir;
    MainFrame *mainFrame = nullptr;
    std::unique_ptr<System> system;
    QList<Message> recus;

private:
    QString ancienDossier;
    MessageBox::Handler ancienHandler;
};

#endif
