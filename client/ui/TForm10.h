#pragma once
#include <QDialog>

namespace kavrin {

class TForm10 : public QDialog {
    Q_OBJECT
public:
    explicit TForm10(QWidget* parent = nullptr);
};

}  // namespace kavrin
