#include "ui/TForm6.h"

namespace kavrin {

TForm6::TForm6(QWidget* parent) : QDialog(parent) { setWindowTitle(QStringLiteral("Редактор списка каналов пакета")); }

}  // namespace kavrin
