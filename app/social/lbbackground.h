#pragma once
// TLbBackground: tiles a picture over its owner window's whole area whenever the window
// paints, beneath everything the window draws itself. Not a widget of its own.
#include <QObject>
#include <QPixmap>

class QWidget;

class TLbBackground : public QObject {
    Q_OBJECT
public:
    explicit TLbBackground(QWidget* owner);

    QPixmap picture() const { return picture_; }
    void setPicture(const QPixmap& p);  // repaints the owner
    bool active() const { return active_; }
    void setActive(bool on);            // repaints the owner

    // The grid the picture is laid in for an owner of that size: (width / picture width)
    // + 2 columns and (height / picture height) + 2 rows from the top left; 0 x 0 for an
    // empty picture.
    static QSize grid(QSize owner, QSize picture);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* owner_;
    QPixmap picture_;
    bool active_ = true;
};
