#ifndef READINGMONITOR_H
#define READINGMONITOR_H

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

class MainFrame;
class ReadScheduler;

// Tells the main window which files the views' windows are reading, so that the status bar
// names them while they are read. Looked at when reads may have started (actualiser(), after
// the windows moved) or ended, and, while some run, a few times a second: a read stopped
// halfway ends without a word.
class ReadingMonitor : public QObject
{
    Q_OBJECT

public:
    ReadingMonitor(MainFrame *mainFrame, const ReadScheduler &scheduler);

    void actualiser();

private:
    QPointer<MainFrame> mainFrame;
    const ReadScheduler &scheduler;
    QTimer minuterie;
    QStringList montres;
};

#endif
