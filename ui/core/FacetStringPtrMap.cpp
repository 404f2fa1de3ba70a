#include "FacetStringPtrMap.h"

#include <cstdlib>
#include <cwchar>
#include <new>

namespace Facet {

struct CFacetStringPtrMap::TItem
{
    CFacetString Key;
    void* Data;
    TItem* pPrev;
    TItem* pNext;
};

CFacetStringPtrMap::CFacetStringPtrMap(int bucketCount) : m_aT(nullptr), m_nBuckets(0), m_nCount(0)
{
    Resize(bucketCount < kMinimumBuckets ? kMinimumBuckets : bucketCount);
}

CFacetStringPtrMap::~CFacetStringPtrMap()
{
    DeleteAll();
}

void CFacetStringPtrMap::DeleteAll()
{
    for (int i = 0; m_aT != nullptr && i < m_nBuckets; ++i) {
        TItem* item = m_aT[i];
        while (item != nullptr) {
            TItem* next = item->pNext;
            delete item;
            item = next;
        }
    }
    free(m_aT);
    m_aT = nullptr;
    m_nBuckets = 0;
    m_nCount = 0;
}

void CFacetStringPtrMap::Resize(int bucketCount)
{
    DeleteAll();
    // The table itself is made by the first insertion.
    m_nBuckets = bucketCount > 0 ? bucketCount : 0;
}

bool CFacetStringPtrMap::MakeTable()
{
    if (m_aT == nullptr)
        m_aT = static_cast<TItem**>(calloc(static_cast<size_t>(m_nBuckets), sizeof(TItem*)));
    return m_aT != nullptr;
}

unsigned int CFacetStringPtrMap::HashKey(const wchar_t* key)
{
    unsigned int hash = 0;
    if (key == nullptr)
        return hash;
    for (size_t i = wcslen(key); i > 0; --i)
        hash = hash * 33u + static_cast<unsigned int>(key[i - 1]);
    return hash;
}

CFacetStringPtrMap::TItem* CFacetStringPtrMap::FindItem(const wchar_t* key, bool optimize) const
{
    if (key == nullptr || m_nBuckets == 0 || m_nCount == 0)
        return nullptr;
    const unsigned int slot = HashKey(key) % static_cast<unsigned int>(m_nBuckets);
    for (TItem* item = m_aT[slot]; item != nullptr; item = item->pNext) {
        if (item->Key != key)
            continue;
        if (optimize && item != m_aT[slot]) {
            // Unlink, then link at the head of the chain.
            item->pPrev->pNext = item->pNext;
            if (item->pNext != nullptr)
                item->pNext->pPrev = item->pPrev;
            item->pPrev = nullptr;
            item->pNext = m_aT[slot];
            m_aT[slot]->pPrev = item;
            m_aT[slot] = item;
        }
        return item;
    }
    return nullptr;
}

void* CFacetStringPtrMap::Find(const wchar_t* key, bool optimize) const
{
    TItem* item = FindItem(key, optimize);
    return item != nullptr ? item->Data : nullptr;
}

bool CFacetStringPtrMap::Insert(const wchar_t* key, void* value)
{
    if (key == nullptr || m_nBuckets == 0)
        return false;
    if (FindItem(key, true) != nullptr || !MakeTable())
        return false;
    const unsigned int slot = HashKey(key) % static_cast<unsigned int>(m_nBuckets);
    TItem* item = new (std::nothrow) TItem;
    if (item == nullptr)
        return false;
    item->Key = key;
    item->Data = value;
    item->pPrev = nullptr;
    item->pNext = m_aT[slot];
    if (item->pNext != nullptr)
        item->pNext->pPrev = item;
    m_aT[slot] = item;
    ++m_nCount;
    return true;
}

void* CFacetStringPtrMap::Set(const wchar_t* key, void* value)
{
    if (m_nBuckets == 0)
        return value;
    TItem* item = FindItem(key, true);
    if (item != nullptr) {
        void* old = item->Data;
        item->Data = value;
        return old;
    }
    Insert(key, value);
    return nullptr;
}

bool CFacetStringPtrMap::Remove(const wchar_t* key)
{
    if (key == nullptr || m_nBuckets == 0 || m_nCount == 0)
        return false;
    const unsigned int slot = HashKey(key) % static_cast<unsigned int>(m_nBuckets);
    for (TItem* item = m_aT[slot]; item != nullptr; item = item->pNext) {
        if (item->Key != key)
            continue;
        if (item->pPrev != nullptr)
            item->pPrev->pNext = item->pNext;
        else
            m_aT[slot] = item->pNext;
        if (item->pNext != nullptr)
            item->pNext->pPrev = item->pPrev;
        delete item;
        --m_nCount;
        return true;
    }
    return false;
}

void CFacetStringPtrMap::RemoveAll()
{
    Resize(m_nBuckets);
}

int CFacetStringPtrMap::GetSize() const
{
    return m_nCount;
}

int CFacetStringPtrMap::GetBucketCount() const
{
    return m_nBuckets;
}

const wchar_t* CFacetStringPtrMap::GetAt(int index) const
{
    if (index < 0 || index >= m_nCount)
        return nullptr;
    int position = 0;
    for (int slot = m_nBuckets - 1; slot >= 0; --slot) {
        for (TItem* item = m_aT[slot]; item != nullptr; item = item->pNext) {
            if (position == index)
                return item->Key.GetData();
            ++position;
        }
    }
    return nullptr;
}

void CFacetStringPtrMap::VisitEntries(void (*visit)(void* context, const wchar_t* key, void* value),
                                      void* context) const
{
    if (m_aT == nullptr)
        return; // no table made yet: no entries
    for (int slot = m_nBuckets - 1; slot >= 0; --slot) {
        for (TItem* item = m_aT[slot]; item != nullptr; item = item->pNext)
            visit(context, item->Key.GetData(), item->Data);
    }
}

const wchar_t* CFacetStringPtrMap::operator[](int index) const
{
    return GetAt(index);
}

} // namespace Facet
