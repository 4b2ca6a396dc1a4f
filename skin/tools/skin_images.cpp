// Build tool: draws the skin's images as vector art at every display scale
// (base name at 100 %, "@80", "@125", "@150", "@200", "@300"; the caption
// buttons also "@175"), so each variant is sharp rather than resampled.
//
//   tq_skin_images <output folder>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>
#include <functional>

namespace {

using Painter = std::function<void(QPainter&)>;

struct Art {
    const char* name;
    int width;
    int height;
    Painter paint;
    bool captionButton;
};

void Logo(QPainter& p) {
    QLinearGradient ring(0, 0, 36, 36);
    ring.setColorAt(0, QColor(0x3D, 0xA9, 0xFC));
    ring.setColorAt(1, QColor(0x17, 0x5D, 0xDC));
    p.setPen(QPen(QBrush(ring), 3));
    p.setBrush(QColor(0x12, 0x1A, 0x26));
    p.drawEllipse(QRectF(2, 2, 32, 32));
    QPainterPath wave;
    wave.moveTo(8, 18);
    wave.cubicTo(11, 6, 14, 6, 16, 18);
    wave.cubicTo(18, 30, 21, 30, 24, 18);
    wave.cubicTo(25.5, 12, 27, 12, 28, 18);
    p.setPen(QPen(QColor(0xE8, 0xF1, 0xFF), 2.4, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(wave);
}

void Car(QPainter& p) {
    QColor body(0x2A, 0x31, 0x3C);
    QColor edge(0x5B, 0x67, 0x78);
    QColor glass(0x1B, 0x2C, 0x40);
    p.setPen(QPen(edge, 2));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(40, 8, 140, 284), 46, 40);
    p.setBrush(glass);
    QPainterPath windshield;
    windshield.moveTo(56, 92);
    windshield.quadTo(110, 62, 164, 92);
    windshield.lineTo(156, 116);
    windshield.quadTo(110, 100, 64, 116);
    windshield.closeSubpath();
    p.drawPath(windshield);
    QPainterPath rear;
    rear.moveTo(62, 238);
    rear.quadTo(110, 250, 158, 238);
    rear.lineTo(162, 258);
    rear.quadTo(110, 272, 58, 258);
    rear.closeSubpath();
    p.drawPath(rear);
    p.setBrush(QColor(0x38, 0x41, 0x4E));
    p.setPen(QPen(edge, 1.2));
    for (int seat = 0; seat < 2; ++seat) {
        p.drawRoundedRect(QRectF(66 + seat * 50, 128, 38, 44), 8, 8);
    }
    p.drawRoundedRect(QRectF(66, 186, 88, 40), 8, 8);
    p.setPen(QPen(QColor(0x3A, 0x44, 0x52), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(36, 100), QPointF(36, 110));
    p.drawLine(QPointF(184, 100), QPointF(184, 110));
}

void Check(QPainter& p) {
    p.setPen(QPen(QColor(0x3D, 0xA9, 0xFC), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPainterPath tick;
    tick.moveTo(3, 8.5);
    tick.lineTo(6.5, 12);
    tick.lineTo(13, 4.5);
    p.drawPath(tick);
}

QPen GlyphPen() {
    return QPen(QColor(0xC9, 0xD1, 0xDC), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void Close(QPainter& p) {
    p.setPen(GlyphPen());
    p.drawLine(QPointF(4, 4), QPointF(12, 12));
    p.drawLine(QPointF(12, 4), QPointF(4, 12));
}

void Minimise(QPainter& p) {
    p.setPen(GlyphPen());
    p.drawLine(QPointF(4, 8.5), QPointF(12, 8.5));
}

void Maximise(QPainter& p) {
    p.setPen(GlyphPen());
    p.drawRect(QRectF(4, 4, 8, 8));
}

void Restore(QPainter& p) {
    p.setPen(GlyphPen());
    p.drawRect(QRectF(3.5, 6, 7, 7));
    p.drawPolyline(QPolygonF(
        {QPointF(6, 6), QPointF(6, 3.5), QPointF(13, 3.5), QPointF(13, 10), QPointF(10.5, 10)}));
}

void BridgeRow(QPainter& p, QColor fill, QColor edge) {
    p.setPen(QPen(edge, 1));
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(0.5, 0.5, 121, 21), 4, 4);
}

void BridgeOn(QPainter& p) {
    BridgeRow(p, QColor(0x1F, 0x3A, 0x5F), QColor(0x3D, 0x8B, 0xFD));
}
void BridgeOff(QPainter& p) {
    BridgeRow(p, QColor(0x1E, 0x24, 0x2D), QColor(0x33, 0x3C, 0x48));
}

bool Draw(const Art& art, int scale, const QString& folder) {
    QImage image(art.width * scale / 100, art.height * scale / 100,
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(scale / 100.0, scale / 100.0);
    art.paint(painter);
    painter.end();
    QString name = QString::fromLatin1(art.name);
    if (scale != 100) {
        name += "@" + QString::number(scale);
    }
    return image.save(folder + "/" + name + ".png", "PNG");
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s output-folder\n", argv[0]);
        return 2;
    }
    QString root = QString::fromLocal8Bit(argv[1]);
    const Art arts[] = {
        {"logo", 36, 36, Logo, false},
        {"common/car", 220, 300, Car, false},
        {"right", 16, 16, Check, false},
        {"ch_in_selected", 122, 22, BridgeOn, false},
        {"ch_in_type_normal", 122, 22, BridgeOff, false},
        {"sysbtn/sys_btn_close", 16, 16, Close, true},
        {"sysbtn/sys_btn_min", 16, 16, Minimise, true},
        {"sysbtn/sys_btn_max", 16, 16, Maximise, true},
        {"sysbtn/sys_btn_restore", 16, 16, Restore, true},
    };
    QDir().mkpath(root + "/common");
    QDir().mkpath(root + "/sysbtn");
    int written = 0;
    for (const Art& art : arts) {
        for (int scale : {100, 80, 125, 150, 175, 200, 300}) {
            if (scale == 175 && !art.captionButton) {
                continue;
            }
            if (!Draw(art, scale, root)) {
                std::fprintf(stderr, "cannot write %s at %d %%\n", art.name, scale);
                return 1;
            }
            ++written;
        }
    }
    std::printf("skin images: %d files\n", written);
    return 0;
}
