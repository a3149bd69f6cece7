#include "parsers/parserTrace.h"

ParserTrace::ParserTrace() : Parser(15) {}

ParserTrace::~ParserTrace()
{
    stopAndWait();
}

void ParserTrace::setRecepteur(Recepteur *r)
{
    Q_ASSERT(!isRunning());
    recepteur = r;
}

void ParserTrace::initTransition()
{
    tabTag = {QStringLiteral("event"), QStringLiteral("name"),  QStringLiteral("instruction"),
              QStringLiteral("pc"),    QStringLiteral("cycle"), QStringLiteral("date"),
              QStringLiteral("trace")};
}

void ParserTrace::remplirAutomate()
{
    transition(0, QStringLiteral("trace"), 1);
    transition(1, QStringLiteral("cycle"), 3);
    transition(3, QStringLiteral("date"), 5);
    transition(5, QStringLiteral("date"), 6);
    transition(6, QStringLiteral("event"), 7);
    transition(7, QStringLiteral("name"), 9);
    transition(9, QStringLiteral("name"), 10);
    transition(10, QStringLiteral("event"), 8);
    transition(10, QStringLiteral("instruction"), 11);
    transition(11, QStringLiteral("pc"), 13);
    transition(13, QStringLiteral("pc"), 14);
    transition(14, QStringLiteral("instruction"), 12);
    transition(12, QStringLiteral("event"), 8);
    transition(8, QStringLiteral("event"), 7);
    transition(8, QStringLiteral("cycle"), 4);
    transition(4, QStringLiteral("cycle"), 3);
    transition(4, QStringLiteral("trace"), 2);
}

bool ParserTrace::startDocument()
{
    ligneCourante = 0;
    cycleCourant = 0;
    messageErreur.clear();
    nomEventCourant.clear();
    return true;
}

bool ParserTrace::endElement(const QString &name)
{
    if (!etapeAutomate(name))
        return false;
    if (etatCourant == 8 && baliseConnue)
        emettre([this] {
            if (recepteur)
                recepteur->addEventTrace();
            emit addEventTrace();
        });
    return true;
}

bool ParserTrace::characters(const QString &text)
{
    switch (etatCourant) {
    case 5:
        if (!lireEntier(text, cycleCourant))
            return false;
        emettre([this] {
            if (recepteur)
                recepteur->addCycleTrace(cycleCourant);
            emit addCycleTrace(cycleCourant);
        });
        break;
    case 9:
        if (const QString &nom = nomPartage(text); !nomEventCourant.isSharedWith(nom))
            nomEventCourant = nom;
        emettre([this] {
            if (recepteur)
                recepteur->newEventTrace(nomEventCourant);
            emit newEventTrace(nomEventCourant);
        });
        break;
    case 13: {
        int pc = 0;
        if (!lireEntier(text, pc))
            return false;
        emettre([&] {
            if (recepteur)
                recepteur->pcTrace(pc);
            emit pcTrace(pc);
        });
        break;
    }
    default:
        break;
    }
    return true;
}

QString ParserTrace::lignesPosition() const
{
    return QStringLiteral("\nCycle : ") + QString::number(cycleCourant) +
           "\nEvent : " + nomEventCourant;
}

bool ParserTrace::texteUtile() const
{
    return etatCourant == 5 || etatCourant == 9 || etatCourant == 13;
}
