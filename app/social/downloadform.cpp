#include "social/downloadform.h"

Tdownload::Tdownload(QWidget* parent) : QDialog(parent) {
    setObjectName("Tdownload");
    setWindowTitle("Quorbit - Download");
}
