#include "core/graphicTrace.h"
#include "dialogs/messageBox.h"
#include "dialogs/parametersDialog.h"
#include "gui/customEvents.h"
#include "gui/graphicBlockWidget.h"
#include "gui/mainFrame.h"
#include "gui/mainWidget.h"
#include "gui/popupMenuRepainter.h"
#include "gui/tableAsm.h"
#include "gui/traceWidgetCycle.h"
#include "gui/traceWidgetPc.h"
#include "paintCounter.h"
#include "traceFixture.h"

#include <QAction>
#include <QDir>
#include <QMenuBar>
#include <QPointer>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QWheelEvent>

#include <thread>

struct Message
{
    MessageBox::Kind kind;
    QString title;
    QString text;
};

class TestMainFrame : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void constructionSteps();
    void commandsEmitTheirSignals_data();
    void commandsEmitTheirSignals();
    void parameterChangesAreRelayed_data();
    void parameterChangesAreRelayed();
    void layoutWithHorizontalToolBar();
    void layoutWithVerticalToolBar();
    void widerTableNarrowsThePcView();
    void tableRowsAreLevelWithThePcView();
    void tableAndPcViewStayLevel_data();
    void tableAndPcViewStayLevel();
    void eventsApplyInPostingOrder();
    void eventsFromAnotherThread();
    void otherEventTypesDoNothing();
    void messagesGoThroughTheBox_data();
    void messagesGoThroughTheBox();
    void menusRepaintHoweverTheyClose_data();
    void menusRepaintHoweverTheyClose();
    void parametersDialogRepaints();
    void leftPressOnABlockAsksForItsPc();
    void storeHandedOverFromAParserThread();
    void closingSignalsAndDeletes();

private:
    void loadListing(int rows);
    TraceWidgetCycle *cycleView() const { return frame->findChild<TraceWidgetCycle *>(); }
    TraceWidgetPc *pcView() const { return frame->findChild<TraceWidgetPc *>(); }
    TableAsm *table() const { return frame->findChild<TableAsm *>(); }
    QToolBar *toolBar() const
    {
        return frame->findChild<QToolBar *>(QStringLiteral("mainToolBar"));
    }

    QTemporaryDir workDir;
    QString previousDir;
    QPointer<MainFrame> frame;
    QList<Message> messages;
};

void TestMainFrame::initTestCase()
{
    // The help window keeps its history in the working directory.
    previousDir = QDir::currentPath();
    QVERIFY(QDir::setCurrent(workDir.path()));
    MessageBox::setHandler(
        [this](MessageBox::Kind kind, const QString &title, const QString &text) {
            messages.append({kind, title, text});
        });
}

void TestMainFrame::cleanupTestCase()
{
    MessageBox::setHandler({});
    QDir::setCurrent(previousDir);
}

void TestMainFrame::init()
{
    messages.clear();
    frame = new MainFrame();
    frame->resize(640, 480);
    frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(frame));
}

void TestMainFrame::cleanup()
{
    delete frame;
}

// An assembly listing of `rows` pcs as the controller loads it, with the PC view set up.
void TestMainFrame::loadListing(int rows)
{
    frame->setNbPcParAsm(rows);
    for (int row = 0; row < rows; ++row) {
        table()->setPc(row, QString::number(4 * row));
        table()->setMnemonic(row, QStringLiteral("add"));
    }
    table()->adjust();
    QCoreApplication::processEvents();
    const int h = frame->getRowHeightTableAsm();
    frame->setLargeurBlockTracePc(h);
    frame->setHauteurBlockTracePc(h);
    frame->setNbBlockHorizontalToPaintTracePc(frame->getLargeurTracePc() / h + 1);
    frame->setNbBlockVerticalToPaintTracePc(frame->getHauteurTracePc() / h + 1);
    frame->setNbCycleTotal(500);
    frame->initScrollBarTracePc(h);
    QVERIFY(pcView()->getVerticalScrollBar()->maximum() > 0);
    QCOMPARE(pcView()->getVerticalScrollBar()->maximum(), table()->verticalScrollBar()->maximum());
}

void TestMainFrame::constructionSteps()
{
    QCOMPARE(frame->objectName(), QStringLiteral("main Frame"));
    QVERIFY(frame->testAttribute(Qt::WA_DeleteOnClose));
    QCOMPARE(frame->statusBar()->currentMessage(), QStringLiteral("Ready"));
    QTRY_VERIFY_WITH_TIMEOUT(frame->statusBar()->currentMessage().isEmpty(), 3000);

    QStringList tools;
    for (QAction *action : toolBar()->actions())
        tools << (action->isSeparator() ? QStringLiteral("|") : action->objectName());
    QCOMPARE(tools, (QStringList{"Execute", "Parameters", "|", "Zoom +", "Zoom -", "|", "Legend"}));
    QCOMPARE(toolBar()->iconSize(), QSize(32, 32));
    QCOMPARE(toolBar()->windowTitle(), QStringLiteral("MainToolBar"));

    QStringList menus;
    for (QAction *action : frame->menuBar()->actions()) {
        if (action->isSeparator())
            continue;
        QStringList items;
        for (QAction *item : action->menu()->actions())
            items << (item->isSeparator()
                          ? QStringLiteral("|")
                          : item->text() + QLatin1Char(' ') + item->shortcut().toString());
        menus << action->text() + QStringLiteral(": ") + items.join(QStringLiteral(", "));
    }
    QCOMPARE(menus,
             (QStringList{"&File: &Start Ctrl+F5, &Parameters Ctrl+F3, |, &Legend Ctrl+F2, |, "
                          "&Quit Ctrl+Q",
                          "&Zoom: Zoom + , Zoom - ", "&Help: &Help F1, |, &About , About &Qt "}));

    for (const char *name :
         {"mainWidget", "traceWidgetCycle", "traceWidgetPc", "tableAsm", "Parameters", "Legend"})
        QVERIFY2(frame->findChild<QWidget *>(QString::fromLatin1(name)), name);
    QCOMPARE(frame->getCouleurTrace(), QColor(Qt::white));
}

void TestMainFrame::commandsEmitTheirSignals_data()
{
    QTest::addColumn<QString>("command"); // tool name, or "menu/item"
    QTest::addColumn<QByteArray>("signal");

    QTest::newRow("Execute") << "Execute" << QByteArray(SIGNAL(demarrer()));
    QTest::newRow("Zoom + button") << "Zoom +" << QByteArray(SIGNAL(nextZoom()));
    QTest::newRow("Zoom - button") << "Zoom -" << QByteArray(SIGNAL(prevZoom()));
    QTest::newRow("Start item") << "&File/&Start" << QByteArray(SIGNAL(demarrer()));
    QTest::newRow("Zoom + item") << "&Zoom/Zoom +" << QByteArray(SIGNAL(nextZoom()));
    QTest::newRow("Zoom - item") << "&Zoom/Zoom -" << QByteArray(SIGNAL(prevZoom()));
}

void TestMainFrame::commandsEmitTheirSignals()
{
    QFETCH(QString, command);
    QFETCH(QByteArray, signal);
    QSignalSpy spy(frame.data(), signal.constData());
    const QStringList parts = command.split(QLatin1Char('/'));
    if (parts.size() == 1) {
        QAction *action = toolBar()->findChild<QAction *>(command);
        QVERIFY(action);
        QTest::mouseClick(toolBar()->widgetForAction(action), Qt::LeftButton);
    } else {
        for (QAction *menu : frame->menuBar()->actions()) {
            if (menu->text() != parts[0])
                continue;
            for (QAction *item : menu->menu()->actions()) {
                if (item->text() == parts[1])
                    item->trigger();
            }
        }
    }
    QCOMPARE(spy.count(), 1);
}

void TestMainFrame::parameterChangesAreRelayed_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<bool>("number");
    for (const char *name :
         {"configFileChanged", "tracePrefixChanged", "traceDirectoryChanged", "zoomPrefixChanged",
          "zoomDirectoryChanged", "asmPrefixChanged", "asmDirectoryChanged"})
        QTest::newRow(name) << QByteArray(name) << false;
    for (const char *name : {"nbCycleByFileChanged", "nbPcByAsmChanged", "nbCycleTotalChanged"})
        QTest::newRow(name) << QByteArray(name) << true;
}

void TestMainFrame::parameterChangesAreRelayed()
{
    QFETCH(QByteArray, name);
    QFETCH(bool, number);
    auto *dialog = frame->findChild<ParametersDialog *>();
    QVERIFY(dialog);
    const QByteArray signature = name + (number ? "(int)" : "(QString)");
    QSignalSpy spy(frame.data(), QByteArray("2" + signature).constData());
    QVERIFY(spy.isValid());
    if (number)
        QVERIFY(QMetaObject::invokeMethod(dialog, name.constData(), Q_ARG(int, 42)));
    else
        QVERIFY(QMetaObject::invokeMethod(dialog, name.constData(),
                                          Q_ARG(QString, QStringLiteral("../x y"))));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.first().at(0), number ? QVariant(42) : QVariant(QStringLiteral("../x y")));
}

void TestMainFrame::layoutWithHorizontalToolBar()
{
    QSignalSpy sizes(frame.data(), &MainFrame::sizeChanged);
    frame->resize(700, 521);
    QTRY_COMPARE(frame->size(), QSize(700, 521));
    QVERIFY(sizes.count() >= 1);

    const int b =
        521 - frame->menuBar()->height() - frame->statusBar()->height() - toolBar()->height();
    const int h = b / 2;
    const int w = table()->widthTable();
    QCOMPARE(cycleView()->geometry(), QRect(0, 0, 700, h));
    QCOMPARE(table()->geometry(), QRect(0, h + 4, w, h - 21));
    QCOMPARE(pcView()->geometry(), QRect(w, h + 4, 700 - w, h - 7));
    QCOMPARE(frame->getLargeurTraceCycle(), 700 - 17);
    QCOMPARE(frame->getHauteurTraceCycle(), h - 37);
    QCOMPARE(frame->getLargeurTracePc(), 700 - w - 17);
    QCOMPARE(frame->getHauteurTracePc(), h - 7 - 37);
}

void TestMainFrame::layoutWithVerticalToolBar()
{
    const int toolBarHeight = toolBar()->height();
    frame->addToolBar(Qt::LeftToolBarArea, toolBar());
    // The first layout, right after the change, takes the old height as the new width.
    const int b = 480 - frame->menuBar()->height() - frame->statusBar()->height();
    QCOMPARE(cycleView()->geometry(), QRect(0, 0, 640 - toolBarHeight, b / 2));

    frame->resize(660, 480);
    QTRY_COMPARE(frame->size(), QSize(660, 480));
    QCOMPARE(toolBar()->orientation(), Qt::Vertical);
    QCOMPARE(cycleView()->geometry(), QRect(0, 0, 660 - toolBar()->width(), b / 2));
    QCOMPARE(pcView()->geometry().right(), 660 - toolBar()->width() - 1);
}

void TestMainFrame::widerTableNarrowsThePcView()
{
    const QRect before = pcView()->geometry();
    QCoreApplication::postEvent(frame, new TableAsmSetMnemonicEvent(
                                           0, QStringLiteral("a-mnemonic-much-wider-than-before")));
    QCoreApplication::postEvent(frame, new MainFrameAdjustAsm);
    QCoreApplication::sendPostedEvents(frame);
    const int w = table()->widthTable();
    QVERIFY(w > before.x());
    QCOMPARE(table()->width(), w);
    QCOMPARE(pcView()->x(), w);
    QCOMPARE(pcView()->geometry().right(), before.right());
}

void TestMainFrame::tableRowsAreLevelWithThePcView()
{
    auto *mainWidget = frame->findChild<MainWidget *>();
    const QPoint rowsTop = table()->viewport()->mapTo(mainWidget, QPoint(0, 0));
    const QPoint surfaceTop = pcView()->getGraphicBlockWidget()->mapTo(mainWidget, QPoint(0, 0));
    QCOMPARE(rowsTop.y(), surfaceTop.y());
    QCOMPARE(frame->getRowHeightTableAsm(), table()->rowHeight(0));
    QVERIFY(frame->getRowHeightTableAsm() > 0);
}

void TestMainFrame::tableAndPcViewStayLevel_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("arrow on the table's bar") << "table arrow";
    QTest::newRow("page on the table's bar") << "table page";
    QTest::newRow("drag of the table's slider") << "table drag";
    QTest::newRow("arrow on the PC view's bar") << "pc arrow";
    QTest::newRow("page on the PC view's bar") << "pc page";
    QTest::newRow("drag of the PC view's slider") << "pc drag";
    QTest::newRow("programmatic highlight") << "highlight";
    QTest::newRow("wheel over the table") << "table wheel";
}

void TestMainFrame::tableAndPcViewStayLevel()
{
    QFETCH(QString, path);
    loadListing(100);
    QScrollBar *tableBar = table()->verticalScrollBar();
    QScrollBar *pcBar = pcView()->getVerticalScrollBar();
    // The controller's answer to a drag of the PC view's slider.
    connect(frame.data(), &MainFrame::sliderVerticalMovedTracePc, frame.data(),
            [this](int v) { frame->repaintVerticalSliderMovedTracePc(v); });
    // Start away from the top so that backward moves show too.
    frame->selectionnerPcTableAsm(40, 0);
    const int start = tableBar->value();
    QVERIFY(start > 0);
    QCOMPARE(pcView()->getPositionVertical(), start);

    if (path == QLatin1String("table arrow")) {
        QTest::mouseClick(tableBar, Qt::LeftButton, {}, QPoint(tableBar->width() / 2, 4));
    } else if (path == QLatin1String("table page")) {
        tableBar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    } else if (path == QLatin1String("table drag")) {
        tableBar->setSliderDown(true);
        tableBar->setSliderPosition(start + 37);
        tableBar->setSliderDown(false);
    } else if (path == QLatin1String("pc arrow")) {
        QTest::mouseClick(pcBar, Qt::LeftButton, {},
                          QPoint(pcBar->width() / 2, pcBar->height() - 4));
    } else if (path == QLatin1String("pc page")) {
        pcBar->triggerAction(QAbstractSlider::SliderPageStepSub);
    } else if (path == QLatin1String("pc drag")) {
        pcBar->setSliderDown(true);
        pcBar->setSliderPosition(start + 41);
        pcBar->setSliderDown(false);
    } else if (path == QLatin1String("highlight")) {
        frame->selectionnerPcTableAsm(90, 17);
        QCOMPARE(pcView()->getPositionHorizontal(), 17);
        QCOMPARE(pcBar->value(), tableBar->value());
    } else if (path == QLatin1String("table wheel")) {
        QWheelEvent wheel(QPointF(10, 10), table()->viewport()->mapToGlobal(QPointF(10, 10)),
                          QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(table()->viewport(), &wheel);
    }

    QVERIFY2(tableBar->value() != start, "the path did not move anything");
    QCOMPARE(pcView()->getPositionVertical(), tableBar->value());
}

// An assembly listing of 3 pcs with 2 operands each, as the controller posts it while the
// parse runs in the GUI thread: nothing shows before control is back in the event loop, then
// the cells are written in order and the columns fitted last.
void TestMainFrame::eventsApplyInPostingOrder()
{
    frame->setNbPcParAsm(3);
    PaintCounter pcPaints(pcView(), pcView()->getGraphicBlockWidget()->geometry());
    const QString longMnemonic = QStringLiteral("a-long-mnemonic-to-fit-the-column-to");
    for (int row = 0; row < 3; ++row) {
        QCoreApplication::postEvent(frame, new TableAsmSetPcEvent(row, QString::number(row)));
        QCoreApplication::postEvent(frame, new TableAsmSetMnemonicEvent(row, QStringLiteral("ld")));
        QCoreApplication::postEvent(frame, new TableAsmSetValueEvent(row, 0, QStringLiteral("r1")));
        QCoreApplication::postEvent(frame, new TableAsmSetValueEvent(row, 1, QStringLiteral("r2")));
    }
    QCoreApplication::postEvent(frame, new TableAsmSetMnemonicEvent(1, longMnemonic));
    QCoreApplication::postEvent(frame, new MainFrameRepaintTracePcEvent);
    QCoreApplication::postEvent(frame, new MainFrameAdjustAsm);
    QCOMPARE(table()->cellText(0, 0), QString());
    pcPaints.count = 0;
    // What the table holds when the PC view repaints: every cell, but not yet fitted.
    QString lastCellAtRepaint;
    int mnemonicWidthAtRepaint = -1;
    pcPaints.onPaint = [&] {
        if (mnemonicWidthAtRepaint == -1) {
            lastCellAtRepaint = table()->cellText(2, 3);
            mnemonicWidthAtRepaint = table()->columnWidth(1);
        }
    };

    QCoreApplication::sendPostedEvents(frame);
    QCOMPARE(table()->cellText(0, 0), QStringLiteral("0"));
    QCOMPARE(table()->cellText(2, 3), QStringLiteral("r2"));
    QCOMPARE(table()->cellText(0, 1), QStringLiteral("ld"));
    QCOMPARE(table()->cellText(1, 1), longMnemonic); // the later write wins
    const int fitted = table()->fontMetrics().horizontalAdvance(longMnemonic);
    QVERIFY(table()->columnWidth(1) >= fitted);
    QVERIFY(pcPaints.count >= 1);
    QCOMPARE(lastCellAtRepaint, QStringLiteral("r2"));
    QVERIFY(mnemonicWidthAtRepaint < fitted);
}

void TestMainFrame::eventsFromAnotherThread()
{
    frame->setNbPcParAsm(1);
    std::thread poster([this] {
        for (int i = 0; i < 500; ++i)
            QCoreApplication::postEvent(frame, new TableAsmSetPcEvent(0, QString::number(i)));
    });
    poster.join();
    QCoreApplication::sendPostedEvents(frame);
    QCOMPARE(table()->cellText(0, 0), QStringLiteral("499"));
}

void TestMainFrame::otherEventTypesDoNothing()
{
    frame->setNbPcParAsm(2);
    table()->setPc(0, QStringLiteral("kept"));
    const QSize tableSize = table()->size();
    // Between two of ours, just past the last, and a foreign class carrying one of our types.
    for (int type :
         {int(TableAsmSetValueEvent::EventType) + 1, int(MainFrameAdjustAsm::EventType) + 1,
          int(QEvent::User), int(TableAsmSetPcEvent::EventType),
          int(MainFrameMessageAlertEvent::EventType)})
        QCoreApplication::postEvent(frame, new QEvent(QEvent::Type(type)));
    QCoreApplication::sendPostedEvents(frame);
    QCOMPARE(table()->cellText(0, 0), QStringLiteral("kept"));
    QCOMPARE(table()->size(), tableSize);
    QVERIFY(messages.isEmpty());
    // The identities the controller and the logs know the events by.
    QCOMPARE(TableAsmSetPcEvent::Id, 350000);
    QCOMPARE(MainFrameAdjustAsm::Id, 380000);
    QVERIFY(TableAsmSetPcEvent::EventType >= QEvent::User &&
            MainFrameAdjustAsm::EventType <= QEvent::MaxUser);
}

void TestMainFrame::messagesGoThroughTheBox_data()
{
    QTest::addColumn<bool>("alert");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("title");
    QTest::newRow("notice") << false << int(MessageBox::Kind::Information) << "information";
    QTest::newRow("error") << true << int(MessageBox::Kind::Alert) << "error";
}

void TestMainFrame::messagesGoThroughTheBox()
{
    QFETCH(bool, alert);
    QFETCH(int, kind);
    QFETCH(QString, title);
    for (const char *text : {"File ../xml/config.xml doesn't exist", "second"}) {
        if (alert)
            QCoreApplication::postEvent(frame,
                                        new MainFrameMessageAlertEvent(QString::fromLatin1(text)));
        else
            QCoreApplication::postEvent(frame,
                                        new MainFrameMessageInfoEvent(QString::fromLatin1(text)));
    }
    QVERIFY(messages.isEmpty());
    QCoreApplication::sendPostedEvents(frame);
    QCOMPARE(messages.size(), 2);
    QCOMPARE(int(messages[0].kind), kind);
    QCOMPARE(messages[0].title, title);
    QCOMPARE(messages[0].text, QStringLiteral("File ../xml/config.xml doesn't exist"));
    QCOMPARE(messages[1].text, QStringLiteral("second"));

    // The About boxes take the same road.
    messages.clear();
    frame->about();
    frame->aboutQt();
    QCOMPARE(messages.size(), 2);
    QCOMPARE(messages[0].kind, MessageBox::Kind::About);
    QCOMPARE(messages[0].title, QStringLiteral("About"));
    QCOMPARE(messages[0].text.count(QLatin1Char('\n')), 2);
    QCOMPARE(messages[1].kind, MessageBox::Kind::AboutQt);
    QCOMPARE(messages[1].title, QStringLiteral("AboutQt"));
}

void TestMainFrame::menusRepaintHoweverTheyClose_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<bool>("escape"); // else a click outside the menu
    for (const char *menu : {"fileMenu", "zoomMenu", "helpMenu"}) {
        QTest::newRow(QByteArray(QByteArray(menu) + " escape").constData()) << menu << true;
        QTest::newRow(QByteArray(QByteArray(menu) + " click elsewhere").constData())
            << menu << false;
    }
}

void TestMainFrame::menusRepaintHoweverTheyClose()
{
    QFETCH(QString, menu);
    QFETCH(bool, escape);
    auto *popup = frame->findChild<PopupMenuRepainter *>(menu);
    QVERIFY(popup);
    QSignalSpy closed(popup, &PopupMenuRepainter::popupMenuClosed);
    popup->popup(frame->mapToGlobal(QPoint(20, 40)));
    QVERIFY(QTest::qWaitForWindowExposed(popup));

    PaintCounter cyclePaints(cycleView(), cycleView()->getGraphicBlockWidget()->geometry());
    PaintCounter pcPaints(pcView(), pcView()->getGraphicBlockWidget()->geometry());
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

void TestMainFrame::parametersDialogRepaints()
{
    auto *dialog = frame->findChild<ParametersDialog *>();
    PaintCounter cyclePaints(cycleView(), cycleView()->getGraphicBlockWidget()->geometry());
    PaintCounter pcPaints(pcView(), pcView()->getGraphicBlockWidget()->geometry());
    QTimer::singleShot(0, dialog, &QDialog::reject);
    frame->parameters();
    QVERIFY(dialog->isHidden());
    QVERIFY(cyclePaints.count > 0);
    QVERIFY(pcPaints.count > 0);
}

// The relay of the cycle view's request, and the table's click that outlines a pc there.
void TestMainFrame::leftPressOnABlockAsksForItsPc()
{
    GraphicTrace trace;
    TraceFixture::addTraceBlock(trace, QStringLiteral("decode"), 3, 12, -1);
    frame->setGraphicTrace(trace);
    frame->setTabConfig(TraceFixture::tabConfig());
    frame->setNbConfigEvent(4);
    frame->setNiveauZoom(1);
    frame->setLargeurBlockTraceCycle(10);
    frame->setHauteurBlockTraceCycle(10);
    frame->setNbBlockHorizontalToPaintTraceCycle(30);
    QSignalSpy requests(frame.data(), &MainFrame::displayPcTracePc);
    QTest::mousePress(cycleView()->getGraphicBlockWidget(), Qt::LeftButton, {}, QPoint(35, 15));
    QCOMPARE(requests.count(), 1);
    QCOMPARE(requests.first(), (QList<QVariant>{12, 3}));

    loadListing(100);
    const QRect cell = table()->visualRect(table()->model()->index(3, 1));
    QTest::mouseClick(table()->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(cycleView()->getPcToDisplay(), 12);
    delete frame; // before the store goes
}

void TestMainFrame::storeHandedOverFromAParserThread()
{
    GraphicTrace first;
    GraphicTrace second;
    TraceFixture::addTraceBlock(second, QStringLiteral("commit"), 0, 4, -1);
    frame->setTabConfig(TraceFixture::tabConfig());
    frame->setNbConfigEvent(4);
    frame->setNiveauZoom(1);
    frame->setLargeurBlockTraceCycle(10);
    frame->setHauteurBlockTraceCycle(10);
    frame->setNbBlockHorizontalToPaintTraceCycle(30);

    std::thread parser([&] {
        for (int i = 0; i < 2000; ++i) {
            frame->setGraphicTrace(i % 2 ? first : second);
            std::lock_guard<std::recursive_mutex> lock(second.mutex());
            second.addCycle(100 + i);
        }
        frame->setGraphicTrace(second);
    });
    for (int i = 0; i < 50; ++i)
        cycleView()->repaint();
    parser.join();

    const QImage image =
        cycleView()->grab(cycleView()->getGraphicBlockWidget()->geometry()).toImage();
    QCOMPARE(image.pixelColor(5, 5), TraceFixture::colourOf(QStringLiteral("commit")));
    delete frame; // before the stores go
}

void TestMainFrame::closingSignalsAndDeletes()
{
    QSignalSpy closing(frame.data(), &MainFrame::closeSignal);
    QSignalSpy destroyed(frame.data(), &QObject::destroyed);
    QAction *quit = nullptr;
    for (QAction *item :
         frame->findChild<PopupMenuRepainter *>(QStringLiteral("fileMenu"))->actions()) {
        if (item->text() == QLatin1String("&Quit"))
            quit = item;
    }
    QVERIFY(quit);
    quit->trigger();
    QCOMPARE(closing.count(), 1);
    QTRY_VERIFY(frame.isNull());
    QCOMPARE(destroyed.count(), 1);
}

QTEST_MAIN(TestMainFrame)
#include "tst_mainFrame.moc"
