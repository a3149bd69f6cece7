#include "viewer.h"

#include "controller/traceFolder.h"
#include "dialogs/fileChooser.h"
#include "gui/graphicBlockWidget.h"
#include "gui/mainFrame.h"
#include "gui/traceWidgetCycle.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QSettings>
#include <QtTest>

#include <functional>

using Change = std::function<void(TraceGeneratorOptions &)>;
Q_DECLARE_METATYPE(Change)

// A trace folder opened by its name alone: what is found in its files, what the window then
// shows, and the command line that opens one.
class TestTraceFolder : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    }
    void detection_data();
    void detection();
    void openFromTheWindow();
    void commandLine_data();
    void commandLine();

private:
    QTemporaryDir settings;
};

void TestTraceFolder::detection_data()
{
    QTest::addColumn<Change>("options");
    QTest::addColumn<QString>("damage"); // done to the generated folder before it is opened
    // configuration|trace folder, prefix|zoom folder, prefix|cycles per file|listing folder,
    // prefix, pcs per file|total|levels; or "!" and a part of the message.
    QTest::addColumn<QString>("found");
    const Change none = [](TraceGeneratorOptions &) {};
    QTest::newRow("the sample's layout")
        << Change([](TraceGeneratorOptions &o) {
               o.zoomLevels = {10, 100};
           })
        << ""
        << "config.xml|100/trace trace|100/zoom zoom|100|100/asm asm 100|500|10 100";
    QTest::newRow("names of its own, last file partial, no level 1 files")
        << Change([](TraceGeneratorOptions &o) {
               o.configFile = "events.xml";
               o.traceDirectory = "40/t";
               o.zoomDirectory = "40/z";
               o.asmDirectory = "40/l";
               o.tracePrefixe = "tr";
               o.zoomPrefixe = "zz";
               o.asmPrefixe = "listing";
               o.nbCycleParTrace = 40;
               o.nbCycleTotal = 230;
               o.zoomLevels = {5, 20};
               o.nbPc = 90;
               o.nbPcParAsm = 25;
           })
        << "notes"
        << "events.xml|40/t tr|40/z zz|40|40/l listing 25|230|5 20";
    QTest::newRow("one listing, no zoom files")
        << Change([](TraceGeneratorOptions &o) {
               o.nbPc = 60;
               o.zoomLevels = {};
           })
        << ""
        << "config.xml|100/trace trace|100/zoom zoom|100|100/asm asm 60|500|";
    QTest::newRow("no configuration") << none << "rm config.xml"
                                      << "!no event configuration (an XML file whose root "
                                         "element is \"config\") in ";
    QTest::newRow("no trace files") << none << "rm 100/trace"
                                    << "!no trace files";
    QTest::newRow("cut other than the folder's") << none << "mv 100 30"
                                                 << "!trace files cut every 30 cycles";
    QTest::newRow("not a folder") << none << "open config.xml"
                                  << "!config.xml is not a folder";
}

void TestTraceFolder::detection()
{
    QFETCH(Change, options);
    QFETCH(QString, damage);
    QFETCH(QString, found);
    QTemporaryDir root;
    TraceGeneratorOptions o;
    o.rootDirectory = root.path();
    options(o);
    QVERIFY(TraceGenerator(o).generate());
    QDir dir(root.path());
    const QStringList words = damage.split(' ');
    QString folder = root.path();
    if (words[0] == "rm")
        QVERIFY(QFile::remove(dir.filePath(words[1])) ||
                QDir(dir.filePath(words[1])).removeRecursively());
    else if (words[0] == "mv")
        QVERIFY(dir.rename(words[1], words[2]));
    else if (words[0] == "open")
        folder = dir.filePath(words[1]);
    else if (words[0] == "notes") { // an XML file of another kind comes first
        QFile notes(dir.filePath("aaa.xml"));
        QVERIFY(notes.open(QIODevice::WriteOnly) && notes.write("<notes/>") > 0);
    }

    const TraceFolder::Detection d = TraceFolder::detecter(folder);
    if (found.startsWith('!')) {
        QVERIFY2(d.message().contains(found.mid(1)), qPrintable(d.message()));
        QVERIFY(d.message().startsWith("Cannot open the trace folder " + folder + ":\n"));
        return;
    }
    QVERIFY2(d.ok(), qPrintable(d.message()));
    const Parametres &p = d.parametres;
    QStringList levels;
    for (int level : d.niveauxZoom)
        levels << QString::number(level);
    const QStringList parts = {dir.relativeFilePath(p.configFile),
                               dir.relativeFilePath(p.traceDirectory) + ' ' + p.tracePrefixe,
                               dir.relativeFilePath(p.zoomDirectory) + ' ' + p.zoomPrefixe,
                               QString::number(p.nbCycleParTrace),
                               dir.relativeFilePath(p.asmDirectory) + ' ' + p.asmPrefixe + ' ' +
                                   QString::number(p.nbPcParAsm),
                               QString::number(p.nbCycleTotal),
                               levels.join(' ')};
    QCOMPARE(parts.join('|'), found);
}

namespace {

QAction *item(MainFrame *m, const QString &text)
{
    for (QAction *action : m->findChild<QMenu *>("fileMenu")->actions()) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

// Pixels of the cycle view's surface that are neither background nor outline.
int colouredPixels(Viewer &v)
{
    const QImage picture =
        v.ecran(v.vueCycle()).copy(v.vueCycle()->getGraphicBlockWidget()->geometry());
    int n = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            n += QColor(picture.pixel(x, y)).saturation() > 40;
    return n;
}

} // namespace

// The bundled sample, opened as a user does: File > Open Trace Folder…, then again from the
// recent folders; a folder that is not one is refused in one message; other parameters and
// Execute forget the folder.
void TestTraceFolder::openFromTheWindow()
{
    TraceGeneratorOptions sample;
    sample.rootDirectory = QStringLiteral(ZELVAR_SOURCE_DIR "/xml");
    Viewer v(sample, false);
    QTemporaryDir empty;
    QString chosen = sample.rootDirectory;
    const FileChooser::Handler before =
        FileChooser::setHandler([&chosen](const FileChooser::Request &request) {
            return request.kind == FileChooser::Kind::ExistingDirectory ? chosen : QString();
        });
    v.ouvrir();
    MainFrame *m = v.mainFrame;
    const auto field = [m](const char *name) {
        return m->findChild<QLineEdit *>(QLatin1String(name))->text();
    };
    const auto label = [m] { return m->findChild<QLabel *>("statusFolder")->text(); };

    item(m, "&Open Trace Folder…")->trigger();
    QVERIFY(v.attendre());
    QCOMPARE(v.messages.size(), 0);
    QCOMPARE(v.niveau(), 100); // the coarsest level the folder has
    QCOMPARE(label(), QStringLiteral("xml"));
    QCOMPARE(field("traceDirectory"), sample.rootDirectory + "/100/trace");
    QCOMPARE(field("nbCycleTotal"), QStringLiteral("4000"));
    QVERIFY(colouredPixels(v) > 100);
    QCOMPARE(v.invariants(true), QString());

    chosen = empty.path();
    item(m, "&Open Trace Folder…")->trigger();
    QVERIFY(v.attendre());
    QCOMPARE(v.alertes().size(), 1);
    QVERIFY(v.alertes()[0].contains("no event configuration"));
    QVERIFY(v.alertes()[0].contains("no trace files"));
    QCOMPARE(label(), QStringLiteral("xml"));

    QVERIFY(v.zoomer(10));
    QMenu *recent = m->findChild<QMenu *>("recentFoldersMenu");
    QCOMPARE(recent->actions().size(), 1);
    QCOMPARE(recent->actions()[0]->text(), sample.rootDirectory);
    recent->actions()[0]->trigger();
    QVERIFY(v.attendre());
    QCOMPARE(v.niveau(), 100);

    emit m->nbCycleTotalChanged(500);
    emit m->demarrer();
    QVERIFY(v.attendre());
    QCOMPARE(v.niveau(), 10);
    QCOMPARE(label(), QString());
    v.fermer();
    Parametres saved;
    QVERIFY(Parametres::load("Parametres.txt", saved));
    QCOMPARE(saved.traceDirectory, sample.rootDirectory + "/100/trace");
    QCOMPARE(saved.nbCycleTotal, 500);
    FileChooser::setHandler(before);
}

void TestTraceFolder::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("platform");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("output"); // in stdout, or in stderr on failure
    // Without a display to connect to, the toolkit would abort.
    QTest::newRow("help") << QStringList{"--help"} << "xcb" << 0 << "Usage: zelvar [FOLDER]\n";
    QTest::newRow("version") << QStringList{"-v"} << "xcb" << 0 << "zelvar 1.0\n";
    QTest::newRow("two folders") << QStringList{"a", "b"} << "offscreen" << 2
                                 << "zelvar: unexpected argument \"b\"\nUsage: zelvar [FOLDER]";
    QTest::newRow("unknown option") << QStringList{"--open", "a"} << "offscreen" << 2
                                    << "zelvar: unexpected argument \"--open\"\n";
}

void TestTraceFolder::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, platform);
    QFETCH(int, exitCode);
    QFETCH(QString, output);
    QProcess zelvar;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.insert("QT_QPA_PLATFORM", platform);
    zelvar.setProcessEnvironment(env);
    zelvar.start(ZELVAR_BINARY_DIR "/zelvar", arguments);
    QVERIFY(zelvar.waitForFinished(60000));
    QCOMPARE(zelvar.exitStatus(), QProcess::NormalExit);
    QCOMPARE(zelvar.exitCode(), exitCode);
    const QString text = QString::fromUtf8(exitCode == 0 ? zelvar.readAllStandardOutput()
                                                         : zelvar.readAllStandardError());
    QVERIFY2(text.contains(output), qPrintable(text));
}

QTEST_MAIN(TestTraceFolder)
#include "tst_traceFolder.moc"
