// The game panel's layout scales as one: at twice the design size every control sits at
// twice its rectangle in the table, and its text is drawn twice as large.
#include <QLabel>
#include <QSignalSpy>

#include "app/client/boardview.h"

#include "app/client/panellayout.h"
#include "window_fixture.h"

namespace quorbit::apptest {
namespace {

TEST(Layout, AtTwiceTheDesignSizeEveryControlSitsAtTwiceItsRectangle) {
    TempHome home;
    Tchat chat;
    chat.setSettingsPath(home.settings());
    chat.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&chat));
    ASSERT_EQ(chat.panelLayout().scale(), 1.0);
    const QFont designStatus = chat.findChild<QLabel*>("label_status")->font();
    QWidget* area = chat.centralWidget();
    const QSize around = chat.size() - area->size();  // the menu bar above the game panel
    chat.resize(QSize(app::kDesignArea.width() * 2, app::kDesignArea.height() * 2) + around);
    ASSERT_TRUE(waitFor([&] { return chat.panelLayout().scale() == 2.0; })) << chat.panelLayout().scale();

    // Labels that take the size of their text keep only their place.
    const QStringList sizedByText = {"label_score", "label_bonus", "image_timer"};
    for (const app::Place& p : app::panelPlaces()) {
        const QWidget* w = chat.findChild<QWidget*>(p.name);
        ASSERT_NE(w, nullptr) << qPrintable(p.name);
        const QRect twice(p.rect.topLeft() * 2, p.rect.size() * 2);
        const bool textSized = std::any_of(sizedByText.begin(), sizedByText.end(),
                                           [&p](const QString& s) { return p.name.startsWith(s); });
        EXPECT_EQ(textSized ? QRect(w->pos(), twice.size()) : w->geometry(), twice) << qPrintable(p.name);
    }
    const QFont status = chat.findChild<QLabel*>("label_status")->font();
    EXPECT_DOUBLE_EQ(status.pointSizeF(), designStatus.pointSizeF() * 2);
    // The board reports the square clicked whatever its drawn size.
    auto* board = chat.findChild<app::BoardView*>("paintbox_board");
    QSignalSpy clicks(board, &app::BoardView::clicked);
    QTest::mouseClick(board, Qt::LeftButton, {}, QPoint(2 * (56 * 3 + 10), 2 * (56 * 2 + 20)));
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(clicks[0][0].toInt(), 3);
    EXPECT_EQ(clicks[0][1].toInt(), 2);
}

}  // namespace
}  // namespace quorbit::apptest
