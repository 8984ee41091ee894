#include "TunnelKit/Observers.h"

#include <gtest/gtest.h>
#include <optional>

using namespace tunnelkit;

TEST(ObserverList, NotifiesLiveSubscriptionsOnly) {
    ObserverList<int> list;
    std::vector<int> seen;
    auto first = list.subscribe([&](int v) { seen.push_back(v); });
    {
        auto second = list.subscribe([&](int v) { seen.push_back(v * 10); });
        list.notify(1);
    }
    list.notify(2);
    first.cancel();
    list.notify(3);
    EXPECT_EQ(seen, (std::vector<int>{1, 10, 2}));
    EXPECT_EQ(list.count(), 0u);
}

TEST(ObserverList, CancellingAnotherObserverDuringNotificationSkipsIt) {
    ObserverList<int> list;
    std::optional<ObserverList<int>::Subscription> victim;
    int victimCalls = 0;
    auto killer = list.subscribe([&](int) { victim.reset(); });
    victim = list.subscribe([&](int) { ++victimCalls; });
    list.notify(0);
    EXPECT_EQ(victimCalls, 0);
}

TEST(ObserverList, SubscribingDuringNotificationTakesEffectNextTime) {
    ObserverList<int> list;
    std::vector<ObserverList<int>::Subscription> added;
    int lateCalls = 0;
    auto adder = list.subscribe([&](int) { added.push_back(list.subscribe([&](int) { ++lateCalls; })); });
    list.notify(0);
    EXPECT_EQ(lateCalls, 0);
    list.notify(0);
    EXPECT_EQ(lateCalls, 1);
}

TEST(ObserverList, AssignNotifiesOnlyOnARealChange) {
    ObserverList<int> list;
    int calls = 0;
    auto observer = list.subscribe([&](int) { ++calls; });
    std::string field = "a";
    EXPECT_FALSE(list.assign(field, std::string("a"), 1));
    EXPECT_EQ(calls, 0);
    EXPECT_TRUE(list.assign(field, std::string("b"), 1));
    EXPECT_EQ(field, "b");
    EXPECT_EQ(calls, 1);
}
