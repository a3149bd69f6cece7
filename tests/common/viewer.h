#ifndef VIEWER_H
#define VIEWER_H

#include "controller/parametres.h"
#include "controller/system.h"
#include "dialogs/messageBox.h"
#include "tools/traceGenerator/traceGenerator.h"

#include <QImage>
#include <QList>
#include <QObject>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <map>
#include <memory>

class MainFrame;
class TableAsm;
class TraceWidgetCycle;
class TraceWidgetPc;
class QWidget;

// The whole viewer as a user runs it, for the tests and the benchmark: a working directory of
// its own (made current) holding a generated data set and a "Parametres.txt" pointing at it,
// the real main window (offscreen) and the controller. What the user would meet is recorded:
// every message box (caught instead of shown), the controller's events to the main window in
// the order they arrive, and the files the controller reads, in order (from its log).
class Viewer : public QObject
{
public:
    struct Message
    {
        MessageBox::Kind kind;
        QString title;
        QString text;
    };

    // Generates the data set (the bundled sample's layout unless the options say otherwise)
    // in the working directory; options naming a root directory point at a data set that is
    // there already, such as the bundled sample.
    explicit Viewer(const TraceGeneratorOptions &options = TraceGeneratorOptions(),
                    bool writeParametres = true);
    ~Viewer() override;

    bool ok() const { return error.isEmpty(); }
    // Creates the main window and the controller.
    void ouvrir(QSize taille = QSize(640, 480));
    // Closes the window (the controller saves and stops), then deletes both.
    void fermer();
    // Runs the event loop until no read runs or waits, then handles what the last one posted.
    bool attendre(int timeoutMs = 120000);
    // "Execute", then Zoom + `zoomIns` times, waiting each time.
    bool executer(int zoomIns = 0);
    // Zoom + or Zoom - until the level is reached, waiting for each level's reads.
    bool zoomer(int niveau);
    // The cycle view's zoom level, as its horizontal bar steps.
    int niveau() const;

    // The parameters that point at the data set.
    Parametres parametres() const;

    TraceWidgetCycle *vueCycle() const;
    TraceWidgetPc *vuePc() const;
    TableAsm *table() const;
    // What a widget shows on screen now, without repainting it; and what it would show if it
    // were repainted now. They differ when the picture is stale.
    QImage ecran(QWidget *widget) const;
    QImage rendu(QWidget *widget) const;

    // The number of blocks of each file (by its first cycle) in the store's cycle table or
    // PC table.
    std::map<int, int> blocsParFichier(bool tabPc) const;
    // The first broken rule, or an empty string: every file a view's window calls read has all
    // its blocks in the table that view draws from; each view draws from its bars' positions;
    // and, with `auRepos` (no read running), no other file has blocks there, no window waits
    // for a file nothing reads, and each view shows what it would show if painted now.
    QString invariants(bool auRepos) const;

    QStringList textes(MessageBox::Kind kind) const;
    QStringList alertes() const { return textes(MessageBox::Kind::Alert); }

    QString error;
    TraceGeneratorOptions options;
    TraceGeneratorSummary summary;
    QTemporaryDir dir;
    MainFrame *mainFrame = nullptr;
    std::unique_ptr<System> system;
    QList<Message> messages;
    QList<int> evenements; // identity numbers of the controller's events, as handled
    QStringList lus;       // files read (trace, zoom, listing), as started

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // How many blocks a file gives the cycle table and the PC table, read with the viewer's
    // own parsers.
    std::pair<int, int> attendus(const QString &filename, int numero) const;
    bool memeImage(class TraceWidget *vue) const;

    mutable std::map<QString, std::pair<int, int>> comptes;
    QString ancienDossier;
    MessageBox::Handler ancienHandler;
};

#endif
