#include "social/aboutform.h"

Tabout::Tabout(QWidget* parent) : QDialog(parent) {
    setObjectName("Tabout");
    setWindowTitle("Quorbit - About");
}
