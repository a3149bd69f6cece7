// Runs a fuzz target over files and directories of inputs, so that every input the fuzzers
// ever found troublesome is replayed by the normal test suite.
#include <QByteArray>
#include <QDirIterator>
#include <QFile>

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

int main(int argc, char **argv)
{
    QStringList paths;
    for (int i = 1; i < argc; ++i) {
        paths << QString::fromLocal8Bit(argv[i]);
        for (QDirIterator it(paths.last(), QDir::Files, QDirIterator::Subdirectories);
             it.hasNext();)
            paths << it.next();
    }
    int count = 0;
    for (const QString &path : paths) {
        QFile file(path);
        if (QFileInfo(path).isDir())
            continue;
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
            return 1;
        }
        const QByteArray bytes = file.readAll();
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.constData()),
                               size_t(bytes.size()));
        ++count;
    }
    std::printf("replayed %d inputs\n", count);
    return count > 0 ? 0 : 1;
}
