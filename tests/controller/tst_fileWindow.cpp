#include "controller/fileWindow.h"

#include <QtTest>

// The window of files as plain data: which files it holds at a position, which leave it, which
// it reads next, and the bounds and drag decisions that follow. Files of 100 cycles, numbered
// 0 to 400, as in a trace of 500 cycles.
class TestFileWindow : public QObject
{
    Q_OBJECT

private slots:
    void placer_data();
    void placer();
    void glisser_data();
    void glisser();
};

namespace {

constexpr int nb = 100;

bool existe(int numero)
{
    return numero >= 0 && numero <= 400;
}

QString etat(const FileWindow &w)
{
    static const char lettres[] = {'-', 'V', 'L', 'C'}; // missing, wanted, reading, read
    QStringList places;
    for (const FileWindow::Fichier &f : w.fichiers()) {
        places << (f.etat == FileWindow::Etat::Manquant
                       ? QStringLiteral("-")
                       : QString::number(f.numero) + QLatin1Char(lettres[int(f.etat)]));
    }
    return places.join(QLatin1Char(' '));
}

// "p230" places the window at cycle 230 (the files that leave are noted), "p230w250" there for a
// view showing 250 cycles, "s" starts reading
// the next file, "g250" says its read reached cycle 250, "e" ends it, "r" reads it whole, "R"
// reads every file the window wants.
QString jouer(FileWindow &w, const QString &script)
{
    QStringList sortis;
    int enLecture = -1;
    for (const QString &pas : script.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QChar op = pas.at(0);
        const int valeur = pas.mid(1).toInt();
        if (op == QLatin1Char('p')) {
            const QStringList parts = pas.mid(1).split(QLatin1Char('w'));
            for (const FileWindow::Fichier &f :
                 w.placer(parts[0].toInt(), parts.value(1, QStringLiteral("1")).toInt(), existe))
                sortis << QString::number(f.numero);
        } else if (op == QLatin1Char('s') || op == QLatin1Char('r') || op == QLatin1Char('R')) {
            do {
                const std::optional<int> n = w.aLire();
                if (!n)
                    break;
                enLecture = *n;
                w.debutLecture(enLecture);
                if (op != QLatin1Char('s'))
                    w.finLecture(enLecture, enLecture + nb - 1);
            } while (op == QLatin1Char('R'));
        } else if (op == QLatin1Char('g')) {
            w.progression(enLecture, valeur);
        } else if (op == QLatin1Char('e')) {
            w.finLecture(enLecture, enLecture + nb - 1);
        }
    }
    return sortis.join(QLatin1Char(','));
}

} // namespace

void TestFileWindow::placer_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("fichiers"); // current, previous, next
    QTest::addColumn<QString>("sortis");
    QTest::addColumn<int>("aLire"); // -1: none
    QTest::addColumn<int>("min");
    QTest::addColumn<int>("max");

    const auto row = [](const char *tag, const char *script, const char *fichiers,
                        const char *sortis, int aLire, int min, int max) {
        QTest::newRow(tag) << script << fichiers << sortis << aLire << min << max;
    };
    row("first placing", "p230", "200V 100V 300V", "", 200, 200, 200);
    row("bounds grow while it is read", "p230 s g250", "200L 100V 300V", "", -1, 200, 250);
    row("previous file next", "p230 r", "200C 100V 300V", "", 100, 200, 299);
    row("all read", "p230 R", "200C 100C 300C", "", -1, 100, 399);
    row("first file: no previous", "p40 R", "0C - 100C", "", -1, 0, 199);
    row("last file: no next", "p450 R", "400C 300C -", "", -1, 300, 499);
    row("current file missing: empty", "p620", "- - -", "", -1, 600, 600);
    row("forward: oldest leaves", "p230 R p300", "300C 200C 400V", "100", 400, 200, 399);
    row("back: newest leaves", "p230 R p199", "100C 0V 200C", "300", 0, 100, 299);
    row("jump: what stays is kept", "p230 R p0", "0V - 100C", "200,300", 0, 0, 199);
    row("past the end: stays", "p350 R p520", "300C 200C 400C", "", -1, 200, 499);
    // A view showing more cycles than a file holds (a coarse level) gets every file it shows.
    row("wide view: every file shown", "p130w250", "100V 0V 200V 300V", "", 100, 100, 100);
    row("wide view to the end", "p330w250 R", "300C 200C 400C", "", -1, 200, 499);
    row("wide view slides", "p130w250 R p230w250", "200C 100C 300C 400V", "0", 400, 100, 399);
    row("left while read, back", "p230 s p430 p230", "200V 100V 300V", "200,100,400", 200, 200,
        200);
}

void TestFileWindow::placer()
{
    QFETCH(QString, script);
    FileWindow w(nb);
    QVERIFY(!w.actif());
    QTEST(jouer(w, script), "sortis");
    QVERIFY(w.actif());
    QTEST(etat(w), "fichiers");
    QTEST(w.aLire().value_or(-1), "aLire");
    QTEST(w.cycleMin(), "min");
    QTEST(w.cycleMax(), "max");
}

void TestFileWindow::glisser_data()
{
    QTest::addColumn<int>("p");
    QTest::addColumn<int>("v");
    QTest::addColumn<int>("niveau");
    QTest::addColumn<int>("resultat"); // FileWindow::Deplacement

    const int accepte = int(FileWindow::Deplacement::Accepte);
    const int retour = int(FileWindow::Deplacement::Retour);
    const int ignore = int(FileWindow::Deplacement::Ignore);
    // The window shows 100 .. 399.
    QTest::newRow("inside") << 150 << 250 << 1 << accepte;
    QTest::newRow("last cycle") << 150 << 399 << 1 << accepte;
    QTest::newRow("after the last cycle") << 150 << 400 << 1 << retour;
    QTest::newRow("before the first cycle") << 150 << 99 << 1 << retour;
    QTest::newRow("level 10, a multiple") << 150 << 200 << 10 << accepte;
    QTest::newRow("level 10, not a multiple") << 150 << 205 << 10 << ignore;
    QTest::newRow("level 10, outside wins") << 150 << 405 << 10 << retour;
}

void TestFileWindow::glisser()
{
    QFETCH(int, p);
    QFETCH(int, v);
    QFETCH(int, niveau);
    QTEST(int(FileWindow::glisser(p, v, niveau, 100, 399)), "resultat");
}

QTEST_MAIN(TestFileWindow)
#include "tst_fileWindow.moc"
