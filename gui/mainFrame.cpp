#include "gui/mainFrame.h"

#include "core/configEvent.h"
#include "core/graphicTrace.h"
#include "core/threadAnnotations.h"
#include "dialogs/fileChooser.h"
#include "dialogs/helpwindow.h"
#include "dialogs/legendDialog.h"
#include "dialogs/messageBox.h"
#include "dialogs/parametersDialog.h"
#include "gui/customEvents.h"
#include "gui/mainWidget.h"
#include "gui/navigation.h"
#include "gui/popupMenuRepainter.h"
#include "gui/recentFolders.h"
#include "gui/statusInfo.h"
#include "gui/tableAsm.h"
#include "gui/traceGeometry.h"
#include "gui/traceWidgetCycle.h"
#include "gui/traceWidgetPc.h"
#include "gui/viewExport.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QScrollBar>
#include <QStatusBar>
#include <QThread>
#include <QToolBar>

#include <vector>

MainFrame::MainFrame() : QMainWindow(nullptr)
{
    setObjectName(QStringLiteral("main Frame"));
    setAttribute(Qt::WA_DeleteOnClose);

    mainToolBar = new QToolBar(QStringLiteral("MainToolBar"), this);
    mainToolBar->setObjectName(QStringLiteral("mainToolBar"));
    mainToolBar->setIconSize(QSize(32, 32));
    addToolBar(mainToolBar);
    connect(mainToolBar, &QToolBar::orientationChanged, this,
            &MainFrame::toolBarOrientationChanged);
    orientationJustChanged = false;
    toolBarOrientation = Qt::Horizontal;

    auto addTool = [this](const char *icon, const char *label) {
        QAction *action =
            mainToolBar->addAction(QIcon(QString::fromLatin1(icon)), QString::fromLatin1(label));
        action->setToolTip(QString::fromLatin1(label));
        // The buttons carry the names, as the tool buttons they stand for did.
        mainToolBar->widgetForAction(action)->setObjectName(QString::fromLatin1(label));
        return action;
    };
    connect(addTool(":/images/execute_go.png", "Execute"), &QAction::triggered, this,
            &MainFrame::demarrer);
    connect(addTool(":/images/parameters.png", "Parameters"), &QAction::triggered, this,
            &MainFrame::parameters);
    mainToolBar->addSeparator();
    connect(addTool(":/images/loupe_plus.png", "Zoom +"), &QAction::triggered, this,
            &MainFrame::nextZoom);
    connect(addTool(":/images/loupe_moins.png", "Zoom -"), &QAction::triggered, this,
            &MainFrame::prevZoom);
    mainToolBar->addSeparator();
    connect(addTool(":/images/legend.png", "Legend"), &QAction::triggered, this,
            &MainFrame::legend);

    auto addMenu = [this](const char *title) {
        auto *menu = new PopupMenuRepainter(QString::fromLatin1(title), this);
        connect(menu, &PopupMenuRepainter::popupMenuClosed, this, &MainFrame::repaintAll);
        menuBar()->addMenu(menu);
        return menu;
    };
    PopupMenuRepainter *file = addMenu("&File");
    file->setObjectName(QStringLiteral("fileMenu"));
    file->addAction(QStringLiteral("&Start"), QKeySequence(Qt::CTRL | Qt::Key_F5), this,
                    &MainFrame::demarrer);
    file->addAction(QStringLiteral("&Parameters"), QKeySequence(Qt::CTRL | Qt::Key_F3), this,
                    &MainFrame::parameters);
    file->addSeparator();
    file->addAction(QStringLiteral("&Legend"), QKeySequence(Qt::CTRL | Qt::Key_F2), this,
                    &MainFrame::legend);
    file->addSeparator();
    file->addAction(QStringLiteral("&Quit"), QKeySequence(Qt::CTRL | Qt::Key_Q), this,
                    &QWidget::close);
    menuBar()->addSeparator();
    PopupMenuRepainter *zoom = addMenu("&Zoom");
    zoom->setObjectName(QStringLiteral("zoomMenu"));
    zoom->addAction(QStringLiteral("Zoom +"), this, &MainFrame::nextZoom);
    zoom->addAction(QStringLiteral("Zoom -"), this, &MainFrame::prevZoom);
    PopupMenuRepainter *helpMenu = addMenu("&Help");
    helpMenu->setObjectName(QStringLiteral("helpMenu"));
    helpMenu->addAction(QStringLiteral("&Help"), QKeySequence(Qt::Key_F1), this, &MainFrame::help);
    helpMenu->addSeparator();
    helpMenu->addAction(QStringLiteral("&About"), this, &MainFrame::about);
    helpMenu->addAction(QStringLiteral("About &Qt"), this, &MainFrame::aboutQt);

    mainWidget = new MainWidget(this, "mainWidget");
    // The tool bar's room changes without the window changing size: docked elsewhere (once it
    // has its new shape), floated or hidden. The central widget or the tool bar is resized then.
    mainWidget->installEventFilter(this);
    mainToolBar->installEventFilter(this);

    traceWidgetCycle = new TraceWidgetCycle(mainWidget, "traceWidgetCycle");
    connect(traceWidgetCycle, &TraceWidgetCycle::nextCycle, this, &MainFrame::nextCycleTraceCycle);
    connect(traceWidgetCycle, &TraceWidgetCycle::prevCycle, this, &MainFrame::prevCycleTraceCycle);
    connect(traceWidgetCycle, &TraceWidgetCycle::displayPcTracePc, this,
            &MainFrame::displayPcTracePc);
    connect(traceWidgetCycle, &TraceWidget::sliderHorizontalMoved, this,
            &MainFrame::sliderHorizontalMovedTraceCycle);
    connect(traceWidgetCycle, &TraceWidget::sliderVerticalMoved, this,
            &MainFrame::sliderVerticalMovedTraceCycle);
    connect(traceWidgetCycle, &TraceWidget::sliderHorizontalReleased, this,
            &MainFrame::sliderHorizontalReleasedTraceCycle);

    tableAsm = new TableAsm(mainWidget, "tableAsm");
    connect(tableAsm, &TableAsm::widthChanged, this, &MainFrame::tableAsmWidthChanged);
    connect(tableAsm, &TableAsm::displayPcTraceCycle, traceWidgetCycle,
            &TraceWidgetCycle::displayPcTraceCycle);

    traceWidgetPc = new TraceWidgetPc(mainWidget, "traceWidgetPc");
    connect(traceWidgetPc, &TraceWidget::sliderHorizontalMoved, this,
            &MainFrame::sliderHorizontalMovedTracePc);
    connect(traceWidgetPc, &TraceWidget::sliderVerticalMoved, this,
            &MainFrame::sliderVerticalMovedTracePc);
    connect(traceWidgetPc, &TraceWidget::sliderHorizontalReleased, this,
            &MainFrame::sliderHorizontalReleasedTracePc);
    connect(traceWidgetPc, &TraceWidgetPc::nextCycle, this, &MainFrame::nextCycleTracePc);
    connect(traceWidgetPc, &TraceWidgetPc::prevCycle, this, &MainFrame::prevCycleTracePc);
    connect(tableAsm, qOverload<int, int>(&TableAsm::updateScrollBarValue), traceWidgetPc,
            &TraceWidgetPc::updateScrollBarValue);
    connect(tableAsm, &TableAsm::nextLine, traceWidgetPc, &TraceWidgetPc::setValueNextLineTableAsm);
    connect(tableAsm, &TableAsm::prevLine, traceWidgetPc, &TraceWidgetPc::setValuePrevLineTableAsm);
    connect(tableAsm, &TableAsm::nextPage, traceWidgetPc, &TraceWidgetPc::setValueNextPageTableAsm);
    connect(tableAsm, &TableAsm::prevPage, traceWidgetPc, &TraceWidgetPc::setValuePrevPageTableAsm);
    connect(traceWidgetPc, &TraceWidgetPc::verticalNextLine, tableAsm,
            &TableAsm::setValueNextLineTracePc);
    connect(traceWidgetPc, &TraceWidgetPc::verticalPrevLine, tableAsm,
            &TableAsm::setValuePrevLineTracePc);
    connect(traceWidgetPc, &TraceWidgetPc::verticalNextPage, tableAsm,
            &TableAsm::setValueNextPageTracePc);
    connect(traceWidgetPc, &TraceWidgetPc::verticalPrevPage, tableAsm,
            &TableAsm::setValuePrevPageTracePc);
    connect(tableAsm, &TableAsm::sliderMoved, traceWidgetPc,
            &TraceWidgetPc::setVerticalScrollBarSliderValue);

    tableAsm->adjust();
    navigation =
        new Navigation(this, traceWidgetCycle, traceWidgetPc, tableAsm, helpMenu->menuAction());

    legendDialog = new LegendDialog(this, QStringLiteral("Legend"), false);
    parametersDialog = new ParametersDialog(this, QStringLiteral("Parameters"), true);
    helpWindow = new HelpWindow(QStringLiteral("index.html"), QStringLiteral("../doc_html"),
                                nullptr, QStringLiteral("Help Viewer"));
    helpWindow->setWindowTitle(QStringLiteral("Help Viewer"));

    connect(parametersDialog, &ParametersDialog::configFileChanged, this,
            &MainFrame::configFileChanged);
    connect(parametersDialog, &ParametersDialog::tracePrefixChanged, this,
            &MainFrame::tracePrefixChanged);
    connect(parametersDialog, &ParametersDialog::traceDirectoryChanged, this,
            &MainFrame::traceDirectoryChanged);
    connect(parametersDialog, &ParametersDialog::zoomPrefixChanged, this,
            &MainFrame::zoomPrefixChanged);
    connect(parametersDialog, &ParametersDialog::zoomDirectoryChanged, this,
            &MainFrame::zoomDirectoryChanged);
    connect(parametersDialog, &ParametersDialog::nbCycleByFileChanged, this,
            &MainFrame::nbCycleByFileChanged);
    connect(parametersDialog, &ParametersDialog::asmPrefixChanged, this,
            &MainFrame::asmPrefixChanged);
    connect(parametersDialog, &ParametersDialog::asmDirectoryChanged, this,
            &MainFrame::asmDirectoryChanged);
    connect(parametersDialog, &ParametersDialog::nbPcByAsmChanged, this,
            &MainFrame::nbPcByAsmChanged);
    connect(parametersDialog, &ParametersDialog::nbCycleTotalChanged, this,
            &MainFrame::nbCycleTotalChanged);

    setCentralWidget(mainWidget);
    statusBar()->showMessage(QStringLiteral("Ready"), 1000);
    ajouterDossiersEtExport(file);
    setGeometry(50, 50, 590, 430);
}

// The help window is a top-level window of its own, not a child.
MainFrame::~MainFrame()
{
    delete helpWindow;
}

QColor MainFrame::getCouleurTrace() const
{
    return traceWidgetCycle->palette().color(QPalette::Window);
}

int MainFrame::getLargeurTraceCycle() const
{
    return traceWidgetCycle->getLargeurTrace();
}

int MainFrame::getHauteurTraceCycle() const
{
    return traceWidgetCycle->getHauteurTrace();
}

int MainFrame::getLargeurTracePc() const
{
    return traceWidgetPc->getLargeurTrace();
}

int MainFrame::getHauteurTracePc() const
{
    return traceWidgetPc->getHauteurTrace();
}

void MainFrame::setLargeurBlockTraceCycle(const int &largeur)
{
    traceWidgetCycle->setLargeurBlock(largeur);
}

void MainFrame::setHauteurBlockTraceCycle(const int &hauteur)
{
    traceWidgetCycle->setHauteurBlock(hauteur);
}

void MainFrame::setLargeurBlockTracePc(const int &largeur)
{
    traceWidgetPc->setLargeurBlock(largeur);
}

void MainFrame::setHauteurBlockTracePc(const int &hauteur)
{
    traceWidgetPc->setHauteurBlock(hauteur);
}

void MainFrame::setNbBlockHorizontalToPaintTraceCycle(const int &nb)
{
    traceWidgetCycle->setNbBlockHorizontalToPaint(nb);
}

void MainFrame::setNbBlockVerticalToPaintTraceCycle(const int &nb)
{
    traceWidgetCycle->setNbBlockVerticalToPaint(nb);
}

void MainFrame::setNbBlockHorizontalToPaintTracePc(const int &nb)
{
    traceWidgetPc->setNbBlockHorizontalToPaint(nb);
}

void MainFrame::setNbBlockVerticalToPaintTracePc(const int &nb)
{
    traceWidgetPc->setNbBlockVerticalToPaint(nb);
}

void MainFrame::setGeometrieTraceCycle(const GeometrieVue &g)
{
    setLargeurBlockTraceCycle(g.largeurBlock);
    setHauteurBlockTraceCycle(g.hauteurBlock);
    setNbBlockHorizontalToPaintTraceCycle(g.nbBlockHorizontalToPaint);
    setNbBlockVerticalToPaintTraceCycle(g.nbBlockVerticalToPaint);
    initScrollBarTraceCycle();
}

void MainFrame::setGeometrieTracePc(const GeometrieVue &g)
{
    setLargeurBlockTracePc(g.largeurBlock);
    setHauteurBlockTracePc(g.hauteurBlock);
    setNbBlockHorizontalToPaintTracePc(g.nbBlockHorizontalToPaint);
    setNbBlockVerticalToPaintTracePc(g.nbBlockVerticalToPaint);
    initScrollBarTracePc(g.hauteurBlock);
}

void MainFrame::setNbConfigEvent(const int &nb)
{
    traceWidgetCycle->setNbConfigEvent(nb);
}

void MainFrame::setNiveauZoom(const int &niveau)
{
    traceWidgetCycle->setNiveauZoom(niveau);
    navigation->setNiveauZoom(niveau);
}

void MainFrame::setTabConfig(const std::map<QString, ConfigEvent> &tabConfig)
{
    traceWidgetCycle->setTabConfig(tabConfig);
    legendDialog->setTabConfig(tabConfig);
}

void MainFrame::initScrollBarTraceCycle()
{
    traceWidgetCycle->initScrollBar();
}

void MainFrame::initScrollBarTracePc(const int &)
{
    traceWidgetPc->initHorizontalScrollBar();
    traceWidgetPc->initVerticalScrollBar(
        tableAsm->getMinValueVerticalScrollBar(), tableAsm->getMaxValueVerticalScrollBar(),
        tableAsm->getLineStepVerticalScrollBar(), tableAsm->getPageStepVerticalScrollBar());
}

void MainFrame::setTraceCycleHorizontalScrollBar(const int &v)
{
    traceWidgetCycle->setHorizontalScrollBarValue(v);
}

void MainFrame::setTraceCycleVerticalScrollBar(const int &v)
{
    traceWidgetCycle->setVerticalScrollBarValue(v);
}

int MainFrame::getMaximumHorizontalTraceCycle() const
{
    return traceWidgetCycle->getHorizontalScrollBar()->maximum();
}

int MainFrame::getMaximumHorizontalTracePc() const
{
    return traceWidgetPc->getHorizontalScrollBar()->maximum();
}

void MainFrame::setNbCycleTotal(int n)
{
    traceWidgetCycle->setNbCycleTotal(n);
    traceWidgetPc->setNbCycleTotal(n);
    parametersDialog->setNbCycleTotal(n);
}

void MainFrame::setParameters(QString configFile, QString tracePrefixe, QString traceDirectory,
                              QString zoomPrefixe, QString zoomDirectory, int nbCycleParTrace,
                              QString asmPrefixe, QString asmDirectory, int nbPcParAsm,
                              int nbCycleTotal)
{
    parametersDialog->setParameters(configFile, tracePrefixe, traceDirectory, zoomPrefixe,
                                    zoomDirectory, nbCycleParTrace, asmPrefixe, asmDirectory,
                                    nbPcParAsm, nbCycleTotal);
    tableAsm->setNbRows(nbPcParAsm);
}

void MainFrame::setConfigFile(QString configFile)
{
    parametersDialog->setConfigFile(configFile);
}

void MainFrame::setTraceDirectory(QString traceDirectory)
{
    parametersDialog->setTraceDirectory(traceDirectory);
}

void MainFrame::setTracePrefixe(QString tracePrefixe)
{
    parametersDialog->setTracePrefixe(tracePrefixe);
}

void MainFrame::setZoomDirectory(QString zoomDirectory)
{
    parametersDialog->setZoomDirectory(zoomDirectory);
}

void MainFrame::setZoomPrefixe(QString zoomPrefixe)
{
    parametersDialog->setZoomPrefixe(zoomPrefixe);
}

void MainFrame::setAsmDirectory(QString asmDirectory)
{
    parametersDialog->setAsmDirectory(asmDirectory);
}

void MainFrame::setAsmPrefixe(QString asmPrefixe)
{
    parametersDialog->setAsmPrefixe(asmPrefixe);
}

void MainFrame::setNbPcParAsm(int nbPcParAsm)
{
    traceWidgetPc->setNbPcParAsm(nbPcParAsm);
    tableAsm->setNbRows(nbPcParAsm);
    parametersDialog->setNbPcParAsm(nbPcParAsm);
}

void MainFrame::setNbCycleParTrace(int nbCycleParTrace)
{
    parametersDialog->setNbCycleParTrace(nbCycleParTrace);
}

void MainFrame::setNumFirstPcToPaintTracePc(const int &pc)
{
    traceWidgetPc->setNumFirstPcToPaint(pc);
}

void MainFrame::setNumLastPcToPaintTracePc(const int &pc)
{
    traceWidgetPc->setNumLastPcToPaint(pc);
}

void MainFrame::setTabPositionPc(const std::map<int, int> &tabPositionPc)
{
    traceWidgetPc->setTabPositionPc(tabPositionPc);
}

int MainFrame::getRowHeightTableAsm() const
{
    return tableAsm->rowHeight(0);
}

void MainFrame::selectionnerPcTableAsm(const int &row, const int &positionHorizontal)
{
    tableAsm->selectionnerPc(row, positionHorizontal);
}

// The listing goes, and with it the outline of its selected pc in the cycle view.
void MainFrame::clearAsm()
{
    tableAsm->clear();
    traceWidgetCycle->setPcToDisplay(-1);
}

void MainFrame::adjustAsm()
{
    tableAsm->adjust();
}

void MainFrame::repaintTraceCycle()
{
    traceWidgetCycle->repaint();
}

void MainFrame::repaintTracePc()
{
    traceWidgetPc->repaint();
}

void MainFrame::repaintHorizontalSliderMovedTraceCycle(const int &v, const bool &moveBar)
{
    traceWidgetCycle->repaintHorizontalSliderMoved(v, moveBar);
}

void MainFrame::repaintVerticalSliderMovedTraceCycle(const int &v)
{
    traceWidgetCycle->repaintVerticalSliderMoved(v);
}

void MainFrame::repaintHorizontalSliderMovedTracePc(const int &v, const bool &moveBar)
{
    traceWidgetPc->repaintHorizontalSliderMoved(v, moveBar);
}

void MainFrame::repaintVerticalSliderMovedTracePc(const int &v)
{
    traceWidgetPc->repaintVerticalSliderMoved(v);
    tableAsm->updateScrollBarValue(v);
}

void MainFrame::ajouterDossiersEtExport(QMenu *file)
{
    file->addSeparator();
    file->addAction(QStringLiteral("&Open Trace Folder…"),
                    QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O), this,
                    &MainFrame::choisirDossierTrace);
    recentFolders = new RecentFolders(file, this);
    connect(recentFolders, &RecentFolders::ouvrir, this, &MainFrame::ouvrirDossierTrace);
    auto *viewExport = new ViewExport(this, mainWidget, traceWidgetCycle, traceWidgetPc, tableAsm);
    file->addAction(QStringLiteral("&Export View as Image…"),
                    QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E), viewExport,
                    &ViewExport::exporterVue);
    // Hidden until a folder is opened, so that the status bar stays as it was without one.
    statusFolder = new QLabel(this);
    statusFolder->setObjectName(QStringLiteral("statusFolder"));
    statusBar()->addPermanentWidget(statusFolder);
    statusFolder->hide();
}

void MainFrame::setDossierTrace(const QString &dossier)
{
    statusFolder->setText(QFileInfo(dossier).fileName());
    statusFolder->setToolTip(dossier);
    statusFolder->setVisible(!dossier.isEmpty());
    if (!dossier.isEmpty())
        recentFolders->ajouter(dossier);
}

void MainFrame::choisirDossierTrace()
{
    FileChooser::Request request;
    request.kind = FileChooser::Kind::ExistingDirectory;
    request.parent = this;
    request.caption = QStringLiteral("Open Trace Folder");
    const QStringList recents = recentFolders->dossiers();
    request.directory = recents.isEmpty() ? QString() : QFileInfo(recents.first()).path();
    request.objectName = QStringLiteral("openTraceFolderDialog");
    const QString dossier = FileChooser::choose(request);
    if (!dossier.isEmpty())
        emit ouvrirDossierTrace(dossier);
}

void MainFrame::setNiveauxZoom(const std::map<int, InfosZoom> &niveaux)
{
    std::vector<int> liste;
    for (const auto &niveau : niveaux)
        liste.push_back(niveau.first);
    navigation->setNiveauxZoom(liste);
}

void MainFrame::setLecturesEnCours(const QStringList &fichiers)
{
    navigation->status()->setLectures(fichiers);
}

void MainFrame::cycleTrouve(int pc, int cycle)
{
    navigation->cycleTrouve(pc, cycle);
}

void MainFrame::instructionTrouvee(const QString &mnemonique, int pc)
{
    navigation->instructionTrouvee(mnemonique, pc);
}

void MainFrame::toolBarOrientationChanged(Qt::Orientation o)
{
    if (o == toolBarOrientation)
        return;
    toolBarOrientation = o;
    orientationJustChanged = true;
    // The window keeps its size, so no resize event would come: lay out now, with the tool
    // bar's old shape; the second pass follows once the tool bar has its new one (eventFilter).
    layoutDataWidgets();
}

void MainFrame::parameters()
{
    parametersDialog->exec();
    mainWidget->repaintAll();
}

void MainFrame::legend()
{
    legendDialog->show();
}

void MainFrame::help()
{
    helpWindow->show();
    helpWindow->raise();
}

void MainFrame::about()
{
    MessageBox::show(this, MessageBox::Kind::About, QStringLiteral("About"),
                     QStringLiteral("Zelvar v1.0\n"
                                    "A viewer for the execution traces of a cycle-level "
                                    "processor simulator.\n"
                                    "Built with Qt."));
}

void MainFrame::aboutQt()
{
    MessageBox::show(this, MessageBox::Kind::AboutQt, QStringLiteral("AboutQt"), QString());
}

void MainFrame::tableAsmWidthChanged()
{
    layoutDataWidgets();
}

void MainFrame::repaintAll()
{
    mainWidget->repaintAll();
}

void MainFrame::setGraphicTrace(GraphicTrace &t)
{
    traceWidgetCycle->setGraphicTrace(t);
    traceWidgetPc->setGraphicTrace(t);
}

void MainFrame::paintEvent(QPaintEvent *e)
{
    QMainWindow::paintEvent(e);
}

void MainFrame::resizeEvent(QResizeEvent *e)
{
    QMainWindow::resizeEvent(e);
    layoutDataWidgets();
}

TraceGeometry::MainLayout MainFrame::computeLayout() const
{
    // A floating or hidden tool bar takes no room from the window.
    const bool docked = !mainToolBar->isHidden() && !mainToolBar->isFloating();
    return TraceGeometry::mainLayout(size(), menuBar()->height(), statusBar()->height(),
                                     docked ? mainToolBar->size() : QSize(0, 0), toolBarOrientation,
                                     orientationJustChanged, tableAsm->widthTable());
}

bool MainFrame::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize && !relayoutPending) {
        // Looked at once the window's own layout has settled, which also keeps a plain window
        // resize, laid out by resizeEvent, from being laid out twice.
        relayoutPending = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                relayoutPending = false;
                const TraceGeometry::MainLayout layout = computeLayout();
                if (layout.traceCycle != traceWidgetCycle->geometry() ||
                    layout.tableAsm != tableAsm->geometry() ||
                    layout.tracePc != traceWidgetPc->geometry())
                    layoutDataWidgets();
            },
            Qt::QueuedConnection);
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainFrame::layoutDataWidgets()
{
    const TraceGeometry::MainLayout layout = computeLayout();
    orientationJustChanged = false;

    traceWidgetCycle->setGeometry(layout.traceCycle);
    traceWidgetCycle->updateNewSize();
    tableAsm->setGeometry(layout.tableAsm);
    traceWidgetPc->setGeometry(layout.tracePc);
    traceWidgetPc->updateNewSize();
    emit sizeChanged();
}

void MainFrame::closeEvent(QCloseEvent *e)
{
    emit closeSignal();
    e->accept();
}

// The event types are only known to be ours once the class matches too: an event of a
// foreign class that happens to carry one of the numbers is ignored like any other type.
void MainFrame::customEvent(QEvent *e)
{
    Q_ASSERT(QThread::currentThread() == thread());
    // Pairs with the release of the thread that posted it (see threadAnnotations.h).
    ThreadAnnotations::handoffAcquire(e);
    switch (int(e->type())) {
    case TableAsmSetPcEvent::EventType:
        if (const auto *event = dynamic_cast<const TableAsmSetPcEvent *>(e))
            tableAsm->setPc(event->getRow(), event->getPc());
        break;
    case TableAsmSetMnemonicEvent::EventType:
        if (const auto *event = dynamic_cast<const TableAsmSetMnemonicEvent *>(e))
            tableAsm->setMnemonic(event->getRow(), event->getMnemonic());
        break;
    case TableAsmSetValueEvent::EventType:
        if (const auto *event = dynamic_cast<const TableAsmSetValueEvent *>(e))
            tableAsm->setValue(event->getRow(), event->getNumValue(), event->getValue());
        break;
    case MainFrameMessageInfoEvent::EventType:
        if (const auto *event = dynamic_cast<const MainFrameMessageInfoEvent *>(e))
            MessageBox::show(this, MessageBox::Kind::Information, QStringLiteral("information"),
                             event->getMessage());
        break;
    case MainFrameMessageAlertEvent::EventType:
        if (const auto *event = dynamic_cast<const MainFrameMessageAlertEvent *>(e))
            MessageBox::show(this, MessageBox::Kind::Alert, QStringLiteral("error"),
                             event->getMessage());
        break;
    case MainFrameRepaintTraceCycleEvent::EventType:
        repaintTraceCycle();
        break;
    case MainFrameRepaintTracePcEvent::EventType:
        repaintTracePc();
        break;
    case MainFrameAdjustAsm::EventType:
        adjustAsm();
        break;
    default:
        break;
    }
}
