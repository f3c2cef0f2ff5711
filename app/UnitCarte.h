// The world-map window: the main window of the program. It shows the world
// map with the live position readout, the locator boxes, the prompt and the
// progress bar of a generation, reads the settings when it is created and
// writes them when the program ends.
#pragma once

#include <QLabel>
#include <QMainWindow>
#include <QStringList>

#include <functional>

class QAction;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QTimer;
struct Program;

// A picture that reports mouse moves and button releases in its own
// coordinates (a release is reported where it happened, also outside).
class TMouseImage : public QLabel {
  public:
    explicit TMouseImage(QWidget* parent);

    std::function<void(int x, int y)> onMove;
    std::function<void(Qt::MouseButton button, int x, int y)> onRelease;

  protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

class TFormCarte : public QMainWindow {
    Q_OBJECT
  public:
    explicit TFormCarte(Program& program);
    ~TFormCarte() override;

    // Commands other windows use.
    void MenuEnglishClick();
    void MenuFrancaisClick();
    void MenuEspagnolClick();
    void MenuCacherFenetreCarteClick();
    void menuMontrerFenetreCarteClick();
    void MenuVoirClick();
    void MenuAideClick();
    // Shows the information window (modeless).
    void MenuInfoClick();
    void SettingsWrite();
    void ImageMercatorMouseUp(Qt::MouseButton button, int x, int y);
    // The viewer's "Back to map generator": progress bar to 0, locator boxes emptied.
    void ResetAfterReturn();

    // Handlers of the window's own controls.
    void MenuquitterClick();
    void menuLocatorClick();
    void EditQRAChange();
    void EditLocatorChange();
    void BitBtn1Click();
    void ImageMercatorMouseMove(int x, int y);
    void ImageTovakMouseMove(int x, int y);
    void TimerFinImageTimer();

    // The controls, named as in the window's design.
    TMouseImage* ImageMercator = nullptr;
    TMouseImage* ImageTovak = nullptr;
    QLabel* StaticText1 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* EditQRA = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QLabel* StaticTextPos = nullptr;
    QProgressBar* ProgressBarCalcul = nullptr;
    QLineEdit* EditLocator = nullptr;
    QPushButton* BitBtn2 = nullptr;
    QTimer* TimerFinImage = nullptr;
    QStringList MemoFileInit; // the lines of the settings file

    QAction* Menuquitter = nullptr;
    QAction* menuLocator = nullptr;
    QAction* MenuVoir = nullptr;
    QMenu* MenuLangue = nullptr;
    QAction* MenuEnglish = nullptr;
    QAction* MenuFrancais = nullptr;
    QAction* MenuEspagnol = nullptr;
    QAction* MenuInfo = nullptr;
    QAction* MenuAide = nullptr;

  protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void FormCreate();
    void FormShow();
    void FormActivate();
    void FormPaint();
    void FormClose();
    void ApplyLanguage(char code);
    bool ReadSettings(); // false when the reading failed

    Program& program_;
    int confirmRuns_ = 0;       // how often the confirm handler ran (for the focus hand-over)
    bool platformShow_ = false; // menuMontrerFenetreCarteClick is showing the window
};

// The DX= and DXCB= lines that the settings writer stores: the user's rows
// as read at start, until the list editors hold them.
QStringList SettingsDxLines(const Program& program);
