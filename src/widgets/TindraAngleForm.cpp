#include "TindraAngleForm.h"

#include "DialogSetup.h"

TTindraAngleForm::TTindraAngleForm(QWidget* parent) : QDialog(parent) {
    tindra::SetUpFixedDialog(this, "TindraAngleForm", 242, 216);
}
