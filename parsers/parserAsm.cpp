#include "parsers/parserAsm.h"

ParserAsm::ParserAsm() : Parser(19) {}

ParserAsm::~ParserAsm()
{
    stopAndWait();
}

void ParserAsm::initTransition()
{
    tabTag = {
        QStringLiteral("operand"),  QStringLiteral("direction"), QStringLiteral("type"),
        QStringLiteral("value"),    QStringLiteral("count"),     QStringLiteral("operands"),
        QStringLiteral("mnemonic"), QStringLiteral("pc"),        QStringLiteral("instruction"),
        QStringLiteral("line"),     QStringLiteral("asm")};
}

void ParserAsm::remplirAutomate()
{
    transition(0, QStringLiteral("asm"), 1);
    transition(1, QStringLiteral("instruction"), 3);
    transition(3, QStringLiteral("pc"), 5);
    transition(5, QStringLiteral("pc"), 6);
    transition(6, QStringLiteral("mnemonic"), 7);
    transition(6, QStringLiteral("line"), 17);
    transition(7, QStringLiteral("mnemonic"), 8);
    transition(8, QStringLiteral("operands"), 9);
    transition(9, QStringLiteral("count"), 11);
    transition(11, QStringLiteral("count"), 12);
    transition(12, QStringLiteral("operand"), 13);
    transition(12, QStringLiteral("operands"), 10);
    transition(13, QStringLiteral("direction"), 13);
    transition(13, QStringLiteral("type"), 13);
    transition(13, QStringLiteral("value"), 15);
    transition(15, QStringLiteral("value"), 16);
    transition(16, QStringLiteral("operand"), 14);
    transition(14, QStringLiteral("operand"), 13);
    transition(14, QStringLiteral("operands"), 10);
    transition(10, QStringLiteral("line"), 17);
    transition(10, QStringLiteral("instruction"), 4);
    transition(17, QStringLiteral("line"), 18);
    transition(18, QStringLiteral("instruction"), 4);
    transition(4, QStringLiteral("instruction"), 3);
    transition(4, QStringLiteral("asm"), 2);
}

bool ParserAsm::startDocument()
{
    emettre([this] { emit debutParse(); });
    ligneCourante = 0;
    messageErreur.clear();
    mnemonicCourant.clear();
    return true;
}

bool ParserAsm::endElement(const QString &name)
{
    return etapeAutomate(name);
}

bool ParserAsm::characters(const QString &text)
{
    switch (etatCourant) {
    case 5:
        if (!lireEntier(text, pcCourant))
            return false;
        emettre([&] { emit pc(text); });
        break;
    case 7:
        mnemonicCourant = text;
        emettre([&] { emit mnemonic(text); });
        break;
    case 11: {
        // The receiver converts the count itself; only its range is checked here.
        int count = 0;
        if (!lireEntier(text, count))
            return false;
        emettre([&] { emit nbValues(text); });
        break;
    }
    case 15:
        emettre([&] { emit value(text); });
        break;
    default:
        break;
    }
    return true;
}

bool ParserAsm::endDocument()
{
    emettre([this] { emit endOfParse(); });
    return true;
}

QString ParserAsm::lignesPosition() const
{
    return QStringLiteral("\nPc : ") + QString::number(pcCourant) +
           "\nMnemonic : " + mnemonicCourant;
}
