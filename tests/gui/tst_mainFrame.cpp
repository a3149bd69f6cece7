#include "viewer.h"

#include "core/graphicBlock.h"
#include "core/graphicTrace.h"
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
#include <QMetaMethod>
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
    void eventNamesAreRemembered();
    void stripFollowsTheLevel_data();
    void stripFollowsTheLevel();
    void quitClosesTheWindow();

private:
    QTemporaryDir reglages;
    std::unique_ptr<Viewer> v; // the wiring's, cut off from its controller
};

namespace {

// Counts the paint events of a widget that reach into `area` (all when null): a scroll bar
// repainting itself repaints its parent beneath it too.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QObject *watched, const QRect &area = QRect())
        : QObject(watched), area(area)
    {
        watched->installEventFilter(this);
    }
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        count += e->type() == QEvent::Paint &&
                 (area.isNull() || static_cast<QPaintEvent *>(e)->rect().intersects(area));
        return false;
    }

private:
    QRect area;
};

QStringList reponses; // what the user types into the next questions

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

TraceWidget *vue(Viewer &v, QChar c)
{
    return c == QLatin1Char('p') ? static_cast<TraceWidget *>(v.vuePc()) : v.vueCycle();
}

QEvent *evenement(const QString &nom, const QStringList &a)
{
    if (nom == QLatin1String("cycle"))
        return new MainFrameRepaintTraceCycleEvent;
    if (nom == QLatin1String("pc"))
        return new MainFrameRepaintTracePcEvent;
    if (nom == QLatin1String("adjust"))
        return new MainFrameAdjustAsm;
    if (nom == QLatin1String("alert"))
        return new MainFrameMessageAlertEvent(a[0]);
    if (nom == QLatin1String("info"))
        return new MainFrameMessageInfoEvent(a[0]);
    if (nom == QLatin1String("setPc"))
        return new TableAsmSetPcEvent(a[0].toInt(), a[1]);
    if (nom == QLatin1String("mnemonic"))
        return new TableAsmSetMnemonicEvent(a[0].toInt(), a[1]);
    if (nom == QLatin1String("value"))
        return new TableAsmSetValueEvent(a[0].toInt(), a[1].toInt(), a[2]);
    return new QEvent(QEvent::Type(a[0].toInt())); // a foreign class
}

// One step, named by the first of these prefixes it starts with: tool<name> a tool button;
// menu<menu/item> ('_' for ' '); close<menu>[esc] a menu opened, then closed by a click
// elsewhere or Escape; dialog<signal>=<value> the parameters dialog's signal; ok its OK;
// post<event>[=<values>] an event as the controller posts it; press / release / click /
// ctrl<c|p><x,y> a right press, its release, a left click, a Ctrl+click on a view's surface;
// row<n> a click on a table row; bar<c|p><h|v><+|-|>n> a bar's arrow, or a drag to n;
// ask<text> the answer to the next question; resize; names Event Names; esc Escape; x start,
// + and - zoom (as the controller hears them); g<text> Go to Cycle, f<text> Find
// Instruction; F and B Find Next and Previous (F3, Shift+F3); k<key> a key to the focused
// widget; w<n> / s<n> / z<n> n notches of the wheel on the cycle view, plain, with Shift,
// with Ctrl (negative: towards the user).
bool jouer(Viewer &v, const QString &pas, bool attendre = true)
{
    static const QStringList ops{
        "tool", "menu", "close", "dialog", "ok",   "post",   "press", "release", "click", "ctrl",
        "row",  "bar",  "ask",   "at",     "dock", "resize", "names", "esc",     "x",     "+",
        "-",    "g",    "f",     "F",      "B",    "k",      "w",     "s",       "z"};
    QString op;
    for (const QString &o : ops) {
        if (pas.startsWith(o)) {
            op = o;
            break;
        }
    }
    QString arg = pas.mid(op.size());
    MainFrame *m = v.mainFrame;
    QWidget *s = nullptr; // a view's surface
    if (QStringList{"press", "release", "click", "ctrl"}.contains(op))
        s = vue(v, arg.at(0))->getGraphicBlockWidget();
    if (op == QLatin1String("tool")) {
        auto *button = m->findChild<QToolBar *>()->findChild<QToolButton *>(
            arg.replace(QLatin1Char('_'), QLatin1Char(' ')));
        if (!button)
            return false;
        QTest::mouseClick(button, Qt::LeftButton);
    } else if (op == QLatin1String("menu") || op == QLatin1String("g") ||
               op == QLatin1String("f")) {
        if (op != QLatin1String("menu"))
            reponses << arg;
        QAction *item =
            action(m, op == QLatin1String("g")   ? QStringLiteral("&Go/Go to &Cycle…")
                      : op == QLatin1String("f") ? QStringLiteral("&Go/&Find Instruction…")
                                                 : arg.replace(QLatin1Char('_'), QLatin1Char(' ')));
        if (!item)
            return false;
        item->trigger();
    } else if (op == QLatin1String("close")) {
        const bool escape = arg.endsWith(QLatin1String("esc"));
        auto *menu = m->findChild<QMenu *>(escape ? arg.chopped(3) : arg);
        menu->popup(m->mapToGlobal(QPoint(20, 40)));
        if (!QTest::qWaitForWindowExposed(menu))
            return false;
        if (escape)
            QTest::keyClick(menu, Qt::Key_Escape);
        else
            QTest::mouseClick(menu, Qt::LeftButton, {},
                              QPoint(menu->width() + 50, menu->height() + 50));
        if (!QTest::qWaitFor([menu] { return menu->isHidden(); }))
            return false;
    } else if (op == QLatin1String("dialog")) {
        const QStringList a = arg.split(QLatin1Char('='));
        auto *d = m->findChild<ParametersDialog *>();
        if (a[0].startsWith(QLatin1String("nb")))
            QMetaObject::invokeMethod(d, qPrintable(a[0]), Q_ARG(int, a[1].toInt()));
        else
            QMetaObject::invokeMethod(d, qPrintable(a[0]), Q_ARG(QString, a[1]));
    } else if (op == QLatin1String("ok")) {
        QTimer::singleShot(0, m, [m] {
            auto *d = m->findChild<ParametersDialog *>();
            d->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
        });
        m->findChild<QToolBar *>()->findChild<QToolButton *>("Parameters")->click();
    } else if (op == QLatin1String("post")) {
        const QStringList a = arg.split(QLatin1Char('='));
        // From a thread of its own, as the readers post (run under ThreadSanitizer too).
        std::thread([&] {
            QCoreApplication::postEvent(m, evenement(a[0], a.value(1).split(QLatin1Char(','))));
        }).join();
        QCoreApplication::sendPostedEvents(m);
    } else if (op == QLatin1String("press")) {
        QTest::mousePress(s, Qt::RightButton, {}, point(arg.mid(1)));
    } else if (op == QLatin1String("release")) {
        QTest::mouseRelease(s, Qt::RightButton, {}, point(arg.mid(1)));
    } else if (op == QLatin1String("click") || op == QLatin1String("ctrl")) {
        QTest::mouseClick(s, Qt::LeftButton,
                          op == QLatin1String("ctrl") ? Qt::ControlModifier : Qt::NoModifier,
                          point(arg.mid(1)));
    } else if (op == QLatin1String("row")) {
        TableAsm *t = v.table();
        const QRect cell = t->visualRect(t->model()->index(arg.toInt(), 0));
        QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, cell.center());
    } else if (op == QLatin1String("bar")) { // t: the table's
        TraceWidget *w = vue(v, arg.at(0));
        QScrollBar *b = arg.at(0) == QLatin1Char('t')   ? v.table()->verticalScrollBar()
                        : arg.at(1) == QLatin1Char('h') ? w->getHorizontalScrollBar()
                                                        : w->getVerticalScrollBar();
        const QChar how = arg.at(2);
        if (how == QLatin1Char('>')) {
            b->setSliderDown(true);
            b->setSliderPosition(arg.mid(3).toInt());
            b->setSliderDown(false);
        } else if (how == QLatin1Char('p') || how == QLatin1Char('P')) { // a page on or back
            b->triggerAction(how == QLatin1Char('p') ? QAbstractSlider::SliderPageStepAdd
                                                     : QAbstractSlider::SliderPageStepSub);
        } else {
            const QPoint end(b->width() - 4, b->height() - 4);
            QTest::mouseClick(b, Qt::LeftButton, {}, how == QLatin1Char('+') ? end : QPoint(4, 4));
        }
    } else if (op == QLatin1String("ask")) {
        reponses << arg;
    } else if (op == QLatin1String("at")) { // the controller moves a view, -1: to its end
        const int n = arg.mid(1).toInt();
        if (arg.at(0) == QLatin1Char('p'))
            m->repaintHorizontalSliderMovedTracePc(n < 0 ? m->getMaximumHorizontalTracePc() : n,
                                                   true);
        else
            m->repaintHorizontalSliderMovedTraceCycle(
                n < 0 ? m->getMaximumHorizontalTraceCycle() : n, true);
    } else if (op == QLatin1String("dock")) { // the tool bar on the left, on top, hidden
        QToolBar *tb = m->findChild<QToolBar *>();
        if (arg == QLatin1String("hide"))
            tb->hide();
        else
            m->addToolBar(arg == QLatin1String("left") ? Qt::LeftToolBarArea : Qt::TopToolBarArea,
                          tb);
        if (arg == QLatin1String("top"))
            tb->show();
    } else if (op == QLatin1String("resize")) {
        m->resize(m->size() + QSize(10, 10));
    } else if (op == QLatin1String("names")) {
        action(m, QStringLiteral("&View/&Event Names"))->toggle();
    } else if (op == QLatin1String("esc")) {
        QTest::keyClick(m, Qt::Key_Escape);
    } else if (op == QLatin1String("x")) {
        emit m->demarrer();
    } else if (op == QLatin1String("+") || op == QLatin1String("-")) {
        emit(op == QLatin1String("+") ? m->nextZoom() : m->prevZoom());
    } else if (op == QLatin1String("F") || op == QLatin1String("B")) {
        QTest::keyClick(m, Qt::Key_F3,
                        op == QLatin1String("B") ? Qt::ShiftModifier : Qt::NoModifier);
    } else if (op == QLatin1String("k")) {
        const QMap<QString, int> touches{{"Right", Qt::Key_Right}, {"Left", Qt::Key_Left},
                                         {"Down", Qt::Key_Down},   {"PgDn", Qt::Key_PageDown},
                                         {"PgUp", Qt::Key_PageUp}, {"End", Qt::Key_End},
                                         {"Home", Qt::Key_Home}};
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(touches.value(arg)));
    } else if (op == QLatin1String("w") || op == QLatin1String("s") || op == QLatin1String("z")) {
        // Sent to the view: only the system's own wheel events go up from the surface.
        const QPoint p(10, 10);
        // wt<n>: the table's.
        QWidget *cible = arg.startsWith(QLatin1Char('t')) ? v.table()->viewport() : v.vueCycle();
        QWheelEvent e(p, cible->mapToGlobal(p), QPoint(), QPoint(0, 120 * arg.remove('t').toInt()),
                      Qt::NoButton,
                      op == QLatin1String("s")   ? Qt::ShiftModifier
                      : op == QLatin1String("z") ? Qt::ControlModifier
                                                 : Qt::NoModifier,
                      Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(cible, &e);
    } else {
        return false;
    }
    if (!attendre)
        return true;
    QCoreApplication::processEvents();
    // A search runs on a thread of its own: its end shows as the busy indicator going.
    const auto *occupe = m->findChild<QWidget *>(QStringLiteral("statusBusy"));
    return QTest::qWaitFor([occupe] { return !occupe->isVisible(); }) && v.attendre();
}

// What the user sees: bar<c|p><h|v> a bar's value; level; pc the pc of the table's
// highlighted row; status the status bar's fields shown; tip@x,y and pctip@x,y the tooltip
// over that point of the cycle view's or the PC view's surface; width of the cycle view's
// surface; lus the files read since the start of the compared part; infos the number of
// information messages; msg the messages' first lines; names@y and marker@x colours of the
// cycle view; inkAboveNames dark pixels in the names' column beside the strip; cell<r,c> a table
// cell; shown the windows shown; popup<c|p> a view's popup; outlined whether the cycle view
// outlines a pc's blocks; fitted whether the listing's column fits its text with the PC view beside
// the table; menus; tools.
QString observer(Viewer &v, const QString &quoi)
{
    MainFrame *m = v.mainFrame;
    const auto apres = [&quoi](const char *prefixe) {
        return quoi.startsWith(QLatin1String(prefixe)) ? quoi.mid(int(qstrlen(prefixe)))
                                                       : QString();
    };
    const auto ecran = [&v] { return v.ecran(v.vueCycle()); };
    if (quoi.startsWith(QLatin1String("bar"))) {
        const TraceWidget *w = vue(v, quoi.at(3));
        return QString::number((quoi.at(4) == QLatin1Char('h') ? w->getHorizontalScrollBar()
                                                               : w->getVerticalScrollBar())
                                   ->value());
    }
    if (quoi == QLatin1String("level"))
        return QString::number(v.niveau());
    if (quoi == QLatin1String("pc")) {
        const QList<QTableWidgetItem *> choisies = v.table()->selectedItems();
        return choisies.isEmpty() ? QStringLiteral("-")
                                  : v.table()->cellText(choisies[0]->row(), 0);
    }
    if (quoi == QLatin1String("status")) {
        QStringList champs;
        for (const char *nom :
             {"statusReading", "statusSearch", "statusMarkers", "statusLevel", "statusCycles"}) {
            const auto *label = m->findChild<QLabel *>(QString::fromLatin1(nom));
            if (label && label->isVisible())
                champs << label->text();
        }
        // How far a read has gone depends on the machine's speed; only its presence is fixed.
        return champs.join(QLatin1Char('|'))
            .replace(QRegularExpression(QStringLiteral("\\d+ %")), QStringLiteral("N %"));
    }
    if (quoi.startsWith(QLatin1String("tip@")) || quoi.startsWith(QLatin1String("pctip@"))) {
        QToolTip::hideText();
        QWidget *s = vue(v, quoi.at(0))->getGraphicBlockWidget();
        const QPoint p = point(quoi.mid(quoi.indexOf(QLatin1Char('@')) + 1));
        QHelpEvent e(QEvent::ToolTip, p, s->mapToGlobal(p));
        QCoreApplication::sendEvent(s, &e);
        const QString texte = QToolTip::isVisible() ? QToolTip::text() : QString();
        return QTextDocumentFragment::fromHtml(texte).toPlainText().replace(QLatin1Char('\n'),
                                                                            QLatin1Char('|'));
    }
    if (quoi == QLatin1String("width"))
        return QString::number(v.vueCycle()->getGraphicBlockWidget()->width());
    if (quoi == QLatin1String("lus")) {
        QStringList noms;
        for (const QString &lu : std::as_const(v.lus))
            noms << QFileInfo(lu).fileName();
        return noms.join(QLatin1Char(' '));
    }
    if (quoi == QLatin1String("infos"))
        return QString::number(v.textes(MessageBox::Kind::Information).size());
    if (quoi == QLatin1String("msg")) {
        QStringList textes;
        for (const Viewer::Message &message : std::as_const(v.messages))
            textes << message.title + QStringLiteral(": ") + message.text.section('\n', 0, 0);
        return textes.join(QLatin1Char('|'));
    }
    if (!apres("names@").isEmpty())
        return QColor(ecran().pixel(2, apres("names@").toInt())).name();
    if (quoi == QLatin1String("inkAboveNames")) { // dark pixels in the names' corner by the strip
        const QImage image = ecran();
        int n = 0;
        for (int y = 0; y < v.vueCycle()->getGraphicBlockWidget()->y(); ++y) {
            for (int x = 0; x < 100; ++x)
                n += qGray(image.pixel(x, y)) < 100;
        }
        return QString::number(n);
    }
    if (!apres("marker@").isEmpty()) {
        const int x = v.vueCycle()->getGraphicBlockWidget()->x() + apres("marker@").toInt();
        return QColor(ecran().pixel(x, 5)).name();
    }
    if (!apres("cell").isEmpty()) {
        const QPoint rc = point(apres("cell"));
        return v.table()->cellText(rc.x(), rc.y());
    }
    if (quoi == QLatin1String("shown")) {
        QStringList visibles;
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (w->isVisible() && w != m && !qobject_cast<QMenu *>(w))
                visibles << w->windowTitle();
        }
        return visibles.join(QLatin1Char('|'));
    }
    if (!apres("popupat").isEmpty()) {
        const PopupInfo *p = vue(v, quoi.at(7))->getPopupInfo();
        return QStringLiteral("%1,%2").arg(p->x()).arg(p->y());
    }
    if (!apres("popup").isEmpty()) {
        const PopupInfo *p = vue(v, quoi.at(5))->getPopupInfo();
        return p->isVisible() ? p->text().replace(QLatin1Char('\n'), QLatin1Char('|')) : QString();
    }
    if (quoi == QLatin1String("outlined")) {
        const QImage image = ecran();
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixelColor(x, y) == QColor(255, 140, 0))
                    return QStringLiteral("yes");
            }
        }
        return QStringLiteral("no");
    }
    if (quoi == QLatin1String("beside")) { // the table's first row and the PC view's
        const int rangee = v.table()->verticalScrollBar()->value();
        return QStringLiteral("%1 %2 %3")
            .arg(rangee)
            .arg(v.vuePc()->getVerticalScrollBar()->value() - rangee)
            .arg(v.vuePc()->getPositionVertical() - rangee);
    }
    if (quoi == QLatin1String("fills")) { // the views fill the room the tool bar leaves
        const QWidget *c = m->centralWidget();
        const bool fills = QTest::qWaitFor(
            [&] {
                return v.vueCycle()->width() == c->width() &&
                       v.vuePc()->geometry().right() == c->width() - 1 &&
                       v.vuePc()->geometry().bottom() < c->height() &&
                       v.vuePc()->geometry().bottom() > c->height() - 10;
            },
            1000);
        return fills ? QStringLiteral("yes") : QStringLiteral("no");
    }
    if (quoi == QLatin1String("fitted")) {
        TableAsm *t = v.table();
        const bool fits =
            t->columnWidth(1) >= t->fontMetrics().horizontalAdvance(t->cellText(1, 1));
        return fits && v.vuePc()->x() == t->geometry().right() + 1 ? QStringLiteral("yes")
                                                                   : QStringLiteral("no");
    }
    QStringList liste;
    if (quoi == QLatin1String("menus")) {
        for (QAction *menu : m->menuBar()->actions()) {
            for (QAction *item : menu->menu() ? menu->menu()->actions() : QList<QAction *>())
                liste << menu->text() + QLatin1Char('/') + item->text() + QLatin1Char(' ') +
                             item->shortcut().toString();
        }
        return liste.join(QLatin1Char('|'));
    }
    if (quoi == QLatin1String("tools")) {
        for (QAction *a : m->findChild<QToolBar *>()->actions())
            liste << (a->isSeparator() ? QStringLiteral("|") : a->toolTip());
        return liste.join(QLatin1Char(' '));
    }
    return QStringLiteral("?");
}

bool verifier(Viewer &v, const QStringList &attendu)
{
    for (const QString &a : attendu) {
        const qsizetype egal = a.indexOf(QLatin1Char('='));
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
            QVERIFY2(jouer(*v, pas, false), qPrintable(pas));
        QCoreApplication::processEvents();
    }
    QVERIFY(verifier(*v, seen)); // first: some wait for what follows the step
    QStringList emis;
    for (const auto &spy : std::as_const(spies)) {
        for (const QList<QVariant> &args : std::as_const(*spy)) {
            QStringList valeurs;
            for (const QVariant &a : args)
                valeurs << a.toString().replace(v->dir.path(), QStringLiteral("D"));
            const QByteArray nom = spy->signal().left(spy->signal().indexOf('('));
            emis << QString::fromLatin1(nom) + QLatin1Char('(') + valeurs.join(QLatin1Char(',')) +
                        QLatin1Char(')');
        }
    }
    QTEST(emis.join(QLatin1Char(' ')), "relayed");
    QString repeints;
    for (int i = 0; i < 3; ++i)
        repeints += painted[i]->count > 0 ? QString(QLatin1String("cpt").at(i)) : QString();
    QTEST(repeints, "repainted");
}

void TestMainFrame::scenarios_data()
{
    QTest::addColumn<QString>("script");      // steps (see jouer); "|" starts what is compared
    QTest::addColumn<QStringList>("attendu"); // what=value (see observer)

    // Go to Cycle: any cycle, read around it as a zoom change does, brought to a column and
    // within the bar.
    QTest::newRow("go beyond the window")
        << "x + | g250" << QStringList{"barch=250", "lus=trace_200.xml trace_300.xml"};
    QTest::newRow("go at level 10") << "x | g157" << QStringList{"barch=150", "level=10"};
    QTest::newRow("go past the end") << "x + | g9999" << QStringList{"barch=469"};
    // Find Instruction: a pc selects its row as a click on it does, its listing read if need
    // be; a mnemonic the next pc that has it.
    QTest::newRow("find a pc of another listing")
        << "x + | f150" << QStringList{"pc=150", "lus=asm_100.xml"};
    QTest::newRow("find a mnemonic, then the next one")
        << "x + f2 | fld fLD" << QStringList{"pc=6", "status=LD at pc 6|Level 1|Cycles 0-31"};
    QTest::newRow("find a mnemonic round the listings")
        << "x + f194 | fsd" << QStringList{"pc=0", "lus=asm_0.xml"};
    QTest::newRow("find the only one from itself")
        << "x + f199 | fj" << QStringList{"pc=199", "status=j at pc 199|Level 1|Cycles 0-31"};
    QTest::newRow("find a pc after a mnemonic")
        << "x + fld f9" << QStringList{"pc=9", "status=Level 1|Cycles 0-31"};
    QTest::newRow("find a mnemonic no listing has")
        << "x + | fnop" << QStringList{"pc=-", "status=No nop in the listings|Level 1|Cycles 0-31"};
    // F3, Shift+F3: the next or previous cycle of the selected pc, files beyond the window
    // searched; it stays outlined.
    QTest::newRow("next cycle of a pc, far away")
        << "x + f2 g9 | F"
        << QStringList{"barch=345", "status=pc 2 at cycle 345|Level 1|Cycles 345-376"};
    QTest::newRow("next, next, previous, previous")
        << "x + f2 g9 F F B B" << QStringList{"barch=8"};
    QTest::newRow("previous at cycle 0") << "x + f0 g1 | B" << QStringList{"barch=0"};
    QTest::newRow("none before, every file searched")
        << "x + f199 g5 | B"
        << QStringList{"barch=5", "status=pc 199: no cycle before|Level 1|Cycles 5-36"};
    QTest::newRow("nothing selected")
        << "x + | F"
        << QStringList{"barch=0", "status=No instruction selected|Level 1|Cycles 0-31"};
    // Markers: Ctrl+click, on either view; a third one takes the older one's place, a second
    // click takes it away, Escape all of them.
    QTest::newRow("two markers") << "x + ctrlc50,10 ctrlc130,10"
                                 << QStringList{"status=Markers 2, 6: 4 cycles|Level 1|Cycles 0-31",
                                                "marker@50=#005aff", "marker@130=#e6008c"};
    QTest::newRow("a third marker, one taken away")
        << "x + ctrlc50,10 ctrlc130,10 ctrlc210,10 ctrlc130,10"
        << QStringList{"status=Marker 10|Level 1|Cycles 0-31"};
    QTest::newRow("markers cleared")
        << "x + ctrlc50,10 ctrlp130,10 esc"
        << QStringList{"status=Level 1|Cycles 0-31", "marker@50=#dcdcdc"};
    // Keys in the focused view, the bars' paths: arrows, a page of columns, the trace's ends.
    QTest::newRow("keys") << "x + clickc10,150 kEnd kPgUp kLeft kDown"
                          << QStringList{"barch=437", "barcv=1", "status=Level 1|Cycles 437-468"};
    QTest::newRow("home") << "x + clickc10,150 g300 | kHome"
                          << QStringList{"barch=0", "lus=trace_0.xml trace_100.xml"};
    // The wheel: rows, Shift: columns, Ctrl: the next level, nothing past the last one.
    QTest::newRow("wheel") << "x + w-1 s-2" << QStringList{"barch=6", "barcv=3"};
    QTest::newRow("ctrl+wheel") << "x + z-1 z-1" << QStringList{"level=10", "infos=0"};
    // Event names beside the rows; the surface gives them its room.
    QTest::newRow("event names") << "x + names" << QStringList{"width=503", "names@30=#dcdcdc"};
    QTest::newRow("event names, rows scrolled")
        << "x + names barcv+ barcv+" << QStringList{"inkAboveNames=0"};
    // Tooltips: every instruction of the cell, named once its listing is shown; the rate at a
    // coarse level.
    QTest::newRow("tooltip") << "x +"
                             << QStringList{"tip@10,10=Cycle 0, fetch|pc 0|pc 1|pc 2|pc 3"};
    QTest::newRow("tooltip with the listing")
        << "x + clickc10,10"
        << QStringList{"tip@30,30=Cycle 1, decode|pc 0: sd r0, 40(r9)|pc 1: and r11, r1, r14|pc 2: "
                       "slt r2, r11, r3|pc 3: or r13, r6, r12",
                       "pctip@5,5=Cycle 0, pc 0: sd r0, 40(r9)|fetch"};
    QTest::newRow("tooltip at level 10")
        << "x" << QStringList{"tip@10,5=Cycles 0-9, fetch|Rate 100 %"};
    // A cell of several instructions: each left click on it picks the next one, round.
    QTest::newRow("shared cell") << "x + clickc10,10 clickc10,10 clickc10,10"
                                 << QStringList{"pc=2"};
    QTest::newRow("shared cell, round")
        << "x + clickc10,10 clickc10,10 clickc10,10 clickc10,10 clickc10,10" << QStringList{"pc=0"};
    QTest::newRow("another cell starts again")
        << "x + clickc10,10 clickc10,10 clickc30,30" << QStringList{"pc=0"};
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
    QTest::newRow("popup") << "x + pressc10,10"
                           << QStringList{"popupatc=25,10",
                                          "popupc=Cycle : 0|Event : fetch|Pc : 0"};
    QTest::newRow("popup at the right edge")
        << "x pressc610,5"
        << QStringList{"popupatc=512,5", "popupc=Cycle : 300|Event : fetch|Rate : 60 %"};
    QTest::newRow("popup at the bottom edge")
        << "x + pressc150,145"
        << QStringList{"popupatc=165,89", "popupc=Cycle : 7|Event : commit|Pc : 0"};
    QTest::newRow("popup of a rate")
        << "x pressc45,15" << QStringList{"popupc=Cycle : 20|Event : decode|Rate : 10 %"};
    QTest::newRow("no popup below the rows") << "x + pressc45,150" << QStringList{"popupc="};
    QTest::newRow("popup of the PC view")
        << "x + clickc10,10 pressp40,12"
        << QStringList{"popupatp=55,12", "popupp=Cycle : 2|Pc : 0|Event : rename"};
    QTest::newRow("PC view, the row's end")
        << "x + clickc10,10 pressp40,24" << QStringList{"popupp=Cycle : 2|Pc : 1|Event : rename"};
    QTest::newRow("PC view, scrolled") << "x + clickc10,10 barpv+ pressp40,2"
                                       << QStringList{"popupp=Cycle : 2|Pc : 1|Event : rename"};
    QTest::newRow("PC view, no event") << "x + clickc10,10 pressp400,12" << QStringList{"popupp="};
    // Before a start only the level is known; while files are read the status bar names them.
    QTest::newRow("status before a start") << "names" << QStringList{"status=Level 1"};
    QTest::newRow("status while reading")
        << "x!" << QStringList{"status=Reading zoom_10_0.xml: N %|Level 10"};
}

void TestMainFrame::scenarios()
{
    QFETCH(QString, script);
    QFETCH(QStringList, attendu);
    QSettings(QStringLiteral("Zelvar"), QStringLiteral("Zelvar")).clear(); // a first run
    Viewer w;
    QVERIFY2(w.ok(), qPrintable(w.error));
    w.ouvrir();
    for (const QString &pas : script.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (pas == QLatin1String("|")) {
            w.lus.clear();
        } else if (pas.endsWith(QLatin1Char('!'))) { // looked at at once
            jouer(w, pas.chopped(1), false);
        } else {
            QVERIFY2(jouer(w, pas), qPrintable(pas + QStringLiteral(": ") + w.error));
            const QString panne = w.invariants(true);
            QVERIFY2(panne.isEmpty(), qPrintable(pas + QStringLiteral(": ") + panne));
        }
    }
    QVERIFY(verifier(w, attendu));
    QVERIFY2(w.alertes().isEmpty(), qPrintable(w.alertes().join(QLatin1Char('\n'))));
}

// The column of names is a choice kept from one run to the next; it narrows the surface, and
// the controller lays the blocks out for the narrower one.
void TestMainFrame::eventNamesAreRemembered()
{
    QSettings(QStringLiteral("Zelvar"), QStringLiteral("Zelvar")).clear();
    for (const bool affichees : {true, false}) {
        Viewer w;
        QVERIFY2(w.executer(1), qPrintable(w.error));
        QVERIFY(verifier(w, {affichees ? "width=623" : "width=503"}));
        QVERIFY(jouer(w, QStringLiteral("names")));
        QVERIFY(verifier(w, {affichees ? "width=503" : "width=623"}));
        const QString panne = w.invariants(true);
        QVERIFY2(panne.isEmpty(), qPrintable(panne));
    }
    Viewer w;
    w.ouvrir();
    QVERIFY(verifier(w, {"width=623"}));
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
        for (auto it = store.getTabCycle().begin(); !largeur && it != store.getTabCycle().end();
             ++it)
            largeur =
                it->second.empty()
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
