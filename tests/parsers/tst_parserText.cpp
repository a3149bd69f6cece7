// How the trace and zoom parsers turn element text into numbers and names: the plain decimal
// shortcut must agree with the general conversion on every text, names of one kind of event
// reach the receivers as one shared string, and text between elements stays out of the way.

#include "parserRig.h"
#include "parsers/parserTrace.h"
#include "parsers/parserZoom.h"

#include <QRegularExpression>
#include <QTest>

#include <climits>

namespace {

QByteArray traceWithDate(const QByteArray &date)
{
    return "<trace><cycle><date>" + date +
           "</date><event><name>fetch</name></event></cycle></trace>";
}

// What a cycle number text gave before the shortcut: QString::toInt, else a report for a
// number out of range, else 0.
QString reference(const QString &text)
{
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    if (ok)
        return QStringLiteral("cycle %1").arg(value);
    const QString trimmed = text.trimmed();
    static const QRegularExpression number(QStringLiteral("^[+-]?[0-9]+$"));
    return number.match(trimmed).hasMatch() ? QStringLiteral("error") : QStringLiteral("cycle 0");
}

} // namespace

class TestParserText : public QObject
{
    Q_OBJECT

private slots:
    void numbers_data()
    {
        QTest::addColumn<QString>("text");
        for (const char *text : {"0",
                                 "42",
                                 "+7",
                                 "-3",
                                 " 12 ",
                                 "\n\t 5\r\n",
                                 "007",
                                 "2147483647",
                                 "-2147483648",
                                 "2147483648",
                                 "-2147483649",
                                 "99999999999999999999",
                                 "",
                                 " ",
                                 "+",
                                 "-",
                                 "1 2",
                                 "12a",
                                 "a12",
                                 "0x10",
                                 "1e3",
                                 "--1",
                                 "+-1",
                                 "3.0",
                                 "\xef\xbc\x91\xef\xbc\x92",
                                 "\xc2\xa0"
                                 "8"}) {
            QTest::newRow(text) << QString::fromUtf8(text);
        }
    }

    void numbers()
    {
        QFETCH(QString, text);
        ParserRig rig(QStringLiteral("trace"));
        const QStringList journal = rig.parseData(traceWithDate(text.toUtf8()));
        const QString expected = reference(text);
        if (text.isEmpty()) { // no text at all: no cycle number is read
            QVERIFY(journal.filter(QStringLiteral("cycle")).isEmpty());
        } else if (expected == QLatin1String("error")) {
            QCOMPARE(ParserRig::errors(journal).size(), 1);
            QVERIFY(ParserRig::errors(journal).first().contains("Number out of range"));
        } else {
            QVERIFY2(journal.contains(expected), qPrintable(journal.join(" | ")));
            QVERIFY(ParserRig::errors(journal).isEmpty());
        }
    }

    // Receivers see the names in file order, equal to the text, and one string per kind.
    void sharedNames_data()
    {
        QTest::addColumn<bool>("zoom");
        QTest::newRow("trace") << false;
        QTest::newRow("zoom") << true;
    }

    void sharedNames()
    {
        QFETCH(bool, zoom);
        const QStringList names{"fetch", "decode", "fetch", "unit_é", "decode", "fetch", "unit_é"};
        QByteArray xml = "<trace>\n  <cycle>\n    <date>3</date>\n";
        for (const QString &name : names) {
            xml += "    <event><name>" + name.toUtf8() + "</name>" +
                   (zoom ? "<count>2</count>" : "<instruction><pc>9</pc></instruction>") +
                   "</event>\n";
        }
        xml += "  </cycle>\n</trace>\n";

        QList<QString> received;
        std::unique_ptr<Parser> parser;
        if (zoom) {
            auto *p = new ParserZoom;
            connect(
                p, &ParserZoom::newEventZoom, p,
                [&](const QString &name) { received.append(name); }, Qt::DirectConnection);
            parser.reset(p);
        } else {
            auto *p = new ParserTrace;
            connect(
                p, &ParserTrace::newEventTrace, p,
                [&](const QString &name) { received.append(name); }, Qt::DirectConnection);
            parser.reset(p);
        }
        QVERIFY(parser->parseData(xml, QStringLiteral("names.xml")));
        QCOMPARE(received, names);
        for (int i = 0; i < received.size(); ++i) {
            for (int j = 0; j < received.size(); ++j) {
                const bool same = received[i].constData() == received[j].constData();
                QCOMPARE(same, names[i] == names[j]);
            }
        }
    }

    // Sharing is bounded: names past the length limit, or past the count limit, arrive whole
    // but each in its own string, so a file of endless distinct names pins no memory.
    void sharingBounded()
    {
        const QString longName(Parser::nomPartageLongueurMax + 1, QLatin1Char('x'));
        QStringList names{longName, longName};
        for (int i = 0; i <= Parser::nomsPartagesMax; ++i)
            names << QStringLiteral("n%1").arg(i);
        names << QStringLiteral("late") << QStringLiteral("late");
        QByteArray xml = "<trace><cycle><date>1</date>";
        for (const QString &name : names)
            xml += "<event><name>" + name.toUtf8() + "</name></event>";
        xml += "</cycle></trace>";
        QList<QString> received;
        ParserTrace parser;
        connect(
            &parser, &ParserTrace::newEventTrace, &parser,
            [&](const QString &name) { received.append(name); }, Qt::DirectConnection);
        QVERIFY(parser.parseData(xml, QStringLiteral("many.xml")));
        QCOMPARE(received, names);
        QVERIFY(received[0].constData() != received[1].constData());
        QVERIFY(received[received.size() - 1].constData() !=
                received[received.size() - 2].constData());
    }

    // Elements the parser does not know are skipped, even when they begin like known ones or
    // follow the end of an event (which must not end the event a second time), and text
    // between elements is not taken for a value.
    void lookalikesAndText_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<QStringList>("expected");
        const QStringList plain{"cycle 5", "event alu", "pc 4", "add"};
        QTest::newRow("plain")
            << QByteArray("<trace><cycle><date>5</date><event><name>alu</name><instruction><pc>"
                          "4</pc></instruction></event></cycle></trace>")
            << plain;
        QTest::newRow("look-alike elements")
            << QByteArray("<trace><cyclex/><cycle><date>5</date><datex>9</datex><event><nam>x"
                          "</nam><name>alu</name><instruction><pcs>7</pcs><pc>4</pc>"
                          "</instruction></event><eventx/></cycle><t/></trace>")
            << plain;
        QTest::newRow("text between elements")
            << QByteArray("<trace>11<cycle>12<date>5</date>13<event>14<name>alu</name>15"
                          "<instruction>16<pc>4</pc>17</instruction>18</event>19</cycle>20"
                          "</trace>")
            << plain;
        QTest::newRow("name split by a comment")
            << QByteArray("<trace><cycle><date>5</date><event><name>a<!-- -->lu</name>"
                          "<instruction><pc>4</pc></instruction></event></cycle></trace>")
            << plain;
    }

    void lookalikesAndText()
    {
        QFETCH(QByteArray, xml);
        QFETCH(QStringList, expected);
        ParserRig rig(QStringLiteral("trace"));
        QStringList journal = rig.parseData(xml);
        journal.removeAll(QStringLiteral("debut"));
        journal.removeAll(QStringLiteral("end"));
        QVERIFY2(journal == expected, qPrintable(journal.join(" | ")));
    }
};

QTEST_GUILESS_MAIN(TestParserText)
#include "tst_parserText.moc"
