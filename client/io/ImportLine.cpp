#include "io/ImportLine.h"

namespace kavrin {

QString ImportLine::take() {
    const qsizetype at = rest_.indexOf(u';');
    if (at < 0) {
        rest_.remove(0, 1);
        return {};
    }
    QString field = rest_.left(at);
    rest_.remove(0, at + 1);
    return field;
}

}  // namespace kavrin
