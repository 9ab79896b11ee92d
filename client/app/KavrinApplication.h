#pragma once
#include <QApplication>

namespace kavrin {

// The client's application object. A database or conversion error that a handler does not catch ends that
// handler and reaches the user as an error message; the program goes on.
class KavrinApplication : public QApplication {
public:
    KavrinApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace kavrin
