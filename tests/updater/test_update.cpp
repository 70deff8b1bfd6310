#include "updater/update.h"

#include <unistd.h>

#include <gmock/gmock.h>

#include "platform/vb/vberror.h"

namespace {

// Calls that are refused before anything is loaded or downloaded.
TEST(Update, RefusesCallsItCannotServe)
{
    const int self = static_cast<int>(getpid());
    struct Case
    {
        const char *name;
        QString member;
        QJsonArray arguments;
        int number;
    };
    const Case cases[] = {
        {"unknown member", QStringLiteral("Check"), {QStringLiteral("hxrtk"), 1, 0, 5, self, false}, 438},
        {"too few arguments", QStringLiteral("CheckUpdate"), {QStringLiteral("hxrtk"), 1, 0, 5, self}, 450},
        {"product no text", QStringLiteral("CheckUpdate"), {7, 1, 0, 5, self, false}, 13},
        {"major no number", QStringLiteral("CheckUpdate"), {QStringLiteral("hxrtk"), QStringLiteral("1"), 0, 5, self, false}, 13},
        {"minor beyond 16 bits", QStringLiteral("CheckUpdate"), {QStringLiteral("hxrtk"), 1, 40000, 5, self, false}, 6},
        {"another process", QStringLiteral("CheckUpdate"), {QStringLiteral("hxrtk"), 1, 0, 5, self + 1, false}, 5},
        {"bad product code", QStringLiteral("CheckUpdate"), {QStringLiteral("hxr/tk"), 1, 0, 5, self, false}, 5},
    };
    for (const Case &c : cases) {
        updater::Update update;
        try {
            update.invoke(c.member, c.arguments, getpid());
            ADD_FAILURE() << c.name << ": no error";
        } catch (const platform::vb::VbError &error) {
            EXPECT_EQ(error.number(), c.number) << c.name;
        }
    }
}

} // namespace
