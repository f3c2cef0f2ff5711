// "Live stations...": the DX cluster (host:port, login call), the FT8
// program's UDP port or group, the maximum age of a spot, and each source
// on or off. Values are checked before the dialog closes with OK.
#pragma once

#include <QDialog>
#include <QString>

class QCheckBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace viewer {
struct LiveTexts;
}

struct LiveSettings {
    bool clusterOn = false;
    QString cluster;     // host:port
    QString clusterCall; // login call
    bool wsjtxOn = false;
    QString wsjtx = QStringLiteral("2237"); // port or group:port
    int spotAge = 30;                       // minutes, 1..1440
    bool operator==(const LiveSettings&) const = default;
};

// What is wrong with the values (empty when they can be used): an address
// that does not read is refused when its source is on.
QString LiveSettingsProblem(const LiveSettings& s, const viewer::LiveTexts& texts);

class LiveStationsDialog : public QDialog {
    Q_OBJECT
  public:
    LiveStationsDialog(const LiveSettings& values, const viewer::LiveTexts& texts,
                       QWidget* parent = nullptr);
    LiveSettings values() const;

    void accept() override;

  private:
    const viewer::LiveTexts& texts_;
    QCheckBox* clusterOn_;
    QLineEdit* cluster_;
    QLineEdit* call_;
    QCheckBox* wsjtxOn_;
    QLineEdit* wsjtx_;
    QSpinBox* age_;
    QLabel* problem_;
};
