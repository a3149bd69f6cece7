// Measures the viewer's load, paint, memory and navigation paths against bare baselines run in
// the same process, on data sets the trace generator writes into temporary directories. Every
// figure prints its baseline, the ratio and the absolute numbers; medians of repeated runs,
// because the machine is shared.

#include "benchTools.h"
#include "viewer.h"

#include "controller/budgetMemoire.h"
#include "controller/system.h"
#include "core/graphicBlock.h"
#include "core/graphicTrace.h"
#include "gui/graphicBlockWidget.h"
#include "gui/mainFrame.h"
#include "gui/traceWidgetCycle.h"
#include "gui/traceWidgetPc.h"
#include "parsers/parserTrace.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMainWindow>
#include <QPainter>
#include <QPixmap>
#include <QProcess>
#include <QTimer>

#include <expat.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <set>
#include <utility>

using namespace BenchTools;

namespace {

struct Settings
{
    int repeats = 5;
    int scrollFiles = 10000;
    int frames = 40;
    int hugeCycles = 1100000; // about a gigabyte of trace file
};

// ---------------------------------------------------------------------------------------------
// Baselines

void emptyStart(void *, const char *, const char **) {}
void emptyEnd(void *, const char *) {}
void emptyText(void *, const char *, int) {}

// Expat over the file with handlers that do nothing, read in the parsers' chunk size.
double rawTokenize(const QString &path)
{
    const double t0 = now();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    XML_Parser parser = XML_ParserCreate(nullptr);
    XML_SetElementHandler(parser, emptyStart, emptyEnd);
    XML_SetCharacterDataHandler(parser, emptyText);
    constexpr int chunk = 64 * 1024;
    for (;;) {
        void *buffer = XML_GetBuffer(parser, chunk);
        const qint64 n = file.read(static_cast<char *>(buffer), chunk);
        if (n < 0 || XML_ParseBuffer(parser, int(n), n == 0) == XML_STATUS_ERROR)
            break;
        if (n == 0)
            break;
    }
    XML_ParserFree(parser);
    return now() - t0;
}

QString sizeText(const QString &path)
{
    return QString::number(double(QFileInfo(path).size()) / 1e6, 'f', 1) + QStringLiteral(" MB");
}

void reportMessages(const Viewer &rig)
{
    for (const Viewer::Message &message : rig.messages)
        line(QStringLiteral("viewer message: ") + message.title + QStringLiteral(": ") +
             message.text.left(200));
}

// ---------------------------------------------------------------------------------------------
// 1 and 4: one file of about 100,000 events through the parser thread and the controller

// Prints the viewer's and the baseline's times of a load, taken in pairs, and their ratio
// against the goal: the median of the per-pair ratios, with the ratio of the minimums and the
// spread beside it.
std::pair<Stats, Stats> loadVerdict(int figure, const QString &what,
                                    const std::vector<double> &viewer,
                                    const std::vector<double> &raw, double goal)
{
    const Stats v = stats(viewer);
    const Stats r = stats(raw);
    line(QStringLiteral("viewer (%1): median %2 (min %3, max %4, %5 runs)")
             .arg(what, ms(v.median), ms(v.min), ms(v.max))
             .arg(viewer.size()));
    line(QStringLiteral("baseline (expat, empty handlers), each run just before the viewer's: "
                        "median %1 (min %2, max %3)")
             .arg(ms(r.median), ms(r.min), ms(r.max)));
    const Pairs p = pairs(viewer, raw);
    line(QStringLiteral("per-pair ratios from %1x to %2x; ratio of the minimums %3x")
             .arg(p.lowestRatio, 0, 'f', 2)
             .arg(p.highestRatio, 0, 'f', 2)
             .arg(p.ratioOfMinimums, 0, 'f', 2));
    verdict(figure, QStringLiteral("median of the per-pair ratios"), p.medianRatio, goal);
    return {v, r};
}

void loadFigures(const Settings &settings)
{
    title(QStringLiteral("[1] Load: one trace file through the parser thread and the "
                         "controller into the store"));
    TraceGeneratorOptions options;
    options.nbCycleParTrace = 8400;
    options.nbCycleTotal = 8400;
    Viewer rig(options);
    if (!rig.ok()) {
        line(QStringLiteral("cannot generate: ") + rig.error);
        return;
    }
    const QString tracePath = rig.options.traceFilePath(0);
    line(QStringLiteral("file: %1 cycles, %2 events, %3")
             .arg(options.nbCycleParTrace)
             .arg(rig.summary.events)
             .arg(sizeText(tracePath)));
    rig.ouvrir(QSize(1024, 768));
    if (!rig.executer()) {
        line(QStringLiteral("start failed: ") + rig.error);
        return;
    }
    std::vector<double> viewer;
    std::vector<double> raw;
    std::vector<double> parserOnly;
    for (int i = 0; i < settings.repeats; ++i) {
        {
            ParserTrace bare;
            bare.setInputFilename(tracePath);
            const double t0 = now();
            bare.parse();
            parserOnly.push_back(now() - t0);
        }
        if (!rig.zoomer(10))
            break;
        // The old level's blocks go from the event loop: not in the next pair's times.
        QCoreApplication::processEvents();
        raw.push_back(rawTokenize(tracePath));
        const double t0 = now();
        if (!rig.zoomer(1))
            break;
        viewer.push_back(now() - t0);
    }
    const auto [v, r] =
        loadVerdict(1, QStringLiteral("zoom to level 1 until every read ended"), viewer, raw, 1.5);
    line(QStringLiteral("where it goes: the trace parser alone, nothing connected, on the calling "
                        "thread: median %1")
             .arg(ms(stats(parserOnly).median)));
    line(QStringLiteral("per event: %1 ns viewer, %2 ns baseline")
             .arg(v.median / double(rig.summary.events) * 1e9, 0, 'f', 0)
             .arg(r.median / double(rig.summary.events) * 1e9, 0, 'f', 0));

    title(QStringLiteral("[4] Memory: bytes per loaded block, blocks and both indexes"));
    {
        GraphicTrace &store = rig.system->getGraphicTrace();
        std::set<const GraphicElement *> blocks;
        size_t pcEntries = 0;
        size_t cycleKeys = 0;
        {
            std::lock_guard<std::recursive_mutex> lock(store.mutex());
            cycleKeys = store.getTabCycle().size();
            for (const auto &entry : store.getTabCycle())
                blocks.insert(entry.second.begin(), entry.second.end());
            for (const auto &entry : store.getTabPc()) {
                pcEntries += entry.second.size();
                blocks.insert(entry.second.begin(), entry.second.end());
            }
        }
        // The blocks' own pool maps its memory outside malloc: counted apart.
        const auto inUse = [] { return liveHeapBytes() + std::int64_t(GraphicBlock::poolBytes()); };
        const std::int64_t loaded = inUse();
        store.clear();
        const std::int64_t empty = inUse();
        const double perBlock = blocks.empty() ? 0 : double(loaded - empty) / double(blocks.size());
        line(QStringLiteral("%1 blocks, %2 cycle keys, %3 pc-index entries; memory in use "
                            "(malloc, all arenas) %4 MB loaded, %5 MB emptied")
                 .arg(blocks.size())
                 .arg(cycleKeys)
                 .arg(pcEntries)
                 .arg(double(loaded) / 1e6, 0, 'f', 2)
                 .arg(double(empty) / 1e6, 0, 'f', 2));
        line(QStringLiteral("bytes per block: %1 (goal: 80 bytes); file bytes per block %2")
                 .arg(perBlock, 0, 'f', 1)
                 .arg(blocks.empty() ? 0.0
                                     : double(QFileInfo(tracePath).size()) / double(blocks.size()),
                      0, 'f', 1));
        verdict(4, QStringLiteral("ratio to 80 bytes"), perBlock / 80.0, 1.0);
    }
    reportMessages(rig);
    rig.fermer();
}

void zoomLoadFigure(const Settings &settings)
{
    title(QStringLiteral("[2] Load: one zoom file through the parser thread and the controller "
                         "into the store"));
    TraceGeneratorOptions zoomOptions;
    zoomOptions.nbCycleParTrace = 100000;
    zoomOptions.nbCycleTotal = 100000;
    Viewer zoomRig(zoomOptions);
    if (!zoomRig.ok()) {
        line(QStringLiteral("cannot generate: ") + zoomRig.error);
        return;
    }
    const QString zoomPath = zoomRig.options.zoomFilePath(10, 0);
    std::int64_t zoomEvents = 0;
    {
        QFile file(zoomPath);
        if (file.open(QIODevice::ReadOnly))
            zoomEvents = file.readAll().count("<event>");
    }
    line(QStringLiteral("file: level 10, %1 cycles, %2 events, %3")
             .arg(zoomOptions.nbCycleParTrace)
             .arg(zoomEvents)
             .arg(sizeText(zoomPath)));
    zoomRig.ouvrir(QSize(1024, 768));
    std::vector<double> viewer;
    std::vector<double> raw;
    for (int i = 0; i < settings.repeats; ++i) {
        QCoreApplication::processEvents(); // the previous run's blocks go first
        raw.push_back(rawTokenize(zoomPath));
        const double t0 = now();
        if (!zoomRig.executer())
            break;
        viewer.push_back(now() - t0);
    }
    // What "Execute" costs besides the zoom file: the same start on a one-file data set.
    std::vector<double> fixedPart;
    {
        TraceGeneratorOptions smallOptions;
        smallOptions.nbCycleParTrace = 100;
        smallOptions.nbCycleTotal = 100;
        Viewer smallRig(smallOptions);
        if (smallRig.ok()) {
            smallRig.ouvrir(QSize(1024, 768));
            for (int i = 0; i < settings.repeats; ++i) {
                const double t0 = now();
                if (!smallRig.executer())
                    break;
                fixedPart.push_back(now() - t0);
            }
        }
    }
    loadVerdict(2, QStringLiteral("\"Execute\" until every read ended, configuration included"),
                viewer, raw, 1.5);
    line(QStringLiteral("where it goes: \"Execute\" on a data set of 100 cycles takes median %1")
             .arg(ms(stats(fixedPart).median)));
    reportMessages(zoomRig);
}

// ---------------------------------------------------------------------------------------------
// 3: painting a full 1920 x 1080 view

constexpr int columns = 96;
constexpr int rows = 54;
constexpr int cell = 20;

QBrush rowBrush(int row)
{
    return QBrush(QColor::fromHsv(row * 360 / rows, 200, 230));
}

void paintFigures(const Settings &settings)
{
    title(QStringLiteral("[3] Paint: full repaint of a 1920 x 1080 view, every cell filled "
                         "(%1 x %2 blocks)")
              .arg(columns)
              .arg(rows));
    GraphicTrace store;
    std::vector<QString> names;
    std::vector<QBrush> brushes;
    for (int row = 0; row < rows; ++row) {
        names.push_back(QStringLiteral("event_%1").arg(row));
        brushes.push_back(rowBrush(row));
    }
    for (int cycle = 0; cycle < columns; ++cycle) {
        store.addCycle(cycle);
        for (int row = 0; row < rows; ++row) {
            auto *block = new GraphicBlock(names[row]);
            block->setBrush(brushes[row]);
            block->setCycle(cycle);
            block->setPc(row);
            block->setPositionTraceCycle(cycle * cell, row * cell);
            block->setSizeTraceCycle(cell, cell);
            block->setPositionTracePc(cycle * cell, row * cell);
            block->setSizeTracePc(cell, cell);
            store.addElement(cycle, *block);
            store.addElementTabPc(row, *block);
        }
    }
    const QSize surface(columns * cell, rows * cell);
    const QSize frame = surface + QSize(17, 37);

    TraceWidgetCycle cycleView(nullptr, "benchCycle");
    cycleView.resize(frame);
    cycleView.updateNewSize();
    cycleView.setGraphicTrace(store);
    cycleView.setLargeurBlock(cell);
    cycleView.setHauteurBlock(cell);
    cycleView.setNbBlockHorizontalToPaint(columns + 1);
    cycleView.setNbBlockVerticalToPaint(rows + 1);
    cycleView.setNiveauZoom(1);
    cycleView.setNbConfigEvent(rows);
    cycleView.setNbCycleTotal(columns);
    cycleView.initScrollBar();

    TraceWidgetPc pcView(nullptr, "benchPc");
    pcView.resize(frame);
    pcView.updateNewSize();
    pcView.setGraphicTrace(store);
    pcView.setLargeurBlock(cell);
    pcView.setHauteurBlock(cell);
    pcView.setNbBlockHorizontalToPaint(columns + 1);
    pcView.setNbBlockVerticalToPaint(rows + 1);
    pcView.setNumFirstPcToPaint(0);
    pcView.setNumLastPcToPaint(rows - 1);

    QPixmap target(frame);
    QPixmap bare(frame);
    const QPen outline(QColor(Qt::black), 0);
    // The bare painter at its best: clipped to the surface as a paint event is, and one brush
    // change per row.
    const auto bareFrame = [&] {
        QPainter painter(&bare);
        painter.setClipRect(QRect(QPoint(0, 0), surface));
        painter.fillRect(QRect(QPoint(0, 0), surface), Qt::white);
        painter.setPen(outline);
        for (int row = 0; row < rows; ++row) {
            painter.setBrush(brushes[row]);
            for (int cycle = 0; cycle < columns; ++cycle)
                painter.drawRect(cycle * cell, row * cell, cell, cell);
        }
    };
    const auto timeFrame = [](const auto &paint) {
        const double t0 = now();
        paint();
        return now() - t0;
    };
    std::vector<double> cycleTimes, pcTimes, bareTimes;
    for (int i = 0; i < 5; ++i) { // warm-up: glyph caches, first allocations
        cycleView.render(&target, QPoint(), QRegion(), QWidget::RenderFlags());
        pcView.render(&target, QPoint(), QRegion(), QWidget::RenderFlags());
        bareFrame();
    }
    for (int i = 0; i < settings.frames; ++i) {
        bareTimes.push_back(timeFrame(bareFrame));
        cycleTimes.push_back(timeFrame(
            [&] { cycleView.render(&target, QPoint(), QRegion(), QWidget::RenderFlags()); }));
        pcTimes.push_back(timeFrame(
            [&] { pcView.render(&target, QPoint(), QRegion(), QWidget::RenderFlags()); }));
    }
    std::vector<double> highlightTimes;
    cycleView.displayPcTraceCycle(7); // one row highlighted, as after a click
    for (int i = 0; i < settings.frames; ++i) {
        highlightTimes.push_back(timeFrame(
            [&] { cycleView.render(&target, QPoint(), QRegion(), QWidget::RenderFlags()); }));
    }
    const Stats b = stats(bareTimes);
    const Stats c = stats(cycleTimes);
    const Stats p = stats(pcTimes);
    line(QStringLiteral("baseline (QPainter on a pixmap, clipped, same rectangles, pen and "
                        "brushes, one brush change per row): median %1 per frame")
             .arg(ms(b.median)));
    line(QStringLiteral("cycle view: median %1 per frame (min %2, max %3, %4 frames)")
             .arg(ms(c.median), ms(c.min), ms(c.max))
             .arg(settings.frames));
    verdict(3, QStringLiteral("cycle view ratio"), pairs(cycleTimes, bareTimes).medianRatio, 1.5);
    line(QStringLiteral("cycle view with one row of %1 blocks highlighted (thick outlines, not "
                        "in the baseline): median %2 per frame")
             .arg(columns)
             .arg(ms(stats(highlightTimes).median)));
    line(QStringLiteral("PC view: median %1 per frame (min %2, max %3)")
             .arg(ms(p.median), ms(p.min), ms(p.max)));
    verdict(3, QStringLiteral("PC view ratio"), pairs(pcTimes, bareTimes).medianRatio, 1.5);
}

// ---------------------------------------------------------------------------------------------
// 5: sliding file by file through a long trace and back

void scrollFigure(const Settings &settings)
{
    const int files = settings.scrollFiles;
    title(QStringLiteral("[5] Long scroll: the cycle view slides file by file through %1 "
                         "cycles (%2 files of 100 cycles) to the end and back")
              .arg(qint64(files) * 100)
              .arg(files));
    if (files < 10000)
        line(QStringLiteral("note: shortened run; the full figure uses 10000 files"));
    TraceGeneratorOptions options;
    options.nbCycleParTrace = 100;
    options.nbCycleTotal = files * 100;
    const double g0 = now();
    Viewer rig(options);
    if (!rig.ok()) {
        line(QStringLiteral("cannot generate: ") + rig.error);
        return;
    }
    line(QStringLiteral("data set written in %1 s (%2 events)")
             .arg(now() - g0, 0, 'f', 1)
             .arg(rig.summary.events));
    rig.ouvrir(QSize(1024, 768));
    if (!rig.executer() || !rig.zoomer(1)) {
        line(QStringLiteral("start failed: ") + rig.error);
        return;
    }
    MainFrame &window = *rig.mainFrame;
    std::vector<double> times;
    std::int64_t residentAfter100 = 0;
    std::int64_t residentPeak = 0;
    int slides = 0;
    const auto slide = [&](int v) {
        const double t0 = now();
        emit window.sliderHorizontalMovedTraceCycle(v);
        emit window.sliderHorizontalReleasedTraceCycle(v);
        const bool ok = rig.attendre();
        times.push_back(now() - t0);
        ++slides;
        if (slides == 100) {
            residentAfter100 = residentBytes();
            resetPeakResident();
        } else if (slides > 100) {
            residentPeak = std::max(residentPeak, residentBytes());
        }
        return ok && rig.vueCycle()->getPositionHorizontal() == v;
    };
    bool ok = true;
    for (int file = 1; file < files && ok; ++file)
        ok = slide(file * 100);
    for (int file = files - 2; file >= 0 && ok; --file)
        ok = slide(file * 100);
    if (!ok)
        line(QStringLiteral("the view did not follow at slide %1").arg(slides));
    residentPeak = std::max(residentPeak, peakResidentBytes());
    const Stats s = stats(times);
    line(QStringLiteral("%1 slides: mean %2, median %3, 99th percentile %4, max %5 per slide")
             .arg(slides)
             .arg(ms(s.mean), ms(s.median), ms(s.p99), ms(s.max)));
    line(QStringLiteral("resident memory after 100 files %1 MB (baseline), peak afterwards %2 MB")
             .arg(double(residentAfter100) / 1e6, 0, 'f', 1)
             .arg(double(residentPeak) / 1e6, 0, 'f', 1));
    if (residentAfter100 > 0)
        verdict(5, QStringLiteral("peak / baseline"),
                double(residentPeak) / double(residentAfter100), 1.10);
    reportMessages(rig);
}

// ---------------------------------------------------------------------------------------------
// 6: start-up, in child processes

// The parent and the child compare stamps of the same wall clock.
long long wallMicroseconds()
{
    using namespace std::chrono;
    return duration_cast<microseconds>(system_clock::now().time_since_epoch()).count();
}

int startupChild(const QString &kind, const QString &root)
{
    const auto stamp = [] {
        std::printf("painted %lld\n", wallMicroseconds());
        std::fflush(stdout);
    };
    if (kind == QLatin1String("bare")) {
        QMainWindow window;
        window.resize(640, 480);
        struct PaintWatch : QObject
        {
            std::function<void()> done;
            bool eventFilter(QObject *, QEvent *event) override
            {
                if (event->type() == QEvent::Paint && done) {
                    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
                    done();
                    done = nullptr;
                }
                return false;
            }
        } watch;
        watch.done = stamp;
        window.installEventFilter(&watch);
        window.show();
        return QCoreApplication::exec();
    }
    TraceGeneratorOptions options;
    options.rootDirectory = root;
    options.nbCycleTotal = 500;
    Viewer rig(options);
    if (!rig.ok())
        return 2;
    rig.ouvrir(QSize(640, 480));
    if (!rig.executer() || rig.niveau() != 10)
        return 3;
    if (auto *view = rig.mainFrame->findChild<TraceWidgetCycle *>())
        view->repaint();
    stamp();
    return 0;
}

void startupFigure(const Settings &settings, const QString &self)
{
    title(QStringLiteral("[6] Start-up: process start to the first painted level-10 view on "
                         "the bundled sample traces"));
    const QString root = QStringLiteral(ZELVAR_SOURCE_XML);
    const auto run = [&](const QString &kind) -> double {
        QProcess child;
        const qint64 t0 = wallMicroseconds();
        child.start(self, {QStringLiteral("--startup-child"), kind, root});
        if (!child.waitForFinished(60000) || child.exitCode() != 0)
            return -1;
        const QByteArray out = child.readAllStandardOutput();
        const int at = out.lastIndexOf("painted ");
        if (at < 0)
            return -1;
        const qint64 t1 = out.mid(at + 8).trimmed().toLongLong();
        return double(t1 - t0) / 1e6;
    };
    std::vector<double> viewer, bare;
    for (int i = 0; i < settings.repeats; ++i) {
        const double v = run(QStringLiteral("viewer"));
        const double b = run(QStringLiteral("bare"));
        if (b > 0 && v > 0) {
            bare.push_back(b);
            viewer.push_back(v);
        }
    }
    if (viewer.empty() || bare.empty()) {
        line(QStringLiteral("a child process failed"));
        return;
    }
    const Stats v = stats(viewer);
    const Stats b = stats(bare);
    line(QStringLiteral("baseline (QApplication, empty QMainWindow shown and painted): median %1")
             .arg(ms(b.median)));
    line(QStringLiteral("viewer (\"Execute\" at start, level-10 view painted): median %1 (min "
                        "%2, max %3)")
             .arg(ms(v.median), ms(v.min), ms(v.max)));
    const Pairs p = pairs(viewer, bare);
    line(QStringLiteral("per-pair ratios from %1x to %2x; ratio of the minimums %3x")
             .arg(p.lowestRatio, 0, 'f', 2)
             .arg(p.highestRatio, 0, 'f', 2)
             .arg(p.ratioOfMinimums, 0, 'f', 2));
    verdict(6, QStringLiteral("median of the per-pair ratios"), p.medianRatio, 1.5);
}

// ---------------------------------------------------------------------------------------------
// 7: files of 100,000 cycles

void bigFileFigure(const Settings &settings)
{
    title(QStringLiteral("[7] Files of 100000 cycles: from the slider entering the next file "
                         "to its blocks on screen"));
    TraceGeneratorOptions options;
    options.nbCycleParTrace = 100000;
    options.nbCycleTotal = 300000;
    Viewer rig(options);
    if (!rig.ok()) {
        line(QStringLiteral("cannot generate: ") + rig.error);
        return;
    }
    line(QStringLiteral("3 files, %1 events in all, %2 each")
             .arg(rig.summary.events)
             .arg(sizeText(rig.options.traceFilePath(0))));
    rig.ouvrir(QSize(1024, 768));
    double t0 = now();
    if (!rig.executer() || !rig.zoomer(1)) {
        line(QStringLiteral("start failed: ") + rig.error);
        return;
    }
    line(QStringLiteral("start and zoom to level 1 (file and its neighbour read): %1")
             .arg(ms(now() - t0)));
    MainFrame &window = *rig.mainFrame;
    GraphicTrace &store = rig.system->getGraphicTrace();
    const auto onScreen = [&](int cycle) {
        std::lock_guard<std::recursive_mutex> lock(store.mutex());
        const auto it = store.getTabCycle().find(cycle);
        return it != store.getTabCycle().end() && !it->second.empty();
    };
    std::vector<double> shown[2], settled[2];
    const int repeats = std::max(1, settings.repeats / 2);
    for (int i = 0; i < repeats; ++i) {
        for (int direction = 0; direction < 2; ++direction) {
            const int v = direction == 0 ? 100000 : 99900;
            t0 = now();
            emit window.sliderHorizontalMovedTraceCycle(v);
            emit window.sliderHorizontalReleasedTraceCycle(v);
            // The slide repaints the view before it returns: with the file's blocks in the
            // store by then, they are on screen. Otherwise they come with the read's repaint.
            if (!onScreen(v)) {
                QTimer tick;
                tick.start(5);
                while (!onScreen(v) && now() - t0 < 120)
                    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
                QCoreApplication::processEvents();
            }
            shown[direction].push_back(now() - t0);
            rig.attendre();
            settled[direction].push_back(now() - t0);
        }
    }
    for (int direction = 0; direction < 2; ++direction) {
        const Stats s = stats(shown[direction]);
        verdict(7,
                direction == 0 ? QStringLiteral("forward, on screen / one frame (16 ms)")
                               : QStringLiteral("back, on screen / one frame (16 ms)"),
                s.median / 0.016, 1.0);
        const Stats w = stats(settled[direction]);
        line(QStringLiteral("%1: blocks on screen after median %2 (max %3, %4 slides); every "
                            "read and drop done after median %5 (max %6)")
                 .arg(direction == 0 ? QStringLiteral("forward into cycle 100000")
                                     : QStringLiteral("back into cycle 99900"))
                 .arg(ms(s.median), ms(s.max))
                 .arg(shown[direction].size())
                 .arg(ms(w.median), ms(w.max)));
    }
    reportMessages(rig);
}

// ---------------------------------------------------------------------------------------------
// 8: one trace file of a gigabyte

// Whether the cycle view's surface shows any block (anything but white) on screen now.
bool blocksOnScreen(const Viewer &rig)
{
    const QImage image = rig.ecran(rig.vueCycle()->getGraphicBlockWidget());
    for (int y = 0; y < image.height(); y += 4) {
        const QRgb *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); x += 4) {
            if ((row[x] & 0xffffff) != 0xffffff)
                return true;
        }
    }
    return false;
}

void hugeFileFigure(const Settings &settings)
{
    title(QStringLiteral("[8] One trace file of a gigabyte: zoom to level 1 (the read of the "
                         "file starts), first blocks on screen, the whole file read, memory"));
    TraceGeneratorOptions options;
    options.nbCycleParTrace = settings.hugeCycles;
    options.nbCycleTotal = settings.hugeCycles;
    const double g0 = now();
    Viewer rig(options);
    if (!rig.ok()) {
        line(QStringLiteral("cannot generate: ") + rig.error);
        return;
    }
    const QString tracePath = rig.options.traceFilePath(0);
    line(QStringLiteral("file: %1 cycles, %2 events, %3, written in %4 s")
             .arg(options.nbCycleParTrace)
             .arg(rig.summary.events)
             .arg(sizeText(tracePath))
             .arg(now() - g0, 0, 'f', 1));
    rig.ouvrir(QSize(1024, 768));
    std::vector<double> viewer, raw, shown;
    double peakRatio = 0;
    const int runs = std::max(1, settings.repeats / 2);
    for (int i = 0; i < runs; ++i) {
        if (!rig.executer()) {
            line(QStringLiteral("start failed: ") + rig.error);
            return;
        }
        for (int k = 0; k < 3; ++k)
            QCoreApplication::processEvents(); // the old blocks go from the event loop
        const std::int64_t atRest = residentBytes();
        raw.push_back(rawTokenize(tracePath));
        resetPeakResident();
        const double t0 = now();
        emit rig.mainFrame->nextZoom();
        double first = -1;
        // Woken every 5 ms at most to look at the screen, every 50 ms once the blocks show:
        // the loop must not take a core from the read.
        QTimer tick;
        tick.start(5);
        while (rig.system->chargementEnCours() && now() - t0 < 600) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            if (first < 0 && blocksOnScreen(rig)) {
                first = now() - t0;
                tick.start(50);
            }
        }
        if (!rig.attendre() || rig.niveau() != 1) {
            line(QStringLiteral("the read did not end"));
            return;
        }
        viewer.push_back(now() - t0);
        if (first < 0 && blocksOnScreen(rig))
            first = now() - t0;
        shown.push_back(first < 0 ? 1e9 : first);
        const std::int64_t peak = peakResidentBytes();
        std::int64_t blocks = 0;
        {
            GraphicTrace &store = rig.system->getGraphicTrace();
            std::lock_guard<std::recursive_mutex> lock(store.mutex());
            for (const auto &entry : store.getTabCycle())
                blocks += std::int64_t(entry.second.size());
        }
        const double allowed =
            double(blocks) * double(BudgetMemoire::octetsParBloc) + double(atRest);
        peakRatio = std::max(peakRatio, double(peak) / allowed);
        line(QStringLiteral("run %1: at rest %2 MB; %3 blocks read; peak resident %4 MB, "
                            "allowed %5 MB (blocks x %6 bytes + at rest)")
                 .arg(i + 1)
                 .arg(double(atRest) / 1e6, 0, 'f', 1)
                 .arg(blocks)
                 .arg(double(peak) / 1e6, 0, 'f', 1)
                 .arg(allowed / 1e6, 0, 'f', 1)
                 .arg(BudgetMemoire::octetsParBloc));
    }
    const Stats f = stats(shown);
    line(QStringLiteral("first blocks on screen after median %1 (max %2)")
             .arg(ms(f.median), ms(f.max)));
    verdict(8, QStringLiteral("first blocks on screen / 1 s"), f.median, 1.0);
    loadVerdict(8, QStringLiteral("zoom to level 1 until the file is read"), viewer, raw, 1.5);
    verdict(8, QStringLiteral("peak resident / (blocks x bytes per block + at rest)"), peakRatio,
            1.2);
    reportMessages(rig);
    rig.fermer();
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Zelvar performance benchmark"));
    parser.addHelpOption();
    const QCommandLineOption only(QStringLiteral("only"),
                                  QStringLiteral("Comma-separated figures to run (1-8)."),
                                  QStringLiteral("list"), QStringLiteral("1,2,3,4,5,6,7,8"));
    const QCommandLineOption repeats(QStringLiteral("repeats"),
                                     QStringLiteral("Runs per timed figure (median taken)."),
                                     QStringLiteral("n"), QStringLiteral("5"));
    const QCommandLineOption scrollFiles(QStringLiteral("scroll-files"),
                                         QStringLiteral("Files of 100 cycles for figure 5."),
                                         QStringLiteral("n"), QStringLiteral("10000"));
    const QCommandLineOption startupChildOption(QStringLiteral("startup-child"),
                                                QStringLiteral("Internal: one start-up run."),
                                                QStringLiteral("kind"));
    const QCommandLineOption hugeCycles(QStringLiteral("huge-cycles"),
                                        QStringLiteral("Cycles of the one file of figure 8."),
                                        QStringLiteral("n"), QStringLiteral("1100000"));
    parser.addOptions({only, repeats, scrollFiles, hugeCycles, startupChildOption});
    parser.process(app);
    if (parser.isSet(startupChildOption))
        return startupChild(parser.value(startupChildOption),
                            parser.positionalArguments().value(0));

    Settings settings;
    settings.repeats = std::max(1, parser.value(repeats).toInt());
    settings.scrollFiles = std::max(200, parser.value(scrollFiles).toInt());
    settings.hugeCycles = std::max(1000, parser.value(hugeCycles).toInt());
    const QStringList figures = parser.value(only).split(QLatin1Char(','));
    const auto wanted = [&](const char *n) { return figures.contains(QLatin1String(n)); };

    std::printf("Zelvar benchmark: every figure against its baseline in the same run; times are "
                "medians of %d runs unless stated.\n",
                settings.repeats);
    const double t0 = now();
    if (wanted("1") || wanted("4"))
        loadFigures(settings);
    if (wanted("2"))
        zoomLoadFigure(settings);
    if (wanted("3"))
        paintFigures(settings);
    if (wanted("5"))
        scrollFigure(settings);
    if (wanted("6"))
        startupFigure(settings, QCoreApplication::applicationFilePath());
    if (wanted("7"))
        bigFileFigure(settings);
    if (wanted("8"))
        hugeFileFigure(settings);
    std::printf("\nTotal %.1f s; goals missed: %d\n", now() - t0, missedGoals());
    finalLines();
    return 0;
}
