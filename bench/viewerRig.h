#ifndef VIEWERRIG_H
#define VIEWERRIG_H

#include "dialogs/messageBox.h"
#include "tools/traceGenerator/traceGenerator.h"

#include <QSize>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

class MainFrame;
class System;

// The whole viewer as a user runs it: a generated data set in a temporary directory, a
// "Parametres.txt" pointing at it, the main window (offscreen) and the controller. Messages
// the viewer would show in a box are collected instead.
class ViewerRig
{
public:
    ViewerRig();
    ~ViewerRig();
    ViewerRig(const ViewerRig &) = delete;
    ViewerRig &operator=(const ViewerRig &) = delete;

    // Writes the data set; false with error() set when it cannot.
    bool generate(const TraceGeneratorOptions &options);
    // Points the viewer at an existing data set instead (the bundled sample).
    bool useDataSet(const TraceGeneratorOptions &options);
    // Creates the window of the given size and the controller.
    void open(QSize windowSize);
    void close();

    // "Execute": the first view, at the coarsest level, once everything is read.
    bool start();
    // Steps the zoom until the level is reached, waiting for each level's reads.
    bool zoomTo(int level);
    // Runs the event loop until no read or load phase is pending.
    bool waitIdle(int timeoutMs = 120000);

    System &system() const { return *controller; }
    MainFrame &window() const { return *mainFrame; }
    const TraceGeneratorOptions &options() const { return opts; }
    const TraceGeneratorSummary &summary() const { return stats; }
    QString error() const { return failure; }
    const QStringList &messages() const { return texts; }

private:
    bool writeParametres();

    QTemporaryDir dir;
    QString oldDirectory;
    TraceGeneratorOptions opts;
    TraceGeneratorSummary stats;
    QString failure;
    QStringList texts;
    MessageBox::Handler oldHandler;
    MainFrame *mainFrame = nullptr;
    std::unique_ptr<System> controller;
};

#endif
