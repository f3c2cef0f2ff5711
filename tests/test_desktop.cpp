// The desktop conventions, driven from one table: an address the desktop
// cannot open is shown for copying in the language in use; the toolkit
// writes no configuration file of its own; every check box and check item is
// its setting, however its state changed; a file dialog's double-click acts
// on the button's release.
#include "ProgramRun.h"

#include "app/ExportTexts.h"
#include "app/FileDialogClicks.h"
#include "app/QtPlatform.h"
#include "app/UnitCarte.h"
#include "dialogs/UnitInfo.h"
#include "viewer/UnitAzimut.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDirIterator>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <map>

namespace {

// The table of the group: one row per language.
struct DesktopRow {
    const char* code;
    const char* openFailed; // the start of the box shown when no browser opens an address
};
const DesktopRow Rows[] = {
    {"E", "No program could open this address."},
    {"F", "Aucun programme n'a pu ouvrir cette adresse."},
    {"S", "Ningún programa pudo abrir esta dirección."},
};

void RowColumns() {
    QTest::addColumn<int>("row");
    for (int i = 0; i < int(std::size(Rows)); ++i)
        QTest::newRow(Rows[i].code) << i;
}

// Calls `act` with the window named `name` once it is shown (a modal dialog
// runs its own loop: this is how a test reaches it).
void WhenShown(const QString& name, const std::function<void(QWidget*)>& act, int tries = 500) {
    QTimer::singleShot(10, [=] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->objectName() == name && w->isVisible()) {
                act(w);
                return;
            }
        }
        if (tries > 0) WhenShown(name, act, tries - 1);
    });
}

// Sends a mouse event of the left button to a widget, as the window system
// would (a double-click: press, release, press, double-click, release).
void Mouse(QWidget* w, QEvent::Type type, const QPoint& at) {
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, w->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

// Every file under `folder`, relative to it.
QStringList FilesUnder(const QString& folder) {
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(folder).relativeFilePath(it.next());
    return files;
}

} // namespace

class DesktopTest : public QObject, ProgramRunFixture {
    Q_OBJECT
    QTemporaryDir home_;

  private slots:
    void initTestCase() {
        // The toolkit's user settings land in this configuration folder.
        QVERIFY(home_.isValid());
        qputenv("HOME", home_.path().toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", (home_.path() + QStringLiteral("/.config")).toLocal8Bit());
    }
    void init() { startRun(); }
    void cleanup() { endRun(); }

    // The offscreen desktop opens nothing, as a desktop without a browser:
    // the address is shown in a box, selectable, in the language in use.
    void addressShownWhenNothingOpensIt_data() { RowColumns(); }
    void addressShownWhenNothingOpensIt() {
        QFETCH(int, row);
        const DesktopRow& r = Rows[row];
        QtPlatform platform(dir->path());
        platform.setLanguage(QString::fromLatin1(r.code));
        const QString address = QStringLiteral("http://www.tovak.example/donate.htm");
        QString shown;
        Qt::TextInteractionFlags flags;
        QTimer::singleShot(0, [&] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* box = qobject_cast<QMessageBox*>(w);
                if (!box || !box->isVisible()) continue;
                shown = box->text();
                flags = box->textInteractionFlags();
                box->accept();
            }
        });
        QVERIFY(!platform.openDocument(address));
        QVERIFY2(shown.startsWith(QString::fromUtf8(r.openFailed)), qPrintable(shown));
        QVERIFY(shown.endsWith(QStringLiteral("\n") + address));
        QVERIFY(flags.testFlag(Qt::TextSelectableByMouse));
        QVERIFY(flags.testFlag(Qt::TextSelectableByKeyboard));
        platform.setLanguage(QStringLiteral("E"));
    }

    // The check items of the viewer and the Information window's check box
    // follow their state however it changed: set by a program, or toggled by
    // an assistive technology (which clicks nothing).
    void checkStatesAreSettings_data() {
        QTest::addColumn<QString>("item");
        QTest::newRow("info box") << "CheckBoxVersion";
        QTest::newRow("release check") << "MenuInfoVersion";
        QTest::newRow("grey line") << "MenuGreyLine";
        QTest::newRow("locator grid") << "MenuLocatorGrid";
        QTest::newRow("fill the gaps") << "MenuFillGaps";
        QTest::newRow("rotator") << "MenuRotator";
    }
    void checkStatesAreSettings() {
        QFETCH(QString, item);
        TFormAzimut* viewer = run->showViewer();
        run->viewer()->menuInfo->trigger();
        TFormInfo* info = run->program.forms.FormInfo;
        QVERIFY(info);
        AppState& app = run->program.app;
        const std::map<QString, bool*> settings{{"CheckBoxVersion", &app.VersionCheckAtStart},
                                                {"MenuInfoVersion", &app.VersionCheckAtStart},
                                                {"MenuGreyLine", &app.extra.GreyLine},
                                                {"MenuLocatorGrid", &app.extra.LocatorGrid},
                                                {"MenuFillGaps", &app.extra.FillGaps},
                                                {"MenuRotator", &app.extra.RotatorOn}};
        bool* setting = settings.at(item);
        for (int step = 0; step < 2; ++step) {
            const bool before = *setting;
            if (item == QLatin1String("CheckBoxVersion")) {
                QAccessibleInterface* box =
                    QAccessible::queryAccessibleInterface(info->CheckBoxVersion);
                QVERIFY(box && box->actionInterface());
                box->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
                QCOMPARE(info->CheckBoxVersion->isChecked(), !before);
                // The viewer's item shows the same choice.
                QCOMPARE(viewer->MenuInfoVersion->isChecked(), !before);
            } else {
                auto* action = viewer->findChild<QAction*>(item);
                QVERIFY(action && action->isCheckable());
                QCOMPARE(action->isChecked(), before);
                action->setChecked(!before);
            }
            QCOMPARE(*setting, !before);
        }
    }

    // The export dialog opens on the run's last choice, its note on that
    // choice.
    void exportDialogKeepsTheLastChoice_data() { RowColumns(); }
    void exportDialogKeepsTheLastChoice() {
        QFETCH(int, row);
        const QString code = QString::fromLatin1(Rows[row].code);
        TFormAzimut* viewer = run->showViewer(code);
        struct Seen {
            int kind = -1;
            QString note;
        };
        auto look = [](QWidget* dialog, Seen& seen) {
            auto* kinds = dialog->findChild<QComboBox*>(QStringLiteral("ComboExportKind"));
            auto* note = dialog->findChild<QLabel*>(QStringLiteral("LabelExportNote"));
            if (!kinds || !note) return;
            seen.kind = kinds->currentIndex();
            seen.note = note->text();
        };
        Seen first, changed, second;
        WhenShown(QStringLiteral("FormExport"), [&](QWidget* dialog) {
            look(dialog, first);
            dialog->findChild<QComboBox*>(QStringLiteral("ComboExportKind"))->setCurrentIndex(5);
            look(dialog, changed);
            WhenShown(QStringLiteral("ExportFileDialog"),
                      [](QWidget* files) { static_cast<QDialog*>(files)->reject(); });
            static_cast<QDialog*>(dialog)->accept();
        });
        viewer->MenuExport->trigger();
        QCOMPARE(first.kind, 2);
        QCOMPARE(first.note, ExportNote(false, 2400, code));
        QCOMPARE(changed.note, ExportNote(true, 0, code));
        WhenShown(QStringLiteral("FormExport"), [&](QWidget* dialog) {
            look(dialog, second);
            static_cast<QDialog*>(dialog)->reject();
        });
        viewer->MenuExport->trigger();
        QCOMPARE(second.kind, 5);
        QCOMPARE(second.note, changed.note);
    }

    // A double-click on a file of a file dialog closes it only once the
    // button is up: closed on the press, the window below misses the
    // pointer's arrival (X11) and loses the next movements and click.
    void fileDialogClosesOnTheRelease_data() {
        QTest::addColumn<bool>("pelmarin");
        QTest::newRow("a file dialog") << false;
        QTest::newRow("the Pelmarin panel's Browse") << true;
    }
    void fileDialogClosesOnTheRelease() {
        QFETCH(bool, pelmarin);
        const QString file = QDir(dir->path()).filePath(QStringLiteral("pelmarin.exe"));
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        bool heldWhileDown = false;
        bool closedAfterRelease = false;
        auto doubleClick = [&](QWidget* w) {
            auto* d = static_cast<QFileDialog*>(w);
            d->setDirectory(dir->path());
            QAbstractItemView* view = nullptr;
            for (auto* v : d->findChildren<QAbstractItemView*>())
                if (v->isVisible() && (v->objectName() == QLatin1String("treeView") ||
                                       v->objectName() == QLatin1String("listView")))
                    view = v;
            QModelIndex index;
            const bool listed = view && QTest::qWaitFor([&] {
                                    const auto* model = view->model();
                                    for (int r = 0; r < model->rowCount(view->rootIndex()); ++r) {
                                        const QModelIndex i = model->index(r, 0, view->rootIndex());
                                        if (i.data().toString() == QLatin1String("pelmarin.exe"))
                                            index = i;
                                    }
                                    return index.isValid();
                                });
            if (!listed) return d->reject();
            const QPoint at = view->visualRect(index).center();
            QWidget* port = view->viewport();
            Mouse(port, QEvent::MouseButtonPress, at);
            Mouse(port, QEvent::MouseButtonRelease, at);
            Mouse(port, QEvent::MouseButtonPress, at);
            Mouse(port, QEvent::MouseButtonDblClick, at);
            QCoreApplication::processEvents();
            heldWhileDown = d->isVisible();
            Mouse(port, QEvent::MouseButtonRelease, at);
            closedAfterRelease = QTest::qWaitFor([&] { return !d->isVisible(); }, 5000);
            if (!closedAfterRelease) d->reject();
        };
        if (pelmarin) {
            TFormAzimut* viewer = run->showViewer();
            viewer->MenusetPelmarinClick();
            WhenShown(QStringLiteral("OpenDialogPelmarin"), doubleClick);
            viewer->ButtonParcourirPelmarin->click();
            QCOMPARE(viewer->EditPelmarinpath->text(), file);
        } else {
            QFileDialog d(nullptr, QStringLiteral("Open"), dir->path());
            d.setObjectName(QStringLiteral("PlainDialog"));
            d.setOption(QFileDialog::DontUseNativeDialog);
            d.setFileMode(QFileDialog::ExistingFile);
            FinishDoubleClicksOnRelease(&d);
            WhenShown(QStringLiteral("PlainDialog"), doubleClick);
            QCOMPARE(d.exec(), int(QDialog::Accepted));
            QCOMPARE(d.selectedFiles(), QStringList{file});
        }
        QVERIFY(heldWhileDown);
        QVERIFY(closedAfterRelease);
    }

    // A file dialog, opened or not, leaves no QtProject.conf (nor any other
    // file) in the user's configuration folder.
    void fileDialogWritesNoConfiguration() {
        {
            QtPlatform platform(dir->path());
            { QFileDialog unopened; }
            QFileDialog opened(nullptr, QStringLiteral("Open"), dir->path());
            opened.setOption(QFileDialog::DontUseNativeDialog);
            opened.show();
            QVERIFY(QTest::qWaitForWindowExposed(&opened));
            opened.reject();
        }
        QCOMPARE(FilesUnder(home_.path()), QStringList());
    }
};

QTEST_MAIN(DesktopTest)
#include "test_desktop.moc"
