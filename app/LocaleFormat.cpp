#include "app/LocaleFormat.h"

QChar DecimalMarkOf(const QString& localeMark) {
    return localeMark == QLatin1String(",") ? QLatin1Char(',') : QLatin1Char('.');
}

QString TimeFormatWithoutZone(const QString& format) {
    QString out;
    bool quoted = false;
    bool dropBlanks = false; // blanks after a zone part at the start are dropped too
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;
            out.append(c);
            dropBlanks = false;
            continue;
        }
        if (!quoted && c == QLatin1Char('t')) {
            while (i + 1 < format.size() && format.at(i + 1) == QLatin1Char('t'))
                ++i;
            while (!out.isEmpty() && out.back().isSpace())
                out.chop(1);
            dropBlanks = out.isEmpty();
            continue;
        }
        if (dropBlanks && c.isSpace()) continue;
        dropBlanks = false;
        out.append(c);
    }
    return out;
}
