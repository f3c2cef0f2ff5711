#include "dxlists/UnitDXCB.h"

TFormListeDXCB::TFormListeDXCB(Program& program)
    : TDxGridEditor(program, Config{dx::ListKind::CB, 6, QStringLiteral("StringGridDXCB"),
                                    QStringLiteral("StringGridSaveDXCB"),
                                    QStringLiteral("BitBtnOKCB"), QStringLiteral("BitBtnCancelCB"),
                                    459, 224, 211, 125, 439, QStringLiteral("Mes DX 11m")}) {
    setObjectName(QStringLiteral("FormListeDXCB"));
    StringGridDXCB = grid();
    StringGridSaveDXCB = snapshotGrid();
    BitBtnOKCB = ok_;
    BitBtnCancelCB = cancel_;
    ButtonConv = conv_;
    FormCreate();
}

void TFormListeDXCB::SetLanguageCaption(const QString& caption) {
    setWindowTitle(caption);
}

TDxGridEditor::Messages TFormListeDXCB::CheckMessages() const {
    return {QStringLiteral("Renseignez tous les champs d'un DX , svp"), QStringLiteral("N ou S"),
            QStringLiteral("E ou W"), QStringLiteral("Format erroné !")};
}
