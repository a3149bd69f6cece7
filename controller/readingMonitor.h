#ifndef READINGMONITOR_H
#define READINGMONITOR_H

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <functional>

class MainFrame;
class ReadScheduler;

// While reads run, a few times a second: shows what they have stored so far (a view is
// repainted when its reads stored more cycles since the last look), and names the files being
// read, with how far the cycle view's own file is, in the status bar. Looked at when reads may
// have started (actualiser(), after the windows moved) or ended; a read stopped halfway ends
// without a word.
class ReadingMonitor : public QObject
{
    Q_OBJECT

public:
    // pcMontre: whether the PC view shows anything a read could add to.
    ReadingMonitor(MainFrame *mainFrame, ReadScheduler &scheduler,
                   std::function<bool()> pcMontre);

    void actualiser();

private:
    QPointer<MainFrame> mainFrame;
    ReadScheduler &scheduler;
    const std::function<bool()> pcMontre;
    QTimer minuterie;
    QStringList montres;
    qint64 cyclesMontres = -1;
    qint64 cyclesMontresPc = -1;
};

#endif
