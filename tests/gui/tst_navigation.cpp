#include "viewer.h"

#include "dialogs/inputChooser.h"
#include "gui/graphicBlockWidget.h"
#include "gui/mainFrame.h"
#include "gui/tableAsm.h"
#include "gui/traceWidgetCycle.h"
#include "gui/traceWidgetPc.h"

#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QSettings>
#include <QTextDocumentFragment>
#include <QToolTip>
#include <QtTest>

// The ways to find one's way and read the picture, through the real window on the generated
// sample (500 cycles, 100 a file, pcs 0 to 199 listed 100 a file): each scenario plays a user's
// steps and compares what the user then sees, and the viewer's invariants hold throughout.
class TestNavigation : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    // Each test starts with the settings of a first run.
    void init() { QSettings(QStringLiteral("Zelvar"), QStringLiteral("Zelvar")).clear(); }
    void scenarios_data();
    void scenarios();
    void eventNamesAreRemembered();
};

namespace {

QStringList reponses; // what the user types into the next questions

QAction *action(MainFrame *m, const QString &texte)
{
    for (QAction *menu : m->menuBar()->actions()) {
        for (QAction *item : menu->menu() ? menu->menu()->actions() : QList<QAction *>()) {
            if (item->text() == texte)
                return item;
        }
    }
    return nullptr;
}

// The surface of the cycle view (c) or of the PC view (p).
GraphicBlockWidget *surface(Viewer &v, QChar vue)
{
    return (vue == QLatin1Char('p') ? static_cast<TraceWidget *>(v.vuePc())
                                    : static_cast<TraceWidget *>(v.vueCycle()))
        ->getGraphicBlockWidget();
}

QPoint point(const QString &texte)
{
    const QStringList xy = texte.split(QLatin1Char(','));
    return QPoint(xy.value(0).toInt(), xy.value(1).toInt());
}

void molette(QWidget *w, int delta, Qt::KeyboardModifiers modifiers)
{
    const QPoint p(10, 10);
    QWheelEvent e(p, w->mapToGlobal(p), QPoint(), QPoint(0, delta), Qt::NoButton, modifiers,
                  Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(w, &e);
}

// One step: x start, + and - zoom, g<text> Go to Cycle, f<text> Find Instruction, F and B
// Find Next and Find Previous, k<key> a key on the cycle view, w<n> / s<n> / z<n> n notches of
// the wheel, plain, with Shift, with Ctrl (negative: towards the user), c<x,y> / m<x,y> a
// left click / a Ctrl+click on the cycle view's surface, p<...> the same on the PC view's,
// e Escape, n the event names.
bool jouer(Viewer &v, const QString &pas, bool attendre = true)
{
    MainFrame *m = v.mainFrame;
    const QChar op = pas.at(0);
    const QString reste = pas.mid(1);
    if (op == QLatin1Char('x')) {
        emit m->demarrer();
    } else if (op == QLatin1Char('+')) {
        emit m->nextZoom();
    } else if (op == QLatin1Char('-')) {
        emit m->prevZoom();
    } else if (op == QLatin1Char('g') || op == QLatin1Char('f')) {
        reponses << reste;
        action(m, op == QLatin1Char('g') ? QStringLiteral("Go to &Cycle…")
                                         : QStringLiteral("&Find Instruction…"))
            ->trigger();
    } else if (op == QLatin1Char('F') || op == QLatin1Char('B')) {
        QTest::keyClick(m, Qt::Key_F3, op == QLatin1Char('B') ? Qt::ShiftModifier : Qt::NoModifier);
    } else if (op == QLatin1Char('k')) {
        const QMap<QString, int> touches{{"Right", Qt::Key_Right}, {"Left", Qt::Key_Left},
                                         {"Down", Qt::Key_Down},   {"PgDn", Qt::Key_PageDown},
                                         {"PgUp", Qt::Key_PageUp}, {"End", Qt::Key_End},
                                         {"Home", Qt::Key_Home}};
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(touches.value(reste)));
    } else if (op == QLatin1Char('w') || op == QLatin1Char('s') || op == QLatin1Char('z')) {
        // Sent to the view: only the system's own wheel events go up from the surface.
        molette(v.vueCycle(), 120 * reste.toInt(),
                op == QLatin1Char('s')   ? Qt::ShiftModifier
                : op == QLatin1Char('z') ? Qt::ControlModifier
                                         : Qt::NoModifier);
    } else if (op == QLatin1Char('c') || op == QLatin1Char('m') || op == QLatin1Char('p')) {
        const bool pc = op == QLatin1Char('p');
        const bool ctrl = op == QLatin1Char('m') || (pc && reste.startsWith(QLatin1Char('m')));
        QTest::mouseClick(surface(v, pc ? QLatin1Char('p') : QLatin1Char('c')), Qt::LeftButton,
                          ctrl ? Qt::ControlModifier : Qt::NoModifier,
                          point(pc ? reste.mid(1) : reste));
    } else if (op == QLatin1Char('e')) {
        QTest::keyClick(m, Qt::Key_Escape);
    } else if (op == QLatin1Char('n')) {
        action(m, QStringLiteral("&Event Names"))->toggle();
    }
    // A search runs on a thread of its own: its end shows as the busy indicator going.
    const auto *occupe = m->findChild<QWidget *>(QStringLiteral("statusBusy"));
    return !attendre ||
           (QTest::qWaitFor([occupe] { return !occupe->isVisible(); }) && v.attendre());
}

// What the user sees, named as in the expected values: bar (the cycle view's first cycle), v
// (its first row), pcbar (the PC view's first cycle), level, pc (the pc of the table's
// highlighted row), status (the status bar's fields shown), tip@x,y and pctip@x,y (the tooltip
// over that point of the cycle view's or the PC view's surface), width (of its surface), lus (files
// read since the start of the compared part), marker@x (the colour of the cycle view at x of its
// strip).
QString observer(Viewer &v, const QString &quoi)
{
    if (quoi == QLatin1String("bar"))
        return QString::number(v.vueCycle()->getHorizontalScrollBar()->value());
    if (quoi == QLatin1String("v"))
        return QString::number(v.vueCycle()->getVerticalScrollBar()->value());
    if (quoi == QLatin1String("pcbar"))
        return QString::number(v.vuePc()->getHorizontalScrollBar()->value());
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
            const auto *label = v.mainFrame->findChild<QLabel *>(QString::fromLatin1(nom));
            if (label && label->isVisible())
                champs << label->text();
        }
        // How far a read has gone depends on the machine's speed; only its presence is fixed.
        return champs.join(QLatin1Char('|')).replace(QRegularExpression(QStringLiteral("\\d+ %")),
                                                     QStringLiteral("N %"));
    }
    if (quoi.startsWith(QLatin1String("tip@")) || quoi.startsWith(QLatin1String("pctip@"))) {
        QToolTip::hideText();
        QWidget *s = surface(v, quoi.at(0));
        const QPoint p = point(quoi.mid(quoi.indexOf(QLatin1Char('@')) + 1));
        QHelpEvent e(QEvent::ToolTip, p, s->mapToGlobal(p));
        QCoreApplication::sendEvent(s, &e);
        const QString texte = QToolTip::isVisible() ? QToolTip::text() : QString();
        return QTextDocumentFragment::fromHtml(texte).toPlainText().replace(QLatin1Char('\n'),
                                                                            QLatin1Char('|'));
    }
    if (quoi == QLatin1String("width"))
        return QString::number(surface(v, QLatin1Char('c'))->width());
    if (quoi == QLatin1String("lus")) {
        QStringList noms;
        for (const QString &lu : v.lus)
            noms << QFileInfo(lu).fileName();
        return noms.join(QLatin1Char(' '));
    }
    if (quoi == QLatin1String("infos"))
        return QString::number(v.textes(MessageBox::Kind::Information).size());
    if (quoi.startsWith(QLatin1String("names@")))
        return QColor(v.ecran(v.vueCycle()).pixel(2, quoi.mid(6).toInt())).name();
    if (quoi.startsWith(QLatin1String("marker@"))) {
        const QImage image = v.ecran(v.vueCycle());
        const int x = surface(v, QLatin1Char('c'))->x() + quoi.mid(7).toInt();
        return QColor(image.pixel(x, 5)).name();
    }
    return QStringLiteral("?");
}

} // namespace

void TestNavigation::initTestCase()
{
    // Run without CTest too, the settings cleared below are never the user's.
    static QTemporaryDir reglages;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, reglages.path());
    InputChooser::setHandler([](const InputChooser::Request &) -> std::optional<QString> {
        if (reponses.isEmpty())
            return std::nullopt;
        return reponses.takeFirst();
    });
}

void TestNavigation::scenarios_data()
{
    QTest::addColumn<QString>("script");      // steps (see jouer); "|" starts what is compared
    QTest::addColumn<QStringList>("attendu"); // what=value (see observer)

    // Go to Cycle: any cycle, read around it as a zoom change does, brought to a column and
    // within the bar.
    QTest::newRow("go beyond the window")
        << "x + | g250" << QStringList{"bar=250", "lus=trace_200.xml trace_300.xml"};
    QTest::newRow("go at level 10") << "x | g157" << QStringList{"bar=150", "level=10"};
    QTest::newRow("go past the end") << "x + | g9999" << QStringList{"bar=469"};
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
    QTest::newRow("find a mnemonic no listing has")
        << "x + | fnop" << QStringList{"pc=-", "status=No nop in the listings|Level 1|Cycles 0-31"};
    // F3, Shift+F3: the next or previous cycle of the selected pc, files beyond the window
    // searched; it stays outlined.
    QTest::newRow("next cycle of a pc, far away")
        << "x + f2 g9 | F"
        << QStringList{"bar=345", "status=pc 2 at cycle 345|Level 1|Cycles 345-376"};
    QTest::newRow("next, next, previous, previous") << "x + f2 g9 F F B B" << QStringList{"bar=8"};
    QTest::newRow("previous at cycle 0") << "x + f0 g1 | B" << QStringList{"bar=0"};
    QTest::newRow("nothing selected")
        << "x + | F" << QStringList{"bar=0", "status=No instruction selected|Level 1|Cycles 0-31"};
    // Markers: Ctrl+click, on either view; a third one takes the older one's place, a second
    // click takes it away, Escape all of them.
    QTest::newRow("two markers") << "x + m50,10 m130,10"
                                 << QStringList{"status=Markers 2, 6: 4 cycles|Level 1|Cycles 0-31",
                                                "marker@50=#005aff", "marker@130=#e6008c"};
    QTest::newRow("a third marker, one taken away")
        << "x + m50,10 m130,10 m210,10 m130,10"
        << QStringList{"status=Marker 10|Level 1|Cycles 0-31"};
    QTest::newRow("markers cleared")
        << "x + m50,10 pm130,10 e"
        << QStringList{"status=Level 1|Cycles 0-31", "marker@50=#dcdcdc"};
    // Keys in the focused view, the bars' paths: arrows, a page of columns, the trace's ends.
    QTest::newRow("keys") << "x + c10,150 kEnd kPgUp kLeft kDown"
                          << QStringList{"bar=437", "v=1", "status=Level 1|Cycles 437-468"};
    QTest::newRow("home") << "x + c10,150 g300 | kHome"
                          << QStringList{"bar=0", "lus=trace_0.xml trace_100.xml"};
    // The wheel: rows, Shift: columns, Ctrl: the next level, nothing past the last one.
    QTest::newRow("wheel") << "x + w-1 s-2" << QStringList{"bar=6", "v=3"};
    QTest::newRow("ctrl+wheel") << "x + z-1 z-1" << QStringList{"level=10", "infos=0"};
    // Event names beside the rows; the surface gives them its room.
    QTest::newRow("event names") << "x + n" << QStringList{"width=503", "names@30=#dcdcdc"};
    // Tooltips: every instruction of the cell, named once its listing is shown; the rate at a
    // coarse level.
    QTest::newRow("tooltip") << "x +"
                             << QStringList{"tip@10,10=Cycle 0, fetch|pc 0|pc 1|pc 2|pc 3"};
    QTest::newRow("tooltip with the listing")
        << "x + c10,10"
        << QStringList{"tip@30,30=Cycle 1, decode|pc 0: sd r0, 40(r9)|pc 1: and r11, r1, r14|pc 2: "
                       "slt r2, r11, r3|pc 3: or r13, r6, r12"};
    QTest::newRow("tooltip of the PC view")
        << "x + c10,10" << QStringList{"pctip@5,5=Cycle 0, pc 0: sd r0, 40(r9)|fetch"};
    QTest::newRow("tooltip at level 10")
        << "x" << QStringList{"tip@10,5=Cycles 0-9, fetch|Rate 100 %"};
    // A cell of several instructions: each left click on it picks the next one.
    QTest::newRow("shared cell") << "x + c10,10 c10,10 c10,10" << QStringList{"pc=2"};
    QTest::newRow("shared cell, round")
        << "x + c10,10 c10,10 c10,10 c10,10 c10,10" << QStringList{"pc=0"};
    QTest::newRow("another cell starts again") << "x + c10,10 c10,10 c30,30" << QStringList{"pc=0"};
    // Before a start only the level is known; while files are read the status bar names them.
    QTest::newRow("status before a start") << "n" << QStringList{"status=Level 1"};
    QTest::newRow("status while reading")
        << "x!" << QStringList{"status=Reading zoom_10_0.xml: N %|Level 10"};
}

void TestNavigation::scenarios()
{
    QFETCH(QString, script);
    QFETCH(QStringList, attendu);
    Viewer v;
    QVERIFY2(v.ok(), qPrintable(v.error));
    v.ouvrir();
    for (const QString &pas : script.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (pas == QLatin1String("|")) {
            v.lus.clear();
            continue;
        }
        if (pas.endsWith(QLatin1Char('!'))) { // looked at at once
            jouer(v, pas.chopped(1), false);
            continue;
        }
        QVERIFY2(jouer(v, pas), qPrintable(pas + QStringLiteral(": ") + v.error));
        const QString panne = v.invariants(true);
        QVERIFY2(panne.isEmpty(), qPrintable(pas + QStringLiteral(": ") + panne));
    }
    for (const QString &a : attendu) {
        const qsizetype egal = a.indexOf(QLatin1Char('='));
        QCOMPARE(observer(v, a.left(egal)), a.mid(egal + 1));
    }
    QVERIFY2(v.alertes().isEmpty(), qPrintable(v.alertes().join(QLatin1Char('\n'))));
}

// The column of names is a choice kept from one run to the next; it narrows the surface, and
// the controller lays the blocks out for the narrower one.
void TestNavigation::eventNamesAreRemembered()
{
    for (const bool affichees : {true, false}) {
        Viewer v;
        QVERIFY2(v.executer(1), qPrintable(v.error));
        QCOMPARE(observer(v, QStringLiteral("width")), affichees ? "623" : "503");
        QVERIFY(jouer(v, QStringLiteral("n")));
        QCOMPARE(observer(v, QStringLiteral("width")), affichees ? "503" : "623");
        QCOMPARE(action(v.mainFrame, QStringLiteral("&Event Names"))->isChecked(), affichees);
        const QString panne = v.invariants(true);
        QVERIFY2(panne.isEmpty(), qPrintable(panne));
    }
    Viewer v;
    v.ouvrir();
    QCOMPARE(observer(v, QStringLiteral("width")), "623");
}

QTEST_MAIN(TestNavigation)
#include "tst_navigation.moc"
