#pragma once
#include <QDialog>

namespace kavrin {

class TForm4 : public QDialog {
    Q_OBJECT
public:
    explicit TForm4(QWidget* parent = nullptr);
};

}  // namespace kavrin
