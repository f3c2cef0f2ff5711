#include "dialogs/UnitSave.h"

#include "app/Program.h"
#include "app/ProgramEnd.h"
#include "app/UnitCarte.h"
#include "geo/Bitmap.h"
#include "viewer/Languages.h"
#include "viewer/UnitAzimut.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

TFormSave::TFormSave(Program& program) : QWidget(nullptr, Qt::Dialog), program_(program) {
    setObjectName(QStringLiteral("FormSave"));
    setWindowTitle(QStringLiteral("KORVANTA V") + program_.app.VersionText);
    setFixedSize(289, 97);

    EditNomFichier = new QLineEdit(QStringLiteral("image1.bmp"), this);
    EditNomFichier->setObjectName(QStringLiteral("EditNomFichier"));
    EditNomFichier->setGeometry(16, 16, 257, 21);
    ButtonOK = new QPushButton(QStringLiteral("OK"), this);
    ButtonOK->setObjectName(QStringLiteral("ButtonOK"));
    ButtonOK->setGeometry(40, 56, 75, 25);
    ButtonOK->setDefault(true);
    ButtonCancel = new QPushButton(QStringLiteral("Annuler"), this);
    ButtonCancel->setObjectName(QStringLiteral("ButtonCancel"));
    ButtonCancel->setGeometry(174, 56, 75, 25);
    FormatMessage = QStringLiteral("Entrer un nom de fichier sous la forme *.bmp !");

    connect(ButtonOK, &QPushButton::clicked, this, [this] { ButtonOKClick(); });
    connect(ButtonCancel, &QPushButton::clicked, this, [this] { ButtonCancelClick(); });
    connect(EditNomFichier, &QLineEdit::returnPressed, this, [this] { ButtonOKClick(); });
}

TFormSave::~TFormSave() = default;

void TFormSave::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TFormSave::FormShow() {
    setWindowTitle(QStringLiteral("KORVANTA V") + program_.app.VersionText);
    if (const viewer::SaveTexts* t = viewer::SaveTextsFor(program_.app.LanguageCode)) {
        ButtonCancel->setText(t->ButtonCancel);
        FormatMessage = t->FormatMessage;
    }
    EditNomFichier->setFocus();
}

void TFormSave::ButtonOKClick() {
    Platform& platform = program_.platform;
    const QString name = EditNomFichier->text();
    // The name must end in exactly ".bmp" (an upper-case ending is refused).
    if (name.isEmpty() || name.right(4) != QLatin1String(".bmp")) {
        platform.beep();
        platform.message(this, Platform::Box::Plain, windowTitle(), FormatMessage);
        return;
    }
    TFormAzimut* viewer = program_.forms.FormAzimut;
    if (!viewer) return;
    const QString path = QDir::current().absoluteFilePath(name);
    const std::string error = geo::WriteBmp4(viewer->Map(), QFile::encodeName(path).toStdString());
    if (!error.empty()) {
        platform.message(this, Platform::Box::Error, windowTitle(),
                         QString::fromLocal8Bit(error.c_str()));
        return;
    }
    AppState& app = program_.app;
    app.SavedImagePath = name;
    app.SavedImageCentre = QString::fromStdString(app.pos.CentreText);
    app.MapUnsaved = false;
    close();
}

void TFormSave::ButtonCancelClick() {
    close();
}

void TFormSave::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    FormClose();
}

void TFormSave::FormClose() {
    program_.viewer.ReturningFromDialog = true;
    if (program_.viewer.QuitAfterSave) {
        EndProgram(program_);
    }
}
