#include "gui/viewExport.h"

#include "dialogs/fileChooser.h"
#include "dialogs/messageBox.h"
#include "gui/graphicBlockWidget.h"
#include "gui/tableAsm.h"
#include "gui/traceWidget.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QMainWindow>
#include <QPainter>
#include <QSaveFile>
#include <QSettings>
#include <QStatusBar>
#include <QSvgGenerator>

ViewExport::ViewExport(QMainWindow *window, QWidget *mainWidget, TraceWidget *traceWidgetCycle,
                       TraceWidget *traceWidgetPc, TableAsm *tableAsm)
    : QObject(window), window(window), mainWidget(mainWidget), traceWidgetCycle(traceWidgetCycle),
      traceWidgetPc(traceWidgetPc), tableAsm(tableAsm)
{
    for (QWidget *surface :
         {static_cast<QWidget *>(traceWidgetCycle->getGraphicBlockWidget()),
          static_cast<QWidget *>(traceWidgetPc->getGraphicBlockWidget()), tableAsm->viewport()})
        surface->installEventFilter(this);
}

bool ViewExport::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress)
        pc = watched != traceWidgetCycle->getGraphicBlockWidget();
    return QObject::eventFilter(watched, event);
}

// The drawing surface of a view and the strip above it (as far as the surface reaches: the
// vertical bar covers the rest); with the PC view, the table too, in the main widget's
// coordinates.
QRegion ViewExport::zone(QWidget **source) const
{
    TraceWidget *vue = pc ? traceWidgetPc : traceWidgetCycle;
    const QRect surface = vue->getGraphicBlockWidget()->geometry();
    const QRegion region(QRect(QPoint(surface.left(), 0), surface.bottomRight()));
    if (!pc) {
        *source = vue;
        return region;
    }
    *source = mainWidget;
    return region.translated(vue->pos()) + tableAsm->geometry();
}

QImage ViewExport::image() const
{
    QWidget *source = nullptr;
    const QRegion region = zone(&source);
    const qreal dpr = window->devicePixelRatioF();
    QImage image(region.boundingRect().size() * dpr, QImage::Format_RGB32);
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::white);
    source->render(&image, QPoint(), region);
    return image;
}

bool ViewExport::exporter(const QString &fichier, QString *erreur) const
{
    QSaveFile file(fichier);
    bool ok = file.open(QIODevice::WriteOnly);
    if (ok && fichier.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive)) {
        QWidget *source = nullptr;
        const QRegion region = zone(&source);
        QSvgGenerator svg;
        svg.setOutputDevice(&file);
        svg.setSize(region.boundingRect().size());
        svg.setViewBox(QRect(QPoint(), region.boundingRect().size()));
        svg.setTitle(window->windowTitle());
        QPainter painter(&svg);
        source->render(&painter, QPoint(), region);
        ok = painter.end();
    } else if (ok) {
        ok = image().save(&file, "PNG");
    }
    ok = ok && file.commit();
    if (!ok && erreur)
        *erreur =
            QStringLiteral("Cannot write ") + fichier + QStringLiteral(": ") + file.errorString();
    return ok;
}

void ViewExport::exporterVue()
{
    QSettings reglages(QStringLiteral("Zelvar"), QStringLiteral("Zelvar"));
    const QString dossier =
        reglages.value(QStringLiteral("exportDirectory"), QDir::currentPath()).toString();
    FileChooser::Request request;
    request.kind = FileChooser::Kind::SaveFile;
    request.parent = window;
    request.caption = pc ? QStringLiteral("Export PC View as Image")
                         : QStringLiteral("Export Cycle View as Image");
    request.directory =
        dossier + (pc ? QStringLiteral("/pc-view.png") : QStringLiteral("/cycle-view.png"));
    request.filter = QStringLiteral("PNG image (*.png);;SVG image (*.svg)");
    request.objectName = QStringLiteral("exportViewDialog");
    QString fichier = FileChooser::choose(request);
    if (fichier.isEmpty())
        return;
    if (QFileInfo(fichier).suffix().isEmpty())
        fichier += QStringLiteral(".png");
    QString erreur;
    if (!exporter(fichier, &erreur)) {
        MessageBox::show(window, MessageBox::Kind::Alert, QStringLiteral("error"), erreur);
        return;
    }
    reglages.setValue(QStringLiteral("exportDirectory"), QFileInfo(fichier).absolutePath());
    window->statusBar()->showMessage(QStringLiteral("Exported ") + fichier, 5000);
}
