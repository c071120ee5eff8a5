// SPDX-License-Identifier: MIT
#include "view/margin_cursor.h"

#include <QBitmap>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace kotoha {

QCursor MarginCursor() {
    // The usual arrow's outline mirrored about x = 6, so that the tip lies
    // at (12, 0) and the tail points down and to the left.
    static const QPointF outline[] = {{12, 0},   {12, 16},  {8.5, 12.5}, {5.5, 18.5},
                                      {3, 17.5}, {6, 11.5}, {1, 11.5}};
    QPainterPath path;
    path.addPolygon(QPolygonF(std::begin(outline), std::end(outline)));
    path.closeSubpath();

    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::white);
    painter.drawPath(path);
    painter.end();
    return QCursor(pixmap, 12, 0);
}

}  // namespace kotoha
