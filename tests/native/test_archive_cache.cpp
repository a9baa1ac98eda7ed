// Tests of CArchiveCache: lookup values, use-count ordering, trimming to the budget, budget 0.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/archive_cache.h"
#include "support/platform_hooks.h"

namespace {

uint32_t g_tick = 0;
uint32_t fakeTick() { return ++g_tick; }   // every Add gets a newer stamp

class ArchiveCacheTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_tick = 0;
        platform::setTickHook(fakeTick);
    }
    void TearDown() override { platform::setTickHook(nullptr); }

    void add(const char* name, uint32_t size, uint8_t fill = 0)
    {
        std::vector<uint8_t> data(size, fill);
        EXPECT_EQ(cache.Add(name, data.data(), size), 0) << name;
    }
    std::string order() const
    {
        std::string s;
        for (size_t i = 0; i < cache.EntryCount(); ++i) s += std::string(i ? "," : "") + cache.NameAt(i);
        return s;
    }

    CArchiveCache cache;
};

}  // namespace

TEST_F(ArchiveCacheTest, FindMarksThePositionAndIgnoresCase)
{
    EXPECT_EQ(cache.Find("a.txt"), 0u);
    add("a.txt", 4, 'a');
    add("B.txt", 4, 'b');
    EXPECT_EQ(cache.Find("A.TXT"), 0x80000000u);   // position 0 is not a miss
    EXPECT_EQ(cache.Find("b.TXT"), 0x80000001u);
    EXPECT_EQ(cache.Find("a.txt2"), 0u);
    EXPECT_EQ(cache.Contains("b.txt"), 1);

    // A name that differs only in case is already held: the first copy stays.
    uint8_t other[4] = {'z', 'z', 'z', 'z'};
    EXPECT_EQ(cache.Add("A.Txt", other, 4), 1);
    EXPECT_EQ(cache.EntryCount(), 2u);
    EXPECT_EQ(cache.TotalBytes(), 8u);

    uint8_t out[6] = {0, 0, 0, 0, 0, 0};
    cache.Fetch(cache.Find("a.txt"), out, 4);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 4), "aaaa");
    // Never more than the entry holds; a miss value copies nothing.
    cache.Fetch(cache.Find("b.txt"), out, 6);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 6), std::string("bbbb\0\0", 6));
    cache.Fetch(0, out, 4);
    EXPECT_EQ(out[0], 'b');
}

TEST_F(ArchiveCacheTest, ManyEntriesAreAllHeld)
{
    for (int i = 0; i < 40; ++i) add(("e" + std::to_string(i)).c_str(), 4, uint8_t(i));
    EXPECT_EQ(cache.EntryCount(), 40u);
    EXPECT_EQ(cache.TotalBytes(), 160u);
    for (int i = 0; i < 40; ++i) {
        uint8_t out[4] = {};
        cache.Fetch(cache.Find(("E" + std::to_string(i)).c_str()), out, 4);
        EXPECT_EQ(out[3], uint8_t(i)) << i;
    }
}

TEST_F(ArchiveCacheTest, OrderIsNewestFirstThenMostUsed)
{
    add("a", 1);   // stamp 1
    add("b", 1);   // stamp 2
    add("c", 1);   // stamp 3: b and a were exchanged before c was appended
    EXPECT_EQ(order(), "b,a,c");
    uint8_t byte;
    cache.Fetch(cache.Find("a"), &byte, 1);
    EXPECT_EQ(order(), "a,b,c");
    EXPECT_EQ(cache.UseCountAt(0), 1u);
    cache.Fetch(cache.Find("b"), &byte, 1);
    EXPECT_EQ(order(), "b,a,c");
}

TEST_F(ArchiveCacheTest, TrimDropsTheEndOfTheOrderToFitTheNewEntry)
{
    cache.SetBudget(100);
    add("old", 40);
    add("used", 40);
    uint8_t byte;
    cache.Fetch(cache.Find("old"), &byte, 1);
    cache.Fetch(cache.Find("old"), &byte, 1);
    add("new", 40);   // 120 > 100: the less used "used" goes, the new entry is counted first
    EXPECT_EQ(order(), "old,new");
    EXPECT_EQ(cache.TotalBytes(), 80u);

    // An entry above the whole budget empties the cache and is held until the next trim.
    add("huge", 150);
    EXPECT_EQ(order(), "huge");
    EXPECT_EQ(cache.TotalBytes(), 150u);
    add("small", 10);
    EXPECT_EQ(order(), "small");
    EXPECT_EQ(cache.TotalBytes(), 10u);

    cache.Clear();
    EXPECT_EQ(cache.EntryCount(), 0u);
    EXPECT_EQ(cache.TotalBytes(), 0u);
}

TEST_F(ArchiveCacheTest, BudgetZeroKeepsAndCopiesNothing)
{
    add("a", 3, 'a');
    cache.SetBudget(0);
    uint8_t out[3] = {'-', '-', '-'};
    cache.Fetch(cache.Find("a"), out, 3);
    EXPECT_EQ(out[0], '-');
    EXPECT_EQ(cache.UseCountAt(0), 0u);
    EXPECT_EQ(cache.Add("b", out, 3), 0);
    EXPECT_EQ(cache.Contains("b"), 0);
}
