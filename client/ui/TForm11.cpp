#include "ui/TForm11.h"

namespace kavrin {

TForm11::TForm11(QWidget* parent) : QDialog(parent) { setWindowTitle(QStringLiteral("Введите пароль")); }

}  // namespace kavrin
