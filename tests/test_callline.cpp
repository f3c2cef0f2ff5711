// The viewer's call line from the country file, with real windows under the
// offscreen platform: what it shows while a call is typed, that it leaves
// the built-in list's selection, readouts and marker alone, Enter publishing
// the resolver's bearing, File > "Country file…" and the reload of a file
// changed on disk. Map centred on 48.85 N, 2.35 E; the fake clock says
// 14:05 UTC.
#include "FakePlatform.h"
#include "app/Program.h"
#include "viewer/UnitAzimut.h"
#include "viewer/UnitAzimutCall.h"
#include "viewer/ViewerHub.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <functional>
#include <utility>

namespace {

const QString Excerpt = QStringLiteral(KORVANTA_SOURCE_DIR "/tests/data/cty_excerpt.dat");

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    f.write(bytes);
    return f.commit();
}

QByteArray Read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A platform whose message box is modal: `during` runs while the box is
// open (the event loop keeps running then, as under a real box).
struct ModalPlatform : FakePlatform {
    std::function<void()> during;
    int open = 0;
    int mostOpen = 0;
    bool message(QWidget* parent, Platform::Box kind, const QString& title,
                 const QString& text) override {
        ++open;
        mostOpen = std::max(mostOpen, open);
        const bool answer = FakePlatform::message(parent, kind, title, text);
        if (during) std::exchange(during, {})();
        --open;
        return answer;
    }
};

struct Run {
    QTemporaryDir dir;
    ModalPlatform platform;
    Program program{platform};
    QString cty;

    // `ctyLine`: the CTYFILE= value (the copy of the excerpt by default).
    explicit Run(const QString& language = QStringLiteral("ENGLISH"),
                 std::optional<QString> ctyLine = std::nullopt) {
        platform.folder = dir.path();
        QDir::setCurrent(dir.path());
        cty = dir.filePath("cty.dat");
        WriteFile(cty, Read(Excerpt));
        const QStringList lines = {QStringLiteral("[KORVANTA]"), "LANGUAGE=" + language,
                                   "CTYFILE=" + ctyLine.value_or(cty)};
        WriteFile(dir.filePath("korvanta.ini"), (lines.join("\r\n") + "\r\n").toLatin1());
        program.app.SettingsExisted = true;
        CreateForms(program);
        program.app.pos.CentreLat = 48.85L;
        program.app.pos.CentreLon = 2.35L;
        viewer()->show();
    }
    ~Run() { DestroyForms(program); }

    TFormAzimut* viewer() const { return program.forms.FormAzimut; }
    QLabel* line() const { return viewer()->findChild<QLabel*>("LabelCallResolver"); }
    QString text() const { return line() ? line()->text() : QStringLiteral("<no line>"); }
    void type(const QString& call) const {
        viewer()->EditCall->clear();
        QTest::keyClicks(viewer()->EditCall, call);
    }
    QString current() const {
        auto* item = viewer()->ListBoxDXW->currentItem();
        return item ? item->text() : QString();
    }
};

} // namespace

class TestCallLine : public QObject {
    Q_OBJECT
  private slots:
    void lineAndMenuHaveTheirPlaces();
    void lineWhileTyping_data();
    void lineWhileTyping();
    void unitAndLanguageFollow();
    void builtInListIsLeftAlone();
    void enterPublishesTheResolverBearing();
    void elevenMetreListHasNoLine();
    void countryFileMenu();
    void changedFileIsReadAgain();
    void missingChosenFileIsTold();
    void rewrittenFileShowsOneBoxWithTheLatestFault_data();
    void rewrittenFileShowsOneBoxWithTheLatestFault();
};

void TestCallLine::lineAndMenuHaveTheirPlaces() {
    Run run;
    QVERIFY(run.line());
    QCOMPARE(run.line()->geometry(), QRect(608, 632, 313, 19));
    QVERIFY(run.line()->isVisible());
    const QList<QAction*> file = run.viewer()->MenuFichier->actions();
    const int item = file.indexOf(run.viewer()->findChild<QAction*>("MenuCountryFile"));
    QVERIFY(item > 0);
    QCOMPARE(file.value(item + 1), run.viewer()->MenuQuitter);
    QCOMPARE(file.at(item)->text(), QStringLiteral("&Country file\u2026"));
    QVERIFY(run.platform.boxes.isEmpty());
}

void TestCallLine::lineWhileTyping_data() {
    QTest::addColumn<QString>("call");
    QTest::addColumn<QString>("line");
    // Balearic Islands 39.60 N 2.95 E, UTC+1: nearly due south of Paris.
    QTest::newRow("prefix") << "ea6ab"
                            << "Balearic Islands (EU) CQ 14 ITU 37 177\u00B0 1029 km 15:05 local";
    QTest::newRow("exact") << "EA3HZX/P"
                           << "Balearic Islands (EU) CQ 14 ITU 37 177\u00B0 1029 km 15:05 local";
    QTest::newRow("alias overrides") << "W6XYZ"
                                     << "United States (NA) CQ 3 ITU 6 317\u00B0 "
                                        "8901 km 06:05 local";
    QTest::newRow("half-hour offset") << "9N1AA"
                                      << "Nepal (AS) CQ 22 ITU 42 76\u00B0 "
                                         "7233 km 19:50 local";
    QTest::newRow("maritime") << "G3ABC/MM"
                              << "maritime mobile";
    QTest::newRow("aeronautical") << "G3ABC/AM"
                                  << "aeronautical mobile";
    QTest::newRow("unknown") << "QQ1ABC"
                             << "";
}

void TestCallLine::lineWhileTyping() {
    QFETCH(QString, call);
    QFETCH(QString, line);
    Run run;
    run.type(call);
    QCOMPARE(run.text(), line);
    run.viewer()->EditCall->clear();
    QCOMPARE(run.text(), QString());
}

void TestCallLine::unitAndLanguageFollow() {
    Run run;
    run.type("EA6AB");
    run.viewer()->MenuUnitmile->trigger();
    QCOMPARE(run.text(), QStringLiteral("Balearic Islands (EU) CQ 14 ITU 37 177\u00B0 639 miles "
                                        "15:05 local"));
    run.viewer()->MenuFrancais->trigger();
    QCOMPARE(run.viewer()->findChild<QAction*>("MenuCountryFile")->text(),
             QStringLiteral("Fichier des &pays\u2026"));
    QVERIFY(run.text().endsWith(QStringLiteral("15:05 locale")));
    run.type("G3ABC/MM");
    QCOMPARE(run.text(), QStringLiteral("mobile maritime"));
    run.viewer()->MenuEspagnol->trigger();
    QCOMPARE(run.text(), QStringLiteral("móvil marítimo"));
}

void TestCallLine::builtInListIsLeftAlone() {
    // The same typing with and without a country file selects the same row
    // with the same readouts, marker and published bearing.
    struct Seen {
        QString row, azim, lp, utc, published;
        QPoint marker;
    };
    auto typeIn = [](Run& run) {
        run.type("KG4ABC");
        return Seen{run.current(),
                    run.viewer()->StaticTextAzim->text(),
                    run.viewer()->StaticTextLP->text(),
                    run.viewer()->EditUTC->text(),
                    run.viewer()->PublishedBearing,
                    run.viewer()->ImageDX->pos()};
    };
    Run with;
    const Seen a = typeIn(with);
    QVERIFY(!with.text().isEmpty());
    Run without(QStringLiteral("ENGLISH"), QString(with.dir.filePath("none.dat")));
    const Seen b = typeIn(without);
    QCOMPARE(without.text(), QString());
    QVERIFY(a.row.startsWith(QStringLiteral("KG4")));
    QCOMPARE(a.row, b.row);
    QCOMPARE(a.azim, b.azim);
    QCOMPARE(a.lp, b.lp);
    QCOMPARE(a.utc, b.utc);
    QCOMPARE(a.published, b.published);
    QCOMPARE(a.marker, b.marker);
}

void TestCallLine::enterPublishesTheResolverBearing() {
    Run run;
    // The built-in list takes KG4ABC for Guantanamo Bay and publishes its
    // bearing on every keystroke; the country file says USA.
    run.type("KG4ABC");
    const QString builtIn = run.viewer()->PublishedBearing;
    QVERIFY(run.text().startsWith(QStringLiteral("United States (NA) CQ 5 ITU 8 299\u00B0")));
    QVERIFY(builtIn != QStringLiteral("299"));
    const QString azim = run.viewer()->StaticTextAzim->text();
    const QPoint marker = run.viewer()->ImageDX->pos();
    QVERIFY(run.viewer()->StaticTextAzim->toolTip().startsWith(QStringLiteral("KG4")));
    QTest::keyClick(run.viewer()->EditCall, Qt::Key_Return);
    QCOMPARE(run.viewer()->PublishedBearing, QStringLiteral("299"));
    // One answer: the readouts and the marker show what was published, and
    // their hint says it came from the country file.
    QVERIFY(run.viewer()->StaticTextAzim->text() != azim);
    QVERIFY(run.viewer()->StaticTextAzim->text().contains(QStringLiteral("299\u00B0")));
    QVERIFY(run.viewer()->ImageDX->pos() != marker);
    QVERIFY(run.viewer()->StaticTextAzim->toolTip().startsWith(
        QStringLiteral("cty.dat: United States")));
    const azlink::Designation* last = run.viewer()->hub().lastDesignation();
    QVERIFY(last && last->reason == azlink::DesignationReason::CallEnter && last->lat && last->lon);
    // Without an answer Enter publishes nothing.
    run.type("QQ1ABC");
    const QString before = run.viewer()->PublishedBearing;
    QTest::keyClick(run.viewer()->EditCall, Qt::Key_Return);
    QCOMPARE(run.viewer()->PublishedBearing, before);
    run.type("G3ABC/MM");
    const QString maritime = run.viewer()->PublishedBearing;
    QTest::keyClick(run.viewer()->EditCall, Qt::Key_Enter);
    QCOMPARE(run.viewer()->PublishedBearing, maritime);
}

void TestCallLine::elevenMetreListHasNoLine() {
    Run run;
    run.type("EA6AB");
    QVERIFY(!run.text().isEmpty());
    run.viewer()->MenuDXCCCB->trigger();
    QCOMPARE(run.text(), QString());
    run.type("1");
    QCOMPARE(run.text(), QString());
    run.viewer()->MenuDXCCOM->trigger();
    run.type("EA6AB");
    QVERIFY(!run.text().isEmpty());
}

void TestCallLine::countryFileMenu() {
    Run run;
    QAction* menu = run.viewer()->findChild<QAction*>("MenuCountryFile");
    // A faulty file: told with its line, the file in use stays.
    const QString bad = run.dir.filePath("bad.dat");
    WriteFile(bad, Read(Excerpt) + "Atlantis: 14: 37: EU: 39.60: -2.95: -1.0: AT:\n AT(77);\n");
    run.platform.filesToChoose = {bad};
    menu->trigger();
    QCOMPARE(run.platform.boxes.size(), 1);
    QCOMPARE(run.platform.boxes.at(0).kind, Platform::Box::Error);
    QVERIFY2(run.platform.lastText().contains(bad), qPrintable(run.platform.lastText()));
    QVERIFY2(run.platform.lastText().contains(QStringLiteral("line 32: ")),
             qPrintable(run.platform.lastText()));
    QCOMPARE(run.program.app.extra.CountryFile, run.cty);
    run.type("EA6AB");
    QVERIFY(run.text().startsWith(QStringLiteral("Balearic Islands")));
    // A good one replaces it and is remembered for the settings.
    const QString other = run.dir.filePath("other.dat");
    WriteFile(other, "Isles: 14: 37: EU: 39.60: -2.95: -1.0: EA6:\n EA6;\n");
    run.platform.filesToChoose = {other};
    menu->trigger();
    QCOMPARE(run.platform.boxes.size(), 1);
    QCOMPARE(run.program.app.extra.CountryFile, other);
    QVERIFY(run.text().startsWith(QStringLiteral("Isles (EU)")));
    // Cancel changes nothing.
    menu->trigger();
    QCOMPARE(run.program.app.extra.CountryFile, other);
    // Picking the system's file goes back to the default (no key written).
    if (QFileInfo(TCallResolverLine::DefaultCountryFile()).isFile()) {
        run.platform.filesToChoose = {TCallResolverLine::DefaultCountryFile()};
        menu->trigger();
        QCOMPARE(run.program.app.extra.CountryFile, QString());
    }
}

void TestCallLine::changedFileIsReadAgain() {
    Run run;
    run.type("EA6AB");
    QVERIFY(run.text().startsWith(QStringLiteral("Balearic Islands")));
    // Replaced by renaming (the usual way of an update), then edited in place.
    QVERIFY(WriteFile(run.cty, QByteArray(Read(Excerpt)).replace("Balearic Islands", "Baleares")));
    QTRY_VERIFY_WITH_TIMEOUT(run.text().startsWith(QStringLiteral("Baleares (EU)")), 20000);
    {
        QFile f(run.cty);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QByteArray(Read(Excerpt)).replace("Balearic Islands", "Mallorca"));
    }
    QTRY_VERIFY_WITH_TIMEOUT(run.text().startsWith(QStringLiteral("Mallorca (EU)")), 20000);
    QVERIFY(run.platform.boxes.isEmpty());
}

void TestCallLine::missingChosenFileIsTold() {
    Run run(QStringLiteral("ENGLISH"), QStringLiteral("/nonexistent/cty.dat"));
    // Told once the event loop runs, after every window is made.
    QVERIFY(run.platform.boxes.isEmpty());
    QTRY_COMPARE(run.platform.boxes.size(), 1);
    QVERIFY(run.platform.lastText().contains(QStringLiteral("/nonexistent/cty.dat")));
    QVERIFY(run.platform.lastText().contains(QStringLiteral("cannot be read")));
    run.type("EA6AB");
    QCOMPARE(run.text(), QString());
}

void TestCallLine::rewrittenFileShowsOneBoxWithTheLatestFault_data() {
    QTest::addColumn<QByteArray>("last");      // the file when the first box closes
    QTest::addColumn<int>("boxes");            // boxes shown in all
    QTest::addColumn<QString>("lastBoxNames"); // in the last box
    const QByteArray excerpt = Read(Excerpt);
    QTest::newRow("faulty again: one more box, the latest fault")
        << excerpt + "Atlantis: 14: 37: EU: 39.60: -2.95: -1.0: AT:\n AT(88);\n"
        << 2 << QStringLiteral("AT(88)");
    QTest::newRow("good again: no more box") << excerpt << 1 << QStringLiteral("AT(77)");
    QTest::newRow("binary: printable text")
        << QByteArray("\x89PNG\x1B[31m\x01\xFF\x00:\n", 14) << 2 << QStringLiteral("line 1: ");
}

void TestCallLine::rewrittenFileShowsOneBoxWithTheLatestFault() {
    QFETCH(QByteArray, last);
    QFETCH(int, boxes);
    QFETCH(QString, lastBoxNames);
    Run run;
    QTRY_VERIFY(run.platform.boxes.isEmpty());
    const QByteArray excerpt = Read(Excerpt);
    // While the first box is open the file is rewritten again and again,
    // faulty each time, and then once more as the row says.
    run.platform.during = [&] {
        for (int i = 0; i < 5; ++i) {
            QVERIFY(WriteFile(run.cty, excerpt +
                                           "Atlantis: 14: 37: EU: 39.60: -2.95: -1.0: AT:\n"
                                           " AT(" +
                                           QByteArray::number(90 + i) + ");\n"));
            QTest::qWait(500);
        }
        QVERIFY(WriteFile(run.cty, last));
        QTest::qWait(800);
    };
    QVERIFY(
        WriteFile(run.cty, excerpt + "Atlantis: 14: 37: EU: 39.60: -2.95: -1.0: AT:\n AT(77);\n"));
    QTRY_VERIFY_WITH_TIMEOUT(!run.platform.boxes.isEmpty(), 20000);
    QTest::qWait(300);
    QCOMPARE(run.platform.mostOpen, 1);
    QCOMPARE(run.platform.boxes.size(), boxes);
    const QString text = run.platform.lastText();
    QVERIFY2(text.contains(lastBoxNames), qPrintable(text));
    for (const QChar c : text)
        QVERIFY2(c == QLatin1Char('\n') || (c.isPrint() && c != QChar::ReplacementCharacter),
                 qPrintable(text));
}

QTEST_MAIN(TestCallLine)
#include "test_callline.moc"
