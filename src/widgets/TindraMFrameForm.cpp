#include "TindraMFrameForm.h"

#include "DialogSetup.h"

TTindraMFrameForm::TTindraMFrameForm(QWidget* parent) : QDialog(parent) {
    tindra::SetUpFixedDialog(this, "TindraMFrameForm", 221, 128);
}
