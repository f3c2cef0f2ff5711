// The degrees-minutes-seconds converter: degrees, minutes, seconds and
// milliseconds of arc typed in four fields, the decimal degrees shown at once.
// Opened by the "?" button of either DX list editor, never modally.
#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QShowEvent;
struct Program;

class TFormConv : public QWidget {
    Q_OBJECT
  public:
    explicit TFormConv(Program& program);

    // The change handlers of the four fields (typing or the program).
    void EditDegChange();
    void EditMinChange();
    void EditSecChange();
    void EditMilChange();
    // The hidden language button: caption and labels for LanguageCode.
    void ButtonLangueClick();
    // Every showing applies the current language.
    void FormShow();

    QLabel* LabelConv = nullptr;
    QLabel* LabelDegMinSec = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* EditDeg = nullptr;
    QLineEdit* EditMin = nullptr;
    QLineEdit* EditSec = nullptr;
    QLineEdit* EditMil = nullptr;
    QLineEdit* EditDec = nullptr;
    QPushButton* ButtonLangue = nullptr; // hidden

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    enum Field { Deg, Min, Sec, Mil, FieldCount };
    void FieldChange(Field f);

    Program& program_;
    QLineEdit* fields_[FieldCount] = {};
    QString accepted_[FieldCount];
};
