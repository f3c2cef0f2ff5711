// The viewer's DX list with real windows under the offscreen platform: the
// selection of a row with its readouts, UTC field and blinking marker, the
// call-sign lookup of both lists, the mouse rules, the list choice and the
// separators, with the map centred on 48.85 N, 2.35 E.
#include "FakePlatform.h"
#include "app/Program.h"
#include "dxlists/UnitDX.h"
#include "dxlists/UnitDXCB.h"
#include "viewer/DxListView.h"
#include "viewer/UnitAzimut.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <utility>

namespace {

const QString Deg = QStringLiteral("\u00B0");

// One start of the program in a folder of its own, with the settings lines
// given (joined by CR LF, written in Windows-1252), the viewer shown.
struct Run {
    QTemporaryDir dir;
    FakePlatform platform;
    Program program{platform};

    explicit Run(const QStringList& lines = {}, QChar decimal = QLatin1Char('.')) {
        platform.folder = dir.path();
        platform.decimal = decimal;
        QDir::setCurrent(dir.path());
        QStringList all = {QStringLiteral("[KORVANTA]"), QStringLiteral("LANGUAGE=ENGLISH")};
        all += lines;
        QFile f(dir.filePath("korvanta.ini"));
        if (f.open(QIODevice::WriteOnly)) f.write((all.join("\r\n") + "\r\n").toLatin1());
        f.close();
        program.app.SettingsExisted = true;
        CreateForms(program);
        program.app.pos.CentreLat = 48.85L;
        program.app.pos.CentreLon = 2.35L;
        viewer()->show();
    }
    ~Run() { DestroyForms(program); }

    TFormAzimut* viewer() const { return program.forms.FormAzimut; }
    QListWidget* list() const { return viewer()->ListBoxDXW; }
    QAction* action(const char* name) const {
        return viewer()->findChild<QAction*>(QLatin1String(name));
    }
    QString azim() const { return viewer()->StaticTextAzim->text(); }
    QString lp() const { return viewer()->StaticTextLP->text(); }
    QString current() const {
        return list()->currentItem() ? list()->currentItem()->text() : QString();
    }
    QString currentKey() const { return current().section(program.viewer.ListSeparator, 0, 0); }

    int rowOf(const QString& text) const {
        for (int i = 0; i < list()->count(); ++i)
            if (list()->item(i)->text() == text) return i;
        return -1;
    }
    int rowStarting(const QString& start) const {
        for (int i = 0; i < list()->count(); ++i)
            if (list()->item(i)->text().startsWith(start)) return i;
        return -1;
    }
    // A real click on a row of the displayed list.
    void click(int row) const {
        QListWidgetItem* item = list()->item(row);
        list()->scrollToItem(item);
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {},
                          list()->visualItemRect(item).center());
    }
    void select(int row) const {
        list()->setCurrentRow(row);
        viewer()->ListBoxDXWClick();
    }
    void type(const QString& text) const {
        viewer()->EditCall->clear();
        QTest::keyClicks(viewer()->EditCall, text);
    }
    int topRow() const { return list()->indexAt(QPoint(2, 2)).row(); }
};

void MoveOver(QWidget* w, QPoint p) {
    QMouseEvent move(QEvent::MouseMove, QPointF(p), QPointF(w->mapToGlobal(p)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &move);
}

QString T(QString s) {
    return s.replace(QLatin1Char('|'), QLatin1Char('\t'));
}

const QString JapanLine = T("DX=JA-JS|Japan (As)|40|N|135|E|UTC+9");
const QString JapanRow = T("JA-JS|Japan (As)|40N|135E|UTC+9");

} // namespace

class TestDxViewer : public QObject {
    Q_OBJECT
  private slots:
    void displayedListAtStart();
    void selectingTheJapanRow();
    void markerFollowsTheScrolledMap();
    void rowAtTheMapCentre();
    void decimalMarksInARow();
    void elevenMetreRows();
    void hamLookup();
    void hamLookupWithEverySeparator_data();
    void hamLookupWithEverySeparator();
    void lookupAfterAClickOnTheSameKey();
    void elevenMetreLookup();
    void mouseRules();
    void blinking();
    void listChoiceClearsTheDisplay();
    void nothingStaysFromTheSelectionBefore();
    void columnsFitTheWidestFieldsAndNoRowIsCut();
    void manageMyDx();
    void separators_data();
    void separators();
    void userRowWithEverySeparator_data();
    void userRowWithEverySeparator();
    void refreshesKeepTheCurrentChoices();
};

void TestDxViewer::displayedListAtStart() {
    Run run({JapanLine});
    // 539 built-in rows and the user's row, in character-code order.
    QCOMPARE(run.list()->count(), 540);
    for (int i = 1; i < run.list()->count(); ++i)
        QVERIFY2(run.list()->item(i - 1)->text().toStdString() <=
                     run.list()->item(i)->text().toStdString(),
                 qPrintable(run.list()->item(i)->text()));
    QVERIFY(run.rowOf(JapanRow) >= 0);
    QVERIFY(run.rowStarting(T("CY-CZ|")) < run.rowStarting(T("CY9|")));
    QCOMPARE(run.list()->item(0)->text(), T("1A|Malta (Eu)|35.83N|14.58E|UTC+1*"));
    QCOMPARE(run.viewer()->ListBoxDX->count(), 539);
    QCOMPARE(run.viewer()->ListBoxDXCB->count(), 351);
    QVERIFY(run.viewer()->ListBoxDX->isHidden());
}

void TestDxViewer::selectingTheJapanRow() {
    Run run({JapanLine});
    const int row = run.rowOf(JapanRow);
    QVERIFY(row >= 0);
    run.click(row);

    QCOMPARE(run.azim(), " Azimuth = 35" + Deg + " /  Range = 9091 km");
    QCOMPARE(run.lp(), " Azimuth = 215" + Deg + " /  Range = 30909 km");
    QCOMPARE(run.viewer()->DxAzimText, run.azim());
    QCOMPARE(run.viewer()->DxLongPathText, run.lp());
    // The key went into the call field without a lookup: the built-in JA-JS
    // row, which sorts first, was not selected instead.
    QCOMPARE(run.viewer()->EditCall->text(), QStringLiteral("JA-JS"));
    QCOMPARE(run.current(), JapanRow);
    QVERIFY(!run.viewer()->CallSetByList);
    QCOMPARE(run.viewer()->EditUTC->text(), QStringLiteral("UTC+9"));
    QCOMPARE(run.list()->toolTip(), QStringLiteral("  JA-JS  Japan (As)  40N  135E  UTC+9"));

    QCOMPARE(run.viewer()->ImageDX->pos(), QPoint(364, 174));
    QCOMPARE(run.viewer()->ImageDX45->pos(), QPoint(364, 174));
    QVERIFY(!run.viewer()->ImageDX->isHidden());
    QVERIFY(run.viewer()->ImageDX45->isHidden());
    QVERIFY(run.viewer()->TimerDX->isActive());
    QCOMPARE(run.viewer()->TimerDX->interval(), 400);
    QCOMPARE(run.viewer()->PublishedBearing, QStringLiteral("35"));
    QCOMPARE(run.platform.beeps, 0);

    // Miles.
    run.action("MenuUnitmile")->trigger();
    run.select(row);
    QCOMPARE(run.azim(), " Azimuth = 35" + Deg + " /  Range = 5649 miles");
    QCOMPARE(run.lp(), " Azimuth = 215" + Deg + " /  Range = 19206 miles");
}

void TestDxViewer::markerFollowsTheScrolledMap() {
    Run run({JapanLine});
    run.viewer()->resize(400, 300);
    QScrollArea* box = run.viewer()->ScrollBox;
    QTest::qWait(1);
    box->horizontalScrollBar()->setValue(100);
    box->verticalScrollBar()->setValue(50);
    const QPoint scroll(box->horizontalScrollBar()->value(), box->verticalScrollBar()->value());
    QVERIFY(scroll.x() > 0 && scroll.y() > 0);
    run.select(run.rowOf(JapanRow));
    // Seen in the visible client area, the marker stands at (364, 174) less
    // the scroll position: its centre pixel on the map pixel (378, 188).
    QCOMPARE(run.viewer()->ImageDX->mapTo(box->viewport(), QPoint(0, 0)),
             QPoint(364, 174) - scroll);
    QCOMPARE(run.viewer()->ImageDX->pos() + QPoint(14, 14),
             run.viewer()->ImageAzimut->pos() + QPoint(378, 188));
}

void TestDxViewer::rowAtTheMapCentre() {
    Run run;
    run.list()->addItem(T("CTR|Here (Eu)|48.85N|2.35E|UTC+1"));
    run.select(run.list()->count() - 1);
    QCOMPARE(run.azim(), " Azimuth = 0" + Deg + " /  Range = 0 km");
    QCOMPARE(run.lp(), " Azimuth = 180" + Deg + " /  Range = 40000 km");
    QCOMPARE(run.viewer()->ImageDX->pos(), QPoint(286, 286));
    QCOMPARE(run.viewer()->PublishedBearing, QStringLiteral("0"));
}

void TestDxViewer::decimalMarksInARow() {
    for (QChar mark : {QLatin1Char('.'), QLatin1Char(',')}) {
        Run run({}, mark);
        run.list()->addItem(T("M1|Malta (Eu)|35.83N|14.58E|UTC+1*"));
        run.list()->addItem(T("M2|Malta (Eu)|35,83N|14,58E|UTC+1*"));
        run.list()->addItem(T("M3|Malta (Eu)|35,8.3N|14,58E|UTC+2"));
        const int n = run.list()->count();
        run.select(n - 3);
        const QString point = run.azim();
        QVERIFY(point.startsWith(" Azimuth = "));
        run.select(n - 2);
        QCOMPARE(run.azim(), point);
        QCOMPARE(run.platform.beeps, 0);
        // Both marks in one number: a beep, the readouts stay; what came
        // before the latitude (hint, call field) is done.
        run.viewer()->StaticTextAzim->setText(QStringLiteral("before"));
        run.select(n - 1);
        QCOMPARE(run.platform.beeps, 1);
        QCOMPARE(run.azim(), QStringLiteral("before"));
        QCOMPARE(run.viewer()->EditCall->text(), QStringLiteral("M3"));
        QCOMPARE(run.viewer()->EditUTC->text(), QStringLiteral("UTC+1*"));
        QVERIFY(run.list()->toolTip().startsWith(QStringLiteral("  M3  Malta")));
    }
}

void TestDxViewer::elevenMetreRows() {
    Run run;
    run.action("MenuDXCCCB")->trigger();
    QCOMPARE(run.list()->count(), 351);
    QCOMPARE(run.list()->item(0)->text(), T("1|Italia (Eu)|42.83N|12.83E"));
    run.viewer()->EditUTC->setText(QStringLiteral("UTC+9"));
    run.click(24);
    QCOMPARE(run.currentKey(), QStringLiteral("25"));
    // An 11m row has no time text: the field does not keep another's.
    QVERIFY(run.viewer()->EditUTC->text().isEmpty());
    QVERIFY(run.azim().startsWith(" Azimuth = "));
    const QString readout = run.azim();
    QCOMPARE(run.platform.beeps, 0);
    // Row 292 has no position.
    run.click(291);
    QCOMPARE(run.platform.beeps, 1);
    QCOMPARE(run.azim(), readout);
    QCOMPARE(run.viewer()->EditCall->text(), QStringLiteral("292"));
}

void TestDxViewer::hamLookup() {
    Run run;
    run.type(QStringLiteral("ZS6AAA"));
    QCOMPARE(run.currentKey(), QStringLiteral("ZS2M"));
    QCOMPARE(run.viewer()->EditCall->text(), QStringLiteral("ZS6AAA"));
    QVERIFY(!run.azim().isEmpty());
    QCOMPARE(run.platform.beeps, 0);

    run.type(QStringLiteral("f4abc"));
    QCOMPARE(run.currentKey(), QStringLiteral("F"));
    QCOMPARE(run.topRow(), run.list()->currentRow());
    QCOMPARE(run.viewer()->EditCall->text(), QStringLiteral("f4abc"));

    // Emptying the field selects nothing new.
    const QString before = run.current();
    run.viewer()->EditCall->clear();
    QCOMPARE(run.current(), before);
}

void TestDxViewer::hamLookupWithEverySeparator_data() {
    QTest::addColumn<QString>("item");
    QTest::newRow("tab") << "SepDefault";
    QTest::newRow("underscore") << "SepUnderscore";
    QTest::newRow("slash") << "SepSlash";
    QTest::newRow("equal") << "SepEqual";
}

void TestDxViewer::hamLookupWithEverySeparator() {
    // The list's order does not depend on the separator: a key stands before
    // the keys it begins (F before FG, K before K2), as the lookup assumes.
    QFETCH(QString, item);
    Run run;
    run.action(item.toLatin1().constData())->trigger();
    run.type(QStringLiteral("F4ABC"));
    QCOMPARE(run.currentKey(), QStringLiteral("F"));
    run.type(QStringLiteral("K1ABC"));
    QCOMPARE(run.currentKey(), QStringLiteral("K"));
    run.type(QStringLiteral("ZS6AAA"));
    QCOMPARE(run.currentKey(), QStringLiteral("ZS2M"));
    QCOMPARE(run.platform.beeps, 0);
}

void TestDxViewer::lookupAfterAClickOnTheSameKey() {
    Run run;
    run.type(QStringLiteral("F"));
    QCOMPARE(run.currentKey(), QStringLiteral("F"));
    run.click(run.list()->currentRow());
    QCOMPARE(run.viewer()->EditCall->text(), QStringLiteral("F"));
    QVERIFY(!run.viewer()->CallSetByList);
    // The next keystroke is looked up.
    QTest::keyClicks(run.viewer()->EditCall, QStringLiteral("G"));
    QCOMPARE(run.currentKey(), QStringLiteral("FG"));
}

void TestDxViewer::elevenMetreLookup() {
    Run run;
    run.action("MenuDXCCCB")->trigger();
    run.type(QStringLiteral("25"));
    QCOMPARE(run.currentKey(), QStringLiteral("25"));
    QCOMPARE(run.topRow(), 24);
    QCOMPARE(run.viewer()->PublishedBearing, run.azim().section(' ', 3, 3).chopped(1));
    run.type(QStringLiteral("500"));
    QCOMPARE(run.currentKey(), QStringLiteral("351"));
    run.type(QStringLiteral("0"));
    QCOMPARE(run.currentKey(), QStringLiteral("1"));
    QCOMPARE(run.platform.beeps, 0);
    run.viewer()->EditCall->setText(QStringLiteral("abc"));
    QCOMPARE(run.platform.beeps, 1);
    QCOMPARE(run.currentKey(), QStringLiteral("1"));
}

void TestDxViewer::mouseRules() {
    Run run({JapanLine});
    TFormAzimut* v = run.viewer();
    run.click(run.rowOf(JapanRow));
    const QString dx = run.azim();

    // Onto the map: the markers go, the map readout comes.
    MoveOver(v->ImageAzimut, QPoint(450, 300));
    QVERIFY(v->ImageDX->isHidden() && v->ImageDX45->isHidden());
    QVERIFY(!v->TimerDX->isActive());
    QCOMPARE(run.azim(), " Azimuth = 90" + Deg + " /  Range = 10000 km");

    // Back onto the list: the DX readout and the blinking come back.
    MoveOver(v->ListBoxDXW->viewport(), QPoint(20, 20));
    QCOMPARE(run.azim(), dx);
    QVERIFY(!v->ImageDX->isHidden());
    QVERIFY(v->TimerDX->isActive());

    // Over the list while the marker blinks: nothing changes.
    v->StaticTextAzim->setText(QStringLiteral("kept"));
    MoveOver(v->ListBoxDXW->viewport(), QPoint(20, 40));
    QCOMPARE(run.azim(), QStringLiteral("kept"));

    // Over the upright marker: like the map at the pixel under the cursor.
    MoveOver(v->ImageDX, QPoint(14, 14));
    QVERIFY(v->ImageDX->isHidden());
    QVERIFY(!v->TimerDX->isActive());
    QCOMPARE(run.azim(), v->StaticTextAzim->text());
    QVERIFY(run.azim().startsWith(" Azimuth = 3")); // about 35 degrees at (378, 188)

    // Over the turned marker: the DX readout and the upright marker again.
    MoveOver(v->ImageDX45, QPoint(3, 3));
    QCOMPARE(run.azim(), dx);
    QVERIFY(!v->ImageDX->isHidden());
    QVERIFY(v->TimerDX->isActive());

    // With the call field empty, the list brings the readout but no marker.
    MoveOver(v->ImageAzimut, QPoint(450, 300));
    v->EditCall->clear();
    MoveOver(v->ListBoxDXW->viewport(), QPoint(20, 20));
    QCOMPARE(run.azim(), dx);
    QVERIFY(v->ImageDX->isHidden());
    QVERIFY(!v->TimerDX->isActive());
}

void TestDxViewer::blinking() {
    Run run({JapanLine});
    TFormAzimut* v = run.viewer();
    run.select(run.rowOf(JapanRow));
    QVERIFY(!v->ImageDX->isHidden() && v->ImageDX45->isHidden());
    v->TimerDXTimer();
    QVERIFY(v->ImageDX->isHidden() && !v->ImageDX45->isHidden());
    QVERIFY(v->TimerDX->isActive());
    v->TimerDXTimer();
    QVERIFY(!v->ImageDX->isHidden() && v->ImageDX45->isHidden());
}

void TestDxViewer::listChoiceClearsTheDisplay() {
    Run run({JapanLine});
    TFormAzimut* v = run.viewer();
    run.select(run.rowOf(JapanRow));
    run.action("MenuDXCCCB")->trigger();
    QVERIFY(run.action("MenuDXCCCB")->isChecked());
    QVERIFY(!run.action("MenuDXCCOM")->isChecked());
    QVERIFY(run.program.app.ListIsCB);
    QVERIFY(!v->TimerDX->isActive());
    QVERIFY(run.azim().isEmpty() && run.lp().isEmpty());
    QVERIFY(v->EditUTC->text().isEmpty() && v->EditCall->text().isEmpty());
    QVERIFY(v->ListBoxDXW->toolTip().isEmpty());
    QVERIFY(v->DxAzimText.isEmpty() && v->DxLongPathText.isEmpty());
    QCOMPARE(run.list()->currentRow(), -1);
    // Moving over the list now shows empty readouts.
    MoveOver(v->ListBoxDXW->viewport(), QPoint(20, 20));
    QVERIFY(run.azim().isEmpty());
    // Back to the ham list: the user's row is there again.
    run.action("MenuDXCCOM")->trigger();
    QVERIFY(!run.program.app.ListIsCB);
    QVERIFY(run.rowOf(JapanRow) >= 0);
}

void TestDxViewer::nothingStaysFromTheSelectionBefore() {
    Run run({JapanLine, T("DX=ZL|New Zealand (Oc)|41|S|174|E")});
    TFormAzimut* v = run.viewer();
    run.select(run.rowOf(JapanRow));
    QCOMPARE(v->EditUTC->text(), QStringLiteral("UTC+9"));
    // A row without a time text empties the UTC field.
    run.select(run.rowOf(T("ZL|New Zealand (Oc)|41S|174E")));
    QCOMPARE(run.platform.beeps, 0);
    QVERIFY(v->EditUTC->text().isEmpty());

    // Whenever the selection goes, both markers go with it, in either phase
    // of the blinking.
    const std::pair<const char*, std::function<void()>> drops[] = {
        {"list choice", [&] { run.action("MenuDXCCCB")->trigger(); }},
        {"separator", [&] { run.action("SepSlash")->trigger(); }},
        {"back to the generator", [&] { v->Menugenerateur->trigger(); }},
    };
    for (const auto& [what, drop] : drops) {
        for (const bool turned : {false, true}) {
            run.action("MenuDXCCOM")->trigger();
            run.action("SepDefault")->trigger();
            if (!v->isVisible()) v->show();
            run.select(run.rowOf(JapanRow));
            if (turned) v->TimerDXTimer();
            QVERIFY2(!v->ImageDX->isHidden() || !v->ImageDX45->isHidden(), what);
            drop();
            QVERIFY2(v->ImageDX->isHidden() && v->ImageDX45->isHidden(), what);
        }
    }
}

void TestDxViewer::columnsFitTheWidestFieldsAndNoRowIsCut() {
    Run run({JapanLine});
    QListWidget* list = run.list();
    auto* d = dynamic_cast<TDxRowDelegate*>(list->itemDelegate());
    QVERIFY(d);
    QCOMPARE(list->textElideMode(), Qt::ElideNone);
    auto checkRows = [&] {
        const QFontMetrics fm(list->font());
        for (int i = 0; i < list->count(); ++i) {
            const QStringList fields = list->item(i)->text().split('\t');
            for (int j = 0; j + 1 < fields.size(); ++j)
                QVERIFY2(d->Stop(j) + fm.horizontalAdvance(fields[j]) < d->Stop(j + 1),
                         qPrintable(list->item(i)->text()));
            QVERIFY(d->Stop(int(fields.size()) - 1) + fm.horizontalAdvance(fields.last()) <=
                    d->Extent());
            QCOMPARE(list->visualItemRect(list->item(i)).height(), 15);
        }
    };
    checkRows();
    // What does not fit in 313 pixels is reached with the scroll bar.
    QVERIFY(d->Extent() > list->viewport()->width());
    QVERIFY(list->horizontalScrollBar()->maximum() > 0);
    // A user row with a longer country widens its column at once.
    const int before = d->Stop(2);
    run.viewer()->AppendDxRow(
        T("ZZ1|A country whose name is longer than any of the lists has (Eu)|1N|2E|UTC"));
    QVERIFY(d->Stop(2) > before);
    checkRows();
    // Every rebuild measures the rows it shows.
    run.action("MenuDXCCCB")->trigger();
    QVERIFY(d->Stop(2) < before);
    checkRows();
}

void TestDxViewer::manageMyDx() {
    Run run;
    TFormListeDXCC* ham = run.program.forms.FormListeDXCC;
    TFormListeDXCB* cb = run.program.forms.FormListeDXCB;
    run.action("MenuListeDXCC")->trigger();
    QVERIFY(ham->isVisible());
    QVERIFY(!cb->isVisible());
    run.action("MenuDXCCCB")->trigger();
    run.action("MenuListeDXCC")->trigger();
    QVERIFY(!ham->isVisible());
    QVERIFY(cb->isVisible());
}

void TestDxViewer::separators_data() {
    QTest::addColumn<QString>("item");
    QTest::addColumn<QChar>("mark");
    QTest::addColumn<QString>("first");
    QTest::addColumn<int>("index");
    QTest::newRow("tab, point") << "SepDefault" << QChar('.')
                                << T("1A|Malta (Eu)|35.83N|14.58E|UTC+1*") << 0;
    QTest::newRow("underscore, point")
        << "SepUnderscore" << QChar('.') << "1A_Malta (Eu)_35.83N_14.58E_UTC+1*" << 1;
    QTest::newRow("slash, comma") << "SepSlash" << QChar(',')
                                  << "1A/Malta (Eu)/35,83N/14,58E/UTC+1*" << 2;
    QTest::newRow("equal, comma") << "SepEqual" << QChar(',')
                                  << "1A=Malta (Eu)=35,83N=14,58E=UTC+1*" << 3;
    QTest::newRow("tab, comma") << "SepDefault" << QChar(',')
                                << T("1A|Malta (Eu)|35,83N|14,58E|UTC+1*") << 0;
}

void TestDxViewer::separators() {
    QFETCH(QString, item);
    QFETCH(QChar, mark);
    QFETCH(QString, first);
    QFETCH(int, index);
    Run run({}, mark);
    run.select(5);
    run.action(item.toLatin1().constData())->trigger();
    QCOMPARE(run.list()->item(0)->text(), first);
    QCOMPARE(run.list()->count(), 539);
    QCOMPARE(run.list()->currentRow(), -1); // the rebuild clears the selection
    QCOMPARE(run.program.app.SeparatorIndex, index);
    QVERIFY(run.action(item.toLatin1().constData())->isChecked());

    // Every row splits into its fields at the separator, except the keys
    // that hold a slash when the slash is the separator.
    run.list()->setCurrentRow(0);
    run.viewer()->ListBoxDXWClick();
    QCOMPARE(run.platform.beeps, 0);
    QCOMPARE(run.viewer()->EditCall->text(), QStringLiteral("1A"));
    const int austral = run.rowStarting(QStringLiteral("FO/A"));
    QVERIFY(austral >= 0);
    run.select(austral);
    QCOMPARE(run.platform.beeps, item == QLatin1String("SepSlash") ? 1 : 0);
}

void TestDxViewer::userRowWithEverySeparator_data() {
    QTest::addColumn<QString>("item");
    QTest::addColumn<QChar>("sep");
    QTest::newRow("tab") << "SepDefault" << QChar('\t');
    QTest::newRow("underscore") << "SepUnderscore" << QChar('_');
    QTest::newRow("slash") << "SepSlash" << QChar('/');
    QTest::newRow("equal") << "SepEqual" << QChar('=');
}

void TestDxViewer::userRowWithEverySeparator() {
    QFETCH(QString, item);
    QFETCH(QChar, sep);
    Run run({T("DX=QQ1|My place (Eu)|45,5|N|20|E|UTC+1"), JapanLine}, QLatin1Char(','));
    run.action(item.toLatin1().constData())->trigger();
    const QString mine = QStringList{"QQ1", "My place (Eu)", "45,5N", "20E", "UTC+1"}.join(sep);
    QVERIFY(run.rowOf(mine) >= 0);
    run.type(QStringLiteral("qq1"));
    QCOMPARE(run.current(), mine);
    QCOMPARE(run.platform.beeps, 0);
    QVERIFY(run.azim().startsWith(" Azimuth = "));
    QCOMPARE(run.viewer()->EditUTC->text(), QStringLiteral("UTC+1"));
    // A click on it works the same way.
    run.viewer()->StaticTextAzim->clear();
    run.click(run.rowOf(mine));
    QCOMPARE(run.platform.beeps, 0);
    QVERIFY(!run.azim().isEmpty());
}

void TestDxViewer::refreshesKeepTheCurrentChoices() {
    Run run({JapanLine});
    TFormAzimut* v = run.viewer();
    run.action("SepSlash")->trigger();
    run.type(QStringLiteral("JA"));
    // The activation refresh re-applies the separator chosen now, keeps the
    // user's row, and looks the call up again.
    v->FormActivate();
    QCOMPARE(run.program.viewer.ListSeparator, QLatin1Char('/'));
    QVERIFY(run.action("SepSlash")->isChecked());
    QVERIFY(run.rowOf(QStringLiteral("JA-JS/Japan (As)/40N/135E/UTC+9")) >= 0);
    QCOMPARE(run.currentKey(), QStringLiteral("JA-JS"));
    // The show refresh applies the list chosen now.
    run.action("MenuDXCCCB")->trigger();
    v->hide();
    v->show();
    QVERIFY(run.action("MenuDXCCCB")->isChecked());
    QCOMPARE(run.list()->count(), 351);
    QCOMPARE(run.list()->item(0)->text(), QStringLiteral("1/Italia (Eu)/42.83N/12.83E"));
}

QTEST_MAIN(TestDxViewer)
#include "test_dxviewer.moc"
