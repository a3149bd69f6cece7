#include "viewer.h"

#include "dialogs/fileChooser.h"
#include "gui/graphicBlockWidget.h"
#include "gui/mainFrame.h"
#include "gui/mainWidget.h"
#include "gui/tableAsm.h"
#include "gui/traceWidgetCycle.h"
#include "gui/traceWidgetPc.h"

#include <QMenu>
#include <QSettings>
#include <QStatusBar>
#include <QtTest>

// File > Export View as Image…: the file holds what the user sees of the view last pressed.
class TestViewExport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    }
    void exportView_data();
    void exportView();

private:
    QTemporaryDir settings;
};

void TestViewExport::exportView_data()
{
    QTest::addColumn<bool>("pcView"); // the listing's table pressed last
    QTest::addColumn<QString>("file");
    QTest::newRow("cycle view") << false << "cycles.png";
    QTest::newRow("pc view and listing") << true << "pcs.png";
    QTest::newRow("svg") << false << "cycles.svg";
    QTest::newRow("unwritable") << false << "missing/cycles.png";
}

void TestViewExport::exportView()
{
    QFETCH(bool, pcView);
    QFETCH(QString, file);
    Viewer v;
    QVERIFY(v.executer(1));
    const QString path = v.dir.filePath(file);
    QString caption;
    const FileChooser::Handler before =
        FileChooser::setHandler([&](const FileChooser::Request &request) {
            caption = request.caption;
            return path;
        });
    MainFrame *m = v.mainFrame;
    if (pcView) {
        emit m->displayPcTracePc(8, 0);
        QVERIFY(v.attendre());
        QTest::mouseClick(v.table()->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    }
    QCoreApplication::processEvents();
    // The picture on screen: the strip and surface of the view, and the table beside the PC
    // view; the rest of the rectangle is white in the file.
    TraceWidget *view = pcView ? static_cast<TraceWidget *>(v.vuePc()) : v.vueCycle();
    QWidget *source = pcView ? m->centralWidget() : view;
    QRect surface = view->getGraphicBlockWidget()->geometry();
    QRegion shown = QRect(surface.left(), 0, surface.width(), surface.bottom() + 1);
    if (pcView)
        shown = shown.translated(view->pos()) + v.table()->geometry();
    QImage expected = v.ecran(source).copy(shown.boundingRect());
    for (int y = 0; y < expected.height(); ++y)
        for (int x = 0; x < expected.width(); ++x)
            if (!shown.contains(shown.boundingRect().topLeft() + QPoint(x, y)))
                expected.setPixel(x, y, qRgb(255, 255, 255));

    for (QAction *action : m->findChild<QMenu *>("fileMenu")->actions())
        if (action->text() == QStringLiteral("&Export View as Image…"))
            action->trigger();
    FileChooser::setHandler(before);
    QCOMPARE(caption, pcView ? QStringLiteral("Export PC View as Image")
                             : QStringLiteral("Export Cycle View as Image"));
    if (file.startsWith("missing")) {
        QCOMPARE(v.alertes().size(), 1);
        QVERIFY2(v.alertes()[0].startsWith("Cannot write " + path + ": "),
                 qPrintable(v.alertes()[0]));
        QVERIFY(!QFile::exists(path));
        return;
    }
    QCOMPARE(v.messages.size(), 0);
    QCOMPARE(m->statusBar()->currentMessage(), "Exported " + path);
    QFile written(path);
    QVERIFY(written.open(QIODevice::ReadOnly));
    if (file.endsWith(".svg")) {
        const QByteArray svg = written.readAll();
        QVERIFY(svg.startsWith("<?xml"));
        QVERIFY(svg.contains(QStringLiteral("viewBox=\"0 0 %1 %2\"")
                                 .arg(expected.width())
                                 .arg(expected.height())
                                 .toLatin1()));
        return;
    }
    const QImage image = QImage::fromData(written.readAll(), "PNG");
    QCOMPARE(image.size(), expected.size());
    QVERIFY(image.convertToFormat(QImage::Format_RGB32) == expected);
    int coloured = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            coloured += QColor(image.pixel(x, y)).saturation() > 40;
    QVERIFY2(coloured > 100, "no block in the picture");
}

QTEST_MAIN(TestViewExport)
#include "tst_viewExport.moc"
