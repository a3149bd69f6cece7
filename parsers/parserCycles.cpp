#include "parsers/parserCycles.h"

void ParserCycles::remplirCycles()
{
    transition(0, QStringLiteral("trace"), 1);
    transition(1, QStringLiteral("cycle"), 3);
    transition(3, QStringLiteral("date"), 5);
    transition(5, QStringLiteral("date"), 6);
    transition(6, QStringLiteral("event"), 7);
    transition(7, QStringLiteral("name"), 9);
    transition(9, QStringLiteral("name"), 10);
    transition(8, QStringLiteral("event"), 7);
    transition(8, QStringLiteral("cycle"), 4);
    transition(4, QStringLiteral("cycle"), 3);
    transition(4, QStringLiteral("trace"), 2);
}

bool ParserCycles::startDocument()
{
    ligneCourante = 0;
    cycleCourant = 0;
    messageErreur.clear();
    nomEventCourant.clear();
    return true;
}

bool ParserCycles::endElement(const QString &name)
{
    if (!etapeAutomate(name))
        return false;
    if (etatCourant == 8 && baliseConnue)
        emettre([this] { finEvenement(); });
    return true;
}

bool ParserCycles::caracteres(const char *utf8, size_t length)
{
    switch (etatCourant) {
    case 5:
        if (!lireEntier(utf8, length, cycleCourant))
            return false;
        emettre([this] { cycleLu(cycleCourant); });
        return true;
    case 9:
        if (const QString &nom = nomPartage(utf8, length); !nomEventCourant.isSharedWith(nom))
            nomEventCourant = nom;
        emettre([this] { nomLu(nomEventCourant); });
        return true;
    default:
        return texteEvenement(utf8, length);
    }
}

bool ParserCycles::characters(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    return caracteres(utf8.constData(), size_t(utf8.size()));
}

QString ParserCycles::lignesPosition() const
{
    return QStringLiteral("\nCycle : ") + QString::number(cycleCourant) +
           "\nEvent : " + nomEventCourant;
}

bool ParserCycles::texteUtile() const
{
    return etatCourant == 5 || etatCourant == 9 || etatTexteEvenement();
}
