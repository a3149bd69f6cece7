#include "viewer.h"

#include "dialogs/fileChooser.h"
#include "dialogs/inputChooser.h"
#include "dialogs/parametersDialog.h"
#include "gui/customEvents.h"
#include "gui/graphicBlockWidget.h"
#include "gui/mainFrame.h"
#include "gui/popupInfo.h"
#include "gui/tableAsm.h"
#include "gui/traceWidgetCycle.h"
#include "gui/traceWidgetPc.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QSignalSpy>
#include <QTextDocumentFragment>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>
#include <QtTest>

#include <memory>
#include <thread>

// The whole viewer as the user drives it, on the generated sample (500 cycles, 100 a file, pcs
// 0 to 199 listed 100 a file). The wiring: with the controller cut off, each user action (tool
// button, menu item, the parameters dialog's signals, the controller's posted events, presses
// and bars) must make the window emit the controller's signal with its values, repaint the
// views it names and show what it should. The scenarios: the ways to find one's way, with the
// controller, the viewer's invariants holding after every step.
class TestMainFrame : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase() { v.reset(); }
    void wiring_data();
    void wiring();
    void scenarios_data();
    void scenarios();
    void quitClosesTheWindow();

private:
    QTemporaryDir reglages;
    std::unique_ptr<Viewer> v; // the wiring's, cut off from its controller
};

namespace {

// Counts the paint events of a widget that reach into `area` (all when null): a scroll bar
// repainting itself repaints its parent beneath it too.
struct PaintCounter : QObject
{
    PaintCounter(QObject *watched, QRect area = {}) : QObject(watched), area(area)
    {
        watched->installEventFilter(this);
    }
    bool eventFilter(QObject *, QEvent *e) override
    {
        count += e->type() == QEvent::Paint &&
                 (area.isNull() || static_cast<QPaintEvent *>(e)->rect().intersects(area));
        return false;
    }
    QRect area;
    int count = 0;
};

QStringList reponses; // what the user types into the next questions

QAction *action(MainFrame *m, const QString &chemin)
{
    const QStringList parts = chemin.split('/');
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
    const QStringList xy = texte.split(',');
    return QPoint(xy.value(0).toInt(), xy.value(1).toInt());
}

TraceWidget *vue(Viewer &v, QChar c)
{
    return c == 'p' ? static_cast<TraceWidget *>(v.vuePc()) : v.vueCycle();
}

QEvent *evenement(const QString &nom, const QStringList &a)
{
    if (nom == "cycle")
        return new MainFrameRepaintTraceCycleEvent;
    if (nom == "pc")
        return new MainFrameRepaintTracePcEvent;
    if (nom == "adjust")
        return new MainFrameAdjustAsm;
    if (nom == "alert")
        return new MainFrameMessageAlertEvent(a[0]);
    if (nom == "info")
        return new MainFrameMessageInfoEvent(a[0]);
    if (nom == "setPc")
        return new TableAsmSetPcEvent(a[0].toInt(), a[1]);
    if (nom == "mnemonic")
        return new TableAsmSetMnemonicEvent(a[0].toInt(), a[1]);
    if (nom == "value")
        return new TableAsmSetValueEvent(a[0].toInt(), a[1].toInt(), a[2]);
    return new QEvent(QEvent::Type(a[0].toInt())); // a foreign class
}

// One step, named by the first of these prefixes it starts with: tool<name> a tool button;
// menu<menu/item> ('_' for ' '); close<menu>[esc] a menu opened, then closed by a click
// elsewhere or Escape; dialog<signal>=<value> the parameters dialog's signal; ok its OK;
// post<event>[=<values>] an event as the controller posts it; press / release / click /
// ctrl<c|p><x,y> a right press, its release, a left click, a Ctrl+click on a view's surface;
// row<n> a click on a table row; bar<c|p|t><h|v><+|-|p|P|>n> a bar's arrow, page, or a drag to
// n; ask<text> the answer to the next question; at<c|p><n> the controller moves a view (-1: to
// its end); dock<left|top|hide> the tool bar; resize; reopen the window closed and opened
// again; names Event Names; esc Escape; x start, + and - zoom (as the controller hears them);
// g<text> Go to Cycle, f<text> Find Instruction; F and B Find Next and Previous (F3,
// Shift+F3); k<key> a key to the focused widget; w<n> / s<n> / z<n> n notches of the wheel on
// the cycle view (wt<n>: the table), plain, with Shift, with Ctrl (negative: towards the user).
bool jouer(Viewer &v, const QString &pas, bool attendre = true)
{
    static const QStringList ops{
        "tool", "menu", "close", "dialog", "ok",   "post",   "press",  "release", "click", "ctrl",
        "row",  "bar",  "ask",   "at",     "dock", "resize", "reopen", "names",   "esc",   "x",
        "+",    "-",    "g",     "f",      "F",    "B",      "k",      "w",       "s",     "z"};
    const auto trouve = std::find_if(ops.begin(), ops.end(),
                                     [&pas](const QString &o) { return pas.startsWith(o); });
    const QString op = trouve == ops.end() ? QString() : *trouve;
    QString arg = pas.mid(op.size());
    MainFrame *m = v.mainFrame;
    QWidget *s = QStringList{"press", "release", "click", "ctrl"}.contains(op)
                     ? vue(v, arg.at(0))->getGraphicBlockWidget()
                     : nullptr; // a view's surface
    const QPoint xy = point(arg.mid(1));
    if (op == "tool") {
        auto *button = m->findChild<QToolBar *>()->findChild<QToolButton *>(arg.replace('_', ' '));
        if (!button)
            return false;
        QTest::mouseClick(button, Qt::LeftButton);
    } else if (op == "menu" || op == "g" || op == "f") {
        if (op != "menu")
            reponses << arg;
        QAction *item = action(m, op == "g"   ? QStringLiteral("&Go/Go to &Cycle…")
                                  : op == "f" ? QStringLiteral("&Go/&Find Instruction…")
                                              : arg.replace('_', ' '));
        if (!item)
            return false;
        item->trigger();
    } else if (op == "close") {
        const bool escape = arg.endsWith("esc");
        auto *menu = m->findChild<QMenu *>(escape ? arg.chopped(3) : arg);
        menu->popup(m->mapToGlobal(QPoint(20, 40)));
        if (!QTest::qWaitForWindowExposed(menu))
            return false;
        if (escape)
            QTest::keyClick(menu, Qt::Key_Escape);
        else
            QTest::mouseClick(menu, Qt::LeftButton, {}, QPoint(menu->width(), menu->height()) * 2);
        if (!QTest::qWaitFor([menu] { return menu->isHidden(); }))
            return false;
    } else if (op == "dialog") {
        const QStringList a = arg.split('=');
        auto *d = m->findChild<ParametersDialog *>();
        if (a[0].startsWith("nb"))
            QMetaObject::invokeMethod(d, qPrintable(a[0]), Q_ARG(int, a[1].toInt()));
        else
            QMetaObject::invokeMethod(d, qPrintable(a[0]), Q_ARG(QString, a[1]));
    } else if (op == "ok") {
        QTimer::singleShot(0, m, [m] {
            auto *d = m->findChild<ParametersDialog *>();
            d->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
        });
        m->findChild<QToolBar *>()->findChild<QToolButton *>("Parameters")->click();
    } else if (op == "post") {
        const QStringList a = arg.split('=');
        // From a thread of its own, as the readers post (run under ThreadSanitizer too).
        std::thread([&] {
            QCoreApplication::postEvent(m, evenement(a[0], a.value(1).split(',')));
        }).join();
        QCoreApplication::sendPostedEvents(m);
    } else if (op == "press") {
        QTest::mousePress(s, Qt::RightButton, {}, xy);
    } else if (op == "release") {
        QTest::mouseRelease(s, Qt::RightButton, {}, xy);
    } else if (op == "click" || op == "ctrl") {
        QTest::mouseClick(s, Qt::LeftButton, op == "ctrl" ? Qt::ControlModifier : Qt::NoModifier,
                          xy);
    } else if (op == "row") {
        TableAsm *t = v.table();
        QTest::mouseClick(t->viewport(), Qt::LeftButton, {},
                          t->visualRect(t->model()->index(arg.toInt(), 0)).center());
    } else if (op == "bar") {
        TraceWidget *w = vue(v, arg.at(0));
        QScrollBar *b = arg.at(0) == 't'   ? v.table()->verticalScrollBar()
                        : arg.at(1) == 'h' ? w->getHorizontalScrollBar()
                                           : w->getVerticalScrollBar();
        const QChar how = arg.at(2);
        if (how == '>') {
            b->setSliderDown(true);
            b->setSliderPosition(arg.mid(3).toInt());
            b->setSliderDown(false);
        } else if (how == 'p' || how == 'P') {
            b->triggerAction(how == 'p' ? QAbstractSlider::SliderPageStepAdd
                                        : QAbstractSlider::SliderPageStepSub);
        } else {
            const QPoint end(b->width() - 4, b->height() - 4);
            QTest::mouseClick(b, Qt::LeftButton, {}, how == '+' ? end : QPoint(4, 4));
        }
    } else if (op == "ask") {
        reponses << arg;
    } else if (op == "at") {
        const int n = arg.mid(1).toInt();
        if (arg.at(0) == 'p')
            m->repaintHorizontalSliderMovedTracePc(n < 0 ? m->getMaximumHorizontalTracePc() : n,
                                                   true);
        else
            m->repaintHorizontalSliderMovedTraceCycle(
                n < 0 ? m->getMaximumHorizontalTraceCycle() : n, true);
    } else if (op == "dock") {
        QToolBar *tb = m->findChild<QToolBar *>();
        if (arg != "hide")
            m->addToolBar(arg == "left" ? Qt::LeftToolBarArea : Qt::TopToolBarArea, tb);
        tb->setVisible(arg != "hide");
    } else if (op == "resize") {
        m->resize(m->size() + QSize(10, 10));
    } else if (op == "reopen") {
        v.fermer();
        v.ouvrir();
    } else if (op == "names") {
        action(m, QStringLiteral("&View/&Event Names"))->toggle();
    } else if (op == "esc" || op == "F" || op == "B") {
        QTest::keyClick(m, op == "esc" ? Qt::Key_Escape : Qt::Key_F3,
                        op == "B" ? Qt::ShiftModifier : Qt::NoModifier);
    } else if (op == "x") {
        emit m->demarrer();
    } else if (op == "+" || op == "-") {
        emit(op == "+" ? m->nextZoom() : m->prevZoom());
    } else if (op == "k") {
        QTest::keyClick(QApplication::focusWidget(), QKeySequence(arg)[0].key());
    } else if (op == "w" || op == "s" || op == "z") {
        // Sent to the view: only the system's own wheel events go up from the surface.
        const QPoint p(10, 10);
        QWidget *cible = arg.startsWith('t') ? v.table()->viewport() : v.vueCycle();
        const auto touche = op == "s"   ? Qt::ShiftModifier
                            : op == "z" ? Qt::ControlModifier
                                        : Qt::NoModifier;
        QWheelEvent e(p, cible->mapToGlobal(p), QPoint(), QPoint(0, 120 * arg.remove('t').toInt()),
                      Qt::NoButton, touche, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(cible, &e);
    } else {
        return false;
    }
    if (!attendre)
        return true;
    QCoreApplication::processEvents();
    // A search runs on a thread of its own: its end shows as the busy indicator going.
    const auto *occupe = v.mainFrame->findChild<QWidget *>(QStringLiteral("statusBusy"));
    return QTest::qWaitFor([occupe] { return !occupe->isVisible(); }) && v.attendre();
}

// What the user sees: bar<c|p><h|v> a bar's value; level; pc the pc of the table's
// highlighted row; status the status bar's fields shown; tip@x,y and pctip@x,y the tooltip
// over that point of the cycle view's or the PC view's surface; width of the cycle view's
// surface; lus the files read since the start of the compared part; msg the messages' first
// lines; strip whether the strip follows a scroll; names@y and marker@x colours of the cycle
// view; inkAboveNames dark pixels in the names' column beside the strip; cell<r,c> a table
// cell; shown the windows shown; popup<c|p> a view's popup, popupat<c|p> its place; outlined
// whether the cycle view outlines a pc's blocks; beside the table's first row and the PC view's
// (bar and drawing) from it; fills whether the views fill the room the tool bar leaves; fitted
// whether the listing's column fits its text with the PC view beside the table; menus; tools.
QString observer(Viewer &v, const QString &quoi)
{
    MainFrame *m = v.mainFrame;
    const QString arg = quoi.section(QRegularExpression("@|cell|popupat|popup"), 1);
    const auto ecran = [&v] { return v.ecran(v.vueCycle()); };
    const auto oui = [](bool b) { return b ? QStringLiteral("yes") : QStringLiteral("no"); };
    QStringList liste;
    if (quoi.startsWith("bar")) {
        const TraceWidget *w = vue(v, quoi.at(3));
        return QString::number(
            (quoi.at(4) == 'h' ? w->getHorizontalScrollBar() : w->getVerticalScrollBar())->value());
    }
    if (quoi == "level")
        return QString::number(v.niveau());
    if (quoi == "pc") {
        const QList<QTableWidgetItem *> choisies = v.table()->selectedItems();
        return choisies.isEmpty() ? "-" : v.table()->cellText(choisies[0]->row(), 0);
    }
    if (quoi == "status") {
        for (const char *nom :
             {"statusReading", "statusSearch", "statusMarkers", "statusLevel", "statusCycles"}) {
            const auto *label = m->findChild<QLabel *>(QString::fromLatin1(nom));
            if (label && label->isVisible())
                liste << label->text();
        }
        // How far a read has gone depends on the machine's speed; only its presence is fixed.
        return liste.join('|').replace(QRegularExpression("\\d+ %"), "N %");
    }
    if (quoi.contains("tip@")) {
        QToolTip::hideText();
        QWidget *s = vue(v, quoi.at(0))->getGraphicBlockWidget();
        QHelpEvent e(QEvent::ToolTip, point(arg), s->mapToGlobal(point(arg)));
        QCoreApplication::sendEvent(s, &e);
        const QString texte = QToolTip::isVisible() ? QToolTip::text() : QString();
        return QTextDocumentFragment::fromHtml(texte).toPlainText().replace('\n', '|');
    }
    if (quoi == "width")
        return QString::number(v.vueCycle()->getGraphicBlockWidget()->width());
    if (quoi == "strip") {
        // The label over a column is the one it gets once scrolled to the first place, whatever
        // the level: six columns of 20 pixels on, the strip is the old one moved left by 120.
        const QRect s = v.vueCycle()->getGraphicBlockWidget()->geometry();
        const QImage avant = ecran().copy(s.left(), 0, s.width(), s.top());
        jouer(v, QStringLiteral("barch>%1").arg(6 * v.niveau()));
        const QImage apres = ecran().copy(s.left(), 0, s.width(), s.top());
        const int reste = s.width() - 6 * 20 - 60; // the last label may be cut
        return oui(avant != apres &&
                   apres.copy(0, 0, reste, s.top()) == avant.copy(120, 0, reste, s.top()));
    }
    if (quoi == "lus") {
        for (const QString &lu : std::as_const(v.lus))
            liste << QFileInfo(lu).fileName();
        return liste.join(' ');
    }
    if (quoi == "msg") {
        for (const Viewer::Message &message : std::as_const(v.messages))
            liste << message.title + ": " + message.text.section('\n', 0, 0);
        return liste.join('|');
    }
    if (quoi.startsWith("names@"))
        return QColor(ecran().pixel(2, arg.toInt())).name();
    if (quoi.startsWith("marker@"))
        return QColor(ecran().pixel(v.vueCycle()->getGraphicBlockWidget()->x() + arg.toInt(), 5))
            .name();
    if (quoi == "inkAboveNames" || quoi == "outlined") {
        // Dark pixels in the names' corner by the strip; or the outline's orange anywhere.
        const QImage image = ecran();
        const bool coin = quoi == "inkAboveNames";
        int n = 0;
        for (int y = 0; y < (coin ? v.vueCycle()->getGraphicBlockWidget()->y() : image.height());
             ++y) {
            for (int x = 0; x < (coin ? 100 : image.width()); ++x)
                n += coin ? qGray(image.pixel(x, y)) < 100
                          : image.pixelColor(x, y) == QColor(255, 140, 0);
        }
        return coin ? QString::number(n) : oui(n > 0);
    }
    if (quoi.startsWith("cell"))
        return v.table()->cellText(point(arg).x(), point(arg).y());
    if (quoi == "shown") {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (w->isVisible() && w != m && !qobject_cast<QMenu *>(w))
                liste << w->windowTitle();
        }
        return liste.join('|');
    }
    if (quoi.startsWith("popup")) {
        const PopupInfo *p = vue(v, arg.at(0))->getPopupInfo();
        if (quoi.startsWith("popupat"))
            return QStringLiteral("%1,%2").arg(p->x()).arg(p->y());
        return p->isVisible() ? p->text().replace('\n', '|') : QString();
    }
    if (quoi == "beside") {
        const int rangee = v.table()->verticalScrollBar()->value();
        return QStringLiteral("%1 %2 %3")
            .arg(rangee)
            .arg(v.vuePc()->getVerticalScrollBar()->value() - rangee)
            .arg(v.vuePc()->getPositionVertical() - rangee);
    }
    if (quoi == "fills") {
        const QWidget *c = m->centralWidget();
        return oui(QTest::qWaitFor(
            [&] {
                const QRect pc = v.vuePc()->geometry();
                return v.vueCycle()->width() == c->width() && pc.right() == c->width() - 1 &&
                       pc.bottom() < c->height() && pc.bottom() > c->height() - 10;
            },
            1000));
    }
    if (quoi == "fitted") {
        TableAsm *t = v.table();
        return oui(t->columnWidth(1) >= t->fontMetrics().horizontalAdvance(t->cellText(1, 1)) &&
                   v.vuePc()->x() == t->geometry().right() + 1);
    }
    if (quoi == "menus") {
        for (QAction *menu : m->menuBar()->actions()) {
            for (QAction *item : menu->menu() ? menu->menu()->actions() : QList<QAction *>())
                liste << menu->text() + '/' + item->text() + ' ' + item->shortcut().toString();
        }
        return liste.join('|');
    }
    if (quoi == "tools") {
        for (QAction *a : m->findChild<QToolBar *>()->actions())
            liste << (a->isSeparator() ? QStringLiteral("|") : a->toolTip());
        return liste.join(' ');
    }
    return "?";
}

bool verifier(Viewer &v, const QStringList &attendu)
{
    for (const QString &a : attendu) {
        const qsizetype egal = a.indexOf('=');
        const QString vu = observer(v, a.left(egal));
        if (vu != a.mid(egal + 1)) {
            qWarning().noquote() << a.left(egal) << "is" << vu << "not" << a.mid(egal + 1);
            return false;
        }
    }
    return true;
}

} // namespace

void TestMainFrame::initTestCase()
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, reglages.path());
    InputChooser::setHandler([](const InputChooser::Request &) -> std::optional<QString> {
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

void TestMainFrame::wiring_data()
{
    QTest::addColumn<QString>("script");    // steps (see jouer); "|" starts what is checked
    QTest::addColumn<QString>("relayed");   // the window's signals, in declaration order
    QTest::addColumn<QString>("repainted"); // c, p, t: the cycle view, PC view, table
    QTest::addColumn<QStringList>("seen");  // what=value (see observer)

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
        QTest::addRow("%s closed", menu) << QStringLiteral("close") + menu << ""
                                         << "cpt" << QStringList();
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
        const QStringList s = QString(field).split('=');
        row(field, qPrintable("dialog" + s.join('=')), qPrintable(s[0] + '(' + s[1] + ')'), "");
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
    row("the listing's columns fitted",
        "postmnemonic=1,mmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmm postadjust", "sizeChanged()", "pt",
        {"fitted=yes"});
    // Foreign classes carrying our types.
    QTest::newRow("foreign events") << QStringLiteral("post=%1 post=%2")
                                           .arg(int(TableAsmSetPcEvent::EventType))
                                           .arg(int(MainFrameMessageAlertEvent::EventType))
                                    << ""
                                    << "" << QStringList{"msg=", "cell0,0=0"};
    // The views: presses, releases, clicks, bars.
    row("popup of the cycle view", "pressc10,10", "", "",
        {"popupc=Cycle : 0|Event : fetch|Pc : 0"});
    row("its release repaints all", "pressc10,10 | releasec10,10", "", "cpt", {"popupc="});
    row("popup of the PC view", "pressp5,5", "", "", {"popupp=Cycle : 0|Pc : 0|Event : fetch"});
    row("its release repaints all", "pressp5,5 | releasep5,5", "", "cpt", {"popupp="});
    row("click on a block", "clickc10,10", "displayPcTracePc(0,0)", "cpt");
    row("click on a table row", "row3", "", "ct", {"outlined=yes"});
    row("cycle view, next column", "barch+", "nextCycleTraceCycle(1)", "c");
    row("cycle view, drag", "barch>100",
        "sliderHorizontalMovedTraceCycle(100) sliderHorizontalReleasedTraceCycle(100)", "");
    // At either end an arrow still asks for the cycle but paints nothing again; a page does.
    row("cycle view, at the end", "atc-1 | barch+", "nextCycleTraceCycle(469)", "");
    row("cycle view, a page at the end", "atc-1 | barchp", "nextCycleTraceCycle(469)", "c");
    row("cycle view, at the start", "atc0 | barch-", "prevCycleTraceCycle(0)", "");
    row("PC view, at the end", "atp-1 | barph+", "nextCycleTracePc(479)", "");
    row("PC view, a page at the end", "atp-1 | barphp", "nextCycleTracePc(479)", "p");
    row("PC view, at the start", "atp0 | barph-", "prevCycleTracePc(0)", "");
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
    row("resize", "resize", "sizeChanged()", "cpt", {"fills=yes"});
    row("tool bar on the left", "dockleft", "sizeChanged() sizeChanged()", "cpt", {"fills=yes"});
    row("tool bar hidden", "dockhide", "sizeChanged()", "ct", {"fills=yes"});
    row("tool bar back on top", "docktop", "sizeChanged() sizeChanged()", "cpt", {"fills=yes"});
}

void TestMainFrame::wiring()
{
    QFETCH(QString, script);
    MainFrame *m = v->mainFrame;
    v->messages.clear();
    for (QWidget *w : QApplication::topLevelWidgets())
        w->setVisible(w == m);
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
        int i = 0;
        for (TraceWidget *view : {vue(*v, 'c'), vue(*v, 'p')})
            painted[i++] =
                std::make_unique<PaintCounter>(view, view->getGraphicBlockWidget()->geometry());
        painted[2] = std::make_unique<PaintCounter>(v->table()->viewport());
    };
    commencer();
    for (const QString &pas : script.split(' ', Qt::SkipEmptyParts)) {
        if (pas == "|")
            commencer();
        else
            QVERIFY2(jouer(*v, pas, false), qPrintable(pas));
        QCoreApplication::processEvents();
    }
    QFETCH(QStringList, seen);
    QVERIFY(verifier(*v, seen)); // first: some wait for what follows the step
    QStringList emis;
    for (const auto &spy : std::as_const(spies)) {
        for (const QList<QVariant> &args : std::as_const(*spy)) {
            QStringList valeurs;
            for (const QVariant &a : args)
                valeurs << a.toString().replace(v->dir.path(), "D");
            emis << spy->signal().left(spy->signal().indexOf('(')) + '(' + valeurs.join(',') + ')';
        }
    }
    QTEST(emis.join(' '), "relayed");
    QString repeints;
    for (int i = 0; i < 3; ++i) {
        if (painted[i]->count > 0)
            repeints += QLatin1Char("cpt"[i]);
    }
    QTEST(repeints, "repainted");
}

void TestMainFrame::scenarios_data()
{
    QTest::addColumn<QString>("script");      // steps (see jouer); "|" starts what is compared
    QTest::addColumn<QStringList>("attendu"); // what=value (see observer)
    const auto row = [](const char *tag, const char *script, const QStringList &attendu) {
        QTest::newRow(tag) << script << attendu;
    };

    // Go to Cycle: any cycle, read around it as a zoom change does, brought to a column and
    // within the bar.
    row("go beyond the window", "x + | g250", {"barch=250", "lus=trace_200.xml trace_300.xml"});
    row("go at level 10", "x | g157", {"barch=150", "level=10"});
    row("go past the end", "x + | g9999", {"barch=469"});
    // Find Instruction: a pc selects its row as a click on it does, its listing read if need
    // be; a mnemonic the next pc that has it.
    row("find a pc of another listing", "x + | f150", {"pc=150", "lus=asm_100.xml"});
    row("find a mnemonic, then the next one", "x + f2 | fld fLD",
        {"pc=6", "status=LD at pc 6|Level 1|Cycles 0-31"});
    row("find a mnemonic round the listings", "x + f194 | fsd", {"pc=0", "lus=asm_0.xml"});
    row("find the only one from itself", "x + f199 | fj",
        {"pc=199", "status=j at pc 199|Level 1|Cycles 0-31"});
    row("find a pc after a mnemonic", "x + fld f9", {"pc=9", "status=Level 1|Cycles 0-31"});
    row("find a mnemonic no listing has", "x + | fnop",
        {"pc=-", "status=No nop in the listings|Level 1|Cycles 0-31"});
    // F3, Shift+F3: the next or previous cycle of the selected pc, files beyond the window
    // searched; it stays outlined.
    row("next cycle of a pc, far away", "x + f2 g9 | F",
        {"barch=345", "status=pc 2 at cycle 345|Level 1|Cycles 345-376"});
    row("next, next, previous, previous", "x + f2 g9 F F B B", {"barch=8"});
    row("previous at cycle 0", "x + f0 g1 | B", {"barch=0"});
    row("none before, every file searched", "x + f199 g5 | B",
        {"barch=5", "status=pc 199: no cycle before|Level 1|Cycles 5-36"});
    row("nothing selected", "x + | F",
        {"barch=0", "status=No instruction selected|Level 1|Cycles 0-31"});
    // Markers: Ctrl+click, on either view; a third one takes the older one's place, a second
    // click takes it away, Escape all of them.
    row("two markers", "x + ctrlc50,10 ctrlc130,10",
        {"status=Markers 2, 6: 4 cycles|Level 1|Cycles 0-31", "marker@50=#005aff",
         "marker@130=#e6008c"});
    row("a third marker, one taken away", "x + ctrlc50,10 ctrlc130,10 ctrlc210,10 ctrlc130,10",
        {"status=Marker 10|Level 1|Cycles 0-31"});
    row("markers cleared", "x + ctrlc50,10 ctrlp130,10 esc",
        {"status=Level 1|Cycles 0-31", "marker@50=#dcdcdc"});
    // Keys in the focused view, the bars' paths: arrows, a page of columns, the trace's ends.
    row("keys", "x + clickc10,150 kEnd kPgUp kLeft kDown",
        {"barch=437", "barcv=1", "status=Level 1|Cycles 437-468"});
    row("rows to the end", "x + barcvp barcvp barcvp barcvp barcvp barcvp barcv-", {"barcv=4"});
    row("table to the end", "x + f40 bartv>99999 | bartv+ barpv+", {"beside=1646 0 0"});
    row("table to the start", "x + f40 bartv>0 | bartv- barpv- barpvP", {"beside=0 0 0"});
    row("home", "x + clickc10,150 g300 | kHome", {"barch=0", "lus=trace_0.xml trace_100.xml"});
    // The wheel: rows, Shift: columns, Ctrl: the next level, nothing past the last one.
    row("wheel", "x + w-1 s-2", {"barch=6", "barcv=3"});
    row("ctrl+wheel", "x + z-1 z-1", {"level=10", "msg="});
    // The strip of cycle labels at both levels.
    row("strip at level 1", "x +", {"strip=yes"});
    row("strip at level 10", "x", {"strip=yes"});
    // Event names beside the rows; the surface gives them its room.
    row("event names", "x + names", {"width=503", "names@30=#dcdcdc"});
    // The column is a choice kept from one run to the next.
    row("event names remembered", "names reopen x +", {"width=503"});
    row("event names off, remembered", "names reopen names reopen", {"width=623"});
    row("event names, rows scrolled", "x + names barcv+ barcv+", {"inkAboveNames=0"});
    // Tooltips: every instruction of the cell, named once its listing is shown; the rate at a
    // coarse level.
    row("tooltip", "x +", {"tip@10,10=Cycle 0, fetch|pc 0|pc 1|pc 2|pc 3"});
    row("tooltip with the listing", "x + clickc10,10",
        {"tip@30,30=Cycle 1, decode|pc 0: sd r0, 40(r9)|pc 1: and r11, r1, r14|pc 2: slt r2, r11, "
         "r3|pc 3: or r13, r6, r12",
         "pctip@5,5=Cycle 0, pc 0: sd r0, 40(r9)|fetch"});
    row("tooltip at level 10", "x", {"tip@10,5=Cycles 0-9, fetch|Rate 100 %"});
    // A cell of several instructions: each left click on it picks the next one, round.
    row("shared cell", "x + clickc10,10 clickc10,10 clickc10,10", {"pc=2"});
    row("shared cell, round", "x + clickc10,10 clickc10,10 clickc10,10 clickc10,10 clickc10,10",
        {"pc=0"});
    // The outline of the pc chosen in the table goes with the table: not back after another
    // level, or after Execute.
    row("outline", "x + clickc10,10 row5", {"outlined=yes"});
    row("outline gone at another level", "x + clickc10,10 row5 - +", {"outlined=no"});
    row("outline gone after Execute", "x + clickc10,10 row5 x +", {"outlined=no"});
    row("another cell starts again", "x + clickc10,10 clickc10,10 clickc30,30", {"pc=0"});
    // The table and the PC view beside it show the same rows whichever is moved, and however.
    const QList<std::pair<const char *, const char *>> chemins{
        {"bartv+", "601"},  {"bartvp", "738"}, {"bartvP", "430"},
        {"bartv>37", "37"}, {"barpv+", "601"}, {"barpvP", "430"},
        {"barpv>41", "41"}, {"f90", "1484"},   {"wt-1", "635"}};
    for (const auto &[chemin, rangee] : chemins) // from 600, pc 40's row
        QTest::addRow("level: %s", chemin)
            << QStringLiteral("x + f40 | ") + chemin
            << QStringList{QStringLiteral("beside=%1 0 0").arg(rangee)};
    // Presses: a right one shows the popup of the cell, on the pointer's other side near the
    // right edge, the rate at a coarse level; a left one selects the pc.
    row("popup", "x + pressc10,10", {"popupatc=25,10", "popupc=Cycle : 0|Event : fetch|Pc : 0"});
    row("popup at the right edge", "x pressc610,5",
        {"popupatc=512,5", "popupc=Cycle : 300|Event : fetch|Rate : 60 %"});
    row("popup at the bottom edge", "x + pressc150,145",
        {"popupatc=165,89", "popupc=Cycle : 7|Event : commit|Pc : 0"});
    row("popup touching the bottom edge", "x + pressc150,103", {"popupatc=165,103"});
    row("popup of a rate", "x pressc45,15", {"popupc=Cycle : 20|Event : decode|Rate : 10 %"});
    row("no popup below the rows", "x + pressc45,150", {"popupc="});
    row("popup of the PC view", "x + clickc10,10 pressp40,12",
        {"popupatp=55,12", "popupp=Cycle : 2|Pc : 0|Event : rename"});
    row("PC view, the row's end", "x + clickc10,10 pressp40,24",
        {"popupp=Cycle : 2|Pc : 1|Event : rename"});
    row("PC view, scrolled", "x + clickc10,10 barpv+ pressp40,2",
        {"popupp=Cycle : 2|Pc : 1|Event : rename"});
    row("PC view, no event", "x + clickc10,10 pressp400,12", {"popupp="});
    // Before a start only the level is known; while files are read the status bar names them.
    // Presses before a start find nothing to show.
    row("before a start", "names pressc40,15 clickc40,15 pressp40,15",
        {"status=Level 1", "popupc=", "popupp=", "pc=-"});
    row("status while reading", "x!", {"status=Reading zoom_10_0.xml: N %|Level 10"});
}

void TestMainFrame::scenarios()
{
    QFETCH(QString, script);
    QSettings("Zelvar", "Zelvar").clear(); // a first run
    Viewer w;
    QVERIFY2(w.ok(), qPrintable(w.error));
    w.ouvrir();
    for (const QString &pas : script.split(' ', Qt::SkipEmptyParts)) {
        if (pas == "|") {
            w.lus.clear();
        } else if (pas.endsWith('!')) { // looked at at once
            jouer(w, pas.chopped(1), false);
        } else {
            QVERIFY2(jouer(w, pas), qPrintable(pas + ": " + w.error));
            const QString panne = w.invariants(true);
            QVERIFY2(panne.isEmpty(), qPrintable(pas + ": " + panne));
        }
    }
    QFETCH(QStringList, attendu);
    QVERIFY(verifier(w, attendu));
    QVERIFY2(w.alertes().isEmpty(), qPrintable(w.alertes().join('\n')));
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
