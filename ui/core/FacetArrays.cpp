#include "FacetArrays.h"

#include <climits>
#include <cstdlib>
#include <cstring>

namespace Facet {

namespace {

// The capacity after an insertion that made the count reach `capacity`, or 0
// when it would not fit an int.
int GrownCapacity(int capacity)
{
    if (capacity == 0)
        return 11;
    return capacity > INT_MAX / 2 ? 0 : capacity * 2;
}

// Bytes for `count` elements of `elementSize` (at least 1, so that a block
// always exists once allocated).
size_t BlockBytes(int count, int elementSize)
{
    const size_t bytes = static_cast<size_t>(count) * static_cast<size_t>(elementSize);
    return bytes == 0 ? 1 : bytes;
}

} // namespace

// ---------------------------------------------------------------- CFacetPtrArray

CFacetPtrArray::CFacetPtrArray(int capacity) : m_ppVoid(nullptr), m_nCount(0), m_nAllocated(0)
{
    if (capacity > 0) {
        m_ppVoid = static_cast<void**>(malloc(static_cast<size_t>(capacity) * sizeof(void*)));
        if (m_ppVoid != nullptr)
            m_nAllocated = capacity;
    }
}

CFacetPtrArray::CFacetPtrArray(const CFacetPtrArray& src) : m_ppVoid(nullptr), m_nCount(0), m_nAllocated(0)
{
    for (int i = 0; i < src.m_nCount; ++i)
        Add(src.m_ppVoid[i]);
}

CFacetPtrArray& CFacetPtrArray::operator=(const CFacetPtrArray& src)
{
    if (this != &src) {
        Empty();
        for (int i = 0; i < src.m_nCount; ++i)
            Add(src.m_ppVoid[i]);
    }
    return *this;
}

CFacetPtrArray::~CFacetPtrArray()
{
    free(m_ppVoid);
}

void CFacetPtrArray::Empty()
{
    free(m_ppVoid);
    m_ppVoid = nullptr;
    m_nCount = 0;
    m_nAllocated = 0;
}

void CFacetPtrArray::Resize(int count)
{
    Empty();
    if (count <= 0)
        return;
    m_ppVoid = static_cast<void**>(calloc(static_cast<size_t>(count), sizeof(void*)));
    if (m_ppVoid != nullptr) {
        m_nCount = count;
        m_nAllocated = count;
    }
}

bool CFacetPtrArray::IsEmpty() const
{
    return m_nCount == 0;
}

int CFacetPtrArray::Find(const void* p) const
{
    for (int i = 0; i < m_nCount; ++i) {
        if (m_ppVoid[i] == p)
            return i;
    }
    return -1;
}

bool CFacetPtrArray::Grow()
{
    ++m_nCount;
    if (m_nCount >= m_nAllocated) {
        const int capacity = GrownCapacity(m_nAllocated);
        void** block = capacity == 0
                           ? nullptr
                           : static_cast<void**>(realloc(m_ppVoid, static_cast<size_t>(capacity) * sizeof(void*)));
        if (block == nullptr) {
            --m_nCount;
            return false;
        }
        m_ppVoid = block;
        m_nAllocated = capacity;
    }
    return true;
}

bool CFacetPtrArray::Add(void* p)
{
    if (!Grow())
        return false;
    m_ppVoid[m_nCount - 1] = p;
    return true;
}

bool CFacetPtrArray::SetAt(int index, void* p)
{
    if (index < 0 || index >= m_nCount)
        return false;
    m_ppVoid[index] = p;
    return true;
}

bool CFacetPtrArray::InsertAt(int index, void* p)
{
    if (index == m_nCount)
        return Add(p);
    if (index < 0 || index > m_nCount)
        return false;
    if (!Grow())
        return false;
    memmove(&m_ppVoid[index + 1], &m_ppVoid[index], static_cast<size_t>(m_nCount - 1 - index) * sizeof(void*));
    m_ppVoid[index] = p;
    return true;
}

bool CFacetPtrArray::Remove(int index, int count)
{
    if (index < 0 || count < 1 || count > m_nCount - index)
        return false;
    const int tail = m_nCount - index - count;
    if (tail > 0)
        memmove(&m_ppVoid[index], &m_ppVoid[index + count], static_cast<size_t>(tail) * sizeof(void*));
    m_nCount -= count;
    return true;
}

int CFacetPtrArray::GetSize() const
{
    return m_nCount;
}
int CFacetPtrArray::GetCapacity() const
{
    return m_nAllocated;
}
void** CFacetPtrArray::GetData()
{
    return m_ppVoid;
}
void* const* CFacetPtrArray::GetData() const
{
    return m_ppVoid;
}

void* CFacetPtrArray::GetAt(int index) const
{
    if (index < 0 || index >= m_nCount)
        return nullptr;
    return m_ppVoid[index];
}

void* CFacetPtrArray::operator[](int index) const
{
    return m_ppVoid[index];
}

// ---------------------------------------------------------------- CFacetValArray

CFacetValArray::CFacetValArray(int elementSize, int capacity)
    : m_pVoid(nullptr), m_iElementSize(elementSize > 0 ? elementSize : 0), m_nCount(0), m_nAllocated(0)
{
    if (capacity > 0 && m_iElementSize > 0) {
        m_pVoid = static_cast<unsigned char*>(malloc(BlockBytes(capacity, m_iElementSize)));
        if (m_pVoid != nullptr)
            m_nAllocated = capacity;
    }
}

CFacetValArray::CFacetValArray(const CFacetValArray& src)
    : m_pVoid(nullptr), m_iElementSize(src.m_iElementSize), m_nCount(0), m_nAllocated(0)
{
    for (int i = 0; i < src.m_nCount; ++i)
        Add(src.GetAt(i));
}

CFacetValArray& CFacetValArray::operator=(const CFacetValArray& src)
{
    if (this != &src) {
        free(m_pVoid);
        m_pVoid = nullptr;
        m_iElementSize = src.m_iElementSize;
        m_nCount = 0;
        m_nAllocated = 0;
        for (int i = 0; i < src.m_nCount; ++i)
            Add(src.GetAt(i));
    }
    return *this;
}

CFacetValArray::~CFacetValArray()
{
    free(m_pVoid);
}

void CFacetValArray::Empty()
{
    m_nCount = 0;
}

bool CFacetValArray::IsEmpty() const
{
    return m_nCount == 0;
}

bool CFacetValArray::Add(const void* value)
{
    ++m_nCount;
    if (m_nCount >= m_nAllocated) {
        const int capacity = GrownCapacity(m_nAllocated);
        unsigned char* block = capacity == 0 ? nullptr
                                             : static_cast<unsigned char*>(
                                                   realloc(m_pVoid, BlockBytes(capacity, m_iElementSize)));
        if (block == nullptr) {
            --m_nCount;
            return false;
        }
        m_pVoid = block;
        m_nAllocated = capacity;
    }
    if (m_iElementSize > 0)
        memcpy(m_pVoid + static_cast<size_t>(m_nCount - 1) * m_iElementSize, value, m_iElementSize);
    return true;
}

bool CFacetValArray::Remove(int index, int count)
{
    if (index < 0 || count < 1 || count > m_nCount - index)
        return false;
    const int tail = m_nCount - index - count;
    if (tail > 0) {
        memmove(m_pVoid + static_cast<size_t>(index) * m_iElementSize,
                m_pVoid + static_cast<size_t>(index + count) * m_iElementSize,
                static_cast<size_t>(tail) * m_iElementSize);
    }
    m_nCount -= count;
    return true;
}

int CFacetValArray::GetSize() const
{
    return m_nCount;
}
int CFacetValArray::GetCapacity() const
{
    return m_nAllocated;
}
int CFacetValArray::GetElementSize() const
{
    return m_iElementSize;
}
void* CFacetValArray::GetData()
{
    return m_pVoid;
}
const void* CFacetValArray::GetData() const
{
    return m_pVoid;
}

void* CFacetValArray::GetAt(int index) const
{
    if (index < 0 || index >= m_nCount)
        return nullptr;
    return m_pVoid + static_cast<size_t>(index) * m_iElementSize;
}

void* CFacetValArray::operator[](int index) const
{
    return m_pVoid + static_cast<size_t>(index) * m_iElementSize;
}

} // namespace Facet
