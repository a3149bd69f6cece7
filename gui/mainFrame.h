#ifndef MAINFRAME_H
#define MAINFRAME_H

#include "core/infosZoom.h"
#include "gui/traceGeometry.h"

#include <QColor>
#include <QMainWindow>
#include <QString>
#include <QStringList>

#include <map>

class ConfigEvent;
class GraphicTrace;
class HelpWindow;
class LegendDialog;
class MainWidget;
class Navigation;
class ParametersDialog;
class QLabel;
class QMenu;
class QToolBar;
class RecentFolders;
class TableAsm;
class TraceWidgetCycle;
class TraceWidgetPc;

// The application's main window and the GUI's single point of contact with the controller:
// user requests leave it as signals, the controller answers through its plain operations or
// by posting the events of gui/customEvents.h, which customEvent() applies.
// Everything here runs in the GUI thread, except setGraphicTrace(), which the parser threads
// may call too.
class MainFrame : public QMainWindow
{
    Q_OBJECT

public:
    // What a view needs to lay out its blocks at a zoom level or after a resize.
    struct GeometrieVue
    {
        int largeurBlock = 0;
        int hauteurBlock = 0;
        int nbBlockHorizontalToPaint = 0;
        int nbBlockVerticalToPaint = 0;
    };

    MainFrame();
    ~MainFrame() override;

    QColor getCouleurTrace() const;
    int getLargeurTraceCycle() const;
    int getHauteurTraceCycle() const;
    int getLargeurTracePc() const;
    int getHauteurTracePc() const;

    void setLargeurBlockTraceCycle(const int &largeur);
    void setHauteurBlockTraceCycle(const int &hauteur);
    void setLargeurBlockTracePc(const int &largeur);
    void setHauteurBlockTracePc(const int &hauteur);
    void setNbBlockHorizontalToPaintTraceCycle(const int &nb);
    void setNbBlockVerticalToPaintTraceCycle(const int &nb);
    void setNbBlockHorizontalToPaintTracePc(const int &nb);
    void setNbBlockVerticalToPaintTracePc(const int &nb);
    // The four setters of a view, then its bars' ranges.
    void setGeometrieTraceCycle(const GeometrieVue &geometrie);
    void setGeometrieTracePc(const GeometrieVue &geometrie);
    void setNbConfigEvent(const int &nb);
    void setNiveauZoom(const int &niveau);
    void setTabConfig(const std::map<QString, ConfigEvent> &tabConfig);
    void initScrollBarTraceCycle();
    void initScrollBarTracePc(const int &unused);
    void setTraceCycleHorizontalScrollBar(const int &v);
    void setTraceCycleVerticalScrollBar(const int &v);
    // The largest first cycle the views' horizontal bars allow.
    int getMaximumHorizontalTraceCycle() const;
    int getMaximumHorizontalTracePc() const;
    void setNbCycleTotal(int n);
    void setParameters(QString configFile, QString tracePrefixe, QString traceDirectory,
                       QString zoomPrefixe, QString zoomDirectory, int nbCycleParTrace,
                       QString asmPrefixe, QString asmDirectory, int nbPcParAsm, int nbCycleTotal);
    void setConfigFile(QString configFile);
    void setTraceDirectory(QString traceDirectory);
    void setTracePrefixe(QString tracePrefixe);
    void setZoomDirectory(QString zoomDirectory);
    void setZoomPrefixe(QString zoomPrefixe);
    void setAsmDirectory(QString asmDirectory);
    void setAsmPrefixe(QString asmPrefixe);
    // The controller's two count setters need a way to the widgets: the pcs per assembly file
    // go to the PC view, the table's row count and the parameters dialog; the cycles per
    // trace file to the parameters dialog.
    void setNbPcParAsm(int nbPcParAsm);
    void setNbCycleParTrace(int nbCycleParTrace);
    void setNumFirstPcToPaintTracePc(const int &pc);
    void setNumLastPcToPaintTracePc(const int &pc);
    void setTabPositionPc(const std::map<int, int> &tabPositionPc);
    int getRowHeightTableAsm() const;
    void selectionnerPcTableAsm(const int &row, const int &positionHorizontal);
    void clearAsm();
    void adjustAsm();
    // Repaint a view as it stands, as the posted repaint events do.
    void repaintTraceCycle();
    void repaintTracePc();
    void repaintHorizontalSliderMovedTraceCycle(const int &v, const bool &moveBar);
    void repaintVerticalSliderMovedTraceCycle(const int &v);
    void repaintHorizontalSliderMovedTracePc(const int &v, const bool &moveBar);
    void repaintVerticalSliderMovedTracePc(const int &v);
    // The trace folder being viewed (absolute), or none: named in the status bar and put
    // first among the recent folders.
    void setDossierTrace(const QString &dossier);

    // Beyond the views' own: the levels there are, the files being read, and what the
    // searches asked for by chercherCycle and chercherMnemonique found (-1: nothing).
    void setNiveauxZoom(const std::map<int, InfosZoom> &niveaux);
    void setLecturesEnCours(const QStringList &fichiers);
    void cycleTrouve(int pc, int cycle);
    void instructionTrouvee(const QString &mnemonique, int pc);

signals:
    void nextCycleTraceCycle(int cycle);
    void prevCycleTraceCycle(int cycle);
    void sliderHorizontalMovedTraceCycle(int value);
    void sliderVerticalMovedTraceCycle(int value);
    void sliderHorizontalReleasedTraceCycle(int value);
    void nextCycleTracePc(int cycle);
    void prevCycleTracePc(int cycle);
    void sliderHorizontalMovedTracePc(int value);
    void sliderVerticalMovedTracePc(int value);
    void sliderHorizontalReleasedTracePc(int value);
    void nextZoom();
    void prevZoom();
    void displayPcTracePc(int pc, int cycle);
    void demarrer();
    void configFileChanged(const QString &configFile);
    void tracePrefixChanged(const QString &tracePrefixe);
    void traceDirectoryChanged(const QString &traceDirectory);
    void zoomPrefixChanged(const QString &zoomPrefixe);
    void zoomDirectoryChanged(const QString &zoomDirectory);
    void nbCycleByFileChanged(int nbCycleParTrace);
    void asmPrefixChanged(const QString &asmPrefixe);
    void asmDirectoryChanged(const QString &asmDirectory);
    void nbPcByAsmChanged(int nbPcParAsm);
    void nbCycleTotalChanged(int nbCycleTotal);
    void sizeChanged();
    void closeSignal();
    // "Open Trace Folder…" or a recent folder.
    void ouvrirDossierTrace(const QString &dossier);
    // The next cycle after `depuis` (or the last one before it) where pc appears; a pc of the
    // listings whose mnemonic is `mnemonique`, the first after apresPc.
    void chercherCycle(int pc, int depuis, bool versLaFin);
    void chercherMnemonique(const QString &mnemonique, int apresPc);

public slots:
    void toolBarOrientationChanged(Qt::Orientation o);
    void parameters();
    void legend();
    void help();
    void about();
    void aboutQt();
    void tableAsmWidthChanged();
    void repaintAll();
    // Thread-safe: only swaps the views' store pointer.
    void setGraphicTrace(GraphicTrace &t);
    void choisirDossierTrace();

protected:
    void paintEvent(QPaintEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    void customEvent(QEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TraceGeometry::MainLayout computeLayout() const;
    void layoutDataWidgets();
    // The items that follow the File menu's own: opening a trace folder, the recent ones,
    // exporting a view; and the status bar's folder name.
    void ajouterDossiersEtExport(QMenu *file);

    MainWidget *mainWidget = nullptr;
    QToolBar *mainToolBar = nullptr;
    TraceWidgetCycle *traceWidgetCycle = nullptr;
    TraceWidgetPc *traceWidgetPc = nullptr;
    TableAsm *tableAsm = nullptr;
    Qt::Orientation toolBarOrientation = Qt::Horizontal;
    bool orientationJustChanged = false;
    bool relayoutPending = false;
    ParametersDialog *parametersDialog = nullptr;
    LegendDialog *legendDialog = nullptr;
    HelpWindow *helpWindow = nullptr;
    RecentFolders *recentFolders = nullptr;
    QLabel *statusFolder = nullptr;
    Navigation *navigation = nullptr;
};

#endif
