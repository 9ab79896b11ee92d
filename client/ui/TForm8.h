#pragma once
#include <QDialog>

namespace kavrin {

class TForm8 : public QDialog {
    Q_OBJECT
public:
    explicit TForm8(QWidget* parent = nullptr);
};

}  // namespace kavrin
