#pragma once
// Controls of a window found by their program names (their Qt object names), for tests that drive
// the main window: Find<QToolButton>(form, "TBViewGrid")->click(). A name that is not there ends the
// test program at once, naming it.

#include <QObject>
#include <QString>
#include <QtGlobal>

#include <memory>

template <class T> T* Find(const QObject* window, const char* name) {
    T* control = window->findChild<T*>(QString::fromLatin1(name));
    if (!control) qFatal("no %s named %s", T::staticMetaObject.className(), name);
    return control;
}

template <class T, class W> T* Find(const std::unique_ptr<W>& window, const char* name) {
    return Find<T>(window.get(), name);
}
