// The URL label and the companion launcher with real windows on the fake
// platform, and one real detached start of a small script.
#include "ProgramRun.h"

#include "app/Program.h"
#include "app/QtPlatform.h"
#include "dialogs/LabelUrl.h"
#include "viewer/UnitAzimut.h"

#include <QAccessible>
#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

const QString Running[] = {
    QStringLiteral("Caution ! Pelmarin is already open. To use it please check the server "
                   "Korvanta in its Server menu"),
    QStringLiteral("Attention ! Pelmarin est déjà ouvert. Pour l'utiliser choisissez le serveur "
                   "Korvanta dans son menu Serveur"),
    QStringLiteral("¡Precaución! Pelmarin ya está abierto. Para usarlo, por favor compruebe el "
                   "Korvanta servidor en el menú Servidor")};
const QString Failed[] = {
    QStringLiteral("An error occured when running Pelmarin.\r\nPlease verify the full path of "
                   "Pelmarin.exe"),
    QStringLiteral("Une erreur est survenue à l'ouverture d'Pelmarin.\r\nSVP, vérifiez le chemin "
                   "complet de Pelmarin.exe"),
    QStringLiteral("Se produjo un error al ejecutar Pelmarin.\r\nPor favor, verifique la ruta "
                   "completa de Pelmarin.exe")};
const char* const Codes[] = {"E", "F", "S"};

QStringList Names(const QList<QAction*>& actions) {
    QStringList names;
    for (QAction* a : actions)
        if (!a->isSeparator()) names << a->objectName();
    return names;
}

} // namespace

class LauncherTest : public QObject, ProgramRunFixture {
    Q_OBJECT
    FakePlatform& platform() { return run->platform; }
    TFormAzimut* startViewer(const QString& language = QStringLiteral("E")) {
        return run->showViewer(language);
    }

  private slots:
    void init() { startRun(); }
    void cleanup() { endRun(); }

    // ---- The URL label ----

    void labelDefaultsAndClick() {
        FakePlatform fake;
        TLabelUrl label(fake);
        QCOMPARE(label.text(), QStringLiteral("Http://"));
        QCOMPARE(label.Url(), QString());
        QCOMPARE(label.palette().color(QPalette::WindowText), QColor(Qt::blue));
        QVERIFY(label.font().underline());
        QCOMPARE(label.cursor().shape(), Qt::PointingHandCursor);
        label.resize(120, 20);
        label.show();

        // A click with no address: OnClick first, then the empty address.
        QStringList order;
        label.OnClick = [&](TLabelUrl* sender) {
            QCOMPARE(sender, &label);
            order << QStringLiteral("OnClick:%1").arg(fake.opened.size());
        };
        QTest::mouseClick(&label, Qt::LeftButton);
        QCOMPARE(order, QStringList{"OnClick:0"});
        QCOMPARE(fake.opened, QStringList{QString()});

        label.SetUrl(QStringLiteral("http://www.tovak.example/"));
        QCOMPARE(label.text(), QStringLiteral("http://www.tovak.example/"));
        // A right button or a release outside opens nothing.
        QTest::mouseClick(&label, Qt::RightButton);
        QCOMPARE(fake.opened.size(), 1);
        // Without OnClick the address still opens.
        label.OnClick = nullptr;
        QTest::mouseClick(&label, Qt::LeftButton);
        QCOMPARE(fake.opened.last(), QStringLiteral("http://www.tovak.example/"));
    }

    void labelIsALinkForKeyboardAndScreenReaders() {
        FakePlatform fake;
        QWidget window;
        auto* before = new QLineEdit(&window);
        auto* label = new TLabelUrl(fake, &window);
        label->setGeometry(0, 30, 200, 20);
        label->SetUrl(QStringLiteral("http://www.tovak.example/software.htm"));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        before->setFocus();
        QTest::keyClick(before, Qt::Key_Tab);
        QTRY_VERIFY(label->hasFocus());
        for (const auto key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space})
            QTest::keyClick(label, key);
        QCOMPARE(fake.opened.size(), 3);

        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(label);
        QVERIFY(a);
        QCOMPARE(a->role(), QAccessible::Link);
        QCOMPARE(a->text(QAccessible::Name),
                 QStringLiteral("http://www.tovak.example/software.htm"));
        QVERIFY(a->actionInterface());
        a->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(fake.opened.size(), 4);
    }

    // ---- The viewer's controls ----

    void menusAndPanelInTheirPlaces() {
        TFormAzimut* v = startViewer();
        QStringList bar;
        for (QAction* a : v->menuBar()->actions())
            bar << a->text();
        QCOMPARE(bar.indexOf("Pelmarin"), bar.indexOf("&Options") + 1);
        QCOMPARE(bar.indexOf("&Language"), bar.indexOf("Pelmarin") + 1);
        QCOMPARE(v->MenuPelmarin->menu(), nullptr);
        const QStringList file = Names(v->MenuFichier->actions());
        QCOMPARE(file.indexOf("MenusetPelmarin"), file.indexOf("MenuListeDXCC") + 1);
        QCOMPARE(file.last(), QStringLiteral("MenuQuitter"));

        QFrame* panel = v->PanelPelmarin;
        QCOMPARE(panel->geometry(), QRect(80, 160, 433, 169));
        QVERIFY(panel->isHidden());
        QCOMPARE(panel->palette().color(QPalette::Window),
                 v->palette().color(QPalette::ToolTipBase));
        for (const char* name :
             {"LabelPelmarinpath", "EditPelmarinpath", "ButtonParcourirPelmarin",
              "ButtonOKPelmarin", "ButtonAnnuler", "LabelPelmarin", "LabelUrlTovak"}) {
            QWidget* w = panel->findChild<QWidget*>(QLatin1String(name));
            QVERIFY2(w, name);
            QVERIFY2(panel->rect().contains(w->mapTo(panel, w->rect().bottomRight())), name);
        }
        QVERIFY(v->findChild<QFileDialog*>("OpenDialogPelmarin"));
        QVERIFY(v->OpenDialogPelmarin->nameFilters().join("").isEmpty() ||
                v->OpenDialogPelmarin->nameFilters() == QStringList{"All Files (*)"});
    }

    void panelTextsFollowTheLanguage_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("E") << "E"
                           << QStringList{"PELMARIN path",
                                          "Full path of pelmarin.exe",
                                          "Browse",
                                          "Cancel",
                                          "If Pelmarin is not installed, please download it from "
                                          "this link :",
                                          "http://www.tovak.example/software.htm"};
        QTest::newRow("F") << "F"
                           << QStringList{"Chemin PELMARIN",
                                          "Chemin complet de pelmarin.exe",
                                          "Parcourir",
                                          "Annuler",
                                          "Si Pelmarin n'est pas installé, téléchargez-le depuis "
                                          "ce lien :",
                                          "http://www.tovak.example/logiciel.htm"};
        QTest::newRow("S") << "S"
                           << QStringList{"Ruta PELMARIN",
                                          "Ruta completa del pelmarin.exe",
                                          "Navigar",
                                          "Cancelar",
                                          "Si Pelmarin no está instalado, puede descargarlo desde "
                                          "este enlace: ",
                                          "http://www.tovak.example/software.htm"};
    }
    void panelTextsFollowTheLanguage() {
        QFETCH(QString, code);
        QFETCH(QStringList, texts);
        TFormAzimut* v = startViewer(code);
        QCOMPARE((QStringList{v->MenusetPelmarin->text(), v->LabelPelmarinpath->text(),
                              v->ButtonParcourirPelmarin->text(), v->ButtonAnnuler->text(),
                              v->LabelPelmarin->text(), v->LabelUrlTovak->text()}),
                 texts);
        QCOMPARE(v->LabelUrlTovak->Url(), texts.last());
        QCOMPARE(v->MenuPelmarin->text(), QStringLiteral("Pelmarin"));
        QCOMPARE(v->ButtonOKPelmarin->text(), QStringLiteral("OK"));
        v->LabelUrlTovak->Click();
        QCOMPARE(platform().opened.last(), texts.last());
    }

    // ---- The launch command ----

    void emptyPathShowsThePanelThenOkLaunches() {
        TFormAzimut* v = startViewer();
        v->MenuPelmarin->trigger();
        QVERIFY(v->PanelPelmarin->isVisible());
        QVERIFY(v->PelmarinLaunchPending);
        QVERIFY(platform().launched.isEmpty());

        // OK on an empty box does nothing.
        QTest::mouseClick(v->ButtonOKPelmarin, Qt::LeftButton);
        QVERIFY(v->PanelPelmarin->isVisible());
        QVERIFY(platform().launched.isEmpty());

        QTest::keyClicks(v->EditPelmarinpath, "/opt/pel marin/pelmarin; rm -rf ~");
        QTest::mouseClick(v->ButtonOKPelmarin, Qt::LeftButton);
        QVERIFY(v->PanelPelmarin->isHidden());
        QCOMPARE(platform().launched, QStringList{"/opt/pel marin/pelmarin; rm -rf ~"});
        QCOMPARE(run->program.app.PelmarinPath,
                 QStringLiteral("/opt/pel marin/pelmarin; rm -rf ~"));
        QVERIFY(!v->PelmarinLaunchPending);
        QVERIFY(platform().boxes.isEmpty());
    }

    void emptyPathThenCancelLaunchesNothing() {
        TFormAzimut* v = startViewer();
        v->MenuPelmarin->trigger();
        v->EditPelmarinpath->setText("/opt/pelmarin");
        QTest::mouseClick(v->ButtonAnnuler, Qt::LeftButton);
        QVERIFY(v->PanelPelmarin->isHidden());
        QVERIFY(!v->PelmarinLaunchPending);
        QVERIFY(platform().launched.isEmpty());
        QCOMPARE(run->program.app.PelmarinPath, QString());
    }

    // Browse: a chosen file becomes the path and fills the box; Cancel
    // leaves both as they were.
    void browseChoosesOrLeavesThePath_data() {
        QTest::addColumn<bool>("choose");
        QTest::newRow("choose") << true;
        QTest::newRow("cancel") << false;
    }
    void browseChoosesOrLeavesThePath() {
        QFETCH(bool, choose);
        TFormAzimut* v = startViewer();
        run->program.app.PelmarinPath = "/opt/old";
        v->FormActivate();
        v->MenusetPelmarin->trigger();
        const QString chosen = dir->filePath("pel marin.sh");
        QFile f(chosen);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        // The dialog is modal: answer it once it is up.
        bool answered = false;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            QFileDialog* d = v->OpenDialogPelmarin;
            if (answered || !d->isVisible()) return;
            answered = true;
            if (choose) {
                // Typed into the dialog's name box, as a user would.
                auto* name = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                if (!name) {
                    static_cast<QDialog*>(d)->reject(); // fails below
                    return;
                }
                name->setText(chosen);
                QTest::keyClick(name, Qt::Key_Return);
            } else {
                QTest::keyClick(d, Qt::Key_Escape);
            }
        });
        poll.start(20);
        QTest::mouseClick(v->ButtonParcourirPelmarin, Qt::LeftButton);
        poll.stop();
        QVERIFY(answered);
        QVERIFY(v->OpenDialogPelmarin->isHidden());
        const QString expected = choose ? chosen : QStringLiteral("/opt/old");
        QCOMPARE(run->program.app.PelmarinPath, expected);
        QCOMPARE(v->EditPelmarinpath->text(), expected);
        QVERIFY(v->PanelPelmarin->isVisible());
        QVERIFY(platform().launched.isEmpty());
    }

    void fileMenuOkStoresThePathOnly() {
        TFormAzimut* v = startViewer();
        v->MenuPelmarin->trigger();    // pending ...
        v->MenusetPelmarin->trigger(); // ... and cleared by the File menu
        QVERIFY(v->PanelPelmarin->isVisible());
        QVERIFY(!v->PelmarinLaunchPending);
        v->EditPelmarinpath->setText("/opt/pelmarin");
        QTest::keyClick(v->EditPelmarinpath, Qt::Key_Return);
        QVERIFY(v->PanelPelmarin->isHidden());
        QCOMPARE(run->program.app.PelmarinPath, QStringLiteral("/opt/pelmarin"));
        QVERIFY(platform().launched.isEmpty());
        // With a path the command launches at once.
        v->MenuPelmarin->trigger();
        QCOMPARE(platform().launched, QStringList{"/opt/pelmarin"});
        QVERIFY(v->PanelPelmarin->isHidden());
    }

    void failedLaunchEmptiesThePath_data() {
        QTest::addColumn<int>("language");
        for (int i = 0; i < 3; ++i)
            QTest::newRow(Codes[i]) << i;
    }
    void failedLaunchEmptiesThePath() {
        QFETCH(int, language);
        TFormAzimut* v = startViewer(QString::fromLatin1(Codes[language]));
        run->program.app.PelmarinPath = "/nowhere/pelmarin";
        v->FormActivate(); // the activation refresh shows the stored path
        QCOMPARE(v->EditPelmarinpath->text(), QStringLiteral("/nowhere/pelmarin"));
        platform().launchSucceeds = false;
        v->MenuPelmarin->trigger();
        QCOMPARE(platform().launched, QStringList{"/nowhere/pelmarin"});
        QCOMPARE(platform().boxes.size(), 1);
        QCOMPARE(platform().boxes[0].kind, Platform::Box::Error);
        QCOMPARE(platform().boxes[0].text, Failed[language]);
        QCOMPARE(run->program.app.PelmarinPath, QString());
        QCOMPARE(v->EditPelmarinpath->text(), QString());
        // The next command asks for the path again.
        v->MenuPelmarin->trigger();
        QVERIFY(v->PanelPelmarin->isVisible());
        QCOMPARE(platform().launched.size(), 1);
    }

    void runningCompanionIsToldEvenWithAClientConnected_data() {
        failedLaunchEmptiesThePath_data();
    }
    void runningCompanionIsToldEvenWithAClientConnected() {
        QFETCH(int, language);
        TFormAzimut* v = startViewer(QString::fromLatin1(Codes[language]));
        run->program.app.PelmarinPath = "/opt/pelmarin";
        run->program.viewer.DdeClientConnected = true;
        platform().windowTitles = {"Pelmarin"};
        v->MenuPelmarin->trigger();
        QCOMPARE(platform().boxes.size(), 1);
        QCOMPARE(platform().boxes[0].kind, Platform::Box::Error);
        QCOMPARE(platform().boxes[0].text, Running[language]);
        QVERIFY(platform().launched.isEmpty());
    }

    void checksComeInTheirOrder() {
        TFormAzimut* v = startViewer();
        // Only the exact title counts.
        platform().windowTitles = {"pelmarin", "Pelmarin ", "Pelmarin - map"};
        // A connected client: silence, no panel, nothing started.
        run->program.viewer.DdeClientConnected = true;
        v->MenuPelmarin->trigger();
        QVERIFY(platform().boxes.isEmpty());
        QVERIFY(v->PanelPelmarin->isHidden());
        QVERIFY(platform().launched.isEmpty());
        // The panel opened for want of a path goes on with the launch even
        // when the companion has appeared meanwhile.
        run->program.viewer.DdeClientConnected = false;
        v->MenuPelmarin->trigger();
        QVERIFY(v->PelmarinLaunchPending);
        platform().windowTitles = {"Pelmarin"};
        v->EditPelmarinpath->setText("/opt/pelmarin");
        QTest::mouseClick(v->ButtonOKPelmarin, Qt::LeftButton);
        QCOMPARE(platform().launched, QStringList{"/opt/pelmarin"});
        QVERIFY(platform().boxes.isEmpty());
    }

    void otherLanguageCodeShowsNoMessage() {
        TFormAzimut* v = startViewer(QStringLiteral("D"));
        platform().windowTitles = {"Pelmarin"};
        v->MenuPelmarin->trigger();
        QVERIFY(platform().boxes.isEmpty());
        platform().windowTitles.clear();
        run->program.app.PelmarinPath = "/nowhere";
        platform().launchSucceeds = false;
        v->MenuPelmarin->trigger();
        QVERIFY(platform().boxes.isEmpty());
        QCOMPARE(run->program.app.PelmarinPath, QString()); // still forgotten
    }

    // ---- The real start ----

    void realStartRunsTheFileWithNoArguments() {
        QtPlatform real(dir->path());
        const QString record = dir->filePath("ran.txt");
        // A name with blanks, quotes and shell characters is one file name.
        const QString script = dir->filePath("pel marin 'x' $(touch hacked); \"y\".sh");
        QFile f(script);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QStringLiteral("#!/bin/sh\necho \"$#:$*\" > '%1.tmp'\nmv '%1.tmp' '%1'\n")
                    .arg(record)
                    .toLocal8Bit());
        f.close();
        // Not executable yet: it fails like a missing file.
        QVERIFY(!real.startDetached(script));
        QVERIFY(f.setPermissions(f.permissions() | QFileDevice::ExeOwner));
        QVERIFY(real.startDetached(script));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(record), 30000);
        QFile r(record);
        QVERIFY(r.open(QIODevice::ReadOnly));
        QCOMPARE(r.readAll(), QByteArray("0:\n"));
        QVERIFY(!QFile::exists(dir->filePath("hacked")));
        QVERIFY(!QFile::exists(QDir::current().filePath("hacked")));

        // Nothing else starts.
        QVERIFY(!real.startDetached(QString()));
        QVERIFY(!real.startDetached(dir->path()));
        QVERIFY(!real.startDetached(QStringLiteral("/dev/null")));
        QVERIFY(!real.startDetached(dir->filePath("missing")));
    }
};

QTEST_MAIN(LauncherTest)
#include "test_launcher.moc"
