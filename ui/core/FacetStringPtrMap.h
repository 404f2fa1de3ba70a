// CFacetStringPtrMap: a chained hash map from text to an untyped pointer.
#pragma once

#include "FacetString.h"

namespace Facet {

// Keys are compared case-sensitively. Values are never owned: removing an
// entry or clearing the map frees the key but leaves the value alone.
//
// Hash: h = 0; for each key character from the last to the first,
// h = h * 33 + c (unsigned 32-bit, wrapping); bucket = h % bucket count.
// New entries go to the head of their chain, and a successful Find moves the
// entry to the head (unless told not to).
//
// The bucket table is made at the first insertion, so that a map that stays
// empty (the custom attributes of most controls) takes no memory of its own.
//
// Enumeration order (ForEach, GetAt): buckets from the last down to 0, each
// chain from head to tail. ForEach walks the entries in one pass; GetAt(i)
// walks from the start each time, which a loop that may change the map during
// the walk needs (it must then use Find(key, false) to keep the order stable).
class CFacetStringPtrMap
{
public:
    static const int kDefaultBuckets = 83;
    static const int kMinimumBuckets = 16;

    // Fewer than 16 buckets become 16.
    explicit CFacetStringPtrMap(int bucketCount = kDefaultBuckets);
    ~CFacetStringPtrMap();
    CFacetStringPtrMap(const CFacetStringPtrMap&) = delete;
    CFacetStringPtrMap& operator=(const CFacetStringPtrMap&) = delete;

    // Deletes every entry and makes a new empty table of `bucketCount`
    // buckets (negative becomes 0; with 0 buckets every lookup fails and every
    // insertion is refused).
    void Resize(int bucketCount = kDefaultBuckets);
    // The entry's value, or null when absent. With `optimize` the entry moves
    // to the head of its chain (this changes the enumeration order).
    void* Find(const wchar_t* key, bool optimize = true) const;
    // False when the key is already present (its value is kept) or the map has
    // no buckets.
    bool Insert(const wchar_t* key, void* value);
    // Replaces the value of a present key and returns the old value; inserts
    // an absent key and returns null. Without buckets returns `value`.
    void* Set(const wchar_t* key, void* value);
    // False when absent.
    bool Remove(const wchar_t* key);
    // Deletes every entry, keeping the bucket count.
    void RemoveAll();
    int GetSize() const;
    int GetBucketCount() const;
    // Calls `visit(key, value)` for every entry in enumeration order. The
    // visitor must not insert or remove entries, nor move them (Find with
    // `optimize`), of this map.
    template <typename Visit>
    void ForEach(Visit visit) const
    {
        VisitEntries(
            [](void* context, const wchar_t* key, void* value) { (*static_cast<Visit*>(context))(key, value); },
            &visit);
    }
    // For a map whose values it owns as `T`: deletes every value, then every
    // entry, keeping the bucket count.
    template <typename T>
    void DeleteValues()
    {
        ForEach([](const wchar_t*, void* value) { delete static_cast<T*>(value); });
        RemoveAll();
    }
    // The key of the index-th entry in enumeration order, or null.
    const wchar_t* GetAt(int index) const;
    const wchar_t* operator[](int index) const;

    static unsigned int HashKey(const wchar_t* key);

private:
    struct TItem;

    TItem* FindItem(const wchar_t* key, bool optimize) const;
    void VisitEntries(void (*visit)(void* context, const wchar_t* key, void* value), void* context) const;
    // Makes the bucket table when there is none yet; false when memory runs out.
    bool MakeTable();
    void DeleteAll();

    TItem** m_aT;
    int m_nBuckets;
    int m_nCount;
};

} // namespace Facet
