// Attribute tables: the skin attributes a class reads, declared as one static
// table per class of name -> reader-and-setter. A table is chained to the
// table of the class's base, so setting an attribute scans the class's own
// entries first, then its base class's, and so on; the first entry whose name
// matches reads the value and applies it. The same tables say which names a
// class knows and what kind of value each takes, so a skin checker that reads
// them knows exactly what the code reads.
#pragma once

#include <cstddef>

namespace Facet {

// How an entry's name is compared with the name written in a skin.
enum AttributeCase {
    kNameExact,   // the same characters
    kNameAnyCase, // the same characters, ignoring case
};

// What a value is, as far as a skin checker needs to know; the entry's setter
// reads the value itself.
enum AttributeKind {
    kValueText,
    kValueFlag, // "true" or anything else for false
    kValueNumber,
    kValueNumbers,    // numbers separated by commas
    kValueColor,      // hexadecimal AARRGGBB after one optional '#'
    kValueBlankColor, // the same after leading blanks
    kValueImage,      // an image description
    kValueFont,       // the id of a font registered by the skin
    kValueList,       // name="value" pairs for a part of the control
};

struct TAttributeInfo
{
    const wchar_t* name;
    AttributeKind kind;
    AttributeCase match;
};

// Whether `name` selects the entry `info`.
bool MatchesAttributeName(const TAttributeInfo& info, const wchar_t* name);

// One entry of a class's table: reads `value` and applies it to `target`.
template <class Target>
struct TAttribute
{
    using Apply = void (*)(Target& target, const wchar_t* value);

    constexpr TAttribute(const wchar_t* name, AttributeKind kind, Apply apply, AttributeCase match = kNameExact)
        : info{name, kind, match}, apply(apply)
    {
    }

    TAttributeInfo info;
    Apply apply;
};

// One link of a chain of tables whose targets all derive from Root (for
// controls, CControlUI). Tables are static objects that are never destroyed
// through this type.
template <class Root>
class TAttributeTableBase
{
public:
    TAttributeTableBase(const TAttributeTableBase&) = delete;
    TAttributeTableBase& operator=(const TAttributeTableBase&) = delete;

    // The entry `name` selects in this table or a base table, the first that
    // matches; null when none does.
    const TAttributeInfo* Find(const wchar_t* name) const
    {
        for (const TAttributeTableBase* table = this; table != nullptr; table = table->m_pBase) {
            const size_t index = table->IndexOf(name);
            if (index < table->Count())
                return &table->InfoAt(index);
        }
        return nullptr;
    }

    // Applies `value` through the entry Find(name) gives; false when there is none.
    bool Apply(Root& target, const wchar_t* name, const wchar_t* value) const
    {
        for (const TAttributeTableBase* table = this; table != nullptr; table = table->m_pBase) {
            const size_t index = table->IndexOf(name);
            if (index < table->Count()) {
                table->ApplyAt(index, target, value);
                return true;
            }
        }
        return false;
    }

    // Calls `visit` with every entry: this table's in order, then its base's.
    template <class Visit>
    void ForEach(Visit visit) const
    {
        for (const TAttributeTableBase* table = this; table != nullptr; table = table->m_pBase) {
            for (size_t i = 0; i < table->Count(); ++i)
                visit(table->InfoAt(i));
        }
    }

    // This table's own entries, without its base's.
    virtual size_t Count() const = 0;
    virtual const TAttributeInfo& InfoAt(size_t index) const = 0;

protected:
    explicit TAttributeTableBase(const TAttributeTableBase* base) : m_pBase(base) {}
    ~TAttributeTableBase() = default;

    virtual void ApplyAt(size_t index, Root& target, const wchar_t* value) const = 0;

private:
    // The index of this table's first entry `name` selects, else Count().
    size_t IndexOf(const wchar_t* name) const
    {
        const size_t count = Count();
        for (size_t i = 0; i < count; ++i) {
            if (MatchesAttributeName(InfoAt(i), name))
                return i;
        }
        return count;
    }

    const TAttributeTableBase* m_pBase;
};

// The table of class Target (derived from Root), chained to its base's table.
// Declared as a function-local static beside the class's entries:
//   static const TAttributeTable table(kEntries, &CBase::GetAttributeTable());
template <class Root, class Target, size_t N>
class TAttributeTable final : public TAttributeTableBase<Root>
{
public:
    TAttributeTable(const TAttribute<Target> (&entries)[N], const TAttributeTableBase<Root>* base)
        : TAttributeTableBase<Root>(base), m_pEntries(entries)
    {
    }

    size_t Count() const override { return N; }
    const TAttributeInfo& InfoAt(size_t index) const override { return m_pEntries[index].info; }

private:
    // The chain is only reached through a Target's own table, so the target is one.
    void ApplyAt(size_t index, Root& target, const wchar_t* value) const override
    {
        m_pEntries[index].apply(static_cast<Target&>(target), value);
    }

    const TAttribute<Target>* m_pEntries;
};

// A link that applies the table of a part an Owner holds (such as the item
// settings of a list) to that part, then tells the owner.
template <class Root, class Owner, class Part>
class TPartAttributeTable final : public TAttributeTableBase<Root>
{
public:
    using Select = Part& (*)(Owner& owner);
    using Changed = void (*)(Owner& owner);

    TPartAttributeTable(const TAttributeTableBase<Part>& part, Select select, Changed changed,
                        const TAttributeTableBase<Root>* base)
        : TAttributeTableBase<Root>(base), m_part(part), m_select(select), m_changed(changed)
    {
    }

    size_t Count() const override { return m_part.Count(); }
    const TAttributeInfo& InfoAt(size_t index) const override { return m_part.InfoAt(index); }

private:
    void ApplyAt(size_t index, Root& target, const wchar_t* value) const override
    {
        Owner& owner = static_cast<Owner&>(target);
        m_part.Apply(m_select(owner), m_part.InfoAt(index).name, value);
        if (m_changed != nullptr)
            m_changed(owner);
    }

    const TAttributeTableBase<Part>& m_part;
    Select m_select;
    Changed m_changed;
};

} // namespace Facet
