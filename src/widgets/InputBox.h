#pragma once
// The one-line input box: a caption, a prompt and an edit field with a preset text. Cancel gives
// the preset back. Tests replace the box with SetHook so that nothing waits for a user.

#include <QString>

#include <functional>

class QWidget;

class TInputBox {
  public:
    using THook =
        std::function<QString(const QString& caption, const QString& prompt, const QString& preset)>;

    static QString Ask(QWidget* parent, const QString& caption, const QString& prompt, const QString& preset);
    // nullptr puts the real box back.
    static void SetHook(THook hook);
};
