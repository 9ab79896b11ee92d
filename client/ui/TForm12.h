#pragma once
#include <QDialog>

namespace kavrin {

class TForm12 : public QDialog {
    Q_OBJECT
public:
    explicit TForm12(QWidget* parent = nullptr);
};

}  // namespace kavrin
