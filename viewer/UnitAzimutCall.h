// The viewer's call line: what the country file (cty.dat) says about the
// call being typed in EditCall, on a line of its own under the DX list, and
// the File menu's "Country file…". Beside the built-in list, never in its
// way: the line changes no selection, readout or marker of the list.
// A component of the viewer: it gets the hub, the controls it attaches to
// and callbacks, never the window itself.
#pragma once

#include "dxlists/CtyDat.h"
#include "geo/Position.h"
#include "viewer/CallLine.h"

#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QAction;
class QFileSystemWatcher;
class QLabel;
class QLineEdit;
class QMenu;
class QTimer;
class QWidget;

namespace viewer {
class ViewerHub;
}

class TCallResolverLine : public QObject {
    Q_OBJECT
  public:
    struct Attach {
        QWidget* window = nullptr; // parent of the boxes and the file dialog
        QWidget* area = nullptr;   // the scrolled client area: the line lies there
        QMenu* file = nullptr;     // File: "Country file…" before `beforeInFile`
        QAction* beforeInFile = nullptr;
        QLineEdit* call = nullptr; // the CALL field
        QAction* miles = nullptr;  // checked: distances in miles
        QList<QAction*> refreshOn; // toggling one of these shows the line again
        QTimer* clock = nullptr;   // the second's tick (the entity's clock)
    };
    struct Callbacks {
        std::function<bool()> hamListInUse;
        // Enter in CALL: the resolver's bearing and position, designated.
        std::function<void(const QString& bearing, const geo::LatLon& at)> designate;
    };
    TCallResolverLine(viewer::ViewerHub& hub, const Attach& attach, Callbacks callbacks,
                      QObject* parent);

    // The file Debian's hamradio-files installs, used when the user chose none.
    static QString DefaultCountryFile();
    // The file in use: the user's choice (AppState::extra.CountryFile) or the default.
    QString CountryFilePath() const;
    const dx::CtyDatabase* Database() const { return db_ ? &*db_ : nullptr; }

    // The answer for the call field as it stands (Unknown without a file,
    // with an empty field or while the 11m list is in use).
    dx::CtyAnswer Answer() const;
    // Shows the answer on the line (empty when there is none).
    void Refresh();
    // Texts of the language in use (at every language routine).
    void ApplyLanguage();

    // File > Country file…: a file chosen by the user replaces the one in
    // use only when it reads without a fault.
    void MenuCountryFileClick();
    // Enter in EditCall: the resolver's bearing is designated (CallEnter).
    void EditCallReturnPressed();
    // Reads the file in use again (after it changed on disk); a faulty file
    // is told and the previous contents stay in use.
    void ReloadCountryFile();

    QLabel* LabelCallResolver = nullptr;
    QAction* MenuCountryFile = nullptr;

  private:
    // Reads `path`; on success it becomes the file in use.
    bool Load(const QString& path, bool tellUnreadable);
    void Watch(const QString& path);
    // Shows a fault of the country file: one box at a time, the latest text.
    void Tell(const QString& text);
    const viewer::CallTexts& Texts() const;
    long double UnitFactor() const;

    viewer::ViewerHub& hub_;
    Attach at_;
    Callbacks callbacks_;
    std::optional<dx::CtyDatabase> db_;
    QString loadedPath_;
    QFileSystemWatcher* watcher_ = nullptr;
    QTimer* reloadTimer_ = nullptr;
    QString pendingError_;             // a fault still to be told
    bool telling_ = false;             // a box is open
    bool changedWhileTelling_ = false; // the file changed while a box was open
    bool starting_ = false;            // the viewer is being built: a fault waits
    bool reloading_ = false;           // the file is read again after a change
    QString lastTold_;                 // the fault of the last box (until a good read)
};
