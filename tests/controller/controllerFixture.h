#ifndef CONTROLLERFIXTURE_H
#define CONTROLLERFIXTURE_H

#include "controller/system.h"
#include "dialogs/messageBox.h"
#include "tools/traceGenerator/traceGenerator.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTemporaryDir>

#include <memory>

class MainFrame;

// One event posted to the main window, as the main window received it.
struct PostedEvent
{
    int id = 0;      // the event's identity number (350000 ... 380000)
    QString message; // for the two message events
};

// Records, in delivery order, the controller's events reaching the main window.
class EventRecorder : public QObject
{
    Q_OBJECT

public:
    QList<PostedEvent> events;
    QList<int> ids() const;
    QList<int> idsFrom(int first) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

// A working directory of its own holding a generated data set and a "Parametres.txt" that
// points at it, the real main window (offscreen) and the controller.
class ControllerFixture
{
public:
    // writeParametres false: the working directory starts empty of parameters.
    explicit ControllerFixture(const TraceGeneratorOptions &options = TraceGeneratorOptions(),
                               bool writeParametres = true);
    ~ControllerFixture();

    bool ok() const { return error.isEmpty(); }
    QString error;

    // Creates the main window (offscreen, 640 x 480) and the controller.
    void creer();
    // Closes the window (the controller saves and stops), then deletes both.
    void fermer();

    QString path(const QString &relative) const;
    QString traceFile(int numero) const { return options.traceFilePath(numero); }
    QString zoomFile(int numero) const { return options.zoomFilePath(10, numero); }
    QString asmFile(int numero) const { return options.asmFilePath(numero); }
    QString traceName(int numero) const;
    QString zoomName(int numero) const;

    // Waits for every read and load phase to end.
    bool attendre(int timeoutMs = 20000);
    // The file numbers present in the store's cycle table (key / nbCycleParTrace).
    QSet<int> fichiersCycle() const;
    // The file numbers of the cycles of the blocks in the store's PC table.
    QSet<int> fichiersPc() const;
    // Distinct blocks referenced by the store.
    int blocsStore() const;

    QList<QString> alertes() const;
    QList<QString> informations() const;

    TraceGeneratorOptions options;
    QTemporaryDir dir;
    QString ancienDossier;
    MainFrame *mainFrame = nullptr;
    std::unique_ptr<System> system;
    EventRecorder recorder;
    struct Message
    {
        MessageBox::Kind kind;
        QString title;
        QString text;
    };
    QList<Message> messages;

private:
    MessageBox::Handler ancienHandler;
};

#endif
