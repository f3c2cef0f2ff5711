// Locale format texts adapted for the program's clock.
#pragma once

#include <QString>

// The decimal mark the program works with, from the locale's: "," stays a
// comma, every other mark (".", or the Arabic U+066B, which has no byte in
// the program's texts) counts as ".".
QChar DecimalMarkOf(const QString& localeMark);

// A QDateTime time format without its time-zone parts (unquoted runs of "t",
// the blanks before them and brackets that held nothing else): "HH:mm:ss t"
// and "H:mm:ss (t)" give the time alone, "t HH:mm:ss" gives "HH:mm:ss".
// Quoted literals stay as they are. The one rule of the program for this.
QString TimeFormatWithoutZone(const QString& format);
