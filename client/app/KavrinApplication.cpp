#include "app/KavrinApplication.h"

#include "common/Dialogs.h"
#include "data/Sql.h"

#include <QDebug>

namespace kavrin {

KavrinApplication::KavrinApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Kavrin"));
}

bool KavrinApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const DatabaseError& e) {
        qWarning().noquote() << "uncaught database error:" << e.text();
        Dialogs::current().message(e.text(), {}, Icon::Error);
    } catch (const std::exception& e) {
        qWarning().noquote() << "uncaught error:" << e.what();
        Dialogs::current().message(QString::fromUtf8(e.what()), {}, Icon::Error);
    }
    return false;
}

}  // namespace kavrin
