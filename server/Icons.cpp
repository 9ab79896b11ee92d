#include "Icons.h"

#include <QPainter>
#include <QPixmap>

namespace ostrel {

namespace {

// A head-end box sending waves: the tray steps light one more wave each, so the icon visibly moves with
// every task carried out.
QPixmap drawHeadEnd(int size, int lit, QColor box) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal u = size / 32.0;
    p.setPen(Qt::NoPen);
    p.setBrush(box);
    p.drawRoundedRect(QRectF(2 * u, 16 * u, 16 * u, 13 * u), 2 * u, 2 * u);
    p.setBrush(QColor(230, 240, 255));
    p.drawRect(QRectF(5 * u, 19 * u, 10 * u, 4 * u));
    for (int i = 0; i < 3; ++i) {
        QColor c = i < lit ? QColor(255, 170, 0) : QColor(150, 150, 150);
        p.setPen(QPen(c, 2.5 * u, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        const qreal r = (6 + 6 * i) * u;
        p.drawArc(QRectF(10 * u - r, 16 * u - r, 2 * r, 2 * r), 10 * 16, 70 * 16);
    }
    return pm;
}

QIcon iconFor(int lit, QColor box) {
    QIcon icon;
    for (int size : {16, 22, 32, 48, 64}) icon.addPixmap(drawHeadEnd(size, lit, box));
    return icon;
}

}  // namespace

QIcon loadIcon(int id) {
    const QColor blue(30, 80, 160);
    switch (id) {
    case kTrayIconB: return iconFor(0, blue);
    case kTrayIconC: return iconFor(1, blue);
    case kTrayIconA: return iconFor(2, blue);
    case kTrayIconD: return iconFor(3, blue);
    default: return iconFor(3, QColor(20, 110, 60));
    }
}

}  // namespace ostrel
