// The Information window: the program's name and version, the maker's web
// site, a donation button, the manual new-version check and the start-up
// check option.
#pragma once

#include <QPixmap>
#include <QString>
#include <QWidget>

class QCheckBox;
class QLabel;
class QPushButton;
class QToolButton;
class TLabelUrl;
struct Program;

// The window's texts in one language.
struct InfoTexts {
    QString LabelOther;
    QString BitBtnNewRelease;
    QString CheckBoxVersion;
    QString InternetFailureMessage;
    QString Credit; // "Designed and written by Tovak"
    QString Donate; // the word under the donation picture
};
// The texts of "E", "F" or "S"; null for any other code.
const InfoTexts* InfoTextsFor(const QString& languageCode);

// The donation page (under the maker's site).
QString DonationPage();
// The donation button's picture (coin and heart) with the word under it,
// fitted to the picture's width.
QPixmap DonatePicture(const QString& word);

class TFormInfo : public QWidget {
    Q_OBJECT
  public:
    explicit TFormInfo(Program& program);
    ~TFormInfo() override;

    void FormShow();
    void BitBtnNewReleaseClick();
    void CheckBoxVersionClick();
    void SpeedButton1Click();
    void BitBtn1Click();
    void FormClose();

    QLabel* Panel1 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* LabelOther = nullptr;
    TLabelUrl* LabelUrl3 = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QPushButton* BitBtnNewRelease = nullptr;
    QCheckBox* CheckBoxVersion = nullptr;
    QPushButton* BitBtn1 = nullptr;
    // The manual check's answer when nothing could be read.
    QString InternetFailureMessage = QStringLiteral("Echec Internet !");

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void SetCheckBoxText(const QString& text);
    void ApplyTexts(const InfoTexts& t);

    Program& program_;
};
