#include "pictures.h"

#include <QFont>
#include <QPainter>

namespace lapdex::ui {

namespace {

const QColor kEmpty(0xC0, 0xC0, 0xC0);
const QColor kRed(0xC0, 0x20, 0x00);
const QColor kOrange(0xE0, 0xA0, 0x40);
const QColor kGreen(0x40, 0xA0, 0x40);

QColor fillColour(int resource) {
    switch (resource) {
        case 141: return kRed;
        case 142: return kOrange;
        default: return kGreen;
    }
}

}  // namespace

int batteryPictureFor(int level) {
    switch (level) {
        case 1: return 141;
        case 2: return 142;
        case 3: return 144;
        case 4: return 145;
        case 5: return 143;
        default: return kBatteryNone;
    }
}

int filledCells(int resource) {
    switch (resource) {
        case 141: return 1;
        case 142: return 2;
        case 144: return 3;
        case 145: return 4;
        case 143: return 5;
        default: return 0;
    }
}

QPixmap batteryPicture(int resource) {
    constexpr int kWidth = 130, kHeight = 26, kCells = 5;
    QPixmap pixmap(kWidth, kHeight);
    pixmap.fill(Qt::black);
    QPainter painter(&pixmap);
    const int filled = filledCells(resource);
    // 6 one-pixel black lines and five cells of 24 fill 126; the spare pixels go to the
    // outer frame on the right.
    for (int cell = 0; cell < kCells; ++cell) {
        const QRect r(1 + cell * 25, 1, 24, kHeight - 2);
        const bool isFilled = cell >= kCells - filled;
        painter.fillRect(r, isFilled ? fillColour(resource) : kEmpty);
    }
    return pixmap;
}

QPixmap logoPicture() {
    QPixmap pixmap(123, 23);
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(0x20, 0x40, 0x90));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QRect(2, 3, 17, 17));
    painter.setBrush(Qt::white);
    painter.drawRect(QRect(9, 6, 3, 8));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(14);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(0x20, 0x40, 0x90));
    painter.drawText(QRect(24, 0, 99, 23), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("TARVIK K7X"));
    return pixmap;
}

QIcon applicationIcon() {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(0x20, 0x40, 0x90));
    painter.setPen(QPen(Qt::black, 1));
    painter.drawEllipse(QRect(3, 5, 26, 26));
    painter.drawRect(QRect(13, 0, 6, 5));
    painter.setPen(QPen(Qt::white, 2));
    painter.drawLine(QPoint(16, 18), QPoint(16, 9));
    painter.drawLine(QPoint(16, 18), QPoint(22, 21));
    return QIcon(pixmap);
}

QPixmap pictureResource(int resource) {
    if (resource == kLogoPicture) return logoPicture();
    return batteryPicture(resource);
}

}  // namespace lapdex::ui
