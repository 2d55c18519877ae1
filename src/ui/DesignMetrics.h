#pragma once

#include <QApplication>
#include <QFont>
#include <QRect>

namespace dokivo {

// The windows are drawn in twips, 1/1440 inch: 15 twips to the pixel on a standard display.
inline constexpr int kTwipsPerPixel = 15;

constexpr int twipsToPixels(int twips) {
    const int half = twips >= 0 ? kTwipsPerPixel / 2 : -kTwipsPerPixel / 2;
    return (twips + half) / kTwipsPerPixel;
}

constexpr int pixelsToTwips(int pixels) {
    return pixels * kTwipsPerPixel;
}

inline QRect twipsRect(int left, int top, int width, int height) {
    return {twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height)};
}

// The design sizes leave room for a small, narrow dialog font (text boxes 19 pixels high, labels
// such as "Operatore" in 49 pixels): a narrow sans-serif family where the desktop has one, at
// that size rather than the desktop's possibly larger default.
inline QFont designFont() {
    QFont font = QApplication::font();
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("Nimbus Sans"), QStringLiteral("Helvetica"), font.family()});
    font.setPixelSize(11);
    return font;
}

}  // namespace dokivo
