#ifndef PARSERASM_H
#define PARSERASM_H

#include "parsers/parser.h"

// Reads one assembly listing file and reports its text, in file order: per instruction
// pc(text), then mnemonic(text), nbValues(text) and one value(text) per operand when it has a
// mnemonic. Run synchronously with parse(): debutParse() comes from startDocument,
// endOfParse() from endDocument.
class ParserAsm : public Parser
{
    Q_OBJECT

public:
    ParserAsm();
    ~ParserAsm() override;

signals:
    void pc(const QString &text);
    void mnemonic(const QString &text);
    void nbValues(const QString &text);
    void value(const QString &text);

protected:
    void initTransition() override;
    void remplirAutomate() override;
    bool startDocument() override;
    bool endElement(const QString &name) override;
    bool characters(const QString &text) override;
    bool endDocument() override;
    QString lignesPosition() const override;

private:
    int pcCourant = 0; // kept from one document to the next
    QString mnemonicCourant;
};

#endif
