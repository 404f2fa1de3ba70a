#include "ValueTypesTestPrint.h"

#include <functional>
#include <memory>
#include <vector>

using Facet::CDelegateBase;
using Facet::CEventSource;
using Facet::MakeDelegate;

namespace {

std::vector<int> g_freeCalls;

bool FreeTrue(void* param)
{
    g_freeCalls.push_back(*static_cast<int*>(param));
    return true;
}

bool FreeFalse(void*)
{
    g_freeCalls.push_back(-1);
    return false;
}

// A listener that records its calls in a shared log and then runs an optional
// action (which may change the source it is listed in).
struct Listener
{
    Listener(int id, std::vector<int>* log) : id(id), log(log) {}

    bool OnEvent(void*)
    {
        log->push_back(id);
        if (action)
            action();
        return answer;
    }
    bool OnOther(void*) { return true; }

    int id;
    std::vector<int>* log;
    bool answer = true;
    std::function<void()> action;
};

TEST(Delegate, EqualWhenObjectAndFunctionMatch)
{
    std::vector<int> log;
    Listener a(1, &log);
    Listener b(2, &log);
    EXPECT_TRUE(MakeDelegate(&a, &Listener::OnEvent).Equals(MakeDelegate(&a, &Listener::OnEvent)));
    EXPECT_FALSE(MakeDelegate(&a, &Listener::OnEvent).Equals(MakeDelegate(&b, &Listener::OnEvent)));
    EXPECT_FALSE(MakeDelegate(&a, &Listener::OnEvent).Equals(MakeDelegate(&a, &Listener::OnOther)));
    EXPECT_TRUE(MakeDelegate(&FreeTrue).Equals(MakeDelegate(&FreeTrue)));
    EXPECT_FALSE(MakeDelegate(&FreeTrue).Equals(MakeDelegate(&FreeFalse)));
    EXPECT_FALSE(MakeDelegate(&FreeTrue).Equals(MakeDelegate(&a, &Listener::OnEvent)));

    std::unique_ptr<CDelegateBase> copy(MakeDelegate(&b, &Listener::OnEvent).Clone());
    EXPECT_TRUE(copy->Equals(MakeDelegate(&b, &Listener::OnEvent)));
    EXPECT_EQ(copy->GetObject(), &b);
    EXPECT_TRUE((*copy)(nullptr));
    EXPECT_EQ(log, std::vector<int>{2});
}

TEST(EventSource, CallsInOrderAndStopsAtTheFirstFalse)
{
    std::vector<int> log;
    Listener first(1, &log), second(2, &log), third(3, &log);
    CEventSource source;
    EXPECT_FALSE(static_cast<bool>(source));
    EXPECT_TRUE(source(nullptr));

    source += MakeDelegate(&first, &Listener::OnEvent);
    source += MakeDelegate(&second, &Listener::OnEvent);
    source += MakeDelegate(&first, &Listener::OnEvent); // already listed: ignored
    source += MakeDelegate(&third, &Listener::OnEvent);
    EXPECT_TRUE(static_cast<bool>(source));
    EXPECT_TRUE(source(nullptr));
    EXPECT_EQ(log, (std::vector<int>{1, 2, 3}));

    log.clear();
    second.answer = false;
    EXPECT_FALSE(source(nullptr));
    EXPECT_EQ(log, (std::vector<int>{1, 2}));

    log.clear();
    source -= MakeDelegate(&second, &Listener::OnEvent);
    source -= MakeDelegate(&second, &Listener::OnEvent); // no longer listed
    EXPECT_TRUE(source(nullptr));
    EXPECT_EQ(log, (std::vector<int>{1, 3}));

    source -= MakeDelegate(&first, &Listener::OnEvent);
    source -= MakeDelegate(&third, &Listener::OnEvent);
    EXPECT_FALSE(static_cast<bool>(source));
}

TEST(EventSource, FreeFunctionsAreWrappedWithoutAnObject)
{
    g_freeCalls.clear();
    CEventSource source;
    source += &FreeTrue;
    source += &FreeTrue;
    source += &FreeFalse;
    int value = 7;
    EXPECT_FALSE(source(&value));
    EXPECT_EQ(g_freeCalls, (std::vector<int>{7, -1}));

    source -= &FreeFalse;
    g_freeCalls.clear();
    EXPECT_TRUE(source(&value));
    EXPECT_EQ(g_freeCalls, std::vector<int>{7});
}

TEST(EventSource, DelegatesMayRemoveThemselvesOrOthersDuringACall)
{
    std::vector<int> log;
    Listener first(1, &log), second(2, &log), third(3, &log), fourth(4, &log);
    CEventSource source;
    source += MakeDelegate(&first, &Listener::OnEvent);
    source += MakeDelegate(&second, &Listener::OnEvent);
    source += MakeDelegate(&third, &Listener::OnEvent);
    source += MakeDelegate(&fourth, &Listener::OnEvent);

    // The second removes itself and the third, which has not had its turn.
    second.action = [&] {
        source -= MakeDelegate(&second, &Listener::OnEvent);
        source -= MakeDelegate(&third, &Listener::OnEvent);
    };
    EXPECT_TRUE(source(nullptr));
    EXPECT_EQ(log, (std::vector<int>{1, 2, 4}));

    log.clear();
    EXPECT_TRUE(source(nullptr));
    EXPECT_EQ(log, (std::vector<int>{1, 4}));

    // The last one removes the first, which already had its turn.
    fourth.action = [&] { source -= MakeDelegate(&first, &Listener::OnEvent); };
    log.clear();
    EXPECT_TRUE(source(nullptr));
    EXPECT_EQ(log, (std::vector<int>{1, 4}));
    log.clear();
    fourth.action = nullptr;
    EXPECT_TRUE(source(nullptr));
    EXPECT_EQ(log, std::vector<int>{4});
}

TEST(EventSource, DelegatesAddedDuringACallWaitForTheNextCall)
{
    std::vector<int> log;
    Listener first(1, &log), added(2, &log);
    CEventSource source;
    source += MakeDelegate(&first, &Listener::OnEvent);
    first.action = [&] { source += MakeDelegate(&added, &Listener::OnEvent); };

    EXPECT_TRUE(source(nullptr));
    EXPECT_EQ(log, std::vector<int>{1});
    log.clear();
    EXPECT_TRUE(source(nullptr));
    EXPECT_EQ(log, (std::vector<int>{1, 2}));

    // Removed and added back during one call: the new copy waits, the
    // removed one is skipped.
    log.clear();
    first.action = [&] {
        source -= MakeDelegate(&added, &Listener::OnEvent);
        source += MakeDelegate(&added, &Listener::OnEvent);
    };
    EXPECT_TRUE(source(nullptr));
    EXPECT_EQ(log, std::vector<int>{1});
    log.clear();
    first.action = nullptr;
    EXPECT_TRUE(source(nullptr));
    EXPECT_EQ(log, (std::vector<int>{1, 2}));
}

TEST(EventSource, NestedCallsAndDestructionDuringACall)
{
    std::vector<int> log;
    Listener outer(1, &log), inner(2, &log), last(3, &log);
    CEventSource source;
    source += MakeDelegate(&outer, &Listener::OnEvent);
    source += MakeDelegate(&inner, &Listener::OnEvent);
    source += MakeDelegate(&last, &Listener::OnEvent);

    // The first calls the source again; in that nested call the second
    // removes itself, so the outer call must skip it afterwards.
    bool nested = false;
    outer.action = [&] {
        if (nested)
            return;
        nested = true;
        source(nullptr);
    };
    inner.action = [&] { source -= MakeDelegate(&inner, &Listener::OnEvent); };
    EXPECT_TRUE(source(nullptr));
    EXPECT_EQ(log, (std::vector<int>{1, 1, 2, 3, 3}));

    // A delegate that destroys the source ends the call with its answer;
    // the rest of the list is not called.
    std::vector<int> destroyLog;
    Listener killer(10, &destroyLog), after(11, &destroyLog);
    CEventSource* doomed = new CEventSource;
    *doomed += MakeDelegate(&killer, &Listener::OnEvent);
    *doomed += MakeDelegate(&after, &Listener::OnEvent);
    killer.action = [&] { delete doomed; };
    EXPECT_TRUE((*doomed)(nullptr));
    EXPECT_EQ(destroyLog, std::vector<int>{10});
}

} // namespace
