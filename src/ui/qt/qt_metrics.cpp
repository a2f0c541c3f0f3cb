#include "ui/qt/qt_metrics.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <cmath>

namespace ui {

namespace {

const QString SansFamily = QStringLiteral("Liberation Sans");
const QString FixedFamily = QStringLiteral("Liberation Mono");

// Windows' MulDiv: a * b / c rounded half away from zero.
int MulDiv(int a, int b, int c) {
    const long long product = static_cast<long long>(a) * b;
    const long long half = c / 2;
    return static_cast<int>(product >= 0 ? (product + half) / c : -((-product + half) / c));
}

} // namespace

void LoadBundledFonts() {
    static bool loaded = false;
    if (loaded)
        return;
    loaded = true;
    for (const char* file :
         {"LiberationSans-Regular.ttf", "LiberationSans-Bold.ttf", "LiberationMono-Regular.ttf"}) {
        const QString path = QStringLiteral(":/ombrelay/fonts/") + QLatin1String(file);
        if (QFontDatabase::addApplicationFont(path) < 0)
            qWarning("Ombrelay: the bundled face %s could not be loaded", file);
    }
}

int FontPixelSize(int points) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen != nullptr ? screen->logicalDotsPerInchY() : 96.0;
    return static_cast<int>(points * dpi / 72.0); // truncated toward zero
}

QFont QtFont(const Font& font) {
    LoadBundledFonts();
    QFont qfont;
    if (font.face == SansSerif) {
        qfont.setFamilies({SansFamily});
        qfont.setStyleHint(QFont::SansSerif);
    } else if (font.face == FixedPitch) {
        qfont.setFamilies({FixedFamily});
        qfont.setStyleHint(QFont::TypeWriter);
    } else {
        qfont.setFamilies({QString::fromStdString(font.face)});
    }
    qfont.setPixelSize(std::max(1, FontPixelSize(font.points)));
    qfont.setWeight(QFont::Weight(std::clamp(font.weight, 100, 900)));
    qfont.setUnderline(font.underline);
    // Unhinted advances, so that dialog units and caption widths do not depend on the
    // desktop's hinting settings.
    qfont.setHintingPreference(QFont::PreferVerticalHinting);
    return qfont;
}

BaseUnits DialogBaseUnits(const Font& dialogFont) {
    QFont measured = QtFont(dialogFont);
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int dpi =
        static_cast<int>(std::lround(screen != nullptr ? screen->logicalDotsPerInchY() : 96.0));
    measured.setPixelSize(std::max(1, MulDiv(dialogFont.points, dpi, 72)));
    const QFontMetrics metrics(measured);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return {(letters / 26 + 1) / 2, metrics.height()};
}

QRect DialogUnitsToPixels(const BaseUnits& units, int x, int y, int width, int height) {
    return QRect(MulDiv(x, units.width, 4), MulDiv(y, units.height, 8),
                 MulDiv(width, units.width, 4), MulDiv(height, units.height, 8));
}

} // namespace ui
