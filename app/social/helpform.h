#pragma once
// Thelp: created once at start, shown and hidden on request.
#include <QDialog>

class Thelp : public QDialog {
    Q_OBJECT
public:
    explicit Thelp(QWidget* parent = nullptr);
};
