#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "ui/core/Delegate.h"
#include "ui/core/Geometry.h"
#include "ui/core/StringOrId.h"

namespace
{

class Recorder
{
public:
    explicit Recorder(std::string* log) : m_log(log) {}
    bool Yes(void* p)
    {
        m_log->append("Y").append(static_cast<const char*>(p));
        return true;
    }
    bool No(void* p)
    {
        m_log->append("N").append(static_cast<const char*>(p));
        return false;
    }

private:
    std::string* m_log;
};

// Counts live instances to show that the list deletes its copies.
int g_liveCounters = 0;

class CountingDelegate : public CDelegateBase
{
public:
    explicit CountingDelegate(void* obj) : CDelegateBase(obj, nullptr) { ++g_liveCounters; }
    CountingDelegate(const CountingDelegate& rhs) : CDelegateBase(rhs) { ++g_liveCounters; }
    ~CountingDelegate() override { --g_liveCounters; }
    CDelegateBase* Copy() const override { return new CountingDelegate(*this); }
    bool Invoke(void*) override { return true; }
};

}  // namespace

TEST(Delegate, ListRunsInOrderAndStopsAtFirstFalse)
{
    std::string log;
    Recorder a(&log), b(&log);
    char arg[] = "!";

    CDelegateList empty;
    EXPECT_FALSE(empty.HasDelegates());
    EXPECT_TRUE(empty.Invoke(arg));

    CDelegateList list;
    list += MakeDelegate(&a, &Recorder::Yes);
    list += MakeDelegate(&a, &Recorder::Yes);  // equal: ignored
    list += MakeDelegate(&b, &Recorder::Yes);  // other object: kept
    list += MakeDelegate(&a, &Recorder::No);
    list += MakeDelegate(&b, &Recorder::No);  // never reached
    EXPECT_TRUE(list.HasDelegates());
    EXPECT_FALSE(list.Invoke(arg));
    EXPECT_EQ(log, "Y!Y!N!");

    EXPECT_TRUE(MakeDelegate(&a, &Recorder::Yes) == MakeDelegate(&a, &Recorder::Yes));
    EXPECT_FALSE(MakeDelegate(&a, &Recorder::Yes) == MakeDelegate(&a, &Recorder::No));
}

TEST(Delegate, ListOwnsItsCopies)
{
    int objects[2];
    {
        CDelegateList list;
        CountingDelegate first(&objects[0]);
        list.Add(first);
        list.Add(first);
        list.Add(CountingDelegate(&objects[1]));
        EXPECT_EQ(g_liveCounters, 3);  // `first` and two copies
    }
    EXPECT_EQ(g_liveCounters, 0);
}

TEST(Delegate, RemoveTakesOutOnlyTheEqualDelegate)
{
    std::string log;
    Recorder a(&log), b(&log);
    char arg[] = "!";
    CDelegateList list;
    list += MakeDelegate(&a, &Recorder::Yes);
    list += MakeDelegate(&b, &Recorder::Yes);
    EXPECT_TRUE(list.Remove(MakeDelegate(&a, &Recorder::Yes)));
    EXPECT_FALSE(list.Remove(MakeDelegate(&a, &Recorder::Yes))) << "already gone";
    EXPECT_FALSE(list.Remove(MakeDelegate(&b, &Recorder::No))) << "same object, other handler";
    list.Invoke(arg);
    EXPECT_EQ(log, "Y!");

    int object;
    {
        CDelegateList counted;
        counted.Add(CountingDelegate(&object));
        EXPECT_EQ(g_liveCounters, 1);
        EXPECT_TRUE(counted.Remove(CountingDelegate(&object)));
        EXPECT_EQ(g_liveCounters, 0) << "the removed copy is freed";
    }
}

TEST(Geometry, RectOperations)
{
    CUIRect r(10, 20, 30, 60);
    EXPECT_EQ(r.GetWidth(), 20);
    EXPECT_EQ(r.GetHeight(), 40);
    r.Join(CUIRect(0, 30, 15, 70));
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 20);
    EXPECT_EQ(r.right, 30);
    EXPECT_EQ(r.bottom, 70);
    r.Offset(5, -5);
    EXPECT_EQ(r.left, 5);
    EXPECT_EQ(r.bottom, 65);
    r.ResetOffset();
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 30);
    EXPECT_EQ(r.bottom, 50);
    // No special case for empty rectangles: joining one still moves the edges.
    CUIRect e;
    e.Join(CUIRect(5, 5, 6, 6));
    EXPECT_EQ(e.left, 0);
    EXPECT_EQ(e.right, 6);

    RECT raw = {1, 2, 3, 4};
    CUIRect fromRaw(raw);
    EXPECT_EQ(fromRaw.bottom, 4);
    EXPECT_EQ(sizeof(CUIRect), sizeof(RECT));
    EXPECT_EQ(CUISize(3, 4).cy, 4);
    EXPECT_EQ(CUIPoint(3, 4).x, 3);
}

TEST(StringOrId, HoldsEitherForm)
{
    CUIStringOrId id(static_cast<WORD>(130));
    EXPECT_TRUE(id.IsId());
    EXPECT_EQ(id.GetId(), 130);
    EXPECT_EQ(id.GetString(), nullptr);
    EXPECT_EQ(id.m_lpstr, MAKEINTRESOURCEW(130));

    CUIStringOrId name(L"Setup.xml");
    EXPECT_FALSE(name.IsId());
    EXPECT_EQ(std::wstring(name.GetString()), L"Setup.xml");
    EXPECT_EQ(sizeof(CUIStringOrId), sizeof(void*));
}
