#include "dialogs/fileChooser.h"
#include "dialogs/messageBox.h"
#include "dialogs/parametersDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

namespace {

const QStringList fieldNames = {
    "configFile",      "tracePrefixe", "traceDirectory", "zoomPrefixe", "zoomDirectory",
    "nbCycleParTrace", "asmPrefixe",   "asmDirectory",   "nbPcParAsm",  "nbCycleTotal"};

// The dialog as the main window holds it, with every emitted signal logged as "name=value".
struct Fixture
{
    ParametersDialog dialog;
    QStringList log;

    Fixture()
    {
        auto record = [this](const char *name) {
            return [this, name](const auto &value) {
                log << QString::fromLatin1(name) + QLatin1Char('=') + QVariant(value).toString();
            };
        };
        ParametersDialog *d = &dialog;
        QObject::connect(d, &ParametersDialog::configFileChanged, record("config"));
        QObject::connect(d, &ParametersDialog::tracePrefixChanged, record("tracePrefix"));
        QObject::connect(d, &ParametersDialog::traceDirectoryChanged, record("traceDir"));
        QObject::connect(d, &ParametersDialog::zoomPrefixChanged, record("zoomPrefix"));
        QObject::connect(d, &ParametersDialog::zoomDirectoryChanged, record("zoomDir"));
        QObject::connect(d, &ParametersDialog::nbCycleByFileChanged, record("cycles"));
        QObject::connect(d, &ParametersDialog::asmPrefixChanged, record("asmPrefix"));
        QObject::connect(d, &ParametersDialog::asmDirectoryChanged, record("asmDir"));
        QObject::connect(d, &ParametersDialog::nbPcByAsmChanged, record("pcs"));
        QObject::connect(d, &ParametersDialog::nbCycleTotalChanged, record("total"));
        dialog.setParameters("c.xml", "trace", "/t", "zoom", "/z", 100, "asm", "/a", 50, 500);
    }
    QLineEdit *field(const QString &name) { return dialog.findChild<QLineEdit *>(name); }
    QCheckBox *sameDirectory() { return dialog.findChild<QCheckBox *>("sameDirectory"); }
    bool editable(const QString &name)
    {
        return field(name)->isEnabled() && !field(name)->isReadOnly() &&
               dialog
                   .findChild<QPushButton *>("choose" + name.left(1).toUpper() + name.mid(1) +
                                             "Button")
                   ->isEnabled();
    }
    void press(QDialogButtonBox::StandardButton which)
    {
        QTest::mouseClick(dialog.findChild<QDialogButtonBox *>()->button(which), Qt::LeftButton);
    }
    QStringList texts()
    {
        QStringList result;
        for (const QString &name : fieldNames)
            result << field(name)->text();
        return result;
    }
};

} // namespace

class TestParametersDialog : public QObject
{
    Q_OBJECT

    FileChooser::Handler previousHandler;

private slots:
    void cleanup() { FileChooser::setHandler(previousHandler); }

    void okEmitsAllTenInOrder_data()
    {
        QTest::addColumn<QStringList>("counts"); // cycles per file, pcs per file, total
        QTest::addColumn<QStringList>("sent");   // "": refused, not sent
        QTest::newRow("unchanged")
            << QStringList{"100", "50", "500"} << QStringList{"100", "50", "500"};
        // A count per file that is not a positive number is refused, quoted as typed; the
        // total that is not a number goes out as 0.
        QTest::newRow("not numbers") << QStringList{"abc", "12x", ""} << QStringList{"", "", "0"};
        QTest::newRow("signs and blanks")
            << QStringList{"-5", " 7 ", "0x10"} << QStringList{"", "7", "0"};
        QTest::newRow("beyond int")
            << QStringList{"99999999999", "3.5", "1e3"} << QStringList{"", "", "0"};
        QTest::newRow("zero, negative total")
            << QStringList{"0", "64", "-3"} << QStringList{"", "64", "-3"};
    }
    void okEmitsAllTenInOrder()
    {
        QFETCH(QStringList, counts);
        QFETCH(QStringList, sent);
        Fixture f;
        QStringList messages;
        const MessageBox::Handler previous = MessageBox::setHandler(
            [&messages](MessageBox::Kind kind, const QString &title, const QString &text) {
                messages << QString::number(int(kind)) + QLatin1Char(' ') + title +
                                QStringLiteral(": ") + text;
            });
        f.field("nbCycleParTrace")->setText(counts[0]);
        f.field("nbPcParAsm")->setText(counts[1]);
        f.field("nbCycleTotal")->setText(counts[2]);
        f.dialog.show();
        f.press(QDialogButtonBox::Ok);
        MessageBox::setHandler(previous);
        QStringList expected{"config=c.xml", "tracePrefix=trace", "traceDir=/t", "zoomPrefix=zoom",
                             "zoomDir=/z"};
        QStringList refusals;
        const auto count = [&](int i, const char *signal, const char *label, const char *stays) {
            if (!sent[i].isEmpty()) {
                expected << QString::fromLatin1(signal) + QLatin1Char('=') + sent[i];
                return;
            }
            refusals << QStringLiteral("1 error: ") + QString::fromLatin1(label) + " : " +
                            counts[i] + " is not a positive number; the value stays " + stays + ".";
            // The value in force goes back into the field.
            QCOMPARE(f.field(fieldNames[i == 0 ? 5 : 8])->text(), QString::fromLatin1(stays));
        };
        count(0, "cycles", "Nb Cycles by File", "100");
        expected << "asmPrefix=asm"
                 << "asmDir=/a";
        count(1, "pcs", "Nb Pc by File", "50");
        expected << "total=" + sent[2];
        QCOMPARE(f.log, expected);
        QCOMPARE(messages, refusals);
        QCOMPARE(f.dialog.result(), int(QDialog::Accepted));
        QVERIFY(!f.dialog.isVisible());
    }

    void cancelEmitsNothingAndKeepsTypedText()
    {
        Fixture f;
        f.dialog.show();
        f.field("tracePrefixe")->setText("typed");
        f.press(QDialogButtonBox::Cancel);
        QVERIFY(f.log.isEmpty());
        QVERIFY(!f.dialog.isVisible());
        f.dialog.show();
        f.press(QDialogButtonBox::Ok);
        QCOMPARE(f.log.value(1), QStringLiteral("tracePrefix=typed"));
    }

    void defaultsRestoreLastSetParametersSilently()
    {
        Fixture f;
        f.dialog.setParameters("cfg.xml", "t", "/d/t", "z", "/d/z", 64, "a", "/d/a", 16, 4096);
        // Values the controller stored since, and text typed since, are both discarded.
        f.dialog.setTraceDirectory("/elsewhere");
        f.dialog.setNbCycleTotal(7);
        QCOMPARE(f.field("nbCycleTotal")->text(), QStringLiteral("7"));
        f.field("configFile")->setText("typed.xml");
        f.dialog.show();
        f.press(QDialogButtonBox::RestoreDefaults);
        QVERIFY(f.log.isEmpty());
        QVERIFY(f.dialog.isVisible());
        QCOMPARE(f.texts(), (QStringList{"cfg.xml", "t", "/d/t", "z", "/d/z", "64", "a", "/d/a",
                                         "16", "4096"}));
    }

    void sameDirectoryMirrorsAndRestores()
    {
        Fixture f;
        f.field("zoomDirectory")->setText("/own/zoom");
        f.sameDirectory()->setChecked(true);
        QCOMPARE(f.texts().mid(4, 4), (QStringList{"/t", "100", "asm", "/t"}));
        QVERIFY(!f.editable("zoomDirectory") && !f.editable("asmDirectory"));
        // Typed or chosen, the trace directory is mirrored; the prefixes are left alone.
        f.field("traceDirectory")->setText("/typed");
        QCOMPARE(f.field("zoomDirectory")->text(), QStringLiteral("/typed"));
        previousHandler = FileChooser::setHandler(
            [](const FileChooser::Request &) { return QStringLiteral("C:\\chosen\\dir"); });
        f.dialog.chooseTraceDirectory();
        QCOMPARE(f.texts().mid(2, 6), (QStringList{"C:/chosen/dir", "zoom", "C:/chosen/dir", "100",
                                                   "asm", "C:/chosen/dir"}));
        f.dialog.apply();
        QCOMPARE(f.log.value(4), QStringLiteral("zoomDir=C:/chosen/dir"));
        QCOMPARE(f.log.value(7), QStringLiteral("asmDir=C:/chosen/dir"));

        f.sameDirectory()->setChecked(false);
        f.field("traceDirectory")->setText("/no/longer/mirrored");
        QCOMPARE(f.field("zoomDirectory")->text(), QStringLiteral("/own/zoom"));
        QCOMPARE(f.field("asmDirectory")->text(), QStringLiteral("/a"));
        QVERIFY(f.editable("zoomDirectory") && f.editable("asmDirectory"));

        // Defaults while mirroring show each field's own default, silently.
        f.sameDirectory()->setChecked(true);
        f.log.clear();
        f.dialog.reloadDefault();
        QCOMPARE(f.texts().mid(2, 6), (QStringList{"/t", "zoom", "/z", "100", "asm", "/a"}));
        QVERIFY(f.log.isEmpty());
    }

    void choosers_data()
    {
        QTest::addColumn<QString>("name"); // of the field; its button is "choose<Name>Button"
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("shown");
        const auto row = [](const char *tag, const char *name, const char *answer,
                            const char *shown) { QTest::newRow(tag) << name << answer << shown; };
        row("config", "configFile", "C:\\sim\\cfg.xml", "C:/sim/cfg.xml");
        row("config cancelled", "configFile", "", "c.xml");
        row("trace", "traceDirectory", "/home/u/run\\1", "/home/u/run/1");
        row("zoom", "zoomDirectory", "\\\\server\\zoom", "//server/zoom");
        row("asm", "asmDirectory", "/plain/asm", "/plain/asm");
    }
    void choosers()
    {
        QFETCH(QString, name);
        QFETCH(QString, answer);
        Fixture f;
        QList<FileChooser::Request> asked;
        previousHandler = FileChooser::setHandler([&](const FileChooser::Request &request) {
            asked << request;
            return answer;
        });
        const QString chooser = "choose" + name.left(1).toUpper() + name.mid(1);
        QTest::mouseClick(f.dialog.findChild<QPushButton *>(chooser + "Button"), Qt::LeftButton);
        QCOMPARE(asked.size(), 1);
        const bool file = name == "configFile";
        QCOMPARE(asked[0].kind,
                 file ? FileChooser::Kind::OpenFile : FileChooser::Kind::ExistingDirectory);
        const QString word = name.left(name.indexOf(QRegularExpression("[A-Z]")));
        QCOMPARE(asked[0].caption, "Choose " + word.left(1).toUpper() + word.mid(1) +
                                       (file ? " File" : " Directory"));
        QCOMPARE(asked[0].directory, QStringLiteral("./"));
        QCOMPARE(asked[0].filter, file ? QStringLiteral("Xml File (*.xml)") : QString());
        QTEST(f.field(name)->text(), "shown");
        QVERIFY(f.log.isEmpty());
    }
};

QTEST_MAIN(TestParametersDialog)
#include "tst_parametersDialog.moc"
