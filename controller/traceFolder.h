#ifndef TRACEFOLDER_H
#define TRACEFOLDER_H

#include "controller/parametres.h"

#include <QList>
#include <QString>
#include <QStringList>

// What a trace folder holds, found from its files alone: the folder holds the event
// configuration and a folder named after the cycles per file, which holds the trace, zoom and
// assembly folders, as the simulator writes them:
//
//     FOLDER/config.xml   FOLDER/100/trace/trace_0.xml   FOLDER/100/zoom/zoom_10_0.xml
//     FOLDER/100/asm/asm_0.xml
//
// The names of the files and folders are free: each file is known by its root element (a
// zoom file is a trace file whose events carry counts), each prefix by its files' names.
// No widget, no thread: reads the few files it needs on the calling thread.
class TraceFolder
{
public:
    struct Detection
    {
        // The ten parameters; those that could not be found keep their defaults.
        Parametres parametres;
        // The zoom levels the zoom files are written for, ascending, level 1 left out.
        QList<int> niveauxZoom;
        // What the viewer cannot do without and was not found, each saying where it was
        // looked for; empty when the folder can be viewed.
        QStringList manquants;

        bool ok() const { return manquants.isEmpty(); }
        // The one message that says why the folder cannot be viewed.
        QString message() const;
        QString dossier; // absolute
    };

    static Detection detecter(const QString &dossier);
};

#endif
