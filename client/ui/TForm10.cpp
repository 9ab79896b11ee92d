#include "ui/TForm10.h"

namespace kavrin {

TForm10::TForm10(QWidget* parent) : QDialog(parent) { setWindowTitle(QStringLiteral("Настройки")); }

}  // namespace kavrin
