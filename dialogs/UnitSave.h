// The save dialog: writes the viewer's map as a 4-bit Windows bitmap that
// the next start loads again.
#pragma once

#include <QWidget>

class QLineEdit;
class QPushButton;

struct Program;

class TFormSave : public QWidget {
    Q_OBJECT
  public:
    explicit TFormSave(Program& program);
    ~TFormSave() override;

    void FormShow();
    void ButtonOKClick();
    void ButtonCancelClick();
    // Any way the dialog closes.
    void FormClose();

    QLineEdit* EditNomFichier = nullptr;
    QPushButton* ButtonOK = nullptr;
    QPushButton* ButtonCancel = nullptr;
    // Shown for a missing or wrong name.
    QString FormatMessage;

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    Program& program_;
};
