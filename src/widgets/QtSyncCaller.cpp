#include "QtSyncCaller.h"

#include <QCoreApplication>

TQtSyncCaller::TQtSyncCaller(QObject* parent) : QObject(parent) {}

TQtSyncCaller::~TQtSyncCaller() {
    Close();
}

void TQtSyncCaller::CallQueued() {
    // Runs on the worker thread; the lambda runs later in this object's thread.
    QMetaObject::invokeMethod(
        this, [this] { RunPending(); }, Qt::QueuedConnection);
}

bool TQtSyncCaller::ProcessMessages() {
    QCoreApplication::processEvents();
    RunPending();
    return !QCoreApplication::closingDown();
}
