#include "ui/TForm1.h"

namespace kavrin {

TForm1::TForm1(QWidget* parent) : QMainWindow(parent) { setWindowTitle(QStringLiteral("Kavrin")); }

}  // namespace kavrin
