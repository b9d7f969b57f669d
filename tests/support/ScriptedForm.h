#pragma once
// The main window for window tests: the control images of the build, no stored settings (the design
// size, English), nothing written back, its messages silent, its error boxes collected in Errors and
// its save dialog answered from SaveNames. Tests derive from it for what else they script.

#include "TindraMainForm.h"

#include <QCoreApplication>
#include <QStringList>

#include <memory>
#include <string>

class TScriptedForm : public TTindraMainForm {
  public:
    QStringList SaveNames; // answers of the save dialog, in order ("" = cancel)
    QStringList Errors;

    TScriptedForm() {
        SetControlImagePath(TINDRA_IMAGES_IML);
        SetMessageSink([](const QString&) {});
    }
    std::string AskSaveFileName(TFileKind, const std::string&) override {
        return SaveNames.isEmpty() ? std::string() : SaveNames.takeFirst().toStdString();
    }

  protected:
    TWindowSettings ReadSettings() override {
        TWindowSettings s;
        s.Width = DesignWidth;
        s.Height = DesignHeight;
        s.Language = 1;
        return s;
    }
    void WriteSettings() override {}
    void ShowErrorMessage(const QString& text) override { Errors << text; }
};

// A form of type T shown and activated with a new icon, its dialogs made.
template <class T> std::unique_ptr<T> ShownWithNewIcon() {
    auto form = std::make_unique<T>();
    form->CreateDialogs();
    form->show();
    form->FormActivate();
    QCoreApplication::processEvents();
    form->MnFileNewClick();
    return form;
}
