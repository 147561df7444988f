#include <gtest/gtest.h>
#include <windows.h>

#include <climits>
#include <string>
#include <vector>

#include "ui/core/Collections.h"

namespace
{

LPVOID P(int n)
{
    return reinterpret_cast<LPVOID>(static_cast<INT_PTR>(n));
}

size_t Capacity(CPtrList& list)
{
    if (!list.GetData())
        return 0;
    return ::HeapSize(::GetProcessHeap(), 0, list.GetData()) / sizeof(LPVOID);
}

std::vector<INT_PTR> Items(const CPtrList& list)
{
    std::vector<INT_PTR> v;
    for (int i = 0; i < list.GetSize(); ++i)
        v.push_back(reinterpret_cast<INT_PTR>(list[i]));
    return v;
}

std::vector<std::wstring> Keys(const CStringMap& map)
{
    std::vector<std::wstring> v;
    for (int i = 0; i < map.GetSize(); ++i)
        v.push_back(map.GetAt(i));
    return v;
}

// Three distinct keys that share one bucket of an 83-bucket map.
std::vector<std::wstring> CollidingKeys()
{
    std::vector<std::wstring> byBucket[83];
    for (int i = 0;; ++i)
    {
        std::wstring key = L"k" + std::to_wstring(i);
        std::vector<std::wstring>& bucket = byBucket[CStringMap::HashKey(key.c_str()) % 83];
        bucket.push_back(key);
        if (bucket.size() == 3)
            return bucket;
    }
}

}  // namespace

TEST(PtrList, GrowsToElevenThenDoubles)
{
    CPtrList list;
    EXPECT_EQ(Capacity(list), 0u);
    std::vector<size_t> capacityAfter;
    for (int i = 1; i <= 45; ++i)
    {
        ASSERT_TRUE(list.Add(P(i)));
        capacityAfter.push_back(Capacity(list));
    }
    EXPECT_EQ(capacityAfter[0], 11u);   // first Add
    EXPECT_EQ(capacityAfter[9], 11u);   // 10th
    EXPECT_EQ(capacityAfter[10], 22u);  // 11th
    EXPECT_EQ(capacityAfter[20], 22u);  // 21st
    EXPECT_EQ(capacityAfter[21], 44u);  // 22nd
    EXPECT_EQ(capacityAfter[43], 88u);  // 44th
    for (int i = 0; i < 45; ++i)
        EXPECT_EQ(list[i], P(i + 1));

    list.Remove(0, 40);
    EXPECT_EQ(Capacity(list), 88u);  // never shrinks
    EXPECT_EQ(Items(list), (std::vector<INT_PTR>{41, 42, 43, 44, 45}));

    list.Empty();
    EXPECT_EQ(list.GetSize(), 0);
    EXPECT_EQ(Capacity(list), 0u);
}

TEST(PtrList, InsertAtAndRemoveBounds)
{
    struct RemoveCase
    {
        int index;
        int count;
        bool ok;
        std::vector<INT_PTR> after;
    } removes[] = {
        {0, 0, false, {1, 2, 3, 4}},
        {2, 3, false, {1, 2, 3, 4}},
        {-1, 1, false, {1, 2, 3, 4}},
        {4, 1, false, {1, 2, 3, 4}},
        {1, INT_MAX, false, {1, 2, 3, 4}},  // index + count wraps
        {INT_MAX, 2, false, {1, 2, 3, 4}},
        {2, -1, false, {1, 2, 3, 4}},
        {3, 1, true, {1, 2, 3}},
        {1, 2, true, {1, 4}},
        {0, 4, true, {}},
    };
    for (const RemoveCase& c : removes)
    {
        CPtrList list;
        for (int i = 1; i <= 4; ++i)
            list.Add(P(i));
        EXPECT_EQ(list.Remove(c.index, c.count), c.ok) << c.index << "," << c.count;
        EXPECT_EQ(Items(list), c.after) << c.index << "," << c.count;
    }

    CPtrList list;
    EXPECT_FALSE(list.InsertAt(1, P(9)));
    EXPECT_TRUE(list.InsertAt(0, P(2)));
    EXPECT_TRUE(list.InsertAt(1, P(4)));  // index == size appends
    EXPECT_TRUE(list.InsertAt(0, P(1)));
    EXPECT_TRUE(list.InsertAt(2, P(3)));
    EXPECT_FALSE(list.InsertAt(5, P(9)));  // size + 1
    EXPECT_FALSE(list.InsertAt(-1, P(9)));
    EXPECT_EQ(Items(list), (std::vector<INT_PTR>{1, 2, 3, 4}));
    EXPECT_EQ(list.Find(P(3)), 2);
    EXPECT_EQ(list.Find(P(7)), -1);
    EXPECT_EQ(list.GetAt(3), P(4));
    EXPECT_EQ(list.GetAt(4), nullptr);
    EXPECT_EQ(list.GetAt(-1), nullptr);

    // Inserting at the front across a growth step keeps every element.
    CPtrList front;
    for (int i = 30; i >= 1; --i)
        ASSERT_TRUE(front.InsertAt(0, P(i)));
    for (int i = 0; i < 30; ++i)
        EXPECT_EQ(front[i], P(i + 1));

    CPtrList copy(list);
    EXPECT_EQ(Items(copy), Items(list));
    copy = front;
    EXPECT_EQ(copy.GetSize(), 30);
}

TEST(PtrList, ResizeGivesNullSlots)
{
    CPtrList list(5);
    EXPECT_EQ(list.GetSize(), 0);
    list.Add(P(1));
    list.Resize(3);
    EXPECT_EQ(Items(list), (std::vector<INT_PTR>{0, 0, 0}));
    EXPECT_TRUE(list.Add(P(7)));
    EXPECT_EQ(Capacity(list), 6u);
    EXPECT_EQ(list[3], P(7));
    list.Resize(0);
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_TRUE(list.Add(P(1)));
}

TEST(StringMap, HashBucketAndCase)
{
    EXPECT_EQ(CStringMap::HashKey(L"ab"), 3331u);
    EXPECT_EQ(CStringMap::HashKey(L"ab") % 83, 11u);
    EXPECT_EQ(CStringMap::HashKey(L""), 0u);

    CStringMap map;
    EXPECT_TRUE(map.Insert(L"ab", P(1)));
    EXPECT_TRUE(map.Insert(L"AB", P(2)));
    EXPECT_EQ(map.Find(L"ab"), P(1));
    EXPECT_EQ(map.Find(L"AB"), P(2));
    EXPECT_EQ(map.Find(L"Ab"), nullptr);
    EXPECT_EQ(map.GetSize(), 2);
}

TEST(StringMap, FindMovesToFrontOfItsBucket)
{
    std::vector<std::wstring> k = CollidingKeys();
    CStringMap map;
    for (const std::wstring& key : k)
        map.Insert(key.c_str(), P(1));
    // Chain is newest first.
    EXPECT_EQ(Keys(map), (std::vector<std::wstring>{k[2], k[1], k[0]}));

    map.Find(k[1].c_str(), false);
    EXPECT_EQ(Keys(map), (std::vector<std::wstring>{k[2], k[1], k[0]}));
    map.Find(k[1].c_str());
    EXPECT_EQ(Keys(map), (std::vector<std::wstring>{k[1], k[2], k[0]}));
    map.Find(k[0].c_str());  // from the tail
    EXPECT_EQ(Keys(map), (std::vector<std::wstring>{k[0], k[1], k[2]}));

    // Buckets are visited from the last down.
    CStringMap two;
    two.Insert(L"a", P(1));  // bucket 97 % 83 = 14
    two.Insert(L"b", P(2));  // bucket 15
    EXPECT_EQ(Keys(two), (std::vector<std::wstring>{L"b", L"a"}));
    EXPECT_EQ(two.GetAt(2), nullptr);
    EXPECT_EQ(two.GetAt(-1), nullptr);
}

TEST(StringMap, RemoveFirstMiddleAndLastOfAChain)
{
    std::vector<std::wstring> k = CollidingKeys();
    for (int victim = 0; victim < 3; ++victim)
    {
        CStringMap map;
        for (int i = 0; i < 3; ++i)
            map.Insert(k[i].c_str(), P(i + 1));
        EXPECT_TRUE(map.Remove(k[victim].c_str()));
        EXPECT_FALSE(map.Remove(k[victim].c_str()));
        EXPECT_EQ(map.GetSize(), 2);
        EXPECT_EQ(map.Find(k[victim].c_str()), nullptr);
        // Moving the survivors around exercises the links left behind.
        for (int i = 0; i < 3; ++i)
        {
            if (i != victim)
            {
                EXPECT_EQ(map.Find(k[i].c_str()), P(i + 1));
            }
        }
        for (int i = 2; i >= 0; --i)
        {
            if (i != victim)
            {
                EXPECT_EQ(map.Find(k[i].c_str()), P(i + 1));
            }
        }
        EXPECT_EQ(Keys(map).size(), 2u);
    }
}

TEST(StringMap, SetInsertAndResizeResults)
{
    CStringMap map;
    EXPECT_EQ(map.Set(L"x", P(1)), nullptr);
    EXPECT_EQ(map.GetSize(), 1);
    EXPECT_EQ(map.Set(L"x", P(2)), P(1));
    EXPECT_EQ(map.GetSize(), 1);
    EXPECT_EQ(map.Find(L"x"), P(2));

    EXPECT_FALSE(map.Insert(L"x", P(3)));
    EXPECT_EQ(map.Find(L"x"), P(2));

    // A null value reads as missing, so the same key goes in twice.
    EXPECT_TRUE(map.Insert(L"n", nullptr));
    EXPECT_TRUE(map.Insert(L"n", nullptr));
    EXPECT_EQ(map.GetSize(), 3);

    EXPECT_TRUE(map.Insert(nullptr, P(4)));
    EXPECT_EQ(map.Find(L""), P(4));

    map.RemoveAll();
    EXPECT_EQ(map.GetSize(), 0);
    EXPECT_TRUE(map.Insert(L"y", P(5)));

    map.Resize(0);
    EXPECT_EQ(map.GetSize(), 0);
    EXPECT_EQ(map.Find(L"y"), nullptr);
    EXPECT_FALSE(map.Insert(L"y", P(5)));
    EXPECT_FALSE(map.Remove(L"y"));
    EXPECT_EQ(map.Set(L"y", P(6)), P(6));
    EXPECT_EQ(map.GetAt(0), nullptr);

    map.Resize(83);
    EXPECT_TRUE(map.Insert(L"y", P(7)));
    EXPECT_EQ(map.Find(L"y"), P(7));
}
