#include "ui/TForm12.h"

namespace kavrin {

TForm12::TForm12(QWidget* parent) : QDialog(parent) { setWindowTitle(QStringLiteral("Form12")); }

}  // namespace kavrin
