#pragma once
#include <QDialog>

namespace kavrin {

class TForm11 : public QDialog {
    Q_OBJECT
public:
    explicit TForm11(QWidget* parent = nullptr);
};

}  // namespace kavrin
