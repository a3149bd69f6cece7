#ifndef PARSERCYCLES_H
#define PARSERCYCLES_H

#include "parsers/parser.h"

// What trace and zoom files share: a <trace> of <cycle>s, each with its <date> and then its
// <event>s, each starting with its <name>. The derived parser adds the rest of an event (from
// state 10 back to state 8, where the event ends), reads its texts and emits its own signals.
//
// States: 0 before <trace>, 1 in it, 3 in a cycle, 5 in its date, 6 after it, 7 in an event,
// 9 in its name, 10 after it, 8 after an event, 4 after a cycle, 2 after </trace>.
class ParserCycles : public Parser
{
    Q_OBJECT

public:
    explicit ParserCycles(int nbEtats) : Parser(nbEtats) {}

protected:
    // The transitions above; the derived parser's remplirAutomate() calls it, then adds its own.
    void remplirCycles();

    bool startDocument() override;
    bool endElement(const QString &name) override;
    // Its texts are numbers and names, read from the reader's bytes as they are.
    bool caracteres(const char *utf8, size_t length) override;
    bool characters(const QString &text) override;
    QString lignesPosition() const override;
    bool texteUtile() const override;

    // What the derived parser emits, each at its place in the file.
    virtual void cycleLu(int cycle) = 0;
    virtual void nomLu(const QString &name) = 0;
    virtual void finEvenement() = 0;
    // The text (UTF-8) of a state of the derived parser's part of the event; false stops the
    // parse.
    virtual bool texteEvenement(const char *utf8, size_t length) = 0;
    virtual bool etatTexteEvenement() const = 0;

    QString nomEventCourant;

private:
    int cycleCourant = 0;
};

#endif
