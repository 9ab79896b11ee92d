#include "ui/TForm4.h"

namespace kavrin {

TForm4::TForm4(QWidget* parent) : QDialog(parent) { setWindowTitle(QStringLiteral("Улицы")); }

}  // namespace kavrin
