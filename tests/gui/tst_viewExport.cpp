#include "viewer.h"

#include "dialogs/fileChooser.h"
#include "gui/graphicBlockWidget.h"
#include "gui/mainFrame.h"
#include "gui/tableAsm.h"
#include "gui/traceWidgetCycle.h"
#include "gui/traceWidgetPc.h"

#include <QMenu>
#include <QStatusBar>
#include <QtTest>

// File > Export View as Image…: the file holds what the user sees of the view last pressed, its
// strip and surface; the PC view with the table on its left.
class TestViewExport : public QObject
{
    Q_OBJECT

private slots:
    void exportView_data()
    {
        QTest::addColumn<bool>("pcView"); // the table pressed last
        QTest::addColumn<QString>("file");
        QTest::newRow("cycle view") << false << "cycles.png";
        QTest::newRow("pc view and listing, no extension") << true << "pcs";
        QTest::newRow("svg") << false << "cycles.svg";
        QTest::newRow("unwritable") << false << "missing/cycles.png";
    }
    void exportView()
    {
        QFETCH(bool, pcView);
        QFETCH(QString, file);
        Viewer v;
        QVERIFY(v.executer(1));
        const QString path = v.dir.filePath(file);
        QString caption;
        const FileChooser::Handler before = FileChooser::setHandler(
            [&](const FileChooser::Request &request) { return caption = request.caption, path; });
        if (pcView) {
            emit v.mainFrame->displayPcTracePc(8, 0);
            QVERIFY(v.attendre());
            QTest::mouseClick(v.table()->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
        }
        TraceWidget *view = pcView ? static_cast<TraceWidget *>(v.vuePc()) : v.vueCycle();
        const QRect surface = view->getGraphicBlockWidget()->geometry();
        const QImage shown = v.ecran(view).copy(0, 0, surface.right() + 1, surface.bottom() + 1);
        const QImage table = v.ecran(v.table());

        v.mainFrame->findChild<QMenu *>("fileMenu")->actions().at(9)->trigger();
        FileChooser::setHandler(before);
        QCOMPARE(caption, pcView ? "Export PC View as Image" : "Export Cycle View as Image");
        QFile saved(path + (pcView ? ".png" : ""));
        if (file.startsWith("missing")) {
            QCOMPARE(v.alertes(),
                     QStringList{"Cannot write " + path + ": No such file or directory"});
            return;
        }
        QCOMPARE(v.mainFrame->statusBar()->currentMessage(), "Exported " + saved.fileName());
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QByteArray bytes = saved.readAll();
        if (file.endsWith(".svg")) { // the blocks as shapes
            const QString box = QStringLiteral("viewBox=\"0 0 %1 %2\"");
            QVERIFY(bytes.startsWith("<?xml") && bytes.count("<rect") > 100);
            QVERIFY(bytes.contains(box.arg(shown.width()).arg(shown.height()).toLatin1()));
            return;
        }
        const QImage image = QImage::fromData(bytes, "PNG").convertToFormat(QImage::Format_RGB32);
        const int left = pcView ? table.width() : 0;
        QCOMPARE(image.size(), QSize(left + shown.width(), qMax(shown.height(), table.height())));
        QVERIFY(image.copy(left, 0, shown.width(), shown.height()) == shown);
        QVERIFY(!pcView || image.copy(0, 0, table.width(), table.height()) == table);
    }
};

QTEST_MAIN(TestViewExport)
#include "tst_viewExport.moc"
