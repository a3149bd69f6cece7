#include "viewer.h"

#include "controller/traceFolder.h"
#include "dialogs/fileChooser.h"
#include "gui/mainFrame.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSettings>
#include <QtTest>

#include <cstdlib>
#include <sys/wait.h>

// A trace folder opened by its name alone: what is found in its files, what the window then
// shows, and the command line.
class TestTraceFolder : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    }
    void detection_data()
    {
        // Generated with: configuration, trace, zoom and listing paths and the three prefixes (or
        // the defaults); cycles, cycles per file, pcs, pcs per file; the zoom levels.
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QList<int>>("sizes");
        QTest::addColumn<QList<int>>("levels");
        QTest::addColumn<QString>("damage"); // then done to the folder
        // configuration|trace folder, prefix|zoom folder, prefix|cycles per file|listing folder,
        // prefix, pcs per file|total|each level; or "!" and a part of the message.
        QTest::addColumn<QString>("found");
        const QList<int> sample{500, 100, 200, 100};
        QTest::newRow("sample's layout")
            << QStringList() << sample << QList<int>{10, 100} << ""
            << "config.xml|100/trace trace|100/zoom zoom|100|100/asm asm 100|500|10|100";
        QTest::newRow("own names, partial last file, a file of another kind first")
            << QStringList{"events.xml", "40/t", "40/z", "40/l", "tr", "zz", "listing"}
            << QList<int>{230, 40, 90, 25} << QList<int>{5, 20} << "notes"
            << "events.xml|40/t tr|40/z zz|40|40/l listing 25|230|5|20";
        QTest::newRow("one listing, no zoom files")
            << QStringList() << QList<int>{500, 100, 60, 100} << QList<int>{} << ""
            << "config.xml|100/trace trace|100/zoom zoom|100|100/asm asm 60|500";
        QTest::newRow("cut other than the folder's")
            << QStringList() << sample << QList<int>{10} << "mv 100 30"
            << "!trace files cut every 30 cycles";
        QTest::newRow("not a folder")
            << QStringList() << sample << QList<int>{10} << "open config.xml"
            << "!config.xml is not a folder";
    }

    void detection()
    {
        QFETCH(QStringList, names);
        QFETCH(QList<int>, sizes);
        QFETCH(QList<int>, levels);
        QFETCH(QString, damage);
        QFETCH(QString, found);
        QTemporaryDir root;
        TraceGeneratorOptions o;
        o.rootDirectory = root.path();
        QString *fields[] = {&o.configFile,   &o.traceDirectory, &o.zoomDirectory, &o.asmDirectory,
                             &o.tracePrefixe, &o.zoomPrefixe,    &o.asmPrefixe};
        for (int i = 0; i < names.size(); ++i)
            *fields[i] = names[i];
        std::tie(o.nbCycleTotal, o.nbCycleParTrace, o.nbPc, o.nbPcParAsm) =
            std::tuple(sizes[0], sizes[1], sizes[2], sizes[3]);
        o.zoomLevels = levels;
        QVERIFY(TraceGenerator(o).generate());
        QDir dir(root.path());
        const QStringList words = damage.split(' ');
        const QString folder = words[0] == "open" ? dir.filePath(words[1]) : root.path();
        QFile notes(dir.filePath("aaa.xml")); // another kind of XML file, first by name
        if (words[0] == "mv")
            QVERIFY(dir.rename(words[1], words[2]));
        else if (words[0] == "notes")
            QVERIFY(notes.open(QIODevice::WriteOnly) && notes.write("<notes/>") > 0 &&
                    notes.flush());

        const TraceFolder::Detection d = TraceFolder::detecter(folder);
        if (found.startsWith('!')) {
            QVERIFY(d.message().startsWith("Cannot open the trace folder " + folder + ":\n"));
            QVERIFY2(d.message().contains(found.mid(1)), qPrintable(d.message()));
            return;
        }
        QVERIFY2(d.ok(), qPrintable(d.message()));
        const Parametres &p = d.parametres;
        const auto rel = [&dir](const QString &path) { return dir.relativeFilePath(path); };
        QStringList parts{rel(p.configFile),
                          rel(p.traceDirectory) + ' ' + p.tracePrefixe,
                          rel(p.zoomDirectory) + ' ' + p.zoomPrefixe,
                          QString::number(p.nbCycleParTrace),
                          rel(p.asmDirectory) + ' ' + p.asmPrefixe + ' ' +
                              QString::number(p.nbPcParAsm),
                          QString::number(p.nbCycleTotal)};
        for (int level : d.niveauxZoom)
            parts << QString::number(level);
        QCOMPARE(parts.join('|'), found);
    }

    // The bundled sample, opened as a user does: File > Open Trace Folder…, then again from the
    // recent folders; a folder that is not one is refused in one message; other parameters and
    // Execute forget the folder and its levels.
    void openFromTheWindow()
    {
        TraceGeneratorOptions sample;
        sample.rootDirectory = QStringLiteral(ZELVAR_SOURCE_DIR "/xml");
        Viewer v(sample, false);
        QTemporaryDir empty;
        QString chosen = sample.rootDirectory;
        const FileChooser::Handler before =
            FileChooser::setHandler([&chosen](const FileChooser::Request &) { return chosen; });
        v.ouvrir();
        QVERIFY(QFile::exists("Parametres.txt")); // the defaults, written when there was none
        MainFrame *m = v.mainFrame;
        const auto label = [m] { return m->findChild<QLabel *>("statusFolder")->text(); };
        QAction *open = m->findChild<QMenu *>("fileMenu")->actions().at(7);

        open->trigger();
        QVERIFY(v.attendre());
        QCOMPARE(v.niveau(), 100); // the coarsest level the folder has
        QCOMPARE(label(), QStringLiteral("xml"));
        QCOMPARE(m->findChild<QLineEdit *>("nbCycleTotal")->text(), QStringLiteral("4000"));
        QCOMPARE(v.invariants(true), QString());

        chosen = empty.path();
        open->trigger();
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

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("output");
        QTest::newRow("help") << QStringList{"--help"} << 0 << "Usage: zelvar [FOLDER]\n";
        QTest::newRow("version") << QStringList{"-v"} << 0 << "zelvar 1.0\n";
        QTest::newRow("two folders") << QStringList{"-platform", "offscreen", "a", "b"} << 2
                                     << "zelvar: unexpected argument \"b\"\nUsage: zelvar [FOLDER]";
    }

    // Help and version need no display: without one, the toolkit would abort. Run through the C
    // library rather than QProcess: ThreadSanitizer's runtime cannot follow the clone() that
    // QProcess starts children with.
    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, output);
        QTemporaryDir dir;
        const QString out = dir.filePath("out");
        const int status = std::system(
            qPrintable(QStringLiteral("env -u DISPLAY QT_QPA_PLATFORM=xcb '%1' %2 >'%3' 2>&1")
                           .arg(ZELVAR_BINARY_DIR "/zelvar", arguments.join(' '), out)));
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), exitCode);
        QFile text(out);
        QVERIFY(text.open(QIODevice::ReadOnly));
        const QByteArray bytes = text.readAll();
        QVERIFY2(bytes.contains(output.toUtf8()), bytes.constData());
    }

private:
    QTemporaryDir settings;
};

QTEST_MAIN(TestTraceFolder)
#include "tst_traceFolder.moc"
