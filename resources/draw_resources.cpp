// Draws the program's picture (bitmap 127) and icon (icon 126) into a folder, so that the
// pixels come from this file and the bundled face rather than from a hand-edited image.
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
// the windows lay white labels over it.
QImage DrawPicture(const QString& family) {
    QImage image(370, 128, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    QFont font(family);
    font.setBold(true);
    font.setPixelSize(64);
    const QString name = QStringLiteral("Ombrelay");
    while (QFontMetrics(font).horizontalAdvance(name) > 320)
        font.setPixelSize(font.pixelSize() - 1);
    const QFontMetrics metrics(font);
    const int baseline = 58; // the descender of "y" ends above the rule
    const int x = (image.width() - metrics.horizontalAdvance(name)) / 2;
    painter.setFont(font);
    painter.setPen(blue);
    painter.drawText(x, baseline, name);

    painter.fillRect(QRect(24, baseline + metrics.descent() + 4, image.width() - 48, 4), blue);
    return image;
}

// 32 x 32: a white envelope outline on a blue square, drawn without smoothing so that it
// keeps to the 16-colour palette.
QImage DrawIcon() {
    QImage image(32, 32, QImage::Format_RGB32);
    image.fill(blue);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    QPen pen(Qt::white);
    pen.setWidth(2);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.drawRect(QRect(5, 9, 21, 14));
    painter.drawLine(QPoint(6, 10), QPoint(16, 18));
    painter.drawLine(QPoint(25, 10), QPoint(15, 18));
    return image;
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
    ok = Save(icon, out.filePath("icon126.png"), "PNG") && ok;

    QFile ico(out.filePath("icon126.ico"));
    if (!ico.open(QIODevice::WriteOnly) || ico.write(IconFile(icon)) < 0) {
        std::fprintf(stderr, "draw_resources: cannot write %s\n", qPrintable(ico.fileName()));
        ok = false;
    }
    return ok ? 0 : 1;
}
