#include "platform/win/programstate.h"

#include <memory>

#include <gtest/gtest.h>

namespace platform::win {
namespace {

struct MarkState : ProgramState<MarkState>
{
    int mark = 0;
};

TEST(ProgramState, AScopeMakesItsStateCurrentAndGivesBackTheOneBefore)
{
    MarkState outer;
    outer.mark = 1;
    MarkState inner;
    inner.mark = 2;
    EXPECT_EQ(MarkState::current().mark, 0) << "the process's own state";
    {
        const MarkState::Scope outerScope(outer);
        {
            const MarkState::Scope innerScope(inner);
            EXPECT_EQ(MarkState::current().mark, 2);
        }
        EXPECT_EQ(MarkState::current().mark, 1);
    }
    EXPECT_EQ(MarkState::current().mark, 0);
}

TEST(ProgramStateDeathTest, ScopesEndedOutOfOrderStopTheProgram)
{
#if PLATFORM_WIN_PROGRAMSTATE_CHECKED
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            MarkState outer;
            MarkState inner;
            auto outerScope = std::make_unique<MarkState::Scope>(outer);
            auto innerScope = std::make_unique<MarkState::Scope>(inner);
            outerScope.reset(); // inner is still current
        },
        "scope ended out of order");
#else
    GTEST_SKIP() << "checked in debug and sanitizer builds only";
#endif
}

} // namespace
} // namespace platform::win
