#include "app/LocaleFormat.h"

QChar DecimalMarkOf(const QString& localeMark) {
    return localeMark == QLatin1String(",") ? QLatin1Char(',') : QLatin1Char('.');
}

QString TimeFormatWithoutZone(const QString& format) {
    // Brackets that held nothing but the zone go with it: "H:mm:ss (t)".
    static const QString opens = QStringLiteral("([\uFF08");
    static const QString closes = QStringLiteral(")]\uFF09");
    auto chopBlanks = [](QString& s) {
        while (!s.isEmpty() && s.back().isSpace())
            s.chop(1);
    };
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
            chopBlanks(out);
            const qsizetype open = out.isEmpty() ? -1 : opens.indexOf(out.back());
            if (open >= 0) {
                qsizetype j = i + 1;
                while (j < format.size() && format.at(j).isSpace())
                    ++j;
                if (j < format.size() && format.at(j) == closes.at(open)) {
                    out.chop(1);
                    chopBlanks(out);
                    i = j;
                }
            }
            dropBlanks = out.isEmpty();
            continue;
        }
        if (dropBlanks && c.isSpace()) continue;
        dropBlanks = false;
        out.append(c);
    }
    chopBlanks(out);
    return out;
}
