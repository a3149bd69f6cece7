#include "tools/traceGenerator/traceGenerator.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>

#include <algorithm>
#include <deque>
#include <limits>
#include <memory>
#include <vector>

namespace {

// splitmix64: tiny, fast and the same on every platform, unlike the standard distributions.
class Random
{
public:
    explicit Random(quint64 seed) : state(seed) {}
    quint64 next()
    {
        quint64 z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int below(int n) { return int(next() % quint64(n)); }
    bool percent(int p) { return below(100) < p; }

private:
    quint64 state;
};

// The core's own event kinds, in the order the views show them.
enum Kind {
    Fetch,
    Decode,
    Rename,
    Issue,
    Execute,
    Memory,
    Writeback,
    Commit,
    BranchMispredict,
    CacheMiss,
    Stall,
    Squash,
    CoreKinds
};

const char *const coreKindNames[CoreKinds] = {"fetch",      "decode",  "rename",
                                              "issue",      "execute", "memory",
                                              "writeback",  "commit",  "branch_mispredict",
                                              "cache_miss", "stall",   "squash"};

enum class Op : quint8 { Alu, AluImm, Mul, Div, Load, Store, Branch, Jump };

struct Instruction
{
    Op op = Op::Alu;
    quint8 mnemonic = 0;
    qint8 dest = 0;
    qint8 src1 = 0;
    qint8 src2 = 0;
    int imm = 0;
    int target = 0;
    int trip = 0; // loop trips of a backward branch
    int bias = 0; // percent taken of a forward branch
    int line = 0;
};

const char *const aluNames[] = {"add", "sub", "and", "or", "xor", "slt"};
const char *const aluImmNames[] = {"addi", "andi", "slli", "srai"};
const char *const loadNames[] = {"lw", "ld"};
const char *const storeNames[] = {"sw", "sd"};
const char *const branchNames[] = {"beq", "bne", "blt", "bge"};

// A RISC-like program of loops with forward branches inside, closed by a jump back to the
// start, so that a run of any length keeps visiting every pc.
std::vector<Instruction> makeProgram(int nbPc, Random &rnd)
{
    std::vector<Instruction> program(static_cast<size_t>(nbPc));
    int line = 10;
    auto plain = [&](Instruction &in) {
        const int r = rnd.below(100);
        in.dest = qint8(1 + rnd.below(15));
        in.src1 = qint8(rnd.below(16));
        in.src2 = qint8(rnd.below(16));
        if (r < 30) {
            in.op = Op::Alu;
            in.mnemonic = quint8(rnd.below(6));
        } else if (r < 50) {
            in.op = Op::AluImm;
            in.mnemonic = quint8(rnd.below(4));
            in.imm = rnd.below(64) - 16;
        } else if (r < 57) {
            in.op = Op::Mul;
        } else if (r < 59) {
            in.op = Op::Div;
        } else if (r < 85) {
            in.op = Op::Load;
            in.mnemonic = quint8(rnd.below(2));
            in.imm = 8 * rnd.below(16);
        } else {
            in.op = Op::Store;
            in.mnemonic = quint8(rnd.below(2));
            in.imm = 8 * rnd.below(16);
        }
    };
    auto forwardBranch = [&](Instruction &in, int pc, int lastAllowed) {
        in.op = Op::Branch;
        in.mnemonic = quint8(rnd.below(4));
        in.src1 = qint8(1 + rnd.below(15));
        in.src2 = qint8(rnd.below(16));
        in.target = pc + 2 + rnd.below(std::min(3, lastAllowed - pc - 1));
        in.bias = rnd.percent(50) ? 10 + rnd.below(20) : 70 + rnd.below(25);
    };

    int pc = 0;
    const int last = nbPc - 1; // the closing jump
    while (pc < last) {
        const int remaining = last - pc;
        if (remaining >= 5 && rnd.percent(60)) {
            const int body = std::min(remaining, 5 + rnd.below(12));
            const int start = pc;
            const int backBranch = start + body - 1;
            for (; pc < backBranch; ++pc) {
                Instruction &in = program[size_t(pc)];
                in.line = line++;
                if (backBranch - pc >= 3 && pc > start && rnd.percent(15))
                    forwardBranch(in, pc, backBranch);
                else
                    plain(in);
            }
            Instruction &br = program[size_t(backBranch)];
            br.op = Op::Branch;
            br.mnemonic = quint8(rnd.below(4));
            br.src1 = qint8(1 + rnd.below(15));
            br.src2 = qint8(rnd.below(16));
            br.target = start;
            br.trip = 2 + rnd.below(4);
            br.line = line++;
            pc = backBranch + 1;
            line += 2;
        } else {
            const int run = std::min(remaining, 1 + rnd.below(5));
            for (int end = pc + run; pc < end; ++pc) {
                plain(program[size_t(pc)]);
                program[size_t(pc)].line = line++;
            }
        }
    }
    Instruction &jump = program[size_t(last)];
    jump.op = Op::Jump;
    jump.target = 0;
    jump.line = line;
    return program;
}

QByteArray xmlEscaped(const QString &text)
{
    return text.toHtmlEscaped().toUtf8();
}

// Streams one file through a large buffer; the file appears complete or not at all.
class XmlFile
{
public:
    explicit XmlFile(QString *error) : error(error) {}

    bool open(const QString &path)
    {
        file.setFileName(path);
        buffer.clear();
        buffer.reserve(flushSize + 4096);
        if (!file.open(QIODevice::WriteOnly)) {
            fail();
            return false;
        }
        put("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
        return true;
    }
    bool isOpen() const { return file.isOpen(); }

    void put(const char *text) { buffer.append(text); }
    void put(const QByteArray &text) { buffer.append(text); }
    void put(qint64 n)
    {
        char digits[24];
        char *end = digits + sizeof digits;
        char *p = end;
        const bool negative = n < 0;
        quint64 u = negative ? quint64(0) - quint64(n) : quint64(n);
        do {
            *--p = char('0' + u % 10);
            u /= 10;
        } while (u);
        if (negative)
            *--p = '-';
        buffer.append(p, end - p);
    }
    void element(const char *indent, const char *name, qint64 n)
    {
        put(indent);
        put("<");
        put(name);
        put(">");
        put(n);
        put("</");
        put(name);
        put(">\n");
    }
    void element(const char *indent, const char *name, const QByteArray &escaped)
    {
        put(indent);
        put("<");
        put(name);
        put(">");
        put(escaped);
        put("</");
        put(name);
        put(">\n");
    }

    bool flushIfFull() { return buffer.size() < flushSize || flush(); }

    bool commit()
    {
        if (!flush())
            return false;
        if (!file.commit()) {
            fail();
            return false;
        }
        return true;
    }

private:
    bool flush()
    {
        if (!buffer.isEmpty() && file.write(buffer) != buffer.size()) {
            fail();
            file.cancelWriting();
            return false;
        }
        buffer.clear();
        return true;
    }
    void fail()
    {
        if (error->isEmpty())
            *error = QStringLiteral("Cannot write %1: %2")
                         .arg(QDir::toNativeSeparators(file.fileName()), file.errorString());
    }

    static constexpr int flushSize = 1 << 20;
    QSaveFile file;
    QByteArray buffer;
    QString *error;
};

struct Event
{
    int slot; // configured position of the kind
    int pc;   // -1: not tied to an instruction
};

// Events scheduled for the cycles ahead, indexed by cycle modulo a power of two that grows
// when an instruction is scheduled further out than it reaches.
class Calendar
{
public:
    Calendar() : ring(64) {}

    void add(qint64 now, qint64 cycle, Event e)
    {
        Q_ASSERT(cycle >= now);
        while (cycle - now >= qint64(ring.size()))
            grow(now);
        ring[size_t(cycle) & (ring.size() - 1)].push_back(e);
    }
    std::vector<Event> &at(qint64 cycle) { return ring[size_t(cycle) & (ring.size() - 1)]; }

private:
    void grow(qint64 now)
    {
        std::vector<std::vector<Event>> bigger(ring.size() * 2);
        for (size_t d = 0; d < ring.size(); ++d)
            bigger[size_t(now + qint64(d)) & (bigger.size() - 1)] =
                std::move(ring[size_t(now + qint64(d)) & (ring.size() - 1)]);
        ring.swap(bigger);
    }
    std::vector<std::vector<Event>> ring;
};

// Which configured row each kind goes to (-1: not configured), and the configured names.
struct KindTable
{
    std::vector<int> slot; // CoreKinds entries, then one per functional unit
    QStringList names;
    int units = 0;

    explicit KindTable(int nbKinds)
    {
        slot.assign(CoreKinds, -1);
        if (nbKinds >= CoreKinds) {
            for (int k = 0; k < CoreKinds; ++k) {
                slot[size_t(k)] = k;
                names << QLatin1String(coreKindNames[k]);
            }
            units = nbKinds - CoreKinds;
            for (int u = 0; u < units; ++u) {
                slot.push_back(CoreKinds + u);
                names << QStringLiteral("unit_%1").arg(u);
            }
            return;
        }
        // Fewer kinds: the first stages, and always "stall" so that no cycle is left empty.
        for (int k = 0; k < CoreKinds && names.size() < nbKinds - 1; ++k) {
            if (k == Stall)
                continue;
            slot[size_t(k)] = int(names.size());
            names << QLatin1String(coreKindNames[k]);
        }
        slot[Stall] = int(names.size());
        names << QLatin1String(coreKindNames[Stall]);
    }
};

// A simplified out-of-order core: in-order fetch along the predicted path, register
// dependencies decide issue, loads may miss the cache, commit is in order and bounded by the
// fetch width, a full reorder buffer stalls fetch, and a mispredicted branch squashes the
// wrong-path instructions fetched behind it when it executes.
class Core
{
public:
    Core(const std::vector<Instruction> &program, const KindTable &kinds,
         const TraceGeneratorOptions &o)
        : program(program), kinds(kinds), rnd(o.seed ^ 0x5EEDC0DEull), width(o.fetchWidth),
          robSize(o.robSize)
    {
        std::fill(std::begin(regReady), std::end(regReady), 0);
        loopLeft.assign(program.size(), -1);
    }

    // Schedules what fetch does in cycle c; the events of c are complete afterwards.
    void fetchCycle(qint64 c)
    {
        while (!rob.empty() && rob.front() < c)
            rob.pop_front();
        if (wrongPath && c >= squashCycle) {
            wrongPath = false;
            wrongInFlight = 0;
        }
        int fetched = 0;
        if (c >= resumeCycle) {
            for (; fetched < width; ++fetched) {
                if (int(rob.size()) + wrongInFlight >= robSize)
                    break;
                if (wrongPath) {
                    fetchWrongPath(c);
                    continue;
                }
                if (!fetchCorrectPath(c)) {
                    ++fetched;
                    break;
                }
            }
        }
        if (fetched == 0)
            post(c, c, Stall, -1);
    }

    std::vector<Event> &eventsAt(qint64 c) { return calendar.at(c); }

private:
    void post(qint64 now, qint64 cycle, int kind, int pc)
    {
        const int s = kinds.slot[size_t(kind)];
        if (s >= 0)
            calendar.add(now, cycle, Event{s, pc});
    }
    void emitRange(qint64 now, qint64 from, qint64 to, int kind, int pc, qint64 limit)
    {
        for (qint64 t = from; t <= to && t < limit; ++t)
            post(now, t, kind, pc);
    }

    // Stage times of one instruction fetched in cycle f; events before `limit` only.
    struct Timing
    {
        qint64 issue, execEnd, done, writeback, resolve;
    };
    Timing schedule(qint64 f, int pc, qint64 limit)
    {
        const Instruction &in = program[size_t(pc)];
        post(f, f, Fetch, pc);
        if (f + 1 < limit)
            post(f, f + 1, Decode, pc);
        if (f + 2 < limit)
            post(f, f + 2, Rename, pc);

        qint64 issue = f + 3;
        const bool readsTwo = in.op != Op::AluImm && in.op != Op::Load && in.op != Op::Jump;
        issue = std::max(issue, regReady[in.src1]);
        if (readsTwo)
            issue = std::max(issue, regReady[in.src2]);
        if (rnd.percent(15))
            issue += 1 + rnd.below(2); // port taken by an older instruction
        if (issue < limit)
            post(f, issue, Issue, pc);

        int latency = 1;
        if (in.op == Op::Mul)
            latency = 3;
        else if (in.op == Op::Div)
            latency = 10;
        const qint64 execEnd = issue + latency;
        emitRange(f, issue + 1, execEnd, Execute, pc, limit);
        if (kinds.units > 0 && issue + 1 < limit)
            post(f, issue + 1, CoreKinds + pc % kinds.units, pc);

        qint64 done = execEnd;
        if (in.op == Op::Load || in.op == Op::Store) {
            int access = 2;
            if (rnd.percent(in.op == Op::Load ? 8 : 4)) {
                access = 12 + rnd.below(20);
                if (execEnd + 1 < limit)
                    post(f, execEnd + 1, CacheMiss, pc);
            }
            done = execEnd + access;
            emitRange(f, execEnd + 1, done, Memory, pc, limit);
        }
        const bool writes = in.op != Op::Store && in.op != Op::Branch && in.op != Op::Jump;
        qint64 writeback = done;
        if (writes) {
            writeback = done + 1;
            if (writeback < limit)
                post(f, writeback, Writeback, pc);
        }
        return Timing{issue, execEnd, done, writeback, execEnd};
    }

    // The direction fetch guesses, and the one the program takes.
    bool predictedTaken(const Instruction &in) const
    {
        if (in.op == Op::Jump)
            return true;
        if (in.op != Op::Branch)
            return false;
        return in.trip > 0 || in.bias >= 50;
    }
    bool takenNow(int pc)
    {
        const Instruction &in = program[size_t(pc)];
        if (in.op == Op::Jump)
            return true;
        if (in.op != Op::Branch)
            return false;
        if (in.trip > 0) {
            int &left = loopLeft[size_t(pc)];
            if (left < 0)
                left = in.trip - 1;
            if (left > 0) {
                --left;
                return true;
            }
            left = -1;
            return false;
        }
        return rnd.percent(in.bias);
    }
    int nextPc(int pc, bool taken) const
    {
        return taken ? program[size_t(pc)].target : (pc + 1) % int(program.size());
    }

    // False when the fetch group ends here (a taken branch).
    bool fetchCorrectPath(qint64 c)
    {
        const int pc = fetchPc;
        const Instruction &in = program[size_t(pc)];
        const Timing t = schedule(c, pc, std::numeric_limits<qint64>::max());
        if (in.op != Op::Store && in.op != Op::Branch && in.op != Op::Jump && in.dest > 0)
            regReady[in.dest] = t.done + 1;

        qint64 commit = std::max(t.writeback + 1, lastCommit);
        if (commit == lastCommit && commitsAtLast >= width)
            ++commit;
        if (commit == lastCommit) {
            ++commitsAtLast;
        } else {
            lastCommit = commit;
            commitsAtLast = 1;
        }
        post(c, commit, Commit, pc);
        rob.push_back(commit);

        const bool taken = takenNow(pc);
        fetchPc = nextPc(pc, taken);
        if (taken != predictedTaken(in)) {
            post(c, t.resolve, BranchMispredict, pc);
            wrongPath = true;
            wrongPc = nextPc(pc, !taken);
            squashCycle = t.resolve + 1;
            resumeCycle = squashCycle + 1;
            wrongInFlight = 0;
            return true;
        }
        return !taken;
    }

    void fetchWrongPath(qint64 c)
    {
        const int pc = wrongPc;
        schedule(c, pc, squashCycle);
        post(c, squashCycle, Squash, pc);
        ++wrongInFlight;
        wrongPc = nextPc(pc, predictedTaken(program[size_t(pc)]));
    }

    const std::vector<Instruction> &program;
    const KindTable &kinds;
    Random rnd;
    const int width;
    const int robSize;
    Calendar calendar;

    qint64 regReady[16];
    std::vector<int> loopLeft; // taken iterations left of each loop branch, -1 outside it
    std::deque<qint64> rob;    // commit cycles of the instructions in flight
    qint64 lastCommit = 0;
    int commitsAtLast = 0;
    int fetchPc = 0;
    bool wrongPath = false;
    int wrongPc = 0;
    int wrongInFlight = 0;
    qint64 squashCycle = 0;
    qint64 resumeCycle = 0;
};

QString resolvedDirectory(const TraceGeneratorOptions &o, const QString &dir)
{
    return QDir::cleanPath(QDir(QDir(o.rootDirectory).absolutePath()).filePath(dir));
}

QByteArray operandXml(const char *direction, const char *type, const QString &value)
{
    return QByteArray("      <operand><direction>") + direction + "</direction><type>" + type +
           "</type><value>" + xmlEscaped(value) + "</value></operand>\n";
}

void writeInstruction(XmlFile &out, int pc, const Instruction &in)
{
    auto reg = [](int r) { return QStringLiteral("r%1").arg(r); };
    const char *mnemonic = "nop";
    QByteArray operands;
    int count = 0;
    auto add = [&](const char *direction, const char *type, const QString &value) {
        operands += operandXml(direction, type, value);
        ++count;
    };
    switch (in.op) {
    case Op::Alu:
    case Op::Mul:
    case Op::Div:
        mnemonic = in.op == Op::Mul ? "mul" : in.op == Op::Div ? "div" : aluNames[in.mnemonic];
        add("out", "register", reg(in.dest));
        add("in", "register", reg(in.src1));
        add("in", "register", reg(in.src2));
        break;
    case Op::AluImm:
        mnemonic = aluImmNames[in.mnemonic];
        add("out", "register", reg(in.dest));
        add("in", "register", reg(in.src1));
        add("in", "immediate", QString::number(in.imm));
        break;
    case Op::Load:
        mnemonic = loadNames[in.mnemonic];
        add("out", "register", reg(in.dest));
        add("in", "memory", QStringLiteral("%1(%2)").arg(in.imm).arg(reg(in.src1)));
        break;
    case Op::Store:
        mnemonic = storeNames[in.mnemonic];
        add("in", "register", reg(in.src2));
        add("out", "memory", QStringLiteral("%1(%2)").arg(in.imm).arg(reg(in.src1)));
        break;
    case Op::Branch:
        mnemonic = branchNames[in.mnemonic];
        add("in", "register", reg(in.src1));
        add("in", "register", reg(in.src2));
        add("in", "label", QString::number(in.target));
        break;
    case Op::Jump:
        mnemonic = "j";
        add("in", "label", QString::number(in.target));
        break;
    }
    out.put("  <instruction>\n");
    out.element("    ", "pc", pc);
    out.element("    ", "mnemonic", QByteArray(mnemonic));
    out.put("    <operands>\n");
    out.element("      ", "count", count);
    out.put(operands);
    out.put("    </operands>\n");
    out.element("    ", "line", in.line);
    out.put("  </instruction>\n");
}

// Files of the set's name shapes left by an earlier run with more cycles, pcs or levels
// would be read by the viewer as part of this set.
int removeStaleFiles(const TraceGeneratorOptions &o, const QSet<QString> &written)
{
    const QString number = QStringLiteral("_-?\\d+\\.xml$");
    const QList<QPair<QString, QString>> shapes = {
        {o.traceDirectory, QLatin1Char('^') + QRegularExpression::escape(o.tracePrefixe) + number},
        {o.zoomDirectory, QLatin1Char('^') + QRegularExpression::escape(o.zoomPrefixe) +
                              QStringLiteral("_\\d+") + number},
        {o.asmDirectory, QLatin1Char('^') + QRegularExpression::escape(o.asmPrefixe) + number}};
    int removed = 0;
    for (const auto &shape : shapes) {
        const QDir dir(resolvedDirectory(o, shape.first));
        const QRegularExpression pattern(shape.second);
        const QStringList entries = dir.entryList(QDir::Files);
        for (const QString &entry : entries) {
            const QString path = dir.filePath(entry);
            if (pattern.match(entry).hasMatch() && !written.contains(path) && QFile::remove(path))
                ++removed;
        }
    }
    return removed;
}

} // namespace

QString TraceGeneratorOptions::configFilePath() const
{
    return resolvedDirectory(*this, configFile);
}

QString TraceGeneratorOptions::traceFilePath(int firstCycle) const
{
    return resolvedDirectory(*this, traceDirectory) + QLatin1Char('/') + tracePrefixe +
           QLatin1Char('_') + QString::number(firstCycle) + QLatin1String(".xml");
}

QString TraceGeneratorOptions::zoomFilePath(int level, int firstCycle) const
{
    return resolvedDirectory(*this, zoomDirectory) + QLatin1Char('/') + zoomPrefixe +
           QLatin1Char('_') + QString::number(level) + QLatin1Char('_') +
           QString::number(firstCycle) + QLatin1String(".xml");
}

QString TraceGeneratorOptions::asmFilePath(int firstPc) const
{
    return resolvedDirectory(*this, asmDirectory) + QLatin1Char('/') + asmPrefixe +
           QLatin1Char('_') + QString::number(firstPc) + QLatin1String(".xml");
}

TraceGenerator::TraceGenerator(const TraceGeneratorOptions &options) : opts(options) {}

QStringList TraceGenerator::eventNames(int nbEventKinds)
{
    return nbEventKinds < 1 ? QStringList() : KindTable(nbEventKinds).names;
}

QString TraceGenerator::checkOptions(const TraceGeneratorOptions &o)
{
    if (o.rootDirectory.isEmpty())
        return QStringLiteral("No root directory given");
    if (o.nbCycleTotal < 1)
        return QStringLiteral("The total number of cycles must be at least 1");
    if (o.nbCycleParTrace < 1)
        return QStringLiteral("The number of cycles per file must be at least 1");
    if (o.fromCycle < 0 || o.fromCycle >= o.nbCycleTotal)
        return QStringLiteral("The first cycle written must be between 0 and the last cycle");
    if (o.nbPcParAsm < 1)
        return QStringLiteral("The number of pcs per assembly file must be at least 1");
    if (o.nbPc < 1 || o.nbPc > 100000000)
        return QStringLiteral("The number of pcs must be between 1 and 100000000");
    if (o.nbEventKinds < 1 || o.nbEventKinds > 100000)
        return QStringLiteral("The number of event kinds must be between 1 and 100000");
    if (o.fetchWidth < 1 || o.fetchWidth > 64)
        return QStringLiteral("The fetch width must be between 1 and 64");
    if (o.robSize < 1 || o.robSize > 1000000)
        return QStringLiteral("The reorder buffer size must be between 1 and 1000000");
    QSet<int> levels;
    for (int level : o.zoomLevels) {
        if (level < 2)
            return QStringLiteral("Zoom level %1 is not above 1").arg(level);
        if (o.nbCycleParTrace % level != 0)
            return QStringLiteral("Zoom level %1 does not divide the %2 cycles of a file")
                .arg(level)
                .arg(o.nbCycleParTrace);
        if (levels.contains(level))
            return QStringLiteral("Zoom level %1 is given twice").arg(level);
        levels.insert(level);
    }
    for (const QString &prefix : {o.tracePrefixe, o.zoomPrefixe, o.asmPrefixe}) {
        if (prefix.isEmpty() || prefix.contains(QLatin1Char('/')))
            return QStringLiteral("File prefix \"%1\" is empty or holds a '/'").arg(prefix);
    }
    if (o.configFile.isEmpty())
        return QStringLiteral("No configuration file name given");
    return QString();
}

bool TraceGenerator::generate()
{
    stats = TraceGeneratorSummary();
    error = checkOptions(opts);
    if (!error.isEmpty())
        return false;

    // Every name first, so that overlapping names are refused before anything is written.
    QSet<QString> written;
    QStringList order;
    auto claim = [&](const QString &path) {
        if (written.contains(path)) {
            error = QStringLiteral("Two files of the set would both be %1")
                        .arg(QDir::toNativeSeparators(path));
            return false;
        }
        written.insert(path);
        order << path;
        return true;
    };
    if (!claim(opts.configFilePath()))
        return false;
    const qint64 premier = qint64(opts.fromCycle) / opts.nbCycleParTrace * opts.nbCycleParTrace;
    for (qint64 n = premier; n < opts.nbCycleTotal; n += opts.nbCycleParTrace) {
        if (!claim(opts.traceFilePath(int(n))))
            return false;
        for (int level : opts.zoomLevels)
            if (!claim(opts.zoomFilePath(level, int(n))))
                return false;
    }
    for (qint64 n = 0; n < opts.nbPc; n += opts.nbPcParAsm)
        if (!claim(opts.asmFilePath(int(n))))
            return false;

    for (const QString &path : std::as_const(order)) {
        const QString dir = QFileInfo(path).path();
        if (!QDir().mkpath(dir)) {
            error =
                QStringLiteral("Cannot create the directory %1").arg(QDir::toNativeSeparators(dir));
            return false;
        }
    }

    const KindTable kinds(opts.nbEventKinds);
    Random programRandom(opts.seed);
    const std::vector<Instruction> program = makeProgram(opts.nbPc, programRandom);

    // Configuration.
    {
        XmlFile out(&error);
        if (!out.open(opts.configFilePath()))
            return false;
        out.put("<config>\n");
        out.element("  ", "name",
                    xmlEscaped(QStringLiteral("Sample out-of-order core, seed %1").arg(opts.seed)));
        out.put("  <events>\n");
        for (const QString &name : kinds.names) {
            out.put("    <event>\n");
            out.element("      ", "name", xmlEscaped(name));
            out.put("    </event>\n");
        }
        out.put("  </events>\n</config>\n");
        if (!out.commit())
            return false;
    }

    // Traces and their zoom counts, one pass.
    std::vector<QByteArray> nameXml;
    for (const QString &name : kinds.names)
        nameXml.push_back("<event><name>" + xmlEscaped(name) + "</name>");
    const int nbSlots = int(kinds.names.size());

    struct ZoomStream
    {
        int level;
        XmlFile *file;
        std::vector<int> counts;
        qint64 groupStart;
    };
    XmlFile trace(&error);
    std::vector<std::unique_ptr<XmlFile>> zoomFiles;
    std::vector<ZoomStream> zooms;
    for (int level : opts.zoomLevels) {
        zoomFiles.push_back(std::make_unique<XmlFile>(&error));
        zooms.push_back(
            ZoomStream{level, zoomFiles.back().get(), std::vector<int>(size_t(nbSlots)), 0});
    }
    std::vector<char> present(static_cast<size_t>(nbSlots));
    std::vector<int> slotsOfCycle; // distinct, for the zoom counts

    auto flushGroup = [&](ZoomStream &z) {
        XmlFile &f = *z.file;
        f.put("  <cycle>\n");
        f.element("    ", "date", z.groupStart);
        for (int s = 0; s < nbSlots; ++s) {
            if (z.counts[size_t(s)] == 0)
                continue;
            f.put("    ");
            f.put(nameXml[size_t(s)]);
            f.put("<count>");
            f.put(qint64(z.counts[size_t(s)]));
            f.put("</count></event>\n");
            z.counts[size_t(s)] = 0;
        }
        f.put("  </cycle>\n");
    };

    Core core(program, kinds, opts);
    for (qint64 c = premier; c < opts.nbCycleTotal; ++c) {
        const bool firstOfFile = c % opts.nbCycleParTrace == 0;
        if (firstOfFile) {
            if (!trace.open(opts.traceFilePath(int(c))))
                return false;
            trace.put("<trace>\n");
            ++stats.traceFiles;
            for (ZoomStream &z : zooms) {
                if (!z.file->open(opts.zoomFilePath(z.level, int(c))))
                    return false;
                z.file->put("<trace>\n");
                ++stats.zoomFiles;
            }
        }

        core.fetchCycle(c);
        std::vector<Event> &events = core.eventsAt(c);
        if (events.empty())
            events.push_back(Event{kinds.slot[Stall], -1});
        std::stable_sort(events.begin(), events.end(),
                         [](const Event &a, const Event &b) { return a.slot < b.slot; });

        trace.put("  <cycle>\n");
        trace.element("    ", "date", c);
        for (const Event &e : events) {
            trace.put("    ");
            trace.put(nameXml[size_t(e.slot)]);
            if (e.pc >= 0) {
                trace.put("<instruction><pc>");
                trace.put(qint64(e.pc));
                trace.put("</pc></instruction>");
                ++stats.pcEvents;
                stats.maxPcUsed = std::max(stats.maxPcUsed, e.pc);
            }
            trace.put("</event>\n");
            if (!present[size_t(e.slot)]) {
                present[size_t(e.slot)] = 1;
                slotsOfCycle.push_back(e.slot);
            }
        }
        trace.put("  </cycle>\n");
        stats.events += qint64(events.size());

        for (ZoomStream &z : zooms) {
            if (c % z.level == 0)
                z.groupStart = c;
            for (int s : slotsOfCycle)
                ++z.counts[size_t(s)];
        }
        for (int s : slotsOfCycle)
            present[size_t(s)] = 0;
        slotsOfCycle.clear();
        events.clear();

        const bool lastOfFile =
            (c + 1) % opts.nbCycleParTrace == 0 || c + 1 == qint64(opts.nbCycleTotal);
        for (ZoomStream &z : zooms) {
            if ((c + 1) % z.level == 0 || lastOfFile)
                flushGroup(z);
        }
        if (lastOfFile) {
            trace.put("</trace>\n");
            if (!trace.commit())
                return false;
            for (ZoomStream &z : zooms) {
                z.file->put("</trace>\n");
                if (!z.file->commit())
                    return false;
            }
        } else {
            if (!trace.flushIfFull())
                return false;
            for (ZoomStream &z : zooms)
                if (!z.file->flushIfFull())
                    return false;
        }
    }

    // Assembly listing of every pc of the program.
    XmlFile listing(&error);
    for (qint64 n = 0; n < opts.nbPc; n += opts.nbPcParAsm) {
        if (!listing.open(opts.asmFilePath(int(n))))
            return false;
        listing.put("<asm>\n");
        const qint64 end = std::min<qint64>(n + opts.nbPcParAsm, opts.nbPc);
        for (qint64 pc = n; pc < end; ++pc) {
            writeInstruction(listing, int(pc), program[size_t(pc)]);
            if (!listing.flushIfFull())
                return false;
        }
        listing.put("</asm>\n");
        if (!listing.commit())
            return false;
        ++stats.asmFiles;
    }

    stats.staleFilesRemoved = removeStaleFiles(opts, written);
    return true;
}
