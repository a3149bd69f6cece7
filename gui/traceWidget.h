#ifndef TRACEWIDGET_H
#define TRACEWIDGET_H

#include <QWidget>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

class GraphicBlockWidget;
class GraphicTrace;
class PopupInfo;
#include <QMouseEvent>
class QPainter;
class QScrollBar;

// The frame shared by the cycle view and the PC view: a strip for cycle numbers, the drawing
// surface, two scroll bars and the information popup. The derived views paint, scroll and
// answer the mouse; the frame turns the bars' and the surface's signals into calls of their
// virtual slots.
//
// The store pointer may be replaced from a parser thread (setGraphicTrace), so it is atomic;
// a view reads the store only while holding the store's mutex.
class TraceWidget : public QWidget
{
    Q_OBJECT

public:
    TraceWidget(QWidget *parent, const char *name);
    ~TraceWidget() override;

    int getLargeurTrace() const;
    int getHauteurTrace() const;
    void setGraphicTrace(GraphicTrace &t);
    void setLargeurBlock(const int &largeur);
    void setHauteurBlock(const int &hauteur);
    void setNbBlockHorizontalToPaint(const int &nb);
    void setNbBlockVerticalToPaint(const int &nb);
    void setNbCycleTotal(const int &nb);
    void updateNewSize();

    // Read access for the main window and for tests.
    int getPositionHorizontal() const { return positionHorizontal; }
    int getPositionVertical() const { return positionVertical; }
    int getNbCycleTotal() const { return nbCycleTotal; }
    QScrollBar *getHorizontalScrollBar() const { return horizontalScrollBar; }
    QScrollBar *getVerticalScrollBar() const { return verticalScrollBar; }
    GraphicBlockWidget *getGraphicBlockWidget() const { return graphicBlockWidget; }
    PopupInfo *getPopupInfo() const { return popupInfo; }

    // Moves the view to the first cycle `cycle`, within its bar and on a column, the way its
    // arrows do: the view repaints and tells where it went (nextCycle or prevCycle), so that
    // the files around it are read.
    void allerA(qint64 cycle);
    // The cycles marked by the user, drawn as vertical lines where the view shows them.
    void setMarqueurs(const std::vector<int> &cycles);
    // The mnemonic and operands of a pc when its listing is shown, or an empty string.
    using Descripteur = std::function<QString(int pc)>;
    void setDescripteurPc(Descripteur descripteur) { descripteurPc = std::move(descripteur); }

signals:
    void sliderHorizontalMoved(int value);
    void sliderVerticalMoved(int value);
    void sliderHorizontalReleased(int value);
    // Ctrl+wheel: the next finer level (plusFin) or the next coarser one.
    void zoomDemande(bool plusFin);
    // Ctrl+click: a marker on this cycle, or none any more.
    void marqueurDemande(int cycle);

protected slots:
    virtual void nextLineHorizontal() = 0;
    virtual void prevLineHorizontal() = 0;
    virtual void nextPageHorizontal() = 0;
    virtual void prevPageHorizontal() = 0;
    virtual void sliderReleasedHorizontal() = 0;
    virtual void nextLineVertical() = 0;
    virtual void prevLineVertical() = 0;
    virtual void nextPageVertical() = 0;
    virtual void prevPageVertical() = 0;
    virtual void graphicBlockWidgetMousePressEvent(QMouseEvent *e) = 0;
    virtual void graphicBlockWidgetMouseReleaseEvent(QMouseEvent *e) = 0;

protected:
    void paintEvent(QPaintEvent *e) override = 0;
    bool event(QEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void wheelEvent(QWheelEvent *e) override;

    // Cycles per column; the horizontal bar moves by as many per line.
    int pasHorizontal() const;
    // Emits nextCycle or prevCycle, which each view declares.
    virtual void signalerCycle(int cycle, bool avant) = 0;
    // The tooltip for the point p of the surface (none by default), and the part of the
    // surface it holds for.
    virtual QString infobulle(QPoint p, QRect &zone);
    // The marker lines, over the strip and the surface.
    void paintMarqueurs(QPainter &painter);

    GraphicTrace *currentTrace() const { return graphicTrace.load(std::memory_order_acquire); }
    // Fills with white what neither the strip nor the surface covers; both paint every pixel
    // of their own, so the large surface is filled once per frame, not twice.
    void paintBackground(QPainter &painter);
    // Fills the strip with its grey and writes the labels; `step` is the number of cycles
    // one column stands for.
    void paintStrip(QPainter &painter, int step);
    // Hides the popup and repaints everything the popup may have covered.
    void hidePopupAndRepaint();
    // One step of a bar, a line (its single step) or a page, forward or back, within the
    // bar's range; repaints, except after a line step stopped at the end (unless
    // repeindreAuBout). Returns the new position.
    enum class Pas { LigneAvant, LigneArriere, PageAvant, PageArriere };
    int avancer(QScrollBar *bar, int &position, Pas pas, bool repeindreAuBout = false);

    std::atomic<GraphicTrace *> graphicTrace;
    GraphicBlockWidget *graphicBlockWidget;
    QWidget *infoBar;
    QScrollBar *horizontalScrollBar;
    QScrollBar *verticalScrollBar;
    int largeurBlock = 0;
    int hauteurBlock = 0;
    int positionHorizontal = 0;
    int positionVertical = 0;
    int nbBlockHorizontalToPaint = 0;
    int nbBlockVerticalToPaint = 0;
    int nbCycleTotal = 0;
    int clickX = 0;
    int clickY = 0;
    PopupInfo *popupInfo;
    // Width of the column of event names left of the strip and the surface (cycle view).
    int largeurNoms = 0;
    std::vector<int> marqueurs;
    Descripteur descripteurPc;

private:
    void connectAll();
    void horizontalAction(int action);
    void verticalAction(int action);

    // The empty store a view draws from until the controller hands it the real one.
    std::unique_ptr<GraphicTrace> ownTrace;
    // What the wheel's last turns left short of a notch, vertically and horizontally.
    int resteMolette = 0;
    int resteMoletteHorizontal = 0;
};

#endif
