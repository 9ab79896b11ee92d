#pragma once
#include <QDialog>

namespace kavrin {

class TForm9 : public QDialog {
    Q_OBJECT
public:
    explicit TForm9(QWidget* parent = nullptr);
};

}  // namespace kavrin
