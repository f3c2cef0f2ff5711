#include "dxlists/UnitConv.h"

#include "app/Program.h"
#include "dxlists/DxRecord.h"

#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

#include <optional>

namespace {

// Each value must stay below its limit.
constexpr long long Limits[] = {180, 60, 60, 1000};

std::optional<long long> Whole(const QLineEdit* e) {
    return dx::ReadWholeNumber(e->text().toStdString());
}

} // namespace

TFormConv::TFormConv(Program& program)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint),
      program_(program) {
    setObjectName(QStringLiteral("FormConv"));
    setFixedSize(317, 98);
    move(198, 107);
    setWindowTitle(QStringLiteral("Deg/Min/Sec => Decimal"));

    QFont noteFont(QStringLiteral("Arial"));
    noteFont.setPixelSize(11);
    noteFont.setBold(true);
    noteFont.setItalic(true);
    LabelConv = new QLabel(QStringLiteral("Pelmarin  utilise des coordonnées décimales "), this);
    LabelConv->setObjectName(QStringLiteral("LabelConv"));
    LabelConv->setFont(noteFont);
    LabelConv->setStyleSheet(QStringLiteral("color: red"));
    LabelConv->move(16, 8);
    LabelConv->adjustSize();

    LabelDegMinSec = new QLabel(QStringLiteral("Degres   Min     Sec    msec"), this);
    LabelDegMinSec->setObjectName(QStringLiteral("LabelDegMinSec"));
    LabelDegMinSec->move(16, 32);
    LabelDegMinSec->adjustSize();

    Label1 = new QLabel(QStringLiteral("Deg. décimaux"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(200, 32);
    Label1->adjustSize();

    QFont equalFont(QStringLiteral("Arial"));
    equalFont.setPixelSize(19);
    equalFont.setBold(true);
    Label2 = new QLabel(QStringLiteral("="), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setFont(equalFont);
    Label2->move(166, 52);
    Label2->adjustSize();

    QFont fieldFont(QStringLiteral("Arial"));
    fieldFont.setPixelSize(16);
    fieldFont.setBold(true);
    auto makeEdit = [&](const char* name, int left, int width, const char* text, int maxLength) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QLatin1String(name));
        e->setFont(fieldFont);
        e->setGeometry(left, 48, width, 27);
        if (maxLength > 0) e->setMaxLength(maxLength);
        e->setText(QLatin1String(text));
        return e;
    };
    EditDeg = makeEdit("EditDeg", 16, 33, "000", 3);
    EditMin = makeEdit("EditMin", 56, 25, "00", 2);
    EditSec = makeEdit("EditSec", 88, 25, "00", 2);
    EditMil = makeEdit("EditMil", 120, 33, "000", 3);
    EditDec = makeEdit("EditDec", 192, 97, "0", 0);
    EditDec->setReadOnly(true);

    ButtonLangue = new QPushButton(QStringLiteral("Lang"), this);
    ButtonLangue->setObjectName(QStringLiteral("ButtonLangue"));
    ButtonLangue->move(160, 24);
    ButtonLangue->hide();
    connect(ButtonLangue, &QPushButton::clicked, this, [this] { ButtonLangueClick(); });

    fields_[Deg] = EditDeg;
    fields_[Min] = EditMin;
    fields_[Sec] = EditSec;
    fields_[Mil] = EditMil;
    for (int f = 0; f < FieldCount; ++f)
        accepted_[f] = fields_[f]->text();
    connect(EditDeg, &QLineEdit::textChanged, this, [this] { EditDegChange(); });
    connect(EditMin, &QLineEdit::textChanged, this, [this] { EditMinChange(); });
    connect(EditSec, &QLineEdit::textChanged, this, [this] { EditSecChange(); });
    connect(EditMil, &QLineEdit::textChanged, this, [this] { EditMilChange(); });
}

void TFormConv::EditDegChange() {
    FieldChange(Deg);
}
void TFormConv::EditMinChange() {
    FieldChange(Min);
}
void TFormConv::EditSecChange() {
    FieldChange(Sec);
}
void TFormConv::EditMilChange() {
    FieldChange(Mil);
}

void TFormConv::FieldChange(Field f) {
    // Restore step: the field's last accepted text comes back; setting it
    // runs this handler again, which writes the result of the accepted texts.
    auto restore = [&] { fields_[f]->setText(accepted_[f]); };
    const auto value = Whole(fields_[f]);
    if (!value || *value >= Limits[f]) return restore();
    accepted_[f] = fields_[f]->text();
    std::optional<long long> v[FieldCount];
    for (int g = 0; g < FieldCount; ++g) {
        v[g] = Whole(fields_[g]);
        if (!v[g]) return restore();
    }
    const long double result = dx::DmsToDecimal(*v[Deg], *v[Min], *v[Sec], *v[Mil]);
    const char mark = program_.platform.decimalSeparator().toLatin1();
    EditDec->setText(QString::fromStdString(dx::FormatFixed6(result, mark)));
}

void TFormConv::ButtonLangueClick() {
    const QString& code = program_.app.LanguageCode;
    const char* texts[4] = {};
    if (code == QLatin1String("E")) {
        texts[0] = "Deg/Min/Sec => Decimal";
        texts[1] = "Degrees  Min     Sec    ms";
        texts[2] = "Decimal deg.";
        texts[3] = "Korvanta needs decimal degrees";
    } else if (code == QLatin1String("F")) {
        texts[0] = "Deg/Min/Sec => Décimal";
        texts[1] = "Degrés   Min     Sec    ms";
        texts[2] = "Deg. décimaux";
        texts[3] = "Korvanta utilise des degrés décimaux";
    } else if (code == QLatin1String("S")) {
        texts[0] = "Deg / Min / Seg => Decimal";
        texts[1] = "Grados   Min     Seg    ms";
        texts[2] = "Grad. decimales";
        texts[3] = "Korvanta necesita decimal grados";
    } else {
        return;
    }
    setWindowTitle(QString::fromUtf8(texts[0]));
    LabelDegMinSec->setText(QString::fromUtf8(texts[1]));
    LabelDegMinSec->adjustSize();
    Label1->setText(QString::fromUtf8(texts[2]));
    Label1->adjustSize();
    LabelConv->setText(QString::fromUtf8(texts[3]));
    LabelConv->adjustSize();
}

void TFormConv::FormShow() {
    ButtonLangue->click();
}

void TFormConv::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) FormShow();
}
