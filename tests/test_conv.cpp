// The degrees-minutes-seconds converter with a real window under the
// offscreen platform: limits, the restore step, the result with the system
// decimal mark, the language texts and the initial texts.
#include "FakePlatform.h"
#include "app/Program.h"
#include "dxlists/UnitConv.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

namespace {

struct Conv {
    FakePlatform platform;
    Program program{platform};
    std::unique_ptr<TFormConv> form;

    explicit Conv(QChar decimal = QLatin1Char('.')) {
        platform.decimal = decimal;
        form = std::make_unique<TFormConv>(program);
    }
    // Types into a field as the user does: all of its text replaced.
    void type(QLineEdit* e, const QString& text) const {
        e->selectAll();
        if (text.isEmpty())
            QTest::keyClick(e, Qt::Key_Delete);
        else
            QTest::keyClicks(e, text);
    }
    void enter(const QString& deg, const QString& min, const QString& sec,
               const QString& ms) const {
        type(form->EditDeg, deg);
        type(form->EditMin, min);
        type(form->EditSec, sec);
        type(form->EditMil, ms);
    }
    QString result() const { return form->EditDec->text(); }
};

} // namespace

class TestConv : public QObject {
    Q_OBJECT
  private slots:
    void layoutAndInitialTexts();
    void results_data();
    void results();
    void decimalComma();
    void allFieldsEmpty();
    void upperLimits();
    void lettersAreRefused();
    void clearedFieldCountsAsZero();
    void minusSignIsUsed();
    void languageTexts_data();
    void languageTexts();
    void showingAgainKeepsTheValues();
};

void TestConv::layoutAndInitialTexts() {
    Conv c;
    TFormConv* f = c.form.get();
    QCOMPARE(f->size(), QSize(317, 98));
    QCOMPARE(f->minimumSize(), f->maximumSize());
    QCOMPARE(f->windowTitle(), QStringLiteral("Deg/Min/Sec => Decimal"));
    QCOMPARE(f->LabelDegMinSec->text(), QStringLiteral("Degres   Min     Sec    msec"));
    QCOMPARE(f->Label1->text(), QStringLiteral("Deg. décimaux"));
    QCOMPARE(f->LabelConv->text(), QStringLiteral("Pelmarin  utilise des coordonnées décimales "));
    QCOMPARE(f->Label2->text(), QStringLiteral("="));
    const struct {
        const char* name;
        QRect geometry;
        const char* text;
        int maxLength;
    } fields[] = {{"EditDeg", {16, 48, 33, 27}, "000", 3},
                  {"EditMin", {56, 48, 25, 27}, "00", 2},
                  {"EditSec", {88, 48, 25, 27}, "00", 2},
                  {"EditMil", {120, 48, 33, 27}, "000", 3}};
    for (const auto& fd : fields) {
        auto* e = f->findChild<QLineEdit*>(QLatin1String(fd.name));
        QVERIFY(e);
        QCOMPARE(e->geometry(), fd.geometry);
        QCOMPARE(e->text(), QLatin1String(fd.text));
        QCOMPARE(e->maxLength(), fd.maxLength);
    }
    QCOMPARE(f->EditDec->geometry(), QRect(192, 48, 97, 27));
    QCOMPARE(f->EditDec->text(), QStringLiteral("0"));
    QVERIFY(f->EditDec->isReadOnly());
    QVERIFY(f->ButtonLangue->isHidden());
    // At most three characters can be typed into the degrees.
    c.type(f->EditDeg, QStringLiteral("1234"));
    QCOMPARE(f->EditDeg->text(), QStringLiteral("123"));
}

void TestConv::results_data() {
    QTest::addColumn<QString>("deg");
    QTest::addColumn<QString>("min");
    QTest::addColumn<QString>("sec");
    QTest::addColumn<QString>("ms");
    QTest::addColumn<QString>("result");
    QTest::newRow("45 30 15 500") << "45"
                                  << "30"
                                  << "15"
                                  << "500"
                                  << "45.504306";
    QTest::newRow("12") << "12"
                        << "0"
                        << "0"
                        << "0"
                        << "12.000000";
    QTest::newRow("0 59 59 999") << "0"
                                 << "59"
                                 << "59"
                                 << "999"
                                 << "1.000000";
    QTest::newRow("179 59 59 999") << "179"
                                   << "59"
                                   << "59"
                                   << "999"
                                   << "180.000000";
    QTest::newRow("1 ms") << "0"
                          << "0"
                          << "0"
                          << "1"
                          << "0.000000";
    QTest::newRow("2 ms") << "0"
                          << "0"
                          << "0"
                          << "2"
                          << "0.000001";
}

void TestConv::results() {
    QFETCH(QString, deg);
    QFETCH(QString, min);
    QFETCH(QString, sec);
    QFETCH(QString, ms);
    QFETCH(QString, result);
    Conv c;
    c.enter(deg, min, sec, ms);
    QCOMPARE(c.result(), result);
}

void TestConv::decimalComma() {
    Conv c(QLatin1Char(','));
    c.enter("45", "30", "15", "500");
    QCOMPARE(c.result(), QStringLiteral("45,504306"));
}

void TestConv::allFieldsEmpty() {
    for (QChar mark : {QLatin1Char('.'), QLatin1Char(',')}) {
        Conv c(mark);
        c.enter("", "", "", "");
        QCOMPARE(c.result(), QStringLiteral("0") + mark + QStringLiteral("000000"));
    }
}

void TestConv::upperLimits() {
    Conv c;
    c.enter("12", "0", "0", "0");
    c.form->EditDeg->setText(QStringLiteral("180"));
    QCOMPARE(c.form->EditDeg->text(), QStringLiteral("12"));
    QCOMPARE(c.result(), QStringLiteral("12.000000"));
    c.type(c.form->EditDeg, "179");
    QCOMPARE(c.form->EditDeg->text(), QStringLiteral("179"));
    QCOMPARE(c.result(), QStringLiteral("179.000000"));
    // Keystroke by keystroke, the last accepted text is the one before the key.
    c.type(c.form->EditDeg, "180");
    QCOMPARE(c.form->EditDeg->text(), QStringLiteral("18"));
    c.type(c.form->EditMin, "60");
    QCOMPARE(c.form->EditMin->text(), QStringLiteral("6"));
    c.type(c.form->EditSec, "59");
    c.form->EditSec->setText(QStringLiteral("60"));
    QCOMPARE(c.form->EditSec->text(), QStringLiteral("59"));
    c.form->EditMil->setText(QStringLiteral("999"));
    QCOMPARE(c.result(), QStringLiteral("18.116666"));
    c.form->EditMil->setText(QStringLiteral("1000")); // cut to the field's three characters
    QCOMPARE(c.form->EditMil->text(), QStringLiteral("100"));
}

void TestConv::lettersAreRefused() {
    Conv c;
    c.enter("10", "30", "0", "0");
    const QString before = c.result();
    QCOMPARE(before, QStringLiteral("10.500000"));
    QTest::keyClick(c.form->EditMin, Qt::Key_End);
    QTest::keyClicks(c.form->EditMin, QStringLiteral("x"));
    QCOMPARE(c.form->EditMin->text(), QStringLiteral("30"));
    QCOMPARE(c.result(), before);
    c.type(c.form->EditDeg, QStringLiteral("a"));
    QCOMPARE(c.form->EditDeg->text(), QStringLiteral("10"));
    QCOMPARE(c.result(), before);
    c.form->EditSec->setText(QStringLiteral("1.5"));
    QCOMPARE(c.form->EditSec->text(), QStringLiteral("0"));
    c.form->EditMil->setText(QStringLiteral("+-1"));
    QCOMPARE(c.form->EditMil->text(), QStringLiteral("0"));
    QCOMPARE(c.result(), before);
}

void TestConv::clearedFieldCountsAsZero() {
    Conv c;
    c.enter("10", "30", "0", "0");
    c.type(c.form->EditMin, QString());
    QVERIFY(c.form->EditMin->text().isEmpty());
    QCOMPARE(c.result(), QStringLiteral("10.000000"));
    // The empty text is now the one put back after a refused text.
    c.form->EditMin->setText(QStringLiteral("zz"));
    QVERIFY(c.form->EditMin->text().isEmpty());
    QCOMPARE(c.result(), QStringLiteral("10.000000"));
}

void TestConv::minusSignIsUsed() {
    Conv c;
    c.enter("5", "30", "0", "0");
    // A lone "-" is no whole number and is refused; before a digit it is kept.
    QTest::keyClick(c.form->EditDeg, Qt::Key_Home);
    QTest::keyClicks(c.form->EditDeg, QStringLiteral("-"));
    QCOMPARE(c.form->EditDeg->text(), QStringLiteral("-5"));
    QCOMPARE(c.result(), QStringLiteral("-4.500000"));
}

void TestConv::languageTexts_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("E") << "E"
                       << QStringList{"Deg/Min/Sec => Decimal", "Degrees  Min     Sec    ms",
                                      "Decimal deg.", "Korvanta needs decimal degrees"};
    QTest::newRow("F") << "F"
                       << QStringList{"Deg/Min/Sec => Décimal", "Degrés   Min     Sec    ms",
                                      "Deg. décimaux", "Korvanta utilise des degrés décimaux"};
    QTest::newRow("S") << "S"
                       << QStringList{"Deg / Min / Seg => Decimal", "Grados   Min     Seg    ms",
                                      "Grad. decimales", "Korvanta necesita decimal grados"};
    QTest::newRow("other") << "X"
                           << QStringList{"Deg/Min/Sec => Decimal", "Degres   Min     Sec    msec",
                                          "Deg. décimaux",
                                          "Pelmarin  utilise des coordonnées décimales "};
}

void TestConv::languageTexts() {
    QFETCH(QString, code);
    QFETCH(QStringList, texts);
    Conv c;
    c.program.app.LanguageCode = code;
    c.form->show(); // every showing applies the language
    TFormConv* f = c.form.get();
    QCOMPARE((QStringList{f->windowTitle(), f->LabelDegMinSec->text(), f->Label1->text(),
                          f->LabelConv->text()}),
             texts);
}

void TestConv::showingAgainKeepsTheValues() {
    Conv c;
    c.program.app.LanguageCode = QStringLiteral("F");
    c.form->show();
    c.enter("45", "30", "15", "500");
    c.form->close();
    QVERIFY(!c.form->isVisible());
    c.program.app.LanguageCode = QStringLiteral("E");
    c.form->show();
    QCOMPARE(c.form->EditDeg->text(), QStringLiteral("45"));
    QCOMPARE(c.result(), QStringLiteral("45.504306"));
    QCOMPARE(c.form->Label1->text(), QStringLiteral("Decimal deg."));
}

QTEST_MAIN(TestConv)
#include "test_conv.moc"
