#ifndef PARSERTRACE_H
#define PARSERTRACE_H

#include "parsers/parserCycles.h"

// Reads one trace file and reports it as signals, in file order: per cycle addCycleTrace(n),
// then per event newEventTrace(name), pcTrace(pc) when it has an instruction, addEventTrace().
// Run as a thread; connect with Qt::DirectConnection to act on the parser's thread.
class ParserTrace : public ParserCycles
{
    Q_OBJECT

public:
    // The same reports as plain calls on the parser's thread, each made just before its
    // signal: a receiver that takes every event of a large file saves the cost of a signal
    // emission per event.
    class Recepteur
    {
    public:
        virtual void addCycleTrace(int cycle) = 0;
        virtual void newEventTrace(const QString &name) = 0;
        virtual void pcTrace(int pc) = 0;
        virtual void addEventTrace() = 0;

    protected:
        ~Recepteur() = default;
    };

    ParserTrace();
    ~ParserTrace() override;

    // Set while the parser does not run; the receiver must outlive the parses it receives.
    void setRecepteur(Recepteur *recepteur);

signals:
    void addCycleTrace(int cycle);
    void newEventTrace(const QString &name);
    void pcTrace(int pc);
    void addEventTrace();

protected:
    void initTransition() override;
    void remplirAutomate() override;
    void cycleLu(int cycle) override;
    void nomLu(const QString &name) override;
    void finEvenement() override;
    bool texteEvenement(const char *utf8, size_t length) override;
    bool etatTexteEvenement() const override;

private:
    Recepteur *recepteur = nullptr;
};

#endif
