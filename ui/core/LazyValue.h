// CLazyValue: a member that most objects never set, kept on the heap from its
// first change on.
#pragma once

#include <memory>

namespace Facet {

// Holds a T that reads as a default-constructed T until it is first edited;
// only then is the T made. A control tree of thousands of controls of which
// few carry a tooltip or a background image stays small this way, and a
// layout pass walks through less memory.
template <typename T>
class CLazyValue
{
public:
    CLazyValue() = default;
    CLazyValue(const CLazyValue&) = delete;
    CLazyValue& operator=(const CLazyValue&) = delete;

    // The value, or a default T while it has never been edited.
    const T& Get() const { return m_value ? *m_value : Default(); }
    // The value to change, made (default-constructed) on the first call.
    T& Edit()
    {
        if (!m_value)
            m_value.reset(new T());
        return *m_value;
    }
    bool IsMade() const { return m_value != nullptr; }
    // Back to reading as a default T, the memory given back.
    void Reset() { m_value.reset(); }

private:
    static const T& Default()
    {
        static const T empty;
        return empty;
    }

    std::unique_ptr<T> m_value;
};

} // namespace Facet
