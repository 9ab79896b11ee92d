#pragma once
#include <QDialog>

namespace kavrin {

class TForm6 : public QDialog {
    Q_OBJECT
public:
    explicit TForm6(QWidget* parent = nullptr);
};

}  // namespace kavrin
