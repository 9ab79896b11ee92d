#include "ui/TForm3.h"

namespace kavrin {

TForm3::TForm3(QWidget* parent) : QDialog(parent) { setWindowTitle(QStringLiteral("Редактор каналов")); }

}  // namespace kavrin
