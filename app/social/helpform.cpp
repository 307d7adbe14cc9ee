#include "social/helpform.h"

Thelp::Thelp(QWidget* parent) : QDialog(parent) {
    setObjectName("Thelp");
    setWindowTitle("Quorbit - Help");
}
