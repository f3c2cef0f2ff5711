// The "My 11m DX" editor: the grid editor of UnitDX.h for the 11-metre list
// (six columns, no time column), with its messages always in French.
#pragma once

#include "dxlists/UnitDX.h"

class TFormListeDXCB : public TDxGridEditor {
    Q_OBJECT
  public:
    explicit TFormListeDXCB(Program& program);

    void BitBtnOKCBClick() { OkClick(); }
    void BitBtnCancelCBClick() { CancelClick(); }

    // Called by the viewer's language routine: "My 11m DX", "Mes DX 11m" or
    // "Mi 11m DX". No header of this grid changes with it.
    void SetLanguageCaption(const QString& caption);

    QTableWidget* StringGridDXCB = nullptr;
    QTableWidget* StringGridSaveDXCB = nullptr; // hidden: the snapshot
    QPushButton* BitBtnOKCB = nullptr;
    QPushButton* BitBtnCancelCB = nullptr;
    QPushButton* ButtonConv = nullptr;

  protected:
    Messages CheckMessages() const override;
};
