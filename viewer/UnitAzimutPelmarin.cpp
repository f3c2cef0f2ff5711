// The viewer's companion launcher: the Pelmarin command on the menu bar, the
// path command of the File menu and the path panel.
#include "viewer/UnitAzimut.h"

#include "app/FileDialogClicks.h"
#include "app/Program.h"
#include "dialogs/LabelUrl.h"
#include "viewer/Languages.h"

#include <QAction>
#include <QFileDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

namespace {

// The launcher's messages. Each is shown only for its own language.
struct PelmarinMessages {
    const char* running;
    const char* failedFirst;
    const char* failedSecond;
};

const PelmarinMessages* PelmarinMessagesFor(const QString& code) {
    static const PelmarinMessages e{
        "Caution ! Pelmarin is already open. To use it please check the server Korvanta in its "
        "Server menu",
        "An error occured when running Pelmarin.", "Please verify the full path of Pelmarin.exe"};
    static const PelmarinMessages f{
        "Attention ! Pelmarin est déjà ouvert. Pour l'utiliser choisissez le serveur Korvanta "
        "dans son menu Serveur",
        "Une erreur est survenue à l'ouverture d'Pelmarin.",
        "SVP, vérifiez le chemin complet de Pelmarin.exe"};
    static const PelmarinMessages s{
        "¡Precaución! Pelmarin ya está abierto. Para usarlo, por favor compruebe el Korvanta "
        "servidor en el menú Servidor",
        "Se produjo un error al ejecutar Pelmarin.",
        "Por favor, verifique la ruta completa de Pelmarin.exe"};
    if (code == QLatin1String("E")) return &e;
    if (code == QLatin1String("F")) return &f;
    if (code == QLatin1String("S")) return &s;
    return nullptr;
}

} // namespace

void TFormAzimut::BuildPelmarinMenus() {
    // "PELMARIN path" follows "Manage my DX" in the File menu.
    MenusetPelmarin = new QAction(QStringLiteral("PELMARIN path"), this);
    MenusetPelmarin->setObjectName(QStringLiteral("MenusetPelmarin"));
    const QList<QAction*> file = MenuFichier->actions();
    const qsizetype at = file.indexOf(MenuListeDXCC);
    if (at >= 0 && at + 1 < file.size())
        MenuFichier->insertAction(file.at(at + 1), MenusetPelmarin);
    else
        MenuFichier->addAction(MenusetPelmarin);
    connect(MenusetPelmarin, &QAction::triggered, this, [this] { MenusetPelmarinClick(); });

    // "Pelmarin" is a command on the menu bar itself, between Options and Language.
    MenuPelmarin = new QAction(QStringLiteral("Pelmarin"), this);
    MenuPelmarin->setObjectName(QStringLiteral("MenuPelmarin"));
    menuBar()->insertAction(MenuLangue->menuAction(), MenuPelmarin);
    connect(MenuPelmarin, &QAction::triggered, this, [this] { MenuPelmarinClick(); });
}

void TFormAzimut::BuildPelmarinPanel() {
    const QColor tip = palette().color(QPalette::ToolTipBase);
    PanelPelmarin = new QFrame(ClientArea);
    PanelPelmarin->setObjectName(QStringLiteral("PanelPelmarin"));
    PanelPelmarin->setGeometry(80, 160, 433, 169);
    PanelPelmarin->setFrameStyle(QFrame::Panel | QFrame::Raised);
    PanelPelmarin->setLineWidth(1);
    QPalette p = PanelPelmarin->palette();
    p.setColor(QPalette::Window, tip);
    PanelPelmarin->setPalette(p);
    PanelPelmarin->setAutoFillBackground(true);

    LabelPelmarinpath = new QLabel(QStringLiteral("Full path of pelmarin.exe"), PanelPelmarin);
    LabelPelmarinpath->setObjectName(QStringLiteral("LabelPelmarinpath"));
    LabelPelmarinpath->setGeometry(12, 8, 409, 17);
    EditPelmarinpath = new QLineEdit(PanelPelmarin);
    EditPelmarinpath->setObjectName(QStringLiteral("EditPelmarinpath"));
    EditPelmarinpath->setGeometry(12, 27, 409, 23);
    LabelPelmarinpath->setBuddy(EditPelmarinpath);

    auto button = [&](const char* name, const QString& caption, int x) {
        auto* b = new QPushButton(caption, PanelPelmarin);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(x, 58, 89, 25);
        return b;
    };
    ButtonParcourirPelmarin = button("ButtonParcourirPelmarin", QStringLiteral("Browse"), 12);
    ButtonOKPelmarin = button("ButtonOKPelmarin", QStringLiteral("OK"), 236);
    ButtonAnnuler = button("ButtonAnnuler", QStringLiteral("Cancel"), 332);
    ButtonOKPelmarin->setDefault(true);
    connect(ButtonParcourirPelmarin, &QPushButton::clicked, this,
            [this] { ButtonParcourirPelmarinClick(); });
    connect(ButtonOKPelmarin, &QPushButton::clicked, this, [this] { ButtonOKPelmarinClick(); });
    connect(ButtonAnnuler, &QPushButton::clicked, this, [this] { ButtonAnnulerClick(); });
    // Enter in the path box is OK.
    connect(EditPelmarinpath, &QLineEdit::returnPressed, this, [this] { ButtonOKPelmarinClick(); });

    PanelPelmarinLink = new QFrame(PanelPelmarin);
    PanelPelmarinLink->setObjectName(QStringLiteral("PanelPelmarinLink"));
    PanelPelmarinLink->setGeometry(12, 92, 409, 65);
    PanelPelmarinLink->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    LabelPelmarin = new QLabel(PanelPelmarinLink);
    LabelPelmarin->setObjectName(QStringLiteral("LabelPelmarin"));
    LabelPelmarin->setGeometry(4, 8, 401, 19);
    LabelPelmarin->setAlignment(Qt::AlignCenter);
    LabelPelmarin->setText(
        QStringLiteral("If Pelmarin is not installed, please download it from this link :"));
    LabelUrlTovak = new TLabelUrl(program_.platform, PanelPelmarinLink);
    LabelUrlTovak->setObjectName(QStringLiteral("LabelUrlTovak"));
    LabelUrlTovak->setGeometry(4, 34, 401, 19);
    LabelUrlTovak->setAlignment(Qt::AlignCenter);
    LabelUrlTovak->SetUrl(QString::fromLatin1(viewer::MakerSite) + QStringLiteral("software.htm"));

    PanelPelmarin->hide();
    PanelPelmarin->raise();

    // The open dialog: no filter, no folder of its own, no default extension,
    // the default title.
    OpenDialogPelmarin = new QFileDialog(this);
    OpenDialogPelmarin->setObjectName(QStringLiteral("OpenDialogPelmarin"));
    OpenDialogPelmarin->setAcceptMode(QFileDialog::AcceptOpen);
    OpenDialogPelmarin->setFileMode(QFileDialog::ExistingFile);
    FinishDoubleClicksOnRelease(OpenDialogPelmarin);
}

void TFormAzimut::ApplyPelmarinTexts(const viewer::ViewerTexts& t) {
    MenusetPelmarin->setText(t.MenusetPelmarin);
    LabelPelmarinpath->setText(t.LabelPelmarinpath);
    ButtonParcourirPelmarin->setText(t.ButtonParcourirPelmarin);
    ButtonAnnuler->setText(t.ButtonAnnuler);
    LabelPelmarin->setText(t.LabelPelmarin);
    LabelUrlTovak->SetUrl(t.LabelUrlTovak);
    MenuInfoVersion->setText(t.MenuInfoVersion);
}

void TFormAzimut::MenuPelmarinClick() {
    AppState& app = program_.app;
    Platform& platform = program_.platform;
    const PelmarinMessages* messages = PelmarinMessagesFor(app.LanguageCode);
    if (!PelmarinLaunchPending) {
        if (platform.topLevelWindowExists(QStringLiteral("Pelmarin"))) {
            if (messages)
                platform.message(this, Platform::Box::Error, QStringLiteral("Korvanta"),
                                 QString::fromUtf8(messages->running));
            return;
        }
        if (program_.viewer.DdeClientConnected) return;
        if (app.PelmarinPath.isEmpty()) {
            PanelPelmarin->show();
            PanelPelmarin->raise();
            EditPelmarinpath->setFocus();
            PelmarinLaunchPending = true;
            return;
        }
    }
    PelmarinLaunchPending = false;
    if (platform.startDetached(app.PelmarinPath)) return;
    if (messages)
        platform.message(this, Platform::Box::Error, QStringLiteral("Korvanta"),
                         QString::fromUtf8(messages->failedFirst) + QStringLiteral("\r\n") +
                             QString::fromUtf8(messages->failedSecond));
    app.PelmarinPath.clear();
    EditPelmarinpath->clear();
}

void TFormAzimut::MenusetPelmarinClick() {
    PanelPelmarin->show();
    PanelPelmarin->raise();
    EditPelmarinpath->setFocus();
    PelmarinLaunchPending = false;
}

void TFormAzimut::ButtonOKPelmarinClick() {
    if (EditPelmarinpath->text().isEmpty()) return;
    program_.app.PelmarinPath = EditPelmarinpath->text();
    PanelPelmarin->hide();
    if (PelmarinLaunchPending) MenuPelmarinClick();
}

void TFormAzimut::ButtonParcourirPelmarinClick() {
    if (OpenDialogPelmarin->exec() != QDialog::Accepted) return;
    const QStringList files = OpenDialogPelmarin->selectedFiles();
    if (files.isEmpty()) return;
    program_.app.PelmarinPath = files.first();
    EditPelmarinpath->setText(files.first());
}

void TFormAzimut::ButtonAnnulerClick() {
    PelmarinLaunchPending = false;
    PanelPelmarin->hide();
}
