#pragma once
#include <QMainWindow>

namespace kavrin {

// The main window: the subscriber register and the entry points to every other screen.
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
};

}  // namespace kavrin
