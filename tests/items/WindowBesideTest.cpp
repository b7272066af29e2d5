#include "items/WindowBeside.h"

#include <gtest/gtest.h>

TEST(WindowBesideTest, ToTheRightWhereThereIsRoomElseLeftElseAgainstTheRoomierEdge)
{
    const QRect screen(0, 0, 1280, 1024);
    const QSize picture(520, 400);
    struct Row {
        const char *name;
        QRect main;
        std::optional<QPoint> expected;
    };
    const Row rows[] = {
        {"room on the right", QRect(0, 0, 700, 500), QPoint(700, 0)},
        {"exactly enough on the right", QRect(0, 10, 760, 500), QPoint(760, 10)},
        {"right too narrow, left has room", QRect(600, 30, 700, 500), QPoint(80, 30)},
        // Neither side has room: as little of the form covered as the screen allows.
        {"neither side, more on the right", QRect(290, 0, 700, 500), QPoint(760, 0)},
        {"neither side, more on the left", QRect(300, 0, 960, 500), QPoint(0, 0)},
        // Kept on the screen where the main window's top is too low for it.
        {"top moved up", QRect(0, 800, 700, 200), QPoint(700, 624)},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(windowBeside(row.main, picture, screen), row.expected);
    }
    EXPECT_EQ(windowBeside(QRect(0, 0, 100, 100), QSize(200, 2000), screen), std::nullopt) << "taller than the screen";
    EXPECT_EQ(windowBeside(QRect(0, 0, 100, 100), QSize(2000, 200), screen), std::nullopt) << "wider than the screen";
}
