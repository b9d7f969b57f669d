#include "TindraAboutForm.h"

#include "DialogSetup.h"

TTindraAboutForm::TTindraAboutForm(QWidget* parent) : QDialog(parent) {
    tindra::SetUpFixedDialog(this, "TindraAboutForm", 253, 226);
}
