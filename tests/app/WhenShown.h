#pragma once
// Answers modal dialogs in window tests: the caller arms WhenShown, then runs the command that opens
// the dialog; the poller acts on the dialog once it is the active modal widget.

#include <QApplication>
#include <QTimer>

#include <functional>
#include <memory>

// Runs `act` on the modal dialog of type T as soon as it is shown (the caller then opens it).
template <class T> void WhenShown(std::function<void(T*)> act) {
    auto tries = std::make_shared<int>(0);
    // The poller refers to itself weakly; the pending timer holds the only strong reference, so it
    // is freed once it has acted or given up.
    auto poll = std::make_shared<std::function<void()>>();
    std::weak_ptr<std::function<void()>> self = poll;
    *poll = [act, tries, self] {
        if (auto* w = qobject_cast<T*>(QApplication::activeModalWidget())) {
            act(w);
            return;
        }
        if (auto again = self.lock(); again && ++*tries < 200) QTimer::singleShot(5, [again] { (*again)(); });
    };
    QTimer::singleShot(0, [poll] { (*poll)(); });
}
