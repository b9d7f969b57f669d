#include "TindraIframeForm.h"

#include "DialogSetup.h"

TTindraIframeForm::TTindraIframeForm(QWidget* parent) : QDialog(parent) {
    tindra::SetUpFixedDialog(this, "TindraIframeForm", 273, 248);
}
