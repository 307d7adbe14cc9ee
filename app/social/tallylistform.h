#pragma once
// Ttallylist: created once at start, shown and hidden on request.
#include <QDialog>

class Ttallylist : public QDialog {
    Q_OBJECT
public:
    explicit Ttallylist(QWidget* parent = nullptr);
};
