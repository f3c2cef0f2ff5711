// The faces of the viewer's text fields: each gets the one in which every
// text it shows, in every language, fits its place at the text's size.
#include "viewer/UnitAzimut.h"

#include "app/FittingFont.h"
#include "dxlists/BuiltinLists.h"
#include "viewer/Languages.h"
#include "viewer/ViewerState.h"

#include <QLabel>
#include <QLineEdit>
#include <QStringList>

QStringList TFormAzimut::ReadoutSamples() {
    // The widest figures: three-digit bearings, five-digit distances.
    const ViewerMessages defaults;
    QStringList labels{defaults.AzimuthLabel, defaults.RangeLabel};
    for (const char* code : {"E", "F", "S"})
        if (const viewer::ViewerTexts* t = viewer::ViewerTextsFor(QString::fromLatin1(code)))
            labels << t->AzimuthLabel << t->RangeLabel;
    QStringList samples;
    for (qsizetype i = 0; i + 1 < labels.size(); i += 2)
        for (const char* distance : {"40000 km", "30909 km", "24855 miles"})
            samples << labels[i] + QStringLiteral("359\u00B0 / ") + labels[i + 1] +
                           QString::fromLatin1(distance);
    return samples;
}

QStringList TFormAzimut::TimeTextSamples() {
    QStringList samples;
    for (const std::string& row : dx::BuiltinHamRows()) {
        const QStringList fields = QString::fromStdString(row).split(QLatin1Char('\t'));
        if (fields.size() > 4) samples << fields[4];
    }
    return samples;
}

void TFormAzimut::FitFonts() {
    const QStringList readouts = ReadoutSamples();
    FitFont(StaticTextAzim, 11, false, readouts);
    FitFont(StaticTextLP, 11, false, readouts);
    // The labels end where the next control begins.
    FitFont(LabelLP, 12, true, {LabelLP->text()}, StaticTextLP->x() - LabelLP->x() - 1);
    LabelLP->adjustSize();
    FitFont(LabelCall, 12, true, {LabelCall->text()}, EditCall->x() - LabelCall->x() - 1);
    LabelCall->adjustSize();
    FitFont(LabelUTC, 12, true, {LabelUTC->text()}, EditUTC->x() - LabelUTC->x() - 1);
    LabelUTC->adjustSize();
    FitFont(EditUTC, 12, true, TimeTextSamples());
}
