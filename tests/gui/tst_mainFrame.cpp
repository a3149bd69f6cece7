#include "core/graphicTrace.h"
#include "dialogs/messageBox.h"
#include "gui/customEvents.h"
#include "gui/graphicBlockWidget.h"
#include "gui/mainFrame.h"
#include "gui/mainWidget.h"
#include "gui/popupMenuRepainter.h"
#include "gui/tableAsm.h"
#include "gui/traceWidgetCycle.h"
#include "gui/traceWidgetPc.h"
#include "paintCounter.h"

#include <QDir>
#include <QMenuBar>
#include <QPointer>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <thread>

class TestMainFrame : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(QDir::setCurrent(workDir.path())); // the help window writes its history here
        MessageBox::setHandler(
            [this](MessageBox::Kind kind, const QString &title, const QString &text) {
                messages << QString::number(int(kind)) + QLatin1Char(' ') + title +
                                QStringLiteral(": ") + text;
            });
    }

    void init()
    {
        messages.clear();
        frame = new MainFrame();
        frame->resize(640, 480);
        frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame));
    }

    void cleanup() { delete frame; }
    void constructionSteps()
    {
        QCOMPARE(frame->statusBar()->currentMessage(), QStringLiteral("Ready"));
        QStringList tools;
        for (QAction *action : toolBar()->actions())
            tools << (action->isSeparator() ? QStringLiteral("|") : action->toolTip());
        QCOMPARE(tools,
                 (QStringList{"Execute", "Parameters", "|", "Zoom +", "Zoom -", "|", "Legend"}));
        QStringList menus;
        for (QAction *menu : frame->menuBar()->actions()) {
            for (QAction *item : menu->menu() ? menu->menu()->actions() : QList<QAction *>())
                menus << menu->text() + QLatin1Char('/') + item->text() + QLatin1Char(' ') +
                             item->shortcut().toString();
        }
        QCOMPARE(menus,
                 (QStringList{"&File/&Start Ctrl+F5", "&File/&Parameters Ctrl+F3", "&File/ ",
                              "&File/&Legend Ctrl+F2", "&File/ ", "&File/&Quit Ctrl+Q", "&File/ ",
                              "&File/&Open Trace Folder… Ctrl+Shift+O", "&File/&Recent Folders ",
                              "&File/&Export View as Image… Ctrl+Shift+E", "&Zoom/Zoom + ",
                              "&Zoom/Zoom - ", "&View/&Event Names ", "&Go/Go to &Cycle… Ctrl+G",
                              "&Go/&Find Instruction… Ctrl+F", "&Go/Find &Next F3",
                              "&Go/Find &Previous Shift+F3", "&Go/ ", "&Go/Clear &Markers Esc",
                              "&Help/&Help F1", "&Help/ ", "&Help/&About ", "&Help/About &Qt "}));

        // The buttons are found by their names.
        QSignalSpy starts(frame.data(), &MainFrame::demarrer);
        QSignalSpy zooms(frame.data(), &MainFrame::nextZoom);
        for (const char *name : {"Execute", "Zoom +"}) {
            auto *button = toolBar()->findChild<QToolButton *>(QString::fromLatin1(name));
            QVERIFY2(button, name);
            QTest::mouseClick(button, Qt::LeftButton);
        }
        QCOMPARE(starts.count(), 1);
        QCOMPARE(zooms.count(), 1);

        frame->about();
        frame->aboutQt();
        QCOMPARE(messages.size(), 2);
        QVERIFY(messages[0].startsWith(QStringLiteral("2 About: Zelvar")));
        QCOMPARE(messages[1], QStringLiteral("3 AboutQt: "));
    }

    void layoutFollowsTheToolBar()
    {
        QSignalSpy sizes(frame.data(), &MainFrame::sizeChanged);
        frame->resize(700, 521);
        QTRY_COMPARE(frame->size(), QSize(700, 521));
        QVERIFY(sizes.count() >= 1);
        const int h = (521 - frame->menuBar()->height() - frame->statusBar()->height() -
                       toolBar()->height()) /
                      2;
        const int w = table()->widthTable();
        QCOMPARE(frame->findChild<TraceWidgetCycle *>()->geometry(), QRect(0, 0, 700, h));
        QCOMPARE(table()->geometry(), QRect(0, h + 4, w, h - 21));
        QCOMPARE(pcView()->geometry(), QRect(w, h + 4, 700 - w, h - 7));
        QCOMPARE(frame->getLargeurTracePc(), 700 - w - 17);
        QCOMPARE(frame->getHauteurTracePc(), h - 7 - 37);
        // The table's rows start level with the PC view's surface.
        auto *central = frame->findChild<MainWidget *>();
        QCOMPARE(table()->viewport()->mapTo(central, QPoint()).y(),
                 pcView()->getGraphicBlockWidget()->mapTo(central, QPoint()).y());

        // Docked on the left, the tool bar takes width; the first layout uses its old height,
        // the second its real width. Back on top, the same the other way round.
        const int oldHeight = toolBar()->height();
        frame->addToolBar(Qt::LeftToolBarArea, toolBar());
        const int b = 521 - frame->menuBar()->height() - frame->statusBar()->height();
        QCOMPARE(frame->getLargeurTraceCycle(), 700 - oldHeight - 17);
        auto *cycleView = frame->findChild<TraceWidgetCycle *>();
        QTRY_COMPARE(cycleView->geometry(), QRect(0, 0, 700 - toolBar()->width(), b / 2));
        frame->addToolBar(Qt::TopToolBarArea, toolBar());
        QTRY_COMPARE(cycleView->geometry(), QRect(0, 0, 700, h));
        // Hidden (from its context menu), it takes no room at all.
        toolBar()->hide();
        QTRY_COMPARE(cycleView->geometry(), QRect(0, 0, 700, b / 2));
        QCOMPARE(frame->centralWidget()->height(), b);
    }

    void tableAndPcViewStayLevel_data()
    {
        QTest::addColumn<QString>("path");
        for (const char *path : {"table arrow", "table page", "table drag", "pc arrow", "pc page",
                                 "pc drag", "highlight", "table wheel"})
            QTest::newRow(path) << QString::fromLatin1(path);
    }

    void tableAndPcViewStayLevel()
    {
        QFETCH(QString, path);
        frame->setNbPcParAsm(100);
        for (int row = 0; row < 100; ++row)
            table()->setPc(row, QString::number(4 * row));
        QCoreApplication::processEvents();
        frame->setNbCycleTotal(500);
        frame->initScrollBarTracePc(0);
        QScrollBar *tableBar = table()->verticalScrollBar();
        QScrollBar *pcBar = pcView()->getVerticalScrollBar();
        QVERIFY(pcBar->maximum() > 0);
        QCOMPARE(pcBar->maximum(), tableBar->maximum());
        // The controller's answer to a drag of the PC view's slider.
        connect(frame.data(), &MainFrame::sliderVerticalMovedTracePc, frame.data(),
                [this](int v) { frame->repaintVerticalSliderMovedTracePc(v); });
        frame->selectionnerPcTableAsm(40, 0); // away from both ends
        const int start = tableBar->value();
        QVERIFY(start > 0);
        QCOMPARE(pcView()->getPositionVertical(), start);

        auto drag = [](QScrollBar *bar, int to) {
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
            QTest::mouseClick(pcBar, Qt::LeftButton, {},
                              QPoint(pcBar->width() / 2, pcBar->height() - 4));
        else if (path == QLatin1String("pc page"))
            pcBar->triggerAction(QAbstractSlider::SliderPageStepSub);
        else if (path == QLatin1String("pc drag"))
            drag(pcBar, start + 41);
        else if (path == QLatin1String("highlight"))
            frame->selectionnerPcTableAsm(90, 17);
        else if (path == QLatin1String("table wheel")) {
            QWheelEvent wheel(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, -120),
                              Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QCoreApplication::sendEvent(table()->viewport(), &wheel);
        }
        QVERIFY2(tableBar->value() != start, "the path moved nothing");
        QCOMPARE(pcView()->getPositionVertical(), tableBar->value());
        QCOMPARE(pcBar->value(), tableBar->value());
        if (path == QLatin1String("highlight"))
            QCOMPARE(pcView()->getPositionHorizontal(), 17);
    }

    // An assembly listing and messages as parsers post them: nothing shows before control is
    // back in the event loop; then the cells are written in order, the PC view repaints, the
    // columns are fitted last and the messages shown.
    void eventsApplyInPostingOrder()
    {
        frame->setNbPcParAsm(3);
        const QRect before = pcView()->geometry();
        const QString longMnemonic(40, QLatin1Char('m'));
        auto post = [this](QEvent *event) { QCoreApplication::postEvent(frame, event); };
        std::thread parser([&] { // the trace parsers post from their own threads
            for (int row = 0; row < 3; ++row) {
                post(new TableAsmSetPcEvent(row, QString::number(row)));
                post(new TableAsmSetMnemonicEvent(row, "ld"));
                post(new TableAsmSetValueEvent(row, 0, "r1"));
                post(new TableAsmSetValueEvent(row, 1, "r2"));
            }
            post(new TableAsmSetMnemonicEvent(1, longMnemonic));
            post(new MainFrameRepaintTracePcEvent);
            post(new MainFrameAdjustAsm);
            post(new MainFrameMessageAlertEvent("File a doesn't exist"));
            post(new MainFrameMessageInfoEvent("notice"));
            post(new MainFrameMessageAlertEvent("second"));
        });
        parser.join();
        QCOMPARE(table()->cellText(0, 0), QString());
        QVERIFY(messages.isEmpty());

        PaintCounter pcPaints(pcView(), pcView()->getGraphicBlockWidget()->geometry());
        QString lastCellAtRepaint;
        int widthAtRepaint = -1;
        pcPaints.onPaint = [&] {
            if (widthAtRepaint == -1) {
                lastCellAtRepaint = table()->cellText(2, 3);
                widthAtRepaint = table()->columnWidth(1);
            }
        };
        QCoreApplication::sendPostedEvents(frame);
        QCOMPARE(table()->cellText(0, 1), QStringLiteral("ld"));
        QCOMPARE(table()->cellText(1, 1), longMnemonic); // the later write wins
        QCOMPARE(lastCellAtRepaint, QStringLiteral("r2"));
        const int fitted = table()->fontMetrics().horizontalAdvance(longMnemonic);
        QVERIFY(widthAtRepaint < fitted);
        QVERIFY(table()->columnWidth(1) >= fitted);
        // The wider table narrows the PC view beside it.
        int columns = 23;
        for (int column = 0; column < 5; ++column)
            columns += table()->columnWidth(column);
        QCOMPARE(table()->widthTable(), columns);
        QCOMPARE(table()->width(), columns);
        QVERIFY(columns > before.x());
        QCOMPARE(pcView()->x(), columns);
        QCOMPARE(pcView()->geometry().right(), before.right());
        // Messages go through the replaceable box, in order too.
        QCOMPARE(messages, (QStringList{"1 error: File a doesn't exist", "0 information: notice",
                                        "1 error: second"}));
    }

    void otherEventTypesDoNothing()
    {
        frame->setNbPcParAsm(2);
        table()->setPc(0, QStringLiteral("kept"));
        const QSize tableSize = table()->size();
        // Between two of ours, past the last, and foreign classes carrying our types.
        for (int type : {TableAsmSetValueEvent::EventType + 1, MainFrameAdjustAsm::EventType + 1,
                         int(QEvent::User), int(TableAsmSetPcEvent::EventType),
                         int(MainFrameMessageAlertEvent::EventType)})
            QCoreApplication::postEvent(frame, new QEvent(QEvent::Type(type)));
        QCoreApplication::sendPostedEvents(frame);
        QCOMPARE(table()->cellText(0, 0), QStringLiteral("kept"));
        QCOMPARE(table()->size(), tableSize);
        QVERIFY(messages.isEmpty());
    }

    void menusRepaintHoweverTheyClose_data()
    {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<bool>("escape"); // else a click outside the menu
        for (const char *menu : {"fileMenu", "zoomMenu", "helpMenu"}) {
            QTest::addRow("%s escape", menu) << menu << true;
            QTest::addRow("%s click elsewhere", menu) << menu << false;
        }
    }

    void menusRepaintHoweverTheyClose()
    {
        QFETCH(QString, menu);
        QFETCH(bool, escape);
        auto *popup = frame->findChild<PopupMenuRepainter *>(menu);
        QSignalSpy closed(popup, &PopupMenuRepainter::popupMenuClosed);
        popup->popup(frame->mapToGlobal(QPoint(20, 40)));
        QVERIFY(QTest::qWaitForWindowExposed(popup));
        PaintCounter cyclePaints(frame->findChild<TraceWidgetCycle *>());
        PaintCounter pcPaints(pcView());
        PaintCounter tablePaints(table()->viewport());
        if (escape)
            QTest::keyClick(popup, Qt::Key_Escape);
        else
            QTest::mouseClick(popup, Qt::LeftButton, {},
                              QPoint(popup->width() + 50, popup->height() + 50));
        QTRY_VERIFY(popup->isHidden());
        QCOMPARE(closed.count(), 1);
        QVERIFY(cyclePaints.count > 0);
        QVERIFY(pcPaints.count > 0);
        QVERIFY(tablePaints.count > 0);
    }

    void closingSignalsAndDeletes()
    {
        QSignalSpy closing(frame.data(), &MainFrame::closeSignal);
        QTest::keyClick(frame, Qt::Key_Q, Qt::ControlModifier);
        QCOMPARE(closing.count(), 1);
        QTRY_VERIFY(frame.isNull());
    }

private:
    TraceWidgetPc *pcView() const { return frame->findChild<TraceWidgetPc *>(); }
    TableAsm *table() const { return frame->findChild<TableAsm *>(); }
    QToolBar *toolBar() const { return frame->findChild<QToolBar *>(); }

    QTemporaryDir workDir;
    QPointer<MainFrame> frame;
    QStringList messages; // "kind title: text"
};

QTEST_MAIN(TestMainFrame)
#include "tst_mainFrame.moc"
