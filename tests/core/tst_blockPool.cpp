// The slab pool behind GraphicBlock and the brushes blocks share: slots are distinct, aligned
// and reused, empty slabs go back (but for one), threads can share the pool, and a shared
// brush never changes what getBrush() reports.

#include "core/blockPool.h"
#include "core/graphicBlock.h"

#include <QBrush>
#include <QTest>
#include <QTransform>

#include <cstdint>
#include <random>
#include <set>
#include <thread>
#include <vector>

namespace {

const void *identity(const QBrush &brush)
{
    return const_cast<QBrush &>(brush).data_ptr().get();
}

} // namespace

class TestBlockPool : public QObject
{
    Q_OBJECT

private slots:
    void slabSlots_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("alignment");
        QTest::newRow("smaller than a link") << 1 << 1;
        QTest::newRow("24, 8") << 24 << 8;
        QTest::newRow("block-sized") << int(sizeof(GraphicBlock)) << int(alignof(GraphicBlock));
        QTest::newRow("odd size, 16") << 100 << 16;
        QTest::newRow("large") << 4000 << 64;
    }

    // Two and a half slabs' worth: every slot distinct, aligned, inside one slab and writable
    // without touching another; all freed (the rest in one call), a single slab is kept;
    // allocating again reuses it.
    void slabSlots()
    {
        QFETCH(int, size);
        QFETCH(int, alignment);
        BlockPool pool{size_t(size), size_t(alignment)};
        const size_t count = pool.slotsPerSlab() * 5 / 2;
        std::vector<unsigned char *> taken;
        std::set<std::uintptr_t> seen;
        for (size_t i = 0; i < count; ++i) {
            auto *slot = static_cast<unsigned char *>(pool.allocate());
            const auto address = reinterpret_cast<std::uintptr_t>(slot);
            QCOMPARE(address % size_t(alignment), size_t(0));
            QVERIFY(seen.insert(address).second);
            std::fill(slot, slot + size, static_cast<unsigned char>(i));
            taken.push_back(slot);
        }
        QCOMPARE(pool.slabCount(), size_t(3));
        for (size_t i = 0; i < count; ++i)
            QCOMPARE(taken[i][size - 1], static_cast<unsigned char>(i));
        for (size_t i = 0; i < count; i += 2) // every other one, then the rest
            pool.deallocate(taken[i]);
        QCOMPARE(pool.slabCount(), size_t(3));
        std::vector<void *> rest{nullptr};
        for (size_t i = 1; i < count; i += 2)
            rest.push_back(taken[i]);
        pool.deallocateMany(rest.data(), rest.size());
        QCOMPARE(pool.slabCount(), size_t(1));
        void *again = pool.allocate();
        QVERIFY(seen.count(reinterpret_cast<std::uintptr_t>(again)));
        QCOMPARE(pool.slabCount(), size_t(1));
        pool.deallocate(again);
        pool.deallocate(nullptr);
    }

    // Threads allocating and freeing at random hold distinct slots, and everything comes back.
    void threads()
    {
        BlockPool pool(sizeof(GraphicBlock), alignof(GraphicBlock));
        std::vector<std::vector<void *>> held(4);
        std::vector<std::thread> workers;
        for (size_t t = 0; t < held.size(); ++t) {
            workers.emplace_back([&pool, &mine = held[t], t] {
                std::mt19937 random{unsigned(t)};
                for (int step = 0; step < 20000; ++step) {
                    if (mine.empty() || random() % 3 != 0) {
                        mine.push_back(pool.allocate());
                    } else {
                        const size_t at = random() % mine.size();
                        pool.deallocate(mine[at]);
                        mine[at] = mine.back();
                        mine.pop_back();
                    }
                }
            });
        }
        for (std::thread &worker : workers)
            worker.join();
        std::set<void *> all;
        size_t total = 0;
        for (const auto &mine : held) {
            all.insert(mine.begin(), mine.end());
            total += mine.size();
        }
        QCOMPARE(all.size(), total);
        for (const auto &mine : held) {
            for (void *slot : mine)
                pool.deallocate(slot);
        }
        QCOMPARE(pool.slabCount(), size_t(1));
    }

    // Blocks made with new live in the pool, which shrinks back once they are gone (but for the
    // slab holding the few slots this thread keeps at hand).
    void blocksInThePool()
    {
        const size_t before = GraphicBlock::poolBytes();
        std::vector<GraphicBlock *> blocks;
        for (int i = 0; i < 20000; ++i)
            blocks.push_back(new GraphicBlock(QStringLiteral("fetch")));
        const size_t during = GraphicBlock::poolBytes();
        for (GraphicBlock *block : blocks)
            delete block;
        if (during == 0)
            QSKIP("blocks bypass the pool in this build (address sanitizer)");
        QVERIFY(during >= before + 20000 * sizeof(GraphicBlock) - BlockPool::slabSize);
        QVERIFY(GraphicBlock::poolBytes() <= std::max(before, size_t(2 * BlockPool::slabSize)));
    }

    // Two blocks of one event given equal brushes made apart share one; anything that tells the
    // brushes apart keeps them apart, and each block reports exactly the brush it was given.
    void sharedBrushes_data()
    {
        QTest::addColumn<QBrush>("first");
        QTest::addColumn<QBrush>("second");
        QTest::addColumn<bool>("shared");
        QTest::newRow("same colour")
            << QBrush(QColor(10, 20, 30)) << QBrush(QColor(10, 20, 30)) << true;
        QTest::newRow("same pattern") << QBrush(QColor(1, 2, 3), Qt::Dense4Pattern)
                                      << QBrush(QColor(1, 2, 3), Qt::Dense4Pattern) << true;
        QTest::newRow("other colour")
            << QBrush(QColor(10, 20, 30)) << QBrush(QColor(10, 20, 31)) << false;
        QTest::newRow("other alpha")
            << QBrush(QColor(10, 20, 30)) << QBrush(QColor(10, 20, 30, 128)) << false;
        QTest::newRow("other style")
            << QBrush(QColor(10, 20, 30)) << QBrush(QColor(10, 20, 30), Qt::CrossPattern) << false;
        QTest::newRow("other colour model")
            << QBrush(QColor::fromRgb(255, 0, 0)) << QBrush(QColor::fromHsv(0, 255, 255)) << false;
        QBrush turned(QColor(5, 5, 5), Qt::HorPattern);
        turned.setTransform(QTransform().rotate(90));
        QTest::newRow("transformed") << QBrush(QColor(5, 5, 5), Qt::HorPattern) << turned << false;
        QTest::newRow("no brush") << QBrush() << QBrush() << true;
    }

    void sharedBrushes()
    {
        QFETCH(QBrush, first);
        QFETCH(QBrush, second);
        QFETCH(bool, shared);
        GraphicBlock a(QStringLiteral("a")), b(QStringLiteral("a"));
        a.setBrush(first);
        b.setBrush(second);
        QCOMPARE(identity(a.getBrush()) == identity(b.getBrush()), shared);
        for (const auto &[block, given] : {std::pair<GraphicBlock *, QBrush>{&a, first},
                                           std::pair<GraphicBlock *, QBrush>{&b, second}}) {
            QCOMPARE(block->getBrush(), given);
            // QColor equality includes the colour model, which QBrush equality ignores.
            QCOMPARE(block->getBrush().color(), given.color());
            QCOMPARE(block->getBrush().transform(), given.transform());
        }
    }

    // The cache is bounded: many shades (a zoom level's) still give each block its own colour.
    void manyShades()
    {
        std::vector<std::unique_ptr<GraphicBlock>> blocks;
        for (int i = 0; i < 1000; ++i) {
            blocks.push_back(std::make_unique<GraphicBlock>(QStringLiteral("alu")));
            blocks.back()->setBrush(QBrush(QColor::fromRgb(QRgb(0xff000000u | quint32(i * 7919)))));
        }
        for (int i = 0; i < 1000; ++i)
            QCOMPARE(blocks[i]->getBrush().color().rgba(), 0xff000000u | quint32(i * 7919));
    }
};

QTEST_GUILESS_MAIN(TestBlockPool)
#include "tst_blockPool.moc"
