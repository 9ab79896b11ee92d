#include "ui/TForm7.h"

namespace kavrin {

TForm7::TForm7(QWidget* parent) : QDialog(parent) { setWindowTitle(QStringLiteral("Денежные операции")); }

}  // namespace kavrin
