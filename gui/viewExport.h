#ifndef VIEWEXPORT_H
#define VIEWEXPORT_H

#include <QImage>
#include <QObject>
#include <QRegion>
#include <QString>

class QMainWindow;
class QWidget;
class TableAsm;
class TraceWidget;

// Saves a view as the user sees it, as a PNG or SVG file: the cycle view, or the PC view with
// the assembly table beside it, each with its cycle strip and without its scroll bars, at the
// screen's full resolution. The view is the one the user last pressed a mouse button on, the
// cycle view until then.
class ViewExport : public QObject
{
    Q_OBJECT

public:
    ViewExport(QMainWindow *window, QWidget *mainWidget, TraceWidget *traceWidgetCycle,
               TraceWidget *traceWidgetPc, TableAsm *tableAsm);

    bool pcChoisie() const { return pc; }
    // The chosen view's picture.
    QImage image() const;
    // Writes the picture, as SVG when the name ends in ".svg", else as PNG; the file is
    // replaced whole or not at all. On failure, erreur names the file and the reason.
    bool exporter(const QString &fichier, QString *erreur) const;

public slots:
    // Asks where to save, then saves; says so in the status bar, or in a message on failure.
    void exporterVue();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The chosen view's part of `source`, in source's coordinates.
    QRegion zone(QWidget **source) const;

    QMainWindow *window;
    QWidget *mainWidget;
    TraceWidget *traceWidgetCycle;
    TraceWidget *traceWidgetPc;
    TableAsm *tableAsm;
    bool pc = false;
};

#endif
