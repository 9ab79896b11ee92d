#include "ui/TForm9.h"

namespace kavrin {

TForm9::TForm9(QWidget* parent) : QDialog(parent) { setWindowTitle(QStringLiteral("Отчёт по списанию средств")); }

}  // namespace kavrin
