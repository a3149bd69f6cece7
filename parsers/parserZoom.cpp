#include "parsers/parserZoom.h"

ParserZoom::ParserZoom() : Parser(13) {}

ParserZoom::~ParserZoom()
{
    stopAndWait();
}

void ParserZoom::setRecepteur(Recepteur *r)
{
    Q_ASSERT(!isRunning());
    recepteur = r;
}

void ParserZoom::initTransition()
{
    tabTag = {QStringLiteral("event"), QStringLiteral("name"),  QStringLiteral("count"),
              QStringLiteral("date"),  QStringLiteral("cycle"), QStringLiteral("trace")};
}

void ParserZoom::remplirAutomate()
{
    transition(0, QStringLiteral("trace"), 1);
    transition(1, QStringLiteral("cycle"), 3);
    transition(3, QStringLiteral("date"), 5);
    transition(5, QStringLiteral("date"), 6);
    transition(6, QStringLiteral("event"), 7);
    transition(7, QStringLiteral("name"), 9);
    transition(9, QStringLiteral("name"), 10);
    transition(10, QStringLiteral("count"), 11);
    transition(11, QStringLiteral("count"), 12);
    transition(12, QStringLiteral("event"), 8);
    transition(8, QStringLiteral("event"), 7);
    transition(8, QStringLiteral("cycle"), 4);
    transition(4, QStringLiteral("cycle"), 3);
    transition(4, QStringLiteral("trace"), 2);
}

bool ParserZoom::startDocument()
{
    ligneCourante = 0;
    cycleCourant = 0;
    messageErreur.clear();
    nomEventCourant.clear();
    return true;
}

bool ParserZoom::endElement(const QString &name)
{
    if (!etapeAutomate(name))
        return false;
    if (etatCourant == 8 && baliseConnue)
        emettre([this] {
            if (recepteur)
                recepteur->addEventZoom();
            emit addEventZoom();
        });
    return true;
}

bool ParserZoom::characters(const QString &text)
{
    switch (etatCourant) {
    case 5:
        if (!lireEntier(text, cycleCourant))
            return false;
        emettre([this] {
            if (recepteur)
                recepteur->addCycleZoom(cycleCourant);
            emit addCycleZoom(cycleCourant);
        });
        break;
    case 9:
        if (const QString &nom = nomPartage(text); !nomEventCourant.isSharedWith(nom))
            nomEventCourant = nom;
        emettre([this] {
            if (recepteur)
                recepteur->newEventZoom(nomEventCourant);
            emit newEventZoom(nomEventCourant);
        });
        break;
    case 11: {
        int count = 0;
        if (!lireEntier(text, count))
            return false;
        emettre([&] {
            if (recepteur)
                recepteur->setNbEventZoom(nomEventCourant, count);
            emit setNbEventZoom(nomEventCourant, count);
        });
        break;
    }
    default:
        break;
    }
    return true;
}

QString ParserZoom::lignesPosition() const
{
    return QStringLiteral("\nCycle : ") + QString::number(cycleCourant) +
           "\nEvent : " + nomEventCourant;
}

bool ParserZoom::texteUtile() const
{
    return etatCourant == 5 || etatCourant == 9 || etatCourant == 11;
}
