#pragma once
#include <QDialog>

namespace kavrin {

class TForm7 : public QDialog {
    Q_OBJECT
public:
    explicit TForm7(QWidget* parent = nullptr);
};

}  // namespace kavrin
