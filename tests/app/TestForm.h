#pragma once
// The main window for tests: the build's images.iml, messages swallowed, the given language and
// size as if stored, nothing written back.

#include "TindraMainForm.h"

class TStoredSettingsForm : public TTindraMainForm {
  public:
    explicit TStoredSettingsForm(int language, int width = DesignWidth, int height = DesignHeight)
        : Language(language), Width(width), Height(height) {
        SetControlImagePath(TINDRA_IMAGES_IML);
        SetMessageSink([](const QString&) {});
    }
    using TTindraMainForm::DocumentModel;

  protected:
    TWindowSettings ReadSettings() override {
        TWindowSettings stored;
        stored.Width = Width;
        stored.Height = Height;
        stored.Language = Language;
        return stored;
    }
    void WriteSettings() override {}

  private:
    int Language, Width, Height;
};
