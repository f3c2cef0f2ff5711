#include "app/FittingFont.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QWidget>

#include <algorithm>

namespace {

int Widest(const QFont& font, const QStringList& texts) {
    const QFontMetrics fm(font);
    int widest = 0;
    for (const QString& t : texts)
        widest = std::max(widest, fm.horizontalAdvance(t));
    return widest;
}

} // namespace

QFont FontThatFits(int pixelSize, bool bold, const QStringList& texts, int room) {
    QFont narrowest;
    int narrowestWidth = 0;
    bool first = true;
    for (const char* family :
         {"Liberation Sans", "DejaVu Sans", "Liberation Sans Narrow", "DejaVu Sans Condensed"}) {
        QFont f{QString::fromLatin1(family)};
        f.setPixelSize(pixelSize);
        f.setBold(bold);
        const int w = Widest(f, texts);
        if (w <= room) return f;
        if (first || w < narrowestWidth) {
            narrowest = f;
            narrowestWidth = w;
            first = false;
        }
    }
    return narrowest;
}

QFont FontForLine(int pixelSize, int smallest, bool bold, const QString& text, int room) {
    for (int size = pixelSize; size > smallest; --size) {
        const QFont f = FontThatFits(size, bold, {text}, room);
        if (QFontMetrics(f).horizontalAdvance(text) <= room) return f;
    }
    return FontThatFits(std::min(smallest, pixelSize), bold, {text}, room);
}

int TextRoom(const QWidget* control) {
    // A line edit keeps about 2 pixels of frame and 2 of margin on each side.
    if (qobject_cast<const QLineEdit*>(control)) return control->width() - 8;
    return control->contentsRect().width() - 2;
}

void FitFont(QWidget* control, int pixelSize, bool bold, const QStringList& texts, int room) {
    control->setFont(FontThatFits(pixelSize, bold, texts, room < 0 ? TextRoom(control) : room));
}
