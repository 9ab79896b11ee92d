#include "ui/TForm1.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    kavrin::TForm1 main;
    main.show();
    return app.exec();
}
