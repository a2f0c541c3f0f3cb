// Draws the program's picture (bitmap 127, also at twice its size for screens of more pixels
// per inch) and icon (icon 126) into a folder, so that the pixels come from this file and the
// bundled face rather than from a hand-edited image; the icon also at the sizes of the
// desktop's icon theme and as a scalable picture.
// Usage: draw_resources <LiberationSans-Bold.ttf> <output folder>

#include <QColor>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <array>
#include <cstdio>
#include <cstdlib>

namespace {

const QColor blue(0, 0, 255);

// 370 x 128: the name in large bold letters above a rule; the lower part stays white because
// the windows lay white labels over it. Also drawn `scale` times larger, for screens of more
// pixels per inch.
QImage DrawPicture(const QString& family, int scale = 1) {
    QImage image(370 * scale, 128 * scale, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(scale, scale);

    QFont font(family);
    font.setBold(true);
    font.setPixelSize(64);
    const QString name = QStringLiteral("Ombrelay");
    while (QFontMetrics(font).horizontalAdvance(name) > 320)
        font.setPixelSize(font.pixelSize() - 1);
    const QFontMetrics metrics(font);
    const int baseline = 58; // the descender of "y" ends above the rule
    const int x = (370 - metrics.horizontalAdvance(name)) / 2;
    painter.setFont(font);
    painter.setPen(blue);
    painter.drawText(x, baseline, name);

    painter.fillRect(QRect(24, baseline + metrics.descent() + 4, 370 - 48, 4), blue);
    return image;
}

// The icon: a white envelope outline on a blue square, in a 32-unit square. The pixel
// icons and the scalable one are all drawn from these numbers.
constexpr int IconUnits = 32;
constexpr int StrokeUnits = 2; // square caps and mitred corners
const QRect EnvelopeFrame(5, 9, 21, 14);
const QLine EnvelopeFlapLeft(6, 10, 16, 18);
const QLine EnvelopeFlapRight(25, 10, 15, 18);

QPen EnvelopePen() {
    QPen pen(Qt::white);
    pen.setWidth(StrokeUnits);
    pen.setCapStyle(Qt::SquareCap);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

// At its own 32 x 32 the icon is drawn without smoothing, so that it keeps to the
// 16-colour palette of the Windows icon; other sizes are scaled and smoothed, and the
// strokes then fall on whole pixels at 16, 48, 64 and above.
QImage DrawIcon(int size = IconUnits) {
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(blue);
    QPainter painter(&image);
    painter.setPen(EnvelopePen());
    if (size == IconUnits) {
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.drawRect(EnvelopeFrame);
        painter.drawLine(EnvelopeFlapLeft);
        painter.drawLine(EnvelopeFlapRight);
    } else {
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.scale(qreal(size) / IconUnits, qreal(size) / IconUnits);
        painter.drawRect(QRectF(EnvelopeFrame));
        painter.drawLine(QLineF(EnvelopeFlapLeft));
        painter.drawLine(QLineF(EnvelopeFlapRight));
    }
    return image;
}

// The same envelope as a scalable picture for the desktop's icon theme.
QByteArray IconSvg() {
    const auto line = [](const QLine& l) {
        return QString("  <line x1=\"%1\" y1=\"%2\" x2=\"%3\" y2=\"%4\"/>\n")
            .arg(l.x1())
            .arg(l.y1())
            .arg(l.x2())
            .arg(l.y2());
    };
    QString svg;
    svg += QString("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%1\" "
                   "viewBox=\"0 0 %1 %1\">\n")
               .arg(IconUnits);
    svg += QString(" <rect width=\"%1\" height=\"%1\" fill=\"%2\"/>\n")
               .arg(IconUnits)
               .arg(blue.name());
    svg += QString(" <g fill=\"none\" stroke=\"#ffffff\" stroke-width=\"%1\" "
                   "stroke-linecap=\"square\" stroke-linejoin=\"miter\">\n")
               .arg(StrokeUnits);
    svg += QString("  <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\"/>\n")
               .arg(EnvelopeFrame.x())
               .arg(EnvelopeFrame.y())
               .arg(EnvelopeFrame.width())
               .arg(EnvelopeFrame.height());
    svg += line(EnvelopeFlapLeft);
    svg += line(EnvelopeFlapRight);
    svg += " </g>\n</svg>\n";
    return svg.toUtf8();
}

// The standard 16-colour palette; the icon uses two of its entries.
constexpr std::array<QRgb, 16> Palette16 = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

int NearestPaletteEntry(QRgb pixel) {
    int best = 0;
    long bestDistance = -1;
    for (int i = 0; i < 16; ++i) {
        const long dr = qRed(pixel) - qRed(Palette16[i]);
        const long dg = qGreen(pixel) - qGreen(Palette16[i]);
        const long db = qBlue(pixel) - qBlue(Palette16[i]);
        const long distance = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

void Put16(QByteArray& bytes, unsigned value) {
    bytes.append(char(value & 0xFF));
    bytes.append(char((value >> 8) & 0xFF));
}

void Put32(QByteArray& bytes, unsigned value) {
    Put16(bytes, value & 0xFFFF);
    Put16(bytes, value >> 16);
}

// One 32 x 32 image at 4 bits per pixel, as the Windows resource compiler expects it.
QByteArray IconFile(const QImage& image) {
    const int size = 32;
    const int xorRow = size / 2; // 4 bits per pixel
    const int andRow = 4;        // 1 bit per pixel, padded to 32 bits
    const unsigned imageBytes = 40 + 16 * 4 + size * xorRow + size * andRow;

    QByteArray bytes;
    Put16(bytes, 0); // reserved
    Put16(bytes, 1); // icon
    Put16(bytes, 1); // one image
    bytes.append(char(size));
    bytes.append(char(size));
    bytes.append(char(16)); // colours
    bytes.append(char(0));
    Put16(bytes, 1); // planes
    Put16(bytes, 4); // bits per pixel
    Put32(bytes, imageBytes);
    Put32(bytes, 6 + 16);

    Put32(bytes, 40);
    Put32(bytes, size);
    Put32(bytes, size * 2); // colour and mask bitmaps together
    Put16(bytes, 1);
    Put16(bytes, 4);
    Put32(bytes, 0); // uncompressed
    Put32(bytes, size * xorRow + size * andRow);
    Put32(bytes, 0);
    Put32(bytes, 0);
    Put32(bytes, 16);
    Put32(bytes, 0);
    for (QRgb colour : Palette16) {
        bytes.append(char(qBlue(colour)));
        bytes.append(char(qGreen(colour)));
        bytes.append(char(qRed(colour)));
        bytes.append(char(0));
    }
    for (int y = size - 1; y >= 0; --y) { // bottom-up
        for (int x = 0; x < size; x += 2) {
            const int high = NearestPaletteEntry(image.pixel(x, y));
            const int low = NearestPaletteEntry(image.pixel(x + 1, y));
            bytes.append(char((high << 4) | low));
        }
    }
    bytes.append(QByteArray(size * andRow, '\0')); // fully opaque
    return bytes;
}

bool Save(const QImage& image, const QString& path, const char* format) {
    if (image.save(path, format))
        return true;
    std::fprintf(stderr, "draw_resources: cannot write %s\n", qPrintable(path));
    return false;
}

bool Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size())
        return true;
    std::fprintf(stderr, "draw_resources: cannot write %s\n", qPrintable(path));
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: draw_resources <bold face .ttf> <output folder>\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);

    const int face = QFontDatabase::addApplicationFont(QString::fromLocal8Bit(argv[1]));
    if (face < 0) {
        std::fprintf(stderr, "draw_resources: cannot load the face %s\n", argv[1]);
        return 1;
    }
    const QString family = QFontDatabase::applicationFontFamilies(face).value(0);
    const QDir out(QString::fromLocal8Bit(argv[2]));

    const QImage picture = DrawPicture(family);
    const QImage icon = DrawIcon();
    bool ok = Save(picture, out.filePath("picture127.png"), "PNG");
    ok = Save(picture, out.filePath("picture127.bmp"), "BMP") && ok; // 24 bits per pixel
    ok = Save(DrawPicture(family, 2), out.filePath("picture127-2x.bmp"), "BMP") && ok;
    ok = Save(icon, out.filePath("icon126.png"), "PNG") && ok;

    ok = Write(out.filePath("icon126.ico"), IconFile(icon)) && ok;

    // The desktop's icon theme: the sizes it asks for most, and the scalable one.
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        ok = Save(DrawIcon(size), out.filePath(QString("icon-%1.png").arg(size)), "PNG") && ok;
    ok = Write(out.filePath("icon.svg"), IconSvg()) && ok;
    return ok ? 0 : 1;
}
