#include "ui/win32/picture.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace ui::win32 {

namespace {

// The source pixels that make one pixel along an axis, with their weights: a tent as wide
// as a pixel of the result (as a source pixel when enlarging), so that letters keep smooth
// edges at every scale.
struct Taps {
    int first = 0;
    std::vector<float> weights;
};

std::vector<Taps> TapsAlong(int from, int to) {
    const double scale = static_cast<double>(from) / to;
    const double reach = std::max(1.0, scale);
    std::vector<Taps> taps(static_cast<std::size_t>(to));
    for (int i = 0; i < to; ++i) {
        const double centre = (i + 0.5) * scale - 0.5;
        const int first = std::max(0, static_cast<int>(std::ceil(centre - reach)));
        const int last = std::min(from - 1, static_cast<int>(std::floor(centre + reach)));
        Taps& tap = taps[static_cast<std::size_t>(i)];
        tap.first = first;
        float total = 0;
        for (int j = first; j <= last; ++j) {
            const auto weight = static_cast<float>(std::max(0.0, 1 - std::abs(j - centre) / reach));
            tap.weights.push_back(weight);
            total += weight;
        }
        for (float& weight : tap.weights)
            weight = total > 0 ? weight / total : 0;
    }
    return taps;
}

} // namespace

HBITMAP ScaledPicture(HINSTANCE instance, int resource, int width, int height) {
    if (width <= 0 || height <= 0)
        return nullptr;
    // The smallest drawing at least as large as the result, else the largest there is.
    HBITMAP source = nullptr;
    for (int id : {resource, resource + DoubleSizePicture}) {
        auto drawn = static_cast<HBITMAP>(
            LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        if (drawn == nullptr)
            continue;
        if (source != nullptr)
            DeleteObject(source);
        source = drawn;
        BITMAP size{};
        GetObjectW(source, sizeof size, &size);
        if (size.bmWidth >= width && size.bmHeight >= height)
            break;
    }
    if (source == nullptr)
        return nullptr;

    // The source as top-down 24-bit rows, whatever its own format.
    BITMAP size{};
    GetObjectW(source, sizeof size, &size);
    const int fromWidth = size.bmWidth, fromHeight = size.bmHeight;
    BITMAPINFO info{};
    info.bmiHeader = {
        sizeof(BITMAPINFOHEADER), fromWidth, -fromHeight, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    const int fromStride = (fromWidth * 3 + 3) & ~3;
    std::vector<std::uint8_t> from(static_cast<std::size_t>(fromStride) * fromHeight);
    const HDC screen = GetDC(nullptr);
    GetDIBits(screen, source, 0, static_cast<UINT>(fromHeight), from.data(), &info, DIB_RGB_COLORS);
    DeleteObject(source);

    // Across, then down.
    const std::vector<Taps> across = TapsAlong(fromWidth, width);
    const std::vector<Taps> down = TapsAlong(fromHeight, height);
    std::vector<float> rows(static_cast<std::size_t>(fromHeight) * width * 3);
    for (int y = 0; y < fromHeight; ++y) {
        const std::uint8_t* line = from.data() + static_cast<std::size_t>(y) * fromStride;
        float* out = rows.data() + static_cast<std::size_t>(y) * width * 3;
        for (int x = 0; x < width; ++x) {
            const Taps& tap = across[static_cast<std::size_t>(x)];
            for (std::size_t k = 0; k < tap.weights.size(); ++k) {
                for (int c = 0; c < 3; ++c)
                    out[x * 3 + c] +=
                        tap.weights[k] * line[(tap.first + static_cast<int>(k)) * 3 + c];
            }
        }
    }
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    void* bits = nullptr;
    const HBITMAP result = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    if (result == nullptr)
        return nullptr;
    const int stride = (width * 3 + 3) & ~3;
    for (int y = 0; y < height; ++y) {
        const Taps& tap = down[static_cast<std::size_t>(y)];
        auto* line = static_cast<std::uint8_t*>(bits) + static_cast<std::size_t>(y) * stride;
        for (int x = 0; x < width * 3; ++x) {
            float value = 0;
            for (std::size_t k = 0; k < tap.weights.size(); ++k)
                value += tap.weights[k] *
                         rows[(static_cast<std::size_t>(tap.first) + k) * width * 3 + x];
            line[x] = static_cast<std::uint8_t>(std::clamp(value + 0.5f, 0.0f, 255.0f));
        }
    }
    GdiFlush();
    return result;
}

} // namespace ui::win32
