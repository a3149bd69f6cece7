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

// Records the identity numbers (350000 ... 380000) of the controller's events as the main
// window receives them, in delivery order.
class EventRecorder : public QObject
{
    Q_OBJECT

public:
    QList<int> ids;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

// A working directory of its own holding a generated data set and a "Parametres.txt" that
// points at it (unless writeParametres is false), the real main window (offscreen) and the
// controller. The message boxes are caught.
class ControllerFixture
{
public:
    explicit ControllerFixture(const TraceGeneratorOptions &options = TraceGeneratorOptions(),
                               bool writeParametres = true);
    ~ControllerFixture();

    bool ok() const { return error.isEmpty(); }
    // Creates the main window (640 x 480) and the controller.
    void creer();
    // Closes the window (the controller saves and stops), then deletes both.
    void fermer();
    // Waits for every read and load phase to end.
    bool attendre(int timeoutMs = 20000);

    QString traceFile(int numero) const { return options.traceFilePath(numero); }
    QString zoomFile(int numero) const { return options.zoomFilePath(10, numero); }
    QString asmFile(int numero) const { return options.asmFilePath(numero); }
    QString traceName(int numero) const;
    QString zoomName(int numero) const;

    // The file numbers of the cycles held by the store's cycle table / PC table.
    QSet<int> fichiersCycle() const;
    QSet<int> fichiersPc() const;
    // Distinct blocks referenced by the store.
    int blocsStore() const;
    // Texts of the boxes shown: "error" alerts, "information" notices.
    QList<QString> alertes() const { return textes(MessageBox::Kind::Alert); }
    QList<QString> informations() const { return textes(MessageBox::Kind::Information); }

    QString error;
    TraceGeneratorOptions options;
    QTemporaryDir dir;
    QString ancienDossier;
    MainFrame *mainFrame = nullptr;
    std::unique_ptr<System> system;
    EventRecorder recorder;
    QList<std::pair<MessageBox::Kind, QString>> messages;

private:
    QList<QString> textes(MessageBox::Kind kind) const;
    MessageBox::Handler ancienHandler;
};

#endif
