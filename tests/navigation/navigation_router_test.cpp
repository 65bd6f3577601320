#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "navigation/navigation_router.h"

using tarvo::navigation::NavigationRouter;
using tarvo::navigation::ScreenId;

namespace {

ScreenId Id(std::uint32_t value) { return static_cast<ScreenId>(value); }

}  // namespace

TEST(ScreenId, NumbersOfBothProducts) {
    EXPECT_EQ(static_cast<std::uint32_t>(ScreenId::Splash), 0u);
    EXPECT_EQ(static_cast<std::uint32_t>(ScreenId::Login), 1u);
    EXPECT_EQ(static_cast<std::uint32_t>(ScreenId::Devices), 8u);
    EXPECT_EQ(static_cast<std::uint32_t>(ScreenId::MainMenu), 9u);
    EXPECT_EQ(static_cast<std::uint32_t>(ScreenId::Play), 10u);
    EXPECT_EQ(static_cast<std::uint32_t>(ScreenId::Matchmaking), 11u);
    EXPECT_EQ(static_cast<std::uint32_t>(ScreenId::Statistics), 14u);
    EXPECT_EQ(static_cast<std::uint32_t>(ScreenId::Settings), 15u);
    EXPECT_EQ(static_cast<std::uint32_t>(ScreenId::GraphicsCompatibility), 18u);
    EXPECT_EQ(static_cast<std::uint32_t>(ScreenId::Gameplay), 19u);
    EXPECT_EQ(static_cast<std::uint32_t>(ScreenId::Pause), 20u);
    EXPECT_EQ(static_cast<std::uint32_t>(ScreenId::OstrelGate), 21u);
    EXPECT_EQ(static_cast<std::uint32_t>(ScreenId::OstrelOverview), 22u);
    EXPECT_EQ(static_cast<std::uint32_t>(ScreenId::OstrelTarv), 28u);
    EXPECT_EQ(static_cast<std::uint32_t>(ScreenId::OstrelRelease), 31u);
    EXPECT_EQ(static_cast<std::uint32_t>(ScreenId::OstrelBackend), 35u);
    static_assert(sizeof(ScreenId) == 4);
}

TEST(NavigationRouter, RouteTableHoldsZeroToThirtyFiveInOrder) {
    const std::vector<ScreenId>& routes = NavigationRouter::AllRoutes();
    ASSERT_EQ(routes.size(), 36u);
    for (std::uint32_t i = 0; i < routes.size(); ++i) EXPECT_EQ(routes[i], Id(i));
    EXPECT_EQ(&routes, &NavigationRouter::AllRoutes());

    const NavigationRouter router(ScreenId::Splash);
    EXPECT_TRUE(router.HasRoute(Id(0)));
    EXPECT_TRUE(router.HasRoute(Id(35)));
    EXPECT_FALSE(router.HasRoute(Id(36)));
    EXPECT_FALSE(router.HasRoute(Id(0xFFFFFFFFu)));
}

TEST(NavigationRouter, ConcurrentFirstUseSeesOneTable) {
    std::vector<const std::vector<ScreenId>*> seen(8, nullptr);
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < seen.size(); ++i) {
        threads.emplace_back([&seen, i] { seen[i] = &NavigationRouter::AllRoutes(); });
    }
    for (auto& thread : threads) thread.join();
    for (const auto* table : seen) {
        EXPECT_EQ(table, seen[0]);
        EXPECT_EQ(table->size(), 36u);
    }
}

TEST(NavigationRouter, NavigateRefusesUnknownAndCurrentScreens) {
    NavigationRouter router(ScreenId::Splash);
    EXPECT_EQ(router.Current(), ScreenId::Splash);
    EXPECT_EQ(router.Previous(), ScreenId::Splash);

    router.Navigate(ScreenId::MainMenu);
    EXPECT_EQ(router.Current(), ScreenId::MainMenu);
    EXPECT_EQ(router.Previous(), ScreenId::Splash);

    router.Navigate(ScreenId::MainMenu);  // same screen: previous stays
    EXPECT_EQ(router.Previous(), ScreenId::Splash);
    router.Navigate(Id(36));
    router.Navigate(Id(0xFFFFFFFFu));
    EXPECT_EQ(router.Current(), ScreenId::MainMenu);
    EXPECT_EQ(router.Previous(), ScreenId::Splash);

    router.Back();
    EXPECT_EQ(router.Current(), ScreenId::Splash);
    EXPECT_EQ(router.Previous(), ScreenId::MainMenu);
    router.Back();
    EXPECT_EQ(router.Current(), ScreenId::MainMenu);
    EXPECT_EQ(router.Previous(), ScreenId::Splash);
}

TEST(NavigationRouter, OwnerConsoleStartsOnItsGateAndReachesEveryPage) {
    NavigationRouter router(ScreenId::OstrelGate);
    for (std::uint32_t id = 22; id <= 35; ++id) {
        const ScreenId before = router.Current();
        router.Navigate(Id(id));
        EXPECT_EQ(router.Current(), Id(id));
        EXPECT_EQ(router.Previous(), before);
    }
    // The router does not know the product: game screens are routes too.
    router.Navigate(ScreenId::Gameplay);
    EXPECT_EQ(router.Current(), ScreenId::Gameplay);
}
