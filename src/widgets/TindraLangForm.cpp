#include "TindraLangForm.h"

#include "DialogSetup.h"

TTindraLangForm::TTindraLangForm(QWidget* parent) : QDialog(parent) {
    tindra::SetUpFixedDialog(this, "TindraLangForm", 282, 188);
}
