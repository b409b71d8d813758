#pragma once
// Opening a modeless secondary window: created on first use, shown without blocking the
// main window, and only brought to the front (not reloaded) while it is already open.
// The window deletes itself when closed, so the next opening loads it afresh.

#include <QPointer>
#include <QWidget>

namespace quorvik {

template <typename Window, typename Make>
Window* ShowModeless(QPointer<Window>& slot, Make make)
{
    if (!slot) {
        slot = make();
        slot->setAttribute(Qt::WA_DeleteOnClose);
    }
    slot->show();
    slot->raise();
    slot->activateWindow();
    return slot.data();
}

}  // namespace quorvik
