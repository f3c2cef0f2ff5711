// Fonts chosen per control so that every text the control shows, in every
// language, fits its field at the text's size.
#pragma once

#include <QFont>
#include <QStringList>

class QWidget;

// The first of Liberation Sans (the metric twin of the classic window's face),
// DejaVu Sans, Liberation Sans Narrow and DejaVu Sans Condensed, at
// `pixelSize` and the weight asked for, in which every one of `texts` is at
// most `room` pixels wide; the narrowest of them when none is.
QFont FontThatFits(int pixelSize, bool bold, const QStringList& texts, int room);

// The font for one line of text: FontThatFits at `pixelSize`, then at each
// smaller size down to `smallest`; the narrowest face at `smallest` when the
// line fits none.
QFont FontForLine(int pixelSize, int smallest, bool bold, const QString& text, int room);

// The pixels a text may take inside a control of fixed size: its contents
// less the margin its style keeps on each side.
int TextRoom(const QWidget* control);

// Gives the control the font of FontThatFits for `room` (TextRoom when < 0).
void FitFont(QWidget* control, int pixelSize, bool bold, const QStringList& texts, int room = -1);
