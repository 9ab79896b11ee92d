#include "ui/TForm2.h"

namespace kavrin {

TForm2::TForm2(QWidget* parent) : QDialog(parent) { setWindowTitle(QStringLiteral("Список каналов пользователя")); }

}  // namespace kavrin
