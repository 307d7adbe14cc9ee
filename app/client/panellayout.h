#pragma once
// The game panel's layout as data: every control's rectangle in design units (pixels at
// the design size, the smallest the window takes), and the one scale factor that places
// them all. The window's central area decides the factor: the largest at which the panel
// fits, never below 1, so board, rack, seats, chat and panels grow together and keep their
// proportions. Fonts grow with the same factor and are drawn at the device size.
#include <QFont>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QString>
#include <vector>

namespace quorbit::app {

// One control's place: its object name and its rectangle within its parent, in design units.
struct Place {
    QString name;
    QRect rect;
};

// The game panel at the design size, and the window's central area around it (the panel
// with its margin of 15 by 12).
inline constexpr QSize kDesignPanel{777, 530};
inline constexpr QSize kDesignArea{792, 542};

// The table: every control of the game panel, by object name.
const std::vector<Place>& panelPlaces();
// The rectangle of that control in the table; an empty one for a name it does not hold.
QRect designRect(const QString& name);

class PanelLayout : public QObject {
    Q_OBJECT
public:
    // `area` is the window's central widget, `panel` the game panel inside it, whose
    // controls the table names.
    PanelLayout(QWidget* area, QWidget* panel);

    // Once every control exists: records the design fonts and places them at the scale
    // the area's size gives (1 at the design size). From then on every resize of the
    // area places them again.
    void start();
    // A control whose font its owner sets (scaled by `scale()` itself), left alone here.
    void keepOwnFont(QWidget* w);

    qreal scale() const { return scale_; }
    // Design pixels at the current scale.
    int px(int design) const { return qRound(design * scale_); }
    // Places every control of the table at `scale`.
    void apply(qreal scale);

    static QRect scaled(const QRect& r, qreal s);
    // The scale at which the panel fills an area of that size: never below 1.
    static qreal fitting(QSize area);

signals:
    // The scale changed: what draws itself at the device size draws again.
    void scaleChanged(qreal scale);
    // Every control is at its table place again: the controls whose place or size
    // follows the game (the turn pointer, the clock's bar) are to be set again.
    void placed();

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    QWidget* area_;
    QWidget* panel_;
    qreal scale_ = 0;  // nothing placed yet
    QFont panelFont_;
    QHash<QWidget*, QFont> fonts_;  // every control's font at the design size
    std::vector<QPointer<QWidget>> ownFont_;
};

}  // namespace quorbit::app
