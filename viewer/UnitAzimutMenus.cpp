// The viewer's menus: the classic items and their handlers' wiring, then the
// items the components and the other units add.
#include "viewer/UnitAzimut.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

void TFormAzimut::BuildMenus() {
    auto item = [this](QMenu* menu, const char* name, const QString& caption) {
        auto* a = new QAction(caption, this);
        a->setObjectName(QString::fromLatin1(name));
        menu->addAction(a);
        return a;
    };
    auto submenu = [this](QWidget* parent, const char* name, const QString& caption) {
        auto* m = new QMenu(caption, parent);
        m->setObjectName(QString::fromLatin1(name));
        if (auto* bar = qobject_cast<QMenuBar*>(parent))
            bar->addMenu(m);
        else
            static_cast<QMenu*>(parent)->addMenu(m);
        m->menuAction()->setObjectName(QString::fromLatin1(name) + QStringLiteral("Item"));
        return m;
    };
    auto radio = [this](std::initializer_list<QAction*> actions) {
        auto* g = new QActionGroup(this);
        g->setExclusive(true);
        for (QAction* a : actions) {
            a->setCheckable(true);
            g->addAction(a);
        }
        (*actions.begin())->setChecked(true);
    };
    auto on = [this](QAction* a, auto handler) { connect(a, &QAction::triggered, this, handler); };

    QMenuBar* bar = menuBar();
    MenuFichier = submenu(bar, "MenuFichier", QStringLiteral("&File"));
    MenuEnregistrer =
        item(MenuFichier, "MenuEnregistrer", QStringLiteral("&Save this azimuth map"));
    Menugenerateur = item(MenuFichier, "Menugenerateur", QStringLiteral("&Back to map generator"));
    MenuListeDXCC = item(MenuFichier, "MenuListeDXCC", QStringLiteral("Mana&ge my DX"));
    MenuQuitter = item(MenuFichier, "MenuQuitter", QStringLiteral("Quit"));

    MenuOptions = submenu(bar, "MenuOptions", QStringLiteral("&Options"));
    MenuUnit = submenu(MenuOptions, "MenuUnit", QStringLiteral("&Unit"));
    MenuUnitKM = item(MenuUnit, "MenuUnitKM", QStringLiteral("Km"));
    MenuUnitmile = item(MenuUnit, "MenuUnitmile", QStringLiteral("Mile"));
    radio({MenuUnitKM, MenuUnitmile});
    MenuTime = submenu(MenuOptions, "MenuTime", QStringLiteral("&Time"));
    MenuTimeLocal = item(MenuTime, "MenuTimeLocal", QStringLiteral("Local"));
    MenuTimeUTC = item(MenuTime, "MenuTimeUTC", QStringLiteral("UTC (Z)"));
    radio({MenuTimeLocal, MenuTimeUTC});
    MenuAxes = item(MenuOptions, "MenuAxes", QStringLiteral("Add &axis"));
    MenuDistances = item(MenuOptions, "MenuDistances", QStringLiteral("Add equidistant &circles"));
    MenuChoixListe = submenu(MenuOptions, "MenuChoixListe", QStringLiteral("&Choose the list"));
    MenuDXCCOM = item(MenuChoixListe, "MenuDXCCOM", QStringLiteral("&Ham prefixes"));
    MenuDXCCCB = item(MenuChoixListe, "MenuDXCCCB", QStringLiteral("&11m prefixes"));
    radio({MenuDXCCOM, MenuDXCCCB});
    MenuSeparator = submenu(MenuOptions, "MenuSeparator", QStringLiteral("Separator"));
    SepDefault = item(MenuSeparator, "SepDefault", QStringLiteral("Default \t"));
    SepUnderscore = item(MenuSeparator, "SepUnderscore", QStringLiteral("Underscore _"));
    SepSlash = item(MenuSeparator, "SepSlash", QStringLiteral("Slash /"));
    SepEqual = item(MenuSeparator, "SepEqual", QStringLiteral("Equal ="));
    radio({SepDefault, SepUnderscore, SepSlash, SepEqual});

    MenuLangue = submenu(bar, "MenuLangue", QStringLiteral("&Language"));
    MenuEnglish = item(MenuLangue, "MenuEnglish", QStringLiteral("&English"));
    MenuFrancais = item(MenuLangue, "MenuFrancais", QStringLiteral("&Français"));
    MenuEspagnol = item(MenuLangue, "MenuEspagnol", QStringLiteral("Español"));
    // Radio marks, as in the world-map window's Language menu.
    auto* languages = new QActionGroup(this);
    for (QAction* a : {MenuEnglish, MenuFrancais, MenuEspagnol}) {
        a->setCheckable(true);
        languages->addAction(a);
    }

    MenuXXX = submenu(bar, "MenuXXX", QStringLiteral("?"));
    MenuAide = item(MenuXXX, "MenuAide", QStringLiteral("&Help"));

    on(MenuEnregistrer, [this] { MenuEnregistrerClick(); });
    on(Menugenerateur, [this] { MenugenerateurClick(); });
    on(MenuListeDXCC, [this] { MenuListeDXCCClick(); });
    on(MenuQuitter, [this] { MenuQuitterClick(); });
    on(MenuUnitKM, [this] { MenuUnitKMClick(); });
    on(MenuUnitmile, [this] { MenuUnitmileClick(); });
    // The user's clock, list and separator choices are remembered for the
    // refreshes and the settings writer.
    on(MenuTimeLocal, [this] {
        MenuTimeLocalClick();
        RememberClockChoice(false);
    });
    on(MenuTimeUTC, [this] {
        MenuTimeUTCClick();
        RememberClockChoice(true);
    });
    on(MenuAxes, [this] { MenuAxesClick(); });
    on(MenuDistances, [this] { MenuDistancesClick(); });
    on(MenuDXCCOM, [this] {
        MenuDXCCOMClick();
        RememberListChoice(false);
    });
    on(MenuDXCCCB, [this] {
        MenuDXCCCBClick();
        RememberListChoice(true);
    });
    on(SepDefault, [this] {
        SepDefaultClick();
        RememberSeparatorChoice(0);
    });
    on(SepUnderscore, [this] {
        SepUnderscoreClick();
        RememberSeparatorChoice(1);
    });
    on(SepSlash, [this] {
        SepSlashClick();
        RememberSeparatorChoice(2);
    });
    on(SepEqual, [this] {
        SepEqualClick();
        RememberSeparatorChoice(3);
    });
    on(MenuEnglish, [this] { MenuEnglishClick(); });
    on(MenuFrancais, [this] { MenuFrancaisClick(); });
    on(MenuEspagnol, [this] { MenuEspagnolClick(); });
    on(MenuAide, [this] { MenuAideClick(); });
    BuildExportComponent();
    BuildRotatorMenus();

    BuildPelmarinMenus();
    BuildVersionMenus();
}
