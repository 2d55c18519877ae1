#pragma once

// Shared by the widget tests: the windows, finding their controls by name, and the few steps
// that let queued work run and make a window take keyboard focus the way an operator's does.

#include <gtest/gtest.h>

#include <QApplication>
#include <QSignalSpy>
#include <QTest>

#include "support/TestSupport.h"
#include "ui/GeneralSettingsWindow.h"
#include "ui/MainWindow.h"
#include "ui/ReportWindow.h"
#include "ui/SlotSettingsWindow.h"
#include "ui/TrayIcon.h"

namespace dokivo::test {

// A control of a window by its name; a missing one fails the test.
template <typename W = QAction>
W* child(const QObject* parent, const QString& name) {
    W* found = parent ? parent->findChild<W*>(name) : nullptr;
    EXPECT_NE(found, nullptr) << name;
    return found;
}

// Lets queued work (deferred deletes, zero timers) run.
inline void settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

}  // namespace dokivo::test
