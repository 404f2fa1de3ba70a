#include "ValueTypesTestPrint.h"

#include "core/UniqueHandle.h"

#include <string>
#include <vector>

using Facet::CFacetPtrArray;
using Facet::CFacetStringPtrMap;
using Facet::CFacetValArray;

namespace {

// Distinct addresses to store.
int g_slots[64];

void* Slot(int i)
{
    return &g_slots[i];
}

std::vector<void*> Contents(const CFacetPtrArray& a)
{
    std::vector<void*> items;
    for (int i = 0; i < a.GetSize(); ++i)
        items.push_back(a[i]);
    return items;
}

std::vector<std::wstring> Keys(const CFacetStringPtrMap& map)
{
    std::vector<std::wstring> keys;
    for (int i = 0; i < map.GetSize(); ++i)
        keys.push_back(map.GetAt(i));
    return keys;
}

TEST(FacetPtrArray, CapacityGrowsTo11ThenDoublesWhenTheCountReachesIt)
{
    CFacetPtrArray a;
    EXPECT_EQ(a.GetCapacity(), 0);
    EXPECT_TRUE(a.IsEmpty());
    std::vector<int> capacities;
    for (int i = 0; i < 23; ++i) {
        ASSERT_TRUE(a.Add(Slot(i)));
        capacities.push_back(a.GetCapacity());
    }
    EXPECT_EQ(capacities[0], 11);  // first element
    EXPECT_EQ(capacities[9], 11);  // 10th
    EXPECT_EQ(capacities[10], 22); // 11th
    EXPECT_EQ(capacities[20], 22); // 21st
    EXPECT_EQ(capacities[21], 44); // 22nd
    EXPECT_EQ(a.GetSize(), 23);
    for (int i = 0; i < 23; ++i)
        EXPECT_EQ(a.GetAt(i), Slot(i));

    CFacetPtrArray preallocated(5);
    EXPECT_EQ(preallocated.GetCapacity(), 5);
    EXPECT_EQ(preallocated.GetSize(), 0);
    for (int i = 0; i < 5; ++i)
        preallocated.Add(Slot(i));
    EXPECT_EQ(preallocated.GetCapacity(), 10);
}

TEST(FacetPtrArray, IndexedOperationsCheckTheirRange)
{
    CFacetPtrArray a;
    EXPECT_FALSE(a.InsertAt(1, Slot(0)));
    EXPECT_FALSE(a.InsertAt(-1, Slot(0)));
    EXPECT_TRUE(a.InsertAt(0, Slot(2))); // == count: appends
    EXPECT_TRUE(a.InsertAt(0, Slot(0)));
    EXPECT_TRUE(a.InsertAt(1, Slot(1)));
    EXPECT_TRUE(a.InsertAt(3, Slot(3)));
    EXPECT_EQ(Contents(a), (std::vector<void*>{Slot(0), Slot(1), Slot(2), Slot(3)}));

    EXPECT_FALSE(a.SetAt(4, Slot(9)));
    EXPECT_FALSE(a.SetAt(-1, Slot(9)));
    EXPECT_TRUE(a.SetAt(3, Slot(4)));
    EXPECT_EQ(a.GetAt(3), Slot(4));
    EXPECT_EQ(a.GetAt(4), nullptr);
    EXPECT_EQ(a.GetAt(-1), nullptr);

    EXPECT_EQ(a.Find(Slot(2)), 2);
    EXPECT_EQ(a.Find(Slot(9)), -1);

    EXPECT_FALSE(a.Remove(-1));
    EXPECT_FALSE(a.Remove(0, 0));
    EXPECT_FALSE(a.Remove(2, 3));
    EXPECT_TRUE(a.Remove(1, 2));
    EXPECT_EQ(Contents(a), (std::vector<void*>{Slot(0), Slot(4)}));
    EXPECT_TRUE(a.Remove(1));
    EXPECT_EQ(Contents(a), (std::vector<void*>{Slot(0)}));

    CFacetPtrArray copy(a);
    copy.Add(Slot(5));
    EXPECT_EQ(a.GetSize(), 1);
    EXPECT_EQ(Contents(copy), (std::vector<void*>{Slot(0), Slot(5)}));

    a.Resize(3);
    EXPECT_EQ(a.GetSize(), 3);
    EXPECT_EQ(a.GetCapacity(), 3);
    EXPECT_EQ(Contents(a), (std::vector<void*>{nullptr, nullptr, nullptr}));

    a.Empty();
    EXPECT_TRUE(a.IsEmpty());
    EXPECT_EQ(a.GetCapacity(), 0);
    EXPECT_EQ(a.GetData(), nullptr);
}

struct Triple
{
    int a, b, c;
};

TEST(FacetValArray, CopiesValuesByteWiseAndKeepsItsBlockWhenEmptied)
{
    CFacetValArray values(sizeof(Triple));
    EXPECT_EQ(values.GetElementSize(), static_cast<int>(sizeof(Triple)));
    for (int i = 0; i < 12; ++i) {
        Triple t = {i, i * 10, -i};
        ASSERT_TRUE(values.Add(&t));
        if (i == 0) {
            EXPECT_EQ(values.GetCapacity(), 11);
        }
    }
    EXPECT_EQ(values.GetCapacity(), 22);
    EXPECT_EQ(values.GetSize(), 12);
    const Triple* fifth = static_cast<const Triple*>(values.GetAt(5));
    ASSERT_NE(fifth, nullptr);
    EXPECT_EQ(fifth->b, 50);
    EXPECT_EQ(values.GetAt(12), nullptr);
    EXPECT_EQ(values.GetAt(-1), nullptr);

    EXPECT_FALSE(values.Remove(11, 2));
    EXPECT_TRUE(values.Remove(1, 3));
    EXPECT_EQ(values.GetSize(), 9);
    EXPECT_EQ(static_cast<const Triple*>(values[1])->a, 4);
    EXPECT_EQ(static_cast<const Triple*>(values[8])->c, -11);

    const void* block = values.GetData();
    values.Empty();
    EXPECT_TRUE(values.IsEmpty());
    EXPECT_EQ(values.GetCapacity(), 22);
    EXPECT_EQ(values.GetData(), block);
    Triple t = {7, 8, 9};
    values.Add(&t);
    EXPECT_EQ(static_cast<const Triple*>(values.GetAt(0))->c, 9);
}

TEST(FacetStringPtrMap, BucketCountsAndHash)
{
    EXPECT_EQ(CFacetStringPtrMap(10).GetBucketCount(), 16);
    EXPECT_EQ(CFacetStringPtrMap().GetBucketCount(), 83);
    EXPECT_EQ(CFacetStringPtrMap(100).GetBucketCount(), 100);

    EXPECT_EQ(CFacetStringPtrMap::HashKey(L"ab"), 3331u); // 33 * 'b' + 'a'
    EXPECT_EQ(CFacetStringPtrMap::HashKey(L""), 0u);
    // Wraps at 32 bits: the same value as the unsigned arithmetic gives.
    unsigned int expected = 0;
    const std::wstring key(40, L'z');
    for (size_t i = 0; i < key.size(); ++i)
        expected = expected * 33u + L'z';
    EXPECT_EQ(CFacetStringPtrMap::HashKey(key.c_str()), expected);
}

TEST(FacetStringPtrMap, InsertSetFindAndRemove)
{
    CFacetStringPtrMap map;
    EXPECT_EQ(map.Find(L"x"), nullptr);
    EXPECT_TRUE(map.Insert(L"one", Slot(1)));
    EXPECT_TRUE(map.Insert(L"two", Slot(2)));
    EXPECT_FALSE(map.Insert(L"one", Slot(9)));
    EXPECT_EQ(map.Find(L"one"), Slot(1));
    EXPECT_EQ(map.Find(L"One"), nullptr); // case-sensitive
    EXPECT_EQ(map.GetSize(), 2);

    EXPECT_EQ(map.Set(L"one", Slot(3)), Slot(1));
    EXPECT_EQ(map.Find(L"one"), Slot(3));
    EXPECT_EQ(map.Set(L"three", Slot(4)), nullptr);
    EXPECT_EQ(map.GetSize(), 3);

    EXPECT_TRUE(map.Remove(L"two"));
    EXPECT_FALSE(map.Remove(L"two"));
    EXPECT_EQ(map.Find(L"two"), nullptr);
    EXPECT_EQ(map.GetSize(), 2);
    EXPECT_EQ(map.GetAt(2), nullptr);
    EXPECT_EQ(map.GetAt(-1), nullptr);

    map.RemoveAll();
    EXPECT_EQ(map.GetSize(), 0);
    EXPECT_EQ(map.GetBucketCount(), 83);
    EXPECT_TRUE(map.Insert(L"one", Slot(1)));

    // Many keys across all buckets.
    CFacetStringPtrMap big(16);
    for (int i = 0; i < 500; ++i)
        ASSERT_TRUE(big.Insert(std::to_wstring(i).c_str(), Slot(i % 64)));
    for (int i = 0; i < 500; i += 2)
        ASSERT_TRUE(big.Remove(std::to_wstring(i).c_str()));
    EXPECT_EQ(big.GetSize(), 250);
    for (int i = 0; i < 500; ++i)
        EXPECT_EQ(big.Find(std::to_wstring(i).c_str()), i % 2 ? Slot(i % 64) : nullptr) << i;
}

TEST(FacetStringPtrMap, WithoutBucketsEverythingFails)
{
    CFacetStringPtrMap map;
    map.Insert(L"gone", Slot(0));
    map.Resize(-5);
    EXPECT_EQ(map.GetBucketCount(), 0);
    EXPECT_EQ(map.GetSize(), 0);
    EXPECT_FALSE(map.Insert(L"a", Slot(1)));
    EXPECT_EQ(map.Set(L"a", Slot(1)), Slot(1));
    EXPECT_EQ(map.Find(L"a"), nullptr);
    EXPECT_FALSE(map.Remove(L"a"));
    EXPECT_EQ(map.GetAt(0), nullptr);
    map.Resize(20);
    EXPECT_TRUE(map.Insert(L"a", Slot(1)));
}

TEST(FacetStringPtrMap, ForEachVisitsEveryEntryOnceInTheOrderOfGetAt)
{
    CFacetStringPtrMap map(16);
    int values[40] = {};
    for (int i = 0; i < 40; ++i)
        ASSERT_TRUE(map.Insert(std::to_wstring(i * 7).c_str(), &values[i]));
    map.Find(L"21"); // moved to the head of its chain
    std::vector<std::wstring> visited;
    map.ForEach([&](const wchar_t* key, void* value) {
        visited.push_back(key);
        EXPECT_EQ(value, map.Find(key, false));
    });
    EXPECT_EQ(visited, Keys(map));
    EXPECT_EQ(visited.size(), 40u);

    CFacetStringPtrMap lazy; // no table made yet
    int calls = 0;
    lazy.ForEach([&](const wchar_t*, void*) { ++calls; });
    EXPECT_EQ(calls, 0);
}

// Counts its live instances, to see which values a map deleted.
struct CountedValue
{
    CountedValue() { ++live; }
    ~CountedValue() { --live; }
    static int live;
};
int CountedValue::live = 0;

TEST(FacetStringPtrMap, DeleteValuesDeletesEachOwnedValueAndKeepsTheBuckets)
{
    CFacetStringPtrMap map(20);
    for (int i = 0; i < 25; ++i)
        map.Insert(std::to_wstring(i).c_str(), new CountedValue);
    ASSERT_EQ(CountedValue::live, 25);
    map.DeleteValues<CountedValue>();
    EXPECT_EQ(CountedValue::live, 0);
    EXPECT_EQ(map.GetSize(), 0);
    EXPECT_EQ(map.GetBucketCount(), 20);
    EXPECT_TRUE(map.Insert(L"again", new CountedValue));
    map.DeleteValues<CountedValue>();
    EXPECT_EQ(CountedValue::live, 0);
}

TEST(FacetStringPtrMap, EnumerationRunsFromTheLastBucketWithNewestFirst)
{
    // With 16 buckets: "a" (97), "q" (113) and "A" (65) share bucket 1,
    // "o" (111) is in bucket 15 and "p" (112) in bucket 0.
    CFacetStringPtrMap map(16);
    map.Insert(L"a", Slot(0));
    map.Insert(L"p", Slot(1));
    map.Insert(L"q", Slot(2));
    map.Insert(L"o", Slot(3));
    map.Insert(L"A", Slot(4));
    EXPECT_EQ(Keys(map), (std::vector<std::wstring>{L"o", L"A", L"q", L"a", L"p"}));
    EXPECT_EQ(map[1], std::wstring(L"A"));

    // Looking up without optimisation keeps the order; with it, the found
    // entry moves to the front of its chain.
    EXPECT_EQ(map.Find(L"a", false), Slot(0));
    EXPECT_EQ(Keys(map), (std::vector<std::wstring>{L"o", L"A", L"q", L"a", L"p"}));
    EXPECT_EQ(map.Find(L"a"), Slot(0));
    EXPECT_EQ(Keys(map), (std::vector<std::wstring>{L"o", L"a", L"A", L"q", L"p"}));
    // A repeated insertion is a lookup with move-to-front.
    EXPECT_FALSE(map.Insert(L"q", Slot(9)));
    EXPECT_EQ(Keys(map), (std::vector<std::wstring>{L"o", L"q", L"a", L"A", L"p"}));

    // Unlinking from the head, the middle and the tail keeps the chains whole.
    EXPECT_TRUE(map.Remove(L"a"));
    EXPECT_EQ(Keys(map), (std::vector<std::wstring>{L"o", L"q", L"A", L"p"}));
    EXPECT_TRUE(map.Remove(L"A"));
    EXPECT_TRUE(map.Remove(L"q"));
    EXPECT_EQ(Keys(map), (std::vector<std::wstring>{L"o", L"p"}));
    EXPECT_EQ(map.Find(L"p"), Slot(1));
    EXPECT_EQ(map.Find(L"o"), Slot(3));
}

} // namespace

// -- UniqueHandle: one owner for every kind of system handle --

namespace {

// A handle kind whose closes are counted; -1 means "nothing open", and 0 is
// what its (pretend) API returns on failure.
struct CountedTraits
{
    typedef int Handle;
    static int Invalid() { return -1; }
    static bool IsValid(int handle) { return handle > 0; }
    static void Close(int handle) { closed.push_back(handle); }
    static std::vector<int> closed;
};
std::vector<int> CountedTraits::closed;

typedef Facet::UniqueHandle<CountedTraits> CountedHandle;

} // namespace

TEST(UniqueHandle, ClosesWhatItOwnsOnceWhenItGoes)
{
    CountedTraits::closed.clear();
    {
        CountedHandle owner(7);
        EXPECT_TRUE(static_cast<bool>(owner));
        EXPECT_EQ(owner.Get(), 7);
    }
    EXPECT_EQ(CountedTraits::closed, std::vector<int>{7});
}

TEST(UniqueHandle, AFailedOpenIsKeptAsTheOneInvalidValueAndNeverClosed)
{
    CountedTraits::closed.clear();
    {
        CountedHandle failed(0);
        EXPECT_FALSE(static_cast<bool>(failed));
        EXPECT_EQ(failed.Get(), -1);
        CountedHandle empty;
        EXPECT_EQ(empty.Get(), -1);
    }
    EXPECT_TRUE(CountedTraits::closed.empty());
}

TEST(UniqueHandle, MoveHandsOwnershipOverAndClosesWhatTheTargetHeld)
{
    CountedTraits::closed.clear();
    CountedHandle first(1);
    CountedHandle second(std::move(first));
    EXPECT_FALSE(static_cast<bool>(first));
    EXPECT_EQ(second.Get(), 1);
    CountedHandle third(3);
    third = std::move(second);
    EXPECT_EQ(CountedTraits::closed, std::vector<int>{3});
    EXPECT_EQ(third.Get(), 1);
    EXPECT_EQ(second.Get(), -1);
}

TEST(UniqueHandle, ReleaseGivesUpAndResetClosesTheOldOne)
{
    CountedTraits::closed.clear();
    CountedHandle owner(4);
    EXPECT_EQ(owner.Release(), 4);
    EXPECT_FALSE(static_cast<bool>(owner));
    owner.Reset(5);
    owner.Reset(6);
    EXPECT_EQ(CountedTraits::closed, std::vector<int>{5});
    *owner.Receive() = 8;
    EXPECT_EQ(CountedTraits::closed, (std::vector<int>{5, 6}));
    owner.Reset();
    EXPECT_EQ(CountedTraits::closed, (std::vector<int>{5, 6, 8}));
}

TEST(UniqueHandle, KernelHandleClosesTheHandleAndTakesEitherFailureAsNull)
{
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(event, nullptr);
    {
        const Facet::UniqueKernelHandle owner(event);
        DWORD flags = 0;
        EXPECT_TRUE(GetHandleInformation(owner.Get(), &flags));
    }
    DWORD flags = 0;
    EXPECT_FALSE(GetHandleInformation(event, &flags));
    const Facet::UniqueKernelHandle failedFile(INVALID_HANDLE_VALUE);
    EXPECT_EQ(failedFile.Get(), nullptr);
    EXPECT_FALSE(static_cast<bool>(failedFile));
}
