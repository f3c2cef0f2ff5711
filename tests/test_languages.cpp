// The program in each language, driven from one table: the toolkit's own
// texts (message box buttons, dialogs) follow the language in use; the
// Information window's credit line and donation word are translated; an
// address in a message stands on a line of its own.
#include "ProgramRun.h"

#include "app/DesktopLanguage.h"
#include "app/ExportTexts.h"
#include "app/Poster.h"
#include "app/UnitCarte.h"
#include "dialogs/UnitInfo.h"
#include "viewer/CallLine.h"
#include "viewer/Languages.h"
#include "viewer/OverlayTexts.h"
#include "viewer/UnitAzimut.h"

#include <QActionGroup>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

#include <cmath>

namespace {

// The table of the group: what each language shows.
struct LanguageRow {
    const char* code;
    const char* yes;    // the toolkit's Yes button
    const char* cancel; // the toolkit's Cancel button
    const char* credit; // the Information window's credit line
    const char* donate; // the word of the donation button
    const char* help;   // the help page
};
const LanguageRow Languages[] = {
    {"E", "&Yes", "Cancel", "Designed and written by Tovak", "Donate", "korvanta_en.html"},
    {"F", "&Oui", "Annuler", "Conçu et écrit par Tovak", "Faire un don", "korvanta_fr.html"},
    {"S", "&Sí", "Cancelar", "Diseñado y escrito por Tovak", "Donar", "korvanta_es.html"},
};

// The lower band of the donation picture, where the word is written.
// The items added beyond the classic menus: each has an access key that no
// other item of its menu has.
const char* const AddedItems[] = {
    "MenuExport",           "MenuPrint",           "MenuCountryFile", "MenuFillGaps",
    "MenuGreyLine",         "MenuLocatorGrid",     "MenuRotator",     "MenuRotatorSettings",
    "MenuAntennaShortPath", "MenuAntennaLongPath", "MenuAntennaStop", "MenuAntennaPark",
    "MenuLiveStations",     "MenuSpotList",        "MenuSpotLayer",   "MenuRangeItem",
    "MenuRangeWhole",       "MenuRangeCloser",     "MenuRangeFarther"};

// Every menu of a window: its menu bar and each menu below it.
QList<QList<QAction*>> MenusOf(QMainWindow* window) {
    QList<QList<QAction*>> menus{window->menuBar()->actions()};
    for (int i = 0; i < menus.size(); ++i)
        for (QAction* a : menus[i])
            if (QMenu* sub = a->menu()) menus << sub->actions();
    return menus;
}

// A file of the source tree with its white space collapsed.
QString SourceText(const QString& relative) {
    QFile f(QStringLiteral(KORVANTA_SOURCE_DIR "/") + relative);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(f.readAll()).simplified();
}

QImage WordBand(const QString& word) {
    return DonatePicture(word).toImage().copy(0, 86, 96, 23);
}

void LanguageColumns() {
    QTest::addColumn<int>("row");
    for (int i = 0; i < int(std::size(Languages)); ++i)
        QTest::newRow(Languages[i].code) << i;
}

} // namespace

class LanguagesTest : public QObject, ProgramRunFixture {
    Q_OBJECT
  private slots:
    void init() { startRun(); }
    void cleanup() { endRun(); }

    void toolkitTexts_data() { LanguageColumns(); }
    void toolkitTexts() {
        QFETCH(int, row);
        const LanguageRow& l = Languages[row];
        ToolkitLanguage toolkit;
        QVERIFY(toolkit.apply(QString::fromLatin1(l.code)));
        QMessageBox box;
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::Cancel);
        QCOMPARE(box.button(QMessageBox::Yes)->text(), QString::fromUtf8(l.yes));
        QCOMPARE(box.button(QMessageBox::Cancel)->text(), QString::fromUtf8(l.cancel));
        // Back to English: the catalogue is removed.
        QVERIFY(toolkit.apply(QStringLiteral("E")));
        QMessageBox english;
        english.setStandardButtons(QMessageBox::Yes);
        QCOMPARE(english.button(QMessageBox::Yes)->text(), QStringLiteral("&Yes"));
    }

    // Every way the language changes reaches the platform, which switches
    // the toolkit's texts.
    void languageSwitchReachesToolkit_data() { LanguageColumns(); }
    void languageSwitchReachesToolkit() {
        QFETCH(int, row);
        const QString code = QString::fromLatin1(Languages[row].code);
        run->create();
        TFormCarte* carte = run->carte();
        // From another language to this one.
        if (code == QLatin1String("E"))
            carte->MenuFrancaisClick();
        else
            carte->MenuEnglishClick();
        if (code == QLatin1String("E")) carte->MenuEnglishClick();
        if (code == QLatin1String("F")) carte->MenuFrancaisClick();
        if (code == QLatin1String("S")) carte->MenuEspagnolClick();
        QVERIFY(!run->platform.languages.isEmpty());
        QCOMPARE(run->platform.languages.last(), code);
    }

    void informationWindowTexts_data() { LanguageColumns(); }
    void informationWindowTexts() {
        QFETCH(int, row);
        const LanguageRow& l = Languages[row];
        run->showViewer(QString::fromLatin1(l.code));
        run->viewer()->menuInfo->trigger();
        TFormInfo* info = run->program.forms.FormInfo;
        QVERIFY(info && info->isVisible());
        QCOMPARE(info->Label2->text(), QString::fromUtf8(l.credit));
        QCOMPARE(info->SpeedButton1->accessibleName(), QString::fromUtf8(l.donate));
        // The picture carries the word of the language: its band differs from
        // the English one except in English, and the word fits the picture.
        const QString word = QString::fromUtf8(l.donate);
        QCOMPARE(WordBand(word) == WordBand(QStringLiteral("Donate")),
                 word == QLatin1String("Donate"));
        QVERIFY(WordBand(word) != WordBand(QString()));
        const QImage band = WordBand(word);
        for (int y = 0; y < band.height(); ++y) {
            QCOMPARE(qAlpha(band.pixel(0, y)), 0);
            QCOMPARE(qAlpha(band.pixel(band.width() - 1, y)), 0);
        }
    }

    // A message that holds an address gives it a line of its own: a box
    // breaks long lines after "http://" otherwise.
    void addressesOnTheirOwnLine_data() { LanguageColumns(); }
    void addressesOnTheirOwnLine() {
        QFETCH(int, row);
        const viewer::ViewerTexts* t =
            viewer::ViewerTextsFor(QString::fromLatin1(Languages[row].code));
        QVERIFY(t);
        const ViewerMessages before; // the messages before any language is applied
        for (const QString& message :
             {t->NewerReleaseMessage, t->UpToDateMessage, t->ConnectedMessage, t->SaveQuestion,
              before.NewerReleaseMessage}) {
            for (const QString& line : message.split(QLatin1Char('\n'))) {
                if (line.contains(QStringLiteral("://")))
                    QVERIFY2(!line.trimmed().contains(QLatin1Char(' ')), qPrintable(line));
            }
        }
    }

    // Both Language menus show radio marks: their items are one exclusive group.
    // The added items have access keys that clash with no other item of
    // their menu.
    void menusMarksAndAccessKeys_data() { LanguageColumns(); }
    void menusMarksAndAccessKeys() {
        QFETCH(int, row);
        const QString code = QString::fromLatin1(Languages[row].code);
        run->create();
        TFormCarte* carte = run->carte();
        if (code == QLatin1String("F")) carte->MenuFrancaisClick();
        if (code == QLatin1String("S")) carte->MenuEspagnolClick();
        run->showViewer(code);
        const QList<QMainWindow*> windows{carte, run->viewer()};
        for (QMainWindow* window : windows) {
            const QList<QAction*> items{window->findChild<QAction*>("MenuEnglish"),
                                        window->findChild<QAction*>("MenuFrancais"),
                                        window->findChild<QAction*>("MenuEspagnol")};
            for (QAction* item : items) {
                QVERIFY(item && item->isCheckable());
                QVERIFY2(item->actionGroup() && item->actionGroup()->isExclusive(),
                         qPrintable(window->objectName()));
                QCOMPARE(item->actionGroup(), items[0]->actionGroup());
            }
        }
        int added = 0;
        for (QMainWindow* window : windows) {
            for (const QList<QAction*>& menu : MenusOf(window)) {
                for (QAction* a : menu) {
                    const QString name = a->objectName();
                    if (std::find(std::begin(AddedItems), std::end(AddedItems), name) ==
                        std::end(AddedItems))
                        continue;
                    ++added;
                    const QKeySequence key = QKeySequence::mnemonic(a->text());
                    QVERIFY2(!key.isEmpty(), qPrintable(a->text()));
                    for (QAction* other : menu) {
                        if (other == a || other->isSeparator()) continue;
                        QVERIFY2(QKeySequence::mnemonic(other->text()) != key,
                                 qPrintable(a->text() + QStringLiteral(" / ") + other->text()));
                    }
                }
            }
        }
        QCOMPARE(added, int(std::size(AddedItems)));
    }

    // The call line shows the longest entity names whole, in every language.
    void callLineShowsNamesWhole_data() { LanguageColumns(); }
    void callLineShowsNamesWhole() {
        QFETCH(int, row);
        const QString cty = QDir(dir->path()).filePath(QStringLiteral("cty.dat"));
        QFile file(cty);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("Central African Republic: 36:  47:  AF:    6.75:   -20.33:    -1.0:  TL:\n"
                   "    TL;\n"
                   "Tristan da Cunha & Gough: 38:  66:  AF:  -37.13:    12.30:     0.0:  ZD9:\n"
                   "    ZD9;\n"
                   "Amsterdam & St. Paul Is.: 39:  68:  AF:  -37.85:   -77.53:    -5.0:  FT/z:\n"
                   "    FT5Z;\n");
        file.close();
        QFile ini(QDir(dir->path()).filePath(QStringLiteral("korvanta.ini")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[KORVANTA]\r\nCTYFILE=" + cty.toUtf8() + "\r\n");
        ini.close();
        run = std::make_unique<ProgramRun>(dir->path());
        TFormAzimut* viewer = run->showViewer(QString::fromLatin1(Languages[row].code));
        auto* line = viewer->findChild<QLabel*>(QStringLiteral("LabelCallResolver"));
        QVERIFY(line);
        for (const char* call : {"TL8AA", "ZD9ZS", "FT5ZM"}) {
            viewer->EditCall->setText(QString::fromLatin1(call));
            const QString whole = line->toolTip().section(QLatin1Char('\n'), 0, 0);
            QVERIFY2(!whole.isEmpty(), call);
            QCOMPARE(line->text(), whole);
            QVERIFY(QFontMetrics(line->font()).horizontalAdvance(whole) <=
                    line->contentsRect().width());
        }
    }

    // The poster's title names the locator and the line under it the
    // position: neither says what the other says.
    void posterTitleAndCentreLine_data() { LanguageColumns(); }
    void posterTitleAndCentreLine() {
        QFETCH(int, row);
        poster::Content c;
        c.map = QImage(64, 64, QImage::Format_RGB32);
        c.map.fill(Qt::white);
        c.centreText = QStringLiteral("48°51' N / 2°22' E");
        c.locator = QStringLiteral("JN18EU");
        c.languageCode = QString::fromLatin1(Languages[row].code);
        const QString pdf = QDir(dir->path()).filePath(QStringLiteral("poster.pdf"));
        QCOMPARE(poster::WritePdf(pdf, poster::Paper::A4, c), QString());
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        QVERIFY(text.waitForFinished(20000));
        const QString words = QString::fromUtf8(text.readAllStandardOutput());
        QCOMPARE(words.count(c.locator), 1);
        QCOMPARE(words.count(QStringLiteral("48°51")), 1);
        const QString title = ExportTr(ExportText::PosterTitle, c.languageCode).arg(c.locator);
        QVERIFY2(words.contains(title), qPrintable(words));
    }

    // Bearing labels lie wholly outside the rim, on their bearing's ray, at
    // every size of poster.
    void posterLabelsClearTheRim() {
        const QPointF centre(300, 400);
        for (double rim : {100.0, 2000.0}) {
            for (const QSizeF size : {QSizeF(24, 11), QSizeF(200, 90), QSizeF(8, 30)}) {
                for (int b = 0; b < 360; b += 15) {
                    const QRectF box = poster::BearingLabelBox(centre, rim, b, size, 3);
                    QCOMPARE(box.size(), size);
                    // The nearest point of the box to the centre.
                    const double dx =
                        std::max({box.left() - centre.x(), 0.0, centre.x() - box.right()});
                    const double dy =
                        std::max({box.top() - centre.y(), 0.0, centre.y() - box.bottom()});
                    QVERIFY2(std::hypot(dx, dy) >= rim + 3 - 1e-9, qPrintable(QString::number(b)));
                    // Its centre on the ray of the bearing.
                    const QPointF d = box.center() - centre;
                    const double bearing =
                        std::fmod(std::atan2(d.x(), -d.y()) * 180 / M_PI + 360, 360);
                    QVERIFY(std::abs(bearing - b) < 1e-6 || std::abs(bearing - b) > 359.999);
                    // And not far beyond what it needs.
                    QVERIFY(std::hypot(d.x(), d.y()) <=
                            rim + 3 + std::hypot(size.width(), size.height()) / 2 + 1e-9);
                }
            }
        }
    }

    // Each help page names the features by the program's own menu texts in
    // its language, and the command-line tools.
    void helpPagesNameEveryFeature_data() { LanguageColumns(); }
    void helpPagesNameEveryFeature() {
        QFETCH(int, row);
        const LanguageRow& l = Languages[row];
        const QString code = QString::fromLatin1(l.code);
        const QString page = SourceText(QStringLiteral("docs/help/") + QString::fromLatin1(l.help));
        QVERIFY(!page.isEmpty());
        const viewer::CallTexts* call = viewer::CallTextsFor(code);
        const viewer::OverlayTexts* overlays = viewer::OverlayTextsFor(code);
        QVERIFY(call && overlays);
        for (const QString& needed :
             {ExportTr(ExportText::FillGaps, code), ExportTr(ExportText::Export, code),
              ExportTr(ExportText::Print, code), call->MenuCountryFile, overlays->MenuGreyLine,
              overlays->MenuLocatorGrid, QStringLiteral("cty.dat"), QStringLiteral("rotctld"),
              QStringLiteral("korvanta-link"), QStringLiteral("follow --watch"),
              QStringLiteral("korvanta-call")})
            // Without the access-key marks of the menus.
            QVERIFY2(page.contains(QString(needed).remove(QLatin1Char('&'))), qPrintable(needed));
    }

    // The manual page of the program: its environment and every tool.
    void manualPageNamesEnvironmentAndTools() {
        const QString page = SourceText(QStringLiteral("docs/man/korvanta.1"));
        for (const char* needed :
             {".SH ENVIRONMENT", "KORVANTA_SITE_URL", ".SH SEE ALSO", ".BR korvanta-render (1)",
              ".BR korvanta-call (1)", ".BR korvanta-link (1)", ".BR korvanta-spots (1)",
              "Fill the gaps", "Export", "Print", "Country file", "rotctld"})
            QVERIFY2(page.contains(QString::fromLatin1(needed)), needed);
    }
};

QTEST_MAIN(LanguagesTest)
#include "test_languages.moc"
