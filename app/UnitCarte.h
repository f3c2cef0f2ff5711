// The world-map window: the main window of the program.
#pragma once

#include <QMainWindow>

struct Program;

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
    void SettingsWrite();
    void ImageMercatorMouseUp(Qt::MouseButton button, int x, int y);
    // The viewer's "Back to map generator": progress bar to 0, locator boxes emptied.
    void ResetAfterReturn();

  private:
    Program& program_;
};
