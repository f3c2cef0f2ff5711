#include "dialogs/RotatorSettings.h"

#include "link/LinkProtocol.h"
#include "link/LinkTexts.h"
#include "link/RotatorProtocol.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr azlink::RotatorKind Kinds[] = {azlink::RotatorKind::Rotctld, azlink::RotatorKind::Pst,
                                         azlink::RotatorKind::N1mm};

int IndexOf(const QString& kindText) {
    const auto k =
        azlink::RotatorKindFromText(kindText.toStdString()).value_or(azlink::RotatorKind::Rotctld);
    for (int i = 0; i < 3; ++i)
        if (Kinds[i] == k) return i;
    return 0;
}

QString Stored(const azlink::HostPort& hp) {
    const QString host = QString::fromStdString(hp.host);
    return (host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host) +
           QLatin1Char(':') + QString::number(hp.port);
}

template <typename W> W* Named(W* w, const char* name, const QString& accessible) {
    w->setObjectName(QString::fromLatin1(name));
    QString plain = accessible;
    plain.remove(QLatin1Char('&'));
    if (plain.endsWith(QLatin1Char(':'))) plain.chop(1);
    w->setAccessibleName(plain.trimmed());
    return w;
}

} // namespace

TRotatorSettings::TRotatorSettings(QWidget* parent, const azlink::RotatorTexts& t,
                                   const ExtraSettings& values)
    : QDialog(parent), t_(t), values_(values) {
    setObjectName(QStringLiteral("RotatorSettings"));
    setWindowTitle(t.SettingsTitle);
    auto* form = new QFormLayout;
    ComboKind = Named(new QComboBox(this), "ComboKind", t.Kind);
    ComboKind->addItems({t.KindRotctld, t.KindPst, t.KindN1mm});
    kindIndex_ = IndexOf(values.RotatorKind);
    ComboKind->setCurrentIndex(kindIndex_);
    EditAddress = Named(new QLineEdit(values.RotatorAddress, this), "EditAddress", t.Address);
    EditAddress->setMaxLength(300);
    EditName = Named(new QLineEdit(values.RotatorName, this), "EditName", t.Name);
    EditName->setMaxLength(64);
    SpinBeamWidth = Named(new QSpinBox(this), "SpinBeamWidth", t.BeamWidth);
    SpinBeamWidth->setRange(1, 360);
    SpinBeamWidth->setValue(values.BeamWidth);
    EditPark = Named(new QLineEdit(values.ParkAzimuth, this), "EditPark", t.ParkAzimuth);
    EditPark->setPlaceholderText(t.ParkHint);
    EditPark->setMaxLength(8);
    SpinTurnMin = Named(new QDoubleSpinBox(this), "SpinTurnMin", t.TurnMin);
    SpinTurnMin->setRange(0, 180);
    SpinTurnMin->setDecimals(1);
    SpinTurnMin->setValue(values.TurnMin);
    auto row = [&](const QString& caption, QWidget* w) {
        auto* l = new QLabel(caption, this);
        l->setBuddy(w);
        form->addRow(l, w);
    };
    row(t.Kind, ComboKind);
    row(t.Address, EditAddress);
    row(t.Name, EditName);
    row(t.BeamWidth, SpinBeamWidth);
    row(t.ParkAzimuth, EditPark);
    row(t.TurnMin, SpinTurnMin);
    LabelProblem = new QLabel(this);
    LabelProblem->setObjectName(QStringLiteral("LabelProblem"));
    LabelProblem->setWordWrap(true);
    LabelProblem->hide();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("Buttons"));
    connect(buttons, &QDialogButtonBox::accepted, this, &TRotatorSettings::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TRotatorSettings::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(LabelProblem);
    layout->addWidget(buttons);
    connect(ComboKind, &QComboBox::currentIndexChanged, this, &TRotatorSettings::kindChanged);
    EditName->setEnabled(kindIndex_ == 2);
}

void TRotatorSettings::kindChanged(int index) {
    if (index < 0 || index > 2) return;
    // An address on the old channel's default port moves to the new one's.
    const auto hp = azlink::ParseHostPort(EditAddress->text().toStdString(),
                                          azlink::DefaultPort(Kinds[kindIndex_]));
    if (hp && hp->port == azlink::DefaultPort(Kinds[kindIndex_])) {
        azlink::HostPort moved = *hp;
        moved.port = azlink::DefaultPort(Kinds[index]);
        EditAddress->setText(Stored(moved));
    }
    kindIndex_ = index;
    EditName->setEnabled(index == 2);
}

void TRotatorSettings::accept() {
    const azlink::RotatorKind kind = Kinds[std::clamp(ComboKind->currentIndex(), 0, 2)];
    const auto hp =
        azlink::ParseHostPort(EditAddress->text().toStdString(), azlink::DefaultPort(kind));
    if (!hp) {
        LabelProblem->setText(t_.AddressInvalid);
        LabelProblem->show();
        EditAddress->setFocus();
        return;
    }
    const QString park = EditPark->text().trimmed();
    bool ok = true;
    const int parkValue = park.toInt(&ok);
    if (!park.isEmpty() && (!ok || parkValue < 0 || parkValue > 360)) {
        LabelProblem->setText(t_.ParkInvalid);
        LabelProblem->show();
        EditPark->setFocus();
        return;
    }
    values_.RotatorKind = QString::fromStdString(azlink::RotatorKindText(kind));
    values_.RotatorAddress = Stored(*hp);
    values_.RotatorName = EditName->text().trimmed();
    values_.BeamWidth = SpinBeamWidth->value();
    values_.ParkAzimuth = park.isEmpty() ? QString() : QString::number(parkValue);
    values_.TurnMin = SpinTurnMin->value();
    QDialog::accept();
}
