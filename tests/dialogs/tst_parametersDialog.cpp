#include "dialogs/fileChooser.h"
#include "dialogs/messageBox.h"
#include "dialogs/parametersDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace {

const QStringList fieldNames = {
    "configFile",      "tracePrefixe", "traceDirectory", "zoomPrefixe", "zoomDirectory",
    "nbCycleParTrace", "asmPrefixe",   "asmDirectory",   "nbPcParAsm",  "nbCycleTotal"};

// The dialog as the main window holds it, with the messages it shows logged as "title: text"
// and every file chooser answered with `answer`.
struct Fixture
{
    ParametersDialog dialog;
    std::vector<std::unique_ptr<QSignalSpy>> spies;
    QStringList messages, asked;
    QString answer;

    Fixture()
    {
        const QMetaObject &meta = ParametersDialog::staticMetaObject;
        for (int i = meta.methodOffset(); i < meta.methodCount(); ++i)
            if (meta.method(i).methodType() == QMetaMethod::Signal)
                spies.push_back(std::make_unique<QSignalSpy>(&dialog, meta.method(i)));
        MessageBox::setHandler([this](MessageBox::Kind, const QString &title, const QString &text) {
            messages << title + ": " + text;
        });
        FileChooser::setHandler([this](const FileChooser::Request &r) {
            asked << r.caption;
            return answer;
        });
        dialog.setParameters("c.xml", "trace", "/t", "zoom", "/z", 100, "asm", "/a", 50, 500);
        dialog.show();
    }
    // What the ten signals sent, in the order they are declared (and sent).
    QString sent()
    {
        QStringList values;
        for (const auto &spy : spies)
            for (const QList<QVariant> &arguments : *spy)
                values << arguments.value(0).toString();
        return values.join(' ');
    }
    QLineEdit *field(const QString &name) { return dialog.findChild<QLineEdit *>(name); }
    QPushButton *chooser(const QString &name)
    {
        return dialog.findChild<QPushButton *>("choose" + name.left(1).toUpper() + name.mid(1) +
                                               "Button");
    }
    // 3 when the field is enabled, writable and its chooser enabled; 0 when none of them.
    int editable(const QString &name)
    {
        return field(name)->isEnabled() + !field(name)->isReadOnly() + chooser(name)->isEnabled();
    }
    void press(QDialogButtonBox::StandardButton which)
    {
        QTest::mouseClick(dialog.findChild<QDialogButtonBox *>()->button(which), Qt::LeftButton);
    }
    QString texts(const QStringList &names = fieldNames)
    {
        QStringList result;
        for (const QString &name : names)
            result << field(name)->text();
        return result.join('|');
    }
};

} // namespace

class TestParametersDialog : public QObject
{
    Q_OBJECT

private slots:
    // A count per file that is not a positive decimal number is refused, quoted as typed, and
    // the value in force goes back into its field; the total that is not a number goes out as 0.
    void okSendsEveryField_data()
    {
        QTest::addColumn<QString>("typed"); // cycles per file|pcs per file|total
        QTest::addColumn<QString>("sent");
        QTest::addColumn<QString>("shown"); // the three fields afterwards
        const auto row = [](const char *tag, const char *typed, const char *sent,
                            const char *shown) { QTest::newRow(tag) << typed << sent << shown; };
        row("smallest, total not decimal", "1|19|0x10", "c.xml trace /t zoom /z 1 asm /a 19 0",
            "1|19|0x10");
        row("not numbers", "1a|abc|", "c.xml trace /t zoom /z asm /a 0", "100|50|");
        row("zero, blanks, negative", "0| 7 |-3", "c.xml trace /t zoom /z asm /a 7 -3",
            "100| 7 |-3");
    }
    void okSendsEveryField()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        const QStringList in = typed.split('|'), out = shown.split('|');
        Fixture f;
        const QStringList counts{"nbCycleParTrace", "nbPcParAsm", "nbCycleTotal"};
        for (int i = 0; i < 3; ++i)
            f.field(counts[i])->setText(in[i]);
        f.press(QDialogButtonBox::Ok);
        QTEST(f.sent(), "sent");
        QStringList refusals;
        for (int i : {0, 1})
            if (out[i] != in[i])
                refusals << QStringLiteral("error: %1 : %2 is not a positive number; the value "
                                           "stays %3.")
                                .arg(i ? "Nb Pc by File" : "Nb Cycles by File", in[i], out[i]);
        QCOMPARE(f.texts(counts), shown);
        QCOMPARE(f.messages, refusals);
        QVERIFY(!f.dialog.isVisible());
    }

    // Cancel sends nothing and keeps what was typed; Defaults shows the parameters last set
    // whole, over values stored since and text typed since, and sends nothing either. Each
    // chooser asks under its own caption and shows the answer with forward slashes; no answer
    // changes nothing, and no chooser sends anything.
    void cancelDefaultsChoosersAndSameDirectory()
    {
        Fixture f;
        f.dialog.setTraceDirectory("/elsewhere");
        f.dialog.setNbCycleTotal(7);
        f.field("configFile")->setText("typed.xml");
        QTest::mouseClick(f.chooser("configFile"), Qt::LeftButton);
        f.press(QDialogButtonBox::Cancel);
        QVERIFY(!f.dialog.isVisible());
        QCOMPARE(f.texts(), "typed.xml|trace|/elsewhere|zoom|/z|100|asm|/a|50|7");
        f.dialog.show();
        f.press(QDialogButtonBox::RestoreDefaults);
        QVERIFY(f.dialog.isVisible());
        QCOMPARE(f.texts(), "c.xml|trace|/t|zoom|/z|100|asm|/a|50|500");

        // With the same directory for all, the trace directory, typed or chosen, is mirrored;
        // without, each field shows its own again.
        f.field("zoomDirectory")->setText("/own/zoom");
        f.dialog.findChild<QCheckBox *>("sameDirectory")->setChecked(true);
        QCOMPARE(f.texts(), "c.xml|trace|/t|zoom|/t|100|asm|/t|50|500");
        QCOMPARE(f.editable("zoomDirectory") + f.editable("asmDirectory"), 0);
        f.answer = "C:\\chosen";
        QTest::mouseClick(f.chooser("traceDirectory"), Qt::LeftButton);
        QCOMPARE(f.texts(), "c.xml|trace|C:/chosen|zoom|C:/chosen|100|asm|C:/chosen|50|500");

        f.dialog.findChild<QCheckBox *>("sameDirectory")->setChecked(false);
        f.field("traceDirectory")->setText("/no/longer/mirrored");
        QCOMPARE(f.texts(), "c.xml|trace|/no/longer/mirrored|zoom|/own/zoom|100|asm|/a|50|500");
        QCOMPARE(f.editable("zoomDirectory") + f.editable("asmDirectory"), 6);
        f.answer = "/run\\1";
        for (const char *name : {"configFile", "zoomDirectory", "asmDirectory"})
            QTest::mouseClick(f.chooser(name), Qt::LeftButton);
        QCOMPARE(f.texts(), "/run/1|trace|/no/longer/mirrored|zoom|/run/1|100|asm|/run/1|50|500");
        QCOMPARE(f.asked.join('|'), "Choose Config File|Choose Trace Directory|Choose Config File|"
                                    "Choose Zoom Directory|Choose Asm Directory");
        QVERIFY(f.sent().isEmpty());
    }
};

QTEST_MAIN(TestParametersDialog)
#include "tst_parametersDialog.moc"