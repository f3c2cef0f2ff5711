// "Rotator settings…": the channel (rotctld, PstRotator-style, N1MM-style),
// its address, the rotor's name, the beam width, the park azimuth and the
// least turn. Opened window-modal without waiting (open()); `accepted`
// carries the checked values.
#pragma once

#include "app/AppState.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QDoubleSpinBox;

namespace azlink {
struct RotatorTexts;
}

class TRotatorSettings : public QDialog {
    Q_OBJECT
  public:
    TRotatorSettings(QWidget* parent, const azlink::RotatorTexts& texts,
                     const ExtraSettings& values);
    // The values of the dialog, checked and in their stored form (the
    // address as HOST:PORT with the channel's default port when none was given).
    const ExtraSettings& values() const { return values_; }
    void accept() override;

    QComboBox* ComboKind = nullptr;
    QLineEdit* EditAddress = nullptr;
    QLineEdit* EditName = nullptr;
    QSpinBox* SpinBeamWidth = nullptr;
    QLineEdit* EditPark = nullptr;
    QDoubleSpinBox* SpinTurnMin = nullptr;
    QLabel* LabelProblem = nullptr;

  private:
    void kindChanged(int index);
    const azlink::RotatorTexts& t_;
    ExtraSettings values_;
    int kindIndex_ = 0;
};
