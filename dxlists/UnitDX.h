// The "My DX" editor (TFormListeDXCC) and the grid editor it shares with the
// "My 11m DX" editor (UnitDXCB.h): a grid of the user's own DX entries, one
// stored row per grid row, checked by OK and handed to the viewer's
// displayed DX list.
//
// The grid. StringGridDX is a QTableWidget whose horizontal header is the
// fixed header row 0; table row r - 1 is grid row r (1 to 99). Cell(col, row)
// and CurrentCol()/CurrentRow() speak in grid rows, so row 0 is the header.
//
// The user's entries in the viewer's list. The editor keeps the display rows
// of its accepted entries (those taken by the load step at start, then those
// of the last OK). The viewer's RebuildDisplayedDxList appends them again
// after every rebuild of the list they belong to (list choice, separator
// items, activation refresh, OK), with the chosen separator, so the displayed
// list always carries them and they are selected and looked up like the
// built-in rows.
//
// Later load steps. The load step fills the grid from the settings rows only
// when the window is created. When the viewer's list choice runs it again, it
// sets the header texts and leaves the grid as it stands: whatever the user
// changed since the start (accepted by OK or still being typed) is never
// overwritten, and the settings writer saves the grid as it is. The holders
// (MemoDX/MemoDXCB) are kept in step with OK (StoredLines()).
//
// Rows beyond the 99th. A settings file can bring more stored lines than the
// grid holds; those lines are kept as they were read and written back
// unchanged after the grid rows (StoredLines()). They are not shown in the
// grid or in the viewer's list. An empty value among the first 99 lines ends
// the load there, and nothing after it is kept.
//
// OK does not set ReturningFromDialog (Cancel and the close box do): since
// every rebuild brings the user's entries back, an activation refresh right
// after OK loses nothing.
//
// A user entry is appended to the viewer's list only while its list is in
// use (at creation the ham list is), so the 11m entries never show up in the
// ham list or the other way round.
//
// Texts set by the viewer's language routine (helper of UnitAzimut): call
// TFormListeDXCC::SetLanguageTexts(caption, countryHeader) with "My DX" /
// "Mes DX" / "Mi DX" and "COUNTRY" / "PAYS" / "PAÍS", and
// TFormListeDXCB::SetLanguageCaption(caption) with "My 11m DX" /
// "Mes DX 11m" / "Mi 11m DX". The four "My DX" messages are read from
// program.viewer.msg at the moment they are shown.
#pragma once

#include "dxlists/DxRecord.h"

#include <QDialog>
#include <QString>
#include <QStringList>

class QCloseEvent;
class QPushButton;
class QShowEvent;
class QTableWidget;
struct Program;

class TDxGridEditor : public QDialog {
    Q_OBJECT
  public:
    static constexpr int EntryRows = 99; // grid rows 1 to 99

    // Text of the cell in column `col` of grid row `row` (row 0: the header).
    QString Cell(int col, int row) const;
    void SetCell(int col, int row, const QString& text);
    // The current cell, in grid rows (0 when there is none).
    int CurrentCol() const;
    int CurrentRow() const;
    int ColumnCount() const { return columns_; }

    // The load step: header texts, and at creation the grid and the viewer's
    // list from the stored rows of the holder.
    void FormCreate();
    // Takes the snapshot.
    void FormShow();
    // The close box: puts the snapshot back and tells the viewer to skip its
    // next activation refresh.
    void FormClose();
    // Shows the degrees-minutes-seconds converter, not modally.
    void ButtonConvClick();

    // Display rows (fields joined by tabs) of the accepted entries.
    const QStringList& AcceptedDisplayRows() const { return accepted_; }
    // The values of the settings lines ("DX=" or "DXCB=" behind them): every
    // grid row 1 to 99 whose key cell is not empty, as it stands, then the
    // stored lines beyond the 99th kept from the start.
    QStringList StoredLines() const;

    QTableWidget* grid() const { return grid_; }
    QTableWidget* snapshotGrid() const { return save_; }

  protected:
    struct Config {
        dx::ListKind kind;
        int columns;
        QString gridName, saveName, okName, cancelName;
        int clientWidth, clientHeight, left, top, gridWidth;
        QString initialCaption;
    };
    struct Messages {
        QString missingField, latitudeLetter, longitudeLetter, wrongFormat;
    };
    TDxGridEditor(Program& program, const Config& config);

    // The four check messages, as they stand when a check fails.
    virtual Messages CheckMessages() const = 0;

    // OK: every row checked in order; when all pass, the viewer gets the list.
    void OkClick();
    // Cancel: snapshot back, the viewer's next activation refresh skipped.
    void CancelClick();

    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override; // the Escape key: the cancel button

    Program& program_;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* conv_ = nullptr;

  private:
    QStringList& Holder() const;
    QStringList DisplayRowsOfGrid() const;
    bool ListInUse() const; // the viewer shows the list of this editor
    void Fail(int col, int row, const QString& message);
    void HandToViewer();

    const dx::ListKind kind_;
    const int columns_;
    QTableWidget* grid_ = nullptr;
    QTableWidget* save_ = nullptr;
    QStringList accepted_;
    QStringList beyondGrid_; // stored lines beyond the 99th, as read
    bool created_ = false;
};

class TFormListeDXCC : public TDxGridEditor {
    Q_OBJECT
  public:
    explicit TFormListeDXCC(Program& program);

    void BitBtnOKClick() { OkClick(); }
    void BitBtnCancelClick() { CancelClick(); }

    // Called by the viewer's language routine: the window caption and the
    // header of column 1 ("COUNTRY", "PAYS" or "PAÍS").
    void SetLanguageTexts(const QString& caption, const QString& countryHeader);
    // The header of column 1 alone (what SetLanguageTexts does besides the caption).
    Q_INVOKABLE void SetCountryHeader(const QString& countryHeader);

    QTableWidget* StringGridDX = nullptr;
    QTableWidget* StringGridSaveDX = nullptr; // hidden: the snapshot
    QPushButton* BitBtnOK = nullptr;
    QPushButton* BitBtnCancel = nullptr;
    QPushButton* ButtonConv = nullptr;

  protected:
    Messages CheckMessages() const override;
};
