#include "app/client/board_accessible.h"

#include <QAccessibleWidget>
#include <vector>

#include "app/client/boardview.h"
#include "app/widgets/clickimage.h"

namespace quorbit::app {

namespace {

class BoardAccessible;

// One square of the board; it lives as long as the board's own interface.
class SquareAccessible final : public QAccessibleInterface {
public:
    SquareAccessible(BoardAccessible* board, BoardView* view, int index) : board_(board), view_(view), index_(index) {}

    bool isValid() const override { return view_ != nullptr; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return view_->window()->windowHandle(); }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name ? view_->squareName(index_) : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        const QRect r = view_->squareRect(index_);
        return QRect(view_->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::Role role() const override { return QAccessible::Cell; }
    QAccessible::State state() const override {
        QAccessible::State s;
        s.focusable = true;
        s.selectable = true;
        s.focused = view_->hasFocus() && BoardView::indexOf(view_->focusSquare()) == index_;
        const int mark = view_->marks()[static_cast<std::size_t>(index_ % client::kBoardSize)]
                                       [static_cast<std::size_t>(index_ / client::kBoardSize)];
        s.selected = mark == client::kPicCross || mark == client::kPicFrame;
        s.invisible = !view_->isVisible();
        return s;
    }

private:
    BoardAccessible* board_;
    BoardView* view_;
    int index_;
};

class BoardAccessible final : public QAccessibleWidget {
public:
    explicit BoardAccessible(BoardView* view) : QAccessibleWidget(view, QAccessible::Table, "Board") {
        for (int i = 0; i < BoardView::kSquares; ++i) {
            auto* square = new SquareAccessible(this, view, i);
            QAccessible::registerAccessibleInterface(square);
            squares_.push_back(square);
        }
    }
    ~BoardAccessible() override {
        for (SquareAccessible* square : squares_) QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(square));
    }

    BoardView* view() const { return static_cast<BoardView*>(widget()); }
    int childCount() const override { return BoardView::kSquares; }
    QAccessibleInterface* child(int index) const override {
        return index >= 0 && index < BoardView::kSquares ? squares_[static_cast<std::size_t>(index)] : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (std::size_t i = 0; i < squares_.size(); ++i)
            if (squares_[i] == child) return static_cast<int>(i);
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const QPoint p = view()->mapFromGlobal(QPoint(x, y));
        for (int i = 0; i < BoardView::kSquares; ++i)
            if (view()->squareRect(i).contains(p)) return child(i);
        return nullptr;
    }
    QAccessibleInterface* focusChild() const override {
        return view()->hasFocus() ? child(BoardView::indexOf(view()->focusSquare())) : nullptr;
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Description)
            return "Seven columns by seven rows. Arrow keys move, Space chooses a letter, Enter submits the word.";
        return QAccessibleWidget::text(t);
    }

private:
    std::vector<SquareAccessible*> squares_;
};

QAccessibleInterface* SquareAccessible::parent() const { return board_; }

// A clickable picture: a button whose press is a left click.
class ClickImageAccessible final : public QAccessibleWidget {
public:
    explicit ClickImageAccessible(ClickImage* image) : QAccessibleWidget(image, QAccessible::Button) {}
    QString text(QAccessible::Text t) const override {
        // Without a name of its own, a picture button says what its tooltip says.
        const QString own = QAccessibleWidget::text(t);
        return t == QAccessible::Name && own.isEmpty() ? widget()->toolTip() : own;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override {
        if (name == pressAction()) static_cast<ClickImage*>(widget())->click();
    }
};

QAccessibleInterface* factory(const QString&, QObject* object) {
    if (auto* view = qobject_cast<BoardView*>(object)) return new BoardAccessible(view);
    if (auto* image = qobject_cast<ClickImage*>(object)) return new ClickImageAccessible(image);
    return nullptr;
}

}  // namespace

void installAccessibleFactories() {
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    (void)installed;
}

}  // namespace quorbit::app
