// The save dialog with real windows: the name rules, the 4-bit bitmap of the
// map as drawn, the saved map at the next start, save-and-quit, Cancel after
// the save question and a failed write.
#include "ProgramRun.h"

#include "app/Program.h"
#include "app/UnitCarte.h"
#include "dialogs/UnitSave.h"
#include "geo/Bitmap.h"
#include "viewer/UnitAzimut.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <sys/stat.h>

#include <memory>

namespace {

using Run = ProgramRun;

QByteArray ReadFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

// A map that is not the blank template: a generated-looking picture.
geo::PaletteImage SomeMap() {
    geo::PaletteImage m(600, 600, 15);
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 600; ++x)
            m.set(x, y, static_cast<uint8_t>((x / 40 + y / 40) % 16));
    return m;
}

const char* const Centre = "48°51' N / 2°22' E";

} // namespace

class SaveTest : public QObject, ProgramRunFixture {
    Q_OBJECT
    QString file(const char* name) const { return dir->filePath(QString::fromLatin1(name)); }

    // A run whose viewer shows a freshly generated (unsaved) map.
    TFormAzimut* startWithNewMap(const QString& language = QStringLiteral("E")) {
        CreateForms(run->program);
        AppState& app = run->program.app;
        app.LanguageCode = language;
        app.pos.CentreText = Centre;
        TFormAzimut* v = run->viewer();
        v->SetMap(SomeMap());
        app.MapUnsaved = true;
        v->show();
        return v;
    }

    void saveAs(const QString& name) {
        run->viewer()->MenuEnregistrer->trigger();
        TFormSave* s = run->save();
        s->EditNomFichier->setText(name);
        QTest::mouseClick(s->ButtonOK, Qt::LeftButton);
    }

  private slots:
    void init() { startRun(); }
    void cleanup() { endRun(); }

    void dialogTexts() {
        startWithNewMap(QStringLiteral("S"));
        TFormSave* s = run->save();
        QCOMPARE(s->EditNomFichier->text(), QStringLiteral("image1.bmp"));
        run->viewer()->MenuEnregistrer->trigger();
        QVERIFY(s->isVisible());
        QVERIFY(!s->isModal());
        QCOMPARE(s->windowTitle(), QStringLiteral("KORVANTA V2.2.1"));
        QCOMPARE(s->ButtonOK->text(), QStringLiteral("OK"));
        // Spanish shows the English texts.
        QCOMPARE(s->ButtonCancel->text(), QStringLiteral("Cancel"));
        s->close();
        run->program.app.LanguageCode = QStringLiteral("F");
        s->show();
        QCOMPARE(s->ButtonCancel->text(), QStringLiteral("Annuler"));
        QVERIFY(run->program.viewer.ReturningFromDialog);
    }

    void namesThatAreRefused() {
        startWithNewMap();
        const int before = run->platform.beeps;
        const QStringList bad = {QStringLiteral("map.BMP"), QStringLiteral("map.bmp "),
                                 QStringLiteral("bmp"), QString(), QStringLiteral("map.bmpx")};
        for (const QString& name : bad) {
            saveAs(name);
            QVERIFY(run->save()->isVisible());
            QCOMPARE(run->platform.boxes.last().kind, Platform::Box::Plain);
            QCOMPARE(run->platform.boxes.last().text,
                     QStringLiteral("File name must be like *.bmp !"));
        }
        QCOMPARE(run->platform.beeps, before + bad.size());
        QCOMPARE(QDir(dir->path()).entryList(QDir::Files), QStringList());
        QVERIFY(run->program.app.SavedImagePath.isEmpty());
        QVERIFY(run->program.app.MapUnsaved);
        // In French the message is French.
        run->program.app.LanguageCode = QStringLiteral("F");
        run->save()->close();
        saveAs(QStringLiteral("x.BMP"));
        QCOMPARE(run->platform.boxes.last().text,
                 QStringLiteral("Entrer un nom de fichier sous la forme *.bmp !"));
    }

    void mapAsDrawnIsWrittenAsA4BitBitmap() {
        TFormAzimut* v = startWithNewMap();
        v->MenuAxes->trigger();
        saveAs(QStringLiteral("map.bmp"));
        QVERIFY(!run->save()->isVisible());
        const QByteArray bytes = ReadFile(file("map.bmp"));
        QVERIFY(bytes.startsWith("BM"));
        QCOMPARE(static_cast<int>(static_cast<uint8_t>(bytes.at(28))), 4); // bits per pixel
        QImage written;
        QVERIFY(written.loadFromData(bytes, "BMP"));
        QCOMPARE(written.size(), QSize(600, 600));
        QCOMPARE(written.convertToFormat(QImage::Format_RGB32),
                 v->mapPicture().convertToFormat(QImage::Format_RGB32));
        const AppState& app = run->program.app;
        QCOMPARE(app.SavedImagePath, QStringLiteral("map.bmp"));
        QCOMPARE(app.SavedImageCentre, QString::fromUtf8(Centre));
        QVERIFY(!app.MapUnsaved);
        QVERIFY(run->program.viewer.ReturningFromDialog);
        QCOMPARE(run->platform.terminations, 0);
        // The name stays for the next opening.
        v->MenuEnregistrer->trigger();
        QCOMPARE(run->save()->EditNomFichier->text(), QStringLiteral("map.bmp"));
        run->save()->close();
        // Saved: closing the viewer no longer asks.
        v->close();
        QVERIFY(run->platform.boxes.isEmpty());
        QCOMPARE(run->platform.terminations, 1);
    }

    void savedMapComesBackAtTheNextStart() {
        TFormAzimut* v = startWithNewMap();
        v->MenuDistances->trigger();
        const geo::PaletteImage drawn = v->Map();
        saveAs(QStringLiteral("map.bmp"));
        v->close(); // writes the settings
        QCOMPARE(run->platform.terminations, 1);
        QVERIFY(QString::fromLatin1(ReadFile(file("korvanta.ini"))).contains("IMAGE=map.bmp\r\n"));

        run = std::make_unique<Run>(dir->path());
        QVERIFY(run->program.app.SettingsExisted);
        CreateForms(run->program);
        QVERIFY(run->program.viewer.SavedMapLoaded);
        QCOMPARE(run->viewer()->Map(), drawn);
        QCOMPARE(QString::fromStdString(run->program.app.pos.CentreText),
                 QString::fromUtf8(Centre));
        QVERIFY(run->platform.boxes.isEmpty());
        // The world-map window hands over to the viewer with the saved map;
        // closing it without a new generation ends the program without asking.
        run->program.forms.FormCarte->show();
        QTRY_VERIFY(run->viewer()->isVisible());
        run->viewer()->close();
        QVERIFY(run->platform.boxes.isEmpty());
        QCOMPARE(run->platform.terminations, 1);
        QVERIFY(QString::fromLatin1(ReadFile(file("korvanta.ini"))).contains("IMAGE=map.bmp\r\n"));
    }

    void savedMapThatCannotBeUsed() {
        // An upper-case ending, although the file exists and is a bitmap.
        QVERIFY(geo::WriteBmp4(SomeMap(), file("MAP.BMP").toStdString()).empty());
        {
            QFile junk(file("junk.bmp"));
            QVERIFY(junk.open(QIODevice::WriteOnly));
            junk.write("not a picture");
        }
        for (const char* name : {"MAP.BMP", "missing.bmp", "junk.bmp"}) {
            run = std::make_unique<Run>(dir->path());
            run->program.app.SavedImagePath = QString::fromLatin1(name);
            CreateForms(run->program);
            QCOMPARE(run->platform.boxes.size(), 1);
            QCOMPARE(run->platform.lastText(), QStringLiteral("Bitmap error"));
            QVERIFY(!run->program.viewer.SavedMapLoaded);
            QCOMPARE(run->viewer()->Map(), run->viewer()->BlankMap());
            // The rest of the creation is skipped: the clock fields stay empty.
            QVERIFY(run->viewer()->StaticTextTime->text().isEmpty());
        }
        // A locator on the command line: the saved map is not even looked at.
        run = std::make_unique<Run>(dir->path());
        run->program.app.SavedImagePath = QStringLiteral("missing.bmp");
        run->program.arguments = QStringList{QStringLiteral("JN18EU")};
        CreateForms(run->program);
        QVERIFY(run->program.app.pos.LocatorPending);
        QVERIFY(run->platform.boxes.isEmpty());
        QVERIFY(!run->program.viewer.SavedMapLoaded);
    }

    void savedMapsThatAreNotPlainBitmaps() {
        // Files that open but hold no usable picture, and names that are no
        // plain file at all: each gives "Bitmap error" at the creation, at
        // once (a pipe must not make the start wait for a writer).
        QVERIFY(QDir(dir->path()).mkdir(QStringLiteral("folder.bmp")));
        QVERIFY(::mkfifo(QFile::encodeName(file("pipe.bmp")).constData(), 0600) == 0);
        {
            QFile empty(file("empty.bmp"));
            QVERIFY(empty.open(QIODevice::WriteOnly));
        }
        {
            // A bitmap header that announces 60000 x 60000 pixels, and no pixels.
            QByteArray header(54 + 64, '\0');
            header[0] = 'B';
            header[1] = 'M';
            qToLittleEndian<quint32>(54 + 64, header.data() + 10);
            qToLittleEndian<quint32>(40, header.data() + 14);
            qToLittleEndian<qint32>(60000, header.data() + 18);
            qToLittleEndian<qint32>(60000, header.data() + 22);
            qToLittleEndian<quint16>(1, header.data() + 26);
            qToLittleEndian<quint16>(4, header.data() + 28);
            qToLittleEndian<quint32>(16, header.data() + 46);
            QFile huge(file("huge.bmp"));
            QVERIFY(huge.open(QIODevice::WriteOnly));
            huge.write(header);
        }
        for (const char* name : {"folder.bmp", "pipe.bmp", "empty.bmp", "huge.bmp"}) {
            run = std::make_unique<Run>(dir->path());
            run->program.app.SavedImagePath = QString::fromLatin1(name);
            CreateForms(run->program);
            QCOMPARE(run->platform.boxes.size(), 1);
            QCOMPARE(run->platform.lastText(), QStringLiteral("Bitmap error"));
            QVERIFY(!run->program.viewer.SavedMapLoaded);
            QCOMPARE(run->viewer()->Map(), run->viewer()->BlankMap());
        }
    }

    void savedMapOfAnotherSizeFillsTheMapFromTheTopLeft() {
        // A bitmap smaller than the map: its pixels from the top-left corner,
        // the blank template beyond them. A larger one is cut at 600 x 600.
        const QRgb colour = 0xFF000000u | geo::Palette[3];
        for (const QSize size : {QSize(200, 100), QSize(700, 650)}) {
            QImage picture(size, QImage::Format_RGB32);
            picture.fill(colour);
            QVERIFY(picture.save(file("odd.bmp"), "BMP"));
            run = std::make_unique<Run>(dir->path());
            run->program.app.SavedImagePath = QStringLiteral("odd.bmp");
            CreateForms(run->program);
            QVERIFY(run->platform.boxes.isEmpty());
            QVERIFY(run->program.viewer.SavedMapLoaded);
            const geo::PaletteImage map = run->viewer()->Map();
            const geo::PaletteImage blank = run->viewer()->BlankMap();
            QCOMPARE(map.width, 600);
            QCOMPARE(map.height, 600);
            for (int y = 0; y < 600; y += 7)
                for (int x = 0; x < 600; x += 7) {
                    const bool inside = x < size.width() && y < size.height();
                    QCOMPARE(map.at(x, y), inside ? uint8_t{3} : blank.at(x, y));
                }
        }
    }

    void saveAndQuit() {
        TFormAzimut* v = startWithNewMap();
        run->platform.confirmations = {true};
        v->close();
        QVERIFY(run->save()->isVisible());
        QCOMPARE(run->platform.terminations, 0);
        saveAs(QStringLiteral("last.bmp"));
        QCOMPARE(run->platform.terminations, 1);
        // The toolkit closing the still visible viewer as the program ends
        // writes nothing more (on a first run that left korvanta.~in behind).
        v->close();
        run->carte()->close();
        QCOMPARE(run->platform.terminations, 1);
        QVERIFY(!QFile::exists(file("korvanta.~in")));
        QCOMPARE(run->platform.boxes.size(), 1); // the save question alone
        QVERIFY(QFile::exists(file("last.bmp")));
        const QString ini = QString::fromLatin1(ReadFile(file("korvanta.ini")));
        QVERIFY(ini.contains(QStringLiteral("IMAGE=last.bmp\r\n")));
        QVERIFY(ini.contains(QStringLiteral("CENTRE_IMAGE=48\xB0"
                                            "51' N / 2\xB0"
                                            "22' E\r\n")));
    }

    void cancelAfterTheSaveQuestionEndsWithoutSaving() {
        TFormAzimut* v = startWithNewMap();
        run->platform.confirmations = {true};
        v->close();
        QTest::mouseClick(run->save()->ButtonCancel, Qt::LeftButton);
        QCOMPARE(run->platform.terminations, 1);
        QVERIFY(!QFile::exists(file("image1.bmp")));
        const QString ini = QString::fromLatin1(ReadFile(file("korvanta.ini")));
        QVERIFY(ini.startsWith(QStringLiteral("[KORVANTA]")));
        QVERIFY(!ini.contains(QStringLiteral("IMAGE=")));
    }

    void writeProtectedMapIsNotReplaced() {
        startWithNewMap();
        const QString path = file("kept.bmp");
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("old");
        }
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup));
        saveAs(QStringLiteral("kept.bmp"));
        QVERIFY(run->save()->isVisible());
        QCOMPARE(run->platform.boxes.size(), 1);
        QCOMPARE(run->platform.boxes[0].kind, Platform::Box::Error);
        QVERIFY2(run->platform.boxes[0].text.contains(QStringLiteral("Permission denied")),
                 qPrintable(run->platform.boxes[0].text));
        QCOMPARE(ReadFile(path), QByteArray("old"));
        QVERIFY(run->program.app.SavedImagePath.isEmpty());
        QVERIFY(run->program.app.MapUnsaved);
    }

    void failedWriteKeepsTheDialogOpen() {
        startWithNewMap();
        QVERIFY(QFile::exists(file(".")));
        saveAs(QStringLiteral("no-such-folder/map.bmp"));
        QVERIFY(run->save()->isVisible());
        QCOMPARE(run->platform.boxes.size(), 1);
        QCOMPARE(run->platform.boxes[0].kind, Platform::Box::Error);
        QVERIFY(!run->platform.boxes[0].text.isEmpty());
        const AppState& app = run->program.app;
        QVERIFY(app.SavedImagePath.isEmpty());
        QVERIFY(app.SavedImageCentre.isEmpty());
        QVERIFY(app.MapUnsaved);
        QCOMPARE(run->platform.beeps, 0);
        // The same name in a folder that exists then works.
        QVERIFY(QDir(dir->path()).mkdir(QStringLiteral("no-such-folder")));
        QTest::mouseClick(run->save()->ButtonOK, Qt::LeftButton);
        QVERIFY(!run->save()->isVisible());
        QCOMPARE(app.SavedImagePath, QStringLiteral("no-such-folder/map.bmp"));
    }
};

QTEST_MAIN(SaveTest)
#include "test_save.moc"
