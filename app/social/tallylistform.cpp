#include "social/tallylistform.h"

Ttallylist::Ttallylist(QWidget* parent) : QDialog(parent) {
    setObjectName("Ttallylist");
    setWindowTitle("Quorbit - Tally List");
}
