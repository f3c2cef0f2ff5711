// The designations with real windows: every way the viewer shows a bearing
// makes one designation with its reason, and the local azimuth server and
// the rotator act on the reasons as they always have (the server publishes
// what azlink::Publishes says, the rotator turns on what is published and on
// the long-path click).
#include "FakePlatform.h"
#include "app/Program.h"
#include "app/Settings.h"
#include "link/Designation.h"
#include "viewer/UnitAzimut.h"
#include "viewer/ViewerHub.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <vector>

using azlink::DesignationReason;

namespace {

const QString Excerpt = QStringLiteral(KORVANTA_SOURCE_DIR "/tests/data/cty_excerpt.dat");

QString T(QString s) {
    return s.replace(QLatin1Char('|'), QLatin1Char('\t'));
}

// One start of the program with the country-file excerpt and a Japan row,
// the map centred on 48.85 N, 2.35 E, every designation recorded.
struct Run {
    QTemporaryDir dir;
    FakePlatform platform;
    Program program{platform};
    std::vector<azlink::Designation> designations;

    Run() {
        platform.folder = dir.path();
        QDir::setCurrent(dir.path());
        const QString cty = dir.filePath("cty.dat");
        QFile::copy(Excerpt, cty);
        const QStringList lines = {"[KORVANTA]", "LANGUAGE=ENGLISH", "CTYFILE=" + cty,
                                   T("DX=JA-JS|Japan (As)|40|N|135|E|UTC+9")};
        QVERIFY2(settings::WriteSettingsFile(dir.path(), lines).isEmpty(), "korvanta.ini");
        program.app.SettingsExisted = true;
        CreateForms(program);
        program.app.pos.CentreLat = 48.85L;
        program.app.pos.CentreLon = 2.35L;
        viewer()->show();
        QObject::connect(&viewer()->hub(), &viewer::ViewerHub::designated,
                         [this](const azlink::Designation& d) { designations.push_back(d); });
    }
    ~Run() { DestroyForms(program); }

    TFormAzimut* viewer() const { return program.forms.FormAzimut; }
    QListWidget* list() const { return viewer()->ListBoxDXW; }
    int rowStarting(const QString& start) const {
        for (int i = 0; i < list()->count(); ++i)
            if (list()->item(i)->text().startsWith(start)) return i;
        return -1;
    }
};

void MoveOver(QWidget* w, QPoint p) {
    QMouseEvent move(QEvent::MouseMove, QPointF(p), QPointF(w->mapToGlobal(p)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &move);
}

const QString JapanRow = T("JA-JS|Japan (As)|40N|135E");

const DesignationReason AllReasons[] = {
    DesignationReason::PointerClick,      DesignationReason::LongPathClick,
    DesignationReason::LookupTyping,      DesignationReason::CallEnter,
    DesignationReason::ListRowChosen,     DesignationReason::ListRowMoved,
    DesignationReason::ActivationRefresh, DesignationReason::SpotChosen,
    DesignationReason::Command,
};

} // namespace

Q_DECLARE_METATYPE(DesignationReason)

class TestDesignation : public QObject {
    Q_OBJECT
  private slots:
    void eachWayHasItsReason_data();
    void eachWayHasItsReason();
    void serverAndRotatorActOnTheReasons_data();
    void serverAndRotatorActOnTheReasons();
};

using Action = std::function<void(Run&)>;
Q_DECLARE_METATYPE(Action)

void TestDesignation::eachWayHasItsReason_data() {
    QTest::addColumn<Action>("action");
    QTest::addColumn<DesignationReason>("reason");
    QTest::addColumn<QString>("bearing");
    QTest::addColumn<bool>("longPath");
    QTest::newRow("left click") << Action([](Run& r) {
        MoveOver(r.viewer()->ImageAzimut, QPoint(299, 10));
        QTest::mouseClick(r.viewer()->ImageAzimut, Qt::LeftButton, {}, QPoint(299, 10));
    }) << DesignationReason::PointerClick
                                << "360" << false;
    QTest::newRow("right click") << Action([](Run& r) {
        QTest::mouseClick(r.viewer()->ImageAzimut, Qt::RightButton, {}, QPoint(400, 200));
    }) << DesignationReason::LongPathClick
                                 << "225" << true;
    QTest::newRow("typing in CALL")
        << Action([](Run& r) { QTest::keyClicks(r.viewer()->EditCall, QStringLiteral("JA-JS")); })
        << DesignationReason::LookupTyping << QString() << false;
    QTest::newRow("Enter in CALL") << Action([](Run& r) {
        // The built-in list takes KG4ABC for Guantanamo Bay; the country file says USA.
        QTest::keyClicks(r.viewer()->EditCall, QStringLiteral("KG4ABC"));
        r.designations.clear();
        QTest::keyClick(r.viewer()->EditCall, Qt::Key_Return);
    }) << DesignationReason::CallEnter
                                   << "299" << false;
    QTest::newRow("row clicked") << Action([](Run& r) {
        QListWidgetItem* item = r.list()->item(r.rowStarting(JapanRow));
        r.list()->scrollToItem(item);
        QTest::mouseClick(r.list()->viewport(), Qt::LeftButton, {},
                          r.list()->visualItemRect(item).center());
    }) << DesignationReason::ListRowChosen
                                 << "35" << false;
    QTest::newRow("row moved by the keyboard") << Action([](Run& r) {
        r.list()->setCurrentRow(r.rowStarting(JapanRow) - 1);
        r.list()->setFocus();
        QTest::keyClick(r.list(), Qt::Key_Down);
    }) << DesignationReason::ListRowMoved << "35"
                                               << false;
    QTest::newRow("activation refresh") << Action([](Run& r) {
        QTest::keyClicks(r.viewer()->EditCall, QStringLiteral("JA-JS"));
        r.designations.clear();
        r.viewer()->FormActivate();
    }) << DesignationReason::ActivationRefresh
                                        << QString() << false;
}

void TestDesignation::eachWayHasItsReason() {
    QFETCH(Action, action);
    QFETCH(DesignationReason, reason);
    QFETCH(QString, bearing);
    QFETCH(bool, longPath);
    Run run;
    QVERIFY(run.rowStarting(JapanRow) > 0);
    action(run);
    QVERIFY(!run.designations.empty());
    for (const azlink::Designation& d : run.designations)
        QCOMPARE(d.reason, reason);
    const azlink::Designation& last = run.designations.back();
    if (!bearing.isEmpty()) QCOMPARE(QString::fromStdString(last.bearing), bearing);
    QCOMPARE(last.longPath, longPath);
    // Every designation of the viewer has its target's position.
    QVERIFY(last.lat && last.lon);
    QCOMPARE(run.viewer()->hub().lastDesignation()->reason, reason);
    // The server took what it publishes, in order.
    QStringList expected;
    for (const azlink::Designation& d : run.designations)
        if (azlink::Publishes(d.reason)) expected << QString::fromStdString(d.bearing);
    const QStringList& published = run.platform.recordingServer.published;
    QCOMPARE(published.mid(published.size() - expected.size()), expected);
    if (!azlink::Publishes(reason))
        QVERIFY(!published.contains(QString::fromStdString(last.bearing)));
}

void TestDesignation::serverAndRotatorActOnTheReasons_data() {
    QTest::addColumn<DesignationReason>("reason");
    QTest::addColumn<bool>("rotatorOn");
    for (DesignationReason reason : AllReasons)
        for (bool on : {false, true})
            QTest::newRow(qPrintable(QStringLiteral("reason %1, rotator %2")
                                         .arg(static_cast<int>(reason))
                                         .arg(on ? "on" : "off")))
                << reason << on;
}

void TestDesignation::serverAndRotatorActOnTheReasons() {
    QFETCH(DesignationReason, reason);
    QFETCH(bool, rotatorOn);
    Run run;
    run.program.app.extra.RotatorOn = rotatorOn;
    const QStringList publishedBefore = run.platform.recordingServer.published;
    run.viewer()->Designate(reason, QStringLiteral("123"));
    const bool publishes = azlink::Publishes(reason);
    QCOMPARE(run.platform.recordingServer.published,
             publishes ? publishedBefore + QStringList{"123"} : publishedBefore);
    QCOMPARE(run.viewer()->PublishedBearing, publishes ? QStringLiteral("123") : QString());
    const bool turns = rotatorOn && azlink::TurnsAntenna(reason);
    QCOMPARE(run.platform.recordingRotator.turns,
             turns ? QStringList{run.program.app.extra.RotatorAddress + " 123"} : QStringList());
}

QTEST_MAIN(TestDesignation)
#include "test_designation.moc"
