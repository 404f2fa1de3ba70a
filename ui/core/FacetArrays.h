// Growable arrays: of untyped pointers (CFacetPtrArray) and of fixed-size
// values copied byte-wise (CFacetValArray).
#pragma once

namespace Facet {

// An array of untyped pointers that it never owns.
// Growth: when an insertion makes the count reach the capacity, the capacity
// doubles (or becomes 11 from 0).
class CFacetPtrArray
{
public:
    // A positive capacity allocates that many slots at once.
    explicit CFacetPtrArray(int capacity = 0);
    // Starts empty and adds the source's elements in order.
    CFacetPtrArray(const CFacetPtrArray& src);
    // Deep copy of the pointer slots (not of what they point to).
    CFacetPtrArray& operator=(const CFacetPtrArray& src);
    ~CFacetPtrArray();

    // Frees the block; count and capacity become 0.
    void Empty();
    // Frees the block and allocates `count` null slots; count = capacity = `count`.
    void Resize(int count);
    bool IsEmpty() const;
    // First index holding `p` (pointer identity), or -1.
    int Find(const void* p) const;
    // Appends `p`; false (array unchanged) when memory runs out.
    bool Add(void* p);
    // False unless 0 <= index < count.
    bool SetAt(int index, void* p);
    // Inserts before `index` (index == count appends); false when the index is
    // outside 0..count or memory runs out.
    bool InsertAt(int index, void* p);
    // Removes `count` elements from `index`; false when the range is invalid.
    bool Remove(int index, int count = 1);
    int GetSize() const;
    int GetCapacity() const;
    void** GetData();
    void* const* GetData() const;
    // Null unless 0 <= index < count.
    void* GetAt(int index) const;
    // Unchecked.
    void* operator[](int index) const;

private:
    bool Grow(); // count + 1 with the growth rule; false and unchanged on failure

    void** m_ppVoid;
    int m_nCount;
    int m_nAllocated;
};

// An array of values of one fixed size, copied in and out byte-wise.
// Grows like CFacetPtrArray.
class CFacetValArray
{
public:
    // `elementSize` bytes per element; a positive `capacity` preallocates.
    explicit CFacetValArray(int elementSize, int capacity = 0);
    CFacetValArray(const CFacetValArray& src);
    CFacetValArray& operator=(const CFacetValArray& src);
    ~CFacetValArray();

    // Sets the count to 0 and keeps the block.
    void Empty();
    bool IsEmpty() const;
    // Copies element-size bytes from `value`; false (array unchanged) when
    // memory runs out.
    bool Add(const void* value);
    // Removes `count` elements from `index`; false when the range is invalid.
    bool Remove(int index, int count = 1);
    int GetSize() const;
    int GetCapacity() const;
    int GetElementSize() const;
    void* GetData();
    const void* GetData() const;
    // The element's address, or null out of range.
    void* GetAt(int index) const;
    // Unchecked.
    void* operator[](int index) const;

private:
    unsigned char* m_pVoid;
    int m_iElementSize;
    int m_nCount;
    int m_nAllocated;
};

} // namespace Facet
