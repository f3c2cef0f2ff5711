// The "My DX" and "My 11m DX" editors with real windows under the offscreen
// platform: the load step from the settings, OK with each failing check,
// Cancel and the close box, the hand-over to the viewer's list, the language
// texts, and the round trip of the user's rows through the settings file.
#include "FakePlatform.h"
#include "app/Program.h"
#include "app/UnitCarte.h"
#include "dxlists/UnitConv.h"
#include "dxlists/UnitDX.h"
#include "dxlists/UnitDXCB.h"
#include "viewer/UnitAzimut.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

namespace {

QString T(QString s) {
    return s.replace(QLatin1Char('|'), QLatin1Char('\t'));
}

// One start of the program in a folder of its own, from the settings lines
// given (a language first unless `language` is empty).
struct Run {
    QTemporaryDir dir;
    FakePlatform platform;
    Program program{platform};

    explicit Run(const QStringList& lines = {}, QChar decimal = QLatin1Char('.'),
                 const QString& language = QStringLiteral("ENGLISH")) {
        platform.folder = dir.path();
        platform.decimal = decimal;
        QDir::setCurrent(dir.path());
        writeSettings(lines, language);
        program.app.SettingsExisted = true;
        CreateForms(program);
    }
    ~Run() { DestroyForms(program); }

    void writeSettings(const QStringList& lines, const QString& language) {
        QStringList all = {QStringLiteral("[KORVANTA]")};
        if (!language.isEmpty()) all << QStringLiteral("LANGUAGE=") + language;
        all += lines;
        QFile f(dir.filePath("korvanta.ini"));
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        if (f.open(QIODevice::WriteOnly)) f.write((all.join("\r\n") + "\r\n").toLatin1());
    }

    TFormAzimut* viewer() const { return program.forms.FormAzimut; }
    TFormListeDXCC* ham() const { return program.forms.FormListeDXCC; }
    TFormListeDXCB* cb() const { return program.forms.FormListeDXCB; }
    QListWidget* list() const { return viewer()->ListBoxDXW; }
    QAction* action(const char* name) const {
        return viewer()->findChild<QAction*>(QLatin1String(name));
    }
    void showViewer() const { viewer()->show(); }

    static void fill(TDxGridEditor* e, int row, const QStringList& cells) {
        for (int c = 0; c < cells.size(); ++c)
            e->SetCell(c, row, cells[c]);
    }
    static QStringList rowCells(const TDxGridEditor* e, int row) {
        QStringList out;
        for (int c = 0; c < e->ColumnCount(); ++c)
            out << e->Cell(c, row);
        return out;
    }
    int rowOf(const QString& text) const {
        for (int i = 0; i < list()->count(); ++i)
            if (list()->item(i)->text() == text) return i;
        return -1;
    }
    QStringList listRows() const {
        QStringList out;
        for (int i = 0; i < list()->count(); ++i)
            out << list()->item(i)->text();
        return out;
    }
    QStringList writtenDxLines() const {
        QFile f(dir.filePath("korvanta.ini"));
        if (!f.open(QIODevice::ReadOnly)) return {};
        QStringList out;
        for (const QString& line : QString::fromLatin1(f.readAll()).split("\r\n"))
            if (line.startsWith("DX=") || line.startsWith("DXCB=")) out << line;
        return out;
    }
};

const QStringList Germany = {"DL", "Germany (Eu)", "51", "N", "10", "E", "UTC+1"};

} // namespace

class TestDxEditors : public QObject {
    Q_OBJECT
  private slots:
    void layout();
    void languageTexts();
    void loadStepFromTheSettings();
    void emptyValueStopsTheLoad();
    void okOnAnEmptyGrid();
    void failingChecks_data();
    void failingChecks();
    void checksRunInTheirOrder_data();
    void checksRunInTheirOrder();
    void elevenMetreMessagesAreFrench();
    void rewritesStayAndCancelRestores();
    void closeBoxRestores();
    void cellBeingTypedIsRestoredToo();
    void timeCellAloneIsNoEntry();
    void okHandsTheRowsToTheViewer();
    void okInTheElevenMetreEditor();
    void laterLoadStepKeepsTheUsersEdits();
    void typingIntoTheGrid();
    void settingsRoundTrip();
    void moreThan99StoredLines();
    void foundAgainAfterARestart();
    void questionMarkOpensTheConverter();
};

void TestDxEditors::layout() {
    Run run({}, QLatin1Char('.'), QString());
    TFormListeDXCC* ham = run.ham();
    QCOMPARE(ham->windowTitle(), QStringLiteral("Mes DX"));
    QCOMPARE(ham->size(), QSize(556, 225));
    QCOMPARE(ham->minimumSize(), ham->maximumSize());
    auto* grid = ham->findChild<QTableWidget*>("StringGridDX");
    QVERIFY(grid);
    QCOMPARE(grid->geometry(), QRect(10, 16, 519, 153));
    QCOMPARE(grid->rowCount(), 99); // rows 1 to 99 below the header row 0
    QCOMPARE(grid->columnCount(), 7);
    const int widths[] = {64, 161, 64, 25, 64, 31, 82};
    for (int c = 0; c < 7; ++c)
        QCOMPARE(grid->columnWidth(c), widths[c]);
    QVERIFY(ham->findChild<QTableWidget*>("StringGridSaveDX")->isHidden());
    QCOMPARE(ham->Cell(0, 0), QStringLiteral("CALL"));
    QCOMPARE(ham->Cell(6, 0), QStringLiteral("UTC"));
    QVERIFY(ham->Cell(1, 0).isEmpty()); // no language yet
    auto* ok = ham->findChild<QPushButton*>("BitBtnOK");
    QCOMPARE(ok->geometry(), QRect(64, 184, 113, 25));
    QVERIFY(ok->isDefault());
    QCOMPARE(ham->findChild<QPushButton*>("BitBtnCancel")->geometry(), QRect(232, 184, 129, 25));
    auto* conv = ham->findChild<QPushButton*>("ButtonConv");
    QCOMPARE(conv->geometry(), QRect(400, 184, 25, 25));
    QCOMPARE(conv->text(), QStringLiteral("?"));
    QCOMPARE(conv->toolTip(), QStringLiteral("Convert deg/min/sec => Decimal"));

    TFormListeDXCB* cb = run.cb();
    QCOMPARE(cb->windowTitle(), QStringLiteral("Mes DX 11m"));
    QCOMPARE(cb->size(), QSize(459, 224));
    auto* cbGrid = cb->findChild<QTableWidget*>("StringGridDXCB");
    QCOMPARE(cbGrid->geometry(), QRect(10, 16, 439, 153));
    QCOMPARE(cbGrid->columnCount(), 6);
    QVERIFY(cb->findChild<QTableWidget*>("StringGridSaveDXCB"));
    QVERIFY(cb->findChild<QPushButton*>("BitBtnOKCB"));
    QVERIFY(cb->findChild<QPushButton*>("BitBtnCancelCB"));
    QVERIFY(!ham->isVisible() && !cb->isVisible());
}

void TestDxEditors::languageTexts() {
    Run run;
    run.showViewer(); // the language routine and the load step of the list choice
    QCOMPARE(run.ham()->windowTitle(), QStringLiteral("My DX"));
    QCOMPARE(run.cb()->windowTitle(), QStringLiteral("My 11m DX"));
    const QStringList english = {"CALL", "COUNTRY", "LAT (dec)", "N/S", "LON (dec)", "E/W", "UTC"};
    QCOMPARE(Run::rowCells(run.ham(), 0), english);

    run.program.forms.FormCarte->MenuEspagnolClick();
    run.viewer()->ButtonLangueClick();
    QCOMPARE(run.ham()->windowTitle(), QStringLiteral("Mi DX"));
    QCOMPARE(run.ham()->Cell(1, 0), QStringLiteral("PAÍS"));
    QCOMPARE(run.cb()->windowTitle(), QStringLiteral("Mi 11m DX"));
    // The routine itself changes only the country header; the load step of
    // the next list choice sets the others.
    QCOMPARE(run.ham()->Cell(5, 0), QStringLiteral("E/W"));
    run.action("MenuDXCCOM")->trigger();
    QCOMPARE(run.ham()->Cell(5, 0), QStringLiteral("E/O"));
    run.action("MenuDXCCCB")->trigger();
    QCOMPARE(Run::rowCells(run.cb(), 0),
             (QStringList{"CALL", "PAÍS", "LAT (dec)", "N/S", "LON (dec)", "E/O"}));
}

void TestDxEditors::loadStepFromTheSettings() {
    Run run({T("DX=dl|Germany (Eu)|51.5|n|10|e"),            // six fields, no time
             T("DX=ZZ|Bad row|51|X|10|E"),                   // refused: skipped
             T("DX=JA-JS|Japan (As)|40|N|135|E|UTC+9"),      // seven fields
             T("DXCB=400|My island (Oc)|10,5|S|160|E"),      // an 11m row
             T("DXCB=401|Seven fields (Oc)|1|S|1|E|UTC+1")}, // refused for 11m
            QLatin1Char(','));
    TFormListeDXCC* ham = run.ham();
    QCOMPARE(Run::rowCells(ham, 1),
             (QStringList{"DL", "Germany (Eu)", "51,5", "N", "10", "E", ""}));
    QCOMPARE(Run::rowCells(ham, 2), QStringList(7, QString()));
    QCOMPARE(Run::rowCells(ham, 3),
             (QStringList{"JA-JS", "Japan (As)", "40", "N", "135", "E", "UTC+9"}));
    QCOMPARE(ham->AcceptedDisplayRows(),
             (QStringList{T("DL|Germany (Eu)|51,5N|10E"), T("JA-JS|Japan (As)|40N|135E|UTC+9")}));
    QCOMPARE(Run::rowCells(run.cb(), 1),
             (QStringList{"400", "My island (Oc)", "10,5", "S", "160", "E"}));
    QVERIFY(Run::rowCells(run.cb(), 2).join("").isEmpty());

    // The ham list in use: its user rows merged in sorted place.
    QCOMPARE(run.list()->count(), 541);
    const int dl = run.rowOf(T("DL|Germany (Eu)|51,5N|10E"));
    QVERIFY(dl > 0);
    QVERIFY(run.list()->item(dl - 1)->text() < run.list()->item(dl)->text());
    QVERIFY(run.list()->item(dl)->text() < run.list()->item(dl + 1)->text());
    // The 11m rows come with the 11m list.
    run.showViewer();
    run.action("MenuDXCCCB")->trigger();
    QCOMPARE(run.list()->count(), 352);
    QCOMPARE(run.list()->item(351)->text(), T("400|My island (Oc)|10,5S|160E"));
}

void TestDxEditors::emptyValueStopsTheLoad() {
    Run run({T("DX=DL|Germany (Eu)|51|N|10|E"), QStringLiteral("DX="),
             T("DX=F|France (Eu)|46|N|2|E|UTC+1")});
    QCOMPARE(run.ham()->Cell(0, 1), QStringLiteral("DL"));
    QVERIFY(Run::rowCells(run.ham(), 2).join("").isEmpty());
    QVERIFY(Run::rowCells(run.ham(), 3).join("").isEmpty());
    QCOMPARE(run.ham()->AcceptedDisplayRows().size(), 1);
    // Written back: the rows loaded, nothing of what followed the empty value.
    run.program.forms.FormCarte->SettingsWrite();
    QCOMPARE(run.writtenDxLines(), QStringList{T("DX=DL|Germany (Eu)|51|N|10|E")});
}

void TestDxEditors::okOnAnEmptyGrid() {
    Run run;
    run.showViewer();
    run.action("MenuListeDXCC")->trigger();
    QVERIFY(run.ham()->isVisible());
    QTest::mouseClick(run.ham()->BitBtnOK, Qt::LeftButton);
    QVERIFY(!run.ham()->isVisible());
    QVERIFY(run.platform.boxes.isEmpty());
    QCOMPARE(run.list()->count(), 539);
    QVERIFY(!run.list()->isHidden());
}

void TestDxEditors::failingChecks_data() {
    QTest::addColumn<QStringList>("cells");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("message");
    const QString missing = QStringLiteral("Please fill each field of a DX");
    const QString number = QStringLiteral("Wrong format!");
    auto with = [](int c, const QString& v) {
        QStringList cells = Germany;
        cells[c] = v;
        return cells;
    };
    QTest::newRow("no key") << with(0, "") << 0 << missing;
    QTest::newRow("no country") << with(1, "") << 1 << missing;
    QTest::newRow("no latitude") << with(2, "") << 2 << missing;
    QTest::newRow("latitude 1,5.2") << with(2, "1,5.2") << 2 << number;
    QTest::newRow("no latitude letter") << with(3, "") << 3 << missing;
    QTest::newRow("latitude letter North") << with(3, "North") << 3 << QString("N or S");
    QTest::newRow("no longitude") << with(4, "") << 4 << missing;
    QTest::newRow("longitude of letters") << with(4, "ten") << 4 << number;
    QTest::newRow("no longitude letter") << with(5, "") << 5 << missing;
    QTest::newRow("longitude letter O") << with(5, "O") << 5 << QString("E or W");
}

void TestDxEditors::failingChecks() {
    QFETCH(QStringList, cells);
    QFETCH(int, column);
    QFETCH(QString, message);
    Run run;
    run.showViewer();
    run.action("MenuListeDXCC")->trigger();
    Run::fill(run.ham(), 1, {"F", "France (Eu)", "46.5", "n", "2", "e", ""});
    Run::fill(run.ham(), 4, cells);
    const int listed = run.list()->count();
    run.ham()->BitBtnOKClick();
    QCOMPARE(run.platform.boxes.size(), 1);
    QCOMPARE(run.platform.boxes[0].kind, Platform::Box::Error);
    QCOMPARE(run.platform.boxes[0].text, message);
    QCOMPARE(run.ham()->CurrentCol(), column);
    QCOMPARE(run.ham()->CurrentRow(), 4);
    QVERIFY(run.ham()->isVisible());
    // The refused cell has the keyboard, not the OK button.
    QCOMPARE(run.ham()->focusWidget(), run.ham()->StringGridDX);
    QCOMPARE(run.list()->count(), listed);
    // The row before passed its checks and keeps its rewritten letters.
    QCOMPARE(Run::rowCells(run.ham(), 1),
             (QStringList{"F", "France (Eu)", "46.5", "N", "2", "E", ""}));
}

void TestDxEditors::checksRunInTheirOrder_data() {
    // Two faults in one row: the check that comes first reports, and the
    // cells of the row before it keep their rewritten text.
    QTest::addColumn<QStringList>("cells");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("after");
    const QString missing = QStringLiteral("Please fill each field of a DX");
    const QString number = QStringLiteral("Wrong format!");
    QTest::newRow("key before country") << QStringList{"", "", "1", "n", "2", "e", ""} << 0
                                        << missing << QStringList{"", "", "1", "n", "2", "e", ""};
    QTest::newRow("country before latitude number")
        << QStringList{"dl", "", "1,5.2", "n", "2", "e", ""} << 1 << missing
        << QStringList{"DL", "", "1,5.2", "n", "2", "e", ""};
    QTest::newRow("latitude number before its letter")
        << QStringList{"dl", "G", "1,5.2", "", "2", "e", ""} << 2 << number
        << QStringList{"DL", "G", "1,5.2", "", "2", "e", ""};
    QTest::newRow("latitude letter before longitude")
        << QStringList{"dl", "G", "51.5", "x", "", "e", ""} << 3 << QString("N or S")
        << QStringList{"DL", "G", "51,5", "x", "", "e", ""};
    QTest::newRow("longitude number before its letter")
        << QStringList{"dl", "G", "51.5", "n", "ten", "", ""} << 4 << number
        << QStringList{"DL", "G", "51,5", "N", "ten", "", ""};
    QTest::newRow("longitude letter last")
        << QStringList{"dl", "G", "51.5", "n", "10.25", "o", "t"} << 5 << QString("E or W")
        << QStringList{"DL", "G", "51,5", "N", "10,25", "o", "t"};
}

void TestDxEditors::checksRunInTheirOrder() {
    QFETCH(QStringList, cells);
    QFETCH(int, column);
    QFETCH(QString, message);
    QFETCH(QStringList, after);
    Run run({}, QLatin1Char(','));
    run.showViewer();
    run.action("MenuListeDXCC")->trigger();
    Run::fill(run.ham(), 2, cells);
    run.ham()->BitBtnOKClick();
    QCOMPARE(run.platform.boxes.size(), 1);
    QCOMPARE(run.platform.boxes[0].text, message);
    QCOMPARE(run.ham()->CurrentCol(), column);
    QCOMPARE(run.ham()->CurrentRow(), 2);
    QCOMPARE(Run::rowCells(run.ham(), 2), after);
}

void TestDxEditors::elevenMetreMessagesAreFrench() {
    Run run;
    run.showViewer();
    run.action("MenuDXCCCB")->trigger();
    run.action("MenuListeDXCC")->trigger();
    QVERIFY(run.cb()->isVisible());
    Run::fill(run.cb(), 2, {"400", "", "1", "N", "1", "E"});
    run.cb()->BitBtnOKCBClick();
    QCOMPARE(run.platform.lastText(), QStringLiteral("Renseignez tous les champs d'un DX , svp"));
    QCOMPARE(run.cb()->CurrentCol(), 1);
    QCOMPARE(run.cb()->CurrentRow(), 2);
    Run::fill(run.cb(), 2, {"400", "Isle", "1", "Nord", "1", "E"});
    run.cb()->BitBtnOKCBClick();
    QCOMPARE(run.platform.lastText(), QStringLiteral("N ou S"));
    Run::fill(run.cb(), 2, {"400", "Isle", "1", "N", "1", "O"});
    run.cb()->BitBtnOKCBClick();
    QCOMPARE(run.platform.lastText(), QStringLiteral("E ou W"));
    Run::fill(run.cb(), 2, {"400", "Isle", "1", "N", "1,2,3", "E"});
    run.cb()->BitBtnOKCBClick();
    QCOMPARE(run.platform.lastText(), QStringLiteral("Format erroné !"));
    // The "My DX" messages are English by now.
    QCOMPARE(run.program.viewer.msg.DxMissingField,
             QStringLiteral("Please fill each field of a DX"));
}

void TestDxEditors::rewritesStayAndCancelRestores() {
    Run run({}, QLatin1Char(','));
    run.showViewer();
    run.action("MenuListeDXCC")->trigger();
    TFormListeDXCC* ham = run.ham();
    Run::fill(ham, 1, {"F", "France (Eu)", "46.5", "n", "2", "e", ""});
    Run::fill(ham, 2, {"DL", "Germany (Eu)", "51", "s", "10.25", "w", "UTC+1"});
    Run::fill(ham, 3, {"G", "England (Eu)", "1,5.2", "N", "0", "E", ""});
    ham->BitBtnOKClick();
    QCOMPARE(run.platform.lastText(), QStringLiteral("Wrong format!"));
    QCOMPARE(Run::rowCells(ham, 1), (QStringList{"F", "France (Eu)", "46,5", "N", "2", "E", ""}));
    QCOMPARE(Run::rowCells(ham, 2),
             (QStringList{"DL", "Germany (Eu)", "51", "S", "10,25", "W", "UTC+1"}));

    // Cancel puts back the snapshot taken when the window was shown: empty.
    QTest::mouseClick(ham->BitBtnCancel, Qt::LeftButton);
    QVERIFY(!ham->isVisible());
    QVERIFY(run.program.viewer.ReturningFromDialog);
    for (int r = 1; r <= 3; ++r)
        QVERIFY(Run::rowCells(ham, r).join("").isEmpty());
    QCOMPARE(run.list()->count(), 539);
}

void TestDxEditors::closeBoxRestores() {
    Run run({T("DX=DL|Germany (Eu)|51|N|10|E")});
    run.showViewer();
    run.program.viewer.ReturningFromDialog = false;
    run.action("MenuListeDXCC")->trigger();
    run.ham()->SetCell(1, 1, QStringLiteral("Deutschland"));
    run.ham()->SetCell(0, 5, QStringLiteral("XX"));
    run.ham()->close();
    QVERIFY(!run.ham()->isVisible());
    QVERIFY(run.program.viewer.ReturningFromDialog);
    QCOMPARE(run.ham()->Cell(1, 1), QStringLiteral("Germany (Eu)"));
    QVERIFY(run.ham()->Cell(0, 5).isEmpty());
    // The next activation of the viewer skips its refresh once.
    run.viewer()->FormActivate();
    QVERIFY(!run.program.viewer.ReturningFromDialog);
}

void TestDxEditors::cellBeingTypedIsRestoredToo() {
    // A cell still open for typing when the window is closed or cancelled
    // goes back to the snapshot like the others; OK takes what it holds.
    for (const char* how : {"close box", "cancel button", "ok button"}) {
        Run run({T("DX=DL|Germany (Eu)|51|N|10|E")});
        run.showViewer();
        run.action("MenuListeDXCC")->trigger();
        TFormListeDXCC* ham = run.ham();
        ham->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(ham));
        QTableWidget* grid = ham->StringGridDX;
        grid->setFocus();
        grid->setCurrentCell(0, 1);
        QTest::keyClick(grid, 'D');
        QWidget* editor = QApplication::focusWidget();
        QVERIFY(editor && editor != grid); // the cell is open for typing
        QTest::keyClicks(editor, QStringLiteral("eutschland"));
        if (QByteArray(how) == "close box") {
            ham->close();
        } else if (QByteArray(how) == "cancel button") {
            QTest::mouseClick(ham->BitBtnCancel, Qt::LeftButton);
        } else {
            QTest::mouseClick(ham->BitBtnOK, Qt::LeftButton);
        }
        QTest::qWait(1);
        QVERIFY2(!ham->isVisible(), how);
        const QString expected = QByteArray(how) == "ok button" ? QStringLiteral("Deutschland")
                                                                : QStringLiteral("Germany (Eu)");
        QCOMPARE(ham->Cell(1, 1), expected);
        // Shown again, the window starts from the grid as it now stands.
        run.action("MenuListeDXCC")->trigger();
        QCOMPARE(ham->Cell(1, 1), expected);
    }

    // The latitude cell still open: saved as typed when the program ends;
    // OK with a later check failing leaves it with its rewritten mark.
    Run run({}, QLatin1Char(','));
    run.showViewer();
    run.action("MenuListeDXCC")->trigger();
    TFormListeDXCC* ham = run.ham();
    ham->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(ham));
    Run::fill(ham, 1, {"F", "France (Eu)", "", "N", "2", "X", ""});
    QTableWidget* grid = ham->StringGridDX;
    grid->setFocus();
    grid->setCurrentCell(0, 2);
    QTest::keyClick(grid, '4');
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("6.5"));
    // The program ending now saves the cell as typed.
    run.program.forms.FormCarte->SettingsWrite();
    QCOMPARE(run.writtenDxLines(), QStringList{T("DX=F|France (Eu)|46.5|N|2|X")});
    ham->BitBtnOKClick();
    QCOMPARE(run.platform.lastText(), QStringLiteral("E or W"));
    QCOMPARE(ham->CurrentCol(), 5);
    QCOMPARE(ham->Cell(2, 1), QStringLiteral("46,5"));
}

void TestDxEditors::timeCellAloneIsNoEntry() {
    Run run;
    run.showViewer();
    run.action("MenuListeDXCC")->trigger();
    run.ham()->SetCell(6, 2, QStringLiteral("UTC+3"));
    run.ham()->BitBtnOKClick();
    QVERIFY(run.platform.boxes.isEmpty());
    QVERIFY(!run.ham()->isVisible());
    QCOMPARE(run.list()->count(), 539);
    QVERIFY(run.ham()->StoredLines().isEmpty());
}

void TestDxEditors::okHandsTheRowsToTheViewer() {
    Run run({}, QLatin1Char(','));
    run.showViewer();
    QTest::keyClicks(run.viewer()->EditCall, QStringLiteral("QQ"));
    run.action("MenuListeDXCC")->trigger();
    Run::fill(run.ham(), 1, {"QQ1", "My place (Eu)", "45.5", "N", "20", "E", ""});
    Run::fill(run.ham(), 3, {"AAA", "First (Eu)", "1", "S", "2", "W", "UTC-1"});
    run.ham()->BitBtnOKClick();
    QVERIFY(run.platform.boxes.isEmpty());
    QVERIFY(!run.ham()->isVisible());
    QCOMPARE(run.list()->count(), 541);
    const QStringList rows = run.listRows();
    QStringList sorted = rows;
    std::sort(sorted.begin(), sorted.end(),
              [](const QString& a, const QString& b) { return a.toStdString() < b.toStdString(); });
    QCOMPARE(rows, sorted);
    // A row with no time text has four fields.
    QVERIFY(rows.contains(T("QQ1|My place (Eu)|45,5N|20E")));
    QVERIFY(rows.contains(T("AAA|First (Eu)|1S|2W|UTC-1")));
    // The lookup ran again over the new list.
    QCOMPARE(run.list()->currentItem()->text(), T("QQ1|My place (Eu)|45,5N|20E"));
    // The holder follows OK; the stored row of an empty time cell has six fields.
    QCOMPARE(run.program.app.MemoDX,
             (QStringList{T("QQ1|My place (Eu)|45,5|N|20|E"), T("AAA|First (Eu)|1|S|2|W|UTC-1")}));
    QVERIFY(!run.program.viewer.ReturningFromDialog);
}

void TestDxEditors::okInTheElevenMetreEditor() {
    Run run({T("DXCB=352|Old one (Oc)|5|N|5|E")});
    run.showViewer();
    run.action("MenuDXCCCB")->trigger();
    QCOMPARE(run.list()->count(), 352);
    run.action("MenuListeDXCC")->trigger();
    Run::fill(run.cb(), 2, {"400", "Far isle (Oc)", "10", "s", "160", "e"});
    Run::fill(run.cb(), 3, {"360", "Near isle (Oc)", "11", "S", "161", "E"});
    QTest::mouseClick(run.cb()->BitBtnOKCB, Qt::LeftButton);
    QVERIFY(run.platform.boxes.isEmpty());
    QVERIFY(!run.cb()->isVisible());
    // The user's rows follow the 351 built-in rows in grid order.
    const QStringList rows = run.listRows();
    QCOMPARE(rows.size(), 354);
    QCOMPARE(rows.mid(351),
             (QStringList{T("352|Old one (Oc)|5N|5E"), T("400|Far isle (Oc)|10S|160E"),
                          T("360|Near isle (Oc)|11S|161E")}));
    QCOMPARE(rows[0], T("1|Italia (Eu)|42.83N|12.83E"));
    QTest::keyClicks(run.viewer()->EditCall, QStringLiteral("352"));
    QCOMPARE(run.list()->currentRow(), 351);
    QCOMPARE(run.platform.beeps, 0);
}

void TestDxEditors::laterLoadStepKeepsTheUsersEdits() {
    Run run({T("DX=DL|Germany (Eu)|51|N|10|E")});
    run.showViewer();
    // Accepted by OK, then typed without OK.
    run.action("MenuListeDXCC")->trigger();
    run.ham()->SetCell(1, 1, QStringLiteral("Deutschland (Eu)"));
    run.ham()->BitBtnOKClick();
    run.action("MenuListeDXCC")->trigger();
    run.ham()->SetCell(0, 2, QStringLiteral("F"));
    // The list choice runs the load step again, as every showing does.
    run.action("MenuDXCCCB")->trigger();
    run.action("MenuDXCCOM")->trigger();
    run.viewer()->hide();
    run.viewer()->show();
    QCOMPARE(run.ham()->Cell(1, 1), QStringLiteral("Deutschland (Eu)"));
    QCOMPARE(run.ham()->Cell(0, 2), QStringLiteral("F"));
    QVERIFY(run.rowOf(T("DL|Deutschland (Eu)|51N|10E")) >= 0);
    QCOMPARE(run.rowOf(T("DL|Germany (Eu)|51N|10E")), -1);
    QCOMPARE(run.list()->count(), 540);
}

void TestDxEditors::typingIntoTheGrid() {
    Run run;
    run.showViewer();
    run.action("MenuListeDXCC")->trigger();
    TFormListeDXCC* ham = run.ham();
    ham->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(ham));
    QTableWidget* grid = ham->StringGridDX;
    grid->setFocus();
    grid->setCurrentCell(0, 0);
    const QStringList cells = {"ea", "Spain (Eu)", "40.4", "n", "3.7", "w", "UTC+1"};
    for (const QString& text : cells) {
        for (QChar ch : text) {
            QWidget* target = QApplication::focusWidget();
            QVERIFY(target);
            QTest::keyClick(target, ch.toLatin1());
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(Run::rowCells(ham, 1), cells);
    QTest::mouseClick(ham->BitBtnOK, Qt::LeftButton);
    QVERIFY(run.platform.boxes.isEmpty());
    // OK upper-cases the key and the letters, so the lookup finds the entry at once.
    QCOMPARE(Run::rowCells(ham, 1),
             (QStringList{"EA", "Spain (Eu)", "40.4", "N", "3.7", "W", "UTC+1"}));
    QVERIFY(run.rowOf(T("EA|Spain (Eu)|40.4N|3.7W|UTC+1")) >= 0);
    QTest::keyClicks(run.viewer()->EditCall, QStringLiteral("ea"));
    QCOMPARE(run.list()->currentItem()->text(), T("EA|Spain (Eu)|40.4N|3.7W|UTC+1"));
}

void TestDxEditors::settingsRoundTrip() {
    Run run({T("DX=dl|Germany (Eu)|51|n|10|e"), T("DX=JA-JS|Japan (As)|40|N|135|E|UTC+9"),
             T("DXCB=400|My island (Oc)|10|S|160|E")});
    run.program.forms.FormCarte->SettingsWrite();
    QCOMPARE(run.writtenDxLines(), (QStringList{T("DX=DL|Germany (Eu)|51|N|10|E"),
                                                T("DX=JA-JS|Japan (As)|40|N|135|E|UTC+9"),
                                                T("DXCB=400|My island (Oc)|10|S|160|E")}));
    // Edits left in an open editor are saved as they stand; empty rows are not.
    run.ham()->SetCell(0, 5, QStringLiteral("zz"));
    run.ham()->SetCell(6, 6, QStringLiteral("UTC"));
    run.program.forms.FormCarte->SettingsWrite();
    QCOMPARE(run.writtenDxLines().size(), 4);
    QCOMPARE(run.writtenDxLines()[2], T("DX=zz|||||"));
}

void TestDxEditors::moreThan99StoredLines() {
    QStringList lines;
    for (int n = 1; n <= 120; ++n)
        lines << T("DX=K%1|Place %1 (NAm)|%2|N|%3|W").arg(n).arg(n % 90).arg(n);
    Run run(lines);
    QCOMPARE(run.ham()->Cell(0, 99), QStringLiteral("K99"));
    QCOMPARE(run.ham()->AcceptedDisplayRows().size(), 99);
    run.program.forms.FormCarte->SettingsWrite();
    QCOMPARE(run.writtenDxLines(), lines);
    // Still there after an OK that changed a grid row.
    run.ham()->SetCell(1, 1, QStringLiteral("Changed (NAm)"));
    run.ham()->BitBtnOKClick();
    run.program.forms.FormCarte->SettingsWrite();
    const QStringList written = run.writtenDxLines();
    QCOMPARE(written.size(), 120);
    QCOMPARE(written[0], T("DX=K1|Changed (NAm)|1|N|1|W"));
    QCOMPARE(written.mid(99), lines.mid(99));
}

void TestDxEditors::foundAgainAfterARestart() {
    QByteArray saved;
    {
        Run run;
        run.showViewer();
        run.action("MenuListeDXCC")->trigger();
        Run::fill(run.ham(), 1, {"QQ1", "My place (Eu)", "45.5", "N", "20", "E", "UTC+1"});
        run.ham()->BitBtnOKClick();
        run.program.forms.FormCarte->SettingsWrite();
        QFile f(run.dir.filePath("korvanta.ini"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        saved = f.readAll();
    }
    QVERIFY(saved.contains("DX=QQ1\tMy place (Eu)\t45.5\tN\t20\tE\tUTC+1\r\n"));
    QStringList lines = QString::fromLatin1(saved).split("\r\n", Qt::SkipEmptyParts);
    lines.removeFirst();
    Run run(lines, QLatin1Char('.'), QString());
    run.showViewer();
    QTest::keyClicks(run.viewer()->EditCall, QStringLiteral("qq1"));
    QCOMPARE(run.list()->currentItem()->text(), T("QQ1|My place (Eu)|45.5N|20E|UTC+1"));
    QVERIFY(!run.viewer()->StaticTextAzim->text().isEmpty());
}

void TestDxEditors::questionMarkOpensTheConverter() {
    Run run;
    run.showViewer();
    run.action("MenuListeDXCC")->trigger();
    QTest::mouseClick(run.ham()->ButtonConv, Qt::LeftButton);
    QVERIFY(run.program.forms.FormConv->isVisible());
    QVERIFY(run.ham()->isVisible());
    QVERIFY(!run.program.forms.FormConv->isModal());
}

QTEST_MAIN(TestDxEditors)
#include "test_dxeditors.moc"
