#include "viewer.h"

#include "core/graphicBlock.h"
#include "core/graphicTrace.h"
#include "dialogs/fileChooser.h"
#include "dialogs/inputChooser.h"
#include "dialogs/legendDialog.h"
#include "dialogs/parametersDialog.h"
#include "gui/customEvents.h"
#include "gui/graphicBlockWidget.h"
#include "gui/mainFrame.h"
#include "gui/popupInfo.h"
#include "gui/tableAsm.h"
#include "gui/traceWidgetCycle.h"
#include "gui/traceWidgetPc.h"
#include "paintCounter.h"

#include <QDialogButtonBox>
#include <QMenuBar>
#include <QMetaMethod>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QSignalSpy>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

#include <memory>

// The main window's wiring, through the real window on the generated sample at level 1 with
// the controller cut off: each user action (tool button, menu item, the parameters dialog's
// signals, the controller's posted events, the views' bars and presses) must make the window
// emit the controller's signal with its values, repaint the views it names, and show what the
// user then sees.
class TestMainFrame : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void wiring_data();
    void wiring();
    void stripFollowsTheLevel_data();
    void stripFollowsTheLevel();
    void tableAndPcViewStayLevel_data();
    void tableAndPcViewStayLevel();
    void quitClosesTheWindow();

private:
    void jouer(const QString &pas);
    QString observer(const QString &quoi);
    TraceWidget *vue(QChar c) const
    {
        return c == QLatin1Char('p') ? static_cast<TraceWidget *>(v->vuePc()) : v->vueCycle();
    }

    QTemporaryDir reglages;
    std::unique_ptr<Viewer> v;
    QStringList reponses; // what the user types into the next questions
};

namespace {

QAction *action(MainFrame *m, const QString &chemin)
{
    const QStringList parts = chemin.split(QLatin1Char('/'));
    for (QAction *menu : m->menuBar()->actions()) {
        for (QAction *item : menu->menu() ? menu->menu()->actions() : QList<QAction *>()) {
            if (menu->text() == parts[0] && item->text() == parts.value(1))
                return item;
        }
    }
    return nullptr;
}

QPoint point(const QString &texte)
{
    const QStringList xy = texte.split(QLatin1Char(','));
    return QPoint(xy.value(0).toInt(), xy.value(1).toInt());
}

} // namespace

void TestMainFrame::initTestCase()
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, reglages.path());
    InputChooser::setHandler([this](const InputChooser::Request &) -> std::optional<QString> {
        if (reponses.isEmpty())
            return std::nullopt;
        return reponses.takeFirst();
    });
    FileChooser::setHandler([](const FileChooser::Request &) { return QStringLiteral("/d/t"); });
    v = std::make_unique<Viewer>();
    QVERIFY2(v->executer(1), qPrintable(v->error));
    emit v->mainFrame->displayPcTracePc(0, 0); // the PC view shows the first listing
    QVERIFY(v->attendre());
    // From here on the window's requests go nowhere: what leaves it is what is checked.
    const QMetaObject &mo = MainFrame::staticMetaObject;
    for (int i = mo.methodOffset(); i < mo.methodCount(); ++i) {
        if (mo.method(i).methodType() == QMetaMethod::Signal)
            QObject::disconnect(v->mainFrame, mo.method(i), nullptr, QMetaMethod());
    }
}

void TestMainFrame::cleanupTestCase()
{
    v.reset();
}

// One step: tool<name> a tool button, menu<path> a menu item, close<menu>[esc] a menu
// opened then closed by a click elsewhere or Escape, dialog<signal>=<value> the parameters
// dialog's signal, ok the parameters dialog's OK, post<event>[=<values>] an event as the
// controller posts it, press<c|p><x,y> / release / click a right press, its release, a left
// click on a view's surface, row<n> a click on a row of the table, bar<c|p><h|v><+|-|>n> an
// arrow of a view's bar (or a drag to n), ask<text> the answer to the next question, names
// Event Names, resize.
void TestMainFrame::jouer(const QString &pas)
{
    MainFrame *m = v->mainFrame;
    const auto arg = [&pas](const char *op) { return pas.mid(int(qstrlen(op))); };
    if (pas.startsWith(QLatin1String("tool"))) {
        auto *button = m->findChild<QToolBar *>()->findChild<QToolButton *>(
            arg("tool").replace(QLatin1Char('_'), QLatin1Char(' ')));
        QVERIFY2(button, qPrintable(pas));
        QTest::mouseClick(button, Qt::LeftButton);
    } else if (pas.startsWith(QLatin1String("menu"))) {
        QAction *item = action(m, arg("menu").replace(QLatin1Char('_'), QLatin1Char(' ')));
        QVERIFY2(item, qPrintable(pas));
        item->trigger();
    } else if (pas.startsWith(QLatin1String("close"))) {
        auto *menu = m->findChild<QMenu *>(arg("close").remove(QLatin1String("esc")));
        menu->popup(m->mapToGlobal(QPoint(20, 40)));
        QVERIFY(QTest::qWaitForWindowExposed(menu));
        if (pas.endsWith(QLatin1String("esc")))
            QTest::keyClick(menu, Qt::Key_Escape);
        else
            QTest::mouseClick(menu, Qt::LeftButton, {},
                              QPoint(menu->width() + 50, menu->height() + 50));
        QTRY_VERIFY(menu->isHidden());
    } else if (pas.startsWith(QLatin1String("dialog"))) {
        const QStringList s = arg("dialog").split(QLatin1Char('='));
        auto *d = m->findChild<ParametersDialog *>();
        if (s[0].startsWith(QLatin1String("nb")))
            QMetaObject::invokeMethod(d, qPrintable(s[0]), Q_ARG(int, s[1].toInt()));
        else
            QMetaObject::invokeMethod(d, qPrintable(s[0]), Q_ARG(QString, s[1]));
    } else if (pas == QLatin1String("ok")) {
        QTimer::singleShot(0, m, [m] {
            auto *d = m->findChild<ParametersDialog *>();
            d->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
        });
        m->findChild<QToolBar *>()->findChild<QToolButton *>("Parameters")->click();
    } else if (pas.startsWith(QLatin1String("post"))) {
        const QStringList s = arg("post").split(QLatin1Char('='));
        const QStringList a = s.value(1).split(QLatin1Char(','));
        const QString &e = s[0];
        QEvent *event = e == QLatin1String("cycle")  ? new MainFrameRepaintTraceCycleEvent
                        : e == QLatin1String("pc")   ? new MainFrameRepaintTracePcEvent
                        : e == QLatin1String("adjust") ? new MainFrameAdjustAsm
                        : e == QLatin1String("alert")  ? new MainFrameMessageAlertEvent(a[0])
                        : e == QLatin1String("info")   ? new MainFrameMessageInfoEvent(a[0])
                        : e == QLatin1String("setPc")  ? new TableAsmSetPcEvent(a[0].toInt(), a[1])
                        : e == QLatin1String("mnemonic")
                            ? new TableAsmSetMnemonicEvent(a[0].toInt(), a[1])
                        : e == QLatin1String("value")
                            ? new TableAsmSetValueEvent(a[0].toInt(), a[1].toInt(), a[2])
                            : new QEvent(QEvent::Type(a[0].toInt())); // not ours: ignored
        QCoreApplication::postEvent(m, event);
        QCoreApplication::sendPostedEvents(m);
    } else if (pas.startsWith(QLatin1String("press")) || pas.startsWith(QLatin1String("release")) ||
               pas.startsWith(QLatin1String("click"))) {
        const qsizetype i = pas.indexOf(QRegularExpression(QStringLiteral("[cp]\\d")));
        QWidget *s = vue(pas.at(i))->getGraphicBlockWidget();
        const QPoint at = point(pas.mid(i + 1));
        if (pas.startsWith(QLatin1String("press")))
            QTest::mousePress(s, Qt::RightButton, {}, at);
        else if (pas.startsWith(QLatin1String("release")))
            QTest::mouseRelease(s, Qt::RightButton, {}, at);
        else
            QTest::mouseClick(s, Qt::LeftButton, {}, at);
    } else if (pas.startsWith(QLatin1String("row"))) {
        TableAsm *t = v->table();
        const QRect cell = t->visualRect(t->model()->index(arg("row").toInt(), 0));
        QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, cell.center());
    } else if (pas.startsWith(QLatin1String("bar"))) {
        TraceWidget *w = vue(pas.at(3));
        QScrollBar *b =
            pas.at(4) == QLatin1Char('h') ? w->getHorizontalScrollBar() : w->getVerticalScrollBar();
        const QChar how = pas.at(5);
        if (how == QLatin1Char('>')) {
            b->setSliderDown(true);
            b->setSliderPosition(pas.mid(6).toInt());
            b->setSliderDown(false);
        } else {
            const bool end = how == QLatin1Char('+');
            const QPoint far(b->width() - 4, b->height() - 4);
            QTest::mouseClick(b, Qt::LeftButton, {}, end ? far : QPoint(4, 4));
        }
    } else if (pas.startsWith(QLatin1String("ask"))) {
        reponses << arg("ask");
    } else if (pas == QLatin1String("resize")) {
        m->resize(m->size() + QSize(10, 10));
    }
    QCoreApplication::processEvents();
}

// What the user sees: cell<r,c> a cell of the table, msg the messages shown, shown<name> a
// window visible or not, popup<c|p> the popup's text over a view, outlined whether the cycle
// view outlines the highlighted pc's blocks, bar<c|p><h|v> a bar's value.
QString TestMainFrame::observer(const QString &quoi)
{
    if (quoi.startsWith(QLatin1String("cell"))) {
        const QPoint rc = point(quoi.mid(4));
        return v->table()->cellText(rc.x(), rc.y());
    }
    if (quoi == QLatin1String("msg")) {
        QStringList textes;
        for (const Viewer::Message &message : std::as_const(v->messages))
            textes << message.title + QStringLiteral(": ") + message.text.section('\n', 0, 0);
        return textes.join(QLatin1Char('|'));
    }
    if (quoi == QLatin1String("shown")) {
        QStringList visibles;
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (w->isVisible() && w != v->mainFrame && !qobject_cast<QMenu *>(w))
                visibles << w->windowTitle();
        }
        visibles.sort();
        return visibles.join(QLatin1Char('|'));
    }
    if (quoi.startsWith(QLatin1String("popup"))) {
        const PopupInfo *p = vue(quoi.at(5))->getPopupInfo();
        return p->isVisible() ? p->text().replace(QLatin1Char('\n'), QLatin1Char('|')) : QString();
    }
    if (quoi == QLatin1String("outlined")) {
        const QImage image = v->ecran(v->vueCycle());
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixelColor(x, y) == QColor(255, 140, 0))
                    return QStringLiteral("yes");
            }
        }
        return QStringLiteral("no");
    }
    if (quoi == QLatin1String("fitted")) { // the column fits its text, the PC view beside it
        TableAsm *t = v->table();
        const bool fits =
            t->columnWidth(1) >= t->fontMetrics().horizontalAdvance(t->cellText(1, 1));
        return fits && v->vuePc()->x() == t->geometry().right() + 1 ? QStringLiteral("yes")
                                                                     : QStringLiteral("no");
    }
    if (quoi == QLatin1String("menus")) {
        QStringList menus;
        for (QAction *menu : v->mainFrame->menuBar()->actions()) {
            for (QAction *item : menu->menu() ? menu->menu()->actions() : QList<QAction *>())
                menus << menu->text() + QLatin1Char('/') + item->text() + QLatin1Char(' ') +
                             item->shortcut().toString();
        }
        return menus.join(QLatin1Char('|'));
    }
    if (quoi == QLatin1String("tools")) {
        QStringList tools;
        for (QAction *a : v->mainFrame->findChild<QToolBar *>()->actions())
            tools << (a->isSeparator() ? QStringLiteral("|") : a->toolTip());
        return tools.join(QLatin1Char(' '));
    }
    if (quoi.startsWith(QLatin1String("bar"))) {
        const TraceWidget *w = vue(quoi.at(3));
        return QString::number((quoi.at(4) == QLatin1Char('h') ? w->getHorizontalScrollBar()
                                                                : w->getVerticalScrollBar())
                                   ->value());
    }
    return QStringLiteral("?");
}

void TestMainFrame::wiring_data()
{
    QTest::addColumn<QString>("script");       // steps (see jouer); "|" starts what is checked
    QTest::addColumn<QString>("relayed");      // the window's signals, in declaration order
    QTest::addColumn<QString>("repainted");    // c, p, t: the cycle view, PC view, table
    QTest::addColumn<QStringList>("seen");     // what=value (see observer)

    const auto row = [](const char *tag, const char *script, const char *relayed,
                        const char *repainted, const QStringList &seen = {}) {
        QTest::newRow(tag) << script << relayed << repainted << seen;
    };
    // Tool buttons and menu items.
    row("menus and tools", "", "", "",
        {"tools=Execute Parameters | Zoom + Zoom - | Legend",
         "menus=&File/&Start Ctrl+F5|&File/&Parameters Ctrl+F3|&File/ |&File/&Legend Ctrl+F2|"
         "&File/ |&File/&Quit Ctrl+Q|&File/ |&File/&Open Trace Folder… Ctrl+Shift+O|"
         "&File/&Recent Folders |&File/&Export View as Image… Ctrl+Shift+E|&Zoom/Zoom + |"
         "&Zoom/Zoom - |&View/&Event Names |&Go/Go to &Cycle… Ctrl+G|"
         "&Go/&Find Instruction… Ctrl+F|&Go/Find &Next F3|&Go/Find &Previous Shift+F3|&Go/ |"
         "&Go/Clear &Markers Esc|&Help/&Help F1|&Help/ |&Help/&About |&Help/About &Qt "});
    row("Execute", "toolExecute", "demarrer()", "");
    row("Zoom + button", "toolZoom_+", "nextZoom()", "");
    row("Zoom - button", "toolZoom_-", "prevZoom()", "");
    row("Start", "menu&File/&Start", "demarrer()", "");
    row("Zoom + item", "menu&Zoom/Zoom_+", "nextZoom()", "");
    row("Zoom - item", "menu&Zoom/Zoom_-", "prevZoom()", "");
    row("Legend button", "toolLegend", "", "", {"shown=Legend"});
    row("Legend item", "menu&File/&Legend", "", "", {"shown=Legend"});
    row("Help", "menu&Help/&Help", "", "", {"shown=Help Viewer"});
    row("About", "menu&Help/&About", "", "", {"msg=About: Zelvar v1.0"});
    row("About Qt", "menu&Help/About_&Qt", "", "", {"msg=AboutQt: "});
    row("Event Names on and off", "menu&View/&Event_Names menu&View/&Event_Names",
        "sizeChanged() sizeChanged()", "cpt");
    row("Open Trace Folder", "menu&File/&Open_Trace_Folder…", "ouvrirDossierTrace(/d/t)", "");
    // Every menu, closed however, repaints all three (the menu covered them).
    for (const char *menu : {"fileMenu", "zoomMenu", "helpMenu", "viewMenu", "goMenu"}) {
        QTest::addRow("%s closed", menu) << QStringLiteral("close") + menu << "" << "cpt"
                                         << QStringList();
        QTest::addRow("%s escaped", menu) << QStringLiteral("close%1esc").arg(menu) << ""
                                          << "cpt" << QStringList();
    }
    // The parameters dialog: each field relayed under its own name; OK sends them all, then
    // repaints.
    for (const char *field :
         {"configFileChanged=c.xml", "tracePrefixChanged=tp", "traceDirectoryChanged=td",
          "zoomPrefixChanged=zp", "zoomDirectoryChanged=zd", "nbCycleByFileChanged=7",
          "asmPrefixChanged=ap", "asmDirectoryChanged=ad", "nbPcByAsmChanged=9",
          "nbCycleTotalChanged=11"}) {
        const QStringList s = QString::fromLatin1(field).split(QLatin1Char('='));
        QTest::newRow(field) << QStringLiteral("dialog") + field
                             << s[0] + QLatin1Char('(') + s[1] + QLatin1Char(')') << ""
                             << QStringList();
    }
    row("parameters OK", "ok",
        "configFileChanged(D/data/config.xml) tracePrefixChanged(trace) "
        "traceDirectoryChanged(D/data/100/trace) zoomPrefixChanged(zoom) "
        "zoomDirectoryChanged(D/data/100/zoom) nbCycleByFileChanged(100) asmPrefixChanged(asm) "
        "asmDirectoryChanged(D/data/100/asm) nbPcByAsmChanged(100) nbCycleTotalChanged(500)",
        "cpt");
    // The controller's posted events.
    row("repaint the cycle view", "postcycle", "", "c");
    row("repaint the PC view", "postpc", "", "p");
    row("table cells", "postsetPc=1,X postmnemonic=1,Y postvalue=1,2,Z", "", "t",
        {"cell1,0=X", "cell1,1=Y", "cell1,4=Z"});
    row("messages", "postalert=bad postinfo=note", "", "", {"msg=error: bad|information: note"});
    row("the listing's columns fitted", "postmnemonic=1,mmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmm postadjust",
        "sizeChanged()", "pt", {"fitted=yes"});
    // Foreign classes carrying our types.
    QTest::newRow("foreign events")
        << QStringLiteral("post=%1 post=%2")
               .arg(int(TableAsmSetPcEvent::EventType))
               .arg(int(MainFrameMessageAlertEvent::EventType))
        << "" << "" << QStringList{"msg=", "cell0,0=0"};
    // The views: presses, releases, clicks, bars.
    row("popup of the cycle view", "pressc10,10", "", "", {"popupc=Cycle : 0|Event : fetch|Pc : 0"});
    row("its release repaints all", "pressc10,10 | releasec10,10", "", "cpt", {"popupc="});
    row("popup of the PC view", "pressp5,5", "", "", {"popupp=Cycle : 0|Pc : 0|Event : fetch"});
    row("its release repaints all", "pressp5,5 | releasep5,5", "", "cpt", {"popupp="});
    row("click on a block", "clickc10,10", "displayPcTracePc(0,0)", "cpt");
    row("click on a table row", "row3", "", "ct", {"outlined=yes"});
    row("cycle view, next column", "barch+", "nextCycleTraceCycle(1)", "c");
    row("cycle view, drag", "barch>100",
        "sliderHorizontalMovedTraceCycle(100) sliderHorizontalReleasedTraceCycle(100)", "");
    row("cycle view, rows", "barcv+", "", "c");
    row("PC view, next column", "barph+", "nextCycleTracePc(1)", "p");
    row("PC view, drag", "barph>100",
        "sliderHorizontalMovedTracePc(100) sliderHorizontalReleasedTracePc(100)", "");
    row("PC view, rows", "barpv+", "", "pt");
    row("Go to Cycle", "ask250 menu&Go/Go_to_&Cycle…", "nextCycleTraceCycle(250)", "c");
    row("Find Instruction", "ask150 menu&Go/&Find_Instruction…", "displayPcTracePc(150,250)", "c");
    row("Find Next", "menu&Go/Find_&Next", "chercherCycle(3,249,true)", "");
    row("Find Previous", "menu&Go/Find_&Previous", "chercherCycle(3,250,false)", "");
    row("Clear Markers", "menu&Go/Clear_&Markers", "", "");
    row("resize", "resize", "sizeChanged()", "cpt");
}

void TestMainFrame::wiring()
{
    QFETCH(QString, script);
    QFETCH(QStringList, seen);
    MainFrame *m = v->mainFrame;
    v->messages.clear();
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w != m)
            w->hide();
    }
    QList<std::shared_ptr<QSignalSpy>> spies;
    std::unique_ptr<PaintCounter> painted[3];
    const auto commencer = [&] {
        QCoreApplication::processEvents();
        spies.clear();
        const QMetaObject &mo = MainFrame::staticMetaObject;
        for (int i = mo.methodOffset(); i < mo.methodCount(); ++i) {
            if (mo.method(i).methodType() == QMetaMethod::Signal)
                spies << std::make_shared<QSignalSpy>(m, mo.method(i));
        }
        TraceWidget *views[2] = {v->vueCycle(), v->vuePc()};
        for (int i = 0; i < 2; ++i)
            painted[i] = std::make_unique<PaintCounter>(
                views[i], views[i]->getGraphicBlockWidget()->geometry());
        painted[2] = std::make_unique<PaintCounter>(v->table()->viewport());
    };
    commencer();
    for (const QString &pas : script.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (pas == QLatin1String("|"))
            commencer();
        else
            jouer(pas);
    }
    QStringList emis;
    for (const auto &spy : std::as_const(spies)) {
        for (const QList<QVariant> &args : std::as_const(*spy)) {
            QStringList valeurs;
            for (const QVariant &a : args)
                valeurs << a.toString();
            const QByteArray nom = spy->signal().left(spy->signal().indexOf('('));
            emis << QString::fromLatin1(nom) + QLatin1Char('(') + valeurs.join(QLatin1Char(',')) +
                        QLatin1Char(')');
            emis.last().replace(v->dir.path(), QStringLiteral("D"));
        }
    }
    QTEST(emis.join(QLatin1Char(' ')), "relayed");
    QString repeints;
    for (int i = 0; i < 3; ++i)
        repeints += painted[i]->count > 0 ? QString(QLatin1String("cpt").at(i)) : QString();
    QTEST(repeints, "repainted");
    for (const QString &a : seen) {
        const qsizetype egal = a.indexOf(QLatin1Char('='));
        QCOMPARE(observer(a.left(egal)), a.mid(egal + 1));
    }
}

void TestMainFrame::stripFollowsTheLevel_data()
{
    QTest::addColumn<int>("niveau");
    for (int niveau : {1, 10})
        QTest::addRow("level %d", niveau) << niveau;
}

// The label over a column is the one that column gets once scrolled to the first place: the
// cycle it starts at, whatever the level.
void TestMainFrame::stripFollowsTheLevel()
{
    QFETCH(int, niveau);
    TraceGeneratorOptions options;
    options.nbCycleTotal = 2000;
    Viewer w(options);
    QVERIFY2(w.executer() && w.zoomer(niveau), qPrintable(w.error));
    int largeur = 0;
    {
        GraphicTrace &store = w.system->getGraphicTrace();
        std::lock_guard<std::recursive_mutex> lock(store.mutex());
        for (auto it = store.getTabCycle().begin(); !largeur && it != store.getTabCycle().end(); ++it)
            largeur = it->second.empty()
                          ? 0
                          : static_cast<GraphicBlock *>(it->second.front())->getLargeurBlockTraceCycle();
    }
    const QRect surface = w.vueCycle()->getGraphicBlockWidget()->geometry();
    const auto strip = [&] {
        return w.ecran(w.vueCycle()).copy(surface.left(), 0, surface.width(), surface.top());
    };
    const QImage avant = strip();
    const int colonnes = 6;
    QScrollBar *bar = w.vueCycle()->getHorizontalScrollBar();
    bar->setSliderDown(true);
    bar->setSliderPosition(colonnes * niveau);
    bar->setSliderDown(false);
    QVERIFY(w.attendre());
    const QImage apres = strip();
    const int reste = surface.width() - colonnes * largeur - 60; // the last label may be cut
    QVERIFY(largeur > 0 && reste > 0);
    QVERIFY(avant != apres);
    QCOMPARE(apres.copy(0, 0, reste, surface.top()),
             avant.copy(colonnes * largeur, 0, reste, surface.top()));
}

void TestMainFrame::tableAndPcViewStayLevel_data()
{
    QTest::addColumn<QString>("path");
    for (const char *path : {"table arrow", "table page", "table drag", "pc arrow", "pc page",
                             "pc drag", "highlight", "table wheel"})
        QTest::newRow(path) << QString::fromLatin1(path);
}

// The table and the PC view beside it show the same rows whichever one is moved, and however.
void TestMainFrame::tableAndPcViewStayLevel()
{
    QFETCH(QString, path);
    MainFrame frame;
    frame.resize(640, 480);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    auto *table = frame.findChild<TableAsm *>();
    auto *pcView = frame.findChild<TraceWidgetPc *>();
    frame.setNbPcParAsm(100);
    for (int row = 0; row < 100; ++row)
        table->setPc(row, QString::number(4 * row));
    QCoreApplication::processEvents();
    frame.setNbCycleTotal(500);
    frame.initScrollBarTracePc(0);
    QScrollBar *tableBar = table->verticalScrollBar();
    QScrollBar *pcBar = pcView->getVerticalScrollBar();
    QVERIFY(pcBar->maximum() > 0);
    QCOMPARE(pcBar->maximum(), tableBar->maximum());
    // The controller's answer to a drag of the PC view's slider.
    connect(&frame, &MainFrame::sliderVerticalMovedTracePc, &frame,
            [&frame](int value) { frame.repaintVerticalSliderMovedTracePc(value); });
    frame.selectionnerPcTableAsm(40, 0); // away from both ends
    const int start = tableBar->value();
    QVERIFY(start > 0);
    QCOMPARE(pcView->getPositionVertical(), start);

    const auto drag = [](QScrollBar *bar, int to) {
        bar->setSliderDown(true);
        bar->setSliderPosition(to);
        bar->setSliderDown(false);
    };
    if (path == QLatin1String("table arrow"))
        QTest::mouseClick(tableBar, Qt::LeftButton, {}, QPoint(tableBar->width() / 2, 4));
    else if (path == QLatin1String("table page"))
        tableBar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    else if (path == QLatin1String("table drag"))
        drag(tableBar, start + 37);
    else if (path == QLatin1String("pc arrow"))
        QTest::mouseClick(pcBar, Qt::LeftButton, {}, QPoint(pcBar->width() / 2, pcBar->height() - 4));
    else if (path == QLatin1String("pc page"))
        pcBar->triggerAction(QAbstractSlider::SliderPageStepSub);
    else if (path == QLatin1String("pc drag"))
        drag(pcBar, start + 41);
    else if (path == QLatin1String("highlight"))
        frame.selectionnerPcTableAsm(90, 17);
    else if (path == QLatin1String("table wheel")) {
        QWheelEvent wheel(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, -120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(table->viewport(), &wheel);
    }
    QVERIFY2(tableBar->value() != start, "the path moved nothing");
    QCOMPARE(pcView->getPositionVertical(), tableBar->value());
    QCOMPARE(pcBar->value(), tableBar->value());
    if (path == QLatin1String("highlight"))
        QCOMPARE(pcView->getPositionHorizontal(), 17);
}

// Quit closes the window, which goes: the controller is told first.
void TestMainFrame::quitClosesTheWindow()
{
    QPointer<MainFrame> frame = new MainFrame;
    frame->show();
    QSignalSpy closing(frame.data(), &MainFrame::closeSignal);
    action(frame, QStringLiteral("&File/&Quit"))->trigger();
    QCOMPARE(closing.count(), 1);
    QTRY_VERIFY(frame.isNull());
}

QTEST_MAIN(TestMainFrame)
#include "tst_mainFrame.moc"
