#pragma once
// Synchronised calls for the Qt event loop: a worker thread queues a call and waits; the queue is
// run by a queued invocation on the thread that created this object (the user-interface thread),
// and also whenever that thread calls RunPending itself, e.g. while it waits for a painter to end.

#include <QObject>

#include "SyncCaller.h"

class TQtSyncCaller : public QObject, public TQueuedSyncCaller {
    Q_OBJECT
  public:
    explicit TQtSyncCaller(QObject* parent = nullptr);
    ~TQtSyncCaller() override;

    bool ProcessMessages() override;

  protected:
    void CallQueued() override;
};
