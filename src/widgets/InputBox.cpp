#include "InputBox.h"

#include <QInputDialog>

namespace {
TInputBox::THook& Hook() {
    static TInputBox::THook hook;
    return hook;
}
} // namespace

QString TInputBox::Ask(QWidget* parent, const QString& caption, const QString& prompt,
                       const QString& preset) {
    if (Hook()) return Hook()(caption, prompt, preset);
    bool ok = false;
    const QString text = QInputDialog::getText(parent, caption, prompt, QLineEdit::Normal, preset, &ok);
    return ok ? text : preset;
}

void TInputBox::SetHook(THook hook) {
    Hook() = std::move(hook);
}
