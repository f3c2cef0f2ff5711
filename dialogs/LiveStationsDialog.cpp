#include "dialogs/LiveStationsDialog.h"

#include "live/Endpoint.h"
#include "viewer/LiveTexts.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>

QString LiveSettingsProblem(const LiveSettings& s, const viewer::LiveTexts& texts) {
    if (s.clusterOn) {
        if (!live::ParseHostPort(s.cluster.toStdString())) return texts.BadCluster.arg(s.cluster);
        if (s.clusterCall.trimmed().isEmpty()) return texts.NoCall;
    }
    if (s.wsjtxOn && !live::ParseUdpEndpoint(s.wsjtx.toStdString()))
        return texts.BadWsjtx.arg(s.wsjtx);
    return {};
}

namespace {

template <typename W> W* Named(W* w, const QString& name, const QString& accessible) {
    w->setObjectName(name);
    w->setAccessibleName(accessible);
    return w;
}

QString Plain(QString label) {
    label.remove(QLatin1Char(':'));
    return label.trimmed();
}

} // namespace

LiveStationsDialog::LiveStationsDialog(const LiveSettings& v, const viewer::LiveTexts& t,
                                       QWidget* parent)
    : QDialog(parent), texts_(t) {
    setObjectName(QStringLiteral("LiveStationsDialog"));
    setWindowTitle(t.DialogTitle);
    setAccessibleName(t.DialogTitle);
    clusterOn_ =
        Named(new QCheckBox(t.ClusterOn, this), QStringLiteral("LiveClusterOn"), t.ClusterOn);
    cluster_ = Named(new QLineEdit(v.cluster, this), QStringLiteral("LiveCluster"),
                     Plain(t.ClusterAddress));
    cluster_->setPlaceholderText(QStringLiteral("dxc.example.org:7300"));
    call_ = Named(new QLineEdit(v.clusterCall, this), QStringLiteral("LiveClusterCall"),
                  Plain(t.ClusterCall));
    call_->setMaxLength(16);
    wsjtxOn_ = Named(new QCheckBox(t.WsjtxOn, this), QStringLiteral("LiveWsjtxOn"), t.WsjtxOn);
    wsjtx_ =
        Named(new QLineEdit(v.wsjtx, this), QStringLiteral("LiveWsjtx"), Plain(t.WsjtxAddress));
    wsjtx_->setPlaceholderText(QStringLiteral("2237, 239.255.0.1:2237"));
    age_ = Named(new QSpinBox(this), QStringLiteral("LiveSpotAge"), Plain(t.MaxAge));
    age_->setRange(1, 1440);
    age_->setValue(v.spotAge);
    clusterOn_->setChecked(v.clusterOn);
    wsjtxOn_->setChecked(v.wsjtxOn);
    problem_ = Named(new QLabel(this), QStringLiteral("LiveProblem"), QString());
    problem_->setStyleSheet(QStringLiteral("color: #b00000"));
    problem_->setWordWrap(true);

    auto* form = new QFormLayout;
    form->addRow(clusterOn_);
    form->addRow(t.ClusterAddress, cluster_);
    form->addRow(t.ClusterCall, call_);
    form->addRow(wsjtxOn_);
    form->addRow(t.WsjtxAddress, wsjtx_);
    form->addRow(t.MaxAge, age_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("LiveButtons"));
    connect(buttons, &QDialogButtonBox::accepted, this, &LiveStationsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &LiveStationsDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(problem_);
    layout->addWidget(buttons);
}

LiveSettings LiveStationsDialog::values() const {
    LiveSettings s;
    s.clusterOn = clusterOn_->isChecked();
    s.cluster = cluster_->text().trimmed();
    s.clusterCall = call_->text().trimmed().toUpper();
    s.wsjtxOn = wsjtxOn_->isChecked();
    s.wsjtx = wsjtx_->text().trimmed();
    s.spotAge = age_->value();
    return s;
}

void LiveStationsDialog::accept() {
    const QString problem = LiveSettingsProblem(values(), texts_);
    problem_->setText(problem);
    problem_->setAccessibleName(problem);
    if (problem.isEmpty()) QDialog::accept();
}
