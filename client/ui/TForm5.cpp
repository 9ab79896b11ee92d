#include "ui/TForm5.h"

namespace kavrin {

TForm5::TForm5(QWidget* parent) : QDialog(parent) { setWindowTitle(QStringLiteral("Редактирование пакетов")); }

}  // namespace kavrin
