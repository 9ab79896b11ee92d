#include "ui/TForm8.h"

namespace kavrin {

TForm8::TForm8(QWidget* parent) : QDialog(parent) { setWindowTitle(QStringLiteral("Приход/Расход")); }

}  // namespace kavrin
