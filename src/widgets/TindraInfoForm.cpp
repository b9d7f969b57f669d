#include "TindraInfoForm.h"

// Sizeable and left at its designed place (not centred like the other dialogs).
TTindraInfoForm::TTindraInfoForm(QWidget* parent) : QDialog(parent) {
    setObjectName("TindraInfoForm");
    setWindowTitle("Tindra");
    resize(579, 464);
}
