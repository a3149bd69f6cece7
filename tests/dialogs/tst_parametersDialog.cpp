#include "dialogs/fileChooser.h"
#include "dialogs/parametersDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

using Emission = QPair<QString, QVariant>;
using Emissions = QList<Emission>;

class TestParametersDialog : public QObject
{
    Q_OBJECT

private:
    struct Fixture
    {
        ParametersDialog dialog;
        Emissions emitted;

        Fixture()
        {
            auto record = [this](const char *name) {
                return [this, name](const auto &value) {
                    emitted.append({QString::fromLatin1(name), QVariant::fromValue(value)});
                };
            };
            ParametersDialog *d = &dialog;
            QObject::connect(d, &ParametersDialog::configFileChanged, record("configFile"));
            QObject::connect(d, &ParametersDialog::tracePrefixChanged, record("tracePrefix"));
            QObject::connect(d, &ParametersDialog::traceDirectoryChanged, record("traceDirectory"));
            QObject::connect(d, &ParametersDialog::zoomPrefixChanged, record("zoomPrefix"));
            QObject::connect(d, &ParametersDialog::zoomDirectoryChanged, record("zoomDirectory"));
            QObject::connect(d, &ParametersDialog::nbCycleByFileChanged, record("nbCycleByFile"));
            QObject::connect(d, &ParametersDialog::asmPrefixChanged, record("asmPrefix"));
            QObject::connect(d, &ParametersDialog::asmDirectoryChanged, record("asmDirectory"));
            QObject::connect(d, &ParametersDialog::nbPcByAsmChanged, record("nbPcByAsm"));
            QObject::connect(d, &ParametersDialog::nbCycleTotalChanged, record("nbCycleTotal"));
            dialog.setParameters(QStringLiteral("../xml/config.xml"), QStringLiteral("trace"),
                                 QStringLiteral("../xml/trace"), QStringLiteral("zoom"),
                                 QStringLiteral("../xml/zoom"), 100, QStringLiteral("asm"),
                                 QStringLiteral("../xml/asm"), 50, 500);
        }
        QLineEdit *field(const char *name)
        {
            auto *edit = dialog.findChild<QLineEdit *>(QString::fromLatin1(name));
            Q_ASSERT(edit);
            return edit;
        }
        QCheckBox *sameDirectory()
        {
            return dialog.findChild<QCheckBox *>(QStringLiteral("sameDirectory"));
        }
        QAbstractButton *button(QDialogButtonBox::StandardButton which)
        {
            return dialog.findChild<QDialogButtonBox *>()->button(which);
        }
        QPushButton *chooser(const char *name)
        {
            return dialog.findChild<QPushButton *>(QString::fromLatin1(name));
        }
        QStringList fieldTexts()
        {
            QStringList texts;
            for (const char *name :
                 {"configFile", "tracePrefixe", "traceDirectory", "zoomPrefixe", "zoomDirectory",
                  "nbCycleParTrace", "asmPrefixe", "asmDirectory", "nbPcParAsm", "nbCycleTotal"})
                texts << field(name)->text();
            return texts;
        }
    };

    static Emissions expected(const QStringList &texts, const QList<int> &numbers)
    {
        const QStringList names = {
            "configFile",    "tracePrefix", "traceDirectory", "zoomPrefix", "zoomDirectory",
            "nbCycleByFile", "asmPrefix",   "asmDirectory",   "nbPcByAsm",  "nbCycleTotal"};
        Emissions result;
        int text = 0;
        int number = 0;
        for (int i = 0; i < names.size(); ++i) {
            const bool numeric = i == 5 || i == 8 || i == 9;
            result.append(
                {names[i], numeric ? QVariant(numbers[number++]) : QVariant(texts[text++])});
        }
        return result;
    }

    FileChooser::Request lastRequest;
    FileChooser::Handler previousHandler;

private slots:
    void cleanup() { FileChooser::setHandler(previousHandler); }

    void okEmitsAllTenInOrder_data()
    {
        QTest::addColumn<QString>("cycles");
        QTest::addColumn<QString>("pcs");
        QTest::addColumn<QString>("total");
        QTest::addColumn<QList<int>>("numbers");
        QTest::newRow("unchanged") << "100"
                                   << "50"
                                   << "500" << QList<int>{100, 50, 500};
        QTest::newRow("edited") << "250"
                                << "8"
                                << "100000" << QList<int>{250, 8, 100000};
        QTest::newRow("not numbers") << "abc"
                                     << "12x"
                                     << "" << QList<int>{0, 0, 0};
        QTest::newRow("negative and spaced") << "-5"
                                             << " 7 "
                                             << "0x10" << QList<int>{-5, 7, 0};
        QTest::newRow("too large for int") << "99999999999"
                                           << "3.5"
                                           << "1e3" << QList<int>{0, 0, 0};
    }
    void okEmitsAllTenInOrder()
    {
        QFETCH(QString, cycles);
        QFETCH(QString, pcs);
        QFETCH(QString, total);
        QFETCH(QList<int>, numbers);
        Fixture f;
        f.field("nbCycleParTrace")->setText(cycles);
        f.field("nbPcParAsm")->setText(pcs);
        f.field("nbCycleTotal")->setText(total);
        f.dialog.show();
        QTest::mouseClick(f.button(QDialogButtonBox::Ok), Qt::LeftButton);
        QCOMPARE(f.emitted, expected({"../xml/config.xml", "trace", "../xml/trace", "zoom",
                                      "../xml/zoom", "asm", "../xml/asm"},
                                     numbers));
        QCOMPARE(f.dialog.result(), int(QDialog::Accepted));
        QVERIFY(!f.dialog.isVisible());
    }

    void cancelEmitsNothingAndKeepsTypedText()
    {
        Fixture f;
        f.dialog.show();
        f.field("tracePrefixe")->setText(QStringLiteral("typed"));
        QTest::mouseClick(f.button(QDialogButtonBox::Cancel), Qt::LeftButton);
        QVERIFY(f.emitted.isEmpty());
        QVERIFY(!f.dialog.isVisible());
        f.dialog.show();
        QCOMPARE(f.field("tracePrefixe")->text(), QStringLiteral("typed"));
        QTest::mouseClick(f.button(QDialogButtonBox::Ok), Qt::LeftButton);
        QCOMPARE(f.emitted.value(1), Emission("tracePrefix", QStringLiteral("typed")));
    }

    void defaultsRestoreLastSetParametersSilently()
    {
        Fixture f;
        const QStringList fromFile = {"cfg.xml", "t", "/data/t", "z",  "/data/z",
                                      "64",      "a", "/data/a", "16", "4096"};
        f.dialog.setParameters(fromFile[0], fromFile[1], fromFile[2], fromFile[3], fromFile[4], 64,
                               fromFile[6], fromFile[7], 16, 4096);
        // Values the controller stored later, and text typed since, are both discarded.
        f.dialog.setTraceDirectory(QStringLiteral("/elsewhere"));
        f.dialog.setNbCycleTotal(7);
        f.field("configFile")->setText(QStringLiteral("typed.xml"));
        f.field("nbPcParAsm")->setText(QStringLiteral("typed"));
        f.dialog.show();
        QTest::mouseClick(f.button(QDialogButtonBox::RestoreDefaults), Qt::LeftButton);
        QVERIFY(f.emitted.isEmpty());
        QVERIFY(f.dialog.isVisible());
        QCOMPARE(f.fieldTexts(), fromFile);
    }

    void settersShowValuesWithoutEmitting()
    {
        Fixture f;
        f.dialog.setZoomPrefixe(QStringLiteral("zz"));
        f.dialog.setNbCycleParTrace(-3);
        QCOMPARE(f.field("zoomPrefixe")->text(), QStringLiteral("zz"));
        QCOMPARE(f.field("nbCycleParTrace")->text(), QStringLiteral("-3"));
        QVERIFY(f.emitted.isEmpty());
    }

    void sameDirectoryMirrorsAndRestores()
    {
        Fixture f;
        f.field("zoomDirectory")->setText(QStringLiteral("/own/zoom"));
        f.sameDirectory()->setChecked(true);
        for (const char *name : {"zoomDirectory", "asmDirectory"}) {
            QCOMPARE(f.field(name)->text(), QStringLiteral("../xml/trace"));
            QVERIFY(!f.field(name)->isEnabled());
            QVERIFY(f.field(name)->isReadOnly());
        }
        QVERIFY(!f.chooser("chooseZoomDirectoryButton")->isEnabled());
        QVERIFY(!f.chooser("chooseAsmDirectoryButton")->isEnabled());

        f.field("traceDirectory")->setText(QStringLiteral("/typed/trace"));
        QCOMPARE(f.field("zoomDirectory")->text(), QStringLiteral("/typed/trace"));
        previousHandler = FileChooser::setHandler(
            [](const FileChooser::Request &) { return QStringLiteral("C:\\chosen\\dir"); });
        f.dialog.chooseTraceDirectory();
        QCOMPARE(f.field("asmDirectory")->text(), QStringLiteral("C:/chosen/dir"));
        QCOMPARE(f.field("zoomPrefixe")->text(), QStringLiteral("zoom"));

        f.dialog.apply();
        QCOMPARE(f.emitted.value(4), Emission("zoomDirectory", QStringLiteral("C:/chosen/dir")));
        QCOMPARE(f.emitted.value(7), Emission("asmDirectory", QStringLiteral("C:/chosen/dir")));

        f.sameDirectory()->setChecked(false);
        QCOMPARE(f.field("zoomDirectory")->text(), QStringLiteral("/own/zoom"));
        QCOMPARE(f.field("asmDirectory")->text(), QStringLiteral("../xml/asm"));
        QVERIFY(f.field("zoomDirectory")->isEnabled() && !f.field("zoomDirectory")->isReadOnly());
        QVERIFY(f.chooser("chooseAsmDirectoryButton")->isEnabled());
        f.field("traceDirectory")->setText(QStringLiteral("/no/longer/mirrored"));
        QCOMPARE(f.field("zoomDirectory")->text(), QStringLiteral("/own/zoom"));

        // A second round saves the directories afresh.
        f.field("asmDirectory")->setText(QStringLiteral("/own/asm"));
        f.sameDirectory()->setChecked(true);
        f.sameDirectory()->setChecked(false);
        QCOMPARE(f.field("asmDirectory")->text(), QStringLiteral("/own/asm"));
    }

    void defaultsWhileMirroringShowOwnDefaults()
    {
        Fixture f;
        f.sameDirectory()->setChecked(true);
        f.field("traceDirectory")->setText(QStringLiteral("/typed"));
        f.dialog.reloadDefault();
        QCOMPARE(f.field("traceDirectory")->text(), QStringLiteral("../xml/trace"));
        QCOMPARE(f.field("zoomDirectory")->text(), QStringLiteral("../xml/zoom"));
        QCOMPARE(f.field("asmDirectory")->text(), QStringLiteral("../xml/asm"));
        QVERIFY(f.emitted.isEmpty());
    }

    void choosers_data()
    {
        QTest::addColumn<QString>("slot");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("filter");
        const int file = int(FileChooser::Kind::OpenFile);
        const int dir = int(FileChooser::Kind::ExistingDirectory);
        QTest::newRow("config") << "chooseConfigFile"
                                << "C:\\sim\\cfg.xml"
                                << "configFile"
                                << "C:/sim/cfg.xml" << file << "Choose Config File"
                                << "Xml File (*.xml)";
        QTest::newRow("config cancelled") << "chooseConfigFile"
                                          << ""
                                          << "configFile"
                                          << "../xml/config.xml" << file << "Choose Config File"
                                          << "Xml File (*.xml)";
        QTest::newRow("trace") << "chooseTraceDirectory"
                               << "/home/u/run\\1"
                               << "traceDirectory"
                               << "/home/u/run/1" << dir << "Choose Trace Directory"
                               << "";
        QTest::newRow("trace cancelled") << "chooseTraceDirectory"
                                         << ""
                                         << "traceDirectory"
                                         << "../xml/trace" << dir << "Choose Trace Directory"
                                         << "";
        QTest::newRow("zoom") << "chooseZoomDirectory"
                              << "\\\\server\\zoom"
                              << "zoomDirectory"
                              << "//server/zoom" << dir << "Choose Zoom Directory"
                              << "";
        QTest::newRow("asm") << "chooseAsmDirectory"
                             << "/plain/asm"
                             << "asmDirectory"
                             << "/plain/asm" << dir << "Choose Asm Directory"
                             << "";
    }
    void choosers()
    {
        QFETCH(QString, slot);
        QFETCH(QString, answer);
        QFETCH(QString, field);
        QFETCH(QString, shown);
        QFETCH(int, kind);
        QFETCH(QString, caption);
        QFETCH(QString, filter);
        Fixture f;
        int asked = 0;
        previousHandler = FileChooser::setHandler([&](const FileChooser::Request &request) {
            ++asked;
            lastRequest = request;
            return answer;
        });
        // Through the "..." button, as the user does it.
        QTest::mouseClick(f.chooser(qPrintable(slot + QStringLiteral("Button"))), Qt::LeftButton);
        QCOMPARE(asked, 1);
        QCOMPARE(int(lastRequest.kind), kind);
        QCOMPARE(lastRequest.caption, caption);
        QCOMPARE(lastRequest.objectName, slot);
        QCOMPARE(lastRequest.directory, QStringLiteral("./"));
        QCOMPARE(lastRequest.filter, filter);
        QCOMPARE(lastRequest.parent, &f.dialog);
        QCOMPARE(f.field(qPrintable(field))->text(), shown);
        // The chosen value is the current one, so Defaults brings back the old one.
        f.dialog.reloadDefault();
        QVERIFY(f.emitted.isEmpty());
    }

    void pagesAndTexts_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("tab");
        QTest::addColumn<QStringList>("labels");
        QTest::addColumn<QList<QRect>>("fields");
        const QRect title(50, 20, 200, 20);
        QTest::newRow("config") << 0 << "Config"
                                << QStringList{"----==== Config Parameters ====----",
                                               "Config File :"}
                                << QList<QRect>{QRect(10, 130, 150, 20)};
        QTest::newRow("trace") << 1 << "Trace"
                               << QStringList{"----==== Trace Parameters ====----",
                                              "Files Prefix :", "Files Directory :",
                                              "Nb Cycles by File :"}
                               << QList<QRect>{QRect(10, 80, 150, 20), QRect(10, 130, 150, 20),
                                               QRect(10, 200, 150, 20)};
        QTest::newRow("zoom") << 2 << "Zoom"
                              << QStringList{"----==== Zoom Parameters ====----",
                                             "Files Prefix :", "Files Directory :"}
                              << QList<QRect>{QRect(10, 80, 150, 20), QRect(10, 130, 150, 20)};
        QTest::newRow("asm") << 3 << "Asm"
                             << QStringList{"----==== Asm Parameters ====----", "Files Prefix :",
                                            "Files Directory :", "Nb Pc by File :"}
                             << QList<QRect>{QRect(10, 80, 150, 20), QRect(10, 130, 150, 20),
                                             QRect(10, 200, 150, 20)};
        QTest::newRow("others") << 4 << "Others"
                                << QStringList{"----==== Others Parameters ====----",
                                               "Nb Cycle Total :"}
                                << QList<QRect>{QRect(10, 130, 150, 20)};
    }
    void pagesAndTexts()
    {
        QFETCH(int, page);
        QFETCH(QString, tab);
        QFETCH(QStringList, labels);
        QFETCH(QList<QRect>, fields);
        Fixture f;
        auto *tabs = f.dialog.findChild<QTabWidget *>();
        QCOMPARE(tabs->count(), 5);
        QCOMPARE(tabs->tabText(page), tab);
        QWidget *widget = tabs->widget(page);
        QStringList texts;
        for (QLabel *label : widget->findChildren<QLabel *>())
            texts << label->text();
        QCOMPARE(texts, labels);
        QCOMPARE(widget->findChildren<QLabel *>().constFirst()->geometry(), QRect(50, 20, 200, 20));
        QList<QRect> geometries;
        for (QLineEdit *edit : widget->findChildren<QLineEdit *>())
            geometries << edit->geometry();
        QCOMPARE(geometries, fields);
    }
};

QTEST_MAIN(TestParametersDialog)
#include "tst_parametersDialog.moc"
